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
struct Allocated {
  explicit Allocated(const std::string& text) {
    resetRunState(rs);
    InputReader reader;
    reader.openText(text);
    readSections(rs, reader);
    prepareRun(rs);
    allocateRun(rs);
  }
  BaNode& node(const char* type, const char* name) {
    const int count = rs.nodeCount();
    const int index = findNode(rs, type, name);
    EXPECT_EQ(rs.nodeCount(), count) << "no node " << type << " " << name;
    return *rs.nodeTable.at(index);
  }
  BaFluidDays& oil(const char* type, const char* name) { return node(type, name).fluids[kOil]; }
  BaFluidDays& well(const char* name, int fluid = kOil) { return node("Well", name).fluids[fluid]; }
  double factor(int pom, int fluid, int day) {
    return rs.pomTable.at(pom)->fieldFactor[fluid][day];
  }

  RunState rs;
};

std::string period(const char* first, const char* last) {
  return std::string("#control\n*period ") + first + " " + last + "\n#end\n";
}

// Two wells of point T1 whose theoretical oil is 60 and 40 every day.
const char* kTwoWells =
    "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\n#end\n"
    "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\n#end\n";

TEST(PomAllocation, FieldFactorScalesTheoreticalVolumes) {
  Allocated run(period("20050101", "20050103") + kTwoWells +
                "#volume\n*TF T1\n*date oil\n20050101 150\n20050102 150\n20050103 300\n#end\n"
                "#time\n*Well W1\n2 0\n*Well W2\n2 0\n#end\n");
  EXPECT_DOUBLE_EQ(run.factor(0, kOil, 1), 1.5);      // 150 / (60 + 40)
  EXPECT_DOUBLE_EQ(run.well("W1").dayResult[1], 90);  // 60 x 1.5
  EXPECT_DOUBLE_EQ(run.well("W2").dayResult[1], 60);  // 40 x 1.5
  EXPECT_DOUBLE_EQ(run.well("W1").cumResult[1], 90);
  EXPECT_DOUBLE_EQ(run.oil("TF", "T1").dayResult[1], 150);
  EXPECT_DOUBLE_EQ(run.oil("TF", "T1").cumResult[1], 150);

  // Day 2: no well produces, so the base is 0: no factor, nothing allocated,
  // but the point keeps its measured volume.
  EXPECT_EQ(run.factor(0, kOil, 2), 0);
  EXPECT_EQ(run.well("W1").dayResult[2], 0);
  EXPECT_DOUBLE_EQ(run.oil("TF", "T1").dayResult[2], 150);

  EXPECT_DOUBLE_EQ(run.factor(0, kOil, 3), 3.0);       // 300 / 100
  EXPECT_DOUBLE_EQ(run.well("W1").dayResult[3], 180);  // 60 x 3
  EXPECT_DOUBLE_EQ(run.well("W2").dayResult[3], 120);

  BaNode& w1 = run.node("Well", "W1");
  EXPECT_DOUBLE_EQ(w1.runTotalA[kOil], 120);  // theoretical 60 on days 1 and 3
  EXPECT_DOUBLE_EQ(w1.runTotalB[kOil], 270);  // 90 + 180
  EXPECT_EQ(w1.allocated, 1);
  EXPECT_EQ(run.node("TF", "T1").allocated, 1);
}

