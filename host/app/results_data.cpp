// The reader of a run's results JSON and the series of the review charts.
//
// The results of a large field run to hundreds of megabytes: a hundred
// thousand wells of 31 days for each fluid. The reader does not keep the
// whole document in memory. nlohmann's parser calls back at the end of every
// value; each element of the top-level lists (a point, a well, a diagnostics
// record) is turned into its record as soon as it is complete and then
// dropped from the document, so that at most one well is held as JSON.
#include "host/app/results_data.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <unordered_map>

#include "engine/diagnostics.h"

namespace zelba::hostapp {

namespace {

using Json = nlohmann::ordered_json;  // keys in the order of the text

constexpr double kMsPerHour = 3600.0 * 1000.0;

// Reads the keys of one JSON object, remembering the first problem in plain
// words ("well W-1, Oil day 3: 'hoursOn' is not a number").
class ObjectReader {
 public:
  ObjectReader(const Json& object, std::string where, std::string& error)
      : object_(object), where_(std::move(where)), error_(error) {
    if (!object_.is_object()) fail("is not a JSON object");
  }

  bool ok() const { return error_.empty(); }

  // A required key; false (with the error set) when it is missing or null.
  const Json* required(const char* key) {
    const Json* value = find(key);
    if (value == nullptr && ok()) fail(std::string("has no '") + key + "'");
    return value;
  }

  // An optional key; null when absent or null.
  const Json* find(const char* key) const {
    if (!ok() || !object_.is_object()) return nullptr;
    const auto it = object_.find(key);
    return it == object_.end() || it->is_null() ? nullptr : &*it;
  }

  void text(const char* key, std::string& out, bool needed = true) {
    const Json* v = needed ? required(key) : find(key);
    if (v == nullptr) return;
    if (!v->is_string()) return failKey(key, "is not text");
    out = v->get_ref<const std::string&>();
  }

  void number(const char* key, double& out, bool needed = true) {
    const Json* v = needed ? required(key) : find(key);
    if (v == nullptr) return;
    if (!v->is_number()) return failKey(key, "is not a number");
    const double d = v->get<double>();
    if (!std::isfinite(d)) return failKey(key, "is not a finite number");
    out = d;
  }

  void optionalNumber(const char* key, std::optional<double>& out) {
    double d = 0;
    if (find(key) == nullptr) return;
    number(key, d);
    if (ok()) out = d;
  }

  // An integer key within `lowest`..`highest`.
  template <typename Int>
  void integer(const char* key, Int& out, long long lowest, long long highest, bool needed = true) {
    const Json* v = needed ? required(key) : find(key);
    if (v == nullptr) return;
    if (!v->is_number_integer()) return failKey(key, "is not a whole number");
    long long n = 0;
    if (v->is_number_unsigned()) {
      const auto u = v->get<unsigned long long>();
      n = u > static_cast<unsigned long long>(highest) ? highest + 1 : static_cast<long long>(u);
    } else {
      n = v->get<long long>();
    }
    if (n < lowest || n > highest) return failKey(key, "is out of range");
    out = static_cast<Int>(n);
  }

  void date(const char* key, int& out, bool needed = true) {
    integer(key, out, 10000101, 99991231, needed);
  }

  // A required key whose value is an array.
  const Json* array(const char* key) {
    const Json* v = required(key);
    if (v != nullptr && !v->is_array()) {
      failKey(key, "is not a list");
      return nullptr;
    }
    return v;
  }

  const std::string& where() const { return where_; }
  // Names the object by its name once it is known, for the messages.
  void rename(std::string where) { where_ = std::move(where); }

  // "Well W-1 has no 'fluids'."
  void fail(const std::string& what) {
    if (error_.empty()) error_ = where_ + " " + what + ".";
  }
  // "Well W-1, Oil day 3: 'hoursOn' is not a number."
  void failKey(const char* key, const std::string& problem) {
    if (error_.empty()) error_ = where_ + ": '" + key + "' " + problem + ".";
  }

