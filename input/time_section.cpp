// "#time": hours on per well and day, down time, status changes and daily
// routing of a well to another point of measurement.
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

constexpr float kFullDay = 24.0f;

struct TimeSection {
  bool hms = false;  // status times are hh:mm:ss
  bool statusMode = false;
  bool downTime = false;       // values are hours down
  bool dated = false;          // first field is a date, not a day index
  double unit = 1;             // 24 after "*days"
  bool pendingDefault = true;  // hours given before any data line apply to every well
  bool headerSeen = false;
  int well = -1;        // well of the last header; -1 ignores data lines
  int statusWell = -1;  // well whose status events are collected
};

float holdWithinDay(double hours) {
  return static_cast<float>(std::clamp(hours, 0.0, double(kFullDay)));
}

void setAllDays(BaNode& node, float hours) {
  for (BaDayRoute& route : *node.routes) route = BaDayRoute{node.pomIndex, hours};
}

// "*ON h" and "*OFF h": hours on for every day, of every well while the
// default is pending, else of the current well.
void applyHours(RunState& rs, const LineNotes& notes, TimeSection& section, const Fields& fields,
                bool on) {
  const double given = numberAt(fields, 1) * section.unit;
  double hours = given;
  if (!on) {
    hours = kFullDay - given;  // the time off, in hours, taken from a full day
    if (hours < 0) return notes.ignored("time off above a full day: not applied");
  }
  const float value = holdWithinDay(hours);
  if (section.pendingDefault) {
    for (const auto& node : rs.nodeTable) {
      if (node->routes) setAllDays(*node, value);
    }
    if (on) section.pendingDefault = false;
  } else if (section.headerSeen && section.well >= 0) {
    setAllDays(*rs.nodeTable[section.well], value);
  } else if (!section.headerSeen) {
    notes.ignored("no well: hours for every well must come before the first data line");
  }
}

bool isUp(const BaStatusEvent& event) {
  return equalsIgnoreCase(event.status, "up");
}

// Hours up on the day of date `date`, from the well's status events (in date
// and time order).
float hoursUp(const std::vector<BaStatusEvent>& events, double date) {
  if (events.empty() || date < events.front().date) return kFullDay;
  if (date > events.back().date) return isUp(events.back()) ? kFullDay : 0;
  const BaStatusEvent* before = nullptr;  // latest event of an earlier day
  const BaStatusEvent* lastOfDay = nullptr;
  int eventsOfDay = 0;
  double hours = 0;  // down times less up times of the day's events
  for (const BaStatusEvent& event : events) {
    if (event.date < date) before = &event;
    if (event.date != date) continue;
    ++eventsOfDay;
    lastOfDay = &event;
    hours += isUp(event) ? -event.time : event.time;
  }
  if (eventsOfDay == 0) return before && isUp(*before) ? kFullDay : 0;
  if (eventsOfDay == 1) {
    return holdWithinDay(isUp(*lastOfDay) ? kFullDay - lastOfDay->time : lastOfDay->time);
  }
  if (isUp(*lastOfDay)) hours += kFullDay;
  return holdWithinDay(hours);
}

// Turns the collected status events into hours on, for every day of the
// period, and empties the event list.
void finishStatusWell(RunState& rs, TimeSection& section) {
  if (section.statusWell >= 0) {
    BaNode& node = *rs.nodeTable[section.statusWell];
    const int lastDay = std::min(rs.control.endDay, kMaxDays);
    for (int d = std::max(rs.control.firstDay, 1); d <= lastDay; ++d) {
      (*node.routes)[d].hoursOn = hoursUp(rs.statusEvents, dayDate(rs, d));
    }
  }
  rs.statusEvents.clear();
  section.statusWell = -1;
}

