// "#control": the run's options. Keyword lines only; data lines are ignored.
#include <algorithm>
#include <vector>

#include "engine/dates.h"
#include "engine/numbers.h"
#include "engine/text.h"
#include "input/sections.h"

namespace zelba {

namespace {

// Argument k (1 for the field after the keyword); an empty text when absent.
const std::string& argument(const std::vector<std::string>& fields, size_t k) {
  static const std::string kEmpty;
  return k < fields.size() ? fields[k] : kEmpty;
}

double number(const std::vector<std::string>& fields, size_t k) {
  return parseNumber(argument(fields, k));
}

// "*period": day 1 is the earlier date. Only two real dates fix the day range.
void setPeriod(RunControl& rc, double a, double b) {
  rc.periodStart = std::min(a, b);
  rc.periodEnd = std::max(a, b);
  if (a > 0 && b > 0) {
    rc.periodGiven = 1;
    rc.firstDay = 1;
    const double days = daysBetween(rc.periodStart, rc.periodEnd) + 1;
    rc.endDay = static_cast<std::int32_t>(std::clamp(days, 0.0, double(kDaySlots)));
  } else {
    rc.periodGiven = 0;
  }
}

void applyKeyword(RunState& rs, const std::vector<std::string>& fields) {
  RunControl& rc = rs.control;
  const std::string& keyword = fields.front();
  auto is = [&](const char* name) { return equalsIgnoreCase(keyword, name); };

  if (is("*period")) {
    setPeriod(rc, number(fields, 1), number(fields, 2));
  } else if (is("*monthly")) {
    rc.dailyMode = 0;
  } else if (is("*daily")) {
    rc.dailyMode = 1;
  } else if (is("*Theoretical")) {
    for (size_t k = 1; k < fields.size(); ++k) {
      const int fluid = lookupFluid(rs, fields[k]);
      if (fluid >= 0 && fluid < kFluidSlots) rc.theoretical[fluid] = 1;
    }
  } else if (is("*Range")) {
    rc.rangeMin = number(fields, 1);
    rc.rangeMax = number(fields, 2);
  } else if (is("*Target")) {
    rc.targetLow = number(fields, 1);
    rc.targetHigh = number(fields, 2);
  } else if (is("*precision")) {
    rc.precision = leadingInteger(argument(fields, 1));
  } else if (is("*from")) {
    rc.fromPom = pomByType(rs, lookupEntityType(rs, argument(fields, 1)));
  } else if (is("*priortestDays")) {
    rc.priorTestDays = number(fields, 1);
  } else if (is("*testDateafter")) {
    rc.testDateAfter = number(fields, 1);
  } else if (is("*report")) {
    if (!argument(fields, 1).empty()) rc.reportFile = argument(fields, 1);
    if (!argument(fields, 2).empty()) rc.totalsFile = argument(fields, 2);
  } else if (is("*html")) {
    if (!argument(fields, 1).empty()) {
      rc.reportFile = argument(fields, 1);
      rc.htmlDirectory = argument(fields, 2);
      rc.html = 1;
    }
  } else if (is("*load")) {
    rc.loadFile = argument(fields, 1);
  } else if (is("*zeltable")) {
    rc.zelTable = argument(fields, 1);
  } else if (is("*metric")) {
    rc.metric = 1;
  } else if (is("*zelfields")) {
    for (size_t k = 1; k < fields.size() && k <= rc.zelFields.size(); ++k) {
      rc.zelFields[k - 1] = fields[k];
    }
  }
}

}  // namespace

void parseControlSection(RunState& rs, InputReader& reader) {
  std::vector<std::string> fields;
  int kind;
  while ((kind = reader.readFields(fields)) != kEndMarker && kind != kEndOfInput) {
    if (kind == kKeywordLine && !fields.empty()) applyKeyword(rs, fields);
  }
}

}  // namespace zelba
