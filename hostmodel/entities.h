// Entities and collections: the things of the production database the host
// lets a user pick (wells as wellbores and their completions, categories of
// wells and their values, patterns) and the named collections that hold
// them. `CEntities` is the host's set of all of them, `CZelEntity` the one
// the user works on.
//
// Ownership: a collection owns its items when its name map's delete-items
// flag is set (the default): it frees them when they are deleted by name or
// when the collection goes. The item arrays (CEntityItems, CCompletionItems,
// ...) only list items that a collection owns. A completion and the
// wellbore and category values that list it are linked both ways, and
// whichever is freed first unlinks itself from the others.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "hostmodel/model_object.h"

class CEntityItem;
class CWellboreItem;
class CCompletionItem;
class CCategoryItem;
class CCategorySubItem;
class CCategoryCollection;
class CPatternItem;
class CPatternSetItem;
class CPatternSetCollection;
class CPatternCompletionItem;
class CSortedCategoryArray;

// The item arrays: items in the order they were added, never owned.
class ZELBA_MODEL_EXPORT CEntityItems : public zelba::hostmodel::ModelPtrArray<CEntityItem> {};
class ZELBA_MODEL_EXPORT CWellboreItems : public zelba::hostmodel::ModelPtrArray<CWellboreItem> {};
class ZELBA_MODEL_EXPORT CCompletionItems
    : public zelba::hostmodel::ModelPtrArray<CCompletionItem> {
 public:
  CCompletionItems() = default;
  CCompletionItems(const CCompletionItems&) = default;
  CCompletionItems& operator=(const CCompletionItems&) = default;
  // Lists the completions of `other` in place of its own.
  void CopyFrom(const CCompletionItems& other) { *this = other; }
};
class ZELBA_MODEL_EXPORT CCategoryItems : public zelba::hostmodel::ModelPtrArray<CCategoryItem> {};
class ZELBA_MODEL_EXPORT CCategorySubItems
    : public zelba::hostmodel::ModelPtrArray<CCategorySubItem> {};
class ZELBA_MODEL_EXPORT CPatternItems : public zelba::hostmodel::ModelPtrArray<CPatternItem> {};
class ZELBA_MODEL_EXPORT CPatternSetItems
    : public zelba::hostmodel::ModelPtrArray<CPatternSetItem> {};
class ZELBA_MODEL_EXPORT CPatternCompletionItems
    : public zelba::hostmodel::ModelPtrArray<CPatternCompletionItem> {
 public:
  // The name of the pattern completion at `index` (its completion's name);
  // "" outside the array.
  std::string Name(int index) const;
};

// The abstract root of the entity classes. Virtual operations in this
// order: GetName, GetParent, the destructor.
class ZELBA_MODEL_EXPORT CEntity {
 public:
  virtual const std::string& GetName() const = 0;
  // The entity this one belongs to (an item's collection), or null.
  virtual CEntity* GetParent() const = 0;
  virtual ~CEntity() = default;

 protected:
  CEntity() = default;
  CEntity(const CEntity&) = delete;
  CEntity& operator=(const CEntity&) = delete;
};

// A named entity of a collection. Virtual operations after CEntity's:
// Delete.
class ZELBA_MODEL_EXPORT CEntityItem : public CEntity {
 public:
  CEntityItem(const std::string& name, CEntity* parent) : name_(name), parent_(parent) {}

  const std::string& GetName() const override { return name_; }
  CEntity* GetParent() const override { return parent_; }
  ~CEntityItem() override = default;
  // Deletes this entity's item of that name; a plain item has none, so it
  // does nothing and returns false.
  virtual bool Delete(const std::string& name) {
    (void)name;
    return false;
  }

  int GetCurrentFilter() const { return currentFilter_; }
  void SetCurrentFilter(int filter) { currentFilter_ = filter; }
  // Gives the item a new name, and its collection's name map with it.
  // Returns false, leaving the name as it was, for an empty name or one
  // that another item of the same collection has.
  bool Rename(const std::string& name);

