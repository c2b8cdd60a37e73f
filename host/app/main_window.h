// The host application's main window: a production database's wells and
// points of measurement with their daily data, its setup records, the run of
// an allocation on a worker thread, and the review of runs (diagnostics,
// charts, past runs with their input and report).
#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/sqlite_db.h"
#include "host/workflow.h"
#include "setup/ba_setup.h"

class QAction;
class QComboBox;
class QDateEdit;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QThread;
class QTreeWidget;
class CDiagnosticsTable;
class CResultsCharts;

// What the window asks of a person, replaceable so that tests answer in
// advance. Each has a default that shows the real dialog.
struct HostWindowSeams {
  using MessageBox = std::function<QMessageBox::StandardButton(
      QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
      QMessageBox::StandardButtons buttons)>;
  using OpenFile = std::function<QString(QWidget* parent)>;  // "" when cancelled
  using AskName = std::function<std::optional<QString>(QWidget* parent, const QString& title,
                                                       const QString& label, const QString& text)>;
  using SetupSheet = std::function<int(BA_SETUP* record)>;  // BaStart's contract

  static void setMessageBox(MessageBox handler);  // null restores the default
  static void setOpenFile(OpenFile handler);
  static void setAskName(AskName handler);
  static void setSetupSheet(SetupSheet handler);
};

// A past run's text (its input file, report or load file), read only.
class CRunTextDialog : public QDialog {
  Q_OBJECT
 public:
  CRunTextDialog(const QString& title, const QString& text, QWidget* parent = nullptr);
};

class CHostMainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit CHostMainWindow(QWidget* parent = nullptr);
  ~CHostMainWindow() override;

  // Opens the production database at `path` (a database of the earlier
  // schema version is upgraded when the person agrees). False, with a message
  // shown, when it cannot be used; the window keeps what it had.
  bool openDatabase(const QString& path);
  QString databasePath() const;
  // Where the module and ba-engine are: the program's own folder unless set.
  void setProgramDirectory(const std::string& directory) { programDir_ = directory; }
  bool isRunning() const { return worker_ != nullptr; }
  // The outcome of the latest run, for the window's status and for tests.
  const zelba::hostapp::RunOutcome& lastOutcome() const { return outcome_; }

 signals:
  void runFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  void buildCentral();
  void updateRecent(const QString& path);
  void refreshRecords(const QString& select = QString());
  void refreshTree();
  void refreshRuns();
  void updateActions();
  QString currentRecord() const;
  QMessageBox::StandardButton tell(QMessageBox::Icon icon, const QString& text,
                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok);

  void onOpen();
  void onRecordChosen();
  void onCategoryChosen();
  void onNewRecord();
  void onEditRecord();
  void onRenameRecord();
  void onDeleteRecord();
  void editAndSave(const QString& name, BA_SETUP record);
  void onTreeSelection();
  void onRun();
  void onCancel();
  void onProgress(int percent, const QString& step);
  void onRunDone();
  void showRunText(int which);

  zelba::sqlite::Database db_;
  QString path_;
  std::string programDir_ = zelba::hostapp::programDirectory();
  QMenu* recentMenu_ = nullptr;
  QAction* runAction_ = nullptr;
  QAction* cancelAction_ = nullptr;
  QComboBox* setupCombo_ = nullptr;
  QComboBox* categoryCombo_ = nullptr;
  QPushButton* newButton_ = nullptr;
  QPushButton* editButton_ = nullptr;
  QPushButton* renameButton_ = nullptr;
  QPushButton* deleteButton_ = nullptr;
  QDateEdit* fromDate_ = nullptr;
  QDateEdit* toDate_ = nullptr;
  QPushButton* runButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* runStatus_ = nullptr;
  QLabel* dataRange_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QTableWidget* dataTable_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  CDiagnosticsTable* diagnostics_ = nullptr;
  CResultsCharts* charts_ = nullptr;
  QTableWidget* runsTable_ = nullptr;
  QPushButton* showInputButton_ = nullptr;
  QPushButton* showReportButton_ = nullptr;
  QPushButton* showLoadButton_ = nullptr;

  QThread* worker_ = nullptr;
  std::atomic<bool> cancel_{false};
  std::shared_ptr<zelba::hostapp::RunOutcome> pending_;
  zelba::hostapp::RunOutcome outcome_;
};

// The application with its window, on `database` when it is not empty.
// Returns the application's exit status.
int runHostWindow(int argc, char** argv, const std::string& database);
