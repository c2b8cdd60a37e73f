#include "host/writeback.h"

#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string_view>
#include <utility>

#include "engine/dates.h"
#include "engine/keywords.h"
#include "engine/run_state.h"
#include "engine/text.h"
#include "host/host_database.h"
#include "setup/record_text.h"

namespace zelba::hostapp {

static_assert(kWritebackFluids == kSteamInj + 1, "a binding per fluid slot 0..5");

namespace {

// The Writeback page's labels, by binding index, for messages.
constexpr const char* kBindingLabels[kWritebackFluids + 1] = {
    "Days/Hours", "Oil", "Gas", "Water", "Water Inj", "Gas Inj", "Steam Inj"};

constexpr std::string_view kBlanks = " \t\r";

std::vector<std::string_view> words(std::string_view text) {
  std::vector<std::string_view> list;
  size_t pos = 0;
  while ((pos = text.find_first_not_of(kBlanks, pos)) != std::string_view::npos) {
    const size_t end = std::min(text.find_first_of(kBlanks, pos), text.size());
    list.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return list;
}

// A whole field as a finite number, independent of the process locale.
bool readNumber(std::string_view field, double& value) {
  const char* end = field.data() + field.size();
  const auto [ptr, ec] = std::from_chars(field.data(), end, value);
  return ec == std::errc() && ptr == end && std::isfinite(value);
}

// A row date: a whole number written yyyymmdd that is on the calendar.
bool isCalendarDate(double value) {
  if (value < 10000000 || value > 99999999 || value != std::floor(value)) return false;
  return splitDate(value).valid && !isOddDate(value);
}

std::string atLine(int line) {
  return "line " + std::to_string(line) + ": ";
}

// Reads the column line: each name begins with '*'; a word without one
// continues the name before it (a fluid name with a blank).
std::string readColumnLine(std::string_view line, LoadFile& file) {
  std::vector<std::string> names;
  for (std::string_view word : words(line)) {
    if (word.front() == '*') {
      names.emplace_back(word.substr(1));
    } else {
      names.back() += ' ';
      names.back() += word;
    }
  }
  if (names.size() < 2) return "the column line names no hours column";
  file.dateColumn = names[0];
  file.hoursColumn = names[1];
  file.hoursSkipped = equalsIgnoreCase(names[1], "skip");
  file.fluidColumns.assign(names.begin() + 2, names.end());
  return {};
}

}  // namespace

LoadFile parseLoadFile(const std::string& text, int firstDate, int lastDate) {
  LoadFile file;
  bool columnsSeen = false;
  std::string well;  // of the latest "*keyname"
  std::set<std::pair<std::string, int>> seen;
  auto refuse = [&file](std::string why) {
    file = LoadFile();
    file.error = "the load file " + why;
    return file;
  };

  int lineNumber = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = std::min(text.find('\n', pos), text.size());
    const std::string_view line = trimBlanks(std::string_view(text).substr(pos, end - pos));
    pos = end + 1;
    ++lineNumber;
    if (line.empty()) continue;
    if (line.find('\0') != std::string_view::npos) {
      return refuse("is not a text file (" + atLine(lineNumber) + "a NUL byte)");
    }

    if (line.front() == '*') {
      const std::vector<std::string_view> fields = words(line);
      const std::string_view word = fields.front();
      if (equalsIgnoreCase(word, "*keyname")) {
        if (!columnsSeen) return refuse("is not a load file: it has no column line");
        const std::string_view rest = trimBlanks(line.substr(word.size()));
        if (rest.size() < 3 || rest.front() != '"' || rest.back() != '"') {
          return refuse("has a *keyname without a well name in double quotes on line " +
                        std::to_string(lineNumber));
        }
        well = std::string(rest.substr(1, rest.size() - 2));
      } else if (!columnsSeen && equalsIgnoreCase(word, "*metric") && fields.size() == 1) {
        file.metric = true;
      } else if (!columnsSeen && equalsIgnoreCase(word, "*tablename")) {
        file.tableName = std::string(trimBlanks(line.substr(word.size())));
      } else if (!columnsSeen) {
        const std::string why = readColumnLine(line, file);
        if (!why.empty()) return refuse("is not a load file: " + why);
        columnsSeen = true;
      } else {
        return refuse("has a directive it should not have on line " + std::to_string(lineNumber) +
                      ": '" + std::string(word) + "'");
      }
      continue;
    }

    if (!columnsSeen) {
      return refuse("is not a load file: line " + std::to_string(lineNumber) +
                    " comes before its column line");
    }
    if (well.empty()) {
      return refuse("has a row before its first *keyname (line " + std::to_string(lineNumber) +
                    ")");
    }
    const std::vector<std::string_view> fields = words(line);
    const size_t expected = 2 + file.fluidColumns.size();
    if (fields.size() != expected) {
      return refuse("has a row that does not parse on line " + std::to_string(lineNumber) + ": " +
                    std::to_string(fields.size()) + " fields where the column line has " +
                    std::to_string(expected));
    }
    std::vector<double> numbers(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
      if (!readNumber(fields[i], numbers[i])) {
        return refuse("has a row that does not parse on line " + std::to_string(lineNumber) +
                      ": '" + std::string(fields[i]) + "' is not a number");
      }
    }
    if (!isCalendarDate(numbers[0])) {
      return refuse("has a row that does not parse on line " + std::to_string(lineNumber) + ": '" +
                    std::string(fields[0]) + "' is not a date yyyymmdd");
    }
    LoadRow row;
    row.line = lineNumber;
    row.well = well;
    row.date = static_cast<int>(numbers[0]);
    row.hours = numbers[1];
    row.values.assign(numbers.begin() + 2, numbers.end());
    if (row.date < firstDate || row.date > lastDate) {
      return refuse("does not match the run: " + atLine(lineNumber) + "well " + well + " on " +
                    std::to_string(row.date) + " is outside the period " +
                    std::to_string(firstDate) + " to " + std::to_string(lastDate));
    }
    if (!seen.insert({well, row.date}).second) {
      return refuse("has a second row of well " + well + " for " + std::to_string(row.date) +
                    " on line " + std::to_string(lineNumber));
    }
    file.rows.push_back(std::move(row));
  }
  if (!columnsSeen) return refuse("is not a load file: it has no column line");
  if (file.rows.empty()) return refuse("holds no rows");
  return file;
}

namespace {

// Where one number of a load-file row goes.
struct Target {
  const hostdb::Variable* variable;
  int source;  // -1 the hours, else the index of the fluid column
};

// The writeback bindings of the record checked against the schema, and the
// load file's columns placed on them.
struct Plan {
  std::string error;
  std::vector<Target> targets;                   // the numbers each row stores
  std::vector<const hostdb::Variable*> cleared;  // emptied for the period's wells first
};

// The binding index that a fluid column's name gives, -1 for a column that
// is not written (the CO2 injection), or an error.
struct Placement {
  std::string error;
  int binding = -1;
};

// `bound` holds the variable of each binding index 0..kWritebackFluids, null
// when unbound.
Placement placeColumn(const std::string& name, const hostdb::Variable* const* bound) {
  static const NameTable fluids = defaultFluidNames();
  const int id = lookupKeyword(name, fluids);
  if (id >= 0 && id < kWritebackFluids) return {"", 1 + id};
  if (id == kCo2Inj) return {"", -1};
  for (int b = 1; b <= kWritebackFluids; ++b) {
    if (bound[b] && (name == bound[b]->name || name == bound[b]->column)) return {"", b};
  }
  return {"does not match the setup: its column '" + name +
              "' names no fluid and no bound writeback column",
          -1};
}

Plan makePlan(const BA_SETUP& record, const LoadFile& file) {
  Plan plan;
  const hostdb::Variable* bound[kWritebackFluids + 1] = {};
  for (int b = 0; b <= kWritebackFluids; ++b) {
    const BA_VARREF& binding = record.writebackVars[b];
    if (binding.varPos < 0) continue;
    const std::string name = recordText(binding.varName);
    const hostdb::Variable* variable = hostdb::findVariable(name);
    if (!variable) {
      plan.error = std::string("the writeback binding of ") + kBindingLabels[b] + ", '" + name +
                   "', is not a column of the database";
      return plan;
    }
    const hostdb::DataTable& table = *variable->table;
    if (!table.numbersOnly || table.keys.size() != 1 ||
        std::strcmp(table.keys.front(), "WELL_ID") != 0) {
      plan.error = std::string("the writeback binding of ") + kBindingLabels[b] + ", '" + name +
                   "', is not a column of a table kept per well and day";
      return plan;
    }
    for (int other = 0; other < b; ++other) {
      if (bound[other] == variable) {
        plan.error = "the writeback binds '" + name + "' to both " + kBindingLabels[other] +
                     " and " + kBindingLabels[b];
        return plan;
      }
    }
    bound[b] = variable;
  }
  // Every bound fluid is the run's to replace, also one this file does not
  // list (the run allocated none of it); skipped hours are left alone.
  for (int b = 0; b <= kWritebackFluids; ++b) {
    if (bound[b] && !(b == kWritebackHours && file.hoursSkipped)) plan.cleared.push_back(bound[b]);
  }
  if (!file.hoursSkipped && bound[kWritebackHours]) {
    plan.targets.push_back({bound[kWritebackHours], -1});
  }
  std::vector<int> taken(kWritebackFluids + 1, -1);
  for (size_t i = 0; i < file.fluidColumns.size(); ++i) {
    const Placement place = placeColumn(file.fluidColumns[i], bound);
    if (!place.error.empty()) {
      plan.error = "the load file " + place.error;
      return plan;
    }
    if (place.binding < 0) continue;
    if (taken[place.binding] >= 0) {
      plan.error = "the load file has two columns of " +
                   std::string(kBindingLabels[place.binding]) + ": '" +
                   file.fluidColumns[taken[place.binding]] + "' and '" + file.fluidColumns[i] + "'";
      return plan;
    }
    taken[place.binding] = static_cast<int>(i);
    if (bound[place.binding]) plan.targets.push_back({bound[place.binding], static_cast<int>(i)});
  }
  if (plan.targets.empty()) {
    plan.error = "no column of the load file has a writeback binding; nothing to write back";
  }
  return plan;
}

// The columns of one table that the writeback empties and stores, and its
// statements. SQL texts name the schema's own table and column constants
// only; every value is bound.
struct TableWrite {
  const hostdb::DataTable* table;
  std::vector<const char*> cleared;
  std::vector<Target> targets;
  std::string clearSql;   // empties the cleared columns of a well over the period
  std::string storeSql;   // one row: update, or insert when there is none; "" for none
  std::string removeSql;  // rows of a well left without any value in the period
};

std::vector<TableWrite> groupByTable(const Plan& plan) {
  std::vector<TableWrite> writes;
  auto of = [&writes](const hostdb::DataTable* table) -> TableWrite& {
    for (TableWrite& w : writes) {
      if (w.table == table) return w;
    }
    return writes.emplace_back(TableWrite{table, {}, {}, "", "", ""});
  };
  for (const hostdb::Variable* variable : plan.cleared) {
    of(variable->table).cleared.push_back(variable->column);
  }
  for (const Target& target : plan.targets) of(target.variable->table).targets.push_back(target);

  const std::string period = " WHERE WELL_ID = ?1 AND DATE BETWEEN ?2 AND ?3";
  for (TableWrite& w : writes) {
    const std::string table = w.table->name;
    std::string setNull;
    for (const char* column : w.cleared) {
      setNull += std::string(setNull.empty() ? "" : ", ") + column + " = NULL";
    }
    // A row keeps the run that wrote it only while it holds that run's figures.
    w.clearSql = "UPDATE " + table + " SET " + setNull + ", RUN_ID = NULL" + period;
    std::string noValue;
    for (const char* column : w.table->columns) {
      noValue += std::string(" AND ") + column + " IS NULL";
    }
    w.removeSql = "DELETE FROM " + table + period + noValue;
    if (w.targets.empty()) continue;
    std::string columns, marks, update;
    for (size_t i = 0; i < w.targets.size(); ++i) {
      const std::string column = w.targets[i].variable->column;
      columns += ", " + column;
      marks += ", ?" + std::to_string(i + 3);
      update += (i ? ", " : "") + column + " = excluded." + column;
    }
    const std::string runMark = "?" + std::to_string(w.targets.size() + 3);
    w.storeSql = "INSERT INTO " + table + " (WELL_ID, DATE" + columns + ", RUN_ID) VALUES (?1, ?2" +
                 marks + ", " + runMark + ") ON CONFLICT (WELL_ID, DATE) DO UPDATE SET " + update +
                 ", RUN_ID = excluded.RUN_ID";
  }
  return writes;
}

// The result of a database step that failed: a lock held by another program
// is said as such.
WritebackResult failed(sqlite::Database& db, const std::string& reason, int waitMs) {
  const int code = db.handle() ? sqlite3_errcode(db.handle()) & 0xff : SQLITE_OK;
  if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
    const std::string wait = waitMs >= 1000 && waitMs % 1000 == 0
                                 ? std::to_string(waitMs / 1000) + " s"
                                 : std::to_string(waitMs) + " ms";
    return {
        "the database is locked by another program (waited " + wait + "); nothing was written back",
        0};
  }
  return {"the writeback failed, nothing was written back: " + reason, 0};
}

}  // namespace

