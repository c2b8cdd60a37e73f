// The host's data services over the production database (host/host_database.h).
//
// The host reads the variable list and its entities (categories and their
// values, wells) once when a database opens; the date ranges are asked of
// the database at each call, so that rows loaded while the host runs count.
//
// Host dates are reckoned on the Gregorian calendar (a year divisible by 100
// is a leap year only when divisible by 400). That is the host's calendar,
// not the engine's day arithmetic in engine/dates.h, which keeps every fourth
// year a leap year; the two agree from 1901 to 2099.
#include "host/host_data.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "engine/dates.h"
#include "host/host_database.h"

namespace {

constexpr double kNoDateLimit = 19000101.0;  // a host date not above it means no date
constexpr const char* kEmptyLoadName = "ZelBA.prn";

struct HostState {
  bool started = false;  // a database was opened, or ZELBA_HOST_DB looked at
  zelba::sqlite::Database db;
  std::string path;  // the open database's file, "" for the empty host
  std::vector<const zelba::hostdb::Variable*> variables;
  double referenceDate = 0;  // 0 while none is set
  std::string formatted;     // FmtDate's text
  std::string loadName;      // GetLoadName's text
  std::function<void(const std::string&)> sink;
  CEntities entities;
};

HostState& state() {
  static HostState host;
  return host;
}

void message(const std::string& text) {
  HostState& host = state();
  if (host.sink) {
    host.sink(text);
  } else {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

void becomeEmpty(HostState& host) {
  host.db.close();
  host.path.clear();
  host.variables.clear();
  host.entities.Clear();
}

// The database's row id as an item's database index; -1 for one that does
// not fit.
int dbIndex(std::int64_t id) {
  return id >= 0 && id <= INT_MAX ? static_cast<int>(id) : -1;
}

// Fills `entities` from the database: the categories and their values, the
// wells as completions with a wellbore each, and each well's category
// values. Returns "" or the reason the database could not be read.
std::string loadEntities(zelba::sqlite::Database& db, CEntities& entities) {
  entities.Clear();
  zelba::hostdb::CategoryList categories = zelba::hostdb::readCategories(db);
  if (!categories.error.empty()) return categories.error;
  for (const zelba::hostdb::Category& c : categories.categories) {
    // A name the setup record could not hold is never offered (another
    // program may have written it; our Writer refuses it).
    if (c.name.size() > zelba::hostdb::kMaxCategoryName) {
      message("zelba host: the category '" + c.name + "' is left out: its name is longer than " +
              std::to_string(zelba::hostdb::kMaxCategoryName) + " characters");
      continue;
    }
    auto* category = dynamic_cast<CCategoryItem*>(entities.Categories()->AddItem(c.name));
    if (!category) continue;  // an empty name
    for (const std::string& value : c.values) category->AddItem(value);
  }

  zelba::sqlite::Statement wells(db, "SELECT WELL_ID, NAME, DESCRIPTION FROM WELLS ORDER BY NAME");
  while (wells.step()) {
    auto* completion =
        dynamic_cast<CCompletionItem*>(entities.Completions()->AddItem(wells.columnText(1)));
    if (!completion) continue;
    completion->SetDbIndex(dbIndex(wells.columnInt(0)));
    completion->SetMapLabel(wells.columnText(2));
    completion->SetWellboreItem(
        dynamic_cast<CWellboreItem*>(entities.Wellbores()->AddItem(completion->GetName())));
  }
  if (!wells.error().empty()) return wells.error();

  zelba::sqlite::Statement links(db,
                                 "SELECT W.NAME, C.NAME, V.NAME FROM WELL_CATEGORIES WC"
                                 " JOIN WELLS W ON W.WELL_ID = WC.WELL_ID"
                                 " JOIN CATEGORIES C ON C.CATEGORY_ID = WC.CATEGORY_ID"
                                 " JOIN CATEGORY_VALUES V ON V.VALUE_ID = WC.VALUE_ID"
                                 " ORDER BY W.NAME, C.NAME");
  while (links.step()) {
    CCompletionItem* completion = entities.Completions()->FindItem(links.columnText(0));
    CCategoryItem* category = entities.Categories()->FindItem(links.columnText(1));
    CCategorySubItem* value = category ? category->FindItem(links.columnText(2)) : nullptr;
    if (completion && value) completion->AddCategoryItem(value);
  }
  return links.error();
}

// Opens `path` as the host's database; false (and one message) on failure,
// the host then being empty.
bool openHostDatabase(HostState& host, const std::string& path) {
  host.started = true;
  becomeEmpty(host);
  std::string reason = zelba::hostdb::openForReading(host.db, path);
  if (reason.empty()) reason = loadEntities(host.db, host.entities);
  if (!reason.empty()) {
    becomeEmpty(host);
    message("zelba host: cannot open the production database '" + path + "': " + reason +
            "; the host has no data");
    return false;
  }
  host.path = path;
  for (const zelba::hostdb::Variable& v : zelba::hostdb::variables()) host.variables.push_back(&v);
  return true;
}

// The host with its database, opening the one ZELBA_HOST_DB names on the
// first call.
HostState& host() {
  HostState& host = state();
  if (!host.started) {
    host.started = true;
    const char* path = std::getenv("ZELBA_HOST_DB");
    if (path && *path) openHostDatabase(host, path);
  }
  return host;
}

struct CalendarDate {
  bool valid = false;
  int year = 0;
  int month = 0;
  int day = 0;
};

// A host date that names a day of the calendar after 1 January 1900.
CalendarDate calendarDate(double date) {
  CalendarDate result;
  if (!std::isfinite(date) || date <= kNoDateLimit || date != std::floor(date)) return result;
  const zelba::DateParts parts = zelba::splitDate(date);
  if (!parts.valid || date < 10000000.0 || zelba::isOddDate(date)) return result;
  result = {true, parts.year, parts.month, parts.day};
  return result;
}

// Days since 1 March of year 0 on the Gregorian calendar: the year is taken
// to start in March so that the leap day ends it.
long gregorianDay(const CalendarDate& d) {
  const long y = d.month <= 2 ? d.year - 1L : d.year;
  const long m = d.month <= 2 ? d.month + 9L : d.month - 3L;  // March is 0
  return 365L * y + y / 4 - y / 100 + y / 400 + (153L * m + 2) / 5 + d.day - 1;
}

// The names between the commas of `list`, blanks around them trimmed.
std::vector<std::string> splitNames(const char* list) {
  std::vector<std::string> names;
  std::string text(list);
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    size_t b = start;
    size_t e = comma;
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    if (e > b) names.push_back(text.substr(b, e - b));
    start = comma + 1;
  }
  return names;
}

bool isDateKeyword(const std::string& name) {
  return name.size() == 4 && (name[0] == 'D' || name[0] == 'd') &&
         (name[1] == 'A' || name[1] == 'a') && (name[2] == 'T' || name[2] == 't') &&
         (name[3] == 'E' || name[3] == 'e');
}

}  // namespace

extern "C" int ZelHostOpenDatabase(const char* path) {
  HostState& host = state();
  if (!path || !*path) {
    host.started = true;
    becomeEmpty(host);
    return 0;
  }
  return openHostDatabase(host, path) ? 1 : 0;
}

int NoSortZelVars() {
  return static_cast<int>(host().variables.size());
}

const char* SortZelVariableName(int position) {
  const HostState& h = host();
  if (position < 0 || position >= static_cast<int>(h.variables.size())) return "";
  return h.variables[static_cast<size_t>(position)]->name.c_str();
}

int SortZelVarPosFromName(const char* name) {
  const HostState& h = host();
  if (!name || h.variables.empty()) return -1;
  const zelba::hostdb::Variable* v = zelba::hostdb::findVariable(name);
  if (!v) return -1;
  // The host's list is the whole catalogue in its order.
  return static_cast<int>(v - zelba::hostdb::variables().data());
}

int FindMinMaxDates(const char* nameList, double* first, double* last) {
  if (!nameList || !first || !last) return -1;
  HostState& h = host();
  if (!h.db.isOpen()) return 0;
  bool named = false;
  zelba::hostdb::DateRange range;
  for (const std::string& name : splitNames(nameList)) {
    if (isDateKeyword(name)) continue;
    named = true;
    if (const zelba::hostdb::Variable* v = zelba::hostdb::findVariable(name)) {
      range.widen(zelba::hostdb::variableDates(h.db, *v));
      if (!range.error.empty()) break;
    }
  }
  if (!named && range.error.empty()) range = zelba::hostdb::dataDates(h.db);
  if (!range.error.empty()) {
    message("zelba host: cannot read the dates of the production database '" + h.path +
            "': " + range.error);
    return 0;
  }
  if (!range.found) return 0;
  *first = range.first;
  *last = range.last;
  return 1;
}

void SetReferenceDate(double date) {
  state().referenceDate = calendarDate(date).valid ? date : 0;
}

int ElapsedDaysFromReferenceDate(double date, double* days) {
  if (!days) return -1;
  const CalendarDate reference = calendarDate(state().referenceDate);
  const CalendarDate to = calendarDate(date);
  if (!reference.valid || !to.valid) return 0;
  *days = static_cast<double>(gregorianDay(to) - gregorianDay(reference));
  return 1;
}

const char* FmtDate(double date, const char* format) {
  std::string& out = state().formatted;
  out.clear();
  const CalendarDate d = calendarDate(date);
  if (!d.valid) return out.c_str();
  const std::string f = format ? format : "yyyymmdd";
  auto at = [&f](size_t i, const char* token) {
    const size_t n = std::char_traits<char>::length(token);
    if (f.compare(i, n, token) == 0) return true;
    for (size_t k = 0; k < n; ++k) {
      if (i + k >= f.size() || f[i + k] != token[k] - 'a' + 'A') return false;
    }
    return true;
  };
  char digits[8];
  for (size_t i = 0; i < f.size();) {
    if (at(i, "yyyy")) {
      std::snprintf(digits, sizeof digits, "%04d", d.year);
      i += 4;
    } else if (at(i, "yy")) {
      std::snprintf(digits, sizeof digits, "%02d", d.year % 100);
      i += 2;
    } else if (at(i, "mm")) {
      std::snprintf(digits, sizeof digits, "%02d", d.month);
      i += 2;
    } else if (at(i, "dd")) {
      std::snprintf(digits, sizeof digits, "%02d", d.day);
      i += 2;
    } else {
      out += f[i++];
      continue;
    }
    out += digits;
  }
  return out.c_str();
}

const char* GetLoadName() {
  HostState& h = host();
  if (h.path.empty()) {
    h.loadName = kEmptyLoadName;
    return h.loadName.c_str();
  }
  std::string name = h.path;
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  h.loadName = (name.empty() ? std::string("ZelBA") : name) + ".prn";
  return h.loadName.c_str();
}

void CEntities::GetCatgoryList(CSortedCategoryArray& out) {
  out.RemoveAll();
  for (const CEntityItem* category : Categories()->Items()) out.Add(category->GetName());
}

void CEntities::SetCurrentEntity(CZelEntity* entity) {
  current_ = entity;
}

CEntities* Entities() {
  return &host().entities;
}

namespace zelba {

void setHostMessageSink(std::function<void(const std::string&)> sink) {
  state().sink = std::move(sink);
}

void restartHost() {
  HostState& host = state();
  becomeEmpty(host);
  host.started = false;
  host.referenceDate = 0;
}

}  // namespace zelba
