// The host application's window on Qt's offscreen platform, with the seams
// answering for the person: open the demo database, browse it, make a setup
// record, run a month, review it, and the databases it refuses.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "host/app/main_window.h"
#include "host/host_database.h"
#include "host/run_store.h"
#include "host/sqlite_db.h"
#include "temp_dir.h"

namespace {

using namespace zelba::hostapp;

QApplication& app() {
  static int argc = 1;
  static char name[] = "host_window_test";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  // The window's settings (its recent files) live in a folder of this
  // process, apart from the person's and from a test running beside it.
  static QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  // Never destroyed: the module the window loads keeps Qt objects of its own
  // that must not be torn down after Qt's at exit.
  static QApplication* application = new QApplication(argc, argv);
  return *application;
}

std::string buildDir() {
  const std::string engine = BA_ENGINE_PATH;
  return engine.substr(0, engine.find_last_of('/'));
}

// Every message the window shows, answered with `answer`.
struct Messages {
  explicit Messages(QMessageBox::StandardButton answer = QMessageBox::Ok) {
    HostWindowSeams::setMessageBox([this, answer](QWidget*, QMessageBox::Icon, const QString&,
                                                  const QString& text,
                                                  QMessageBox::StandardButtons) {
      shown << text;
      return answer;
    });
  }
  ~Messages() { HostWindowSeams::setMessageBox(nullptr); }
  QStringList shown;
};

template <typename T>
T* child(QWidget& window, const char* name) {
  T* widget = window.findChild<T*>(name);
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

}  // namespace

TEST(HostWindow, DemoDatabaseBrowsedSetUpRunAndReviewed) {
  app();
  TempDir dir("zelba-host-window");
  ASSERT_TRUE(dir.ok());
  const std::string path = dir.file("demo.db");
  ASSERT_EQ(
      std::system(
          (std::string("'") + ZELBA_HOSTDB_PATH + "' demo '" + path + "' > /dev/null").c_str()),
      0);
  Messages messages;
  CHostMainWindow window;
  window.setProgramDirectory(buildDir());
  window.show();
  ASSERT_TRUE(window.openDatabase(QString::fromStdString(path)));
  EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join("\n").toStdString();

  // The demo's record, its period and category; the separators with their wells.
  auto* setup = child<QComboBox>(window, "setupCombo");
  EXPECT_EQ(setup->currentText(), "North month");
  EXPECT_EQ(child<QDateEdit>(window, "fromDate")->date(), QDate(2005, 1, 1));
  EXPECT_EQ(child<QDateEdit>(window, "toDate")->date(), QDate(2005, 1, 31));
  EXPECT_EQ(child<QComboBox>(window, "categoryCombo")->currentText(), "SEPARATOR");
  auto* tree = child<QTreeWidget>(window, "wellTree");
  ASSERT_EQ(tree->topLevelItemCount(), 4);  // PAD-A, PAD-B, PAD-C, PAD-C-LP
  EXPECT_EQ(tree->topLevelItem(0)->text(0), "PAD-A");
  ASSERT_GT(tree->topLevelItem(0)->childCount(), 0);
  const QString range = child<QWidget>(window, "dataRange")->property("text").toString();
  EXPECT_TRUE(range.contains("to 2005-01-31")) << range.toStdString();
  // A well's daily data: a row a day of January at least, its hours among the columns.
  tree->setCurrentItem(tree->topLevelItem(0)->child(0));
  auto* data = child<QTableWidget>(window, "dataTable");
  EXPECT_GE(data->rowCount(), 31);
  QStringList headers;
  for (int c = 0; c < data->columnCount(); ++c) headers << data->horizontalHeaderItem(c)->text();
  EXPECT_TRUE(headers.contains("HOURS.HOURS_ON")) << headers.join(",").toStdString();
  EXPECT_EQ(child<QMenu>(window, "recentMenu")->actions().size(), 1);

  // A new record made on the sheet (the seam stands for the person) and kept.
  zelba::sqlite::Database db;
  ASSERT_EQ(db.open(path, true), "");
  const BA_SETUP demo = loadSetupRecord(db, "North month").record;
  HostWindowSeams::setAskName([](QWidget*, const QString&, const QString&, const QString&) {
    return std::optional<QString>("Ten days");
  });
  HostWindowSeams::setSetupSheet([&demo](BA_SETUP* record) {
    *record = demo;
    std::strcpy(record->endDate, "20050110");
    return 1;
  });
  child<QPushButton>(window, "newSetupButton")->click();
  HostWindowSeams::setAskName(nullptr);
  HostWindowSeams::setSetupSheet(nullptr);
  EXPECT_EQ(setup->currentText(), "Ten days");
  EXPECT_EQ(child<QDateEdit>(window, "toDate")->date(), QDate(2005, 1, 10));

  // The run on its worker thread; the viewer the module opens is closed.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  closer.start(100);
  QSignalSpy finished(&window, &CHostMainWindow::runFinished);
  child<QPushButton>(window, "runButton")->click();
  EXPECT_TRUE(window.isRunning());
  EXPECT_FALSE(child<QPushButton>(window, "runButton")->isEnabled());  // never two at once
  EXPECT_TRUE(child<QPushButton>(window, "cancelButton")->isEnabled());
  ASSERT_TRUE(finished.wait(120000));
  const RunOutcome& out = window.lastOutcome();
  EXPECT_EQ(out.exitCode, kRunExitSuccess) << out.message;
  EXPECT_EQ(out.rowsWritten, 21 * 10);
  EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join("\n").toStdString();
  EXPECT_TRUE(
      child<QWidget>(window, "runStatus")->property("text").toString().contains("210 rows"));

  // Reviewed: the diagnostics, the charts, the run in the list with its input.
  auto* diagnostics = child<QTableView>(window, "diagnosticsTable");
  ASSERT_NE(diagnostics->model(), nullptr);
  auto* pointChart = child<QChartView>(window, "pointChart");
  ASSERT_NE(pointChart->chart(), nullptr);
  EXPECT_FALSE(pointChart->chart()->series().isEmpty());
  auto* runs = child<QTableWidget>(window, "runsTable");
  ASSERT_EQ(runs->rowCount(), 1);
  EXPECT_EQ(runs->item(0, 5)->text(), "succeeded");
  runs->selectRow(0);
  QString shown;
  closer.stop();
  QTimer::singleShot(0, [&shown] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      if (auto* text = modal->findChild<QPlainTextEdit*>("runText")) shown = text->toPlainText();
      modal->close();
    }
  });
  child<QPushButton>(window, "showInputButton")->click();
  EXPECT_TRUE(shown.startsWith("#control\n*period 20050101 20050110")) << shown.toStdString();
}

