// What the host application's window shows of the production database: the
// points of measurement of a category with their wells, and the daily data
// of one well or point as a table. Read only; no user interface.
#pragma once

#include <string>
#include <vector>

#include "host/sqlite_db.h"

namespace zelba::hostapp {

struct FieldTree {
  struct Point {
    std::string name;                // the category value
    std::vector<std::string> wells;  // byte-wise order
  };
  std::string error;
  std::vector<Point> points;            // every value of the category, byte-wise order
  std::vector<std::string> unassigned;  // wells with no value of the category
};

// The values of `category` with the wells that have each. An unknown
// category gives no points and every well unassigned.
FieldTree fieldTree(sqlite::Database& db, const std::string& category);

// Daily data as text: the first column is the date (yyyymmdd), the others
// host variables (TABLE.COLUMN); a cell without a value is "". Only
// columns with at least one value are listed; rows in date order.
struct DailyTable {
  std::string error;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

// Every per-well daily table's values of the well (a facility change shows
// the point's name).
DailyTable wellDays(sqlite::Database& db, const std::string& well);

// The measured volumes of the category value `point`.
DailyTable pointDays(sqlite::Database& db, const std::string& category, const std::string& point);

}  // namespace zelba::hostapp
