// What a run tells about itself: the records of ignored and partly used input
// lines and of allocation exceptions, ba-engine's --check, --diagnostics and
// --json, and the JSON results against the load file.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/driver.h"

namespace zelba {
namespace {

namespace fs = std::filesystem;

// What a run left in its state before release.
struct Inspected {
  int status = 0;
  Diagnostics records;
  std::vector<std::string> names;              // node names by node index
  std::vector<DayArray<double>> oilAllocated;  // oil cumResult by node index
};

Inspected runText(const std::string& text) {
  Inspected result;
  RunState rs;
  MemoryFiles files;
  RunOptions options;
  options.files = &files;
  options.inspect = [&](const RunState& state) {
    result.records = state.diagnostics;
    for (const auto& node : state.nodeTable) {
      result.names.push_back(node->name);
      result.oilAllocated.push_back(node->fluids[kOil].cumResult);
    }
  };
  result.status = runEngineOnText(rs, text, nullptr, options);
  return result;
}

// The oil allocated to node `name` on `day`.
double oilOf(const Inspected& run, const std::string& name, int day) {
  for (size_t i = 0; i < run.names.size(); ++i) {
    if (run.names[i] == name) return run.oilAllocated[i][day];
  }
  ADD_FAILURE() << "no node " << name;
  return -1;
}

std::string describe(const Inspected& run) {
  std::string text;
  for (const Diagnostic& d : run.records) {
    text += "  kind " + std::to_string(static_cast<int>(d.kind)) + " line " +
            std::to_string(d.line) + " " + d.section + " node " +
            (d.node >= 0 ? run.names[d.node] : "-") + " day " + std::to_string(d.day) + ": " +
            d.reason + "\n";
  }
  return text;
}

// The records of one kind about node `name`.
std::vector<Diagnostic> recordsOf(const Inspected& run, DiagnosticKind kind,
                                  const std::string& name) {
  std::vector<Diagnostic> found;
  for (const Diagnostic& d : run.records) {
    if (d.kind == kind && d.node >= 0 && run.names[d.node] == name) found.push_back(d);
  }
  return found;
}

// One input line and what the run should record about it.
enum class Note { kNone, kIgnored, kPartly };
struct Line {
  const char* text;
  Note note = Note::kNone;
  const char* phrase = "";  // the reason names this
};

TEST(Diagnostics, IgnoredAndPartlyUsedLinesOfEverySection) {
  const std::vector<Line> lines = {
      {"// a comment and an empty line still count as lines"},
      {"stray text before any section", Note::kIgnored, "section"},
      {""},
      {"#bogus", Note::kIgnored, "#bogus"},
      {"#control"},
      {"*period 20050101 20050103"},
      {"*frobnicate 1", Note::kIgnored, "*frobnicate"},
      {"plain words", Note::kIgnored, "keyword"},
      {"*html", Note::kIgnored, "file name"},
      {"*zelfields a b c d e f g h i", Note::kPartly, "8"},
      {"*from XX", Note::kPartly, "XX"},
      {"#end"},
      {"#network"},
      {"*Methods *Welltest *Frobnicate", Note::kPartly, "*Frobnicate"},
      {"Well EARLY", Note::kPartly, "point of measurement"},
      {"*TF T1 *psep 100 *wobble", Note::kPartly, "*wobble"},
      {"Well W1"},
      {"Well W2 \"pad 2\" *Oil *Welltest *Zap", Note::kPartly, "*Zap"},
      {"Well W1 *Oil *Decline", Note::kPartly, "already defined"},
      {"Pump P1", Note::kIgnored, "Pump"},
      {"*Pump P2", Note::kIgnored, "*Pump"},
      {"#end"},
      {"#volume"},
      {"20050101 5", Note::kIgnored, "node"},
      {"*Pump P3", Note::kIgnored, "*Pump"},
      {"*TF T1"},
      {"20050101 100", Note::kIgnored, "column header"},
      {"*date oil bogus", Note::kPartly, "bogus"},
      {"20050101 100 7"},
      {"20050102 100 7 99", Note::kPartly, "more fields"},
      {"20050103 100 7 a"},  // a qualifier may follow the last column
      {"20050105 100 7", Note::kIgnored, "period"},
      {"0 100 7", Note::kIgnored, "date"},
      {"#end"},
      {"#welltest"},
      {"20041201 60", Note::kIgnored, "no well"},
      {"*Well W1"},
      {"20041201 61", Note::kIgnored, "column header"},
      {"*date oil bogus2 Status", Note::kPartly, "bogus2"},
      {"20041201 60 1 good"},
      {"20041202 62 1 bad", Note::kIgnored, "status"},
      {"20050110 63 1 good", Note::kIgnored, "range"},
      {"*TF T1", Note::kIgnored, "facility"},
      {"*Pump W9", Note::kIgnored, "*Pump"},
      {"*Latest"},
      {"*Well W2"},
      {"*date oil"},
      {"20041220 40"},
      {"20041210 39", Note::kIgnored, "*Latest"},  // older than the test kept
      {"#end"},
      {"#time"},
      {"*ON 24"},
      {"*ON 12", Note::kIgnored, "no well"},
      {"2 24", Note::kIgnored, "no well"},
      {"*Well W1"},
      {"*OFF 30", Note::kIgnored, "full day"},
      {"40 24", Note::kIgnored, "outside"},
      {"2 24 TF NOPE", Note::kPartly, "NOPE"},
      {"*Status"},
      {"*hms"},
      {"*Well W2"},
      {"0 08:00:00 dn", Note::kIgnored, "date"},
      {"20050102 x up", Note::kPartly, "time of day"},
      {"#end"},
      {"#wellwatch"},
      {"20050101 06:00:00 100", Note::kIgnored, "no well"},
      {"*Well W2"},
      {"20050101 07:00:00 100", Note::kIgnored, "column header"},
      {"*date hms rate wobble2", Note::kPartly, "wobble2"},
      {"0 06:00:00 100 1", Note::kIgnored, "date"},
      {"20050101 -5:00:00 100 1", Note::kIgnored, "time of day"},
      {"*TF T1", Note::kIgnored, "facility"},
      {"#end"},
      {"#equation"},
      {"5 1 2", Note::kIgnored, "*ZEL"},
      {"*Const 5", Note::kIgnored, "no well"},
      {"*Well W1"},
      {"*Frob 1", Note::kIgnored, "*Frob"},
      {"*day 3", Note::kIgnored, "*day"},
      {"*Date 20060101", Note::kPartly, "date"},
      {"*Const 6", Note::kIgnored, "*Date"},
      {"*Date 20050101"},
      {"*ZEL date kh"},
      {"20060101 5", Note::kPartly, "row date"},
      {"#end"},
  };
  std::string text;
  for (const Line& line : lines) text += std::string(line.text) + "\n";
  const Inspected run = runText(text);
  ASSERT_EQ(run.status, 1);

  const std::set<std::string> sectionNames = {"#control", "#network",   "#volume",  "#welltest",
                                              "#time",    "#wellwatch", "#equation"};
  std::string section;  // the section each line stands in
  size_t expected = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string lineText = lines[i].text;
    if (sectionNames.count(lineText)) section = lineText;
    if (lineText == "#end") section.clear();
    const long number = static_cast<long>(i) + 1;
    std::vector<Diagnostic> found;
    for (const Diagnostic& d : run.records) {
      if (d.line == number) found.push_back(d);
    }
    if (lines[i].note == Note::kNone) {
      EXPECT_TRUE(found.empty()) << "line " << number << " '" << lineText
                                 << "': " << found[0].reason;
      continue;
    }
    ++expected;
    ASSERT_EQ(found.size(), 1u) << "line " << number << " '" << lineText << "'\n" << describe(run);
    const Diagnostic& d = found[0];
    const DiagnosticKind kind = lines[i].note == Note::kIgnored ? DiagnosticKind::kIgnoredLine
                                                                : DiagnosticKind::kPartlyUsedLine;
    EXPECT_EQ(d.kind, kind) << "line " << number << " '" << lineText << "': " << d.reason;
    EXPECT_EQ(d.section, section) << "line " << number << " '" << lineText << "'";
    EXPECT_NE(d.reason.find(lines[i].phrase), std::string::npos)
        << "line " << number << " '" << lineText << "': " << d.reason;
  }
  size_t lineRecords = 0;
  for (const Diagnostic& d : run.records) lineRecords += d.line > 0 ? 1 : 0;
  EXPECT_EQ(lineRecords, expected) << describe(run);

