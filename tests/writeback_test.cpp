// The writeback of a load file into the production database: small
// hand-written load files over temporary databases (every bound column, a
// rerun, a failure part-way, refusals, a locked database), and the demo
// field's load file written back row for row.
#include "host/writeback.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/driver.h"
#include "engine/output_files.h"
#include "host/host_database.h"
#include "host/sqlite_db.h"
#include "tests/temp_dir.h"

namespace {

using zelba::hostapp::parseLoadFile;
using zelba::hostapp::writeBack;
using zelba::hostdb::Writer;

// Writeback binding indexes.
constexpr int kHours = 0;
constexpr int kOil = 1;
constexpr int kGas = 2;
constexpr int kWater = 3;
constexpr int kWaterInj = 4;
constexpr int kGasInj = 5;
constexpr int kSteamInj = 6;

constexpr int kJan1 = 20050101;
constexpr int kJan31 = 20050131;

// A record that asks for the writeback and binds nothing.
BA_SETUP emptyRecord() {
  BA_SETUP record;
  std::memset(&record, 0, sizeof record);
  for (BA_VARREF& ref : record.writebackVars) ref.varPos = -1;
  record.writebackFlag = 1;
  return record;
}

void bind(BA_SETUP& record, int index, const char* name) {
  BA_VARREF& ref = record.writebackVars[index];
  std::memset(ref.varName, 0, sizeof ref.varName);
  std::strncpy(ref.varName, name, sizeof ref.varName - 1);
  ref.varPos = 0;  // any position: the name decides
}

// Every binding in ALLOCATED.
BA_SETUP allocatedRecord() {
  BA_SETUP record = emptyRecord();
  bind(record, kHours, "ALLOCATED.HOURS_ON");
  bind(record, kOil, "ALLOCATED.OIL");
  bind(record, kGas, "ALLOCATED.GAS");
  bind(record, kWater, "ALLOCATED.WATER");
  bind(record, kWaterInj, "ALLOCATED.WATER_INJ");
  bind(record, kGasInj, "ALLOCATED.GAS_INJ");
  bind(record, kSteamInj, "ALLOCATED.STEAM_INJ");
  return record;
}

// A database with wells N-01 (id 1) and N-02 (id 2), and whatever `fill` adds.
class WritebackDb : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.ok());
    path = dir.file("prod.db");
    ASSERT_EQ(db.open(path, false), "");
    ASSERT_EQ(zelba::hostdb::createSchema(db), "");
    Writer writer(db);
    ASSERT_EQ(writer.addWell("N-01", "").id, 1);
    ASSERT_EQ(writer.addWell("N-02", "").id, 2);
  }

  // Every row of the data tables that a writeback may touch, values exact.
  std::string snapshot() {
    std::string text;
    for (const char* table : {"ALLOCATED", "HOURS", "WELLTEST"}) {
      const std::string sql = std::string("SELECT * FROM ") + table + " ORDER BY 1, 2";
      sqlite3_stmt* st = nullptr;
      EXPECT_EQ(sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &st, nullptr), SQLITE_OK);
      while (sqlite3_step(st) == SQLITE_ROW) {
        text += table;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
          char cell[64];
          if (sqlite3_column_type(st, c) == SQLITE_NULL) {
            std::snprintf(cell, sizeof cell, " -");
          } else {
            std::snprintf(cell, sizeof cell, " %a", sqlite3_column_double(st, c));
          }
          text += cell;
        }
        text += '\n';
      }
      sqlite3_finalize(st);
    }
    return text;
  }

  // One column of ALLOCATED (or another table) for a well and day; NAN when
  // the value is NULL, -1 when there is no row.
  double value(const std::string& table, const std::string& column, int well, int date) {
    const std::string sql =
        "SELECT " + column + " FROM " + table + " WHERE WELL_ID = ?1 AND DATE = ?2";
    zelba::sqlite::Statement st(db, sql.c_str());
    st.bind(1, static_cast<std::int64_t>(well)).bind(2, static_cast<std::int64_t>(date));
    if (!st.step()) return -1;
    return st.isNull(0) ? NAN : st.columnDouble(0);
  }

  std::int64_t rows(const char* table) {
    const std::string sql = std::string("SELECT COUNT(*) FROM ") + table;
    zelba::sqlite::Statement st(db, sql.c_str());
    return st.step() ? st.columnInt(0) : -1;
  }

  TempDir dir{"zelba-writeback"};
  std::string path;
  zelba::sqlite::Database db;
};

