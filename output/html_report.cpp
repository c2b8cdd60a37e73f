#include "output/html_report.h"

#include <algorithm>

#include "engine/dates.h"
#include "output/report_common.h"

namespace zelba {

namespace {

const char* const kHeaderFrame = "BaHeader";
const char* const kMenuFrame = "BaMenu";
const char* const kLeftFrame = "BaLeft";
const char* const kRightFrame = "BaRight";

std::string dataPageName(int index) {
  return "DAT" + std::to_string(index) + ".htm";
}

void writeFrameset(TextSink& out) {
  out.write("<HTML>\n");
  out.write("<HEAD>\n");
  out.write("<TITLE>ZEL BA Engine</TITLE>\n");
  out.write("</HEAD>\n");
  out.write("<FRAMESET ROWS=\"90,*\" frameborder=1 >\n");
  out.write(" <FRAMESET COLS=\"*,80%\">\n");
  put(out, "  <FRAME src=%s.htm scrolling=no noresize name=%s >\n", "BAMENU", kMenuFrame);
  put(out, "  <FRAME SRC=\"%s.htm\" scrolling=no\n", kHeaderFrame);
  put(out, "NAME=%s noresize frameborder=0>\n", kHeaderFrame);
  out.write("  </FRAMESET>\n");
  out.write(" <FRAMESET COLS=\"*,80%\">\n");
  put(out, "  <FRAME SRC=\"%s\" NAME=%s marginwidth=2 >\n", "BANET.htm", kLeftFrame);
  put(out, "  <FRAME src=%s NAME=%s>\n", dataPageName(0).c_str(), kRightFrame);
  out.write("  </FRAMESET>\n");
  out.write("</FRAMESET>\n");
  out.write("</HTML>\n");
}

void writeHeaderPage(TextSink& out) {
  out.write("<HTML>\n<HEAD>\n");
  out.write("<TITLE>ZEL BA Engine</TITLE>\n");
  put(out, "<BASE Target=%s>\n", kHeaderFrame);
  out.write("</HEAD>\n");
  out.write("<BODY>\n");
  out.write("<p align=center>\n");
  out.write("<FONT size=+2 color=blue>\n");
  out.write("<b>Zel</B>\n");
  out.write("<BR>\n");
  out.write("<FONT size=+1>\n");
  out.write("<B>Back Allocation Engine</B><BR>\n");
  put(out, "<B>%s</B><BR>\n", "Version 1.0");
  out.write("</P>\n</BODY>\n</HTML>\n");
}

void writeMenuPage(const RunState& rs, TextSink& out) {
  out.write("<HTML>\n<HEAD>\n</HEAD>\n<BODY>\n<font size=+1 color=red><UL>\n");
  const char* item = "<LI><A HREF=%s.htm target=%s >%s</A>\n";
  put(out, item, "BAPOM", kLeftFrame, escapeHtml(typeName(rs, 0)).c_str());
  put(out, item, "BAWELL", kLeftFrame, escapeHtml(typeName(rs, 1)).c_str());
  put(out, item, "BANET", kLeftFrame, "Network");
  out.write("</UL>\n</BODY>\n</HTML>\n");
}

void beginIndexPage(TextSink& out) {
  put(out, "<HTML>\n<HEAD>\n<BASE Target=%s>\n</HEAD>\n<BODY>\n", kRightFrame);
}

void writeLink(const RunState& rs, TextSink& out, int index) {
  put(out, "<LI><A HREF=%s>%s</A>\n", dataPageName(index).c_str(),
      escapeHtml(rs.nodeTable[index]->name).c_str());
}

void endIndexPage(TextSink& out) {
  out.write("</UL>\n</BODY>\n</HTML>\n");
}

// Points of measurement and other facilities: every node not of the well level.
void writePomIndex(const RunState& rs, TextSink& out) {
  beginIndexPage(out);
  bool first = true;
  for (int i = 0; i < rs.nodeCount(); ++i) {
    const BaNode& node = *rs.nodeTable[i];
    if (isWellLevel(rs, node)) continue;
    if (first) {
      put(out, "<P align=left>\n<FONT size=+1 color=blue>\n<b>%s</B>\n<FONT size=+0></P>\n",
          escapeHtml(levelName(rs, node)).c_str());
      out.write("<UL>\n");
      first = false;
    }
    writeLink(rs, out, i);
  }
  endIndexPage(out);
}

void writeWellIndex(const RunState& rs, TextSink& out) {
  beginIndexPage(out);
  bool first = true;
  for (int i = 0; i < rs.nodeCount(); ++i) {
    const BaNode& node = *rs.nodeTable[i];
    if (!node.allocated || !isWellLevel(rs, node)) continue;
    if (first) {
      put(out, "<P align=left>\n<FONT size=+1 color=blue>\n<b>%s</B>\n<Font size=+0></P>\n",
          escapeHtml(levelName(rs, node)).c_str());
      out.write("<UL>\n");
      first = false;
    }
    writeLink(rs, out, i);
  }
  endIndexPage(out);
}

// Facilities with their wells nested under them.
void writeNetworkIndex(const RunState& rs, TextSink& out) {
  beginIndexPage(out);
  put(out, "<P align=left>\n<FONT size=+1 color=blue>\n<b>%s</B>\n<FONT size=+0></P>\n", "Network");
  out.write("<UL>\n");
  bool facilityPending = false;
  bool nestedOpen = false;
  for (const int i : reportOrder(rs)) {
    const BaNode& node = *rs.nodeTable[i];
    if (!node.allocated) continue;
    if (isWellLevel(rs, node)) {
      if (facilityPending) {
        out.write("<UL>\n");
        facilityPending = false;
        nestedOpen = true;
      }
    } else {
      if (nestedOpen) {
        out.write("</UL>\n");
        nestedOpen = false;
      }
      facilityPending = true;
    }
    writeLink(rs, out, i);
  }
  if (nestedOpen) out.write("</UL>\n");
  endIndexPage(out);
}

void writeDataPage(const RunState& rs, TextSink& out, int index) {
  const RunControl& rc = rs.control;
  const BaNode& node = *rs.nodeTable[index];
  out.write("<HTML>\n<BODY>\n<P align=center>\n");
  out.write("<font size=+1 >\n");
  for (const std::string& header : rc.headers) {
    put(out, "<b>%s</B><BR>\n", escapeHtml(header).c_str());
  }
  if (rc.theoretical[kOil]) out.write("Theoretical Volumes\n");
  out.write("<font size=+1 >\n");
  put(out, "<b>%s : %s</b>\n", escapeHtml(levelName(rs, node)).c_str(),
      escapeHtml(node.name).c_str());
  out.write("</p>\n");
  out.write("<font size=+0 >\n");
  out.write("<TABLE border=1 cellpadding=3 width=80% align=center color=grey>\n");
  out.write("<TR align=center valign=center>\n");
  put(out, "<TH width=8%%>%s</TH>\n", "Date");
  for (int slot = 0; slot < kFluidSlots; ++slot) {
    if (!isListed(rc, slot)) continue;
    const std::string title = fluidName(rs, slot) + "(" + unitsLabel(rc, slot) + ")";
    put(out, "<TH width=12%%>%s</TH>\n", escapeHtml(title).c_str());
  }
  out.write("</TR>\n");
  const auto [first, end] = periodDays(rc);
  for (int d = first; d < end; ++d) {
    out.write("<TR align=right valign=center>\n");
    put(out, "<TD>%8.0f</TD>", dayDate(rs, d));
    for (int slot = 0; slot < kFluidSlots; ++slot) {
      if (isListed(rc, slot)) put(out, "<TD>%10.1f</TD>", node.fluids[slot].cumResult[d]);
    }
    out.write("</TR>\n");
  }
  out.write("</TABLE>\n</BODY>\n</HTML>\n");
}

// Writes one page of the set; a page that cannot be created is skipped.
template <typename Write>
void writePage(OutputFiles& files, const std::string& path, Write write) {
  std::unique_ptr<TextSink> out = files.create(path);
  if (out) write(*out);
}

}  // namespace

std::string escapeHtml(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

int writeHtmlReport(const RunState& rs, OutputFiles& files, const std::string& framesetPath) {
  std::unique_ptr<TextSink> frameset = files.create(framesetPath);
  if (!frameset) return 0;
  writeFrameset(*frameset);
  frameset.reset();

  const std::string& dir = rs.control.htmlDirectory;
  writePage(files, dir + "BaHeader.htm", writeHeaderPage);
  writePage(files, dir + "BAMENU.htm", [&](TextSink& out) { writeMenuPage(rs, out); });
  writePage(files, dir + "BAPOM.htm", [&](TextSink& out) { writePomIndex(rs, out); });
  writePage(files, dir + "BAWELL.htm", [&](TextSink& out) { writeWellIndex(rs, out); });
  writePage(files, dir + "BANET.htm", [&](TextSink& out) { writeNetworkIndex(rs, out); });
  for (int i = 0; i < rs.nodeCount(); ++i) {
    if (!rs.nodeTable[i]->allocated) continue;
    writePage(files, dir + dataPageName(i), [&](TextSink& out) { writeDataPage(rs, out, i); });
  }
  return 1;
}

}  // namespace zelba
