// The stand-in host's data services over temporary production databases, and
// a run of the engine on an input file written from the demo database.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "engine/driver.h"
#include "host/host_data.h"
#include "host/host_database.h"
#include "host/sqlite_db.h"
#include "tests/temp_dir.h"

namespace {

using zelba::hostdb::Writer;

// Every message the host gives while the object lives.
class Messages {
 public:
  Messages() {
    zelba::setHostMessageSink([this](const std::string& m) { list.push_back(m); });
  }
  ~Messages() { zelba::setHostMessageSink(nullptr); }
  std::vector<std::string> list;
};

// A database at `path` with the schema, filled by `fill` in one transaction.
void makeDatabase(const std::string& path, const std::function<void(Writer&)>& fill) {
  zelba::sqlite::Database db;
  ASSERT_EQ(db.open(path, false), "");
  ASSERT_EQ(zelba::hostdb::createSchema(db), "");
  zelba::sqlite::Transaction transaction(db);
  ASSERT_EQ(transaction.error(), "");
  Writer writer(db);
  if (fill) fill(writer);
  ASSERT_EQ(transaction.commit(), "");
  ASSERT_EQ(db.close(), "");
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> categoryNames() {
  CSortedCategoryArray array;
  Entities()->GetCatgoryList(array);
  std::vector<std::string> names;
  for (int i = 0; i < array.GetSize(); ++i) names.push_back(array[i]);
  return names;
}

struct Dates {
  int status;
  double first;
  double last;
};

// FindMinMaxDates with both dates preset to 0.0, as the Control page calls it.
Dates minMax(const char* list) {
  Dates d{0, 0.0, 0.0};
  d.status = FindMinMaxDates(list, &d.first, &d.last);
  return d;
}

void expectEmptyHost() {
  EXPECT_EQ(NoSortZelVars(), 0);
  ASSERT_NE(SortZelVariableName(0), nullptr);
  EXPECT_STREQ(SortZelVariableName(0), "");
  EXPECT_EQ(SortZelVarPosFromName("MEASURED.OIL"), -1);
  const Dates d = minMax("DATE");
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.first, 0.0);
  EXPECT_EQ(d.last, 0.0);
  EXPECT_TRUE(categoryNames().empty());
  EXPECT_STREQ(GetLoadName(), "ZelBA.prn");
}

// The schema's variables: 8 MEASURED, 7 WELLTEST, 1 HOURS, 2 STATUS,
// 11 EQUATION and 7 ALLOCATED value columns.
constexpr int kVariableCount = 8 + 7 + 1 + 2 + 11 + 7;

TEST(HostDatabase, SortedVariableListAndPositions) {
  TempDir dir("zelba-hostdb");
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("schema.db");
  makeDatabase(path, nullptr);
  ASSERT_EQ(ZelHostOpenDatabase(path.c_str()), 1);
  ASSERT_EQ(NoSortZelVars(), kVariableCount);

  // Byte-wise order: the end of a name sorts before '_', "P10" before "P2".
  for (int i = 1; i < kVariableCount; ++i) {
    EXPECT_LT(std::strcmp(SortZelVariableName(i - 1), SortZelVariableName(i)), 0) << i;
  }
  for (int i = 0; i < kVariableCount; ++i) {
    const std::string name = SortZelVariableName(i);
    EXPECT_LE(name.size(), 39u) << name;
    EXPECT_EQ(SortZelVarPosFromName(name.c_str()), i) << name;
  }
  // ALLOCATED: GAS 0, GAS_INJ 1, HOURS_ON 2, OIL 3, STEAM_INJ 4, WATER 5,
  // WATER_INJ 6; EQUATION: P1 7, P10 8, P11 9, P2 10 ... P9 17; HOURS.HOURS_ON
  // 18; MEASURED: CO2_INJ 19, GAS 20, GAS_INJ 21, OIL 22.
  EXPECT_STREQ(SortZelVariableName(0), "ALLOCATED.GAS");
  EXPECT_STREQ(SortZelVariableName(1), "ALLOCATED.GAS_INJ");
  EXPECT_STREQ(SortZelVariableName(8), "EQUATION.P10");
  EXPECT_STREQ(SortZelVariableName(10), "EQUATION.P2");
  EXPECT_EQ(SortZelVarPosFromName("HOURS.HOURS_ON"), 18);
  EXPECT_EQ(SortZelVarPosFromName("MEASURED.OIL"), 22);
  EXPECT_STREQ(SortZelVariableName(kVariableCount - 1), "WELLTEST.WHFP");

  // Names the host does not know, and positions outside the list.
  for (const char* unknown :
       {"MEASURED.OILX", "measured.oil", "MEASURED", "", "DATE", " MEASURED.OIL"}) {
    EXPECT_EQ(SortZelVarPosFromName(unknown), -1) << unknown;
  }
  EXPECT_EQ(SortZelVarPosFromName(nullptr), -1);
  for (int position : {-1, kVariableCount, INT_MAX, INT_MIN}) {
    ASSERT_NE(SortZelVariableName(position), nullptr);
    EXPECT_STREQ(SortZelVariableName(position), "") << position;
  }
  EXPECT_STREQ(GetLoadName(), "schema.prn");
}

TEST(HostDatabase, FindMinMaxDatesFromTheData) {
  TempDir dir("zelba-hostdb");
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("dates.db");
  makeDatabase(path, [](Writer& w) {
    const zelba::hostdb::RowId separator = w.addCategory("SEPARATOR");
    const zelba::hostdb::RowId pad = w.addCategoryValue(separator.id, "PAD-A");
    const zelba::hostdb::RowId w1 = w.addWell("W1", "");
    const zelba::hostdb::RowId w2 = w.addWell("W2", "");
    ASSERT_EQ(pad.error + w1.error + w2.error, "");
    ASSERT_EQ(w.addDay("MEASURED", pad.id, 20050103, {{"OIL", 10}}), "");
    ASSERT_EQ(w.addDay("MEASURED", pad.id, 20050110, {{"OIL", 12}, {"GAS", 5}}), "");
    ASSERT_EQ(w.addDay("MEASURED", pad.id, 20050120, {{"GAS", 7}}), "");  // no oil that day
    ASSERT_EQ(w.addDay("WELLTEST", w1.id, 20041215, {{"OIL", 100}}), "");
    ASSERT_EQ(w.addDay("HOURS", w2.id, 20050201, {{"HOURS_ON", 24}}), "");
    // Columns and tables outside the schema are refused.
    EXPECT_NE(w.addDay("MEASURED", pad.id, 20050104, {{"OIL; DROP TABLE WELLS", 1}}), "");
    EXPECT_NE(w.addDay("WELLS", w1.id, 20050104, {{"NAME", 1}}), "");
  });
  ASSERT_EQ(ZelHostOpenDatabase(path.c_str()), 1);
  struct Case {
    const char* list;
    int status;
    double first;
    double last;
  };
  const Case cases[] = {
      // Every row of every data table: the well test to the hours row.
      {"DATE", 1, 20041215, 20050201},
      {"date", 1, 20041215, 20050201},
      {"DATE,MEASURED.OIL", 1, 20050103, 20050110},
      // The 20 January row has gas but no oil.
      {"DATE,MEASURED.GAS", 1, 20050110, 20050120},
      {"DATE,MEASURED.OIL,WELLTEST.OIL", 1, 20041215, 20050110},
      {"DATE, MEASURED.OIL , HOURS.HOURS_ON", 1, 20050103, 20050201},
      // Variables without data and unknown names add nothing.
      {"DATE,ALLOCATED.OIL,MEASURED.GAS", 1, 20050110, 20050120},
      {"DATE,ALLOCATED.OIL", 0, 0, 0},
      {"DATE,NOT.A.VARIABLE", 0, 0, 0},
      {"DATE,,", 1, 20041215, 20050201},
  };
  for (const Case& c : cases) {
    const Dates d = minMax(c.list);
    EXPECT_EQ(d.status, c.status) << c.list;
    EXPECT_EQ(d.first, c.first) << c.list;
    EXPECT_EQ(d.last, c.last) << c.list;
  }
  double first = 0;
  double last = 0;
  EXPECT_EQ(FindMinMaxDates(nullptr, &first, &last), -1);
  EXPECT_EQ(FindMinMaxDates("DATE", nullptr, &last), -1);
  EXPECT_EQ(FindMinMaxDates("DATE", &first, nullptr), -1);

  // A database with the schema and no rows has no dates.
  const std::string empty = dir.file("empty.db");
  makeDatabase(empty, nullptr);
  ASSERT_EQ(ZelHostOpenDatabase(empty.c_str()), 1);
  const Dates none = minMax("DATE");
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.first, 0.0);
  EXPECT_EQ(none.last, 0.0);
}

