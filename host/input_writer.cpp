// The engine input file from the production database and a setup record.
//
// The writer reads in three steps: the record (period, bindings, category),
// the network (the chosen category's values and their wells), then each
// section's rows, one bound variable at a time, merged by key and day. The
// text is built last, section by section, so that a refusal found while
// reading leaves no half-written file. Every mapping is stated in
// docs/host-workflow.md.
#include "host/input_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "engine/dates.h"
#include "engine/keywords.h"
#include "engine/text.h"
#include "host/host_database.h"
#include "setup/record_text.h"

namespace zelba::hostapp {

namespace {

using hostdb::Variable;

constexpr int kMaxPeriodDays = 31;
constexpr int kEarliestDate = 19000102;  // the host's "no date" is not above 19000101
constexpr int kLatestDate = 99991231;
constexpr double kFullDay = 24;

// Fluid entries of the record (1 oil ... 6 steam injection), as the engine
// names them in column headers and method lists.
constexpr int kFluidEntries = 6;
constexpr const char* kFluidNames[kFluidEntries] = {"Oil",      "Gas",    "Water",
                                                    "WaterInj", "GasInj", "SteamInj"};
constexpr int kStockEntry = 9;  // measureVars: Stock
// welltestVars entries besides the fluids.
constexpr int kTestDate = 0;
constexpr int kTestPressure = 7;
constexpr int kTestStatus = 8;
// timeVars entries.
constexpr int kTimeHours = 1;
constexpr int kTimeFacility = 2;
constexpr int kTimeStatus = 3;
// equationVars: 0 Date, then the seven values of a "*ZEL" row in its order.
constexpr int kEquationDate = 0;
constexpr int kZelValues = 7;

// The types the file gives points of measurement and wells (the engine's own
// default entity types, so the file needs no "*Define").
constexpr const char* kPointType = "TF";
constexpr const char* kWellType = "Well";

// Which tables can serve a page.
enum class Serves { kPoint, kWell, kEquation };

struct Binding {
  const char* page;
  const char* entry;
  const BA_VARREF* ref;
  Serves serves;
};

std::string dateText(int date) {
  return std::to_string(date);
}

// A date text of the Control page: eight digits naming a calendar day.
bool readDate(const std::string& text, int& date) {
  const std::string t(trimBlanks(text));
  if (t.size() != 8 || t.find_first_not_of("0123456789") != std::string::npos) return false;
  date = std::stoi(t);
  return date >= kEarliestDate && splitDate(date).valid && !isOddDate(date);
}

// A name or path as one field: quoted when it holds a delimiter or would
// read as a keyword or a comment; empty when no field can carry it.
std::optional<std::string> asField(const std::string& text) {
  for (const char c : text) {
    if (c == '"' || static_cast<unsigned char>(c) < ' ') return std::nullopt;
  }
  const bool plain = !text.empty() && text.find_first_of(" ,") == std::string::npos &&
                     text.front() != '*' && text.front() != '#' && text.front() != '/';
  return plain ? text : "\"" + text + "\"";
}

// A method or fluid token, '*' and name: quoted only when the name holds a
// delimiter ("*Choke Eq."). REQUIRES: asField(name) is not empty.
std::string asToken(const std::string& name) {
  const std::string token = "*" + name;
  return name.find_first_of(" ,") == std::string::npos ? token : "\"" + token + "\"";
}

std::string formatSingle(float value) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, r.ptr);
}

// Rows of one bound variable: key (well or point), date, value.
struct Cell {
  std::int64_t key;
  int date;
  double number;
  std::string text;
};

// The non-NULL values of `v` dated within [from, to], by key and date. The
// SQL names only the schema's own constants; the dates are bound.
std::string readCells(sqlite::Database& db, const Variable& v, int from, int to,
                      std::vector<Cell>& cells) {
  const std::string sql = std::string("SELECT ") + v.table->keys.front() + ", DATE, " + v.column +
                          " FROM " + v.table->name + " WHERE DATE BETWEEN ?1 AND ?2 AND " +
                          v.column + " IS NOT NULL ORDER BY 1, 2";
  sqlite::Statement st(db, sql.c_str());
  st.bind(1, static_cast<std::int64_t>(from)).bind(2, static_cast<std::int64_t>(to));
  while (st.step()) {
    cells.push_back(
        {st.columnInt(0), static_cast<int>(st.columnInt(1)), st.columnDouble(2), st.columnText(2)});
  }
  return st.error();
}

