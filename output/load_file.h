// The load file that carries the allocated volumes back into the host's
// production database.
#pragma once

#include <string>

#include "engine/output_files.h"
#include "engine/run_state.h"

namespace zelba {

// Writes a row per well and day (daily) or per well for the period (monthly)
// of the allocated volumes of every listed fluid slot.
void writeLoadFile(const RunState& rs, OutputFiles& files, const std::string& path, bool daily);

}  // namespace zelba