  // The item's position in its collection, -1 outside one.
  int GetIndex() const { return index_; }
  // The item's row id in the production database, -1 when it has none.
  int GetDbIndex() const { return dbIndex_; }
  void SetDbIndex(int id) { dbIndex_ = id; }

 protected:
  void SetItemName(const std::string& name) { name_ = name; }

 private:
  friend class CEntityCollection;

  std::string name_;
  CEntity* parent_ = nullptr;
  int index_ = -1;
  int dbIndex_ = -1;
  int currentFilter_ = 0;  // the host filter the item passes, 0 for none
};

// Items by name. When its delete-items flag is set (the default) the map
// owns the items and frees them as they are deleted and when it goes.
class ZELBA_MODEL_EXPORT CNameToItemMap
    : public zelba::hostmodel::ModelPtrMap<std::string, CEntityItem> {
 public:
  explicit CNameToItemMap(size_t buckets = 1024, bool deleteItems = true)
      : ModelPtrMap(buckets), deleteItems_(deleteItems) {}
  CNameToItemMap(const CNameToItemMap&) = delete;
  CNameToItemMap& operator=(const CNameToItemMap&) = delete;
  ~CNameToItemMap() { DeleteAll(); }

  bool GetDeleteItems() const { return deleteItems_; }
  void SetDeleteItems(bool deleteItems) { deleteItems_ = deleteItems; }
  // Takes `name` out, freeing its item when the map owns its items; false
  // when the name is not there.
  bool Delete(const std::string& name);
  // Takes every name out, freeing the items when the map owns them.
  void DeleteAll();

 private:
  bool deleteItems_ = true;
};

// A named collection of entity items, in the order they were added and by
// name. Virtual operations after CEntityItem's: Delete (overridden),
// AddItem.
class ZELBA_MODEL_EXPORT CEntityCollection : public CEntityItem {
 public:
  static constexpr int kGrowBy = 1024;
  static constexpr size_t kBuckets = 1024;

  CEntityCollection(const std::string& name, CEntity* parent);
  ~CEntityCollection() override;
  // Deletes the item of that name: out of the array and the map, freed when
  // the collection owns its items. False when there is none.
  bool Delete(const std::string& name) override;
  // The item of that name, a new one of the collection's kind when there is
  // none. Null for an empty name.
  virtual CEntityItem* AddItem(const std::string& name) = 0;

  // Adds `item` at the end, as an item of this collection (its parent
  // becomes the collection); the collection owns it when its flag is set.
  // Returns false for null, an empty name, an item of another collection,
  // the collection itself or one that holds it, or a name the collection
  // already has; the caller then keeps the item.
  bool Add(CEntityItem* item);
  int Count() const { return items_.GetSize(); }
  void SetName(const std::string& name) { SetItemName(name); }
  // The item of that exact name, or null.
  CEntityItem* FindItem(const std::string& name) const;
  const CEntityItems& Items() const { return items_; }
  CNameToItemMap& NameMap() { return map_; }

 protected:
  // Adds an item that AddItem made; frees it when it cannot be added.
  template <class T>
  T* AddNew(T* item) {
    if (Add(item)) return item;
    delete item;
    return nullptr;
  }

 private:
  friend class CEntityItem;

  CEntityItems items_;
  CNameToItemMap map_;
};

// A well's bore: its completions.
class ZELBA_MODEL_EXPORT CWellboreItem : public CEntityItem {
 public:
  using CEntityItem::CEntityItem;
  ~CWellboreItem() override;

  // The first completion, or null.
  CCompletionItem* FirstCompletion() const { return completions_.GetAt(0); }
  const CCompletionItems& Completions() const { return completions_; }

 private:
  friend class CCompletionItem;
  CCompletionItems completions_;
};

