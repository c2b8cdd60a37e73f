// "#welltest", "#time", "#wellwatch", "#equation" and the completion of well tests. Every
// input runs over January 2005 (day d = Jan d) on T1 (POM 0) with W1 and W2, and T2 (POM 1)
// with W3: five nodes.

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
  // Reads the period, the network and then `body`; `control` adds "#control" lines.
  void load(const std::string& body, const std::string& control = "") {
    resetRunState(rs);
    InputReader reader;
    reader.openText("#control\n*period 20050101 20050131\n" + control +
                    "#end\n#network\n*TF T1\nWell W1\nWell W2\n*TF T2\nWell W3\n#end\n" + body);
    readSections(rs, reader);
  }
  using Name = const std::string&;
  const BaNode& well(Name n) { return *rs.nodeTable[findNode(rs, "Well", n)]; }
  const BaTestDay& test(Name n, int day) { return (*well(n).testDays)[day]; }
  int route(Name n, int day) { return (*well(n).routes)[day].pomIndex; }
  const BaDayEquation& eq(Name n, int fluid, int day) { return dayEquation(well(n), fluid, day); }
  // The decline parameters; the reference date exactly.
  static void expectDecline(const BaDayEquation& e, double refDate, float qi, float di, float n) {
    EXPECT_EQ(e.refDate, refDate);
    EXPECT_EQ((Floats{e.qi, e.di, e.declN}), (Floats{qi, di, n}));
  }
  // A well's hours on, or its day average rates, as {day, value} pairs.
  void expectHours(Name n, std::initializer_list<std::pair<int, float>> days) {
    for (auto [d, h] : days) EXPECT_FLOAT_EQ((*well(n).routes)[d].hoursOn, h) << n << d;
  }
  void expectRates(Name n, std::initializer_list<std::pair<int, double>> days) {
    for (auto [d, r] : days) EXPECT_DOUBLE_EQ(watchDay(well(n), d).watchRate, r) << n << d;
  }

  RunState rs;
};

TEST_F(WellSectionsTest, TestsBeforeThePeriodGoToTheOpeningSlot) {
  // "*Latest", newest first: Dec 15 closes the gate, so Nov 1 and even Jan 10 are ignored;
  // the header of W2 re-opens it.
  load(
      "#welltest\n*Latest\n*date oil\n*Well W1\n20050120 300\n20041215 200\n20041101 150\n"
      "20050110 999\n*Well W2\n20041201 80\n20041101 70\n#end\n");
  EXPECT_EQ((Floats{test("W1", 20).values[kTestOil], test("W1", 0).values[kTestOil],
                    test("W2", 0).values[kTestOil]}),
            (Floats{300, 200, 80}));
  EXPECT_EQ(test("W1", 10).given, 0);

  // A dropped later line would overwrite slot 0. priorTestDays 5: Jan 4 is 3 days on,
  // Jan 10 is 9.
  load("#welltest\n*date oil\n*Well W1\n20050104 100\n20050110 110\n#end\n", "*priortestDays 5\n");
  EXPECT_FLOAT_EQ(test("W1", 0).values[kTestOil], 100.0f);
  // testDateAfter Dec 1: Jan 10 is accepted, Nov 30 is a day too early.
  load("#welltest\n*date oil\n*Well W1\n20050110 100\n20041130 90\n#end\n",
       "*testDateafter 20041201\n");
  EXPECT_FLOAT_EQ(test("W1", 0).values[kTestOil], 100.0f);
  EXPECT_EQ(test("W1", 10).given, 0);
}