TEST(PomAllocation, AbsoluteAndPercentMembersTakeTheirShareFirst) {
  // A facility member given an absolute 20 on day 1 ("a"): (150 - 20) / (120 - 20).
  Allocated absolute(period("20050101", "20050102") +
                     "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\nGC G3\n#end\n"
                     "#volume\n*TF T1\n*date oil\n20050101 150\n20050102 150\n"
                     "*GC G3\n*date oil\n20050101 20 a\n#end\n"
                     "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\n#end\n");
  EXPECT_DOUBLE_EQ(absolute.factor(0, kOil, 1), 1.3);
  EXPECT_DOUBLE_EQ(absolute.well("W1").dayResult[1], 78);  // 60 x 1.3
  EXPECT_DOUBLE_EQ(absolute.well("W2").dayResult[1], 52);  // 40 x 1.3
  EXPECT_DOUBLE_EQ(absolute.oil("GC", "G3").dayResult[1], 20);
  // Day 2 has no volume for G3: the wells share all of 150.
  EXPECT_DOUBLE_EQ(absolute.well("W1").dayResult[2], 90);
  EXPECT_EQ(absolute.oil("GC", "G3").dayResult[2], 0);

  // A well given 10 % of the measured 200 on day 1 and an absolute 70 on day 2;
  // its own well test (50) is not evaluated on those days.
  Allocated mixed(period("20050101", "20050102") +
                  "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\nWell W3\n#end\n"
                  "#volume\n*TF T1\n*date oil\n20050101 200\n20050102 200\n"
                  "*Well W3\n*date oil\n20050101 10 %\n20050102 70 a\n#end\n"
                  "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\n"
                  "*Well W3\n20041215 50\n#end\n");
  BaFluidDays& w3 = mixed.well("W3");
  EXPECT_EQ(w3.qualifier[1], kQualifierPercent);
  EXPECT_DOUBLE_EQ(w3.volume[1], 10);  // the given percentage stays
  EXPECT_DOUBLE_EQ(w3.volume[2], 70);
  EXPECT_DOUBLE_EQ(w3.dayResult[1], 20);                 // 200 x 10 x 0.01
  EXPECT_DOUBLE_EQ(mixed.factor(0, kOil, 1), 1.8);       // (200 - 20) / (120 - 20)
  EXPECT_DOUBLE_EQ(mixed.well("W1").dayResult[1], 108);  // 60 x 1.8
  EXPECT_DOUBLE_EQ(mixed.well("W2").dayResult[1], 72);   // 40 x 1.8
  EXPECT_DOUBLE_EQ(w3.dayResult[2], 70);
  EXPECT_DOUBLE_EQ(mixed.factor(0, kOil, 2), 1.3);  // (200 - 70) / (170 - 70)
  EXPECT_DOUBLE_EQ(mixed.well("W1").dayResult[2], 78);
}

TEST(PomAllocation, PrecisionCutsAndRemainderGoesToFirstLargestShare) {
  const std::string wells =
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\nWell W3\n#end\n"
      "#volume\n*TF T1\n*date oil\n20050101 100\n#end\n"
      "#welltest\n*date oil\n*Well W1\n20041215 10\n*Well W2\n20041215 10\n"
      "*Well W3\n20041215 10\n#end\n";
  // Shares of 33.333...: each is cut to 33, the 1 left goes to W1 (first of equal shares).
  Allocated whole(period("20050101", "20050101") + wells);
  EXPECT_DOUBLE_EQ(whole.well("W1").dayResult[1], 34);
  EXPECT_DOUBLE_EQ(whole.well("W2").dayResult[1], 33);
  EXPECT_DOUBLE_EQ(whole.well("W3").dayResult[1], 33);
  EXPECT_DOUBLE_EQ(whole.node("Well", "W1").runTotalB[kOil], 34);

  Allocated decimals("#control\n*period 20050101 20050101\n*precision 4\n#end\n" + wells);
  EXPECT_NEAR(decimals.well("W1").dayResult[1], 33.3334, 1e-9);  // 33.3333 + 0.0001
  EXPECT_NEAR(decimals.well("W2").dayResult[1], 33.3333, 1e-9);
  EXPECT_NEAR(decimals.well("W3").cumResult[1], 33.3333, 1e-9);

  RunControl rc;
  rc.precision = 2;
  rc.precisionScale = 100;
  EXPECT_DOUBLE_EQ(roundToPrecision(rc, 12.34567), 12.34);  // truncated, not rounded
  EXPECT_DOUBLE_EQ(roundToPrecision(rc, -12.34567), -12.34);
  rc.precision = 0;
  rc.precisionScale = 1;
  EXPECT_EQ(roundToPrecision(rc, 2.99995), 3);  // 2.99995 + 0.0001 = 3.00005
  EXPECT_EQ(roundToPrecision(rc, 2.9998), 2);
}