// A completion: the well as the allocation and the host's maps know it.
class ZELBA_MODEL_EXPORT CCompletionItem : public CEntityItem {
 public:
  using CEntityItem::CEntityItem;
  ~CCompletionItem() override;

  double GetX() const { return x_; }
  double GetY() const { return y_; }
  double GetXOrig() const { return xOrig_; }
  double GetYOrig() const { return yOrig_; }
  void SetX(double x) { x_ = x; }
  void SetY(double y) { y_ = y; }
  void SetXOrig(double x) { xOrig_ = x; }
  void SetYOrig(double y) { yOrig_ = y; }
  double RefDepth() const { return refDepth_; }
  void SetRefDepth(double depth) { refDepth_ = depth; }
  double BottomDepth() const { return bottomDepth_; }
  void SetBottomDepth(double depth) { bottomDepth_ = depth; }
  double CompletionDepth() const { return completionDepth_; }
  void SetCompletionDepth(double depth) { completionDepth_ = depth; }
  const std::string& Alias() const { return alias_; }
  void SetAlias(const std::string& alias) { alias_ = alias; }
  int WellType() const { return wellType_; }
  void SetWellType(int type) { wellType_ = type; }
  const std::string& WellTypeTable() const { return wellTypeTable_; }
  void SetWellTypeTable(const std::string& table) { wellTypeTable_ = table; }
  const std::string& PvtName() const { return pvtName_; }
  void SetPvtName(const std::string& name) { pvtName_ = name; }
  const std::string& Project() const { return project_; }
  void SetProject(const std::string& project) { project_ = project; }
  const std::string& Object() const { return object_; }
  void SetObject(const std::string& object) { object_ = object; }
  const std::string& MapLabel() const { return mapLabel_; }
  void SetMapLabel(const std::string& label) { mapLabel_ = label; }

  const std::string& GetLegend() const { return legend_; }
  void SetLegend(const std::string& legend) { legend_ = legend; }
  int GetLegendSize() const { return legendSize_; }
  void SetLegendSize(int size) { legendSize_ = size; }
  void RemoveLegend() {
    legend_.clear();
    legendSize_ = 0;
  }

  // The host's queries the completion passes, one bit per query.
  std::uint32_t QueryBitMask() const { return queryBitMask_; }
  void SetQueryBitMask(std::uint32_t mask) { queryBitMask_ = mask; }
  std::uint32_t ZelQueryBitMask() const { return zelQueryBitMask_; }
  void SetZelQueryBitMask(std::uint32_t mask) { zelQueryBitMask_ = mask; }
  std::uint32_t ZelWellQueryBitMask() const { return zelWellQueryBitMask_; }
  void SetZelWellQueryBitMask(std::uint32_t mask) { zelWellQueryBitMask_ = mask; }
  std::uint32_t TableQueryBitMask() const { return tableQueryBitMask_; }
  void SetTableQueryBitMask(std::uint32_t mask) { tableQueryBitMask_ = mask; }
  std::uint32_t WellListQueryBitMask() const { return wellListQueryBitMask_; }
  void SetWellListQueryBitMask(std::uint32_t mask) { wellListQueryBitMask_ = mask; }
  std::uint32_t MapAreaQueryBitMask() const { return mapAreaQueryBitMask_; }
  void SetMapAreaQueryBitMask(std::uint32_t mask) { mapAreaQueryBitMask_ = mask; }

  int NormalizationMonths() const { return normalizationMonths_; }
  void SetNormalizationMonths(int months) { normalizationMonths_ = months; }
  double NormalizationEndTime() const { return normalizationEndTime_; }
  void SetNormalizationEndTime(double date) { normalizationEndTime_ = date; }
  int NormalizationTimeSpan() const { return normalizationTimeSpan_; }
  void SetNormalizationTimeSpan(int days) { normalizationTimeSpan_ = days; }

