#include "host/app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "host/app/results_view.h"
#include "host/field_browser.h"
#include "host/host_data.h"
#include "host/host_database.h"
#include "host/run_store.h"
#include "setup/record_text.h"

using namespace zelba::hostapp;

namespace {

constexpr int kMaxRecentFiles = 8;
constexpr const char* kRecentKey = "recentFiles";

// What a tree item stands for.
constexpr int kItemKindRole = Qt::UserRole;
constexpr int kItemPoint = 1;
constexpr int kItemWell = 2;

// Which text of a past run to show.
constexpr int kRunInput = 0;
constexpr int kRunReport = 1;
constexpr int kRunLoad = 2;

HostWindowSeams::MessageBox& messageBoxSeam() {
  static HostWindowSeams::MessageBox handler;
  return handler;
}
HostWindowSeams::OpenFile& openFileSeam() {
  static HostWindowSeams::OpenFile handler;
  return handler;
}
HostWindowSeams::AskName& askNameSeam() {
  static HostWindowSeams::AskName handler;
  return handler;
}
HostWindowSeams::SetupSheet& setupSheetSeam() {
  static HostWindowSeams::SetupSheet handler;
  return handler;
}

QString qs(const std::string& text) {
  return QString::fromStdString(text);
}

QDate dateOf(int yyyymmdd) {
  return QDate(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
}
int numberOf(const QDate& date) {
  return date.year() * 10000 + date.month() * 100 + date.day();
}

QPushButton* button(const QString& text, const char* id) {
  auto* b = new QPushButton(text);
  b->setObjectName(id);
  return b;
}

}  // namespace

void HostWindowSeams::setMessageBox(MessageBox handler) {
  messageBoxSeam() = std::move(handler);
}
void HostWindowSeams::setOpenFile(OpenFile handler) {
  openFileSeam() = std::move(handler);
}
void HostWindowSeams::setAskName(AskName handler) {
  askNameSeam() = std::move(handler);
}
void HostWindowSeams::setSetupSheet(SetupSheet handler) {
  setupSheetSeam() = std::move(handler);
}

CRunTextDialog::CRunTextDialog(const QString& title, const QString& text, QWidget* parent)
    : QDialog(parent) {
  setObjectName("runTextDialog");
  setWindowTitle(title);
  auto* edit = new QPlainTextEdit;
  edit->setObjectName("runText");
  edit->setReadOnly(true);
  edit->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  edit->setPlainText(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  buttons->setObjectName("runTextButtons");
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(edit);
  layout->addWidget(buttons);
  resize(900, 650);
}

CHostMainWindow::CHostMainWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName("hostMainWindow");
  setWindowTitle("ZelBA Host");
  buildMenus();
  buildCentral();
  updateActions();
  resize(1200, 780);
}

CHostMainWindow::~CHostMainWindow() {
  if (worker_) worker_->wait();
}

void CHostMainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  QAction* open = file->addAction("&Open...", this, &CHostMainWindow::onOpen);
  open->setObjectName("openAction");
  open->setShortcut(QKeySequence::Open);
  recentMenu_ = file->addMenu("Open &Recent");
  recentMenu_->setObjectName("recentMenu");
  updateRecent(QString());
  file->addSeparator();
  QAction* quit = file->addAction("&Quit", this, &QWidget::close);
  quit->setObjectName("quitAction");
  quit->setShortcut(QKeySequence::Quit);

  QMenu* run = menuBar()->addMenu("&Run");
  runAction_ = run->addAction("&Run Allocation", this, &CHostMainWindow::onRun);
  runAction_->setObjectName("runAction");
  runAction_->setShortcut(Qt::Key_F5);
  cancelAction_ = run->addAction("&Cancel Run", this, &CHostMainWindow::onCancel);
  cancelAction_->setObjectName("cancelAction");
}