TEST(PomAllocation, ShrinkageAtFacilitiesAndStock) {
  const std::string member =
      "Well W1\n#end\n#welltest\n*date oil GAS\n*Well W1\n20041215 100 50\n#end\n";
  // Oil at a facility point shrinks: M = 1000 x 0.95; gas does not.
  Allocated facility(period("20050101", "20050101") +
                     "#network\n*Methods *Welltest\n*TF T1 *shrinkage 0.95\n" + member +
                     "#volume\n*TF T1\n*date oil gas\n20050101 1000 1000\n#end\n");
  EXPECT_NEAR(facility.oil("TF", "T1").dayResult[1], 950, 1e-3);
  EXPECT_NEAR(facility.well("W1").dayResult[1], 950, 1e-3);
  EXPECT_DOUBLE_EQ(facility.well("W1", kGas).dayResult[1], 1000);
  const BaNode& t1 = facility.node("TF", "T1");
  EXPECT_NEAR(shrinkFactor(facility.rs, t1, t1.typeId, kOil), 0.95, 1e-6);
  EXPECT_EQ(shrinkFactor(facility.rs, t1, t1.typeId, kGas), 1.0);

  // A well-type point ignores its shrinkage; its stock of 15 adds to the oil only.
  Allocated wellPoint(period("20050101", "20050101") +
                      "#network\n*Methods *Welltest\n*Well WP *shrinkage 0.95\n" + member +
                      "#volume\n*Well WP\n*date oil gas stock\n20050101 1000 1000 15\n#end\n");
  EXPECT_DOUBLE_EQ(wellPoint.well("WP").dayResult[1], 1015);  // 1000 + 15
  EXPECT_DOUBLE_EQ(wellPoint.well("W1").dayResult[1], 1015);
  EXPECT_DOUBLE_EQ(wellPoint.well("W1", kGas).dayResult[1], 1000);
}

TEST(PomAllocation, TopLevelWaterKeepsMeasuredWaterOilRatio) {
  // Day 1: measured oil 900 and water 300, stock -50: the oil to allocate is
  // 850 and the water 850 x 300 / 900. Day 2 has no measured oil: the water
  // to allocate is the measured 300.
  Allocated run(
      period("20050101", "20050102") +
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\n#end\n"
      "#volume\n*TF T1\n*date oil water stock\n20050101 900 300 -50\n20050102 0 300\n#end\n"
      "#welltest\n*date oil WATER\n*Well W1\n20041215 100 30\n#end\n");
  const BaFluidDays& point = run.node("TF", "T1").fluids[kWater];
  EXPECT_DOUBLE_EQ(run.oil("TF", "T1").dayResult[1], 850);
  EXPECT_NEAR(point.dayResult[1], 850.0 * 300 / 900, 1e-9);
  EXPECT_NEAR(point.cumResult[1], 850.0 * 300 / 900, 1e-9);
  EXPECT_NEAR(run.well("W1", kWater).dayResult[1], 850.0 * 300 / 900, 1e-9);  // 283 + remainder
  EXPECT_DOUBLE_EQ(point.dayResult[2], 300);
  EXPECT_DOUBLE_EQ(run.well("W1", kWater).dayResult[2], 300);
}

