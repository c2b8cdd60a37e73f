// The review pages of a run: the diagnostics table and the results charts.
// They only move the records of ResultsData into Qt models and chart series;
// what is drawn (the gaps in a factor line, the band of the accepted range,
// the rejected days, the hours as steps) comes from the plain functions of
// results_data.h.
#include "host/app/results_view.h"

#include <QAbstractTableModel>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCompleter>
#include <QCursor>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QListView>
#include <QScatterSeries>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStringListModel>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <set>

namespace zelba::hostapp {

namespace {

// What a column sorts by: a number for dates, values, codes and lines (none
// for an empty cell), the shown text otherwise.
constexpr int kSortRole = Qt::UserRole + 1;

QString qs(const std::string& text) {
  return QString::fromStdString(text);
}

QString number(double value) {
  return QString::number(value, 'g', 10);
}

}  // namespace

// The diagnostics records as a table, a row each.
class DiagnosticsModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void setRecords(std::vector<ResultsDiagnostic> records) {
    beginResetModel();
    records_ = std::move(records);
    endResetModel();
  }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : CDiagnosticsTable::kColumns;
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    static const char* const kTitles[CDiagnosticsTable::kColumns] = {
        "Kind", "Date", "Point", "Node", "Fluid", "Value", "Code", "Reason", "Line"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < CDiagnosticsTable::kColumns) {
      return QString(kTitles[section]);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount(QModelIndex())) return QVariant();
    const ResultsDiagnostic& r = records_[index.row()];
    const int column = index.column();
    if (role == Qt::DisplayRole) return text(r, column);
    if (role == kSortRole) {
      const std::optional<double> n = sortNumber(r, column);
      if (n) return *n;
      return isNumeric(column) ? QVariant() : QVariant(text(r, column));
    }
    if (role == Qt::ToolTipRole) {
      if (column == CDiagnosticsTable::kKind) return qs(diagnosticKindTitle(r.kind));
      if (column == CDiagnosticsTable::kReason) return qs(r.reason);
      if (column == CDiagnosticsTable::kLine && !r.section.empty()) {
        return "Section " + qs(r.section);
      }
    }
    if (role == Qt::TextAlignmentRole && isNumeric(column)) {
      return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    return QVariant();
  }

  static bool isNumeric(int column) {
    return column == CDiagnosticsTable::kDate || column == CDiagnosticsTable::kValue ||
           column == CDiagnosticsTable::kCode || column == CDiagnosticsTable::kLine;
  }

 private:
  static std::optional<double> sortNumber(const ResultsDiagnostic& r, int column) {
    switch (column) {
      case CDiagnosticsTable::kDate:
        return r.date > 0 ? std::optional<double>(r.date) : std::nullopt;
      case CDiagnosticsTable::kValue:
        return r.value;
      case CDiagnosticsTable::kCode:
        return r.code ? std::optional<double>(*r.code) : std::nullopt;
      case CDiagnosticsTable::kLine:
        return r.line > 0 ? std::optional<double>(r.line) : std::nullopt;
      default:
        return std::nullopt;
    }
  }

  static QString text(const ResultsDiagnostic& r, int column) {
    switch (column) {
      case CDiagnosticsTable::kKind:
        return qs(r.kind);
      case CDiagnosticsTable::kDate:
        return r.date > 0 ? QString::number(r.date) : QString();
      case CDiagnosticsTable::kPoint:
        return qs(r.point);
      case CDiagnosticsTable::kNode:
        return qs(r.node);
      case CDiagnosticsTable::kFluid:
        return qs(r.fluid);
      case CDiagnosticsTable::kValue:
        return r.value ? number(*r.value) : QString();
      case CDiagnosticsTable::kCode:
        return r.code ? QString::number(*r.code) : QString();
      case CDiagnosticsTable::kReason:
        return qs(r.reason);
      case CDiagnosticsTable::kLine:
        return r.line > 0 ? QString::number(r.line) : QString();
      default:
        return QString();
    }
  }

  std::vector<ResultsDiagnostic> records_;
};

