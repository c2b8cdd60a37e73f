// The host application's review pages: the reader of a run's results JSON,
// the series the charts draw, and the diagnostics table and charts on Qt's
// offscreen platform. The results text is written by hand after
// docs/json-results.md: three days, one separator, two wells, two fluids.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <string>
#include <tuple>
#include <vector>

#include "host/app/results_view.h"

namespace zelba::hostapp {
namespace {

QApplication& app() {
  static int argc = 1;
  static char name[] = "results_view_test";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication application(argc, argv);
  return application;
}

// Oil: day 1 factor 0.9 accepted, day 2 factor 2.5 rejected (above 1.5),
// day 3 no factor. Gas: factors on days 1 and 3 only. W-2 is off on day 3.
const char* const kResults = R"({
 "periodStart": 20050301, "periodEnd": 20050303, "mode": "daily",
 "rangeMin": 0.5, "rangeMax": 1.5,
 "fluids": [{"name": "Oil", "units": "bbl", "theoreticalOnly": false},
            {"name": "Gas", "units": "Mcf", "theoreticalOnly": false}],
 "points": [{"index": 0, "node": "SEP-1", "level": "TF", "stage": 0, "members": ["W-1", "W-2"],
   "fluids": {
    "Oil": [{"date": 20050301, "measured": 180.0, "fieldFactor": 0.9, "rangeCode": 0},
            {"date": 20050302, "measured": 400.0, "fieldFactor": 2.5, "rangeCode": 104},
            {"date": 20050303, "measured": 0.0, "fieldFactor": null, "rangeCode": null}],
    "Gas": [{"date": 20050301, "measured": 50.0, "fieldFactor": 1.0, "rangeCode": 0},
            {"date": 20050302, "measured": 60.0, "fieldFactor": null, "rangeCode": null},
            {"date": 20050303, "measured": 70.0, "fieldFactor": 1.2, "rangeCode": 0}]}}],
 "wells": [
  {"name": "W-1", "level": "Well", "fluids": {
    "Oil": [{"date": 20050301, "hoursOn": 24.0, "point": "SEP-1", "theoretical": 120.0,
             "method": "Welltest", "allocated": 108.0},
            {"date": 20050302, "hoursOn": 24.0, "point": "SEP-1", "theoretical": 120.0,
             "method": "Welltest", "allocated": 0.0},
            {"date": 20050303, "hoursOn": 24.0, "point": "SEP-1", "theoretical": 110.0,
             "method": "Watch", "allocated": 0.0}],
    "Gas": [{"date": 20050301, "hoursOn": 24.0, "point": "SEP-1", "theoretical": 30.0,
             "method": "Welltest", "allocated": 30.0},
            {"date": 20050302, "hoursOn": 24.0, "point": "SEP-1", "theoretical": 30.0,
             "method": "Welltest", "allocated": 0.0},
            {"date": 20050303, "hoursOn": 24.0, "point": "SEP-1", "theoretical": 30.0,
             "method": "Welltest", "allocated": 35.0}]}},
  {"name": "W-2", "level": "Well", "fluids": {
    "Oil": [{"date": 20050301, "hoursOn": 24.0, "point": "SEP-1", "theoretical": 80.0,
             "method": "Welltest", "allocated": 72.0},
            {"date": 20050302, "hoursOn": 12.0, "point": "SEP-1", "theoretical": 40.0,
             "method": "Welltest", "allocated": 0.0},
            {"date": 20050303, "hoursOn": 0.0, "point": null, "theoretical": 0.0,
             "method": "??", "allocated": 0.0}],
    "Gas": [{"date": 20050301, "hoursOn": 24.0, "point": "SEP-1", "theoretical": 20.0,
             "method": "Welltest", "allocated": 20.0},
            {"date": 20050302, "hoursOn": 12.0, "point": "SEP-1", "theoretical": 10.0,
             "method": "Welltest", "allocated": 0.0},
            {"date": 20050303, "hoursOn": 0.0, "point": null, "theoretical": 0.0,
             "method": "??", "allocated": 0.0}]}}],
 "diagnostics": [
  {"kind": "ignoredLine", "reason": "unknown keyword '*precison'", "line": 4, "section": "#control"},
  {"kind": "factorOutOfRange", "reason": "field factor out of range: the members got nothing",
   "node": "SEP-1", "point": "SEP-1", "fluid": "Oil", "date": 20050302, "value": 2.5, "code": 104},
  {"kind": "volumeWithoutHours", "reason": "a volume on a day with 0 hours on", "node": "W-2",
   "fluid": "Oil", "date": 20050303, "value": 10},
  {"kind": "noBaseVolume", "reason": "no base volume", "node": "SEP-2", "fluid": "Gas",
   "date": 20050301, "value": 1234.5}],
 "diagnosticCounts": {"ignoredLine": 1, "partlyUsedLine": 0, "factorOutOfRange": 1,
   "noBaseVolume": 1, "volumeWithoutHours": 1, "noWellTest": 0}
})";

