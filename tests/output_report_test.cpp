// The text report (daily and monthly pages), the allocated-totals listing and
// the readers that take single pages back out of a finished report.
//
// Each case sets the allocation results by hand and spells out the expected
// text as the layout's printf formats compose it, cell by cell.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

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
  for (size_t start = 0, next; start < text.size(); start = next) {
    next = std::min(text.find('\f', start + 1), text.size());
    result.push_back(text.substr(start, next - start));
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

// A "Measured Volume:" or "Field Factors:" row: the label in the name format,
// " %6s " with " ", "  %11s %11.1f  " (or "%11.3f") for oil, "  %11s  " for gas.
std::string monthlyValueRow(std::string label, int w, const std::string& value, bool gas) {
  label.resize(static_cast<size_t>(w), ' ');
  return label + blanks(8) + "  " + blanks(11) + " " + value + "  " + (gas ? blanks(15) : "") +
         "\n";
}

// A facility's totals block: a page headed " ", the sums row, then the
// measured volume and the field factor.
std::string monthlyTotals(const std::string& shrinkage, const std::string& to, int w, bool gas,
                          const std::string& sums, const std::string& measured,
                          const std::string& factor) {
  return monthlyHead(" ", " ", shrinkage, to, w, gas) + blanks(w) + blanks(8) + sums + "\n\n" +
         monthlyValueRow("Measured Volume:", w, measured, gas) + "\n" +
         monthlyValueRow("Field Factors:", w, factor, gas);
}

// A "#control" section with `control`, then a "#network" section.
std::string input(const std::string& control, const std::string& network) {
  return "#control\n" + control + "#end\n#network\n" + network + "#end\n";
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
    throw std::runtime_error("no node " + name);
  }
  // Days 1, 2, ... of one fluid: theoretical (or measured) volumes, allocated
  // volumes and the methods that gave the theoretical volumes (1, "Welltest",
  // when not given).
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
  // Oil measured, gas from theoretical rates: the two kinds of listed slot.
  void oilAndGas() {
    rs.control.hasVolumes[kOil] = 1;
    rs.control.theoretical[kGas] = 1;
  }
  // T1 measures oil, W1 and W2 produce into it over three days; W1's oil of
  // the second day came with a qualifier, W2 is shut in on the second day. W3
  // and C1 have no results. No node is marked as allocated yet.
  void threeDays() {
    load(
        input("*period 20050101 20050103\n", "*TF T1\nWell W1\nWell W2\nWell W3\nCOMPLETION C1\n"));
    oilAndGas();
    rs.control.headers = {"NORTH FIELD", ""};
    days("T1", kOil, {300, 310, 320}, {280, 290, 300});
    days("T1", kGas, {0, 0, 0}, {150, 140, 130});
    const double factor[] = {0.95, 0.9, 1.125};
    for (int d = 1; d <= 3; ++d) rs.pomTable[0]->fieldFactor[kOil][d] = factor[d - 1];
    days("W1", kOil, {100, 110, 120}, {95, 105, 115});
    days("W1", kGas, {50, 50, 50}, {60, 70, 80});
    node("W1").fluids[kOil].qualifier[2] = kQualifierAbsolute;
    hours("W1", 3, 12.5f);
    days("W2", kOil, {200, 0, 190}, {185, 0, 175}, {7, 7, 3});
    days("W2", kGas, {40, 0, 30}, {45, 0, 35}, {7, 7, 3});
    hours("W2", 2, 0.0f);
  }
  std::string report() {
    writeReport(rs, files, "r.prn");
    return files.text("r.prn");
  }

  RunState rs;
  MemoryFiles files;
};

