// Shared engine utilities: keyword tables, the tolerant number reader, text
// helpers, host-date arithmetic, the day-index rule and the time-of-day reader.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "engine/dates.h"
#include "engine/keywords.h"
#include "engine/numbers.h"
#include "engine/run_state.h"
#include "engine/text.h"

namespace zelba {
namespace {

RunControl januaryPeriod() {
  RunControl rc;
  rc.periodStart = 20050101;
  rc.periodEnd = 20050131;
  return rc;
}

TEST(KeywordLookup, FluidNamesIgnoreCaseAndOneLeadingStar) {
  RunState rs;
  resetRunState(rs);
  EXPECT_EQ(lookupFluid(rs, "*Oil"), 0);
  EXPECT_EQ(lookupFluid(rs, "oil"), 0);
  EXPECT_EQ(lookupFluid(rs, "OIL"), 0);
  EXPECT_EQ(lookupFluid(rs, "Oil "), -1);   // the whole text is compared
  EXPECT_EQ(lookupFluid(rs, "**Oil"), -1);  // only one '*' is skipped
  EXPECT_EQ(lookupFluid(rs, "*"), -1);
  EXPECT_EQ(lookupFluid(rs, ""), -1);
  EXPECT_EQ(lookupFluid(rs, "co2INJ"), 6);
  EXPECT_EQ(lookupFluid(rs, "*stock"), kColumnStock);
  EXPECT_EQ(lookupFluid(rs, "Choke"), kColumnChoke);
  EXPECT_EQ(lookupKeyword("*gas", defaultFluidNames()), 1);
  EXPECT_EQ(defaultFluidNames().size(), 12u);
}

TEST(KeywordLookup, SharedIdsAndFirstRowWins) {
  EXPECT_EQ(lookupKeyword("THP", testColumns()), 2);
  EXPECT_EQ(lookupKeyword("whfp", testColumns()), 2);
  EXPECT_EQ(lookupKeyword("wht", testColumns()), 11);
  EXPECT_EQ(lookupKeyword("Tht", testColumns()), 11);
  EXPECT_EQ(lookupKeyword("glr", testColumns()), 18);
  EXPECT_EQ(lookupKeyword("*Status", testColumns()), kTestStatus);
  EXPECT_EQ(lookupKeyword("other", equationParams()), 7);
  EXPECT_EQ(lookupKeyword("N", equationParams()), 7);
  EXPECT_EQ(lookupKeyword("rdate", equationParams()), 4);
  EXPECT_EQ(lookupKeyword("HRS", watchColumns()), 5);
  EXPECT_EQ(lookupKeyword("pwf", curveVariables()), 2);
  EXPECT_EQ(lookupKeyword("RSW", pvtNames()), 8);
  EXPECT_EQ(lookupKeyword("zozed", methodNames()), kMethodZozed);
  EXPECT_EQ(lookupKeyword("*PCT", methodNames()), kMethodPct);
  EXPECT_EQ(lookupKeyword("choke eq.", methodNames()), kMethodChokeEq);
  EXPECT_EQ(lookupKeyword("Choke Eq", methodNames()), -1);

  // Row counts: 23 methods, 11 equation columns (three "other"), 27 test
  // columns, 6 watch columns, 4 curve variables, 10 PVT names.
  EXPECT_EQ(methodNames().size(), 23u);
  EXPECT_EQ(equationParams().size(), 11u);
  EXPECT_EQ(testColumns().size(), 27u);
  EXPECT_EQ(watchColumns().size(), 6u);
  EXPECT_EQ(curveVariables().size(), 4u);
  EXPECT_EQ(pvtNames().size(), 10u);
  for (const BaNameId& row : testColumns()) EXPECT_NE(row.id, 15) << row.name;

  // Two rows with one name: the first in table order decides.
  const NameTable table{{5, "Rate"}, {6, "RATE"}};
  EXPECT_EQ(lookupKeyword("rate", table), 5);
}

TEST(KeywordLookup, NamesById) {
  RunState rs;
  resetRunState(rs);
  EXPECT_EQ(methodName(-1), "??");
  EXPECT_EQ(methodName(11), "pct");
  EXPECT_EQ(methodName(12), "Zozed");
  EXPECT_EQ(methodName(0), "Measured");
  EXPECT_EQ(methodName(22), "Choke Eq.");
  EXPECT_EQ(methodName(23), "??");  // no row has id 23

  EXPECT_EQ(typeName(rs, 0), "SUPER");
  EXPECT_EQ(typeName(rs, 4), "Well");
  EXPECT_EQ(typeName(rs, 6), "OPERATOR");
  EXPECT_EQ(typeName(rs, 7), "");
  EXPECT_EQ(typeName(rs, -1), "");
  EXPECT_EQ(lookupEntityType(rs, "WELL"), 4);
  EXPECT_EQ(lookupEntityType(rs, "*completion"), 5);
  EXPECT_EQ(lookupEntityType(rs, "Wells"), -1);

  EXPECT_EQ(fluidName(rs, kOil), "Oil");
  EXPECT_EQ(fluidName(rs, kCo2Inj), "Co2inj");
  EXPECT_EQ(fluidName(rs, kUnnamedFluid), "");
  EXPECT_EQ(fluidName(rs, kColumnDay), "");  // "day" is a column, not a fluid slot
  EXPECT_EQ(fluidName(rs, -1), "");
}

TEST(NumberParser, DecimalPrefixes) {
  EXPECT_DOUBLE_EQ(parseNumber("1e3"), 1000.0);
  EXPECT_DOUBLE_EQ(parseNumber(".5"), 0.5);
  EXPECT_DOUBLE_EQ(parseNumber("-.5"), -0.5);
  EXPECT_DOUBLE_EQ(parseNumber("+.5"), 0.5);
  EXPECT_DOUBLE_EQ(parseNumber("-.5e1"), -5.0);
  EXPECT_DOUBLE_EQ(parseNumber("12x"), 12.0);
  EXPECT_DOUBLE_EQ(parseNumber("1.5e+2"), 150.0);
  EXPECT_DOUBLE_EQ(parseNumber("1e"), 1.0);  // an exponent without digits is not read
  EXPECT_DOUBLE_EQ(parseNumber(" 12"), 12.0);
  EXPECT_DOUBLE_EQ(parseNumber(""), 0.0);
  EXPECT_DOUBLE_EQ(parseNumber("-"), 0.0);  // a dash alone means 0, not "no value"
  EXPECT_DOUBLE_EQ(parseNumber("+"), 0.0);
  EXPECT_DOUBLE_EQ(parseNumber("0x10"), 0.0);  // decimal reading stops at 'x'
  EXPECT_DOUBLE_EQ(parseNumber("1,5"), 1.0);   // the comma is never a decimal point

  // The view overload reads only the characters of the view.
  EXPECT_DOUBLE_EQ(parseNumber(std::string_view("1234", 2)), 12.0);
  EXPECT_DOUBLE_EQ(parseNumber(std::string_view("12.5xyz", 4)), 12.5);
  EXPECT_DOUBLE_EQ(parseNumber(std::string_view("-7.25")), -7.25);
}

TEST(NumberParser, NoValueMarkers) {
  EXPECT_EQ(parseNumber(static_cast<const char*>(nullptr)), MISSING_VALUE);
  EXPECT_EQ(parseNumber("x12"), MISSING_VALUE);
  EXPECT_EQ(parseNumber("*"), MISSING_VALUE);
  EXPECT_EQ(parseNumber("*12"), MISSING_VALUE);
  EXPECT_EQ(parseNumber("NA"), MISSING_VALUE);
  EXPECT_EQ(parseNumber("n/a"), MISSING_VALUE);
  EXPECT_EQ(parseNumber("inf"), MISSING_VALUE);
  EXPECT_EQ(MISSING_VALUE, -99999.0);

  // A value that is not a finite double is no value either.
  EXPECT_EQ(parseNumber("1e999"), MISSING_VALUE);
  EXPECT_EQ(parseNumber("-1e400"), MISSING_VALUE);
  // Only decimal forms are read: after the sign "-inf" has no digits, like "-".
  EXPECT_EQ(parseNumber("-inf"), 0.0);
  EXPECT_EQ(parseNumber("-nan"), 0.0);
  // Underflow is a (near) zero, not a missing value.
  const double tiny = parseNumber("1e-999");
  EXPECT_GE(tiny, 0.0);
  EXPECT_LT(tiny, 1e-300);
}

TEST(NumberParser, LeadingIntegerAndSinglePrecision) {
  EXPECT_EQ(leadingInteger(" 42abc"), 42);
  EXPECT_EQ(leadingInteger("-7"), -7);
  EXPECT_EQ(leadingInteger("+5"), 5);
  EXPECT_EQ(leadingInteger("12.9"), 12);
  EXPECT_EQ(leadingInteger("abc"), 0);
  EXPECT_EQ(leadingInteger(""), 0);
  EXPECT_EQ(leadingInteger("99999999999"), INT_MAX);
  EXPECT_EQ(leadingInteger("-99999999999"), INT_MIN);

  EXPECT_EQ(toSingle(1e39), static_cast<float>(MISSING_VALUE));  // above 3.4e38
  EXPECT_EQ(toSingle(-1e39), static_cast<float>(MISSING_VALUE));
  EXPECT_EQ(toSingle(std::numeric_limits<double>::infinity()), static_cast<float>(MISSING_VALUE));
  EXPECT_EQ(toSingle(3e38), 3e38f);
  EXPECT_EQ(toSingle(1.5), 1.5f);
  EXPECT_EQ(toSingle(0.0), 0.0f);
}

TEST(TextHelpers, AsciiCaseOnly) {
  EXPECT_TRUE(equalsIgnoreCase("Oil", "oIL"));
  EXPECT_TRUE(equalsIgnoreCase("", ""));
  EXPECT_FALSE(equalsIgnoreCase("Oil", "Oil "));
  EXPECT_FALSE(equalsIgnoreCase("Oil", "Oi"));
  EXPECT_TRUE(startsWithIgnoreCase("*2ndStage", "*2NDstage"));
  EXPECT_TRUE(startsWithIgnoreCase("abc", ""));
  EXPECT_FALSE(startsWithIgnoreCase("ab", "abc"));

  std::string name = "well-1a\xe9";
  toUpperAscii(name);
  EXPECT_EQ(name, "WELL-1A\xe9");  // non-ASCII bytes are kept

  EXPECT_TRUE(isAsciiLetter('a'));
  EXPECT_TRUE(isAsciiLetter('Z'));
  EXPECT_FALSE(isAsciiLetter('1'));
  EXPECT_FALSE(isAsciiLetter('*'));
  EXPECT_FALSE(isAsciiLetter('\xe9'));
}

TEST(Dates, SplitByDigitCount) {
  DateParts p = splitDate(20050315);
  EXPECT_TRUE(p.valid);
  EXPECT_EQ(p.year, 2005);
  EXPECT_EQ(p.month, 3);
  EXPECT_EQ(p.day, 15);

  p = splitDate(200503);  // yyyymm, day 0
  EXPECT_TRUE(p.valid);
  EXPECT_EQ(p.year, 2005);
  EXPECT_EQ(p.month, 3);
  EXPECT_EQ(p.day, 0);

  p = splitDate(210012);  // year 2100 is the last six-digit year
  EXPECT_TRUE(p.valid);
  EXPECT_EQ(p.year, 2100);
  EXPECT_EQ(p.month, 12);

  p = splitDate(10503);  // yyymm: year 105, counted as 2005 by the day numbers
  EXPECT_TRUE(p.valid);
  EXPECT_EQ(p.year, 105);
  EXPECT_EQ(p.month, 3);
  EXPECT_EQ(p.day, 0);

  p = splitDate(9912);  // yymm: year 99, counted as 1999
  EXPECT_TRUE(p.valid);
  EXPECT_EQ(p.year, 99);
  EXPECT_EQ(p.month, 12);
  EXPECT_EQ(p.day, 0);

  EXPECT_FALSE(splitDate(210113).valid);     // 2101 > 2100
  EXPECT_FALSE(splitDate(2005031).valid);    // seven digits
  EXPECT_FALSE(splitDate(123).valid);        // three digits
  EXPECT_FALSE(splitDate(200503151).valid);  // nine digits
  EXPECT_FALSE(splitDate(0).valid);
  EXPECT_FALSE(splitDate(-20050315).valid);
  EXPECT_FALSE(splitDate(std::numeric_limits<double>::quiet_NaN()).valid);
}

TEST(Dates, SerialAndJulianDayNumbers) {
  // serialDay(2005,3,1): m' 4 -> 612/5 = 122; 1461*2005/4 = 732326; + 1 = 732449.
  EXPECT_EQ(serialDay(2005, 3, 1), 732449);
  // serialDay(2005,1,1): m' 14, y' 2004 -> 428 + 731961 + 1 = 732390.
  EXPECT_EQ(serialDay(2005, 1, 1), 732390);
  EXPECT_EQ(serialDay(105, 3, 1), 732449);  // 105 + 1900 = 2005
  EXPECT_EQ(serialDay(2005, 3, 0), 732448);

  // 2000-01-01: 730134 + 428 + 1 + 1720995 = 2451558, correction 2 - 19 + 4 = -13.
  EXPECT_EQ(julianDay(2000, 1, 1), 2451545);
  EXPECT_EQ(julianDay(100, 1, 1), 2451545);  // 100 + 1900 = 2000
  // 1582-10-15: 577825 + 336 + 15 + 1720995 = 2299171, correction 2 - 15 + 3 = -10.
  EXPECT_EQ(julianDay(1582, 10, 15), 2299161);
  // (1582*12 + 10)*31 + 14 = 588828 < 588829: no correction.
  EXPECT_EQ(julianDay(1582, 10, 14), 2299170);
  EXPECT_EQ(julianDay(1582, 10, 4), 2299160);

  EXPECT_EQ(dateToDayNumber(20000101, 1), 2451545);
  EXPECT_EQ(dateToDayNumber(20050301, 0), 732449);
  EXPECT_EQ(dateToDayNumber(10503, 0), 732448);  // 2005-03, day 0
  EXPECT_EQ(dateToDayNumber(0, 0), 0);
  EXPECT_EQ(dateToDayNumber(-20050101, 1), 0);
  EXPECT_EQ(dateToDayNumber(2005031, 0), 0);
  EXPECT_EQ(dateToDayNumber(210113, 1), 0);
}

TEST(Dates, DaysBetweenAndMonthLengths) {
  EXPECT_EQ(daysBetween(20041231, 20050101), 1.0);
  EXPECT_EQ(daysBetween(20050101, 20050301), 59.0);  // Jan 31 + Feb 28
  EXPECT_EQ(daysBetween(20040101, 20040301), 60.0);  // Jan 31 + Feb 29
  EXPECT_EQ(daysBetween(19000201, 19000301), 29.0);  // 1900 is a leap year here
  EXPECT_EQ(daysBetween(20040101, 20050101), 366.0);
  EXPECT_EQ(daysBetween(20050101, 20060101), 365.0);
  EXPECT_EQ(daysBetween(20050301, 20050101), -59.0);

  EXPECT_EQ(daysInMonth(2, 2004), 29);
  EXPECT_EQ(daysInMonth(2, 2005), 28);
  EXPECT_EQ(daysInMonth(2, 1900), 29);  // no century rule
  EXPECT_EQ(daysInMonth(2, 2000), 29);
  EXPECT_EQ(daysInMonth(4, 2005), 30);
  EXPECT_EQ(daysInMonth(6, 2005), 30);
  EXPECT_EQ(daysInMonth(9, 2005), 30);
  EXPECT_EQ(daysInMonth(11, 2005), 30);
  EXPECT_EQ(daysInMonth(1, 2005), 31);
  EXPECT_EQ(daysInMonth(7, 2005), 31);
  EXPECT_EQ(daysInMonth(8, 2005), 31);
  EXPECT_EQ(daysInMonth(12, 2005), 31);
}

TEST(Dates, AddDaysAcrossMonthAndYearEnds) {
  EXPECT_EQ(addDays(20050115, 0), 20050115);
  EXPECT_EQ(addDays(20050131, 1), 20050201);
  EXPECT_EQ(addDays(20050301, -1), 20050228);
  EXPECT_EQ(addDays(20040301, -1), 20040229);
  EXPECT_EQ(addDays(20040228, 1), 20040229);
  EXPECT_EQ(addDays(20040229, 1), 20040301);
  EXPECT_EQ(addDays(19000228, 1), 19000229);
  EXPECT_EQ(addDays(19000301, -1), 19000229);
  EXPECT_EQ(addDays(20041231, 1), 20050101);
  EXPECT_EQ(addDays(20050101, -1), 20041231);
  EXPECT_EQ(addDays(20050131, 29), 20050301);  // Feb 28 is +28
  EXPECT_EQ(addDays(20040131, 29), 20040229);
  EXPECT_EQ(addDays(20050131, 30), 20050302);
  EXPECT_EQ(addDays(20050331, -31), 20050228);  // Mar 1 is -30

  // +400: 365 days to 2006-01-15 (2005 has no Feb 29), then 16 to Jan 31 and 19 to Feb 19.
  EXPECT_EQ(addDays(20050115, 400), 20060219);
  // -400: 366 back to 2004-01-15 (Feb 29 2004 lies between), 15 to 2003-12-31, 19 more.
  EXPECT_EQ(addDays(20050115, -400), 20031212);
  EXPECT_EQ(daysBetween(20050115, addDays(20050115, 400)), 400.0);
  EXPECT_EQ(daysBetween(20050115, addDays(20050115, -400)), -400.0);
}

TEST(DayIndex, PeriodAndOpeningSlot) {
  const RunControl rc = januaryPeriod();
  EXPECT_EQ(dayIndex(rc, 20050101, 1), 1);
  EXPECT_EQ(dayIndex(rc, 20050101, 0), 1);
  EXPECT_EQ(dayIndex(rc, 20050115, 1), 15);
  EXPECT_EQ(dayIndex(rc, 20050131, 1), 31);
  EXPECT_EQ(dayIndex(rc, 20041231, 0), 0);  // the opening slot
  EXPECT_EQ(dayIndex(rc, 20041231, 1), -1);
  EXPECT_EQ(dayIndex(rc, 20040601, 0), 0);
  EXPECT_EQ(dayIndex(rc, 20050201, 0), -1);  // after periodEnd
  EXPECT_EQ(dayIndex(rc, 20050201, 1), -1);
  EXPECT_EQ(dayIndex(rc, 0, 0), -1);
  EXPECT_EQ(dayIndex(rc, -20050101, 0), -1);
}

TEST(DayIndex, TestDateAfterAndPriorTestDays) {
  RunControl rc = januaryPeriod();
  rc.testDateAfter = 20041215;
  EXPECT_EQ(dayIndex(rc, 20041215, 0), 0);  // on the date is accepted
  EXPECT_EQ(dayIndex(rc, 20041220, 0), 0);
  EXPECT_EQ(dayIndex(rc, 20041214, 0), -1);
  EXPECT_EQ(dayIndex(rc, 20050110, 0), 0);   // in-period dates go to the opening slot too
  EXPECT_EQ(dayIndex(rc, 20050201, 0), 0);   // step 4 replaces the after-period -1
  EXPECT_EQ(dayIndex(rc, 20050110, 1), 10);  // "#time" ignores the setting
  EXPECT_EQ(dayIndex(rc, 20041214, 1), -1);

  // priorTestDays 10: -1 when 10 < daysBetween(periodStart, date), else 0; it
  // takes precedence over testDateAfter.
  rc.priorTestDays = 10;
  EXPECT_EQ(dayIndex(rc, 20041201, 0), 0);   // -31 days
  EXPECT_EQ(dayIndex(rc, 20041214, 0), 0);   // testDateAfter would refuse it
  EXPECT_EQ(dayIndex(rc, 20050111, 0), 0);   // 10 days, not below the limit
  EXPECT_EQ(dayIndex(rc, 20050112, 0), -1);  // 11 days
  EXPECT_EQ(dayIndex(rc, 20050201, 0), -1);  // 31 days
  EXPECT_EQ(dayIndex(rc, 20050112, 1), 12);
  EXPECT_EQ(dayIndex(rc, 20041201, 1), -1);
}

TEST(DayDates, TableAcrossMonthEnd) {
  RunState rs;
  resetRunState(rs);
  rs.control.periodStart = 20050120;
  rs.control.periodEnd = 20050210;
  rs.control.firstDay = 1;
  rs.control.endDay = 23;  // 22 days: Jan 20..31 (12) and Feb 1..10 (10)
  fillDayDates(rs);
  EXPECT_EQ(dayDate(rs, 1), 20050120);
  EXPECT_EQ(dayDate(rs, 2), 20050121);
  EXPECT_EQ(dayDate(rs, 12), 20050131);
  EXPECT_EQ(dayDate(rs, 13), 20050201);
  EXPECT_EQ(dayDate(rs, 22), 20050210);
  EXPECT_EQ(dayDate(rs, 0), 0);
  EXPECT_EQ(dayDate(rs, -1), 0);
  EXPECT_EQ(dayDate(rs, 32), 0);

  // Slot d holds periodStart + (d - 1), whatever firstDay is.
  RunState late;
  resetRunState(late);
  late.control.periodStart = 20041230;
  late.control.periodEnd = 20050105;
  late.control.firstDay = 5;
  late.control.endDay = 8;
  fillDayDates(late);
  EXPECT_EQ(dayDate(late, 5), 20050103);  // Dec 30 + 4
  EXPECT_EQ(dayDate(late, 7), 20050105);
}

TEST(TimeOfDayParser, ClockTimes) {
  EXPECT_FALSE(parseTimeOfDay("").ok);
  EXPECT_FALSE(parseTimeOfDay("8").ok);

  TimeOfDay t = parseTimeOfDay("08:30:15");
  EXPECT_TRUE(t.ok);
  EXPECT_EQ(t.seconds, 30615);  // 8*3600 + 30*60 + 15
  t = parseTimeOfDay("10");
  EXPECT_TRUE(t.ok);
  EXPECT_EQ(t.seconds, 36000);
  EXPECT_EQ(parseTimeOfDay("08:30").seconds, 30600);     // 8*3600 + 30*60
  EXPECT_EQ(parseTimeOfDay("08 30 15").seconds, 30615);  // blanks as separators
  EXPECT_EQ(parseTimeOfDay("12:15:00").seconds, 44100);  // 12*3600 + 900, no suffix

  EXPECT_EQ(parseTimeOfDay("12:00:00 PM").seconds, 43200);  // noon
  EXPECT_EQ(parseTimeOfDay("12:30:00 AM").seconds, 1800);   // hour 0
  EXPECT_EQ(parseTimeOfDay("01:00:00 PM").seconds, 46800);  // 13*3600
  EXPECT_EQ(parseTimeOfDay("01:00:00 pm").seconds, 46800);
  EXPECT_EQ(parseTimeOfDay("01:00:00 AM").seconds, 3600);
  EXPECT_EQ(parseTimeOfDay("11:59:59 PM").seconds, 86399);  // 23*3600 + 59*60 + 59
  EXPECT_TRUE(parseTimeOfDay("12:00:00 PM").ok);

  EXPECT_FALSE(parseTimeOfDay("-1:00:00").ok);
  EXPECT_FALSE(parseTimeOfDay("08:-5:00").ok);
  EXPECT_FALSE(parseTimeOfDay("08:00:-1").ok);
}

}  // namespace
}  // namespace zelba