// `text` with its first `from` replaced by `to`.
std::string edited(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(ResultsReader, ReadsPointsWellsNullsAndDiagnostics) {
  const ResultsData r = parseResults(kResults);
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.periodStart, 20050301);
  EXPECT_EQ(r.periodEnd, 20050303);
  EXPECT_EQ(r.mode, "daily");
  EXPECT_EQ(r.rangeMin, 0.5);
  EXPECT_EQ(r.rangeMax, 1.5);
  ASSERT_EQ(r.fluids.size(), 2u);
  EXPECT_EQ(r.fluid("Gas")->units, "Mcf");
  EXPECT_EQ(r.fluid("Water"), nullptr);

  ASSERT_EQ(r.points.size(), 1u);
  const ResultsPoint& p = r.points[0];
  EXPECT_EQ(p.node, "SEP-1");
  EXPECT_EQ(p.level, "TF");
  EXPECT_EQ(p.members, (std::vector<std::string>{"W-1", "W-2"}));
  const std::vector<PointDay>* oil = pointDays(p, "Oil");
  ASSERT_NE(oil, nullptr);
  ASSERT_EQ(oil->size(), 3u);
  EXPECT_EQ((*oil)[1].measured, 400.0);
  EXPECT_EQ((*oil)[1].fieldFactor, 2.5);
  EXPECT_EQ((*oil)[1].rangeCode, 104);
  EXPECT_FALSE((*oil)[2].fieldFactor.has_value());  // null: no factor that day
  EXPECT_FALSE((*oil)[2].rangeCode.has_value());

  ASSERT_EQ(r.wells.size(), 2u);
  const std::vector<WellDay>* w2 = wellDays(r.wells[1], "Oil");
  ASSERT_NE(w2, nullptr);
  EXPECT_EQ((*w2)[1].hoursOn, 12.0);
  EXPECT_EQ((*w2)[1].theoretical, 40.0);
  EXPECT_EQ(r.text((*w2)[1].point), "SEP-1");
  EXPECT_EQ(r.text((*w2)[1].method), "Welltest");
  EXPECT_EQ((*w2)[2].point, -1);  // null: on no point that day
  EXPECT_EQ(r.text((*w2)[2].method), "??");
  EXPECT_EQ(wellDays(r.wells[1], "Water"), nullptr);

  ASSERT_EQ(r.diagnostics.size(), 4u);
  const ResultsDiagnostic& ignored = r.diagnostics[0];
  EXPECT_EQ(ignored.line, 4);
  EXPECT_EQ(ignored.section, "#control");
  EXPECT_EQ(ignored.date, 0);
  EXPECT_FALSE(ignored.value.has_value());
  const ResultsDiagnostic& range = r.diagnostics[1];
  EXPECT_EQ(range.point, "SEP-1");
  EXPECT_EQ(range.date, 20050302);
  EXPECT_EQ(range.value, 2.5);
  EXPECT_EQ(range.code, 104);
  EXPECT_EQ(range.line, 0);
  ASSERT_EQ(r.diagnosticCounts.size(), 6u);
  EXPECT_EQ(r.diagnosticCounts[2], std::pair(std::string("factorOutOfRange"), 1L));

  // Results of an engine that did not write the range yet: no range.
  const ResultsData old =
      parseResults(edited(kResults, R"("rangeMin": 0.5, "rangeMax": 1.5,)", ""));
  ASSERT_EQ(old.error, "");
  EXPECT_EQ(old.rangeMin, 0);
  EXPECT_EQ(old.rangeMax, 1e10);
}

