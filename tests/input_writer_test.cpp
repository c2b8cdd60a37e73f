// The engine input file written from hand-built production databases as a
// setup record binds it; the demo database through the writer and the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/driver.h"
#include "engine/numbers.h"
#include "host/host_database.h"
#include "host/input_writer.h"
#include "host/sqlite_db.h"
#include "setup/ba_setup.h"
#include "tests/temp_dir.h"

namespace {

using zelba::hostapp::InputFileResult;
using zelba::hostapp::writeInputFile;
using zelba::hostdb::Writer;

// An empty record: nothing bound, every flag 0.
BA_SETUP emptyRecord() {
  BA_SETUP r;
  std::memset(&r, 0, sizeof r);
  for (BA_VARREF& v : r.welltestVars) v.varPos = -1;
  for (BA_VARREF& v : r.measureVars) v.varPos = -1;
  for (BA_VARREF& v : r.writebackVars) v.varPos = -1;
  for (BA_VARREF& v : r.timeVars) v.varPos = -1;
  for (BA_VARREF& v : r.equationVars) v.varPos = -1;
  return r;
}

template <size_t N>
void setText(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

void bindTo(BA_VARREF& ref, const std::string& name) {
  setText(ref.varName, name);
  ref.varPos = 0;  // any position: the name decides
}

// The field used by most tests. SEPARATOR: P1 (W1, W2), P2 (W3), P3 (no
// wells); BATTERY: B1 (W1, W3, W4). W4 has no separator.
struct SmallField {
  std::map<std::string, std::int64_t> id;
};

void fillSmallField(Writer& w, SmallField& f) {
  auto keep = [](const std::string& why) { ASSERT_EQ(why, ""); };
  const auto separator = w.addCategory("SEPARATOR");
  const auto battery = w.addCategory("BATTERY");
  for (const char* v : {"P1", "P2", "P3"}) f.id[v] = w.addCategoryValue(separator.id, v).id;
  f.id["B1"] = w.addCategoryValue(battery.id, "B1").id;
  for (const char* name : {"W1", "W2", "W3", "W4"}) f.id[name] = w.addWell(name, "").id;
  keep(w.assign(f.id["W1"], f.id["P1"]));
  keep(w.assign(f.id["W2"], f.id["P1"]));
  keep(w.assign(f.id["W3"], f.id["P2"]));
  for (const char* name : {"W1", "W3", "W4"}) keep(w.assign(f.id[name], f.id["B1"]));

  // Meters: P1 misses 2 January; the day before the period is not read.
  keep(w.addDay("MEASURED", f.id["P1"], 20041231, {{"OIL", 999}}));
  keep(w.addDay("MEASURED", f.id["P1"], 20050101, {{"OIL", 100}, {"GAS", 50.5}, {"STOCK", 2}}));
  keep(w.addDay("MEASURED", f.id["P1"], 20050103, {{"OIL", 90}}));
  keep(w.addDay("MEASURED", f.id["P2"], 20050102, {{"OIL", 40}, {"GAS", 10}}));
  keep(w.addDay("MEASURED", f.id["B1"], 20050101, {{"OIL", 70}}));

  keep(w.addDay("WELLTEST", f.id["W1"], 20041201, {{"OIL", 60}, {"WHFP", 200}}));
  keep(w.addDay(
      "WELLTEST", f.id["W1"], 20041215,
      {{"OIL", 62}, {"GAS", 31}, {"WATER", 8}, {"GOR", 500}, {"BSW", 11.4}, {"WHFP", 205}}));
  keep(w.addDay("WELLTEST", f.id["W1"], 20050102, {{"OIL", 58}, {"GOR", 520}, {"WHFP", 190}}));
  keep(w.addDay("WELLTEST", f.id["W1"], 20050110, {{"OIL", 1}}));  // after the period
  keep(w.addDay("WELLTEST", f.id["W2"], 20041220, {{"OIL", 40}, {"GAS", 20}, {"WATER", 5}}));
  keep(w.addDay("WELLTEST", f.id["W3"], 20041210, {{"OIL", 30}}));

  keep(w.addDay("HOURS", f.id["W1"], 20050101, {{"HOURS_ON", 24}}));
  keep(w.addDay("HOURS", f.id["W2"], 20050102, {{"HOURS_ON", 20}}));
  // W3 goes down before the period, and is moved to P1 and started on the 2nd.
  keep(w.addStatus(f.id["W3"], 20041230, "down", -1));
  keep(w.addStatus(f.id["W3"], 20050102, "UP", f.id["P1"]));

  keep(w.addEquation(f.id["W1"], 20040601, "Oil", "Decline", {20040601, 80, 2, 0}));
  keep(w.addEquation(f.id["W1"], 20050102, "Oil", "Decline", {20050102, 75, 2, 0}));
  keep(w.addEquation(f.id["W1"], 20050201, "Oil", "Decline", {20050201, 70, 2, 0}));
  keep(w.addEquation(f.id["W1"], 20050301, "Oil", "Decline", {20050301, 65, 2, 0}));
  keep(w.addEquation(f.id["W2"], 20041101, "", "dateinfo", {20041101, 0, 90}));
  keep(w.addEquation(f.id["W2"], 20050101, "Gas", "Const", {600}));
  keep(w.addEquation(f.id["W3"], 20050101, "Water", "Bogus", {1}));
}

class InputWriterTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.ok());
    const std::string path = dir_.file("field.db");
    {
      zelba::sqlite::Database db;
      ASSERT_EQ(db.open(path, false), "");
      ASSERT_EQ(zelba::hostdb::createSchema(db), "");
      zelba::sqlite::Transaction transaction(db);
      Writer writer(db);
      fillSmallField(writer, field_);
      ASSERT_EQ(transaction.commit(), "");
      ASSERT_EQ(db.close(), "");
    }
    ASSERT_EQ(zelba::hostdb::openForReading(db_, path), "");
  }

  // The setup of the plain case: no flags, every section bound.
  static BA_SETUP plainRecord() {
    BA_SETUP r = emptyRecord();
    setText(r.startDate, "20050101");
    setText(r.endDate, "20050103");
    setText(r.pomCategory, "SEPARATOR");
    r.pomShrinkage = 0.985f;
    r.defaultHours = 24;
    r.createReport = 1;
    setText(r.reportFilePath, "out/run.prn");
    r.createLoadFile = 1;
    setText(r.loadFilePath, "run load.txt");
    setText(r.header1, "North test");
    bindTo(r.measureVars[1], "MEASURED.OIL");
    bindTo(r.measureVars[2], "MEASURED.GAS");
    bindTo(r.measureVars[9], "MEASURED.STOCK");
    setText(r.measureVars[3].varName, "GONE.WATER");  // a stale name, not bound
    bindTo(r.welltestVars[1], "WELLTEST.OIL");
    bindTo(r.welltestVars[2], "WELLTEST.GAS");
    bindTo(r.welltestVars[3], "WELLTEST.WATER");
    bindTo(r.welltestVars[7], "WELLTEST.WHFP");
    bindTo(r.timeVars[1], "HOURS.HOURS_ON");
    bindTo(r.timeVars[2], "STATUS.FACILITY");
    bindTo(r.timeVars[3], "STATUS.STATUS");
    bindTo(r.equationVars[4], "EQUATION.P1");
    bindTo(r.equationVars[5], "EQUATION.P2");
    bindTo(r.equationVars[6], "EQUATION.P3");
    bindTo(r.equationVars[7], "EQUATION.P4");
    return r;
  }

  TempDir dir_{"zelba-input-writer"};
  SmallField field_;
  zelba::sqlite::Database db_;
};