// One row of a page: the values of its bound columns on one key and day.
using Row = std::vector<std::optional<double>>;
using Rows = std::map<std::pair<std::int64_t, int>, Row>;  // (key, date) -> values

struct Point {
  std::int64_t valueId;
  std::string name;
  std::vector<size_t> members;  // indexes into Writer::wells_, home wells first
};

struct Well {
  std::int64_t id;
  std::string name;
  size_t home;  // the point of its category value
};

// An EQUATION row of a network well.
struct EquationRow {
  size_t well;
  int date;
  int fluid;  // engine fluid slot, -1 for the well as a whole
  std::string keyword;
  int method;
  std::optional<double> p[11];
};

class Writer {
 public:
  Writer(sqlite::Database& db, const BA_SETUP& record) : db_(db), r_(record) {}

  InputFileResult run(int firstDate, int lastDate);

 private:
  bool fail(std::string why) {
    if (result_.error.empty()) result_.error = std::move(why);
    return false;
  }
  bool readPeriod(int firstDate, int lastDate);
  bool readBindings();
  bool readNetwork();
  bool readRows(const std::vector<const Variable*>& vars, int from, int to, Rows& rows);
  bool readEquations();
  // The rows of a Production Times entry up to the period's end, of the
  // network's wells: (well, row).
  bool readChanges(int entry, std::vector<std::pair<size_t, Cell>>& changes);
  bool readFacilityChanges();
  bool readStatuses();
  std::string number(std::optional<double> value, const char* missing);

  std::string control() const;
  std::string network();
  std::string volume();
  std::string welltest();
  std::string time();
  std::string equation();

  const Variable* bound(const BA_VARREF* array, int entry) const {
    auto it = vars_.find(&array[entry]);
    return it == vars_.end() ? nullptr : it->second;
  }
  bool anyFluidBound(const BA_VARREF* array) const {
    for (int e = 1; e <= kFluidEntries; ++e) {
      if (bound(array, e)) return true;
    }
    return false;
  }

  sqlite::Database& db_;
  const BA_SETUP& r_;
  InputFileResult result_;
  int first_ = 0;
  int last_ = 0;
  std::map<const BA_VARREF*, const Variable*> vars_;
  std::string category_;
  std::vector<Point> points_;
  std::vector<Well> wells_;
  std::map<std::int64_t, size_t> pointOfValue_;
  std::map<std::int64_t, size_t> wellOfId_;
  std::map<size_t, std::vector<std::pair<int, size_t>>> routes_;  // well -> (date, point)
  std::map<size_t, std::vector<std::pair<int, bool>>> statuses_;  // well -> (date, up)
  std::vector<EquationRow> equations_;
  std::map<std::pair<size_t, int>, std::vector<int>> methods_;  // (well, fluid) -> method ids
};

bool Writer::readPeriod(int firstDate, int lastDate) {
  auto take = [this](int given, const std::string& text, const char* which, int& date) {
    if (given != 0) {
      if (given >= kEarliestDate && given <= kLatestDate && splitDate(given).valid &&
          !isOddDate(given)) {
        date = given;
        return true;
      }
      return fail(std::string("the ") + which + " date " + std::to_string(given) +
                  " is not a calendar date written yyyymmdd");
    }
    if (readDate(text, date)) return true;
    return fail(std::string("the setup's ") + which + " date '" + text +
                "' is not a calendar date written yyyymmdd");
  };
  if (!take(firstDate, recordText(r_.startDate), "start", first_) ||
      !take(lastDate, recordText(r_.endDate), "end", last_)) {
    return false;
  }
  if (last_ < first_) {
    return fail("the period ends on " + dateText(last_) + ", before it starts on " +
                dateText(first_));
  }
  const double days = daysBetween(first_, last_) + 1;
  if (days > kMaxPeriodDays) {
    return fail("the period from " + dateText(first_) + " to " + dateText(last_) + " has " +
                std::to_string(static_cast<long>(days)) + " days; a run covers at most 31");
  }
  return true;
}