TEST(ResultsReader, RefusesTextThatIsNotResultsInPlainWords) {
  const std::string good = kResults;
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"", "not JSON"},
      {"ba-engine: cannot open north.ba", "not JSON"},
      {"[1, 2, 3]", "not a JSON object"},
      {"{}", "The results text has no 'periodStart'."},
      {"null", "not a JSON object"},
      {"\"results\"", "not a JSON object"},
      {edited(good, R"("fluids": {
    "Oil": [{"date": 20050301, "measured": 180.0)",
              R"("nofluids": {
    "Oil": [{"date": 20050301, "measured": 180.0)"),
       "Point SEP-1 has no 'fluids'"},
      {edited(good, R"("measured": 400.0)", R"("measured": "400")"),
       "Point SEP-1, Oil day 2: 'measured' is not a number."},
      {edited(good, R"("measured": 400.0)", R"("measured": "1e400")"), "is not a number"},
      {edited(good, R"("measured": 400.0)", R"("measured": 1e400)"), "not JSON"},
      {edited(good, R"("fieldFactor": 2.5)", R"("fieldFactor": "NaN")"), "is not a number"},
      {edited(good, R"("hoursOn": 12.0)", R"("hoursOn": 1e300)"), "'hoursOn' is not 0 to 24"},
      {edited(good, R"("name": "W-2")", R"("name": 2)"), "Well 2: 'name' is not text."},
      {edited(good, R"("date": 20050302, "measured")", R"("date": 2.005e7, "measured")"),
       "'date' is not a whole number"},
      {edited(good, R"("date": 20050302, "measured")",
              R"("date": 18446744073709551615, "measured")"),
       "'date' is out of range"},
      {edited(good, R"("points": [{)", R"("points": [7, {)"), "An entry of 'points' is not"},
      {edited(good, R"("wells": [)", R"("wells": {"a": )"), ""},
      {edited(good, R"("code": 104)", R"("code": -1)"), "'code' is out of range"},
      {edited(good, R"("Gas": [{"date": 20050301, "measured")",
              R"("Steam": [{"date": 20050301, "measured")"),
       "a fluid the results do not list"},
      {edited(good, R"("ignoredLine": 1,)", R"("ignoredLine": "one",)"), "is not a whole number"},
      {edited(good, R"("mode": "daily",)", R"("mode": "daily", "mode": "daily",)"), "twice"},
      {good + "}", "not JSON"},
  };
  for (const auto& [text, words] : bad) {
    const ResultsData r = parseResults(text);
    EXPECT_NE(r.error, "") << text;
    EXPECT_NE(r.error.find(words), std::string::npos) << r.error;
    EXPECT_TRUE(r.points.empty() && r.wells.empty() && r.diagnostics.empty() && r.fluids.empty());
  }
  // Cut short anywhere, the text is refused and never crashes the reader.
  for (size_t n = 0; n + 2 < good.size(); n += 7) {
    EXPECT_NE(parseResults(good.substr(0, n)).error, "") << n;
  }
}

TEST(ResultsSeries, FactorGapsRejectedDaysBandAndTicks) {
  const double day = 24 * 3600 * 1000.0;
  std::vector<PointDay> days(5);
  for (int d = 0; d < 5; ++d) days[d].date = 20050301 + d;
  const std::vector<std::tuple<int, double, int>> factors = {
      {0, 0.9, 0}, {2, 1.1, 0}, {3, 2.5, 104}};
  for (const auto& [d, factor, code] : factors) {
    days[d].fieldFactor = factor;
    days[d].rangeCode = code;
  }
  // Days 1 and 5 have no factor: a run of day 1 alone, then days 3 and 4.
  const auto segments = factorSegments(days);
  ASSERT_EQ(segments.size(), 2u);
  ASSERT_EQ(segments[0].size(), 1u);
  ASSERT_EQ(segments[1].size(), 2u);
  EXPECT_EQ(segments[0][0], QPointF(*dayTime(20050301), 0.9));
  EXPECT_EQ(segments[1][0].x() - segments[0][0].x(), 2 * day);  // 3 Mar is two days on
  EXPECT_EQ(segments[1][1].y(), 2.5);
  const auto rejected = rejectedDays(days);
  ASSERT_EQ(rejected.size(), 1u);
  EXPECT_EQ(rejected[0], QPointF(*dayTime(20050304), 2.5));
  EXPECT_EQ(factorExtent(days), std::pair(2.5, 0.9));
  EXPECT_FALSE(factorExtent(std::vector<PointDay>(2)).has_value());
  EXPECT_FALSE(dayTime(20050229).has_value());  // 2005 is no leap year
  days[1].date = 20050230;  // off the calendar: ends a run like a day without a factor
  days[1].fieldFactor = 1.0;
  EXPECT_EQ(factorSegments(days).size(), 2u);

  // Range 0.5 to 1.5, highest 0.9: both limits within 1.8, top 1.1 x 1.5.
  BandLimits b = bandLimits(0.5, 1.5, 0.9);
  EXPECT_DOUBLE_EQ(b.axisTop, 1.65);
  EXPECT_EQ(b.low, 0.5);
  EXPECT_EQ(b.high, 1.5);
  // No range given (0 to 1e10), highest 2.5: the band is cut at 2.75.
  b = bandLimits(0, 1e10, 2.5);
  EXPECT_DOUBLE_EQ(b.axisTop, 2.75);
  EXPECT_EQ(b.low, 0);
  EXPECT_DOUBLE_EQ(b.high, 2.75);
  // No factor: the axis is as for a highest of 1, and shows the range's top.
  EXPECT_DOUBLE_EQ(bandLimits(0.5, 1.5, 0).axisTop, 1.65);
  // A range far above the factors: an empty band at the top of the axis.
  b = bandLimits(3, 5, 1);
  EXPECT_DOUBLE_EQ(b.axisTop, 1.1);
  EXPECT_DOUBLE_EQ(b.low, 1.1);
  EXPECT_DOUBLE_EQ(b.high, 1.1);
  EXPECT_EQ(bandLimits(-1, 1e10, 0.8).low, 0);

  // 31 days: 32 in 8 steps of 4; 30 in 6 of 5; 29 as 30; 2 in 2 steps.
  EXPECT_EQ(dayAxisTicks(31).spanDays, 32);
  EXPECT_EQ(dayAxisTicks(31).tickCount, 9);
  EXPECT_EQ(dayAxisTicks(30).tickCount, 7);
  EXPECT_EQ(dayAxisTicks(29).spanDays, 30);
  EXPECT_EQ(dayAxisTicks(2).tickCount, 3);
  EXPECT_EQ(dayAxisTicks(1).tickCount, 2);
}

TEST(ResultsSeries, WellStepsMethodsAndSummary) {
  const ResultsData r = parseResults(kResults);
  ASSERT_EQ(r.error, "");
  const std::vector<WellDay>& w1 = *wellDays(r.wells[0], "Oil");
  const std::vector<QPointF> steps = hoursSteps(*wellDays(r.wells[1], "Oil"));
  ASSERT_EQ(steps.size(), 6u);  // two a day
  const double half = 12 * 3600 * 1000.0;
  EXPECT_EQ(steps[2], QPointF(*dayTime(20050302) - half, 12));
  EXPECT_EQ(steps[3], QPointF(*dayTime(20050302) + half, 12));
  EXPECT_EQ(steps[5].y(), 0);
  EXPECT_EQ(allocatedPoints(w1)[0].y(), 108);
  EXPECT_EQ(theoreticalPoints(w1)[2].y(), 110);
  const std::vector<MethodRun> runs = methodRuns(r, w1);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].method, "Welltest");
  EXPECT_EQ(runs[0].first, 20050301);
  EXPECT_EQ(runs[0].last, 20050302);
  EXPECT_EQ(runs[1].method, "Watch");

  // The counts in their order, with the engine's titles of the kinds.
  EXPECT_EQ(diagnosticsSummary(r),
            "Ignored input lines: 1; Field factors out of range (members got nothing): 1; "
            "Measured volumes with no base volume to allocate to: 1; "
            "Volumes on days with 0 hours on: 1");
  ResultsData quiet;
  quiet.diagnosticCounts = {{"ignoredLine", 0}};
  EXPECT_EQ(diagnosticsSummary(quiet), "The run recorded nothing that needs attention.");
  quiet.diagnosticCounts = {{"newKind", 1500}};
  EXPECT_EQ(diagnosticsSummary(quiet),
            "newKind: 1500 (0 listed below; at most 1,000 of each kind are kept)");
}