  // A "#end" outside any section ends the reading: the "#network" section
  // after it (lines 5 to 8) is never read, which a record must say, at the
  // stray "#end" (line 4) or at the first line left unread.
  const Inspected cut =
      runText("#control\n*period 20050101 20050101\n#end\n#end\n#network\n*TF T1\nWell W1\n#end\n");
  EXPECT_EQ(cut.status, -1);  // no node was read
  bool told = false;
  for (const Diagnostic& d : cut.records) {
    told = told || (d.kind == DiagnosticKind::kIgnoredLine && (d.line == 4 || d.line == 5));
  }
  EXPECT_TRUE(told) << "lines after a stray #end are dropped without a record\n" << describe(cut);
}

// One point T1 with wells W1 (well test 60 bbl/d), W2 (40 bbl/d) and W3 (no
// rate) over 3 days, 24 hours on: a base of 100 a day.
std::string pointInput(const std::string& control, const std::string& volumes) {
  return "#control\n*period 20050101 20050103\n" + control +
         "#end\n"
         "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\nWell W3 *Oil *Measured\n#end\n"
         "#volume\n*TF T1\n*date oil gas\n" +
         volumes +
         "#end\n"
         "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\n#end\n";
}

TEST(Diagnostics, AllocationExceptionsAtAPoint) {
  // Range 0.5 to 1.5. Day 1: 30 / 100 = 0.3 (103); day 2: 200 / 100 = 2.0
  // (104); day 3: W3 is given 150 absolute of a measured 100, so
  // F = (100 - 150) / (250 - 150) = -0.5 (100).
  Inspected run = runText(pointInput("*Range 0.5 1.5\n",
                                     "20050101 30 0\n20050102 200 0\n"
                                     "20050103 100 0\n*Well W3\n*date oil\n20050103 150 a\n"));
  ASSERT_EQ(run.status, 1);
  std::vector<Diagnostic> range = recordsOf(run, DiagnosticKind::kFactorOutOfRange, "T1");
  ASSERT_EQ(range.size(), 3u) << describe(run);
  const double factors[] = {0.3, 2.0, -0.5};
  const int codes[] = {103, 104, 100};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(range[k].day, k + 1);
    EXPECT_EQ(range[k].fluid, kOil);
    EXPECT_NEAR(range[k].value, factors[k], 1e-12);
    EXPECT_EQ(range[k].code, codes[k]);
    EXPECT_EQ(range[k].pom, 0);
    EXPECT_FALSE(range[k].reason.empty());
    // The members got nothing that day.
    for (const char* well : {"W1", "W2", "W3"}) {
      EXPECT_EQ(oilOf(run, well, k + 1), 0) << well << " day " << k + 1;
    }
  }
  // A rejected factor is not also an over-allocation.
  EXPECT_TRUE(recordsOf(run, DiagnosticKind::kRemainderKept, "T1").empty()) << describe(run);

