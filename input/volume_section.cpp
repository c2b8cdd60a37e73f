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

struct VolumeSection {
  int node = -1;             // node the data lines give volumes for
  std::vector<int> columns;  // fluidNames id of each position; empty before a column header
};

// '*TYPE name [*shrinkage x]' selects the node of the following data lines.
void selectNode(RunState& rs, VolumeSection& section, const Fields& fields) {
  section.node = findNode(rs, fields[0], fieldAt(fields, 1));
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

// The day index of a data line, or -1 when the line is to be ignored. A dated
// line may widen a period that "*period" did not give.
int acceptDay(RunState& rs, const VolumeSection& section, const Fields& fields) {
  RunControl& rc = rs.control;
  if (section.columns.front() != kColumnDate) {
    const int day = leadingInteger(fields[0]);
    return day >= 1 && day <= kMaxDays && day >= rc.firstDay && day <= rc.endDay ? day : -1;
  }

  const double date = parseNumber(fields[0]);
  if (date == 0) return -1;
  if (!splitDate(date).valid) return -1;  // no usable date
  // The first accepted dated line of the run fixes day 1; later lines never
  // move it, since volumes already placed on day indexes count from it.
  if (!rc.periodGiven && !rs.periodStartFixed) rc.periodStart = std::min(rc.periodStart, date);
  const double offset = daysBetween(rc.periodStart, date) + 1;
  if (offset < 1 || offset > kMaxDays) return -1;
  const int day = static_cast<int>(offset);
  if (rc.periodGiven) return day >= rc.firstDay && day <= rc.endDay ? day : -1;

  rs.periodStartFixed = true;
  rc.periodStart = std::min(rc.periodStart, date);
  rc.periodEnd = std::max(rc.periodEnd, date);
  rc.firstDay = std::min(rc.firstDay, day);
  rc.endDay = std::max(rc.endDay, day);
  return day;
}

void storeVolumes(RunState& rs, const VolumeSection& section, const Fields& fields) {
  const int day = acceptDay(rs, section, fields);
  if (day < 0) return;
  BaNode& node = *rs.nodeTable[section.node];
  const std::uint8_t qualifier = lineQualifier(fields);
  const size_t count = std::min(fields.size(), section.columns.size());
  for (size_t k = 1; k < count; ++k) {
    const int column = section.columns[k];
    if (column != kColumnStock && (column < 0 || column >= kFluidSlots)) continue;
    double value = parseNumber(fields[k]);
    if (value == MISSING_VALUE) value = 0;
    if (column == kColumnStock) {
      node.stock[day] = value;
      continue;
    }
    BaFluidDays& fluid = node.fluids[column];
    fluid.volume[day] = value;
    fluid.qualifier[day] = qualifier;
    node.hasVolume[column] = 1;
    rs.control.hasVolumes[column] = 1;
  }
}

}  // namespace

void parseVolumeSection(RunState& rs, InputReader& reader) {
  VolumeSection section;  // a new section starts with no node and no column header
  forEachSectionLine(reader, [&](int kind, const Fields& fields) {
    if (kind == kKeywordLine) {
      if (lookupFluid(rs, fields[0]) >= 0) {
        section.columns.clear();
        for (const std::string& field : fields) section.columns.push_back(lookupFluid(rs, field));
      } else {
        selectNode(rs, section, fields);
      }
    } else if (section.node >= 0 && !section.columns.empty()) {
      storeVolumes(rs, section, fields);
    }
  });
  if (rs.control.fromPom == -1) rs.control.fromPom = 0;
}

}  // namespace zelba