bool Writer::readBindings() {
  static const char* const kFluidEntryNames[kFluidEntries + 1] = {
      "", "Oil", "Gas", "Water", "Water Inj", "Gas Inj", "Steam Inj"};
  std::vector<Binding> all;
  for (int e = 1; e <= kFluidEntries; ++e) {
    all.push_back({"Measurements", kFluidEntryNames[e], &r_.measureVars[e], Serves::kPoint});
  }
  all.push_back({"Measurements", "Stock", &r_.measureVars[kStockEntry], Serves::kPoint});
  all.push_back({"Welltest", "Date", &r_.welltestVars[kTestDate], Serves::kWell});
  for (int e = 1; e <= kFluidEntries; ++e) {
    all.push_back({"Welltest", kFluidEntryNames[e], &r_.welltestVars[e], Serves::kWell});
  }
  all.push_back({"Welltest", "Pressure (THP)", &r_.welltestVars[kTestPressure], Serves::kWell});
  all.push_back({"Welltest", "Status", &r_.welltestVars[kTestStatus], Serves::kWell});
  all.push_back({"Production Times", "Hours", &r_.timeVars[kTimeHours], Serves::kWell});
  all.push_back(
      {"Production Times", "Facility Change", &r_.timeVars[kTimeFacility], Serves::kWell});
  all.push_back({"Production Times", "Status", &r_.timeVars[kTimeStatus], Serves::kWell});
  static const char* const kEquationEntries[kZelValues + 1] = {
      "Date", "KH or Value", "Well Char Slope", "Well Char Yo", "Decline Ref. Date", "Qi", "Di",
      "n"};
  for (int e = 0; e <= kZelValues; ++e) {
    all.push_back({"Equations", kEquationEntries[e], &r_.equationVars[e], Serves::kEquation});
  }

  std::vector<std::string> unknown;
  std::string misplaced;
  for (const Binding& b : all) {
    if (b.ref->varPos < 0) continue;  // unbound: a stale name is not read
    const std::string name = recordText(b.ref->varName);
    const Variable* v = hostdb::findVariable(name);
    if (!v) {
      if (std::find(unknown.begin(), unknown.end(), name) == unknown.end()) unknown.push_back(name);
      continue;
    }
    const std::string key = v->table->keys.front();
    const bool fits = b.serves == Serves::kPoint  ? key == "VALUE_ID"
                      : b.serves == Serves::kWell ? key == "WELL_ID" && v->table->keys.size() == 1
                                                  : std::strcmp(v->table->name, "EQUATION") == 0;
    if (!fits && misplaced.empty()) {
      const char* holds = b.serves == Serves::kPoint  ? "volumes of a point of measurement"
                          : b.serves == Serves::kWell ? "one value per well and day"
                                                      : "equations";
      misplaced = std::string("the ") + b.page + " page binds " + b.entry + " to " + name +
                  ", which holds no " + holds;
    }
    vars_[b.ref] = v;
  }
  if (!unknown.empty()) {
    result_.unknownVariables = unknown;
    std::string list;
    for (const std::string& n : unknown) list += (list.empty() ? "" : ", ") + n;
    return fail("the setup binds variables the database does not have: " + list);
  }
  if (!misplaced.empty()) return fail(misplaced);
  return true;
}

bool Writer::readNetwork() {
  category_ = recordText(r_.pomCategory);
  if (category_.empty()) return fail("the setup names no point-of-measurement category");
  const hostdb::CategoryList categories = hostdb::readCategories(db_);
  if (!categories.error.empty()) return fail(categories.error);
  const bool known = std::any_of(categories.categories.begin(), categories.categories.end(),
                                 [this](const hostdb::Category& c) { return c.name == category_; });
  if (!known) return fail("the database has no category " + category_);

  // BINARY collation orders byte-wise, as the host lists values and wells.
  sqlite::Statement st(db_,
                       "SELECT V.VALUE_ID, V.NAME, W.WELL_ID, W.NAME FROM CATEGORIES C"
                       " JOIN CATEGORY_VALUES V ON V.CATEGORY_ID = C.CATEGORY_ID"
                       " JOIN WELL_CATEGORIES WC ON WC.VALUE_ID = V.VALUE_ID"
                       " JOIN WELLS W ON W.WELL_ID = WC.WELL_ID"
                       " WHERE C.NAME = ?1 ORDER BY V.NAME, W.NAME");
  st.bind(1, category_);
  while (st.step()) {
    const std::int64_t valueId = st.columnInt(0);
    if (points_.empty() || points_.back().valueId != valueId) {
      pointOfValue_[valueId] = points_.size();
      points_.push_back({valueId, st.columnText(1), {}});
    }
    wellOfId_[st.columnInt(2)] = wells_.size();
    points_.back().members.push_back(wells_.size());
    wells_.push_back({st.columnInt(2), st.columnText(3), points_.size() - 1});
  }
  if (!st.error().empty()) return fail(st.error());
  if (points_.empty()) return fail("no well has a value of the category " + category_);

  sqlite::Statement left(db_,
                         "SELECT W.NAME FROM WELLS W WHERE NOT EXISTS (SELECT 1"
                         " FROM WELL_CATEGORIES WC JOIN CATEGORIES C"
                         " ON C.CATEGORY_ID = WC.CATEGORY_ID"
                         " WHERE WC.WELL_ID = W.WELL_ID AND C.NAME = ?1) ORDER BY W.NAME");
  left.bind(1, category_);
  std::string names;
  while (left.step()) names += (names.empty() ? "" : ", ") + left.columnText(0);
  if (!left.error().empty()) return fail(left.error());
  if (!names.empty()) {
    result_.notes.push_back("wells without a value of " + category_ + " are left out: " + names);
  }

  // The engine keeps node names in capitals: names that differ only in case
  // would be one node.
  auto upper = [](std::string name) {
    toUpperAscii(name);
    return name;
  };
  std::map<std::string, std::string> seen;
  for (const Well& w : wells_) {
    auto [it, fresh] = seen.emplace(upper(w.name), w.name);
    if (!fresh) {
      return fail("the wells " + it->second + " and " + w.name +
                  " differ only in letter case; the engine would take them for one well");
    }
  }
  seen.clear();
  for (const Point& p : points_) {
    auto [it, fresh] = seen.emplace(upper(p.name), p.name);
    if (!fresh) {
      return fail("the values " + it->second + " and " + p.name + " of " + category_ +
                  " differ only in letter case; the engine would take them for one point");
    }
  }
  for (const Well& w : wells_) {
    if (!asField(w.name)) return fail("the well name '" + w.name + "' cannot be written");
  }
  for (const Point& p : points_) {
    if (!asField(p.name)) return fail("the value name '" + p.name + "' cannot be written");
  }
  return true;
}

