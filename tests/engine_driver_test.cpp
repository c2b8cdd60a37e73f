// The run driver, the exported C entries through the shared library, and the
// ba-engine program.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/ba_engine.h"
#include "engine/driver.h"

namespace zelba {
namespace {

std::string writeInput(const std::string& name, const std::string& text) {
  const std::string path = testing::TempDir() + name;
  std::ofstream(path) << text;
  return path;
}

// The period Jan 1-2 comes from the volume lines; every volume is allocated.
const char* kValidRun =
    "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\n#end\n"
    "#volume\n*TF T1\n*date oil gas\n20050101 100 50\n20050102 110 55\n#end\n"
    "#welltest\n*date oil gas\n*Well W1\n20041215 60 30\n*Well W2\n20041215 40 20\n#end\n";

TEST(RunDriver, RunWithoutPointsSucceedsAndStateIsReleased) {
  RunState rs;
  RunSummary summary;
  const std::string noPom = writeInput(
      "no-pom.ba", "#control\n*period 20050101 20050131\n#end\n#volume\n*Well W1\n#end\n");
  EXPECT_EQ(runEngine(rs, noPom, &summary), 1);
  EXPECT_EQ(std::tuple(summary.nodeCount, summary.pomCount), std::tuple(1, 0));
  EXPECT_EQ(std::tuple(rs.nodeTable.capacity(), rs.pomCount()), std::tuple(0u, 0));
  EXPECT_TRUE(rs.nodeIndexByKey.empty());
}

TEST(RunDriver, EveryRunStartsFromTheDefaults) {
  RunState rs;
  // The first run renames the entity types, so "TF" and "Well" would no longer exist.
  const std::string renamed =
      writeInput("renamed.ba",
                 "#network\n*Define PLANT #PRODUCER\n*PLANT P1\nPRODUCER X1\n#end\n"
                 "#control\n*period 20050101 20050110\n*monthly\n*precision 3\n#end\n");
  EXPECT_EQ(runEngine(rs, renamed, nullptr), 1);
  EXPECT_EQ(runEngine(rs, writeInput("valid-after-define.ba", kValidRun), nullptr), 1);
  resetRunState(rs);
  const RunControl& rc = rs.control;
  EXPECT_EQ(std::tuple(rc.dailyMode, rc.precision, rc.periodStart, rc.firstDay, rc.endDay),
            std::tuple(1, 0, 10000000000.0, 32, 0));
}

TEST(RunDriver, PreparationFixesScaleDaysAndStart) {
  // {precision, endDay, fromPom} before and {scale, endDay, fromPom} after: the last day
  // index becomes one past it, but a 40-day period stays at 32 (days 1 to 31); an
  // unresolved starting point is the first point of measurement.
  const std::tuple<int, int, int, double, int, int> rows[] = {{2, 31, -1, 100.0, 32, 0},
                                                              {0, 32, 3, 1.0, 32, 3}};
  for (const auto& [precision, endDay, fromPom, scale, endAfter, fromAfter] : rows) {
    RunState rs;
    resetRunState(rs);
    rs.control.precision = precision;
    rs.control.endDay = endDay;
    rs.control.fromPom = fromPom;
    prepareRun(rs);
    EXPECT_EQ(std::tuple(rs.control.precisionScale, rs.control.endDay, rs.control.fromPom),
              std::tuple(scale, endAfter, fromAfter));
  }
  // An absurd precision still gives a finite scale.
  RunState rs;
  resetRunState(rs);
  rs.control.precision = 400;
  prepareRun(rs);
  EXPECT_TRUE(std::isfinite(rs.control.precisionScale));
}

TEST(SharedLibrary, ExportsTheEntriesAndRunsAnInput) {
  void* module = dlopen(ZELBA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  auto start = reinterpret_cast<int (*)(char*)>(dlsym(module, "BaEngineStart"));
  auto end = reinterpret_cast<void (*)()>(dlsym(module, "BAEnd"));
  auto init = reinterpret_cast<void (*)()>(dlsym(module, "InitBaDLL"));
  ASSERT_TRUE(start && end && init);
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

// A host that calls the entry from two threads at once: the second run waits
// for the first, and both allocate the example as a run alone does.
TEST(SharedLibrary, RunsFromTwoThreadsDoNotOverlap) {
  void* module = dlopen(ZELBA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  auto start = reinterpret_cast<int (*)(char*)>(dlsym(module, "BaEngineStart"));
  ASSERT_NE(start, nullptr);
  std::string example = ZELBA_EXAMPLES_DIR "/north_field.ba";
  const std::string dir = testing::TempDir() + "two-threads";
  mkdir(dir.c_str(), 0755);
  char* before = getcwd(nullptr, 0);
  ASSERT_EQ(chdir(dir.c_str()), 0);  // the example writes its outputs here
  std::atomic<int> succeeded{0};
  auto runs = [&] {
    for (int i = 0; i < 3; ++i) succeeded += start(example.data()) == 1;
  };
  std::thread first(runs);
  std::thread second(runs);
  first.join();
  second.join();
  EXPECT_EQ(succeeded, 6);
  if (before != nullptr && chdir(before) != 0) ADD_FAILURE() << "cannot return";
  free(before);
  dlclose(module);
}

// A program that shows progress is told each phase: the reading, each
// measured fluid point by point, each output as it is written.
TEST(RunDriver, ProgressIsToldEachPhase) {
  const std::string input = writeInput(
      "progress.ba", std::string(kValidRun) + "#control\n*load load.txt\n*report r.prn\n#end\n");
  std::vector<std::string> phases;
  MemoryFiles files;
  RunOptions options;
  options.files = &files;
  options.progress = [&](std::string_view phase, int step, int steps) {
    phases.push_back(std::string(phase) + " " + std::to_string(step) + "/" + std::to_string(steps));
  };
  RunState rs;
  ASSERT_EQ(runEngine(rs, input, nullptr, options), 1);
  EXPECT_EQ(phases, (std::vector<std::string>{"reading " + input + " 0/0", "allocating Oil 1/1",
                                              "allocating Gas 1/1", "writing r.prn 0/0",
                                              "writing load.txt 0/0"}));
  EXPECT_FALSE(rs.progress);  // the option does not outlive the run
}

// Runs ba-engine; its exit code and its stdout and stderr together.
std::pair<int, std::string> runProgram(const std::string& arguments) {
  std::string output;
  FILE* pipe = popen((std::string(BA_ENGINE_PATH) + " " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return {-1, output};
  char buffer[256];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(BaEngineProgram, ExitCodesAndMessages) {
  const std::string valid = writeInput("cli-valid.ba", kValidRun);
  EXPECT_EQ(runProgram(valid), std::pair(0, std::string()));
  // Failed runs (1) say why; usage errors give 2.
  const std::tuple<std::string, int, const char*> rows[] = {
      {testing::TempDir() + "cli-missing.ba", 1, "cannot open"},
      {testing::TempDir(), 1, "cannot open"},  // a directory opens but cannot be read
      // An output that cannot be created is skipped: the run goes on, the
      // output is named with the system's reason, and the exit status is 3.
      {writeInput("cli-no-dir.ba",
                  std::string(kValidRun) + "#control\n*load /nonexistent-dir/load.txt\n#end\n"),
       3, "could not write the output file '/nonexistent-dir/load.txt': No such file or directory"},
      {writeInput("cli-no-period.ba", "#network\n*TF T1\nWell W1\n#end\n"), 1, "no period end"},
      {writeInput("cli-no-node.ba", "#control\n*period 20050101 20050102\n#end\n"), 1, "no node"},
      {"", 2, ""},
      {valid + " " + valid, 2, ""},
      {"--bogus " + valid, 2, ""},
      {"--help", 0, "Usage: ba-engine INPUT"},
      {"--version", 0, "ba-engine"}};
  for (const auto& [arguments, code, message] : rows) {
    const auto [exitCode, output] = runProgram(arguments);
    EXPECT_EQ(exitCode, code) << arguments;
    EXPECT_NE(output.find(message), std::string::npos) << arguments << ": " << output;
  }
}

}  // namespace
}  // namespace zelba