TEST(HostDatabase, ElapsedDaysAndFormattedDates) {
  struct Span {
    double from;
    double to;
    double days;
  };
  const Span spans[] = {
      {20041231, 20050101, 1},                             // year end
      {20050131, 20050201, 1},                             // month end
      {20040228, 20040301, 2},                             // 29 February 2004
      {20050228, 20050301, 1},                             // 2005 is not a leap year
      {20050101, 20050131, 30},                            // the caller adds 1: 31 days listed
      {20040101, 20050101, 366},                           // a leap year
      {20050101, 20060101, 365}, {19000228, 19000301, 1},  // 1900 is not a leap year
      {20000228, 20000301, 2},                             // 2000 is
      {20050101, 20041231, -1},  {20050115, 20050115, 0},
  };
  for (const Span& s : spans) {
    SetReferenceDate(s.from);
    double days = -12345;
    EXPECT_EQ(ElapsedDaysFromReferenceDate(s.to, &days), 1) << s.from << " " << s.to;
    EXPECT_EQ(days, s.days) << s.from << " " << s.to;
  }
  // Not calendar dates: the count is left as it was.
  SetReferenceDate(20050101);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double bad : {20050230.0, 20051301.0, 19000101.0, 0.0, -20050101.0, 20050101.5, nan,
                     std::numeric_limits<double>::infinity(), 1e300, 2005013.0}) {
    double days = 7;
    EXPECT_EQ(ElapsedDaysFromReferenceDate(bad, &days), 0) << bad;
    EXPECT_EQ(days, 7) << bad;
  }
  EXPECT_EQ(ElapsedDaysFromReferenceDate(20050102, nullptr), -1);
  SetReferenceDate(0);  // no reference date
  double days = 7;
  EXPECT_EQ(ElapsedDaysFromReferenceDate(20050102, &days), 0);
  EXPECT_EQ(days, 7);

  EXPECT_STREQ(FmtDate(20050131, "yyyymmdd"), "20050131");
  EXPECT_STREQ(FmtDate(20050131, nullptr), "20050131");
  EXPECT_STREQ(FmtDate(20050131, "dd/mm/yyyy"), "31/01/2005");
  EXPECT_STREQ(FmtDate(20040229, "DD.MM.YY"), "29.02.04");
  EXPECT_STREQ(FmtDate(20050102, "Day dd of mm"), "Day 02 of 01");
  EXPECT_STREQ(FmtDate(20050102, ""), "");
  for (double bad : {20051301.0, 20050229.0, 0.0, 19000101.0, nan, 1e300, 20050131.5}) {
    ASSERT_NE(FmtDate(bad, "yyyymmdd"), nullptr);
    EXPECT_STREQ(FmtDate(bad, "yyyymmdd"), "") << bad;
  }
}