bool Writer::readRows(const std::vector<const Variable*>& vars, int from, int to, Rows& rows) {
  for (size_t i = 0; i < vars.size(); ++i) {
    if (!vars[i]) continue;
    std::vector<Cell> cells;
    const std::string reason = readCells(db_, *vars[i], from, to, cells);
    if (!reason.empty()) return fail(reason);
    for (const Cell& c : cells) {
      Row& row = rows[{c.key, c.date}];
      row.resize(vars.size());
      if (std::isfinite(c.number)) {
        row[i] = c.number;
      } else {
        result_.notes.push_back(vars[i]->name + " on " + dateText(c.date) +
                                " is not a finite number and is left out");
      }
    }
  }
  return true;
}

std::string Writer::number(std::optional<double> value, const char* missing) {
  return value ? formatNumber(*value) : missing;
}

bool Writer::readChanges(int entry, std::vector<std::pair<size_t, Cell>>& changes) {
  const Variable* v = bound(r_.timeVars, entry);
  if (!v) return true;
  std::vector<Cell> cells;
  const std::string reason = readCells(db_, *v, kEarliestDate, last_, cells);
  if (!reason.empty()) return fail(reason);
  for (const Cell& c : cells) {
    auto well = wellOfId_.find(c.key);
    if (well != wellOfId_.end()) changes.emplace_back(well->second, c);
  }
  return true;
}

bool Writer::readFacilityChanges() {
  std::vector<std::pair<size_t, Cell>> changes;
  if (!readChanges(kTimeFacility, changes)) return false;
  for (const auto& [well, c] : changes) {
    const double id = c.number;
    auto point = pointOfValue_.end();
    if (std::isfinite(id) && id == std::floor(id)) {
      point = pointOfValue_.find(static_cast<std::int64_t>(id));
    }
    if (point == pointOfValue_.end()) {
      result_.notes.push_back(wells_[well].name + " changes facility on " + dateText(c.date) +
                              " to no point of " + category_ + "; the change is left out");
      continue;
    }
    auto& list = routes_[well];
    // Only the latest change before the period matters: it holds on day 1.
    const int date = std::max(c.date, first_);
    if (!list.empty() && list.back().first == date) list.pop_back();
    list.emplace_back(date, point->second);
  }
  // A well that flows to another point must be one of its members.
  for (const auto& [well, list] : routes_) {
    for (const auto& [date, point] : list) {
      std::vector<size_t>& members = points_[point].members;
      if (std::find(members.begin(), members.end(), well) == members.end()) {
        members.push_back(well);
      }
    }
  }
  return true;
}

