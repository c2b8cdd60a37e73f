// Fields and keys: how the host describes the columns of its tables. A
// `CField` is a column (name, alias, type, size, key, attributes), a
// `CKeyField` a column of a table's key that may point into another table, a
// `CZelField` the full description the host keeps of a variable (units,
// multipliers, range, plot and report attributes). The host builds queries
// from arrays of them, links tables through `CTblAssociation` and reads
// tables it does not know in advance through a `CGenericSchema`.
//
// Field arrays own their fields: they free them when emptied or destroyed,
// and a copy of an array copies its fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostmodel/model_object.h"

namespace zelba::hostmodel {

// The host's field types, and the size that CField::SetDefaultSize gives a
// field of each type.
constexpr short kFieldTypeNone = -1;    // no type yet: the size stays as set (0 if negative)
constexpr short kFieldTypeBoolean = 0;  // 1 byte
constexpr short kFieldTypeByte = 1;     // 1 byte
constexpr short kFieldTypeShort = 2;    // 2 bytes
constexpr short kFieldTypeLong = 3;     // 4 bytes
constexpr short kFieldTypeSingle = 4;   // 4 bytes
constexpr short kFieldTypeDouble = 5;   // 8 bytes
constexpr short kFieldTypeDate = 6;     // 8 bytes: a host date yyyymmdd held as a double
constexpr short kFieldTypeText = 7;     // 1 to kMaxTextSize characters, kDefaultTextSize if none
constexpr short kFieldTypeMemo = 8;     // 0: text of any length
constexpr int kDefaultTextSize = 50;
constexpr int kMaxTextSize = 255;

// The attribute bits a field gets when none are given.
constexpr std::int32_t kDefaultFieldAttributes = 32;

}  // namespace zelba::hostmodel

// A column of a host table.
class ZELBA_MODEL_EXPORT CField : public zelba::hostmodel::ModelObject {
 public:
  static const zelba::hostmodel::ModelClass kClass;  // "CField"

  CField() = default;
  // A field whose alias is its name. The values are kept as given; SetType
  // and SetSize bring the size in line with the type.
  explicit CField(const std::string& name, short type = zelba::hostmodel::kFieldTypeNone,
                  int size = 0, short key = -1,
                  std::int32_t attributes = zelba::hostmodel::kDefaultFieldAttributes,
                  void* data = nullptr)
      : CField(name, name, type, size, key, attributes, data) {}
  CField(const std::string& name, const std::string& alias,
         short type = zelba::hostmodel::kFieldTypeNone, int size = 0, short key = -1,
         std::int32_t attributes = zelba::hostmodel::kDefaultFieldAttributes, void* data = nullptr)
      : name_(name),
        alias_(alias),
        type_(type),
        size_(size),
        key_(key),
        attributes_(attributes),
        data_(data) {}
  CField(const CField&) = default;
  CField& operator=(const CField&) = default;
  ~CField() override = default;

  const zelba::hostmodel::ModelClass& RuntimeClass() const override { return kClass; }
  // Stores or loads name, alias, type, size, key and attributes (the data
  // pointer is the caller's and is not stored).
  void Serialize(zelba::hostmodel::ModelArchive& archive) override;
  // A field has a name and a size that is not negative.
  bool IsValid() const override { return !name_.empty() && size_ >= 0; }
  void Dump(std::string& out) const override;
  // Takes the values of `field` (its CField part).
  virtual void CopyFrom(const CField& field);

  const std::string& GetName() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  const std::string& GetAlias() const { return alias_; }
  void SetAlias(const std::string& alias) { alias_ = alias; }
  short GetType() const { return type_; }
  void SetType(short type) {
    type_ = type;
    SetDefaultSize();
  }
  int GetSize() const { return size_; }
  void SetSize(int size) {
    size_ = size;
    SetDefaultSize();
  }
  void SetTypeAndSize(short type, int size) {
    type_ = type;
    size_ = size;
    SetDefaultSize();
  }
  short GetKey() const { return key_; }
  void SetKey(short key) { key_ = key; }
  std::int32_t GetAttributes() const { return attributes_; }
  void SetAttributes(std::int32_t attributes) { attributes_ = attributes; }
  // The caller's data for the column (a value buffer); never owned.
  void* GetData() const { return data_; }
  void SetData(void* data) { data_ = data; }

