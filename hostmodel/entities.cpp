// Entities and collections: the out-of-line members the host supplies, and
// the links between completions, wellbores and category values.
#include "hostmodel/entities.h"

#include <array>

#include "hostmodel/categories.h"

namespace {

// CRC-32 (the polynomial 0xEDB88320 of zip and PNG) of `text`.
std::uint32_t crc32(const std::string& text) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : text) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

}  // namespace

std::string CPatternCompletionItems::Name(int index) const {
  const CPatternCompletionItem* item = GetAt(index);
  return item ? item->GetName() : std::string();
}

bool CEntityItem::Rename(const std::string& name) {
  if (name.empty()) return false;
  if (name == name_) return true;
  auto* collection = dynamic_cast<CEntityCollection*>(parent_);
  if (collection && collection->map_.Lookup(name_) == this) {
    if (collection->map_.Lookup(name)) return false;
    collection->map_.RemoveKey(name_);
    collection->map_.SetAt(name, this);
  }
  name_ = name;
  return true;
}

bool CNameToItemMap::Delete(const std::string& name) {
  CEntityItem* item = Lookup(name);
  if (!item) return false;
  RemoveKey(name);
  if (deleteItems_) delete item;
  return true;
}

void CNameToItemMap::DeleteAll() {
  if (deleteItems_) {
    for (const auto& entry : *this) delete entry.second;
  }
  RemoveAll();
}

CEntityCollection::CEntityCollection(const std::string& name, CEntity* parent)
    : CEntityItem(name, parent), map_(kBuckets, true) {
  items_.SetGrowBy(kGrowBy);
}

CEntityCollection::~CEntityCollection() {
  // The array only lists the items; the map frees them when it owns them.
  items_.RemoveAll();
  map_.DeleteAll();
}

bool CEntityCollection::Add(CEntityItem* item) {
  if (!item || item->GetName().empty() || map_.Lookup(item->GetName())) return false;
  // A collection that holds this one (or this one itself) would end up
  // owning itself, and be freed twice.
  for (const CEntity* e = this; e; e = e->GetParent()) {
    if (e == item) return false;
  }
  if (item->parent_ && item->parent_ != this) {
    // An item another collection holds stays there.
    auto* other = dynamic_cast<CEntityCollection*>(item->parent_);
    if (other && other->map_.Lookup(item->GetName()) == item) return false;
  }
  item->parent_ = this;
  item->index_ = items_.Add(item);
  map_.SetAt(item->GetName(), item);
  return true;
}

bool CEntityCollection::Delete(const std::string& name) {
  CEntityItem* item = map_.Lookup(name);
  if (!item) return false;
  const int at = items_.Find(item);
  items_.RemoveAt(at);
  for (int i = at; i < items_.GetSize(); ++i) items_.GetAt(i)->index_ = i;
  item->index_ = -1;
  return map_.Delete(name);
}

CEntityItem* CEntityCollection::FindItem(const std::string& name) const {
  return map_.Lookup(name);
}

CWellboreItem::~CWellboreItem() {
  for (CCompletionItem* completion : completions_) completion->wellbore_ = nullptr;
}

CCompletionItem::~CCompletionItem() {
  if (wellbore_) wellbore_->completions_.RemoveItem(this);
  for (CCategorySubItem* value : categoryItems_) value->completions_.RemoveItem(this);
}

bool CCompletionItem::AddCategoryItem(CCategorySubItem* value) {
  if (!value || categoryItems_.Find(value) >= 0) return false;
  categoryItems_.Add(value);
  value->completions_.Add(this);
  return true;
}

CCategorySubItem* CCompletionItem::CategoryValue(const std::string& category) const {
  for (CCategorySubItem* value : categoryItems_) {
    const CCategoryItem* c = value->Category();
    if (c && c->GetName() == category) return value;
  }
  return nullptr;
}

void CCompletionItem::SetWellboreItem(CWellboreItem* wellbore) {
  if (wellbore == wellbore_) return;
  if (wellbore_) wellbore_->completions_.RemoveItem(this);
  wellbore_ = wellbore;
  if (wellbore_) wellbore_->completions_.Add(this);
}

CEntityItem* CCompletionCollection::AddItem(const std::string& name) {
  if (CEntityItem* item = FindItem(name)) return item;
  return AddNew(new CCompletionItem(name, this));
}

CCompletionItem* CCompletionCollection::FindItem(const std::string& name) const {
  return dynamic_cast<CCompletionItem*>(CEntityCollection::FindItem(name));
}

CEntityItem* CWellboreCollection::AddItem(const std::string& name) {
  if (CEntityItem* item = FindItem(name)) return item;
  return AddNew(new CWellboreItem(name, this));
}

CWellboreItem* CWellboreCollection::FindItem(const std::string& name) const {
  return dynamic_cast<CWellboreItem*>(CEntityCollection::FindItem(name));
}

CCollections::CCollections()
    : completions_(new CCompletionCollection("Completion", nullptr)),
      categories_(new CCategoryCollection("Category", nullptr)),
      patterns_(new CPatternSetCollection("Pattern", nullptr)),
      wellbores_(new CWellboreCollection("Wellbore", nullptr)) {}

CCollections::~CCollections() {
  // The links between completions, wellbores and category values undo
  // themselves in whichever order these go.
  delete wellbores_;
  delete patterns_;
  delete categories_;
  delete completions_;
}

CEntityCollection* CCollections::GetAt(int index) const {
  const std::array<CEntityCollection*, kCount> all = {completions_, categories_, patterns_,
                                                      wellbores_};
  return index >= 0 && index < kCount ? all[static_cast<size_t>(index)] : nullptr;
}

int CEntities::NoCategories() const {
  return Categories()->Count();
}

int CEntities::NoWells() const {
  return Completions()->Count();
}

int CEntities::WellsInFilter() const {
  if (!filterActive_) return NoWells();
  const bool invert = Completions()->FilterInvert();
  int count = 0;
  for (const CEntityItem* item : Completions()->Items()) {
    if ((item->GetCurrentFilter() != 0) != invert) ++count;
  }
  return count;
}

void CEntities::Clear() {
  current_ = nullptr;
  collections_ = std::make_unique<CCollections>();
}

void CZelEntity::SetName(const std::string& name) {
  name_ = name;
  crc_ = crc32(name);
}