bool Writer::readStatuses() {
  std::vector<std::pair<size_t, Cell>> changes;
  if (!readChanges(kTimeStatus, changes)) return false;
  for (const auto& [well, c] : changes) {
    auto& list = statuses_[well];
    const bool up = startsWithIgnoreCase(c.text, "up");
    // Of the changes before the period only the latest is kept: the state
    // the period opens with.
    if (c.date < first_ && !list.empty()) list.clear();
    list.emplace_back(c.date, up);
  }
  return true;
}

// The methods whose parameters are the values of a "*ZEL" row.
bool isZelMethod(int method) {
  return method == kMethodKh || method == kMethodWellChar || method == kMethodDecline ||
         method == kMethodHarmonic || method == kMethodHyperbolic;
}

// Methods that only carry data: they give no rate and stand in no list.
bool isDataMethod(int method) {
  return method == kMethodMeasured || method == kMethodWelltest ||
         (method >= kMethodDateInfo && method <= kMethodWellDesc);
}

bool Writer::readEquations() {
  bool zelBound = false;
  for (int e = 1; e <= kZelValues; ++e) zelBound = zelBound || bound(r_.equationVars, e);
  sqlite::Statement st(db_,
                       "SELECT WELL_ID, DATE, FLUID, KEYWORD, P1, P2, P3, P4, P5, P6, P7, P8, P9,"
                       " P10, P11 FROM EQUATION WHERE DATE BETWEEN ?1 AND ?2"
                       " ORDER BY WELL_ID, FLUID, KEYWORD, DATE");
  st.bind(1, static_cast<std::int64_t>(kEarliestDate))
      .bind(2, static_cast<std::int64_t>(kLatestDate));
  std::vector<EquationRow> rows;
  while (st.step()) {
    auto well = wellOfId_.find(st.columnInt(0));
    if (well == wellOfId_.end()) continue;
    EquationRow row{well->second, static_cast<int>(st.columnInt(1)), -1, st.columnText(3), -1, {}};
    const std::string fluid = st.columnText(2);
    const std::string where = wells_[row.well].name + " " + dateText(row.date) + " " +
                              (fluid.empty() ? "" : fluid + " ") + row.keyword;
    if (!fluid.empty()) {
      row.fluid = lookupKeyword(fluid, defaultFluidNames());
      if (row.fluid < 0 || row.fluid >= kFluidEntries) {
        result_.notes.push_back("the equation " + where + " names no fluid with methods; left out");
        continue;
      }
    }
    row.method = lookupKeyword(row.keyword, methodNames());
    if (row.method < 0 || !asField(row.keyword)) {
      result_.notes.push_back("the equation " + where + " names no method; left out");
      continue;
    }
    if (isZelMethod(row.method) && row.fluid < 0) {
      result_.notes.push_back("the equation " + where + " names no fluid; left out");
      continue;
    }
    if (isZelMethod(row.method) && !zelBound) {
      result_.notes.push_back("the equation " + where +
                              " is left out: no variable is bound on the Equations page");
      continue;
    }
    for (int i = 0; i < 11; ++i) {
      if (st.isNull(4 + i)) continue;
      const double value = st.columnDouble(4 + i);
      if (std::isfinite(value)) row.p[i] = value;
    }
    rows.push_back(std::move(row));
  }
  if (!st.error().empty()) return fail(st.error());

  // Per well, fluid and keyword: the latest row before the period (the
  // opening values), the rows of the period, and with Interpolate, of the
  // "*ZEL" rows, the first after it (the outer point of interpolation).
  for (size_t i = 0; i < rows.size(); ++i) {
    const EquationRow& row = rows[i];
    const bool sameNext = i + 1 < rows.size() && rows[i + 1].well == row.well &&
                          rows[i + 1].fluid == row.fluid && rows[i + 1].keyword == row.keyword;
    const bool samePrevious = i > 0 && rows[i - 1].well == row.well &&
                              rows[i - 1].fluid == row.fluid && rows[i - 1].keyword == row.keyword;
    bool keep = row.date >= first_ && row.date <= last_;
    if (row.date < first_) keep = !sameNext || rows[i + 1].date >= first_;
    if (row.date > last_) {
      keep = isZelMethod(row.method) && r_.interpolateFlag == 1 &&
             (!samePrevious || rows[i - 1].date <= last_);
    }
    if (!keep) continue;
    if (!isDataMethod(row.method) && row.fluid >= 0) {
      std::vector<int>& list = methods_[{row.well, row.fluid}];
      if (std::find(list.begin(), list.end(), row.method) == list.end()) {
        list.push_back(row.method);
      }
    }
    equations_.push_back(row);
  }
  // In the file: per well, its rows for the well as a whole, then per fluid.
  std::stable_sort(equations_.begin(), equations_.end(),
                   [](const EquationRow& a, const EquationRow& b) {
                     if (a.well != b.well) return a.well < b.well;
                     if (a.fluid != b.fluid) return a.fluid < b.fluid;
                     if (isZelMethod(a.method) != isZelMethod(b.method)) {
                       return isZelMethod(a.method);
                     }
                     return a.date < b.date;
                   });
  return true;
}

