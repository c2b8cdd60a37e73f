#include "output/report_pages.h"

#include <algorithm>
#include <utility>

#include "engine/text.h"
#include "output/report_common.h"
#include "output/text_report.h"

namespace zelba {

namespace {

// A page is read to its next form feed, but never further than this: a
// report that is not ours cannot make one page the whole file.
constexpr int kMaxPageLines = 1000;

// The form-feed line of a daily node page; the network totals start with a
// form feed alone.
constexpr const char* kDailyPageStart = "\f\t";
// What follows a monthly page header's name: "   From: 20050101  to: ...".
constexpr const char* kMonthlyFrom = "   From: ";

std::string trimTrailingBlanks(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// Reads "LEVEL: NAME" (daily) or "LEVEL: NAME      From: ..." (monthly).
// False for a line of another shape, or a blank name (a monthly totals
// block has one).
bool readPageHeader(const std::string& line, bool daily, ReportPage& page) {
  const size_t colon = line.find(": ");
  if (colon == std::string::npos) return false;
  std::string name = line.substr(colon + 2);
  if (!daily) {
    const size_t from = name.rfind(kMonthlyFrom);
    if (from == std::string::npos) return false;
    name.resize(from);
  }
  name = trimTrailingBlanks(std::move(name));
  if (name.find_first_not_of(' ') == std::string::npos) return false;
  page.level = line.substr(0, colon);
  page.name = std::move(name);
  return true;
}

}  // namespace

ReportPageIndex::ReportPageIndex(std::istream& report, bool daily, int headerLines,
                                 std::vector<int> pageAtPosition)
    : pageAtPosition_(std::move(pageAtPosition)) {
  // After a page's form-feed line: its header lines, two empty lines, then
  // the name.
  const int linesBeforeName = std::max(headerLines, 0) + 2;
  report.clear();
  report.seekg(0);
  std::string line;
  long offset = 0;
  ReportPage page;
  int untilName = -1;  // lines still to pass before the name line; -1 outside a page header
  while (std::getline(report, line)) {
    const long lineStart = offset;
    offset += static_cast<long>(line.size()) + 1;
    if (!line.empty() && line.front() == '\f') {
      const bool nodePage = !daily || line == kDailyPageStart;
      untilName = nodePage ? linesBeforeName : -1;
      page = ReportPage{};
      page.offset = lineStart;
      continue;
    }
    if (untilName < 0) continue;
    if (untilName-- > 0) continue;
    if (readPageHeader(line, daily, page)) pages_.push_back(std::move(page));
    untilName = -1;
  }
  report.clear();
}

std::string ReportPageIndex::readNamed(std::istream& report, const std::string& name) const {
  for (const ReportPage& page : pages_) {
    if (equalsIgnoreCase(page.name, name)) return readReportPage(report, page.offset);
  }
  return std::string();
}

std::string ReportPageIndex::readAtPosition(std::istream& report, int position) const {
  if (position < 0 || position >= positionCount()) return std::string();
  const int page = pageAtPosition_[static_cast<size_t>(position)];
  if (page < 0 || page >= static_cast<int>(pages_.size())) return std::string();
  return readReportPage(report, pages_[static_cast<size_t>(page)].offset);
}

ReportPageIndex indexReportPages(const RunState& rs, std::istream& report) {
  const RunControl& rc = rs.control;
  const bool daily = rc.dailyMode != 0;
  // Monthly pages leave out the empty "*Header" lines.
  const int headerLines = static_cast<int>(
      daily ? rc.headers.size()
            : std::count_if(rc.headers.begin(), rc.headers.end(),
                            [](const std::string& header) { return !header.empty(); }));
  // Each node's place among the pages, in node order as they are written.
  std::vector<int> pageOfNode(static_cast<size_t>(rs.nodeCount()), -1);
  int pages = 0;
  for (int i = 0; i < rs.nodeCount(); ++i) {
    if (hasReportPage(rs, *rs.nodeTable[i])) pageOfNode[static_cast<size_t>(i)] = pages++;
  }
  std::vector<int> pageAtPosition;
  if (daily) {
    pageAtPosition = std::move(pageOfNode);
  } else {
    for (const auto& pom : rs.pomTable) {
      const int node = pom->nodeIndex;
      pageAtPosition.push_back(
          node >= 0 && node < rs.nodeCount() ? pageOfNode[static_cast<size_t>(node)] : -1);
    }
  }
  return ReportPageIndex(report, daily, headerLines, std::move(pageAtPosition));
}

std::string readReportPage(std::istream& report, long offset) {
  std::string page;
  report.clear();
  report.seekg(offset);
  if (!report) return page;
  std::string line;
  int lines = 0;
  if (!std::getline(report, line)) return page;  // the page's own form-feed line
  ++lines;
  while (lines < kMaxPageLines && std::getline(report, line)) {
    ++lines;
    if (!line.empty() && line.front() == '\f') break;
    page += line;
    if (!report.eof()) page += '\n';
  }
  return page;
}

}  // namespace zelba