void readStatusLine(RunState& rs, const LineNotes& notes, TimeSection& section,
                    const Fields& fields) {
  section.statusWell = section.well;
  const double date = numberAt(fields, 0);
  // An event without a real date would stand before every day.
  if (!(date > 0) || date >= double(INT_MAX)) return notes.ignored("status change without a date");
  BaStatusEvent event;
  event.date = static_cast<std::int32_t>(date);
  if (section.hms) {
    const TimeOfDay time = parseTimeOfDay(fieldAt(fields, 1));
    event.time = time.ok ? static_cast<float>(time.seconds / 3600.0) : 0.0f;
    if (!time.ok) notes.partlyUsed("time of day '" + fieldAt(fields, 1) + "' not read: taken as 0");
  } else {
    event.time = toSingle(numberAt(fields, 1));
  }
  event.status = fieldAt(fields, 2).substr(0, 2);
  rs.statusEvents.push_back(std::move(event));
  if (fields.size() > 3) notes.partlyUsed("fields after the status are not used");
}

// A point of measurement receives the well's flow from `day` on when its node
// is the node that fields 3 and 4 name.
void readRouting(RunState& rs, const LineNotes& notes, BaNode& well, const Fields& fields,
                 int day) {
  if (fieldAt(fields, 3).empty()) {
    if (!fieldAt(fields, 2).empty()) {
      notes.partlyUsed("a routing needs a type and a node name: the routing is unchanged");
    }
    return;
  }
  if (fields.size() > 4) notes.partlyUsed("fields after the routing are not used");
  const int node = findNode(rs, fieldAt(fields, 2), fieldAt(fields, 3));
  const int pom = pomOfNode(rs, node);
  if (pom < 0) {
    return notes.partlyUsed("'" + fieldAt(fields, 2) + " " + fieldAt(fields, 3) +
                            "' is no point of measurement: the routing is unchanged");
  }
  for (int d = day; d <= kMaxDays; ++d) (*well.routes)[d].pomIndex = pom;
}

void readHoursLine(RunState& rs, const LineNotes& notes, TimeSection& section,
                   const Fields& fields) {
  section.pendingDefault = false;
  if (section.dated) notes.oddDate(numberAt(fields, 0));
  const int day = section.dated ? dayIndex(rs.control, numberAt(fields, 0), 1)
                                : leadingInteger(fieldAt(fields, 0));
  if (day < 1 || day > kMaxDays) return notes.ignored("date or day outside the period");
  double hours = numberAt(fields, 1) * section.unit;
  if (section.downTime) hours = kFullDay - hours;
  BaNode& well = *rs.nodeTable[section.well];
  (*well.routes)[day].hoursOn = holdWithinDay(hours);
  readRouting(rs, notes, well, fields, day);
}

bool readSectionKeyword(RunState& rs, const LineNotes& notes, TimeSection& section,
                        const Fields& fields) {
  const std::string& keyword = fields.front();
  auto is = [&](const char* name) { return equalsIgnoreCase(keyword, name); };
  if (is("*hms")) {
    section.hms = true;
  } else if (is("*Status")) {
    section.statusMode = true;
  } else if (is("*DownTime")) {
    section.downTime = true;
  } else if (is("*days")) {
    section.unit = 24;
  } else if (is("*date")) {
    section.dated = true;
  } else if (is("*ON") || is("*OFF")) {
    applyHours(rs, notes, section, fields, is("*ON"));
  } else {
    return false;
  }
  return true;
}

}  // namespace

void parseTimeSection(RunState& rs, InputReader& reader) {
  TimeSection section;
  const LineNotes notes{rs, reader, "#time"};
  fillDayDates(rs);
  rs.statusEvents.clear();
  forEachSectionLine(rs, reader, "#time", [&](int kind, const Fields& fields) {
    if (kind == kKeywordLine) {
      if (readSectionKeyword(rs, notes, section, fields)) return;
      if (section.statusMode) finishStatusWell(rs, section);
      section.headerSeen = true;
      section.well = headerWell(notes, fields);
      if (section.well < 0) notes.ignored(headerProblem(rs, fields));
      return;
    }
    if (section.well < 0) return notes.ignored("no well: the last header named none");
    if (section.statusMode) {
      readStatusLine(rs, notes, section, fields);
    } else {
      readHoursLine(rs, notes, section, fields);
    }
  });
  finishStatusWell(rs, section);
}

}  // namespace zelba
