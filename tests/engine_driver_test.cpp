// The run driver, the exported C entries through the shared library, and the
// ba-engine program.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "engine/ba_engine.h"
#include "engine/driver.h"
#include "input/sections.h"

namespace zelba {
namespace {

std::string writeInput(const std::string& name, const std::string& text) {
  const std::string path = testing::TempDir() + name;
  std::ofstream(path) << text;
  return path;
}

const char* kValidRun =
    "#network\n"
    "*TF T1\n"
    "Well W1\n"
    "Well W2\n"
    "#end\n"
    "#volume\n"
    "*TF T1\n"
    "*date oil gas\n"
    "20050101 100 50\n"
    "20050102 110 55\n"
    "#end\n";

TEST(RunDriver, StatusFollowsNodesAndPeriodEnd) {
  RunState rs;
  RunSummary summary;

  EXPECT_EQ(runEngine(rs, testing::TempDir() + "no-such-input.ba", &summary), -1);
  EXPECT_FALSE(summary.inputOpened);

  // Wells, but neither "*period" nor a dated volume line.
  const std::string noPeriod = writeInput("no-period.ba", "#network\n*TF T1\nWell W1\n#end\n");
  EXPECT_EQ(runEngine(rs, noPeriod, &summary), -1);
  EXPECT_TRUE(summary.inputOpened);
  EXPECT_EQ(summary.nodeCount, 2);
  EXPECT_EQ(summary.periodEnd, 0);

  // A period but no node.
  const std::string noNode =
      writeInput("no-node.ba", "#control\n*period 20050101 20050131\n#end\n");
  EXPECT_EQ(runEngine(rs, noNode, &summary), -1);
  EXPECT_EQ(summary.nodeCount, 0);

  const std::string valid = writeInput("valid.ba", kValidRun);
  EXPECT_EQ(runEngine(rs, valid, &summary), 1);
  EXPECT_EQ(summary.pomCount, 1);
  EXPECT_EQ(summary.periodStart, 20050101);
  EXPECT_EQ(summary.periodEnd, 20050102);

  // Nodes and a period without any point of measurement still succeed.
  const std::string noPom = writeInput(
      "no-pom.ba", "#control\n*period 20050101 20050131\n#end\n#volume\n*Well W1\n#end\n");
  EXPECT_EQ(runEngine(rs, noPom, &summary), 1);
  EXPECT_EQ(summary.pomCount, 0);

  // The run state is released whatever the outcome.
  EXPECT_EQ(rs.nodeCount(), 0);
  EXPECT_EQ(rs.pomCount(), 0);
  EXPECT_EQ(rs.nodeTable.capacity(), 0u);
  EXPECT_TRUE(rs.nodeIndexByKey.empty());
}

TEST(RunDriver, EveryRunStartsFromTheDefaults) {
  RunState rs;
  // The first run renames the entity types; "TF" and "Well" no longer exist.
  const std::string renamed =
      writeInput("renamed.ba",
                 "#network\n*Define PLANT #PRODUCER\n*PLANT P1\nPRODUCER X1\n#end\n"
                 "#control\n*period 20050101 20050110\n*monthly\n*precision 3\n#end\n");
  EXPECT_EQ(runEngine(rs, renamed, nullptr), 1);

  resetRunState(rs);
  EXPECT_EQ(rs.control.dailyMode, 1);
  EXPECT_EQ(rs.control.precision, 0);
  EXPECT_EQ(rs.control.firstDay, 32);
  EXPECT_EQ(rs.control.endDay, 0);
  EXPECT_EQ(rs.control.periodStart, 10000000000.0);
  EXPECT_EQ(rs.control.rangeMax, 10000000000.0);
  EXPECT_EQ(rs.control.firstWellType, 4);
  EXPECT_EQ(rs.currentPom, -1);
  EXPECT_EQ(lookupEntityType(rs, "TF"), 2);
  EXPECT_EQ(lookupEntityType(rs, "PLANT"), -1);

  const std::string valid = writeInput("valid-after-define.ba", kValidRun);
  EXPECT_EQ(runEngine(rs, valid, nullptr), 1);
}

TEST(RunDriver, PreparationFixesScaleDaysAndStart) {
  RunState rs;
  resetRunState(rs);
  rs.control.precision = 2;
  rs.control.endDay = 31;
  rs.control.fromPom = -1;
  prepareRun(rs);
  EXPECT_DOUBLE_EQ(rs.control.precisionScale, 100.0);
  EXPECT_EQ(rs.control.endDay, 32);  // days 1 to 31
  EXPECT_EQ(rs.control.fromPom, 0);

  // A 40-day period stays at 32: only 31 days are processed.
  resetRunState(rs);
  InputReader reader;
  reader.openText("#control\n*period 20050101 20050209\n#end\n");
  readSections(rs, reader);
  EXPECT_EQ(rs.control.endDay, 32);
  prepareRun(rs);
  EXPECT_EQ(rs.control.endDay, 32);
  EXPECT_DOUBLE_EQ(rs.control.precisionScale, 1.0);

  // An absurd precision still gives a finite scale.
  resetRunState(rs);
  rs.control.precision = 400;
  prepareRun(rs);
  EXPECT_TRUE(std::isfinite(rs.control.precisionScale));
}

TEST(RunDriver, WellTestsAreCarriedOverThePeriod) {
  RunState rs;
  resetRunState(rs);
  rs.control.firstDay = 1;
  rs.control.endDay = 9;  // the last day while loading: days 1 to 9
  const int tf = findNode(rs, "TF", "T1");
  const int well = findNode(rs, "Well", "W1");
  auto& days = *rs.nodeTable[well]->testDays;
  const float missing = static_cast<float>(MISSING_VALUE);
  days[0].values[kTestOil] = missing;  // an opening value that is missing counts as 0
  days[0].values[3] = 400;             // gor before the period
  days[3] = BaTestDay{1, 1, {}};
  days[3].values[kTestOil] = 100;
  days[3].values[3] = missing;
  days[5] = BaTestDay{1, 1, {}};
  days[5].values[kTestOil] = missing;
  days[5].values[3] = 450;
  days[7] = BaTestDay{0, 0, {}};  // failed its status check: not usable
  days[7].values[kTestOil] = 50;
  days[8] = BaTestDay{1, 1, {}};
  days[8].values[kTestOil] = 80;
  days[8].values[3] = 500;

  prepareRun(rs);

  const float oil[] = {0, 0, 100, 100, 100, 100, 100, 80, 80};  // days 1..9
  const float gor[] = {400, 400, 400, 400, 450, 450, 450, 500, 500};
  for (int d = 1; d <= 9; ++d) {
    EXPECT_EQ(days[d].values[kTestOil], oil[d - 1]) << "day " << d;
    EXPECT_EQ(days[d].values[3], gor[d - 1]) << "day " << d;
    EXPECT_EQ(days[d].valid, 1) << "day " << d;
  }
  EXPECT_EQ(days[0].values[kTestOil], missing);  // the opening slot itself is kept
  EXPECT_EQ(days[10].valid, 0);                  // outside the period
  EXPECT_EQ(rs.nodeTable[tf]->testDays, nullptr);
}

TEST(SharedLibrary, ExportsTheEntriesAndRunsAnInput) {
  void* module = dlopen(ZELBA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  using Start = int (*)(char*);
  using Hook = void (*)();
  auto start = reinterpret_cast<Start>(dlsym(module, "BaEngineStart"));
  auto end = reinterpret_cast<Hook>(dlsym(module, "BAEnd"));
  auto init = reinterpret_cast<Hook>(dlsym(module, "InitBaDLL"));
  ASSERT_NE(start, nullptr);
  ASSERT_NE(end, nullptr);
  ASSERT_NE(init, nullptr);

  init();
  std::string valid = writeInput("dl-valid.ba", kValidRun);
  std::string missing = testing::TempDir() + "dl-missing.ba";
  EXPECT_EQ(start(valid.data()), 1);
  EXPECT_EQ(start(missing.data()), -1);
  EXPECT_EQ(start(nullptr), -1);
  EXPECT_EQ(start(valid.data()), 1);  // a second run in the same process
  end();
  dlclose(module);
}

struct ProgramResult {
  int exitCode = -1;
  std::string output;  // stdout and stderr together
};

ProgramResult runProgram(const std::string& arguments) {
  ProgramResult result;
  const std::string command = std::string(BA_ENGINE_PATH) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[256];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
  const int status = pclose(pipe);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

TEST(BaEngineProgram, ExitCodesAndMessages) {
  const std::string valid = writeInput("cli-valid.ba", kValidRun);
  const std::string noPeriod = writeInput("cli-no-period.ba", "#network\n*TF T1\nWell W1\n#end\n");
  const std::string noNode =
      writeInput("cli-no-node.ba", "#control\n*period 20050101 20050102\n#end\n");

  ProgramResult r = runProgram(valid);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, "");

  r = runProgram(testing::TempDir() + "cli-missing.ba");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("cannot open"), std::string::npos) << r.output;

  r = runProgram(noPeriod);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("no period end"), std::string::npos) << r.output;

  r = runProgram(noNode);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("no node"), std::string::npos) << r.output;

  EXPECT_EQ(runProgram("").exitCode, 2);
  EXPECT_EQ(runProgram(valid + " " + valid).exitCode, 2);
  EXPECT_EQ(runProgram("--bogus " + valid).exitCode, 2);

  r = runProgram("--help");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.output.find("Usage: ba-engine INPUT"), std::string::npos);
  r = runProgram("--version");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.output.find("ba-engine"), std::string::npos);
}

}  // namespace
}  // namespace zelba
