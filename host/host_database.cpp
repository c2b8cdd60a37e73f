#include "host/host_database.h"

#include <algorithm>
#include <cstring>

namespace zelba::hostdb {

namespace {

// Dates a data row may carry: after 1 January 1900 (a host date not above
// 19000101 means no date) and written with eight digits.
constexpr std::int64_t kFirstDate = 19000102;
constexpr std::int64_t kLastDate = 99991231;

constexpr int kEquationParameters = 11;  // P1..P11, as many as PVTPROP takes

// The schema, version 1. Dates are INTEGER yyyymmdd; volumes REAL in the
// field's units (oil and water bbl, gas Mscf). A value column left NULL has no
// value that day.
constexpr const char* kSchemaSql = R"sql(
CREATE TABLE WELLS (
  WELL_ID     INTEGER PRIMARY KEY,
  NAME        TEXT NOT NULL UNIQUE,
  DESCRIPTION TEXT NOT NULL DEFAULT ''
);
CREATE TABLE CATEGORIES (
  CATEGORY_ID INTEGER PRIMARY KEY,
  NAME        TEXT NOT NULL UNIQUE
);
CREATE TABLE CATEGORY_VALUES (
  VALUE_ID    INTEGER PRIMARY KEY,
  CATEGORY_ID INTEGER NOT NULL REFERENCES CATEGORIES (CATEGORY_ID),
  NAME        TEXT NOT NULL,
  UNIQUE (CATEGORY_ID, NAME),
  UNIQUE (VALUE_ID, CATEGORY_ID)
);
CREATE TABLE WELL_CATEGORIES (
  WELL_ID     INTEGER NOT NULL REFERENCES WELLS (WELL_ID),
  CATEGORY_ID INTEGER NOT NULL,
  VALUE_ID    INTEGER NOT NULL,
  PRIMARY KEY (WELL_ID, CATEGORY_ID),
  FOREIGN KEY (VALUE_ID, CATEGORY_ID) REFERENCES CATEGORY_VALUES (VALUE_ID, CATEGORY_ID)
);
CREATE TABLE MEASURED (
  VALUE_ID  INTEGER NOT NULL REFERENCES CATEGORY_VALUES (VALUE_ID),
  DATE      INTEGER NOT NULL CHECK (DATE BETWEEN 19000102 AND 99991231),
  OIL REAL, GAS REAL, WATER REAL, STOCK REAL,
  WATER_INJ REAL, GAS_INJ REAL, STEAM_INJ REAL, CO2_INJ REAL,
  PRIMARY KEY (VALUE_ID, DATE)
);
CREATE TABLE WELLTEST (
  WELL_ID INTEGER NOT NULL REFERENCES WELLS (WELL_ID),
  DATE    INTEGER NOT NULL CHECK (DATE BETWEEN 19000102 AND 99991231),
  OIL REAL, GAS REAL, WATER REAL, GOR REAL, BSW REAL, WHFP REAL, CHOKE REAL,
  PRIMARY KEY (WELL_ID, DATE)
);
CREATE TABLE HOURS (
  WELL_ID  INTEGER NOT NULL REFERENCES WELLS (WELL_ID),
  DATE     INTEGER NOT NULL CHECK (DATE BETWEEN 19000102 AND 99991231),
  HOURS_ON REAL CHECK (HOURS_ON BETWEEN 0 AND 24),
  PRIMARY KEY (WELL_ID, DATE)
);
CREATE TABLE STATUS (
  WELL_ID  INTEGER NOT NULL REFERENCES WELLS (WELL_ID),
  DATE     INTEGER NOT NULL CHECK (DATE BETWEEN 19000102 AND 99991231),
  STATUS   TEXT,
  FACILITY INTEGER REFERENCES CATEGORY_VALUES (VALUE_ID),
  PRIMARY KEY (WELL_ID, DATE)
);
CREATE TABLE EQUATION (
  WELL_ID INTEGER NOT NULL REFERENCES WELLS (WELL_ID),
  DATE    INTEGER NOT NULL CHECK (DATE BETWEEN 19000102 AND 99991231),
  FLUID   TEXT NOT NULL DEFAULT '',
  KEYWORD TEXT NOT NULL,
  P1 REAL, P2 REAL, P3 REAL, P4 REAL, P5 REAL, P6 REAL,
  P7 REAL, P8 REAL, P9 REAL, P10 REAL, P11 REAL,
  PRIMARY KEY (WELL_ID, DATE, FLUID, KEYWORD)
);
CREATE TABLE ALLOCATED (
  WELL_ID INTEGER NOT NULL REFERENCES WELLS (WELL_ID),
  DATE    INTEGER NOT NULL CHECK (DATE BETWEEN 19000102 AND 99991231),
  HOURS_ON REAL, OIL REAL, GAS REAL, WATER REAL,
  WATER_INJ REAL, GAS_INJ REAL, STEAM_INJ REAL,
  PRIMARY KEY (WELL_ID, DATE)
);
)sql";

// Version 2 adds the host application's own tables: the named setup records
// and the audit of every run. A row that a run's writeback stored names that
// run in RUN_ID (NULL for a row that no run wrote). Upgrading a version 1
// database runs this text on it: its data stay as they are.
constexpr const char* kVersion2Sql = R"sql(
CREATE TABLE SETUP_RECORDS (
  SETUP_ID INTEGER PRIMARY KEY,
  NAME     TEXT NOT NULL UNIQUE,
  RECORD   BLOB NOT NULL,
  UPDATED  TEXT NOT NULL
);
CREATE TABLE RUNS (
  RUN_ID         INTEGER PRIMARY KEY,
  STARTED        TEXT NOT NULL,
  FINISHED       TEXT,
  SETUP_NAME     TEXT NOT NULL,
  SETUP_RECORD   BLOB NOT NULL,
  FIRST_DATE     INTEGER NOT NULL,
  LAST_DATE      INTEGER NOT NULL,
  INPUT_TEXT     TEXT NOT NULL,
  ENGINE_VERSION TEXT NOT NULL,
  STATUS         TEXT NOT NULL,
  ENGINE_STATUS  INTEGER,
  SUMMARY        TEXT NOT NULL DEFAULT '',
  REPORT_TEXT    TEXT,
  LOAD_TEXT      TEXT,
  ROWS_WRITTEN   INTEGER NOT NULL DEFAULT 0
);
ALTER TABLE ALLOCATED ADD COLUMN RUN_ID INTEGER REFERENCES RUNS (RUN_ID);
ALTER TABLE HOURS ADD COLUMN RUN_ID INTEGER REFERENCES RUNS (RUN_ID);
ALTER TABLE WELLTEST ADD COLUMN RUN_ID INTEGER REFERENCES RUNS (RUN_ID);
PRAGMA user_version = 2;
)sql";

