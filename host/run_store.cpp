#include "host/run_store.h"

#include <cstring>

#include "setup/new_record.h"

namespace zelba::hostapp {

namespace {

constexpr size_t kMaxRecordName = 80;

std::string checkName(const std::string& name) {
  if (name.empty()) return "a setup record needs a name";
  if (name.size() > kMaxRecordName) {
    return "a setup record's name has at most " + std::to_string(kMaxRecordName) + " characters";
  }
  if (name.find_first_of("\r\n") != std::string::npos) {
    return "a setup record's name is one line";
  }
  return {};
}

std::string noRecord(const std::string& name) {
  return "no setup record is named '" + name + "'";
}

// The record's bytes, for the blob columns.
const void* bytesOf(const BA_SETUP& record) {
  return &record;
}

constexpr const char* kRunColumns =
    "RUN_ID, STARTED, COALESCE(FINISHED, ''), SETUP_NAME, FIRST_DATE, LAST_DATE, ENGINE_VERSION,"
    " STATUS, ENGINE_STATUS, SUMMARY, ROWS_WRITTEN";

RunRecord readRun(const sqlite::Statement& st) {
  RunRecord run;
  run.id = st.columnInt(0);
  run.started = st.columnText(1);
  run.finished = st.columnText(2);
  run.setupName = st.columnText(3);
  run.firstDate = static_cast<int>(st.columnInt(4));
  run.lastDate = static_cast<int>(st.columnInt(5));
  run.engineVersion = st.columnText(6);
  run.status = st.columnText(7);
  run.hasEngineStatus = !st.isNull(8);
  run.engineStatus = static_cast<int>(st.columnInt(8));
  run.summary = st.columnText(9);
  run.rowsWritten = static_cast<int>(st.columnInt(10));
  return run;
}

}  // namespace

BA_SETUP emptySetupRecord() {
  BA_SETUP record = newSetupRecord();
  record.pomCategoryIndex = -1;
  record.category2Index = -1;
  return record;
}

SetupRecordList listSetupRecords(sqlite::Database& db) {
  SetupRecordList list;
  sqlite::Statement st(db, "SELECT NAME FROM SETUP_RECORDS ORDER BY NAME");
  while (st.step()) list.names.push_back(st.columnText(0));
  list.error = st.error();
  return list;
}

LoadedSetupRecord loadSetupRecord(sqlite::Database& db, const std::string& name) {
  LoadedSetupRecord loaded;
  sqlite::Statement st(db, "SELECT RECORD FROM SETUP_RECORDS WHERE NAME = ?1");
  st.bind(1, name);
  if (!st.step()) {
    loaded.error = st.error().empty() ? noRecord(name) : st.error();
    return loaded;
  }
  const std::string bytes = st.columnBlob(0);
  if (bytes.size() < sizeof(BA_SETUP)) {
    loaded.error = "the setup record '" + name + "' is damaged: it has " +
                   std::to_string(bytes.size()) + " bytes, a record " +
                   std::to_string(sizeof(BA_SETUP));
    return loaded;
  }
  std::memcpy(&loaded.record, bytes.data(), sizeof(BA_SETUP));
  return loaded;
}

std::string saveSetupRecord(sqlite::Database& db, const std::string& name, const BA_SETUP& record) {
  std::string reason = checkName(name);
  if (!reason.empty()) return reason;
  sqlite::Statement st(db,
                       "INSERT INTO SETUP_RECORDS (NAME, RECORD, UPDATED)"
                       " VALUES (?1, ?2, datetime('now'))"
                       " ON CONFLICT (NAME) DO UPDATE SET RECORD = excluded.RECORD,"
                       " UPDATED = excluded.UPDATED");
  st.bind(1, name).bindBlob(2, bytesOf(record), sizeof record);
  return st.run();
}

std::string renameSetupRecord(sqlite::Database& db, const std::string& from,
                              const std::string& to) {
  std::string reason = checkName(to);
  if (!reason.empty()) return reason;
  if (from == to) return {};
  {
    sqlite::Statement taken(db, "SELECT 1 FROM SETUP_RECORDS WHERE NAME = ?1");
    taken.bind(1, to);
    if (taken.step()) return "a setup record is already named '" + to + "'";
    if (!taken.error().empty()) return taken.error();
  }
  sqlite::Statement st(db, "UPDATE SETUP_RECORDS SET NAME = ?2 WHERE NAME = ?1");
  st.bind(1, from).bind(2, to);
  reason = st.run();
  if (reason.empty() && db.changes() == 0) return noRecord(from);
  return reason;
}

std::string deleteSetupRecord(sqlite::Database& db, const std::string& name) {
  sqlite::Statement st(db, "DELETE FROM SETUP_RECORDS WHERE NAME = ?1");
  st.bind(1, name);
  std::string reason = st.run();
  if (reason.empty() && db.changes() == 0) return noRecord(name);
  return reason;
}

BegunRun beginRun(sqlite::Database& db, const std::string& setupName, const BA_SETUP& record,
                  int firstDate, int lastDate, const std::string& inputText,
                  const std::string& engineVersion) {
  BegunRun begun;
  sqlite::Statement st(db,
                       "INSERT INTO RUNS (STARTED, SETUP_NAME, SETUP_RECORD, FIRST_DATE, LAST_DATE,"
                       " INPUT_TEXT, ENGINE_VERSION, STATUS)"
                       " VALUES (datetime('now'), ?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  st.bind(1, setupName)
      .bindBlob(2, bytesOf(record), sizeof record)
      .bind(3, static_cast<std::int64_t>(firstDate))
      .bind(4, static_cast<std::int64_t>(lastDate))
      .bind(5, inputText)
      .bind(6, engineVersion)
      .bind(7, std::string(kRunRunning));
  begun.error = st.run();
  if (begun.error.empty()) begun.id = db.lastInsertId();
  return begun;
}

std::string finishRun(sqlite::Database& db, std::int64_t id, const RunFinish& finish) {
  sqlite::Statement st(
      db,
      "UPDATE RUNS SET FINISHED = datetime('now'), STATUS = ?2, ENGINE_STATUS = ?3,"
      " SUMMARY = ?4, REPORT_TEXT = ?5, LOAD_TEXT = ?6, ROWS_WRITTEN = ?7"
      " WHERE RUN_ID = ?1");
  st.bind(1, id).bind(2, finish.status);
  if (finish.hasEngineStatus) {
    st.bind(3, static_cast<std::int64_t>(finish.engineStatus));
  } else {
    st.bindNull(3);
  }
  st.bind(4, finish.summary);
  if (finish.reportText.empty()) {
    st.bindNull(5);
  } else {
    st.bind(5, finish.reportText);
  }
  if (finish.loadText.empty()) {
    st.bindNull(6);
  } else {
    st.bind(6, finish.loadText);
  }
  st.bind(7, static_cast<std::int64_t>(finish.rowsWritten));
  std::string reason = st.run();
  if (reason.empty() && db.changes() == 0) return "no run has the id " + std::to_string(id);
  return reason;
}

RunList listRuns(sqlite::Database& db) {
  RunList list;
  const std::string sql = std::string("SELECT ") + kRunColumns + " FROM RUNS ORDER BY RUN_ID DESC";
  sqlite::Statement st(db, sql.c_str());
  while (st.step()) list.runs.push_back(readRun(st));
  list.error = st.error();
  return list;
}

LoadedRun loadRun(sqlite::Database& db, std::int64_t id) {
  LoadedRun loaded;
  const std::string sql = std::string("SELECT ") + kRunColumns +
                          ", INPUT_TEXT, COALESCE(REPORT_TEXT, ''), COALESCE(LOAD_TEXT, ''),"
                          " SETUP_RECORD FROM RUNS WHERE RUN_ID = ?1";
  sqlite::Statement st(db, sql.c_str());
  st.bind(1, id);
  if (!st.step()) {
    loaded.error = st.error().empty() ? "no run has the id " + std::to_string(id) : st.error();
    return loaded;
  }
  loaded.run = readRun(st);
  loaded.run.inputText = st.columnText(11);
  loaded.run.reportText = st.columnText(12);
  loaded.run.loadText = st.columnText(13);
  loaded.run.setupRecord = st.columnBlob(14);
  return loaded;
}

}  // namespace zelba::hostapp
