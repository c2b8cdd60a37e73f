// The well data sections: "#welltest", "#time", "#wellwatch" and "#equation",
// and the completion of well tests over the period before allocation.
//
// Every input runs over January 2005 (day 1 = Jan 1, day 31 = Jan 31) on the
// network T1 (POM 0) with W1 and W2, and T2 (POM 1) with W3.

#include <algorithm>
#include <array>
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
using Floats = std::vector<float>;

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
    EXPECT_EQ((Floats{e.qi, e.di, e.declN}), (Floats{qi, di, n}));
  }
  // Checks a well's hours on, or its day average rates, as {day, value} pairs.
  void expectHours(const std::string& name, std::initializer_list<std::pair<int, float>> days) {
    for (const auto& [d, h] : days) EXPECT_FLOAT_EQ(hours(name, d), h) << name << d;
  }
  void expectRates(const std::string& name, std::initializer_list<std::pair<int, double>> days) {
    for (const auto& [d, r] : days) EXPECT_DOUBLE_EQ(watch(name, d).watchRate, r) << name << d;
  }

  RunState rs;
};

// ---- "#welltest" ----

TEST_F(WellSectionsTest, LatestKeepsNewestTestBeforePeriod) {
  // Newest first: Dec 15 is the newest before the period and closes the gate, so Nov 1
  // and even Jan 10 are ignored; the header of W2 re-opens the gate.
  load(
      "#welltest\n*Latest\n*date oil\n*Well W1\n20050120 300\n20050105 250\n20041215 200\n"
      "20041101 150\n20050110 999\n*Well W2\n20041201 80\n20041101 70\n#end\n");
  EXPECT_FLOAT_EQ(test("W1", 20).values[kTestOil], 300.0f);  // Jan 20 is day 20
  EXPECT_FLOAT_EQ(test("W1", 5).values[kTestOil], 250.0f);
  EXPECT_FLOAT_EQ(test("W1", 0).values[kTestOil], 200.0f);  // not the older 150
  EXPECT_EQ(test("W1", 10).given, 0);
  EXPECT_FLOAT_EQ(test("W2", 0).values[kTestOil], 80.0f);  // not the older 70
}

TEST_F(WellSectionsTest, TestAgeRulesSendTestsToOpeningSlot) {
  // Up to 5 days after the period start a test lands in slot 0 (Jan 4: 3 days), beyond
  // it is dropped (Jan 10: 9 days); Dec 1 lies before the period: slot 0.
  load("#welltest\n*date oil\n*Well W1\n20050104 100\n20050110 110\n*Well W2\n20041201 50\n#end\n",
       "*priortestDays 5\n");
  EXPECT_FLOAT_EQ(test("W1", 0).values[kTestOil], 100.0f);
  EXPECT_EQ(test("W1", 10).given, 0);
  EXPECT_FLOAT_EQ(test("W2", 0).values[kTestOil], 50.0f);

  // Tests on or after Dec 1, 2004 land in slot 0, earlier ones are dropped: Nov 30 is a day
  // too early (it would otherwise overwrite slot 0), Dec 1 is the limit itself.
  load(
      "#welltest\n*date oil\n*Well W1\n20050110 100\n20041130 90\n*Well W2\n20041201 50\n"
      "*Well W3\n20041115 40\n#end\n",
      "*testDateafter 20041201\n");
  EXPECT_FLOAT_EQ(test("W1", 0).values[kTestOil], 100.0f);
  EXPECT_EQ(test("W1", 10).given, 0);
  EXPECT_FLOAT_EQ(test("W2", 0).values[kTestOil], 50.0f);
  EXPECT_EQ(test("W3", 0).given, 0);
}

