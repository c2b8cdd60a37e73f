// One step of the tubing traverse: the fluid properties at the step's mean
// pressure and the Beggs and Brill pressure gradient.
//
// Beggs and Brill two-phase correlation for inclined pipe: flow pattern map
// from the no-slip holdup and the Froude number, horizontal holdup per
// pattern, their inclination correction psi = 1 + C (sin 1.8t - 0.333 sin^3
// 1.8t), interpolation across the transition pattern, and the two-phase
// friction factor fn e^S. Oil surface tension after Baker and Swerdloff (dead
// oil from the gravity, reduced by dissolved gas with pressure), water surface
// tension after Hough (74 and 280 deg F curves). Black-oil densities and
// in-place flows from the run's PVT properties.
#include <cmath>

#include "allocation/traverse.h"

namespace zelba {

namespace {

constexpr double kGravity = 32.2;          // ft/s2
constexpr double kFrictionDivisor = 64.6;  // the friction term divides by d x 64.6, not 2 x 32.2
constexpr double kAtmosphere = 14.7;       // psi
constexpr double kAirDensity = 0.0764;     // lb/ft3 at standard conditions
constexpr double kWaterPerBarrel = 350;    // lb of fresh water in one barrel
constexpr double kCubicFeetPerBarrel = 5.615;
constexpr double kStandardTemperature = 520;       // deg R
constexpr double kBarrelsPerDayToFlow = 6.49e-05;  // bbl/d to ft3/s
constexpr double kFreeGasToFlow = 3.27e-07;        // scf/d at deg R and psia to ft3/s in place
constexpr double kCentipoiseToField = 0.000672;    // cp to lb/(ft s)
constexpr double kRankineOffset = 460;
constexpr double kSquareInchesPerSquareFoot = 144;  // lb/ft2 to psi

constexpr double kMinTension = 1.0;             // dyn/cm; the correlations fall below it
constexpr double kLiveOilPressureLimit = 3977;  // psia; above it the live-oil factor is gone

// Flow-pattern boundaries of the Froude number for no-slip holdup lambda.
// Each is computed only where the pattern map of that lambda compares with it
// (L1 below 0.4, L2 and L3 from 0.01, L4 from 0.4), and L2 and L3 on demand
// for the transition weighting; the others stay 0.
struct PatternBoundaries {
  double l1 = 0, l2 = 0, l3 = 0, l4 = 0;
  bool middle = false;  // l2 and l3 computed
};

void computeMiddleBoundaries(double lambda, PatternBoundaries& b) {
  if (b.middle) return;
  b.l2 = 0.0009252 * std::pow(lambda, -2.4684);
  b.l3 = 0.1 * std::pow(lambda, -1.4516);
  b.middle = true;
}

PatternBoundaries boundariesOf(double lambda) {
  PatternBoundaries b;
  if (lambda < 0.4) b.l1 = 316 * std::pow(lambda, 0.302);
  if (lambda >= 0.01) computeMiddleBoundaries(lambda, b);
  if (lambda >= 0.4) b.l4 = 0.5 * std::pow(lambda, -6.738);
  return b;
}

// The flow pattern of lambda and the Froude number; fills `b` with the
// boundaries it compared with.
int patternOf(double lambda, double froude, PatternBoundaries& b) {
  if (lambda > 0.99999) return kLiquidOnly;
  if (lambda < 0.00001) return kGasOnly;
  b = boundariesOf(lambda);
  if ((lambda < 0.01 && froude < b.l1) || (lambda >= 0.01 && froude < b.l2)) return kSegregated;
  if (lambda >= 0.01 && b.l2 < froude && froude <= b.l3) return kTransition;
  if ((lambda >= 0.01 && lambda < 0.4 && b.l3 < froude && froude <= b.l1) ||
      (lambda >= 0.4 && b.l3 < froude && froude <= b.l4)) {
    return kIntermittent;
  }
  if ((lambda < 0.4 && froude >= b.l1) || (lambda >= 0.4 && froude > b.l4)) return kDistributed;
  return kTransition;
}

// Horizontal holdup H0 = a lambda^b / NFr^c.
struct HoldupCoefficients {
  double a, b, c;
};

// Inclination correction C = (1 - lambda) ln(e lambda^f NLv^g NFr^h).
struct InclinationCoefficients {
  double e, f, g, h;
};

double horizontalHoldup(int pattern, double lambda, double froude) {
  HoldupCoefficients k{};
  switch (pattern) {
    case kDistributed:
      k = {1.065, 0.5824, 0.0609};
      break;
    case kIntermittent:
      k = {0.845, 0.5351, 0.0173};
      break;
    case kSegregated:
      k = {0.98, 0.4846, 0.0868};
      break;
    default:  // single-phase patterns: the no-slip holdup itself
      return lambda;
  }
  return k.a * std::pow(lambda, k.b) / std::pow(froude, k.c);
}

InclinationCoefficients inclinationCoefficients(int pattern, double angle) {
  // Downhill flow uses one set for every pattern, kept in single precision
  // as the correlation's table has always been evaluated.
  if (angle < 0) {
    return {static_cast<double>(4.7f), static_cast<double>(-0.3692f), static_cast<double>(0.1244f),
            static_cast<double>(-0.5056f)};
  }
  switch (pattern) {
    case kDistributed:
      return {1, 0, 0, 0};
    case kIntermittent:
      return {2.96, 0.305, -0.4473, 0.0978};
    case kSegregated:
      return {0.011, -3.768, 3.539, -1.614};
    default:
      return {0, 0, 0, 0};
  }
}

// The liquid holdup of `pattern` in pipe inclined at `angle`, held within
// 0.00001 and 1. Records H0, C and psi in `detail`.
double inclinedHoldup(int pattern, double lambda, double froude, double velocityNumber,
                      const AngleTerms& inclination, GradientDetail& detail) {
  const double angle = inclination.angle;
  const double correction = inclination.correction;
  const double h0 = horizontalHoldup(pattern, lambda, froude);
  double c = 0;
  double psi = 1;
  if (angle != 0) {
    const InclinationCoefficients k = inclinationCoefficients(pattern, angle);
    // With no exponents (distributed flow, the single phases) the product is
    // e itself: x^0 is 1 for every x.
    const double product =
        k.f == 0 && k.g == 0 && k.h == 0
            ? k.e
            : k.e * std::pow(lambda, k.f) * std::pow(velocityNumber, k.g) * std::pow(froude, k.h);
    c = (1 - lambda) * std::log(product);
    if (!(c >= 0)) c = 0;  // negative, or not a number (ln of 0 for the single phases)
    psi = 1 + c * correction;
  }
  detail.horizontalHoldup = h0;
  detail.inclinationC = c;
  detail.inclinationPsi = psi;
  double holdup = h0 * psi;
  if (holdup > 1) holdup = 1;
  if (holdup <= 0) holdup = 0.00001;
  return holdup;
}

// e^S, the ratio of the two-phase to the no-slip friction factor, from
// y = lambda / H^2. The fitted S-function has a pole just above y = 1; the
// band 1 < y < 1.2 takes a straight line instead.
double frictionRatio(double y) {
  if (y > 1 && y < 1.2) return 2.2 * y - 1.2;
  const double ly = std::log(y);
  const double ly2 = ly * ly;
  return std::exp(ly / (-0.0523 + 3.182 * ly - 0.8725 * ly2 + 0.01853 * ly2 * ly2));
}

}  // namespace

double oilSurfaceTension(double api, double temperature, double meanPressure) {
  const double s68 = 39 - 0.2571 * api;
  const double s100 = 37.5 - 0.2571 * api;
  double dead;
  if (temperature < 68) {
    dead = s68;
  } else if (temperature > 100) {
    dead = s100;
  } else {
    dead = s68 - (s68 - s100) * (temperature - 68) / 32;
  }
  // Dissolved gas lowers the tension until, near 3977 psia, the correlation
  // reaches 0 and then turns negative.
  double live = 1.0;
  if (meanPressure < kLiveOilPressureLimit) {
    live = dead * (1 - 0.024 * std::pow(meanPressure, 0.45));
  }
  return live >= kMinTension ? live : kMinTension;
}

double waterSurfaceTension(double temperature, double meanPressure) {
  const double s74 = 75 - 1.108 * std::pow(meanPressure, 0.349);
  const double s280 = 53 - 0.1048 * std::pow(meanPressure, 0.637);
  double tension;
  if (temperature < 74) {
    tension = s74;
  } else if (temperature > 280) {
    tension = s280;
  } else {
    tension = s74 - (s74 - s280) * (temperature - 74) / 206;
  }
  // The hot curve turns negative above about 17,600 psia.
  return tension >= kMinTension ? tension : kMinTension;
}

bool computeStepProperties(TraverseContext& ctx, double p, double dp) {
  StepProperties& s = ctx.step;
  s.meanPressure = p + dp / 2 + kAtmosphere;
  if (!(s.meanPressure > 0)) return false;
  const double pm = s.meanPressure;
  const double t = ctx.temperature;

  s.oilTension = ctx.oilTensionGiven != 0 ? ctx.oilTensionGiven : oilSurfaceTension(ctx.api, t, pm);
  s.waterTension = ctx.waterTensionGiven != 0 ? ctx.waterTensionGiven : waterSurfaceTension(t, pm);

  s.oilFraction = 1 / (ctx.waterOilRatio + 1);
  s.waterFraction = 1 - s.oilFraction;
  const double oilGravity = 141.5 / (ctx.api + 131.5);

  // Live oil carries its dissolved gas; the gas follows the real-gas law.
  s.oilDensity = (ctx.solutionGor * kAirDensity * ctx.gasGravity + oilGravity * kWaterPerBarrel) /
                 (ctx.oilFvf * kCubicFeetPerBarrel);
  s.gasDensity = (1 / ctx.zFactor) * (kStandardTemperature / (t + kRankineOffset)) *
                 (pm / kAtmosphere) * ctx.gasGravity * kAirDensity;
  s.waterDensity = ctx.waterGravity * kWaterPerBarrel / (ctx.waterFvf * kCubicFeetPerBarrel);
  s.liquidDensity = s.waterDensity * s.waterFraction + s.oilDensity * s.oilFraction;

  // Only the gas beyond what the oil holds in solution flows free; a test GOR
  // below Rs leaves none rather than a negative flow.
  s.gasFlow = (t + kRankineOffset) * (ctx.gasOilRatio - ctx.solutionGor) * ctx.zFactor *
              kFreeGasToFlow * ctx.oilRate / pm;
  if (s.gasFlow < 0) s.gasFlow = 0;
  s.liquidFlow = (ctx.waterRate * ctx.waterFvf + ctx.oilRate * ctx.oilFvf) * kBarrelsPerDayToFlow;

  s.liquidVelocity = s.liquidFlow / ctx.area;
  s.gasVelocity = s.gasFlow / ctx.area;
  s.mixtureVelocity = s.liquidVelocity + s.gasVelocity;
  s.massFlux = s.liquidDensity * s.liquidVelocity + s.gasDensity * s.gasVelocity;

  s.liquidTension = s.waterTension * s.waterFraction + s.oilTension * s.oilFraction;
  s.noSlipHoldup = s.liquidFlow / (s.liquidFlow + s.gasFlow);
  s.liquidViscosity = s.waterFraction * ctx.waterViscosity + s.oilFraction * ctx.oilViscosity;
  s.noSlipViscosity =
      ((1 - s.noSlipHoldup) * ctx.gasViscosity + s.noSlipHoldup * s.liquidViscosity) *
      kCentipoiseToField;
  return true;
}

int flowPattern(double lambda, double froude) {
  PatternBoundaries b;
  return patternOf(lambda, froude, b);
}

double beggsBrillGradient(TraverseContext& ctx) {
  const StepProperties& s = ctx.step;
  GradientDetail& g = ctx.gradient;
  const double d = ctx.diameter;
  const double lambda = s.noSlipHoldup;
  const double vm = s.mixtureVelocity;

  g.froude = vm * vm / (d * kGravity);
  g.reynolds = s.massFlux * d / s.noSlipViscosity;
  g.velocityNumber = 1.938 * s.liquidVelocity * std::pow(s.liquidDensity / s.liquidTension, 0.25);
  // The angle's sines are the same over the whole tubing.
  AngleTerms& terms = ctx.angleTerms;
  if (!(terms.angle == ctx.angle)) {
    terms.angle = ctx.angle;
    terms.sine = std::sin(ctx.angle);
    const double s18 = std::sin(1.8 * ctx.angle);
    terms.correction = s18 - 0.333 * s18 * s18 * s18;
  }

  PatternBoundaries b;
  g.pattern = patternOf(lambda, g.froude, b);

  if (g.pattern == kTransition) {
    // Between the segregated and the intermittent patterns, weighted by where
    // the Froude number lies between their boundaries.
    computeMiddleBoundaries(lambda, b);
    const double a = (b.l3 - g.froude) / (b.l3 - b.l2);
    const double segregated =
        inclinedHoldup(kSegregated, lambda, g.froude, g.velocityNumber, terms, g);
    const double intermittent =
        inclinedHoldup(kIntermittent, lambda, g.froude, g.velocityNumber, terms, g);
    g.holdup = a * segregated + (1 - a) * intermittent;
  } else {
    g.holdup = inclinedHoldup(g.pattern, lambda, g.froude, g.velocityNumber, terms, g);
  }
  const double h = g.holdup;

  g.slipDensity = (1 - h) * s.gasDensity + h * s.liquidDensity;
  g.noSlipDensity = (1 - lambda) * s.gasDensity + lambda * s.liquidDensity;

  g.holdupRatio = lambda / (h * h);
  g.frictionRatio = frictionRatio(g.holdupRatio);
  g.noSlipFriction = 0.0056 + 0.5 / std::pow(g.reynolds, 0.32);
  g.twoPhaseFriction = g.noSlipFriction * g.frictionRatio;

  const double elevation = terms.sine * g.slipDensity;
  const double friction = g.twoPhaseFriction * g.noSlipDensity * vm * vm / (d * kFrictionDivisor);
  g.kineticTerm =
      g.slipDensity * vm * s.gasVelocity / (s.meanPressure * kGravity * kSquareInchesPerSquareFoot);
  g.elevationGradient = elevation / kSquareInchesPerSquareFoot;
  g.frictionGradient = friction / kSquareInchesPerSquareFoot;
  return (elevation + friction) / (1 - g.kineticTerm) / kSquareInchesPerSquareFoot * ctx.stepLength;
}

}  // namespace zelba
