// A readable account of a run's diagnostics: the records grouped by kind,
// then what each point of measurement measured and allocated.
#pragma once

#include "engine/output_files.h"
#include "engine/run_state.h"

namespace zelba {

void writeDiagnosticsTable(const RunState& rs, TextSink& out);

}  // namespace zelba