// Watch and "??" methods, a shut-in well, a completion and a zero network sum.
TEST_F(ReportTest, DailyReportOfOneDay) {
  load(input("*period 20050101 20050101\n", "*TF T1\nWell W1\nWell W2\nCOMPLETION C1\n"));
  oilAndGas();
  rs.control.headers = {"NORTH FIELD"};
  node("W1").allocated = node("W2").allocated = node("C1").allocated = 1;
  days("W1", kOil, {0}, {190}, {kSourceWellWatch});
  days("W1", kGas, {60}, {90}, {-1});
  hours("W2", 1, 0.0f);  // its method code 0 ("Measured") is not shown
  days("C1", kOil, {40}, {50}, {2});
  days("C1", kGas, {20}, {30}, {2});

  // One day: no totals rows under the day line.
  const std::string head = "NORTH FIELD\n";
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
  EXPECT_EQ(pages(report()), (std::vector<std::string>{w1, w2, c1, net}));
  EXPECT_EQ(node("W1").reportOffset, 0);
  EXPECT_EQ(node("C1").reportOffset, static_cast<int>(w1.size() + w2.size()));
}

TEST_F(ReportTest, DailyReportOfThreeDaysAndItsSectionReaders) {
  threeDays();
  node("T1").allocated = node("W1").allocated = 1;
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
  // Oil 330 theoretical, 315 allocated: 315 / 330 = 0.954545 -> 0.9545. Gas
  // theoretical 3 x 50 = 150.
  const std::string net =
      networkPage(head, std::string("       330.0       315.0   0.9545   ") + "       150.0   ");
  EXPECT_EQ(pages(report()), (std::vector<std::string>{t1, w1, net}));

  // A page read back has no form-feed line and ends before the next page's
  // form feed. Daily positions are node indexes; W2 (2) and W3 have no page.
  std::unique_ptr<std::istream> in = files.openForReading("r.prn");
  ASSERT_TRUE(in);
  EXPECT_EQ(readNodePage(rs, *in, "w1"), body(w1));
  EXPECT_EQ(readNodePage(rs, *in, "T1"), body(t1));
  EXPECT_EQ(readPageByPosition(rs, *in, 1), body(w1));
  EXPECT_EQ(readPageByPosition(rs, *in, 2), "");
  EXPECT_EQ(readNodePage(rs, *in, "W3"), "");
  EXPECT_EQ(readNodePage(rs, *in, "NOPE"), "");
}

TEST_F(ReportTest, MetricUnitsAndMoreSlots) {
  load(input("*period 20050101 20050101\n", "*TF T1\nWell W1\n"));
  rs.control.metric = 1;
  rs.control.hasVolumes[kOil] = rs.control.hasVolumes[kGas] = 1;
  rs.control.theoretical[kSteamInj] = 1;
  node("W1").allocated = 1;
  // Rows 0 and 3 of W1's header. "SteamInj" in 24: 7 blanks, the name, 8
  // blanks. Units in 11: "   m3     ", "   Km3    ", "  tons    ", each padded
  // by "%11s" to 11.
  const std::string text = report();
  EXPECT_NE(text.find("W1\n" + blanks(16) + " " + blanks(15) + "Oil" + blanks(17) + " " + " " +
                      blanks(15) + "Gas" + blanks(17) + " " + " " + blanks(7) + "SteamInj" +
                      blanks(8) + " \n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find(std::string("\n  Date   hours  ") + "    Used   " + "    m3     " + " " +
                      "    m3     " + "  " + "    Used   " + "    Km3    " + " " + "    Km3    " +
                      "  " + "    Used   " + "   tons    " + "  \n"),
            std::string::npos);
}