std::vector<std::string> column(const QTableView* view, int c) {
  std::vector<std::string> texts;
  for (int row = 0; row < view->model()->rowCount(); ++row) {
    texts.push_back(view->model()->index(row, c).data().toString().toStdString());
  }
  return texts;
}

TEST(ResultsWidgets, DiagnosticsTableSortsNumbersAsNumbersAndFilters) {
  app();
  CDiagnosticsTable table;
  table.setResults(parseResults(kResults));
  auto* view = table.findChild<QTableView*>("diagnosticsTable");
  ASSERT_EQ(view, table.view());
  EXPECT_EQ(view->model()->rowCount(), 4);
  EXPECT_EQ(view->model()->headerData(CDiagnosticsTable::kReason, Qt::Horizontal).toString(),
            "Reason");
  EXPECT_TRUE(table.findChild<QLabel*>("diagnosticsSummary")->text().startsWith("Ignored input"));

  view->sortByColumn(CDiagnosticsTable::kDate, Qt::AscendingOrder);
  EXPECT_EQ(column(view, CDiagnosticsTable::kDate),
            (std::vector<std::string>{"20050301", "20050302", "20050303", ""}));
  view->sortByColumn(CDiagnosticsTable::kDate, Qt::DescendingOrder);
  EXPECT_EQ(column(view, CDiagnosticsTable::kDate),
            (std::vector<std::string>{"20050303", "20050302", "20050301", ""}));
  // As text "10" would come before "2.5".
  view->sortByColumn(CDiagnosticsTable::kValue, Qt::AscendingOrder);
  EXPECT_EQ(column(view, CDiagnosticsTable::kValue),
            (std::vector<std::string>{"2.5", "10", "1234.5", ""}));
  view->sortByColumn(CDiagnosticsTable::kKind, Qt::AscendingOrder);
  EXPECT_EQ(column(view, CDiagnosticsTable::kKind),
            (std::vector<std::string>{"factorOutOfRange", "ignoredLine", "noBaseVolume",
                                      "volumeWithoutHours"}));

  table.findChild<QLineEdit*>("diagnosticsFilter")->setText("sep-1");
  EXPECT_EQ(column(view, CDiagnosticsTable::kCode), (std::vector<std::string>{"104"}));
  table.findChild<QLineEdit*>("diagnosticsFilter")->clear();
  table.clear();
  EXPECT_EQ(view->model()->rowCount(), 0);
}

