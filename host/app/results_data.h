// A run's results as the review pages show them: the JSON text that
// `ba-engine --json` writes (docs/json-results.md), read once into plain
// records, and the series the charts draw, built from those records by plain
// functions that need no widget.
//
// Conventions of the whole file:
//   - Dates are integers yyyymmdd, as in the results. A chart's x value is
//     the day's noon in local time, in milliseconds since the epoch (what a
//     date-time axis takes), so that a day's point sits in the middle of the
//     day between two midnight ticks; dayTime() gives it.
//   - Volumes are in the fluid's units (`FluidInfo::units`).
//   - Every number held here is finite: the reader refuses a text with
//     anything else.
#pragma once

#include <QPointF>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelba::hostapp {

struct FluidInfo {
  std::string name;              // "Oil", "Gas", ... the key of the fluid's days
  std::string units;             // "bbl", "Mcf", "tons", "m3", "Km3"
  bool theoreticalOnly = false;  // allocated volumes are the theoretical ones
};

// One day of a point of measurement for one fluid.
struct PointDay {
  int date = 0;                       // yyyymmdd
  double measured = 0;                // volume read for the point's node that day
  std::optional<double> fieldFactor;  // none when no factor was computed that day
  std::optional<int> rangeCode;       // 0 accepted; 100, 103, 104 rejected; none with no factor
};

struct PointFluidDays {
  std::string fluid;           // fluid name, one of ResultsData::fluids
  std::vector<PointDay> days;  // one per day of the period
};

struct ResultsPoint {
  int index = 0;                     // position of the point, from 0
  std::string node;                  // the point's own node
  std::string level;                 // entity type of that node ("TF", ...)
  int stage = 0;                     // 0, 1 or 2
  std::vector<std::string> members;  // member nodes in the order of their member lines
  std::vector<PointFluidDays> fluids;
};

// One day of a well for one fluid. The point and method are kept once in
// ResultsData::texts (a field has thousands of wells of 31 days each).
struct WellDay {
  int date = 0;            // yyyymmdd
  int point = -1;          // index into ResultsData::texts of the point it flows to; -1 none
  int method = -1;         // index into ResultsData::texts of the method that served
  double hoursOn = 0;      // hours on production, 0..24
  double theoretical = 0;  // theoretical volume of the day
  double allocated = 0;    // allocated volume of the day
};

struct WellFluidDays {
  std::string fluid;
  std::vector<WellDay> days;
};

struct ResultsWell {
  std::string name;
  std::string level;  // entity type ("Well", ...)
  std::vector<WellFluidDays> fluids;
};

struct ResultsDiagnostic {
  std::string kind;             // "ignoredLine", "factorOutOfRange", ...
  std::string reason;           // plain words
  long line = 0;                // input line number; 0 for none
  std::string section;          // input section of the line
  std::string node;             // empty for none
  std::string point;            // empty for none
  std::string fluid;            // empty for none
  int date = 0;                 // yyyymmdd; 0 for none
  std::optional<double> value;  // the factor, volume or days the kind names
  std::optional<int> code;      // range-check code of factorOutOfRange
};

struct ResultsData {
  std::string error;  // empty when the text was read; otherwise why not, in plain words
  int periodStart = 0;
  int periodEnd = 0;
  std::string mode;        // "daily" or "monthly"
  double rangeMin = 0;     // accepted field factors, lowest
  double rangeMax = 1e10;  // accepted field factors, highest
  std::vector<FluidInfo> fluids;
  std::vector<ResultsPoint> points;
  std::vector<ResultsWell> wells;
  std::vector<ResultsDiagnostic> diagnostics;
  std::vector<std::pair<std::string, long>> diagnosticCounts;  // per kind, in the text's order
  std::vector<std::string> texts;  // the wells' point and method names, each once

  // The fluid named `name`; null when the results do not list it.
  const FluidInfo* fluid(const std::string& name) const;
  // Text `id` of `texts`; empty for -1 or an id out of range.
  const std::string& text(int id) const;
};

// Reads the results JSON of a run. Never throws. On success `error` is empty
// and every documented key was present with its type (rangeMin and rangeMax,
// absent from the results of earlier engines, default to 0 and 1e10; the
// optional keys of a diagnostics record default to none). Otherwise `error`
// says in plain words what is wrong (not JSON, not an object, a point without
// its days, a string where a number belongs, ...) and the rest is empty.
// Keys the reader does not know are ignored.
ResultsData parseResults(const std::string& jsonText);

// The days of `fluid` of a point or well; null when it has none.
const std::vector<PointDay>* pointDays(const ResultsPoint& point, const std::string& fluid);
const std::vector<WellDay>* wellDays(const ResultsWell& well, const std::string& fluid);

// A date's x value on a chart: its noon in local time, in ms since the
// epoch; nullopt when yyyymmdd is not a calendar date.
std::optional<double> dayTime(int yyyymmdd);

// The ticks of a date axis that shows `days` days from the first day's
// midnight: `spanDays` days (`days` or up to 3 more) cut into
// `tickCount - 1` equal steps of whole days, 4 to 8 steps where the span
// allows, so that every tick falls on a midnight and labels do not crowd.
struct DayAxisTicks {
  int spanDays = 1;
  int tickCount = 2;
};
DayAxisTicks dayAxisTicks(int days);

// The field factor of each day as runs of consecutive days that have one: a
// day without a factor (or off the calendar) ends a run, so that the chart
// leaves a gap there instead of drawing 0.
std::vector<std::vector<QPointF>> factorSegments(const std::vector<PointDay>& days);
// The days whose factor was rejected by the range check (rangeCode not 0),
// at their factor.
std::vector<QPointF> rejectedDays(const std::vector<PointDay>& days);
// The measured volume of every day.
std::vector<QPointF> measuredPoints(const std::vector<PointDay>& days);
// The highest and lowest factor of the days; nullopt when no day has one.
std::optional<std::pair<double, double>> factorExtent(const std::vector<PointDay>& days);

// The part of the accepted range a factor chart shows, and the top of its
// axis. The axis reaches a tenth above the highest factor shown (1 when there
// is none above 0), and further to show a limit of the range that lies within
// twice that factor, so that a range given as "no limit" (0 to 1e10) does
// not squash the factors flat. The band is the range cut to 0..axisTop
// (a negative rangeMin is cut to 0, where factors start): low <= high.
struct BandLimits {
  double low = 0;
  double high = 0;
  double axisTop = 1;
};
BandLimits bandLimits(double rangeMin, double rangeMax, double highestFactor);

// A well's theoretical and allocated volume per day.
std::vector<QPointF> theoreticalPoints(const std::vector<WellDay>& days);
std::vector<QPointF> allocatedPoints(const std::vector<WellDay>& days);
// The hours on as steps: each day is level over its whole width (from its
// midnight to the next), two points a day.
std::vector<QPointF> hoursSteps(const std::vector<WellDay>& days);

// The days a method served, as runs of consecutive days.
struct MethodRun {
  std::string method;
  int first = 0;  // yyyymmdd
  int last = 0;   // yyyymmdd
};
std::vector<MethodRun> methodRuns(const ResultsData& results, const std::vector<WellDay>& days);

// The diagnosticCounts of the results as one line for a person: each kind
// with records and its count, "The run recorded nothing that needs
// attention." when there are none.
std::string diagnosticsSummary(const ResultsData& results);
// A kind's title for a person ("Ignored input lines"); the kind's own name
// when the engine does not know it.
std::string diagnosticKindTitle(const std::string& kind);

}  // namespace zelba::hostapp