TEST(HostDatabase, CategoriesAndCurrentEntity) {
  TempDir dir("zelba-hostdb");
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("north.field.db");
  makeDatabase(path, [](Writer& w) {
    for (const char* name : {"SEPARATOR", "FIELD", "GATHERING CENTRE", "BATTERY"}) {
      ASSERT_EQ(w.addCategory(name).error, "");
    }
    // A value of a category that does not exist, and a well's value given
    // for a value that does not exist, are refused.
    EXPECT_NE(w.addCategoryValue(99, "X").error, "");
    const zelba::hostdb::RowId well = w.addWell("W1", "");
    EXPECT_NE(w.assign(well.id, 99), "");
    // A name the setup record cannot hold (39 characters at most).
    EXPECT_EQ(w.addCategory(std::string(39, 'C')).error, "");
    EXPECT_NE(w.addCategory(std::string(40, 'D')).error, "");
  });
  {
    // Written by another program: left out of the host's list, with a word.
    zelba::sqlite::Database db;
    ASSERT_EQ(db.open(path, false), "");
    ASSERT_EQ(db.exec("INSERT INTO CATEGORIES (NAME) VALUES "
                      "('A CATEGORY WHOSE NAME HAS FORTY-ONE BYTES')"),
              "");
    ASSERT_EQ(db.close(), "");
  }
  Messages messages;
  ASSERT_EQ(ZelHostOpenDatabase(path.c_str()), 1);
  ASSERT_EQ(messages.list.size(), 1u);
  EXPECT_NE(messages.list[0].find("longer than 39 characters"), std::string::npos);
  CSortedCategoryArray array;
  array.Add("STALE");
  Entities()->GetCatgoryList(array);
  ASSERT_EQ(array.GetSize(), 5);
  EXPECT_EQ(array[0], "BATTERY");
  EXPECT_EQ(array[1], std::string(39, 'C'));
  EXPECT_EQ(array[2], "FIELD");
  EXPECT_EQ(array[3], "GATHERING CENTRE");
  EXPECT_STREQ(array.GetAt(4), "SEPARATOR");
  EXPECT_EQ(array[5], "");
  EXPECT_EQ(array[-1], "");

  int entity = 0;
  CZelEntity* some = reinterpret_cast<CZelEntity*>(&entity);
  Entities()->SetCurrentEntity(some);
  EXPECT_EQ(Entities()->GetCurrentEntity(), some);
  Entities()->SetCurrentEntity(nullptr);
  EXPECT_EQ(Entities()->GetCurrentEntity(), nullptr);
  // Only the last extension is replaced.
  EXPECT_STREQ(GetLoadName(), "north.field.prn");
}