void CHostMainWindow::buildCentral() {
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);

  // The setup record and the period to run.
  auto* setup = new QGroupBox("Allocation");
  setup->setObjectName("allocationGroup");
  auto* grid = new QGridLayout(setup);
  setupCombo_ = new QComboBox;
  setupCombo_->setObjectName("setupCombo");
  setupCombo_->setMinimumContentsLength(20);
  newButton_ = button("&New...", "newSetupButton");
  editButton_ = button("&Edit...", "editSetupButton");
  renameButton_ = button("Re&name...", "renameSetupButton");
  deleteButton_ = button("&Delete", "deleteSetupButton");
  fromDate_ = new QDateEdit;
  fromDate_->setObjectName("fromDate");
  toDate_ = new QDateEdit;
  toDate_->setObjectName("toDate");
  for (QDateEdit* d : {fromDate_, toDate_}) {
    d->setCalendarPopup(true);
    d->setDisplayFormat("yyyy-MM-dd");
  }
  runButton_ = button("&Run", "runButton");
  cancelButton_ = button("&Cancel", "cancelButton");
  progress_ = new QProgressBar;
  progress_->setObjectName("runProgress");
  progress_->setRange(0, 100);
  progress_->setValue(0);
  runStatus_ = new QLabel("Open a production database (File > Open).");
  runStatus_->setObjectName("runStatus");
  runStatus_->setWordWrap(true);
  runStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* recordLabel = new QLabel("Setup &record:");
  recordLabel->setBuddy(setupCombo_);
  grid->addWidget(recordLabel, 0, 0);
  grid->addWidget(setupCombo_, 0, 1, 1, 3);
  auto* recordButtons = new QHBoxLayout;
  for (QPushButton* b : {newButton_, editButton_, renameButton_, deleteButton_}) {
    recordButtons->addWidget(b);
  }
  recordButtons->addStretch();
  grid->addLayout(recordButtons, 0, 4);
  auto* fromLabel = new QLabel("&From:");
  fromLabel->setBuddy(fromDate_);
  auto* toLabel = new QLabel("&To:");
  toLabel->setBuddy(toDate_);
  grid->addWidget(fromLabel, 1, 0);
  grid->addWidget(fromDate_, 1, 1);
  grid->addWidget(toLabel, 1, 2);
  grid->addWidget(toDate_, 1, 3);
  auto* runButtons = new QHBoxLayout;
  runButtons->addWidget(runButton_);
  runButtons->addWidget(cancelButton_);
  runButtons->addWidget(progress_, 1);
  grid->addLayout(runButtons, 1, 4);
  grid->addWidget(runStatus_, 2, 0, 1, 5);
  grid->setColumnStretch(4, 1);
  layout->addWidget(setup);

  // The field on the left, its data and the runs' review on the right.
  auto* splitter = new QSplitter;
  splitter->setObjectName("mainSplitter");
  auto* left = new QWidget;
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  auto* categoryRow = new QHBoxLayout;
  categoryCombo_ = new QComboBox;
  categoryCombo_->setObjectName("categoryCombo");
  auto* categoryLabel = new QLabel("&Points by:");
  categoryLabel->setBuddy(categoryCombo_);
  categoryRow->addWidget(categoryLabel);
  categoryRow->addWidget(categoryCombo_, 1);
  leftLayout->addLayout(categoryRow);
  tree_ = new QTreeWidget;
  tree_->setObjectName("wellTree");
  tree_->setHeaderLabels({"Point / well", "Wells"});
  tree_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  tree_->header()->setStretchLastSection(false);
  leftLayout->addWidget(tree_, 1);
  dataRange_ = new QLabel;
  dataRange_->setObjectName("dataRange");
  dataRange_->setWordWrap(true);
  leftLayout->addWidget(dataRange_);
  splitter->addWidget(left);

  tabs_ = new QTabWidget;
  tabs_->setObjectName("mainTabs");
  dataTable_ = new QTableWidget;
  dataTable_->setObjectName("dataTable");
  dataTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  dataTable_->verticalHeader()->setVisible(false);
  tabs_->addTab(dataTable_, "Daily &data");
  diagnostics_ = new CDiagnosticsTable;
  tabs_->addTab(diagnostics_, "D&iagnostics");
  charts_ = new CResultsCharts;
  tabs_->addTab(charts_, "C&harts");
  auto* runsPage = new QWidget;
  runsPage->setObjectName("runsPage");
  auto* runsLayout = new QVBoxLayout(runsPage);
  runsTable_ = new QTableWidget(0, 8);
  runsTable_->setObjectName("runsTable");
  runsTable_->setHorizontalHeaderLabels(
      {"Run", "Started (UTC)", "Setup record", "From", "To", "Status", "Rows written", "Engine"});
  runsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  runsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  runsTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  runsTable_->verticalHeader()->setVisible(false);
  runsTable_->horizontalHeader()->setStretchLastSection(true);
  runsLayout->addWidget(runsTable_, 1);
  auto* runsButtons = new QHBoxLayout;
  showInputButton_ = button("Show &Input File", "showInputButton");
  showReportButton_ = button("Show Re&port", "showReportButton");
  showLoadButton_ = button("Show &Load File", "showLoadButton");
  for (QPushButton* b : {showInputButton_, showReportButton_, showLoadButton_}) {
    runsButtons->addWidget(b);
  }
  runsButtons->addStretch();
  runsLayout->addLayout(runsButtons);
  tabs_->addTab(runsPage, "R&uns");
  splitter->addWidget(tabs_);
  splitter->setStretchFactor(1, 3);
  layout->addWidget(splitter, 1);
  setCentralWidget(central);

  connect(setupCombo_, &QComboBox::currentTextChanged, this, &CHostMainWindow::onRecordChosen);
  connect(categoryCombo_, &QComboBox::currentTextChanged, this, &CHostMainWindow::onCategoryChosen);
  connect(newButton_, &QPushButton::clicked, this, &CHostMainWindow::onNewRecord);
  connect(editButton_, &QPushButton::clicked, this, &CHostMainWindow::onEditRecord);
  connect(renameButton_, &QPushButton::clicked, this, &CHostMainWindow::onRenameRecord);
  connect(deleteButton_, &QPushButton::clicked, this, &CHostMainWindow::onDeleteRecord);
  connect(runButton_, &QPushButton::clicked, this, &CHostMainWindow::onRun);
  connect(cancelButton_, &QPushButton::clicked, this, &CHostMainWindow::onCancel);
  connect(tree_, &QTreeWidget::itemSelectionChanged, this, &CHostMainWindow::onTreeSelection);
  connect(runsTable_, &QTableWidget::itemSelectionChanged, this, &CHostMainWindow::updateActions);
  connect(showInputButton_, &QPushButton::clicked, this, [this] { showRunText(kRunInput); });
  connect(showReportButton_, &QPushButton::clicked, this, [this] { showRunText(kRunReport); });
  connect(showLoadButton_, &QPushButton::clicked, this, [this] { showRunText(kRunLoad); });
}

