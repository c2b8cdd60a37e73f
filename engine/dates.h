// Date arithmetic on host dates and the rule that places a date on a day of
// the run period.
//
// A host date is a double holding the calendar date as the decimal number
// yyyymmdd; 0 means no date.
#pragma once

#include <string_view>

#include "engine/run_state.h"

namespace zelba {

struct DateParts {
  int year = 0;
  int month = 0;
  int day = 0;
  bool valid = false;
};

// Splits a host date by its number of digits: 8 digits yyyymmdd; 6 digits
// yyyymm (day 0, only for years up to 2100); 5 digits yyymm and 4 digits yymm
// (day 0). Any other form, a date not above 0 and a value that is not finite
// are invalid.
DateParts splitDate(double date);

// True for a date written yyyymmdd whose month or day is not on the calendar
// (20050100, 20050229, 20051301). The date arithmetic still counts such a
// date on from its month (20050132 is 1 February); runs note them because a
// person who wrote one most likely meant another.
bool isOddDate(double date);

// Day count for differences only; years below 1000 count from 1900.
long serialDay(int year, int month, int day);
// Astronomical Julian day number, with the Gregorian correction from 15 October 1582.
long julianDay(int year, int month, int day);
// serialDay (scale 0) or julianDay (scale 1) of a host date; 0 when it is invalid.
long dateToDayNumber(double date, int scale);
// b minus a in days; an invalid date counts as day number 0.
double daysBetween(double a, double b);
// 28 to 31; February has 29 days in every year divisible by 4.
int daysInMonth(int month, int year);
// The calendar date `days` days after `date` (before it when negative); the
// date itself when `days` is 0 or the date is invalid.
double addDays(double date, int days);

// Day index of `date` in the period, or -1: day 1 is `periodStart`, dates
// before the period go to the opening slot 0, dates after it give -1. With
// `lowest` 0 (well tests, dated equations) `priorTestDays` or `testDateAfter`,
// when set, send every accepted date to the opening slot. An index below
// `lowest` gives -1. Callers also skip indexes of kDaySlots or more.
int dayIndex(const RunControl& rc, double date, int lowest);

// Fills `dayDates` with the host date of every day index 1..31 counted from
// `periodStart` (all 0 while the period start is unknown). Filling past the
// period's end keeps the table whole while the sections are read, when
// `endDay` still holds the last day rather than one past it.
void fillDayDates(RunState& rs);
double dayDate(const RunState& rs, int day);  // 0 outside 0..31

struct TimeOfDay {
  bool ok = false;
  double seconds = 0;  // seconds since midnight
};

// Reads 'hh:mm:ss' with an optional ' AM'/' PM' from character 10 on. A PM
// hour other than 12 gets 12 added; 12 AM is hour 0. Fails for a text shorter
// than 2 characters or a negative part.
TimeOfDay parseTimeOfDay(std::string_view token);

}  // namespace zelba
