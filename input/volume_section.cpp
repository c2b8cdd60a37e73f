// "#volume": measured volumes per node, fluid and day. Without "*period" the
// dated lines also fix the run period.
#include <algorithm>
#include <vector>

#include "engine/dates.h"
#include "engine/numbers.h"
#include "engine/text.h"
#include "input/fields.h"
#include "input/sections.h"

namespace zelba {

namespace {

constexpr const char* kSection = "#volume";

struct VolumeSection {
  int node = -1;             // node the data lines give volumes for
  std::vector<int> columns;  // fluidNames id of each position; empty before a column header
};

// '*TYPE name [*shrinkage x]' selects the node of the following data lines.
void selectNode(RunState& rs, const InputReader& reader, VolumeSection& section,
                const Fields& fields) {
  section.node = findNodeNoted(LineNotes{rs, reader, kSection}, fields, "node");
  if (section.node >= 0 && equalsIgnoreCase(fieldAt(fields, 2), "*shrinkage")) {
    rs.nodeTable[section.node]->shrinkage = toSingle(numberAt(fields, 3));
  }
}

std::uint8_t lineQualifier(const Fields& fields) {
  const std::string& last = fields.back();
  if (!last.empty() && last.front() == 'a') return kQualifierAbsolute;
  if (!last.empty() && last.front() == '%') return kQualifierPercent;
  return kQualifierPlain;
}

// The day of a data line, or -1 with the reason the line is ignored.
struct LineDay {
  int day = -1;
  const char* reason = "";
};

// The day index of a data line. A dated line may widen a period that
// "*period" did not give.
LineDay acceptDay(RunState& rs, const VolumeSection& section, const Fields& fields) {
  RunControl& rc = rs.control;
  const char* outside = "day outside the period";
  if (section.columns.front() != kColumnDate) {
    const int day = leadingInteger(fields[0]);
    if (day < 1 || day > kMaxDays || day < rc.firstDay || day > rc.endDay) return {-1, outside};
    return {day};
  }

  const double date = parseNumber(fields[0]);
  if (date == 0 || !splitDate(date).valid) return {-1, "no usable date"};
  // The first accepted dated line of the run fixes day 1; later lines never
  // move it, since volumes already placed on day indexes count from it.
  if (!rc.periodGiven && !rs.periodStartFixed) rc.periodStart = std::min(rc.periodStart, date);
  const double offset = daysBetween(rc.periodStart, date) + 1;
  if (offset < 1 || offset > kMaxDays) return {-1, outside};
  const int day = static_cast<int>(offset);
  if (rc.periodGiven) {
    if (day < rc.firstDay || day > rc.endDay) return {-1, outside};
    return {day};
  }

  rs.periodStartFixed = true;
  rc.periodStart = std::min(rc.periodStart, date);
  rc.periodEnd = std::max(rc.periodEnd, date);
  rc.firstDay = std::min(rc.firstDay, day);
  rc.endDay = std::max(rc.endDay, day);
  return {day};
}

void storeVolumes(RunState& rs, const InputReader& reader, const VolumeSection& section,
                  const Fields& fields) {
  if (section.columns.front() == kColumnDate)
    noteOddDate(rs, reader, kSection, parseNumber(fields[0]));
  const LineDay day = acceptDay(rs, section, fields);
  if (day.day < 0) {
    ignoreLine(rs, reader, kSection, day.reason);
    return;
  }
  BaNode& node = *rs.nodeTable[section.node];
  const std::uint8_t qualifier = lineQualifier(fields);
  const size_t count = std::min(fields.size(), section.columns.size());
  for (size_t k = 1; k < count; ++k) {
    const int column = section.columns[k];
    if (column != kColumnStock && (column < 0 || column >= kFluidSlots)) continue;
    double value = parseNumber(fields[k]);
    if (value == MISSING_VALUE) value = 0;
    if (column == kColumnStock) {
      node.stock[day.day] = value;
      continue;
    }
    BaFluidDays& fluid = node.fluids[column];
    fluid.volume[day.day] = value;
    fluid.qualifier[day.day] = qualifier;
    node.hasVolume[column] = 1;
    rs.control.hasVolumes[column] = 1;
  }
  // A qualifier may stand after the last column.
  const size_t beyond = fields.size() - count;
  if (beyond > (qualifier != kQualifierPlain ? 1u : 0u)) {
    partlyUsedLine(rs, reader, kSection, kFieldsPastHeader);
  }
}

void readColumnHeader(RunState& rs, const InputReader& reader, VolumeSection& section,
                      const Fields& fields) {
  section.columns.clear();
  std::string unknown;
  for (const std::string& field : fields) {
    const int column = lookupFluid(rs, field);
    section.columns.push_back(column);
    const bool stored = column == kColumnStock || (column >= 0 && column < kFluidSlots);
    if (&field != &fields.front() && !stored) {
      unknown += " '" + field + "'" + (column < 0 ? didYouMean(field, rs.fluidNames) : "");
    }
  }
  if (!unknown.empty()) {
    partlyUsedLine(rs, reader, kSection,
                   "columns that are no fluid or stock, not stored:" + unknown);
  }
}

}  // namespace

void parseVolumeSection(RunState& rs, InputReader& reader) {
  VolumeSection section;  // a new section starts with no node and no column header
  forEachSectionLine(rs, reader, "#volume", [&](int kind, const Fields& fields) {
    if (kind == kKeywordLine) {
      if (lookupFluid(rs, fields[0]) >= 0) {
        readColumnHeader(rs, reader, section, fields);
      } else if (selectNode(rs, reader, section, fields); section.node < 0) {
        ignoreLine(rs, reader, kSection,
                   lookupEntityType(rs, fields[0]) < 0
                       ? "unknown entity type or column '" + fields[0] + "'" +
                             didYouMean(fields[0], rs.entityTypes)
                       : std::string("no node name"));
      }
    } else if (section.node < 0) {
      ignoreLine(rs, reader, kSection, "no node selected: a '*TYPE name' line must come first");
    } else if (section.columns.empty()) {
      ignoreLine(rs, reader, kSection, "no column header yet");
    } else {
      storeVolumes(rs, reader, section, fields);
    }
  });
  if (rs.control.fromPom == -1) rs.control.fromPom = 0;
}

}  // namespace zelba