TEST_F(InputWriterTest, EverySectionFromThePlainSetup) {
  const InputFileResult result = writeInputFile(db_, plainRecord());
  ASSERT_EQ(result.error, "");
  EXPECT_TRUE(result.unknownVariables.empty());
  const std::string expected =
      "#control\n"
      "*period 20050101 20050103\n"
      "*daily\n"
      "*report out/run.prn\n"
      "*load \"run load.txt\"\n"
      "#end\n"
      "#network\n"
      "*Header \"North test\"\n"
      "*Methods *Welltest\n"
      // P1 first by name; W3 is listed under P1 too, where it moves on the 2nd.
      "*TF P1 *shrinkage 0.985\n"
      "Well W1 *Oil *Decline *Welltest\n"
      "Well W2 *Gas *Const *Welltest\n"
      "Well W3\n"
      "*TF P2 *shrinkage 0.985\n"
      "Well W3\n"
      "#end\n"
      // The missing day of P1 has no line; a NULL column reads as no value.
      "#volume\n"
      "*TF P1\n"
      "*date Oil Gas stock\n"
      "20050101 100 50.5 2\n"
      "20050103 90 NA NA\n"
      "*TF P2\n"
      "*date Oil Gas stock\n"
      "20050102 40 10 NA\n"
      "#end\n"
      // The latest test before the period opens each well; W1's test after
      // the period is not read.
      "#welltest\n"
      "*date oil GAS WATER whfp\n"
      "*Well W1\n"
      "20041215 62 31 8 205\n"
      "20050102 58 NA NA 190\n"
      "*Well W2\n"
      "20041220 40 20 5 NA\n"
      "*Well W3\n"
      "20041210 30 NA NA NA\n"
      "#end\n"
      // W3 flows to its own P2 from day 1, to P1 from the 2nd; its status
      // changes give its hours, as it has no hours of its own.
      "#time\n"
      "*date\n"
      "*ON 24\n"
      "*Well W1\n"
      "20050101 24\n"
      "*Well W2\n"
      "20050102 20\n"
      "*Well W3\n"
      "20050101 24 TF P2\n"
      "20050102 24 TF P1\n"
      "#end\n"
      "#time\n"
      "*Status\n"
      "*Well W3\n"
      "20041230 0 down\n"
      "20050102 0 up\n"
      "#end\n"
      // W1's declines: the opening row and the period's.
      "#equation\n"
      "*ZEL date kh slope yo RDate Qi Di n\n"
      "*Well W1\n"
      "*Oil\n"
      "20040601 0 0 0 20040601 80 2 0\n"
      "20050102 0 0 0 20050102 75 2 0\n"
      "*Well W2\n"
      "*Date 20041101\n"
      "*dateinfo 20041101 0 90\n"
      "*Date 20050101\n"
      "*Gas *Const 600\n"
      "#end\n";
  EXPECT_EQ(result.text, expected);
  EXPECT_EQ(result.notes, (std::vector<std::string>{
                              "wells without a value of SEPARATOR are left out: W4",
                              "the equation W3 20050101 Water Bogus names no method; left out"}));

  // The engine reads it: 3 points' worth of nodes, the period as given.
  zelba::RunState rs;
  zelba::RunSummary summary;
  EXPECT_EQ(zelba::runEngineOnText(rs, result.text, &summary), 1);
  EXPECT_EQ(summary.pomCount, 2);
  EXPECT_EQ(summary.periodStart, 20050101);
  EXPECT_EQ(summary.periodEnd, 20050103);
}

