// The complete results of a run as JSON, for programs that read them.
#pragma once

#include <string>

#include "engine/run_state.h"

namespace zelba {

// The period and mode, every point of measurement with its members and daily
// measured volumes and field factors, every well with its daily hours,
// routing, theoretical and allocated volumes, and the run's diagnostics.
std::string resultsJson(const RunState& rs);

}  // namespace zelba
