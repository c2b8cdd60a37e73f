// The "#control", "#network" and "#volume" sections and the dispatcher that
// hands each section to its parser.

#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/keywords.h"
#include "engine/run_state.h"
#include "input/input_reader.h"
#include "input/sections.h"

namespace zelba {
namespace {

using Methods = std::array<std::uint8_t, kMethodSlots>;
using Members = std::vector<std::int32_t>;
using Floats = std::vector<float>;

class SectionsTest : public ::testing::Test {
 protected:
  void load(const std::string& text) {
    resetRunState(rs);
    InputReader reader;
    reader.openText(text);
    readSections(rs, reader);
  }
  // Looks a node up without creating it; -1 when it does not exist.
  int nodeOf(const std::string& type, const std::string& name) const {
    const int typeId = lookupEntityType(rs, type);
    for (int i = 0; i < rs.nodeCount(); ++i) {
      if (rs.nodeTable[i]->typeId == typeId && rs.nodeTable[i]->name == name) return i;
    }
    return -1;
  }
  const BaNode& node(const std::string& type, const std::string& name) const {
    const int index = nodeOf(type, name);
    EXPECT_GE(index, 0) << type << " " << name;
    return *rs.nodeTable.at(index);
  }
  double oil(const std::string& name, int day) const {
    return node("Well", name).fluids[kOil].volume[day];
  }

