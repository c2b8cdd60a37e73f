// The host application's own records in the production database: the named
// setup records (SETUP_RECORDS) and the audit of every run (RUNS), so that a
// figure written back can be traced months later to the record, the input
// file and the engine that made it.
//
// Conventions: every function works on an open database of this host's
// schema version and never throws; a text result is "" on success and the
// reason otherwise; writes of more than one row are one transaction.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/sqlite_db.h"
#include "setup/ba_setup.h"

namespace zelba::hostapp {

// A record with no variable bound and every other field zero: what a new
// setup starts from.
BA_SETUP emptySetupRecord();

struct SetupRecordList {
  std::string error;
  std::vector<std::string> names;  // byte-wise order
};
SetupRecordList listSetupRecords(sqlite::Database& db);

struct LoadedSetupRecord {
  std::string error;  // "no setup record is named 'X'", or a database failure
  BA_SETUP record{};
};
// A stored record shorter than BA_SETUP is refused; bytes after it are not read.
LoadedSetupRecord loadSetupRecord(sqlite::Database& db, const std::string& name);

// Stores the record under `name`, in place of one of that name. A name that
// is empty, has a line break or is longer than 80 bytes is refused.
std::string saveSetupRecord(sqlite::Database& db, const std::string& name, const BA_SETUP& record);
// Refused when `to` is taken or invalid, or `from` does not exist. A run
// keeps the name its record had when it ran.
std::string renameSetupRecord(sqlite::Database& db, const std::string& from, const std::string& to);
std::string deleteSetupRecord(sqlite::Database& db, const std::string& name);

// A run's status in the audit.
constexpr const char* kRunRunning = "running";      // begun, not finished (or the host died)
constexpr const char* kRunSucceeded = "succeeded";  // engine status 1, writeback (if asked) done
constexpr const char* kRunFailed = "failed";        // engine status -1, or an output not written
constexpr const char* kRunCancelled = "cancelled";  // stopped by the user before its writeback

struct RunRecord {
  std::int64_t id = 0;
  std::string started;   // UTC, "2026-12-07 20:15:03"
  std::string finished;  // "" while running
  std::string setupName;
  int firstDate = 0;
  int lastDate = 0;
  std::string engineVersion;
  std::string status;
  bool hasEngineStatus = false;
  int engineStatus = 0;  // BaEngineStart's return value
  std::string summary;   // one line per item: what the run recorded and did
  int rowsWritten = 0;
  // Filled by loadRun only: the exact texts.
  std::string inputText;
  std::string reportText;   // "" when the run wrote no report
  std::string loadText;     // "" when it wrote no load file
  std::string setupRecord;  // the record's bytes as it was used
};

// Opens the audit row of a run (status running) and returns its id.
struct BegunRun {
  std::string error;
  std::int64_t id = 0;
};
BegunRun beginRun(sqlite::Database& db, const std::string& setupName, const BA_SETUP& record,
                  int firstDate, int lastDate, const std::string& inputText,
                  const std::string& engineVersion);

struct RunFinish {
  std::string status = kRunSucceeded;
  bool hasEngineStatus = false;
  int engineStatus = 0;
  std::string summary;
  std::string reportText;
  std::string loadText;
  int rowsWritten = 0;
};
// Closes the audit row: its end time and everything the run gave.
std::string finishRun(sqlite::Database& db, std::int64_t id, const RunFinish& finish);

struct RunList {
  std::string error;
  std::vector<RunRecord> runs;  // newest first, without the texts
};
RunList listRuns(sqlite::Database& db);

struct LoadedRun {
  std::string error;
  RunRecord run;
};
LoadedRun loadRun(sqlite::Database& db, std::int64_t id);

}  // namespace zelba::hostapp
