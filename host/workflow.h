// One month's allocation from the production database, end to end, as the
// host application runs it from its window and from `zelba-host run`:
//
//   1. the setup record is read from the database and the input file is
//      written from it (host/input_writer.h) for the period;
//   2. the run is recorded in RUNS (time, record, the exact input text,
//      the engine's version), status "running";
//   3. the module runs it (BaEngineStart, reached through the module's
//      exported entries only);
//   4. the run is reviewed: the engine program checks the same input again
//      without writing any file (`ba-engine --check --json`), which gives the
//      diagnostics table and the complete results for the charts; the
//      module's entries return only a status;
//   5. when the record says "Writeback results", the load file is written
//      back into the database (host/writeback.h), its rows naming the run;
//   6. the run's audit row is closed with its status and summary, the
//      report and the load file.
// A cancel asked for takes effect between these steps (the engine itself
// cannot be interrupted): a run cancelled after the engine writes nothing
// back. Only one run goes at a time in a process.
//
// File names in the record that are not absolute are taken from the
// database's folder.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "setup/ba_setup.h"

namespace zelba::hostapp {

// Exit statuses of a run, as ba-engine's.
constexpr int kRunExitSuccess = 0;       // the run succeeded and everything was written
constexpr int kRunExitFailed = 1;        // refused or failed: nothing was written back
constexpr int kRunExitUsage = 2;         // the command line is wrong
constexpr int kRunExitOutputFailed = 3;  // an output or the writeback could not be written
constexpr int kRunExitAttention = 4;     // --strict: the run recorded something to look at

// The module's exported entries, loaded once per process.
struct ModuleEntries {
  std::string error;  // "" when loaded
  void (*initBaDLL)() = nullptr;
  int (*baEngineStart)(char*) = nullptr;
  int (*baStart)(BA_SETUP*) = nullptr;
  void (*baEnd)() = nullptr;
};

// Loads libZelBA.so from `directory` (the first call decides; later calls
// return the same entries) and calls its InitBaDLL once.
const ModuleEntries& loadModule(const std::string& directory);

// The folder of the running program (where the module and ba-engine are).
std::string programDirectory();

struct RunRequest {
  std::string databasePath;
  std::string setupName;
  int firstDate = 0;  // 0: the record's start date
  int lastDate = 0;   // 0: the record's end date
  bool strict = false;
  std::string programDir;  // where libZelBA.so and ba-engine are; "" for programDirectory()
};

struct RunOutcome {
  int exitCode = kRunExitFailed;
  std::string status;   // the audit status (run_store.h), "" when no run was recorded
  std::string message;  // what happened, in plain words, one line
  std::vector<std::string> unknownVariables;  // bindings the database does not have
  std::vector<std::string> notes;             // data the input file left out
  std::int64_t runId = 0;                     // 0 when no run was recorded
  int firstDate = 0;
  int lastDate = 0;
  bool engineRan = false;
  int engineStatus = 0;
  std::string inputPath;             // where the input file was written ("" when kept in no file)
  std::string reportPath;            // the text report, "" when the record writes none
  std::string loadPath;              // the load file, "" when none
  std::string diagnostics;           // the diagnostics table of the review
  std::string resultsJson;           // the complete results of the review, "" when none
  std::vector<std::string> summary;  // the audit summary, a line each
  int rowsWritten = 0;
  bool cancelled = false;
};

struct RunHooks {
  // Called from the running thread: percent done and the step under way.
  std::function<void(int percent, const std::string& step)> progress;
  const std::atomic<bool>* cancel = nullptr;  // true: stop at the next step
};

RunOutcome runAllocation(const RunRequest& request, const RunHooks& hooks = {});

// The record with each file name that is not absolute taken from `folder`;
// a name that would no longer fit its field is refused with the reason.
struct ResolvedRecord {
  std::string error;
  BA_SETUP record{};
};
ResolvedRecord resolvePaths(const BA_SETUP& record, const std::string& folder);

// What a run says of a database another program keeps locked after the
// run has waited kWritebackWaitMs for it.
std::string lockedDatabaseText();

// A date written yyyymmdd or yyyy-mm-dd as the number yyyymmdd; 0 when it
// is neither.
int parseDateArgument(const std::string& text);

}  // namespace zelba::hostapp
