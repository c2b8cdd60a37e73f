#include "host/field_browser.h"

#include <cmath>
#include <map>

#include "host/host_database.h"
#include "host/input_writer.h"

namespace zelba::hostapp {

namespace {

// One query's rows merged into a table by date: `sql` takes ?1 and returns
// DATE and then `names.size()` values.
bool mergeDays(sqlite::Database& db, const std::string& sql, const std::vector<std::string>& bind,
               const std::vector<std::string>& names,
               std::map<int, std::map<std::string, std::string>>& days, std::string& error) {
  sqlite::Statement st(db, sql.c_str());
  for (size_t i = 0; i < bind.size(); ++i) st.bind(static_cast<int>(i + 1), bind[i]);
  while (st.step()) {
    auto& day = days[static_cast<int>(st.columnInt(0))];
    for (size_t c = 0; c < names.size(); ++c) {
      const int column = static_cast<int>(c + 1);
      if (st.isNull(column)) continue;
      // Text columns (a status, a point's name) stand as they are.
      const double number = st.columnDouble(column);
      if (st.isText(column)) {
        day[names[c]] = st.columnText(column);
      } else {
        day[names[c]] = std::isfinite(number) ? formatNumber(number) : "not a number";
      }
    }
  }
  error = st.error();
  return error.empty();
}

DailyTable tableOf(const std::vector<std::string>& order,
                   const std::map<int, std::map<std::string, std::string>>& days) {
  DailyTable table;
  table.columns.push_back("DATE");
  std::vector<std::string> used;
  for (const std::string& name : order) {
    for (const auto& [date, values] : days) {
      if (values.count(name)) {
        used.push_back(name);
        break;
      }
    }
  }
  table.columns.insert(table.columns.end(), used.begin(), used.end());
  for (const auto& [date, values] : days) {
    std::vector<std::string> row{std::to_string(date)};
    for (const std::string& name : used) {
      const auto it = values.find(name);
      row.push_back(it == values.end() ? "" : it->second);
    }
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace

FieldTree fieldTree(sqlite::Database& db, const std::string& category) {
  FieldTree tree;
  {
    sqlite::Statement st(db,
                         "SELECT V.NAME, W.NAME FROM CATEGORY_VALUES V"
                         " JOIN CATEGORIES C ON C.CATEGORY_ID = V.CATEGORY_ID"
                         " LEFT JOIN WELL_CATEGORIES WC ON WC.VALUE_ID = V.VALUE_ID"
                         " LEFT JOIN WELLS W ON W.WELL_ID = WC.WELL_ID"
                         " WHERE C.NAME = ?1 ORDER BY V.NAME, W.NAME");
    st.bind(1, category);
    while (st.step()) {
      const std::string value = st.columnText(0);
      if (tree.points.empty() || tree.points.back().name != value)
        tree.points.push_back({value, {}});
      if (!st.isNull(1)) tree.points.back().wells.push_back(st.columnText(1));
    }
    tree.error = st.error();
  }
  if (!tree.error.empty()) return tree;
  sqlite::Statement st(db,
                       "SELECT NAME FROM WELLS W WHERE NOT EXISTS (SELECT 1 FROM WELL_CATEGORIES"
                       " WC JOIN CATEGORIES C ON C.CATEGORY_ID = WC.CATEGORY_ID"
                       " WHERE WC.WELL_ID = W.WELL_ID AND C.NAME = ?1) ORDER BY NAME");
  st.bind(1, category);
  while (st.step()) tree.unassigned.push_back(st.columnText(0));
  tree.error = st.error();
  return tree;
}

DailyTable wellDays(sqlite::Database& db, const std::string& well) {
  std::map<int, std::map<std::string, std::string>> days;
  std::vector<std::string> order;
  std::string error;
  for (const hostdb::DataTable& table : hostdb::dataTables()) {
    if (table.keys.size() != 1 || std::string(table.keys[0]) != "WELL_ID") continue;
    std::string select = "SELECT T.DATE";
    std::vector<std::string> names;
    for (const char* column : table.columns) {
      const std::string name = std::string(table.name) + "." + column;
      names.push_back(name);
      order.push_back(name);
      // A facility change names the point the well flows to.
      select += name == "STATUS.FACILITY"
                    ? ", (SELECT NAME FROM CATEGORY_VALUES V WHERE V.VALUE_ID = T.FACILITY)"
                    : std::string(", T.") + column;
    }
    const std::string sql = select + " FROM " + table.name +
                            " T JOIN WELLS W ON W.WELL_ID = T.WELL_ID WHERE W.NAME = ?1";
    if (!mergeDays(db, sql, {well}, names, days, error)) return DailyTable{error, {}, {}};
  }
  return tableOf(order, days);
}

DailyTable pointDays(sqlite::Database& db, const std::string& category, const std::string& point) {
  std::map<int, std::map<std::string, std::string>> days;
  std::vector<std::string> names;
  std::string select = "SELECT M.DATE";
  for (const hostdb::DataTable& table : hostdb::dataTables()) {
    if (std::string(table.keys[0]) != "VALUE_ID") continue;
    for (const char* column : table.columns) {
      names.push_back(std::string(table.name) + "." + column);
      select += std::string(", M.") + column;
    }
    const std::string sql = select + " FROM " + table.name +
                            " M JOIN CATEGORY_VALUES V ON V.VALUE_ID = M.VALUE_ID"
                            " JOIN CATEGORIES C ON C.CATEGORY_ID = V.CATEGORY_ID"
                            " WHERE C.NAME = ?1 AND V.NAME = ?2";
    std::string error;
    if (!mergeDays(db, sql, {category, point}, names, days, error)) {
      return DailyTable{error, {}, {}};
    }
  }
  return tableOf(names, days);
}

}  // namespace zelba::hostapp