TEST_F(InputWriterTest, FlagsChooseKeywordsAndColumns) {
  BA_SETUP r = plainRecord();
  r.performMode = 1;
  r.computeTheoreticals = 1;
  r.htmlFlag = 1;
  r.gorFlag = r.bswFlag = r.fractionFlag = r.bhpFlag = 1;
  r.downTimeFlag = 1;
  r.defaultHours = 20;
  r.nominalFlag = r.interpolateFlag = 1;
  r.pomShrinkage = 0;  // not given
  bindTo(r.welltestVars[2], "WELLTEST.GOR");
  bindTo(r.welltestVars[3], "WELLTEST.BSW");
  const InputFileResult result = writeInputFile(db_, r);
  ASSERT_EQ(result.error, "");
  const std::string& t = result.text;
  auto has = [&t](const std::string& part) {
    EXPECT_NE(t.find(part), std::string::npos) << part << "\nin\n" << t;
  };
  // Oil and Gas are metered, Oil, Gas and Water tested.
  has("*period 20050101 20050103\n*monthly\n*Theoretical Oil Gas Water\n");
  has("*html out/run.htm out/\n*load");
  EXPECT_EQ(t.find("*report"), std::string::npos);
  has("*TF P1\nWell W1");
  has("#welltest\n*BswFraction\n*date oil gor bsw bhp\n*Well W1\n"
      "20041215 62 500 11.4 205\n20050102 58 520 NA 190\n");
  // Hours down: the default 20 hours on are 4 down on a day without a row.
  has("#time\n*date\n*DownTime\n*ON 20\n");
  has("*Well W3\n20050101 4 TF P2\n20050102 4 TF P1\n");
  // With Interpolate the first row after the period is the outer point.
  has("#equation\n*Nominal\n*Interpolate\n*ZEL date kh slope yo RDate Qi Di n\n*Well W1\n*Oil\n"
      "20040601 0 0 0 20040601 80 2 0\n20050102 0 0 0 20050102 75 2 0\n"
      "20050201 0 0 0 20050201 70 2 0\n*Well W2\n");

  // BSW without Fraction, GOR off: no *BswFraction, gas in its own column.
  r.fractionFlag = 0;
  r.gorFlag = 0;
  r.bhpFlag = 0;
  bindTo(r.welltestVars[2], "WELLTEST.GAS");
  const std::string second = writeInputFile(db_, r).text;
  EXPECT_EQ(second.find("*BswFraction"), std::string::npos);
  EXPECT_NE(second.find("*date oil GAS bsw whfp\n"), std::string::npos) << second;
}