// The tables and columns the host reads besides the data tables' keys and
// values.
struct FixedTable {
  const char* name;
  const char* columns;
};
constexpr FixedTable kFixedTables[] = {
    {"WELLS", "WELL_ID, NAME, DESCRIPTION"},
    {"CATEGORIES", "CATEGORY_ID, NAME"},
    {"CATEGORY_VALUES", "VALUE_ID, CATEGORY_ID, NAME"},
    {"WELL_CATEGORIES", "WELL_ID, CATEGORY_ID, VALUE_ID"},
    {"SETUP_RECORDS", "SETUP_ID, NAME, RECORD, UPDATED"},
    {"RUNS",
     "RUN_ID, STARTED, FINISHED, SETUP_NAME, SETUP_RECORD, FIRST_DATE, LAST_DATE, INPUT_TEXT, "
     "ENGINE_VERSION, STATUS, ENGINE_STATUS, SUMMARY, REPORT_TEXT, LOAD_TEXT, ROWS_WRITTEN"},
    {"ALLOCATED", "RUN_ID"},
    {"HOURS", "RUN_ID"},
    {"WELLTEST", "RUN_ID"},
};

// The schema version of an open database, or -1 with the reason.
std::int64_t schemaVersion(sqlite::Database& db, std::string& reason) {
  sqlite::Statement st(db, "PRAGMA user_version");
  if (!st.step()) {
    reason = st.error().empty() ? "it has no schema version" : st.error();
    return -1;
  }
  return st.columnInt(0);
}