TEST(HostWindow, DatabasesItCannotUseAreRefusedAndAnEarlierOneUpgraded) {
  app();
  TempDir dir("zelba-host-window-bad");
  ASSERT_TRUE(dir.ok());
  CHostMainWindow window;
  {
    Messages messages;
    const std::string junk = dir.file("junk.db");
    std::ofstream(junk) << std::string(4096, 'x');
    EXPECT_FALSE(window.openDatabase(QString::fromStdString(junk)));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].contains("not a database")) << messages.shown[0].toStdString();
    EXPECT_TRUE(window.databasePath().isEmpty());
  }
  // A database of the first version: upgraded only when the person says yes.
  const std::string old = dir.file("old.db");
  {
    zelba::sqlite::Database db;
    ASSERT_EQ(db.open(old, false), "");
    ASSERT_EQ(zelba::hostdb::createSchema(db), "");
    ASSERT_EQ(db.exec("DROP TABLE SETUP_RECORDS; DROP TABLE RUNS;"
                      " ALTER TABLE ALLOCATED DROP COLUMN RUN_ID;"
                      " ALTER TABLE HOURS DROP COLUMN RUN_ID;"
                      " ALTER TABLE WELLTEST DROP COLUMN RUN_ID; PRAGMA user_version = 1;"),
              "");
  }
  {
    Messages no(QMessageBox::No);
    EXPECT_FALSE(window.openDatabase(QString::fromStdString(old)));
    ASSERT_EQ(no.shown.size(), 1);
    EXPECT_TRUE(no.shown[0].contains("schema version 1"));
  }
  Messages yes(QMessageBox::Yes);
  EXPECT_TRUE(window.openDatabase(QString::fromStdString(old)))
      << yes.shown.join("\n").toStdString();
  EXPECT_EQ(window.databasePath().toStdString(), old);
}
