// Theoretical volumes of wells: the daily loop (hours on, qualifiers, carried
// values, second stages) and the oil, gas, water and injection methods.
#include <gtest/gtest.h>

#include <algorithm>
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
  BaNode& node(const std::string& name) {
    const int count = rs.nodeCount();
    BaNode& well = *rs.nodeTable.at(findNode(rs, "Well", name));
    EXPECT_EQ(rs.nodeCount(), count) << "no well " << name;
    return well;
  }
  BaFluidDays& well(const std::string& name, int fluid = kOil) { return node(name).fluids[fluid]; }
  struct Volume {
    std::string well;
    int day;
    double volume;
    int fluid = kOil;
  };
  // Theoretical volumes, within 1e-7 of their value (inputs are single precision).
  void expect(std::initializer_list<Volume> volumes) {
    for (const Volume& v : volumes) {
      EXPECT_NEAR(well(v.well, v.fluid).volume[v.day], v.volume, std::max(1e-9, v.volume * 1e-7))
          << v.well << " day " << v.day << " fluid " << v.fluid;
    }
  }
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

// One theoretical well per row, named W1, W2, ... in row order.
struct Row {
  const char* methods;   // its method lists, after "Well Wn"
  const char* test;      // values of its test of 20041215 (none when empty)
  const char* equation;  // its "#equation" lines
  double expected;       // its volume of `fluid` on the day checked
  int fluid = kOil;
};

// Runs the rows and checks each well's volume on `day`.
template <size_t N>
Allocated runRows(const char* testHeader, const Row (&rows)[N], const char* period, int day) {
  std::string wells, tests = std::string("#welltest\n") + testHeader + "\n", equations;
  for (size_t i = 0; i < N; ++i) {
    const std::string name = "W" + std::to_string(i + 1);
    wells += "Well " + name + " " + rows[i].methods + "\n";
    if (*rows[i].test) tests += "*Well " + name + "\n20041215 " + rows[i].test + "\n";
    equations += "*Well " + name + "\n" + rows[i].equation + "\n";
  }
  Allocated run(theoretical(wells, tests + "#end\n#equation\n" + equations + "#end\n", period));
  for (size_t i = 0; i < N; ++i)
    run.expect({{"W" + std::to_string(i + 1), day, rows[i].expected, rows[i].fluid}});
  return run;
}

TEST(OilMethods, EachMethodOnItsOwnWell) {
  // Day 31 lies 30 days after 20050101 and 487 days (16 months of 30.4375
  // days) after 20031002.
  const double declined = 300 * std::pow(0.9, 30 / 30.4375);
  const Row rows[] = {
      {"*Oil *Decline", "", "*Oil *Decline 20050101 300 10 0", declined},
      {"*Oil *Decline", "", "*Oil *Decline 20050101 300 0.1 0", declined},       // 0.1 = 10 %
      {"*Oil *hyperbolic", "", "*Oil *hyperbolic 20050101 300 10 0", declined},  // exponent 0
      {"*Oil *Decline", "", "*Oil *Decline 20050101 300 0 0", 300},              // no decline
      {"*Oil *Decline", "", "*Oil *Decline 0 300 10 0", 0},  // no reference date
      // Harmonic 1000 / (1 + 0.1 x 16); hyperbolic 1000 / (1 + 0.5 x 0.1 x 16)^2.
      {"*Oil *Decline", "", "*Oil *Decline 20031002 1000 0.1 1", 384.615384615},
      {"*Oil *Decline", "", "*Oil *Decline 20031002 1000 0.1 0.5", 308.641975309},
      {"*Oil *pi *Welltest", "100 800", "*Oil *pi 0.5 2000", 600},  // (2000 - 800) x 0.5
      // whfp above the reservoir pressure: "pi" fails, the well test follows.
      {"*Oil *pi *Welltest", "100 2500", "*Oil *pi 0.5 2000", 100},
      // 1200 bbl/d at 2400 psi against 4200 gives a maximum of 1921.568627; at
      // 1000 psi 1921.568627 x (1 - 0.2 x 0.238095 - 0.8 x 0.056689).
      {"*Oil *Vogel", "100 1000", "*Oil *Vogel 1921.568627 4200", 1742.919390},
      // 0.25 x (2000^2 - 1000^2)^0.5 = 0.25 x 1732.050808
      {"*Oil *Fetkovich", "100 1000", "*Oil *Fetkovich 0.25 0.5 2000", 433.012702},
      {"*Oil *WellChar", "100 500", "*Oil *WellChar 2 100", 200},  // (500 - 100) / 2
      // An oil constant of 0 ends the chain with 0; "pct" ends it with its share.
      {"*Oil *Const *Welltest", "100 0", "*Oil *Const 0", 0},
      {"*Oil *pct *Welltest", "100 0", "*Oil *pct 25", 25},
      {"*Oil *polynomial", "", "*Oil *polynomial *days 10 2 0.5", 552.5},  // 10 + 62 + 0.5 x 31^2
  };
  Allocated run = runRows("*date oil whfp", rows, "20050101 20050131", 31);
  EXPECT_EQ(run.well("W1").volume[1], 300);               // on its reference date: qi exactly
  EXPECT_EQ(run.well("W9").source[31], kMethodWelltest);  // after "pi" failed
  EXPECT_EQ(declineRate(run.rs, run.node("W1"), 0, kOil).status, -1);  // opening slot: no time
  EXPECT_EQ(declineRate(run.rs, run.node("W5"), 5, kOil).status, -1);

  const Row nominal[] = {
      // 300 e^(-0.1 x 16)
      {"*Oil *Decline", "", "*Nominal\n*Oil *Decline 20031002 300 10 0", 60.5689553984}};
  runRows("*date oil", nominal, "20050101 20050131", 31);
}