namespace {

// Sorts numbers as numbers and text in any case; an empty cell goes last
// whichever way the column is sorted.
class DiagnosticsProxy : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
    const QVariant a = left.data(kSortRole), b = right.data(kSortRole);
    const bool emptyA = isEmpty(a), emptyB = isEmpty(b);
    if (emptyA || emptyB) {
      if (emptyA == emptyB) return false;
      // Ascending: an empty cell is the largest; descending, the smallest.
      return sortOrder() == Qt::AscendingOrder ? emptyB : emptyA;
    }
    if (DiagnosticsModel::isNumeric(left.column())) return a.toDouble() < b.toDouble();
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive) < 0;
  }

 private:
  static bool isEmpty(const QVariant& v) {
    return !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
  }
};

}  // namespace

}  // namespace zelba::hostapp

using namespace zelba::hostapp;

CDiagnosticsTable::CDiagnosticsTable(QWidget* parent) : QWidget(parent) {
  setObjectName("diagnosticsPage");
  summary_ = new QLabel(this);
  summary_->setObjectName("diagnosticsSummary");
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  filter_ = new QLineEdit(this);
  filter_->setObjectName("diagnosticsFilter");
  filter_->setPlaceholderText("Show only the records with this text");
  filter_->setClearButtonEnabled(true);
  auto* filterLabel = new QLabel("&Filter:", this);
  filterLabel->setBuddy(filter_);

  model_ = new DiagnosticsModel(this);
  proxy_ = new DiagnosticsProxy(this);
  proxy_->setSourceModel(model_);
  proxy_->setSortRole(kSortRole);
  proxy_->setFilterKeyColumn(-1);
  proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
  view_ = new QTableView(this);
  view_->setObjectName("diagnosticsTable");
  view_->setModel(proxy_);
  view_->setSortingEnabled(true);
  view_->sortByColumn(-1, Qt::AscendingOrder);  // the run's own order until a header is clicked
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setAlternatingRowColors(true);
  view_->setWordWrap(false);
  view_->verticalHeader()->setVisible(false);
  view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  view_->horizontalHeader()->setStretchLastSection(false);
  view_->horizontalHeader()->setSectionResizeMode(kReason, QHeaderView::Stretch);

  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(filterLabel);
  filterRow->addWidget(filter_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  layout->addLayout(filterRow);
  layout->addWidget(view_, 1);

  connect(filter_, &QLineEdit::textChanged, proxy_, &QSortFilterProxyModel::setFilterFixedString);
  clear();
}

CDiagnosticsTable::~CDiagnosticsTable() = default;

void CDiagnosticsTable::setResults(const ResultsData& results) {
  model_->setRecords(results.diagnostics);
  summary_->setText(QString::fromStdString(diagnosticsSummary(results)));
  view_->resizeColumnsToContents();
  view_->horizontalHeader()->setSectionResizeMode(kReason, QHeaderView::Stretch);
}

void CDiagnosticsTable::clear() {
  model_->setRecords({});
  summary_->setText("No run has been reviewed yet.");
}

// ---------------------------------------------------------------------------
// The charts.

namespace {

constexpr double kMsPerDay = 24.0 * 3600.0 * 1000.0;
const QColor kFluidColours[] = {QColor(0x1f, 0x5f, 0xa8), QColor(0xc0, 0x70, 0x10),
                                QColor(0x20, 0x80, 0x60), QColor(0x70, 0x40, 0xa0),
                                QColor(0x80, 0x60, 0x30), QColor(0x30, 0x90, 0xb0),
                                QColor(0x90, 0x30, 0x60)};
const QColor kRejected(0xd0, 0x10, 0x10);
const QColor kBand(0x40, 0xa0, 0x40, 50);
const QColor kHours(0x60, 0x90, 0xd0, 45);

QList<QPointF> pointList(const std::vector<QPointF>& points) {
  return QList<QPointF>(points.begin(), points.end());
}

// A chart in the page's own font, its legend below the plot.
QChart* newChart(const QWidget& page, const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  QFont titleFont = page.font();
  titleFont.setBold(true);
  chart->setTitleFont(titleFont);
  chart->legend()->setFont(page.font());
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setMargins(QMargins(4, 4, 4, 4));
  return chart;
}

void styleAxis(QAbstractAxis* axis, const QWidget& page, const QString& title) {
  axis->setTitleText(title);
  QFont font = page.font();
  axis->setLabelsFont(font);
  font.setBold(true);
  axis->setTitleFont(font);
}

// The date axis of a chart of the days from `first` to `last`: ticks on
// midnights, one label per tick.
QDateTimeAxis* dateAxis(const QWidget& page, int first, int last) {
  auto* axis = new QDateTimeAxis;
  styleAxis(axis, page, "Date");
  axis->setFormat("d MMM");
  const std::optional<double> from = dayTime(first), to = dayTime(last);
  if (from && to) {
    const int days = static_cast<int>(std::lround((*to - *from) / kMsPerDay)) + 1;
    const DayAxisTicks ticks = dayAxisTicks(days);
    const double start = *from - kMsPerDay / 2;
    axis->setRange(
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(start)),
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(start + ticks.spanDays * kMsPerDay)));
    axis->setTickCount(ticks.tickCount);
  }
  return axis;
}

