// Categories and patterns: how the host groups wells. A category is a
// grouping attribute of wells ("SEPARATOR") whose items are its values
// ("PAD-A"), each listing the completions that have it; the setup sheet
// offers the category names, sorted, through `CSortedCategoryArray`. A
// pattern is a named group of completions, each with a factor by date
// (`CDateFactor`); patterns come in pattern sets.
//
// A category owns its values and a pattern set its patterns, as any
// collection does (entities.h); a pattern owns its pattern completions.
#pragma once

#include <string>
#include <vector>

#include "hostmodel/entities.h"
#include "hostmodel/units_dates.h"

// A value of a category (the separator PAD-A): an item of its category,
// listing the completions that have that value.
class ZELBA_MODEL_EXPORT CCategorySubItem : public CEntityItem {
 public:
  using CEntityItem::CEntityItem;
  ~CCategorySubItem() override;

  // The category the value belongs to, or null outside one.
  CCategoryItem* Category() const;
  const CCompletionItems& Completions() const { return completions_; }

 private:
  friend class CCompletionItem;
  CCompletionItems completions_;
};

// A category: a collection of its values, with its position in the order
// the host read the categories in.
class ZELBA_MODEL_EXPORT CCategoryItem : public CEntityCollection {
 public:
  using CEntityCollection::CEntityCollection;

  // The value of that name, a new one when there is none.
  CEntityItem* AddItem(const std::string& name) override;
  CCategorySubItem* FindItem(const std::string& name) const;

  int GetOriginalIndex() const { return originalIndex_; }
  void SetOriginalIndex(int index) { originalIndex_ = index; }

 private:
  int originalIndex_ = -1;  // position in the production database's order, -1 when none
};

// The categories, in the order the host read them.
class ZELBA_MODEL_EXPORT CCategoryCollection : public CEntityCollection {
 public:
  using CEntityCollection::CEntityCollection;

  CEntityItem* AddItem(const std::string& name) override;
  CCategoryItem* FindItem(const std::string& name) const;
  // The position of the category of that name in the database's order, -1
  // for a name the host does not have.
  int OriginalIndex(const std::string& name) const;
  // The categories as an array the caller keeps (the Measurements page
  // builds and frees one).
  CCategoryItems Categories() const;
};

// Category names sorted byte-wise, by position.
class ZELBA_MODEL_EXPORT CSortedCategoryArray {
 public:
  int GetSize() const { return static_cast<int>(names_.size()); }
  // The name at `index`; "" outside 0..GetSize()-1.
  const std::string& operator[](int index) const;
  const char* GetAt(int index) const { return (*this)[index].c_str(); }
  // Inserts `name` at its sorted place (after any equal name).
  void Add(const std::string& name);
  void RemoveAll() { names_.clear(); }

 private:
  std::vector<std::string> names_;
};

// One completion of a pattern, with its factors by date. Its name is the
// completion's, its parent the pattern. It points at a completion it does
// not own.
class ZELBA_MODEL_EXPORT CPatternCompletionItem : public CEntity {
 public:
  CPatternCompletionItem(CCompletionItem* completion, CPatternItem* pattern)
      : completion_(completion), pattern_(pattern) {}

  // The completion's name, "" without a completion.
  const std::string& GetName() const override;
  CEntity* GetParent() const override;
  ~CPatternCompletionItem() override = default;

  const std::string& Name() const { return GetName(); }
  CPatternItem* Pattern() const { return pattern_; }
  CCompletionItem* Completion() const { return completion_; }
  void SetCompletion(CCompletionItem* completion) { completion_ = completion; }
  CDateFactor& Factors() { return factors_; }
  const CDateFactor& Factors() const { return factors_; }
  int DateCount() const { return factors_.GetSize(); }
  void ClearFactors() { factors_.ClearFactors(); }

 private:
  CDateFactor factors_;
  CCompletionItem* completion_ = nullptr;
  CPatternItem* pattern_ = nullptr;
};

// A pattern: a named group of completions with factors by date.
class ZELBA_MODEL_EXPORT CPatternItem : public CEntityItem {
 public:
  using CEntityItem::CEntityItem;
  ~CPatternItem() override;

  // Deletes the pattern completion of the completion of that name; false
  // when the pattern has none.
  bool Delete(const std::string& name) override;

  // A new pattern completion of `completion`, owned by the pattern; the one
  // the pattern has already for it; null for a null completion.
  CPatternCompletionItem* AddCompletion(CCompletionItem* completion);
  const CPatternCompletionItems& PatternCompletions() const { return items_; }

 private:
  CPatternCompletionItems items_;
};

// A set of patterns.
class ZELBA_MODEL_EXPORT CPatternSetItem : public CEntityCollection {
 public:
  using CEntityCollection::CEntityCollection;

  CEntityItem* AddItem(const std::string& name) override;
  CPatternItem* FindItem(const std::string& name) const;
};

// The pattern sets.
class ZELBA_MODEL_EXPORT CPatternSetCollection : public CEntityCollection {
 public:
  using CEntityCollection::CEntityCollection;

  CEntityItem* AddItem(const std::string& name) override;
  CPatternSetItem* FindItem(const std::string& name) const;
};
