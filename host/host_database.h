// The stand-in host's production database: its schema, how the host opens it
// for the module, the queries behind the host's data services, and the
// writer that fills one.
//
// The database, schema version 2 (PRAGMA user_version):
//   WELLS            the wells (completions), by name
//   CATEGORIES       grouping attributes of wells: BATTERY, FIELD,
//                    GATHERING CENTRE, SEPARATOR
//   CATEGORY_VALUES  the values of each category (the separator PAD-A)
//   WELL_CATEGORIES  each well's value per category
// and the daily data tables, one row per key and day (DATE is yyyymmdd):
//   MEASURED   volumes at a point of measurement, keyed by its category value
//   WELLTEST   well tests                          keyed by well
//   HOURS      hours on production                 keyed by well
//   STATUS     status and facility changes         keyed by well
//   EQUATION   rate-method parameters              keyed by well, fluid, keyword
//   ALLOCATED  allocated volumes written back      keyed by well
// and the host application's own (version 2):
//   SETUP_RECORDS  the named setup records, each a BA_SETUP blob
//   RUNS           every run: when, which record, its input text, the engine's
//                  version, status, summary, report and load file
// ALLOCATED, HOURS and WELLTEST rows that a run wrote back name it in RUN_ID.
// docs/host-database.md gives every column.
//
// A host variable is a value column of a data table, named TABLE.COLUMN
// ("MEASURED.OIL", at most kMaxVariableName characters). The set of variables
// is fixed by the schema version; SQL texts are built from these constant
// names only, and every value is bound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/sqlite_db.h"

namespace zelba::hostdb {

constexpr int kSchemaVersion = 2;
constexpr size_t kMaxVariableName = 39;

// A daily data table: its key columns (WELL_ID or VALUE_ID first), DATE, and
// its value columns.
struct DataTable {
  const char* name;
  std::vector<const char*> keys;     // the row's key besides DATE
  std::vector<const char*> columns;  // the value columns, each a host variable
  bool numbersOnly;                  // every column is a number: Writer::addDay fills it
};

// The data tables of the schema, in the order the documentation lists them.
const std::vector<DataTable>& dataTables();

// One host variable: its name and where its values are.
struct Variable {
  std::string name;  // TABLE.COLUMN
  const DataTable* table;
  const char* column;
};

// Every host variable, sorted byte-wise by name.
const std::vector<Variable>& variables();

// The variable of that exact name (byte-wise), or null.
const Variable* findVariable(const std::string& name);

// Creates the schema in an empty database open for writing, in one
// transaction, and sets the schema version. Returns "" or the reason;
// a database that already holds tables is refused and left as it was.
std::string createSchema(sqlite::Database& db);

// Upgrades a database of schema version 1 (open for writing) to this
// version in one transaction, keeping its data. A database of this version
// is left as it is (upgraded false, no error); any other is refused.
struct UpgradeResult {
  std::string error;
  bool upgraded = false;
};
UpgradeResult upgradeSchema(sqlite::Database& db);

// Opens the production database at `path` read-only for the host and checks
// that it is one: schema version kSchemaVersion, every table and column of
// the schema present. Returns "" or the reason in plain words ("file is not
// a database", "it has schema version 0; this host reads version 1"); on
// failure `db` is closed.
// A database another connection holds locked is waited for `waitMs`.
std::string openForReading(sqlite::Database& db, const std::string& path, int waitMs = 0);

// First and last date (yyyymmdd) of a set of rows; found is false when there
// are none. error is "" unless the database could not be read.
struct DateRange {
  std::string error;
  bool found = false;
  int first = 0;
  int last = 0;

  // Takes in the dates of `other`, and its error when it has one.
  void widen(const DateRange& other);
};

// The days on which `variable` has a value (a row where its column is not
// NULL).
DateRange variableDates(sqlite::Database& db, const Variable& variable);

// The days of every row of every data table: the date range of the data.
DateRange dataDates(sqlite::Database& db);

struct Category {
  std::string name;
  std::vector<std::string> values;  // sorted byte-wise
};

struct CategoryList {
  std::string error;                 // "" unless the database could not be read
  std::vector<Category> categories;  // sorted byte-wise by name
};

CategoryList readCategories(sqlite::Database& db);

// The longest name of a category, in bytes: the module's setup record keeps
// a category's name in 40 bytes with its terminating NUL. (Every variable
// name of the schema is shorter.)
constexpr std::size_t kMaxCategoryName = 39;

// A new row's id, or the reason it could not be written.
struct RowId {
  std::string error;
  std::int64_t id = -1;
};

// Writes rows into a database open for writing (sqlite::Database enforces
// its foreign keys).
// Every call returns "" (or a RowId without error) on success and the reason
// otherwise. The caller holds the transaction.
class Writer {
 public:
  explicit Writer(sqlite::Database& db);

  RowId addWell(const std::string& name, const std::string& description);
  RowId addCategory(const std::string& name);
  RowId addCategoryValue(std::int64_t categoryId, const std::string& name);
  // The well's value of the category that `valueId` belongs to.
  std::string assign(std::int64_t wellId, std::int64_t valueId);

  // One day's row of a data table keyed by well or category value: `values`
  // pairs a value column of `table` with its value. Columns not named are
  // NULL. A table or column that is not in the schema is refused.
  struct Value {
    const char* column;
    double value;
  };
  std::string addDay(const char* table, std::int64_t key, int date,
                     const std::vector<Value>& values);

  // A status change of a well: its new status text ("" for none) and the
  // separator (category value) it flows to from that day, -1 for no change.
  std::string addStatus(std::int64_t wellId, int date, const std::string& status,
                        std::int64_t facilityValueId);

  // Rate-method parameters of a well from `date` on: the fluid ("" for
  // parameters of the well as a whole), the keyword as the engine input
  // writes it ("Decline", "PVTPROP") and up to 11 parameters P1...
  std::string addEquation(std::int64_t wellId, int date, const std::string& fluid,
                          const std::string& keyword, const std::vector<double>& parameters);

 private:
  sqlite::Database& db_;
};

}  // namespace zelba::hostdb