TEST(HostDatabase, BadDatabasesGiveTheEmptyHostAndOneMessage) {
  TempDir dir("zelba-hostdb");
  ASSERT_TRUE(dir.ok());
  const std::string good = dir.file("good.db");
  makeDatabase(good, nullptr);

  const std::string random = dir.file("random.db");
  {
    std::ofstream out(random, std::ios::binary);
    unsigned state = 12345;
    for (int i = 0; i < 8192; ++i) {
      state = state * 1103515245u + 12345u;
      out.put(static_cast<char>(state >> 16));
    }
  }
  const std::string version3 = dir.file("version3.db");
  makeDatabase(version3, nullptr);
  {
    zelba::sqlite::Database db;
    ASSERT_EQ(db.open(version3, false), "");
    ASSERT_EQ(db.exec("PRAGMA user_version = 3"), "");
  }
  const std::string noTable = dir.file("no-table.db");
  makeDatabase(noTable, nullptr);
  {
    zelba::sqlite::Database db;
    ASSERT_EQ(db.open(noTable, false), "");
    ASSERT_EQ(db.exec("DROP TABLE ALLOCATED"), "");
  }
  const std::string empty = dir.file("empty.db");
  std::ofstream(empty).close();

  struct Bad {
    std::string path;
    const char* reason;
  };
  const Bad bads[] = {
      {dir.file("missing.db"), "unable to open"},
      {random, "not a database"},
      {version3, "schema version 3; this host reads version 2"},
      {noTable, "ALLOCATED"},
      {empty, "schema version 0"},
      {dir.file(""), ""},  // the directory itself
  };
  for (const Bad& bad : bads) {
    ASSERT_EQ(ZelHostOpenDatabase(good.c_str()), 1);
    Messages messages;
    EXPECT_EQ(ZelHostOpenDatabase(bad.path.c_str()), 0) << bad.path;
    expectEmptyHost();
    ASSERT_EQ(messages.list.size(), 1u) << bad.path;
    const std::string& m = messages.list[0];
    EXPECT_NE(m.find("cannot open the production database '" + bad.path + "'"), std::string::npos)
        << m;
    EXPECT_NE(m.find(bad.reason), std::string::npos) << m;
    EXPECT_NE(m.find("the host has no data"), std::string::npos) << m;
  }
  // The host only reads: the corrupt file is as it was.
  const std::string before = readBytes(random);
  ZelHostOpenDatabase(random.c_str());
  EXPECT_EQ(readBytes(random), before);

  // A null or empty path closes the database without a message.
  ASSERT_EQ(ZelHostOpenDatabase(good.c_str()), 1);
  Messages messages;
  EXPECT_EQ(ZelHostOpenDatabase(nullptr), 0);
  expectEmptyHost();
  EXPECT_EQ(ZelHostOpenDatabase(good.c_str()), 1);
  EXPECT_EQ(ZelHostOpenDatabase(""), 0);
  expectEmptyHost();
  EXPECT_TRUE(messages.list.empty());
}