WritebackResult writeBack(sqlite::Database& db, const BA_SETUP& record,
                          const std::string& loadFileText, int firstDate, int lastDate, int waitMs,
                          std::int64_t runId) {
  if (!record.writebackFlag) return {"the setup record does not ask to write results back", 0};
  if (!isCalendarDate(firstDate) || !isCalendarDate(lastDate) || firstDate > lastDate) {
    return {"the period " + std::to_string(firstDate) + " to " + std::to_string(lastDate) +
                " is not a range of dates yyyymmdd",
            0};
  }
  const LoadFile file = parseLoadFile(loadFileText, firstDate, lastDate);
  if (!file.error.empty()) return {file.error, 0};
  const Plan plan = makePlan(record, file);
  if (!plan.error.empty()) return {plan.error, 0};
  if (!db.isOpen()) return {"the database is not open", 0};
  if (sqlite3_db_readonly(db.handle(), "main") == 1) {
    return {"the database is open read-only; nothing was written back", 0};
  }

  sqlite3_busy_timeout(db.handle(), waitMs);
  sqlite::Transaction transaction(db);
  if (!transaction.error().empty()) return failed(db, transaction.error(), waitMs);
  {
    sqlite::Statement st(db, "PRAGMA user_version");
    if (!st.step()) return failed(db, st.error(), waitMs);
    if (st.columnInt(0) != hostdb::kSchemaVersion) {
      return {"the database has schema version " + std::to_string(st.columnInt(0)) +
                  "; the writeback writes version " + std::to_string(hostdb::kSchemaVersion),
              0};
    }
  }

  // The wells, in the order the file first names them.
  std::map<std::string, std::int64_t> wellIds;
  std::vector<std::int64_t> wells;
  {
    sqlite::Statement st(db, "SELECT WELL_ID FROM WELLS WHERE NAME = ?1");
    for (const LoadRow& row : file.rows) {
      if (wellIds.count(row.well)) continue;
      st.reset();
      st.bind(1, row.well);
      if (!st.step()) {
        if (!st.error().empty()) return failed(db, st.error(), waitMs);
        return {"the load file names the well '" + row.well + "' (line " +
                    std::to_string(row.line) + "), which the database does not have",
                0};
      }
      wellIds[row.well] = st.columnInt(0);
      wells.push_back(st.columnInt(0));
    }
  }

  const std::int64_t from = firstDate;
  const std::int64_t to = lastDate;
  for (const TableWrite& w : groupByTable(plan)) {
    sqlite::Statement clear(db, w.clearSql.c_str());
    sqlite::Statement remove(db, w.removeSql.c_str());
    for (std::int64_t well : wells) {
      clear.reset();
      clear.bind(1, well).bind(2, from).bind(3, to);
      const std::string reason = clear.run();
      if (!reason.empty()) return failed(db, reason, waitMs);
    }
    if (!w.storeSql.empty()) {
      sqlite::Statement store(db, w.storeSql.c_str());
      for (const LoadRow& row : file.rows) {
        store.reset();
        store.bind(1, wellIds[row.well]).bind(2, static_cast<std::int64_t>(row.date));
        for (size_t i = 0; i < w.targets.size(); ++i) {
          const int source = w.targets[i].source;
          store.bind(static_cast<int>(i + 3), source < 0 ? row.hours : row.values[source]);
        }
        const int runIndex = static_cast<int>(w.targets.size() + 3);
        if (runId > 0) {
          store.bind(runIndex, runId);
        } else {
          store.bindNull(runIndex);
        }
        const std::string reason = store.run();
        if (!reason.empty()) {
          return failed(db,
                        "well " + row.well + " on " + std::to_string(row.date) + " (line " +
                            std::to_string(row.line) + "): " + reason,
                        waitMs);
        }
      }
    }
    for (std::int64_t well : wells) {
      remove.reset();
      remove.bind(1, well).bind(2, from).bind(3, to);
      const std::string reason = remove.run();
      if (!reason.empty()) return failed(db, reason, waitMs);
    }
  }
  const std::string reason = transaction.commit();
  if (!reason.empty()) return failed(db, reason, waitMs);
  return {"", static_cast<int>(file.rows.size())};
}

}  // namespace zelba::hostapp
