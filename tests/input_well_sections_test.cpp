// The well data sections: "#welltest", "#time", "#wellwatch" and "#equation",
// and the completion of well tests over the period before allocation.
//
// Every input runs over January 2005 (day 1 = Jan 1, day 31 = Jan 31) on the
// network T1 (POM 0) with W1 and W2, and T2 (POM 1) with W3.

#include <algorithm>
#include <initializer_list>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/driver.h"
#include "engine/keywords.h"
#include "engine/numbers.h"
#include "engine/run_state.h"
#include "input/input_reader.h"
#include "input/sections.h"

namespace zelba {
namespace {

constexpr float kMissing = static_cast<float>(MISSING_VALUE);

class WellSectionsTest : public ::testing::Test {
 protected:
  // Reads the period, the network and then `body`; `control` adds lines to
  // the "#control" section.
  void load(const std::string& body, const std::string& control = "") {
    resetRunState(rs);
    InputReader reader;
    reader.openText("#control\n*period 20050101 20050131\n" + control +
                    "#end\n"
                    "#network\n*TF T1\nWell W1\nWell W2\n*TF T2\nWell W3\n#end\n" +
                    body);
    readSections(rs, reader);
  }
  // The node (type, name) if the input created it; null otherwise. Creates nothing.
  const BaNode* existing(const std::string& type, const std::string& name) const {
    const int typeId = lookupEntityType(rs, type);
    const auto found = std::find_if(rs.nodeTable.begin(), rs.nodeTable.end(), [&](const auto& n) {
      return n->typeId == typeId && n->name == name;
    });
    return found == rs.nodeTable.end() ? nullptr : found->get();
  }
  // Every well of these inputs comes from the network.
  const BaNode& well(const std::string& name) const { return *existing("Well", name); }
  const BaTestDay& test(const std::string& name, int day) const {
    return (*well(name).testDays)[day];
  }
  float hours(const std::string& name, int day) const { return (*well(name).routes)[day].hoursOn; }
  int route(const std::string& name, int day) const { return (*well(name).routes)[day].pomIndex; }
  const BaWatchDay& watch(const std::string& name, int day) const {
    return watchDay(well(name), day);
  }
  const BaDayEquation& eq(const std::string& name, int fluid, int day) const {
    return dayEquation(well(name), fluid, day);
  }
  // Checks the decline parameters of an equation entry; the reference date exactly.
  static void expectDecline(const BaDayEquation& e, double refDate, float qi, float di, float n) {
    EXPECT_EQ(e.refDate, refDate);
    EXPECT_FLOAT_EQ(e.qi, qi);
    EXPECT_FLOAT_EQ(e.di, di);
    EXPECT_FLOAT_EQ(e.declN, n);
  }
  // Checks a well's hours on, or its day average rates, as {day, value} pairs.
  void expectHours(const std::string& name, std::initializer_list<std::pair<int, float>> days) {
    for (const auto& [d, h] : days) EXPECT_FLOAT_EQ(hours(name, d), h) << name << " day " << d;
  }
  void expectRates(const std::string& name, std::initializer_list<std::pair<int, double>> days) {
    for (const auto& [d, r] : days) {
      EXPECT_DOUBLE_EQ(watch(name, d).watchRate, r) << name << " day " << d;
    }
  }