// Two wells, two days, every fluid, columns named by the fluids as the
// engine names them without "*zelfields".
const char* kDailyFile =
    "*metric\n"
    "*tablename ALLOCATED\n"
    "*date * *Oil *Gas *Water *WaterInj *GasInj *SteamInj \n"
    "*keyname \"N-01\"\n"
    "20050101        24.000         136.9        121.1         84.4          0.0"
    "          0.0          0.0\n"
    "20050102        18.500         101.2         90.0         60.3          1.5"
    "          2.5          3.5\n"
    "*keyname \"N-02\"\n"
    "20050101        24.000          55.0         40.0        210.7        300.0"
    "         12.0          0.0\n"
    "20050102         0.000           0.0          0.0          0.0          0.0"
    "          0.0          0.0\n";

TEST_F(WritebackDb, StoresEveryBoundColumnExactly) {
  const auto result = writeBack(db, allocatedRecord(), kDailyFile, kJan1, kJan31);
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.rowsWritten, 4);
  EXPECT_EQ(rows("ALLOCATED"), 4);
  const std::vector<std::string> columns = {"HOURS_ON",  "OIL",     "GAS",      "WATER",
                                            "WATER_INJ", "GAS_INJ", "STEAM_INJ"};
  const std::map<std::pair<int, int>, std::vector<double>> expected = {
      {{1, 20050101}, {24.0, 136.9, 121.1, 84.4, 0.0, 0.0, 0.0}},
      {{1, 20050102}, {18.5, 101.2, 90.0, 60.3, 1.5, 2.5, 3.5}},
      {{2, 20050101}, {24.0, 55.0, 40.0, 210.7, 300.0, 12.0, 0.0}},
      {{2, 20050102}, {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0}},
  };
  for (const auto& [key, figures] : expected) {
    for (size_t c = 0; c < columns.size(); ++c) {
      EXPECT_EQ(value("ALLOCATED", columns[c], key.first, key.second), figures[c])
          << columns[c] << " of well " << key.first << " on " << key.second;
    }
  }
}

TEST_F(WritebackDb, ColumnsFindTheirBindings) {
  // Oil and gas named by the bound variables (as "*zelfields" names them),
  // water unbound, the hours skipped although bound; the hours and gas go to
  // another table than the oil.
  BA_SETUP record = emptyRecord();
  bind(record, kHours, "HOURS.HOURS_ON");
  bind(record, kOil, "ALLOCATED.OIL");
  bind(record, kGas, "WELLTEST.GAS");
  const char* file =
      "*DATE *skip *OIL *WELLTEST.GAS *Water \n"
      "*keyname \"N-02\"\n"
      "20050110        24.000         12.5         7.25         99.0\n";
  const auto result = writeBack(db, record, file, kJan1, kJan31);
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.rowsWritten, 1);
  EXPECT_EQ(value("ALLOCATED", "OIL", 2, 20050110), 12.5);
  EXPECT_TRUE(std::isnan(value("ALLOCATED", "WATER", 2, 20050110)));  // unbound
  EXPECT_EQ(value("WELLTEST", "GAS", 2, 20050110), 7.25);
  EXPECT_EQ(rows("HOURS"), 0);  // "*skip"

  // The same hours not skipped reach HOURS.HOURS_ON.
  const char* withHours =
      "*DATE *HoursOn *OIL *WELLTEST.GAS *Water \n"
      "*keyname \"N-02\"\n"
      "20050110        20.000         12.5         7.25         99.0\n";
  ASSERT_EQ(writeBack(db, record, withHours, kJan1, kJan31).error, "");
  EXPECT_EQ(value("HOURS", "HOURS_ON", 2, 20050110), 20.0);

  // A column that names neither a fluid nor a bound column is refused by
  // its name; so is a column the writeback binds twice.
  auto bad = writeBack(db, record, "*date *hours *AllocOil \n*keyname \"N-01\"\n20050101 24 1.0\n",
                       kJan1, kJan31);
  EXPECT_NE(bad.error.find("'AllocOil'"), std::string::npos) << bad.error;
  bad = writeBack(db, record, "*date *hours *Oil *OIL \n*keyname \"N-01\"\n20050101 24 1 2\n",
                  kJan1, kJan31);
  EXPECT_NE(bad.error.find("two columns of Oil"), std::string::npos) << bad.error;
}

