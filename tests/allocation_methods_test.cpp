// Theoretical volumes of wells: the daily loop (hours on, qualifiers, carried
// values, second stages) and the oil, gas, water and injection methods.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "allocation/oil_methods.h"
#include "allocation/theoretical.h"
#include "engine/driver.h"
#include "input/sections.h"

namespace zelba {
namespace {

// An inline input file read and prepared; `allocate` also runs the allocation.
struct Allocated {
  explicit Allocated(const std::string& text, bool allocate = true) {
    resetRunState(rs);
    InputReader reader;
    reader.openText(text);
    readSections(rs, reader);
    prepareRun(rs);
    if (allocate) allocateRun(rs);
  }
  BaNode& node(const char* name) {
    const int count = rs.nodeCount();
    const int index = findNode(rs, "Well", name);
    EXPECT_EQ(rs.nodeCount(), count) << "no well " << name;
    return *rs.nodeTable.at(index);
  }
  BaFluidDays& well(const char* name, int fluid = kOil) { return node(name).fluids[fluid]; }
  double volume(const char* name, int day, int fluid = kOil) {
    return well(name, fluid).volume[day];
  }
  int source(const char* name, int day, int fluid = kOil) { return well(name, fluid).source[day]; }

  RunState rs;
};

// Wells of point T1 whose fluids are allocated from theoretical rates only, so
// each theoretical volume is also the allocated volume.
std::string theoretical(const std::string& wells, const std::string& sections,
                        const char* period = "20050101 20050131") {
  return std::string("#control\n*period ") + period +
         "\n*Theoretical Oil Gas Water WaterInj\n#end\n#network\n*Methods *Welltest\n*TF T1\n" +
         wells + "#end\n" + sections;
}

double effective(double days) {
  return 300 * std::pow(0.9, days / 30.4375);
}

TEST(DeclineRate, FormsFollowTheExponent) {
  Allocated run(
      theoretical("Well W1 *Oil *Decline\nWell W2 *Oil *Decline\nWell W3 *Oil *Decline\n"
                  "Well W4 *Oil *Decline\nWell W5 *Oil *hyperbolic\nWell W6 *Oil *Decline\n"
                  "Well W7 *Oil *Decline\n",
                  "#equation\n*Well W1\n*Oil *Decline 20050101 300 10 0\n"
                  "*Well W2\n*Oil *Decline 20050101 300 0.1 0\n"
                  "*Well W3\n*Oil *Decline 20050101 300 10 1\n"
                  "*Well W4\n*Oil *Decline 20050101 300 10 0.5\n"
                  "*Well W5\n*Oil *hyperbolic 20050101 300 10 0\n"
                  "*Well W6\n*Oil *Decline 20050101 300 0 0\n"
                  "*Well W7\n*Oil *Decline 0 300 10 0\n#end\n"));
  for (const int day : {1, 16, 31}) {
    SCOPED_TRACE(day);
    const double months = (day - 1) / 30.4375;                     // elapsed days from 20050101
    EXPECT_NEAR(run.volume("W1", day), effective(day - 1), 1e-4);  // 300 x 0.9^t
    EXPECT_NEAR(run.volume("W2", day), effective(day - 1), 1e-4);  // di 0.1 = di 10 %
    EXPECT_NEAR(run.volume("W3", day), 300 / (1 + 0.1 * months), 1e-4);
    EXPECT_NEAR(run.volume("W4", day), 300 / std::pow(1 + 0.5 * 0.1 * months, 2), 1e-4);
    EXPECT_NEAR(run.volume("W5", day), effective(day - 1), 1e-4);  // exponent 0: not hyperbolic
    EXPECT_DOUBLE_EQ(run.volume("W6", day), 300);                  // no decline
    EXPECT_EQ(run.volume("W7", day), 0);                           // no reference date
    EXPECT_EQ(run.source("W1", day), kMethodDecline);
  }
  EXPECT_DOUBLE_EQ(run.volume("W1", 1), 300);  // reference date is the day: qi exactly

  const BaNode& w1 = run.node("W1");
  EXPECT_EQ(declineRate(run.rs, w1, 0, kOil).status, -1);  // the opening slot has no time
  EXPECT_EQ(declineRate(run.rs, w1, 31, kOil).status, 1);
  const Eval none = declineRate(run.rs, run.node("W7"), 5, kOil);
  EXPECT_EQ(none.status, -1);
  EXPECT_EQ(none.value, 0);

  Allocated nominal(
      theoretical("Well W1 *Oil *Decline\n",
                  "#equation\n*Nominal\n*Well W1\n*Oil *Decline 20050101 300 10 0\n#end\n"));
  EXPECT_NEAR(nominal.volume("W1", 31), 300 * std::exp(-0.1 * 30 / 30.4375), 1e-4);
  EXPECT_DOUBLE_EQ(nominal.volume("W1", 1), 300);
}

TEST(OilMethods, InflowRelations) {
  Allocated run(
      theoretical("Well W1 *Oil *pi *Welltest\nWell W2 *Oil *pi *Welltest\n"
                  "Well W3 *Oil *Vogel\nWell W4 *Oil *Fetkovich\nWell W5 *Oil *WellChar\n",
                  "#welltest\n*date oil whfp\n*Well W1\n20041215 100 800\n"
                  "*Well W2\n20041215 100 2500\n*Well W3\n20041215 100 1000\n"
                  "*Well W4\n20041215 100 1000\n*Well W5\n20041215 100 500\n#end\n"
                  "#equation\n*Well W1\n*Oil *pi 0.5 2000\n*Well W2\n*Oil *pi 0.5 2000\n"
                  "*Well W3\n*Oil *Vogel 1000 2000\n*Well W4\n*Oil *Fetkovich 0.25 0.5 2000\n"
                  "*Well W5\n*Oil *WellChar 2 100\n#end\n",
                  "20050101 20050102"));
  for (const int day : {1, 2}) {
    EXPECT_DOUBLE_EQ(run.volume("W1", day), 600);  // (2000 - 800) x 0.5
    EXPECT_EQ(run.source("W1", day), kMethodPi);
    // whfp above the reservoir pressure: "pi" fails, the well test follows.
    EXPECT_DOUBLE_EQ(run.volume("W2", day), 100);
    EXPECT_EQ(run.source("W2", day), kMethodWelltest);
    EXPECT_NEAR(run.volume("W3", day), 700, 1e-9);  // 1000 x (1 - 0.2 x 0.5 - 0.8 x 0.25)
    EXPECT_EQ(run.source("W3", day), kMethodVogel);
    EXPECT_NEAR(run.volume("W4", day), 0.25 * std::sqrt(2000.0 * 2000 - 1000.0 * 1000), 1e-9);
    EXPECT_DOUBLE_EQ(run.volume("W5", day), 200);  // (500 - 100) / 2
    EXPECT_EQ(run.source("W5", day), kMethodWellChar);
  }
}

TEST(MethodChains, StatusDecidesWhereAChainEnds) {
  Allocated run(
      theoretical("Well W1 *Oil *Const *Welltest\nWell W2 *Oil *pct *Welltest\n"
                  "Well W3 *Gas *Const *Welltest\nWell W4 *Gas *Measured *Welltest\n"
                  "Well W5 *Gas *Const *Water *Const\n",
                  "#welltest\n*date oil GAS\n*Well W1\n20041215 100 30\n*Well W2\n20041215 100 30\n"
                  "*Well W3\n20041215 100 30\n*Well W4\n20041215 100 30\n"
                  "*Well W5\n20041215 100 0\n#end\n"
                  "#equation\n*Well W1\n*Oil *Const 0\n*Well W2\n*Oil *pct 25\n"
                  "*Well W3\n*Gas *Const 0\n*Well W5\n*Gas *Const 400\n*Water *Const 20\n#end\n",
                  "20050101 20050102"));
  // An oil constant of 0 ends the chain with 0; "pct" ends it with its share.
  EXPECT_EQ(run.volume("W1", 1), 0);
  EXPECT_EQ(run.source("W1", 1), kMethodConst);
  EXPECT_DOUBLE_EQ(run.volume("W2", 1), 25);
  EXPECT_EQ(run.source("W2", 2), kMethodPct);
  // A gas constant of 0 does not end the chain: the test's GAS column is used.
  // "Welltest" keeps the status 0, so the chain runs on through the unset
  // entries and ends on "Measured".
  EXPECT_DOUBLE_EQ(run.volume("W3", 1, kGas), 30);
  EXPECT_EQ(run.source("W3", 1, kGas), kMethodMeasured);
  // "Measured" first ends the gas chain with no ratio: no gas.
  EXPECT_EQ(run.volume("W4", 2, kGas), 0);
  EXPECT_EQ(run.source("W4", 2, kGas), kMethodMeasured);
  // Gas and water constants are ratios on the oil of 100.
  EXPECT_DOUBLE_EQ(run.volume("W5", 1, kGas), 40);    // 400 x 100 x 0.001
  EXPECT_DOUBLE_EQ(run.volume("W5", 1, kWater), 25);  // 100 x 20 / 80
}

std::string khInput(const char* options) {
  return theoretical("Well W1 *Oil *Kh\n", std::string("#equation\n") + options +
                                               "*Well W1\n*Oil\n*ZEL date kh\n"
                                               "20050101 100\n20050111 200\n#end\n");
}

TEST(OilMethods, KhDatedAndInterpolated) {
  Allocated dated(khInput(""));
  for (int d = 1; d <= 10; ++d) EXPECT_DOUBLE_EQ(dated.volume("W1", d), 100) << d;
  EXPECT_DOUBLE_EQ(dated.volume("W1", 11), 200);
  EXPECT_DOUBLE_EQ(dated.volume("W1", 31), 200);
  EXPECT_EQ(dated.source("W1", 5), kMethodKh);

  // Day d is read at periodStart + d: 100 + 10 d up to day 9, then 200.
  Allocated interpolated(khInput("*Interpolate\n"));
  for (int d = 1; d <= 9; ++d) EXPECT_NEAR(interpolated.volume("W1", d), 100 + 10 * d, 1e-9) << d;
  EXPECT_DOUBLE_EQ(interpolated.volume("W1", 10), 200);
  EXPECT_DOUBLE_EQ(interpolated.volume("W1", 25), 200);
}

TEST(OilMethods, KhTableKeepsEveryDatedRow) {
  // Rows on all 31 days (kh 100 + day) plus one before and one after the
  // period: 33 points. Day d is read at the date of day d + 1.
  std::string rows = "20041201 0\n";
  for (int d = 1; d <= 31; ++d)
    rows += std::to_string(20050100 + d) + " " + std::to_string(100 + d) + "\n";
  rows += "20050302 1000\n";
  Allocated run(
      theoretical("Well W1 *Oil *Kh\n",
                  "#equation\n*Interpolate\n*Well W1\n*Oil\n*ZEL date kh\n" + rows + "#end\n"));
  EXPECT_DOUBLE_EQ(run.volume("W1", 1), 102);
  EXPECT_DOUBLE_EQ(run.volume("W1", 30), 131);
  // 20050201 lies 1 of the 30 days from 20050131 (131) to 20050302 (1000).
  EXPECT_NEAR(run.volume("W1", 31), 131 + 869.0 / 30, 1e-6);
}

TEST(OilMethods, TransientIndexCountsTheTestAgeInHours) {
  Allocated run(theoretical("Well W1 *Oil *transient\n", ""), false);
  BaNode& w1 = run.node("W1");
  auto& slot = w1.wellProp->slot;
  slot[1] = 50;                      // thickness
  slot[2] = 20;                      // porosity, percent
  slot[3] = 6;                       // wellbore radius, inches
  slot[7] = 100;                     // permeability
  slot[5] = 1e-5f;                   // compressibility
  run.rs.control.pvtProp[2] = 1;     // viscosity
  run.rs.control.pvtProp[3] = 1.2f;  // formation volume factor
  // phi c rw^2 = 20 x 1e-5 x 0.25 x 0.01; 10 days are 240 hours.
  const double a = 20 * 1e-5 * 0.25 * 0.01;
  const double d = (std::log(100 * 240 / a) - 7.4316) * 1.2 * 70.6;
  const Eval index = transientProductivity(run.rs, w1, 10);
  EXPECT_EQ(index.status, 1);
  EXPECT_NEAR(index.value, 100 * 50 / d, 1e-6 * index.value);
  slot[7] = 0;
  EXPECT_EQ(transientProductivity(run.rs, w1, 10).status, -1);

  w1.wellProp->dateInfo[0] = 20041222;
  slot[8] = 90;
  EXPECT_EQ(testAge(run.rs, w1, 10).age, 20);  // 20041222 to 20050111
  EXPECT_EQ(testAge(run.rs, w1, 10).flag, 1);
  slot[8] = 15;
  EXPECT_EQ(testAge(run.rs, w1, 10).flag, 0);
  w1.wellProp->dateInfo[1] = 20050105;  // the second date takes precedence
  EXPECT_EQ(testAge(run.rs, w1, 10).age, 6);
  EXPECT_EQ(testAge(run.rs, w1, 10).flag, 1);
}

TEST(OilMethods, PolynomialAndWellTestInterpolation) {
  Allocated run(
      theoretical("Well W1 *Oil *polynomial\nWell W2 *Oil *interpolate\n"
                  "Well W3 *Oil *interpolate *Welltest\n",
                  "#welltest\n*date oil\n*Well W2\n20041215 100\n20050105 200\n20050115 400\n"
                  "*Well W3\n20041215 100\n20050115 400\n#end\n"
                  "#equation\n*Well W1\n*Oil *polynomial *days 10 2 0.5\n"
                  "*Well W2\n*Oil *interpolate *days\n*Well W3\n*Oil *interpolate *days\n#end\n"));
  EXPECT_DOUBLE_EQ(run.volume("W1", 4), 26);   // 10 + 2 x 4 + 0.5 x 16
  EXPECT_DOUBLE_EQ(run.volume("W1", 10), 80);  // 10 + 20 + 50
  EXPECT_EQ(run.source("W1", 10), kMethodPolynomial);

  // Tests on slots 0, 5 and 15: the opening value before slot 5, linear after.
  for (int d = 1; d <= 4; ++d) EXPECT_DOUBLE_EQ(run.volume("W2", d), 100) << d;
  EXPECT_DOUBLE_EQ(run.volume("W2", 5), 200);
  EXPECT_DOUBLE_EQ(run.volume("W2", 10), 300);  // halfway from 200 to 400
  EXPECT_DOUBLE_EQ(run.volume("W2", 12), 340);  // 200 + 7 x 20
  EXPECT_DOUBLE_EQ(run.volume("W2", 15), 400);
  EXPECT_DOUBLE_EQ(run.volume("W2", 20), 400);
  EXPECT_EQ(run.source("W2", 10), kMethodInterpolate);

  // Two tests are not enough: the well test of the day (carried from slot 0) is used.
  EXPECT_DOUBLE_EQ(run.volume("W3", 10), 100);
  EXPECT_EQ(run.source("W3", 10), kMethodWelltest);
  EXPECT_DOUBLE_EQ(run.volume("W3", 20), 400);
}

TEST(OilMethods, GilbertChokeOnWellWatchPressureAndChoke) {
  // Calibrated on P 500, S 32, q 400, applied to the well watch's 400 and 40:
  // R^0.546 = S^1.89 P / (435 q), so q' = q (40 / 32)^1.89 x 400 / 500.
  const double expected = 400 * std::pow(40.0 / 32, 1.89) * 400 / 500;
  const char* watch = "20050101 00:00:00 400 40 77\n20050102 00:00:00 400 40 77\n";
  Allocated run(
      theoretical("Well W1 *Oil \"*Choke Eq.\"\nWell W2 *Oil \"*Choke Eq.\"\n"
                  "Well W3 *Oil \"*Choke Eq.\" *Welltest\n",
                  "#welltest\n*date oil whfp choke\n*Well W1\n20041215 400 500 32\n"
                  "*Well W2\n20041215 400 0 0\n*Well W3\n20041215 400 500 32\n#end\n"
                  "#equation\n*Well W2\n*Oil \"*Choke Eq.\" 400 500 32\n#end\n"
                  "#wellwatch\n*date hms thp choke rate\n*Well W1\n" +
                      std::string(watch) + "*Well W2\n" + watch + "#end\n",
                  "20050101 20050102"));
  for (const int day : {1, 2}) {
    // The well watch's rate (77) does not override the choke method.
    EXPECT_NEAR(run.volume("W1", day), expected, 1e-6);
    EXPECT_EQ(run.source("W1", day), kMethodChokeEq);
    // Without whfp and choke in the test, the equation gives the calibration point.
    EXPECT_NEAR(run.volume("W2", day), expected, 1e-6);
    // No well-watch pressure: no choke rate, the well test follows.
    EXPECT_DOUBLE_EQ(run.volume("W3", day), 400);
    EXPECT_EQ(run.source("W3", day), kMethodWelltest);
  }
}

TEST(OilMethods, WellTestCalibration) {
  const char* tests =
      "#welltest\n*date oil calibration\n*Well W1\n20041215 100 choke\n"
      "*Well W2\n20041215 100 1.1\n*Well W3\n20041215 100 choke\n#end\n";
  // W1 is listed again under T2: its volume from T1 stays.
  Allocated run(std::string("#control\n*period 20050101 20050102\n#end\n") +
                "#network\n*Methods *Welltest\n*TF T1 *calibration 0.9\nWell W1\nWell W2\n"
                "*TF T2 *calibration 0.5\nWell W3\nWell W1\n#end\n"
                "#volume\n*TF T1\n*date oil\n20050101 1\n*TF T2\n20050101 1\n#end\n" +
                tests);
  for (const int day : {1, 2}) {
    EXPECT_NEAR(run.volume("W1", day), 90, 1e-4);   // 100 x 0.9 of the point
    EXPECT_NEAR(run.volume("W2", day), 110, 1e-4);  // the test's own 1.1
    EXPECT_NEAR(run.volume("W3", day), 50, 1e-4);   // 100 x 0.5
  }
  // A point without a calibration calibrates by 1.0.
  Allocated uncalibrated(std::string("#control\n*period 20050101 20050101\n#end\n") +
                         "#network\n*Methods *Welltest\n*TF T1\nWell W1\n#end\n"
                         "#volume\n*TF T1\n*date oil\n20050101 1\n#end\n" +
                         tests);
  EXPECT_NEAR(uncalibrated.volume("W1", 1), 100, 1e-4);
  // Before any point was evaluated the default is 0: the rate stays 100.
  Allocated theoreticalOnly(theoretical("Well W1\n", tests, "20050101 20050101"));
  EXPECT_DOUBLE_EQ(theoreticalOnly.volume("W1", 1), 100);
}

TEST(TheoreticalVolumes, WellWatchRateIsTakenUnscaled) {
  const char* watch = "20050101 00:00:00 80\n20050102 00:00:00 80\n";
  Allocated run(
      theoretical("Well W1 *Oil *Welltest\nWell W2 *Oil *Decline\n",
                  "#welltest\n*date oil\n*Well W1\n20041215 100\n*Well W2\n20041215 100\n#end\n"
                  "#equation\n*Well W2\n*Oil *Decline 20050101 300 0 0\n#end\n"
                  "#time\n*Well W1\n1 12\n2 12\n*Well W2\n1 12\n2 12\n#end\n"
                  "#wellwatch\n*date hms rate\n*Well W1\n" +
                      std::string(watch) + "*Well W2\n" + watch + "#end\n",
                  "20050101 20050102"));
  for (const int day : {1, 2}) {
    EXPECT_DOUBLE_EQ(run.volume("W1", day), 80);  // not 100, and not halved
    EXPECT_EQ(run.source("W1", day), kSourceWellWatch);
    EXPECT_DOUBLE_EQ(run.volume("W2", day), 150);  // decline 300 x 12 / 24
    EXPECT_EQ(run.source("W2", day), kMethodDecline);
  }
}

TEST(TheoreticalVolumes, HoursOnScaleProductionNotInjection) {
  Allocated run(
      theoretical("Well W1\nWell W2 *Oil *Decline\n",
                  "#welltest\n*date oil GAS WATER WaterInj\n*Well W1\n20041215 100 50 30 40\n"
                  "#end\n#equation\n*Well W2\n*Oil *Decline 20050101 300 0 0\n#end\n"
                  "#time\n*Well W1\n1 12\n2 0\n*Well W2\n2 0\n#end\n",
                  "20050101 20050103"));
  EXPECT_DOUBLE_EQ(run.volume("W1", 1), 50);
  EXPECT_DOUBLE_EQ(run.volume("W1", 1, kGas), 25);
  EXPECT_DOUBLE_EQ(run.volume("W1", 1, kWater), 15);
  EXPECT_DOUBLE_EQ(run.volume("W1", 1, kWaterInj), 40);
  for (const int fluid : {kOil, kGas, kWater, kWaterInj}) {
    EXPECT_EQ(run.volume("W1", 2, fluid), 0) << fluid;  // 0 hours: no value
    EXPECT_EQ(run.well("W1", fluid).cumResult[2], 0) << fluid;
  }
  EXPECT_DOUBLE_EQ(run.volume("W1", 3), 100);
  EXPECT_DOUBLE_EQ(run.volume("W1", 3, kGas), 50);
  EXPECT_DOUBLE_EQ(run.volume("W1", 3, kWaterInj), 40);
  EXPECT_EQ(run.volume("W2", 2), 0);  // equation-driven, still no value
  EXPECT_DOUBLE_EQ(run.volume("W2", 3), 300);
  EXPECT_EQ(run.node("W1").hasVolume[kWaterInj], 1);

  // Gas and water taken as ratios of the day's oil are halved once, like the
  // oil itself: the oil volume already counts the 12 hours.
  Allocated ratios(theoretical("Well W3\n",
                               "#welltest\n*date oil gor bsw\n*Well W3\n20041215 100 500 20\n"
                               "#end\n#time\n*Well W3\n1 12\n#end\n",
                               "20050101 20050102"));
  EXPECT_DOUBLE_EQ(ratios.volume("W3", 1), 50);             // 100 x 12 / 24
  EXPECT_DOUBLE_EQ(ratios.volume("W3", 1, kGas), 25);       // 500 x 50 x 0.001
  EXPECT_NEAR(ratios.volume("W3", 1, kWater), 12.5, 1e-9);  // 50 x 20 / 80
  EXPECT_DOUBLE_EQ(ratios.volume("W3", 2, kGas), 50);       // 24 hours: 500 x 100 x 0.001
}

TEST(TheoreticalVolumes, GasAndWaterRatios) {
  // W1's oil is allocated (80 of its 100): gas follows the allocated oil.
  // T2 measures gas only, so W2's oil stays theoretical (80).
  Allocated gas(
      std::string("#control\n*period 20050101 20050101\n#end\n") +
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\n*TF T2\nWell W2\n#end\n"
      "#volume\n*TF T1\n*date oil gas\n20050101 80 1000\n*TF T2\n*date gas\n20050101 1000\n"
      "#end\n#welltest\n*date oil gor\n*Well W1\n20041215 100 500\n"
      "*Well W2\n20041215 80 500\n#end\n");
  EXPECT_DOUBLE_EQ(gas.well("W1").dayResult[1], 80);
  EXPECT_DOUBLE_EQ(gas.volume("W1", 1, kGas), 40);  // 500 x 80 x 0.001
  EXPECT_EQ(gas.well("W2").dayResult[1], 0);
  EXPECT_DOUBLE_EQ(gas.volume("W2", 1, kGas), 40);

  const std::string wells = "Well W1\nWell W2\n";
  Allocated percent(theoretical(wells,
                                "#welltest\n*date oil bsw\n*Well W1\n20041215 100 20\n"
                                "*Well W2\n20041215 100 120\n#end\n",
                                "20050101 20050101"));
  EXPECT_NEAR(percent.volume("W1", 1, kWater), 25, 1e-9);  // 100 x 20 / 80
  EXPECT_EQ(percent.volume("W2", 1, kWater), 0);
  Allocated fraction(
      theoretical(wells,
                  "#welltest\n*BswFraction\n*date oil bsw\n*Well W1\n20041215 100 0.2\n"
                  "*Well W2\n20041215 100 1.2\n#end\n",
                  "20050101 20050101"));
  EXPECT_NEAR(fraction.volume("W1", 1, kWater), 25, 1e-4);  // 100 x 0.2 / 0.8
  EXPECT_EQ(fraction.volume("W2", 1, kWater), 0);
}

TEST(TheoreticalVolumes, SecondStageRatiosOnTheFirstStageWells) {
  Allocated run(
      std::string("#control\n*period 20050101 20050101\n#end\n") +
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\n"
      "*TF T2 *2ndStage *gor 600 *bsw 20\n#end\n"
      "#volume\n*TF T1\n*date oil\n20050101 150\n*TF T2\n*date gas water\n20050101 180 30\n"
      "#end\n#welltest\n*BswFraction\n*date oil GAS WATER\n*Well W1\n20041215 60 500 7\n"
      "*Well W2\n20041215 40 500 7\n#end\n");
  ASSERT_EQ(run.rs.pomTable.at(1)->stage, 2);
  // T2 re-evaluates T1's wells on their allocated oil (90 and 60), ignoring
  // their gas and water methods; the bsw is a percentage whatever the tests use.
  EXPECT_DOUBLE_EQ(run.volume("W1", 1, kGas), 54);  // 600 x 90 x 0.001
  EXPECT_DOUBLE_EQ(run.volume("W2", 1, kGas), 36);
  EXPECT_EQ(run.source("W1", 1, kGas), kMethodWelltest);  // left from T1's evaluation
  EXPECT_DOUBLE_EQ(run.volume("W1", 1, kWater), 22.5);    // 90 x 20 / 80
  EXPECT_DOUBLE_EQ(run.volume("W2", 1, kWater), 15);
  // T2 allocates its measured gas to them: 180 / 90.
  EXPECT_DOUBLE_EQ(run.rs.pomTable[1]->fieldFactor[kGas][1], 2.0);
  EXPECT_EQ(run.rs.pomTable[0]->fieldFactor[kGas][1], 0);
  EXPECT_DOUBLE_EQ(run.well("W1", kGas).dayResult[1], 108);
  EXPECT_DOUBLE_EQ(run.well("W2", kWater).dayResult[1], 12);  // 15 x 30 / 37.5
}

TEST(TheoreticalVolumes, DaysWithoutUsableTestCarryTheLastValue) {
  Allocated run(std::string("#control\n*period 20050101 20050103\n#end\n") +
                    "#network\n*TF T1\nWell W1 *Oil *Welltest\nWell W2 *Oil *Welltest\n"
                    "Well W3 *Oil *Decline\n#end\n"
                    "#volume\n*TF T1\n*date oil\n20050101 1\n#end\n"
                    "#welltest\n*date oil\n*Well W1\n20041215 100\n20050102 999\n#end\n"
                    "#equation\n*Well W3\n*Oil *Decline 20050101 300 0 0\n#end\n",
                false);
  // Take the tests of day 2 of W1 and of every slot of W2 and W3 out of use.
  (*run.node("W1").testDays)[2].valid = 0;
  for (BaTestDay& test : *run.node("W2").testDays) test.valid = 0;
  for (BaTestDay& test : *run.node("W3").testDays) test.valid = 0;
  computeTheoreticalVolumes(run.rs, 0, kOil, false);

  EXPECT_DOUBLE_EQ(run.volume("W1", 1), 100);
  EXPECT_DOUBLE_EQ(run.volume("W1", 2), 100);  // day 1's rate, not 999
  EXPECT_EQ(run.source("W1", 2), kMethodWelltest);
  EXPECT_DOUBLE_EQ(run.volume("W1", 3), 999);
  for (const int day : {1, 2, 3}) {
    EXPECT_EQ(run.volume("W2", day), 0);
    EXPECT_EQ(run.source("W2", day), -1);          // nothing recorded yet
    EXPECT_DOUBLE_EQ(run.volume("W3", day), 300);  // equation-driven: no test needed
  }

  WellEvaluation eval;
  eval.rate = 42;
  EXPECT_EQ(oilChain(run.rs, run.node("W2"), 2, eval), -1);
  EXPECT_EQ(eval.rate, 42);
  EXPECT_EQ(eval.method, -1);
}

TEST(TheoreticalVolumes, NastyInputStoresOnlyFiniteNumbers) {
  Allocated run(std::string("#control\n*period 20050101 20050131\n#end\n") +
                "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2 *Oil *Decline\n"
                "Well W3 *Oil *Decline\nWell W4 *Oil *hyperbolic\nWell W5 *Oil *Decline\n"
                "*TF T2 *2ndStage *bsw 100\n#end\n"
                "#volume\n*TF T1\n*date oil gas water\n20050101 100 100 100\n20050102 0 0 50\n"
                "20050103 -100 0 100\n*TF T2\n*date water\n20050101 100\n#end\n"
                "#welltest\n*date oil bsw\n*Well W1\n20041215 100 100\n#end\n"
                "#equation\n*Well W2\n*Oil *Decline 20050101 300 150 0\n"
                "*Well W3\n*Oil *Decline 29991231 300 10 0\n"
                "*Well W4\n*Oil *hyperbolic 29991231 300 10 0.3\n"
                "*Well W5\n*Oil *Decline 20050101 3e38 0.5 -1\n#end\n");
  for (const auto& node : run.rs.nodeTable) {
    for (int f = 0; f < kFluidSlots; ++f) {
      EXPECT_TRUE(std::isfinite(node->runTotalA[f]) && std::isfinite(node->runTotalB[f]));
      for (int d = 0; d < kDaySlots; ++d) {
        const BaFluidDays& days = node->fluids[f];
        EXPECT_TRUE(std::isfinite(days.volume[d]) && std::isfinite(days.dayResult[d]) &&
                    std::isfinite(days.cumResult[d]))
            << node->name << " fluid " << f << " day " << d;
      }
    }
  }
  for (const auto& pom : run.rs.pomTable) {
    for (int f = 0; f < kFluidSlots; ++f) {
      for (int d = 0; d < kDaySlots; ++d) EXPECT_TRUE(std::isfinite(pom->fieldFactor[f][d]));
    }
  }
  EXPECT_EQ(run.volume("W1", 1, kWater), 0);  // BS&W 100: no water-oil ratio
  EXPECT_EQ(run.volume("W1", 5, kWater), 0);
}

}  // namespace
}  // namespace zelba
