// Shared engine utilities: keyword tables, the tolerant number reader, text
// helpers, host-date arithmetic, the day-index rule and the time-of-day reader.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/dates.h"
#include "engine/keywords.h"
#include "engine/numbers.h"
#include "engine/run_state.h"
#include "engine/text.h"

namespace zelba {
namespace {

// A text and what it reads as.
using Row = std::pair<const char*, double>;

TEST(KeywordLookup, IgnoresCaseAndOneLeadingStarFirstRowWinsAndNamesById) {
  RunState rs;
  resetRunState(rs);
  // The whole text is compared; only one '*' is skipped.
  for (const auto& [text, id] :
       {Row{"*Oil", 0}, Row{"oil", 0}, Row{"OIL", 0}, Row{"Oil ", -1}, Row{"**Oil", -1}}) {
    EXPECT_EQ(lookupFluid(rs, text), id) << text;
  }
  const NameTable table{{5, "Rate"}, {6, "RATE"}};
  EXPECT_EQ(lookupKeyword("rate", table), 5);
  // Names are found by id, not by row: row 11 is "Zozed" and id 23 is no row. Fluid names
  // stop at slot 6, although row 7 of the table is "day".
  EXPECT_EQ(
      (std::vector<std::string>{methodName(11), methodName(23), methodName(-1), typeName(rs, 7),
                                fluidName(rs, kUnnamedFluid), fluidName(rs, -1)}),
      (std::vector<std::string>{"pct", "??", "??", "", "", ""}));
}

TEST(NumberParser, DecimalPrefixesAndNoValueMarkers) {
  // An exponent without digits is not read ("1e"); a dash alone means 0, not
  // "no value"; reading stops at 'x' ("0x10" is no hexadecimal); the comma is never a
  // decimal point. A prefix that is not a finite double is no value; "-inf" has no
  // digits after the sign, like "-".
  const Row rows[] = {{"1e3", 1000.0}, {".5", 0.5},      {"-.5", -0.5},   {"12x", 12.0},
                      {"1e", 1.0},     {" 12", 12.0},    {"", 0.0},       {"-", 0.0},
                      {"0x10", 0.0},   {"1,5", 1.0},     {"x12", -99999}, {"*12", -99999},
                      {"-inf", 0.0},   {"1e999", -99999}};
  for (const auto& [text, value] : rows) EXPECT_EQ(parseNumber(text), value) << text;
  EXPECT_EQ(parseNumber(static_cast<const char*>(nullptr)), MISSING_VALUE);
  EXPECT_DOUBLE_EQ(parseNumber(std::string_view("12.5xyz", 4)), 12.5);  // the view only
  const double tiny = parseNumber("1e-999");  // underflow is a (near) zero, not missing
  EXPECT_TRUE(tiny >= 0.0 && tiny < 1e-300);
}

TEST(NumberParser, LeadingIntegerSinglePrecisionAndAsciiCase) {
  EXPECT_EQ((std::vector<int>{leadingInteger(" 42abc"), leadingInteger("-12.9"),
                              leadingInteger("abc"), leadingInteger("99999999999")}),
            (std::vector<int>{42, -12, 0, INT_MAX}));
  EXPECT_EQ(toSingle(1e39), static_cast<float>(MISSING_VALUE));  // above 3.4e38
  EXPECT_EQ(toSingle(3e38), 3e38f);
  // Non-ASCII bytes are neither letters nor changed.
  std::string name = "well-1a\xe9";
  toUpperAscii(name);
  EXPECT_EQ(name, "WELL-1A\xe9");
  EXPECT_FALSE(isAsciiLetter('\xe9'));
}

TEST(Dates, SplitByDigitCount) {
  // yyyymmdd; yyyymm with day 0 (2100 is the last six-digit year); yyymm (year
  // 105, counted as 2005 by the day numbers) and yymm (99, counted as 1999).
  // Each row: the date and year * 10000 + month * 100 + day.
  for (auto [date, ymd] : {std::pair{20050315, 20050315},
                           {200503, 20050300},
                           {210012, 21001200},
                           {10503, 1050300},
                           {9912, 991200}}) {
    const DateParts p = splitDate(date);
    EXPECT_TRUE(p.valid && p.year * 10000 + p.month * 100 + p.day == ymd) << date;
  }
  // 2101 > 2100, seven digits, three, not above 0, not a number.
  for (double date : {210113.0, 2005031.0, 123.0, 0.0, -20050315.0, std::nan("")}) {
    EXPECT_FALSE(splitDate(date).valid) << date;
  }
}

TEST(Dates, SerialAndJulianDayNumbers) {
  // serialDay(2005,3,1): m' 4 -> 612/5 = 122; 1461*2005/4 = 732326; + 1 = 732449.
  EXPECT_EQ(serialDay(2005, 3, 1), 732449);
  // serialDay(2005,1,1): m' 14, y' 2004 -> 428 + 731961 + 1 = 732390.
  EXPECT_EQ(serialDay(2005, 1, 1), 732390);
  EXPECT_EQ(serialDay(105, 3, 1), 732449);  // 105 + 1900 = 2005

  // 2000-01-01: 730134 + 428 + 1 + 1720995 = 2451558, correction 2 - 19 + 4 = -13.
  EXPECT_EQ(julianDay(2000, 1, 1), 2451545);
  // 1582-10-15: 577825 + 336 + 15 + 1720995 = 2299171, correction 2 - 15 + 3 = -10.
  EXPECT_EQ(julianDay(1582, 10, 15), 2299161);
  // (1582*12 + 10)*31 + 14 = 588828 < 588829: no correction.
  EXPECT_EQ(julianDay(1582, 10, 14), 2299170);

  EXPECT_EQ(dateToDayNumber(10503, 0), 732448);  // 2005-03, day 0
  EXPECT_EQ(dateToDayNumber(-20050101, 1), 0);
}

TEST(Dates, DaysBetweenMonthLengthsAndAddDays) {
  EXPECT_EQ(daysBetween(20041231, 20050101), 1.0);
  EXPECT_EQ(daysBetween(20050101, 20050301), 59.0);  // Jan 31 + Feb 28
  EXPECT_EQ(daysBetween(20040101, 20040301), 60.0);  // Jan 31 + Feb 29
  EXPECT_EQ(daysBetween(19000201, 19000301), 29.0);  // 1900 is a leap year here
  EXPECT_EQ(daysBetween(20050301, 20050101), -59.0);
  EXPECT_EQ(daysInMonth(2, 1900), 29);  // no century rule
  EXPECT_EQ(daysInMonth(11, 2005), 30);

  // Jan 31 + 29: Feb 28 is +28, so Mar 1 (Feb 29 in 2004); Mar 31 - 31: Mar 1 is -30.
  // +400: 365 days to 2006-01-15, 16 to Jan 31, 19 to Feb 19. -400: 366 back to
  // 2004-01-15 (Feb 29 2004 between), 15 to 2003-12-31, 19 more.
  const std::tuple<double, int, double> rows[] = {
      {20050115, 0, 20050115},   {20050131, 1, 20050201},   {20050301, -1, 20050228},
      {20040301, -1, 20040229},  {20041231, 1, 20050101},   {20050101, -1, 20041231},
      {20050131, 29, 20050301},  {20040131, 29, 20040229},  {20050331, -31, 20050228},
      {20050115, 400, 20060219}, {20050115, -400, 20031212}};
  for (const auto& [date, days, to] : rows) EXPECT_EQ(addDays(date, days), to) << date << days;
}

TEST(DayIndex, PeriodOpeningSlotAndBothAcceptanceRules) {
  // Period January 2005; testDateAfter, priorTestDays, date, lowest -> day index. Either
  // setting sends every accepted date with lowest 0 to slot 0, after the period too; lowest 1
  // ignores both. priorTestDays 10 wins: Jan 11 is 10 days on, Jan 12 11.
  const int rows[][5] = {{0, 0, 20050101, 1, 1},         {0, 0, 20050131, 1, 31},
                         {0, 0, 20041231, 0, 0},         {0, 0, 20041231, 1, -1},
                         {0, 0, 20050201, 0, -1},        {0, 0, 0, 0, -1},
                         {20041215, 0, 20041215, 0, 0},  {20041215, 0, 20041214, 0, -1},
                         {20041215, 0, 20050110, 0, 0},  {20041215, 0, 20050201, 0, 0},
                         {20041215, 0, 20050110, 1, 10}, {20041215, 10, 20041214, 0, 0},
                         {20041215, 10, 20050111, 0, 0}, {20041215, 10, 20050112, 0, -1}};
  RunControl rc;
  rc.periodStart = 20050101;
  rc.periodEnd = 20050131;
  for (const auto& r : rows) {
    rc.testDateAfter = r[0];
    rc.priorTestDays = r[1];
    EXPECT_EQ(dayIndex(rc, r[2], r[3]), r[4]) << r[0] << " " << r[1] << " " << r[2] << " " << r[3];
  }
}

TEST(DayDates, TableAcrossMonthEnd) {
  RunState rs;
  resetRunState(rs);
  // 22 days: Jan 20..31 (12) and Feb 1..10 (10).
  rs.control.periodStart = 20050120;
  rs.control.firstDay = 1;
  rs.control.endDay = 23;
  fillDayDates(rs);
  EXPECT_EQ(
      (std::vector<double>{dayDate(rs, 12), dayDate(rs, 13), dayDate(rs, 22), dayDate(rs, 32)}),
      (std::vector<double>{20050131, 20050201, 20050210, 0}));
  // Slot d holds periodStart + (d - 1), whatever firstDay is: Dec 30 + 4.
  rs.control.periodStart = 20041230;
  rs.control.firstDay = 5;
  rs.control.endDay = 8;
  fillDayDates(rs);
  EXPECT_EQ(dayDate(rs, 5), 20050103);
}

TEST(TimeOfDayParser, ClockTimes) {
  // 08:30:15 is 8*3600 + 30*60 + 15 = 30615, blanks as separators too; 12:15 without a
  // suffix is 12*3600 + 900. 12 PM is noon, 12 AM hour 0; 1 PM is 13*3600.
  const Row rows[] = {{"08:30:15", 30615},   {"10", 36000},         {"08:30", 30600},
                      {"08 30 15", 30615},   {"12:15:00", 44100},   {"12:00:00 PM", 43200},
                      {"12:30:00 AM", 1800}, {"01:00:00 pm", 46800}};
  for (const auto& [text, seconds] : rows) {
    const TimeOfDay t = parseTimeOfDay(text);
    EXPECT_TRUE(t.ok && t.seconds == seconds) << text << " " << t.seconds;
  }
  for (const char* bad : {"8", "-1:00:00", "08:-5:00", "08:00:-1"})
    EXPECT_FALSE(parseTimeOfDay(bad).ok) << bad;
}

TEST(RunRecords, InTheArenaOrOnTheHeapEachIsDestroyedOnce) {
  // A record counts its destructions; the arena keeps its memory, aligned,
  // until released, and a heap record frees itself.
  static int destroyed = 0;
  struct Counted {
    std::string text = std::string(100, 'x');  // on the heap: a leak if never destroyed
    ~Counted() { ++destroyed; }
  };
  BlockArena arena;
  {
    std::vector<Record<Counted>> records;
    for (int i = 0; i < 1000; ++i) records.push_back(makeRecord<Counted>(i % 2 ? &arena : nullptr));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(records[1].get()) % 64, 0u);
    EXPECT_EQ(records[999]->text, std::string(100, 'x'));
    Record<Counted> fromHeap(std::make_unique<Counted>());  // a unique_ptr converts
  }
  EXPECT_EQ(destroyed, 1001);
  arena.release();
}

TEST(RunRecords, ALargeArenaGivesZeroedBlocksWhileItsPagesAreFaultedInAhead) {
  // Past the first pieces the arena's pages are faulted in ahead of use on a
  // thread of its own: every block still arrives zeroed and stays as written.
  BlockArena arena;
  std::vector<unsigned char*> blocks;
  const size_t size = 832;
  for (int i = 0; i < 150000; ++i) {  // about 120 MB: six pieces
    auto* block = static_cast<unsigned char*>(arena.allocate(size));
    ASSERT_EQ(block[0] | block[size / 2] | block[size - 1], 0) << "block " << i;
    std::memset(block, i % 251 + 1, size);
    blocks.push_back(block);
  }
  for (size_t i = 0; i < blocks.size(); i += 997) {
    EXPECT_EQ(blocks[i][size - 1], i % 251 + 1);
  }
  arena.release();
  arena.allocate(64);  // usable again after a release
}

TEST(NodeLookup, ManyNodesByTypeAndNameInAnyCase) {
  // Enough nodes for the index to grow several times: each is found again by
  // its name in any case and under its own type only; a name not there finds
  // nothing and creates nothing when it is only looked up.
  RunState rs;
  resetRunState(rs);
  const int count = 20000;
  for (int i = 0; i < count; ++i) {
    bool created = false;
    const std::string name = "w-" + std::to_string(i);
    EXPECT_EQ(findNode(rs, "Well", name, &created), 2 * i);
    EXPECT_TRUE(created);
    EXPECT_EQ(findNode(rs, "TF", name, &created), 2 * i + 1);  // same name, another type
  }
  for (int i = 0; i < count; i += 7) {
    bool created = true;
    EXPECT_EQ(findNode(rs, "well", "W-" + std::to_string(i), &created), 2 * i);
    EXPECT_FALSE(created);
    EXPECT_EQ(findNode(rs, "*TF", "w-" + std::to_string(i), &created), 2 * i + 1);
  }
  // In the order they were made, and again right after: the node made next
  // has the same name under another type and is not the one asked for.
  for (int i = 0; i < 100; ++i) {
    const std::string name = "W-" + std::to_string(i);
    EXPECT_EQ(findNode(rs, "Well", name), 2 * i);
    EXPECT_EQ(findNode(rs, "Well", name), 2 * i);
    EXPECT_EQ(findNode(rs, "TF", name), 2 * i + 1);
  }
  EXPECT_EQ(rs.nodeIndexByKey.size(), 2u * count);
  EXPECT_EQ(rs.nodeIndexByKey.find(NodeKey{4, "W-20000"}, rs.nodeTable), -1);
  releaseRunState(rs);
  EXPECT_TRUE(rs.nodeIndexByKey.empty());
}

}  // namespace
}  // namespace zelba
