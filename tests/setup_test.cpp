// The setup sheet on Qt's offscreen platform, over a temporary production
// database: loading and storing the host's record byte for byte, the pages'
// controls and checks, and the sheet as BaStart runs it. The sheet is driven
// through a timer that acts on the open modal sheet; message boxes go to the
// seam.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host/host_data.h"
#include "host/host_database.h"
#include "host/host_ui.h"
#include "host/sqlite_db.h"
#include "setup/setup_sheet.h"

namespace {

using zelba::hostdb::Writer;

QApplication& app() {
  static int argc = 1;
  static char name[] = "setup_test";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication application(argc, argv);
  return application;
}

// Positions of the schema's sorted variables used below.
constexpr int kAllocatedGas = 0;  // "ALLOCATED.GAS", the first
constexpr int kEquationP10 = 8;
constexpr int kHoursOn = 18;  // "HOURS.HOURS_ON"
constexpr int kMeasuredGas = 20;
constexpr int kMeasuredOil = 22;
constexpr int kMeasuredGasInj = 21;
constexpr int kMeasuredSteamInj = 23;
constexpr int kMeasuredWater = 25;
constexpr int kMeasuredWaterInj = 26;
constexpr int kLastVariable = 35;  // "WELLTEST.WHFP"

// A production database with three categories (sorted: BATTERY, FIELD,
// SEPARATOR), opened as the host's.
class HostFixture : public testing::Test {
 protected:
  void SetUp() override {
    app();
    path_ = testing::TempDir() + "setup-test-" + std::to_string(::getpid()) + ".db";
    std::filesystem::remove(path_);
    zelba::sqlite::Database db;
    ASSERT_EQ(db.open(path_, false), "");
    ASSERT_EQ(zelba::hostdb::createSchema(db), "");
    Writer writer(db);
    std::int64_t separator = -1;
    for (const char* name : {"SEPARATOR", "BATTERY", "FIELD"}) {
      const zelba::hostdb::RowId id = writer.addCategory(name);
      ASSERT_EQ(id.error, "");
      const zelba::hostdb::RowId value = writer.addCategoryValue(id.id, std::string(name) + "-1");
      ASSERT_EQ(value.error, "");
      if (separator < 0) separator = value.id;
    }
    // Oil measured on 31 days across a month end, 25 January to 24
    // February 2005; gas on one day; no water.
    for (int day = 0; day < 31; ++day) {
      const int date = day < 7 ? 20050125 + day : 20050201 + (day - 7);
      ASSERT_EQ(writer.addDay("MEASURED", separator, date, {{"OIL", 100.0 + day}}), "");
    }
    ASSERT_EQ(writer.addDay("MEASURED", separator, 20050301, {{"GAS", 5.0}}), "");
    ASSERT_EQ(db.close(), "");
    ASSERT_EQ(ZelHostOpenDatabase(path_.c_str()), 1);
    ASSERT_EQ(std::string(SortZelVariableName(kMeasuredOil)), "MEASURED.OIL");
    MessageBoxSeam::setHandler([this](const QString& caption, const QString& text) {
      messages_.push_back((caption + " | " + text).toStdString());
    });
  }
  void TearDown() override {
    MessageBoxSeam::setHandler(nullptr);
    zelba::restartHost();
    std::filesystem::remove(path_);
  }

