// The tubing pressure traverse and the nodal rate of the oil method "Zozed".
//
// A well's nodal rate is the rate q at which its transient inflow,
// q = J (Pr - Pwf), meets its tubing outflow: the bottom-hole pressure Pwf that
// a multiphase pressure traverse down the tubing gives for q, starting from the
// measured wellhead pressure. Everything one nodal solution needs lives in a
// TraverseContext that the caller owns and passes explicitly, so solutions do
// not share state.
//
// Units throughout: psi (gauge unless named psia), deg F, ft, lb/ft3, ft3/s,
// bbl/d, scf/bbl, cp, dyn/cm.
#pragma once

#include <limits>

#include "allocation/theoretical.h"

namespace zelba {

// What the nodal residual returns where it has no value (a negative rate, a
// bottom-hole pressure above the reservoir pressure, a traverse that cannot be
// evaluated); the root finder is told this value.
constexpr double kNoResidual = -99999.0;

// Beggs and Brill flow patterns.
enum FlowPattern {
  kLiquidOnly = 0,
  kGasOnly = 1,
  kDistributed = 2,
  kIntermittent = 3,
  kSegregated = 4,
  kTransition = 5,
};

// Properties of one traverse step at its mean pressure.
struct StepProperties {
  double meanPressure = 0;     // psia: p + dp / 2 + 14.7
  double oilTension = 0;       // dyn/cm
  double waterTension = 0;     // dyn/cm
  double liquidTension = 0;    // dyn/cm, weighted by the oil and water fractions
  double oilFraction = 1;      // of the liquid, 1 / (WOR + 1)
  double waterFraction = 0;    // 1 - oilFraction
  double oilDensity = 0;       // lb/ft3, live oil
  double gasDensity = 0;       // lb/ft3 at the mean pressure
  double waterDensity = 0;     // lb/ft3
  double liquidDensity = 0;    // lb/ft3
  double gasFlow = 0;          // ft3/s of free gas in place
  double liquidFlow = 0;       // ft3/s of liquid in place
  double liquidVelocity = 0;   // vsl, superficial, ft/s
  double gasVelocity = 0;      // vsg, superficial, ft/s
  double mixtureVelocity = 0;  // vm = vsl + vsg, ft/s
  double massFlux = 0;         // G, lb/(ft2 s)
  double noSlipHoldup = 1;     // lambda = QL / (QL + Qg)
  double liquidViscosity = 0;  // cp
  double noSlipViscosity = 0;  // lb/(ft s)
};

// What the last Beggs and Brill gradient found; kept for inspection.
struct GradientDetail {
  int pattern = kLiquidOnly;     // FlowPattern
  double froude = 0;             // NFr = vm^2 / (d g)
  double reynolds = 0;           // no-slip Reynolds number
  double velocityNumber = 0;     // liquid velocity number NLv
  double horizontalHoldup = 0;   // H0 (of the intermittent pattern in transition)
  double inclinationC = 0;       // C of the inclination correction (same)
  double inclinationPsi = 1;     // psi = 1 + C (sin 1.8t - 0.333 sin^3 1.8t) (same)
  double holdup = 1;             // liquid holdup H in the inclined pipe
  double slipDensity = 0;        // lb/ft3
  double noSlipDensity = 0;      // lb/ft3
  double holdupRatio = 1;        // y = lambda / H^2
  double frictionRatio = 1;      // e^S = ftp / fn
  double noSlipFriction = 0;     // fn
  double twoPhaseFriction = 0;   // ftp
  double elevationGradient = 0;  // psi/ft of the slip mixture's weight
  double frictionGradient = 0;   // psi/ft of friction
  double kineticTerm = 0;        // Ek, the acceleration share of the gradient
};

// Terms of the tubing's inclination, computed once per angle: sin(theta) for
// the elevation term and sin(1.8 theta) - 0.333 sin^3(1.8 theta) for the
// holdup's inclination correction.
struct AngleTerms {
  double angle = std::numeric_limits<double>::quiet_NaN();  // the angle they are of
  double sine = 0;
  double correction = 0;
};

struct TraverseContext {
  // Tubing.
  double diameter = 0;  // inside diameter, ft
  double area = 0;      // flow area, ft2
  double angle = 0;     // inclination from horizontal, radians (pi taken as 3.14159)
  double length = 0;    // wellhead to bottom, ft
  double stepLength = 0;
  // Fluids.
  double api = 0;                // oil gravity, deg API
  double gasGravity = 0.65;      // air = 1
  double waterGravity = 1.0;     // water = 1
  double oilTensionGiven = 0;    // dyn/cm; 0: Baker and Swerdloff at each step
  double waterTensionGiven = 0;  // dyn/cm; 0: Hough at each step
  double temperature = 0;        // deg F, the same over the whole tubing
  double oilFvf = 0;             // Bo, bbl/STB
  double oilViscosity = 0;       // cp
  double solutionGor = 0;        // Rs, scf/STB
  double gasViscosity = 0;       // cp
  double zFactor = 0;            // gas deviation factor
  double waterFvf = 0;           // Bw, bbl/STB
  double waterViscosity = 0;     // cp
  // Well.
  double reservoirPressure = 0;  // Pr, psi
  double wellheadPressure = 0;   // psi gauge, from the well test
  double productivityIndex = 0;  // J, bbl/d/psi
  double waterOilRatio = 0;      // of the well test
  double gasOilRatio = 0;        // scf/STB, of the well test
  // Rates of the traverse being run.
  double oilRate = 0;     // qo, bbl/d
  double waterRate = 0;   // qw = qo x WOR
  double gasRate = 0;     // qg = qo x GOR, scf/d
  double liquidRate = 0;  // qL = qo + qw
  // The step being evaluated and the last gradient.
  StepProperties step;
  GradientDetail gradient;
  AngleTerms angleTerms;
  // Traverses run by this solution's residuals so far, and how many it may
  // run: 0 for no bound (the root finder bounds its own work).
  int traverses = 0;
  int traverseBudget = 0;
};

// Number of equal steps of a traverse, whatever the tubing length.
constexpr int kTraverseSteps = 100;

// Fills `ctx` for a nodal solution of well `node` on `day` with productivity
// index J (bbl/d/psi): the day's well test when its `valid` flag is set, else
// the opening slot's (a missing test value counts as 0), the run's reservoir
// and PVT properties and the well description. The water-oil ratio is that of
// the test's BS&W, a percentage or, with "*BswFraction", a fraction (0 for all
// water). Returns false when the inputs are not usable: no tubing diameter or
// length, no oil gravity, no test oil rate, or J not above 0. `liftRate`
// (oil_methods.h) loads the context this way and hands nodalResidual to the
// root finder from the test's oil rate. REQUIRES: `node` is a well.
bool loadTraverseContext(const RunState& rs, const BaNode& node, int day, double J,
                         TraverseContext& ctx);

// The residual the root finder zeroes: q / J - (Pr - Pwf(q)), taken as 0 when
// within 5 psi of it. kNoResidual for a negative rate, a bottom-hole pressure
// above Pr, a traverse that cannot be evaluated, or once the solution has run
// a traverse budget it was given (the root finder then fails at once).
double nodalResidual(TraverseContext& ctx, double q);

// The bottom-hole pressure (psi gauge) of the traverse for oil rate q from
// `wellheadPressure` down the whole tubing, in kTraverseSteps steps. Sets the
// context's rates to q. Not finite when a step cannot be evaluated.
double bottomholePressure(TraverseContext& ctx, double q, double wellheadPressure);

// The pressure gain (psi) over one step that starts at pressure p (gauge):
// the gradient is re-evaluated at the mean pressure of the latest estimate
// until two estimates agree within 0.001 psi, at most 21 evaluations; the
// last estimate stands even when they do not agree. Not finite when a mean
// pressure is not above 0 psia or the gradient is not finite.
double traverseStep(TraverseContext& ctx, double p);

// Fills ctx.step for the step starting at p (gauge) with pressure-drop guess
// dp. Returns false when the mean pressure is not above 0 psia.
bool computeStepProperties(TraverseContext& ctx, double p, double dp);

// The Beggs and Brill pressure change (psi) over one step of ctx.stepLength
// from ctx.step and the tubing of `ctx`; fills ctx.gradient.
double beggsBrillGradient(TraverseContext& ctx);

// The flow pattern of no-slip holdup `lambda` at Froude number `froude`.
int flowPattern(double lambda, double froude);

// Surface tensions (dyn/cm), held at 1.0 at least: live oil (Baker and
// Swerdloff) of gravity `api` at deg F and mean pressure psia; water (Hough).
double oilSurfaceTension(double api, double temperature, double meanPressure);
double waterSurfaceTension(double temperature, double meanPressure);

}  // namespace zelba