  bool InTable() const { return inTable_; }
  void SetInTable(bool inTable) { inTable_ = inTable; }

  // The completion's value of each category it has one of (its separator
  // PAD-A, its battery BAT-A), in the order they were linked.
  const CCategorySubItems& CategoryItems() const { return categoryItems_; }
  // Links the completion and the category value both ways; false when they
  // are linked already or `value` is null.
  bool AddCategoryItem(CCategorySubItem* value);
  // The completion's value of the category of that name, or null.
  CCategorySubItem* CategoryValue(const std::string& category) const;

  CWellboreItem* WellboreItem() const { return wellbore_; }
  // Makes `wellbore` (or none) the completion's, linked both ways.
  void SetWellboreItem(CWellboreItem* wellbore);

 private:
  friend class CWellboreItem;
  friend class CCategorySubItem;

  double x_ = 0;  // map coordinates in the host's map units
  double y_ = 0;
  double xOrig_ = 0;  // the coordinates as first loaded, before any move on the map
  double yOrig_ = 0;
  double refDepth_ = 0;  // depths in the host's depth unit
  double bottomDepth_ = 0;
  double completionDepth_ = 0;
  std::string alias_;
  int wellType_ = 0;
  std::string wellTypeTable_;  // the table the well type is looked up in
  std::string pvtName_;        // the fluid property set of the completion
  std::string project_;
  std::string object_;
  std::string mapLabel_;
  std::string legend_;
  int legendSize_ = 0;
  std::uint32_t queryBitMask_ = 0;
  std::uint32_t zelQueryBitMask_ = 0;
  std::uint32_t zelWellQueryBitMask_ = 0;
  std::uint32_t tableQueryBitMask_ = 0;
  std::uint32_t wellListQueryBitMask_ = 0;
  std::uint32_t mapAreaQueryBitMask_ = 0;
  int normalizationMonths_ = 0;
  double normalizationEndTime_ = 0;  // a host date, 0 for none
  int normalizationTimeSpan_ = 0;    // days
  bool inTable_ = false;             // the completion has rows in the current table
  CCategorySubItems categoryItems_;
  CWellboreItem* wellbore_ = nullptr;
};

// The completions. With its filter-invert flag set, a filter lets through
// the completions it would otherwise hold back.
class ZELBA_MODEL_EXPORT CCompletionCollection : public CEntityCollection {
 public:
  using CEntityCollection::CEntityCollection;

  CEntityItem* AddItem(const std::string& name) override;

  bool FilterInvert() const { return filterInvert_ != 0; }
  void SetFilterInvert(bool invert) { filterInvert_ = invert ? 1 : 0; }
  CCompletionItem* FindItem(const std::string& name) const;

 private:
  int filterInvert_ = 0;
};

// The wellbores.
class ZELBA_MODEL_EXPORT CWellboreCollection : public CEntityCollection {
 public:
  using CEntityCollection::CEntityCollection;

  CEntityItem* AddItem(const std::string& name) override;
  CWellboreItem* FindItem(const std::string& name) const;
};

// The four collections of the host's entities, created in this order:
// completions "Completion", categories "Category", patterns "Pattern",
// wellbores "Wellbore".
class ZELBA_MODEL_EXPORT CCollections {
 public:
  static constexpr int kCount = 4;

  CCollections();
  CCollections(const CCollections&) = delete;
  CCollections& operator=(const CCollections&) = delete;
  ~CCollections();

  // The completions: the first collection.
  CCompletionCollection* Completions() const { return completions_; }
  CCategoryCollection* Categories() const { return categories_; }
  CPatternSetCollection* Patterns() const { return patterns_; }
  CWellboreCollection* Wellbores() const { return wellbores_; }
  // The collection created `index`-th (0..kCount-1), or null.
  CEntityCollection* GetAt(int index) const;

