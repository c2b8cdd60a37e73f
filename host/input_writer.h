// The engine input file written from the production database as a setup
// record binds it: the host application's one bridge from a `BA_SETUP` to a
// run. docs/host-workflow.md gives every mapping with a worked example.
//
// Conventions: dates are host dates yyyymmdd; a binding is an entry of a
// `BA_VARREF` array whose varPos is 0 or more, and it is followed by its
// varName (the saved position is not used). The writer only reads: it opens
// no file, keeps nothing between calls and writes nothing to the database.
#pragma once

#include <string>
#include <vector>

#include "host/sqlite_db.h"
#include "setup/ba_setup.h"

namespace zelba::hostapp {

struct InputFileResult {
  std::string text;   // the input file; empty when the file is refused
  std::string error;  // "" on success, else why the file is refused, in plain words
  // The bound names the database has no variable of, each once, in the order
  // of the pages; non-empty only when the file is refused for them.
  std::vector<std::string> unknownVariables;
  // Data the file leaves out on purpose, one plain sentence each (wells with
  // no value of the chosen category, a facility change to a value that is no
  // point, a value that is not a finite number). Empty when nothing is left out.
  std::vector<std::string> notes;
  // The period the file covers (yyyymmdd); 0 when the file is refused.
  int firstDate = 0;
  int lastDate = 0;
};

// Writes the input file of one run over [firstDate, lastDate]. A date of 0
// takes the record's startDate (endDate) text, which must then read as a
// date yyyymmdd.
//
// REQUIRES: `db` is open on a production database of this host
// (hostdb::openForReading checks one).
//
// Refused, with `error` set and `text` empty: a period that is not two
// calendar dates, ends before it starts or has more than 31 days; bindings
// whose names the database does not have (listed in `unknownVariables`); a
// binding to a column of a table that cannot serve its page (a well test
// column as a meter); no point-of-measurement category, or one the database
// does not have, or one whose values have no wells; no measured volume of
// the bound measurement variables at any point in the period; a name or
// path the input file cannot carry (a double quote or a line break in it,
// two wells whose names differ only in letter case); a database that cannot
// be read (SQLite's words).
InputFileResult writeInputFile(sqlite::Database& db, const BA_SETUP& record, int firstDate = 0,
                               int lastDate = 0);

// A number as the input file carries it: the shortest decimal text that the
// engine reads back as the same double, without an exponent for the values a
// field holds (20050131, 845.6, 0.00001, -3.5). REQUIRES: `value` is finite.
std::string formatNumber(double value);

}  // namespace zelba::hostapp