  RunState rs;
};

TEST_F(SectionsTest, SectionsAndEndMarkers) {
  // Lines outside sections are ignored; "#end" outside a section ends the input.
  load(
      "*monthly\n#bogus\n*monthly\n#CONTROL\n*precision 2\n#End\n#control\n*load a.txt\n#END\n"
      "#end\n#control\n*zeltable LATE\n#end\n");
  EXPECT_EQ(std::tuple(rs.control.dailyMode, rs.control.precision, rs.control.loadFile,
                       rs.control.zelTable),
            std::tuple(1, 2, "a.txt", ""));
  // "*eof" in the middle of a section keeps the section's earlier lines.
  load("#control\n*precision 4\n*EoF\n*monthly\n#end\n#network\n*GC G1\n#end\n");
  EXPECT_EQ(std::tuple(rs.control.precision, rs.control.dailyMode, rs.pomCount()),
            std::tuple(4, 1, 0));
  // A section without "#end" runs to the end of the input, last line without newline too.
  load("#network\n*GC G1\nWell W1");
  EXPECT_EQ(std::tuple(rs.pomCount(), rs.nodeCount()), std::tuple(1, 2));
}

TEST_F(SectionsTest, ControlPeriod) {
  using Period = std::tuple<double, double, int, int, int>;  // start, end, given, first, end day
  const std::pair<const char*, Period> rows[] = {
      {"*period 20050131 20050101", {20050101, 20050131, 1, 1, 31}},  // Jan 1..31 inclusive
      {"*PERIOD 20050101 20050315", {20050101, 20050315, 1, 1, 32}},  // 31 + 28 + 15 = 74, held
      // One date missing: the day range stays as the earlier line set it.
      {"*period 20050101 20050110\n*period 20050105", {0, 20050105, 0, 1, 10}}};
  for (const auto& [lines, expected] : rows) {
    load(std::string("#control\n") + lines + "\n#end\n");
    const RunControl& rc = rs.control;
    EXPECT_EQ(Period(rc.periodStart, rc.periodEnd, rc.periodGiven, rc.firstDay, rc.endDay),
              expected)
        << lines;
  }
}

TEST_F(SectionsTest, ControlKeywordsAndRepeats) {
  load(
      "#control\n*MONTHLY\n*Theoretical Oil *Gas water Stock\n*Range 0.5 2.5\n*Target 0.9\n"
      "*precision 3x\n*report out.rpt tot.txt\n*report \"\" tot2.txt\n*zeltable ALLOC\n"
      "*zelfields a b c d e f g h i\n*zelfields X Y\n*unknown 5\nprecision 9\n#end\n");
  const RunControl& rc = rs.control;
  EXPECT_EQ(rc.dailyMode, 0);
  EXPECT_EQ(rc.theoretical, (FluidArray<std::uint8_t>{1, 1, 1, 0, 0, 0, 0, 0}));  // Stock is id 12
  // A missing argument reads as 0; an empty first field keeps the report.
  EXPECT_EQ(std::tuple(rc.rangeMin, rc.rangeMax, rc.targetLow, rc.targetHigh, rc.precision),
            std::tuple(0.5, 2.5, 0.9, 0.0, 3));
  EXPECT_EQ(std::tuple(rc.reportFile, rc.totalsFile, rc.zelTable),
            std::tuple("out.rpt", "tot2.txt", "ALLOC"));
  EXPECT_EQ(rc.zelFields,
            (std::array<std::string, kZelFields>{"X", "Y", "c", "d", "e", "f", "g", "h"}));

  // "*html" replaces the report, empties an absent directory, and ignores an empty base.
  load("#control\n*report r.txt\n*html base dir/\n*html b2\n*html \"\" other\n#end\n");
  EXPECT_EQ(std::tuple(rc.reportFile, rc.htmlDirectory, rc.html), std::tuple("b2", "", 1));

  // A second section overwrites, but "*Theoretical" only ever adds slots.
  load(
      "#control\n*precision 2\n*Theoretical Oil\n#end\n"
      "#control\n*precision 5\n*Theoretical Water\n#end\n");
  EXPECT_EQ(rc.precision, 5);
  EXPECT_EQ(rc.theoretical, (FluidArray<std::uint8_t>{1, 0, 1, 0, 0, 0, 0, 0}));
}

TEST_F(SectionsTest, ControlFrom) {
  const std::string network = "#network\n*TF T1\n*GC G1\n*GC G2\n#end\n";
  const std::string from = "#control\n*from GC\n#end\n";
  const std::string volume = "#volume\n#end\n";
  const std::pair<std::string, int> rows[] = {
      {from + network, -1},          // no point of measurement existed yet
      {from + network + volume, 0},  // the end of "#volume" turns -1 into 0, not into G1
      {network + from + volume, 1},  // the first GC point: G1
      {network + "#control\n*from Well\n#end\n", -1}};
  for (const auto& [text, expected] : rows) {
    load(text);
    EXPECT_EQ(rs.control.fromPom, expected) << text;
  }
}

TEST_F(SectionsTest, NetworkDefine) {
  load("#network\n*Define SUPER plant #WELL COMPL\n*GC G1\n*PLANT P1\nWELL W1\nCOMPL C1\n#end\n");
  EXPECT_EQ((std::vector<std::string>{typeName(rs, 0), typeName(rs, 1), typeName(rs, 2),
                                      typeName(rs, 3), typeName(rs, 4)}),
            (std::vector<std::string>{"SUPER", "PLANT", "WELL", "COMPL", ""}));
  EXPECT_EQ(rs.control.firstWellType, 2);
  ASSERT_EQ(rs.pomCount(), 1);  // "*GC G1" is ignored
  EXPECT_EQ(rs.pomTable[0]->members.size(), 2u);
  EXPECT_TRUE(node("COMPL", "C1").routes);  // at or after the marked row: a well type
  EXPECT_FALSE(node("PLANT", "P1").routes);

  load("#network\n*Define super plant well\n#end\n");
  EXPECT_EQ(rs.control.firstWellType, 2);  // no mark: the last name
}

TEST_F(SectionsTest, NetworkMethods) {
  load(
      "#network\n*Methods *Welltest *Decline\n*Methods *Oil *Measured\n*GC G1\nWell W1\n"
      "Well W2 label1 *Gas *Const *pi\nWell W3 *Const\nWell W4 L xWater +Vogel\n"
      "Well W5 *Oil *Const *bogus *pi *Vogel *Decline *Kh *Zozed\n#end\n#network\nWell W7\n#end\n");
  const auto methods = [&](const char* name, int fluid) {
    return node("Well", name).methods[fluid];
  };
  EXPECT_EQ(methods("W1", kOil), (Methods{kMethodMeasured, kMethodDecline, 0, 0, 0}));
  EXPECT_EQ(methods("W1", kGas), (Methods{kMethodWelltest, kMethodDecline, 0, 0, 0}));
  EXPECT_EQ(methods("W2", kGas), (Methods{kMethodConst, kMethodPi, 0, 0, 0}));
  // Without a label the tokens start at field 3 and, before a fluid, fill every list.
  EXPECT_EQ(methods("W3", kWater), (Methods{kMethodConst, kMethodDecline, 0, 0, 0}));
  // The first character of a token is skipped whatever it is.
  EXPECT_EQ(methods("W4", kWater), (Methods{kMethodVogel, kMethodDecline, 0, 0, 0}));
  // Positions beyond 5 and unknown tokens are ignored.
  EXPECT_EQ(methods("W5", kOil),
            (Methods{kMethodConst, kMethodPi, kMethodVogel, kMethodDecline, kMethodKh}));
  // A new "#network" section starts from "Measured"; its member joins the last point.
  EXPECT_EQ(methods("W7", kGas), (Methods{0, 0, 0, 0, 0}));
  EXPECT_EQ(rs.pomTable[0]->members.back(), nodeOf("Well", "W7"));
}

TEST_F(SectionsTest, NetworkPoints) {
  load(
      "#network\n*TF T1 *2ndStage\n"
      "*GC G1 *calibration 1.5 *psep 120 junk *gor 450.5 *bsw 12 *shrinkage 0.9\nWell W1\nWell W2\n"
      "*GC G2 *psep 60 *1stStage\nWell W2\nWell W3\n#end\n");
  ASSERT_EQ(rs.pomCount(), 3);
  const BaPom& g1 = *rs.pomTable[1];
  const BaPom& g2 = *rs.pomTable[2];
  // Field 3 sets the new facility's stage, which its point copies; "*1stStage" elsewhere
  // sets only the point's. A point's own node has the point defined before it.
  EXPECT_EQ(std::tuple(rs.pomTable[0]->stage, g2.stage, node("GC", "G2").stage),
            std::tuple(2, 1, 0));
  EXPECT_EQ(node("GC", "G1").pomIndex, 0);
  EXPECT_EQ(
      (std::vector<float>{g1.calibration, g1.psep, g1.gor, g1.bsw, node("GC", "G1").shrinkage}),
      (std::vector<float>{1.5f, 120, 450.5f, 12, 0.9f}));  // "junk" skipped
  // A well under two points is in both lists and keeps its first point.
  EXPECT_EQ(g1.members, (Members{nodeOf("Well", "W1"), nodeOf("Well", "W2")}));
  EXPECT_EQ(g2.members, (Members{nodeOf("Well", "W2"), nodeOf("Well", "W3")}));
  EXPECT_EQ(node("Well", "W2").pomIndex, 1);
  // A well flows to its own point all day, every day, until "#time" says otherwise.
  const BaDayRoute& route = (*node("Well", "W2").routes)[31];
  EXPECT_EQ(std::tuple(route.pomIndex, route.hoursOn), std::tuple(1, 24.0f));
}

TEST_F(SectionsTest, NetworkNodesAndHeaders) {
  load(
      "#network\nWell W0 *Const\n*GC G1\nWell w1 *Const\nWell G1\nPump P1\n*Pump P2\nWell \"\"\n"
      "Well ABCDEFGHIJKLMNOPQRS1\nWell ABCDEFGHIJKLMNOPQRS2\n*GC G2\nWELL W1 *pi\n#end\n");
  // W0, G1, W1, Well G1, ...S1, ...S2, G2: the same name under two types makes two nodes,
  // and names are never cut.
  EXPECT_EQ(rs.nodeCount(), 7);
  EXPECT_EQ(rs.control.maxNameLength, 20);
  // A member line before any point creates the node but joins nothing.
  EXPECT_EQ(node("Well", "W0").pomIndex, -1);
  // Two letter cases, one node, as first seen; in both member lists.
  EXPECT_EQ(node("Well", "W1").methods[kOil], (Methods{kMethodConst, 0, 0, 0, 0}));
  EXPECT_EQ(rs.pomTable[0]->members.front(), nodeOf("Well", "W1"));
  EXPECT_EQ(rs.pomTable[1]->members, (Members{nodeOf("Well", "W1")}));

  const std::string longName(300, 'L');
  // Field 2 only, whole; at most 10 headers.
  std::string text = "#network\n*Header \"Daily allocation, field A\"\n*HEADER Second line\n";
  text += "*Header \"" + longName + "\"\n";
  for (int i = 4; i <= 12; ++i) text += "*Header h" + std::to_string(i) + "\n";
  load(text + "#end\n");
  ASSERT_EQ(rs.control.headerCount(), kMaxHeaders);
  EXPECT_EQ((std::vector<std::string>{rs.control.headers[0], rs.control.headers[1],
                                      rs.control.headers[2], rs.control.headers[9]}),
            (std::vector<std::string>{"Daily allocation, field A", "Second", longName, "h10"}));
}

TEST_F(SectionsTest, TypesAndPointsGrowAsNeeded) {
  // 12 types, the last one (no mark) the well type; 3000 points of measurement.
  std::string text = "#network\n*Define";
  for (int i = 1; i <= 11; ++i) text += " T" + std::to_string(i);
  text += " Well\n";
  for (int i = 0; i < 3000; ++i)
    text += "*T11 G" + std::to_string(i) + "\nWell W" + std::to_string(i) + "\n";
  load(text + "#end\n");
  ASSERT_EQ(rs.pomCount(), 3000);
  EXPECT_EQ(rs.pomTable[2999]->typeId, 10);
  EXPECT_EQ(rs.pomTable[2999]->members, (Members{nodeOf("Well", "W2999")}));
}

TEST_F(SectionsTest, VolumeDerivedPeriod) {
  load(
      "#volume\n*Well W1\n*date oil\n20050103 10\n20050101 20\n20050110 30\n#end\n"
      "#volume\n*Well W1\n*date oil\n20050102 99\n20050105 50\n#end\n");
  // The first line is day 1; endDay: Jan 10 - Jan 3 = 7 days, + 1. Jan 1 falls before
  // day 1; a later section never moves the start earlier, so Jan 2 is ignored as well.
  const RunControl& rc = rs.control;
  EXPECT_EQ(std::tuple(rc.periodStart, rc.periodEnd, rc.periodGiven, rc.endDay),
            std::tuple(20050103.0, 20050110.0, 0, 8));
  // Jan 5 - Jan 3 = 2, + 1 = day 3.
  EXPECT_EQ((std::vector<double>{oil("W1", 0), oil("W1", 1), oil("W1", 3), oil("W1", 8)}),
            (std::vector<double>{0, 10, 50, 30}));

  // The period reaches at most 30 days past its start; invalid dates never fix the start.
  load(
      "#volume\n*Well W1\n*date oil\n0 1\n-5 2\n2005010 4\n20050103 1\n20050203 3\n"
      "20050202 2\n#end\n");
  EXPECT_EQ(oil("W1", 31), 2);  // Jan 3 + 30 days = Feb 2, day 31
  EXPECT_EQ(std::tuple(rc.periodStart, rc.periodEnd, rc.endDay),
            std::tuple(20050103.0, 20050202.0, 31));
}

TEST_F(SectionsTest, VolumeWithPeriodAndDayColumn) {
  // Jan 11 and day 11 lie past the given period, Dec 31 before it.
  load(
      "#control\n*period 20050101 20050110\n#end\n"
      "#volume\n*Well W1\n*date oil\n20050105 5\n20050111 6\n20041231 7\n"
      "*day oil\n10 8\n11 9\n#end\n");
  EXPECT_EQ((std::vector<double>{oil("W1", 0), oil("W1", 5), oil("W1", 10), oil("W1", 11)}),
            (std::vector<double>{0, 5, 8, 0}));

  // Day-numbered lines need a known period ...
  load("#volume\n*Well W1\n*day oil\n3 10\n#end\n");
  EXPECT_EQ(oil("W1", 3), 0);
  // ... which earlier dated lines can give: days 1..8 here.
  load(
      "#volume\n*Well W1\n*date oil\n20050103 1\n20050110 2\n#end\n"
      "#volume\n*Well W1\n*day gas\n8 4\n9 5\n#end\n");
  const BaFluidDays& gas = node("Well", "W1").fluids[kGas];
  EXPECT_EQ(std::tuple(gas.volume[8], gas.volume[9], rs.control.endDay), std::tuple(4.0, 0.0, 8));
}

TEST_F(SectionsTest, VolumeValues) {
  // "a" and "%x" end a line: qualifiers for all its values. "NA" is stored as 0; "thp" is
  // no fluid; fields past the last column are not stored.
  load(
      "#volume\n"
      "*Well W1\n*date oil gas water\n20050101 1 2 3\n20050102 4 5 6 a\n20050103 7 8 9 %x\n"
      "*GC G1\n*date oil stock\n20050101 10 500\n20050102 7\n20050102 NA\n"
      "*Well W2\n*date water thp gas\n20050101 NA 99 2 3 4\n"
      "#end\n");
  const BaNode& w1 = node("Well", "W1");
  EXPECT_EQ((std::vector<int>{w1.fluids[kOil].qualifier[2], w1.fluids[kWater].qualifier[2],
                              w1.fluids[kGas].qualifier[3]}),
            (std::vector<int>{kQualifierAbsolute, kQualifierAbsolute, kQualifierPercent}));
  const BaNode& g1 = node("GC", "G1");
  EXPECT_EQ(std::tuple(g1.stock[1], g1.fluids[kOil].volume[2]), std::tuple(500.0, 0.0));
  const BaNode& w2 = node("Well", "W2");
  EXPECT_EQ(w2.fluids[kGas].volume[1], 2);
  EXPECT_EQ(std::tuple(w2.hasVolume[kWater], w2.hasVolume[kOil]), std::tuple(1, 0));  // even "NA"
  EXPECT_EQ(rs.control.hasVolumes, (FluidArray<std::uint8_t>{1, 1, 1, 0, 0, 0, 0, 0}));
}

TEST_F(SectionsTest, VolumeContextBelongsToItsSection) {
  // The header stays for the section's next node; a new section has neither node nor header.
  load(
      "#volume\n20050101 1\n*Well W1\n20050101 2\n*date oil\n20050101 3\n"
      "*Well W2\n20050101 4\n#end\n"
      "#volume\n20050102 5\n*Well W1\n20050103 6\n*date oil\n20050104 7\n#end\n");
  EXPECT_EQ(
      (std::vector<double>{oil("W1", 1), oil("W2", 1), oil("W2", 2), oil("W1", 3), oil("W1", 4)}),
      (std::vector<double>{3, 4, 0, 0, 7}));
}

TEST_F(SectionsTest, Shrinkage) {
  // The later one wins.
  load(
      "#network\n*GC G1 *shrinkage 0.8\n#end\n#volume\n*GC G1 *shrinkage 0.95\n#end\n"
      "#volume\n*GC G2 *shrinkage 0.7\n#end\n#network\n*GC G2 *shrinkage 0.6\n#end\n");
  EXPECT_EQ((Floats{node("GC", "G1").shrinkage, node("GC", "G2").shrinkage}),
            (Floats{0.95f, 0.6f}));
}

}  // namespace
}  // namespace zelba