  // Gas is measured on day 1 (50) but no well has a gas rate: nothing to scale.
  run = runText(pointInput("", "20050101 100 50\n"));
  std::vector<Diagnostic> noBase = recordsOf(run, DiagnosticKind::kNoBaseVolume, "T1");
  ASSERT_EQ(noBase.size(), 1u) << describe(run);
  EXPECT_EQ(noBase[0].fluid, kGas);
  EXPECT_EQ(noBase[0].day, 1);
  EXPECT_DOUBLE_EQ(noBase[0].value, 50);

  // Target band 0.95 to 1.05: 102 / 100 = 1.02 is in it, W1 keeps 60 and
  // W2 40; 110 / 100 = 1.1 on day 2 is not.
  run = runText(pointInput("*Target 0.95 1.05\n", "20050101 102 0\n20050102 110 0\n"));
  std::vector<Diagnostic> target = recordsOf(run, DiagnosticKind::kTargetBandHit, "T1");
  ASSERT_EQ(target.size(), 1u) << describe(run);
  EXPECT_EQ(target[0].day, 1);
  EXPECT_NEAR(target[0].value, 1.02, 1e-12);
  EXPECT_EQ(oilOf(run, "W1", 1), 60);
  EXPECT_EQ(oilOf(run, "W2", 1), 40);