// The series of a chart with `name`, of type T.
template <typename T>
std::vector<T*> seriesNamed(QChart* chart, const QString& name) {
  std::vector<T*> found;
  for (QAbstractSeries* s : chart->series()) {
    if (auto* typed = qobject_cast<T*>(s); typed != nullptr && s->name() == name) {
      found.push_back(typed);
    }
  }
  return found;
}

TEST(ResultsWidgets, ChartsDrawThePointAndTheChosenWell) {
  app();
  CResultsCharts charts;
  charts.setResults(parseResults(kResults));
  auto* pointCombo = charts.findChild<QComboBox*>("pointCombo");
  auto* pointFluid = charts.findChild<QComboBox*>("pointFluidCombo");
  auto* wellCombo = charts.findChild<QComboBox*>("wellCombo");
  auto* wellFluid = charts.findChild<QComboBox*>("wellFluidCombo");
  ASSERT_TRUE(pointCombo && pointFluid && wellCombo && wellFluid);
  EXPECT_EQ(pointCombo->count(), 1);
  EXPECT_EQ(pointFluid->count(), 3);  // Oil, Gas, All fluids
  EXPECT_EQ(pointFluid->itemText(2), "All fluids");
  EXPECT_EQ(wellCombo->count(), 2);
  EXPECT_EQ(wellFluid->count(), 2);

  // Oil: days 1 and 2 have a factor, day 2 rejected; measured every day.
  QChart* chart = charts.findChild<QChartView*>("pointChart")->chart();
  auto factor = seriesNamed<QLineSeries>(chart, "Field factor");
  ASSERT_EQ(factor.size(), 1u);
  EXPECT_EQ(factor[0]->count(), 2);
  auto rejected = seriesNamed<QScatterSeries>(chart, "Rejected by the range check");
  ASSERT_EQ(rejected.size(), 1u);
  ASSERT_EQ(rejected[0]->count(), 1);
  EXPECT_EQ(rejected[0]->at(0).y(), 2.5);
  auto measured = seriesNamed<QLineSeries>(chart, "Measured volume");
  ASSERT_EQ(measured.size(), 1u);
  EXPECT_EQ(measured[0]->count(), 3);
  auto band = seriesNamed<QAreaSeries>(chart, "Accepted range 0.5 to 1.5");
  ASSERT_EQ(band.size(), 1u);
  EXPECT_EQ(band[0]->upperSeries()->at(0).y(), 1.5);
  EXPECT_EQ(band[0]->lowerSeries()->at(1).y(), 0.5);
  const auto axes = chart->axes(Qt::Vertical);
  ASSERT_EQ(axes.size(), 2);
  EXPECT_EQ(axes[1]->titleText(), "Measured volume (bbl)");

  // Gas: a gap on day 2 splits the line; one legend entry for both parts.
  pointFluid->setCurrentIndex(1);
  chart = charts.pointChart()->chart();
  factor = seriesNamed<QLineSeries>(chart, "Field factor");
  ASSERT_EQ(factor.size(), 2u);
  EXPECT_EQ(factor[0]->count() + factor[1]->count(), 2);
  EXPECT_EQ(chart->legend()->markers(factor[0])[0]->isVisible(), true);
  EXPECT_EQ(chart->legend()->markers(factor[1])[0]->isVisible(), false);
  EXPECT_EQ(seriesNamed<QScatterSeries>(chart, "Rejected by the range check")[0]->count(), 0);
  EXPECT_EQ(chart->axes(Qt::Vertical)[1]->titleText(), "Measured volume (Mcf)");
  pointFluid->setCurrentIndex(2);
  chart = charts.pointChart()->chart();
  EXPECT_EQ(seriesNamed<QLineSeries>(chart, "Oil Field factor").size(), 1u);
  EXPECT_EQ(seriesNamed<QLineSeries>(chart, "Gas Field factor").size(), 2u);

  // Choosing W-2 draws its chart: 80 and 40 theoretical, off on day 3.
  wellCombo->setCurrentIndex(1);
  chart = charts.wellChart()->chart();
  EXPECT_TRUE(chart->title().startsWith("W-2"));
  auto theoretical = seriesNamed<QLineSeries>(chart, "Theoretical");
  ASSERT_EQ(theoretical.size(), 1u);
  ASSERT_EQ(theoretical[0]->count(), 3);
  EXPECT_EQ(theoretical[0]->at(1).y(), 40);
  EXPECT_EQ(seriesNamed<QLineSeries>(chart, "Allocated")[0]->at(0).y(), 72);
  auto hours = seriesNamed<QAreaSeries>(chart, "Hours on");
  ASSERT_EQ(hours.size(), 1u);
  EXPECT_EQ(hours[0]->upperSeries()->count(), 6);
  EXPECT_EQ(charts.wellMethods()->text(),
            "Methods: Welltest 1 Mar 2005 to 2 Mar 2005; ?? 3 Mar 2005");

  charts.clear();
  EXPECT_EQ(pointCombo->count(), 0);
  EXPECT_EQ(wellCombo->count(), 0);
  EXPECT_TRUE(charts.wellChart()->chart()->series().isEmpty());
}

