// XML: how the host stores settings and layouts as a tree of labelled
// nodes. `CXMLutil` holds a document and its root, `CXMLNode` walks and
// grows the tree, `CXMLEnumTypes` gives the names under which enumerated
// values (field types, alignments) are written.
//
// The tree is held in memory only (XmlElement below): nothing in the module
// reads or writes XML files, so no XML library is used. The document and
// its root are shared: a copy of a CXMLutil or a CXMLNode refers to the same
// nodes and keeps them alive.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "hostmodel/model_object.h"

namespace zelba::hostmodel {

// A node of the host's XML tree: its label (the element's tag), its name
// attribute ("" for none) and its children in order.
struct XmlElement {
  std::string label;
  std::string name;
  std::vector<std::shared_ptr<XmlElement>> children;
};

}  // namespace zelba::hostmodel

// The labels of the host's XML nodes; GetZelXMLLabel gives each one's text.
enum ZelXMLLabel : int {
  kXmlLabelDocument = 0,  // "ZelDocument"
  kXmlLabelField,         // "Field"
  kXmlLabelKeyField,      // "KeyField"
  kXmlLabelCategory,      // "Category"
  kXmlLabelCompletion,    // "Completion"
  kXmlLabelPattern,       // "Pattern"
  kXmlLabelUnit,          // "Unit"
  kXmlLabelEnumType,      // "EnumType"
  kXmlLabelCount
};

// The text of a node label; "" for a number that is not a ZelXMLLabel.
ZELBA_MODEL_EXPORT const char* GetZelXMLLabel(int label);

// A document being stored (built) or loaded (read), with its root node.
class ZELBA_MODEL_EXPORT CXMLutil {
 public:
  // A new document for `path` whose root is a "ZelDocument" node; `storing`
  // tells whether the host is building it or reading it.
  explicit CXMLutil(bool storing = true, const std::string& path = "");
  CXMLutil(const CXMLutil& other) = default;
  CXMLutil& operator=(const CXMLutil& other) = default;
  ~CXMLutil();

  bool IsStoring() const { return storing_ != 0; }
  bool IsLoading() const { return storing_ == 0; }
  const std::string& GetPath() const { return path_; }
  const std::shared_ptr<zelba::hostmodel::XmlElement>& Document() const { return document_; }
  const std::shared_ptr<zelba::hostmodel::XmlElement>& Root() const { return root_; }

 private:
  unsigned char storing_ = 1;
  unsigned char modified_ = 0;  // a node was added since the document was made
  std::string path_;            // the file the host reads or writes the document as
  std::string rootLabel_;
  std::shared_ptr<zelba::hostmodel::XmlElement> document_;  // the document node
  std::shared_ptr<zelba::hostmodel::XmlElement> root_;      // its root element

  friend class CXMLNode;
};

// A node of a document, or no node (IsValid false).
class ZELBA_MODEL_EXPORT CXMLNode {
 public:
  // The root node of `xml`.
  explicit CXMLNode(CXMLutil& xml) : xml_(&xml), node_(xml.root_) {}
  CXMLNode(CXMLutil* xml, std::shared_ptr<zelba::hostmodel::XmlElement> node)
      : xml_(xml), node_(std::move(node)) {}

  // The first child with the label's text and `name`. When there is none
  // and `create` is set (or the document is being stored), a new child is
  // added at the end; with re-create set, a child found is replaced by a new
  // empty one in its place. An invalid node for an invalid node, a label
  // that is not a ZelXMLLabel or a child neither found nor created.
  CXMLNode GetChild(int label, const std::string& name, bool create = false) const;
  // (So that a quoted name is a name, not the create flag.)
  CXMLNode GetChild(int label, const char* name, bool create = false) const {
    return GetChild(label, std::string(name ? name : ""), create);
  }
  // The first child with the label's text, whatever its name.
  CXMLNode GetChild(int label, bool create = false) const;

  const std::shared_ptr<zelba::hostmodel::XmlElement>& GetXMLDOMNode() const { return node_; }
  bool IsStoring() const { return xml_ && xml_->IsStoring(); }
  bool IsLoading() const { return xml_ && xml_->IsLoading(); }
  bool IsValid() const { return xml_ && node_; }
  void SetReCreate(bool reCreate) { reCreate_ = reCreate; }

 private:
  CXMLNode FindOrCreate(int label, const std::string* name, bool create) const;

  CXMLutil* xml_ = nullptr;  // the document's owner; not owned
  std::shared_ptr<zelba::hostmodel::XmlElement> node_;
  bool reCreate_ = false;
};

// An enumerated type: the names its values are written under, by value.
class ZELBA_MODEL_EXPORT CXMLEnumType {
 public:
  CXMLEnumType(const std::string& name, int valueType, std::vector<std::string> values)
      : values_(std::move(values)), name_(name), valueType_(valueType) {}

  const std::string& GetName() const { return name_; }
  int GetValueType() const { return valueType_; }
  int GetSize() const { return static_cast<int>(values_.size()); }
  // The name of `value`; "" for a value outside the type.
  const std::string& ValueName(int value) const;
  // The value named `name`, or -1.
  int Value(const std::string& name) const;

 private:
  std::vector<std::string> values_;
  std::string name_;
  int valueType_ = 0;
};

// The host's enumerated types (owned), by name and by value type.
class ZELBA_MODEL_EXPORT CXMLEnumTypes : public zelba::hostmodel::ModelPtrArray<CXMLEnumType> {
 public:
  // The value types Init fills in.
  static constexpr int kFieldType = 0;        // "FieldType": the kFieldType... codes
  static constexpr int kColumnAlignment = 1;  // "ColumnAlignment": Left, Centre, Right
  static constexpr int kReportCase = 2;       // "ReportCase": As Is, Upper, Lower

  CXMLEnumTypes() : byName_(kBlockSize), byValueType_(kBlockSize) { Init(); }
  CXMLEnumTypes(const CXMLEnumTypes&) = delete;
  CXMLEnumTypes& operator=(const CXMLEnumTypes&) = delete;
  ~CXMLEnumTypes();

  // Fills in the host's types (see kFieldType...).
  void Init();
  CXMLEnumType* FindByName(const std::string& name) const { return byName_.Lookup(name); }
  CXMLEnumType* FindByValueType(int valueType) const { return byValueType_.Lookup(valueType); }

 private:
  static constexpr size_t kBlockSize = 10;

  zelba::hostmodel::ModelPtrMap<std::string, CXMLEnumType> byName_;
  zelba::hostmodel::ModelPtrMap<int, CXMLEnumType> byValueType_;
};
