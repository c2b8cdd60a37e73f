// The nodal rate of the oil method "Zozed" (root finder, tubing traverse,
// Beggs and Brill gradient, surface tensions) and the gas curve fit with its
// linear solver.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "allocation/curve_fit.h"
#include "allocation/oil_methods.h"
#include "allocation/traverse.h"
#include "engine/driver.h"
#include "engine/numbers.h"
#include "host/host_services.h"
#include "input/sections.h"

namespace zelba {
namespace {

// Within a relative tolerance or half a unit of the reference's last decimal.
void expectClose(double actual, double expected, double relative, double lastDecimal = 0) {
  EXPECT_NEAR(actual, expected, std::max(std::fabs(expected) * relative, lastDecimal / 2));
}

TEST(RootFinder, ZerosFailuresAndGivingUp) {
  int shelfFailures = 0;
  const struct {
    std::function<double(double)> f;
    double start;
    int status;
    double root;  // 123 where it must stay unwritten
  } cases[] = {
      // f(11) fails: backward difference f(10) - f(9) = 2, step to 10 - 12 / 2 = 4.
      {[](double x) { return x > 10.5 ? kNoResidual : 2 * x - 8; }, 10, 1, 4},
      // ln(x / 3): the slope ln(1.1) sends 10 to 10 - 1.204 / 0.0953 = -2.63,
      // no value there; halved toward 10: 3.68, and on from there.
      {[](double x) {
         return x <= 0 ? kNoResidual : std::fabs(std::log(x / 3)) < 1e-12 ? 0 : std::log(x / 3);
       },
       10, 1, 3},
      // Defined from 10 on: the step to 9 and every halving toward 10 fail.
      {[&shelfFailures](double x) { return x < 10 ? (++shelfFailures, kNoResidual) : x - 9; }, 10,
       -1, 123},
      {[](double) { return 7.0; }, 1, -1, 123},  // the derivative is 0
      {[](double) { return kNoResidual; }, 1, -1, 123},
      {[](double x) { return x == 10 ? 1.0 : kNoResidual; }, 10, -1, 123},  // no difference at all
      // e^x: each step is 1 / (e - 1), so after 50 x = -50 / (e - 1) is stored.
      {[](double x) { return std::exp(x); }, 0, -1, -29.0988353435},
  };
  for (const auto& c : cases) {
    double root = 123;
    EXPECT_EQ(NewtonRaphsonRootFinder(c.f, c.start, kNoResidual, &root, 1.0), c.status) << c.root;
    EXPECT_NEAR(root, c.root, 1e-8);
  }
  EXPECT_EQ(shelfFailures, 31);  // the first try and 30 halvings
}

TEST(SurfaceTension, ReferenceValuesAndFloorOfOne) {
  // Baker and Swerdloff (API, deg F, psia): s68 below 68 deg F, s100 above
  // 100, in between interpolated. Hough (deg F, psia).
  const double oil[][4] = {{30, 69, 14.7, 28.726984},
                           {30, 60, 14.7, 28.770088},
                           {35, 150, 1000, 13.187841},
                           {35, 84, 500, 17.746255}};
  for (const auto& r : oil) expectClose(oilSurfaceTension(r[0], r[1], r[2]), r[3], 1e-7);
  const double water[][3] = {{74, 14.7, 72.169041},
                             {280, 14.7, 52.419313},
                             {150, 1000, 55.942109},
                             {200, 3000, 43.993913}};
  for (const auto& r : water) expectClose(waterSurfaceTension(r[0], r[1]), r[2], 1e-7);
  // 1.0 from 3977 psia; just below, 28.5 x (1 - 0.024 x 3976^0.45) = 0.004.
  EXPECT_EQ(oilSurfaceTension(35, 150, 3977), 1.0);
  EXPECT_EQ(oilSurfaceTension(35, 150, 3976), 1.0);
  EXPECT_EQ(waterSurfaceTension(300, 18000), 1.0);  // 53 - 0.1048 x 18000^0.637 < 0
}

// The textbook case: vsl 0.79 and vsg 1.93 ft/s, liquid 49.9 and gas 1.79
// lb/ft3, 8 dyn/cm, liquid 3 cp and gas 0.02 cp, 2.441 in tubing, 1 ft step.
TraverseContext textbookStep(double inclinationDegrees) {
  TraverseContext ctx;
  ctx.diameter = 2.441 / 12;
  ctx.angle = inclinationDegrees * 3.14159 / 180;
  ctx.stepLength = 1;
  StepProperties& s = ctx.step;
  s.liquidVelocity = 0.79;
  s.gasVelocity = 1.93;
  s.mixtureVelocity = 0.79 + 1.93;
  s.liquidDensity = 49.9;
  s.gasDensity = 1.79;
  s.liquidTension = 8;
  s.noSlipHoldup = 0.79 / (0.79 + 1.93);
  s.noSlipViscosity = ((1 - s.noSlipHoldup) * 0.02 + s.noSlipHoldup * 3) * 0.000672;
  s.massFlux = 49.9 * 0.79 + 1.79 * 1.93;
  s.meanPressure = 350;
  return ctx;
}

TEST(BeggsBrill, TextbookCaseUpDownAndAlongAPipe) {
  // Kinetic term at 350 psia: 24.168 x 2.72 x 1.93 / (350 x 32.2 x 144) =
  // 7.8e-5, lifting 0.167832 + 0.002556 to 0.170401 (published: 0.170).
  TraverseContext ctx = textbookStep(90);
  const double dp = beggsBrillGradient(ctx);
  const GradientDetail& g = ctx.gradient;
  EXPECT_EQ(g.pattern, kIntermittent);
  expectClose(g.froude, 1.129524, 1e-5);
  expectClose(g.horizontalHoldup, 0.435135, 1e-5);
  expectClose(g.inclinationC, 0.230456, 1e-5);
  expectClose(g.inclinationPsi, 1.068951, 1e-5);
  expectClose(g.holdup, 0.465138, 1e-5);
  expectClose(g.holdupRatio, 1.342439, 1e-5);
  expectClose(g.frictionRatio, 1.438944, 1e-5);
  expectClose(g.reynolds, 14656.58, 1e-5);
  expectClose(g.noSlipFriction, 0.028819, 1e-5, 1e-6);
  expectClose(g.twoPhaseFriction, 0.041469, 1e-5, 1e-6);
  expectClose(g.elevationGradient, 0.167832, 1e-5, 1e-6);
  expectClose(g.frictionGradient, 0.002556, 1e-5, 1e-6);
  expectClose(dp, 0.170401, 1e-5);
  // s = sin(1.8 x 1.5707950) = 0.309019266; s - 0.333 s^3 = 0.299192719.
  expectClose((g.inclinationPsi - 1) / g.inclinationC, 0.299192719, 1e-8);

  // Downhill, every pattern (4.7, -0.3692, 0.1244, -0.5056): NLv = 1.938 x
  // 0.79 x (49.9 / 8)^0.25 = 2.419544; C = 0.709559 x ln(4.7 x
  // 0.290441^-0.3692 x 2.419544^0.1244 x 1.129524^-0.5056) = 1.456271;
  // psi = 1 + 1.456271 x (-0.299193) = 0.564294.
  TraverseContext down = textbookStep(-90);
  beggsBrillGradient(down);
  expectClose(down.gradient.inclinationC, 1.456271, 1e-5);
  expectClose(down.gradient.holdup, 0.435135 * 0.564294, 1e-5);

  // Horizontal: no correction and no elevation term.
  TraverseContext flat = textbookStep(0);
  beggsBrillGradient(flat);
  EXPECT_EQ(flat.gradient.inclinationPsi, 1);
  EXPECT_EQ(flat.gradient.elevationGradient, 0);
}

TEST(BeggsBrill, FlowPatternsLiquidOnlyAndTransition) {
  // lambda 0.1: L2 = 0.0009252 x 0.1^-2.4684 = 0.2720, L3 = 0.1 x 0.1^-1.4516
  // = 2.8288, L1 = 316 x 0.1^0.302 = 157.6; lambda 0.5: L4 = 0.5 x 0.5^-6.738
  // = 53.37; lambda 0.005: L1 = 316 x 0.005^0.302 = 63.8.
  const struct {
    double lambda, froude;
    int pattern;
  } map[] = {{1.0, 5, kLiquidOnly},    {0.000005, 5, kGasOnly},  {0.1, 0.2, kSegregated},
             {0.1, 1.0, kTransition},  {0.1, 50, kIntermittent}, {0.1, 200, kDistributed},
             {0.5, 50, kIntermittent}, {0.5, 60, kDistributed},  {0.005, 60, kSegregated},
             {0.005, 70, kDistributed}};
  for (const auto& m : map) {
    EXPECT_EQ(flowPattern(m.lambda, m.froude), m.pattern) << m.lambda << " " << m.froude;
  }

  // vsl 2 ft/s of 50 lb/ft3 and 2 cp liquid, vertical: pattern 0, holdup 1,
  // e^S = 1; Re = 100 x 0.203417 / (2 x 0.000672) = 15135.17, fn = 0.0056 +
  // 0.5 / 15135.17^0.32 = 0.028581; 50 / 144 + 0.028581 x 50 x 4 / (0.203417
  // x 64.6) / 144 = 0.347222 + 0.003021.
  TraverseContext liquid = textbookStep(90);
  StepProperties& s = liquid.step;
  s.liquidVelocity = s.mixtureVelocity = 2;
  s.gasVelocity = 0;
  s.liquidDensity = 50;
  s.noSlipHoldup = 1;
  s.noSlipViscosity = 2 * 0.000672;
  s.massFlux = 100;
  expectClose(beggsBrillGradient(liquid), 0.350243, 1e-6);

  // Transition, horizontal, lambda 0.1 and NFr 1: A = (2.828785 - 1) /
  // (2.828785 - 0.272042) = 0.715279; H_seg = 0.98 x 0.1^0.4846 = 0.321089,
  // H_int = 0.845 x 0.1^0.5351 = 0.246466; H = 0.715279 x 0.321089 +
  // 0.284721 x 0.246466 = 0.299843.
  TraverseContext ctx = textbookStep(0);
  ctx.step.mixtureVelocity = std::sqrt(ctx.diameter * 32.2);
  ctx.step.liquidVelocity = 0.1 * ctx.step.mixtureVelocity;
  ctx.step.gasVelocity = 0.9 * ctx.step.mixtureVelocity;
  ctx.step.noSlipHoldup = 0.1;
  beggsBrillGradient(ctx);
  EXPECT_EQ(ctx.gradient.pattern, kTransition);
  expectClose(ctx.gradient.holdup, 0.299843, 1e-5);
}

// A vertical 8000 ft well of 2.441 in tubing, tested on day 1 at 500 bbl/d of
// 35 API oil (from ResProp) with 20 % BS&W, 200 psi at the wellhead, and the
// gas it holds in solution only (GOR = Rs = 400): no free gas. Pr is 4000.
struct WellFixture {
  WellFixture() {
    resetRunState(rs);
    node.testDays = std::make_unique<TestDays>();
    node.wellDesc = std::make_unique<BaWellDesc>();
    node.wellProp = std::make_unique<BaWellProp>();
    node.wellDesc->values = {2.441f, 8000, 90, 0};
    rs.control.resProp = {0, 0, 35, 0.7f, 1.05f, 0, 0, 0, 0};
    rs.control.pvtProp = {4000, 180, 1.2f, 1.5f, 400, 0, 0.02f, 0.9f, 1.02f, 0.5f, 0};
    (*node.testDays)[1].valid = 1;
    setTest(1, 500, 200, 400, 20, 0);
  }
  void setTest(int day, float oil, float whfp, float gor, float bsw, float api) {
    auto& v = (*node.testDays)[day].values;
    v[1] = oil;
    v[2] = whfp;
    v[3] = gor;
    v[4] = bsw;
    v[19] = api;
  }
  TraverseContext context() {
    TraverseContext ctx;
    EXPECT_TRUE(loadTraverseContext(rs, node, 1, 1, ctx));
    return ctx;
  }
  RunState rs;
  BaNode node;
};

// WellFixture at 500 bbl/d (125 of water): oil gravity 141.5 / 166.5 =
// 0.849850; oil (400 x 0.0764 x 0.7 + 0.849850 x 350) / (1.2 x 5.615) =
// 47.319597, water 1.05 x 350 / (1.02 x 5.615) = 64.166361, liquid 50.688950
// lb/ft3. QL = (125 x 1.02 + 500 x 1.2) x 6.49e-5 = 0.04721475 ft3/s, vsl =
// 1.452831 ft/s; 1.3 cp, Re = 17147.56, fn = 0.027681. Per foot 0.352007
// (weight) + 0.001565 (friction): each 80 ft step gains 28.285738 psi.
constexpr double kLiquidPwf = 200 + 100 * 28.285738;

TEST(Traverse, LiquidColumnFreeGasStepAndResidual) {
  WellFixture w;
  TraverseContext ctx = w.context();
  // Within 1e-7: the run keeps the properties in single precision.
  expectClose(bottomholePressure(ctx, 500, 200), kLiquidPwf, 1e-7);
  EXPECT_EQ(ctx.gradient.pattern, kLiquidOnly);
  EXPECT_EQ(ctx.gradient.holdup, 1);
  ctx.gasOilRatio = 100;  // GOR below Rs frees no gas either (rather than a negative flow)
  expectClose(bottomholePressure(ctx, 500, 200), kLiquidPwf, 1e-7);

  // With free gas a step converges on its own mean pressure (to 0.001 psi)
  // and is lighter than the liquid's, yet positive.
  ctx.gasOilRatio = 800;
  bottomholePressure(ctx, 500, 200);  // sets the rates
  const double dp = traverseStep(ctx, 300);
  ASSERT_TRUE(computeStepProperties(ctx, 300, dp));
  EXPECT_NEAR(beggsBrillGradient(ctx), dp, 0.001);
  EXPECT_GT(dp, 0);
  EXPECT_LT(dp, 28.285738);

  ctx.oilTensionGiven = 25;  // given in the reservoir properties: used as it is
  ASSERT_TRUE(computeStepProperties(ctx, 1000, 0));
  EXPECT_EQ(ctx.step.oilTension, 25);

  ctx = w.context();
  // Residual: q / J = 500 against Pr - Pwf: 496 leaves 4, within 5 psi: 0; 494 leaves 6.
  const double cases[][3] = {{kLiquidPwf + 496, 500, 0},
                             {kLiquidPwf + 494, 500, 6},
                             {kLiquidPwf - 1, 500, kNoResidual},  // Pwf above Pr
                             {5000, -1, kNoResidual}};            // a negative rate
  for (const auto& c : cases) {
    ctx.reservoirPressure = c[0];
    EXPECT_NEAR(nodalResidual(ctx, c[1]), c[2], 1e-3) << c[0] << " " << c[1];
  }
  // Three traverses so far (the negative rate runs none). Without a budget
  // there is no bound; once a solution has run a budget it was given, a rate
  // that would match reports no value.
  EXPECT_EQ(ctx.traverses, 3);
  ctx.reservoirPressure = kLiquidPwf + 496;
  ctx.traverses = 1000;
  EXPECT_EQ(nodalResidual(ctx, 500), 0);
  ctx.traverseBudget = 1002;
  EXPECT_EQ(nodalResidual(ctx, 500), 0);
  EXPECT_EQ(nodalResidual(ctx, 500), kNoResidual);
  ctx.traverseBudget = 0;
  ctx.wellheadPressure = -100;  // the first step's mean pressure is not above 0 psia
  EXPECT_EQ(nodalResidual(ctx, 500), kNoResidual);
  ctx.wellheadPressure = 200;
  ctx.zFactor = 0;  // a gas density of 1 / 0
  ctx.gasOilRatio = 800;
  EXPECT_EQ(nodalResidual(ctx, 500), kNoResidual);
}

TEST(NodalInputs, WellTestReservoirAndTubingDataUnusableGiveNoRate) {
  WellFixture w;
  EXPECT_EQ(w.context().api, 35);              // the test has none: ResProp p3
  EXPECT_EQ(w.context().waterOilRatio, 0.25);  // 20 / (100 - 20)
  w.setTest(1, 500, 200, 400, 100, 28);
  EXPECT_EQ(w.context().api, 28);  // the test's own gravity wins
  EXPECT_EQ(w.context().waterOilRatio, 0);
  w.setTest(1, 500, 200, 400, 0.2f, 28);
  w.rs.control.bswFraction = 1;
  EXPECT_NEAR(w.context().waterOilRatio, 0.25, 1e-7);  // 0.2 / 0.8

  // A day without a usable test takes the opening slot's, where missing
  // values count as 0 rather than -99999. Gravities default to 0.65 and 1.0.
  (*w.node.testDays)[1].valid = 0;
  w.setTest(0, 300, 150, static_cast<float>(MISSING_VALUE), static_cast<float>(MISSING_VALUE), 0);
  w.rs.control.resProp[3] = 0;
  w.rs.control.resProp[4] = -1;
  const TraverseContext ctx = w.context();
  EXPECT_EQ(ctx.oilRate, 300);
  EXPECT_EQ(ctx.gasOilRatio, 0);
  EXPECT_EQ(ctx.waterOilRatio, 0);
  EXPECT_EQ(ctx.gasGravity, 0.65);
  EXPECT_EQ(ctx.waterGravity, 1.0);

  // Unusable data give no rate (and nothing that is not a number).
  const std::function<void(WellFixture&)> spoil[] = {
      [](WellFixture& w) { w.node.wellDesc->values[0] = 0; },    // no diameter
      [](WellFixture& w) { w.node.wellDesc->values[1] = -10; },  // no length
      [](WellFixture& w) { w.rs.control.resProp[2] = 0; },  // no gravity in the test nor ResProp
      [](WellFixture& w) { w.setTest(1, 0, 200, 600, 20, 35); },  // no oil rate
      [](WellFixture& w) { w.rs.control.pvtProp[0] = 1000; },     // Pr below the static column
  };
  for (const auto& s : spoil) {
    WellFixture spoilt;
    s(spoilt);
    const Eval rate = liftRate(spoilt.rs, spoilt.node, 1, 1.1);
    EXPECT_EQ(rate.status, -1);
    EXPECT_TRUE(std::isfinite(rate.value));
  }
  WellFixture usable;
  EXPECT_EQ(liftRate(usable.rs, usable.node, 1, 1.1).status, 1);
  EXPECT_EQ(liftRate(usable.rs, usable.node, 1, 0).status, -1);  // no productivity index
}

TEST(LinearSolver, PivotingAndSingularMatrices) {
  const struct {
    int n;
    LuMatrix a;
    LuVector b, x;
    LuPivots pivots;
  } cases[] = {
      // First pivot 0, rows exchanged: 4/3 + 5/3 = 3; 11/3 + 2/3 + 5/3 = 6; 22/3 + 2/3 + 5 = 13.
      {3,
       {{{}, {0, 0, 2, 1}, {0, 1, 1, 1}, {0, 2, 1, 3}}},
       {0, 3, 6, 13},
       {0, 11. / 3, 2. / 3, 5. / 3},
       {0, 2, 2, 3}},
      // Implicit scaling: row 1's 2 / 1000 loses to row 2's 1 / 1.
      {2, {{{}, {0, 2, 1000}, {0, 1, 1}}}, {0, 1002, 2}, {0, 1, 1}, {0, 2, 2}},
  };
  for (auto c : cases) {
    LuPivots pivot{};
    EXPECT_EQ(luDecompose(c.a, c.n, pivot), -1.0);
    luSolve(c.a, c.n, pivot, c.b);
    for (int i = 1; i <= c.n; ++i) {
      EXPECT_EQ(pivot[i], c.pivots[i]) << c.n << " " << i;
      EXPECT_NEAR(c.b[i], c.x[i], 1e-12) << c.n << " " << i;
    }
  }
  // The curve fit's system for set F_2 and X = 7637.5: rows 1, x .. x^4 at
  // x = 0, 50, 100, 250, 643; ordinates 0, -0.14163 X + 1178 = 96.300875,
  // -0.1952 X + 1638 = 147.16, -0.21573 X + 1827 = 179.362125, 236. No row
  // exchange (parity +1).
  const double xs[5] = {0, 50, 100, 250, 643};
  LuMatrix m{};
  for (int r = 1; r <= 5; ++r)
    for (int e = 0; e <= 4; ++e) m[r][e + 1] = std::pow(xs[r - 1], e);
  LuPivots fitPivot{};
  EXPECT_EQ(luDecompose(m, 5, fitPivot), 1.0);
  for (int j = 1; j <= 5; ++j) EXPECT_EQ(fitPivot[j], j);
  LuVector c{0, 0, 96.300875, 147.16, 179.362125, 236};
  luSolve(m, 5, fitPivot, c);
  const double coefficients[] = {0, 2.5086937747e+00, -1.3043081007e-02, 2.8860787911e-05,
                                 -2.1393553111e-08};
  for (int j = 0; j < 5; ++j) expectClose(c[j + 1], coefficients[j], 1e-9, 1e-12);

  // All zeros: equal candidates, the last row wins; pivots become 1e-30.
  LuMatrix z{};
  LuPivots pivot{};
  EXPECT_EQ(luDecompose(z, 2, pivot), -1.0);
  EXPECT_EQ(pivot[1], 2);
  EXPECT_EQ(pivot[2], 2);
  EXPECT_EQ(z[2][2], 1e-30);
  LuVector zb{0, 1, 1};
  luSolve(z, 2, pivot, zb);
  EXPECT_TRUE(std::isfinite(zb[1]) && std::isfinite(zb[2]));
}

TEST(GasCurveFit, ReferenceFitAndCurveSets) {
  // The degree-4 polynomial through (0, 0), (50, -0.14163 X + 1178), (100,
  // -0.1952 X + 1638), (250, -0.21573 X + 1827) and (643, 236), X = 7637.5.
  const CurveFit fit = gasCurveFit("F_2", 65.0, 7637.5);
  EXPECT_EQ(fit.status, 1);
  EXPECT_EQ(fit.upper, 236.0);
  expectClose(fit.value, 115.5020836875, 1e-9);
  // Always evaluated at 65; set names compared without regard to case.
  EXPECT_EQ(gasCurveFit("F_2", 100.0, 7637.5).value, fit.value);
  EXPECT_EQ(gasCurveFit("f_2", 65.0, 7637.5).value, fit.value);
  const CurveFit unknown = gasCurveFit("G_1", 65.0, 7637.5);
  EXPECT_EQ(unknown.status, -1);
  EXPECT_EQ(unknown.value, 0);
  EXPECT_EQ(gasCurveFit("F_2", 65.0, -1).status, -1);  // no fit for X of 0 or less
}

// W1 takes its oil from the nodal rate (Welltest as fallback) and its gas from
// the curve fit; W2 from its well test.
const char* kNodalRun =
    "#control\n*period 20050101 20050103\n#end\n"
    "#network\n*Methods *Welltest\n*TF T1\n"
    "Well W1 *Oil *Zozed *Welltest *Gas *Zozed\nWell W2\n#end\n"
    "#volume\n*TF T1\n*date oil gas\n20050101 1000 300\n20050102 1000 300\n"
    "20050103 1000 300\n#end\n"
    "#welltest\n*date oil whfp gor bsw api\n*Well W1\n20041215 500 200 600 20 35\n"
    "*Well W2\n20041215 300 150 500 10 30\n#end\n"
    "#equation\n*Well W1\n*ResProp 0 0 35 0.7 1.05 0 0 0 0\n"
    "*PVTPROP 3000 180 1.2 1.5 400 0 0.02 0.9 1.02 0.5 0\n"
    "*wellProp 50 20 4 50 0 1e-5 2500\n*dateinfo 20041215 0 90\n"
    "*welldesc 2.441 8000 90 0\n#end\n";

TEST(NodalRun, OilFromTheNodalRateGasFromTheCurveFit) {
  RunState rs;
  resetRunState(rs);
  InputReader reader;
  reader.openText(kNodalRun);
  readSections(rs, reader);
  prepareRun(rs);
  allocateRun(rs);
  const BaNode& w1 = *rs.nodeTable.at(findNode(rs, "Well", "W1"));

  // A positive rate where inflow meets outflow: q / J = Pr - Pwf within 5 psi
  // (so Pwf stays below Pr).
  for (int d = 1; d <= 3; ++d) {
    SCOPED_TRACE(d);
    const double rate = w1.fluids[kOil].volume[d];
    EXPECT_EQ(w1.fluids[kOil].source[d], kMethodZozed);
    EXPECT_GT(rate, 0);
    const Eval j = transientProductivity(rs, w1, testAge(rs, w1, d).age);
    ASSERT_EQ(j.status, 1);
    TraverseContext ctx;
    ASSERT_TRUE(loadTraverseContext(rs, w1, d, j.value, ctx));
    EXPECT_LT(std::fabs(rate / j.value - (3000 - bottomholePressure(ctx, rate, 200))), 5);
    // Gas: the F_2 fit at 65, 24 hours on.
    EXPECT_EQ(w1.fluids[kGas].source[d], kMethodZozed);
    expectClose(w1.fluids[kGas].volume[d], 115.5020836875, 1e-9);
  }
}

// A deep, productive well whose nodal solution the root finder reaches only
// after more than 100 traverses (its Newton steps overshoot into rates the
// tubing cannot lift and are halved back). It gets its nodal rate; only a
// run given a budget of 100 traverses, as fuzzing does, loses it to the next
// method, and the diagnostics say so.
const char* kDeepNodalWell =
    "#control\n*period 20050101 20050101\n#end\n"
    "#network\n*Methods *Welltest\n*TF T1\nWell W1 *Oil *Zozed *Welltest\n#end\n"
    "#volume\n*TF T1\n*date oil gas\n20050101 1000 300\n#end\n"
    "#welltest\n*date oil whfp gor bsw api\n*Well W1\n20041215 4580 1437 463 38 35\n#end\n"
    "#equation\n*Well W1\n*ResProp 0 0 35 0.7 1.05 0 0 0 0\n"
    "*PVTPROP 4117 180 1.2 1.5 400 0 0.02 0.9 1.02 0.5 0\n"
    "*wellProp 50 20 4 0 -2.07 1e-5 14514\n*dateinfo 20041215 0 90\n"
    "*welldesc 3.364 6978 90 0\n#end\n";

TEST(NodalRun, ASolutionOfMoreThanAHundredTraversesKeepsItsRate) {
  struct Outcome {
    int source = -1;
    double rate = 0;
    double mismatch = 0;  // |q / J - (Pr - Pwf(q))|
    int traverses = 0;    // the root finder's, from the test's rate
    long noNodalRate = 0;
  };
  auto run = [](int budget) {
    Outcome o;
    RunOptions options;
    options.nodalTraverseBudget = budget;
    options.inspect = [&](const RunState& rs) {
      const BaNode& w1 = *rs.nodeTable.at(1);
      o.source = w1.fluids[kOil].source[1];
      o.rate = w1.fluids[kOil].volume[1];
      o.noNodalRate = rs.diagnostics.count(DiagnosticKind::kNoNodalRate);
      const Eval j = transientProductivity(rs, w1, testAge(rs, w1, 1).age);
      TraverseContext ctx;
      if (j.status != 1 || !loadTraverseContext(rs, w1, 1, j.value, ctx)) return;
      double root = 0;
      NewtonRaphsonRootFinder([&ctx](double q) { return nodalResidual(ctx, q); }, ctx.oilRate,
                              kNoResidual, &root, 1.0);
      o.traverses = ctx.traverses;
      TraverseContext again;
      loadTraverseContext(rs, w1, 1, j.value, again);
      o.mismatch = std::fabs(o.rate / j.value - (4117 - bottomholePressure(again, o.rate, 1437)));
    };
    RunState rs;
    EXPECT_EQ(runEngineOnText(rs, kDeepNodalWell, nullptr, options), 1);
    return o;
  };
  const Outcome unbounded = run(0);
  EXPECT_GT(unbounded.traverses, 100);
  EXPECT_EQ(unbounded.source, kMethodZozed);
  EXPECT_GT(unbounded.rate, 0);
  EXPECT_LT(unbounded.mismatch, 5);
  EXPECT_EQ(unbounded.noNodalRate, 0);
  const Outcome bounded = run(100);
  EXPECT_EQ(bounded.source, kMethodWelltest);
  EXPECT_EQ(bounded.noNodalRate, 1);
}

TEST(GasCurveFit, TraceFileOnlyWhenAskedFor) {
  char dir[] = "/tmp/zelba_fit_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  char previous[PATH_MAX];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir), 0);
  // The text of "shit.out" in the current directory, or "none" without one.
  auto trace = [] {
    std::ifstream in("shit.out");
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string("none");
  };
  // No trace without files to write it to, and none from ba-engine without
  // --trace-fit. The run fits three days: each fit rewrites the file.
  // 643^2 = 413449, 643^3 = 265847707, 643^4 = 170940075601.
  const std::string expected =
      "rhs[1]=0.000000\nrhs[2]=96.300875\nrhs[3]=147.160000\nrhs[4]=179.362125\n"
      "rhs[5]=236.000000\n"
      "j 1 =            1            0            0            0            0 \n"
      "j 2 =            1           50         2500       125000      6250000 \n"
      "j 3 =            1          100        10000      1000000    100000000 \n"
      "j 4 =            1          250        62500     15625000   3906250000 \n"
      "j 5 =            1          643       413449    265847707 170940075601 \n"
      "ans[1]=0.000000\nans[2]=2.508694\nans[3]=-0.013043\nans[4]=0.000029\n"
      "ans[5]=-0.000000\n";
  gasCurveFit("F_2", 65, 7637.5);
  EXPECT_EQ(trace(), "none");
  MemoryFiles memory;
  gasCurveFit("F_2", 65, 7637.5, &memory);
  EXPECT_EQ(memory.text("shit.out"), expected);
  EXPECT_EQ(trace(), "none");
  std::ofstream("nodal.ba") << kNodalRun;
  const std::string engine = std::string(BA_ENGINE_PATH) + " ";
  EXPECT_EQ(std::system((engine + "nodal.ba").c_str()), 0);
  EXPECT_EQ(trace(), "none");
  EXPECT_EQ(std::system((engine + "--trace-fit nodal.ba").c_str()), 0);
  EXPECT_EQ(trace(), expected);
  std::remove("shit.out");
  std::remove("nodal.ba");
  EXPECT_EQ(chdir(previous), 0);
  rmdir(dir);
}

}  // namespace
}  // namespace zelba
