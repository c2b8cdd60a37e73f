// The text report (daily and monthly pages), the allocated-totals listing and
// the readers that take single pages back out of a finished report.
//
// Each case sets the allocation results by hand and spells out the expected
// text as the layout's printf formats compose it, cell by cell.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/dates.h"
#include "engine/driver.h"
#include "input/input_reader.h"
#include "input/sections.h"
#include "output/output_files.h"
#include "output/text_report.h"

namespace zelba {
namespace {

std::string blanks(int n) {
  return std::string(static_cast<size_t>(n), ' ');
}

// The text split before every form feed, so that a mismatch shows per page.
std::vector<std::string> pages(const std::string& text) {
  std::vector<std::string> result;
  size_t start = 0;
  while (start < text.size()) {
    size_t next = text.find('\f', start + 1);
    if (next == std::string::npos) next = text.size();
    result.push_back(text.substr(start, next - start));
    start = next;
  }
  return result;
}

// A page as the section readers give it back: without its form-feed line.
std::string body(const std::string& page) {
  return page.substr(page.find('\n') + 1);
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

class ReportTest : public ::testing::Test {
 protected:
  void load(const std::string& text) {
    resetRunState(rs);
    InputReader reader;
    reader.openText(text);
    readSections(rs, reader);
    prepareRun(rs);
  }
  BaNode& node(const std::string& name) {
    for (auto& n : rs.nodeTable) {
      if (n->name == name) return *n;
    }
    ADD_FAILURE() << "no node " << name;
    return *rs.nodeTable.front();
  }
  // One day of one fluid: theoretical (or measured) volume, allocated volume
  // and the method that gave the theoretical volume.
  void day(const std::string& name, int slot, int d, double volume, double allocated,
           int source = 1) {
    BaFluidDays& f = node(name).fluids[slot];
    f.volume[d] = volume;
    f.cumResult[d] = allocated;
    f.source[d] = static_cast<std::int8_t>(source);
  }
  void hours(const std::string& name, int d, float h) { (*node(name).routes)[d].hoursOn = h; }
  // Oil measured, gas from theoretical rates: the two kinds of listed slot.
  void oilAndGas() {
    rs.control.hasVolumes[kOil] = 1;
    rs.control.theoretical[kGas] = 1;
  }
  // T1 measures oil, W1 and W2 produce into it over three days; W2 is shut in
  // on the second day and W1's oil of that day came with a qualifier.
  void fillThreeDays() {
    rs.control.headers = {"NORTH FIELD", ""};
    for (const char* name : {"T1", "W1", "W2"}) node(name).allocated = 1;
    const double tfOil[] = {300, 310, 320}, tfAlloc[] = {280, 290, 300}, tfGas[] = {150, 140, 130};
    const double factor[] = {0.95, 0.9, 1.125};
    for (int d = 1; d <= 3; ++d) {
      day("T1", kOil, d, tfOil[d - 1], tfAlloc[d - 1]);
      day("T1", kGas, d, 0, tfGas[d - 1]);
      rs.pomTable[0]->fieldFactor[kOil][d] = factor[d - 1];
      day("W1", kOil, d, 90 + 10 * d, 85 + 10 * d, 1);  // 100/95, 110/105, 120/115
      day("W1", kGas, d, 50, 50 + 10 * d, 1);           // 60, 70, 80 allocated
    }
    node("W1").fluids[kOil].qualifier[2] = kQualifierAbsolute;
    hours("W1", 3, 12.5f);
    day("W2", kOil, 1, 200, 185, 7);
    day("W2", kOil, 2, 0, 0, 7);
    day("W2", kOil, 3, 190, 175, 3);
    day("W2", kGas, 1, 40, 45, 7);
    day("W2", kGas, 2, 0, 0, 7);
    day("W2", kGas, 3, 30, 35, 3);
    hours("W2", 2, 0.0f);
  }
  std::string report() {
    writeReport(rs, files, "r.prn");
    return files.text("r.prn");
  }

  RunState rs;
  MemoryFiles files;
};

const char* kThreeDays =
    "#control\n"
    "*period 20050101 20050103\n"
    "#end\n"
    "#network\n"
    "*TF T1\n"
    "Well W1\n"
    "Well W2\n"
    "Well W3\n"
    "COMPLETION C1\n"
    "#end\n";

TEST_F(ReportTest, DailyReportOfOneDay) {
  load(
      "#control\n"
      "*period 20050101 20050101\n"
      "#end\n"
      "#network\n"
      "*TF T1\n"
      "Well W1\n"
      "Well W2\n"
      "COMPLETION C1\n"
      "#end\n");
  oilAndGas();
  rs.control.headers = {"NORTH FIELD"};
  for (const char* name : {"T1", "W1", "W2", "C1"}) node(name).allocated = 1;
  day("T1", kOil, 1, 300, 285);
  day("T1", kGas, 1, 0, 150);
  rs.pomTable[0]->fieldFactor[kOil][1] = 0.95;
  day("W1", kOil, 1, 0, 190, kSourceWellWatch);
  day("W1", kGas, 1, 60, 90, -1);
  day("W2", kOil, 1, 0, 0, 1);
  day("W2", kGas, 1, 0, 0, 1);
  hours("W2", 1, 0.0f);
  day("C1", kOil, 1, 40, 50, 2);
  day("C1", kGas, 1, 20, 30, 2);

  const std::string head = "NORTH FIELD\n";
  const std::string t1 = dailyHead(head, "TF", "T1") + facilityRows() +
                         // "%8.0f " " %11.1f %8.3f   " " %11.1f   "
                         "20050101        300.0    0.950          150.0   \n"
                         // one day: no totals rows; oil was measured: the shrinkage lines
                         "After\n"
                         "Shrinkage       285.0\n";
  // "%8.0f " "%6.2f  " " %-8s %11.1f %11.1f %c " " %-8s %11.1f   "
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

  const std::string text = report();
  EXPECT_EQ(pages(text), (std::vector<std::string>{t1, w1, w2, c1, net}));
  EXPECT_EQ(node("T1").reportOffset, 0);
  EXPECT_EQ(node("W1").reportOffset, static_cast<int>(t1.size()));
  EXPECT_EQ(node("W2").reportOffset, static_cast<int>(t1.size() + w1.size()));
  EXPECT_EQ(node("C1").reportOffset, static_cast<int>(t1.size() + w1.size() + w2.size()));
}

TEST_F(ReportTest, DailyReportOfThreeDays) {
  load(kThreeDays);
  oilAndGas();
  fillThreeDays();

  // Daily pages write every header line, the empty one included.
  const std::string head = "NORTH FIELD\n\n";
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
  // The shut-in day says "ShutIn" in both method cells; the next day is back.
  const std::string w2 =
      dailyHead(head, "Well", "W2") + wellRows(true) +
      "20050101  24.00   Decline        200.0       185.0    Decline         45.0   \n"
      "20050102   0.00   ShutIn           0.0         0.0    ShutIn           0.0   \n"
      "20050103  24.00   WellChar       190.0       175.0    WellChar        35.0   \n" +
      blanks(16) + "           ----------- -----------  " + "           -----------  \n" +
      blanks(17) + "                390.0       360.0   " + "                 80.0   \n";
  // Oil 330 + 390 = 720 theoretical, 315 + 360 = 675 allocated: 0.9375.
  // Gas theoretical 150 + 70 = 220.
  const std::string net =
      networkPage(head, std::string("       720.0       675.0   0.9375   ") + "       220.0   ");
  EXPECT_EQ(pages(report()), (std::vector<std::string>{t1, w1, w2, net}));
}

TEST_F(ReportTest, MetricUnitsAndMoreSlots) {
  load("#control\n*period 20050101 20050101\n#end\n#network\n*TF T1\nWell W1\n#end\n");
  rs.control.metric = 1;
  rs.control.hasVolumes[kOil] = 1;
  rs.control.hasVolumes[kGas] = 1;
  rs.control.theoretical[kSteamInj] = 1;
  node("W1").allocated = 1;
  std::istringstream lines(report());
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_GE(rows.size(), 9u);
  // Rows 0 and 3 of W1's page (after "\f\t", "", "", "Well: W1"). "SteamInj"
  // in 24: 7 blanks, the name, 8 blanks. Units in 11: "   m3     ",
  // "   Km3    ", "  tons    ", each padded by "%11s" to 11.
  EXPECT_EQ(rows[4], blanks(16) + " " + blanks(15) + "Oil" + blanks(17) + " " + " " + blanks(15) +
                         "Gas" + blanks(17) + " " + " " + blanks(7) + "SteamInj" + blanks(8) + " ");
  EXPECT_EQ(rows[7], std::string("  Date   hours  ") + "    Used   " + "    m3     " + " " +
                         "    m3     " + "  " + "    Used   " + "    Km3    " + " " +
                         "    Km3    " + "  " + "    Used   " + "   tons    " + "  ");
}

// A facility shows the field factor of the point of measurement that is its own
// node. T1 is first named as a member of G1 (point 0), so its point index plus
// one would name T2's point (1); its own point is 2.
TEST_F(ReportTest, FacilityFieldFactorIsThatOfItsOwnPoint) {
  load(
      "#control\n"
      "*period 20050101 20050101\n"
      "#end\n"
      "#network\n"
      "*GC G1\n"
      "TF T1\n"
      "TF T2\n"
      "*TF T2\n"
      "Well W2\n"
      "*TF T1\n"
      "Well W1\n"
      "#end\n");
  rs.control.hasVolumes[kOil] = 1;
  ASSERT_EQ(rs.pomTable[2]->nodeIndex, 1);
  rs.pomTable[0]->fieldFactor[kOil][1] = 0.5;
  rs.pomTable[1]->fieldFactor[kOil][1] = 0.75;
  rs.pomTable[2]->fieldFactor[kOil][1] = 1.25;
  node("T1").allocated = node("T2").allocated = node("W1").allocated = 1;
  day("T1", kOil, 1, 100, 100);
  day("T2", kOil, 1, 200, 200);
  day("W1", kOil, 1, 100, 100);

  report();
  std::unique_ptr<std::istream> in = files.openForReading("r.prn");
  ASSERT_TRUE(in);
  const std::string t1 = readNodePage(rs, *in, "T1");
  const std::string t2 = readNodePage(rs, *in, "T2");
  EXPECT_NE(t1.find("\n"
                    "20050101        100.0    1.250   \n"),
            std::string::npos)
      << t1;
  EXPECT_NE(t2.find("\n"
                    "20050101        200.0    0.750   \n"),
            std::string::npos)
      << t2;

  // The monthly "Field Factors:" row of T1's totals block.
  node("T2").allocated = 0;
  rs.control.dailyMode = 0;
  EXPECT_NE(report().find("\nField Factors:   " + blanks(8) + "  " + blanks(11) + " " +
                          "      1.250" + "  \n"),
            std::string::npos);
}

TEST_F(ReportTest, SectionReaders) {
  load(kThreeDays);
  oilAndGas();
  fillThreeDays();
  const std::vector<std::string> all = pages(report());
  ASSERT_EQ(all.size(), 4u);  // T1, W1, W2, network totals
  std::unique_ptr<std::istream> in = files.openForReading("r.prn");
  ASSERT_TRUE(in);

  // Without the form-feed line that starts the page, and ending before the
  // next page's form feed.
  EXPECT_EQ(readNodePage(rs, *in, "w1"), body(all[1]));
  EXPECT_EQ(readNodePage(rs, *in, "T1"), body(all[0]));
  EXPECT_EQ(readPageByPosition(rs, *in, 0), body(all[0]));
  EXPECT_EQ(readPageByPosition(rs, *in, 2), body(all[2]));
  EXPECT_EQ(readNodePage(rs, *in, "NOPE"), "");
  // W3 is a node but was given no results.
  EXPECT_EQ(readNodePage(rs, *in, "W3"), "");
  EXPECT_EQ(readPageByPosition(rs, *in, 3), "");
}

// Monthly rows for a name width `w`: oil measured, gas theoretical-only.
std::string monthlyRows(int w, bool gas) {
  auto cells = [gas](const std::string& oil, const std::string& gasCell) {
    return oil + (gas ? gasCell : "") + "\n";
  };
  return blanks(w) + blanks(8) +
         cells(" " + blanks(10) + "Oil" + blanks(12) + " ",
               "  " + blanks(4) + "Gas" + blanks(5) + " ") +
         blanks(w) + blanks(8) + cells(" ------------------------- ", " ------------- ") +
         blanks(w) + " Uptime " + cells("  Theoretical  Allocated   ", "  Theoretical  ") + "Well" +
         blanks(w - 4) + "  Days  " + cells("      bbl         bbl      ", "      Mcf      ") +
         std::string(static_cast<size_t>(w), '-') + " ------ " +
         cells("  ----------- -----------  ", "  -----------  ");
}

// "\f\n", the non-empty header lines, "\n", "\n%s: %s   ",
// "   From: %.0f  to: %.0f", the shrinkage text, "\n\n", the rows.
std::string monthlyHead(const std::string& level, const std::string& name,
                        const std::string& shrinkage, const std::string& to, int w, bool gas) {
  return "\f\nNORTH FIELD\n\n\n" + level + ": " + name + "   " + "   From: 20050101  to: " + to +
         shrinkage + "\n\n" + monthlyRows(w, gas);
}

TEST_F(ReportTest, MonthlyReport) {
  load(
      "#control\n"
      "*monthly\n"
      "*period 20050101 20050131\n"
      "#end\n"
      "#network\n"
      "*TF TA\n"
      "*TF T1\n"
      "Well W1\n"
      "Well W2\n"
      "*TF T2\n"
      "#end\n");
  oilAndGas();
  rs.control.headers = {"NORTH FIELD", ""};
  for (auto& n : rs.nodeTable) n->allocated = 1;
  node("T1").shrinkage = 0.05f;
  rs.pomTable[0]->fieldFactor[kOil][1] = 0.5;
  rs.pomTable[1]->fieldFactor[kOil][1] = 0.97;
  rs.pomTable[2]->fieldFactor[kOil][1] = 1.25;
  day("W1", kOil, 1, 3000, 2900);
  day("W1", kOil, 2, 100, 50);
  day("W1", kGas, 1, 1500, 1600);
  day("W2", kOil, 1, 2000, 1900);
  day("W2", kGas, 1, 800, 700);
  hours("W2", 5, 12.0f);

  // Names of two characters: the width is raised to 17.
  const int w = 17;
  const std::string to = "20050131";
  // The empty header line is left out of monthly pages (see monthlyHead).
  const std::string shrink = "    Shrinkage: 0.050   ";  // "%-7.3f " of 0.05
  // TA has no wells and is not the last facility: no totals block.
  const std::string ta = monthlyHead("TF", "TA", "", to, w, true);
  const std::string t1 =
      monthlyHead("TF", "T1", shrink, to, w, true) +
      // "%-17s" " %6.2f " "  %11.1f %11.1f  " "  %11.1f  "
      "W1" + blanks(15) + "  31.00 " + "       3100.0      2950.0  " + "       1600.0  \n" +
      // 30 days of 24 hours and one of 12: 732 / 24
      "W2" + blanks(15) + "  30.50 " + "       2000.0      1900.0  " + "        700.0  \n";
  // Its totals block keeps T1's shrinkage: 3100 + 2000, 2950 + 1900, 1600 + 700.
  const std::string t1Totals = monthlyHead(" ", " ", shrink, to, w, true) + blanks(w) + blanks(8) +
                               "       5100.0      4850.0  " +
                               "       2300.0  \n"
                               "\n" +
                               "Measured Volume: " + blanks(8) + "  " + blanks(11) + " " +
                               "     4850.0" + "  " + blanks(15) + "\n\n" +
                               "Field Factors:   " + blanks(8) + "  " + blanks(11) + " " +
                               "      0.970" + "  " + blanks(15) + "\n";
  const std::string t2 = monthlyHead("TF", "T2", "", to, w, true);
  // The last facility always gets its block, even without wells.
  const std::string t2Totals = monthlyHead(" ", " ", "", to, w, true) + blanks(w) + blanks(8) +
                               "          0.0         0.0  " +
                               "          0.0  \n"
                               "\n" +
                               "Measured Volume: " + blanks(8) + "  " + blanks(11) + " " +
                               "        0.0" + "  " + blanks(15) + "\n\n" +
                               "Field Factors:   " + blanks(8) + "  " + blanks(11) + " " +
                               "      1.250" + "  " + blanks(15) + "\n";
  EXPECT_EQ(pages(report()), (std::vector<std::string>{ta, t1, t1Totals, t2, t2Totals}));
  EXPECT_EQ(node("TA").reportOffset, 0);
  EXPECT_EQ(node("T1").reportOffset, static_cast<int>(ta.size()));
  EXPECT_EQ(node("T2").reportOffset, static_cast<int>(ta.size() + t1.size() + t1Totals.size()));

  // Monthly positions are points of measurement: 1 is T1, 2 is T2 (node 4).
  std::unique_ptr<std::istream> in = files.openForReading("r.prn");
  ASSERT_TRUE(in);
  EXPECT_EQ(readPageByPosition(rs, *in, 1), body(t1));
  EXPECT_EQ(readPageByPosition(rs, *in, 2), body(t2));
  EXPECT_EQ(readPageByPosition(rs, *in, 0), body(ta));
  EXPECT_EQ(readNodePage(rs, *in, "t1"), body(t1));
}

// Wells that come before any facility, a name longer than 17 characters and
// only measured slots.
TEST_F(ReportTest, MonthlyWellsBeforeAnyFacility) {
  load(
      "#control\n"
      "*monthly\n"
      "*period 20050101 20050102\n"
      "#end\n"
      "#network\n"
      "Well LONGWELLNAME0123456\n"
      "*TF T1\n"
      "Well W1\n"
      "#end\n");
  rs.control.hasVolumes[kOil] = 1;
  rs.control.headers = {"NORTH FIELD"};
  for (auto& n : rs.nodeTable) n->allocated = 1;
  rs.pomTable[0]->fieldFactor[kOil][1] = 0.8;
  day("LONGWELLNAME0123456", kOil, 1, 10, 12);
  day("W1", kOil, 2, 20, 18);

  const int w = 19;
  const std::string to = "20050102";
  // No page before the first well; its block has no facility: factor 0.
  const std::string first =
      "LONGWELLNAME0123456   2.00 " + std::string("  ") + "       10.0        12.0  \n";
  const std::string firstTotals = monthlyHead(" ", " ", "", to, w, false) + blanks(w) + blanks(8) +
                                  "         10.0        12.0  \n"
                                  "\n" +
                                  "Measured Volume:   " + blanks(8) + "  " + blanks(11) + " " +
                                  "       12.0" + "  \n\n" + "Field Factors:     " + blanks(8) +
                                  "  " + blanks(11) + " " + "      0.000" + "  \n";
  const std::string t1 = monthlyHead("TF", "T1", "", to, w, false) + "W1" + blanks(17) + " " +
                         "  2.00" + " " + "         20.0        18.0  \n";
  const std::string t1Totals = monthlyHead(" ", " ", "", to, w, false) + blanks(w) + blanks(8) +
                               "         20.0        18.0  \n"
                               "\n" +
                               "Measured Volume:   " + blanks(8) + "  " + blanks(11) + " " +
                               "       18.0" + "  \n\n" + "Field Factors:     " + blanks(8) + "  " +
                               blanks(11) + " " + "      0.800" + "  \n";
  EXPECT_EQ(pages(report()), (std::vector<std::string>{first, firstTotals, t1, t1Totals}));
}

TEST_F(ReportTest, TotalsListing) {
  load(kThreeDays);
  oilAndGas();
  fillThreeDays();
  // W3 has oil theoretical volumes but nothing allocated in a listed slot
  // (its water is not listed); C1 is not of the well level.
  node("W3").allocated = node("C1").allocated = 1;
  day("W3", kOil, 1, 50, 0);
  day("W3", kWater, 2, 0, 10);
  day("C1", kOil, 1, 99, 99);
  writeTotalsListing(rs, files, "t.prn");

  // "%-20s " then " %10.1f %10.1f %c" (oil) and " %10.1f  " with the
  // theoretical sum (gas).
  const std::string expected =
      "\f\nNORTH FIELD\n\n\n\nMonthly Allocated Totals\n" + wellRows(false) + "W1" + blanks(18) +
      " " + "      330.0      315.0  " + "      150.0  \n" + "W2" + blanks(18) + " " +
      "      390.0      360.0  " + "       70.0  \n" + wellRows(false) + blanks(21) +
      "      720.0      675.0  " + "      220.0  \n";
  EXPECT_EQ(files.text("t.prn"), expected);
}

TEST(ReportRun, WholeRunWritesReportLoadFileAndListing) {
  const std::string path = testing::TempDir() + "report-run.ba";
  std::ofstream(path) << "#control\n"
                         "*period 20050101 20050102\n"
                         "*report r.prn t.prn\n"
                         "*load l.txt\n"
                         "#end\n"
                         "#network\n"
                         "*Header North\n"
                         "*TF T1\n"
                         "Well W1\n"
                         "#end\n"
                         "#volume\n"
                         "*TF T1\n"
                         "*date oil\n"
                         "20050101 100\n"
                         "20050102 110\n"
                         "#end\n";
  RunState rs;
  MemoryFiles files;
  RunOptions options;
  options.files = &files;
  ASSERT_EQ(runEngine(rs, path, nullptr, options), 1);
  EXPECT_EQ(files.files().size(), 3u);
  const std::string report = files.text("r.prn");
  EXPECT_EQ(report.rfind("\f\t\nNorth\n\n\nTF: T1\n", 0), 0u);
  EXPECT_NE(report.find("\f\t\nNorth\n\n\nWell: W1\n"), std::string::npos);
  EXPECT_NE(report.find("\f\nNorth\n\n\nProduction Network Totals:\n"), std::string::npos);
  EXPECT_EQ(files.text("t.prn").rfind("\f\nNorth\n\n\nMonthly Allocated Totals\n", 0), 0u);
  EXPECT_EQ(files.text("l.txt").rfind("*date * *Oil \n*keyname \"W1\"\n20050101        24.000 ", 0),
            0u);

  // A one-character name writes nothing.
  std::ofstream(path) << "#control\n"
                         "*period 20050101 20050102\n"
                         "*report r t\n"
                         "*load l\n"
                         "#end\n"
                         "#network\n"
                         "*TF T1\n"
                         "Well W1\n"
                         "#end\n";
  MemoryFiles none;
  options.files = &none;
  ASSERT_EQ(runEngine(rs, path, nullptr, options), 1);
  EXPECT_TRUE(none.files().empty());
}

}  // namespace
}  // namespace zelba