  // Brings the size in line with the type (see kFieldTypeBoolean...): a
  // fixed-width type gets its width whatever size was set; text keeps a size
  // of 1 to kMaxTextSize, takes kDefaultTextSize for none (0 or less) and is
  // cut to kMaxTextSize above it; memo text has size 0; a type the host does
  // not know keeps its size, a negative one becoming 0.
  void SetDefaultSize();

 private:
  std::string name_;
  std::string alias_;
  short type_ = zelba::hostmodel::kFieldTypeNone;
  int size_ = 0;    // bytes for a fixed-width type, characters for text
  short key_ = -1;  // the field's position in the table's key, -1 when not a key
  std::int32_t attributes_ = zelba::hostmodel::kDefaultFieldAttributes;
  void* data_ = nullptr;
};

// A field of a table's key; a foreign key when it names the table it points
// into.
class ZELBA_MODEL_EXPORT CKeyField : public CField {
 public:
  static const zelba::hostmodel::ModelClass kClass;  // "CKeyField"

  CKeyField() = default;
  explicit CKeyField(const std::string& name, short type = zelba::hostmodel::kFieldTypeNone,
                     int size = 0, short key = -1,
                     std::int32_t attributes = zelba::hostmodel::kDefaultFieldAttributes,
                     void* data = nullptr)
      : CField(name, type, size, key, attributes, data) {}

  const zelba::hostmodel::ModelClass& RuntimeClass() const override { return kClass; }
  // The CField part; the key part too when `field` is a key field.
  void CopyFrom(const CField& field) override;
  virtual void CopyFrom(const CKeyField& field);

  bool GetIsSeg() const { return isSeg_; }
  void SetIsSeg(bool isSeg) { isSeg_ = isSeg; }
  void SetFKNames(const std::string& table, const std::string& field) {
    fkTableName_ = table;
    fkFieldName_ = field;
  }
  void SetFKTableName(const std::string& table) { fkTableName_ = table; }
  const std::string& GetFKTableName() const { return fkTableName_; }
  void SetFKFieldName(const std::string& field) { fkFieldName_ = field; }
  const std::string& GetFKFieldName() const { return fkFieldName_; }
  bool GetIsFK() const { return !fkTableName_.empty(); }

 private:
  bool isSeg_ = false;       // one segment of a key of several fields
  std::string fkTableName_;  // the table the key points into, "" when none
  std::string fkFieldName_;  // the field of that table
};

// The host's full description of a variable's field.
class ZELBA_MODEL_EXPORT CZelField : public CField {
 public:
  static const zelba::hostmodel::ModelClass kClass;  // "CZelField"

  CZelField();
  explicit CZelField(const std::string& name, short type = zelba::hostmodel::kFieldTypeNone,
                     int size = 0, short key = -1,
                     std::int32_t attributes = zelba::hostmodel::kDefaultFieldAttributes,
                     void* data = nullptr);
  CZelField(const std::string& name, const std::string& alias, short type, int size, short key,
            std::int32_t attributes, void* data);
  // A full description with the values of `field` and the host's defaults
  // for the rest.
  explicit CZelField(const CField& field);
  CZelField(const CZelField& field);
  CZelField& operator=(const CZelField&) = default;

  const zelba::hostmodel::ModelClass& RuntimeClass() const override { return kClass; }
  // The CField part; every attribute too when `field` is a CZelField.
  void CopyFrom(const CField& field) override;
  virtual void CopyFrom(const CZelField& field);

