// The "#control", "#network" and "#volume" sections and the dispatcher that
// hands each section to its parser.

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "engine/keywords.h"
#include "engine/run_state.h"
#include "input/input_reader.h"
#include "input/sections.h"

namespace zelba {
namespace {

using Methods = std::array<std::uint8_t, kMethodSlots>;
using Members = std::vector<std::int32_t>;

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

// ---- dispatcher ----

TEST_F(SectionsTest, SectionsAndEndMarkers) {
  load(
      "*monthly\n"
      "#bogus\n"
      "*monthly\n"
      "#CONTROL\n"
      "*precision 2\n"
      "#End\n"
      "*monthly\n"
      "#control\n"
      "*load a.txt\n"
      "#END\n"
      "#end\n"
      "#control\n"
      "*zeltable LATE\n"
      "#end\n");
  EXPECT_EQ(rs.control.dailyMode, 1);  // lines outside sections are ignored
  EXPECT_EQ(rs.control.precision, 2);
  EXPECT_EQ(rs.control.loadFile, "a.txt");
  EXPECT_EQ(rs.control.zelTable, "");  // "#end" outside a section ended the input

  // "*eof" in the middle of a section keeps the section's earlier lines.
  load(
      "#control\n*precision 4\n*EoF\n*monthly\n#end\n#control\n*load x\n#end\n"
      "#network\n*GC G1\n#end\n");
  EXPECT_EQ(rs.control.precision, 4);
  EXPECT_EQ(rs.control.dailyMode, 1);
  EXPECT_EQ(rs.control.loadFile, "");
  EXPECT_EQ(rs.pomCount(), 0);

  load("#network\n*GC G1\nWell W1\nWell W2\n*eof\nWell W3\n#end\n");
  EXPECT_EQ(rs.nodeCount(), 3);
  EXPECT_EQ(rs.pomTable[0]->members.size(), 2u);

  // A section without "#end", whose last line has no newline.
  load("#control\n*load out.txt");
  EXPECT_EQ(rs.control.loadFile, "out.txt");

  load("#control\r\n*load out.txt\r\n*zeltable T\r\n#end\r\n#network\r\n*GC G1\r\n#end\r\n");
  EXPECT_EQ(rs.control.loadFile, "out.txt");
  EXPECT_EQ(rs.control.zelTable, "T");
  EXPECT_EQ(rs.pomCount(), 1);
}

TEST_F(SectionsTest, ReadInputFile) {
  resetRunState(rs);
  EXPECT_EQ(readInputFile(rs, "/nonexistent/zelba/input.txt"), -1);
  EXPECT_EQ(rs.nodeCount(), 0);

  const std::string path = ::testing::TempDir() + "zelba_sections_test.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << "#control\r\n*precision 3\r\n#end\r\n#network\r\n*GC G1\r\nWell W1";
  }
  resetRunState(rs);
  EXPECT_EQ(readInputFile(rs, path), 1);
  EXPECT_EQ(rs.control.precision, 3);
  EXPECT_GE(nodeOf("Well", "W1"), 0);
  std::remove(path.c_str());
}

// ---- #control ----

TEST_F(SectionsTest, ControlPeriod) {
  load("#control\n*period 20050131 20050101\n#end\n");
  EXPECT_EQ(rs.control.periodStart, 20050101);
  EXPECT_EQ(rs.control.periodEnd, 20050131);
  EXPECT_EQ(rs.control.periodGiven, 1);
  EXPECT_EQ(rs.control.firstDay, 1);
  EXPECT_EQ(rs.control.endDay, 31);  // Jan 1..31 inclusive

  load("#control\n*PERIOD 20050101 20050315\n#end\n");
  EXPECT_EQ(rs.control.endDay, 32);  // 31 + 28 + 15 = 74 days, held at 32

  load("#control\n*period 20040201 20040229\n#end\n");
  EXPECT_EQ(rs.control.endDay, 29);  // leap February

  load("#control\n*period 20050101 0\n#end\n");
  EXPECT_EQ(rs.control.periodStart, 0);
  EXPECT_EQ(rs.control.periodEnd, 20050101);
  EXPECT_EQ(rs.control.periodGiven, 0);
  EXPECT_EQ(rs.control.firstDay, 32);
  EXPECT_EQ(rs.control.endDay, 0);

  // One date missing: the day range stays as the earlier line set it.
  load("#control\n*period 20050101 20050110\n*period 20050105\n#end\n");
  EXPECT_EQ(rs.control.periodStart, 0);
  EXPECT_EQ(rs.control.periodEnd, 20050105);
  EXPECT_EQ(rs.control.periodGiven, 0);
  EXPECT_EQ(rs.control.firstDay, 1);
  EXPECT_EQ(rs.control.endDay, 10);
}

TEST_F(SectionsTest, ControlKeywords) {
  load(
      "#control\n"
      "*MONTHLY\n"
      "*Theoretical Oil *Gas water Stock\n"
      "*Range 0.5 2.5\n"
      "*Target 0.9\n"
      "*precision 3x\n"
      "*priortestDays 7\n"
      "*testDateafter 20041215\n"
      "*report out.rpt tot.txt\n"
      "*report \"\" tot2.txt\n"
      "*load load.txt\n"
      "*zeltable ALLOC\n"
      "*metric\n"
      "*zelfields a b c d e f g h i\n"
      "*zelfields X Y\n"
      "*unknown 5\n"
      "precision 9\n"
      "#end\n");
  const RunControl& rc = rs.control;
  EXPECT_EQ(rc.dailyMode, 0);
  EXPECT_EQ(rc.theoretical, (FluidArray<std::uint8_t>{1, 1, 1, 0, 0, 0, 0, 0}));  // Stock is id 12
  EXPECT_EQ(rc.rangeMin, 0.5);
  EXPECT_EQ(rc.rangeMax, 2.5);
  EXPECT_EQ(rc.targetLow, 0.9);
  EXPECT_EQ(rc.targetHigh, 0);  // a missing argument reads as 0
  EXPECT_EQ(rc.precision, 3);
  EXPECT_EQ(rc.priorTestDays, 7);
  EXPECT_EQ(rc.testDateAfter, 20041215);
  EXPECT_EQ(rc.reportFile, "out.rpt");  // an empty first field keeps the report
  EXPECT_EQ(rc.totalsFile, "tot2.txt");
  EXPECT_EQ(rc.html, 0);
  EXPECT_EQ(rc.loadFile, "load.txt");
  EXPECT_EQ(rc.zelTable, "ALLOC");
  EXPECT_EQ(rc.metric, 1);
  EXPECT_EQ(rc.zelFields,
            (std::array<std::string, kZelFields>{"X", "Y", "c", "d", "e", "f", "g", "h"}));

  load("#control\n*report r.txt\n*html base dir/\n*html \"\" other\n#end\n");
  EXPECT_EQ(rs.control.reportFile, "base");
  EXPECT_EQ(rs.control.htmlDirectory, "dir/");
  EXPECT_EQ(rs.control.html, 1);
  load("#control\n*html base dir/\n*html b2\n#end\n");
  EXPECT_EQ(rs.control.reportFile, "b2");
  EXPECT_EQ(rs.control.htmlDirectory, "");
  load("#control\n*report,,t3.txt\n#end\n");  // ',,' gives an empty first argument
  EXPECT_EQ(rs.control.reportFile, "");
  EXPECT_EQ(rs.control.totalsFile, "t3.txt");
}

TEST_F(SectionsTest, ControlRepeats) {
  load(
      "#control\n*precision 2\n*Theoretical Oil\n*monthly\n*Range 1 2\n*report a.rpt t.txt\n"
      "#end\n"
      "#control\n*precision 5\n*Theoretical Water\n*daily\n*Range 3\n*report b.rpt\n#end\n");
  EXPECT_EQ(rs.control.precision, 5);
  EXPECT_EQ(rs.control.theoretical[kOil], 1);  // only ever adds slots
  EXPECT_EQ(rs.control.theoretical[kGas], 0);
  EXPECT_EQ(rs.control.theoretical[kWater], 1);
  EXPECT_EQ(rs.control.dailyMode, 1);
  EXPECT_EQ(rs.control.rangeMin, 3);
  EXPECT_EQ(rs.control.rangeMax, 0);
  EXPECT_EQ(rs.control.reportFile, "b.rpt");
  EXPECT_EQ(rs.control.totalsFile, "t.txt");
}

TEST_F(SectionsTest, ControlFrom) {
  const std::string network = "#network\n*TF T1\n*GC G1\n*GC G2\n#end\n";
  load("#control\n*from GC\n#end\n" + network);
  EXPECT_EQ(rs.control.fromPom, -1);  // no point of measurement existed yet
  load("#control\n*from GC\n#end\n" + network + "#volume\n#end\n");
  EXPECT_EQ(rs.control.fromPom, 0);  // the end of "#volume" turns -1 into 0, not into G1
  load(network + "#control\n*from GC\n#end\n");
  EXPECT_EQ(rs.control.fromPom, 1);  // first GC point: G1
  load(network + "#control\n*from GC\n#end\n#volume\n#end\n");
  EXPECT_EQ(rs.control.fromPom, 1);
  load(network + "#control\n*from Well\n#end\n");
  EXPECT_EQ(rs.control.fromPom, -1);
  load(network + "#control\n*from Pump\n#end\n");
  EXPECT_EQ(rs.control.fromPom, -1);
}

// ---- #network ----

TEST_F(SectionsTest, NetworkDefine) {
  load("#network\n*Define SUPER PLANT #WELL COMPL\n*GC G1\n*PLANT P1\nWELL W1\nCOMPL C1\n#end\n");
  EXPECT_EQ(rs.entityTypes.size(), 4u);
  EXPECT_EQ(lookupEntityType(rs, "super"), 0);
  EXPECT_EQ(lookupEntityType(rs, "plant"), 1);
  EXPECT_EQ(lookupEntityType(rs, "Well"), 2);
  EXPECT_EQ(lookupEntityType(rs, "COMPL"), 3);
  EXPECT_EQ(lookupEntityType(rs, "GC"), -1);  // the seeded rows are replaced
  EXPECT_EQ(rs.control.firstWellType, 2);
  ASSERT_EQ(rs.pomCount(), 1);  // "*GC G1" is ignored
  EXPECT_EQ(rs.pomTable[0]->typeId, 1);
  EXPECT_EQ(rs.pomTable[0]->members.size(), 2u);
  EXPECT_TRUE(node("COMPL", "C1").routes);  // at or after the marked row: a well type
  EXPECT_FALSE(node("PLANT", "P1").routes);

  load("#network\n*Define super plant well\n#end\n");
  EXPECT_EQ(typeName(rs, 0), "SUPER");
  EXPECT_EQ(rs.control.firstWellType, 2);  // no mark: the last name

  std::string define = "#network\n*Define";
  for (int i = 1; i <= 12; ++i) define += " T" + std::to_string(i);
  load(define + "\n*T12 X\n#end\n");
  EXPECT_EQ(rs.entityTypes.size(), 12u);
  EXPECT_EQ(lookupEntityType(rs, "T12"), 11);
  EXPECT_EQ(rs.control.firstWellType, 11);
  ASSERT_EQ(rs.pomCount(), 1);
  EXPECT_EQ(rs.pomTable[0]->typeId, 11);
}

TEST_F(SectionsTest, NetworkMethods) {
  load(
      "#network\n"
      "*Methods *Welltest *Decline\n"
      "*Methods *Oil *Measured\n"
      "*GC G1\n"
      "Well W1\n"
      "Well W2 label1 *Gas *Const *pi\n"
      "Well W3 *Const\n"
      "Well W4 L xWater +Vogel\n"
      "Well W5 *Oil *Const *pi *Vogel *Decline *Kh *Zozed\n"
      "Well W6 *Oil *bogus *pi\n"
      "#end\n"
      "#network\n"
      "Well W7\n"
      "#end\n");
  const Methods defaults{kMethodWelltest, kMethodDecline, 0, 0, 0};
  const Methods oilDefaults{kMethodMeasured, kMethodDecline, 0, 0, 0};
  const BaNode& w1 = node("Well", "W1");
  EXPECT_EQ(w1.methods[kOil], oilDefaults);  // only the first Oil entry changed
  for (int fluid = kGas; fluid < kFluidSlots; ++fluid) EXPECT_EQ(w1.methods[fluid], defaults);
  EXPECT_EQ(node("Well", "W2").methods[kGas], (Methods{kMethodConst, kMethodPi, 0, 0, 0}));
  EXPECT_EQ(node("Well", "W2").methods[kOil], oilDefaults);
  // Without a label the tokens start at field 3 and, before a fluid, fill every list.
  for (int fluid = 0; fluid < kFluidSlots; ++fluid) {
    EXPECT_EQ(node("Well", "W3").methods[fluid], (Methods{kMethodConst, kMethodDecline, 0, 0, 0}));
  }
  // The first character of a token is skipped whatever it is.
  EXPECT_EQ(node("Well", "W4").methods[kWater], (Methods{kMethodVogel, kMethodDecline, 0, 0, 0}));
  EXPECT_EQ(node("Well", "W4").methods[kGas], defaults);
  EXPECT_EQ(node("Well", "W5").methods[kOil],
            (Methods{kMethodConst, kMethodPi, kMethodVogel, kMethodDecline, kMethodKh}));
  EXPECT_EQ(node("Well", "W6").methods[kOil], (Methods{kMethodPi, kMethodDecline, 0, 0, 0}));
  // Each "#network" section starts from all-Measured defaults.
  for (int fluid = 0; fluid < kFluidSlots; ++fluid) {
    EXPECT_EQ(node("Well", "W7").methods[fluid], (Methods{0, 0, 0, 0, 0}));
  }
  // The second section's member line joins the last point of the first.
  EXPECT_EQ(node("Well", "W7").pomIndex, 0);
  EXPECT_EQ(rs.pomTable[0]->members.back(), nodeOf("Well", "W7"));
}

TEST_F(SectionsTest, NetworkPoints) {
  load(
      "#network\n"
      "*TF T1 *2ndStage\n"
      "*GC G1 *calibration 1.5 *psep 120 junk *gor 450.5 *bsw 12 *shrinkage 0.9\n"
      "Well W1\n"
      "Well W2\n"
      "*GC G2 *psep 60 *1stStage\n"
      "Well W2\n"
      "Well W3\n"
      "#end\n");
  ASSERT_EQ(rs.pomCount(), 3);
  EXPECT_EQ(rs.currentPom, 2);
  const BaPom& t1 = *rs.pomTable[0];
  const BaPom& g1 = *rs.pomTable[1];
  const BaPom& g2 = *rs.pomTable[2];
  EXPECT_EQ(t1.index, 0);
  EXPECT_EQ(t1.previousPom, -1);
  EXPECT_EQ(t1.typeId, lookupEntityType(rs, "TF"));
  EXPECT_EQ(t1.nodeIndex, nodeOf("TF", "T1"));
  EXPECT_EQ(t1.stage, 2);
  EXPECT_EQ(node("TF", "T1").stage, 2);  // field 3 sets the new facility's stage
  EXPECT_EQ(node("TF", "T1").pomIndex, -1);
  EXPECT_TRUE(t1.members.empty());

  EXPECT_EQ(g1.index, 1);
  EXPECT_EQ(g1.previousPom, 0);
  EXPECT_EQ(g1.nodeIndex, nodeOf("GC", "G1"));
  EXPECT_EQ(node("GC", "G1").pomIndex, 0);  // a point's own node: the point defined before it
  EXPECT_FLOAT_EQ(g1.calibration, 1.5f);
  EXPECT_FLOAT_EQ(g1.psep, 120.0f);
  EXPECT_FLOAT_EQ(g1.gor, 450.5f);
  EXPECT_FLOAT_EQ(g1.bsw, 12.0f);
  EXPECT_FLOAT_EQ(node("GC", "G1").shrinkage, 0.9f);
  EXPECT_EQ(g1.stage, 0);
  EXPECT_EQ(g1.members, (Members{nodeOf("Well", "W1"), nodeOf("Well", "W2")}));

  EXPECT_EQ(g2.previousPom, 1);
  EXPECT_FLOAT_EQ(g2.psep, 60.0f);
  EXPECT_FLOAT_EQ(g2.gor, 0.0f);
  EXPECT_EQ(g2.stage, 1);
  EXPECT_EQ(node("GC", "G2").stage, 0);  // "*1stStage" was not in field 3
  EXPECT_EQ(node("GC", "G2").pomIndex, 1);
  // A well under two points is in both lists and keeps its first point.
  EXPECT_EQ(g2.members, (Members{nodeOf("Well", "W2"), nodeOf("Well", "W3")}));
  EXPECT_EQ(node("Well", "W2").pomIndex, 1);
  EXPECT_EQ(node("Well", "W3").pomIndex, 2);

  const BaNode& w2 = node("Well", "W2");
  ASSERT_TRUE(w2.routes && w2.testDays && w2.wellProp && w2.wellDesc);
  for (int d = 0; d < kDaySlots; ++d) {
    EXPECT_EQ((*w2.routes)[d].pomIndex, 1);
    EXPECT_FLOAT_EQ((*w2.routes)[d].hoursOn, 24.0f);
  }
  const BaNode& g1Node = node("GC", "G1");
  EXPECT_FALSE(g1Node.routes || g1Node.testDays || g1Node.wellProp || g1Node.wellDesc);
}

TEST_F(SectionsTest, NetworkNodes) {
  const std::string longName(300, 'L');
  load(
      "#network\n"
      "Well W0 *Const\n"
      "*GC G1\n"
      "Well w1 *Const\n"
      "Well G1\n"
      "Pump P1\n"
      "*Pump P2\n"
      "Well \"\"\n"
      "Well ABCDEFGHIJKLMNOPQRS1\n"
      "Well ABCDEFGHIJKLMNOPQRS2\n"
      "*GC G2\n"
      "WELL W1 *pi\n"
      "Well " +
      longName +
      "\n"
      "#end\n");
  // W0, G1, W1, Well G1, ...S1, ...S2, G2, the long name.
  EXPECT_EQ(rs.nodeCount(), 8);
  EXPECT_EQ(rs.pomCount(), 2);
  // A member line before any point creates the node but joins nothing.
  EXPECT_EQ(node("Well", "W0").pomIndex, -1);
  EXPECT_EQ(node("Well", "W0").methods[kOil], (Methods{kMethodConst, 0, 0, 0, 0}));
  // Two letter cases, one node, as first seen; in both member lists.
  const BaNode& w1 = node("Well", "W1");
  EXPECT_EQ(w1.pomIndex, 0);
  EXPECT_EQ(w1.methods[kOil], (Methods{kMethodConst, 0, 0, 0, 0}));
  EXPECT_EQ(rs.pomTable[1]->members, (Members{nodeOf("Well", "W1"), nodeOf("Well", longName)}));
  // Same name, two types: two nodes.
  EXPECT_NE(nodeOf("Well", "G1"), nodeOf("GC", "G1"));
  EXPECT_GE(nodeOf("Well", "G1"), 0);
  EXPECT_EQ(rs.pomTable[0]->members, (Members{nodeOf("Well", "W1"), nodeOf("Well", "G1"),
                                              nodeOf("Well", "ABCDEFGHIJKLMNOPQRS1"),
                                              nodeOf("Well", "ABCDEFGHIJKLMNOPQRS2")}));
  EXPECT_NE(nodeOf("Well", "ABCDEFGHIJKLMNOPQRS1"), nodeOf("Well", "ABCDEFGHIJKLMNOPQRS2"));
  EXPECT_EQ(node("Well", longName).name.size(), 300u);
  EXPECT_EQ(rs.control.maxNameLength, 300);

  load("#network\n*GC AB\nWell abcdefg\nWell XYZ\n#end\n");
  EXPECT_EQ(rs.control.maxNameLength, 7);
}

TEST_F(SectionsTest, NetworkHeaders) {
  const std::string longText(5000, 'h');
  std::string text = "#network\n*Header \"Daily allocation, field A\"\n*HEADER Second line\n";
  text += "*Header \"" + longText + "\"\n";
  for (int i = 4; i <= 12; ++i) text += "*Header h" + std::to_string(i) + "\n";
  load(text + "#end\n");
  ASSERT_EQ(rs.control.headerCount(), kMaxHeaders);
  EXPECT_EQ(rs.control.headers[0], "Daily allocation, field A");
  EXPECT_EQ(rs.control.headers[1], "Second");  // field 2 only
  EXPECT_EQ(rs.control.headers[2], longText);
  EXPECT_EQ(rs.control.headers[9], "h10");  // h11 and h12 are dropped
}

TEST_F(SectionsTest, ManyPoints) {
  std::string text = "#network\n";
  for (int i = 0; i < 3000; ++i) {
    text += "*GC G" + std::to_string(i) + "\nWell W" + std::to_string(i) + "\n";
  }
  load(text + "#end\n");
  ASSERT_EQ(rs.pomCount(), 3000);
  EXPECT_EQ(rs.nodeCount(), 6000);
  const BaPom& last = *rs.pomTable[2999];
  EXPECT_EQ(last.index, 2999);
  EXPECT_EQ(last.previousPom, 2998);
  EXPECT_EQ(last.nodeIndex, nodeOf("GC", "G2999"));
  EXPECT_EQ(last.members, (Members{nodeOf("Well", "W2999")}));
  EXPECT_EQ(node("Well", "W2999").pomIndex, 2999);
}

// ---- #volume ----

TEST_F(SectionsTest, VolumeDerivedPeriod) {
  load(
      "#network\n*GC G1\nWell W1\n#end\n"
      "#volume\n*Well W1\n*date oil\n20050103 10\n20050101 20\n20050110 30\n#end\n");
  EXPECT_EQ(rs.control.periodStart, 20050103);  // the first line is day 1
  EXPECT_EQ(rs.control.periodEnd, 20050110);
  EXPECT_EQ(rs.control.periodGiven, 0);
  EXPECT_EQ(rs.control.firstDay, 1);
  EXPECT_EQ(rs.control.endDay, 8);  // Jan 10 - Jan 3 = 7 days, + 1
  EXPECT_EQ(oil("W1", 1), 10);
  EXPECT_EQ(oil("W1", 8), 30);
  EXPECT_EQ(oil("W1", 0), 0);  // Jan 1 falls before day 1: ignored

  // A later section never moves the start earlier.
  load(
      "#volume\n*Well W1\n*date oil\n20050103 10\n#end\n"
      "#volume\n*Well W1\n*date oil\n20050102 99\n20050105 50\n#end\n");
  EXPECT_EQ(rs.control.periodStart, 20050103);
  EXPECT_EQ(oil("W1", 1), 10);
  EXPECT_EQ(oil("W1", 3), 50);  // Jan 5 - Jan 3 = 2, + 1
  EXPECT_EQ(rs.control.endDay, 3);

  // The period reaches at most 30 days past its start.
  load("#volume\n*Well W1\n*date oil\n20050103 1\n20050203 3\n20050202 2\n#end\n");
  EXPECT_EQ(oil("W1", 31), 2);  // Jan 3 + 30 days = Feb 2, day 31
  EXPECT_EQ(rs.control.endDay, 31);
  EXPECT_EQ(rs.control.periodEnd, 20050202);

  // Lines whose date is no valid date never fix the start.
  load(
      "#volume\n*Well W1\n*date oil\n0 1\n-5 2\n123 3\n2005010 4\n200501031 5\n20050103 6\n"
      "#end\n");
  EXPECT_EQ(rs.control.periodStart, 20050103);
  EXPECT_EQ(oil("W1", 1), 6);
  EXPECT_EQ(rs.control.endDay, 1);
}

TEST_F(SectionsTest, VolumeWithPeriodAndDayColumn) {
  load(
      "#control\n*period 20050101 20050110\n#end\n"
      "#volume\n*Well W1\n*date oil\n20050105 5\n20050111 6\n20041231 7\n"
      "*day oil\n10 8\n11 9\n0 3\n#end\n");
  EXPECT_EQ(oil("W1", 5), 5);
  EXPECT_EQ(oil("W1", 10), 8);
  EXPECT_EQ(oil("W1", 11), 0);  // Jan 11 lies past the given period
  EXPECT_EQ(oil("W1", 0), 0);   // Dec 31 lies before it
  EXPECT_EQ(rs.control.periodStart, 20050101);
  EXPECT_EQ(rs.control.periodEnd, 20050110);
  EXPECT_EQ(rs.control.endDay, 10);

  // Day-numbered lines need a known period.
  load("#volume\n*Well W1\n*day oil\n3 10\n#end\n");
  EXPECT_EQ(oil("W1", 3), 0);
  EXPECT_EQ(rs.control.hasVolumes[kOil], 0);

  // ... which earlier dated lines can give: days 1..8 here.
  load(
      "#volume\n*Well W1\n*date oil\n20050103 1\n20050110 2\n#end\n"
      "#volume\n*Well W1\n*day gas\n8 4\n9 5\n#end\n");
  EXPECT_EQ(node("Well", "W1").fluids[kGas].volume[8], 4);
  EXPECT_EQ(node("Well", "W1").fluids[kGas].volume[9], 0);
  EXPECT_EQ(rs.control.endDay, 8);
}

TEST_F(SectionsTest, VolumeValues) {
  load(
      "#network\n*GC G1\nWell W1\nWell W2\n#end\n"
      "#volume\n"
      "*Well W1\n"
      "*date oil gas water\n"
      "20050101 1 2 3\n"
      "20050102 4 5 6 a\n"
      "20050103 7 8 9 %x\n"
      "*GC G1\n"
      "*date oil stock\n"
      "20050101 10 500\n"
      "20050102 7 1\n"
      "20050102 NA 2\n"
      "*Well W2\n"
      "*date water thp gas\n"
      "20050101 NA 99 2 3 4\n"
      "#end\n");
  const BaNode& w1 = node("Well", "W1");
  EXPECT_EQ(w1.fluids[kOil].volume[1], 1);
  EXPECT_EQ(w1.fluids[kWater].volume[3], 9);
  EXPECT_EQ(w1.fluids[kGas].qualifier[1], kQualifierPlain);
  for (int fluid : {kOil, kGas, kWater}) {
    EXPECT_EQ(w1.fluids[fluid].qualifier[2], kQualifierAbsolute);
    EXPECT_EQ(w1.fluids[fluid].qualifier[3], kQualifierPercent);
  }
  EXPECT_EQ(w1.fluids[kGas].volume[2], 5);

  const BaNode& g1 = node("GC", "G1");
  EXPECT_EQ(g1.fluids[kOil].volume[1], 10);
  EXPECT_EQ(g1.stock[1], 500);
  EXPECT_EQ(g1.fluids[kOil].volume[2], 0);  // "NA" is stored as 0 over the 7
  EXPECT_EQ(g1.stock[2], 2);
  EXPECT_EQ(g1.hasVolume[kOil], 1);
  EXPECT_EQ(g1.hasVolume[kGas], 0);

  // "thp" is no fluid; fields past the last column are not stored.
  const BaNode& w2 = node("Well", "W2");
  EXPECT_EQ(w2.fluids[kWater].volume[1], 0);
  EXPECT_EQ(w2.fluids[kGas].volume[1], 2);
  EXPECT_EQ(w2.hasVolume[kWater], 1);  // a value was stored, even if "NA"
  EXPECT_EQ(w2.hasVolume[kGas], 1);
  EXPECT_EQ(w2.hasVolume[kOil], 0);
  EXPECT_EQ(rs.control.hasVolumes, (FluidArray<std::uint8_t>{1, 1, 1, 0, 0, 0, 0, 0}));
}

TEST_F(SectionsTest, VolumeContextBelongsToItsSection) {
  load(
      "#volume\n20050101 1\n*Well W1\n20050101 2\n*date oil\n20050101 3\n"
      "*Well W2\n20050101 4\n#end\n"
      "#volume\n20050102 5\n*Well W1\n20050103 6\n*date oil\n20050104 7\n#end\n");
  EXPECT_EQ(rs.control.periodStart, 20050101);
  EXPECT_EQ(oil("W1", 1), 3);
  EXPECT_EQ(oil("W2", 1), 4);  // the header stays for the section's next node
  EXPECT_EQ(oil("W1", 2), 0);  // a new section has no node yet
  EXPECT_EQ(oil("W2", 2), 0);
  EXPECT_EQ(oil("W1", 3), 0);  // nor a column header
  EXPECT_EQ(oil("W1", 4), 7);
}

TEST_F(SectionsTest, Shrinkage) {
  load(
      "#network\n*GC G1 *shrinkage 0.8\n#end\n"
      "#volume\n*GC G1 *shrinkage 0.95\n#end\n"
      "#volume\n*GC G2 *shrinkage 0.7\n#end\n"
      "#network\n*GC G2 *shrinkage 0.6\n#end\n"
      "#volume\n*Well W1 *shrinkage 0.5\n#end\n");
  EXPECT_FLOAT_EQ(node("GC", "G1").shrinkage, 0.95f);  // the later one wins
  EXPECT_FLOAT_EQ(node("GC", "G2").shrinkage, 0.6f);
  EXPECT_FLOAT_EQ(node("Well", "W1").shrinkage, 0.5f);
}

}  // namespace
}  // namespace zelba
