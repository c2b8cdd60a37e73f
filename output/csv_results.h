// The results of a run as one CSV table, for spreadsheets and scripts.
#pragma once

#include <string>

#include "engine/run_state.h"

namespace zelba {

// RFC 4180 text, UTF-8, lines ended CR LF, a header row. A row per well,
// day and listed fluid (date, well, point, hours on, theoretical volume, the
// method that gave it, allocated volume), then a row per point of
// measurement, day and fluid (measured volume, field factor, range code).
// Figures are printed as the load file and the totals table print them.
std::string csvResults(const RunState& rs);

}  // namespace zelba
