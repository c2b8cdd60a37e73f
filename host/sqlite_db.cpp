#include "host/sqlite_db.h"

#include <sqlite3.h>

namespace zelba::sqlite {

namespace {

// How long a statement waits for another connection's lock before it gives
// up with "database is locked".
constexpr int kBusyTimeoutMs = 250;

}  // namespace

Database::~Database() {
  close();
}

std::string Database::open(const std::string& path, bool readOnly) {
  close();
  const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    std::string reason = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    return reason;
  }
  db_ = db;
  path_ = path;
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  // A writer keeps the references between tables whole; a reader writes
  // nothing at all.
  std::string reason = exec(readOnly ? "PRAGMA query_only = 1" : "PRAGMA foreign_keys = ON");
  if (!reason.empty()) close();
  return reason;
}

std::string Database::close() {
  if (!db_) return {};
  std::string reason;
  if (sqlite3_close(db_) != SQLITE_OK) {
    reason = sqlite3_errmsg(db_);
    sqlite3_close_v2(db_);  // released once the last statement is finalized
  }
  db_ = nullptr;
  path_.clear();
  return reason;
}

void Database::setBusyTimeout(int milliseconds) {
  if (db_) sqlite3_busy_timeout(db_, milliseconds);
}

std::string Database::exec(const char* sql) {
  if (!db_) return "the database is not open";
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return {};
  std::string reason = message ? message : lastError();
  sqlite3_free(message);
  return reason;
}

std::string Database::lastError() const {
  return db_ ? sqlite3_errmsg(db_) : "the database is not open";
}

std::int64_t Database::changes() const {
  return db_ ? sqlite3_changes64(db_) : 0;
}

std::int64_t Database::lastInsertId() const {
  return db_ ? sqlite3_last_insert_rowid(db_) : 0;
}

Statement::Statement(Database& db, const char* sql) : db_(db.handle()) {
  if (!db_) {
    error_ = "the database is not open";
    return;
  }
  if (sqlite3_prepare_v2(db_, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
    error_ = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  }
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

void Statement::fail(int code) {
  if (code == SQLITE_OK || !error_.empty()) return;
  error_ = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
}

Statement& Statement::bind(int index, std::int64_t value) {
  if (stmt_) fail(sqlite3_bind_int64(stmt_, index, value));
  return *this;
}

Statement& Statement::bind(int index, double value) {
  if (stmt_) fail(sqlite3_bind_double(stmt_, index, value));
  return *this;
}

Statement& Statement::bind(int index, const std::string& value) {
  if (stmt_) {
    fail(sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()),
                           SQLITE_TRANSIENT));
  }
  return *this;
}

Statement& Statement::bindBlob(int index, const void* data, size_t size) {
  if (stmt_) {
    fail(sqlite3_bind_blob64(stmt_, index, size ? data : "", static_cast<sqlite3_uint64>(size),
                             SQLITE_TRANSIENT));
  }
  return *this;
}

Statement& Statement::bindNull(int index) {
  if (stmt_) fail(sqlite3_bind_null(stmt_, index));
  return *this;
}

bool Statement::step() {
  if (!stmt_ || !error_.empty()) return false;
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) fail(rc);
  return false;
}

std::string Statement::run() {
  while (step()) {
  }
  return error_;
}

void Statement::reset() {
  if (!stmt_) return;
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  error_.clear();
}

bool Statement::isNull(int column) const {
  return !stmt_ || sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

bool Statement::isText(int column) const {
  return stmt_ && sqlite3_column_type(stmt_, column) == SQLITE_TEXT;
}

std::int64_t Statement::columnInt(int column) const {
  return stmt_ ? sqlite3_column_int64(stmt_, column) : 0;
}

double Statement::columnDouble(int column) const {
  return stmt_ ? sqlite3_column_double(stmt_, column) : 0.0;
}

std::string Statement::columnText(int column) const {
  if (!stmt_) return {};
  const unsigned char* text = sqlite3_column_text(stmt_, column);
  if (!text) return {};
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::string Statement::columnBlob(int column) const {
  if (!stmt_) return {};
  const void* bytes = sqlite3_column_blob(stmt_, column);
  if (!bytes) return {};
  return std::string(static_cast<const char*>(bytes),
                     static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

Transaction::Transaction(Database& db) : db_(db) {
  error_ = db_.exec("BEGIN IMMEDIATE");
  open_ = error_.empty();
}

Transaction::~Transaction() {
  if (open_) db_.exec("ROLLBACK");
}

std::string Transaction::commit() {
  if (!open_) return error_.empty() ? "no transaction is open" : error_;
  std::string reason = db_.exec("COMMIT");
  if (reason.empty()) open_ = false;
  return reason;
}

}  // namespace zelba::sqlite