TEST_F(WritebackDb, RerunReplacesRatherThanDuplicates) {
  // A value of an unbound column of the table stays whatever the writeback
  // does: STEAM_INJ of N-01 on the 2nd, written before.
  ASSERT_EQ(db.exec("INSERT INTO ALLOCATED (WELL_ID, DATE, STEAM_INJ) VALUES (1, 20050102, 7.0)"),
            "");
  BA_SETUP record = allocatedRecord();
  bind(record, kSteamInj, "");
  record.writebackVars[kSteamInj].varPos = -1;

  ASSERT_EQ(writeBack(db, record, kDailyFile, kJan1, kJan31).error, "");
  const std::string first = snapshot();
  EXPECT_EQ(rows("ALLOCATED"), 4);
  EXPECT_EQ(value("ALLOCATED", "STEAM_INJ", 1, 20050102), 7.0);
  ASSERT_EQ(writeBack(db, record, kDailyFile, kJan1, kJan31).error, "");
  EXPECT_EQ(snapshot(), first);

  // A monthly rerun of the period for N-01: its daily figures give way to
  // the one month-end row (31 days on production); N-02 keeps its rows, and
  // N-01's row of the 2nd stays for its unbound STEAM_INJ alone.
  const char* monthly =
      "*date * *Oil *Gas *Water \n"
      "*keyname \"N-01\"\n"
      "  20050131     31.000        4248.2       3666.4       2635.9\n";
  const auto result = writeBack(db, record, monthly, kJan1, kJan31);
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.rowsWritten, 1);
  EXPECT_EQ(value("ALLOCATED", "OIL", 1, kJan31), 4248.2);
  EXPECT_EQ(value("ALLOCATED", "HOURS_ON", 1, kJan31), 31.0);
  EXPECT_EQ(value("ALLOCATED", "OIL", 1, 20050101), -1);  // the row is gone
  EXPECT_TRUE(std::isnan(value("ALLOCATED", "OIL", 1, 20050102)));
  EXPECT_EQ(value("ALLOCATED", "STEAM_INJ", 1, 20050102), 7.0);
  EXPECT_EQ(value("ALLOCATED", "OIL", 2, 20050101), 55.0);
  EXPECT_EQ(rows("ALLOCATED"), 4);  // N-01: 2nd and 31st; N-02: 1st and 2nd

  // Rows outside the period are not the rerun's: February stays.
  ASSERT_EQ(db.exec("INSERT INTO ALLOCATED (WELL_ID, DATE, OIL) VALUES (1, 20050201, 9.0)"), "");
  ASSERT_EQ(writeBack(db, record, monthly, kJan1, kJan31).error, "");
  EXPECT_EQ(value("ALLOCATED", "OIL", 1, 20050201), 9.0);
}

