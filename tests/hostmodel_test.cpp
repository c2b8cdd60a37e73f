// The host's data-model classes: fields and their default sizes, the
// ownership of collections and arrays, reference counting, factors by date,
// the XML tree, and the entities the stand-in host fills from a temporary
// production database.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "host/host_data.h"
#include "host/host_database.h"
#include "host/sqlite_db.h"
#include "hostmodel/host_model.h"
#include "tests/temp_dir.h"

namespace {

namespace hm = zelba::hostmodel;

// An entity item that counts how many of its kind are alive, to see who
// frees them.
class CountedItem : public CEntityItem {
 public:
  CountedItem(const std::string& name, CEntity* parent) : CEntityItem(name, parent) { ++alive; }
  ~CountedItem() override { --alive; }
  static int alive;
};
int CountedItem::alive = 0;

// A collection of counted items.
class CountedCollection : public CEntityCollection {
 public:
  using CEntityCollection::CEntityCollection;
  CEntityItem* AddItem(const std::string& name) override {
    if (CEntityItem* item = FindItem(name)) return item;
    return AddNew(new CountedItem(name, this));
  }
};

// A reference-counted object that says when it is freed.
class Probe : public hm::RefCounted {
 public:
  explicit Probe(int* freed) : freed_(freed) {}