// A facility shows the field factor of the point of measurement that is its own
// node. T1 is first named as a member of G1 (point 0), so its point index plus
// one would name T2's point (1); its own point is 2.
TEST_F(ReportTest, FacilityFieldFactorIsThatOfItsOwnPoint) {
  load(input("*period 20050101 20050101\n",
             "*GC G1\nTF T1\nTF T2\n*TF T2\nWell W2\n*TF T1\nWell W1\n"));
  rs.control.hasVolumes[kOil] = 1;
  ASSERT_EQ(rs.pomTable[2]->nodeIndex, 1);
  rs.pomTable[0]->fieldFactor[kOil][1] = 0.5;
  rs.pomTable[1]->fieldFactor[kOil][1] = 0.75;
  rs.pomTable[2]->fieldFactor[kOil][1] = 1.25;
  node("T1").allocated = node("W1").allocated = 1;
  days("T1", kOil, {100}, {100});
  days("W1", kOil, {100}, {100});
  EXPECT_NE(report().find("\n20050101        100.0    1.250   \n"), std::string::npos);

  // The monthly "Field Factors:" row of T1's totals block.
  rs.control.dailyMode = 0;
  EXPECT_NE(report().find("\n" + monthlyValueRow("Field Factors:", 17, "      1.250", false)),
            std::string::npos);
}

TEST_F(ReportTest, MonthlyReport) {
  load(
      input("*monthly\n*period 20050101 20050131\n", "*TF TA\n*TF T1\nWell W1\nWell W2\n*TF T2\n"));
  oilAndGas();
  rs.control.headers = {"NORTH FIELD", ""};
  for (auto& n : rs.nodeTable) n->allocated = 1;
  node("T1").shrinkage = 0.05f;
  rs.pomTable[0]->fieldFactor[kOil][1] = 0.5;
  rs.pomTable[1]->fieldFactor[kOil][1] = 0.97;
  rs.pomTable[2]->fieldFactor[kOil][1] = 1.25;
  days("W1", kOil, {3000, 100}, {2900, 50});
  days("W1", kGas, {1500}, {1600});
  days("W2", kOil, {2000}, {1900});
  days("W2", kGas, {800}, {700});
  hours("W2", 5, 12.0f);

  // Names of two characters: the width is raised to 17. The empty header line
  // is left out of monthly pages (see monthlyHead).
  const int w = 17;
  const std::string to = "20050131";
  const std::string shrink = "    Shrinkage: 0.050   ";  // "%-7.3f " of 0.05
  // TA has no wells and is not the last facility: no totals block.
  const std::string ta = monthlyHead("TF", "TA", "", to, w, true);
  const std::string t1 =
      monthlyHead("TF", "T1", shrink, to, w, true) +
      // "%-17s" " %6.2f " "  %11.1f %11.1f  " "  %11.1f  "
      "W1" + blanks(15) + "  31.00 " + "       3100.0      2950.0  " + "       1600.0  \n" +
      // 30 days of 24 hours and one of 12: 732 / 24
      "W2" + blanks(15) + "  30.50 " + "       2000.0      1900.0  " + "        700.0  \n";
  // Its totals block keeps T1's shrinkage; the sums row is "  %11.1f %11.1f  "
  // with 3100 + 2000 and 2950 + 1900, "  %11.1f  " with 1600 + 700.
  const std::string t1Totals =
      monthlyTotals(shrink, to, w, true, "       5100.0      4850.0         2300.0  ",
                    "     4850.0", "      0.970");
  const std::string t2 = monthlyHead("TF", "T2", "", to, w, true);
  // The last facility always gets its block, even without wells.
  const std::string t2Totals = monthlyTotals(
      "", to, w, true, "          0.0         0.0            0.0  ", "        0.0", "      1.250");
  EXPECT_EQ(pages(report()), (std::vector<std::string>{ta, t1, t1Totals, t2, t2Totals}));
  EXPECT_EQ(node("T2").reportOffset, static_cast<int>(ta.size() + t1.size() + t1Totals.size()));

  // Monthly positions are points of measurement: 1 is T1, 2 is T2 (node 4).
  std::unique_ptr<std::istream> in = files.openForReading("r.prn");
  ASSERT_TRUE(in);
  EXPECT_EQ(readPageByPosition(rs, *in, 1), body(t1));
  EXPECT_EQ(readPageByPosition(rs, *in, 2), body(t2));
}