TEST_F(WritebackDb, FailurePartWayLeavesTheTablesAsTheyWere) {
  ASSERT_EQ(db.exec("INSERT INTO ALLOCATED (WELL_ID, DATE, OIL, HOURS_ON)"
                    " VALUES (1, 20050101, 1.0, 2.0);"
                    "INSERT INTO HOURS (WELL_ID, DATE, HOURS_ON) VALUES (1, 20050101, 24),"
                    " (2, 20050102, 12)"),
            "");
  const std::string before = snapshot();
  // ALLOCATED is written first (hours and gas); then the oil goes to
  // HOURS.HOURS_ON, whose CHECK of 0 to 24 hours fails on the last row
  // (30.0) after three rows were stored.
  BA_SETUP record = emptyRecord();
  bind(record, kHours, "ALLOCATED.HOURS_ON");
  bind(record, kOil, "HOURS.HOURS_ON");
  bind(record, kGas, "ALLOCATED.GAS");
  const char* file =
      "*date *hours *Oil *Gas \n"
      "*keyname \"N-01\"\n"
      "20050101 24.000 10.0 100.0\n"
      "20050102 24.000 11.0 110.0\n"
      "*keyname \"N-02\"\n"
      "20050101 24.000 12.0 120.0\n"
      "20050102 24.000 30.0 130.0\n";
  const auto result = writeBack(db, record, file, kJan1, kJan31);
  EXPECT_NE(result.error.find("nothing was written back"), std::string::npos) << result.error;
  EXPECT_NE(result.error.find("line 7"), std::string::npos) << result.error;
  EXPECT_NE(result.error.find("CHECK"), std::string::npos) << result.error;
  EXPECT_EQ(result.rowsWritten, 0);
  EXPECT_EQ(snapshot(), before);

  // An unknown well on the last line: refused before anything is written.
  const std::string unknownLast =
      std::string(kDailyFile) + "*keyname \"N-99\"\n20050101 24 1 1 1 1 1 1\n";
  const auto unknown = writeBack(db, allocatedRecord(), unknownLast, kJan1, kJan31);
  EXPECT_NE(unknown.error.find("'N-99'"), std::string::npos) << unknown.error;
  EXPECT_EQ(snapshot(), before);
}

