// The host application's workflow without a window: setup records and the
// audit of runs in the database, a month of the demo field run and written
// back (by the library and by `zelba-host run`), and the runs it refuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "host/host_database.h"
#include "host/input_writer.h"
#include "host/run_store.h"
#include "host/sqlite_db.h"
#include "host/workflow.h"
#include "host/writeback.h"
#include "setup/record_text.h"
#include "temp_dir.h"

namespace {

using namespace zelba::hostapp;

constexpr const char* kDemoRecord = "North month";

std::string buildDir() {
  const std::string engine = BA_ENGINE_PATH;
  return engine.substr(0, engine.find_last_of('/'));
}

std::string makeDemo(const TempDir& dir) {
  const std::string path = dir.file("demo.db");
  const std::string command =
      std::string("'") + ZELBA_HOSTDB_PATH + "' demo '" + path + "' > /dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return path;
}

RunOutcome runDemo(const std::string& path, const std::string& record = kDemoRecord, int first = 0,
                   int last = 0) {
  RunRequest request;
  request.databasePath = path;
  request.setupName = record;
  request.firstDate = first;
  request.lastDate = last;
  request.programDir = buildDir();
  return runAllocation(request);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The exit status and the output of a command.
int shell(const std::string& command, std::string* output = nullptr) {
  std::string text;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  const int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int64_t count(zelba::sqlite::Database& db, const char* sql) {
  zelba::sqlite::Statement st(db, sql);
  return st.step() ? st.columnInt(0) : -1;
}

template <size_t N>
void setText(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::strncpy(field, text.c_str(), N - 1);
}

}  // namespace

TEST(HostRunStore, SetupRecordsAndTheUpgradeOfAnEarlierDatabase) {
  TempDir dir("zelba-run-store");
  ASSERT_TRUE(dir.ok());
  zelba::sqlite::Database db;
  ASSERT_EQ(db.open(dir.file("records.db"), false), "");
  ASSERT_EQ(zelba::hostdb::createSchema(db), "");

  BA_SETUP north = emptySetupRecord();
  setText(north.pomCategory, "SEPARATOR");
  north.pomShrinkage = 0.985f;
  EXPECT_EQ(saveSetupRecord(db, "North", north), "");
  EXPECT_EQ(saveSetupRecord(db, "East", emptySetupRecord()), "");
  north.defaultHours = 20;
  EXPECT_EQ(saveSetupRecord(db, "North", north), "");  // replaces, never duplicates
  EXPECT_EQ(listSetupRecords(db).names, (std::vector<std::string>{"East", "North"}));
  LoadedSetupRecord loaded = loadSetupRecord(db, "North");
  ASSERT_EQ(loaded.error, "");
  EXPECT_EQ(std::memcmp(&loaded.record, &north, sizeof north), 0);

  EXPECT_NE(saveSetupRecord(db, "", north), "");
  EXPECT_NE(saveSetupRecord(db, "two\nlines", north), "");
  EXPECT_NE(renameSetupRecord(db, "East", "North").find("already named"), std::string::npos);
  EXPECT_EQ(renameSetupRecord(db, "East", "East field"), "");
  EXPECT_NE(deleteSetupRecord(db, "East").find("no setup record"), std::string::npos);
  EXPECT_EQ(deleteSetupRecord(db, "East field"), "");
  EXPECT_NE(loadSetupRecord(db, "East field").error.find("no setup record"), std::string::npos);
  // A blob cut short is refused, not read past its end.
  ASSERT_EQ(db.exec("UPDATE SETUP_RECORDS SET RECORD = X'0102' WHERE NAME = 'North'"), "");
  EXPECT_NE(loadSetupRecord(db, "North").error.find("damaged"), std::string::npos);

  // A database of the first version: no records, no runs, no RUN_ID.
  zelba::sqlite::Database old;
  const std::string oldPath = dir.file("old.db");
  ASSERT_EQ(old.open(oldPath, false), "");
  ASSERT_EQ(zelba::hostdb::createSchema(old), "");
  ASSERT_EQ(
      old.exec("DROP TABLE SETUP_RECORDS; DROP TABLE RUNS;"
               " ALTER TABLE ALLOCATED DROP COLUMN RUN_ID;"
               " ALTER TABLE HOURS DROP COLUMN RUN_ID; ALTER TABLE WELLTEST DROP COLUMN RUN_ID;"
               " INSERT INTO WELLS (NAME) VALUES ('W1');"
               " INSERT INTO ALLOCATED (WELL_ID, DATE, OIL) VALUES (1, 20050101, 12.5);"
               " PRAGMA user_version = 1;"),
      "");
  zelba::sqlite::Database reader;
  EXPECT_NE(zelba::hostdb::openForReading(reader, oldPath).find("zelba-hostdb upgrade"),
            std::string::npos);
  const zelba::hostdb::UpgradeResult upgrade = zelba::hostdb::upgradeSchema(old);
  EXPECT_EQ(upgrade.error, "");
  EXPECT_TRUE(upgrade.upgraded);
  EXPECT_EQ(zelba::hostdb::openForReading(reader, oldPath), "");
  EXPECT_EQ(count(old, "SELECT COUNT(*) FROM ALLOCATED WHERE OIL = 12.5 AND RUN_ID IS NULL"), 1);
  EXPECT_FALSE(zelba::hostdb::upgradeSchema(old).upgraded);  // once is enough
  ASSERT_EQ(old.exec("PRAGMA user_version = 7"), "");
  EXPECT_NE(zelba::hostdb::upgradeSchema(old).error.find("version 7"), std::string::npos);
}

TEST(HostWorkflow, DemoMonthRunWrittenBackAndAuditedThenRerunReplacesIt) {
  TempDir dir("zelba-workflow");
  ASSERT_TRUE(dir.ok());
  const std::string path = makeDemo(dir);

  const RunOutcome first = runDemo(path);
  ASSERT_EQ(first.exitCode, kRunExitSuccess) << first.message;
  EXPECT_EQ(first.status, kRunSucceeded);
  EXPECT_EQ(first.engineStatus, 1);
  EXPECT_EQ(first.firstDate, 20050101);
  EXPECT_EQ(first.lastDate, 20050131);
  // The record's relative file names are taken from the database's folder.
  EXPECT_EQ(first.loadPath, dir.file("north_load.txt"));
  EXPECT_EQ(first.rowsWritten, 21 * 31);  // 21 wells over January
  EXPECT_NE(first.diagnostics, "");
  EXPECT_NE(first.resultsJson.find("\"wells\""), std::string::npos);

  // Every figure of the load file is in ALLOCATED, naming the run.
  const std::string loadText = readFile(first.loadPath);
  const LoadFile load = parseLoadFile(loadText, 20050101, 20050131);
  ASSERT_EQ(load.error, "");
  ASSERT_EQ(load.fluidColumns.size(), 3u);
  zelba::sqlite::Database db;
  ASSERT_EQ(db.open(path, true), "");
  {
    zelba::sqlite::Statement st(
        db,
        "SELECT A.HOURS_ON, A.OIL, A.GAS, A.WATER, A.RUN_ID FROM ALLOCATED A"
        " JOIN WELLS W USING (WELL_ID) WHERE W.NAME = ?1 AND A.DATE = ?2");
    for (const LoadRow& row : load.rows) {
      st.reset();
      st.bind(1, row.well).bind(2, static_cast<int64_t>(row.date));
      ASSERT_TRUE(st.step()) << row.well << " " << row.date;
      EXPECT_EQ(st.columnDouble(0), row.hours);
      for (int f = 0; f < 3; ++f) EXPECT_EQ(st.columnDouble(f + 1), row.values[f]) << row.well;
      EXPECT_EQ(st.columnInt(4), first.runId);
    }
  }
  // The audit row: the exact input text, the record used, the engine, the outcome.
  const LoadedRun audit = loadRun(db, first.runId);
  ASSERT_EQ(audit.error, "");
  EXPECT_EQ(audit.run.status, kRunSucceeded);
  EXPECT_EQ(audit.run.setupName, kDemoRecord);
  EXPECT_EQ(audit.run.engineVersion.rfind("ba-engine (ZelBA) ", 0), 0u) << audit.run.engineVersion;
  EXPECT_EQ(audit.run.loadText, loadText);
  EXPECT_EQ(audit.run.reportText, readFile(dir.file("north.prn")));
  EXPECT_EQ(audit.run.rowsWritten, 21 * 31);
  EXPECT_NE(audit.run.summary.find("651 rows written back"), std::string::npos);
  EXPECT_EQ(audit.run.setupRecord.size(), sizeof(BA_SETUP));
  {
    LoadedSetupRecord record = loadSetupRecord(db, kDemoRecord);
    ASSERT_EQ(record.error, "");
    const ResolvedRecord resolved =
        resolvePaths(record.record, dir.file("").substr(0, dir.file("").size() - 1));
    ASSERT_EQ(resolved.error, "");
    EXPECT_EQ(audit.run.inputText, writeInputFile(db, resolved.record).text);
  }

  // A rerun of the month replaces the rows: as many as before, naming the new run.
  const RunOutcome second = runDemo(path);
  ASSERT_EQ(second.exitCode, kRunExitSuccess) << second.message;
  EXPECT_EQ(count(db, "SELECT COUNT(*) FROM ALLOCATED"), 21 * 31);
  EXPECT_EQ(count(db, "SELECT COUNT(*) FROM ALLOCATED WHERE RUN_ID = 2"), 21 * 31);
  EXPECT_EQ(count(db, "SELECT COUNT(*) FROM RUNS"), 2);
  const RunList runs = listRuns(db);
  ASSERT_EQ(runs.runs.size(), 2u);
  EXPECT_EQ(runs.runs[0].id, second.runId);  // newest first

  // A cancel asked for before the allocation stops it there, recorded as such.
  std::atomic<bool> cancel{true};
  RunRequest request;
  request.databasePath = path;
  request.setupName = kDemoRecord;
  request.programDir = buildDir();
  RunHooks hooks;
  hooks.cancel = &cancel;
  const RunOutcome cancelled = runAllocation(request, hooks);
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_FALSE(cancelled.engineRan);
  EXPECT_EQ(loadRun(db, cancelled.runId).run.status, kRunCancelled);
  EXPECT_EQ(count(db, "SELECT COUNT(*) FROM ALLOCATED WHERE RUN_ID = 2"), 21 * 31);
}

TEST(HostWorkflow, RefusedRunsSayWhyAndWriteNothing) {
  TempDir dir("zelba-workflow-bad");
  ASSERT_TRUE(dir.ok());
  const std::string path = makeDemo(dir);
  zelba::sqlite::Database db;
  ASSERT_EQ(db.open(path, false), "");
  BA_SETUP record = loadSetupRecord(db, kDemoRecord).record;

  // Bindings to variables the database does not have: listed, run refused.
  BA_SETUP unknown = record;
  setText(unknown.measureVars[1].varName, "MEASURED.CONDENSATE");
  setText(unknown.welltestVars[2].varName, "WELLTEST.GLR");
  ASSERT_EQ(saveSetupRecord(db, "Unknown", unknown), "");
  RunOutcome out = runDemo(path, "Unknown");
  EXPECT_EQ(out.exitCode, kRunExitFailed);
  EXPECT_EQ(out.unknownVariables,
            (std::vector<std::string>{"MEASURED.CONDENSATE", "WELLTEST.GLR"}));

  // A period with no data.
  out = runDemo(path, kDemoRecord, 20060101, 20060131);
  EXPECT_EQ(out.exitCode, kRunExitFailed);
  EXPECT_NE(out.message.find("no measured volume"), std::string::npos) << out.message;

  // Writeback asked for without a load file.
  BA_SETUP noLoad = record;
  noLoad.createLoadFile = 0;
  ASSERT_EQ(saveSetupRecord(db, "No load", noLoad), "");
  out = runDemo(path, "No load");
  EXPECT_EQ(out.exitCode, kRunExitFailed);
  EXPECT_NE(out.message.find("writes no load file"), std::string::npos) << out.message;

  // The load file cannot be written (its folder is missing): the run is
  // kept, an earlier file is never taken for its, nothing is written back.
  BA_SETUP lost = record;
  setText(lost.loadFilePath, "no such folder/north_load.txt");
  ASSERT_EQ(saveSetupRecord(db, "Lost load", lost), "");
  out = runDemo(path, "Lost load");
  EXPECT_EQ(out.exitCode, kRunExitOutputFailed) << out.message;
  EXPECT_EQ(out.status, kRunFailed);
  EXPECT_NE(out.message.find("nothing was written back"), std::string::npos) << out.message;
  EXPECT_EQ(count(db, "SELECT COUNT(*) FROM ALLOCATED"), 0);

  // Of these only the run that could not write its load file was recorded.
  EXPECT_EQ(count(db, "SELECT COUNT(*) FROM RUNS"), 1);

  // A database another program holds locked: waited for, then said.
  zelba::sqlite::Database other;
  ASSERT_EQ(other.open(path, false), "");
  ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), "");
  out = runDemo(path);
  EXPECT_EQ(out.exitCode, kRunExitFailed);
  EXPECT_NE(out.message.find("locked by another program"), std::string::npos) << out.message;
  ASSERT_EQ(other.exec("ROLLBACK"), "");

