// What the module's user interface plugs into the exported entries: the
// report viewer a run opens after a text report. Set by the module's
// initialisation entry in a build with a user interface; a batch build
// leaves it empty and no run opens anything.
#pragma once

#include <functional>
#include <string>

#include "engine/run_state.h"

namespace zelba {

// Shows the text report at `reportPath` that the run in `rs` has just
// written; called on the run's thread, while the run state is there.
using ModuleReportViewer = std::function<void(const RunState& rs, const std::string& reportPath)>;

// The viewer every later BaEngineStart run calls; empty for none. Set it
// before the host's first run, not while one is going on.
void setModuleReportViewer(ModuleReportViewer viewer);
ModuleReportViewer moduleReportViewer();

}  // namespace zelba