TEST_F(WellSectionsTest, TestStatusCalibrationAndColumns) {
  // Days 1-7 carry the Status values "", GOOD, on, 1.5, SHUT, 0, -1; day 8 has no Status
  // field at all. Then "junk" is no column; day 0 is given directly, day 32 is out of range,
  // and the lines after a facility header are ignored.
  load(
      "#welltest\n*bswfraction\n*day oil Status\n*Well W1\n1 101 \"\"\n2 102 GOOD\n3 103 on\n"
      "4 104 1.5\n5 105 SHUT\n6 106 0\n7 107 -1\n8 NA\n*day oil junk calibration bsw\n"
      "9 200 77 choke 0.3\n10 210 77 CHOKE NA\n11 220 77 1.25 0.4\n0 50 77 0 1\n32 9 77 0 0\n"
      "*TF T9\n12 300 77 0 0\n#end\n");
  EXPECT_EQ(rs.control.bswFraction, 1);
  for (int d = 1; d <= 7; ++d) {  // the first four pass; the failed ones store nothing
    const int passes = d <= 4 ? 1 : 0;
    EXPECT_EQ(test("W1", d).valid, passes) << d;
    EXPECT_EQ(test("W1", d).given, passes) << d;
    EXPECT_FLOAT_EQ(test("W1", d).values[kTestOil], passes ? 100.0f + d : 0.0f) << d;
  }
  EXPECT_EQ(test("W1", 8).valid, 1);
  EXPECT_FLOAT_EQ(test("W1", 8).values[kTestOil], kMissing);
  // Calibration and bsw (id 4) of days 9 to 11: "choke" in any case is -1 (on the choke).
  const auto calBsw = [&](int d) {
    return Floats{test("W1", d).values[kTestCalibration], test("W1", d).values[4]};
  };
  EXPECT_EQ(calBsw(9), (Floats{-1, 0.3f}));
  EXPECT_EQ(calBsw(10), (Floats{-1, kMissing}));
  EXPECT_EQ(calBsw(11), (Floats{1.25f, 0.4f}));
  for (float value : test("W1", 9).values) EXPECT_NE(value, 77.0f);  // "junk" stores nothing
  EXPECT_FLOAT_EQ(test("W1", 0).values[kTestOil], 50.0f);
  EXPECT_EQ(test("W1", 12).given, 0);
  EXPECT_EQ(existing("TF", "T9"), nullptr);  // and creates nothing
}

TEST_F(WellSectionsTest, CompletionCarriesTestsOverThePeriod) {
  load(
      "#welltest\n*date oil gor Status\n*Well W1\n20041215 100 NA\n20050105 150 800\n"
      "20050110 NA 900\n20050115 999 999 SHUT\n20050120 200 1000 GOOD\n#end\n");
  prepareRun(rs);
  EXPECT_EQ(rs.control.endDay, 32);  // one past Jan 31

  // Jan 1-4 take the opening slot (its missing gor as 0); NA on Jan 10 keeps Jan 5's
  // oil; the failed test of Jan 15 is overwritten by Jan 10's values.
  for (const auto& [d, oil, gor] : {std::tuple{1, 100.0f, 0.0f},
                                    {5, 150.0f, 800.0f},
                                    {10, 150.0f, 900.0f},
                                    {15, 150.0f, 900.0f},
                                    {31, 200.0f, 1000.0f}}) {
    EXPECT_FLOAT_EQ(test("W1", d).values[kTestOil], oil) << d;
    EXPECT_FLOAT_EQ(test("W1", d).values[3], gor) << d;
  }
  EXPECT_FLOAT_EQ(test("W1", 0).values[3], kMissing);  // the opening slot itself is left as read
  for (int d = 1; d <= 31; ++d) EXPECT_EQ(test("W1", d).valid, 1) << d;
  EXPECT_EQ(test("W1", 15).given, 0);
  // A well without tests gets 0 everywhere, marked valid.
  EXPECT_FLOAT_EQ(test("W2", 10).values[kTestOil], 0.0f);
  EXPECT_EQ(test("W2", 10).valid, 1);
}

// ---- "#time" ----

TEST_F(WellSectionsTest, HoursDefaultAndPerWell) {
  // '*ON 20' sets every well, every day, and ends the default; '*ON 5' then has no well
  // to apply to and is ignored; '*ON 12' after a header is for that well only.
  load("#time\n*ON 20\n*ON 5\n*Well W2\n*ON 12\n*Well W3\n1 10\n#end\n");
  expectHours("W1", {{0, 20}, {31, 20}});
  expectHours("W2", {{0, 12}, {31, 12}});
  expectHours("W3", {{1, 10}, {2, 20}});
  EXPECT_EQ(route("W3", 5), 1);  // each well keeps its own point

  // "*OFF" keeps the default pending, across a header, until a data line: 24 - 4 = 20,
  // then 24 - 6 = 18 for every well; 24 - 30 < 0 is not applied; after the data line of
  // W3, '*OFF 2' is for W3 only: 22.
  load("#time\n*OFF 4\n*Well W2\n*OFF 6\n*OFF 30\n*Well W3\n2 0\n*OFF 2\n#end\n");
  expectHours("W1", {{5, 18}});
  expectHours("W2", {{5, 18}});
  expectHours("W3", {{2, 22}, {5, 22}});
}