TEST(PomAllocation, FactorOutOfRangeMarksMembersAndAllocatesNothing) {
  // Wells 60 and 40, G3 an absolute 20, G4 a member without any volume.
  auto input = [](const char* control, const char* measured) {
    return std::string("#control\n*period 20050101 20050101\n") + control + "\n#end\n" +
           "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\nGC G3\nGC G4\n#end\n"
           "#volume\n*TF T1\n*date oil\n20050101 " +
           measured +
           "\n*GC G3\n*date oil\n20050101 20 a\n#end\n"
           "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\n#end\n";
  };
  struct Case {
    const char* control;
    const char* measured;
    double factor;
    int code;
  } cases[] = {
      {"", "0", -0.2, kFactorNegative},                  // (0 - 20) / (120 - 20)
      {"*Range 0.8 1.2", "70", 0.5, kFactorBelowRange},  // (70 - 20) / 100
      {"*Range 0.8 1.2", "170", 1.5, kFactorAboveRange},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.measured);
    Allocated run(input(c.control, c.measured));
    EXPECT_DOUBLE_EQ(run.factor(0, kOil, 1), c.factor);
    for (const char* name : {"W1", "W2"}) {
      EXPECT_EQ(run.node("Well", name).excluded, c.code);
      EXPECT_EQ(run.well(name).dayResult[1], 0);
      EXPECT_EQ(run.well(name).cumResult[1], 0);
    }
    EXPECT_EQ(run.node("GC", "G3").excluded, c.code);
    EXPECT_EQ(run.oil("GC", "G3").dayResult[1], 0);
    EXPECT_EQ(run.node("GC", "G4").excluded, c.code);
    EXPECT_EQ(run.node("TF", "T1").excluded, 0);
  }

  RunControl rc;
  rc.rangeMin = 0.8;
  rc.rangeMax = 1.2;
  EXPECT_EQ(checkFactorRange(rc, -0.2), kFactorNegative);  // checked before the range
  EXPECT_EQ(checkFactorRange(rc, 0.5), kFactorBelowRange);
  EXPECT_EQ(checkFactorRange(rc, 1.5), kFactorAboveRange);
  EXPECT_EQ(checkFactorRange(rc, 0.8), kInRange);
  EXPECT_EQ(checkFactorRange(rc, 1.2), kInRange);
  EXPECT_EQ(checkFactorRange(RunControl{}, 0), kInRange);
}

TEST(PomAllocation, TargetBandKeepsTheoreticalVolumes) {
  Allocated run("#control\n*period 20050101 20050103\n*Target 0.95 1.05\n#end\n" +
                std::string(kTwoWells) +
                "#volume\n*TF T1\n*date oil\n20050101 102\n20050102 106\n20050103 105\n#end\n");
  // F = 1.02 lies inside: unscaled volumes, no remainder, stored factor 1.02.
  EXPECT_DOUBLE_EQ(run.factor(0, kOil, 1), 1.02);
  EXPECT_DOUBLE_EQ(run.well("W1").dayResult[1], 60);
  EXPECT_DOUBLE_EQ(run.well("W2").dayResult[1], 40);
  EXPECT_DOUBLE_EQ(run.oil("TF", "T1").dayResult[1], 102);
  // F = 1.06 lies outside: 63.6 -> 63, 42.4 -> 42, remainder 1 to W1.
  EXPECT_DOUBLE_EQ(run.well("W1").dayResult[2], 64);
  EXPECT_DOUBLE_EQ(run.well("W2").dayResult[2], 42);
  // The band is open: F = 1.05 scales (63 and 42).
  EXPECT_DOUBLE_EQ(run.well("W1").dayResult[3], 63);
  EXPECT_DOUBLE_EQ(run.well("W2").dayResult[3], 42);
}

TEST(PomAllocation, MemberRoutedElsewhereIsSkippedThatDayOnly) {
  Allocated run(period("20050101", "20050103") +
                "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\n*TF T2\nWell W3\n#end\n"
                "#volume\n*TF T1\n*date oil\n20050101 150\n20050102 150\n20050103 150\n"
                "*TF T2\n20050101 100\n20050102 100\n20050103 100\n#end\n"
                "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\n"
                "*Well W3\n20041215 50\n#end\n"
                "#time\n*Well W1\n2 24 TF T2\n3 24 TF T1\n#end\n");
  EXPECT_EQ((*run.node("Well", "W1").routes)[2].pomIndex, 1);
  EXPECT_DOUBLE_EQ(run.well("W1").dayResult[1], 90);
  // Day 2: W1 flows to T2, which does not list it; W2 takes all of T1's 150.
  EXPECT_DOUBLE_EQ(run.factor(0, kOil, 2), 3.75);  // 150 / 40
  EXPECT_EQ(run.well("W1").dayResult[2], 0);
  EXPECT_DOUBLE_EQ(run.well("W2").dayResult[2], 150);
  EXPECT_DOUBLE_EQ(run.well("W3").dayResult[2], 100);  // T2 allocates only its own member
  EXPECT_DOUBLE_EQ(run.well("W1").dayResult[3], 90);
  EXPECT_DOUBLE_EQ(run.node("Well", "W1").runTotalA[kOil], 120);  // days 1 and 3
}