QMessageBox::StandardButton CHostMainWindow::tell(QMessageBox::Icon icon, const QString& text,
                                                  QMessageBox::StandardButtons buttons) {
  if (messageBoxSeam()) return messageBoxSeam()(this, icon, windowTitle(), text, buttons);
  QMessageBox box(icon, windowTitle(), text, buttons, this);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString CHostMainWindow::databasePath() const {
  return path_;
}

QString CHostMainWindow::currentRecord() const {
  return setupCombo_->currentIndex() >= 0 ? setupCombo_->currentText() : QString();
}

void CHostMainWindow::updateActions() {
  const bool open = db_.isOpen();
  const bool running = isRunning();
  const bool record = open && !currentRecord().isEmpty();
  newButton_->setEnabled(open && !running);
  editButton_->setEnabled(record && !running);
  renameButton_->setEnabled(record && !running);
  deleteButton_->setEnabled(record && !running);
  setupCombo_->setEnabled(open && !running);
  fromDate_->setEnabled(record && !running);
  toDate_->setEnabled(record && !running);
  runButton_->setEnabled(record && !running);
  runAction_->setEnabled(record && !running);
  cancelButton_->setEnabled(running && !cancel_);
  cancelAction_->setEnabled(running && !cancel_);
  const bool run = !runsTable_->selectedItems().isEmpty();
  showInputButton_->setEnabled(run);
  showReportButton_->setEnabled(run);
  showLoadButton_->setEnabled(run);
}

void CHostMainWindow::updateRecent(const QString& path) {
  QSettings settings;
  QStringList recent = settings.value(kRecentKey).toStringList();
  if (!path.isEmpty()) {
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > kMaxRecentFiles) recent.removeLast();
    settings.setValue(kRecentKey, recent);
  }
  recentMenu_->clear();
  for (const QString& file : recent) {
    QAction* action = recentMenu_->addAction(file);
    connect(action, &QAction::triggered, this, [this, file] { openDatabase(file); });
  }
  recentMenu_->setEnabled(!recent.isEmpty());
}