TEST(HostDatabase, LockedDatabase) {
  TempDir dir("zelba-hostdb");
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("locked.db");
  makeDatabase(path, [](Writer& w) {
    const zelba::hostdb::RowId well = w.addWell("W1", "");
    ASSERT_EQ(w.addDay("HOURS", well.id, 20050105, {{"HOURS_ON", 24}}), "");
  });
  zelba::sqlite::Database writer;
  ASSERT_EQ(writer.open(path, false), "");

  // Locked while the host opens it: the empty host.
  ASSERT_EQ(writer.exec("BEGIN EXCLUSIVE"), "");
  {
    Messages messages;
    EXPECT_EQ(ZelHostOpenDatabase(path.c_str()), 0);
    expectEmptyHost();
    ASSERT_EQ(messages.list.size(), 1u);
    EXPECT_NE(messages.list[0].find("locked"), std::string::npos) << messages.list[0];
  }
  ASSERT_EQ(writer.exec("ROLLBACK"), "");

  // Locked after it opened: no dates, and a message saying why.
  ASSERT_EQ(ZelHostOpenDatabase(path.c_str()), 1);
  ASSERT_EQ(writer.exec("BEGIN EXCLUSIVE"), "");
  {
    Messages messages;
    const Dates d = minMax("DATE");
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.first, 0.0);
    ASSERT_EQ(messages.list.size(), 1u);
    EXPECT_NE(messages.list[0].find("locked"), std::string::npos) << messages.list[0];
  }
  ASSERT_EQ(writer.exec("ROLLBACK"), "");
  const Dates d = minMax("DATE");
  EXPECT_EQ(d.status, 1);
  EXPECT_EQ(d.first, 20050105);
  EXPECT_EQ(d.last, 20050105);
}

// Runs `body` on a host restarted with ZELBA_HOST_DB set to `path`.
bool inRestartedHost(const std::string& path, const std::function<bool()>& body) {
  setenv("ZELBA_HOST_DB", path.c_str(), 1);
  zelba::restartHost();
  const bool result = body();
  unsetenv("ZELBA_HOST_DB");
  zelba::restartHost();
  return result;
}