std::string joined(const std::vector<const char*>& names) {
  std::string text;
  for (const char* name : names) {
    if (!text.empty()) text += ", ";
    text += name;
  }
  return text;
}

// The min and max DATE of `table`'s rows, those where `column` is not NULL
// when a column is given. `table` and `column` are schema constants.
DateRange queryDates(sqlite::Database& db, const char* table, const char* column) {
  std::string sql =
      std::string("SELECT MIN(DATE), MAX(DATE) FROM ") + table + " WHERE DATE BETWEEN ?1 AND ?2";
  if (column) sql += std::string(" AND ") + column + " IS NOT NULL";
  DateRange range;
  sqlite::Statement st(db, sql.c_str());
  st.bind(1, kFirstDate).bind(2, kLastDate);
  if (st.step() && !st.isNull(0)) {
    range.found = true;
    range.first = static_cast<int>(st.columnInt(0));
    range.last = static_cast<int>(st.columnInt(1));
  }
  range.error = st.error();
  if (!range.error.empty()) range.found = false;
  return range;
}

}  // namespace

const std::vector<DataTable>& dataTables() {
  static const std::vector<DataTable> tables = {
      {"MEASURED",
       {"VALUE_ID"},
       {"OIL", "GAS", "WATER", "STOCK", "WATER_INJ", "GAS_INJ", "STEAM_INJ", "CO2_INJ"},
       true},
      {"WELLTEST", {"WELL_ID"}, {"OIL", "GAS", "WATER", "GOR", "BSW", "WHFP", "CHOKE"}, true},
      {"HOURS", {"WELL_ID"}, {"HOURS_ON"}, true},
      {"STATUS", {"WELL_ID"}, {"STATUS", "FACILITY"}, false},
      {"EQUATION",
       {"WELL_ID", "FLUID", "KEYWORD"},
       {"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P10", "P11"},
       false},
      {"ALLOCATED",
       {"WELL_ID"},
       {"HOURS_ON", "OIL", "GAS", "WATER", "WATER_INJ", "GAS_INJ", "STEAM_INJ"},
       true},
  };
  return tables;
}

const std::vector<Variable>& variables() {
  static const std::vector<Variable> list = [] {
    std::vector<Variable> all;
    for (const DataTable& table : dataTables()) {
      for (const char* column : table.columns) {
        all.push_back({std::string(table.name) + "." + column, &table, column});
      }
    }
    // std::string compares its characters as unsigned bytes.
    std::sort(all.begin(), all.end(),
              [](const Variable& a, const Variable& b) { return a.name < b.name; });
    return all;
  }();
  return list;
}

const Variable* findVariable(const std::string& name) {
  const std::vector<Variable>& all = variables();
  auto it = std::lower_bound(all.begin(), all.end(), name,
                             [](const Variable& v, const std::string& n) { return v.name < n; });
  return it != all.end() && it->name == name ? &*it : nullptr;
}

std::string createSchema(sqlite::Database& db) {
  {
    sqlite::Statement st(db, "SELECT COUNT(*) FROM sqlite_master");
    if (!st.step()) return st.error().empty() ? "it cannot be read" : st.error();
    if (st.columnInt(0) != 0) return "it already holds tables";
  }
  sqlite::Transaction transaction(db);
  if (!transaction.error().empty()) return transaction.error();
  std::string reason = db.exec(kSchemaSql);
  if (reason.empty()) reason = db.exec(kVersion2Sql);
  if (!reason.empty()) return reason;
  return transaction.commit();
}

UpgradeResult upgradeSchema(sqlite::Database& db) {
  UpgradeResult result;
  const std::int64_t version = schemaVersion(db, result.error);
  if (version < 0) return result;
  if (version == kSchemaVersion) return result;
  if (version != 1) {
    result.error = "it has schema version " + std::to_string(version) + "; only version 1 upgrades";
    return result;
  }
  sqlite::Transaction transaction(db);
  result.error = transaction.error();
  if (result.error.empty()) result.error = db.exec(kVersion2Sql);
  if (result.error.empty()) result.error = transaction.commit();
  result.upgraded = result.error.empty();
  return result;
}

