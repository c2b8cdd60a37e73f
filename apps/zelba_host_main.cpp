// zelba-host: the host application over a production database. With a
// window it sets up, runs, reviews and writes back a month's allocation;
// `zelba-host run` does the same without one, for scheduled month-end runs.
//
//   zelba-host [DATABASE]
//   zelba-host run --db FILE [--setup NAME] [--from DATE --to DATE] [--strict] [--quiet]
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/app/main_window.h"
#include "host/host_database.h"
#include "host/run_store.h"
#include "host/sqlite_db.h"
#include "host/workflow.h"
#include "host/writeback.h"

namespace {

using namespace zelba::hostapp;

constexpr const char* kUsage =
    "Usage: zelba-host [DATABASE]\n"
    "       zelba-host run --db FILE [--setup NAME] [--from DATE --to DATE] [--strict] [--quiet]\n"
    "\n"
    "Without a command, opens the host application's window (on DATABASE when given).\n"
    "\n"
    "run allocates a period from the production database FILE without a window: it\n"
    "writes the engine input file from the setup record NAME (needed when the\n"
    "database keeps more than one), runs the allocation, writes the allocated\n"
    "volumes back when the record says so, records the run in the database and\n"
    "prints a summary. DATE is yyyymmdd or yyyy-mm-dd; without --from and --to the\n"
    "record's own period is run.\n"
    "\n"
    "  --strict  exit with status 4 when the run recorded something that needs\n"
    "            attention (a field factor out of range, an ignored input line, ...)\n"
    "  --quiet   print nothing but failures\n"
    "\n"
    "Exit status: 0 when the run succeeded and everything was written; 1 when it was\n"
    "refused or failed (nothing was written back); 2 for a usage error; 3 when it ran\n"
    "but an output file or the writeback could not be written (the database is as it\n"
    "was before the writeback); 4 with --strict when the run recorded something that\n"
    "needs attention.\n";

int usageError(const std::string& why) {
  std::fprintf(stderr, "zelba-host: %s\n", why.c_str());
  std::fputs("Try zelba-host --help\n", stderr);
  return kRunExitUsage;
}

// The record to run when --setup is not given: the database's only one.
int chooseRecord(const std::string& path, std::string& name) {
  zelba::sqlite::Database db;
  std::string reason = zelba::hostdb::openForReading(db, path, zelba::hostapp::kWritebackWaitMs);
  if (!reason.empty()) {
    if (reason == "database is locked") reason = zelba::hostapp::lockedDatabaseText();
    std::fprintf(stderr, "zelba-host: cannot use the database '%s': %s\n", path.c_str(),
                 reason.c_str());
    return kRunExitFailed;
  }
  const SetupRecordList list = listSetupRecords(db);
  if (!list.error.empty()) {
    std::fprintf(stderr, "zelba-host: cannot read the setup records of '%s': %s\n", path.c_str(),
                 list.error.c_str());
    return kRunExitFailed;
  }
  if (list.names.size() == 1) {
    name = list.names.front();
    return kRunExitSuccess;
  }
  if (list.names.empty()) {
    std::fprintf(stderr,
                 "zelba-host: '%s' keeps no setup record; make one in the window of zelba-host\n",
                 path.c_str());
    return kRunExitFailed;
  }
  std::string names;
  for (const std::string& n : list.names) names += "\n  " + n;
  std::fprintf(stderr, "zelba-host: '%s' keeps %zu setup records; name one with --setup:%s\n",
               path.c_str(), list.names.size(), names.c_str());
  return kRunExitUsage;
}

int runCommand(int argc, char** argv) {
  RunRequest request;
  bool quiet = false;
  std::string from, to;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    if (arg == "--db") {
      if (!value(request.databasePath)) return usageError("--db needs a file");
    } else if (arg == "--setup") {
      if (!value(request.setupName)) return usageError("--setup needs a record's name");
    } else if (arg == "--from") {
      if (!value(from)) return usageError("--from needs a date");
    } else if (arg == "--to") {
      if (!value(to)) return usageError("--to needs a date");
    } else if (arg == "--strict") {
      request.strict = true;
    } else if (arg == "--quiet") {
      quiet = true;
    } else {
      return usageError("unknown option '" + arg + "'");
    }
  }
  if (request.databasePath.empty()) return usageError("run needs --db FILE");
  if (from.empty() != to.empty()) return usageError("give both --from and --to, or neither");
  if (!from.empty()) {
    request.firstDate = parseDateArgument(from);
    request.lastDate = parseDateArgument(to);
    if (request.firstDate == 0 || request.lastDate == 0) {
      return usageError("a date is written yyyymmdd or yyyy-mm-dd");
    }
  }
  if (request.setupName.empty()) {
    const int rc = chooseRecord(request.databasePath, request.setupName);
    if (rc != kRunExitSuccess) return rc;
  }

  const RunOutcome out = runAllocation(request);
  const bool failed = out.exitCode != kRunExitSuccess && out.exitCode != kRunExitAttention;
  std::FILE* to_ = failed ? stderr : stdout;
  if (!quiet || failed) {
    std::fprintf(to_, "zelba-host: %s\n", out.message.c_str());
    if (!out.unknownVariables.empty()) {
      std::fprintf(to_, "  the database has no variable named:\n");
      for (const std::string& v : out.unknownVariables) std::fprintf(to_, "    %s\n", v.c_str());
    }
  }
  if (!quiet && out.runId > 0) {
    std::fprintf(to_, "  run %lld, %d to %d, status %s\n", static_cast<long long>(out.runId),
                 out.firstDate, out.lastDate, out.status.c_str());
    if (!out.reportPath.empty()) std::fprintf(to_, "  report:    %s\n", out.reportPath.c_str());
    if (!out.loadPath.empty()) std::fprintf(to_, "  load file: %s\n", out.loadPath.c_str());
    for (const std::string& line : out.summary) std::fprintf(to_, "  %s\n", line.c_str());
  }
  std::fflush(stdout);
  return out.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return kRunExitSuccess;
  }
  if (argc >= 2 && std::strcmp(argv[1], "run") == 0) return runCommand(argc, argv);
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) return usageError("unknown arguments");
  return runHostWindow(argc, argv, argc == 2 ? argv[1] : "");
}
