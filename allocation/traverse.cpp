// The nodal rate of the oil method "Zozed": the rate where the transient
// inflow q = J (Pr - Pwf) meets the tubing outflow, found with the host's
// Newton-Raphson root finder on the residual q / J - (Pr - Pwf(q)). Pwf(q) is
// a pressure traverse from the wellhead down the tubing in 100 equal steps,
// each solved for its own pressure drop (beggs_brill.cpp).
#include <cmath>
#include <limits>

#include "allocation/oil_methods.h"
#include "allocation/traverse.h"
#include "engine/numbers.h"
#include "host/host_services.h"

namespace zelba {

namespace {

constexpr double kPi = 3.14159;  // the traverse's geometry has always used this value
constexpr double kDefaultGasGravity = 0.65;
constexpr double kDefaultWaterGravity = 1.0;
constexpr double kInitialStepDrop = 5.0;  // psi, first guess of every step
constexpr double kStepTolerance = 0.001;  // psi between two successive estimates
constexpr int kMaxStepRefinements = 20;   // after the first evaluation
constexpr double kResidualBand = 5.0;     // psi; a residual closer to 0 is a match
constexpr double kDerivativeStep = 1.0;   // bbl/d
constexpr double kNotFinite = std::numeric_limits<double>::quiet_NaN();

// The opening slot keeps a missing test value as MISSING_VALUE; in the
// traverse it would pass for a BS&W or a GOR, so it counts as 0.
double testNumber(const BaTestDay& test, int column) {
  const double value = test.values[column];
  return value == MISSING_VALUE ? 0 : value;
}
}  // namespace

bool loadTraverseContext(const RunState& rs, const BaNode& node, int day, double J,
                         TraverseContext& ctx) {
  ctx = TraverseContext{};
  if (!node.testDays || !node.wellDesc || day < 0 || day >= kDaySlots) return false;
  const BaTestDay& test = (*node.testDays)[day].valid ? (*node.testDays)[day] : (*node.testDays)[0];
  const auto& res = rs.control.resProp;  // "ResProp" p1 at [0]
  const auto& pvt = rs.control.pvtProp;  // "PVTPROP" p1 at [0]

  ctx.gasGravity = res[3] > 0 ? res[3] : kDefaultGasGravity;
  ctx.waterGravity = res[4] > 0 ? res[4] : kDefaultWaterGravity;
  ctx.oilTensionGiven = res[5];
  ctx.waterTensionGiven = res[6];
  ctx.reservoirPressure = pvt[0];
  ctx.temperature = pvt[1];
  ctx.oilFvf = pvt[2];
  ctx.oilViscosity = pvt[3];
  ctx.solutionGor = pvt[4];
  ctx.gasViscosity = pvt[6];
  ctx.zFactor = pvt[7];
  ctx.waterFvf = pvt[8];
  ctx.waterViscosity = pvt[9];

  const BaWellDesc& desc = *node.wellDesc;
  const double insideDiameter = desc.values[0];  // inches
  const double length = desc.values[1];
  const double inclination = desc.values[2];  // degrees from horizontal
  if (!(insideDiameter > 0) || !(length > 0)) return false;
  ctx.diameter = insideDiameter / 12;
  ctx.angle = inclination * kPi / 180;
  ctx.area = kPi * (ctx.diameter / 2) * (ctx.diameter / 2);
  ctx.length = length;
  ctx.stepLength = length / kTraverseSteps;

  double api = testNumber(test, kTestApi);
  if (!(api > 0)) api = res[2];
  const double oilRate = testNumber(test, kTestOil);
  if (!(api > 0) || !(oilRate > 0)) return false;
  ctx.api = api;
  ctx.oilRate = oilRate;
  ctx.waterOilRatio = waterOilRatioOf(testNumber(test, kTestBsw), rs.control.bswFraction);
  ctx.gasOilRatio = testNumber(test, kTestGor);
  ctx.wellheadPressure = testNumber(test, kTestWhfp);

  if (!(J > 0) || !std::isfinite(J)) return false;
  ctx.productivityIndex = J;
  return true;
}

Eval liftRate(RunState& rs, const BaNode& node, int day, double productivityIndex) {
  TraverseContext ctx;
  if (!loadTraverseContext(rs, node, day, productivityIndex, ctx)) return Eval{-1, 0};
  ctx.traverseBudget = rs.nodalTraverseBudget;
  // The search starts from the rate the well tested at.
  const double start = ctx.oilRate;
  double rate = 0;
  const int status = NewtonRaphsonRootFinder([&ctx](double q) { return nodalResidual(ctx, q); },
                                             start, kNoResidual, &rate, kDerivativeStep);
  if (!std::isfinite(rate)) return Eval{-1, 0};
  return Eval{status, rate};
}

double nodalResidual(TraverseContext& ctx, double q) {
  if (!(q >= 0)) return kNoResidual;
  // A solution given a budget of traverses gives up once it is spent.
  if (ctx.traverseBudget > 0 && ctx.traverses >= ctx.traverseBudget) return kNoResidual;
  ++ctx.traverses;
  const double pwf = bottomholePressure(ctx, q, ctx.wellheadPressure);
  // Above the reservoir pressure the well would not flow at all.
  if (!std::isfinite(pwf) || pwf > ctx.reservoirPressure) return kNoResidual;
  const double r = q / ctx.productivityIndex - (ctx.reservoirPressure - pwf);
  if (!std::isfinite(r)) return kNoResidual;
  return std::fabs(r) < kResidualBand ? 0 : r;
}

double bottomholePressure(TraverseContext& ctx, double q, double wellheadPressure) {
  ctx.oilRate = q;
  ctx.waterRate = q * ctx.waterOilRatio;
  ctx.gasRate = q * ctx.gasOilRatio;
  ctx.liquidRate = ctx.oilRate + ctx.waterRate;
  // A fixed count of equal steps: accumulating the depth and comparing it with
  // the length would drop the last step through rounding for many lengths.
  ctx.stepLength = ctx.length / kTraverseSteps;
  double p = wellheadPressure;
  for (int k = 0; k < kTraverseSteps; ++k) {
    const double dp = traverseStep(ctx, p);
    if (!std::isfinite(dp)) return kNotFinite;
    p += dp;
  }
  return p;
}

double traverseStep(TraverseContext& ctx, double p) {
  double estimate = kInitialStepDrop;
  if (!computeStepProperties(ctx, p, estimate)) return kNotFinite;
  double next = beggsBrillGradient(ctx);
  for (int k = 0; k < kMaxStepRefinements && std::fabs(estimate - next) > kStepTolerance; ++k) {
    estimate = next;
    if (!computeStepProperties(ctx, p, estimate)) return kNotFinite;
    next = beggsBrillGradient(ctx);
  }
  return std::isfinite(next) ? next : kNotFinite;
}

}  // namespace zelba