TEST(PomAllocation, MonthlyModeAllocatesThePeriodOnce) {
  Allocated run("#control\n*period 20050101 20050103\n*monthly\n#end\n" + std::string(kTwoWells) +
                "#volume\n*TF T1\n*date oil\n20050101 150\n20050102 150\n20050103 151\n#end\n");
  // M = 451 over a base of 300: F = 1.50333; W1 90.2 -> 90 and W2 60.13 -> 60
  // each day, the 1 left goes to W1 on the first day of the range.
  EXPECT_NEAR(run.factor(0, kOil, 1), 451.0 / 300, 1e-12);
  EXPECT_EQ(run.factor(0, kOil, 2), 0);
  EXPECT_EQ(run.factor(0, kOil, 3), 0);
  EXPECT_DOUBLE_EQ(run.well("W1").dayResult[1], 91);
  EXPECT_DOUBLE_EQ(run.well("W1").dayResult[2], 90);
  EXPECT_DOUBLE_EQ(run.well("W1").dayResult[3], 90);
  EXPECT_DOUBLE_EQ(run.well("W2").dayResult[3], 60);
  EXPECT_DOUBLE_EQ(run.node("Well", "W1").runTotalB[kOil], 271);
  EXPECT_DOUBLE_EQ(run.node("Well", "W2").runTotalB[kOil], 180);
}

// G1 (top level) allocates to T1 and T2, which allocate to their wells.
std::string levels(const char* control) {
  return std::string("#control\n*period 20050101 20050102\n") + control + "\n#end\n" +
         "#network\n*Methods *Welltest\n*GC G1\nTF T1\nTF T2\n*TF T1\nWell W1\nWell W2\n"
         "*TF T2\nWell W3\n#end\n"
         "#volume\n*GC G1\n*date oil\n20050101 300\n20050102 200\n"
         "*TF T1\n*date oil stock\n20050101 100 10\n20050102 100 0\n"
         "*TF T2\n*date oil\n20050101 100\n20050102 100\n#end\n"
         "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\n"
         "*Well W3\n20041215 50\n#end\n";
}

TEST(PomAllocation, LowerLevelAllocatesWhatTheLevelAboveGave) {
  Allocated daily(levels(""));
  EXPECT_DOUBLE_EQ(daily.factor(0, kOil, 1), 1.5);  // 300 / (100 + 100)
  // T1 received 150 and adds its stock of 10: 160 / 100.
  EXPECT_DOUBLE_EQ(daily.oil("TF", "T1").dayResult[1], 160);
  EXPECT_DOUBLE_EQ(daily.factor(1, kOil, 1), 1.6);
  EXPECT_DOUBLE_EQ(daily.well("W1").dayResult[1], 96);
  EXPECT_DOUBLE_EQ(daily.well("W2").dayResult[1], 64);
  EXPECT_DOUBLE_EQ(daily.well("W3").dayResult[1], 150);  // T2 received 150
  EXPECT_DOUBLE_EQ(daily.well("W1").dayResult[2], 60);   // G1 factor 1.0 on day 2

  // Monthly: T1 allocates its period total from G1 (500 / 400 x 200 = 250),
  // not its own measured 200, and no stock: 250 / 200.
  Allocated monthly(levels("*monthly"));
  EXPECT_DOUBLE_EQ(monthly.node("TF", "T1").runTotalB[kOil], 250);
  EXPECT_DOUBLE_EQ(monthly.factor(1, kOil, 1), 1.25);
  EXPECT_DOUBLE_EQ(monthly.well("W1").dayResult[1], 75);  // 60 x 1.25
  EXPECT_DOUBLE_EQ(monthly.well("W2").dayResult[2], 50);  // 40 x 1.25

  // G1's factor 1.5 on day 1 is out of range: T1 and T2 are marked 104 and
  // allocate nothing, also on day 2 when G1's factor is back in range.
  Allocated excluded(levels("*Range 0.8 1.2"));
  EXPECT_EQ(excluded.node("TF", "T1").excluded, kFactorAboveRange);
  EXPECT_EQ(excluded.node("TF", "T2").excluded, kFactorAboveRange);
  EXPECT_EQ(excluded.well("W1").dayResult[1], 0);
  EXPECT_EQ(excluded.well("W3").dayResult[1], 0);
  EXPECT_DOUBLE_EQ(excluded.oil("TF", "T1").dayResult[2], 100);  // G1 still gives it its share
  EXPECT_EQ(excluded.well("W1").dayResult[2], 0);
  EXPECT_EQ(excluded.well("W2").cumResult[2], 0);
  EXPECT_EQ(excluded.node("Well", "W1").excluded, 0);
}