  const std::string& GetTable() const { return table_; }
  void SetTable(const std::string& v) { table_ = v; }
  const std::string& GetUnit() const { return unit_; }
  void SetUnit(const std::string& v) { unit_ = v; }
  int GetDbUnitSystem() const { return dbUnitSystem_; }
  void SetDbUnitSystem(int v) { dbUnitSystem_ = v; }
  int GetDisplayUnitSystem() const { return displayUnitSystem_; }
  void SetDisplayUnitSystem(int v) { displayUnitSystem_ = v; }
  const std::string& GetEquation() const { return equation_; }
  void SetEquation(const std::string& v) { equation_ = v; }
  double GetInputMultiplier() const { return inputMultiplier_; }
  void SetInputMultiplier(double v) { inputMultiplier_ = v; }
  double GetOutputMultiplier() const { return outputMultiplier_; }
  void SetOutputMultiplier(double v) { outputMultiplier_ = v; }
  int GetImpliedDecimal() const { return impliedDecimal_; }
  void SetImpliedDecimal(int v) { impliedDecimal_ = v; }
  bool GetCarryForward() const { return carryForward_; }
  void SetCarryForward(bool v) { carryForward_ = v; }
  double GetCarryForwardValue() const { return carryForwardValue_; }
  void SetCarryForwardValue(double v) { carryForwardValue_ = v; }
  bool GetUseRange() const { return useRange_; }
  void SetUseRange(bool v) { useRange_ = v; }
  double GetRangeMin() const { return rangeMin_; }
  void SetRangeMin(double v) { rangeMin_ = v; }
  double GetRangeMax() const { return rangeMax_; }
  void SetRangeMax(double v) { rangeMax_ = v; }
  double GetRangeDefault() const { return rangeDefault_; }
  void SetRangeDefault(double v) { rangeDefault_ = v; }
  const std::string& GetPlotName() const { return plotName_; }
  void SetPlotName(const std::string& v) { plotName_ = v; }
  int GetLineType() const { return lineType_; }
  void SetLineType(int v) { lineType_ = v; }
  std::uint32_t GetLineColour() const { return lineColour_; }
  void SetLineColour(std::uint32_t v) { lineColour_ = v; }
  int GetLineWidth() const { return lineWidth_; }
  void SetLineWidth(int v) { lineWidth_ = v; }
  int GetPointType() const { return pointType_; }
  void SetPointType(int v) { pointType_ = v; }
  std::uint32_t GetPointColour() const { return pointColour_; }
  void SetPointColour(std::uint32_t v) { pointColour_ = v; }
  int GetPointSize() const { return pointSize_; }
  void SetPointSize(int v) { pointSize_ = v; }
  int GetFillType() const { return fillType_; }
  void SetFillType(int v) { fillType_ = v; }
  std::uint32_t GetFillColour() const { return fillColour_; }
  void SetFillColour(std::uint32_t v) { fillColour_ = v; }
  int GetFillInterior() const { return fillInterior_; }
  void SetFillInterior(int v) { fillInterior_ = v; }
  int GetReportCase() const { return reportCase_; }
  void SetReportCase(int v) { reportCase_ = v; }
  int GetColumnAlignment() const { return columnAlignment_; }
  void SetColumnAlignment(int v) { columnAlignment_ = v; }
  int GetDecimals() const { return decimals_; }
  void SetDecimals(int v) { decimals_ = v; }
  int GetReportWidth() const { return reportWidth_; }
  void SetReportWidth(int v) { reportWidth_ = v; }
  const std::string& GetThirdHeader() const { return thirdHeader_; }
  void SetThirdHeader(const std::string& v) { thirdHeader_ = v; }
  int GetEditColumnWidth() const { return editColumnWidth_; }
  void SetEditColumnWidth(int v) { editColumnWidth_ = v; }
  int GetUsageType() const { return usageType_; }
  void SetUsageType(int v) { usageType_ = v; }
  bool GetShared() const { return shared_; }
  void SetShared(bool v) { shared_ = v; }
  bool GetShownInLists() const { return shownInLists_; }
  void SetShownInLists(bool v) { shownInLists_ = v; }
  bool GetDateKey() const { return dateKey_; }
  void SetDateKey(bool v) { dateKey_ = v; }
  int GetFieldLength() const { return fieldLength_; }
  void SetFieldLength(int v) { fieldLength_ = v; }
  std::int32_t GetFieldAttributes() const { return fieldAttributes_; }
  void SetFieldAttributes(std::int32_t v) { fieldAttributes_ = v; }

