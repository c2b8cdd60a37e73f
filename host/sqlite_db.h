// A small RAII wrapper over the sqlite3 C API for the stand-in host's
// production database.
//
// Conventions for the whole wrapper: nothing throws; every operation that can
// fail returns an empty text on success and SQLite's own words on failure
// ("file is not a database", "database is locked"). Values reach SQL only
// through bind(): statement texts are constants of the program.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace zelba::sqlite {

class Database {
 public:
  Database() = default;
  ~Database();  // closes the connection, finalizing nothing: statements must be gone
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Opens the database file at `path`. Read-only: the file must exist, and
  // nothing can be written through the connection (query_only is set as
  // well). Otherwise read-write, creating the file when it does not exist,
  // with foreign keys enforced.
  // Any open connection is closed first. Returns "" or the reason; on failure
  // the object is closed. Opening is lazy in SQLite: a file that is not a
  // database fails on its first statement, not here.
  std::string open(const std::string& path, bool readOnly);

  // Closes the connection. Returns "" or the reason a close failed (the
  // connection is released all the same).
  std::string close();

  bool isOpen() const { return db_ != nullptr; }
  // How long a statement waits for another connection's lock before it
  // fails with "database is locked"; 0 (the default) fails at once.
  void setBusyTimeout(int milliseconds);
  const std::string& path() const { return path_; }

  // Runs SQL text that takes no values (schema, PRAGMA, BEGIN/COMMIT).
  std::string exec(const char* sql);

  // The latest error message of the connection ("not an error" when none).
  std::string lastError() const;
  // Rows changed by the latest INSERT, UPDATE or DELETE; the rowid of the
  // latest INSERT. 0 while closed.
  std::int64_t changes() const;
  std::int64_t lastInsertId() const;

  sqlite3* handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
  std::string path_;
};

// A prepared statement. Parameters are numbered from 1, columns from 0.
class Statement {
 public:
  // Prepares `sql` on `db`; check ok() or error() before use. A statement
  // that failed to prepare does nothing: binds and steps fail with its error.
  Statement(Database& db, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool ok() const { return stmt_ != nullptr; }
  // Why preparing, binding or the last step failed; "" while nothing failed.
  const std::string& error() const { return error_; }

  Statement& bind(int index, std::int64_t value);
  Statement& bind(int index, double value);
  Statement& bind(int index, const std::string& value);
  Statement& bindBlob(int index, const void* data, size_t size);
  Statement& bindNull(int index);

  // One step: true with a row to read. False at the end of the rows and on
  // failure; after false, error() tells them apart ("" at the end).
  bool step();
  // Runs a statement that returns no rows to its end; "" or the reason.
  std::string run();
  // Makes the statement ready to run again with new values.
  void reset();

  bool isNull(int column) const;
  bool isText(int column) const;  // the value is text (not a number, a blob or NULL)
  std::int64_t columnInt(int column) const;
  double columnDouble(int column) const;
  std::string columnText(int column) const;  // "" for NULL
  std::string columnBlob(int column) const;  // the bytes; "" for NULL

 private:
  void fail(int code);

  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  std::string error_;
};

// BEGIN on construction; commit() makes the writes permanent, and a
// transaction destroyed without a successful commit is rolled back, so a
// failure part-way leaves the database as it was.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // Why BEGIN failed; "" when the transaction is open.
  const std::string& error() const { return error_; }
  // "" when the writes are committed, else the reason (the transaction is
  // then rolled back on destruction).
  std::string commit();

 private:
  Database& db_;
  bool open_ = false;
  std::string error_;
};

}  // namespace zelba::sqlite