  // Cutting to 0 decimals rounds 2.99995 up to 3 (value + 0.0001, then
  // truncated): three members given 2.99995 each of a measured 8.99985 get
  // 9 together, 0.00015 more than measured, and nothing is taken back.
  run = runText(
      "#control\n*period 20050101 20050101\n#end\n"
      "#network\n*TF T1\nWell W1\nWell W2\nWell W3\n#end\n"
      "#volume\n*TF T1\n*date oil\n20050101 8.99985\n"
      "*Well W1\n*date oil\n20050101 2.99995\n*Well W2\n*date oil\n20050101 2.99995\n"
      "*Well W3\n*date oil\n20050101 2.99995\n#end\n");
  std::vector<Diagnostic> over = recordsOf(run, DiagnosticKind::kRemainderKept, "T1");
  ASSERT_EQ(over.size(), 1u) << describe(run);
  EXPECT_EQ(over[0].day, 1);
  EXPECT_EQ(over[0].fluid, kOil);
  EXPECT_NEAR(over[0].value, 0.00015, 1e-9);
  EXPECT_EQ(oilOf(run, "W1", 1), 3);
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

  std::vector<Diagnostic> old = recordsOf(run, DiagnosticKind::kOldWellTest, "W1");
  ASSERT_EQ(old.size(), 1u) << describe(run);
  EXPECT_DOUBLE_EQ(old[0].value, 91);
  EXPECT_TRUE(recordsOf(run, DiagnosticKind::kOldWellTest, "W2").empty());

  EXPECT_EQ(recordsOf(run, DiagnosticKind::kNoWellTest, "W3").size(), 1u) << describe(run);
  EXPECT_TRUE(recordsOf(run, DiagnosticKind::kNoWellTest, "W4").empty());
  EXPECT_TRUE(recordsOf(run, DiagnosticKind::kNoWellTest, "W1").empty());
  EXPECT_TRUE(recordsOf(run, DiagnosticKind::kNoWellTest, "W6").empty()) << describe(run);

  std::vector<Diagnostic> noHours = recordsOf(run, DiagnosticKind::kVolumeWithoutHours, "W5");
  ASSERT_EQ(noHours.size(), 1u) << describe(run);
  EXPECT_EQ(noHours[0].day, 2);
  EXPECT_EQ(noHours[0].fluid, kOil);
  EXPECT_DOUBLE_EQ(noHours[0].value, 20);  // the absolute volume is allocated as given
  EXPECT_TRUE(recordsOf(run, DiagnosticKind::kVolumeWithoutHours, "W1").empty());
  for (const Diagnostic& d : run.records) {
    if (d.line == 0) {
      EXPECT_TRUE(d.section.empty()) << d.reason;  // allocation records
    }
  }
}

// ba-engine run in `dir` with `arguments`; stdout only.
struct Program {
  int exitCode = -1;
  std::string out;
};

Program runProgram(const std::string& dir, const std::string& arguments) {
  Program result;
  const std::string command =
      "cd '" + dir + "' && '" + BA_ENGINE_PATH + "' " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, got);
  const int status = pclose(pipe);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

std::string newDirectory(const std::string& tag) {
  std::string pattern = testing::TempDir() + "zelba-diagnostics-" + tag + "-XXXXXX";
  if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make " << pattern;
  return pattern;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<std::string> filesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
  return names;
}

// Names a report, totals listing and load file; the welltest section has one
// unusable line, and day 2's field factor 300 / 100 = 3 is out of range.
const char* kSmallRun =
    "#control\n*period 20050101 20050102\n*Range 0.5 1.5\n"
    "*report run.prn run_totals.txt\n*load run_load.txt\n#end\n"
    "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\n#end\n"
    "#volume\n*TF T1\n*date oil\n20050101 90\n20050102 300\n#end\n"
    "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\nnot a test\n#end\n";

