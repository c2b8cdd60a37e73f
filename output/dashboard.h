// The run on one self-contained HTML page with charts, for a person in a
// browser and for sending by mail.
//
// The page is a shell around one JSON document (in a <script
// type="application/json"> element) from which the page's own script builds
// each view when it is opened: the overview at once, a point's or a well's
// charts only when that point or well is shown, so that a field of 100,000
// wells opens as quickly as one of ten. Every figure in the document is text
// printed with the format the report, the totals listing or the load file
// prints it with, so the page shows their very digits.
#pragma once

#include <string>

#include "engine/run_state.h"

namespace zelba {

// The whole page: no network and no other file (scripts and styles inlined).
// Text from the input (names, header lines, reasons) is escaped for HTML and
// for the script element that holds the document. REQUIRES: a prepared run
// (the period known); the run need not have allocated anything.
std::string dashboardHtml(const RunState& rs);

// The JSON document the page is built from (what the page embeds, with '<',
// '>' and '&' written as \u escapes so that no input text can end the script
// element). Exposed for the tests, which read figures out of it.
std::string dashboardData(const RunState& rs);

}  // namespace zelba