std::string openForReading(sqlite::Database& db, const std::string& path, int waitMs) {
  std::string reason = db.open(path, true);
  if (!reason.empty()) return reason;
  db.setBusyTimeout(waitMs);
  auto fail = [&db](std::string why) {
    db.close();
    return why;
  };
  const std::int64_t version = schemaVersion(db, reason);
  if (version < 0) return fail(reason);
  if (version != kSchemaVersion) {
    std::string why = "it has schema version " + std::to_string(version) +
                      "; this host reads version " + std::to_string(kSchemaVersion);
    if (version == 1) why += " (zelba-hostdb upgrade upgrades it and keeps its data)";
    return fail(why);
  }
  // Every table and column the host reads must be there: preparing a query
  // that names them all says which one is not.
  std::vector<std::string> probes;
  for (const FixedTable& table : kFixedTables) {
    probes.push_back(std::string("SELECT ") + table.columns + " FROM " + table.name + " LIMIT 0");
  }
  for (const DataTable& table : dataTables()) {
    probes.push_back("SELECT " + joined(table.keys) + ", DATE, " + joined(table.columns) +
                     " FROM " + table.name + " LIMIT 0");
  }
  for (const std::string& sql : probes) {
    sqlite::Statement st(db, sql.c_str());
    if (!st.ok()) return fail("it is not a production database of this host: " + st.error());
  }
  return {};
}

void DateRange::widen(const DateRange& other) {
  if (!other.error.empty() && error.empty()) error = other.error;
  if (!other.found) return;
  if (!found || other.first < first) first = other.first;
  if (!found || other.last > last) last = other.last;
  found = true;
}

DateRange variableDates(sqlite::Database& db, const Variable& variable) {
  return queryDates(db, variable.table->name, variable.column);
}

DateRange dataDates(sqlite::Database& db) {
  DateRange range;
  for (const DataTable& table : dataTables()) {
    range.widen(queryDates(db, table.name, nullptr));
    if (!range.error.empty()) break;  // a locked database would make each query wait
  }
  if (!range.error.empty()) range.found = false;
  return range;
}

CategoryList readCategories(sqlite::Database& db) {
  CategoryList list;
  // BINARY collation orders byte-wise.
  sqlite::Statement st(db,
                       "SELECT C.NAME, V.NAME FROM CATEGORIES C"
                       " LEFT JOIN CATEGORY_VALUES V ON V.CATEGORY_ID = C.CATEGORY_ID"
                       " ORDER BY C.NAME, V.NAME");
  while (st.step()) {
    std::string name = st.columnText(0);
    if (list.categories.empty() || list.categories.back().name != name) {
      list.categories.push_back({name, {}});
    }
    if (!st.isNull(1)) list.categories.back().values.push_back(st.columnText(1));
  }
  list.error = st.error();
  if (!list.error.empty()) list.categories.clear();
  return list;
}

Writer::Writer(sqlite::Database& db) : db_(db) {}

namespace {

// Runs an INSERT whose values are bound; the new row's id.
RowId insertRow(sqlite::Database& db, sqlite::Statement& st) {
  RowId row;
  row.error = st.run();
  if (row.error.empty()) row.id = db.lastInsertId();
  return row;
}

}  // namespace

RowId Writer::addWell(const std::string& name, const std::string& description) {
  sqlite::Statement st(db_, "INSERT INTO WELLS (NAME, DESCRIPTION) VALUES (?1, ?2)");
  st.bind(1, name).bind(2, description);
  return insertRow(db_, st);
}

RowId Writer::addCategory(const std::string& name) {
  if (name.size() > kMaxCategoryName) {
    RowId refused;
    refused.error = "the category name '" + name + "' is longer than " +
                    std::to_string(kMaxCategoryName) + " characters";
    return refused;
  }
  sqlite::Statement st(db_, "INSERT INTO CATEGORIES (NAME) VALUES (?1)");
  st.bind(1, name);
  return insertRow(db_, st);
}