// The text, section by section.

std::string line(const std::vector<std::string>& fields) {
  std::string text;
  for (const std::string& f : fields) text += (text.empty() ? "" : " ") + f;
  return text + "\n";
}

std::string Writer::control() const {
  std::string text = "#control\n";
  text += line({"*period", dateText(first_), dateText(last_)});
  text += r_.performMode == 1 ? "*monthly\n" : "*daily\n";
  if (r_.computeTheoreticals == 1) {
    std::string fluids;
    for (int e = 1; e <= kFluidEntries; ++e) {
      if (bound(r_.measureVars, e) || bound(r_.welltestVars, e)) {
        fluids += std::string(" ") + kFluidNames[e - 1];
      }
    }
    if (!fluids.empty()) text += "*Theoretical" + fluids + "\n";
  }
  const std::string report = recordText(r_.reportFilePath);
  if (r_.createReport == 1 && !report.empty()) {
    if (r_.htmlFlag == 1) {
      // The frameset beside its pages: the report's name with ".htm", the
      // pages prefixed with the report's directory.
      const size_t slash = report.find_last_of('/');
      const std::string directory = slash == std::string::npos ? "" : report.substr(0, slash + 1);
      std::string base = report;
      const size_t dot = base.find_last_of('.');
      if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        base.erase(dot);
      }
      base += ".htm";
      text += "*html " + *asField(base);
      if (!directory.empty()) text += " " + *asField(directory);
      text += "\n";
    } else {
      text += "*report " + *asField(report) + "\n";
    }
  }
  const std::string load = recordText(r_.loadFilePath);
  if (r_.createLoadFile == 1 && !load.empty()) text += "*load " + *asField(load) + "\n";
  return text + "#end\n";
}

std::string Writer::network() {
  std::string text = "#network\n";
  for (const auto* field : {&r_.header1, &r_.header2, &r_.header3}) {
    std::string header = recordText(*field);
    if (trimBlanks(header).empty()) continue;
    if (header.find('"') != std::string::npos) {
      std::replace(header.begin(), header.end(), '"', '\'');
      result_.notes.push_back("a report header's double quotes are written as single quotes");
    }
    for (char& c : header) {
      if (static_cast<unsigned char>(c) < ' ') c = ' ';
    }
    text += "*Header \"" + header + "\"\n";
  }
  text += "*Methods *Welltest\n";
  const float shrinkage = r_.pomShrinkage;
  const bool shrink = std::isfinite(shrinkage) && shrinkage > 0 && shrinkage != 1;
  for (const Point& p : points_) {
    text += "*" + std::string(kPointType) + " " + *asField(p.name);
    if (shrink) text += " *shrinkage " + formatSingle(shrinkage);
    text += "\n";
    for (size_t w : p.members) {
      text += std::string(kWellType) + " " + *asField(wells_[w].name);
      for (int fluid = 0; fluid < kFluidEntries; ++fluid) {
        auto it = methods_.find({w, fluid});
        if (it == methods_.end()) continue;
        text += std::string(" *") + kFluidNames[fluid];
        // At most 5 methods a fluid: the database's, then the well test.
        const size_t count = std::min<size_t>(it->second.size(), 4);
        for (size_t m = 0; m < count; ++m) {
          text += " " + asToken(methodName(it->second[m]));
        }
        text += " *Welltest";
      }
      text += "\n";
    }
  }
  return text + "#end\n";
}

std::string Writer::volume() {
  std::vector<const Variable*> vars;
  std::vector<std::string> header = {"*date"};
  for (int e = 1; e <= kFluidEntries; ++e) {
    if (const Variable* v = bound(r_.measureVars, e)) {
      vars.push_back(v);
      header.push_back(kFluidNames[e - 1]);
    }
  }
  if (const Variable* v = bound(r_.measureVars, kStockEntry)) {
    vars.push_back(v);
    header.push_back("stock");
  }
  Rows rows;
  if (!readRows(vars, first_, last_, rows)) return {};
  std::string text = "#volume\n";
  bool any = false;
  for (const Point& p : points_) {
    std::string block;
    for (const auto& [key, row] : rows) {
      if (key.first != p.valueId) continue;
      std::vector<std::string> fields = {dateText(key.second)};
      for (const auto& value : row) fields.push_back(number(value, "NA"));
      block += line(fields);
    }
    if (block.empty()) continue;
    any = true;
    text += "*" + std::string(kPointType) + " " + *asField(p.name) + "\n" + line(header) + block;
  }
  if (!any) {
    fail("no measured volumes at the points of " + category_ + " from " + dateText(first_) +
         " to " + dateText(last_));
    return {};
  }
  return text + "#end\n";
}