  std::string path_;
  std::vector<std::string> messages_;
};

void bind(BA_VARREF& ref, const char* name, int position) {
  std::memset(ref.varName, 0, sizeof ref.varName);
  std::strcpy(ref.varName, name);
  ref.varPos = position;
}

// A record of valid values: a category chosen, shrinkage 1, nothing bound.
BA_SETUP validRecord() {
  BA_SETUP r;
  std::memset(&r, 0, sizeof r);
  for (BA_VARREF& ref : r.welltestVars) ref.varPos = -1;
  for (BA_VARREF& ref : r.measureVars) ref.varPos = -1;
  for (BA_VARREF& ref : r.writebackVars) ref.varPos = -1;
  for (BA_VARREF& ref : r.timeVars) ref.varPos = -1;
  for (BA_VARREF& ref : r.equationVars) ref.varPos = -1;
  r.pomCategoryIndex = 0;
  r.category2Index = -1;
  r.pomShrinkage = 1.0f;
  r.defaultHours = 24.0f;
  return r;
}

// Runs BaStart on `record` with `script` acting on the open sheet; a sheet
// the script leaves open is cancelled.
int runSheet(BA_SETUP& record, const std::function<void(CBaSetupSheet&)>& script) {
  bool ran = false;
  QTimer::singleShot(0, [&] {
    auto* sheet = qobject_cast<CBaSetupSheet*>(QApplication::activeModalWidget());
    if (sheet == nullptr) return;
    ran = true;
    script(*sheet);
    if (sheet->isVisible()) sheet->reject();
  });
  const int result = BaStart(&record);
  EXPECT_TRUE(ran) << "the sheet did not open";
  return result;
}

QPushButton* button(QWidget* parent, const char* id) {
  return parent->findChild<QPushButton*>(QString::fromLatin1(id));
}

template <class T>
T* control(CSetupPage* page, int id) {
  return page->controlAs<T>(id);
}

TEST_F(HostFixture, SheetCaptionPagesAndButtons) {
  BA_SETUP record = validRecord();
  runSheet(record, [](CBaSetupSheet& sheet) {
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Back Allocation Setup"));
    EXPECT_TRUE(sheet.windowFlags() & Qt::WindowContextHelpButtonHint);
    const char* captions[] = {"Measurements", "Production Times", "Welltest",
                              "Equations",    "Control",          "Writeback to ZEL"};
    const int templates[] = {20104, 20106, 20105, 20109, 20107, 20108};
    ASSERT_EQ(sheet.tabs()->count(), 6);
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(sheet.tabs()->tabText(i), QString::fromLatin1(captions[i]));
      EXPECT_EQ(sheet.page(i)->templateId(), templates[i]);
    }
    EXPECT_EQ(sheet.tabs()->currentIndex(), 0);
    // OK and Cancel only: no Apply, no Help.
    QStringList texts;
    for (QPushButton* b : sheet.findChildren<QPushButton*>()) {
      if (!sheet.tabs()->isAncestorOf(b)) texts << b->text();
    }
    EXPECT_EQ(texts.size(), 2) << texts.join(",").toStdString();
    EXPECT_NE(button(&sheet, "1"), nullptr);
    EXPECT_NE(button(&sheet, "2"), nullptr);
    // Only the first page has its controls until another is shown.
    EXPECT_TRUE(sheet.page(0)->hasWindow());
    EXPECT_FALSE(sheet.page(2)->hasWindow());
  });
}