TEST_F(WellSectionsTest, HoursDownTimeDaysAndDates) {
  // "*days": '*ON 0.5' = 0.5 x 24 = 12 for every well; W2 24 - 0.25 x 24 = 18; W3 day 2
  // 0.25 x 24 = 6.
  // "*DownTime": 24 - 30 held at 0; 24 - 6 = 18; 24 + 2 held at 24; day 0 is not a day of
  // hours; a facility has no hours.
  // Neither flag carries over to the next section: 7.5 hours; day 32 and dates outside
  // the period are ignored.
  load(
      "#time\n*days\n*ON 0.5\n*Well W2\n*OFF 0.25\n*Well W3\n2 0.25\n#end\n"
      "#time\n*DownTime\n*Well W1\n1 30\n2 6\n3 -2\n0 5\n*TF T9\n4 10\n*ON 7\n#end\n"
      "#time\n*Well W3\n5 7.5\n32 3\n#end\n"
      "#time\n*date\n*Well W3\n20050107 9\n20041231 3\n20050201 3\n#end\n");
  expectHours("W1", {{1, 0}, {2, 18}, {3, 24}, {0, 12}, {4, 12}, {5, 12}});
  EXPECT_EQ(existing("TF", "T9"), nullptr);
  expectHours("W2", {{1, 18}, {31, 18}});
  expectHours("W3", {{2, 6}, {5, 7.5f}, {7, 9}, {0, 12}, {31, 12}});
}

TEST_F(WellSectionsTest, RoutingToAPointOfMeasurement) {
  // T2 is the node of POM 1, T1 that of POM 0; G7 is no point: only created.
  const std::string routing =
      "#time\n*Well W1\n10 24 TF T2\n*Well W2\n12 20 GC G7\n*Well W3\n15 18 tf t1\n#end\n";
  load(routing);
  // From the routing day through the end of the period.
  EXPECT_EQ((std::vector<int>{route("W1", 9), route("W1", 10), route("W1", 31)}),
            (std::vector<int>{0, 1, 1}));
  EXPECT_EQ(route("W2", 31), 0);
  EXPECT_EQ((std::vector<int>{route("W3", 14), route("W3", 15), route("W3", 31)}),
            (std::vector<int>{1, 0, 0}));
  EXPECT_FLOAT_EQ(hours("W2", 12), 20.0f);
  EXPECT_NE(existing("GC", "G7"), nullptr);
  EXPECT_EQ(rs.pomCount(), 2);

  // A later default sets every day back to the well's own point.
  load(routing + "#time\n*ON 24\n#end\n");
  EXPECT_EQ(route("W1", 20), 0);
  EXPECT_EQ(route("W3", 20), 1);
}

TEST_F(WellSectionsTest, StatusEventsGiveHoursOn) {
  // W2's undated event is dropped (it would have made Jan 1-29 down days).
  load(
      "#time\n*Status\n*Well W1\n20050105 8 dn\n20050105 10 up\n20050108 6 up\n"
      "20050108 18 dn\n20050112 8 dn\n20050115 6 up\n*Well W2\n0 5 dn\n20050130 0 dn\n"
      "*Well W3\n20050120 6 UP\n20050122 30 dn\n#end\n");
  // Jan 1-4 before the first event; Jan 5: 8 - 10 + 24 (the day's last event is up);
  // Jan 6-7 up since Jan 5; Jan 8: 18 - 6; Jan 9-11 down since Jan 8; Jan 12: one down
  // event at 8; Jan 15: one up event at 6, 24 - 6; from Jan 16 after the last event, up.
  expectHours("W1", {{4, 24}, {5, 22}, {7, 24}, {8, 12}, {11, 0}, {12, 8}});
  expectHours("W1", {{14, 0}, {15, 18}, {16, 24}, {31, 24}});
  // Down at 00:00 on Jan 30, and still down on the period's last day.
  expectHours("W2", {{29, 24}, {30, 0}, {31, 0}});
  // Jan 20: "UP" is up, 24 - 6; Jan 22: down at 30, held at 24.
  expectHours("W3", {{19, 24}, {20, 18}, {21, 24}, {22, 24}, {23, 0}, {31, 0}});
}

