// Categories and patterns: the out-of-line members the host supplies.
#include "hostmodel/categories.h"

CCategorySubItem::~CCategorySubItem() {
  for (CCompletionItem* completion : completions_) completion->categoryItems_.RemoveItem(this);
}

CCategoryItem* CCategorySubItem::Category() const {
  return dynamic_cast<CCategoryItem*>(GetParent());
}

CEntityItem* CCategoryItem::AddItem(const std::string& name) {
  if (CEntityItem* item = FindItem(name)) return item;
  return AddNew(new CCategorySubItem(name, this));
}

CCategorySubItem* CCategoryItem::FindItem(const std::string& name) const {
  return dynamic_cast<CCategorySubItem*>(CEntityCollection::FindItem(name));
}

CEntityItem* CCategoryCollection::AddItem(const std::string& name) {
  if (CEntityItem* item = FindItem(name)) return item;
  CCategoryItem* category = AddNew(new CCategoryItem(name, this));
  if (category) category->SetOriginalIndex(category->GetIndex());
  return category;
}

CCategoryItem* CCategoryCollection::FindItem(const std::string& name) const {
  return dynamic_cast<CCategoryItem*>(CEntityCollection::FindItem(name));
}

int CCategoryCollection::OriginalIndex(const std::string& name) const {
  const CCategoryItem* category = FindItem(name);
  return category ? category->GetOriginalIndex() : -1;
}

CCategoryItems CCategoryCollection::Categories() const {
  CCategoryItems categories;
  for (CEntityItem* item : Items()) {
    if (auto* category = dynamic_cast<CCategoryItem*>(item)) categories.Add(category);
  }
  return categories;
}

const std::string& CSortedCategoryArray::operator[](int index) const {
  static const std::string kNone;
  if (index < 0 || index >= GetSize()) return kNone;
  return names_[static_cast<size_t>(index)];
}

void CSortedCategoryArray::Add(const std::string& name) {
  auto it = names_.begin();
  while (it != names_.end() && *it <= name) ++it;
  names_.insert(it, name);
}

const std::string& CPatternCompletionItem::GetName() const {
  static const std::string kNone;
  return completion_ ? completion_->GetName() : kNone;
}

CEntity* CPatternCompletionItem::GetParent() const {
  return pattern_;
}

CPatternItem::~CPatternItem() {
  for (CPatternCompletionItem* item : items_) delete item;
}

bool CPatternItem::Delete(const std::string& name) {
  for (int i = 0; i < items_.GetSize(); ++i) {
    if (items_.GetAt(i)->GetName() == name) {
      delete items_.RemoveAt(i);
      return true;
    }
  }
  return false;
}

CPatternCompletionItem* CPatternItem::AddCompletion(CCompletionItem* completion) {
  if (!completion) return nullptr;
  for (CPatternCompletionItem* item : items_) {
    if (item->Completion() == completion) return item;
  }
  auto* item = new CPatternCompletionItem(completion, this);
  items_.Add(item);
  return item;
}

CEntityItem* CPatternSetItem::AddItem(const std::string& name) {
  if (CEntityItem* item = FindItem(name)) return item;
  return AddNew(new CPatternItem(name, this));
}

CPatternItem* CPatternSetItem::FindItem(const std::string& name) const {
  return dynamic_cast<CPatternItem*>(CEntityCollection::FindItem(name));
}

CEntityItem* CPatternSetCollection::AddItem(const std::string& name) {
  if (CEntityItem* item = FindItem(name)) return item;
  return AddNew(new CPatternSetItem(name, this));
}

CPatternSetItem* CPatternSetCollection::FindItem(const std::string& name) const {
  return dynamic_cast<CPatternSetItem*>(CEntityCollection::FindItem(name));
}