QValueAxis* valueAxis(const QWidget& page, const QString& title, double low, double high) {
  auto* axis = new QValueAxis;
  styleAxis(axis, page, title);
  axis->setRange(low, high);
  axis->applyNiceNumbers();
  return axis;
}

void attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
}

// Shows only the first legend entry of a name drawn as several series.
void hideLegendOf(QChart* chart, QAbstractSeries* series) {
  for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
}

// The top of a volume axis: a tenth above the largest volume, 1 for none.
double volumeTop(double largest) {
  return largest > 0 && std::isfinite(largest) ? largest * 1.1 : 1.0;
}

QString dateText(int yyyymmdd) {
  const QDate date(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
  return date.isValid() ? date.toString("d MMM yyyy") : QString::number(yyyymmdd);
}

// The chart view's place while there are no results.
void showEmpty(QChartView* view, const QWidget& page, const QString& title) {
  QChart* old = view->chart();
  QChart* chart = newChart(page, title);
  chart->legend()->hide();
  view->setChart(chart);
  delete old;
}

void replaceChart(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
}

QComboBox* labelledCombo(QWidget* parent, QHBoxLayout* row, const QString& label,
                         const QString& name) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  auto* text = new QLabel(label, parent);
  text->setBuddy(combo);
  row->addWidget(text);
  row->addWidget(combo);
  return combo;
}

}  // namespace

CResultsCharts::CResultsCharts(QWidget* parent) : QWidget(parent) {
  setObjectName("chartsPage");
  auto* pointPane = new QWidget(this);
  auto* pointRow = new QHBoxLayout;
  pointCombo_ = labelledCombo(pointPane, pointRow, "&Point of measurement:", "pointCombo");
  pointCombo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  pointFluidCombo_ = labelledCombo(pointPane, pointRow, "F&luid:", "pointFluidCombo");
  pointRow->addStretch(1);
  pointView_ = new QChartView(pointPane);
  pointView_->setObjectName("pointChart");
  pointView_->setRenderHint(QPainter::Antialiasing);
  auto* pointLayout = new QVBoxLayout(pointPane);
  pointLayout->setContentsMargins(0, 0, 0, 0);
  pointLayout->addLayout(pointRow);
  pointLayout->addWidget(pointView_, 1);

  auto* wellPane = new QWidget(this);
  auto* wellRow = new QHBoxLayout;
  wellCombo_ = labelledCombo(wellPane, wellRow, "&Well:", "wellCombo");
  // A field has thousands of wells: the list is one model, set once; the
  // combo's width does not depend on the names, and any part of a name
  // typed finds the well.
  wellNames_ = new QStringListModel(this);
  wellCombo_->setModel(wellNames_);
  wellCombo_->setEditable(true);
  wellCombo_->setInsertPolicy(QComboBox::NoInsert);
  wellCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  wellCombo_->setMinimumContentsLength(20);
  wellCombo_->lineEdit()->setPlaceholderText("Type part of a well name");
  if (auto* list = qobject_cast<QListView*>(wellCombo_->view())) list->setUniformItemSizes(true);
  auto* completer = new QCompleter(wellNames_, wellCombo_);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  completer->setFilterMode(Qt::MatchContains);
  completer->setCompletionMode(QCompleter::PopupCompletion);
  wellCombo_->setCompleter(completer);
  wellFluidCombo_ = labelledCombo(wellPane, wellRow, "Fl&uid:", "wellFluidCombo");
  wellRow->addStretch(1);
  wellView_ = new QChartView(wellPane);
  wellView_->setObjectName("wellChart");
  wellView_->setRenderHint(QPainter::Antialiasing);
  wellMethods_ = new QLabel(wellPane);
  wellMethods_->setObjectName("wellMethods");
  wellMethods_->setWordWrap(true);
  auto* wellLayout = new QVBoxLayout(wellPane);
  wellLayout->setContentsMargins(0, 0, 0, 0);
  wellLayout->addLayout(wellRow);
  wellLayout->addWidget(wellView_, 1);
  wellLayout->addWidget(wellMethods_);

  // The charts need room for their axis labels and legend in any font.
  const int line = fontMetrics().height();
  for (QChartView* view : {pointView_, wellView_}) view->setMinimumHeight(14 * line);

  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->setObjectName("chartsSplitter");
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(pointPane);
  splitter->addWidget(wellPane);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter);

  connect(pointCombo_, &QComboBox::currentIndexChanged, this, &CResultsCharts::drawPoint);
  connect(pointFluidCombo_, &QComboBox::currentIndexChanged, this, &CResultsCharts::drawPoint);
  connect(wellCombo_, &QComboBox::currentIndexChanged, this, &CResultsCharts::drawWell);
  connect(wellFluidCombo_, &QComboBox::currentIndexChanged, this, &CResultsCharts::drawWell);
  clear();
}