TEST(GasAndWaterChains, RatiosConstantsAndMethodOrder) {
  const Row rows[] = {
      // A gas constant of 0 does not end the chain: the GAS column is used.
      {"*Gas *Const *Welltest", "100 30 0 0", "*Gas *Const 0", 30, kGas},
      {"*Gas *Measured *Welltest", "100 30 0 0", "", 0, kGas},  // "Measured" first: no gas
      // Gas and water constants are ratios on the oil of 100.
      {"*Gas *Const", "100 0 0 0", "*Gas *Const 400", 40, kGas},       // 400 x 100 x 0.001
      {"*Water *Const", "100 0 0 0", "*Water *Const 20", 25, kWater},  // 100 x 20 / 80
      {"", "100 0 500 20", "", 50, kGas},                              // GAS 0: by the gor
      {"", "100 0 500 20", "", 25, kWater},
      {"", "100 0 0 100", "", 0, kWater},  // BS&W 100: no water-oil ratio
      {"", "100 0 0 120", "", 0, kWater},
  };
  Allocated run = runRows("*date oil GAS gor bsw", rows, "20050101 20050101", 1);
  // "Welltest" keeps the status 0 of "Const", so the chain runs on through the
  // unset entries and ends on "Measured".
  EXPECT_EQ(run.well("W1", kGas).source[1], kMethodMeasured);

  // "*BswFraction": 100 x 0.2 / 0.8; a BS&W of 1 gives no ratio.
  const Row fractions[] = {{"", "100 0.2", "", 25, kWater}, {"", "100 1", "", 0, kWater}};
  runRows("*BswFraction\n*date oil bsw", fractions, "20050101 20050101", 1);

  // W1's oil is allocated (80 of its 100): gas follows the allocated oil.
  // T2 measures gas only, so W2's oil stays theoretical (80).
  Allocated gas(
      "#control\n*period 20050101 20050101\n#end\n"
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\n*TF T2\nWell W2\n#end\n"
      "#volume\n*TF T1\n*date oil gas\n20050101 80 1000\n*TF T2\n*date gas\n20050101 1000\n"
      "#end\n#welltest\n*date oil gor\n*Well W1\n20041215 100 500\n"
      "*Well W2\n20041215 80 500\n#end\n");
  gas.expect({{"W1", 1, 40, kGas}, {"W2", 1, 40, kGas}});  // 500 x 80 x 0.001
}

