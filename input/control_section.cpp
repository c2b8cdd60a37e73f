// "#control": the run's options. Keyword lines only; data lines are ignored.
#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "engine/dates.h"
#include "engine/numbers.h"
#include "engine/text.h"
#include "input/fields.h"
#include "input/sections.h"

namespace zelba {

namespace {

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

constexpr const char* kSection = "#control";

// The keywords of the section, for suggestions.
const std::vector<std::string_view> kKeywords = {
    "*period",      "*daily",     "*monthly",       "*Range",        "*Target", "*precision",
    "*Theoretical", "*from",      "*report",        "*load",         "*html",   "*metric",
    "*zeltable",    "*zelfields", "*priortestDays", "*testDateafter"};

// Records what a person may not have meant by a "*period" line: a date off
// the calendar, an end before the start (the dates are taken the other way
// round), a period longer than the run's 31 days (the rest is not run).
void notePeriod(RunState& rs, const InputReader& reader, double from, double to) {
  noteOddDate(rs, reader, kSection, from);
  noteOddDate(rs, reader, kSection, to);
  if (!rs.control.periodGiven) return;
  auto note = [&](const char* format, double a, double b) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    noteDate(rs, reader, kSection, text);
  };
  if (to < from) {
    note("the period ends on %.0f, before its start %.0f: day 1 is the earlier date", to, from);
  }
  const double days = daysBetween(rs.control.periodStart, rs.control.periodEnd) + 1;
  if (days > kMaxDays) {
    note("the period of %.0f days is cut to 31 days: the run ends on %.0f", days,
         addDays(rs.control.periodStart, kMaxDays - 1));
  }
}

void applyKeyword(RunState& rs, const InputReader& reader, const Fields& fields) {
  RunControl& rc = rs.control;
  auto partly = [&](std::string reason) {
    partlyUsedLine(rs, reader, kSection, std::move(reason));
  };
  const std::string& keyword = fields.front();
  auto is = [&](const char* name) { return equalsIgnoreCase(keyword, name); };

  // Arguments the keyword reads; -1 for a list of any length.
  int arguments = 1;
  if (is("*period")) {
    arguments = 2;
    const double from = numberAt(fields, 1);
    const double to = numberAt(fields, 2);
    setPeriod(rc, from, to);
    if (!rc.periodGiven) partly("*period needs two dates above 0: no day range was set");
    notePeriod(rs, reader, from, to);
  } else if (is("*monthly")) {
    arguments = 0;
    rc.dailyMode = 0;
  } else if (is("*daily")) {
    arguments = 0;
    rc.dailyMode = 1;
  } else if (is("*Theoretical")) {
    arguments = -1;
    for (size_t k = 1; k < fields.size(); ++k) {
      const int fluid = lookupFluid(rs, fields[k]);
      if (fluid >= 0 && fluid < kFluidSlots) {
        rc.theoretical[fluid] = 1;
      } else {
        partly("'" + fields[k] + "' is not a fluid");
      }
    }
  } else if (is("*Range")) {
    arguments = 2;
    rc.rangeMin = numberAt(fields, 1);
    rc.rangeMax = numberAt(fields, 2);
  } else if (is("*Target")) {
    arguments = 2;
    rc.targetLow = numberAt(fields, 1);
    rc.targetHigh = numberAt(fields, 2);
  } else if (is("*precision")) {
    rc.precision = leadingInteger(fieldAt(fields, 1));
  } else if (is("*from")) {
    rc.fromPom = pomByType(rs, lookupEntityType(rs, fieldAt(fields, 1)));
    if (rc.fromPom < 0) {
      partly("no point of measurement of type '" + fieldAt(fields, 1) +
             "' is defined before this line: allocation starts at the first point");
    }
  } else if (is("*priortestDays")) {
    rc.priorTestDays = numberAt(fields, 1);
  } else if (is("*testDateafter")) {
    rc.testDateAfter = numberAt(fields, 1);
  } else if (is("*report")) {
    arguments = 2;
    if (!fieldAt(fields, 1).empty()) rc.reportFile = fieldAt(fields, 1);
    if (!fieldAt(fields, 2).empty()) rc.totalsFile = fieldAt(fields, 2);
    if (fieldAt(fields, 1).empty() && fieldAt(fields, 2).empty()) {
      return ignoreLine(rs, reader, kSection, "*report without a file name");
    }
  } else if (is("*html")) {
    arguments = 2;
    if (fieldAt(fields, 1).empty()) {
      return ignoreLine(rs, reader, kSection, "*html without a file name");
    }
    rc.reportFile = fieldAt(fields, 1);
    rc.htmlDirectory = fieldAt(fields, 2);
    rc.html = 1;
  } else if (is("*load")) {
    rc.loadFile = fieldAt(fields, 1);
  } else if (is("*zeltable")) {
    rc.zelTable = fieldAt(fields, 1);
  } else if (is("*metric")) {
    arguments = 0;
    rc.metric = 1;
  } else if (is("*zelfields")) {
    arguments = -1;
    for (size_t k = 1; k < fields.size() && k <= rc.zelFields.size(); ++k) {
      rc.zelFields[k - 1] = fields[k];
    }
    if (fields.size() > rc.zelFields.size() + 1) partly("only 8 field names are kept");
  } else {
    return ignoreLine(rs, reader, kSection,
                      "unknown keyword '" + keyword + "'" + didYouMean(keyword, kKeywords));
  }
  if (arguments >= 0 && fields.size() > static_cast<size_t>(arguments) + 1) {
    partly(keyword +
           (arguments == 0 ? " takes no argument"
                           : " reads " + std::to_string(arguments) +
                                 (arguments == 1 ? " argument" : " arguments")) +
           ": the rest of the line is not used");
  }
}

}  // namespace

void parseControlSection(RunState& rs, InputReader& reader) {
  forEachSectionLine(rs, reader, "#control", [&](int kind, const Fields& fields) {
    if (kind == kKeywordLine) {
      applyKeyword(rs, reader, fields);
    } else {
      ignoreLine(rs, reader, kSection, "data line: this section reads keyword lines only");
    }
  });
}

}  // namespace zelba