TEST_F(WellSectionsTest, StatusEventsWithClockTimes) {
  // Times: 8.5; 18; half past noon 12.5; midnight 0; no time on Jan 7: 0.
  load(
      "#time\n*hms\n*Status\n*Well W1\n20050103 08:30:00 dn\n20050103 \"06:00:00 PM\" up\n"
      "20050104 \"12:30:00 PM\" dn\n20050105 \"12:00:00 AM\" up\n20050107 x dn\n#end\n");
  // Jan 3: 8.5 - 18 + 24; Jan 5: 24 - 0.
  expectHours("W1", {{2, 24}, {3, 14.5f}, {4, 12.5f}, {5, 24}, {6, 24}, {7, 0}, {31, 0}});
}

// ---- "#wellwatch" ----

TEST_F(WellSectionsTest, WatchDayAverages) {
  // A facility's samples are ignored; W3's samples under two headers all count.
  load(
      "#wellwatch\n*date hms rate thp choke\n*Well W1\n20050101 06:00:00 100 50 10\n"
      "20050102 00:00:00 100 10 8\n20050102 12:00:00 200 30 16\n20050105 06:00:00 300 40 20\n"
      "20050107 12:00:00 50 0 0\n*TF T9\n20050103 00:00:00 999 999 999\n"
      "*Well W3\n20050110 00:00:00 100 0 0\n"
      "*Well W2\n20050103 00:00:00 40 0 0\n20050104 12:00:00 80 0 0\n"
      "*Well W3\n20050110 12:00:00 300 0 0\n20050205 06:00:00 0 0 0\n#end\n");
  EXPECT_EQ(well("W3").watchSampleCount, 3);
  EXPECT_EQ(existing("TF", "T9"), nullptr);
  // Jan 1, the very first sample: no rate before it, so x 18 h / 24 h. Jan 2: two halves.
  // Jan 5: 6 h of the values since Jan 2 12:00, then 18 h of the new ones.
  EXPECT_DOUBLE_EQ(watch("W1", 1).watchThp, 37.5);    // 50 x 18 / 24
  EXPECT_DOUBLE_EQ(watch("W1", 1).watchChoke, 7.5);   // 10 x 18 / 24
  EXPECT_DOUBLE_EQ(watch("W1", 2).watchThp, 20.0);    // (10 + 30) / 2
  EXPECT_DOUBLE_EQ(watch("W1", 5).watchChoke, 19.0);  // (16 x 6 + 20 x 18) / 24
  // Rates: Jan 1 100 x 18 / 24; Jan 2 (100 x 12 + 200 x 12) / 24. Jan 3-4 have no sample
  // of their own: 200 in force since Jan 2 12:00. Jan 5 (200 x 6 + 300 x 18) / 24. Jan 7,
  // the last sample's day, takes the sample in force at 00:00. After the last sample 0.
  expectRates("W1", {{1, 75}, {2, 150}, {3, 200}, {5, 275}, {6, 300}, {7, 300}, {8, 0}});
  // 0 before the first sample; Jan 3 from 00:00 the whole day; Jan 4 the last sample's day.
  expectRates("W2", {{2, 0}, {3, 40}, {4, 40}, {5, 0}});
  // Jan 10: (100 x 12 + 300 x 12) / 24; in force up to the period's last day.
  expectRates("W3", {{9, 0}, {10, 200}, {11, 300}, {31, 300}});
}

