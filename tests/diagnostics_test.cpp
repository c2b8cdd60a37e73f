// What a run tells about itself: the records of ignored and partly used input
// lines and of allocation exceptions, ba-engine's --check, --diagnostics and
// --json, and the JSON results against the load file.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/driver.h"

namespace zelba {
namespace {

// What a run left in its state before release.
struct Inspected {
  int status = 0;
  std::vector<Diagnostic> records;
  std::vector<std::string> names;               // node names by node index
  std::map<std::string, DayArray<double>> oil;  // allocated oil by node name

  // The records of one kind about node `name`.
  std::vector<Diagnostic> of(DiagnosticKind kind, const std::string& name) const {
    std::vector<Diagnostic> found;
    std::copy_if(records.begin(), records.end(), std::back_inserter(found),
                 [&](const Diagnostic& d) {
                   return d.kind == kind && d.node >= 0 && names[d.node] == name;
                 });
    return found;
  }
  std::string describe() const {
    std::string text;
    for (const Diagnostic& d : records) text += std::to_string(d.line) + ": " + d.reason + "\n";
    return text;
  }
};

Inspected runText(const std::string& text) {
  Inspected result;
  RunState rs;
  RunOptions options;  // no output is named, so none is written
  options.inspect = [&](const RunState& state) {
    result.records = state.diagnostics.records();
    for (const auto& node : state.nodeTable) {
      result.names.push_back(node->name);
      result.oil[node->name] = node->fluids[kOil].cumResult;
    }
  };
  result.status = runEngineOnText(rs, text, nullptr, options);
  return result;
}

// Input lines and what the run should record about the last of them: nothing
// (' '), an ignored line ('i') or a partly used one ('p'), with a reason that
// names `phrase`. The lines before the last give no record.
struct Lines {
  const char* text;
  char note = ' ';
  const char* phrase = "";
};

TEST(Diagnostics, IgnoredAndPartlyUsedLinesOfEverySection) {
  // "20050103 100 7 a": a qualifier may follow the last column.
  const std::vector<Lines> chunks = {
      {"// a comment and an empty line still count as lines\n\nstray text before any section", 'i',
       "section"},
      {"#control\n*period 20050101 20050103\n*frobnicate 1", 'i', "*frobnicate"},
      {"*from XX", 'p', "XX"},
      {"*Range 0 9 1", 'p', "2 arguments"},
      {"*metric yes", 'p', "no argument"},
      {"*report \"\" \"\"", 'i', "*report"},
      {"#end\n#bogus", 'i', "#bogus"},
      {"#network\nWell EARLY", 'p', "point of measurement"},
      {"*TF T1\nWell W1\nWell W2 *Oil *Welltest *Zap", 'p', "*Zap"},
      {"Well W1 *Oil *Decline", 'p', "already defined"},
      {"TF T2 spare", 'p', "spare"},
      {"Pump P1", 'i', "Pump"},
      {"#end\n#volume\n20050101 5", 'i', "node"},
      {"*TF T1\n20050101 100", 'i', "column header"},
      {"*TF T9", 'p', "not in #network"},
      {"*date oil bogus", 'p', "bogus"},
      {"20050102 100 7 99", 'p', "more fields"},
      {"20050103 100 7 a\n20050105 100 7", 'i', "period"},
      {"#end\n#welltest\n*Well W1\n*date oil Status\n20041202 62 bad", 'i', "status"},
      {"20041203 62 good 5", 'p', "more fields"},
      {"*TF T1", 'i', "facility"},
      {"#end\n#time\n*ON 24\n*ON 12", 'i', "no well"},
      {"*Well W1\n*OFF 30", 'i', "full day"},
      {"40 24", 'i', "outside"},
      {"2 24 TF NOPE", 'p', "NOPE"},
      {"3 24 TF", 'p', "type and a node name"},
      {"3 24 TF T1 more", 'p', "after the routing"},
      {"#end\n#wellwatch\n*Well W2\n*date hms rate\n20050101 -5:00:00 100", 'i', "time of day"},
      {"20050101 06:00:00 100 7", 'p', "more fields"},
      {"#end\n#equation\n5 1 2", 'i', "*ZEL"},
      {"*Well W1\n*Frob 1", 'i', "*Frob"},
      {"*Oil *interpolate *weird", 'p', "interpolate names no known variable"},
      {"*polynomial *weird 1 2", 'p', "polynomial names no known variable"},
      {"*Date 20060101", 'p', "date"},
      {"*Const 6", 'i', "*Date"},
      {"#end"},
  };
  std::string text;
  for (const Lines& chunk : chunks) text += std::string(chunk.text) + "\n";
  const Inspected run = runText(text);
  ASSERT_EQ(run.status, 1);

  std::map<long, std::vector<Diagnostic>> byLine;
  for (const Diagnostic& d : run.records)
    if (d.line > 0) byLine[d.line].push_back(d);
  std::string section;  // the section a line stands in: the last "#" line before it
  long number = 0;
  for (const Lines& chunk : chunks) {
    std::istringstream in(chunk.text);
    for (std::string line; std::getline(in, line); section = line[0] == '#' ? line : section) {
      const std::vector<Diagnostic>& found = byLine[++number];
      SCOPED_TRACE("line " + std::to_string(number) + " '" + line + "'\n" + run.describe());
      if (in.peek() != EOF || chunk.note == ' ') {
        EXPECT_TRUE(found.empty());
        continue;
      }
      ASSERT_EQ(found.size(), 1u);
      EXPECT_EQ(found[0].kind,
                chunk.note == 'i' ? DiagnosticKind::kIgnoredLine : DiagnosticKind::kPartlyUsedLine);
      EXPECT_EQ(found[0].section, section == "#end" ? "" : section);
      EXPECT_NE(found[0].reason.find(chunk.phrase), std::string::npos) << found[0].reason;
    }
  }
  EXPECT_EQ(static_cast<long>(byLine.size()), number) << run.describe();  // none past the end

  // A "#end" outside any section ends the reading: the "#network" section
  // after it is never read, which a record must say, at the stray "#end"
  // (line 4) or at the first line left unread.
  const Inspected cut =
      runText("#control\n*period 20050101 20050101\n#end\n#end\n#network\n*TF T1\nWell W1\n#end\n");
  EXPECT_EQ(cut.status, -1);  // no node was read
  EXPECT_TRUE(std::any_of(cut.records.begin(), cut.records.end(), [](const Diagnostic& d) {
    return d.kind == DiagnosticKind::kIgnoredLine && (d.line == 4 || d.line == 5);
  })) << cut.describe();
}

// One point T1 with wells W1 (well test 60 bbl/d), W2 (40 bbl/d) and W3 (no
// rate) over 3 days, 24 hours on: a base of 100 a day.
std::string pointInput(const std::string& control, const std::string& volumes) {
  return "#control\n*period 20050101 20050103\n" + control +
         "#end\n#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\nWell W3 *Oil *Measured\n"
         "#end\n#volume\n*TF T1\n*date oil gas\n" +
         volumes +
         "#end\n#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\n#end\n";
}

TEST(Diagnostics, AllocationExceptionsAtAPoint) {
  // Range 0.5 to 1.5. Day 1: 30 / 100 = 0.3 (103); day 2: 200 / 100 = 2.0
  // (104); day 3: W3 is given 150 absolute of a measured 100, so
  // F = (100 - 150) / (250 - 150) = -0.5 (100).
  Inspected run = runText(pointInput("*Range 0.5 1.5\n",
                                     "20050101 30 0\n20050102 200 0\n"
                                     "20050103 100 0\n*Well W3\n*date oil\n20050103 150 a\n"));
  ASSERT_EQ(run.status, 1);
  std::vector<Diagnostic> range = run.of(DiagnosticKind::kFactorOutOfRange, "T1");
  ASSERT_EQ(range.size(), 3u) << run.describe();
  const double factors[] = {0.3, 2.0, -0.5};
  const int codes[] = {103, 104, 100};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(range[k].day, k + 1);
    EXPECT_NEAR(range[k].value, factors[k], 1e-12);
    EXPECT_EQ(range[k].code, codes[k]);
    // The members got nothing that day.
    for (const char* well : {"W1", "W2", "W3"}) EXPECT_EQ(run.oil.at(well)[k + 1], 0) << well << k;
  }
  // A rejected factor is not also an over-allocation.
  EXPECT_TRUE(run.of(DiagnosticKind::kRemainderKept, "T1").empty()) << run.describe();