void CHostMainWindow::onOpen() {
  if (isRunning()) return;
  QString path;
  if (openFileSeam()) {
    path = openFileSeam()(this);
  } else {
    path = QFileDialog::getOpenFileName(this, "Open Production Database", QString(),
                                        "Production databases (*.db *.sqlite);;All files (*)");
  }
  if (!path.isEmpty()) openDatabase(path);
}

bool CHostMainWindow::openDatabase(const QString& path) {
  if (isRunning()) return false;
  const std::string file = QFileInfo(path).absoluteFilePath().toStdString();
  zelba::sqlite::Database probe;
  std::string reason = zelba::hostdb::openForReading(probe, file);
  if (!reason.empty() && QFileInfo::exists(path)) {
    // A database of the earlier version is upgraded in place when the person agrees.
    // The version is read and the reading connection closed before an
    // upgrade, which needs the database to itself.
    int version = 0;
    {
      zelba::sqlite::Database old;
      if (old.open(file, true).empty()) {
        zelba::sqlite::Statement st(old, "PRAGMA user_version");
        if (st.step()) version = st.columnInt(0);
      }
    }
    if (version == 1) {
      const auto answer =
          tell(QMessageBox::Question,
               qs("The database " + file +
                  " has schema version 1. This host keeps setup records and the audit of runs "
                  "in version " +
                  std::to_string(zelba::hostdb::kSchemaVersion) +
                  ".\n\nUpgrade it now? Its data are kept as they are."),
               QMessageBox::Yes | QMessageBox::No);
      if (answer != QMessageBox::Yes) return false;
      zelba::sqlite::Database writable;
      reason = writable.open(file, false);
      if (reason.empty()) reason = zelba::hostdb::upgradeSchema(writable).error;
      if (reason.empty()) reason = zelba::hostdb::openForReading(probe, file);
    }
  }
  if (reason.empty()) {
    probe.close();
    // Tried for writing first, so that a database that can only be read
    // leaves the window on the one it had.
    zelba::sqlite::Database next;
    reason = next.open(file, false);
    if (reason.empty()) {
      db_.close();
      reason = db_.open(file, false);
    }
  }
  if (!reason.empty()) {
    tell(QMessageBox::Warning, qs("Cannot open the production database " + file + ":\n" + reason));
    return false;
  }
  path_ = qs(file);
  ZelHostOpenDatabase(file.c_str());
  setWindowTitle("ZelBA Host - " + QFileInfo(path_).fileName());
  updateRecent(path_);

  categoryCombo_->blockSignals(true);
  categoryCombo_->clear();
  for (const zelba::hostdb::Category& c : zelba::hostdb::readCategories(db_).categories) {
    categoryCombo_->addItem(qs(c.name));
  }
  categoryCombo_->blockSignals(false);
  const zelba::hostdb::DateRange range = zelba::hostdb::dataDates(db_);
  dataRange_->setText(range.found ? QString("Data from %1 to %2")
                                        .arg(dateOf(range.first).toString("yyyy-MM-dd"),
                                             dateOf(range.last).toString("yyyy-MM-dd"))
                                  : QString("The database holds no daily data."));
  refreshRecords();
  refreshRuns();
  diagnostics_->clear();
  charts_->clear();
  runStatus_->setText(qs("Opened " + file + "."));
  return true;
}

void CHostMainWindow::refreshRecords(const QString& select) {
  const QString keep = select.isEmpty() ? currentRecord() : select;
  const SetupRecordList list = listSetupRecords(db_);
  setupCombo_->blockSignals(true);
  setupCombo_->clear();
  for (const std::string& name : list.names) setupCombo_->addItem(qs(name));
  const int index = setupCombo_->findText(keep);
  setupCombo_->setCurrentIndex(index >= 0 ? index : (setupCombo_->count() > 0 ? 0 : -1));
  setupCombo_->blockSignals(false);
  onRecordChosen();
}

