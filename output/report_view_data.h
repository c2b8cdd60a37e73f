// What the report viewer shows of a finished text report: the tree of its
// points of measurement (and, in daily mode, their member wells) and the
// index of its pages. It is taken while the run's state is there; the viewer
// needs only it and the report file afterwards. No user-interface code.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

#include "engine/run_state.h"
#include "output/report_pages.h"

namespace zelba {

// The viewer copies at most this many bytes of a tree item's text into the
// name it looks a page up by.
constexpr std::size_t kViewerNameBytes = 254;
// The buffer a page is read into, its terminating NUL included: a page
// shows at most one byte less.
constexpr std::size_t kViewerPageBuffer = 65535;

// One point of measurement of the tree.
struct ReportViewPom {
  std::string name;                  // its node's name
  std::vector<std::string> members;  // its members' names in daily mode; none in monthly mode
};

struct ReportViewData {
  std::string reportPath;           // the finished text report
  bool daily = true;                // daily (true) or monthly (false) processing
  std::vector<ReportViewPom> poms;  // in pomTable order
  ReportPageIndex pages;            // the report's pages and the Print All positions
};

// The tree of `rs` and the index of the report it wrote to `reportPath`.
// A report that cannot be opened gives an index without pages but with every
// Print All position (each prints as an empty page).
ReportViewData reportViewData(const RunState& rs, const std::string& reportPath);

// `text` cut so that it fits a buffer of `bufferBytes` bytes with its
// terminating NUL, never inside a UTF-8 sequence. Empty for a buffer of 0.
std::string fitToBuffer(std::string text, std::size_t bufferBytes);

// The page a tree item of text `itemText` shows: the page of the node of
// that name (the name cut to kViewerNameBytes), cut to kViewerPageBuffer.
// Empty when no page has the name.
std::string viewerPageNamed(const ReportViewData& data, std::istream& report,
                            const std::string& itemText);

// The page Print All prints at `position` (0 to positionCount - 1), cut to
// kViewerPageBuffer; empty for a position without one.
std::string viewerPageAt(const ReportViewData& data, std::istream& report, int position);

}  // namespace zelba