  // Gas is measured on day 1 (50) but no well has a gas rate: nothing to scale.
  run = runText(pointInput("", "20050101 100 50\n"));
  std::vector<Diagnostic> noBase = run.of(DiagnosticKind::kNoBaseVolume, "T1");
  ASSERT_EQ(noBase.size(), 1u) << run.describe();
  EXPECT_EQ(noBase[0].fluid, kGas);
  EXPECT_EQ(noBase[0].day, 1);
  EXPECT_DOUBLE_EQ(noBase[0].value, 50);

  // Target band 0.95 to 1.05: 102 / 100 = 1.02 is in it, so W1 keeps its 60;
  // 110 / 100 = 1.1 on day 2 is not.
  run = runText(pointInput("*Target 0.95 1.05\n", "20050101 102 0\n20050102 110 0\n"));
  std::vector<Diagnostic> target = run.of(DiagnosticKind::kTargetBandHit, "T1");
  ASSERT_EQ(target.size(), 1u) << run.describe();
  EXPECT_EQ(target[0].day, 1);
  EXPECT_NEAR(target[0].value, 1.02, 1e-12);
  EXPECT_EQ(run.oil.at("W1")[1], 60);

  // Cutting to 0 decimals rounds 2.99995 up to 3 (value + 0.0001, then
  // truncated): three members given 2.99995 each of a measured 8.99985 get
  // 9 together, 0.00015 more than measured, and nothing is taken back.
  run = runText(
      "#control\n*period 20050101 20050101\n#end\n"
      "#network\n*TF T1\nWell W1\nWell W2\nWell W3\n#end\n"
      "#volume\n*TF T1\n*date oil\n20050101 8.99985\n"
      "*Well W1\n*date oil\n20050101 2.99995\n*Well W2\n*date oil\n20050101 2.99995\n"
      "*Well W3\n*date oil\n20050101 2.99995\n#end\n");
  std::vector<Diagnostic> over = run.of(DiagnosticKind::kRemainderKept, "T1");
  ASSERT_EQ(over.size(), 1u) << run.describe();
  EXPECT_EQ(over[0].day, 1);
  EXPECT_EQ(over[0].fluid, kOil);
  EXPECT_NEAR(over[0].value, 0.00015, 1e-9);
  EXPECT_EQ(run.oil.at("W1")[1], 3);
}

TEST(Diagnostics, WellReviewAfterAllocation) {
  // Period January 2005. W1's newest test is 91 days old at the period start
  // (Oct 2 to Jan 1: 30 + 30 + 31), W2's 90 days (Oct 3): only W1 is old.
  // W3 needs a well test for "Welltest" and has none; W4 starts on "Decline"
  // and needs none. W5 is given 20 absolute on day 2, a day with 0 hours on;
  // W1 has 0 hours on day 3 and so no volume that day. W6's test of Dec 1 is
  // accepted and carried over the period; a later test that fails its status
  // check takes nothing away from it.
  const Inspected run = runText(
      "#control\n*period 20050101 20050103\n#end\n"
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\nWell W3\n"
      "Well W4 *Oil *Decline\nWell W5 *Oil *Measured\nWell W6\n#end\n"
      "#volume\n*TF T1\n*date oil\n20050101 100\n20050102 120\n20050103 100\n"
      "*Well W5\n*date oil\n20050102 20 a\n#end\n"
      "#welltest\n*date oil\n*Well W1\n20041002 60\n*Well W2\n20041003 40\n"
      "*date oil Status\n*Well W6\n20041201 50 good\n20041202 52 bad\n#end\n"
      "#time\n*Well W5\n2 0\n*Well W1\n3 0\n#end\n");
  ASSERT_EQ(run.status, 1);

  std::vector<Diagnostic> old = run.of(DiagnosticKind::kOldWellTest, "W1");
  ASSERT_EQ(old.size(), 1u) << run.describe();
  EXPECT_DOUBLE_EQ(old[0].value, 91);
  EXPECT_TRUE(run.of(DiagnosticKind::kOldWellTest, "W2").empty());

  EXPECT_EQ(run.of(DiagnosticKind::kNoWellTest, "W3").size(), 1u) << run.describe();
  for (const char* well : {"W1", "W4", "W6"})
    EXPECT_TRUE(run.of(DiagnosticKind::kNoWellTest, well).empty()) << well << run.describe();

  std::vector<Diagnostic> noHours = run.of(DiagnosticKind::kVolumeWithoutHours, "W5");
  ASSERT_EQ(noHours.size(), 1u) << run.describe();
  EXPECT_EQ(noHours[0].day, 2);
  EXPECT_EQ(noHours[0].fluid, kOil);
  EXPECT_DOUBLE_EQ(noHours[0].value, 20);  // the absolute volume is allocated as given
  EXPECT_TRUE(run.of(DiagnosticKind::kVolumeWithoutHours, "W1").empty());
}

// W1 comes on stream on day 5 of ten: its well test (before it produced)
// is 0, so on its 6 days on production it gets no oil, and only oil is
// measured. W2 produces from a test of 100; on day 3 it is shut in.
TEST(Diagnostics, AWellOnProductionWithNoTheoreticalVolume) {
  const Inspected run = runText(
      "#control\n*period 20050101 20050110\n#end\n"
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\n#end\n"
      "#volume\n*TF T1\n*date oil\n20050101 100\n20050105 150\n#end\n"
      "#welltest\n*date oil\n*Well W1\n20041201 0\n*Well W2\n20041201 100\n#end\n"
      "#time\n*Well W1\n1 0\n2 0\n3 0\n4 0\n*Well W2\n3 0\n#end\n");
  ASSERT_EQ(run.status, 1);
  const std::vector<Diagnostic> w1 = run.of(DiagnosticKind::kNoTheoreticalVolume, "W1");
  ASSERT_EQ(w1.size(), 1u) << run.describe();
  EXPECT_EQ(w1[0].fluid, kOil);
  EXPECT_EQ(w1[0].day, 5);
  EXPECT_DOUBLE_EQ(w1[0].value, 6);
  EXPECT_EQ(w1[0].reason,
            "on production with no theoretical volume: gets no allocation; the method Welltest "
            "gave 0");
  EXPECT_TRUE(run.of(DiagnosticKind::kNoTheoreticalVolume, "W2").empty()) << run.describe();
}

// The reasons of the records of `text`, a line each.
std::string reasonsOf(const std::string& text) {
  std::string reasons;
  for (const Diagnostic& d : runText(text).records) reasons += d.reason + "\n";
  return reasons;
}

TEST(Diagnostics, LikelyTyposGetTheClosestKnownName) {
  const std::string reasons = reasonsOf(
      "#control\n*precison 2\n*period 20050101 20050102\n#end\n"
      "#volum\n"
      "#network\n*TF T1\nWell NORTH-01 *Oil *Weltest\nWell SOUTH-02 *Oil *Xyz\n#end\n"
      "#welltest\n*date oill\n*Well NROTH-01\n20041201 10\n*Well QQ-7\n20041201 10\n#end\n");
  for (const char* expected :
       {"unknown keyword '*precison' (did you mean '*precision'?)",
        "'#volum' is not a section name (did you mean '#volume'?)",
        "'*Weltest' (did you mean 'Welltest'?)", "'oill' (did you mean 'oil'?)",
        "'NROTH-01' is not in #network: a new well was created, on no point of measurement "
        "(did you mean 'NORTH-01'?)"}) {
    EXPECT_NE(reasons.find(expected), std::string::npos) << expected << "\n" << reasons;
  }
  // Nothing is close to "*Xyz" or "QQ-7": no suggestion.
  EXPECT_NE(reasons.find("'*Xyz'\n"), std::string::npos) << reasons;
  EXPECT_NE(reasons.find("'QQ-7' is not in #network: a new well was created, on no point of "
                         "measurement\n"),
            std::string::npos)
      << reasons;
}

TEST(Diagnostics, ASectionHeaderInsideAnUnclosedSection) {
  // Line 4 starts "#volume" while "#network" has no "#end".
  const Inspected run = runText(
      "#control\n*period 20050101 20050102\n#end\n#volume\n#network\n*TF T1\nWell W1\n"
      "#volume\n*TF T1\n*date oil\n20050101 10\n#end\n");
  std::vector<std::string> reasons;
  for (const Diagnostic& d : run.records) {
    if (d.reason.find("missing #end") != std::string::npos) reasons.push_back(d.reason);
  }
  EXPECT_EQ(reasons, (std::vector<std::string>{
                         "'#network' starts a section inside #volume: missing #end before line 5?",
                         "'#volume' starts a section inside #volume: missing #end before line 8?"}))
      << run.describe();
}

// ba-engine run in a new directory with `arguments`: exit code, stdout, directory.
struct Program {
  int exitCode = -1;
  std::string out, dir;
};

// With `withErrors`, `out` holds standard error too.
Program runProgram(const std::string& arguments, bool withErrors = false) {
  Program result;
  result.dir = testing::TempDir() + "zelba-diagnostics-XXXXXX";
  if (!mkdtemp(result.dir.data())) ADD_FAILURE() << "cannot make " << result.dir;
  const std::string errors = withErrors ? " 2>&1" : " 2>/dev/null";
  FILE* pipe = popen(
      ("cd '" + result.dir + "' && '" + BA_ENGINE_PATH + "' " + arguments + errors).c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    result.out.append(buffer, got);
  const int status = pclose(pipe);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> filesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.insert(entry.path().filename());
  return names;
}

const std::string kExample = std::string(ZELBA_EXAMPLES_DIR) + "/north_field.ba";

TEST(BaEngineProgram, CheckWritesNoFileAndExtrasChangeNoOutput) {
  // Names a report, totals listing and load file; the welltest section has one
  // unusable line, and day 2's field factor 300 / 100 = 3 is out of range.
  const std::string input = testing::TempDir() + "zelba-diagnostics-small.ba";
  std::ofstream(input)
      << "#control\n*period 20050101 20050102\n*Range 0.5 1.5\n"
         "*report run.prn run_totals.txt\n*load run_load.txt\n#end\n"
         "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\n#end\n"
         "#volume\n*TF T1\n*date oil\n20050101 90\n20050102 300\n#end\n"
         "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\nnot a test\n#end\n";
  const Program check = runProgram("--check '" + input + "'");
  EXPECT_EQ(check.exitCode, 4);  // there is something to look at
  EXPECT_TRUE(filesIn(check.dir).empty());
  // Grouped by kind, with counts; then the point summary.
  for (DiagnosticKind kind : {DiagnosticKind::kIgnoredLine, DiagnosticKind::kFactorOutOfRange})
    EXPECT_NE(check.out.find(std::string(diagnosticKindTitle(kind)) + ": 1"), std::string::npos);
  EXPECT_NE(check.out.find("T1"), std::string::npos) << check.out;

  // The same input and the bundled example, with and without the extras.
  for (const std::string& path : {input, kExample}) {
    const Program plain = runProgram("'" + path + "'");
    const Program extras = runProgram("--diagnostics diag.txt --json results.json '" + path + "'");
    ASSERT_EQ(plain.exitCode, 0) << path;
    ASSERT_EQ(extras.exitCode, 0) << path;
    std::set<std::string> outputs = filesIn(plain.dir);
    EXPECT_EQ(outputs.size(), 3u) << path;  // report, load file, totals listing
    std::set<std::string> withExtras = outputs;
    withExtras.insert({"diag.txt", "results.json"});
    EXPECT_EQ(filesIn(extras.dir), withExtras) << path;
    for (const std::string& name : outputs) {
      const std::string text = readFile(plain.dir + "/" + name);
      EXPECT_TRUE(!text.empty() && text == readFile(extras.dir + "/" + name))
          << path << ": " << name;
    }
    EXPECT_TRUE(path != input || readFile(extras.dir + "/diag.txt") == check.out) << check.out;
  }
}

// The summary of what needs attention after a normal run, --quiet, --strict
// and --check, and the accounts written to standard output.
TEST(BaEngineProgram, SummaryStrictAndCheck) {
  // Day 2's factor at T1 is 300 / 60 = 5, out of range; T2 measures 50 a day
  // and has no wells; W2 has no well test, so no oil on its three days; one
  // test line is unusable. Left unallocated: 300 + 3 x 50 = 450 bbl.
  const std::string input = testing::TempDir() + "zelba-summary.ba";
  std::ofstream(input)
      << "#control\n*period 20050101 20050103\n*Range 0.5 1.5\n*load load.txt\n#end\n"
         "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\n*TF T2\n#end\n"
         "#volume\n*TF T1\n*date oil\n20050101 90\n20050102 300\n20050103 60\n"
         "*TF T2\n*date oil\n20050101 50\n20050102 50\n20050103 50\n#end\n"
         "#welltest\n*date oil\n*Well W1\n20041215 60\nnot a test\n#end\n";
  const std::string quoted = "'" + input + "'";
  const Program plain = runProgram(quoted, true);
  EXPECT_EQ(plain.exitCode, 0);
  EXPECT_EQ(plain.out,
            "ba-engine: the run recorded what needs attention:\n"
            "  Ignored input lines: 1\n"
            "  Field factors out of range (members got nothing): 1\n"
            "  Measured volumes with no base volume to allocate to: 3\n"
            "  Wells without a well test: 1\n"
            "  Wells on production with no theoretical volume (no allocation): 1\n"
            "  Oil measured but not allocated: 450.0 bbl\n"
            "ba-engine: run with --check for the details\n");
  EXPECT_EQ(runProgram("--quiet " + quoted, true).out, "");
  const Program strict = runProgram("--strict --quiet " + quoted, true);
  EXPECT_EQ(strict.exitCode, 4);
  EXPECT_FALSE(readFile(strict.dir + "/load.txt").empty());  // the outputs are written
  EXPECT_EQ(runProgram("--check " + quoted).exitCode, 4);

  // The accounts to standard output: the table as --check prints it, and
  // JSON that parses.
  const Program table = runProgram("--diagnostics - " + quoted);
  EXPECT_EQ(table.out, runProgram("--check " + quoted).out);
  const Program json = runProgram("--quiet --json - " + quoted, true);
  EXPECT_FALSE(nlohmann::json::parse(json.out, nullptr, false).is_discarded()) << json.out;

  // A run with nothing to look at is quiet and exits 0, strict or checked.
  const std::string clean = testing::TempDir() + "zelba-clean.ba";
  std::ofstream(clean) << "#network\n*Methods *Welltest\n*TF T1\nWell W1\n#end\n"
                          "#volume\n*TF T1\n*date oil\n20050101 90\n#end\n"
                          "#welltest\n*date oil\n*Well W1\n20041215 60\n#end\n";
  EXPECT_EQ(runProgram("--strict '" + clean + "'", true).out, "");
  EXPECT_EQ(runProgram("--strict '" + clean + "'").exitCode, 0);
  EXPECT_EQ(runProgram("--check '" + clean + "'").exitCode, 0);
}

// Records that repeat over consecutive days are one line with the range.
TEST(BaEngineProgram, RepeatedRecordsAreOneLineWithTheirDays) {
  // T1's factors: 180 / 60, 240 / 60, 300 / 60 = 3, 4, 5; day 5's 120 / 60 = 2
  // after an in-range day 4 (60 / 60) starts a new line.
  const std::string input = testing::TempDir() + "zelba-collapse.ba";
  std::ofstream(input) << "#control\n*period 20050101 20050105\n*Range 0.5 1.5\n#end\n"
                          "#network\n*Methods *Welltest\n*TF T1\nWell W1\n#end\n"
                          "#volume\n*TF T1\n*date oil\n20050101 180\n20050102 240\n"
                          "20050103 300\n20050104 60\n20050105 120\n#end\n"
                          "#welltest\n*date oil\n*Well W1\n20041215 60\n#end\n";
  const Program check = runProgram("--check '" + input + "'");
  EXPECT_NE(check.out.find("Field factors out of range (members got nothing): 4\n"
                           "  T1 Oil 20050101 to 20050103 (3 days) field factor out of range: the "
                           "members got nothing (factors 3.0000 to 5.0000, code 104)\n"
                           "  T1 Oil 20050105              field factor out of range: the members "
                           "got nothing (factor 2.0000, code 104)\n"),
            std::string::npos)
      << check.out;
}

TEST(JsonResults, ExampleParsesAndMatchesTheLoadFile) {
  const Program run = runProgram("--json results.json '" + kExample + "'");
  ASSERT_EQ(run.exitCode, 0);
  // Not const: a missing key then reads as null instead of failing an assertion.
  nlohmann::json results = nlohmann::json::parse(readFile(run.dir + "/results.json"), nullptr,
                                                 /*allow_exceptions=*/false);
  ASSERT_FALSE(results.is_discarded());

  // From the example: *period 20050101 20050131, *daily, oil gas water measured.
  EXPECT_EQ(results["periodStart"], 20050101);
  EXPECT_EQ(results["periodEnd"], 20050131);
  EXPECT_EQ(results["mode"], "daily");
  std::vector<std::string> fluids;
  for (auto& fluid : results["fluids"]) fluids.push_back(fluid["name"]);
  EXPECT_EQ(fluids, (std::vector<std::string>{"Oil", "Gas", "Water"}));

  // Five points, NORTH-GC first as "#network" defines it; its oil on
  // January 1 is the 2393.0 of its "#volume" line.
  auto& points = results["points"];
  ASSERT_EQ(points.size(), 5u);
  EXPECT_EQ(points[0]["node"], "NORTH-GC");
  EXPECT_DOUBLE_EQ(points[0]["fluids"]["Oil"][0]["measured"].get<double>(), 2393.0);

  // The load file's daily rows per well: the date, hours on, then one column
  // per listed fluid, printed with one decimal ("%12.1f", off by at most 0.05).
  std::map<std::string, std::vector<double>> loadSums;
  std::string well;
  std::istringstream load(readFile(run.dir + "/north_field_load.txt"));
  for (std::string line; std::getline(load, line);) {
    if (line.rfind("*keyname \"", 0) == 0) well = line.substr(10, line.size() - 11);
    if (well.empty() || line[0] == '*') continue;
    std::istringstream row(line);
    double date = 0, hours = 0, value = 0;
    row >> date >> hours;
    loadSums[well].resize(fluids.size());
    for (double& sum : loadSums[well]) sum += (row >> value) ? value : 1e9;
  }
  ASSERT_EQ(results["wells"].size(), 21u);  // N-01 to N-21
  EXPECT_EQ(loadSums.size(), 21u);
  for (auto& json : results["wells"]) {
    const std::string name = json["name"];
    ASSERT_EQ(loadSums.count(name), 1u) << name;
    for (size_t k = 0; k < fluids.size(); ++k) {
      double total = 0;
      for (auto& day : json["fluids"][fluids[k]]) total += day["allocated"].get<double>();
      EXPECT_NEAR(total, loadSums[name][k], 0.05 * 31) << name << " " << fluids[k];
    }
  }
}

}  // namespace
}  // namespace zelba