TEST_F(WellSectionsTest, TestStatusCalibrationAndColumns) {
  // Status "", GOOD, on, 1.5 pass; SHUT, 0, -1 fail and store nothing; day 8 has none.
  // "junk" is no column; day 32 is out of range; a facility's lines are ignored.
  load(
      "#welltest\n*day oil Status\n*Well W1\n1 101 \"\"\n2 102 GOOD\n3 103 on\n4 104 1.5\n"
      "5 105 SHUT\n6 106 0\n7 107 -1\n8 NA\n*day oil junk calibration\n9 200 77 CHOKE\n"
      "10 210 77 1.25\n0 50 77 0\n32 9 77 0\n*TF T9\n12 300 77 0\n#end\n");
  const auto oil = [&](int d) { return test("W1", d).values[kTestOil]; };
  std::vector<int> valid;
  for (int d = 1; d <= 8; ++d) valid.push_back(test("W1", d).valid);
  EXPECT_EQ(valid, (std::vector<int>{1, 1, 1, 1, 0, 0, 0, 1}));
  EXPECT_EQ((Floats{oil(0), oil(4), oil(5), oil(8)}), (Floats{50, 104, 0, kMissing}));
  EXPECT_FLOAT_EQ(test("W1", 9).values[kTestCalibration], -1.0f);  // on the choke
  EXPECT_FLOAT_EQ(test("W1", 10).values[kTestCalibration], 1.25f);
  for (float value : test("W1", 9).values) EXPECT_NE(value, 77.0f);
  EXPECT_EQ(test("W1", 12).given, 0);
  EXPECT_EQ(rs.nodeCount(), 5);
}

TEST_F(WellSectionsTest, CompletionCarriesTestsOverThePeriod) {
  load(
      "#welltest\n*date oil gor Status\n*Well W1\n20041215 100 NA\n20050105 150 800\n"
      "20050110 NA 900\n20050115 999 999 SHUT\n20050120 200 1000 GOOD\n#end\n");
  prepareRun(rs);
  const auto oilGor = [&](int d) {
    return Floats{test("W1", d).values[kTestOil], test("W1", d).values[3]};
  };
  // Jan 1 takes the opening slot, its missing gor as 0. Jan 15 failed: Jan 5's oil (Jan 10
  // has none) and Jan 10's gor.
  EXPECT_EQ(oilGor(1), (Floats{100, 0}));
  EXPECT_EQ(oilGor(15), (Floats{150, 900}));
  EXPECT_EQ(oilGor(31), (Floats{200, 1000}));
  EXPECT_FLOAT_EQ(test("W1", 0).values[3], kMissing);  // the opening slot is left as read
  for (int d = 1; d <= 31; ++d) EXPECT_EQ(test("W1", d).valid, 1) << d;
  EXPECT_EQ(std::tuple(test("W2", 10).values[kTestOil], test("W2", 10).valid), std::tuple(0.0f, 1));
}

TEST_F(WellSectionsTest, HoursDefaultPerWellAndRouting) {
  // '*ON 20' sets every well, every day, and ends the default; '*ON 5' then has no well
  // to apply to; '*ON 12' after a header is for that well only.
  load("#time\n*ON 20\n*ON 5\n*Well W2\n*ON 12\n*Well W3\n1 10\n#end\n");
  expectHours("W1", {{0, 20}, {31, 20}});
  expectHours("W2", {{31, 12}});
  expectHours("W3", {{1, 10}, {2, 20}});
  EXPECT_EQ(route("W3", 5), 1);  // each well keeps its own point

  // "*OFF" keeps the default pending across a header until a data line: 24 - 6 for every
  // well; 24 - 30 < 0 is not applied; then '*OFF 2' is for W3 only: 22.
  load("#time\n*OFF 4\n*Well W2\n*OFF 6\n*OFF 30\n*Well W3\n2 0\n*OFF 2\n#end\n");
  expectHours("W1", {{5, 18}});
  expectHours("W3", {{5, 22}});

  // T2 is the node of POM 1; G7 is no point: only created.
  const std::string routing = "#time\n*Well W1\n10 24 TF T2\n*Well W2\n12 20 GC G7\n#end\n";
  load(routing);
  EXPECT_EQ((std::vector<int>{route("W1", 9), route("W1", 10), route("W1", 31)}),
            (std::vector<int>{0, 1, 1}));
  EXPECT_EQ(route("W2", 31), 0);
  expectHours("W2", {{12, 20}});
  EXPECT_EQ(rs.nodeCount(), 6);
  // A later default sets every day back to the well's own point.
  load(routing + "#time\n*ON 24\n#end\n");
  EXPECT_EQ(route("W1", 20), 0);
}