TEST_F(InputWriterTest, SecondCategoryGivesAnotherNetwork) {
  BA_SETUP r = plainRecord();
  setText(r.pomCategory, "BATTERY");
  const InputFileResult result = writeInputFile(db_, r);
  ASSERT_EQ(result.error, "");
  const std::string network =
      "#network\n*Header \"North test\"\n*Methods *Welltest\n"
      "*TF B1 *shrinkage 0.985\nWell W1 *Oil *Decline *Welltest\nWell W3\nWell W4\n#end\n";
  EXPECT_NE(result.text.find(network), std::string::npos) << result.text;
  EXPECT_NE(result.text.find("#volume\n*TF B1\n*date Oil Gas stock\n20050101 70 NA NA\n#end\n"),
            std::string::npos)
      << result.text;
  // W3's move to P1 is no move between batteries: no routing line.
  EXPECT_EQ(result.text.find(" TF P"), std::string::npos) << result.text;
  EXPECT_EQ(result.notes,
            (std::vector<std::string>{
                "wells without a value of BATTERY are left out: W2",
                "W3 changes facility on 20050102 to no point of BATTERY; the change is left out",
                "the equation W3 20050101 Water Bogus names no method; left out"}));
}

TEST_F(InputWriterTest, RefusedSetupsSayWhy) {
  auto refused = [this](const BA_SETUP& r, int first = 0, int last = 0) {
    const InputFileResult result = writeInputFile(db_, r, first, last);
    EXPECT_EQ(result.text, "");
    return result;
  };
  {
    // Bound names the database does not have are listed, each once.
    BA_SETUP r = plainRecord();
    bindTo(r.measureVars[4], "MEASURED.WATER_INJ_OLD");
    bindTo(r.welltestVars[5], "WELLTEST.GAS_INJ");
    bindTo(r.writebackVars[1], "NOT.READ");  // the writeback binds no input
    bindTo(r.equationVars[1], "WELLTEST.GAS_INJ");
    const InputFileResult result = refused(r);
    EXPECT_EQ(result.unknownVariables,
              (std::vector<std::string>{"MEASURED.WATER_INJ_OLD", "WELLTEST.GAS_INJ"}));
    EXPECT_EQ(result.error,
              "the setup binds variables the database does not have: MEASURED.WATER_INJ_OLD, "
              "WELLTEST.GAS_INJ");
  }
  {
    BA_SETUP r = plainRecord();
    bindTo(r.measureVars[1], "WELLTEST.OIL");
    EXPECT_EQ(refused(r).error,
              "the Measurements page binds Oil to WELLTEST.OIL, which holds no volumes of a point "
              "of measurement");
  }
  // A period with no data, and periods that are none.
  EXPECT_EQ(refused(plainRecord(), 20050201, 20050203).error,
            "no measured volumes at the points of SEPARATOR from 20050201 to 20050203");
  EXPECT_EQ(refused(plainRecord(), 20050101, 20050201).error,
            "the period from 20050101 to 20050201 has 32 days; a run covers at most 31");
  EXPECT_EQ(refused(plainRecord(), 20050103, 20050101).error,
            "the period ends on 20050101, before it starts on 20050103");
  EXPECT_EQ(refused(plainRecord(), 20050230, 20050301).error,
            "the start date 20050230 is not a calendar date written yyyymmdd");
  {
    BA_SETUP r = plainRecord();
    setText(r.startDate, "2005-01-01");
    EXPECT_EQ(refused(r).error,
              "the setup's start date '2005-01-01' is not a calendar date written yyyymmdd");
  }
  {
    BA_SETUP r = plainRecord();
    setText(r.pomCategory, "PLATFORM");
    EXPECT_EQ(refused(r).error, "the database has no category PLATFORM");
    std::memset(r.pomCategory, 0, sizeof r.pomCategory);
    EXPECT_EQ(refused(r).error, "the setup names no point-of-measurement category");
  }
  {
    BA_SETUP r = plainRecord();
    r.defaultHours = 25;
    EXPECT_EQ(refused(r).error, "the default hours 25 are not within 0 and 24");
    r = plainRecord();
    setText(r.reportFilePath, "say \"hi\".prn");
    EXPECT_NE(refused(r).error.find("cannot be written"), std::string::npos);
  }
}