 private:
  const Json& object_;
  std::string where_;
  std::string& error_;
};

// The well days' texts, each kept once.
class TextTable {
 public:
  explicit TextTable(std::vector<std::string>& texts) : texts_(texts) {}
  int id(const std::string& text) {
    const auto [it, added] = ids_.emplace(text, static_cast<int>(texts_.size()));
    if (added) texts_.push_back(text);
    return it->second;
  }

 private:
  std::vector<std::string>& texts_;
  std::unordered_map<std::string, int> ids_;
};

// Reads `fluids` of a point or a well: per fluid name an array of day
// objects, each read by `readDay`.
template <typename FluidDays, typename ReadDay>
void readFluidDays(ObjectReader& owner, std::vector<FluidDays>& out, ReadDay readDay,
                   std::string& error) {
  const Json* fluids = owner.required("fluids");
  if (fluids == nullptr) return;
  if (!fluids->is_object()) return owner.failKey("fluids", "is not an object");
  for (const auto& [name, days] : fluids->items()) {
    if (!days.is_array()) return owner.fail("has days of " + name + " that are not a list");
    FluidDays entry;
    entry.fluid = name;
    entry.days.reserve(days.size());
    int n = 0;
    for (const Json& day : days) {
      ObjectReader r(day, owner.where() + ", " + name + " day " + std::to_string(++n), error);
      entry.days.emplace_back();
      readDay(r, entry.days.back());
      if (!r.ok()) return;
    }
    out.push_back(std::move(entry));
  }
}

void readPoint(const Json& json, size_t n, ResultsPoint& point, std::string& error) {
  ObjectReader r(json, "Point " + std::to_string(n + 1), error);
  r.text("node", point.node);
  if (r.ok()) r.rename("Point " + point.node);
  r.integer("index", point.index, 0, std::numeric_limits<int>::max());
  r.text("level", point.level);
  r.integer("stage", point.stage, 0, 2);
  if (const Json* members = r.array("members")) {
    for (const Json& m : *members) {
      if (!m.is_string()) return r.fail("has a member that is not a name");
      point.members.push_back(m.get_ref<const std::string&>());
    }
  }
  if (!r.ok()) return;
  readFluidDays(
      r, point.fluids,
      [](ObjectReader& d, PointDay& day) {
        d.date("date", day.date);
        d.number("measured", day.measured);
        d.optionalNumber("fieldFactor", day.fieldFactor);
        int code = 0;
        if (d.find("rangeCode") != nullptr) {
          d.integer("rangeCode", code, 0, 999);
          day.rangeCode = code;
        }
      },
      error);
}

void readWell(const Json& json, size_t n, ResultsWell& well, TextTable& texts, std::string& error) {
  ObjectReader r(json, "Well " + std::to_string(n + 1), error);
  r.text("name", well.name);
  if (r.ok()) r.rename("Well " + well.name);
  r.text("level", well.level);
  if (!r.ok()) return;
  readFluidDays(
      r, well.fluids,
      [&texts](ObjectReader& d, WellDay& day) {
        d.date("date", day.date);
        d.number("hoursOn", day.hoursOn);
        std::string text;
        d.text("point", text, false);
        if (d.find("point") != nullptr) day.point = texts.id(text);
        d.number("theoretical", day.theoretical);
        d.text("method", text);
        day.method = texts.id(text);
        d.number("allocated", day.allocated);
        if (d.ok() && (day.hoursOn < 0 || day.hoursOn > 24)) d.failKey("hoursOn", "is not 0 to 24");
      },
      error);
}

void readDiagnostic(const Json& json, size_t n, ResultsDiagnostic& record, std::string& error) {
  ObjectReader r(json, "Diagnostics record " + std::to_string(n + 1), error);
  r.text("kind", record.kind);
  r.text("reason", record.reason);
  r.integer("line", record.line, 1, std::numeric_limits<long>::max(), false);
  r.text("section", record.section, false);
  r.text("node", record.node, false);
  r.text("point", record.point, false);
  r.text("fluid", record.fluid, false);
  r.date("date", record.date, false);
  r.optionalNumber("value", record.value);
  if (r.find("code") != nullptr) {
    int code = 0;
    r.integer("code", code, 0, 999);
    record.code = code;
  }
}

// What the parser's callback does with the elements of the top-level lists.
struct Streamer {
  Streamer(ResultsData& results, std::string& problem)
      : out(results), error(problem), texts(results.texts) {}