TEST_F(HostFixture, TheHolderAndTheEntryWithoutARecord) {
  std::unique_ptr<CTabsView> holder = CTabsView::CreateObject("CTabsView");
  ASSERT_NE(holder, nullptr);
  EXPECT_STREQ(holder->RuntimeClass().name, "CTabsView");
  EXPECT_TRUE(holder->IsKindOf(zelba::hostmodel::ModelObject::kClass));
  EXPECT_EQ(CTabsView::CreateObject("CPomTab"), nullptr);
  EXPECT_EQ(CTabsView::CreateObject(nullptr), nullptr);
  EXPECT_EQ(holder->RunSheet(), 0);  // no record
  EXPECT_EQ(BaStart(nullptr), 0);
  // Not from another thread than the application's: no window opens there.
  BA_SETUP record = validRecord();
  const BA_SETUP before = record;
  int fromWorker = -1;
  std::thread worker([&] { fromWorker = BaStart(&record); });
  worker.join();
  EXPECT_EQ(fromWorker, 0);
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

TEST_F(HostFixture, CancelAfterChangingEveryPageLeavesEveryByte) {
  // A record of random bytes, with room after it that a host might keep.
  std::vector<unsigned char> bytes(sizeof(BA_SETUP) + 64);
  std::mt19937 random(20050101);
  for (unsigned char& b : bytes) b = static_cast<unsigned char>(random());
  const std::vector<unsigned char> before = bytes;
  auto* record = reinterpret_cast<BA_SETUP*>(bytes.data());
  const int result = runSheet(*record, [](CBaSetupSheet& sheet) {
    // The first page must accept its input before another can be shown.
    control<QLineEdit>(sheet.page(0), CPomTab::kShrinkageEdit)->setText("1.5");
    control<QComboBox>(sheet.page(0), CPomTab::kCategoryBox)->setCurrentIndex(2);
    control<QComboBox>(sheet.page(0), 1008)->setCurrentIndex(kMeasuredOil + 1);
    for (int i = 1; i < CBaSetupSheet::kPageCount; ++i) {
      sheet.tabs()->setCurrentIndex(i);
      ASSERT_EQ(sheet.tabs()->currentIndex(), i);
      CSetupPage* page = sheet.page(i);
      for (QComboBox* box : page->findChildren<QComboBox*>()) {
        if (box->count() > 3) box->setCurrentIndex(3);
      }
      for (QCheckBox* box : page->findChildren<QCheckBox*>()) box->click();
      for (QLineEdit* edit : page->findChildren<QLineEdit*>()) edit->setText("7");
    }
    sheet.tabs()->setCurrentIndex(0);
    button(&sheet, "2")->click();
  });
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(bytes == before);
}

TEST_F(HostFixture, OkRebindsByNameRefreshesCategoriesAndKeepsTheRest) {
  std::vector<unsigned char> bytes(sizeof(BA_SETUP) + 16, 0xA5);
  auto* r = reinterpret_cast<BA_SETUP*>(bytes.data());
  BA_SETUP valid = validRecord();
  // Only the named fields are set; the reserved bytes keep the 0xA5 filler.
  std::memcpy(r->welltestVars, valid.welltestVars, sizeof valid.welltestVars);
  std::memcpy(r->measureVars, valid.measureVars, sizeof valid.measureVars);
  std::memcpy(r->writebackVars, valid.writebackVars, sizeof valid.writebackVars);
  std::memcpy(r->timeVars, valid.timeVars, sizeof valid.timeVars);
  std::memcpy(r->equationVars, valid.equationVars, sizeof valid.equationVars);
  // The texts a host keeps end within their fields.
  for (char* text : {r->startDate, r->endDate, r->loadFilePath, r->reportFilePath, r->inputFilePath,
                     r->header1, r->header2, r->header3}) {
    text[0] = '\0';
  }
  // Saved at other positions (the host's list has changed since): each
  // follows its name, shown on a page or not (measureVars 0, welltestVars 9).
  bind(r->measureVars[1], "MEASURED.OIL", 3);
  bind(r->measureVars[0], "HOURS.HOURS_ON", 0);
  bind(r->welltestVars[9], "EQUATION.P10", 30);
  bind(r->timeVars[1], "HOURS.HOURS_ON", 2);
  bind(r->writebackVars[2], "ALLOCATED.GAS", 7);
  bind(r->equationVars[7], "WELLTEST.WHFP", 1);
  // A name the host no longer has: unbound on OK, its bytes kept.
  bind(r->measureVars[2], "MEASURED.GONE", 4);
  // Unbound with a name: stays so.
  bind(r->welltestVars[1], "WELLTEST.OIL", -1);
  std::strcpy(r->pomCategory, "OLD NAME");
  r->pomCategoryIndex = 2;  // SEPARATOR
  std::strcpy(r->category2, "OLD SECOND");
  r->category2Index = 1;  // FIELD
  r->pomShrinkage = 0.5f;
  r->defaultHours = 12.5f;
  std::strcpy(r->header1, "North Field");
  std::strcpy(r->startDate, "20050101");
  r->htmlFlag = -1;  // widened with its sign, stored back as its low byte
  r->performMode = -1;
  r->bhpFlag = 1;
  const std::vector<unsigned char> before = bytes;

  EXPECT_EQ(runSheet(*r, [](CBaSetupSheet& sheet) { button(&sheet, "1")->click(); }), 1);

  EXPECT_EQ(r->measureVars[1].varPos, kMeasuredOil);
  EXPECT_STREQ(r->measureVars[1].varName, "MEASURED.OIL");
  EXPECT_EQ(r->measureVars[0].varPos, kHoursOn);
  EXPECT_EQ(r->welltestVars[9].varPos, kEquationP10);
  EXPECT_EQ(r->timeVars[1].varPos, kHoursOn);
  EXPECT_EQ(r->writebackVars[2].varPos, kAllocatedGas);
  EXPECT_EQ(r->equationVars[7].varPos, kLastVariable);
  EXPECT_EQ(r->measureVars[2].varPos, -1);
  EXPECT_STREQ(r->measureVars[2].varName, "MEASURED.GONE");
  EXPECT_EQ(r->welltestVars[1].varPos, -1);
  EXPECT_STREQ(r->welltestVars[1].varName, "WELLTEST.OIL");
  EXPECT_STREQ(r->pomCategory, "SEPARATOR");
  EXPECT_EQ(r->pomCategoryIndex, 2);
  EXPECT_STREQ(r->category2, "FIELD");
  EXPECT_EQ(r->pomShrinkage, 0.5f);
  EXPECT_EQ(r->defaultHours, 12.5f);
  EXPECT_EQ(r->htmlFlag, -1);
  EXPECT_EQ(r->performMode, -1);
  EXPECT_EQ(r->bhpFlag, 1);

  // Every byte outside the fields that changed is as it was.
  std::vector<unsigned char> expected = before;
  auto* e = reinterpret_cast<BA_SETUP*>(expected.data());
  e->measureVars[1].varPos = kMeasuredOil;
  e->measureVars[0].varPos = kHoursOn;
  e->welltestVars[9].varPos = kEquationP10;
  e->timeVars[1].varPos = kHoursOn;
  e->writebackVars[2].varPos = kAllocatedGas;
  e->equationVars[7].varPos = kLastVariable;
  e->measureVars[2].varPos = -1;
  std::memcpy(e->pomCategory, "SEPARATOR", 10);  // "OLD NAME" is 9 bytes with its NUL
  std::memcpy(e->category2, "FIELD", 6);
  for (size_t i = 0; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], expected[i]) << "byte " << i;
}