CResultsCharts::~CResultsCharts() = default;

void CResultsCharts::setResults(const ResultsData& results) {
  results_ = results;
  const QSignalBlocker blockPoints(pointCombo_), blockWells(wellCombo_);
  pointCombo_->clear();
  for (size_t p = 0; p < results_.points.size(); ++p) {
    const ResultsPoint& point = results_.points[p];
    pointCombo_->addItem(qs(point.node) + " (" + qs(point.level) + ")", static_cast<int>(p));
  }
  QStringList names;
  names.reserve(static_cast<int>(results_.wells.size()));
  for (const ResultsWell& well : results_.wells) names.push_back(qs(well.name));
  wellNames_->setStringList(names);
  wellCombo_->setCurrentIndex(names.isEmpty() ? -1 : 0);
  fillFluidCombos();
  drawPoint();
  drawWell();
}

void CResultsCharts::clear() {
  results_ = ResultsData();
  {
    const QSignalBlocker b1(pointCombo_), b2(pointFluidCombo_), b3(wellCombo_), b4(wellFluidCombo_);
    pointCombo_->clear();
    pointFluidCombo_->clear();
    wellNames_->setStringList({});
    wellCombo_->setCurrentIndex(-1);
    wellFluidCombo_->clear();
  }
  drawPoint();
  drawWell();
}

void CResultsCharts::fillFluidCombos() {
  const QSignalBlocker b1(pointFluidCombo_), b2(wellFluidCombo_);
  pointFluidCombo_->clear();
  wellFluidCombo_->clear();
  for (size_t f = 0; f < results_.fluids.size(); ++f) {
    const QString name = qs(results_.fluids[f].name);
    pointFluidCombo_->addItem(name, static_cast<int>(f));
    wellFluidCombo_->addItem(name, static_cast<int>(f));
  }
  if (results_.fluids.size() > 1) pointFluidCombo_->addItem("All fluids", kAllFluids);
}

