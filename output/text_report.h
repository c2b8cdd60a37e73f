// The text report (daily or monthly), the allocated-totals listing and the
// readers that take single pages back out of a finished report.
#pragma once

#include <istream>
#include <string>

#include "engine/output_files.h"
#include "engine/run_state.h"

namespace zelba {

// Writes the daily or monthly text report to `path` (the HTML set is chosen
// by the caller). A file that cannot be created is not written.
// REQUIRES: the table of day dates is filled.
void writeReport(RunState& rs, OutputFiles& files, const std::string& path);

// One page per allocated node with its days, then the network totals. Stores
// each node's page position in its `reportOffset`.
void writeDailyReport(RunState& rs, TextSink& out);

// One page per facility with its wells' period totals, each followed by the
// facility's totals block.
void writeMonthlyReport(RunState& rs, TextSink& out);

// Every well's period totals on one page.
void writeTotalsListing(const RunState& rs, OutputFiles& files, const std::string& path);

// The page of the first allocated node named `name` (any case), read from the
// finished report: the lines after its form-feed line up to the next page.
// Empty when there is no such node.
std::string readNodePage(const RunState& rs, std::istream& report, const std::string& name);

// The page at list position `position`: a node index in daily mode, a point of
// measurement's index in monthly mode. Empty for a node that was not allocated.
std::string readPageByPosition(const RunState& rs, std::istream& report, int position);

}  // namespace zelba