TEST_F(WellSectionsTest, WatchHoursColumnAndBadSamples) {
  // Samples without a date (NA, 0) or without a time (x, -1:00:00, or a line that
  // ends before its time column) are dropped.
  load(
      "#wellwatch\n*date hrs rate\n*Well W1\n20050103 0 40\nNA 2 999\n0 3 999\n"
      "20050104 1.5 80\n20050106 12 10\n*date hms rate\n*Well W2\n20050102 06:00:00 8\n"
      "20050102 x 999\n20050102 -1:00:00 999\n20050102\n20050103 00:00:00 7\n#end\n");
  EXPECT_EQ(well("W1").watchSampleCount, 3);
  // Jan 4: 1.5 h = 5400 s; (40 x 5400 + 80 x 81000) / 86400 = 6696000 / 86400.
  expectRates("W1", {{2, 0}, {3, 40}, {4, 77.5}, {5, 80}, {6, 80}, {7, 0}});
  EXPECT_EQ(well("W2").watchSampleCount, 2);
  expectRates("W2", {{2, 6}, {3, 7}, {4, 0}});  // Jan 2, the very first sample: 8 x 18 / 24
}

// ---- "#equation" ----

TEST_F(WellSectionsTest, EquationMethodParameters) {
  std::string thirty;
  Floats thirtyCoef;
  for (int k = 1; k <= 30; ++k) {
    thirty += " " + std::to_string(k);
    thirtyCoef.push_back(static_cast<float>(k));
  }
  // One method a day, on days 0 and 2 to 16.
  load(
      "#equation\n*Well W1\n*Const 500\n*Date 20050102\n*WellChar 2.5 100\n*Date 20050103\n"
      "*pi 3.5 2000\n*Date 20050104\n*Vogel 800 2500\n*Date 20050105\n*Fetkovich 0.02 0.8 3000\n"
      "*Date 20050106\n*Decline 20051231 450 0.05 0.5\n*Date 20050107\n*pct 35\n"
      "*Date 20050108\n*Kh 1200\n*Date 20050109\n*polynomial 1 2 3\n"
      "*Date 20050110\n*polynomial *date 4 5\n*Date 20050111\n*polynomial" +
      thirty +
      "\n*Date 20050112\n*Oil *interpolate *bhp\n*Date 20050113\n*Oil \"*Choke Eq.\" 0.1 0.2 0.3\n"
      "*Date 20050114\n*hyperbolic 20040615 300 0.02 0.9\n*Date 20050115\n*Welltest\n"
      "*Date 20050116\n*Bogus 5\n#end\n");
  const auto e = [&](int d) { return eq("W1", kOil, d); };
  EXPECT_EQ(e(0).given, 1);
  // A day's entry holds only its own method's parameters (WellChar: no constRate).
  const std::tuple<const char*, Floats, Floats> rows[] = {
      {"Const", {e(0).constRate}, {500}},
      {"WellChar", {e(2).slope, e(2).yo, e(2).constRate}, {2.5f, 100, 0}},
      {"pi", {e(3).pi, e(3).pres}, {3.5f, 2000}},
      {"Vogel", {e(4).vogelMax, e(4).pres}, {800, 2500}},
      {"Fetkovich", {e(5).fetkC, e(5).declN, e(5).pres}, {0.02f, 0.8f, 3000}},
      {"pct and Kh", {e(7).pct, e(8).kh}, {35, 1200}},
      {"polynomial", e(9).coef, {1, 2, 3}},
      {"polynomial *date", e(10).coef, {4, 5}},
      {"polynomial of 30", e(11).coef, thirtyCoef},
      {"Choke Eq.", {e(13).choke1, e(13).choke2, e(13).choke3}, {0.1f, 0.2f, 0.3f}}};
  for (const auto& [method, got, expected] : rows) EXPECT_EQ(got, expected) << method;
  expectDecline(e(6), 20051231.0, 450, 0.05f, 0.5f);  // a float would hold 20051232
  expectDecline(e(14), 20040615.0, 300, 0.02f, 0.9f);
  EXPECT_EQ((std::vector<int>{e(9).coefCount, e(10).polyVariable, e(11).coefCount}),
            (std::vector<int>{3, 0, 30}));  // variable 0 is "date"
  EXPECT_EQ(e(12).curveVariable, 3);        // "bhp"
  EXPECT_EQ(rs.control.interpolate, 0);     // the method is not the "*Interpolate" keyword
  EXPECT_EQ(e(15).given, 1);                // a method without parameters
  EXPECT_EQ(e(16).given, 0);                // an unknown method gives nothing
}

