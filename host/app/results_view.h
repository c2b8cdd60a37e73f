// The review pages of a run in the host application: the diagnostics table
// and the charts of a point of measurement and of a well. Both show a
// ResultsData (results_data.h) that the window read once from the run's
// results JSON; they keep their own copy.
#pragma once

#include <QWidget>
#include <memory>

#include "host/app/results_data.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QStringListModel;
class QTableView;

namespace zelba::hostapp {
class DiagnosticsModel;
}

// The run's diagnostics records, one row each, under a line that sums up
// diagnosticCounts. Controls: the summary "diagnosticsSummary", the filter
// "diagnosticsFilter" (rows with the text in any column, any case), the
// table "diagnosticsTable". Clicking a header sorts by that column: dates,
// values, codes and lines as numbers, the other columns as text in any
// case, empty cells last in either direction.
class CDiagnosticsTable : public QWidget {
  Q_OBJECT

 public:
  // The columns, in order.
  enum Column { kKind, kDate, kPoint, kNode, kFluid, kValue, kCode, kReason, kLine, kColumns };

  explicit CDiagnosticsTable(QWidget* parent = nullptr);
  ~CDiagnosticsTable() override;

  // Shows the records and counts of `results` (the filter is kept).
  void setResults(const zelba::hostapp::ResultsData& results);
  // An empty table and summary, as before any run.
  void clear();

  QTableView* view() const { return view_; }
  QSortFilterProxyModel* proxy() const { return proxy_; }

 private:
  QLabel* summary_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QTableView* view_ = nullptr;
  zelba::hostapp::DiagnosticsModel* model_ = nullptr;
  QSortFilterProxyModel* proxy_ = nullptr;
};

// The charts of a run. Above, a point of measurement ("pointChart"; the
// point from "pointCombo", the fluid from "pointFluidCombo", which also
// offers "All fluids"): the field factor of each day as a line with gaps on
// days without one, the accepted range as a band, the rejected days in red,
// the measured volume on the right axis. Below, a well ("wellChart"; the
// well from "wellCombo", which can be typed into and completes any part of a
// name, and "wellFluidCombo"): its theoretical and allocated volume per day,
// its hours on as steps on the right axis (0 to 24), and the methods that
// served in "wellMethods" under the chart and as the tooltip of each day.
//
// setResults fills the combos once and draws the first point and well; a
// chart is drawn again only when its choice changes.
class CResultsCharts : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kAllFluids = -1;  // item data of "All fluids" in pointFluidCombo

  explicit CResultsCharts(QWidget* parent = nullptr);
  ~CResultsCharts() override;

  void setResults(const zelba::hostapp::ResultsData& results);
  // Empty combos and charts, as before any run.
  void clear();

  QChartView* pointChart() const { return pointView_; }
  QChartView* wellChart() const { return wellView_; }
  QComboBox* pointCombo() const { return pointCombo_; }
  QComboBox* pointFluidCombo() const { return pointFluidCombo_; }
  QComboBox* wellCombo() const { return wellCombo_; }
  QComboBox* wellFluidCombo() const { return wellFluidCombo_; }
  QLabel* wellMethods() const { return wellMethods_; }

  // Draws the point and fluid chosen in the combos.
  void drawPoint();
  // Draws the well and fluid chosen in the combos.
  void drawWell();

 private:
  void fillFluidCombos();

  zelba::hostapp::ResultsData results_;
  QComboBox* pointCombo_ = nullptr;
  QComboBox* pointFluidCombo_ = nullptr;
  QComboBox* wellCombo_ = nullptr;
  QComboBox* wellFluidCombo_ = nullptr;
  QStringListModel* wellNames_ = nullptr;
  QChartView* pointView_ = nullptr;
  QChartView* wellView_ = nullptr;
  QLabel* wellMethods_ = nullptr;
};