void CHostMainWindow::onRecordChosen() {
  const QString name = currentRecord();
  if (db_.isOpen() && !name.isEmpty()) {
    const LoadedSetupRecord loaded = loadSetupRecord(db_, name.toStdString());
    if (loaded.error.empty()) {
      const int first = parseDateArgument(zelba::recordText(loaded.record.startDate));
      const int last = parseDateArgument(zelba::recordText(loaded.record.endDate));
      if (first) fromDate_->setDate(dateOf(first));
      if (last) toDate_->setDate(dateOf(last));
      const int category =
          categoryCombo_->findText(qs(zelba::recordText(loaded.record.pomCategory)));
      if (category >= 0) categoryCombo_->setCurrentIndex(category);
    }
  }
  refreshTree();
  updateActions();
}

void CHostMainWindow::onCategoryChosen() {
  refreshTree();
}

void CHostMainWindow::refreshTree() {
  tree_->clear();
  dataTable_->clear();
  dataTable_->setRowCount(0);
  dataTable_->setColumnCount(0);
  if (!db_.isOpen() || categoryCombo_->currentIndex() < 0) return;
  const FieldTree field = fieldTree(db_, categoryCombo_->currentText().toStdString());
  auto addWells = [](QTreeWidgetItem* parent, const std::vector<std::string>& wells) {
    for (const std::string& well : wells) {
      auto* item = new QTreeWidgetItem(parent, {qs(well)});
      item->setData(0, kItemKindRole, kItemWell);
    }
  };
  for (const FieldTree::Point& point : field.points) {
    auto* item = new QTreeWidgetItem(tree_, {qs(point.name), QString::number(point.wells.size())});
    item->setData(0, kItemKindRole, kItemPoint);
    addWells(item, point.wells);
  }
  if (!field.unassigned.empty()) {
    auto* item = new QTreeWidgetItem(tree_, {"(no " + categoryCombo_->currentText() + ")",
                                             QString::number(field.unassigned.size())});
    addWells(item, field.unassigned);
  }
  tree_->expandAll();
  // The first point's days are shown at once rather than an empty table.
  if (tree_->topLevelItemCount() > 0) tree_->setCurrentItem(tree_->topLevelItem(0));
}

void CHostMainWindow::onTreeSelection() {
  const QList<QTreeWidgetItem*> items = tree_->selectedItems();
  if (items.isEmpty() || !db_.isOpen()) return;
  const QTreeWidgetItem* item = items.front();
  const int kind = item->data(0, kItemKindRole).toInt();
  DailyTable table;
  if (kind == kItemWell) {
    table = wellDays(db_, item->text(0).toStdString());
  } else if (kind == kItemPoint) {
    table =
        pointDays(db_, categoryCombo_->currentText().toStdString(), item->text(0).toStdString());
  } else {
    return;
  }
  dataTable_->clear();
  dataTable_->setColumnCount(static_cast<int>(table.columns.size()));
  dataTable_->setRowCount(static_cast<int>(table.rows.size()));
  QStringList headers;
  for (const std::string& c : table.columns) headers << qs(c);
  dataTable_->setHorizontalHeaderLabels(headers);
  for (size_t r = 0; r < table.rows.size(); ++r) {
    for (size_t c = 0; c < table.rows[r].size(); ++c) {
      auto* cell = new QTableWidgetItem(qs(table.rows[r][c]));
      if (c > 0) cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      dataTable_->setItem(static_cast<int>(r), static_cast<int>(c), cell);
    }
  }
  dataTable_->resizeColumnsToContents();
  if (!table.error.empty()) runStatus_->setText(qs("The data could not be read: " + table.error));
}

// Opens the setup sheet on `record`; true when the person pressed OK.
static bool editOnSheet(BA_SETUP& record, const std::string& programDir, QString& failure) {
  if (setupSheetSeam()) return setupSheetSeam()(&record) == 1;
  const ModuleEntries& module = loadModule(programDir);
  if (!module.error.empty()) {
    failure = qs("The setup sheet cannot be opened: " + module.error);
    return false;
  }
  return module.baStart(&record) == 1;
}

// A record name asked of the person, blanks trimmed; none when cancelled.
static std::optional<QString> askName(QWidget* parent, const QString& title, const QString& label,
                                      const QString& text) {
  if (askNameSeam()) return askNameSeam()(parent, title, label, text);
  bool ok = false;
  const QString answer = QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
  if (!ok) return std::nullopt;
  return answer.trimmed();
}