TEST_F(WritebackDb, LoadFileOrSetupThatDoesNotMatchIsRefused) {
  ASSERT_EQ(db.exec("INSERT INTO ALLOCATED (WELL_ID, DATE, OIL) VALUES (2, 20050105, 5.0)"), "");
  const std::string before = snapshot();
  struct Case {
    const char* what;
    std::string file;
    const char* words;  // in the message
  };
  const std::string header = "*date *hours *Oil \n*keyname \"N-01\"\n";
  const std::vector<Case> cases = {
      {"text", "Dear engineer,\nplease find the figures attached.\n", "is not a load file"},
      {"empty", "", "is not a load file"},
      {"no rows", "*date *hours *Oil \n", "holds no rows"},
      {"row before keyname", "*date *hours *Oil \n20050101 24 1\n", "before its first *keyname"},
      {"keyname unquoted", "*date *hours *Oil \n*keyname N-01\n20050101 24 1\n", "double quotes"},
      {"short row", header + "20050101 24\n", "line 3"},
      {"long row", header + "20050101 24 1 2\n", "4 fields where the column line has 3"},
      {"not a number", header + "20050101 24 12,5\n", "'12,5' is not a number"},
      {"not finite", header + "20050101 24 nan\n", "'nan' is not a number"},
      {"too large", header + "20050101 24 1e999\n", "is not a number"},
      {"not a date", header + "20050230 24 1\n", "is not a date"},
      {"six-digit date", header + "200501 24 1\n", "is not a date"},
      {"other period", header + "20050201 24 1\n", "outside the period 20050101 to 20050131"},
      {"second row", header + "20050101 24 1\n20050101 24 2\n", "second row of well N-01"},
      {"unknown directive", header + "20050101 24 1\n*tablename X\n", "'*tablename'"},
      {"unknown well", header + "20050101 24 1\n*keyname \"N-3\"\n20050102 24 1\n", "'N-3'"},
  };
  BA_SETUP record = emptyRecord();
  bind(record, kOil, "ALLOCATED.OIL");
  for (const Case& c : cases) {
    const auto result = writeBack(db, record, c.file, kJan1, kJan31);
    EXPECT_NE(result.error.find(c.words), std::string::npos) << c.what << ": " << result.error;
    EXPECT_EQ(result.rowsWritten, 0) << c.what;
  }

  // Bindings that the writeback cannot write, each named; the flag unset;
  // a period that is not one.
  const std::string good = header + "20050101 24 1\n";
  struct BindingCase {
    const char* name;
    const char* words;
  };
  for (const BindingCase& c : std::vector<BindingCase>{
           {"ALLOCATED.NOPE", "'ALLOCATED.NOPE', is not a column of the database"},
           {"MEASURED.OIL", "'MEASURED.OIL', is not a column of a table kept per well and day"},
           {"STATUS.FACILITY", "'STATUS.FACILITY', is not a column of a table kept per well"},
           {"EQUATION.P1", "'EQUATION.P1', is not a column of a table kept per well"},
           {"", "'', is not a column"},
       }) {
    BA_SETUP r = emptyRecord();
    bind(r, kOil, c.name);
    const auto result = writeBack(db, r, good, kJan1, kJan31);
    EXPECT_NE(result.error.find(c.words), std::string::npos) << c.name << ": " << result.error;
  }
  BA_SETUP twice = emptyRecord();
  bind(twice, kOil, "ALLOCATED.OIL");
  bind(twice, kGasInj, "ALLOCATED.OIL");
  EXPECT_NE(writeBack(db, twice, good, kJan1, kJan31).error.find("to both Oil and Gas Inj"),
            std::string::npos);
  EXPECT_NE(writeBack(db, emptyRecord(), good, kJan1, kJan31).error.find("nothing to write"),
            std::string::npos);
  BA_SETUP off = record;
  off.writebackFlag = 0;
  EXPECT_NE(writeBack(db, off, good, kJan1, kJan31).error.find("does not ask"), std::string::npos);
  EXPECT_NE(writeBack(db, record, good, kJan31, kJan1).error.find("is not a range of dates"),
            std::string::npos);
  EXPECT_EQ(snapshot(), before);

  // The parser alone: the parts of a good file.
  const auto parsed = parseLoadFile(kDailyFile, kJan1, kJan31);
  ASSERT_EQ(parsed.error, "");
  EXPECT_TRUE(parsed.metric);
  EXPECT_EQ(parsed.tableName, "ALLOCATED");
  EXPECT_EQ(parsed.hoursColumn, "");
  EXPECT_EQ(parsed.fluidColumns.size(), 6u);
  ASSERT_EQ(parsed.rows.size(), 4u);
  EXPECT_EQ(parsed.rows[3].well, "N-02");
  EXPECT_EQ(parsed.rows[3].date, 20050102);
  EXPECT_EQ(parsed.rows[1].hours, 18.5);
  EXPECT_EQ(parsed.rows[1].values[5], 3.5);
}