void CResultsCharts::drawPoint() {
  const int p = pointCombo_->currentData().isValid() ? pointCombo_->currentData().toInt() : -1;
  const QVariant fluidData = pointFluidCombo_->currentData();
  if (p < 0 || static_cast<size_t>(p) >= results_.points.size() || !fluidData.isValid()) {
    return showEmpty(pointView_, *this, "No point of measurement to show");
  }
  const ResultsPoint& point = results_.points[p];
  std::vector<size_t> fluids;
  const int chosen = fluidData.toInt();
  for (size_t f = 0; f < results_.fluids.size(); ++f) {
    if (chosen == kAllFluids || static_cast<int>(f) == chosen) fluids.push_back(f);
  }
  if (fluids.empty()) return showEmpty(pointView_, *this, "No fluid to show");
  const QString fluidTitle =
      chosen == kAllFluids ? QString("all fluids") : qs(results_.fluids[fluids.at(0)].name);
  QChart* chart = newChart(*this, qs(point.node) + " (" + qs(point.level) + "), " + fluidTitle);

  // The extent of what is drawn, for the axes.
  std::optional<std::pair<double, double>> factors;
  double largestVolume = 0;
  std::vector<QString> units;
  for (size_t f : fluids) {
    const std::vector<PointDay>* days = pointDays(point, results_.fluids[f].name);
    if (days == nullptr) continue;
    if (const auto e = factorExtent(*days)) {
      factors = factors ? std::pair(std::max(factors->first, e->first),
                                    std::min(factors->second, e->second))
                        : *e;
    }
    for (const PointDay& day : *days) largestVolume = std::max(largestVolume, day.measured);
    const QString u = qs(results_.fluids[f].units);
    if (std::find(units.begin(), units.end(), u) == units.end()) units.push_back(u);
  }
  const BandLimits band =
      bandLimits(results_.rangeMin, results_.rangeMax, factors ? factors->first : 0);
  const double bottom = factors && factors->second < 0 ? factors->second * 1.1 : 0;
  QStringList unitList(units.begin(), units.end());

  // The days of the period (at most 31, as the engine processes them).
  const std::vector<PointDay>* anyDays = pointDays(point, results_.fluids[fluids[0]].name);
  QDateTimeAxis* x = anyDays != nullptr && !anyDays->empty()
                         ? dateAxis(*this, anyDays->front().date, anyDays->back().date)
                         : dateAxis(*this, results_.periodStart, results_.periodStart);
  QValueAxis* yFactor = valueAxis(*this, "Field factor", bottom, band.axisTop);
  QValueAxis* yVolume = valueAxis(*this, "Measured volume (" + unitList.join(", ") + ")", 0,
                                  volumeTop(largestVolume));
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(yFactor, Qt::AlignLeft);
  chart->addAxis(yVolume, Qt::AlignRight);

  // The band spans the axis from end to end, cut to what the axis shows.
  const double x0 = x->min().toMSecsSinceEpoch(), x1 = x->max().toMSecsSinceEpoch();
  auto* upper = new QLineSeries(chart);
  upper->append(x0, band.high);
  upper->append(x1, band.high);
  auto* lower = new QLineSeries(chart);
  lower->append(x0, band.low);
  lower->append(x1, band.low);
  auto* bandSeries = new QAreaSeries(upper, lower);
  bandSeries->setName("Accepted range " + number(results_.rangeMin) + " to " +
                      number(results_.rangeMax));
  bandSeries->setBrush(kBand);
  bandSeries->setPen(QPen(kBand.darker(150), 1, Qt::DotLine));
  attach(chart, bandSeries, x, yFactor);

  auto* rejected = new QScatterSeries;
  rejected->setName("Rejected by the range check");
  rejected->setColor(kRejected);
  rejected->setBorderColor(kRejected);
  rejected->setMarkerSize(10);
  for (size_t f : fluids) {
    const FluidInfo& fluid = results_.fluids[f];
    const std::vector<PointDay>* days = pointDays(point, fluid.name);
    if (days == nullptr) continue;
    const QColor colour = kFluidColours[f % std::size(kFluidColours)];
    const QString prefix = fluids.size() > 1 ? qs(fluid.name) + " " : QString();
    auto* measured = new QLineSeries;
    measured->setName(prefix + "Measured volume");
    measured->replace(pointList(measuredPoints(*days)));
    measured->setPen(QPen(colour.lighter(140), 1.5, Qt::DashLine));
    attach(chart, measured, x, yVolume);
    bool first = true;
    for (const std::vector<QPointF>& segment : factorSegments(*days)) {
      auto* line = new QLineSeries;
      line->setName(prefix + "Field factor");
      line->replace(pointList(segment));
      line->setPen(QPen(colour, 2));
      line->setPointsVisible(true);  // a day between two gaps is a dot
      attach(chart, line, x, yFactor);
      if (!first) hideLegendOf(chart, line);
      first = false;
    }
    for (const QPointF& day : rejectedDays(*days)) rejected->append(day);
  }
  attach(chart, rejected, x, yFactor);
  replaceChart(pointView_, chart);
}