TEST_F(WellSectionsTest, EquationWellAndRunProperties) {
  load(
      "#equation\n*Well W2\n*ResProp 1 2 3 4 5 6 7 0.3 150\n*PVTPROP 1 2 3 4 5 6 7 8 9 10 11\n"
      "*wellProp 40 0.2 5 9 11 77 300\n*dateinfo 20040101 20041231 45\n*welldesc 1.5 2.5 3.5 4.5\n"
      "*Well W1\n*wellProp 50 0 7 0 12 0 600\n*dateinfo 20040301 20041130 0\n"
      "*Well W3\n*wellProp 0 -1 2 0 3 -5 8\n#end\n");
  EXPECT_EQ(rs.control.resProp, (std::array<float, 9>{1, 2, 3, 4, 5, 6, 7, 0.3f, 150}));
  EXPECT_FLOAT_EQ(rs.control.pvtProp[10], 11.0f);
  EXPECT_EQ(eq("W2", kOil, 0).given, 1);  // property lines count as the day's equation
  using Slots = std::array<float, 9>;
  // Slots 1..3 = p1..p3, slot 7 = p4, slots 4..6 = p5..p7; slot 8 = "dateinfo" p3.
  EXPECT_EQ(well("W2").wellProp->slot, (Slots{0, 40, 0.2f, 5, 11, 77, 300, 9, 45}));
  EXPECT_EQ(well("W2").wellProp->dateInfo, (std::array<double, 2>{20040101, 20041231}));
  EXPECT_EQ(well("W2").wellDesc->values, (std::array<float, 4>{1.5f, 2.5f, 3.5f, 4.5f}));
  // W1: slot 2 from 0 to ResProp p8, slot 5 from 0 to ResProp p9, slot 7 from 0 to
  // slot 6 / slot 1 = 600 / 50, slot 8 from dateinfo p3 0 to 90.
  EXPECT_EQ(well("W1").wellProp->slot, (Slots{0, 50, 0.3f, 7, 12, 150, 600, 12, 90}));
  // W3: -1 and -5 fall back to ResProp p8 and p9; slot 1 is 0, so slot 7 stays 0.
  EXPECT_EQ(well("W3").wellProp->slot, (Slots{0, 0, 0.3f, 2, 3, 150, 8, 0, 0}));
}

TEST_F(WellSectionsTest, EquationFluidsAndCurrentDay) {
  // W2's line names the fluid; W3's is for the current fluid, Oil. '*Gas' alone only
  // changes the fluid; a facility header leaves W3 current; "stock" has no fluid slot;
  // "*day 3" is a fluid name without slot too; the lines of Mar 1 lie after the period.
  load(
      "#equation\n*Nominal\n*Interpolate\n*Well W2\n*Oil *Decline 20050101 500 0.1 0.5\n"
      "*Well W3\n*Decline 20050101 500 0.1 0.5\n*Gas\n*TF T9\n*Date 20050120\n*Const 77\n"
      "*stock *Const 5\n*day 3\n*Kh 12\n*Date 20050301\n*Const 99\n*Water *pi 1 2\n#end\n");
  EXPECT_EQ(rs.control.nominal, 1);
  EXPECT_EQ(rs.control.interpolate, 1);
  expectDecline(eq("W2", kOil, 0), 20050101.0, 500, 0.1f, 0.5f);
  expectDecline(eq("W3", kOil, 0), 20050101.0, 500, 0.1f, 0.5f);
  EXPECT_EQ(eq("W3", kGas, 0).present, 0);
  EXPECT_EQ((Floats{eq("W3", kGas, 20).constRate, eq("W3", kGas, 20).kh}), (Floats{77, 12}));
  EXPECT_FLOAT_EQ(eq("W3", kGas, 31).constRate, 77.0f);  // not 99
  EXPECT_EQ(eq("W3", kOil, 20).given, 0);
  EXPECT_EQ(eq("W3", kWater, 31).present, 0);
  EXPECT_EQ(existing("TF", "T9"), nullptr);
}