TEST(BaEngineProgram, CheckWritesNoFileAndExtrasChangeNoOutput) {
  const std::string checkDir = newDirectory("check");
  std::ofstream(checkDir + "/in.ba") << kSmallRun;
  const Program check = runProgram(checkDir, "--check in.ba");
  EXPECT_EQ(check.exitCode, 0);
  EXPECT_EQ(filesIn(checkDir), std::set<std::string>{"in.ba"});
  const auto counted = [&](DiagnosticKind kind, int count) {
    return std::string(diagnosticKindTitle(kind)) + ": " + std::to_string(count);
  };
  EXPECT_NE(check.out.find(counted(DiagnosticKind::kIgnoredLine, 1)), std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find(counted(DiagnosticKind::kFactorOutOfRange, 1)), std::string::npos)
      << check.out;
  EXPECT_EQ(check.out.find(diagnosticKindTitle(DiagnosticKind::kTargetBandHit)), std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("T1"), std::string::npos) << check.out;  // the point summary

  // The same input and the bundled example, with and without the extras.
  const std::string example = std::string(ZELBA_EXAMPLES_DIR) + "/north_field.ba";
  for (const std::string& input : {checkDir + "/in.ba", example}) {
    const std::string plainDir = newDirectory("plain");
    const std::string extrasDir = newDirectory("extras");
    ASSERT_EQ(runProgram(plainDir, "'" + input + "'").exitCode, 0) << input;
    ASSERT_EQ(runProgram(extrasDir, "--diagnostics diag.txt --json results.json '" + input + "'")
                  .exitCode,
              0)
        << input;
    std::set<std::string> outputs = filesIn(plainDir);
    EXPECT_EQ(outputs.size(), 3u) << input;  // report, load file, totals listing
    std::set<std::string> withExtras = outputs;
    withExtras.insert({"diag.txt", "results.json"});
    EXPECT_EQ(filesIn(extrasDir), withExtras) << input;
    for (const std::string& name : outputs) {
      const std::string plain = readFile(plainDir + "/" + name);
      EXPECT_FALSE(plain.empty()) << name;
      EXPECT_TRUE(plain == readFile(extrasDir + "/" + name)) << input << ": " << name << " differs";
    }
    if (input != example) {
      EXPECT_EQ(readFile(extrasDir + "/diag.txt"), check.out);
    }
  }
}

// The daily load file: per well, the date, hours on and one column per
// listed fluid of every row.
struct LoadRows {
  std::vector<double> dates;
  std::vector<double> hours;
  std::vector<std::vector<double>> values;
};

std::map<std::string, LoadRows> readLoadFile(const std::string& text, size_t& columns) {
  std::map<std::string, LoadRows> wells;
  std::istringstream in(text);
  std::string line;
  LoadRows* current = nullptr;
  columns = 0;
  while (std::getline(in, line)) {
    if (line.rfind("*keyname", 0) == 0) {
      const size_t open = line.find('"');
      const size_t close = line.find('"', open + 1);
      current = &wells[line.substr(open + 1, close - open - 1)];
    } else if (line.rfind("*tablename", 0) == 0 || line.rfind("*metric", 0) == 0) {
      continue;
    } else if (!line.empty() && line[0] == '*') {
      std::istringstream names(line);
      std::string name;
      while (names >> name) ++columns;
      columns -= 2;  // the date and hours columns
    } else if (current) {
      std::istringstream row(line);
      double date = 0, hours = 0;
      row >> date >> hours;
      std::vector<double> values(columns);
      for (double& value : values) row >> value;
      EXPECT_FALSE(row.fail()) << line;
      current->dates.push_back(date);
      current->hours.push_back(hours);
      current->values.push_back(values);
    }
  }
  return wells;
}