 private:
  std::string table_;            // the host table the variable is a column of
  std::string unit_;             // its unit ("bbl")
  int dbUnitSystem_ = 0;         // unit system of the stored values
  int displayUnitSystem_ = 0;    // unit system values are shown in
  std::string equation_;         // a calculated variable's equation, "" for a stored one
  double inputMultiplier_ = 1;   // a value typed in is multiplied by it before storing
  double outputMultiplier_ = 1;  // a stored value is multiplied by it for display
  int impliedDecimal_ = 0;       // decimals implied in values read without a point
  bool carryForward_ = false;    // a day without a value takes the last one
  double carryForwardValue_ = 0;
  bool useRange_ = false;  // values outside rangeMin..rangeMax are refused
  double rangeMin_ = 0;
  double rangeMax_ = 0;
  double rangeDefault_ = 0;
  std::string plotName_;
  int lineType_ = 0;
  std::uint32_t lineColour_ = 0;  // 0xRRGGBB
  int lineWidth_ = 1;             // pixels
  int pointType_ = 0;
  std::uint32_t pointColour_ = 0;  // 0xRRGGBB
  int pointSize_ = 1;              // pixels
  int fillType_ = 0;
  std::uint32_t fillColour_ = 0;  // 0xRRGGBB
  int fillInterior_ = 0;
  int reportCase_ = 0;  // letter case of the report's headers
  int columnAlignment_ = 0;
  int decimals_ = 2;         // decimals in reports
  int reportWidth_ = 10;     // characters of the report column
  std::string thirdHeader_;  // the report column's third header line
  int editColumnWidth_ = 0;  // characters of the edit grid's column, 0 for the default
  int usageType_ = 0;
  bool shared_ = false;       // shared by the host's projects
  bool shownInLists_ = true;  // offered in the host's variable lists
  bool dateKey_ = false;      // the field is the table's date key
  int fieldLength_ = 0;       // characters of a text field in the database
  std::int32_t fieldAttributes_ = 0;
};

// The fields of a table, owned by the array.
class ZELBA_MODEL_EXPORT CFieldArray : public zelba::hostmodel::ModelPtrArray<CField> {
 public:
  CFieldArray() = default;
  // Copies of the fields of `other`, each of its own class.
  CFieldArray(const CFieldArray& other);
  CFieldArray& operator=(const CFieldArray& other);
  ~CFieldArray() { RemoveAll(); }

  // A new field with these values at the end; the array owns it.
  CField* AddNewField(const std::string& name, short type, int size, short key = -1,
                      std::int32_t attributes = zelba::hostmodel::kDefaultFieldAttributes,
                      void* data = nullptr);
  // Frees the fields and empties the array.
  void RemoveAll();
};

// The key fields of a table, owned by the array.
class ZELBA_MODEL_EXPORT CKeyArray : public zelba::hostmodel::ModelPtrArray<CKeyField> {
 public:
  CKeyArray() = default;
  CKeyArray(const CKeyArray& other);
  CKeyArray& operator=(const CKeyArray& other);
  ~CKeyArray() { RemoveAll(); }

  CKeyField* AddNewField(const std::string& name, short type, int size, short key = -1,
                         std::int32_t attributes = zelba::hostmodel::kDefaultFieldAttributes,
                         void* data = nullptr);
  // Frees the key fields and empties the array.
  void RemoveAll();
};

// Full field descriptions, owned by the array; every field in it is a
// CZelField.
class ZELBA_MODEL_EXPORT CZelFieldArray : public CFieldArray {
 public:
  CZelFieldArray() = default;
  // A full description of each field of `fields` (a CZelField copied, any
  // other field completed with the host's defaults).
  explicit CZelFieldArray(const CFieldArray& fields);
  CZelFieldArray(const CZelFieldArray& other) : CFieldArray(other) {}
  CZelFieldArray& operator=(const CZelFieldArray& other) {
    CFieldArray::operator=(other);
    return *this;
  }

  CZelField* AddNewField(const std::string& name, short type, int size, short key = -1,
                         std::int32_t attributes = zelba::hostmodel::kDefaultFieldAttributes,
                         void* data = nullptr);
  // The field at `index` as the full description it is; null outside the
  // array or for a field that is not a CZelField.
  CZelField* GetZelField(int index) const;
};