  ResultsData& out;
  std::string& error;
  TextTable texts;
  std::string topKey;              // the top-level key being read
  std::string list;                // the top-level list whose elements are read one by one
  std::set<std::string> seenKeys;  // top-level keys met so far

  bool operator()(int depth, Json::parse_event_t event, Json& parsed) {
    using E = Json::parse_event_t;
    if (depth == 1 && event == E::key && parsed.is_string()) {
      topKey = parsed.get<std::string>();
      if (!seenKeys.insert(topKey).second && error.empty()) {
        error = "The results name '" + topKey + "' twice.";
      }
    } else if (depth == 1 && event == E::array_start) {
      if (topKey == "points" || topKey == "wells" || topKey == "diagnostics") list = topKey;
    } else if (depth == 1 && event == E::array_end) {
      list.clear();
    } else if (depth == 2 && !list.empty()) {
      if (event == E::object_end) {
        if (error.empty()) readElement(parsed);
        return false;  // the record has it: drop the JSON
      }
      if (event == E::value || event == E::array_end) {
        if (error.empty()) error = "An entry of '" + list + "' is not a JSON object.";
        return false;
      }
    }
    return true;
  }

  void readElement(const Json& element) {
    if (list == "points") {
      out.points.emplace_back();
      readPoint(element, out.points.size() - 1, out.points.back(), error);
    } else if (list == "wells") {
      out.wells.emplace_back();
      readWell(element, out.wells.size() - 1, out.wells.back(), texts, error);
    } else {
      out.diagnostics.emplace_back();
      readDiagnostic(element, out.diagnostics.size() - 1, out.diagnostics.back(), error);
    }
  }
};

// The top level, once the lists have been read into `out`.
void readTop(const Json& root, ResultsData& out, std::string& error) {
  ObjectReader r(root, "The results text", error);
  r.date("periodStart", out.periodStart);
  r.date("periodEnd", out.periodEnd);
  r.text("mode", out.mode);
  r.number("rangeMin", out.rangeMin, false);
  r.number("rangeMax", out.rangeMax, false);
  if (r.ok() && out.mode != "daily" && out.mode != "monthly")
    r.failKey("mode", "is neither daily nor monthly");
  if (r.ok() && out.rangeMin > out.rangeMax)
    r.fail("has a field-factor range whose lowest is above its highest");
  if (const Json* fluids = r.array("fluids")) {
    int n = 0;
    for (const Json& f : *fluids) {
      ObjectReader fr(f, "Fluid " + std::to_string(++n) + " of the results text", error);
      FluidInfo info;
      fr.text("name", info.name);
      fr.text("units", info.units);
      if (const Json* only = fr.required("theoreticalOnly")) {
        if (!only->is_boolean()) return fr.failKey("theoreticalOnly", "is not true or false");
        info.theoreticalOnly = only->get<bool>();
      }
      if (!fr.ok()) return;
      out.fluids.push_back(std::move(info));
    }
  }
  r.array("points");
  r.array("wells");
  r.array("diagnostics");
  if (const Json* counts = r.required("diagnosticCounts")) {
    if (!counts->is_object()) return r.failKey("diagnosticCounts", "is not an object");
    for (const auto& [kind, count] : counts->items()) {
      long n = 0;
      ObjectReader(*counts, "The results text's diagnosticCounts", error)
          .integer(kind.c_str(), n, 0, std::numeric_limits<long>::max());
      if (!r.ok()) return;
      out.diagnosticCounts.emplace_back(kind, n);
    }
  }
  if (!r.ok()) return;
  // Every point's and well's days are of a fluid the results list.
  const auto unlisted = [&out](const auto& owners, auto name) -> std::string {
    for (const auto& owner : owners) {
      for (const auto& f : owner.fluids) {
        if (out.fluid(f.fluid) == nullptr) {
          return name(owner) + " has days of " + f.fluid + ", a fluid the results do not list.";
        }
      }
    }
    return std::string();
  };
  error = unlisted(out.points, [](const ResultsPoint& p) { return "Point " + p.node; });
  if (error.empty())
    error = unlisted(out.wells, [](const ResultsWell& w) { return "Well " + w.name; });
}

}  // namespace

const FluidInfo* ResultsData::fluid(const std::string& name) const {
  for (const FluidInfo& f : fluids) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

const std::string& ResultsData::text(int id) const {
  static const std::string kNone;
  return id >= 0 && static_cast<size_t>(id) < texts.size() ? texts[id] : kNone;
}

ResultsData parseResults(const std::string& jsonText) {
  ResultsData out;
  std::string error;
  try {
    Streamer streamer(out, error);
    const Json root = Json::parse(
        jsonText,
        [&streamer](int depth, Json::parse_event_t event, Json& parsed) {
          return streamer(depth, event, parsed);
        },
        /*allow_exceptions=*/false);
    if (error.empty()) {
      if (root.is_discarded()) {
        error = "The text is not JSON (it is cut short or has a syntax error).";
      } else if (!root.is_object()) {
        error = "The text is JSON but not a run's results: it is not a JSON object.";
      } else {
        readTop(root, out, error);
      }
    }
  } catch (const std::exception&) {
    error = "The results could not be read: the computer ran out of memory.";
  }
  if (!error.empty()) {
    out = ResultsData();
    out.error = error;
  }
  return out;
}

const std::vector<PointDay>* pointDays(const ResultsPoint& point, const std::string& fluid) {
  for (const PointFluidDays& f : point.fluids) {
    if (f.fluid == fluid) return &f.days;
  }
  return nullptr;
}

const std::vector<WellDay>* wellDays(const ResultsWell& well, const std::string& fluid) {
  for (const WellFluidDays& f : well.fluids) {
    if (f.fluid == fluid) return &f.days;
  }
  return nullptr;
}

std::optional<double> dayTime(int yyyymmdd) {
  const QDate date(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
  if (!date.isValid()) return std::nullopt;
  return static_cast<double>(QDateTime(date, QTime(12, 0)).toMSecsSinceEpoch());
}

DayAxisTicks dayAxisTicks(int days) {
  const int n = std::max(1, days);
  for (int span = n; span <= n + 3; ++span) {
    for (int steps = std::min(8, span); steps >= std::min(span, 4); --steps) {
      if (span % steps == 0) return DayAxisTicks{span, steps + 1};
    }
  }
  return DayAxisTicks{n, 2};
}

std::vector<std::vector<QPointF>> factorSegments(const std::vector<PointDay>& days) {
  std::vector<std::vector<QPointF>> segments;
  bool open = false;
  for (const PointDay& day : days) {
    const std::optional<double> x = dayTime(day.date);
    if (!x || !day.fieldFactor) {
      open = false;
      continue;
    }
    if (!open) segments.emplace_back();
    open = true;
    segments.back().emplace_back(*x, *day.fieldFactor);
  }
  return segments;
}

std::vector<QPointF> rejectedDays(const std::vector<PointDay>& days) {
  std::vector<QPointF> points;
  for (const PointDay& day : days) {
    const std::optional<double> x = dayTime(day.date);
    if (x && day.fieldFactor && day.rangeCode.value_or(0) != 0) {
      points.emplace_back(*x, *day.fieldFactor);
    }
  }
  return points;
}

std::vector<QPointF> measuredPoints(const std::vector<PointDay>& days) {
  std::vector<QPointF> points;
  for (const PointDay& day : days) {
    if (const std::optional<double> x = dayTime(day.date)) points.emplace_back(*x, day.measured);
  }
  return points;
}

std::optional<std::pair<double, double>> factorExtent(const std::vector<PointDay>& days) {
  std::optional<std::pair<double, double>> extent;
  for (const PointDay& day : days) {
    if (!day.fieldFactor) continue;
    const double f = *day.fieldFactor;
    if (!extent) extent = std::pair(f, f);
    extent->first = std::max(extent->first, f);
    extent->second = std::min(extent->second, f);
  }
  return extent;
}

BandLimits bandLimits(double rangeMin, double rangeMax, double highestFactor) {
  const double highest = std::isfinite(highestFactor) && highestFactor > 0 ? highestFactor : 1;
  double shown = highest;
  for (const double limit : {rangeMin, rangeMax}) {
    if (std::isfinite(limit) && limit <= 2 * highest) shown = std::max(shown, limit);
  }
  BandLimits band;
  band.axisTop = 1.1 * shown;
  const auto cut = [&band](double v, double lowest) {
    return std::isfinite(v) ? std::clamp(v, lowest, band.axisTop) : band.axisTop;
  };
  band.low = cut(rangeMin, 0);
  band.high = cut(rangeMax, band.low);
  return band;
}

std::vector<QPointF> theoreticalPoints(const std::vector<WellDay>& days) {
  std::vector<QPointF> points;
  for (const WellDay& day : days) {
    if (const auto x = dayTime(day.date)) points.emplace_back(*x, day.theoretical);
  }
  return points;
}

std::vector<QPointF> allocatedPoints(const std::vector<WellDay>& days) {
  std::vector<QPointF> points;
  for (const WellDay& day : days) {
    if (const auto x = dayTime(day.date)) points.emplace_back(*x, day.allocated);
  }
  return points;
}

std::vector<QPointF> hoursSteps(const std::vector<WellDay>& days) {
  std::vector<QPointF> points;
  for (const WellDay& day : days) {
    if (const auto x = dayTime(day.date)) {
      points.emplace_back(*x - 12 * kMsPerHour, day.hoursOn);
      points.emplace_back(*x + 12 * kMsPerHour, day.hoursOn);
    }
  }
  return points;
}

std::vector<MethodRun> methodRuns(const ResultsData& results, const std::vector<WellDay>& days) {
  std::vector<MethodRun> runs;
  for (const WellDay& day : days) {
    const std::string& method = results.text(day.method);
    if (runs.empty() || runs.back().method != method) {
      runs.push_back(MethodRun{method, day.date, day.date});
    } else {
      runs.back().last = day.date;
    }
  }
  return runs;
}

std::string diagnosticKindTitle(const std::string& kind) {
  for (int k = 0; k < kDiagnosticKinds; ++k) {
    const auto known = static_cast<DiagnosticKind>(k);
    if (kind == zelba::diagnosticKindName(known)) return zelba::diagnosticKindTitle(known);
  }
  return kind;
}

std::string diagnosticsSummary(const ResultsData& results) {
  std::string line;
  long counted = 0;
  for (const auto& [kind, count] : results.diagnosticCounts) {
    if (count <= 0) continue;
    counted += count;
    if (!line.empty()) line += "; ";
    line += diagnosticKindTitle(kind) + ": " + std::to_string(count);
  }
  if (line.empty()) return "The run recorded nothing that needs attention.";
  const long listed = static_cast<long>(results.diagnostics.size());
  if (counted > listed) {
    line += " (" + std::to_string(listed) + " listed below; at most 1,000 of each kind are kept)";
  }
  return line;
}

}  // namespace zelba::hostapp