// Wells that come before any facility and a name longer than 17 characters;
// only measured slots.
TEST_F(ReportTest, MonthlyWellsBeforeAnyFacility) {
  load(input("*monthly\n*period 20050101 20050102\n", "Well LONGWELLNAME0123456\n*TF T1\n"));
  rs.control.hasVolumes[kOil] = 1;
  rs.control.headers = {"NORTH FIELD"};
  for (auto& n : rs.nodeTable) n->allocated = 1;
  rs.pomTable[0]->fieldFactor[kOil][1] = 0.8;
  days("LONGWELLNAME0123456", kOil, {10}, {12});

  // No page before the first well; its block has no facility: factor 0, not
  // T1's 0.8. Then T1's page and block.
  const std::vector<std::string> all = pages(report());
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0],
            "LONGWELLNAME0123456   2.00 " + std::string("  ") + "       10.0        12.0  \n");
  EXPECT_EQ(all[1], monthlyTotals("", "20050102", 19, false, "         10.0        12.0  ",
                                  "       12.0", "      0.000"));
}

TEST_F(ReportTest, TotalsListing) {
  threeDays();
  // W3 has oil theoretical volumes but nothing allocated in a listed slot
  // (its water is not listed); C1 is not of the well level.
  for (auto& n : rs.nodeTable) n->allocated = 1;
  days("W3", kOil, {50}, {0});
  days("W3", kWater, {0, 0}, {0, 10});
  days("C1", kOil, {99}, {99});
  writeTotalsListing(rs, files, "t.prn");

  // "%-20s " then " %10.1f %10.1f %c" (oil) and " %10.1f  " with the
  // theoretical sum (gas). W1 oil 100 + 110 + 120 and 95 + 105 + 115, gas
  // 3 x 50; W2 oil 200 + 190 and 185 + 175, gas 40 + 30.
  const std::string expected =
      "\f\nNORTH FIELD\n\n\n\nMonthly Allocated Totals\n" + wellRows(false) + "W1" + blanks(18) +
      " " + "      330.0      315.0  " + "      150.0  \n" + "W2" + blanks(18) + " " +
      "      390.0      360.0  " + "       70.0  \n" + wellRows(false) + blanks(21) +
      "      720.0      675.0  " + "      220.0  \n";
  EXPECT_EQ(files.text("t.prn"), expected);
}

// The driver writes the report, the listing and the load file; a name of one
// character writes nothing.
TEST(ReportRun, WholeRunWritesReportLoadFileAndListing) {
  RunState rs;
  MemoryFiles files;
  RunOptions options;
  options.files = &files;
  ASSERT_EQ(runEngineOnText(rs,
                            input("*period 20050101 20050102\n*report r.prn t.prn\n*load l.txt\n",
                                  "*Header North\n*TF T1\nWell W1\n") +
                                "#volume\n*TF T1\n*date oil\n20050101 100\n20050102 110\n#end\n",
                            nullptr, options),
            1);
  EXPECT_EQ(files.files().size(), 3u);
  EXPECT_EQ(files.text("r.prn").rfind("\f\t\nNorth\n\n\nTF: T1\n", 0), 0u);
  EXPECT_EQ(files.text("t.prn").rfind("\f\nNorth\n\n\nMonthly Allocated Totals\n", 0), 0u);
  EXPECT_EQ(files.text("l.txt").rfind("*date * *Oil \n*keyname \"W1\"\n20050101        24.000 ", 0),
            0u);

  MemoryFiles none;
  options.files = &none;
  ASSERT_EQ(runEngineOnText(
                rs, input("*period 20050101 20050102\n*report r t\n*load l\n", "*TF T1\nWell W1\n"),
                nullptr, options),
            1);
  EXPECT_TRUE(none.files().empty());
}

}  // namespace
}  // namespace zelba
