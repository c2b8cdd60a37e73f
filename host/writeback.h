// The writeback: a run's load file read back into the production database,
// into the columns that the setup record's Writeback page binds.
//
// The load file (output/load_file.cpp writes it) holds directive lines that
// begin with '*' and rows of numbers:
//   *metric                       optional
//   *tablename NAME               optional
//   *DATE *HOURS *FLUID ...       the column line: the date column, the hours
//                                 column ("*skip" when it is not imported)
//                                 and one column per listed fluid
//   *keyname "WELL"               the well of the rows that follow
//   20050101  24.000  136.9 ...   a row: date, hours (days on production in a
//                                 monthly file), one volume per fluid column
//
// How a column finds its place (docs/writeback.md):
// - a fluid column named by a fluid ("Oil", "GasInj", letter case aside)
//   goes to the writeback binding of that fluid; one named by the column or
//   the full name of a bound writeback variable ("OIL" or "ALLOCATED.OIL",
//   as "*zelfields" can name them) goes to that binding; any other name is
//   refused, so that a volume never lands in the wrong fluid's column;
// - the hours column goes to the Days/Hours binding unless it is "*skip";
// - an unbound fluid, and the CO2 injection column (it has no binding), are
//   not written.
// A binding may name a value column of a table kept per well and day
// (ALLOCATED, HOURS, WELLTEST); any other binding is refused by its name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/sqlite_db.h"
#include "setup/ba_setup.h"

namespace zelba::hostapp {

// How long the writeback waits for another program's lock on the database
// before it gives up.
constexpr int kWritebackWaitMs = 5000;

// Writeback bindings: `writebackVars` index 0 is Days/Hours, 1 + fluid slot
// the fluid (1 Oil, 2 Gas, 3 Water, 4 Water Inj, 5 Gas Inj, 6 Steam Inj).
constexpr int kWritebackHours = 0;
constexpr int kWritebackFluids = 6;  // fluid slots 0..5 have a binding

// One row of a load file.
struct LoadRow {
  int line = 0;                // 1-based line of the file, for messages
  std::string well;            // the name of the "*keyname" line above it
  int date = 0;                // yyyymmdd
  double hours = 0;            // hours on that day; days on production in a monthly file
  std::vector<double> values;  // one per entry of LoadFile::fluidColumns, in order
};

// A load file read into its parts. error is "" when the text is a load file
// whose every row lies in the period; otherwise it says, in plain words, what
// is wrong and where, and nothing else is meaningful.
struct LoadFile {
  std::string error;
  bool metric = false;                    // "*metric"
  std::string tableName;                  // "*tablename", "" without one
  std::string dateColumn;                 // the first name of the column line
  std::string hoursColumn;                // the second name ("" for a bare "*")
  bool hoursSkipped = false;              // the second name is "*skip"
  std::vector<std::string> fluidColumns;  // the other names, in order
  std::vector<LoadRow> rows;              // in file order
};

// Reads a load file. Refused: a text that is not a load file (no column
// line, rows before it or before the first "*keyname"), a directive it does
// not know, a row whose fields are not numbers or whose count is not the
// column line's, a date that is not a calendar date yyyymmdd or lies outside
// firstDate..lastDate, a well with two rows for one date, and a file without
// rows. REQUIRES nothing of the text: any bytes are refused or read.
LoadFile parseLoadFile(const std::string& text, int firstDate, int lastDate);

struct WritebackResult {
  std::string error;    // "" when written, else why nothing was written
  int rowsWritten = 0;  // load-file rows (well and day) stored; 0 on failure
};

// Writes the load file's rows for the period firstDate..lastDate (yyyymmdd)
// into the columns that `record.writebackVars` binds, in one transaction on
// `db` (a production database open for writing):
// 1. the record must say "Writeback results" (`writebackFlag`), its bindings
//    must name value columns of per-well daily tables, no variable twice,
//    and every column of the load file must find its binding (see above);
// 2. the file is read (parseLoadFile) and every well it names must be in
//    WELLS;
// 3. for every well of the file and every day of the period, the bound
//    columns are emptied (NULL; the hours too unless the file skips them:
//    a fluid the run no longer lists keeps no old figure), then each row is
//    stored
//    into its well and day (the row is updated, or inserted when there is
//    none); rows left with no value at all in the period are removed. A
//    second writeback of the same file thus leaves the same table contents,
//    and a rerun of the period replaces the earlier figures of its wells;
// 4. commit.
// Any refusal or failure leaves the database exactly as it was. The
// connection's busy timeout is set to `waitMs`: a database that another
// program holds locked is waited for that long, then the result says it is
// locked by another program. Every row stored names `runId` in its RUN_ID
// (the RUNS row of the run whose load file it is; 0 for none: NULL), and a
// row whose bound columns are emptied no longer names a run. Never throws.
WritebackResult writeBack(sqlite::Database& db, const BA_SETUP& record,
                          const std::string& loadFileText, int firstDate, int lastDate,
                          int waitMs = kWritebackWaitMs, std::int64_t runId = 0);

}  // namespace zelba::hostapp
