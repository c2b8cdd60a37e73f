// A look over a finished allocation for what its user should know about.
#pragma once

#include "engine/run_state.h"

namespace zelba {

// Records, as diagnostics, the wells that have a volume on a day with 0 hours
// on, the wells whose methods need a well test but have none, and the wells
// whose newest test is older than 90 days at the period start.
void reviewAllocation(RunState& rs);

}  // namespace zelba
