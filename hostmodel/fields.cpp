// Fields and keys: the out-of-line members the host supplies for them.
#include "hostmodel/fields.h"

#include <algorithm>

using zelba::hostmodel::ModelArchive;
using zelba::hostmodel::ModelClass;
using zelba::hostmodel::ModelObject;

const ModelClass CField::kClass{"CField", &ModelObject::kClass};
const ModelClass CKeyField::kClass{"CKeyField", &CField::kClass};
const ModelClass CZelField::kClass{"CZelField", &CField::kClass};

namespace {

// A copy of `field` of its own class, so that a copied array keeps key
// fields and full descriptions what they are.
CField* cloneField(const CField& field) {
  if (field.IsKindOf(CZelField::kClass)) return new CZelField(static_cast<const CZelField&>(field));
  if (field.IsKindOf(CKeyField::kClass)) return new CKeyField(static_cast<const CKeyField&>(field));
  return new CField(field);
}

}  // namespace

void CField::SetDefaultSize() {
  namespace hm = zelba::hostmodel;
  switch (type_) {
    case hm::kFieldTypeBoolean:
    case hm::kFieldTypeByte:
      size_ = 1;
      break;
    case hm::kFieldTypeShort:
      size_ = 2;
      break;
    case hm::kFieldTypeLong:
    case hm::kFieldTypeSingle:
      size_ = 4;
      break;
    case hm::kFieldTypeDouble:
    case hm::kFieldTypeDate:
      size_ = 8;
      break;
    case hm::kFieldTypeText:
      if (size_ <= 0) size_ = hm::kDefaultTextSize;
      size_ = std::min(size_, hm::kMaxTextSize);
      break;
    case hm::kFieldTypeMemo:
      size_ = 0;
      break;
    default:
      size_ = std::max(size_, 0);
      break;
  }
}

void CField::CopyFrom(const CField& field) {
  if (&field != this) CField::operator=(field);
}

void CField::Serialize(ModelArchive& archive) {
  if (archive.IsStoring()) {
    archive.Write(name_);
    archive.Write(alias_);
    archive.Write(static_cast<long long>(type_));
    archive.Write(static_cast<long long>(size_));
    archive.Write(static_cast<long long>(key_));
    archive.Write(static_cast<long long>(attributes_));
    return;
  }
  // Read everything first so that a short or damaged archive leaves the
  // field as it was.
  std::string name;
  std::string alias;
  long long type = 0;
  long long size = 0;
  long long key = 0;
  long long attributes = 0;
  if (!archive.Read(name) || !archive.Read(alias) || !archive.Read(type) || !archive.Read(size) ||
      !archive.Read(key) || !archive.Read(attributes)) {
    return;
  }
  name_ = name;
  alias_ = alias;
  type_ = static_cast<short>(type);
  size_ = static_cast<int>(size);
  key_ = static_cast<short>(key);
  attributes_ = static_cast<std::int32_t>(attributes);
}

void CField::Dump(std::string& out) const {
  out += std::string(RuntimeClass().name) + " " + name_ + " (" + alias_ + ") type " +
         std::to_string(type_) + " size " + std::to_string(size_) + " key " + std::to_string(key_);
}

void CKeyField::CopyFrom(const CField& field) {
  if (field.IsKindOf(CKeyField::kClass)) {
    CopyFrom(static_cast<const CKeyField&>(field));
  } else {
    CField::CopyFrom(field);
  }
}

void CKeyField::CopyFrom(const CKeyField& field) {
  if (&field != this) *this = field;
}

CZelField::CZelField() = default;

CZelField::CZelField(const std::string& name, short type, int size, short key,
                     std::int32_t attributes, void* data)
    : CField(name, type, size, key, attributes, data) {}

CZelField::CZelField(const std::string& name, const std::string& alias, short type, int size,
                     short key, std::int32_t attributes, void* data)
    : CField(name, alias, type, size, key, attributes, data) {}