TEST(HostDatabase, DatabaseNamedByTheEnvironment) {
  TempDir dir("zelba-hostdb");
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("env.db");
  makeDatabase(path, nullptr);
  EXPECT_TRUE(inRestartedHost(path, [] {
    return NoSortZelVars() == kVariableCount && std::strcmp(GetLoadName(), "env.prn") == 0;
  }));
  // A missing database: the empty host, and one message however many calls.
  Messages messages;
  EXPECT_TRUE(inRestartedHost(dir.file("absent.db"), [] {
    return NoSortZelVars() == 0 && NoSortZelVars() == 0 &&
           SortZelVarPosFromName("MEASURED.OIL") == -1;
  }));
  EXPECT_EQ(messages.list.size(), 1u);
  // ZelHostOpenDatabase takes the place of the environment's database.
  const std::string other = dir.file("other.db");
  makeDatabase(other, nullptr);
  EXPECT_TRUE(inRestartedHost(dir.file("absent2.db"), [&other] {
    return ZelHostOpenDatabase(other.c_str()) == 1 && NoSortZelVars() == kVariableCount;
  }));
  // The open call came first, so ZELBA_HOST_DB was never looked at.
  EXPECT_EQ(messages.list.size(), 1u);
}

// The first `columns` columns of the rows `sql` gives, `value` bound to ?1.
std::vector<std::vector<std::string>> query(zelba::sqlite::Database& db, const char* sql,
                                            const std::string& value, int columns) {
  std::vector<std::vector<std::string>> rows;
  zelba::sqlite::Statement st(db, sql);
  st.bind(1, value);
  while (st.step()) {
    std::vector<std::string> row;
    for (int c = 0; c < columns; ++c) row.push_back(st.columnText(c));
    rows.push_back(row);
  }
  EXPECT_EQ(st.error(), "") << sql;
  return rows;
}

constexpr const char* kWellsOfSeparator =
    "SELECT W.NAME FROM WELLS W"
    " JOIN WELL_CATEGORIES WC ON WC.WELL_ID = W.WELL_ID"
    " JOIN CATEGORY_VALUES V ON V.VALUE_ID = WC.VALUE_ID"
    " JOIN CATEGORIES C ON C.CATEGORY_ID = V.CATEGORY_ID"
    " WHERE C.NAME = 'SEPARATOR' AND V.NAME = ?1 ORDER BY W.NAME LIMIT 4";
constexpr const char* kOilOfPoint =
    "SELECT M.DATE, M.OIL FROM MEASURED M JOIN CATEGORY_VALUES V ON V.VALUE_ID = M.VALUE_ID"
    " WHERE V.NAME = ?1 AND M.DATE BETWEEN 20050101 AND 20050103 AND M.OIL IS NOT NULL"
    " ORDER BY M.DATE";
constexpr const char* kTestsOfWell =
    "SELECT T.DATE, T.OIL, T.GOR, T.BSW, T.WHFP FROM WELLTEST T"
    " JOIN WELLS W ON W.WELL_ID = T.WELL_ID WHERE W.NAME = ?1 AND T.DATE <= 20050103"
    " ORDER BY T.DATE";
constexpr const char* kHoursOfWell =
    "SELECT H.DATE, H.HOURS_ON FROM HOURS H JOIN WELLS W ON W.WELL_ID = H.WELL_ID"
    " WHERE W.NAME = ?1 AND H.DATE BETWEEN 20050101 AND 20050103 ORDER BY H.DATE";

std::string line(const std::vector<std::string>& fields) {
  std::string text;
  for (const std::string& f : fields) text += (text.empty() ? "" : " ") + f;
  return text + "\n";
}

