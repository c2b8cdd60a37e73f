// The report as a set of linked HTML pages: a frameset with a menu, a
// header, an index pane and a data pane, the index pages, and one data page
// per allocated node.
#pragma once

#include <string>

#include "engine/output_files.h"
#include "engine/run_state.h"

namespace zelba {

// Writes the set; `framesetPath` is the first "*html" argument and every other
// page goes to `htmlDirectory` followed by its file name. Returns 1 when the
// frameset file could be created, else 0 (and writes nothing else).
int writeHtmlReport(const RunState& rs, OutputFiles& files, const std::string& framesetPath);

// Text made safe to stand inside a page: &, <, > and " become entities.
std::string escapeHtml(const std::string& text);

}  // namespace zelba