  RunState rs;
};

// ---- "#welltest" ----

TEST_F(WellSectionsTest, LatestKeepsNewestTestBeforePeriod) {
  load(
      "#welltest\n*Latest\n*date oil gor\n"
      "*Well W1\n"
      "20050120 300 1200\n20050105 250 1100\n"
      "20041215 200 1000\n"  // newest before the period: opening slot, gate closes
      "20041101 150 900\n"
      "20050110 999 999\n"  // after the gate closed, even inside the period
      "*Well W2\n"
      "20041201 80 500\n"  // a header re-opens the gate
      "20041101 70 400\n"
      "#end\n");
  EXPECT_EQ(rs.control.latestOnly, 1);
  EXPECT_FLOAT_EQ(test("W1", 20).values[kTestOil], 300.0f);  // Jan 20 is day 20
  EXPECT_EQ(test("W1", 20).given, 1);
  EXPECT_FLOAT_EQ(test("W1", 5).values[kTestOil], 250.0f);
  EXPECT_FLOAT_EQ(test("W1", 0).values[kTestOil], 200.0f);  // not the older 150
  EXPECT_FLOAT_EQ(test("W1", 0).values[3], 1000.0f);        // gor
  EXPECT_EQ(test("W1", 10).given, 0);
  EXPECT_FLOAT_EQ(test("W1", 10).values[kTestOil], 0.0f);
  EXPECT_FLOAT_EQ(test("W2", 0).values[kTestOil], 80.0f);  // not the older 70
}

TEST_F(WellSectionsTest, TestAgeRulesSendTestsToOpeningSlot) {
  // Up to 5 days after the period start a test lands in slot 0, beyond it is dropped.
  load(
      "#welltest\n*date oil\n"
      "*Well W1\n"
      "20050104 100\n"  // 3 days after Jan 1: slot 0
      "20050110 110\n"  // 9 days > 5: dropped
      "*Well W2\n"
      "20041201 50\n"  // before the period: slot 0
      "#end\n",
      "*priortestDays 5\n");
  EXPECT_FLOAT_EQ(test("W1", 0).values[kTestOil], 100.0f);
  EXPECT_EQ(test("W1", 0).given, 1);
  EXPECT_EQ(test("W1", 4).given, 0);
  EXPECT_EQ(test("W1", 10).given, 0);
  EXPECT_FLOAT_EQ(test("W2", 0).values[kTestOil], 50.0f);

  // Tests on or after Dec 1, 2004 land in slot 0, earlier ones are dropped.
  load(
      "#welltest\n*date oil\n"
      "*Well W1\n"
      "20050110 100\n"
      "20041130 90\n"  // a day too early: would otherwise overwrite slot 0
      "*Well W2\n"
      "20041201 50\n"  // on the limit itself
      "*Well W3\n"
      "20041115 40\n"
      "#end\n",
      "*testDateafter 20041201\n");
  EXPECT_FLOAT_EQ(test("W1", 0).values[kTestOil], 100.0f);
  EXPECT_EQ(test("W1", 10).given, 0);
  EXPECT_FLOAT_EQ(test("W2", 0).values[kTestOil], 50.0f);
  EXPECT_EQ(test("W3", 0).given, 0);
}

TEST_F(WellSectionsTest, TestStatusCalibrationAndColumns) {
  load(
      "#welltest\n*bswfraction\n*ASCENDING\n*day oil gor Status\n"
      "*Well W1\n"
      "1 100 500 \"\"\n2 110 510 GOOD\n3 120 520 on\n4 130 530 1.5\n"
      "5 140 540 SHUT\n6 150 550 0\n7 160 560 -1\n"
      "8 NA 570\n"  // no Status field at all
      "*day oil junk calibration bsw\n"
      "9 200 77 choke 0.3\n"
      "10 210 77 CHOKE 0.4\n"
      "11 220 77 1.25 NA\n"
      "0 50 77 0 1\n"
      "32 999 77 0 0\n"
      "*TF T9\n"
      "12 300 77 0 0\n"
      "#end\n");
  EXPECT_EQ(rs.control.bswFraction, 1);
  EXPECT_EQ(rs.control.ascending, 1);
  for (int d = 1; d <= 4; ++d) {  // empty, GOOD, on, 1.5 pass
    EXPECT_EQ(test("W1", d).valid, 1) << d;
    EXPECT_EQ(test("W1", d).given, 1) << d;
    EXPECT_FLOAT_EQ(test("W1", d).values[kTestOil], 90.0f + 10 * d) << d;
    EXPECT_FLOAT_EQ(test("W1", d).values[3], 490.0f + 10 * d) << d;
  }
  for (int d = 5; d <= 7; ++d) {  // SHUT, 0, -1 fail and store nothing
    EXPECT_EQ(test("W1", d).valid, 0) << d;
    EXPECT_EQ(test("W1", d).given, 0) << d;
    EXPECT_FLOAT_EQ(test("W1", d).values[kTestOil], 0.0f) << d;
    EXPECT_FLOAT_EQ(test("W1", d).values[3], 0.0f) << d;
  }
  EXPECT_EQ(test("W1", 8).valid, 1);
  EXPECT_FLOAT_EQ(test("W1", 8).values[kTestOil], kMissing);
  EXPECT_FLOAT_EQ(test("W1", 8).values[3], 570.0f);

  EXPECT_FLOAT_EQ(test("W1", 9).values[kTestCalibration], -1.0f);  // calibrate on the choke
  EXPECT_FLOAT_EQ(test("W1", 9).values[4], 0.3f);                  // bsw
  EXPECT_FLOAT_EQ(test("W1", 10).values[kTestCalibration], -1.0f);
  EXPECT_FLOAT_EQ(test("W1", 11).values[kTestCalibration], 1.25f);
  EXPECT_FLOAT_EQ(test("W1", 11).values[4], kMissing);
  EXPECT_FLOAT_EQ(test("W1", 9).values[17], 0.0f);  // the day field itself is not stored
  for (int c = 0; c < kTestValues; ++c) {           // the unknown column stores nothing
    EXPECT_NE(test("W1", 9).values[c], 77.0f) << c;
  }
  EXPECT_FLOAT_EQ(test("W1", 0).values[kTestOil], 50.0f);  // day 0 given directly

  // A facility header ignores the lines after it and creates nothing.
  EXPECT_EQ(test("W1", 12).given, 0);
  EXPECT_EQ(existing("TF", "T9"), nullptr);
}

TEST_F(WellSectionsTest, CompletionCarriesTestsOverThePeriod) {
  load(
      "#welltest\n*date oil gor Status\n"
      "*Well W1\n"
      "20041215 100 NA\n20050105 150 800\n20050110 NA 900\n"
      "20050115 999 999 SHUT\n20050120 200 1000 GOOD\n"
      "#end\n");
  EXPECT_EQ(test("W1", 15).valid, 0);
  prepareRun(rs);
  EXPECT_EQ(rs.control.endDay, 32);  // one past Jan 31

  const auto oil = [&](int d) { return test("W1", d).values[kTestOil]; };
  const auto gor = [&](int d) { return test("W1", d).values[3]; };
  // Jan 1-4 take the opening slot (its missing gor as 0); NA on Jan 10 keeps Jan 5's
  // oil; the failed test of Jan 15 is overwritten by Jan 10's values.
  for (const auto& [d, o, g] : {std::tuple{1, 100.0f, 0.0f},
                                {4, 100.0f, 0.0f},
                                {5, 150.0f, 800.0f},
                                {9, 150.0f, 800.0f},
                                {10, 150.0f, 900.0f},
                                {15, 150.0f, 900.0f},
                                {20, 200.0f, 1000.0f},
                                {31, 200.0f, 1000.0f}}) {
    EXPECT_FLOAT_EQ(oil(d), o) << d;
    EXPECT_FLOAT_EQ(gor(d), g) << d;
  }
  EXPECT_FLOAT_EQ(gor(0), kMissing);  // the opening slot itself is left as read
  for (int d = 1; d <= 31; ++d) EXPECT_EQ(test("W1", d).valid, 1) << d;
  EXPECT_EQ(test("W1", 15).given, 0);
  // A well without tests gets 0 everywhere, marked valid.
  EXPECT_FLOAT_EQ(test("W2", 10).values[kTestOil], 0.0f);
  EXPECT_EQ(test("W2", 10).valid, 1);
}

// ---- "#time" ----

TEST_F(WellSectionsTest, HoursDefaultAndPerWell) {
  load(
      "#time\n"
      "*ON 20\n"  // every well, every day; ends the default
      "*ON 5\n"   // no well to apply to yet: ignored
      "*Well W2\n*ON 12\n"
      "*Well W3\n1 10\n"
      "#end\n");
  for (int d : {0, 1, 15, 31}) {
    EXPECT_FLOAT_EQ(hours("W1", d), 20.0f) << d;
    EXPECT_FLOAT_EQ(hours("W2", d), 12.0f) << d;
  }
  EXPECT_FLOAT_EQ(hours("W3", 1), 10.0f);
  EXPECT_FLOAT_EQ(hours("W3", 2), 20.0f);
  EXPECT_EQ(route("W1", 5), 0);
  EXPECT_EQ(route("W3", 5), 1);

  // "*OFF" keeps the default pending, across a header, until a data line.
  load(
      "#time\n"
      "*OFF 4\n"  // 24 - 4 = 20 for every well
      "*Well W2\n"
      "*OFF 6\n"   // still the default: 18 for every well
      "*OFF 30\n"  // 24 - 30 < 0: not applied
      "*Well W3\n2 0\n"
      "*OFF 2\n"  // now W3 only: 22
      "#end\n");
  EXPECT_FLOAT_EQ(hours("W1", 5), 18.0f);
  EXPECT_FLOAT_EQ(hours("W2", 5), 18.0f);
  EXPECT_FLOAT_EQ(hours("W3", 5), 22.0f);
  EXPECT_FLOAT_EQ(hours("W3", 2), 22.0f);
}

TEST_F(WellSectionsTest, HoursDownTimeDaysAndDates) {
  load(
      "#time\n*days\n"
      "*ON 0.5\n"              // 0.5 x 24 = 12 for every well
      "*Well W2\n*OFF 0.25\n"  // 24 - 0.25 x 24 = 18
      "*Well W3\n2 0.25\n"     // 0.25 x 24 = 6
      "#end\n"
      "#time\n*DownTime\n"
      "*Well W1\n"
      "1 30\n"                 // 24 - 30 held at 0
      "2 6\n"                  // 24 - 6 = 18
      "3 -2\n"                 // 24 + 2 held at 24
      "0 5\n"                  // day 0 is not a day of hours
      "*TF T9\n4 10\n*ON 7\n"  // a facility has no hours
      "#end\n"
      "#time\n*Well W3\n"
      "5 7.5\n32 3\n"  // neither "*days" nor "*DownTime" carried over from earlier sections
      "#end\n"
      "#time\n*date\n*Well W3\n20050107 9\n"
      "20041231 3\n"  // before the period
      "20050201 3\n"  // after it
      "#end\n");
  expectHours("W1", {{1, 0}, {2, 18}, {3, 24}, {0, 12}, {4, 12}, {5, 12}});
  EXPECT_EQ(existing("TF", "T9"), nullptr);
  expectHours("W2", {{1, 18}, {31, 18}});
  expectHours("W3", {{2, 6}, {5, 7.5f}, {7, 9}, {0, 12}, {31, 12}});
}

TEST_F(WellSectionsTest, RoutingToAPointOfMeasurement) {
  const std::string routing =
      "#time\n"
      "*Well W1\n10 24 TF T2\n"  // T2 is the node of POM 1
      "*Well W2\n12 20 GC G7\n"  // G7 is no point: only created
      "*Well W3\n15 18 tf t1\n"  // T1 is the node of POM 0
      "#end\n";
  load(routing);
  for (int d = 1; d <= 9; ++d) EXPECT_EQ(route("W1", d), 0) << d;
  for (int d = 10; d <= 31; ++d) EXPECT_EQ(route("W1", d), 1) << d;
  EXPECT_FLOAT_EQ(hours("W1", 10), 24.0f);
  for (int d : {1, 12, 31}) EXPECT_EQ(route("W2", d), 0) << d;
  EXPECT_FLOAT_EQ(hours("W2", 12), 20.0f);
  EXPECT_NE(existing("GC", "G7"), nullptr);
  EXPECT_EQ(rs.pomCount(), 2);
  EXPECT_EQ(route("W3", 14), 1);
  EXPECT_EQ(route("W3", 15), 0);
  EXPECT_EQ(route("W3", 31), 0);
  EXPECT_FLOAT_EQ(hours("W3", 15), 18.0f);

  // A later default sets every day back to the well's own point.
  load(routing + "#time\n*ON 24\n#end\n");
  EXPECT_EQ(route("W1", 20), 0);
  EXPECT_EQ(route("W3", 20), 1);
}

TEST_F(WellSectionsTest, StatusEventsGiveHoursOn) {
  load(
      "#time\n*Status\n"
      "*Well W1\n"
      "20050105 8 dn\n20050105 10 up\n"
      "20050108 6 up\n20050108 18 dn\n"
      "20050112 8 dn\n20050115 6 up\n"
      "*Well W2\n"
      "0 5 dn\n"  // no date: dropped
      "20050130 0 dn\n"
      "*Well W3\n20050120 6 UP\n20050122 30 dn\n"
      "#end\n");
  // Jan 1-4 before the first event; Jan 5: 8 - 10 + 24 (the day's last event is up);
  // Jan 6-7 up since Jan 5; Jan 8: 18 - 6; Jan 9-11 down since Jan 8; Jan 12: one down
  // event at 8; Jan 15: one up event at 6, 24 - 6; from Jan 16 after the last event, up.
  expectHours("W1", {{1, 24},
                     {4, 24},
                     {5, 22},
                     {6, 24},
                     {7, 24},
                     {8, 12},
                     {9, 0},
                     {11, 0},
                     {12, 8},
                     {14, 0},
                     {15, 18},
                     {16, 24},
                     {31, 24}});
  // The undated event would have made Jan 1-29 down days; down at 00:00 on Jan 30, and
  // still down on the period's last day.
  expectHours("W2", {{1, 24}, {29, 24}, {30, 0}, {31, 0}});
  // Jan 20: "UP" is up, 24 - 6; Jan 22: down at 30, held at 24.
  expectHours("W3", {{19, 24}, {20, 18}, {21, 24}, {22, 24}, {23, 0}, {31, 0}});
}

TEST_F(WellSectionsTest, StatusEventsWithClockTimes) {
  load(
      "#time\n*hms\n*Status\n"
      "*Well W1\n"
      "20050103 08:30:00 dn\n"         // 8.5
      "20050103 \"06:00:00 PM\" up\n"  // 18
      "20050104 \"12:30:00 PM\" dn\n"  // half past noon: 12.5
      "20050105 \"12:00:00 AM\" up\n"  // midnight: 0
      "20050107 x dn\n"                // no time: 0
      "#end\n");
  // Jan 3: 8.5 - 18 + 24; Jan 5: 24 - 0.
  expectHours("W1", {{2, 24}, {3, 14.5f}, {4, 12.5f}, {5, 24}, {6, 24}, {7, 0}, {31, 0}});
}

// ---- "#wellwatch" ----

TEST_F(WellSectionsTest, WatchDayAverages) {
  load(
      "#wellwatch\n*date hms rate thp choke\n"
      "*Well W1\n"
      "20050101 06:00:00 100 50 10\n"
      "20050102 00:00:00 100 10 8\n20050102 12:00:00 200 30 16\n"
      "20050105 06:00:00 300 40 20\n20050107 12:00:00 50 0 0\n"
      "*TF T9\n20050103 00:00:00 999 999 999\n"
      "*Well W3\n20050110 00:00:00 100 0 0\n"
      "*Well W2\n20050103 00:00:00 40 0 0\n20050104 12:00:00 80 0 0\n"
      "*Well W3\n"  // the same well again: all its samples count
      "20050110 12:00:00 300 0 0\n20050205 06:00:00 0 0 0\n"
      "#end\n");
  EXPECT_EQ(well("W1").watchSampleCount, 5);
  EXPECT_EQ(well("W3").watchSampleCount, 3);
  EXPECT_EQ(existing("TF", "T9"), nullptr);
  // The very first sample: no rate before it, 100 x 18 h / 24 h.
  EXPECT_DOUBLE_EQ(watch("W1", 1).watchRate, 75.0);
  EXPECT_DOUBLE_EQ(watch("W1", 1).watchThp, 37.5);   // 50 x 18 / 24
  EXPECT_DOUBLE_EQ(watch("W1", 1).watchChoke, 7.5);  // 10 x 18 / 24
  // 100 from 00:00 and 200 from 12:00: (100 x 12 + 200 x 12) / 24.
  EXPECT_DOUBLE_EQ(watch("W1", 2).watchRate, 150.0);
  EXPECT_DOUBLE_EQ(watch("W1", 2).watchThp, 20.0);    // (10 + 30) / 2
  EXPECT_DOUBLE_EQ(watch("W1", 2).watchChoke, 12.0);  // (8 + 16) / 2
  EXPECT_DOUBLE_EQ(watch("W1", 3).watchThp, 30.0);    // in force since Jan 2 12:00
  EXPECT_DOUBLE_EQ(watch("W1", 5).watchThp, 37.5);    // (30 x 6 + 40 x 18) / 24
  EXPECT_DOUBLE_EQ(watch("W1", 5).watchChoke, 19.0);  // (16 x 6 + 20 x 18) / 24
  // Jan 3-4 have no sample of their own: 200 in force since Jan 2 12:00. Jan 5, one
  // sample at 06:00: (200 x 6 + 300 x 18) / 24. Jan 7, the last sample's day, takes the
  // sample in force at 00:00. After the last sample 0.
  expectRates("W1", {{3, 200}, {4, 200}, {5, 275}, {6, 300}, {7, 300}, {8, 0}, {31, 0}});
  // 0 before the first sample; Jan 3 from 00:00 the whole day; Jan 4 the last sample's day.
  expectRates("W2", {{1, 0}, {2, 0}, {3, 40}, {4, 40}, {5, 0}});
  // Jan 10: (100 x 12 + 300 x 12) / 24; in force up to the period's last day.
  expectRates("W3", {{9, 0}, {10, 200}, {11, 300}, {31, 300}});
}

TEST_F(WellSectionsTest, WatchHoursColumnAndBadSamples) {
  load(
      "#wellwatch\n*date hrs rate\n"
      "*Well W1\n"
      "20050103 0 40\n"
      "NA 2 999\n"  // no date: dropped
      "0 3 999\n"
      "20050104 1.5 80\n"  // 1.5 h = 5400 s
      "20050106 12 10\n"
      "*date hms rate\n"
      "*Well W2\n"
      "20050102 06:00:00 8\n"
      "20050102 x 999\n"  // no time: dropped
      "20050102 -1:00:00 999\n"
      "20050103 00:00:00 7\n"
      "#end\n");
  EXPECT_EQ(well("W1").watchSampleCount, 3);
  // Jan 4: (40 x 5400 + 80 x 81000) / 86400 = 6696000 / 86400.
  expectRates("W1", {{2, 0}, {3, 40}, {4, 77.5}, {5, 80}, {6, 80}, {7, 0}});

  EXPECT_EQ(well("W2").watchSampleCount, 2);
  expectRates("W2", {{2, 6}, {3, 7}, {4, 0}});  // Jan 2, the very first sample: 8 x 18 / 24
}

// ---- "#equation" ----

TEST_F(WellSectionsTest, EquationMethodParameters) {
  std::string thirty;
  for (int k = 1; k <= 30; ++k) thirty += " " + std::to_string(k);
  load(
      "#equation\n*Well W1\n"
      "*Const 500\n"
      "*Date 20050102\n*WellChar 2.5 100\n"
      "*Date 20050103\n*pi 3.5 2000\n"
      "*Date 20050104\n*Vogel 800 2500\n"
      "*Date 20050105\n*Fetkovich 0.02 0.8 3000\n"
      "*Date 20050106\n*Decline 20051231 450 0.05 0.5\n"
      "*Date 20050107\n*pct 35\n"
      "*Date 20050108\n*Kh 1200\n"
      "*Date 20050109\n*polynomial 1 2 3\n"
      "*Date 20050110\n*polynomial *date 4 5\n"
      "*Date 20050111\n*polynomial" +
      thirty +
      "\n"
      "*Date 20050112\n*Oil *interpolate *bhp\n"
      "*Date 20050113\n*Oil \"*Choke Eq.\" 0.1 0.2 0.3\n"
      "*Date 20050114\n*hyperbolic 20040615 300 0.02 0.9\n"
      "*Date 20050115\n*Welltest\n"
      "*Date 20050116\n*Bogus 5\n"
      "#end\n");
  const auto e = [&](int d) { return eq("W1", kOil, d); };
  EXPECT_EQ(e(0).present, 1);
  EXPECT_EQ(e(0).given, 1);
  EXPECT_FLOAT_EQ(e(0).constRate, 500.0f);
  EXPECT_FLOAT_EQ(e(2).slope, 2.5f);
  EXPECT_FLOAT_EQ(e(2).yo, 100.0f);
  EXPECT_FLOAT_EQ(e(2).constRate, 0.0f);  // a day's entry holds only its own method
  EXPECT_FLOAT_EQ(e(3).pi, 3.5f);
  EXPECT_FLOAT_EQ(e(3).pres, 2000.0f);
  EXPECT_FLOAT_EQ(e(4).vogelMax, 800.0f);
  EXPECT_FLOAT_EQ(e(4).pres, 2500.0f);
  EXPECT_FLOAT_EQ(e(5).fetkC, 0.02f);
  EXPECT_FLOAT_EQ(e(5).declN, 0.8f);
  EXPECT_FLOAT_EQ(e(5).pres, 3000.0f);
  expectDecline(e(6), 20051231.0, 450, 0.05f, 0.5f);  // a float would hold 20051232
  EXPECT_FLOAT_EQ(e(7).pct, 35.0f);
  EXPECT_FLOAT_EQ(e(8).kh, 1200.0f);
  EXPECT_EQ(e(9).coefCount, 3);
  EXPECT_EQ(e(9).coef, (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(e(10).polyVariable, 0);  // "date"
  EXPECT_EQ(e(10).coefCount, 2);
  EXPECT_EQ(e(10).coef, (std::vector<float>{4, 5}));
  ASSERT_EQ(e(11).coef.size(), 30u);
  EXPECT_EQ(e(11).coefCount, 30);
  EXPECT_FLOAT_EQ(e(11).coef[0], 1.0f);
  EXPECT_FLOAT_EQ(e(11).coef[24], 25.0f);
  EXPECT_FLOAT_EQ(e(11).coef[29], 30.0f);
  EXPECT_EQ(e(12).curveVariable, 3);     // "bhp"
  EXPECT_EQ(rs.control.interpolate, 0);  // the method is not the "*Interpolate" keyword
  EXPECT_FLOAT_EQ(e(13).choke1, 0.1f);
  EXPECT_FLOAT_EQ(e(13).choke2, 0.2f);
  EXPECT_FLOAT_EQ(e(13).choke3, 0.3f);
  expectDecline(e(14), 20040615.0, 300, 0.02f, 0.9f);
  EXPECT_EQ(e(15).given, 1);  // a method without parameters
  EXPECT_EQ(e(16).given, 0);  // an unknown method gives nothing
  EXPECT_EQ(e(16).present, 1);
}

TEST_F(WellSectionsTest, EquationWellAndRunProperties) {
  load(
      "#equation\n"
      "*Well W2\n*ResProp 1 2 3 4 5 6 7 0.3 150\n*PVTPROP 1 2 3 4 5 6 7 8 9 10 11\n"
      "*wellProp 40 0.2 5 9 11 77 300\n*dateinfo 20040101 20041231 45\n"
      "*welldesc 1.5 2.5 3.5 4.5\n"
      "*Well W1\n*wellProp 50 0 7 0 12 0 600\n*dateinfo 20040301 20041130 0\n"
      "*Well W3\n*wellProp 0 -1 2 0 3 -5 8\n"
      "#end\n");
  EXPECT_FLOAT_EQ(rs.control.resProp[0], 1.0f);
  EXPECT_FLOAT_EQ(rs.control.resProp[7], 0.3f);
  EXPECT_FLOAT_EQ(rs.control.resProp[8], 150.0f);
  EXPECT_FLOAT_EQ(rs.control.pvtProp[0], 1.0f);
  EXPECT_FLOAT_EQ(rs.control.pvtProp[10], 11.0f);
  EXPECT_EQ(eq("W2", kOil, 0).given, 1);  // property lines count as the day's equation

  const auto& w2 = well("W2").wellProp->slot;  // p1..p3 -> 1..3, p4 -> 7, p5..p7 -> 4..6
  EXPECT_FLOAT_EQ(w2[1], 40.0f);
  EXPECT_FLOAT_EQ(w2[2], 0.2f);
  EXPECT_FLOAT_EQ(w2[3], 5.0f);
  EXPECT_FLOAT_EQ(w2[7], 9.0f);
  EXPECT_FLOAT_EQ(w2[4], 11.0f);
  EXPECT_FLOAT_EQ(w2[5], 77.0f);
  EXPECT_FLOAT_EQ(w2[6], 300.0f);
  EXPECT_FLOAT_EQ(w2[8], 45.0f);
  EXPECT_EQ(well("W2").wellProp->dateInfo[0], 20040101.0);
  EXPECT_EQ(well("W2").wellProp->dateInfo[1], 20041231.0);
  EXPECT_FLOAT_EQ(well("W2").wellDesc->values[0], 1.5f);
  EXPECT_FLOAT_EQ(well("W2").wellDesc->values[3], 4.5f);

  const auto& w1 = well("W1").wellProp->slot;
  EXPECT_FLOAT_EQ(w1[1], 50.0f);
  EXPECT_FLOAT_EQ(w1[2], 0.3f);    // 0: ResProp p8
  EXPECT_FLOAT_EQ(w1[5], 150.0f);  // 0: ResProp p9
  EXPECT_FLOAT_EQ(w1[7], 12.0f);   // 0: slot 6 / slot 1 = 600 / 50
  EXPECT_FLOAT_EQ(w1[8], 90.0f);   // dateinfo p3 0
  EXPECT_EQ(well("W1").wellProp->dateInfo[1], 20041130.0);
  EXPECT_FLOAT_EQ(well("W1").wellDesc->values[0], 0.0f);

  const auto& w3 = well("W3").wellProp->slot;
  EXPECT_FLOAT_EQ(w3[2], 0.3f);    // -1: ResProp p8
  EXPECT_FLOAT_EQ(w3[5], 150.0f);  // -5: ResProp p9
  EXPECT_FLOAT_EQ(w3[7], 0.0f);    // slot 1 is 0: no division
  EXPECT_FLOAT_EQ(w3[6], 8.0f);
}

TEST_F(WellSectionsTest, EquationFluidsAndCurrentDay) {
  load(
      "#equation\n"
      "*Nominal\n*Interpolate\n"
      "*Well W2\n"
      "*Oil *Decline 20050101 500 0.1 0.5\n"
      "*Well W3\n"
      "*Decline 20050101 500 0.1 0.5\n"
      "*Gas\n"    // the fluid only
      "*TF T9\n"  // not a well: W3 stays current
      "*Date 20050120\n*Const 77\n"
      "*stock *Const 5\n"  // no fluid slot: ignored
      "*day 3\n"
      "*Kh 12\n"
      "*Date 20050301\n*Const 99\n*Water *pi 1 2\n"  // after the period: dropped
      "#end\n");
  EXPECT_EQ(rs.control.nominal, 1);
  EXPECT_EQ(rs.control.interpolate, 1);
  for (const char* name : {"W2", "W3"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(eq(name, kOil, 0).given, 1);
    expectDecline(eq(name, kOil, 0), 20050101.0, 500, 0.1f, 0.5f);
  }
  EXPECT_EQ(eq("W3", kGas, 0).present, 0);
  EXPECT_EQ(eq("W3", kGas, 20).given, 1);
  EXPECT_FLOAT_EQ(eq("W3", kGas, 20).constRate, 77.0f);
  EXPECT_FLOAT_EQ(eq("W3", kGas, 20).kh, 12.0f);
  EXPECT_FLOAT_EQ(eq("W3", kGas, 31).constRate, 77.0f);  // not 99
  EXPECT_EQ(eq("W3", kOil, 20).given, 0);
  EXPECT_FLOAT_EQ(eq("W3", kOil, 20).constRate, 0.0f);
  EXPECT_EQ(eq("W3", kWater, 31).present, 0);
  EXPECT_EQ(eq("W2", kGas, 20).present, 0);
  EXPECT_EQ(existing("TF", "T9"), nullptr);
}

TEST_F(WellSectionsTest, EquationHostVariableRows) {
  load(
      "#equation\n"
      "*Well W2\n"
      "20050105 1 2 3 4 5 6 7\n"  // before "*ZEL": ignored
      "*ZEL date kh slope yo RDate Qi Di n\n"
      "20041101 11 0 0 0 0 0 0\n20041001 22 0 0 0 0 0 0\n"  // 20041001 is the earliest
      "20041201 33 1 2 20041201 300 0.01 0.4\n"
      "20050110 1000 1.5 20 20050101 400 0.05 0.7\n"
      "20050301 44 0 0 0 0 0 0\n20050401 55 0 0 0 0 0 0\n20050201 66 0 0 0 0 0 0\n"
      "*Well W3\n"  // rows stay on across a header
      "20041115 77 0 0 0 0 0 0\n"
      "*Gas\n20050120 5 0 0 0 0 0 0\n"
      "#end\n"
      "#equation\n*Well W1\n"
      "20050115 9 9 9 9 9 9 9\n"  // rows are off again in a new section
      "#end\n");
  const BaNode& w2 = well("W2");
  EXPECT_EQ(w2.beforeDate, 20041001.0);
  EXPECT_EQ(w2.beforeValue, 22.0);
  EXPECT_EQ(w2.afterDate, 20050401.0);
  EXPECT_EQ(w2.afterValue, 55.0);

  const BaDayEquation& opening = eq("W2", kOil, 0);  // the last row before the period
  EXPECT_EQ(opening.given, 1);
  EXPECT_FLOAT_EQ(opening.kh, 33.0f);
  EXPECT_FLOAT_EQ(opening.slope, 1.0f);
  EXPECT_FLOAT_EQ(opening.yo, 2.0f);
  expectDecline(opening, 20041201.0, 300, 0.01f, 0.4f);
  // 1940-01-01 to 2004-01-01: 64 x 365 + 16 leap days = 23376; + 335 days to Dec 1.
  EXPECT_FLOAT_EQ(opening.rowDay, 23711.0f);

  const BaDayEquation& jan10 = eq("W2", kOil, 10);
  EXPECT_EQ(jan10.present, 1);
  EXPECT_EQ(jan10.given, 1);
  EXPECT_FLOAT_EQ(jan10.kh, 1000.0f);
  EXPECT_FLOAT_EQ(jan10.slope, 1.5f);
  EXPECT_FLOAT_EQ(jan10.yo, 20.0f);
  expectDecline(jan10, 20050101.0, 400, 0.05f, 0.7f);
  // 65 x 365 + 17 leap days (1940..2004) = 23742 to 2005-01-01; + 9.
  EXPECT_FLOAT_EQ(jan10.rowDay, 23751.0f);

  EXPECT_EQ(eq("W2", kOil, 5).given, 0);
  EXPECT_FLOAT_EQ(eq("W2", kOil, 5).kh, 33.0f);  // carried from the opening slot
  EXPECT_EQ(eq("W2", kOil, 31).given, 0);
  EXPECT_FLOAT_EQ(eq("W2", kOil, 31).kh, 1000.0f);  // rows after the period store nothing

  EXPECT_EQ(well("W3").beforeDate, 20041115.0);
  EXPECT_EQ(well("W3").beforeValue, 77.0);
  EXPECT_FLOAT_EQ(eq("W3", kOil, 0).kh, 77.0f);
  EXPECT_FLOAT_EQ(eq("W3", kGas, 20).kh, 5.0f);
  EXPECT_EQ(eq("W3", kGas, 0).present, 0);
  EXPECT_EQ(eq("W1", kOil, 15).present, 0);
}

TEST_F(WellSectionsTest, EquationsCarryForward) {
  load(
      "#equation\n*Date 20050103\n*Well W1\n*Gas *pi 2 1500\n#end\n"
      "#equation\n"
      "*Const 9\n"  // a new section has no current well yet
      "*Well W2\n"
      "*Const 7\n"  // day 0, oil again
      "#end\n");
  const auto gas = [&](int d) { return eq("W1", kGas, d); };
  for (int d : {0, 1, 2}) EXPECT_EQ(gas(d).present, 0) << d;
  EXPECT_FLOAT_EQ(gas(2).pi, 0.0f);
  EXPECT_EQ(gas(3).present, 1);
  EXPECT_EQ(gas(3).given, 1);
  EXPECT_FLOAT_EQ(gas(3).pi, 2.0f);
  for (int d : {4, 17, 31}) {
    EXPECT_EQ(gas(d).present, 1) << d;
    EXPECT_EQ(gas(d).given, 0) << d;
    EXPECT_FLOAT_EQ(gas(d).pi, 2.0f) << d;
    EXPECT_FLOAT_EQ(gas(d).pres, 1500.0f) << d;
  }
  EXPECT_EQ(eq("W1", kOil, 5).present, 0);
  EXPECT_FLOAT_EQ(gas(3).constRate, 0.0f);
  EXPECT_FLOAT_EQ(eq("W2", kOil, 0).constRate, 7.0f);
  EXPECT_FLOAT_EQ(eq("W2", kOil, 31).constRate, 7.0f);
  EXPECT_EQ(eq("W2", kOil, 31).given, 0);
}

}  // namespace
}  // namespace zelba
