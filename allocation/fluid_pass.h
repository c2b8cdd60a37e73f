// The allocation of one fluid over all points of measurement.
#pragma once

#include "engine/run_state.h"

namespace zelba {

// Allocates fluid slot `fluid`: from theoretical rates only when "*Theoretical"
// names it, else from its measured volumes when it has any, else not at all.
// REQUIRES: a prepared run; fluids are allocated in slot order, oil first.
void allocateFluid(RunState& rs, int fluid);

// Adds the theoretical volumes of the members of point `pom` over days d0 up
// to but not including d1 to the point's node.
void sumMembers(RunState& rs, int fluid, int pom, int d0, int d1);

}  // namespace zelba
