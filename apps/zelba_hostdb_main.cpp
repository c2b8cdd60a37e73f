// zelba-hostdb: creates, fills and lists a production database of the
// stand-in host (host/host_database.h, docs/host-database.md).
//
//   zelba-hostdb create FILE   a new database with the schema and no data
//   zelba-hostdb demo FILE     a new database holding the North Field of
//                              examples/north_field.ba, January 2005
//   zelba-hostdb list FILE     the host variables, then the categories and
//                              their values
//   zelba-hostdb upgrade FILE  brings a database of an earlier schema version
//                              to this one, keeping its data
//
// create and demo refuse a file that exists, and remove what they made when
// they fail part-way, so that a database on disk is always complete.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "host/host_database.h"
#include "host/run_store.h"
#include "host/sqlite_db.h"

namespace {

using zelba::hostdb::Writer;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: zelba-hostdb COMMAND FILE\n"
    "Creates, fills and lists a production database of the ZelBA stand-in host.\n"
    "\n"
    "Commands:\n"
    "  create FILE   create a new database with the schema and no data\n"
    "  demo FILE     create a new database holding the North Field demo\n"
    "                (January 2005: wells, meters, well tests, hours, equations)\n"
    "  list FILE     print the host variables, then the categories and their values\n"
    "  upgrade FILE  bring a database of schema version 1 to this version, keeping\n"
    "                its data\n"
    "\n"
    "create and demo refuse a FILE that exists. The demo holds the setup record\n"
    "\"North month\", ready to run with zelba-host. The host reads the database that\n"
    "the environment variable ZELBA_HOST_DB names.\n";

// The demo field. Categories and their values; every well has one value of
// each category.
constexpr const char* kField = "FIELD";
constexpr const char* kGatheringCentre = "GATHERING CENTRE";
constexpr const char* kSeparator = "SEPARATOR";
constexpr const char* kBattery = "BATTERY";

constexpr int kDemoYearMonth = 200501;  // January 2005

struct DemoWell {
  const char* name;
  const char* label;
  const char* separator;  // the pad it flows to on 1 January
  const char* battery;
};

constexpr DemoWell kWells[] = {
    {"N-01", "Pad A-1", "PAD-A", "BAT-A"}, {"N-02", "Pad A-2", "PAD-A", "BAT-A"},
    {"N-03", "Pad A-3", "PAD-A", "BAT-A"}, {"N-04", "Pad A-4", "PAD-A", "BAT-A"},
    {"N-05", "Pad A-5", "PAD-A", "BAT-A"}, {"N-06", "Pad A-6", "PAD-A", "BAT-A"},
    {"N-07", "Pad A-7", "PAD-A", "BAT-A"}, {"N-08", "Pad A-8", "PAD-A", "BAT-A"},
    {"N-09", "Pad B-1", "PAD-B", "BAT-B"}, {"N-10", "Pad B-2", "PAD-B", "BAT-B"},
    {"N-11", "Pad B-3", "PAD-B", "BAT-B"}, {"N-12", "Pad B-4", "PAD-B", "BAT-B"},
    {"N-13", "Pad B-5", "PAD-B", "BAT-B"}, {"N-14", "Pad B-6", "PAD-B", "BAT-B"},
    {"N-15", "Pad B-7", "PAD-B", "BAT-B"}, {"N-16", "", "PAD-C", "BAT-C"},
    {"N-17", "", "PAD-C", "BAT-C"},        {"N-18", "", "PAD-C", "BAT-C"},
    {"N-19", "", "PAD-C", "BAT-C"},        {"N-20", "", "PAD-C", "BAT-C"},
    {"N-21", "", "PAD-B", "BAT-B"},
};

// One day of the meters: the gathering centre's sales (oil, gas, water and
// the change of tank stock), the three pad separators (oil, gas, water) and
// the flash gas of PAD-C's low-pressure stage. Oil and water bbl, gas Mscf.
struct MeterDay {
  int day;
  double gcOil, gcGas, gcWater, gcStock;
  double aOil, aGas, aWater;
  double bOil, bGas, bWater;
  double cOil, cGas, cWater;
  double lpGas;
};

constexpr MeterDay kMeters[] = {
    {1, 2393.0, 1966.7, 1753.9, 9.1, 845.6, 770.8, 792.0, 716.3, 670.5, 592.5, 835.9, 535.5, 380.9,
     45.1},
    {2, 2406.7, 1943.2, 1767.2, 32.8, 859.5, 741.9, 796.1, 723.6, 708.0, 596.4, 835.9, 515.5, 369.5,
     46.1},
    {3, 2370.7, 1986.1, 1782.0, -11.0, 859.4, 751.7, 799.9, 705.5, 681.8, 598.6, 837.8, 535.8,
     372.0, 47.5},
    {4, 2376.9, 1986.6, 1766.9, -6.1, 852.0, 742.6, 790.9, 719.8, 726.1, 622.9, 837.1, 541.9, 365.2,
     44.9},
    {5, 2370.9, 1995.8, 1732.5, -8.5, 853.9, 760.8, 800.3, 709.0, 714.3, 581.2, 838.7, 535.0, 345.3,
     48.2},
    {6, 2350.1, 1991.2, 1753.2, -9.0, 839.2, 758.1, 803.9, 693.8, 689.1, 593.9, 832.0, 545.5, 362.8,
     47.3},
    {7, 2356.1, 2025.7, 1802.8, 1.0, 843.4, 783.2, 811.9, 705.9, 715.9, 612.3, 838.8, 541.9, 379.1,
     45.1},
    {8, 2400.1, 1982.2, 1758.1, 4.4, 869.8, 736.2, 796.5, 693.8, 726.6, 590.6, 854.2, 527.9, 379.8,
     49.3},
    {9, 2399.0, 2050.1, 1755.6, -7.3, 870.5, 759.5, 787.6, 711.9, 725.7, 585.8, 839.0, 551.5, 365.1,
     45.7},
    {10, 2360.4, 1981.7, 1755.3, -2.0, 861.5, 753.4, 795.5, 696.6, 682.7, 596.4, 833.8, 545.8,
     376.6, 45.4},
    {11, 2372.5, 1985.8, 1742.0, 3.5, 889.5, 739.6, 788.8, 700.8, 726.7, 597.0, 809.8, 532.5, 368.7,
     43.3},
    {12, 2325.6, 1988.1, 1693.1, 16.0, 798.8, 748.1, 700.8, 703.3, 730.1, 606.9, 831.7, 526.2,
     371.7, 46.2},
    {13, 2338.9, 1954.4, 1646.9, 0.7, 784.8, 702.4, 680.2, 705.0, 746.6, 589.7, 858.1, 525.3, 375.6,
     46.2},
    {14, 2300.3, 1927.1, 1671.5, -5.2, 774.2, 703.4, 694.0, 705.4, 683.7, 600.1, 829.8, 547.5,
     370.1, 48.5},
    {15, 2322.1, 1984.9, 1736.7, 3.3, 818.7, 749.0, 749.0, 709.8, 699.0, 604.6, 817.4, 526.2, 384.3,
     42.5},
    {16, 2376.2, 2020.5, 1782.7, -0.1, 835.9, 757.9, 803.3, 709.8, 724.4, 606.4, 835.2, 522.6,
     370.8, 47.2},
    {17, 2400.3, 1953.7, 1758.1, -23.2, 849.0, 759.3, 799.1, 723.4, 678.6, 584.7, 845.4, 536.6,
     366.6, 46.0},
    {18, 2350.0, 1970.3, 1766.0, -4.8, 851.0, 715.7, 801.2, 683.7, 715.9, 594.8, 827.9, 539.0,
     364.8, 46.4},
    {19, 2363.1, 1973.1, 1798.3, -10.1, 842.6, 743.3, 808.2, 715.2, 710.9, 606.3, 840.3, 540.5,
     372.4, 46.2},
    {20, 2363.9, 2025.3, 1785.1, 5.0, 838.9, 746.5, 818.2, 709.7, 733.6, 597.0, 834.6, 540.7, 374.8,
     46.7},
    {21, 2369.1, 1988.1, 1760.1, 2.5, 840.9, 745.3, 796.3, 710.1, 719.6, 596.8, 838.7, 539.7, 379.0,
     47.1},
    {22, 2366.4, 1959.2, 1782.1, -2.5, 848.2, 697.6, 815.6, 699.1, 725.6, 582.0, 852.4, 547.6,
     370.7, 47.2},
    {23, 2360.4, 1996.2, 1766.3, -15.5, 828.9, 741.7, 804.3, 710.8, 735.8, 589.6, 822.4, 546.6,
     368.9, 43.0},
    {24, 2363.2, 1954.1, 1750.9, 0.2, 847.8, 742.9, 805.9, 697.4, 685.5, 582.2, 827.0, 548.6, 379.0,
     44.7},
    {25, 2389.9, 1967.7, 1750.1, 2.8, 846.1, 722.9, 776.5, 697.8, 713.9, 599.0, 849.6, 539.7, 384.5,
     47.3},
    {26, 2357.9, 1946.3, 1772.0, -2.4, 845.0, 732.0, 796.2, 708.5, 712.0, 604.8, 837.0, 524.1,
     372.6, 48.0},
    {27, 2333.8, 1973.2, 1761.8, 6.6, 843.8, 758.8, 808.7, 711.7, 718.9, 592.8, 798.8, 524.9, 370.6,
     41.2},
    {28, 2378.3, 1950.6, 1785.9, -7.9, 840.3, 722.7, 802.3, 720.8, 707.4, 599.5, 818.2, 522.5,
     375.2, 42.8},
    {29, 2364.4, 1978.8, 1785.0, -14.8, 857.7, 718.1, 801.1, 712.5, 726.7, 615.9, 822.7, 538.9,
     374.8, 43.2},
    {30, 2344.8, 2004.6, 1782.1, -18.6, 828.9, 738.7, 782.7, 711.0, 720.6, 612.6, 827.6, 535.6,
     379.1, 47.1},
    {31, 2341.9, 1968.6, 1774.2, 8.6, 845.1, 747.8, 788.5, 709.3, 711.4, 607.9, 814.2, 527.4, 369.6,
     44.6},
};

struct DemoTest {
  const char* well;
  int date;
  double oil;   // bbl/d
  double gor;   // scf/bbl
  double bsw;   // percent
  double whfp;  // wellhead flowing pressure, psi
};

constexpr DemoTest kTests[] = {
    {"N-01", 20041206, 142.0, 820, 38.0, 215}, {"N-02", 20041209, 96.5, 760, 52.0, 190},
    {"N-03", 20041212, 188.0, 910, 24.5, 240}, {"N-03", 20050117, 174.8, 910, 26.5, 240},
    {"N-04", 20041215, 61.0, 700, 71.0, 165},  {"N-05", 20041218, 124.0, 880, 33.0, 205},
    {"N-06", 20041221, 77.5, 690, 58.5, 175},  {"N-07", 20041224, 155.0, 940, 29.0, 230},
    {"N-08", 20041227, 43.0, 650, 80.5, 150},  {"N-09", 20041208, 110.0, 1050, 41.0, 260},
    {"N-10", 20041211, 86.0, 1120, 47.5, 245}, {"N-11", 20041214, 132.0, 990, 36.0, 270},
    {"N-11", 20050120, 139.9, 990, 34.5, 270}, {"N-12", 20041217, 74.0, 1450, 55.0, 230},
    {"N-13", 20041220, 58.5, 1010, 63.0, 210}, {"N-14", 20041223, 121.0, 1080, 39.5, 255},
    {"N-15", 20041226, 97.0, 960, 44.0, 240},  {"N-16", 20041207, 164.0, 620, 27.0, 310},
    {"N-17", 20041210, 139.0, 580, 31.5, 295}, {"N-17", 20050111, 132.0, 580, 32.5, 295},
    {"N-18", 20041213, 88.0, 640, 49.0, 280},  {"N-19", 20041216, 224.1, 600, 22.0, 320},
    {"N-20", 20041219, 188.8, 570, 26.0, 300}, {"N-21", 20041222, 102.0, 610, 35.0, 285},
};

// Days off the full 24 hours; every other well-day is on all day.
struct DemoHours {
  const char* well;
  int date;
  double hours;
};

constexpr DemoHours kHours[] = {
    {"N-06", 20050112, 6},    {"N-06", 20050113, 0},  {"N-06", 20050114, 0},
    {"N-06", 20050115, 14.5}, {"N-14", 20050124, 20}, {"N-18", 20050105, 18.5},
    {"N-18", 20050106, 21},
};

struct DemoEquation {
  const char* well;
  const char* fluid;  // "" for parameters of the well as a whole
  const char* keyword;
  std::vector<double> parameters;
};

// Rate-method parameters, in force from 1 January 2005.
const std::vector<DemoEquation>& demoEquations() {
  static const std::vector<DemoEquation> equations = {
      // Oil decline: reference date, rate then (bbl/d), decline %/month, exponent.
      {"N-19", "Oil", "Decline", {20040630, 262, 3, 0}},
      {"N-20", "Oil", "Decline", {20040930, 198, 2.5, 0}},
      {"N-12", "Gas", "Const", {1450}},  // GOR, scf/bbl
      // N-05's nodal method: fluid, reservoir, wellbore and tubing data.
      {"N-05", "", "ResProp", {0, 0, 35, 0.7, 1.05, 0, 0, 0, 0}},
      {"N-05", "", "PVTPROP", {3000, 180, 1.2, 1.5, 400, 0, 0.02, 0.9, 1.02, 0.5, 0}},
      {"N-05", "", "wellProp", {50, 20, 4, 50, 0, 1e-5, 2500}},
      {"N-05", "", "dateinfo", {20041218, 0, 90}},
      {"N-05", "", "welldesc", {2.441, 8000, 90, 0}},
  };
  return equations;
}

constexpr int kEquationDate = 20050101;
constexpr int kSwitchDate = 20050116;  // N-21 goes from PAD-B to PAD-C
constexpr double kFullDay = 24;

int dateOfDay(int day) {
  return kDemoYearMonth * 100 + day;
}

// Writes the demo field; "" or the first reason a row could not be written.
std::string writeDemo(zelba::sqlite::Database& db) {
  Writer writer(db);
  std::map<std::string, std::int64_t> values;  // category value name -> id
  std::map<std::string, std::int64_t> wells;   // well name -> id
  std::string reason;
  auto keep = [&reason](const std::string& why) {
    if (reason.empty()) reason = why;
    return reason.empty();
  };
  {
    zelba::sqlite::Transaction transaction(db);
    if (!keep(transaction.error())) return reason;
    const std::vector<std::pair<const char*, std::vector<const char*>>> categories = {
        {kField, {"NORTH"}},
        {kGatheringCentre, {"NORTH-GC"}},
        {kSeparator, {"PAD-A", "PAD-B", "PAD-C", "PAD-C-LP"}},
        {kBattery, {"BAT-A", "BAT-B", "BAT-C"}},
    };
    for (const auto& [category, names] : categories) {
      const zelba::hostdb::RowId c = writer.addCategory(category);
      keep(c.error);
      for (const char* name : names) {
        const zelba::hostdb::RowId v = writer.addCategoryValue(c.id, name);
        keep(v.error);
        values[name] = v.id;
      }
    }
    for (const DemoWell& w : kWells) {
      const zelba::hostdb::RowId id = writer.addWell(w.name, w.label);
      keep(id.error);
      wells[w.name] = id.id;
      for (const char* value : {"NORTH", "NORTH-GC", w.separator, w.battery}) {
        keep(writer.assign(id.id, values[value]));
      }
    }
    if (!reason.empty()) return reason;
    keep(transaction.commit());
  }
  if (!reason.empty()) return reason;

  zelba::sqlite::Transaction transaction(db);
  if (!keep(transaction.error())) return reason;
  for (const MeterDay& m : kMeters) {
    const int date = dateOfDay(m.day);
    keep(writer.addDay(
        "MEASURED", values["NORTH-GC"], date,
        {{"OIL", m.gcOil}, {"GAS", m.gcGas}, {"WATER", m.gcWater}, {"STOCK", m.gcStock}}));
    keep(writer.addDay("MEASURED", values["PAD-A"], date,
                       {{"OIL", m.aOil}, {"GAS", m.aGas}, {"WATER", m.aWater}}));
    keep(writer.addDay("MEASURED", values["PAD-B"], date,
                       {{"OIL", m.bOil}, {"GAS", m.bGas}, {"WATER", m.bWater}}));
    keep(writer.addDay("MEASURED", values["PAD-C"], date,
                       {{"OIL", m.cOil}, {"GAS", m.cGas}, {"WATER", m.cWater}}));
    keep(writer.addDay("MEASURED", values["PAD-C-LP"], date, {{"GAS", m.lpGas}}));
  }
  for (const DemoTest& t : kTests) {
    keep(writer.addDay("WELLTEST", wells[t.well], t.date,
                       {{"OIL", t.oil}, {"GOR", t.gor}, {"BSW", t.bsw}, {"WHFP", t.whfp}}));
  }
  for (const DemoWell& w : kWells) {
    for (const MeterDay& m : kMeters) {
      const int date = dateOfDay(m.day);
      double hours = kFullDay;
      for (const DemoHours& h : kHours) {
        if (h.date == date && std::strcmp(h.well, w.name) == 0) hours = h.hours;
      }
      keep(writer.addDay("HOURS", wells[w.name], date, {{"HOURS_ON", hours}}));
    }
  }
  keep(writer.addStatus(wells["N-21"], kSwitchDate, "", values["PAD-C"]));
  for (const DemoEquation& e : demoEquations()) {
    keep(writer.addEquation(wells[e.well], kEquationDate, e.fluid, e.keyword, e.parameters));
  }
  if (!reason.empty()) return reason;
  keep(transaction.commit());
  return reason;
}

// The demo's ready setup record: January 2005, daily, the separators as
// points of measurement, the report and load file beside the database, and
// the allocated volumes written back.
constexpr const char* kDemoRecordName = "North month";

template <size_t N>
void setText(char (&field)[N], const std::string& text) {
  std::strncpy(field, text.c_str(), N - 1);
}

BA_SETUP demoRecord() {
  BA_SETUP r = zelba::hostapp::emptySetupRecord();
  const std::vector<zelba::hostdb::Variable>& variables = zelba::hostdb::variables();
  auto bind = [&variables](BA_VARREF& ref, const std::string& name) {
    setText(ref.varName, name);
    for (size_t i = 0; i < variables.size(); ++i) {
      if (variables[i].name == name) ref.varPos = static_cast<int32_t>(i);
    }
  };
  setText(r.startDate, "20050101");
  setText(r.endDate, "20050131");
  setText(r.pomCategory, kSeparator);
  r.pomCategoryIndex = 3;  // BATTERY, FIELD, GATHERING CENTRE, SEPARATOR
  r.defaultHours = 24;
  r.performMode = 0;
  r.createReport = 1;
  r.createLoadFile = 1;
  r.writebackFlag = 1;
  setText(r.reportFilePath, "north.prn");
  setText(r.loadFilePath, "north_load.txt");
  setText(r.header1, "North Field");
  setText(r.header2, "Daily allocation, January 2005");
  bind(r.measureVars[1], "MEASURED.OIL");
  bind(r.measureVars[2], "MEASURED.GAS");
  bind(r.measureVars[3], "MEASURED.WATER");
  bind(r.welltestVars[1], "WELLTEST.OIL");
  bind(r.welltestVars[2], "WELLTEST.GOR");
  bind(r.welltestVars[3], "WELLTEST.BSW");
  bind(r.welltestVars[7], "WELLTEST.WHFP");
  r.gorFlag = r.bswFlag = 1;
  bind(r.timeVars[1], "HOURS.HOURS_ON");
  bind(r.timeVars[2], "STATUS.FACILITY");
  for (int e = 4; e <= 7; ++e) bind(r.equationVars[e], "EQUATION.P" + std::to_string(e - 3));
  bind(r.writebackVars[0], "ALLOCATED.HOURS_ON");
  bind(r.writebackVars[1], "ALLOCATED.OIL");
  bind(r.writebackVars[2], "ALLOCATED.GAS");
  bind(r.writebackVars[3], "ALLOCATED.WATER");
  return r;
}

// Creates a new database at `path` with the schema, and the demo field when
// `demo` is set. On failure the file is removed again.
int createDatabase(const std::string& path, bool demo) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec) || ec) {
    std::fprintf(stderr, "zelba-hostdb: '%s' already exists; give the name of a new file\n",
                 path.c_str());
    return kExitFailed;
  }
  std::string reason;
  {
    zelba::sqlite::Database db;
    reason = db.open(path, false);
    if (reason.empty()) reason = zelba::hostdb::createSchema(db);
    if (reason.empty() && demo) reason = writeDemo(db);
    if (reason.empty() && demo) {
      reason = zelba::hostapp::saveSetupRecord(db, kDemoRecordName, demoRecord());
    }
    const std::string closing = db.close();
    if (reason.empty()) reason = closing;
  }
  if (!reason.empty()) {
    std::filesystem::remove(path, ec);
    std::fprintf(stderr, "zelba-hostdb: cannot create the database '%s': %s\n", path.c_str(),
                 reason.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

int listDatabase(const std::string& path) {
  zelba::sqlite::Database db;
  std::string reason = zelba::hostdb::openForReading(db, path);
  zelba::hostdb::CategoryList categories;
  if (reason.empty()) {
    categories = zelba::hostdb::readCategories(db);
    reason = categories.error;
  }
  if (!reason.empty()) {
    std::fprintf(stderr, "zelba-hostdb: cannot read the database '%s': %s\n", path.c_str(),
                 reason.c_str());
    return kExitFailed;
  }
  const std::vector<zelba::hostdb::Variable>& variables = zelba::hostdb::variables();
  std::printf("Variables (%zu):\n", variables.size());
  for (const zelba::hostdb::Variable& v : variables) std::printf("  %s\n", v.name.c_str());
  std::printf("Categories (%zu):\n", categories.categories.size());
  for (const zelba::hostdb::Category& c : categories.categories) {
    std::string line = "  " + c.name + ":";
    for (size_t i = 0; i < c.values.size(); ++i) line += (i ? ", " : " ") + c.values[i];
    std::printf("%s\n", line.c_str());
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "zelba-hostdb: the list could not be written in full\n");
    return kExitFailed;
  }
  return kExitOk;
}

int upgradeDatabase(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    std::fprintf(stderr, "zelba-hostdb: '%s' does not exist\n", path.c_str());
    return kExitFailed;
  }
  zelba::sqlite::Database db;
  std::string reason = db.open(path, false);
  zelba::hostdb::UpgradeResult result;
  if (reason.empty()) {
    result = zelba::hostdb::upgradeSchema(db);
    reason = result.error;
  }
  if (!reason.empty()) {
    std::fprintf(stderr, "zelba-hostdb: cannot upgrade the database '%s': %s\n", path.c_str(),
                 reason.c_str());
    return kExitFailed;
  }
  std::printf(
      result.upgraded ? "%s upgraded to schema version %d\n" : "%s already has schema version %d\n",
      path.c_str(), zelba::hostdb::kSchemaVersion);
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
  }
  if (argc != 3 || argv[2][0] == '\0') {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  const std::string command = argv[1];
  const std::string path = argv[2];
  if (command == "create") return createDatabase(path, false);
  if (command == "demo") return createDatabase(path, true);
  if (command == "list") return listDatabase(path);
  if (command == "upgrade") return upgradeDatabase(path);
  std::fprintf(stderr, "zelba-hostdb: unknown command '%s'; try zelba-hostdb --help\n",
               command.c_str());
  return kExitUsage;
}
