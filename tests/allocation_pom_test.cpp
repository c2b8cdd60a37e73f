// Point-of-measurement allocation (field factor, fixed shares, precision and
// remainder, shrinkage, stock, range codes, target band, routes, levels) and
// the fluid passes (starting point, monthly mode, theoretical-only fluids).
#include <gtest/gtest.h>

#include <string>

#include "allocation/fluid_pass.h"
#include "allocation/pom_allocation.h"
#include "engine/driver.h"
#include "input/sections.h"

namespace zelba {
namespace {

// One complete run of an inline input file; the state is kept for inspection.
// Nodes are named "W1" for a well, else "TYPE name".
struct Allocated {
  explicit Allocated(const std::string& text) {
    resetRunState(rs);
    InputReader reader;
    reader.openText(text);
    readSections(rs, reader);
    prepareRun(rs);
    allocateRun(rs);
  }
  BaNode& node(const std::string& label) {
    const size_t space = label.find(' ');
    const std::string type = space == std::string::npos ? "Well" : label.substr(0, space);
    const int count = rs.nodeCount();
    const int index = findNode(rs, type, label.substr(space == std::string::npos ? 0 : space + 1));
    EXPECT_EQ(rs.nodeCount(), count) << "no node " << label;
    return *rs.nodeTable.at(index);
  }
  BaFluidDays& fluid(const std::string& label, int fluid = kOil) {
    return node(label).fluids[fluid];
  }
  struct Result {
    const char* node;
    int day;
    double allocated;
    int fluid = kOil;
  };
  void expect(std::initializer_list<Result> results) {
    for (const Result& r : results) {
      EXPECT_NEAR(fluid(r.node, r.fluid).dayResult[r.day], r.allocated, 1e-9)
          << r.node << " day " << r.day << " fluid " << r.fluid;
    }
  }
  // The oil field factors of point `pom` from day 1 on.
  void expectFactors(int pom, std::initializer_list<double> factors) {
    int day = 0;
    for (const double f : factors) {
      EXPECT_NEAR(rs.pomTable.at(pom)->fieldFactor[kOil][++day], f, 1e-12) << "day " << day;
    }
  }
  RunState rs;
};

std::string period(const char* first, const char* last, const char* options = "") {
  return std::string("#control\n*period ") + first + " " + last + "\n" + options + "\n#end\n";
}

// Wells W1 and W2 of point T1 (`network` may add members and points) and
// tests giving W1, W2 and W3 a theoretical oil of 60, 40 and 50 every day
// (W1 also 30 of water), then the other `sections`.
std::string wells(const std::string& control, const char* network, const std::string& sections) {
  return control + "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\n" + network +
         "#end\n#welltest\n*date oil WATER\n*Well W1\n20041215 60 30\n*Well W2\n20041215 40 0\n"
         "*Well W3\n20041215 50 0\n#end\n" +
         sections;
}

TEST(PomAllocation, FieldFactorScalesTheoreticalVolumes) {
  // Day 1: 150 / (60 + 40) = 1.5. Day 2: no well produces, so the base is 0:
  // no factor, nothing allocated, but the point keeps its measured volume.
  Allocated run(wells(period("20050101", "20050102"), "",
                      "#volume\n*TF T1\n*date oil\n20050101 150\n20050102 150\n#end\n"
                      "#time\n*Well W1\n2 0\n*Well W2\n2 0\n#end\n"));
  run.expectFactors(0, {1.5, 0});
  run.expect({{"W1", 1, 90}, {"W2", 1, 60}, {"TF T1", 1, 150}, {"W1", 2, 0}, {"TF T1", 2, 150}});
  EXPECT_DOUBLE_EQ(run.fluid("W1").cumResult[1], 90);
  EXPECT_DOUBLE_EQ(run.fluid("TF T1").cumResult[1], 150);
  const BaNode& w1 = run.node("W1");
  EXPECT_DOUBLE_EQ(w1.runTotalA[kOil], 60);  // theoretical, day 1 only
  EXPECT_DOUBLE_EQ(w1.runTotalB[kOil], 90);
  EXPECT_EQ(w1.allocated, 1);
}

TEST(PomAllocation, AbsoluteAndPercentMembersTakeTheirShareFirst) {
  // Day 1: W3 is given 10 % of the measured 200, not evaluated from its test:
  // 20, and (200 - 20) / (120 - 20) = 1.8 for the others. Day 2: W3 is shut
  // in, the facility G3 is given an absolute 20: (150 - 20) / (120 - 20).
  Allocated run(wells(period("20050101", "20050102"), "Well W3\nGC G3\n",
                      "#volume\n*TF T1\n*date oil\n20050101 200\n20050102 150\n"
                      "*Well W3\n20050101 10 %\n*GC G3\n20050102 20 a\n#end\n"
                      "#time\n*Well W3\n2 0\n#end\n"));
  run.expectFactors(0, {1.8, 1.3});
  run.expect({{"W3", 1, 20}, {"W1", 1, 108}, {"W2", 1, 72}, {"GC G3", 1, 0}});
  run.expect({{"W1", 2, 78}, {"W2", 2, 52}, {"GC G3", 2, 20}});
}

TEST(PomAllocation, PrecisionCutsAndRemainderGoesToFirstLargestShare) {
  // Three wells of 10 and M = 100: shares of 33.333... are cut to 33, and the
  // 1 left goes to W1, the first of equal shares.
  Allocated run(
      period("20050101", "20050101") +
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\nWell W3\n#end\n"
      "#volume\n*TF T1\n*date oil\n20050101 100\n#end\n"
      "#welltest\n*date oil\n*Well W1\n20041215 10\n*Well W2\n20041215 10\n*Well W3\n20041215 10\n"
      "#end\n");
  run.expect({{"W1", 1, 34}, {"W2", 1, 33}, {"W3", 1, 33}});
  EXPECT_DOUBLE_EQ(run.node("W1").runTotalB[kOil], 34);

  RunControl rc;
  rc.precision = 2;
  rc.precisionScale = 100;
  EXPECT_DOUBLE_EQ(roundToPrecision(rc, 12.34567), 12.34);  // truncated, not rounded
  EXPECT_DOUBLE_EQ(roundToPrecision(rc, -12.34567), -12.34);
  rc.precision = 0;
  rc.precisionScale = 1;
  EXPECT_EQ(roundToPrecision(rc, 2.99995), 3);  // 2.99995 + 0.0001 = 3.00005
}

TEST(PomAllocation, ShrinkageAtFacilitiesAndStock) {
  const char* member = "Well W1\n#end\n#welltest\n*date oil GAS\n*Well W1\n20041215 100 50\n#end\n";
  // Oil at a facility point shrinks: M = 1000 x 0.95; gas does not.
  Allocated facility(period("20050101", "20050101") +
                     "#network\n*Methods *Welltest\n*TF T1 *shrinkage 0.95\n" + member +
                     "#volume\n*TF T1\n*date oil gas\n20050101 1000 1000\n#end\n");
  EXPECT_NEAR(facility.fluid("W1").dayResult[1], 950, 1e-3);  // 0.95 in single precision
  facility.expect({{"W1", 1, 1000, kGas}});
  // A well-type point ignores its shrinkage; its stock of 15 adds to the oil only.
  Allocated wellPoint(period("20050101", "20050101") +
                      "#network\n*Methods *Welltest\n*Well WP *shrinkage 0.95\n" + member +
                      "#volume\n*Well WP\n*date oil gas stock\n20050101 1000 1000 15\n#end\n");
  wellPoint.expect({{"W1", 1, 1015}, {"W1", 1, 1000, kGas}});
}

TEST(PomAllocation, TopLevelWaterKeepsMeasuredWaterOilRatio) {
  // Day 1: measured oil 900 and water 300, stock -50: the oil to allocate is
  // 850 and the water 850 x 300 / 900 = 283.33 (283 and the remainder to W1).
  // Day 2 has no measured oil: the water to allocate is the measured 300.
  Allocated run(
      period("20050101", "20050102") +
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\n#end\n"
      "#volume\n*TF T1\n*date oil water stock\n20050101 900 300 -50\n20050102 0 300\n#end\n"
      "#welltest\n*date oil WATER\n*Well W1\n20041215 100 30\n#end\n");
  const double water = 850.0 * 300 / 900;
  run.expect({{"TF T1", 1, 850}, {"TF T1", 1, water, kWater}, {"W1", 1, water, kWater}});
  run.expect({{"TF T1", 2, 300, kWater}, {"W1", 2, 300, kWater}});
}

TEST(PomAllocation, FactorOutOfRangeMarksMembersAndAllocatesNothing) {
  // Wells 60 and 40, G3 an absolute 20, G4 a member without any volume.
  const struct {
    const char *range, *measured;
    double factor;
    int code;
  } cases[] = {
      {"", "0", -0.2, kFactorNegative},                  // (0 - 20) / (120 - 20)
      {"*Range 0.8 1.2", "70", 0.5, kFactorBelowRange},  // (70 - 20) / 100
      {"*Range 0.8 1.2", "170", 1.5, kFactorAboveRange},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.measured);
    Allocated run(wells(period("20050101", "20050101", c.range), "GC G3\nGC G4\n",
                        "#volume\n*TF T1\n*date oil\n20050101 " + std::string(c.measured) +
                            "\n*GC G3\n20050101 20 a\n#end\n"));
    run.expectFactors(0, {c.factor});
    run.expect({{"W1", 1, 0}, {"W2", 1, 0}, {"GC G3", 1, 0}});
    for (const char* name : {"W1", "W2", "GC G3", "GC G4"}) {
      EXPECT_EQ(run.node(name).excluded, c.code) << name;
    }
    EXPECT_EQ(run.node("TF T1").excluded, 0);
  }
  RunControl rc;
  rc.rangeMin = 0.8;
  rc.rangeMax = 1.2;
  EXPECT_EQ(checkFactorRange(rc, 0.8), kInRange);  // the range is closed
  EXPECT_EQ(checkFactorRange(rc, 1.2), kInRange);
  EXPECT_EQ(checkFactorRange(RunControl{}, 0), kInRange);  // without *Range a factor of 0 passes
}

TEST(PomAllocation, TargetBandKeepsTheoreticalVolumes) {
  // F = 1.02 lies inside: unscaled volumes, no remainder, stored factor 1.02.
  // F = 1.06 lies outside: 63.6 -> 63, 42.4 -> 42, remainder 1 to W1. The
  // band is open: F = 1.05 scales (63 and 42).
  Allocated run(
      wells(period("20050101", "20050103", "*Target 0.95 1.05"), "",
            "#volume\n*TF T1\n*date oil\n20050101 102\n20050102 106\n20050103 105\n#end\n"));
  run.expectFactors(0, {1.02, 1.06, 1.05});
  run.expect(
      {{"W1", 1, 60}, {"W2", 1, 40}, {"W1", 2, 64}, {"W2", 2, 42}, {"W1", 3, 63}, {"W2", 3, 42}});
}

TEST(PomAllocation, MemberRoutedElsewhereIsSkippedThatDayOnly) {
  // Day 2: W1 flows to T2, which does not list it; W2 takes all of T1's 150
  // (150 / 40), and T2 allocates only to its own member.
  Allocated run(wells(period("20050101", "20050103"), "*TF T2\nWell W3\n",
                      "#volume\n*TF T1\n*date oil\n20050101 150\n20050102 150\n20050103 150\n"
                      "*TF T2\n20050101 100\n20050102 100\n20050103 100\n#end\n"
                      "#time\n*Well W1\n2 24 TF T2\n3 24 TF T1\n#end\n"));
  run.expectFactors(0, {1.5, 3.75, 1.5});
  run.expect({{"W1", 1, 90}, {"W1", 2, 0}, {"W2", 2, 150}, {"W3", 2, 100}, {"W1", 3, 90}});
}

TEST(PomAllocation, MonthlyModeAllocatesThePeriodOnce) {
  // M = 451 over a base of 300: F = 1.50333 stored at day 1 only; W1 90.2 ->
  // 90 and W2 60.13 -> 60 each day, the 1 left goes to W1 on day 1.
  Allocated run(
      wells(period("20050101", "20050103", "*monthly"), "",
            "#volume\n*TF T1\n*date oil\n20050101 150\n20050102 150\n20050103 151\n#end\n"));
  run.expectFactors(0, {451.0 / 300, 0, 0});
  run.expect({{"W1", 1, 91}, {"W1", 2, 90}, {"W2", 3, 60}});
}

TEST(PomAllocation, LowerLevelAllocatesWhatTheLevelAboveGave) {
  // G1 (top level) allocates to T1 and T2, which allocate to their wells.
  auto levels = [](const char* options) {
    return period("20050101", "20050102", options) +
           "#network\n*Methods *Welltest\n*GC G1\nTF T1\nTF T2\n*TF T1\nWell W1\nWell W2\n"
           "*TF T2\nWell W3\n#end\n"
           "#volume\n*GC G1\n*date oil\n20050101 300\n20050102 200\n"
           "*TF T1\n*date oil stock\n20050101 100 10\n20050102 100 0\n"
           "*TF T2\n*date oil\n20050101 100\n20050102 100\n#end\n"
           "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\n"
           "*Well W3\n20041215 50\n#end\n";
  };
  // Day 1: G1 300 / (100 + 100); T1 received 150 and adds its stock of 10:
  // 160 / 100; T2 received 150. Day 2: G1's factor is 1.
  Allocated daily(levels(""));
  daily.expectFactors(0, {1.5, 1});
  daily.expect({{"TF T1", 1, 160}, {"W1", 1, 96}, {"W3", 1, 150}, {"W1", 2, 60}});
  // Monthly: T1 allocates its period total from G1 (500 / 400 x 200 = 250),
  // not its own measured 200, and no stock: 250 / 200.
  Allocated monthly(levels("*monthly"));
  monthly.expectFactors(1, {1.25});
  monthly.expect({{"W1", 1, 75}, {"W2", 2, 50}});
  // G1's factor 1.5 on day 1 is out of range: T1 and T2 are marked 104 and
  // allocate nothing, also on day 2 when G1 gives T1 its share again.
  Allocated excluded(levels("*Range 0.8 1.2"));
  EXPECT_EQ(excluded.node("TF T1").excluded, kFactorAboveRange);
  EXPECT_EQ(excluded.node("W1").excluded, 0);
  excluded.expect({{"W3", 1, 0}, {"TF T1", 2, 100}, {"W1", 2, 0}});
}

TEST(FluidPass, AllocationStartsAtTheStartingPoint) {
  // "*from TF" starts at T3, the third point: G1 and P1 are neither evaluated
  // nor allocated; T3 allocates its own 120 / 60.
  Allocated run(period("20050101", "20050101") +
                "#network\n*Methods *Welltest\n*GC G1\nWell W1\n*POS P1\nWell W2\n*TF T3\nWell W3\n"
                "#end\n#control\n*from TF\n#end\n"
                "#volume\n*GC G1\n*date oil\n20050101 100\n*POS P1\n20050101 100\n"
                "*TF T3\n20050101 120\n#end\n"
                "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 60\n"
                "*Well W3\n20041215 60\n#end\n");
  for (const char* name : {"W1", "W2", "GC G1"}) EXPECT_EQ(run.node(name).allocated, 0) << name;
  EXPECT_EQ(run.fluid("W1").volume[1], 0);
  run.expectFactors(2, {2.0});
  run.expect({{"W3", 1, 120}});
}

TEST(FluidPass, TheoreticalOnlyFluids) {
  // Oil is theoretical although measured: each well's theoretical volume is
  // allocated, no field factor; the point sums its members' volumes, the
  // facility's measured 5 included. Water has neither mode and is skipped.
  // W2's volume given in #volume on day 2 is its allocated volume there, as
  // the point's total counts it.
  Allocated run(wells(period("20050101", "20050102", "*Theoretical Oil"), "GC G3\n",
                      "#volume\n*TF T1\n*date oil\n20050101 150\n20050102 150\n"
                      "*GC G3\n*date oil\n20050101 5\n*Well W2\n*date oil\n20050102 15 a\n"
                      "#end\n"));
  run.expectFactors(0, {0, 0});
  run.expect({{"W1", 2, 60}, {"W2", 1, 40}, {"W2", 2, 15}});
  EXPECT_DOUBLE_EQ(run.fluid("W1").cumResult[2], 60);
  EXPECT_DOUBLE_EQ(run.fluid("W2").cumResult[2], 15);
  EXPECT_DOUBLE_EQ(run.fluid("TF T1").cumResult[1], 105);
  EXPECT_DOUBLE_EQ(run.fluid("TF T1").cumResult[2], 75);
  EXPECT_EQ(run.fluid("TF T1").source[1], kMethodWelltest);
  EXPECT_EQ(run.node("TF T1").allocated, 1);
  EXPECT_EQ(run.node("GC G3").allocated, 1);
  EXPECT_EQ(run.fluid("W1", kWater).volume[1], 0);  // its test has 30
}

}  // namespace
}  // namespace zelba