TEST(OilMethods, KhDatedAndInterpolated) {
  const std::string kh = "*Well W1\n*Oil\n*ZEL date kh\n20050101 100\n20050111 200\n#end\n";
  Allocated dated(theoretical("Well W1 *Oil *Kh\n", "#equation\n" + kh));
  Allocated interpolated(theoretical("Well W1 *Oil *Kh\n", "#equation\n*Interpolate\n" + kh));
  // Dated: 100 up to day 10, then 200. Interpolated, day d is read at
  // periodStart + d: 100 + 10 d up to day 9.
  dated.expect({{"W1", 10, 100}, {"W1", 11, 200}});
  interpolated.expect({{"W1", 9, 190}, {"W1", 10, 200}});

  // Rows on all 31 days (kh 100 + day) plus one before and one after the
  // period: 33 points, all kept.
  std::string rows = "#equation\n*Interpolate\n*Well W1\n*Oil\n*ZEL date kh\n20041201 0\n";
  for (int d = 1; d <= 31; ++d)
    rows += std::to_string(20050100 + d) + " " + std::to_string(100 + d) + "\n";
  Allocated full(theoretical("Well W1 *Oil *Kh\n", rows + "20050302 1000\n#end\n"));
  // 20050201 lies 1 of the 30 days from 20050131 (131) to 20050302 (1000).
  full.expect({{"W1", 31, 131 + 869.0 / 30}});
}

TEST(OilMethods, TransientIndexCountsTheTestAgeInHours) {
  // h 50, porosity 20 %, rw 6 in, k 100, c 1e-5; Bo 1.2, viscosity 1.
  Allocated run(
      theoretical("Well W1 *Oil *transient\n",
                  "#equation\n*Well W1\n*PVTPROP 0 0 1.2 1\n*wellProp 50 20 6 100 0 1e-5\n"
                  "*dateinfo 20041222 0 90\n#end\n"),
      false);
  BaNode& w1 = run.node("W1");
  // k h / ((ln(k t / (phi c rw^2)) - 7.4316) B mu 70.6), t = 10 days = 240 hours.
  const double d = (std::log(100 * 240 / (20 * 1e-5 * 0.25 * 0.01)) - 7.4316) * 1.2 * 70.6;
  const Eval index = transientProductivity(run.rs, w1, 10);
  EXPECT_EQ(index.status, 1);
  EXPECT_NEAR(index.value, 100 * 50 / d, 1e-6 * index.value);

  EXPECT_EQ(testAge(run.rs, w1, 10).age, 20);  // 20041222 to 20050111
  EXPECT_EQ(testAge(run.rs, w1, 10).flag, 1);
  w1.wellProp->slot[8] = 15;  // an age limit of 15 days
  EXPECT_EQ(testAge(run.rs, w1, 10).flag, 0);
  w1.wellProp->dateInfo[1] = 20050105;  // the second date takes precedence
  EXPECT_EQ(testAge(run.rs, w1, 10).age, 6);
}

TEST(OilMethods, WellTestInterpolation) {
  // W1 has tests read for slots 0, 5 and 15; W2 for slots 0 and 15 only.
  Allocated run(theoretical(
      "Well W1 *Oil *interpolate\nWell W2 *Oil *interpolate *Welltest\n",
      "#welltest\n*date oil\n*Well W1\n20041215 100\n20050105 200\n20050115 400\n"
      "*Well W2\n20041215 100\n20050115 400\n#end\n"
      "#equation\n*Well W1\n*Oil *interpolate *days\n*Well W2\n*Oil *interpolate *days\n#end\n"));
  // The opening value before slot 5, then linear: day 12 is 200 + 7 x 20;
  // the last value after slot 15.
  run.expect({{"W1", 4, 100}, {"W1", 5, 200}, {"W1", 12, 340}, {"W1", 20, 400}});
  // Two tests are not enough: the well test of the day (carried from slot 0) is used.
  run.expect({{"W2", 10, 100}});
  EXPECT_EQ(run.well("W2").source[10], kMethodWelltest);
}