std::string Writer::welltest() {
  std::vector<const Variable*> vars;
  std::vector<std::string> header = {"*date"};
  static const char* const kColumns[kFluidEntries] = {"oil",      "GAS",    "WATER",
                                                      "WaterInj", "GasInj", "SteamInj"};
  for (int e = 1; e <= kFluidEntries; ++e) {
    const Variable* v = bound(r_.welltestVars, e);
    if (!v) continue;
    vars.push_back(v);
    const char* column = kColumns[e - 1];
    if (e == 2 && r_.gorFlag == 1) column = "gor";
    if (e == 3 && r_.bswFlag == 1) column = "bsw";
    header.push_back(column);
  }
  if (const Variable* v = bound(r_.welltestVars, kTestPressure)) {
    vars.push_back(v);
    header.push_back(r_.bhpFlag == 1 ? "bhp" : "whfp");
  }
  const bool status = bound(r_.welltestVars, kTestStatus) != nullptr;
  if (status) {
    vars.push_back(bound(r_.welltestVars, kTestStatus));
    header.push_back("Status");
  }
  if (vars.empty()) return {};
  Rows rows;
  if (!readRows(vars, kEarliestDate, last_, rows)) return {};
  std::string text = "#welltest\n";
  if (r_.bswFlag == 1 && r_.fractionFlag == 1 && bound(r_.welltestVars, 3)) {
    text += "*BswFraction\n";
  }
  text += line(header);
  for (size_t w = 0; w < wells_.size(); ++w) {
    std::string block;
    std::string opening;  // the latest test before the period
    for (auto it = rows.lower_bound({wells_[w].id, 0});
         it != rows.end() && it->first.first == wells_[w].id; ++it) {
      std::vector<std::string> fields = {dateText(it->first.second)};
      for (size_t i = 0; i < it->second.size(); ++i) {
        // A missing status reads as a usable test; a missing value as none.
        const bool statusColumn = status && i + 1 == it->second.size();
        fields.push_back(number(it->second[i], statusColumn ? "\"\"" : "NA"));
      }
      if (it->first.second < first_) {
        opening = line(fields);
      } else {
        block += line(fields);
      }
    }
    if (opening.empty() && block.empty()) continue;
    text += "*" + std::string(kWellType) + " " + *asField(wells_[w].name) + "\n" + opening + block;
  }
  return text + "#end\n";
}

std::string Writer::time() {
  const float defaultHours = r_.defaultHours;
  if (!std::isfinite(defaultHours) || defaultHours < 0 || defaultHours > kFullDay) {
    fail("the default hours " + (std::isfinite(defaultHours) ? formatSingle(defaultHours) : "") +
         " are not within 0 and 24");
    return {};
  }
  Rows hours;
  if (!readRows({bound(r_.timeVars, kTimeHours)}, first_, last_, hours)) return {};
  const bool downTime = r_.downTimeFlag == 1;
  std::string text = "#time\n*date\n";
  if (downTime) text += "*DownTime\n";
  text += "*ON " + formatSingle(defaultHours) + "\n";
  std::set<size_t> withHours;
  for (size_t w = 0; w < wells_.size(); ++w) {
    // Per day: the hours row, and the point the well flows to from that day.
    std::map<int, std::pair<std::optional<double>, std::optional<size_t>>> days;
    for (auto it = hours.lower_bound({wells_[w].id, 0});
         it != hours.end() && it->first.first == wells_[w].id; ++it) {
      days[it->first.second].first = it->second[0];
      withHours.insert(w);
    }
    auto route = routes_.find(w);
    if (route != routes_.end()) {
      // From day 1 the well flows where the latest change sends it, else home.
      if (route->second.front().first > first_) days[first_].second = wells_[w].home;
      for (const auto& [date, point] : route->second) days[date].second = point;
    }
    if (days.empty()) continue;
    text += "*" + std::string(kWellType) + " " + *asField(wells_[w].name) + "\n";
    for (const auto& [date, day] : days) {
      // A day without an hours row keeps the default hours on.
      const double value = day.first  ? *day.first
                           : downTime ? kFullDay - static_cast<double>(defaultHours)
                                      : static_cast<double>(defaultHours);
      std::vector<std::string> fields = {dateText(date), formatNumber(value)};
      if (day.second) {
        fields.push_back(kPointType);
        fields.push_back(*asField(points_[*day.second].name));
      }
      text += line(fields);
    }
  }
  text += "#end\n";

  // Status changes serve the wells whose hours are not kept.
  std::string status;
  for (const auto& [w, events] : statuses_) {
    if (withHours.count(w)) continue;
    status += "*" + std::string(kWellType) + " " + *asField(wells_[w].name) + "\n";
    for (const auto& [date, up] : events) {
      status += line({dateText(date), "0", up ? "up" : "down"});
    }
  }
  if (!status.empty()) text += "#time\n*Status\n" + status + "#end\n";
  return text;
}

