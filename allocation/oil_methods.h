// The oil rate methods: a well's theoretical oil rate for one day, from its oil
// methods in order of preference (well-watch rate, well tests with
// calibration, constants, inflow-performance relations, decline, Kh, choke and
// transient methods).
#pragma once

#include "allocation/theoretical.h"

namespace zelba {

// Evaluates the well's oil chain for `day` into `eval` (rate and method).
// Returns 1, 0 or 11 when a method ended the chain, -1 when none did.
int oilChain(RunState& rs, const BaNode& node, int day, WellEvaluation& eval);

// Kh interpolated between dated equation rows; day slot 0 rebuilds the table.
Eval khInterpolated(RunState& rs, const BaNode& node, int day);

struct TestAge {
  int flag = 0;     // 1 while the well's test is young enough for a transient method
  double age = -1;  // days since the "dateinfo" reference date, -1 without one
};
TestAge testAge(const RunState& rs, const BaNode& node, int day);

// Transient radial-flow productivity index from the well's properties.
Eval transientProductivity(const RunState& rs, const BaNode& node, double ageDays);

// Gilbert's choke correlation, calibrated on the well test (or the "Choke Eq."
// equation) and applied to the day's well-watch pressure and choke.
Eval chokeRate(const BaNode& node, int day);

// Rate where the well's inflow meets its tubing outflow (nodal analysis).
Eval liftRate(RunState& rs, const BaNode& node, int day, double productivityIndex);

// The gas rate of the well's fitted gas curve for the day.
Eval gasCurveFit(RunState& rs, const BaNode& node, int day);

}  // namespace zelba