TEST_F(HostFixture, EmptyEntryClearAllAndTheFirstVariable) {
  BA_SETUP r = validRecord();
  bind(r.measureVars[2], "MEASURED.GAS", kMeasuredGas);
  bind(r.measureVars[3], "MEASURED.OIL", kMeasuredOil);
  bind(r.writebackVars[1], "MEASURED.OIL", kMeasuredOil);
  EXPECT_EQ(runSheet(r,
                     [](CBaSetupSheet& sheet) {
                       CSetupPage* pom = sheet.page(0);
                       EXPECT_EQ(control<QComboBox>(pom, 1009)->currentIndex(), kMeasuredGas + 1);
                       control<QComboBox>(pom, 1009)->setCurrentIndex(0);  // the empty entry
                       control<QComboBox>(pom, 1008)->setCurrentIndex(1);  // the first variable
                       sheet.tabs()->setCurrentIndex(CBaSetupSheet::kWriteback);
                       auto* res = static_cast<CVariablePage*>(sheet.page(5));
                       EXPECT_EQ(control<QComboBox>(res, 1008)->currentIndex(), kMeasuredOil + 1);
                       res->OnClearAll();
                       EXPECT_EQ(control<QComboBox>(res, 1008)->currentIndex(), -1);
                       button(&sheet, "1")->click();
                     }),
            1);
  EXPECT_EQ(r.measureVars[2].varPos, -1);
  EXPECT_STREQ(r.measureVars[2].varName, "MEASURED.GAS");  // the old name stays
  EXPECT_EQ(r.measureVars[1].varPos, 0);
  EXPECT_STREQ(r.measureVars[1].varName, "ALLOCATED.GAS");
  EXPECT_EQ(r.measureVars[3].varPos, kMeasuredOil);  // untouched by the others
  EXPECT_EQ(r.writebackVars[1].varPos, -1);
}