TEST_F(WellSectionsTest, HoursDownTimeDaysAndDates) {
  // "*days": '*ON 0.5' = 12 for every well; W2 24 - 0.25 x 24 = 18; W3 day 2 0.25 x 24.
  // "*DownTime": 24 - 30 held at 0; 24 + 2 held at 24; day 0 is no day of hours; after a
  // facility header neither its day 4 line nor '*ON 7' reaches W1.
  // Neither flag carries over: 7.5 hours. "*date": Dec 31 and Feb 1 are ignored.
  load(
      "#time\n*days\n*ON 0.5\n*Well W2\n*OFF 0.25\n*Well W3\n2 0.25\n#end\n"
      "#time\n*DownTime\n*Well W1\n1 30\n3 -2\n0 5\n*TF T9\n4 10\n*ON 7\n#end\n"
      "#time\n*Well W3\n5 7.5\n32 3\n#end\n"
      "#time\n*date\n*Well W3\n20050107 9\n20041231 3\n20050201 3\n#end\n");
  expectHours("W1", {{1, 0}, {3, 24}, {0, 12}, {4, 12}, {5, 12}});
  expectHours("W2", {{31, 18}});
  expectHours("W3", {{2, 6}, {5, 7.5f}, {7, 9}, {0, 12}});
  EXPECT_EQ(rs.nodeCount(), 5);
}

TEST_F(WellSectionsTest, StatusEventsGiveHoursOn) {
  // W2's undated event is dropped (it would make Jan 1-29 down days).
  load(
      "#time\n*Status\n*Well W1\n20050105 8 dn\n20050105 10 up\n20050108 6 up\n"
      "20050108 18 dn\n20050112 8 dn\n20050115 6 up\n*Well W2\n0 5 dn\n20050130 0 dn\n#end\n"
      "#time\n*hms\n*Status\n*Well W3\n20050103 08:30:00 dn\n20050103 \"06:00:00 PM\" UP\n"
      "20050105 30:00:00 dn\n20050107 x dn\n#end\n");
  // Jan 4 before the first event; Jan 5: 8 - 10 + 24; Jan 7 up since Jan 5; Jan 8: 18 - 6;
  // Jan 11 down since Jan 8; Jan 12: down at 8; Jan 15: 24 - 6; then up.
  expectHours("W1", {{4, 24}, {5, 22}, {7, 24}, {8, 12}, {11, 0}, {12, 8}, {15, 18}, {31, 24}});
  // Down at 00:00 on Jan 30, and still down on the period's last day.
  expectHours("W2", {{29, 24}, {30, 0}, {31, 0}});
  // Jan 3: 8.5 - 18 + 24 ("UP" is up); Jan 5: down at 30 is held at 24; Jan 7: no time is 0.
  expectHours("W3", {{3, 14.5f}, {5, 24}, {7, 0}});
}

TEST_F(WellSectionsTest, WatchDayAverages) {
  // A facility's samples are ignored; W3's samples under two headers all count.
  load(
      "#wellwatch\n*date hms rate thp choke\n*Well W1\n20050101 06:00:00 100 50 10\n"
      "20050102 00:00:00 100 10 8\n20050102 12:00:00 200 30 16\n20050105 06:00:00 300 40 20\n"
      "20050107 12:00:00 50 0 0\n*TF T9\n20050103 00:00:00 999 999 999\n"
      "*Well W3\n20050110 00:00:00 100 0 0\n*Well W2\n20050103 00:00:00 40 0 0\n"
      "20050104 12:00:00 80 0 0\n*Well W3\n20050110 12:00:00 300 0 0\n20050205 06:00:00 0 0 0\n"
      "#end\n");
  EXPECT_EQ(well("W3").watchSampleCount, 3);
  EXPECT_EQ(rs.nodeCount(), 5);
  EXPECT_DOUBLE_EQ(watchDay(well("W1"), 1).watchThp, 37.5);    // 50 x 18 / 24
  EXPECT_DOUBLE_EQ(watchDay(well("W1"), 5).watchChoke, 19.0);  // (16 x 6 + 20 x 18) / 24
  // Jan 1, the very first sample: no rate before it, 100 x 18 / 24; Jan 2 (100 x 12 +
  // 200 x 12) / 24; Jan 3 no sample: 200 since Jan 2 12:00; Jan 5 (200 x 6 + 300 x 18) / 24;
  // Jan 7, the last sample's day, takes the sample in force at 00:00; then 0.
  expectRates("W1", {{1, 75}, {2, 150}, {3, 200}, {5, 275}, {7, 300}, {8, 0}});
  // 0 before the first sample; Jan 3 from 00:00 the whole day.
  expectRates("W2", {{2, 0}, {3, 40}});
  // Jan 10: (100 x 12 + 300 x 12) / 24; in force up to the period's last day.
  expectRates("W3", {{10, 200}, {31, 300}});
}

