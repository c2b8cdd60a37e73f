// Output files that are complete or not there at all: a failed write leaves
// no truncated file and an earlier file as it was, and every such output is
// named with its reason. Also what the run refuses to write (the input file,
// one file for two outputs) and the bounds of its diagnostics.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "engine/driver.h"

namespace zelba {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string("(none)");
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A fresh, empty directory of this test's.
std::string freshDir(const std::string& name) {
  const std::string dir = testing::TempDir() + "outfiles-" + name;
  std::system(("rm -rf '" + dir + "'").c_str());
  mkdir(dir.c_str(), 0755);
  return dir;
}

std::set<std::string> entriesOf(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.insert(name);
    }
    closedir(d);
  }
  return names;
}

// One point of measurement and two wells over two days; the outputs named
// by `control` lines.
std::string runInput(const std::string& control) {
  return "#control\n" + control +
         "#end\n"
         "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\n#end\n"
         "#volume\n*TF T1\n*date oil gas\n20050101 100 50\n20050102 110 55\n#end\n"
         "#welltest\n*date oil gas\n*Well W1\n20041215 60 30\n*Well W2\n20041215 40 20\n#end\n";
}

// Runs ba-engine with `arguments` in `dir`; its exit code and its stdout and
// stderr together.
std::pair<int, std::string> runProgram(const std::string& dir, const std::string& arguments) {
  std::string output;
  const std::string command =
      "cd '" + dir + "' && " + std::string(BA_ENGINE_PATH) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {-1, output};
  char buffer[256];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

enum class Step { kWrite, kFlush, kClose };

// The C library's file operations, but the one step fails with `error` while
// the run writes its file number `file` (0 first). The outputs are written
// one after the other, so the files closed so far tell which one is open.
class FailingOperations : public FileOperations {
 public:
  FailingOperations(Step step, int file, int error) : step_(step), file_(file), error_(error) {}
  int write(std::FILE* f, const char* data, size_t size) override {
    return fails(Step::kWrite) ? error_ : FileOperations::write(f, data, size);
  }
  int flush(std::FILE* f) override {
    return fails(Step::kFlush) ? error_ : FileOperations::flush(f);
  }
  int close(std::FILE* f) override {
    const bool fail = fails(Step::kClose);
    ++closed_;
    const int result = FileOperations::close(f);  // the file is closed either way
    return fail ? error_ : result;
  }

 private:
  bool fails(Step step) const { return step == step_ && closed_ == file_; }
  Step step_;
  int file_;
  int error_;
  int closed_ = 0;
};

TEST(OutputFiles, AFailedWriteFlushOrCloseLeavesTheEarlierFileAndNoTemporary) {
  const std::string dir = freshDir("seam");
  const std::string input = dir + "/in.ba";
  // The run writes the report, then the load file, then the totals table.
  const std::vector<std::string> outputs = {dir + "/r.prn", dir + "/l.txt", dir + "/t.txt"};
  writeFile(input,
            runInput("*report " + outputs[0] + " " + outputs[2] + "\n*load " + outputs[1] + "\n"));
  const std::set<std::string> expectedEntries = {"in.ba", "r.prn", "l.txt", "t.txt"};
  for (const Step step : {Step::kWrite, Step::kFlush, Step::kClose}) {
    for (int file = 0; file < 3; ++file) {
      const std::string what =
          "step " + std::to_string(static_cast<int>(step)) + " of file " + std::to_string(file);
      for (const std::string& path : outputs) writeFile(path, "last month\n");
      FailingOperations operations(step, file, file == 1 ? EIO : ENOSPC);
      DiskFiles disk(&operations);
      RunOptions options;
      options.files = &disk;
      RunState rs;
      RunSummary summary;
      EXPECT_EQ(runEngine(rs, input, &summary, options), 1) << what;  // the status stands
      ASSERT_EQ(summary.failedOutputs.size(), 1u) << what;
      EXPECT_EQ(summary.failedOutputs[0].path, outputs[file]) << what;
      EXPECT_EQ(summary.failedOutputs[0].reason,
                file == 1 ? "Input/output error" : "No space left on device")
          << what;
      EXPECT_FALSE(summary.failedOutputs[0].refused);
      for (int other = 0; other < 3; ++other) {
        const std::string text = readFile(outputs[other]);
        if (other == file) {
          EXPECT_EQ(text, "last month\n") << what;
        } else {
          EXPECT_NE(text, "last month\n") << what;
          EXPECT_GT(text.size(), 20u) << what;
        }
      }
      EXPECT_EQ(entriesOf(dir), expectedEntries) << what;
    }
  }
}

TEST(OutputFiles, DevicesLinksAndReadOnlyDirectories) {
  const std::string dir = freshDir("kinds");
  // A full device: the run goes on, the output is named with the reason and
  // the exit status is 3; the device is still a device.
  struct stat st {};
  if (stat("/dev/full", &st) == 0) {
    writeFile(dir + "/full.ba", runInput("*load /dev/full\n*report report.prn\n"));
    const auto [code, output] = runProgram(dir, "full.ba");
    EXPECT_EQ(code, 3) << output;
    EXPECT_NE(output.find("could not write the output file '/dev/full': No space left on device"),
              std::string::npos)
        << output;
    EXPECT_GT(readFile(dir + "/report.prn").size(), 100u);  // what could be written was
    ASSERT_EQ(stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
  }
  // /dev/null takes every output of a run and stays a device.
  writeFile(dir + "/null.ba", runInput("*report /dev/null /dev/null\n*load /dev/null\n"));
  EXPECT_EQ(runProgram(dir, "null.ba"), std::pair(0, std::string()));
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  // A link as an output: the file it points to is replaced and keeps its
  // permissions; the link stays a link.
  mkdir((dir + "/real").c_str(), 0755);
  const std::string target = dir + "/real/load.txt";
  writeFile(target, "last month\n");
  chmod(target.c_str(), 0640);
  ASSERT_EQ(symlink("real/load.txt", (dir + "/load-link.txt").c_str()), 0);
  writeFile(dir + "/link.ba", runInput("*load load-link.txt\n"));
  EXPECT_EQ(runProgram(dir, "link.ba").first, 0);
  struct stat link {};
  ASSERT_EQ(lstat((dir + "/load-link.txt").c_str(), &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode));
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_NE(readFile(target).find("W1"), std::string::npos);
  EXPECT_EQ(entriesOf(dir + "/real"), std::set<std::string>{"load.txt"});

  // A writable file in a directory that takes no new file is written in
  // place. (Permissions do not bind root, who gets the temporary file.)
  const std::string locked = dir + "/locked";
  mkdir(locked.c_str(), 0755);
  writeFile(locked + "/load.txt", "last month\n");
  chmod((locked + "/load.txt").c_str(), 0666);
  struct stat before {};
  stat((locked + "/load.txt").c_str(), &before);
  chmod(locked.c_str(), 0555);
  writeFile(dir + "/locked.ba", runInput("*load locked/load.txt\n"));
  EXPECT_EQ(runProgram(dir, "locked.ba").first, 0);
  EXPECT_NE(readFile(locked + "/load.txt").find("W1"), std::string::npos);
  if (geteuid() != 0) {
    ASSERT_EQ(stat((locked + "/load.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_ino, before.st_ino);
  }
  chmod(locked.c_str(), 0755);

  // A file that may not be written is not replaced either (root may).
  if (geteuid() != 0) {
    writeFile(dir + "/kept.txt", "last month\n");
    chmod((dir + "/kept.txt").c_str(), 0444);
    writeFile(dir + "/kept.ba", runInput("*load kept.txt\n"));
    const auto [code, output] = runProgram(dir, "kept.ba");
    EXPECT_EQ(code, 3);
    EXPECT_NE(output.find("'kept.txt': Permission denied"), std::string::npos) << output;
    EXPECT_EQ(readFile(dir + "/kept.txt"), "last month\n");
  }
}

TEST(OutputFiles, TheInputFileAndOneFileForTwoOutputsAreNotWritten) {
  const std::string dir = freshDir("refused");
  // The load file names the input (by another spelling of its path); the
  // totals table names the report.
  const std::string text = runInput("*report out.prn ./out.prn\n*load ./in.ba\n");
  writeFile(dir + "/in.ba", text);
  const auto [code, output] = runProgram(dir, "--diagnostics d.txt in.ba");
  EXPECT_EQ(code, 0) << output;
  EXPECT_EQ(readFile(dir + "/in.ba"), text);
  EXPECT_NE(output.find("warning: the output file './in.ba' names the input file; it was not "
                        "written"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("warning: the output file './out.prn' is the same file as an earlier "
                        "output of the run; it was not written"),
            std::string::npos)
      << output;
  // The report is whole: its own text, not the totals table over it.
  EXPECT_NE(readFile(dir + "/out.prn").find("\f"), std::string::npos);
  const std::string diagnostics = readFile(dir + "/d.txt");
  EXPECT_NE(diagnostics.find("Output files not written: 2"), std::string::npos) << diagnostics;
  EXPECT_NE(diagnostics.find("#control"), std::string::npos);
}

TEST(OutputFiles, OwnFilesOfTheProgramReportTheirFailure) {
  const std::string dir = freshDir("own");
  writeFile(dir + "/in.ba", runInput(""));
  struct stat st {};
  if (stat("/dev/full", &st) == 0) {
    const auto [code, output] = runProgram(dir, "--json /dev/full in.ba");
    EXPECT_EQ(code, 3);
    EXPECT_NE(output.find("could not write the JSON file '/dev/full': No space left on device"),
              std::string::npos)
        << output;
  }
  const auto [code, output] = runProgram(dir, "--diagnostics no-such-dir/d.txt in.ba");
  EXPECT_EQ(code, 3);
  EXPECT_NE(output.find("could not write the diagnostics file 'no-such-dir/d.txt': No such file "
                        "or directory"),
            std::string::npos)
      << output;
}

TEST(Diagnostics, JsonStaysValidWithBytesThatAreNotUtf8) {
  const std::string dir = freshDir("latin1");
  // "MÜLLER-1" written in Latin-1: the byte 0xDC alone is not UTF-8.
  writeFile(dir + "/in.ba",
            "#network\n*TF T1\nWell M\xDCLLER-1\nWell W2\n#end\n"
            "#volume\n*TF T1\n*date oil gas\n20050101 100 50\n20050102 110 55\n#end\n");
  ASSERT_EQ(runProgram(dir, "--json r.json in.ba").first, 0);
  const nlohmann::json results = nlohmann::json::parse(readFile(dir + "/r.json"), nullptr, false);
  ASSERT_FALSE(results.is_discarded());
  std::set<std::string> names;
  for (const auto& well : results["wells"]) names.insert(well["name"].get<std::string>());
  EXPECT_EQ(names, (std::set<std::string>{"M\xEF\xBF\xBDLLER-1", "W2"}));  // U+FFFD
}

// The reasons of the odd-date records of a run on `text`.
std::vector<std::string> oddDates(const std::string& text) {
  std::vector<std::string> reasons;
  RunOptions options;
  options.inspect = [&](const RunState& rs) {
    for (const Diagnostic& d : rs.diagnostics) {
      if (d.kind == DiagnosticKind::kOddDate) reasons.push_back(d.reason);
    }
  };
  RunState rs;
  runEngineOnText(rs, text, nullptr, options);
  return reasons;
}

TEST(Diagnostics, DatesOffTheCalendarAndPeriodsCutOrReversed) {
  const std::string network = "#network\n*TF T1\nWell W1\n#end\n";
  using Reasons = std::vector<std::string>;
  // 2004 is a leap year, 2100 is not (nor is 20050229 a date).
  EXPECT_EQ(oddDates(network + "#control\n*period 20040201 20040229\n#end\n"), Reasons{});
  EXPECT_EQ(oddDates(network + "#control\n*period 21000201 21000229\n#end\n"),
            Reasons{"21000229 is not a calendar date; the run counts it on from its month"});
  // 20050100 counts as 31 December 2004: to 31 January is 32 days.
  EXPECT_EQ(oddDates(network + "#control\n*period 20050100 20050131\n#end\n"),
            (Reasons{"20050100 is not a calendar date; the run counts it on from its month",
                     "the period of 32 days is cut to 31 days: the run ends on 20050130"}));
  // Reversed: 20050110 to 20050101 runs 1 to 10 January.
  EXPECT_EQ(oddDates(network + "#control\n*period 20050110 20050101\n#end\n"),
            Reasons{"the period ends on 20050101, before its start 20050110: day 1 is the "
                    "earlier date"});
  // 1 January to 15 February is 46 days; the run ends on 31 January.
  EXPECT_EQ(oddDates(network + "#control\n*period 20050101 20050215\n#end\n"),
            Reasons{"the period of 46 days is cut to 31 days: the run ends on 20050131"});
  // A dated volume line.
  EXPECT_EQ(oddDates(network + "#control\n*period 20050201 20050228\n#end\n"
                               "#volume\n*TF T1\n*date oil\n20050229 10\n#end\n"),
            Reasons{"20050229 is not a calendar date; the run counts it on from its month"});
}

TEST(Diagnostics, MillionsOfUnusableLinesAreCountedNotKept) {
  std::string text = "#control\n*period 20050101 20050102\n#end\n#network\n*TF T1\nWell W1\n";
  constexpr long kJunk = 100000;
  for (long i = 0; i < kJunk; ++i) text += "*NoSuchKeyword and some words that nobody reads\n";
  text += "#end\n";
  long kept = -1;
  long counted = -1;
  RunOptions options;
  options.inspect = [&](const RunState& rs) {
    kept = static_cast<long>(rs.diagnostics.size());
    counted = rs.diagnostics.count(DiagnosticKind::kIgnoredLine);
  };
  RunState rs;
  runEngineOnText(rs, text, nullptr, options);
  EXPECT_EQ(kept, Diagnostics::kDetailedPerKind);
  EXPECT_EQ(counted, kJunk);

  Diagnostics diagnostics;
  Diagnostic record;
  record.kind = DiagnosticKind::kNoWellTest;
  for (int i = 0; i < 1500; ++i) diagnostics.add(record);
  record.kind = DiagnosticKind::kOddDate;
  diagnostics.add(record);
  EXPECT_EQ(diagnostics.size(), 1001u);
  EXPECT_EQ(diagnostics.total(), 1501);
  EXPECT_EQ(diagnostics.records().back().kind, DiagnosticKind::kOddDate);
}

}  // namespace
}  // namespace zelba
