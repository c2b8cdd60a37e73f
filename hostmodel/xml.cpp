// XML: the out-of-line members the host supplies, over an in-memory tree.
#include "hostmodel/xml.h"

#include "hostmodel/fields.h"

using zelba::hostmodel::XmlElement;

const char* GetZelXMLLabel(int label) {
  static const char* const kLabels[kXmlLabelCount] = {
      "ZelDocument", "Field", "KeyField", "Category", "Completion", "Pattern", "Unit", "EnumType",
  };
  if (label < 0 || label >= kXmlLabelCount) return "";
  return kLabels[label];
}

CXMLutil::CXMLutil(bool storing, const std::string& path)
    : storing_(storing ? 1 : 0),
      path_(path),
      rootLabel_(GetZelXMLLabel(kXmlLabelDocument)),
      document_(std::make_shared<XmlElement>()),
      root_(std::make_shared<XmlElement>()) {
  root_->label = rootLabel_;
  document_->children.push_back(root_);
}

CXMLutil::~CXMLutil() = default;

CXMLNode CXMLNode::FindOrCreate(int label, const std::string* name, bool create) const {
  if (!IsValid() || label < 0 || label >= kXmlLabelCount) return CXMLNode(xml_, nullptr);
  const std::string text = GetZelXMLLabel(label);
  auto matches = [&](const XmlElement& e) { return e.label == text && (!name || e.name == *name); };
  auto fresh = [&] {
    auto e = std::make_shared<XmlElement>();
    e->label = text;
    if (name) e->name = *name;
    xml_->modified_ = 1;
    return e;
  };
  for (std::shared_ptr<XmlElement>& child : node_->children) {
    if (!matches(*child)) continue;
    if (reCreate_ && (create || IsStoring())) child = fresh();
    return CXMLNode(xml_, child);
  }
  if (!create && !IsStoring()) return CXMLNode(xml_, nullptr);
  node_->children.push_back(fresh());
  return CXMLNode(xml_, node_->children.back());
}

CXMLNode CXMLNode::GetChild(int label, const std::string& name, bool create) const {
  return FindOrCreate(label, &name, create);
}

CXMLNode CXMLNode::GetChild(int label, bool create) const {
  return FindOrCreate(label, nullptr, create);
}

const std::string& CXMLEnumType::ValueName(int value) const {
  static const std::string kNone;
  if (value < 0 || value >= GetSize()) return kNone;
  return values_[static_cast<size_t>(value)];
}

int CXMLEnumType::Value(const std::string& name) const {
  for (size_t i = 0; i < values_.size(); ++i) {
    if (values_[i] == name) return static_cast<int>(i);
  }
  return -1;
}

void CXMLEnumTypes::Init() {
  namespace hm = zelba::hostmodel;
  static_assert(hm::kFieldTypeBoolean == 0 && hm::kFieldTypeMemo == 8,
                "the field type names follow the type codes");
  struct Type {
    const char* name;
    int valueType;
    std::vector<std::string> values;
  };
  const Type types[] = {
      {"FieldType",
       kFieldType,
       {"Boolean", "Byte", "Short", "Long", "Single", "Double", "Date", "Text", "Memo"}},
      {"ColumnAlignment", kColumnAlignment, {"Left", "Centre", "Right"}},
      {"ReportCase", kReportCase, {"As Is", "Upper", "Lower"}},
  };
  for (const Type& t : types) {
    if (FindByName(t.name)) continue;
    CXMLEnumType* type = new CXMLEnumType(t.name, t.valueType, t.values);
    Add(type);
    byName_.SetAt(type->GetName(), type);
    byValueType_.SetAt(type->GetValueType(), type);
  }
}

CXMLEnumTypes::~CXMLEnumTypes() {
  for (CXMLEnumType* type : *this) delete type;
}