// The sheet on `record`; when the person presses OK the record is kept
// under `name` and chosen.
void CHostMainWindow::editAndSave(const QString& name, BA_SETUP record) {
  QString failure;
  if (!editOnSheet(record, programDir_, failure)) {
    if (!failure.isEmpty()) tell(QMessageBox::Warning, failure);
    return;
  }
  const std::string reason = saveSetupRecord(db_, name.toStdString(), record);
  if (!reason.empty()) tell(QMessageBox::Warning, qs("The setup record was not saved: " + reason));
  refreshRecords(name);
}

void CHostMainWindow::onNewRecord() {
  const std::optional<QString> name =
      askName(this, "New Setup Record", "Name of the new setup record:", QString());
  if (!name || name->isEmpty()) return;
  if (setupCombo_->findText(*name) >= 0) {
    tell(QMessageBox::Warning, "A setup record is already named '" + *name + "'.");
    return;
  }
  editAndSave(*name, emptySetupRecord());
}

void CHostMainWindow::onEditRecord() {
  const QString name = currentRecord();
  const LoadedSetupRecord loaded = loadSetupRecord(db_, name.toStdString());
  if (!loaded.error.empty()) {
    tell(QMessageBox::Warning, qs(loaded.error));
    return;
  }
  editAndSave(name, loaded.record);
}

void CHostMainWindow::onRenameRecord() {
  const QString from = currentRecord();
  const std::optional<QString> to =
      askName(this, "Rename Setup Record", "New name of '" + from + "':", from);
  if (!to || to->isEmpty() || *to == from) return;
  const std::string reason = renameSetupRecord(db_, from.toStdString(), to->toStdString());
  if (!reason.empty()) {
    tell(QMessageBox::Warning, qs("The setup record was not renamed: " + reason));
    return;
  }
  refreshRecords(*to);
}

