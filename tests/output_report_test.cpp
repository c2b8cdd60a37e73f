// The text report (daily and monthly pages), the allocated-totals listing and
// the page readers. Results are set by hand; the expected text is composed
// from the layout's printf formats, cell by cell.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/dates.h"
#include "engine/driver.h"
#include "engine/output_files.h"
#include "input/input_reader.h"
#include "input/sections.h"
#include "output/html_report.h"
#include "output/report_common.h"
#include "output/report_pages.h"
#include "output/text_report.h"

namespace zelba {
namespace {

std::string blanks(int n) {
  return std::string(static_cast<size_t>(n), ' ');
}

// Header rows with oil measured and gas theoretical-only, in barrels and Mcf.
// Centred names: "Oil"/"Gas" in 36 -> 15 blanks, the name, 17 blanks; in 24 ->
// 9 and 11; in 26 -> 10 and 12; in 13 -> 4 and 5. Units in 11 -> "   bbl    ",
// which "%11s" pads to "    bbl    ".
std::string wellRows(bool uptime) {
  const std::string left = uptime ? blanks(16) : blanks(8);
  return left + " " + blanks(15) + "Oil" + blanks(17) + " " + " " + blanks(9) + "Gas" + blanks(11) +
         " \n" + left + " ---------------------------------- " + " ---------------------- \n" +
         (uptime ? "         Uptime " : blanks(8)) + "   Method  Theoretical  Allocated   " +
         "   Method  Theoretical  \n" + (uptime ? "  Date   hours  " : "  Date  ") + "    Used   " +
         "    bbl    " + " " + "    bbl    " + "  " + "    Used   " + "    Mcf    " + "  \n" +
         (uptime ? "-------- ------ " : "--------") + "  -------- ----------- -----------  " +
         "  -------- -----------  \n";
}

std::string facilityRows() {
  return blanks(8) + " " + blanks(9) + "Oil" + blanks(11) + " " + " " + blanks(4) + "Gas" +
         blanks(5) + "  \n" + blanks(8) + " ---------------------- " + " ------------- \n" +
         blanks(8) + "    Measured    Field   " + "  Theoretical  \n" + "  Date  " + "   " +
         "    bbl    " + "  Factor  " + "  " + "    Mcf    " + "  \n" + "--------" +
         "  ----------- --------  " + "  -----------  \n";
}

std::string networkPage(const std::string& headerLines, const std::string& sums) {
  return "\f\n" + headerLines + "\n\nProduction Network Totals:\n" +
         "---------- ------- ------\n\n\n" + blanks(8) + " " + blanks(15) + "Oil" + blanks(17) +
         " " + "  " + blanks(4) + "Gas" + blanks(5) + " \n" + blanks(8) +
         " ---------------------------------- " + " ------------- \n" + blanks(8) +
         "  Theoretical  Measured    Field    " + "  Theoretical  \n" + blanks(8) + "  " +
         "    bbl    " + " " + "    bbl    " + "  Factor   " + "  " + "    Mcf    " + "  \n" +
         blanks(8) + "  ----------- ----------- --------  " + "  -----------  \n" + blanks(9) +
         sums + "\n";
}

// "\f\t\n", the header lines, "\n", then "\n%s: %s\n".
std::string dailyHead(const std::string& headerLines, const std::string& level,
                      const std::string& name) {
  return "\f\t\n" + headerLines + "\n" + "\n" + level + ": " + name + "\n";
}

// "\f\n", the non-empty header lines, "\n", "\n%s: %s   ", "   From: %.0f  to:
// %.0f", the shrinkage text, "\n\n", then the rows for a name width `w`.
std::string monthlyHead(const std::string& level, const std::string& name,
                        const std::string& shrinkage, int w) {
  return "\f\nNORTH FIELD\n\n\n" + level + ": " + name + "   " + "   From: 20050101  to: 20050131" +
         shrinkage + "\n\n" + blanks(w + 8) + " " + blanks(10) + "Oil" + blanks(12) + " " + "  " +
         blanks(4) + "Gas" + blanks(5) + " \n" + blanks(w + 8) + " ------------------------- " +
         " ------------- \n" + blanks(w) + " Uptime " + "  Theoretical  Allocated   " +
         "  Theoretical  \n" + "Well" + blanks(w - 4) + "  Days  " + "      bbl         bbl      " +
         "      Mcf      \n" + std::string(static_cast<size_t>(w), '-') + " ------ " +
         "  ----------- -----------  " + "  -----------  \n";
}

// A facility's totals block: a page headed " ", the sums row, then the
// "Measured Volume:" and "Field Factors:" rows: the label in the name format,
// " %6s " with " ", "  %11s %11.1f  " (or "%11.3f") for oil, "  %11s  " for gas.
std::string monthlyTotals(const std::string& shrinkage, int w, const std::string& sums,
                          const std::string& measured, const std::string& factor) {
  const auto row = [w](std::string label, const std::string& value) {
    label.resize(static_cast<size_t>(w), ' ');
    return label + blanks(8) + "  " + blanks(11) + " " + value + "  " + blanks(15) + "\n";
  };
  return monthlyHead(" ", " ", shrinkage, w) + blanks(w + 8) + sums + "\n\n" +
         row("Measured Volume:", measured) + "\n" + row("Field Factors:", factor);
}

std::string input(const std::string& control, const std::string& network) {
  return "#control\n" + control + "#end\n#network\n" + network + "#end\n";
}

class ReportTest : public ::testing::Test {
 protected:
  // Reads `network` for the period given in `control`; oil is measured, gas
  // comes from theoretical rates: the two kinds of listed slot.
  void load(const std::string& control, const std::string& network) {
    resetRunState(rs);
    InputReader reader;
    reader.openText(input(control, network));
    readSections(rs, reader);
    prepareRun(rs);
    fillDayDates(rs);  // the driver fills the day dates before any writer runs
    rs.control.hasVolumes[kOil] = 1;
    rs.control.theoretical[kGas] = 1;
    rs.control.headers = {"NORTH FIELD"};
  }
  BaNode& node(const std::string& name) {
    return **std::find_if(rs.nodeTable.begin(), rs.nodeTable.end(),
                          [&](const auto& n) { return n->name == name; });
  }
  // Days 1, 2, ... of one fluid: theoretical (or measured) volumes, allocated
  // volumes and the methods that gave them (1, "Welltest", when not given).
  void days(const std::string& name, int slot, std::vector<double> volume,
            std::vector<double> allocated, std::vector<int> source = {}) {
    BaFluidDays& f = node(name).fluids[slot];
    for (size_t i = 0; i < volume.size(); ++i) {
      f.volume[i + 1] = volume[i];
      f.cumResult[i + 1] = allocated[i];
      f.source[i + 1] = static_cast<std::int8_t>(i < source.size() ? source[i] : 1);
    }
  }
  void hours(const std::string& name, int d, float h) { (*node(name).routes)[d].hoursOn = h; }
  std::string report() {
    writeReport(rs, files, "r.prn");
    return files.text("r.prn");
  }