std::string Writer::equation() {
  std::string text;
  if (r_.nominalFlag == 1) text += "*Nominal\n";
  if (r_.interpolateFlag == 1) text += "*Interpolate\n";
  bool zel = false;
  for (const EquationRow& row : equations_) zel = zel || isZelMethod(row.method);
  if (zel) text += "*ZEL date kh slope yo RDate Qi Di n\n";
  size_t well = SIZE_MAX;
  int fluid = -2;
  int day = 0;  // the date the engine places equations on, as the lines so far set it
  for (const EquationRow& row : equations_) {
    if (row.well != well) {
      well = row.well;
      fluid = -2;
      text += "*" + std::string(kWellType) + " " + *asField(wells_[well].name) + "\n";
    }
    if (isZelMethod(row.method)) {
      if (row.fluid != fluid) text += std::string("*") + kFluidNames[row.fluid] + "\n";
      fluid = row.fluid;
      std::vector<std::string> fields = {dateText(row.date)};
      for (int e = 1; e <= kZelValues; ++e) {
        std::optional<double> value;
        if (const Variable* v = bound(r_.equationVars, e)) {
          const auto& columns = v->table->columns;
          for (size_t c = 0; c < columns.size(); ++c) {
            if (std::strcmp(columns[c], v->column) == 0) value = row.p[c];
          }
        }
        fields.push_back(formatNumber(value.value_or(0)));
      }
      text += line(fields);
      day = row.date;
      continue;
    }
    if (row.date != day) text += "*Date " + dateText(row.date) + "\n";
    std::vector<std::string> fields;
    if (row.fluid >= 0) fields.push_back(std::string("*") + kFluidNames[row.fluid]);
    fluid = row.fluid >= 0 ? row.fluid : fluid;
    fields.push_back(asToken(row.keyword));
    int count = 0;
    for (int i = 0; i < 11; ++i) {
      if (row.p[i]) count = i + 1;
    }
    for (int i = 0; i < count; ++i) fields.push_back(formatNumber(row.p[i].value_or(0)));
    text += line(fields);
    day = row.date;
  }
  return text.empty() ? text : "#equation\n" + text + "#end\n";
}

InputFileResult Writer::run(int firstDate, int lastDate) {
  if (!readPeriod(firstDate, lastDate) || !readBindings() || !readNetwork() ||
      !readFacilityChanges() || !readStatuses() || !readEquations()) {
    return std::move(result_);
  }
  for (const auto* path : {&r_.reportFilePath, &r_.loadFilePath}) {
    const std::string p = recordText(*path);
    if (!p.empty() && !asField(p)) {
      fail("the path '" + p + "' cannot be written into the input file");
      return std::move(result_);
    }
  }
  std::string text = control();
  text += network();
  text += volume();
  text += welltest();
  text += time();
  text += equation();
  if (result_.error.empty()) {
    result_.text = std::move(text);
    result_.firstDate = first_;
    result_.lastDate = last_;
  }
  return std::move(result_);
}

}  // namespace

std::string formatNumber(double value) {
  if (value == 0) return "0";  // also -0
  char buffer[512];
  const double magnitude = std::fabs(value);
  const auto format =
      magnitude >= 1e-6 && magnitude < 1e16 ? std::chars_format::fixed : std::chars_format::general;
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, format);
  return std::string(buffer, r.ptr);
}

InputFileResult writeInputFile(sqlite::Database& db, const BA_SETUP& record, int firstDate,
                               int lastDate) {
  return Writer(db, record).run(firstDate, lastDate);
}

}  // namespace zelba::hostapp