TEST(HostDatabase, DemoDatabaseFeedsAnEngineRun) {
  TempDir dir("zelba-hostdb");
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("demo.db");
  const std::string command = std::string("'") + ZELBA_HOSTDB_PATH + "' demo '" + path + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);

  // The host over the demo field.
  ASSERT_EQ(ZelHostOpenDatabase(path.c_str()), 1);
  EXPECT_EQ(categoryNames(),
            (std::vector<std::string>{"BATTERY", "FIELD", "GATHERING CENTRE", "SEPARATOR"}));
  // The earliest well test (N-01, 6 December 2004) to the last meter day.
  const Dates all = minMax("DATE");
  EXPECT_EQ(all.first, 20041206);
  EXPECT_EQ(all.last, 20050131);
  const Dates oil = minMax("DATE,MEASURED.OIL");
  EXPECT_EQ(oil.first, 20050101);
  EXPECT_EQ(oil.last, 20050131);
  EXPECT_EQ(minMax("DATE,ALLOCATED.OIL").status, 0);  // nothing written back yet
  EXPECT_STREQ(GetLoadName(), "demo.prn");

  // An engine input file of PAD-A and four of its wells, 1 to 3 January,
  // from the database's rows.
  zelba::sqlite::Database db;
  ASSERT_EQ(zelba::hostdb::openForReading(db, path), "");
  const auto wells = query(db, kWellsOfSeparator, "PAD-A", 1);
  ASSERT_EQ(wells.size(), 4u);
  const auto volumes = query(db, kOilOfPoint, "PAD-A", 2);
  // The PAD-A meter of examples/north_field.ba.
  ASSERT_EQ(volumes.size(), 3u);
  EXPECT_EQ(std::stod(volumes[0][1]), 845.6);
  EXPECT_EQ(std::stod(volumes[1][1]), 859.5);
  EXPECT_EQ(std::stod(volumes[2][1]), 859.4);

  std::string input =
      "#control\n*period 20050101 20050103\n*daily\n*precision 2\n#end\n"
      "#network\n*Methods *Welltest\n*TF PAD-A\n";
  for (const auto& w : wells) input += "Well " + w[0] + "\n";
  input += "#end\n#volume\n*TF PAD-A\n*date oil\n";
  for (const auto& v : volumes) input += line(v);
  input += "#end\n#welltest\n*date oil gor bsw whfp\n";
  for (const auto& w : wells) {
    input += "*Well " + w[0] + "\n";
    const auto tests = query(db, kTestsOfWell, w[0], 5);
    EXPECT_EQ(tests.size(), 1u) << w[0];
    for (const auto& t : tests) input += line(t);
  }
  input += "#end\n#time\n*date\n";
  for (const auto& w : wells) {
    input += "*Well " + w[0] + "\n";
    for (const auto& h : query(db, kHoursOfWell, w[0], 2)) input += line(h);
  }
  input += "#end\n";

  zelba::RunState rs;
  zelba::RunOptions options;
  double pointMeasured = -1;
  double pointAllocated = -1;
  double wellsAllocated = 0;
  double firstWellDay1 = -1;
  options.inspect = [&](const zelba::RunState& state) {
    for (const auto& pom : state.pomTable) {
      if (state.nodeTable[pom->nodeIndex]->name != "PAD-A") continue;
      pointMeasured = pom->measuredTotal[zelba::kOil];
      pointAllocated = pom->allocatedTotal[zelba::kOil];
    }
    for (const auto& node : state.nodeTable) {
      if (!zelba::isWellType(state, node->typeId)) continue;
      for (int d = 1; d <= 3; ++d) wellsAllocated += node->fluids[zelba::kOil].cumResult[d];
      if (node->name == "N-01") firstWellDay1 = node->fluids[zelba::kOil].cumResult[1];
    }
  };
  ASSERT_EQ(zelba::runEngineOnText(rs, input, nullptr, options), 1) << input;
  // 845.6 + 859.5 + 859.4
  EXPECT_NEAR(pointMeasured, 2564.5, 1e-9);
  EXPECT_NEAR(pointAllocated, 2564.5, 1e-6);
  EXPECT_NEAR(wellsAllocated, 2564.5, 1e-6);
  // N-01 to N-04 tested 142, 96.5, 188 and 61 bbl/d (487.5 together):
  // N-01 gets 845.6 x 142 / 487.5 = 246.308 on 1 January, cut to 246.30.
  EXPECT_NEAR(firstWellDay1, 246.30, 1e-6);
}

}  // namespace
