// A readable account of a run's diagnostics: the records grouped by kind,
// then what each point of measurement measured and allocated.
#pragma once

#include <string>
#include <vector>

#include "engine/output_files.h"
#include "engine/run_state.h"

namespace zelba {

// A record that repeats on consecutive days (the same kind, node, point,
// fluid and reason) is one line with its day range and count.
void writeDiagnosticsTable(const RunState& rs, TextSink& out);

// What of a run its user should look at, a line each: the count of each kind
// of record (but the target band: there the run did what it was asked) and
// each fluid's measured volume that no member got. Empty when the run
// recorded nothing of the kind.
std::vector<std::string> attentionLines(const RunState& rs);

}  // namespace zelba