TEST(JsonResults, ExampleParsesAndMatchesTheLoadFile) {
  const std::string dir = newDirectory("json");
  const std::string example = std::string(ZELBA_EXAMPLES_DIR) + "/north_field.ba";
  ASSERT_EQ(runProgram(dir, "--json results.json '" + example + "'").exitCode, 0);
  // Not const: a missing key then reads as null instead of failing an assertion.
  nlohmann::json results = nlohmann::json::parse(readFile(dir + "/results.json"), nullptr,
                                                 /*allow_exceptions=*/false);
  ASSERT_FALSE(results.is_discarded());

  // From the example: *period 20050101 20050131, *daily, oil gas water measured.
  EXPECT_EQ(results["periodStart"], 20050101);
  EXPECT_EQ(results["periodEnd"], 20050131);
  EXPECT_EQ(results["mode"], "daily");
  ASSERT_TRUE(results["fluids"].is_array());
  std::vector<std::string> fluids;
  for (auto& fluid : results["fluids"]) {
    fluids.push_back(fluid["name"]);
    EXPECT_TRUE(fluid["units"].is_string());
    EXPECT_EQ(fluid["theoreticalOnly"], false);
  }
  EXPECT_EQ(fluids, (std::vector<std::string>{"Oil", "Gas", "Water"}));
  EXPECT_TRUE(results["diagnostics"].is_array());

  // Five points in the order "#network" defines them; NORTH-GC's oil on
  // January 1 is the 2393.0 of its "#volume" line.
  auto& points = results["points"];
  ASSERT_EQ(points.size(), 5u);
  EXPECT_EQ(points[0]["node"], "NORTH-GC");
  EXPECT_EQ(points[0]["members"], nlohmann::json::array({"PAD-A", "PAD-B", "PAD-C", "PAD-C-LP"}));
  EXPECT_EQ(points[4]["node"], "PAD-C-LP");
  EXPECT_EQ(points[4]["stage"], 2);
  EXPECT_DOUBLE_EQ(points[0]["fluids"]["Oil"][0]["measured"].get<double>(), 2393.0);
  for (auto& point : points) {
    for (const std::string& fluid : fluids) {
      ASSERT_EQ(point["fluids"][fluid].size(), 31u) << point["node"];
      for (auto& day : point["fluids"][fluid]) {
        EXPECT_TRUE(day["date"].is_number_integer());
        EXPECT_TRUE(day["fieldFactor"].is_number() || day["fieldFactor"].is_null());
        EXPECT_EQ(day["fieldFactor"].is_null(), day["rangeCode"].is_null());
      }
    }
  }

  // Per well, row by row: the load file prints volumes with one decimal
  // (%12.1f, off by at most 0.05) and hours with three (0.0005).
  size_t columns = 0;
  const std::map<std::string, LoadRows> load =
      readLoadFile(readFile(dir + "/north_field_load.txt"), columns);
  ASSERT_EQ(columns, fluids.size());
  ASSERT_EQ(results["wells"].size(), 21u);  // N-01 to N-21
  std::set<std::string> jsonWells;
  for (auto& well : results["wells"]) {
    const std::string name = well["name"];
    jsonWells.insert(name);
    const auto found = load.find(name);
    ASSERT_NE(found, load.end()) << name;
    const LoadRows& rows = found->second;
    for (size_t k = 0; k < fluids.size(); ++k) {
      auto& days = well["fluids"][fluids[k]];
      ASSERT_EQ(days.size(), rows.dates.size()) << name;
      double jsonSum = 0;
      double loadSum = 0;
      for (size_t d = 0; d < days.size(); ++d) {
        EXPECT_EQ(days[d]["date"].get<double>(), rows.dates[d]) << name;
        EXPECT_NEAR(days[d]["hoursOn"].get<double>(), rows.hours[d], 0.0005 + 1e-9) << name;
        EXPECT_TRUE(days[d]["method"].is_string());
        EXPECT_TRUE(days[d]["theoretical"].is_number());
        EXPECT_TRUE(days[d]["point"].is_string() || days[d]["point"].is_null());
        const double allocated = days[d]["allocated"].get<double>();
        EXPECT_NEAR(allocated, rows.values[d][k], 0.05 + 1e-9) << name << " day " << d + 1;
        jsonSum += allocated;
        loadSum += rows.values[d][k];
      }
      EXPECT_NEAR(jsonSum, loadSum, 0.05 * rows.dates.size()) << name << " " << fluids[k];
    }
  }
  EXPECT_EQ(jsonWells.size(), load.size());
}

}  // namespace
}  // namespace zelba
