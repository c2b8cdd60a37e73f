// The host load file and the HTML report set. Results are set by hand; the
// expected text is composed from the files' printf formats.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "engine/dates.h"
#include "engine/driver.h"
#include "engine/output_files.h"
#include "input/input_reader.h"
#include "input/sections.h"
#include "output/html_report.h"
#include "output/load_file.h"

namespace zelba {
namespace {

class OutputTest : public ::testing::Test {
 protected:
  // A one-line "#control" period and a "#network" section.
  void load(const std::string& end, const std::string& network) {
    resetRunState(rs);
    InputReader reader;
    reader.openText("#control\n*period 20050101 " + end + "\n#end\n#network\n" + network +
                    "#end\n");
    readSections(rs, reader);
    prepareRun(rs);
    fillDayDates(rs);  // the driver fills the day dates before any writer runs
  }
  BaNode& node(const std::string& name) {
    return **std::find_if(rs.nodeTable.begin(), rs.nodeTable.end(),
                          [&](const auto& n) { return n->name == name; });
  }
  // The allocated volume of each day of the period, from day 1 on.
  void allocated(const std::string& name, int slot, std::initializer_list<double> days) {
    int d = 1;
    for (double v : days) node(name).fluids[slot].cumResult[d++] = v;
  }

  RunState rs;
  MemoryFiles files;
};

// Refuses to create the file at one path.
struct RefusingFiles : MemoryFiles {
  explicit RefusingFiles(std::string path) : refused(std::move(path)) {}
  std::unique_ptr<TextSink> create(const std::string& path) override {
    return path == refused ? nullptr : MemoryFiles::create(path);
  }
  std::string refused;
};

TEST_F(OutputTest, LoadFileDailyAndMonthly) {
  load("20050103", "*TF T1\nWell W1\nWell W2\nWell W3\nCOMPLETION C1\n");
  for (const char* name : {"T1", "W1", "W2", "C1"}) node(name).allocated = 1;
  (*node("W1").routes)[2].hoursOn = 0;
  (*node("W1").routes)[3].hoursOn = 12;
  allocated("W1", kOil, {95, 0, 115});
  allocated("W1", kGas, {60, 0, 80});
  allocated("W1", kWater, {5, 0, 7});
  allocated("W1", kCo2Inj, {1, 0, 2});
  allocated("W2", kOil, {185, 190, 175});  // W2 keeps 24 hours on every day
  allocated("W2", kGas, {45, 50, 35});
  allocated("W2", kWater, {3, 4, 5});
  // Facilities, other well-level types and wells without the allocated flag stay out.
  allocated("T1", kOil, {999, 999, 999});
  allocated("C1", kOil, {77, 77, 77});
  allocated("W3", kOil, {10, 10, 10});
  rs.control.hasVolumes[kOil] = 1;
  rs.control.theoretical[kGas] = 1;

  writeLoadFile(rs, files, "l.txt", true);
  // Column line: "*date", then "* " for the empty hours name, then the fluid
  // names. Rows: "%8.0f  %12.3f " and " %12.1f" per listed slot.
  EXPECT_EQ(files.text("l.txt"),
            "*date * *Oil *Gas \n"
            "*keyname \"W1\"\n"
            "20050101        24.000          95.0         60.0\n"
            "20050102         0.000           0.0          0.0\n"
            "20050103        12.000         115.0         80.0\n"
            "*keyname \"W2\"\n"
            "20050101        24.000         185.0         45.0\n"
            "20050102        24.000         190.0         50.0\n"
            "20050103        24.000         175.0         35.0\n");
  // A named hours column.
  rs.control.zelFields = {"", "HRS"};
  writeLoadFile(rs, files, "l.txt", true);
  EXPECT_EQ(files.text("l.txt").substr(0, 23), "*date *HRS *Oil *Gas \n*");

  rs.control.hasVolumes[kWater] = rs.control.hasVolumes[kCo2Inj] = 1;
  rs.control.metric = 1;
  rs.control.zelTable = "ALLOC";
  // Date, hours ("*" skips it), oil, gas ("*": the fluid name), water (empty).
  rs.control.zelFields = {"PDATE", "*", "OILV", "*", ""};
  writeLoadFile(rs, files, "l.txt", false);
  // One row per well dated with the period's end: "%10.0f %10.3f " with the
  // days on production (W1: 24 + 0 + 12 hours = 1.5 days; W2: 3 days), then
  // the period sums (W1 oil 95 + 115, gas 60 + 80, water 5 + 7, Co2inj 1 + 2).
  EXPECT_EQ(files.text("l.txt"),
            "*metric\n"
            "*tablename ALLOC\n"
            "*PDATE *skip *OILV *Gas *Water *Co2inj \n"
            "*keyname \"W1\"\n"
            "  20050103      1.500         210.0        140.0         12.0          3.0\n"
            "*keyname \"W2\"\n"
            "  20050103      3.000         550.0        130.0         12.0          0.0\n");
  NoFiles none;
  writeLoadFile(rs, none, "l.txt", false);  // a file that cannot be created is skipped
}

const std::string kIndexStart = "<HTML>\n<HEAD>\n<BASE Target=BaRight>\n</HEAD>\n<BODY>\n";
const std::string kIndexEnd = "</UL>\n</BODY>\n</HTML>\n";

// An index page's heading ("<FONT size=+0>", or "<Font size=+0>" on BAWELL.htm)
// and the opening list.
std::string heading(const std::string& name, const char* font = "FONT") {
  return "<P align=left>\n<FONT size=+1 color=blue>\n<b>" + name + "</B>\n<" + font +
         " size=+0></P>\n<UL>\n";
}

// T1 with W1 and W2 over two days; T9 is a facility without results.
TEST_F(OutputTest, HtmlSetOfASmallRunItsPathsAndPagesThatCannotBeCreated) {
  load("20050102", "*TF T1\nWell W1\nWell W2\n*TF T9\n");
  rs.control.headers = {"NORTH FIELD"};
  rs.control.hasVolumes[kOil] = 1;
  rs.control.theoretical[kGas] = 1;
  rs.control.htmlDirectory = "out/";
  for (const char* name : {"T1", "W1", "W2"}) node(name).allocated = 1;
  allocated("T1", kOil, {285, 290});
  allocated("T1", kGas, {150, 140});
  EXPECT_EQ(writeHtmlReport(rs, files, "ba.htm"), 1);
  std::set<std::string> written;
  for (const auto& [path, text] : files.files()) written.insert(path);
  EXPECT_EQ(written, (std::set<std::string>{"ba.htm", "out/BaHeader.htm", "out/BAMENU.htm",
                                            "out/BAPOM.htm", "out/BAWELL.htm", "out/BANET.htm",
                                            "out/DAT0.htm", "out/DAT1.htm", "out/DAT2.htm"}));
  // Links inside the pages are bare file names.
  EXPECT_EQ(files.text("ba.htm"),
            "<HTML>\n<HEAD>\n<TITLE>ZEL BA Engine</TITLE>\n</HEAD>\n"
            "<FRAMESET ROWS=\"90,*\" frameborder=1 >\n <FRAMESET COLS=\"*,80%\">\n"
            "  <FRAME src=BAMENU.htm scrolling=no noresize name=BaMenu >\n"
            "  <FRAME SRC=\"BaHeader.htm\" scrolling=no\nNAME=BaHeader noresize frameborder=0>\n"
            "  </FRAMESET>\n <FRAMESET COLS=\"*,80%\">\n"
            "  <FRAME SRC=\"BANET.htm\" NAME=BaLeft marginwidth=2 >\n"
            "  <FRAME src=DAT0.htm NAME=BaRight>\n  </FRAMESET>\n</FRAMESET>\n</HTML>\n");
  EXPECT_EQ(files.text("out/BaHeader.htm"),
            "<HTML>\n<HEAD>\n<TITLE>ZEL BA Engine</TITLE>\n<BASE Target=BaHeader>\n</HEAD>\n"
            "<BODY>\n<p align=center>\n<FONT size=+2 color=blue>\n<b>Zel</B>\n<BR>\n"
            "<FONT size=+1>\n<B>Back Allocation Engine</B><BR>\n<B>Version 1.0</B><BR>\n"
            "</P>\n</BODY>\n</HTML>\n");
  // The first two entries carry the names of levels 0 and 1.
  EXPECT_EQ(files.text("out/BAMENU.htm"),
            "<HTML>\n<HEAD>\n</HEAD>\n<BODY>\n<font size=+1 color=red><UL>\n"
            "<LI><A HREF=BAPOM.htm target=BaLeft >SUPER</A>\n"
            "<LI><A HREF=BAWELL.htm target=BaLeft >POS</A>\n"
            "<LI><A HREF=BANET.htm target=BaLeft >Network</A>\n"
            "</UL>\n</BODY>\n</HTML>\n");
  // Every facility, with or without results.
  EXPECT_EQ(files.text("out/BAPOM.htm"), kIndexStart + heading("TF") +
                                             "<LI><A HREF=DAT0.htm>T1</A>\n" +
                                             "<LI><A HREF=DAT3.htm>T9</A>\n" + kIndexEnd);
  EXPECT_EQ(files.text("out/BAWELL.htm"), kIndexStart + heading("Well", "Font") +
                                              "<LI><A HREF=DAT1.htm>W1</A>\n" +
                                              "<LI><A HREF=DAT2.htm>W2</A>\n" + kIndexEnd);
  // Each day "<TD>%8.0f</TD>" and "<TD>%10.1f</TD>" per listed slot. Every
  // node's data page has this form; W1's and W2's differ only in the numbers.
  EXPECT_EQ(
      files.text("out/DAT0.htm"),
      "<HTML>\n<BODY>\n<P align=center>\n<font size=+1 >\n<b>NORTH FIELD</B><BR>\n"
      "<font size=+1 >\n<b>TF : T1</b>\n</p>\n<font size=+0 >\n"
      "<TABLE border=1 cellpadding=3 width=80% align=center color=grey>\n"
      "<TR align=center valign=center>\n<TH width=8%>Date</TH>\n"
      "<TH width=12%>Oil(bbl)</TH>\n<TH width=12%>Gas(Mcf)</TH>\n</TR>\n"
      "<TR align=right valign=center>\n<TD>20050101</TD><TD>     285.0</TD><TD>     150.0</TD>"
      "</TR>\n"
      "<TR align=right valign=center>\n<TD>20050102</TD><TD>     290.0</TD><TD>     140.0</TD>"
      "</TR>\n"
      "</TABLE>\n</BODY>\n</HTML>\n");

  // A frameset that cannot be created stops the set; any other page is
  // skipped alone.
  RefusingFiles noFrameset("ba.htm");
  EXPECT_EQ(writeHtmlReport(rs, noFrameset, "ba.htm"), 0);
  EXPECT_TRUE(noFrameset.files().empty());
  RefusingFiles noMenu("out/BAMENU.htm");
  EXPECT_EQ(writeHtmlReport(rs, noMenu, "ba.htm"), 1);
  EXPECT_EQ(noMenu.files().size(), 8u);
  // The directory is glued on as it is, and is never cut.
  rs.control.htmlDirectory = "x";
  EXPECT_EQ(writeHtmlReport(rs, files, "f.htm"), 1);
  EXPECT_EQ(files.files().count("xDAT2.htm"), 1u);
  rs.control.htmlDirectory = std::string(200, 'd') + "/";
  EXPECT_EQ(writeHtmlReport(rs, files, "f.htm"), 1);
  EXPECT_EQ(files.files().count(rs.control.htmlDirectory + "DAT1.htm"), 1u);
}

// Wells before the first facility, two facilities in a row, escaped names and
// header texts, the theoretical-volumes line; then a run without facilities.
TEST_F(OutputTest, HtmlIndexNestingEscapingAndNoFacilities) {
  load("20050101", "Well W0\n*TF T1\nWell W1\n*TF T2\n*TF T3\nWell W2\n");
  for (auto& n : rs.nodeTable) n->allocated = 1;
  node("W1").name = "A<B&C";
  rs.control.headers = {"\"Q\" & <b>"};
  rs.control.theoretical[kOil] = 1;
  EXPECT_EQ(writeHtmlReport(rs, files, "f.htm"), 1);
  // Each facility's wells nested under it; T2's empty list is never opened.
  EXPECT_EQ(files.text("BANET.htm"),
            kIndexStart + heading("Network") +
                "<LI><A HREF=DAT0.htm>W0</A>\n<LI><A HREF=DAT1.htm>T1</A>\n"
                "<UL>\n<LI><A HREF=DAT2.htm>A&lt;B&amp;C</A>\n</UL>\n"
                "<LI><A HREF=DAT3.htm>T2</A>\n<LI><A HREF=DAT4.htm>T3</A>\n"
                "<UL>\n<LI><A HREF=DAT5.htm>W2</A>\n</UL>\n" +
                kIndexEnd);
  // The header line, the line of a theoretical oil slot, the title; one column.
  const std::string page = files.text("DAT2.htm");
  EXPECT_NE(page.find("<b>&quot;Q&quot; &amp; &lt;b&gt;</B><BR>\nTheoretical Volumes\n"
                      "<font size=+1 >\n<b>Well : A&lt;B&amp;C</b>\n"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("<TH width=12%>Oil(bbl)</TH>\n</TR>\n"), std::string::npos) << page;

  // No facility: no heading, no list, no links in BAPOM.htm.
  load("20050101", "Well W1\n");
  EXPECT_EQ(writeHtmlReport(rs, files, "f.htm"), 1);
  EXPECT_EQ(files.text("BAPOM.htm"), kIndexStart + kIndexEnd);
}

}  // namespace
}  // namespace zelba