TEST_F(HostFixture, MeasurementsChecksShrinkageAndCategory) {
  zelba::SetupMembers members = zelba::loadSetup(validRecord());
  CPomTab page(members.pom);
  page.createWindow();
  auto* shrinkage = control<QLineEdit>(&page, CPomTab::kShrinkageEdit);
  EXPECT_EQ(shrinkage->text(), QStringLiteral("1"));
  for (const char* accepted : {"0.0", "2.0", " 1.25 "}) {
    shrinkage->setText(accepted);
    EXPECT_TRUE(page.DoDataExchange(true)) << accepted;
  }
  EXPECT_EQ(members.pom.pomShrinkage, 1.25f);
  EXPECT_TRUE(messages_.empty());
  for (const char* refused : {"2.01", "-0.01", "abc", "", "1,5", "nan"}) {
    messages_.clear();
    shrinkage->setText(refused);
    EXPECT_FALSE(page.DoDataExchange(true)) << refused;
    ASSERT_EQ(messages_.size(), 1u) << refused;
  }
  EXPECT_EQ(members.pom.pomShrinkage, 1.25f);  // a refused text changes nothing
  shrinkage->setText("2.01");
  messages_.clear();
  page.DoDataExchange(true);
  EXPECT_NE(messages_[0].find("between 0 and 2"), std::string::npos) << messages_[0];

  // No category chosen.
  shrinkage->setText("1");
  control<QComboBox>(&page, CPomTab::kCategoryBox)->setCurrentIndex(-1);
  messages_.clear();
  EXPECT_FALSE(page.DoDataExchange(true));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], "POM Error | Point of Measurement can not be left empty.");

  // A saved category index beyond the list: no category shown; the page
  // cannot be left until one is chosen.
  BA_SETUP beyond = validRecord();
  beyond.pomCategoryIndex = 3;
  beyond.category2Index = 7;
  std::strcpy(beyond.category2, "KEPT");
  messages_.clear();
  const int result = runSheet(beyond, [this](CBaSetupSheet& sheet) {
    auto* box = control<QComboBox>(sheet.page(0), CPomTab::kCategoryBox);
    EXPECT_EQ(box->count(), 3);
    EXPECT_EQ(box->currentIndex(), -1);
    sheet.tabs()->setCurrentIndex(2);
    EXPECT_EQ(sheet.tabs()->currentIndex(), 0);  // refused
    button(&sheet, "1")->click();
    EXPECT_TRUE(sheet.isVisible());  // refused too
    EXPECT_EQ(messages_.size(), 2u);
    box->setCurrentIndex(1);
    button(&sheet, "1")->click();
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(beyond.pomCategoryIndex, 1);
  EXPECT_STREQ(beyond.pomCategory, "FIELD");
  EXPECT_EQ(beyond.category2Index, 7);  // beyond the list: kept with its text
  EXPECT_STREQ(beyond.category2, "KEPT");
}

TEST_F(HostFixture, WelltestFlagsAndClearAll) {
  BA_SETUP r = validRecord();
  r.gorFlag = 1;
  r.bswFlag = 0;
  r.bhpFlag = 1;
  r.fractionFlag = 0;
  bind(r.welltestVars[0], "WELLTEST.WHFP", kLastVariable);
  bind(r.welltestVars[1], "MEASURED.OIL", kMeasuredOil);
  bind(r.welltestVars[9], "MEASURED.OIL", kMeasuredOil);  // not shown, but in the range
  const int result = runSheet(r, [](CBaSetupSheet& sheet) {
    sheet.tabs()->setCurrentIndex(CBaSetupSheet::kWelltest);
    auto* page = static_cast<CWTVars*>(sheet.page(CBaSetupSheet::kWelltest));
    auto* gor = control<QCheckBox>(page, CWTVars::kGorCheck);
    EXPECT_TRUE(gor->isChecked());
    gor->click();
    EXPECT_EQ(page->members().gorFlag, 0);  // follows the box at once
    gor->click();
    EXPECT_EQ(page->members().gorFlag, 1);
    control<QCheckBox>(page, CWTVars::kFractionCheck)->click();
    EXPECT_EQ(page->members().fractionFlag, 0);  // only by data exchange
    auto* bhp = control<QCheckBox>(page, CWTVars::kBhpCheck);
    ASSERT_NE(bhp, nullptr);
    EXPECT_FALSE(bhp->isVisible());
    EXPECT_TRUE(bhp->isChecked());
    page->OnClearAll();
    EXPECT_EQ(control<QComboBox>(page, 1011)->currentIndex(), -1);  // Date too
    EXPECT_EQ(control<QLabel>(page, 1066)->text(), QStringLiteral("&Pressure(THP):"));
    EXPECT_EQ(control<QLabel>(page, 1066)->buddy(), control<QComboBox>(page, 1017));
    button(&sheet, "1")->click();
  });
  ASSERT_EQ(result, 1);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(r.welltestVars[i].varPos, -1) << i;
  EXPECT_EQ(std::tuple(r.gorFlag, r.bswFlag, r.bhpFlag, r.fractionFlag), std::tuple(1, 0, 1, 1));
}

TEST_F(HostFixture, ProductionTimesAndControlTextsAreHeldToTheirFields) {
  zelba::SetupMembers members = zelba::loadSetup(validRecord());
  CPtTab times(members.pt);
  times.createWindow();
  auto* hours = control<QLineEdit>(&times, CPtTab::kDefaultHoursEdit);
  EXPECT_EQ(hours->text(), QStringLiteral("24"));
  hours->setText("-3.5");  // a real number, no range
  EXPECT_TRUE(times.DoDataExchange(true));
  EXPECT_EQ(members.pt.defaultHours, -3.5f);
  hours->setText("");
  EXPECT_FALSE(times.DoDataExchange(true));
  control<QCheckBox>(&times, CPtTab::kDownTimeCheck)->click();
  EXPECT_EQ(members.pt.downTimeFlag, 1);

  CBaCtrl ctrl(members.ctrl);
  ctrl.createWindow();
  auto* header = control<QLineEdit>(&ctrl, CBaCtrl::kHeaderEdits[0]);
  header->setText(QString(79, 'H'));
  EXPECT_TRUE(ctrl.DoDataExchange(true));
  EXPECT_EQ(members.ctrl.header1, std::string(79, 'H'));
  header->setText(QString(80, 'H'));
  messages_.clear();
  EXPECT_FALSE(ctrl.DoDataExchange(true));
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_EQ(members.ctrl.header1, std::string(79, 'H'));
  header->setText("North");
  auto* start = control<QComboBox>(&ctrl, CBaCtrl::kStartDateBox);
  start->setEditText("2005-01-01-X");  // 12 characters
  EXPECT_FALSE(ctrl.DoDataExchange(true));
  start->setEditText("20050101");
  EXPECT_TRUE(ctrl.DoDataExchange(true));

  // Storing never writes past a field: a text too long is cut to it.
  BA_SETUP r = validRecord();
  std::memset(r.reserved4, 0x5A, sizeof r.reserved4);
  members.ctrl.header3 = std::string(200, 'x');
  zelba::storeSetup(members, r);
  EXPECT_EQ(std::string(r.header3), std::string(79, 'x'));
  for (unsigned char b : r.reserved4) ASSERT_EQ(b, 0x5A);
}

std::vector<std::string> entries(QComboBox* box) {
  std::vector<std::string> texts;
  for (int i = 0; i < box->count(); ++i) texts.push_back(box->itemText(i).toStdString());
  return texts;
}

TEST_F(HostFixture, DateListVariablesFollowTheMeasurementsChoices) {
  std::array<int, 12> chosen;
  chosen.fill(-1);
  EXPECT_EQ(zelba::dateVariableList(chosen), "DATE");
  chosen[1] = kMeasuredOil + 1;
  chosen[6] = kMeasuredSteamInj + 1;
  chosen[9] = kMeasuredWater + 1;  // Stock adds nothing
  chosen[0] = kMeasuredGas + 1;    // nor an entry no box shows
  EXPECT_EQ(zelba::dateVariableList(chosen), "DATE,MEASURED.OIL,MEASURED.STEAM_INJ");
  chosen.fill(0);  // every box on its empty entry
  chosen[4] = kMeasuredWaterInj + 1;
  chosen[5] = kMeasuredGasInj + 1;
  EXPECT_EQ(zelba::dateVariableList(chosen), "DATE,MEASURED.GAS_INJ,MEASURED.WATER_INJ");

  std::vector<std::string> dates{"old"};
  EXPECT_FALSE(zelba::runDates("DATE,MEASURED.WATER", dates));  // no data
  EXPECT_EQ(dates, std::vector<std::string>{"old"});
  ASSERT_TRUE(zelba::runDates("DATE,MEASURED.GAS", dates));
  EXPECT_EQ(dates, std::vector<std::string>{"20050301"});
  ASSERT_TRUE(zelba::runDates("DATE,MEASURED.OIL", dates));
  ASSERT_EQ(dates.size(), 31u);
  EXPECT_EQ(dates[6], "20050131");
  EXPECT_EQ(dates[7], "20050201");
  EXPECT_EQ(dates.back(), "20050224");
  // "DATE" alone: the whole range of the data.
  ASSERT_TRUE(zelba::runDates("DATE", dates));
  EXPECT_EQ(std::tuple(dates.front(), dates.back(), dates.size()),
            std::tuple(std::string("20050125"), std::string("20050301"), size_t{36}));
}

TEST_F(HostFixture, ControlPageDatesAndUpdateDate) {
  BA_SETUP r = validRecord();
  bind(r.measureVars[1], "MEASURED.OIL", kMeasuredOil);
  std::strcpy(r.startDate, "20050201");
  std::strcpy(r.endDate, "20050210");
  const int result = runSheet(r, [](CBaSetupSheet& sheet) {
    sheet.tabs()->setCurrentIndex(CBaSetupSheet::kControl);
    CSetupPage* page = sheet.page(CBaSetupSheet::kControl);
    auto* start = control<QComboBox>(page, CBaCtrl::kStartDateBox);
    auto* end = control<QComboBox>(page, CBaCtrl::kEndDateBox);
    const std::vector<std::string> listed = entries(start);
    ASSERT_EQ(listed.size(), 31u);
    EXPECT_EQ(listed.front(), "20050125");
    EXPECT_EQ(listed.back(), "20050224");
    EXPECT_EQ(entries(end), listed);
    EXPECT_EQ(start->currentText(), QStringLiteral("20050201"));
    EXPECT_EQ(end->currentText(), QStringLiteral("20050210"));
    EXPECT_TRUE(control<QCheckBox>(page, CBaCtrl::kHtmlCheck)->isVisible());

    // Gas in place of oil: Update Date empties both boxes and lists the one day.
    sheet.tabs()->setCurrentIndex(CBaSetupSheet::kMeasurements);
    control<QComboBox>(sheet.page(0), 1008)->setCurrentIndex(0);
    control<QComboBox>(sheet.page(0), 1009)->setCurrentIndex(kMeasuredGas + 1);
    sheet.tabs()->setCurrentIndex(CBaSetupSheet::kControl);
    start->setEditText("typed");
    control<QPushButton>(page, CBaCtrl::kUpdateDate)->click();
    EXPECT_EQ(entries(start), std::vector<std::string>{"20050301"});
    EXPECT_EQ(entries(end), std::vector<std::string>{"20050301"});
    EXPECT_TRUE(start->currentText().isEmpty());

    // Water has no data: the lists and the texts stay.
    sheet.tabs()->setCurrentIndex(CBaSetupSheet::kMeasurements);
    control<QComboBox>(sheet.page(0), 1009)->setCurrentIndex(0);
    control<QComboBox>(sheet.page(0), 1010)->setCurrentIndex(kMeasuredWater + 1);
    sheet.tabs()->setCurrentIndex(CBaSetupSheet::kControl);
    start->setEditText("31/01/2005");  // not a listed date: kept as typed
    end->setEditText("20050301");
    control<QPushButton>(page, CBaCtrl::kUpdateDate)->click();
    EXPECT_EQ(entries(start), std::vector<std::string>{"20050301"});
    EXPECT_EQ(start->currentText(), QStringLiteral("31/01/2005"));
    button(&sheet, "1")->click();
  });
  ASSERT_EQ(result, 1);
  EXPECT_STREQ(r.startDate, "31/01/2005");
  EXPECT_STREQ(r.endDate, "20050301");
  EXPECT_EQ(r.measureVars[3].varPos, kMeasuredWater);
}

TEST_F(HostFixture, ControlPageFileBoxesAskTheHostForPaths) {
  BA_SETUP r = validRecord();
  std::strcpy(r.reportFilePath, "/old/report.prn");
  r.createReport = 1;
  const std::string longPath = "/" + std::string(123, 'p') + ".txt";  // 128 characters
  const int result = runSheet(r, [&](CBaSetupSheet& sheet) {
    sheet.tabs()->setCurrentIndex(CBaSetupSheet::kControl);
    CSetupPage* page = sheet.page(CBaSetupSheet::kControl);
    const auto label = [page](int id) { return control<QLabel>(page, id)->text().toStdString(); };
    auto* input = control<QCheckBox>(page, CBaCtrl::kInputFileCheck);
    auto* load = control<QCheckBox>(page, CBaCtrl::kLoadFileCheck);
    auto* report = control<QCheckBox>(page, CBaCtrl::kReportCheck);
    auto* html = control<QCheckBox>(page, CBaCtrl::kHtmlCheck);
    EXPECT_EQ(label(CBaCtrl::kReportLabel), "/old/report.prn");
    EXPECT_TRUE(report->isChecked());

    queueFileChoice("/runs/north");  // ".ba" is added
    input->click();
    EXPECT_EQ(label(CBaCtrl::kInputFileLabel), "/runs/north.ba");
    input->click();  // unticked: no chooser, the path goes
    EXPECT_EQ(label(CBaCtrl::kInputFileLabel), "");
    queueFileChoice("");  // cancelled: the box stays ticked, without a path
    input->click();
    EXPECT_TRUE(input->isChecked());
    EXPECT_EQ(label(CBaCtrl::kInputFileLabel), "");

    report->click();  // unticked
    EXPECT_EQ(label(CBaCtrl::kReportLabel), "");
    EXPECT_TRUE(html->isVisible());  // only the chooser changes it
    queueFileChoice("");
    report->click();  // ticked, then cancelled: unticked, HTML hidden
    EXPECT_FALSE(report->isChecked());
    EXPECT_FALSE(html->isVisible());
    queueFileChoice("/runs/north");
    report->click();
    EXPECT_TRUE(report->isChecked());
    EXPECT_EQ(label(CBaCtrl::kReportLabel), "/runs/north.prn");
    EXPECT_TRUE(html->isVisible());

    // A load file path of 128 characters keeps the user on the page.
    queueFileChoice(longPath);
    load->click();
    EXPECT_EQ(label(CBaCtrl::kLoadFileLabel), longPath);
    messages_.clear();
    sheet.tabs()->setCurrentIndex(CBaSetupSheet::kWriteback);
    EXPECT_EQ(sheet.tabs()->currentIndex(), CBaSetupSheet::kControl);
    button(&sheet, "1")->click();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(messages_.size(), 2u);
    load->click();  // unticked: the path and its label go
    EXPECT_EQ(label(CBaCtrl::kLoadFileLabel), "");
    queueFileChoice(longPath.substr(1));  // 127 characters
    load->click();
    button(&sheet, "1")->click();
  });
  clearFileChoices();
  ASSERT_EQ(result, 1);
  EXPECT_EQ(std::string(r.loadFilePath), longPath.substr(1));
  EXPECT_EQ(std::string(r.reportFilePath), "/runs/north.prn");
  EXPECT_STREQ(r.inputFilePath, "");
  EXPECT_EQ(std::tuple(r.createInputFile, r.createLoadFile, r.createReport), std::tuple(1, 1, 1));
}

TEST_F(HostFixture, EquationsAndWritebackPages) {
  BA_SETUP r = validRecord();
  for (int i = 0; i < 12; ++i) bind(r.writebackVars[i], "ALLOCATED.OIL", 3);
  r.interpolateFlag = 1;
  r.nominalFlag = 1;
  const int result = runSheet(r, [](CBaSetupSheet& sheet) {
    sheet.tabs()->setCurrentIndex(CBaSetupSheet::kWriteback);
    auto* res = static_cast<CVariablePage*>(sheet.page(CBaSetupSheet::kWriteback));
    EXPECT_EQ(control<QComboBox>(res, 1011)->currentIndex(), 4);  // Days/Hours
    res->OnClearAll();
    sheet.tabs()->setCurrentIndex(CBaSetupSheet::kEquations);
    auto* eq = static_cast<CVariablePage*>(sheet.page(CBaSetupSheet::kEquations));
    EXPECT_EQ(control<QLabel>(eq, 1051)->text(), QStringLiteral("D&i (1/month):"));
    control<QComboBox>(eq, 1042)->setCurrentIndex(5);
    eq->OnClearAll();
    EXPECT_EQ(control<QComboBox>(eq, 1042)->currentIndex(), -1);
    EXPECT_TRUE(control<QCheckBox>(eq, CEqTab::kInterpolateCheck)->isChecked());
    control<QCheckBox>(eq, CEqTab::kNominalCheck)->click();
    control<QComboBox>(eq, 1044)->setCurrentIndex(1);  // Date: the first variable
    button(&sheet, "1")->click();
  });
  ASSERT_EQ(result, 1);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(r.writebackVars[i].varPos, -1) << i;
  EXPECT_EQ(r.equationVars[0].varPos, 0);
  EXPECT_STREQ(r.equationVars[0].varName, "ALLOCATED.GAS");
  EXPECT_EQ(r.equationVars[7].varPos, -1);
  EXPECT_EQ(std::tuple(r.interpolateFlag, r.nominalFlag), std::tuple(1, 0));
}

}  // namespace