CZelField::CZelField(const CField& field) : CField(field) {}

CZelField::CZelField(const CZelField& field) = default;

void CZelField::CopyFrom(const CField& field) {
  if (field.IsKindOf(CZelField::kClass)) {
    CopyFrom(static_cast<const CZelField&>(field));
  } else {
    CField::CopyFrom(field);
  }
}

void CZelField::CopyFrom(const CZelField& field) {
  if (&field != this) *this = field;
}

CFieldArray::CFieldArray(const CFieldArray& other) : ModelPtrArray() {
  for (const CField* f : other) Add(cloneField(*f));
}

CFieldArray& CFieldArray::operator=(const CFieldArray& other) {
  if (&other == this) return *this;
  RemoveAll();
  for (const CField* f : other) Add(cloneField(*f));
  return *this;
}

CField* CFieldArray::AddNewField(const std::string& name, short type, int size, short key,
                                 std::int32_t attributes, void* data) {
  CField* field = new CField(name, type, size, key, attributes, data);
  Add(field);
  return field;
}

void CFieldArray::RemoveAll() {
  for (CField* f : *this) delete f;
  ModelPtrArray::RemoveAll();
}

CKeyArray::CKeyArray(const CKeyArray& other) : ModelPtrArray() {
  for (const CKeyField* f : other) Add(new CKeyField(*f));
}

CKeyArray& CKeyArray::operator=(const CKeyArray& other) {
  if (&other == this) return *this;
  RemoveAll();
  for (const CKeyField* f : other) Add(new CKeyField(*f));
  return *this;
}

CKeyField* CKeyArray::AddNewField(const std::string& name, short type, int size, short key,
                                  std::int32_t attributes, void* data) {
  CKeyField* field = new CKeyField(name, type, size, key, attributes, data);
  Add(field);
  return field;
}

void CKeyArray::RemoveAll() {
  for (CKeyField* f : *this) delete f;
  ModelPtrArray::RemoveAll();
}

CZelFieldArray::CZelFieldArray(const CFieldArray& fields) {
  for (const CField* f : fields) {
    if (f->IsKindOf(CZelField::kClass)) {
      Add(new CZelField(static_cast<const CZelField&>(*f)));
    } else {
      Add(new CZelField(*f));
    }
  }
}

CZelField* CZelFieldArray::AddNewField(const std::string& name, short type, int size, short key,
                                       std::int32_t attributes, void* data) {
  CZelField* field = new CZelField(name, type, size, key, attributes, data);
  Add(field);
  return field;
}

CZelField* CZelFieldArray::GetZelField(int index) const {
  CField* field = GetAt(index);
  if (!field || !field->IsKindOf(CZelField::kClass)) return nullptr;
  return static_cast<CZelField*>(field);
}

CGenericItem::CGenericItem(const std::string& name, int type, int size, int column, int order,
                           bool isKey, bool isVisible, const int* values)
    : name_(name),
      type_(type),
      size_(size),
      column_(column),
      order_(order),
      isKey_(isKey),
      isVisible_(isVisible) {
  if (values) std::copy(values, values + kValueCount, values_);
}

CGenericSchema::~CGenericSchema() {
  for (CGenericItem* item : *this) delete item;
}

bool CGenericSchema::AddGenericItem(CGenericItem* item) {
  if (!item || FindGenericSchemaItem(item->GetName())) return false;
  Add(item);
  columnNames_.push_back(item->GetName());
  if (item->IsKey() && keyFieldCol_ < 0) {
    keyFieldCol_ = item->GetColumn();
    keyFieldName_ = item->GetName();
  }
  modified_ = true;
  return true;
}

CGenericItem* CGenericSchema::FindGenericSchemaItem(const std::string& name) const {
  for (CGenericItem* item : *this) {
    if (item->GetName() == name) return item;
  }
  return nullptr;
}
