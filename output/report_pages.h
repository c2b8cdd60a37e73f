// The pages of a finished text report, found again from its form feeds and
// page headers, and the readers that take one page back out of the file for
// the report viewer. The index is made while the run's state is there (it
// needs the page header's layout and the viewer's list positions); after
// that the index and the report file are all the readers need.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "engine/run_state.h"

namespace zelba {

// A node's page of the report: the page header line "LEVEL: NAME" tells
// whose it is.
struct ReportPage {
  long offset = 0;    // where its form-feed line starts, in bytes
  std::string level;  // the node's level, "TF"
  std::string name;   // the node's name
};

class ReportPageIndex {
 public:
  // Reads the report from its start. Its pages repeat `headerLines` lines of
  // "*Header" text after their form-feed line. `pageAtPosition` gives, for
  // each position of the viewer's list, the number of the node page shown
  // there (its place among the node pages, from 0), -1 for none.
  ReportPageIndex(std::istream& report, bool daily, int headerLines,
                  std::vector<int> pageAtPosition);
  ReportPageIndex() = default;

  // The node pages in file order; not the network totals or a monthly
  // facility's totals block.
  const std::vector<ReportPage>& pages() const { return pages_; }
  // The number of positions of the viewer's list.
  int positionCount() const { return static_cast<int>(pageAtPosition_.size()); }

  // The first page of a node named `name` (any case): its lines after the
  // form-feed line up to the next page. Empty when no page has the name.
  std::string readNamed(std::istream& report, const std::string& name) const;
  // The page at list position `position`; empty for a position without one.
  std::string readAtPosition(std::istream& report, int position) const;

 private:
  std::vector<ReportPage> pages_;
  std::vector<int> pageAtPosition_;
};

// The index of the text report that the run `rs` wrote to `report`. The
// list positions are the node indexes in daily mode and the points of
// measurement (each showing its own node's page) in monthly mode.
ReportPageIndex indexReportPages(const RunState& rs, std::istream& report);

// The page that starts at `offset`: its lines after the form-feed line, up
// to the next page.
std::string readReportPage(std::istream& report, long offset);

}  // namespace zelba