RowId Writer::addCategoryValue(std::int64_t categoryId, const std::string& name) {
  sqlite::Statement st(db_, "INSERT INTO CATEGORY_VALUES (CATEGORY_ID, NAME) VALUES (?1, ?2)");
  st.bind(1, categoryId).bind(2, name);
  return insertRow(db_, st);
}

std::string Writer::assign(std::int64_t wellId, std::int64_t valueId) {
  sqlite::Statement st(
      db_,
      "INSERT INTO WELL_CATEGORIES (WELL_ID, CATEGORY_ID, VALUE_ID)"
      " SELECT ?1, CATEGORY_ID, VALUE_ID FROM CATEGORY_VALUES WHERE VALUE_ID = ?2");
  st.bind(1, wellId).bind(2, valueId);
  std::string reason = st.run();
  if (reason.empty() && db_.changes() != 1) reason = "there is no such category value";
  return reason;
}

std::string Writer::addDay(const char* table, std::int64_t key, int date,
                           const std::vector<Value>& values) {
  const DataTable* target = nullptr;
  for (const DataTable& t : dataTables()) {
    if (table && std::strcmp(t.name, table) == 0) target = &t;
  }
  if (!target || !target->numbersOnly) {
    return std::string("no data table ") + (table ? table : "") + " takes plain daily numbers";
  }
  // The SQL names the schema's own column constants, never the caller's text.
  std::string columns = std::string(target->keys.front()) + ", DATE";
  std::string marks = "?1, ?2";
  std::vector<double> bound;
  for (const Value& v : values) {
    const char* column = nullptr;
    for (const char* c : target->columns) {
      if (v.column && std::strcmp(c, v.column) == 0) column = c;
    }
    if (!column) {
      return std::string(target->name) + " has no column " + (v.column ? v.column : "");
    }
    columns += std::string(", ") + column;
    marks += ", ?" + std::to_string(bound.size() + 3);
    bound.push_back(v.value);
  }
  const std::string sql =
      std::string("INSERT INTO ") + target->name + " (" + columns + ") VALUES (" + marks + ")";
  sqlite::Statement st(db_, sql.c_str());
  st.bind(1, key).bind(2, static_cast<std::int64_t>(date));
  for (size_t i = 0; i < bound.size(); ++i) st.bind(static_cast<int>(i + 3), bound[i]);
  return st.run();
}

std::string Writer::addStatus(std::int64_t wellId, int date, const std::string& status,
                              std::int64_t facilityValueId) {
  sqlite::Statement st(
      db_, "INSERT INTO STATUS (WELL_ID, DATE, STATUS, FACILITY) VALUES (?1, ?2, ?3, ?4)");
  st.bind(1, wellId).bind(2, static_cast<std::int64_t>(date));
  if (status.empty()) {
    st.bindNull(3);
  } else {
    st.bind(3, status);
  }
  if (facilityValueId < 0) {
    st.bindNull(4);
  } else {
    st.bind(4, facilityValueId);
  }
  return st.run();
}

std::string Writer::addEquation(std::int64_t wellId, int date, const std::string& fluid,
                                const std::string& keyword, const std::vector<double>& parameters) {
  if (parameters.size() > static_cast<size_t>(kEquationParameters)) {
    return "an equation takes at most 11 parameters";
  }
  sqlite::Statement st(
      db_,
      "INSERT INTO EQUATION (WELL_ID, DATE, FLUID, KEYWORD,"
      " P1, P2, P3, P4, P5, P6, P7, P8, P9, P10, P11)"
      " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)");
  st.bind(1, wellId).bind(2, static_cast<std::int64_t>(date)).bind(3, fluid).bind(4, keyword);
  for (size_t i = 0; i < parameters.size(); ++i) st.bind(static_cast<int>(i + 5), parameters[i]);
  return st.run();
}

}  // namespace zelba::hostdb