TEST(OilMethods, WellWatchRateAndChokeEquation) {
  // Gilbert: 600 bbl/d at a gas-liquid ratio of 0.4 through 22/64 in gives
  // 459.395139 psig. Calibrated there, the well watch's 460 psig and 24/64 in
  // of day 1 give 600 x (24 / 22)^1.89 x 460 / 459.395139 = 708.179036, and
  // day 2's 459.395139 psig and 22/64 in give 600.
  const char* watch = "20050101 00:00:00 460 24 80\n20050102 00:00:00 459.395139 22 80\n";
  std::string watches;
  for (const char* well : {"W1", "W2", "W4", "W5"})
    watches += std::string("*Well ") + well + "\n" + watch;
  Allocated run(theoretical(
      "Well W1 *Oil \"*Choke Eq.\"\nWell W2 *Oil \"*Choke Eq.\"\n"
      "Well W3 *Oil \"*Choke Eq.\" *Welltest\nWell W4 *Oil *Welltest\nWell W5 *Oil *Decline\n",
      "#welltest\n*date oil whfp choke\n*Well W1\n20041215 600 459.395139 22\n"
      "*Well W2\n20041215 600 0 0\n*Well W3\n20041215 100 500 32\n*Well W4\n20041215 100 0 0\n"
      "#end\n#equation\n*Well W2\n*Oil \"*Choke Eq.\" 600 459.395139 22\n"
      "*Well W5\n*Oil *Decline 20050101 300 0 0\n#end\n"
      "#time\n*Well W4\n1 12\n*Well W5\n1 12\n#end\n#wellwatch\n*date hms thp choke rate\n" +
          watches + "#end\n",
      "20050101 20050102"));
  // The watch rate (80) does not override "Choke Eq."; without whfp and choke
  // in W2's test, its equation gives the calibration point. W3 has no
  // well-watch pressure: the well test follows. W4 takes the watch rate, not
  // 100, and not halved; W5, with "Decline" first, 300 x 12 / 24.
  run.expect({{"W1", 1, 708.179036}, {"W2", 1, 708.179036}, {"W1", 2, 600}, {"W3", 1, 100}});
  run.expect({{"W4", 1, 80}, {"W5", 1, 150}});
  EXPECT_EQ(run.well("W4").source[1], kSourceWellWatch);
}

TEST(OilMethods, WellTestCalibration) {
  // "choke" in the calibration column takes the point's calibration. W1 is
  // listed again under T2: its volume from T1 stays. T3 has no calibration.
  const char* tests =
      "#welltest\n*date oil calibration\n*Well W1\n20041215 100 choke\n"
      "*Well W2\n20041215 100 1.1\n*Well W3\n20041215 100 choke\n*Well W4\n20041215 100 choke\n"
      "#end\n";
  Allocated run(std::string("#control\n*period 20050101 20050101\n#end\n") +
                "#network\n*Methods *Welltest\n*TF T1 *calibration 0.9\nWell W1\nWell W2\n"
                "*TF T2 *calibration 0.5\nWell W3\nWell W1\n*TF T3\nWell W4\n#end\n"
                "#volume\n*TF T1\n*date oil\n20050101 1\n*TF T2\n20050101 1\n*TF T3\n20050101 1\n"
                "#end\n" +
                tests);
  // 100 x 0.9 of the point; the test's own 1.1; 100 x 0.5; 1.0 without one.
  run.expect({{"W1", 1, 90}, {"W2", 1, 110}, {"W3", 1, 50}, {"W4", 1, 100}});
  // Before any point was evaluated the default is 0: the rate stays 100.
  Allocated theoreticalOnly(theoretical("Well W1\n", tests, "20050101 20050101"));
  theoreticalOnly.expect({{"W1", 1, 100}});
}

TEST(TheoreticalVolumes, HoursOnScaleProductionNotInjection) {
  Allocated run(theoretical(
      "Well W1\nWell W2\n",
      "#welltest\n*date oil GAS WATER WaterInj gor bsw\n*Well W1\n20041215 100 50 30 40 0 0\n"
      "*Well W2\n20041215 100 0 0 0 500 20\n#end\n"
      "#time\n*Well W1\n1 12\n2 0\n*Well W2\n1 12\n#end\n",
      "20050101 20050102"));
  // 12 hours on day 1 halve oil, gas and water but not injection; 0 hours on
  // day 2 give no value, not even an injection.
  run.expect({{"W1", 1, 50}, {"W1", 1, 25, kGas}, {"W1", 1, 15, kWater}, {"W1", 1, 40, kWaterInj}});
  run.expect({{"W1", 2, 0}, {"W1", 2, 0, kWaterInj}});
  // Ratios of the day's oil are halved once, with the oil: 100 x 12 / 24,
  // then gas 500 x 50 x 0.001 and water 50 x 20 / 80.
  run.expect({{"W2", 1, 50}, {"W2", 1, 25, kGas}, {"W2", 1, 12.5, kWater}});
}