// A link between two host tables.
class ZELBA_MODEL_EXPORT CTblAssociation {
 public:
  CTblAssociation() = default;
  CTblAssociation(const std::string& table, const std::string& linkedTable,
                  const std::string& keyField)
      : table(table), linkedTable(linkedTable), keyField(keyField) {}

  int type = 0;          // how the tables are linked
  int linkedIndex = -1;  // the linked table's position in the host's list, -1 when none
  int order = 0;         // order of the link among the table's links
  double values[4] = {0.0, 0.0, 0.0, 0.0};      // the host's numbers of the link
  unsigned char flags[6] = {0, 0, 0, 0, 0, 0};  // the host's flags of the link
  std::string table;                            // the table the link starts from
  std::string linkedTable;                      // the table it leads to
  std::string keyField;                         // the field they share
  std::string description;
};

// One column of a table read through a generic schema.
class ZELBA_MODEL_EXPORT CGenericItem {
 public:
  static constexpr int kValueCount = 15;

  CGenericItem() = default;
  // `values` is null or kValueCount numbers, copied.
  CGenericItem(const std::string& name, int type, int size, int column, int order, bool isKey,
               bool isVisible, const int* values = nullptr);

  const std::string& GetName() const { return name_; }
  int GetType() const { return type_; }
  int GetItemSize() const { return size_; }
  int GetColumn() const { return column_; }
  int GetOrder() const { return order_; }
  bool IsKey() const { return isKey_; }
  bool IsVisible() const { return isVisible_; }
  // The host's number `index` (0..kValueCount-1); 0 outside.
  int GetValue(int index) const { return index >= 0 && index < kValueCount ? values_[index] : 0; }

 private:
  std::string name_;
  int type_ = 0;    // a kFieldType... of the column
  int size_ = 0;    // its size, as CField's
  int column_ = 0;  // its position in the table's rows
  int order_ = 0;   // its position in displays
  bool isKey_ = false;
  bool isVisible_ = true;
  int values_[kValueCount] = {};
};

// The layout of a table the host reads without knowing it in advance: its
// columns, owned by the schema, and their names in order.
class ZELBA_MODEL_EXPORT CGenericSchema : public zelba::hostmodel::ModelPtrArray<CGenericItem> {
 public:
  CGenericSchema() = default;
  CGenericSchema(const CGenericSchema&) = delete;
  CGenericSchema& operator=(const CGenericSchema&) = delete;
  ~CGenericSchema();

  // Appends `item`, which the schema then owns; the first key column becomes
  // the key field column. Returns false (and frees nothing) for null or for a
  // name the schema already has: the caller keeps that item.
  bool AddGenericItem(CGenericItem* item);
  // The column of that exact name, or null.
  CGenericItem* FindGenericSchemaItem(const std::string& name) const;
  // The position of the key column in the rows, -1 when there is none.
  int GetKeyFieldCol() const { return keyFieldCol_; }
  // The host's record set the schema was read from; never owned.
  void SetRecordsetPtr(void* recordset) { recordset_ = recordset; }
  void* GetRecordsetPtr() const { return recordset_; }

  const std::vector<std::string>& ColumnNames() const { return columnNames_; }
  const std::string& GetTableName() const { return tableName_; }
  void SetTableName(const std::string& name) { tableName_ = name; }

 private:
  std::vector<std::string> columnNames_;  // the items' names, in order
  std::string tableName_;
  std::string keyFieldName_;  // the name of the key column, "" when none
  int keyFieldCol_ = -1;
  int version_ = 0;                                   // the layout's version, as the host stamps it
  zelba::hostmodel::ModelPtrMap<void*, void> links_;  // the host's own links of the columns
  bool modified_ = false;
  void* recordset_ = nullptr;
};

// A query's where clause, as the host's parser gives it.
class ZELBA_MODEL_EXPORT CParserWhereClause {
 public:
  bool HasGroupData() const { return hasGroupData_; }
  void SetHasGroupData(bool has) { hasGroupData_ = has; }

 private:
  bool hasGroupData_ = false;  // the clause tests values of grouped entities
};