TEST_F(WellSectionsTest, WatchHoursColumnAndBadSamples) {
  // Samples without a date (NA, 0) or without a time (x, -1:00:00, or a line that
  // ends before its time column) are dropped.
  load(
      "#wellwatch\n*date hrs rate\n*Well W1\n20050103 0 40\nNA 2 999\n0 3 999\n"
      "20050104 1.5 80\n20050106 12 10\n*date hms rate\n*Well W2\n20050102 06:00:00 8\n"
      "20050102 x 999\n20050102 -1:00:00 999\n20050102\n20050103 00:00:00 7\n#end\n");
  EXPECT_EQ(well("W1").watchSampleCount, 3);
  expectRates("W1", {{4, 77.5}});  // 1.5 h = 5400 s: (40 x 5400 + 80 x 81000) / 86400
  EXPECT_EQ(well("W2").watchSampleCount, 2);
}

TEST_F(WellSectionsTest, EquationMethodParameters) {
  std::string thirty;
  for (int k = 1; k <= 30; ++k) thirty += " " + std::to_string(k);
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
      {"Choke Eq.", {e(13).choke1, e(13).choke2, e(13).choke3}, {0.1f, 0.2f, 0.3f}}};
  for (const auto& [method, got, expected] : rows) EXPECT_EQ(got, expected) << method;
  expectDecline(e(6), 20051231.0, 450, 0.05f, 0.5f);  // a float would hold 20051232
  expectDecline(e(14), 20040615.0, 300, 0.02f, 0.9f);
  // Variable 0 is "date", 3 is "bhp"; all 30 coefficients are kept.
  EXPECT_EQ(
      (std::vector<int>{e(9).coefCount, e(10).polyVariable, e(11).coefCount, e(12).curveVariable}),
      (std::vector<int>{3, 0, 30, 3}));
  EXPECT_EQ(e(11).coef.back(), 30.0f);
  EXPECT_EQ(e(15).given, 1);  // a method without parameters
  EXPECT_EQ(e(16).given, 0);  // an unknown method gives nothing
}