TEST_F(WritebackDb, LockedDatabaseIsWaitedForThenReported) {
  const std::string before = snapshot();
  zelba::sqlite::Database other;
  ASSERT_EQ(other.open(path, false), "");
  BA_SETUP record = allocatedRecord();
  {
    zelba::sqlite::Transaction holding(other);  // the other program's write lock
    ASSERT_EQ(holding.error(), "");
    const auto start = std::chrono::steady_clock::now();
    const auto result = writeBack(db, record, kDailyFile, kJan1, kJan31, 400);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_NE(result.error.find("locked by another program"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("waited 400 ms"), std::string::npos) << result.error;
    EXPECT_EQ(result.rowsWritten, 0);
    EXPECT_GE(waited, std::chrono::milliseconds(350));
  }
  EXPECT_EQ(snapshot(), before);
  // Once the other program lets go, the same writeback goes through.
  const auto result = writeBack(db, record, kDailyFile, kJan1, kJan31, 400);
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.rowsWritten, 4);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Replaces the line that starts with `start`.
void replaceLine(std::string& text, const std::string& start, const std::string& line) {
  const size_t at = text.find("\n" + start);
  ASSERT_NE(at, std::string::npos) << start;
  const size_t end = text.find('\n', at + 1);
  text.replace(at + 1, end - at - 1, line);
}

// The load file's figures read on their own: (well, date) -> hours, oil, gas, water.
std::map<std::pair<std::string, int>, std::vector<double>> figures(const std::string& text) {
  std::map<std::pair<std::string, int>, std::vector<double>> all;
  std::istringstream in(text);
  std::string line, well;
  while (std::getline(in, line)) {
    if (line.rfind("*keyname \"", 0) == 0) {
      well = line.substr(10, line.rfind('"') - 10);
    } else if (!line.empty() && line[0] != '*') {
      std::istringstream row(line);
      int date = 0;
      double hours = 0, oil = 0, gas = 0, water = 0;
      row >> date >> hours >> oil >> gas >> water;
      all[{well, date}] = {hours, oil, gas, water};
    }
  }
  return all;
}

TEST(WritebackDemo, LoadFileOfTheDemoFieldStoredRowForRow) {
  TempDir dir("zelba-writeback-demo");
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("demo.db");
  const std::string command =
      std::string("'") + ZELBA_HOSTDB_PATH + "' demo '" + path + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);

  // The example names its load-file columns for another database; the
  // host's input names them by the bound ALLOCATED columns.
  std::string input = readFile(std::string(ZELBA_EXAMPLES_DIR) + "/north_field.ba");
  ASSERT_FALSE(input.empty());
  const std::string original = input;
  replaceLine(input, "*zeltable", "*zeltable ALLOCATED");
  replaceLine(input, "*zelfields", "*zelfields DATE HOURS_ON OIL GAS WATER");
  auto loadFileOf = [](const std::string& text) {
    zelba::MemoryFiles files;
    zelba::RunOptions options;
    options.files = &files;
    zelba::RunState rs;
    EXPECT_EQ(zelba::runEngineOnText(rs, text, nullptr, options), 1);
    for (const auto& [name, content] : files.files()) {
      if (name.find("_load.txt") != std::string::npos) return content;
    }
    return std::string();
  };
  const std::string loadFile = loadFileOf(input);
  ASSERT_NE(loadFile.find("*DATE *HOURS_ON *OIL *GAS *WATER"), std::string::npos) << loadFile;
  const auto expected = figures(loadFile);
  ASSERT_EQ(expected.size(), 21u * 31u);  // 21 wells, January

  zelba::sqlite::Database db;
  ASSERT_EQ(db.open(path, false), "");
  BA_SETUP record = allocatedRecord();
  auto result = writeBack(db, record, loadFile, kJan1, kJan31);
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.rowsWritten, 21 * 31);
  // Twice: the same rows, not twice as many.
  result = writeBack(db, record, loadFile, kJan1, kJan31);
  ASSERT_EQ(result.error, "");

  zelba::sqlite::Statement st(db,
                              "SELECT W.NAME, A.DATE, A.HOURS_ON, A.OIL, A.GAS, A.WATER,"
                              " A.WATER_INJ FROM ALLOCATED A JOIN WELLS W USING (WELL_ID)");
  size_t seen = 0;
  while (st.step()) {
    ++seen;
    const std::pair<std::string, int> key{st.columnText(0), static_cast<int>(st.columnInt(1))};
    const auto it = expected.find(key);
    ASSERT_NE(it, expected.end()) << key.first << " " << key.second;
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(st.columnDouble(2 + c), it->second[c]) << key.first << " " << key.second;
    }
    EXPECT_TRUE(st.isNull(6));  // water injection is not in the load file
  }
  EXPECT_EQ(st.error(), "");
  EXPECT_EQ(seen, expected.size());

  // The example as it stands names its columns AllocOil...: they find no
  // binding, and nothing is written.
  const std::string foreign = loadFileOf(original);
  result = writeBack(db, record, foreign, kJan1, kJan31);
  EXPECT_NE(result.error.find("'AllocOil'"), std::string::npos) << result.error;
}

}  // namespace
