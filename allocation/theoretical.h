// Theoretical volumes: what each well would have produced or injected on each
// day, from its method list for the fluid, scaled by its hours on.
#pragma once

#include <cstdint>

#include "engine/run_state.h"

namespace zelba {

// A status and a value: status 1 when a value was produced, -1 when none
// (the caller tries its next method), 0 for a constant of zero.
struct Eval {
  int status = -1;
  double value = 0;
};

// The status of a method's result; its value goes to `into` only when the
// method found one (status 1).
inline int takeFound(const Eval& r, double& into) {
  if (r.status == 1) into = r.value;
  return r.status;
}

// What one well's evaluation carries from one day to the next. A value that a
// day's chain does not write keeps what it held the day before (or what the
// preparatory evaluation of day slot 0 left).
struct WellEvaluation {
  double rate = 0;           // the day's direct rate of the fluid, per 24 hours
  double gasOilRatio = 0;    // gas per unit of oil, for the ratio mode of gas
  double waterOilRatio = 0;  // for the ratio mode of water
  bool ratioMode = false;    // gas or water follows the oil volume through the ratio
  int method = -1;           // methodNames id the chain ended on; -1 none yet
  // The days (bit d for day index d) on which the nodal method found no rate
  // and the chain went on, for the review after allocation.
  std::uint32_t noNodalRateDays = 0;
};

// Evaluates the theoretical volumes of fluid `fluid` for every day of the
// period: of the member wells of point `pom` (everyNode false), or of every
// node of the run (everyNode true, `pom` ignored), where the theoretical
// volume also becomes the allocated volume.
//
// With `rs.workThreads`, wells are evaluated on several threads where that
// cannot change a result: each well's evaluation reads and writes only its
// own records. Wells whose methods interpolate in the run's scratch tables
// (which carry over from one well to the next when a well does not rebuild
// them), every well of a point that lists a well twice, and every well of a
// run that traces its gas curve fits, are evaluated on the calling thread in
// member order, as in a run without threads.
void computeTheoreticalVolumes(RunState& rs, int pom, int fluid, bool everyNode);

// True when the fluid's first method needs no well test: decline, transient,
// Kh, polynomial or interpolated equations.
bool isEquationDriven(const BaNode& node, int fluid);

// The calibration used for well tests calibrated on the choke: `value` when
// above 0, else 1.0.
void setCalibrationDefault(RunState& rs, double value);

// The method chains of one well and day; they write into `eval`.
void gasChain(RunState& rs, const BaNode& node, int day, WellEvaluation& eval);
void waterChain(RunState& rs, const BaNode& node, int day, WellEvaluation& eval);
void injectionChain(RunState& rs, const BaNode& node, int day, int fluid, WellEvaluation& eval);

// Shared evaluators. REQUIRES: `node` is a well (it has its per-day blocks).
Eval declineRate(const RunState& rs, const BaNode& node, int day, int fluid);
Eval polynomialValue(const BaNode& node, int day, int fluid);
// Day slot 0 rebuilds the well-test table of the well (status -1); later days
// read it.
Eval testInterpolated(RunState& rs, const BaNode& node, int day, int fluid, int column);

// Value of `table` at x, scanning from its cursor: linear between the points
// around x, the last value past the end. Before the second point the first
// segment is extended, or, with `holdFirst`, the first value is kept.
// REQUIRES: at least two points.
double interpolateTable(InterpolationTable& table, double x, bool holdFirst);

// The water-oil ratio of a BS&W, in percent or (`fraction`) as a fraction. A
// BS&W of all water, or none, gives 0 rather than a division by zero.
double waterOilRatioOf(double bsw, bool fraction);

// The value of a test column of a well's day.
float testValue(const BaNode& node, int day, int column);

}  // namespace zelba
