// The stand-in host's data services: the host variable list, dates and
// entities that the module's pages call, over the production database.
//
// Declared as the host's calculation library exports them: free functions
// with C++ linkage in the global namespace, exported from the library.
//
// Which database: the one ZelHostOpenDatabase opened last; until it is first
// called, the one the environment variable ZELBA_HOST_DB names, opened on the
// first service call. With none the host is a valid empty host: no
// variables, no categories, no dates. A database that is missing,
// unreadable, locked, corrupt or of another schema version also gives the
// empty host, and one message through the message sink (stderr unless a
// program sets another) saying which file and why. The host only reads the
// database.
//
// Every service is called on one thread (the module's user-interface
// thread); none keeps state per thread. Returned strings are host-owned: they
// stay valid until the next call of the same service or until another
// database is opened, so callers use them at once. No service throws or
// crashes on bad arguments.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "hostmodel/categories.h"
#include "hostmodel/entities.h"

#define ZELBA_HOST_EXPORT __attribute__((visibility("default")))

// Opens the production database at `path` read-only and makes it the host's
// database, in place of any earlier one. Returns 1 when it is open, 0 when it
// is not (a null or empty path, or any failure above, with its one message
// for a failure); the host is then empty.
extern "C" ZELBA_HOST_EXPORT int ZelHostOpenDatabase(const char* path);

// N, the number of host variables: every value column of the data tables
// once a database is open, 0 for the empty host.
ZELBA_HOST_EXPORT int NoSortZelVars();

// The name of the variable at the 0-based `position` of the sorted list
// (byte-wise by name, "ALLOCATED.GAS" before "ALLOCATED.GAS_INJ"). A position
// outside 0..N-1 gives "" (never null).
ZELBA_HOST_EXPORT const char* SortZelVariableName(int position);

// The 0-based position of the variable of exactly this name (byte-wise, no
// case folding), or -1 for a null name or one the host does not know.
ZELBA_HOST_EXPORT int SortZelVarPosFromName(const char* name);

// `nameList` is "DATE" and then ",NAME" for each variable ("DATE,MEASURED.OIL,
// MEASURED.GAS"); blanks around names are ignored and the key word DATE may
// stand anywhere. Finds the first and last date on which any of the named
// variables has a value; with no variable named ("DATE" alone), the first and
// last date of any row of the data. Names the host does not know add nothing.
// Returns 1 with the dates written to *first and *last as host dates; 0 when
// there are none or the data cannot be read (one message), *first and *last
// left as they were (the caller presets 0.0); -1 for a null argument.
ZELBA_HOST_EXPORT int FindMinMaxDates(const char* nameList, double* first, double* last);

// Sets the reference date of ElapsedDaysFromReferenceDate. A date that is
// not a calendar date yyyymmdd after 19000101 clears it.
ZELBA_HOST_EXPORT void SetReferenceDate(double date);

// Calendar days from the reference date to `date` (negative before it),
// across month and year ends and leap days (Gregorian calendar): 20041231 to
// 20050101 is 1. Returns 1 with the count in *days; 0 when no reference date
// is set or `date` is not a calendar date after 19000101, -1 for a null
// `days`; *days is then left as it was.
ZELBA_HOST_EXPORT int ElapsedDaysFromReferenceDate(double date, double* days);

// `date` written in `format`: "yyyy" is the year, "yy" its last two digits,
// "mm" the month and "dd" the day, with two digits each (upper case too);
// every other character stands as it is ("dd/mm/yyyy" gives 31/01/2005). A
// null format is "yyyymmdd". A date that is not a calendar date after
// 19000101 gives "".
ZELBA_HOST_EXPORT const char* FmtDate(double date, const char* format);

// The default report file name: the database file's name with ".prn" in
// place of its extension ("demo.prn" for /data/demo.db), "ZelBA.prn" when no
// database is open.
ZELBA_HOST_EXPORT const char* GetLoadName();

// The host's one CEntities object, never null. Once a database is open it
// holds the database's categories (each with its values, in name order),
// its wells as completions (in name order, each with a wellbore of the same
// name and its value of each category it has one) and no patterns; the
// empty host's has none. Opening another database frees them and builds
// them again, so pointers into them are good until the next
// ZelHostOpenDatabase or restartHost. GetCatgoryList gives the category
// names sorted byte-wise.
ZELBA_HOST_EXPORT CEntities* Entities();

namespace zelba {

// Where the host's messages go, one call per message (a line without its
// newline); null restores stderr. For programs that show them otherwise, and
// for tests.
ZELBA_HOST_EXPORT void setHostMessageSink(std::function<void(const std::string&)> sink);

// Closes the host's database and makes the next service call look at
// ZELBA_HOST_DB again, as on the first call of a process. The reference
// date is cleared; the message sink stays.
ZELBA_HOST_EXPORT void restartHost();

}  // namespace zelba
