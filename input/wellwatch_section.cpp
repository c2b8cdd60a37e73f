// "#wellwatch": sampled rates, tubing-head pressures and chokes of a well,
// turned into time-weighted day averages.
#include <algorithm>
#include <climits>
#include <vector>

#include "engine/dates.h"
#include "engine/numbers.h"
#include "engine/text.h"
#include "input/fields.h"
#include "input/sections.h"

namespace zelba {

namespace {

constexpr double kSecondsPerDay = 86400;

enum WatchColumn {
  kWatchDate = 0,
  kWatchHms = 1,
  kWatchThp = 2,
  kWatchChoke = 3,
  kWatchRate = 4,
  kWatchHrs = 5
};

struct WellwatchSection {
  int well = -1;             // well of the last header; -1 ignores data lines
  int pendingWell = -1;      // well whose samples still need their day averages
  std::vector<int> columns;  // watchColumns id of each position
};

double timeOf(const BaWatchSample& sample) {
  return std::clamp(sample.time, 0.0, kSecondsPerDay);
}

// The day average of one day from a well's samples (dates ascending, times
// ascending within a date).
BaWatchDay dayAverage(const std::vector<BaWatchSample>& samples, double date) {
  if (date < samples.front().date || date > samples.back().date) return BaWatchDay{};
  size_t first = 0;  // first sample dated on the day or later
  while (first < samples.size() && samples[first].date < date) ++first;
  if (first == samples.size()) return BaWatchDay{};
  // The sample in force at midnight: the one before, unless the day's first
  // sample starts at midnight itself.
  const size_t inForce = samples[first].time != 0 && first > 0 ? first - 1 : first;
  const BaWatchSample& start = samples[inForce];
  const bool ownSample = samples[first].date == date;
  const bool laterSample = samples.back().date > date;
  if (!ownSample || !laterSample) return BaWatchDay{start.thp, start.choke, start.rate};

  // Before its very first sample a well had no rate.
  const bool noneBefore = inForce == 0 && samples[0].date == date;
  const double untilFirst = noneBefore ? 0 : timeOf(samples[first]);
  BaWatchDay sum{start.thp * untilFirst, start.choke * untilFirst, start.rate * untilFirst};
  for (size_t i = first; i < samples.size() && samples[i].date == date; ++i) {
    const bool lastOfDay = i + 1 == samples.size() || samples[i + 1].date != date;
    const double until = lastOfDay ? kSecondsPerDay : timeOf(samples[i + 1]);
    const double held = std::max(0.0, until - timeOf(samples[i]));
    sum.watchThp += samples[i].thp * held;
    sum.watchChoke += samples[i].choke * held;
    sum.watchRate += samples[i].rate * held;
  }
  return BaWatchDay{sum.watchThp / kSecondsPerDay, sum.watchChoke / kSecondsPerDay,
                    sum.watchRate / kSecondsPerDay};
}

// Sets the well's day averages for every day of the period.
void finishWell(RunState& rs, WellwatchSection& section) {
  const int well = section.pendingWell;
  section.pendingWell = -1;
  const auto found = rs.watchSamples.find(well);
  if (found == rs.watchSamples.end() || found->second.empty()) return;
  auto& days = watchDaysForWrite(*rs.nodeTable[well]);
  const int lastDay = std::min(rs.control.endDay, kMaxDays);
  for (int d = std::max(rs.control.firstDay, 1); d <= lastDay; ++d) {
    days[d] = dayAverage(found->second, addDays(rs.control.periodStart, d - 1));
  }
}

void readSample(RunState& rs, const LineNotes& notes, WellwatchSection& section,
                const Fields& fields) {
  section.pendingWell = section.well;
  BaWatchSample sample;
  // Every column of the header is read; a line that ends early leaves its
  // last columns empty, so a sample without its date or time is dropped.
  static const std::string kEmpty;
  for (size_t k = 0; k < section.columns.size(); ++k) {
    const std::string& field = k < fields.size() ? fields[k] : kEmpty;
    const double value = parseNumber(field);
    switch (section.columns[k]) {
      case kWatchDate:
        if (!(value > 0) || value >= double(INT_MAX)) {
          return notes.ignored("sample dropped: no usable date");
        }
        sample.date = static_cast<std::int32_t>(value);
        break;
      case kWatchHms: {
        const TimeOfDay time = parseTimeOfDay(field);
        if (!time.ok) return notes.ignored("sample dropped: no usable time of day");
        sample.time = time.seconds;
        break;
      }
      case kWatchHrs:
        sample.time = value * 3600;
        break;
      case kWatchThp:
        sample.thp = value;
        break;
      case kWatchChoke:
        sample.choke = value;
        break;
      case kWatchRate:
        sample.rate = value;
        break;
      default:
        break;
    }
  }
  BaNode& node = *rs.nodeTable[section.well];
  auto& samples = rs.watchSamples[section.well];
  samples.push_back(sample);
  node.watchSampleCount = static_cast<std::int32_t>(samples.size());
  if (fields.size() > section.columns.size()) notes.partlyUsed(kFieldsPastHeader);
}

}  // namespace

void parseWellwatchSection(RunState& rs, InputReader& reader) {
  WellwatchSection section;
  const LineNotes notes{rs, reader, "#wellwatch"};
  forEachSectionLine(rs, reader, "#wellwatch", [&](int kind, const Fields& fields) {
    if (kind == kDataLine) {
      if (section.well < 0) {
        notes.ignored("no well: the last header named none");
      } else if (section.columns.empty()) {
        notes.ignored("no column header yet");
      } else {
        readSample(rs, notes, section, fields);
      }
    } else if (lookupKeyword(fields.front(), watchColumns()) >= 0) {
      section.columns.clear();
      for (const std::string& field : fields) {
        section.columns.push_back(lookupKeyword(field, watchColumns()));
      }
      const std::string unknown = unknownColumns(fields, section.columns, watchColumns());
      if (!unknown.empty()) notes.partlyUsed(unknown);
    } else {
      finishWell(rs, section);
      section.well = headerWell(notes, fields);
      if (section.well < 0) notes.ignored(headerProblem(rs, fields));
    }
  });
  finishWell(rs, section);
}

}  // namespace zelba