  // Another schema version.
  ASSERT_EQ(db.exec("PRAGMA user_version = 9"), "");
  out = runDemo(path);
  EXPECT_EQ(out.exitCode, kRunExitFailed);
  EXPECT_NE(out.message.find("schema version 9"), std::string::npos) << out.message;
}

TEST(HostWorkflow, CommandLineRunsTheDemoMonth) {
  TempDir dir("zelba-host-run");
  ASSERT_TRUE(dir.ok());
  const std::string path = makeDemo(dir);
  const std::string host = "'" + buildDir() + "/zelba-host' ";
  std::string output;
  EXPECT_EQ(shell(host + "run --db '" + path + "'", &output), 0) << output;
  EXPECT_NE(output.find("651 rows written back"), std::string::npos) << output;
  EXPECT_NE(output.find("load file: " + dir.file("north_load.txt")), std::string::npos) << output;
  EXPECT_EQ(shell(host + "run --db '" + path + "' --setup Nothing", &output), 1);
  EXPECT_NE(output.find("no setup record is named 'Nothing'"), std::string::npos) << output;
  EXPECT_EQ(shell(host + "run --db '" + path + "' --from 2005-01-01", &output), 2);
  EXPECT_EQ(
      shell(host + "run --db '" + path + "' --from 2005-01-01 --to 20050110 --quiet", &output), 0);
  EXPECT_EQ(output, "");
  EXPECT_EQ(shell(host + "run --db '" + dir.file("none.db") + "'", &output), 1);
  EXPECT_NE(output.find("cannot use the database"), std::string::npos) << output;

  // Held by another program while the command looks for the one record.
  zelba::sqlite::Database other;
  ASSERT_EQ(other.open(path, false), "");
  ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), "");
  EXPECT_EQ(shell(host + "run --db '" + path + "'", &output), 1);
  EXPECT_NE(output.find("locked by another program (waited 5 s)"), std::string::npos) << output;
  ASSERT_EQ(other.exec("ROLLBACK"), "");
}