TEST_F(WellSectionsTest, EquationHostVariableRows) {
  // Rows before "*ZEL" are ignored; of the rows before the period Oct 1 is the earliest
  // and Dec 1 the last; of those after it Apr 1 is the latest. Rows stay on across a
  // header, and are off again in a new section.
  load(
      "#equation\n*Well W2\n20050105 1 2 3 4 5 6 7\n*ZEL date kh slope yo RDate Qi Di n\n"
      "20041101 11 0 0 0 0 0 0\n20041001 22 0 0 0 0 0 0\n20041201 33 1 2 20041201 300 0.01 0.4\n"
      "20050110 1000 1.5 20 20050101 400 0.05 0.7\n20050301 44 0 0 0 0 0 0\n"
      "20050401 55 0 0 0 0 0 0\n20050201 66 0 0 0 0 0 0\n"
      "*Well W3\n20041115 77 0 0 0 0 0 0\n*Gas\n20050120 5 0 0 0 0 0 0\n#end\n"
      "#equation\n*Well W1\n20050115 9 9 9 9 9 9 9\n#end\n");
  const BaNode& w2 = well("W2");
  EXPECT_EQ(std::tuple(w2.beforeDate, w2.beforeValue), std::tuple(20041001.0, 22.0));
  EXPECT_EQ(std::tuple(w2.afterDate, w2.afterValue), std::tuple(20050401.0, 55.0));

  // The last row before the period fills the opening slot. Row days: 1940-01-01 to
  // 2004-01-01 is 64 x 365 + 16 leap days = 23376; + 335 days to Dec 1 = 23711. To
  // 2005-01-01: 65 x 365 + 17 = 23742; + 9 to Jan 10 = 23751.
  const BaDayEquation& opening = eq("W2", kOil, 0);
  EXPECT_EQ((Floats{opening.kh, opening.slope, opening.yo, opening.rowDay}),
            (Floats{33, 1, 2, 23711}));
  expectDecline(opening, 20041201.0, 300, 0.01f, 0.4f);
  const BaDayEquation& jan10 = eq("W2", kOil, 10);
  EXPECT_EQ(jan10.given, 1);
  EXPECT_EQ((Floats{jan10.kh, jan10.slope, jan10.yo, jan10.rowDay}),
            (Floats{1000, 1.5f, 20, 23751}));
  expectDecline(jan10, 20050101.0, 400, 0.05f, 0.7f);
  EXPECT_FLOAT_EQ(eq("W2", kOil, 5).kh, 33.0f);     // carried from the opening slot
  EXPECT_FLOAT_EQ(eq("W2", kOil, 31).kh, 1000.0f);  // rows after the period store nothing

  EXPECT_EQ(well("W3").beforeDate, 20041115.0);
  EXPECT_FLOAT_EQ(eq("W3", kOil, 0).kh, 77.0f);
  EXPECT_FLOAT_EQ(eq("W3", kGas, 20).kh, 5.0f);
  EXPECT_EQ(eq("W1", kOil, 15).present, 0);
}

TEST_F(WellSectionsTest, EquationsCarryForward) {
  // A new section has no current well yet, so '*Const 9' goes nowhere; W2's '*Const 7'
  // is on day 0, for Oil again.
  load(
      "#equation\n*Date 20050103\n*Well W1\n*Gas *pi 2 1500\n#end\n"
      "#equation\n*Const 9\n*Well W2\n*Const 7\n#end\n");
  const auto gas = [&](int d) { return eq("W1", kGas, d); };
  // Days 1 and 2 carry day 0's empty entry; days 4 to 31 carry day 3's, not given.
  for (int d : {0, 1, 2}) EXPECT_EQ(gas(d).present, 0) << d;
  EXPECT_EQ(gas(3).given, 1);
  for (int d : {4, 17, 31}) {
    EXPECT_EQ(gas(d).present, 1) << d;
    EXPECT_EQ(gas(d).given, 0) << d;
    EXPECT_EQ((Floats{gas(d).pi, gas(d).pres}), (Floats{2, 1500})) << d;
  }
  EXPECT_EQ(eq("W1", kOil, 5).present, 0);
  EXPECT_FLOAT_EQ(eq("W2", kOil, 31).constRate, 7.0f);
}

}  // namespace
}  // namespace zelba
