// "#welltest": well tests per well, placed on day indexes. Tests dated before
// the period (or every accepted test, with a test-age rule) go to the opening
// slot; the driver later carries them over the period.
#include <algorithm>
#include <vector>

#include "engine/dates.h"
#include "engine/numbers.h"
#include "engine/text.h"
#include "input/fields.h"
#include "input/sections.h"

namespace zelba {

namespace {

constexpr const char* kSection = "#welltest";

struct WelltestSection {
  int well = -1;             // well of the last header; -1 ignores data lines
  std::vector<int> columns;  // testColumns id of each position; empty before a column header
  bool gateOpen = true;      // with "*Latest": no test of this well has reached the opening slot
};

// A "Status" field passes when empty, starting with 'G' or 'O' (good, on), or
// a number above 0.
bool statusPasses(std::string status) {
  toUpperAscii(status);
  if (status.empty() || status[0] == 'G' || status[0] == 'O') return true;
  return parseNumber(status) > 0;
}

// Stores a test line; false when its status check failed.
bool storeTest(BaTestDay& test, const std::vector<int>& columns, const Fields& fields) {
  const size_t count = std::min(fields.size(), columns.size());
  bool passes = true;
  for (size_t k = 0; k < count && passes; ++k) {
    if (columns[k] == kTestStatus) passes = statusPasses(fields[k]);
  }
  test.valid = test.given = passes ? 1 : 0;
  if (!passes) return false;
  for (size_t k = 1; k < count; ++k) {
    const int column = columns[k];
    if (column < 0 || column >= kTestValues || column == kTestStatus) continue;
    if (column == kTestCalibration && equalsIgnoreCase(fields[k], "choke")) {
      test.values[column] = -1;  // calibrate on the choke
    } else {
      test.values[column] = toSingle(parseNumber(fields[k]));
    }
  }
  return true;
}

void readTestLine(RunState& rs, const InputReader& reader, WelltestSection& section,
                  const Fields& fields) {
  auto ignore = [&](const char* reason) { ignoreLine(rs, reader, kSection, reason); };
  if (section.well < 0) return ignore("no well: the last header named none");
  if (section.columns.empty()) return ignore("no column header yet");
  if (rs.control.latestOnly && !section.gateOpen) {
    return ignore("an older test of the well (*Latest keeps only the newest before the period)");
  }
  const bool dated = section.columns.front() == kTestDate;
  const double date = dated ? parseNumber(fields[0]) : 0;
  noteOddDate(rs, reader, kSection, date);
  const int day = dated ? dayIndex(rs.control, date, 0) : leadingInteger(fields[0]);
  if (day < 0 || day >= kDaySlots) return ignore("date or day outside the accepted range");
  // Tests come newest first: with "*Latest" only the first one before the
  // period is kept.
  if (day == 0 && rs.control.latestOnly) section.gateOpen = false;
  BaNode& well = *rs.nodeTable[section.well];
  if (!storeTest((*well.testDays)[day], section.columns, fields)) {
    return ignore("well-test status check failed: the day has no usable test");
  }
  ++well.acceptedTests;
  well.newestTestDate = std::max(well.newestTestDate, date);
  if (fields.size() > section.columns.size()) {
    partlyUsedLine(rs, reader, kSection, kFieldsPastHeader);
  }
}

}  // namespace

void parseWelltestSection(RunState& rs, InputReader& reader) {
  WelltestSection section;
  forEachSectionLine(rs, reader, "#welltest", [&](int kind, const Fields& fields) {
    if (kind == kDataLine) {
      readTestLine(rs, reader, section, fields);
      return;
    }
    const std::string& keyword = fields.front();
    if (equalsIgnoreCase(keyword, "*BswFraction")) {
      rs.control.bswFraction = 1;
    } else if (equalsIgnoreCase(keyword, "*ascending")) {
      rs.control.ascending = 1;
    } else if (equalsIgnoreCase(keyword, "*Latest")) {
      rs.control.latestOnly = 1;
    } else if (lookupKeyword(keyword, testColumns()) >= 0) {
      section.columns.clear();
      for (const std::string& field : fields) {
        section.columns.push_back(lookupKeyword(field, testColumns()));
      }
      const std::string unknown = unknownColumns(fields, section.columns, testColumns());
      if (!unknown.empty()) partlyUsedLine(rs, reader, kSection, unknown);
    } else {
      section.well = headerWell(LineNotes{rs, reader, kSection}, fields);
      section.gateOpen = true;
      if (section.well < 0) ignoreLine(rs, reader, kSection, headerProblem(rs, fields));
    }
  });
}

}  // namespace zelba