 private:
  CCompletionCollection* completions_ = nullptr;
  CCategoryCollection* categories_ = nullptr;
  CPatternSetCollection* patterns_ = nullptr;
  CWellboreCollection* wellbores_ = nullptr;
};

class CZelEntity;

// The host's entity set.
class ZELBA_MODEL_EXPORT CEntities {
 public:
  CEntities() : collections_(std::make_unique<CCollections>()) {}
  CEntities(const CEntities&) = delete;
  CEntities& operator=(const CEntities&) = delete;

  CCategoryCollection* Categories() const { return collections_->Categories(); }
  CCompletionCollection* Completions() const { return collections_->Completions(); }
  CPatternSetCollection* Patterns() const { return collections_->Patterns(); }
  CWellboreCollection* Wellbores() const { return collections_->Wellbores(); }
  const CCollections& Collections() const { return *collections_; }

  int NoCategories() const;
  int NoWells() const;
  // The wells the filter lets through: all of them while no filter is
  // active, else those whose current filter is set (those whose filter is
  // not set when the completions' filter-invert flag is).
  int WellsInFilter() const;
  bool IsFilterActive() const { return filterActive_; }
  void SetFilterActive(bool active) { filterActive_ = active; }

  // Replaces the contents of `out` with the names of the categories,
  // sorted byte-wise. (The host's service.)
  void GetCatgoryList(CSortedCategoryArray& out);
  // The entity the user works on; null clears it. (The host's service.)
  void SetCurrentEntity(CZelEntity* entity);
  CZelEntity* GetCurrentEntity() const { return current_; }
  void ClearCurrentEntity() { current_ = nullptr; }
  const std::string& CurrentStepName() const { return currentStepName_; }
  void SetCurrentStepName(const std::string& name) { currentStepName_ = name; }

  // Frees every entity and starts again with four empty collections; the
  // current entity is cleared, since it may point at them.
  void Clear();

 private:
  std::unique_ptr<CCollections> collections_;
  bool filterActive_ = false;
  CZelEntity* current_ = nullptr;  // not owned
  std::string currentStepName_;    // the step of the host's workflow the user is in
};

// The entity the user works on: a completion, a pattern, one completion of
// a pattern or a category value, with the name it is loaded and reported
// under. It points at entities it does not own.
class ZELBA_MODEL_EXPORT CZelEntity {
 public:
  CZelEntity() = default;

  CCompletionItem* Completion() const { return completion_; }
  void SetCompletion(CCompletionItem* completion) { completion_ = completion; }
  CPatternItem* Pattern() const { return pattern_; }
  void SetPattern(CPatternItem* pattern) { pattern_ = pattern; }
  CPatternCompletionItem* PatternCompletion() const { return patternCompletion_; }
  void SetPatternCompletion(CPatternCompletionItem* item) { patternCompletion_ = item; }
  CCategorySubItem* SubCategory() const { return subCategory_; }
  void SetSubCategory(CCategorySubItem* value) { subCategory_ = value; }

  const std::string& LoadName() const { return loadName_; }
  void SetLoadName(const std::string& name) { loadName_ = name; }
  const std::string& GetName() const { return name_; }
  // Sets the name and its checksum.
  void SetName(const std::string& name);
  // CRC-32 of the name: the host compares entities by it before comparing
  // names.
  std::uint32_t GetCRC() const { return crc_; }
  // True when the entity stands for a group of wells (a category value, a
  // pattern) rather than one.
  bool GetGroupedEntity() const { return grouped_; }
  void SetGroupedEntity(bool grouped) { grouped_ = grouped; }

 private:
  CCompletionItem* completion_ = nullptr;
  CPatternItem* pattern_ = nullptr;
  CPatternCompletionItem* patternCompletion_ = nullptr;
  CCategorySubItem* subCategory_ = nullptr;
  std::string loadName_;
  std::string name_;
  std::uint32_t crc_ = 0;  // CRC-32 of "": 0
  bool grouped_ = false;
};
