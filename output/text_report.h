// The text report (daily or monthly) and the allocated-totals listing. The
// pages of a finished report are found again by output/report_pages.h.
#pragma once

#include <string>
#include <vector>

#include "engine/output_files.h"
#include "engine/run_state.h"

namespace zelba {

// Where a node's page starts in the text report, in bytes from its start.
struct ReportPageStart {
  int node = -1;
  long offset = 0;
};
using ReportPageStarts = std::vector<ReportPageStart>;

// Whether `node` has a page of its own in the text report: every allocated
// node in daily mode, every allocated node above the well level in monthly
// mode (whose wells are rows of their facility's page).
bool hasReportPage(const RunState& rs, const BaNode& node);

// Writes the daily or monthly text report to `path` (the HTML set is chosen
// by the caller) and returns where each node's page starts, in node order;
// nothing when the file cannot be created.
// REQUIRES: the table of day dates is filled.
ReportPageStarts writeReport(const RunState& rs, OutputFiles& files, const std::string& path);

// One page per allocated node with its days, then the network totals.
ReportPageStarts writeDailyReport(const RunState& rs, TextSink& out);

// One page per facility with its wells' period totals, each followed by the
// facility's totals block.
ReportPageStarts writeMonthlyReport(const RunState& rs, TextSink& out);

// Every well's period totals on one page.
void writeTotalsListing(const RunState& rs, OutputFiles& files, const std::string& path);

}  // namespace zelba