TEST(TheoreticalVolumes, SecondStageRatiosOnTheFirstStageWells) {
  Allocated run(
      "#control\n*period 20050101 20050101\n#end\n"
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\n"
      "*TF T2 *2ndStage *gor 600 *bsw 20\n#end\n"
      "#volume\n*TF T1\n*date oil\n20050101 150\n*TF T2\n*date gas water\n20050101 180 30\n"
      "#end\n#welltest\n*BswFraction\n*date oil GAS WATER\n*Well W1\n20041215 60 500 7\n"
      "*Well W2\n20041215 40 500 7\n#end\n");
  // T2 re-evaluates T1's wells on their allocated oil (90 and 60), ignoring
  // their gas and water methods; the bsw is a percentage whatever the tests use.
  // 600 x 90 x 0.001 and 600 x 60 x 0.001; 90 x 20 / 80 and 60 x 20 / 80.
  run.expect(
      {{"W1", 1, 54, kGas}, {"W2", 1, 36, kGas}, {"W1", 1, 22.5, kWater}, {"W2", 1, 15, kWater}});
  EXPECT_EQ(run.well("W1", kGas).source[1], kMethodWelltest);  // left from T1's evaluation
  // T2 allocates its measured gas to them: 54 x 180 / 90; water 15 x 30 / 37.5.
  EXPECT_DOUBLE_EQ(run.well("W1", kGas).dayResult[1], 108);
  EXPECT_DOUBLE_EQ(run.well("W2", kWater).dayResult[1], 12);
}

TEST(TheoreticalVolumes, DaysWithoutUsableTestCarryTheLastValue) {
  Allocated run(
      "#control\n*period 20050101 20050103\n#end\n"
      "#network\n*TF T1\nWell W1 *Oil *Welltest\nWell W2 *Oil *Welltest\nWell W3 *Oil *Decline\n"
      "#end\n#volume\n*TF T1\n*date oil\n20050101 1\n#end\n"
      "#welltest\n*date oil\n*Well W1\n20041215 100\n20050102 999\n#end\n"
      "#equation\n*Well W3\n*Oil *Decline 20050101 300 0 0\n#end\n",
      false);
  // Take the tests of day 2 of W1 and of every slot of W2 and W3 out of use.
  (*run.node("W1").testDays)[2].valid = 0;
  for (BaTestDay& test : *run.node("W2").testDays) test.valid = 0;
  for (BaTestDay& test : *run.node("W3").testDays) test.valid = 0;
  computeTheoreticalVolumes(run.rs, 0, kOil, false);

  // W1 keeps day 1's rate on day 2, not 999; W2 never had one; W3 is
  // equation-driven and needs no test.
  run.expect({{"W1", 2, 100}, {"W1", 3, 999}, {"W2", 2, 0}, {"W3", 2, 300}});
  EXPECT_EQ(run.well("W1").source[2], kMethodWelltest);
  EXPECT_EQ(run.well("W2").source[2], -1);  // nothing recorded yet
}

TEST(TheoreticalVolumes, NastyInputStoresOnlyFiniteNumbers) {
  // Measured oil 0 and negative, a second-stage bsw of 100, declines of
  // 150 %, from the far future and of 3e38 with a negative exponent.
  Allocated run(
      "#control\n*period 20050101 20050131\n#end\n"
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2 *Oil *Decline\n"
      "Well W3 *Oil *Decline\nWell W4 *Oil *hyperbolic\nWell W5 *Oil *Decline\n"
      "*TF T2 *2ndStage *bsw 100\n#end\n"
      "#volume\n*TF T1\n*date oil gas water\n20050101 100 100 100\n20050102 0 0 50\n"
      "20050103 -100 0 100\n*TF T2\n*date water\n20050101 100\n#end\n"
      "#welltest\n*date oil bsw\n*Well W1\n20041215 100 100\n#end\n"
      "#equation\n*Well W2\n*Oil *Decline 20050101 300 150 0\n"
      "*Well W3\n*Oil *Decline 29991231 300 10 0\n*Well W4\n*Oil *hyperbolic 29991231 300 10 0.3\n"
      "*Well W5\n*Oil *Decline 20050101 3e38 0.5 -1\n#end\n");
  auto finite = [](const auto& values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
  };
  for (const auto& node : run.rs.nodeTable) {
    EXPECT_TRUE(finite(node->runTotalA) && finite(node->runTotalB)) << node->name;
    for (const BaFluidDays& f : node->fluids)
      EXPECT_TRUE(finite(f.volume) && finite(f.dayResult) && finite(f.cumResult)) << node->name;
  }
  for (const auto& pom : run.rs.pomTable)
    for (const auto& factors : pom->fieldFactor) EXPECT_TRUE(finite(factors));
}

}  // namespace
}  // namespace zelba