TEST_F(WellSectionsTest, EquationWellAndRunProperties) {
  load(
      "#equation\n*Well W2\n*ResProp 1 2 3 4 5 6 7 0.3 150\n*PVTPROP 1 2 3 4 5 6 7 8 9 10 11\n"
      "*wellProp 40 0.2 5 9 11 77 300\n*dateinfo 20040101 20041231 45\n*welldesc 1.5 2.5 3.5 4.5\n"
      "*Well W1\n*wellProp 50 0 7 0 12 0 600\n*dateinfo 20040301 20041130 0\n"
      "*Well W3\n*wellProp 0 -1 2 0 3 -5 8\n#end\n");
  EXPECT_EQ(rs.control.resProp, (std::array<float, 9>{1, 2, 3, 4, 5, 6, 7, 0.3f, 150}));
  EXPECT_FLOAT_EQ(rs.control.pvtProp[10], 11.0f);
  using Slots = std::array<float, 9>;
  // Slots 1..3 = p1..p3, slot 7 = p4, slots 4..6 = p5..p7; slot 8 = "dateinfo" p3.
  EXPECT_EQ(well("W2").wellProp->slot, (Slots{0, 40, 0.2f, 5, 11, 77, 300, 9, 45}));
  EXPECT_EQ(well("W2").wellProp->dateInfo, (std::array<double, 2>{20040101, 20041231}));
  EXPECT_EQ(well("W2").wellDesc->values, (std::array<float, 4>{1.5f, 2.5f, 3.5f, 4.5f}));
  // W1: slot 2 0 -> ResProp p8, slot 5 0 -> ResProp p9, slot 7 0 -> 600 / 50, slot 8 0 -> 90.
  EXPECT_EQ(well("W1").wellProp->slot, (Slots{0, 50, 0.3f, 7, 12, 150, 600, 12, 90}));
  // W3: -1 and -5 fall back to p8 and p9; slot 1 is 0, so slot 7 stays 0.
  EXPECT_EQ(well("W3").wellProp->slot, (Slots{0, 0, 0.3f, 2, 3, 150, 8, 0, 0}));
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
  // The last row before the period fills the opening slot; its row day from 1940-01-01:
  // to 2004-01-01 64 x 365 + 16 leap days = 23376, + 335 to Dec 1 = 23711.
  const BaDayEquation& opening = eq("W2", kOil, 0);
  EXPECT_EQ((Floats{opening.kh, opening.slope, opening.yo, opening.rowDay}),
            (Floats{33, 1, 2, 23711}));
  expectDecline(opening, 20041201.0, 300, 0.01f, 0.4f);
  // Day 5 carries the opening slot; Jan 10's row holds to the end.
  EXPECT_EQ((Floats{eq("W2", kOil, 5).kh, eq("W2", kOil, 10).kh, eq("W2", kOil, 31).kh}),
            (Floats{33, 1000, 1000}));
  EXPECT_EQ((Floats{eq("W3", kOil, 0).kh, eq("W3", kGas, 20).kh}), (Floats{77, 5}));
  EXPECT_EQ(eq("W1", kOil, 15).present, 0);
}

TEST_F(WellSectionsTest, EquationFluidsCurrentDayAndCarryForward) {
  // W3's line is for the current fluid, Oil. '*Gas' alone only changes the fluid; a facility
  // header leaves W3 current; "stock" and "day" have no fluid slot; Mar 1 lies after the
  // period. A new section starts on day 0, Oil, no well: '*Const 9' goes nowhere.
  load(
      "#equation\n*Nominal\n*Interpolate\n*Well W2\n*Oil *Decline 20050101 500 0.1 0.5\n"
      "*Well W3\n*Decline 20050101 500 0.1 0.5\n*Gas\n*TF T9\n*Date 20050120\n*Const 77\n"
      "*stock *Const 5\n*day 3\n*Kh 12\n*Date 20050301\n*Const 99\n#end\n"
      "#equation\n*Const 9\n*Well W1\n*Const 7\n*Date 20050103\n*Gas *pi 2 1500\n#end\n");
  EXPECT_EQ(std::tuple(rs.control.nominal, rs.control.interpolate), std::tuple(1, 1));
  expectDecline(eq("W2", kOil, 0), 20050101.0, 500, 0.1f, 0.5f);
  expectDecline(eq("W3", kOil, 0), 20050101.0, 500, 0.1f, 0.5f);
  EXPECT_EQ(eq("W3", kGas, 0).present, 0);
  EXPECT_EQ((Floats{eq("W3", kGas, 20).constRate, eq("W3", kGas, 20).kh}), (Floats{77, 12}));
  EXPECT_FLOAT_EQ(eq("W3", kGas, 31).constRate, 77.0f);  // not 99
  EXPECT_EQ(std::tuple(eq("W3", kOil, 0).constRate, rs.nodeCount()), std::tuple(0.0f, 5));
  EXPECT_FLOAT_EQ(eq("W1", kOil, 1).constRate, 7.0f);
  // Given on day 3 only: day 2 carries day 0's empty entry, days 4 to 31 day 3's, not given.
  const auto gas = [&](int d) { return eq("W1", kGas, d); };
  EXPECT_EQ(std::tuple(gas(2).present, gas(3).given), std::tuple(0, 1));
  for (int d : {4, 31}) {
    EXPECT_EQ(std::tuple(gas(d).present, gas(d).given), std::tuple(1, 0)) << d;
    EXPECT_EQ((Floats{gas(d).pi, gas(d).pres}), (Floats{2, 1500})) << d;
  }
}

}  // namespace
}  // namespace zelba
