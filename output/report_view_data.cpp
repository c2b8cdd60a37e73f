#include "output/report_view_data.h"

#include <fstream>
#include <sstream>
#include <utility>

namespace zelba {

ReportViewData reportViewData(const RunState& rs, const std::string& reportPath) {
  ReportViewData data;
  data.reportPath = reportPath;
  data.daily = rs.control.dailyMode != 0;
  for (int p = 0; p < rs.pomCount(); ++p) {
    ReportViewPom pom;
    pom.name = pomName(rs, p);
    const int members = pomMemberCount(rs, p);
    for (int k = 0; k < members; ++k) pom.members.push_back(pomMember(rs, p, k));
    data.poms.push_back(std::move(pom));
  }
  std::ifstream report(reportPath, std::ios::binary);
  if (report) {
    data.pages = indexReportPages(rs, report);
  } else {
    std::istringstream none;
    data.pages = indexReportPages(rs, none);
  }
  return data;
}

std::string fitToBuffer(std::string text, std::size_t bufferBytes) {
  if (bufferBytes == 0) return std::string();
  if (text.size() < bufferBytes) return text;
  std::size_t keep = bufferBytes - 1;
  // Step back over continuation bytes to the start of the cut character.
  while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) --keep;
  text.resize(keep);
  return text;
}

std::string viewerPageNamed(const ReportViewData& data, std::istream& report,
                            const std::string& itemText) {
  const std::string name = fitToBuffer(itemText, kViewerNameBytes + 1);
  return fitToBuffer(data.pages.readNamed(report, name), kViewerPageBuffer);
}

std::string viewerPageAt(const ReportViewData& data, std::istream& report, int position) {
  return fitToBuffer(data.pages.readAtPosition(report, position), kViewerPageBuffer);
}

}  // namespace zelba