 private:
  ~Probe() override { ++*freed_; }
  int* freed_;
};

TEST(HostModel, FieldDefaultsSizesAndForeignKeys) {
  // One name: the alias is the name; the other values are the defaults.
  const CField oil("MEASURED.OIL");
  EXPECT_EQ(oil.GetAlias(), "MEASURED.OIL");
  EXPECT_EQ(oil.GetType(), -1);
  EXPECT_EQ(oil.GetSize(), 0);
  EXPECT_EQ(oil.GetKey(), -1);
  EXPECT_EQ(oil.GetAttributes(), 32);
  EXPECT_EQ(oil.GetData(), nullptr);
  const CField named("OIL", "Oil volume", hm::kFieldTypeDouble, 8, 2);
  EXPECT_EQ(named.GetName(), "OIL");
  EXPECT_EQ(named.GetAlias(), "Oil volume");
  EXPECT_EQ(named.GetKey(), 2);

  // Setting the type or the size brings the size in line with the type.
  CField f("F");
  f.SetType(hm::kFieldTypeLong);
  EXPECT_EQ(f.GetSize(), 4);
  f.SetSize(99);  // a long is 4 bytes whatever is asked
  EXPECT_EQ(f.GetSize(), 4);
  f.SetType(hm::kFieldTypeText);  // text keeps the 4 characters it has
  EXPECT_EQ(f.GetSize(), 4);
  f.SetSize(0);
  EXPECT_EQ(f.GetSize(), 50);
  f.SetSize(1000);
  EXPECT_EQ(f.GetSize(), 255);
  f.SetTypeAndSize(hm::kFieldTypeDate, 3);
  EXPECT_EQ(f.GetSize(), 8);
  f.SetTypeAndSize(hm::kFieldTypeShort, 0);
  EXPECT_EQ(f.GetSize(), 2);
  f.SetType(hm::kFieldTypeMemo);
  EXPECT_EQ(f.GetSize(), 0);
  f.SetTypeAndSize(99, -5);  // a type the host does not know: no negative size
  EXPECT_EQ(f.GetSize(), 0);
  f.SetSize(7);
  EXPECT_EQ(f.GetSize(), 7);

  // A key field is a foreign key once it names the table it points into.
  CKeyField key("VALUE_ID", hm::kFieldTypeLong, 4, 0);
  EXPECT_FALSE(key.GetIsFK());
  key.SetFKFieldName("VALUE_ID");
  EXPECT_FALSE(key.GetIsFK());
  key.SetFKTableName("CATEGORY_VALUES");
  EXPECT_TRUE(key.GetIsFK());
  key.SetFKNames("", "VALUE_ID");
  EXPECT_FALSE(key.GetIsFK());

  // CopyFrom through a CField reference copies the key part of a key field,
  // and only the CField part of a plain field.
  CKeyField source("WELL_ID", hm::kFieldTypeLong, 4, 0);
  source.SetFKNames("WELLS", "WELL_ID");
  source.SetIsSeg(true);
  CKeyField target;
  target.CopyFrom(static_cast<const CField&>(source));
  EXPECT_EQ(target.GetName(), "WELL_ID");
  EXPECT_EQ(target.GetFKTableName(), "WELLS");
  EXPECT_TRUE(target.GetIsSeg());
  target.CopyFrom(CField("DATE", hm::kFieldTypeDate, 8));
  EXPECT_EQ(target.GetName(), "DATE");
  EXPECT_EQ(target.GetFKTableName(), "WELLS");

  // A full description made from a field keeps its values and has the
  // host's multipliers of 1.
  CField plain("GAS", "Gas", hm::kFieldTypeDouble, 8, -1, 7);
  const CZelField full(plain);
  EXPECT_EQ(full.GetAlias(), "Gas");
  EXPECT_EQ(full.GetAttributes(), 7);
  EXPECT_EQ(full.GetInputMultiplier(), 1.0);
  EXPECT_TRUE(full.IsKindOf(CField::kClass));
  EXPECT_FALSE(plain.IsKindOf(CZelField::kClass));
}

TEST(HostModel, FieldSerialisationRoundTripsAndRefusesShortArchives) {
  CField field("STATUS", "Well status", hm::kFieldTypeText, 20, 3, 96);
  hm::ModelArchive out;
  field.Serialize(out);
  ASSERT_EQ(out.Values().size(), 6u);

  hm::ModelArchive in(out.Values());
  CField back;
  back.Serialize(in);
  EXPECT_FALSE(in.Failed());
  EXPECT_EQ(back.GetName(), "STATUS");
  EXPECT_EQ(back.GetAlias(), "Well status");
  EXPECT_EQ(back.GetType(), hm::kFieldTypeText);
  EXPECT_EQ(back.GetSize(), 20);
  EXPECT_EQ(back.GetKey(), 3);
  EXPECT_EQ(back.GetAttributes(), 96);

  // Cut short, and with text where a number belongs: the field is as it was.
  std::vector<std::string> shortValues(out.Values().begin(), out.Values().begin() + 4);
  std::vector<std::string> badValues = out.Values();
  badValues[3] = "twenty";
  for (const auto& values : {shortValues, badValues}) {
    hm::ModelArchive damaged(values);
    CField kept("KEPT");
    kept.Serialize(damaged);
    EXPECT_TRUE(damaged.Failed());
    EXPECT_EQ(kept.GetName(), "KEPT");
    EXPECT_EQ(kept.GetSize(), 0);
  }
}

TEST(HostModel, FieldArraysOwnAndCopyTheirFields) {
  CFieldArray fields;
  CField* oil = fields.AddNewField("OIL", hm::kFieldTypeDouble, 8);
  auto* key = new CKeyField("WELL_ID", hm::kFieldTypeLong, 4, 0);
  key->SetFKTableName("WELLS");
  fields.Add(key);  // the array owns it from now on

  const CFieldArray copy(fields);
  ASSERT_EQ(copy.GetSize(), 2);
  EXPECT_NE(copy[0], oil);  // a copy of its own, freed by the copy
  EXPECT_EQ(copy[0]->GetName(), "OIL");
  ASSERT_TRUE(copy[1]->IsKindOf(CKeyField::kClass));
  EXPECT_EQ(static_cast<CKeyField*>(copy[1])->GetFKTableName(), "WELLS");

  CFieldArray assigned;
  assigned.AddNewField("STALE", hm::kFieldTypeText, 10);
  assigned = copy;
  assigned = assigned;  // assignment to itself keeps the fields
  ASSERT_EQ(assigned.GetSize(), 2);
  EXPECT_EQ(assigned[1]->GetName(), "WELL_ID");

  // Full descriptions of every field, a key field's values kept.
  const CZelFieldArray full(fields);
  ASSERT_EQ(full.GetSize(), 2);
  ASSERT_NE(full.GetZelField(1), nullptr);
  EXPECT_EQ(full.GetZelField(1)->GetName(), "WELL_ID");
  EXPECT_EQ(full.GetZelField(2), nullptr);

  CKeyArray keys;
  keys.AddNewField("DATE", hm::kFieldTypeDate, 8, 1)->SetIsSeg(true);
  CKeyArray keyCopy = keys;
  keys.RemoveAll();
  EXPECT_EQ(keys.GetSize(), 0);
  ASSERT_EQ(keyCopy.GetSize(), 1);
  EXPECT_TRUE(keyCopy[0]->GetIsSeg());

  // A generic schema owns its columns and refuses a second of the same name.
  CGenericSchema schema;
  const int values[CGenericItem::kValueCount] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  EXPECT_TRUE(schema.AddGenericItem(new CGenericItem("DATE", 6, 8, 1, 0, false, true)));
  EXPECT_TRUE(schema.AddGenericItem(new CGenericItem("WELL_ID", 3, 4, 0, 1, true, true, values)));
  CGenericItem twice("DATE", 6, 8, 2, 2, false, true);
  EXPECT_FALSE(schema.AddGenericItem(&twice));
  EXPECT_FALSE(schema.AddGenericItem(nullptr));
  EXPECT_EQ(schema.GetKeyFieldCol(), 0);
  ASSERT_NE(schema.FindGenericSchemaItem("WELL_ID"), nullptr);
  EXPECT_EQ(schema.FindGenericSchemaItem("WELL_ID")->GetValue(14), 15);
  EXPECT_EQ(schema.FindGenericSchemaItem("WELL_ID")->GetValue(15), 0);
  EXPECT_EQ(schema.ColumnNames(), (std::vector<std::string>{"DATE", "WELL_ID"}));
}

TEST(HostModel, CollectionsAreCreatedInOrderWithTheirNames) {
  const CCollections collections;
  const char* names[] = {"Completion", "Category", "Pattern", "Wellbore"};
  for (int i = 0; i < CCollections::kCount; ++i) {
    ASSERT_NE(collections.GetAt(i), nullptr) << i;
    EXPECT_EQ(collections.GetAt(i)->GetName(), names[i]) << i;
    EXPECT_EQ(collections.GetAt(i)->Count(), 0) << i;
  }
  EXPECT_EQ(collections.GetAt(0), collections.Completions());
  EXPECT_EQ(collections.GetAt(1), collections.Categories());
  EXPECT_EQ(collections.GetAt(2), collections.Patterns());
  EXPECT_EQ(collections.GetAt(3), collections.Wellbores());
  EXPECT_EQ(collections.GetAt(4), nullptr);
  EXPECT_EQ(collections.GetAt(-1), nullptr);
}

TEST(HostModel, CollectionFindsRenamesDeletesAndOwnsItsItems) {
  ASSERT_EQ(CountedItem::alive, 0);
  {
    CountedCollection wells("Wells", nullptr);
    CEntityItem* n1 = wells.AddItem("N-01");
    CEntityItem* n2 = wells.AddItem("N-02");
    CEntityItem* n3 = wells.AddItem("N-03");
    EXPECT_EQ(wells.AddItem("N-02"), n2);  // the item of that name, not a second one
    EXPECT_EQ(wells.AddItem(""), nullptr);
    EXPECT_EQ(wells.Count(), 3);
    EXPECT_EQ(CountedItem::alive, 3);
    EXPECT_EQ(n3->GetIndex(), 2);
    EXPECT_EQ(n3->GetParent(), &wells);
    EXPECT_EQ(wells.FindItem("N-03"), n3);
    EXPECT_EQ(wells.FindItem("n-03"), nullptr);

    // Renaming keeps the name map in step; a name in use is refused.
    EXPECT_TRUE(n2->Rename("N-05"));
    EXPECT_EQ(wells.FindItem("N-02"), nullptr);
    EXPECT_EQ(wells.FindItem("N-05"), n2);
    EXPECT_FALSE(n2->Rename("N-01"));
    EXPECT_FALSE(n2->Rename(""));
    EXPECT_EQ(n2->GetName(), "N-05");
    EXPECT_EQ(wells.FindItem("N-01"), n1);

    // A second item of a name the collection has is refused; the caller
    // keeps it.
    CountedItem clash("N-03", nullptr);
    EXPECT_FALSE(wells.Add(&clash));
    EXPECT_EQ(wells.FindItem("N-03"), n3);

    // Deleting by name frees the item and renumbers the rest.
    EXPECT_TRUE(wells.Delete("N-01"));
    EXPECT_FALSE(wells.Delete("N-01"));
    EXPECT_EQ(CountedItem::alive, 3);  // N-05, N-03 and the clash
    EXPECT_EQ(wells.Count(), 2);
    EXPECT_EQ(wells.FindItem("N-01"), nullptr);
    EXPECT_EQ(wells.Items()[0], n2);
    EXPECT_EQ(n2->GetIndex(), 0);
    EXPECT_EQ(n3->GetIndex(), 1);

    // An item held by one collection is not taken by another.
    CountedCollection other("Other", nullptr);
    EXPECT_FALSE(other.Add(n3));
    EXPECT_EQ(n3->GetParent(), &wells);
    // Nor can a collection come to hold itself.
    auto* inner = new CountedCollection("Inner", nullptr);
    ASSERT_TRUE(wells.Add(inner));
    EXPECT_FALSE(inner->Add(&wells));
    EXPECT_FALSE(wells.Add(&wells));
    EXPECT_TRUE(wells.Delete("Inner"));
  }
  EXPECT_EQ(CountedItem::alive, 0);  // the collection freed the rest

  // With the delete-items flag cleared the items stay the caller's.
  CEntityItem* kept = nullptr;
  CEntityItem* taken = nullptr;
  {
    CountedCollection wells("Wells", nullptr);
    wells.NameMap().SetDeleteItems(false);
    kept = wells.AddItem("N-10");
    taken = wells.AddItem("N-11");
    EXPECT_TRUE(wells.Delete("N-11"));
    EXPECT_EQ(wells.FindItem("N-11"), nullptr);
    EXPECT_EQ(CountedItem::alive, 2);
  }
  EXPECT_EQ(CountedItem::alive, 2);
  EXPECT_EQ(kept->GetName(), "N-10");
  delete kept;
  delete taken;
  EXPECT_EQ(CountedItem::alive, 0);
}

TEST(HostModel, CompletionLinksUndoThemselves) {
  CCollections c;
  auto* well = dynamic_cast<CCompletionItem*>(c.Completions()->AddItem("N-01"));
  auto* bore = dynamic_cast<CWellboreItem*>(c.Wellbores()->AddItem("N-01"));
  auto* separator = dynamic_cast<CCategoryItem*>(c.Categories()->AddItem("SEPARATOR"));
  ASSERT_TRUE(well && bore && separator);
  auto* padA = separator->FindItem(separator->AddItem("PAD-A")->GetName());
  ASSERT_NE(padA, nullptr);
  well->SetWellboreItem(bore);
  EXPECT_TRUE(well->AddCategoryItem(padA));
  EXPECT_FALSE(well->AddCategoryItem(padA));
  EXPECT_EQ(bore->FirstCompletion(), well);
  EXPECT_EQ(padA->Completions()[0], well);
  EXPECT_EQ(padA->Category(), separator);
  EXPECT_EQ(well->CategoryValue("SEPARATOR"), padA);
  EXPECT_EQ(well->CategoryValue("BATTERY"), nullptr);

  // Deleting the category frees its values, which the well no longer lists.
  EXPECT_TRUE(c.Categories()->Delete("SEPARATOR"));
  EXPECT_EQ(well->CategoryItems().GetSize(), 0);
  EXPECT_EQ(well->CategoryValue("SEPARATOR"), nullptr);
  // Deleting the well leaves its wellbore without it.
  EXPECT_TRUE(c.Completions()->Delete("N-01"));
  EXPECT_EQ(bore->FirstCompletion(), nullptr);
  EXPECT_EQ(bore->Completions().GetSize(), 0);

  // A pattern owns its pattern completions; deleting one by its
  // completion's name frees it.
  auto* set = dynamic_cast<CPatternSetItem*>(c.Patterns()->AddItem("Waterflood"));
  ASSERT_NE(set, nullptr);
  auto* pattern = set->FindItem(set->AddItem("P-1")->GetName());
  ASSERT_NE(pattern, nullptr);
  auto* n2 = dynamic_cast<CCompletionItem*>(c.Completions()->AddItem("N-02"));
  CPatternCompletionItem* item = pattern->AddCompletion(n2);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(pattern->AddCompletion(n2), item);
  EXPECT_EQ(item->GetParent(), pattern);
  EXPECT_EQ(pattern->PatternCompletions().Name(0), "N-02");
  EXPECT_TRUE(item->Factors().SetAt(20050101, CLostAndFactor(0.1, 0.5)));
  EXPECT_EQ(item->DateCount(), 1);
  EXPECT_FALSE(pattern->Delete("N-01"));
  EXPECT_TRUE(pattern->Delete("N-02"));
  EXPECT_EQ(pattern->PatternCompletions().GetSize(), 0);
}

TEST(HostModel, ReferenceCountsReleaseAtZero) {
  int freed = 0;
  auto* probe = new Probe(&freed);
  EXPECT_EQ(probe->ReferenceCount(), 1);  // the creator's
  EXPECT_EQ(probe->Reference(), 2);
  EXPECT_EQ(probe->DeReference(), 1);
  EXPECT_EQ(freed, 0);
  EXPECT_EQ(probe->DeReference(), 0);
  EXPECT_EQ(freed, 1);

  // A result set holds a reference on each result and gives it back when it
  // goes; the sanitizer build reports either object if it leaks.
  CResultTime time;
  time.SetAlternateKey(1500.0);  // a depth
  auto* plain = new CZelResult(nullptr, "WELLTEST.OIL", CZelResultKey("N-01", CZelTime()), true,
                               {142.0, 96.5});
  auto* deep =
      new CZelResult(nullptr, "WELLTEST.GOR", CZelResultKey("N-01", CZelTime(time)), true, {820.0});
  auto* set = new CZelResultSet();
  set->Add(plain);
  EXPECT_FALSE(set->HasAlternateResult());
  set->Add(deep);
  EXPECT_TRUE(set->HasAlternateResult());
  EXPECT_EQ(plain->ReferenceCount(), 2);
  EXPECT_EQ(deep->DeReference(), 1);  // the set keeps it alive
  EXPECT_EQ((*set->GetAt(1))[0], 820.0);
  EXPECT_EQ((*plain)[1], 96.5);
  EXPECT_EQ((*plain)[2], 0.0);
  EXPECT_EQ((*plain)[-1], 0.0);
  EXPECT_EQ(set->DeReference(), 0);  // frees the set and `deep`
  EXPECT_EQ(plain->ReferenceCount(), 1);
  EXPECT_EQ(plain->DeReference(), 0);

  auto* text = new CZelResult(nullptr, "STATUS.STATUS", CZelResultKey(), false, {1.0});
  EXPECT_EQ(text->GetSize(), 0);  // a text result holds no numbers
  text->DeReference();
  auto* loaded = new CVariableDataMap();
  loaded->SetAdjustmentsLoaded(true);
  EXPECT_EQ(loaded->DeReference(), 0);
}

TEST(HostModel, FactorsByDateCopy) {
  const CLostAndFactor none;
  EXPECT_EQ(none.lost, 0.0);
  EXPECT_EQ(none.factor, 0.0);
  CLostAndFactor given(0.25, 0.8);
  const CLostAndFactor copied = given;
  given.factor = 0.1;
  EXPECT_EQ(copied.lost, 0.25);
  EXPECT_EQ(copied.factor, 0.8);

  CDateFactor factors;
  EXPECT_TRUE(factors.SetAt(20050116, CLostAndFactor(0.0, 0.4)));
  EXPECT_TRUE(factors.SetAt(20050101, CLostAndFactor(0.1, 0.6)));
  EXPECT_TRUE(factors.SetAt(20050116, CLostAndFactor(0.0, 0.5)));  // in place of 0.4
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(factors.SetAt(nan, CLostAndFactor(0.0, 1.0)));
  EXPECT_FALSE(factors.SetAt(20050120, CLostAndFactor(nan, 1.0)));
  EXPECT_FALSE(factors.SetAt(20050120, CLostAndFactor(0.0, inf)));
  EXPECT_EQ(factors.GetSize(), 2);
  EXPECT_EQ(factors.Factors().begin()->first, 20050101.0);  // in date order

  const CDateFactor copy = factors;
  factors.ClearFactors();
  EXPECT_EQ(factors.GetSize(), 0);
  ASSERT_EQ(copy.GetSize(), 2);
  ASSERT_NE(copy.Lookup(20050116), nullptr);
  EXPECT_EQ(copy.Lookup(20050116)->factor, 0.5);
  EXPECT_EQ(copy.Lookup(20050117), nullptr);
  CDateFactor assigned;
  assigned = copy;
  EXPECT_EQ(assigned.Lookup(20050101)->lost, 0.1);
}

TEST(HostModel, SortedCategoryArrayIndexedAccess) {
  CSortedCategoryArray array;
  for (const char* name : {"SEPARATOR", "BATTERY", "GATHERING CENTRE", "FIELD", "BATTERY"}) {
    array.Add(name);
  }
  ASSERT_EQ(array.GetSize(), 5);
  const char* sorted[] = {"BATTERY", "BATTERY", "FIELD", "GATHERING CENTRE", "SEPARATOR"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(array[i], sorted[i]) << i;
  for (int outside : {-1, 5, INT_MAX, INT_MIN}) {
    EXPECT_EQ(array[outside], "") << outside;
    ASSERT_NE(array.GetAt(outside), nullptr);
    EXPECT_STREQ(array.GetAt(outside), "");
  }
  array.RemoveAll();
  EXPECT_EQ(array[0], "");
}

TEST(HostModel, XmlTreeAndEnumTypes) {
  CXMLutil storing(true, "layout.xml");
  CXMLNode root(storing);
  ASSERT_TRUE(root.IsValid());
  EXPECT_TRUE(root.IsStoring());
  // While storing, a child asked for is made.
  CXMLNode field = root.GetChild(kXmlLabelField, "OIL");
  ASSERT_TRUE(field.IsValid());
  EXPECT_EQ(field.GetXMLDOMNode()->label, "Field");
  EXPECT_EQ(root.GetChild(kXmlLabelField, "OIL").GetXMLDOMNode(), field.GetXMLDOMNode());
  EXPECT_EQ(root.GetChild(kXmlLabelField).GetXMLDOMNode(), field.GetXMLDOMNode());
  field.GetChild(kXmlLabelUnit, "bbl");
  EXPECT_FALSE(root.GetChild(kXmlLabelCount).IsValid());
  EXPECT_FALSE(root.GetChild(-1, "x", true).IsValid());
  EXPECT_STREQ(GetZelXMLLabel(kXmlLabelCount), "");

  // With re-create set, the child found is replaced by an empty one.
  CXMLNode again(storing);
  again.SetReCreate(true);
  CXMLNode fresh = again.GetChild(kXmlLabelField, "OIL");
  EXPECT_NE(fresh.GetXMLDOMNode(), field.GetXMLDOMNode());
  EXPECT_TRUE(fresh.GetXMLDOMNode()->children.empty());
  EXPECT_EQ(storing.Root()->children.size(), 1u);

  // A copy shares the tree and keeps it alive; a loading document makes
  // nothing unless asked to.
  CXMLutil loading(false);
  {
    CXMLutil copy = loading;
    EXPECT_EQ(copy.Root(), loading.Root());
  }
  CXMLNode top(loading);
  EXPECT_FALSE(top.GetChild(kXmlLabelCategory, "SEPARATOR").IsValid());
  EXPECT_TRUE(top.GetChild(kXmlLabelCategory, "SEPARATOR", true).IsValid());
  EXPECT_TRUE(top.GetChild(kXmlLabelCategory, "SEPARATOR").IsValid());

  CXMLEnumTypes types;
  types.Init();  // a second fill adds nothing
  EXPECT_EQ(types.GetSize(), 3);
  ASSERT_NE(types.FindByName("FieldType"), nullptr);
  EXPECT_EQ(types.FindByName("FieldType")->ValueName(hm::kFieldTypeText), "Text");
  EXPECT_EQ(types.FindByName("FieldType")->ValueName(99), "");
  ASSERT_NE(types.FindByValueType(CXMLEnumTypes::kColumnAlignment), nullptr);
  EXPECT_EQ(types.FindByValueType(CXMLEnumTypes::kColumnAlignment)->Value("Right"), 2);
  EXPECT_EQ(types.FindByValueType(7), nullptr);
}

TEST(HostModel, DatesUnitsAndEntityChecksum) {
  CZelDate date(20040229);
  EXPECT_EQ(date.HostDate(), 20040229.0);
  EXPECT_FALSE(date.SetYear(2005));  // 29 February 2005 is not a date
  EXPECT_TRUE(date.SetYear(2008));
  EXPECT_TRUE(date.SetMonth(4));  // 29 April 2008
  EXPECT_FALSE(date.SetDay(31));  // April has 30 days
  EXPECT_EQ(date.HostDate(), 20080429.0);
  EXPECT_FALSE(date.SetHour(24));
  EXPECT_TRUE(date.SetHour(18));
  EXPECT_FALSE(date.SetMinute(60));
  EXPECT_TRUE(date.SetMinute(0));
  EXPECT_FALSE(date.SetYear(40000));  // would not fit the 16-bit year
  EXPECT_EQ(date.Year16(), 2008);
  EXPECT_EQ(date.Hour8(), 18);
  EXPECT_FLOAT_EQ(date.DayFraction(), 0.75f);  // 18:00
  EXPECT_EQ(CZelDate(20050230).HostDate(), 19010101.0);
  EXPECT_EQ(CZelDate(std::numeric_limits<double>::quiet_NaN()).HostDate(), 19010101.0);

  ZEL_UNIT barrel("barrel", "bbl", 12);
  CZelUnits units;
  EXPECT_FALSE(units.IsUnits());
  units.Add(barrel);
  EXPECT_TRUE(units.IsUnits());
  EXPECT_FALSE(units.IsLinked(barrel));
  barrel.linkedUnit = "m3";
  const ZEL_UNIT copy = barrel;
  EXPECT_TRUE(units.IsLinked(copy));
  EXPECT_EQ(copy.GetCode(), 12);

  CZelEntity entity;
  entity.SetName("123456789");
  EXPECT_EQ(entity.GetCRC(), 0xCBF43926u);  // the CRC-32 check value
  entity.SetName("");
  EXPECT_EQ(entity.GetCRC(), 0u);
}

TEST(HostModel, EntitiesComeFromTheProductionDatabase) {
  TempDir dir("zelba-hostmodel");
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("field.db");
  {
    zelba::sqlite::Database db;
    ASSERT_EQ(db.open(path, false), "");
    ASSERT_EQ(zelba::hostdb::createSchema(db), "");
    zelba::sqlite::Transaction transaction(db);
    zelba::hostdb::Writer w(db);
    // Categories and wells written out of order.
    const auto separator = w.addCategory("SEPARATOR");
    const auto field = w.addCategory("FIELD");
    const auto battery = w.addCategory("BATTERY");
    const auto padB = w.addCategoryValue(separator.id, "PAD-B");
    const auto padA = w.addCategoryValue(separator.id, "PAD-A");
    const auto north = w.addCategoryValue(field.id, "NORTH");
    const auto batA = w.addCategoryValue(battery.id, "BAT-A");
    const auto n2 = w.addWell("N-02", "Pad A-2");
    const auto n1 = w.addWell("N-01", "Pad A-1");
    const auto n9 = w.addWell("N-09", "Pad B-1");
    ASSERT_EQ(separator.error + field.error + battery.error + padB.error + padA.error +
                  north.error + batA.error + n1.error + n2.error + n9.error,
              "");
    for (const auto& link : {std::make_pair(n1.id, padA.id), std::make_pair(n2.id, padA.id),
                             std::make_pair(n9.id, padB.id), std::make_pair(n1.id, north.id),
                             std::make_pair(n1.id, batA.id)}) {
      ASSERT_EQ(w.assign(link.first, link.second), "");
    }
    ASSERT_EQ(transaction.commit(), "");
  }
  ASSERT_EQ(ZelHostOpenDatabase(path.c_str()), 1);
  CEntities* entities = Entities();

  CSortedCategoryArray names;
  names.Add("STALE");
  entities->GetCatgoryList(names);
  ASSERT_EQ(names.GetSize(), 3);
  EXPECT_EQ(names[0], "BATTERY");
  EXPECT_EQ(names[1], "FIELD");
  EXPECT_EQ(names[2], "SEPARATOR");
  EXPECT_EQ(entities->NoCategories(), 3);

  // The Measurements page's list of categories, and their values.
  {
    const CCategoryItems categories = entities->Categories()->Categories();
    ASSERT_EQ(categories.GetSize(), 3);
    const CCategoryItem* sep = categories[2];
    EXPECT_EQ(sep->GetName(), "SEPARATOR");
    ASSERT_EQ(sep->Count(), 2);
    EXPECT_EQ(sep->Items()[0]->GetName(), "PAD-A");
    EXPECT_EQ(sep->Items()[1]->GetName(), "PAD-B");
    const CCategorySubItem* a = sep->FindItem("PAD-A");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->Completions().GetSize(), 2);
    EXPECT_EQ(a->Completions()[0]->GetName(), "N-01");
    EXPECT_EQ(a->Completions()[1]->GetName(), "N-02");
  }

  // The wells, by name, with a wellbore each and their category values.
  EXPECT_EQ(entities->NoWells(), 3);
  EXPECT_EQ(entities->WellsInFilter(), 3);
  EXPECT_EQ(entities->Completions()->Items()[0]->GetName(), "N-01");
  const CCompletionItem* n1 = entities->Completions()->FindItem("N-01");
  ASSERT_NE(n1, nullptr);
  EXPECT_EQ(n1->MapLabel(), "Pad A-1");
  ASSERT_NE(n1->WellboreItem(), nullptr);
  EXPECT_EQ(n1->WellboreItem()->GetName(), "N-01");
  EXPECT_EQ(n1->WellboreItem()->FirstCompletion(), n1);
  EXPECT_EQ(n1->CategoryItems().GetSize(), 3);
  ASSERT_NE(n1->CategoryValue("BATTERY"), nullptr);
  EXPECT_EQ(n1->CategoryValue("BATTERY")->GetName(), "BAT-A");
  ASSERT_NE(entities->Completions()->FindItem("N-09"), nullptr);
  EXPECT_EQ(entities->Completions()->FindItem("N-09")->CategoryValue("SEPARATOR")->GetName(),
            "PAD-B");
  EXPECT_EQ(entities->Completions()->FindItem("N-09")->CategoryValue("BATTERY"), nullptr);
  EXPECT_EQ(entities->Patterns()->Count(), 0);

  // The filter: only N-02 passes, or all but N-02 when inverted.
  entities->SetFilterActive(true);
  entities->Completions()->FindItem("N-02")->SetCurrentFilter(1);
  EXPECT_EQ(entities->WellsInFilter(), 1);
  entities->Completions()->SetFilterInvert(true);
  EXPECT_EQ(entities->WellsInFilter(), 2);
  entities->SetFilterActive(false);

  // A current entity does not outlive the entities it may point at.
  CZelEntity current;
  current.SetCompletion(entities->Completions()->FindItem("N-01"));
  entities->SetCurrentEntity(&current);
  EXPECT_EQ(entities->GetCurrentEntity(), &current);

  // The empty host has no entities.
  EXPECT_EQ(ZelHostOpenDatabase(nullptr), 0);
  EXPECT_EQ(Entities()->NoWells(), 0);
  EXPECT_EQ(Entities()->NoCategories(), 0);
  EXPECT_EQ(Entities()->GetCurrentEntity(), nullptr);
  Entities()->GetCatgoryList(names);
  EXPECT_EQ(names.GetSize(), 0);
}

}  // namespace