void CHostMainWindow::onDeleteRecord() {
  const QString name = currentRecord();
  if (tell(QMessageBox::Question,
           "Delete the setup record '" + name + "'? Past runs keep their copy of it.",
           QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
    return;
  }
  const std::string reason = deleteSetupRecord(db_, name.toStdString());
  if (!reason.empty())
    tell(QMessageBox::Warning, qs("The setup record was not deleted: " + reason));
  refreshRecords();
}

void CHostMainWindow::onRun() {
  if (isRunning() || currentRecord().isEmpty()) return;
  RunRequest request;
  request.databasePath = path_.toStdString();
  request.setupName = currentRecord().toStdString();
  request.firstDate = numberOf(fromDate_->date());
  request.lastDate = numberOf(toDate_->date());
  request.programDir = programDir_;
  cancel_ = false;
  pending_ = std::make_shared<RunOutcome>();
  progress_->setValue(0);
  runStatus_->setText("Starting the run...");
  RunHooks hooks;
  hooks.cancel = &cancel_;
  hooks.progress = [this](int percent, const std::string& step) {
    const QString text = qs(step);
    QMetaObject::invokeMethod(
        this, [this, percent, text] { onProgress(percent, text); }, Qt::QueuedConnection);
  };
  std::shared_ptr<RunOutcome> into = pending_;
  worker_ = QThread::create([request, hooks, into] { *into = runAllocation(request, hooks); });
  worker_->setObjectName("allocationRun");
  connect(worker_, &QThread::finished, this, &CHostMainWindow::onRunDone);
  updateActions();
  worker_->start();
}

void CHostMainWindow::onCancel() {
  if (!isRunning()) return;
  cancel_ = true;
  runStatus_->setText(
      "Cancelling: the run stops when the step under way ends (the engine cannot be "
      "interrupted); nothing is written back.");
  updateActions();
}

void CHostMainWindow::onProgress(int percent, const QString& step) {
  if (!isRunning()) return;
  progress_->setValue(percent);
  if (!cancel_) runStatus_->setText(step + "...");
}

void CHostMainWindow::onRunDone() {
  worker_->deleteLater();
  worker_ = nullptr;
  outcome_ = *pending_;
  pending_.reset();
  progress_->setValue(100);
  const bool good = outcome_.exitCode == kRunExitSuccess || outcome_.exitCode == kRunExitAttention;
  QString text = qs(outcome_.message);
  text[0] = text[0].toUpper();
  runStatus_->setText(text + ".");
  const ResultsData results = parseResults(outcome_.resultsJson);
  if (results.error.empty()) {
    diagnostics_->setResults(results);
    charts_->setResults(results);
  } else {
    diagnostics_->clear();
    charts_->clear();
  }
  refreshRuns();
  onTreeSelection();
  updateActions();
  if (!good && !outcome_.cancelled) {
    QString details = text + ".";
    if (!outcome_.unknownVariables.empty()) {
      details += "\n\nThe database has no variable named:";
      for (const std::string& v : outcome_.unknownVariables) details += "\n    " + qs(v);
    }
    tell(QMessageBox::Warning, details);
  }
  emit runFinished();
}

void CHostMainWindow::refreshRuns() {
  runsTable_->setSortingEnabled(false);
  runsTable_->setRowCount(0);
  if (!db_.isOpen()) return;
  const RunList list = listRuns(db_);
  runsTable_->setRowCount(static_cast<int>(list.runs.size()));
  for (size_t i = 0; i < list.runs.size(); ++i) {
    const RunRecord& run = list.runs[i];
    const int row = static_cast<int>(i);
    auto* id = new QTableWidgetItem;
    id->setData(Qt::DisplayRole, static_cast<qlonglong>(run.id));
    runsTable_->setItem(row, 0, id);
    runsTable_->setItem(row, 1, new QTableWidgetItem(qs(run.started)));
    runsTable_->setItem(row, 2, new QTableWidgetItem(qs(run.setupName)));
    runsTable_->setItem(row, 3, new QTableWidgetItem(QString::number(run.firstDate)));
    runsTable_->setItem(row, 4, new QTableWidgetItem(QString::number(run.lastDate)));
    auto* status = new QTableWidgetItem(qs(run.status));
    status->setToolTip(qs(run.summary).trimmed());
    runsTable_->setItem(row, 5, status);
    auto* rows = new QTableWidgetItem;
    rows->setData(Qt::DisplayRole, run.rowsWritten);
    runsTable_->setItem(row, 6, rows);
    runsTable_->setItem(row, 7, new QTableWidgetItem(qs(run.engineVersion)));
  }
  runsTable_->setSortingEnabled(true);
  runsTable_->resizeColumnsToContents();
  updateActions();
}

void CHostMainWindow::showRunText(int which) {
  const QList<QTableWidgetItem*> selected = runsTable_->selectedItems();
  if (selected.isEmpty()) return;
  const qlonglong id =
      runsTable_->item(selected.front()->row(), 0)->data(Qt::DisplayRole).toLongLong();
  const LoadedRun loaded = loadRun(db_, id);
  if (!loaded.error.empty()) {
    tell(QMessageBox::Warning, qs(loaded.error));
    return;
  }
  const RunRecord& run = loaded.run;
  static const char* const kWhat[] = {"Input file", "Report", "Load file"};
  const std::string& text = which == kRunInput    ? run.inputText
                            : which == kRunReport ? run.reportText
                                                  : run.loadText;
  if (text.empty()) {
    tell(QMessageBox::Information,
         QString("Run %1 kept no %2.").arg(id).arg(QString(kWhat[which]).toLower()));
    return;
  }
  CRunTextDialog dialog(QString("%1 of run %2 (%3, %4 to %5)")
                            .arg(kWhat[which])
                            .arg(id)
                            .arg(qs(run.setupName))
                            .arg(run.firstDate)
                            .arg(run.lastDate),
                        qs(text), this);
  dialog.exec();
}

void CHostMainWindow::closeEvent(QCloseEvent* event) {
  if (isRunning()) {
    tell(QMessageBox::Information,
         "A run is in progress. The window can be closed when it has ended.");
    event->ignore();
    return;
  }
  event->accept();
}

int runHostWindow(int argc, char** argv, const std::string& database) {
  QApplication application(argc, argv);
  QApplication::setOrganizationName("ZelBA");
  QApplication::setApplicationName("zelba-host");
  // The module is loaded and initialised once, on the application's thread.
  const ModuleEntries& module = loadModule(programDirectory());
  CHostMainWindow window;
  window.show();
  if (!module.error.empty()) {
    QMessageBox::warning(&window, window.windowTitle(),
                         qs("The allocation module could not be loaded: " + module.error));
  }
  if (!database.empty()) window.openDatabase(QString::fromStdString(database));
  return application.exec();
}