void CResultsCharts::drawWell() {
  const int w = wellCombo_->currentIndex();
  const QVariant fluidData = wellFluidCombo_->currentData();
  const int f = fluidData.isValid() ? fluidData.toInt() : -1;
  if (w < 0 || static_cast<size_t>(w) >= results_.wells.size() || f < 0 ||
      static_cast<size_t>(f) >= results_.fluids.size()) {
    wellMethods_->clear();
    return showEmpty(wellView_, *this, "No well to show");
  }
  const ResultsWell& well = results_.wells[w];
  const FluidInfo& fluid = results_.fluids[f];
  const std::vector<WellDay>* days = wellDays(well, fluid.name);
  static const std::vector<WellDay> kNoDays;
  if (days == nullptr) days = &kNoDays;
  QChart* chart = newChart(*this, qs(well.name) + " (" + qs(well.level) + "), " + qs(fluid.name));

  double largest = 0;
  for (const WellDay& day : *days) largest = std::max({largest, day.theoretical, day.allocated});
  QDateTimeAxis* x = days->empty() ? dateAxis(*this, results_.periodStart, results_.periodStart)
                                   : dateAxis(*this, days->front().date, days->back().date);
  QValueAxis* yVolume = valueAxis(*this, "Volume (" + qs(fluid.units) + ")", 0, volumeTop(largest));
  QValueAxis* yHours = valueAxis(*this, "Hours on", 0, 24);
  yHours->setTickCount(5);  // every 6 hours
  yHours->setLabelFormat("%d");
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(yVolume, Qt::AlignLeft);
  chart->addAxis(yHours, Qt::AlignRight);

  // The hours first, so that the volumes are drawn over them.
  auto* hoursLine = new QLineSeries(chart);
  hoursLine->replace(pointList(hoursSteps(*days)));
  auto* hours = new QAreaSeries(hoursLine);
  hours->setName("Hours on");
  hours->setBrush(kHours);
  hours->setPen(QPen(kHours.darker(200), 1));
  attach(chart, hours, x, yHours);

  auto* theoretical = new QLineSeries;
  theoretical->setName("Theoretical");
  theoretical->replace(pointList(theoreticalPoints(*days)));
  theoretical->setPen(QPen(QColor(0x80, 0x80, 0x80), 2, Qt::DashLine));
  theoretical->setPointsVisible(true);
  attach(chart, theoretical, x, yVolume);
  auto* allocated = new QLineSeries;
  allocated->setName("Allocated");
  allocated->replace(pointList(allocatedPoints(*days)));
  allocated->setPen(QPen(kFluidColours[0], 2));
  allocated->setPointsVisible(true);
  attach(chart, allocated, x, yVolume);

  // A day's point tells its method, hours and volumes.
  const auto tellDay = [this, days, units = qs(fluid.units)](const QPointF& at, bool shown) {
    if (!shown) return QToolTip::hideText();
    const WellDay* nearest = nullptr;
    double distance = 0;
    for (const WellDay& day : *days) {
      const std::optional<double> t = dayTime(day.date);
      if (t && (nearest == nullptr || std::abs(*t - at.x()) < distance)) {
        nearest = &day;
        distance = std::abs(*t - at.x());
      }
    }
    if (nearest == nullptr) return;
    QToolTip::showText(QCursor::pos(),
                       dateText(nearest->date) + "\nMethod: " + qs(results_.text(nearest->method)) +
                           "\nHours on: " + number(nearest->hoursOn) +
                           "\nTheoretical: " + number(nearest->theoretical) + " " + units +
                           "\nAllocated: " + number(nearest->allocated) + " " + units);
  };
  connect(theoretical, &QXYSeries::hovered, this, tellDay);
  connect(allocated, &QXYSeries::hovered, this, tellDay);
  replaceChart(wellView_, chart);

  QStringList runs;
  for (const MethodRun& run : methodRuns(results_, *days)) {
    const QString method = run.method.empty() ? QString("none") : qs(run.method);
    runs.push_back(run.first == run.last
                       ? method + " " + dateText(run.first)
                       : method + " " + dateText(run.first) + " to " + dateText(run.last));
  }
  wellMethods_->setText(runs.isEmpty() ? QString() : "Methods: " + runs.join("; "));
}