  RunState rs;
  MemoryFiles files;
};

// Watch and "??" methods, a shut-in well, a completion and a zero network sum.
TEST_F(ReportTest, DailyReportOfOneDay) {
  load("*period 20050101 20050101\n", "*TF T1\nWell W1\nWell W2\nCOMPLETION C1\n");
  node("W1").allocated = node("W2").allocated = node("C1").allocated = 1;
  days("W1", kOil, {0}, {190}, {kSourceWellWatch});
  days("W1", kGas, {60}, {90}, {-1});
  hours("W2", 1, 0.0f);  // its method code 0 ("Measured") is not shown
  days("C1", kOil, {40}, {50}, {2});
  days("C1", kGas, {20}, {30}, {2});

  // One day: no totals rows. "%8.0f " "%6.2f  " " %-8s %11.1f %11.1f %c " " %-8s %11.1f   "
  const std::string head = "NORTH FIELD\n";
  const std::string w1 = dailyHead(head, "Well", "W1") + wellRows(true) + "20050101  24.00  " +
                         " Watch            0.0       190.0   " + " ??              90.0   \n";
  const std::string w2 = dailyHead(head, "Well", "W2") + wellRows(true) + "20050101   0.00  " +
                         " ShutIn           0.0         0.0   " + " ShutIn           0.0   \n";
  // A completion is a well in the daily report (uptime column) but is not of
  // the well level, so it stays out of the network totals.
  const std::string c1 = dailyHead(head, "COMPLETION", "C1") + wellRows(true) + "20050101 " +
                         " 24.00  " + " Const           40.0        50.0   " +
                         " Const           30.0   \n";
  // Oil: theoretical 0 + 0, allocated 190 + 0, factor 1 for a zero sum.
  // Gas (theoretical-only): the theoretical sum 60 + 0, not the allocated 90.
  const std::string net =
      networkPage(head, std::string("         0.0       190.0   1.0000   ") + "        60.0   ");
  EXPECT_EQ(report(), w1 + w2 + c1 + net);
}

// T1 measures oil, W1 and W2 produce into it over three days; W1's oil of
// day 2 came with a qualifier. W3 and C1 have no results.
TEST_F(ReportTest, DailyReportOfThreeDaysPageReadersAndTotalsListing) {
  load("*period 20050101 20050103\n", "*TF T1\nWell W1\nWell W2\nWell W3\nCOMPLETION C1\n");
  rs.control.headers = {"NORTH FIELD", ""};
  days("T1", kOil, {300, 310, 320}, {280, 290, 300});
  days("T1", kGas, {0, 0, 0}, {150, 140, 130});
  const double factor[] = {0.95, 0.9, 1.125};
  for (int d = 1; d <= 3; ++d) rs.pomTable[0]->fieldFactor[kOil][d] = factor[d - 1];
  days("W1", kOil, {100, 110, 120}, {95, 105, 115});
  days("W1", kGas, {50, 50, 50}, {60, 70, 80});
  node("W1").fluids[kOil].qualifier[2] = kQualifierAbsolute;
  hours("W1", 3, 12.5f);
  days("W2", kOil, {200, 190}, {185, 175});
  days("W2", kGas, {40, 30}, {45, 35});
  node("T1").allocated = node("W1").allocated = 1;
  const std::string head = "NORTH FIELD\n\n";  // daily pages keep the empty header line
  const std::string t1 =
      dailyHead(head, "TF", "T1") + facilityRows() +
      "20050101        300.0    0.950          150.0   \n"
      "20050102        310.0    0.900          140.0   \n"
      "20050103        320.0    1.125          130.0   \n" +
      blanks(8) + "  -----------           " + "  -----------  \n" + blanks(9) +
      // " %11.1f %8s   " with the measured sum 930; " %11.1f   " with the allocated gas 420
      "       930.0                   420.0   \n"
      "After\n"
      "Shrinkage       870.0\n";  // 280 + 290 + 300
  const std::string w1 =
      dailyHead(head, "Well", "W1") + wellRows(true) +
      "20050101  24.00   Welltest       100.0        95.0    Welltest        60.0   \n"
      "20050102  24.00   Welltest       110.0       105.0 *  Welltest        70.0   \n"
      "20050103  12.50   Welltest       120.0       115.0    Welltest        80.0   \n" +
      blanks(16) + "           ----------- -----------  " + "           -----------  \n" +
      blanks(17) + "                330.0       315.0   " + "                210.0   \n";
  // Oil 315 / 330 = 0.954545 -> 0.9545; gas theoretical 3 x 50 = 150.
  const std::string net =
      networkPage(head, std::string("       330.0       315.0   0.9545   ") + "       150.0   ");
  EXPECT_EQ(report(), t1 + w1 + net);

  // The index finds T1's and W1's pages where the writer started them (past
  // the empty header line), not the network totals. A page read back has no
  // "\f\t\n" line and ends before the next form feed. Daily positions are
  // node indexes; W2 (2) and W3 have no page.
  std::unique_ptr<std::istream> in = files.openForReading("r.prn");
  ASSERT_TRUE(in);
  const ReportPageIndex index = indexReportPages(rs, *in);
  MemoryFiles again;
  const ReportPageStarts starts = writeReport(rs, again, "again.prn");
  ASSERT_EQ(index.pages().size(), 2u);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(std::tuple(index.pages()[1].level, index.pages()[1].name, index.pages()[1].offset),
            std::tuple("Well", "W1", static_cast<long>(t1.size())));
  EXPECT_EQ(std::tuple(starts[0].node, starts[0].offset, starts[1].node, starts[1].offset),
            std::tuple(0, 0L, 1, static_cast<long>(t1.size())));
  EXPECT_EQ(index.positionCount(), 5);
  EXPECT_EQ(index.readNamed(*in, "w1"), w1.substr(3));
  EXPECT_EQ(index.readNamed(*in, "T1"), t1.substr(3));
  EXPECT_EQ(index.readAtPosition(*in, 1), w1.substr(3));
  EXPECT_EQ(index.readAtPosition(*in, 2), "");
  EXPECT_EQ(index.readAtPosition(*in, 5), "");
  EXPECT_EQ(index.readNamed(*in, "W3"), "");
  EXPECT_EQ(index.readNamed(*in, "NOPE"), "");

  // The listing: W3 has oil theoretical volumes but nothing allocated in a
  // listed slot (its water is not listed); C1 is not of the well level.
  for (auto& n : rs.nodeTable) n->allocated = 1;
  days("W3", kOil, {50}, {0});
  days("W3", kWater, {0, 0}, {0, 10});
  days("C1", kOil, {99}, {99});
  writeTotalsListing(rs, files, "t.prn");
  // "%-20s " then " %10.1f %10.1f %c" (oil) and " %10.1f  " with the theoretical
  // sum (gas). W1 oil 100 + 110 + 120 and 95 + 105 + 115, gas 3 x 50; W2 oil
  // 200 + 190 and 185 + 175, gas 40 + 30.
  EXPECT_EQ(files.text("t.prn"),
            "\f\nNORTH FIELD\n\n\n\nMonthly Allocated Totals\n" + wellRows(false) + "W1" +
                blanks(18) + " " + "      330.0      315.0  " + "      150.0  \n" + "W2" +
                blanks(18) + " " + "      390.0      360.0  " + "       70.0  \n" +
                wellRows(false) + blanks(21) + "      720.0      675.0  " + "      220.0  \n");
}

TEST_F(ReportTest, MetricUnits) {
  load("*period 20050101 20050101\n", "*TF T1\nWell W1\n");
  rs.control.metric = 1;
  rs.control.theoretical[kSteamInj] = 1;
  node("W1").allocated = 1;
  // Row 3 of W1's header: units "m3", "Km3", "tons" centred in 11, padded by "%11s".
  EXPECT_NE(report().find(std::string("\n  Date   hours  ") + "    Used   " + "    m3     " + " " +
                          "    m3     " + "  " + "    Used   " + "    Km3    " + "  " +
                          "    Used   " + "   tons    " + "  \n"),
            std::string::npos);
}

// A facility shows the field factor of the point of measurement that is its own
// node. T1 is first named as a member of G1 (point 0), so its point index plus
// one would name T2's point (1); its own point is 2.
TEST_F(ReportTest, FacilityFieldFactorIsThatOfItsOwnPoint) {
  load("*period 20050101 20050101\n", "*GC G1\nTF T1\nTF T2\n*TF T2\nWell W2\n*TF T1\nWell W1\n");
  rs.control.theoretical[kGas] = 0;
  ASSERT_EQ(rs.pomTable[2]->nodeIndex, 1);
  const double factor[] = {0.5, 0.75, 1.25};
  for (int p = 0; p < 3; ++p) rs.pomTable[p]->fieldFactor[kOil][1] = factor[p];
  node("T1").allocated = node("W1").allocated = 1;
  days("T1", kOil, {100}, {100});
  EXPECT_NE(report().find("\n20050101        100.0    1.250   \n"), std::string::npos);
  // The monthly "Field Factors:" row of T1's totals block (name width 17).
  rs.control.dailyMode = 0;
  EXPECT_NE(report().find("\nField Factors:" + blanks(3 + 8 + 14) + "      1.250  \n"),
            std::string::npos);
}

TEST_F(ReportTest, MonthlyReport) {
  load("*monthly\n*period 20050101 20050131\n", "*TF TA\n*TF T1\nWell W1\nWell W2\n*TF T2\n");
  rs.control.headers = {"NORTH FIELD", ""};  // the empty line is left out of monthly pages
  for (auto& n : rs.nodeTable) n->allocated = 1;
  node("T1").shrinkage = 0.05f;
  rs.pomTable[1]->fieldFactor[kOil][1] = 0.97;
  rs.pomTable[2]->fieldFactor[kOil][1] = 1.25;
  days("W1", kOil, {3000, 100}, {2900, 50});
  days("W1", kGas, {1500}, {1600});
  days("W2", kOil, {2000}, {1900});
  days("W2", kGas, {800}, {700});
  hours("W2", 5, 12.0f);

  // Names of two characters: the width is raised to 17.
  const std::string shrink = "    Shrinkage: 0.050   ";  // "%-7.3f " of 0.05
  // TA has no wells and is not the last facility: no totals block.
  const std::string ta = monthlyHead("TF", "TA", "", 17);
  const std::string t1 =
      monthlyHead("TF", "T1", shrink, 17) +
      // "%-17s" " %6.2f " "  %11.1f %11.1f  " "  %11.1f  "
      "W1" + blanks(15) + "  31.00 " + "       3100.0      2950.0  " + "       1600.0  \n" +
      // 30 days of 24 hours and one of 12: 732 / 24
      "W2" + blanks(15) + "  30.50 " + "       2000.0      1900.0  " + "        700.0  \n";
  // T1's block keeps its shrinkage: 3100 + 2000 and 2950 + 1900; gas 1600 + 700.
  const std::string t1Totals = monthlyTotals(
      shrink, 17, "       5100.0      4850.0         2300.0  ", "     4850.0", "      0.970");
  const std::string t2 = monthlyHead("TF", "T2", "", 17);
  // The last facility always gets its block, even without wells.
  const std::string t2Totals = monthlyTotals("", 17, "          0.0         0.0            0.0  ",
                                             "        0.0", "      1.250");
  EXPECT_EQ(report(), ta + t1 + t1Totals + t2 + t2Totals);

  // Monthly positions are points of measurement: 1 is T1, 2 is T2 (node 4).
  // A facility's page ends where its totals block starts; the blocks and the
  // wells have no page of their own. The index and the file are all the
  // readers need once the run's state is released.
  std::unique_ptr<std::istream> in = files.openForReading("r.prn");
  ASSERT_TRUE(in);
  const ReportPageIndex index = indexReportPages(rs, *in);
  releaseRunState(rs);
  ASSERT_EQ(index.pages().size(), 3u);
  EXPECT_EQ(index.readAtPosition(*in, 1), t1.substr(2));
  EXPECT_EQ(index.readAtPosition(*in, 2), t2.substr(2));
  EXPECT_EQ(index.readNamed(*in, "t2"), t2.substr(2));
  EXPECT_EQ(index.readNamed(*in, "W1"), "");
}

// Wells before any facility and a name longer than 17 characters: no page
// before the well line, and its block shows factor 0, not T1's 0.8.
TEST_F(ReportTest, MonthlyWellsBeforeAnyFacility) {
  load("*monthly\n*period 20050101 20050131\n", "Well LONGWELLNAME0123456\n*TF T1\n");
  for (auto& n : rs.nodeTable) n->allocated = 1;
  rs.pomTable[0]->fieldFactor[kOil][1] = 0.8;
  days("LONGWELLNAME0123456", kOil, {10}, {12});
  // "%-19s" " %6.2f " with 744 / 24, "  %11.1f %11.1f  " (oil), "  %11.1f  " (gas).
  const std::string expected =
      "LONGWELLNAME0123456  31.00 " + std::string("         10.0        12.0  ") +
      "          0.0  \n" +
      monthlyTotals("", 19, "         10.0        12.0            0.0  ", "       12.0",
                    "      0.000") +
      "\f";  // then T1's page
  EXPECT_EQ(report().substr(0, expected.size()), expected);
}

// The driver writes the report (or the HTML set in its place), the listing and
// the load file; names of one character write nothing.
TEST(ReportRun, WholeRunWritesTheOutputsThatControlNames) {
  RunState rs;
  RunOptions options;
  const auto run = [&](MemoryFiles& files, const std::string& names) {
    options.files = &files;
    return runEngineOnText(
        rs,
        input("*period 20050101 20050102\n" + names, "*Header North\n*TF T1\nWell W1\n") +
            "#volume\n*TF T1\n*date oil\n20050101 100\n#end\n",
        nullptr, options);
  };
  MemoryFiles files, none, html;
  ASSERT_EQ(run(files, "*report r.prn t.prn\n*load l.txt\n"), 1);
  EXPECT_EQ(files.files().size(), 3u);
  EXPECT_EQ(files.text("r.prn").rfind("\f\t\nNorth\n\n\nTF: T1\n", 0), 0u);
  EXPECT_EQ(files.text("t.prn").rfind("\f\nNorth\n\n\nMonthly Allocated Totals\n", 0), 0u);
  EXPECT_EQ(files.text("l.txt").rfind("*date * *Oil \n*keyname \"W1\"\n20050101        24.000 ", 0),
            0u);
  ASSERT_EQ(run(none, "*report r t\n*load l\n"), 1);
  EXPECT_TRUE(none.files().empty());
  ASSERT_EQ(run(html, "*report r.prn t.prn\n*html ba.htm x\n"), 1);
  // The frameset, five pages, the data pages of T1 and W1, and the listing.
  EXPECT_EQ(html.files().size(), 9u);
  EXPECT_EQ(html.files().count("xDAT1.htm") + html.files().count("t.prn"), 2u);
}

// A network declared top-down lists every facility before any well: report
// order takes each well to the facility its point is on. W0, named before
// any point, has none and keeps its place; C1 is not of the well level.
TEST_F(ReportTest, MonthlyPagesAndNetworkIndexListEachFacilitysOwnWells) {
  load("*monthly\n*period 20050101 20050131\n",
       "Well W0\n*GC G1\nTF T1\nTF T2\n*TF T1\nWell W1\nWell W3\n*TF T2\nWell W2\n"
       "COMPLETION C1\n");
  rs.control.headers.clear();
  for (auto& n : rs.nodeTable) n->allocated = 1;
  std::vector<std::string> names;
  for (const int i : reportOrder(rs)) names.push_back(rs.nodeTable[i]->name);
  // Node order: W0 G1 T1 T2 W1 W3 W2 C1.
  EXPECT_EQ(names, (std::vector<std::string>{"W0", "G1", "T1", "W1", "W3", "T2", "W2", "C1"}));
  // Where each facility is followed by its own wells, report order is node order.
  RunState bottomUp;
  resetRunState(bottomUp);
  InputReader reader;
  reader.openText(input("*monthly\n*period 20050101 20050131\n",
                        "*TF T1\nWell W1\nWell W3\n*TF T2\nWell W2\n*GC G1\nTF T1\nTF T2\n"));
  readSections(bottomUp, reader);
  for (auto& n : bottomUp.nodeTable) n->allocated = 1;
  EXPECT_EQ(reportOrder(bottomUp), (std::vector<int>{0, 1, 2, 3, 4, 5}));

  // T1's page lists W1 and W3 and its block sums them; T2's lists W2.
  days("W1", kOil, {100}, {90});
  days("W3", kOil, {10}, {9});
  days("W2", kOil, {1000}, {950});
  const std::string text = report();
  const size_t t1 = text.find("TF: T1 ");
  const size_t t2 = text.find("TF: T2 ");
  ASSERT_LT(t1, t2);
  ASSERT_NE(t2, std::string::npos);
  EXPECT_LT(t1, text.find("\nW1 "));
  EXPECT_LT(text.find("\nW3 "), t2);
  EXPECT_GT(text.find("\nW2 "), t2);
  // "  %11.1f %11.1f  ": 100 + 10 and 90 + 9 in T1's block.
  const std::string t1Block = text.substr(t1, t2 - t1);
  EXPECT_NE(t1Block.find("        110.0        99.0  "), std::string::npos) << t1Block;

  // The network index nests the wells under their own facility too.
  MemoryFiles html;
  writeHtmlReport(rs, html, "ba.htm");
  const std::string net = html.text("BANET.htm");
  const size_t linkT1 = net.find(">T1<");
  const size_t linkT2 = net.find(">T2<");
  ASSERT_NE(linkT2, std::string::npos);
  EXPECT_LT(linkT1, net.find(">W3<"));
  EXPECT_LT(net.find(">W3<"), linkT2);
  EXPECT_LT(linkT2, net.find(">W2<"));
}

// A file that is not a report, or one cut short, gives no page and no read
// past its end; a position past the list gives nothing.
TEST(ReportPages, AFileThatIsNotAReportHasNoPages) {
  for (const std::string& text :
       {std::string(), std::string("\f\t\nNORTH"), std::string("\f\t"),
        std::string("no page at all\n: \n"), std::string("\f\t\n\n\nWell:\n")}) {
    std::istringstream in(text);
    const ReportPageIndex index(in, true, 0, {0, 1, -1});
    EXPECT_TRUE(index.pages().empty()) << text;
    EXPECT_EQ(index.readAtPosition(in, 0), "");
    EXPECT_EQ(index.readAtPosition(in, 7), "");
    EXPECT_EQ(index.readNamed(in, "W1"), "");
  }
  EXPECT_EQ(readReportPage(*std::make_unique<std::istringstream>("\f\nA\nB"), 100), "");
}

}  // namespace
}  // namespace zelba