// A field of 100,000 wells: the well list is filled once and only the
// chosen well is drawn.
TEST(ResultsWidgets, ManyWellsAreListedAndOneIsDrawn) {
  app();
  std::string text =
      R"({"periodStart": 20050301, "periodEnd": 20050302, "mode": "daily",
 "fluids": [{"name": "Oil", "units": "bbl", "theoreticalOnly": false}], "points": [],
 "wells": [)";
  constexpr int kWells = 100000;
  for (int w = 0; w < kWells; ++w) {
    const std::string day = R"(, "hoursOn": 24, "point": null, "theoretical": )" +
                            std::to_string(w) + R"(, "method": "Welltest", "allocated": 0})";
    text += (w ? "," : "") + std::string(R"({"name": "W)") + std::to_string(w) +
            R"(", "level": "Well", "fluids": {"Oil": [{"date": 20050301)" + day +
            R"(, {"date": 20050302)" + day + "]}}";
  }
  text += R"(], "diagnostics": [], "diagnosticCounts": {}})";
  const ResultsData r = parseResults(text);
  ASSERT_EQ(r.error, "");
  ASSERT_EQ(r.wells.size(), static_cast<size_t>(kWells));
  EXPECT_EQ(r.texts.size(), 1u);  // "Welltest", kept once
  CResultsCharts charts;
  charts.setResults(r);
  EXPECT_EQ(charts.wellCombo()->count(), kWells);
  charts.wellCombo()->setCurrentIndex(kWells - 1);
  QChart* chart = charts.wellChart()->chart();
  EXPECT_EQ(seriesNamed<QLineSeries>(chart, "Theoretical")[0]->at(0).y(), kWells - 1);
}

}  // namespace
}  // namespace zelba::hostapp