TEST(FluidPass, AllocationStartsAtTheStartingPoint) {
  Allocated run(period("20050101", "20050101") +
                "#network\n*Methods *Welltest\n*GC G1\nWell W1\n*POS P1\nWell W2\n*TF T3\nWell W3\n"
                "#end\n#control\n*from TF\n#end\n"
                "#volume\n*GC G1\n*date oil\n20050101 100\n*POS P1\n20050101 100\n"
                "*TF T3\n20050101 120\n#end\n"
                "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 60\n"
                "*Well W3\n20041215 60\n#end\n");
  ASSERT_EQ(run.rs.control.fromPom, 2);
  for (const char* name : {"W1", "W2"}) {
    EXPECT_EQ(run.well(name).volume[1], 0);  // not evaluated
    EXPECT_EQ(run.well(name).dayResult[1], 0);
    EXPECT_EQ(run.node("Well", name).allocated, 0);
  }
  EXPECT_EQ(run.node("GC", "G1").allocated, 0);
  EXPECT_EQ(run.oil("GC", "G1").dayResult[1], 0);
  EXPECT_EQ(run.factor(0, kOil, 1), 0);
  EXPECT_EQ(run.factor(1, kOil, 1), 0);
  EXPECT_DOUBLE_EQ(run.factor(2, kOil, 1), 2.0);  // 120 / 60
  EXPECT_DOUBLE_EQ(run.well("W3").dayResult[1], 120);
}

TEST(FluidPass, TheoreticalOnlyFluids) {
  // Oil is theoretical although measured; water has neither mode and is skipped.
  Allocated run(
      "#control\n*period 20050101 20050102\n*Theoretical Oil\n#end\n"
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\nGC G3\n#end\n"
      "#volume\n*TF T1\n*date oil\n20050101 150\n20050102 150\n"
      "*GC G3\n*date oil\n20050101 5\n#end\n"
      "#welltest\n*date oil WATER\n*Well W1\n20041215 60 30\n*Well W2\n20041215 40 30\n#end\n");
  for (int d = 1; d <= 2; ++d) {
    EXPECT_DOUBLE_EQ(run.well("W1").volume[d], 60);
    EXPECT_DOUBLE_EQ(run.well("W1").dayResult[d], 60);  // not 90: no field factor
    EXPECT_DOUBLE_EQ(run.well("W1").cumResult[d], 60);
    EXPECT_EQ(run.well("W1").source[d], kMethodWelltest);
    EXPECT_EQ(run.oil("TF", "T1").source[d], kMethodWelltest);
    EXPECT_EQ(run.factor(0, kOil, d), 0);
  }
  // The point sums its members' volumes, the facility's measured 5 included.
  EXPECT_DOUBLE_EQ(run.oil("TF", "T1").cumResult[1], 105);
  EXPECT_DOUBLE_EQ(run.oil("TF", "T1").cumResult[2], 100);
  EXPECT_EQ(run.node("TF", "T1").allocated, 1);
  EXPECT_EQ(run.node("GC", "G3").allocated, 1);
  EXPECT_EQ(run.node("Well", "W2").allocated, 1);
  EXPECT_EQ(run.well("W1", kWater).volume[1], 0);
  EXPECT_EQ(run.well("W1", kWater).cumResult[1], 0);

  // sumMembers over one more range adds again: the totals only ever grow.
  sumMembers(run.rs, kOil, 0, 1, 2);
  EXPECT_DOUBLE_EQ(run.oil("TF", "T1").cumResult[1], 210);
  EXPECT_DOUBLE_EQ(run.oil("TF", "T1").cumResult[2], 100);
}

}  // namespace
}  // namespace zelba