TEST(InputWriterNumbers, ShortestTextThatReadsBack) {
  using zelba::hostapp::formatNumber;
  EXPECT_EQ(formatNumber(845.6), "845.6");
  EXPECT_EQ(formatNumber(20050131), "20050131");
  EXPECT_EQ(formatNumber(1e-5), "0.00001");
  EXPECT_EQ(formatNumber(-3.5), "-3.5");
  EXPECT_EQ(formatNumber(-0.0), "0");
  EXPECT_EQ(formatNumber(1e20), "1e+20");
  // Every value reads back as itself through the engine's own reader.
  std::uint64_t seed = 12345;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    const double scale = static_cast<double>(seed >> 11) / static_cast<double>(1ULL << 53);
    const double value = (scale - 0.5) * std::pow(10.0, static_cast<int>(seed % 40) - 20);
    EXPECT_EQ(zelba::parseNumber(formatNumber(value)), value) << formatNumber(value);
  }
}

TEST(InputWriterDemo, DemoDatabaseThroughTheWriterAndTheEngine) {
  TempDir dir("zelba-input-writer");
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("demo.db");
  const std::string command = std::string("'") + ZELBA_HOSTDB_PATH + "' demo '" + path + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  zelba::sqlite::Database db;
  ASSERT_EQ(zelba::hostdb::openForReading(db, path), "");

  BA_SETUP r = emptyRecord();
  setText(r.startDate, "20050101");
  setText(r.endDate, "20050131");
  setText(r.pomCategory, "SEPARATOR");
  r.defaultHours = 24;
  bindTo(r.measureVars[1], "MEASURED.OIL");
  bindTo(r.measureVars[2], "MEASURED.GAS");
  bindTo(r.measureVars[3], "MEASURED.WATER");
  bindTo(r.welltestVars[1], "WELLTEST.OIL");
  bindTo(r.welltestVars[2], "WELLTEST.GOR");
  bindTo(r.welltestVars[3], "WELLTEST.BSW");
  bindTo(r.welltestVars[7], "WELLTEST.WHFP");
  r.gorFlag = r.bswFlag = 1;
  bindTo(r.timeVars[1], "HOURS.HOURS_ON");
  bindTo(r.timeVars[2], "STATUS.FACILITY");
  for (int e = 4; e <= 7; ++e) bindTo(r.equationVars[e], "EQUATION.P" + std::to_string(e - 3));
  const InputFileResult result = writeInputFile(db, r);
  ASSERT_EQ(result.error, "");
  // N-21 moves from PAD-B to PAD-C on the 16th; N-19 declines.
  const size_t time = result.text.find("#time\n");
  const size_t n21 = result.text.find("*Well N-21\n20050101 24 TF PAD-B\n20050102 24\n", time);
  ASSERT_NE(n21, std::string::npos) << result.text;
  EXPECT_NE(result.text.find("\n20050115 24\n20050116 24 TF PAD-C\n20050117 24\n", n21),
            std::string::npos);
  EXPECT_NE(result.text.find("Well N-19 *Oil *Decline *Welltest\n"), std::string::npos);

  std::map<std::string, std::pair<double, double>> oil;  // point: measured, allocated
  double n19Day1 = -1;
  zelba::RunOptions options;
  options.inspect = [&](const zelba::RunState& state) {
    for (const auto& pom : state.pomTable) {
      oil[state.nodeTable[pom->nodeIndex]->name] = {pom->measuredTotal[zelba::kOil],
                                                    pom->allocatedTotal[zelba::kOil]};
    }
    for (const auto& node : state.nodeTable) {
      if (node->name == "N-19") n19Day1 = node->fluids[zelba::kOil].cumResult[1];
    }
  };
  zelba::RunState rs;
  ASSERT_EQ(zelba::runEngineOnText(rs, result.text, nullptr, options), 1);
  ASSERT_EQ(oil.size(), 3u);  // PAD-C-LP has no wells: no point
  // PAD-A's January oil, the sum of its meter days in examples/north_field.ba.
  EXPECT_NEAR(oil["PAD-A"].first, 26110.9, 1e-6);
  for (const auto& [name, volumes] : oil) {
    // Shares are cut to whole units; what is left goes to the largest member.
    EXPECT_NEAR(volumes.second, volumes.first, 1e-6) << name;
  }
  EXPECT_GT(n19Day1, 0);
}

}  // namespace
