// The module as a host loads it, with its user interface: InitBaDLL makes
// the module's resources visible to the process, and a run opens the report
// viewer after a text report only when the host runs a widget application.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <fstream>
#include <string>
#include <thread>

#include "output/module_resources.h"
#include "output/report_viewer.h"

namespace zelba {
namespace {

struct Module {
  void* handle = nullptr;
  int (*start)(char*) = nullptr;
  void (*init)() = nullptr;

  Module() {
    handle = dlopen(ZELBA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return;
    start = reinterpret_cast<int (*)(char*)>(dlsym(handle, "BaEngineStart"));
    init = reinterpret_cast<void (*)()>(dlsym(handle, "InitBaDLL"));
  }
  bool loaded() const { return start != nullptr && init != nullptr; }
};

bool exists(const std::string& path) {
  return std::ifstream(path).good();
}

// A point of measurement with two wells, writing a report and a load file;
// returns the input file's path.
std::string writeRun(const std::string& stem) {
  const std::string dir = testing::TempDir();
  std::remove((dir + stem + ".prn").c_str());
  std::remove((dir + stem + ".txt").c_str());
  const std::string input = dir + stem + ".ba";
  std::ofstream(input) << "#control\n*period 20050101 20050102\n*daily\n*report " << dir << stem
                       << ".prn\n*load " << dir << stem
                       << ".txt\n#end\n"
                          "#network\n*Methods *Welltest\n*TF T1\nWell W1\nWell W2\n#end\n"
                          "#volume\n*TF T1\n*date oil\n20050101 200\n20050102 220\n#end\n"
                          "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\n"
                          "#end\n";
  return input;
}

QApplication& app() {
  static int argc = 1;
  static char name[] = "module_ui_test";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication application(argc, argv);
  return application;
}

TEST(ModuleResources, InitBaDLLRegistersFormsBitmapAndTextsForTheProcess) {
  const QString form = QStringLiteral(":/zelba/forms/20110.json");
  EXPECT_FALSE(QFile::exists(form));  // not before the host's call
  Module module;
  ASSERT_TRUE(module.loaded()) << dlerror();
  module.init();
  module.init();  // a second call changes nothing
  EXPECT_TRUE(QFile::exists(form));

  const DialogForm report = dialogForm(20110);
  EXPECT_EQ(report.id, 20110);
  EXPECT_EQ(report.caption, QStringLiteral("ZEL BA Report"));
  EXPECT_EQ(std::tuple(report.font, report.points), std::tuple(QStringLiteral("MS Sans Serif"), 8));
  EXPECT_EQ(report.size, QSize(514, 266));
  ASSERT_EQ(report.controls.size(), 5u);
  const int ids[] = {1015, 1041, 3, 4, 2};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(report.controls[i].id, ids[i]);
  EXPECT_EQ(report.control(1041)->rect, QRect(145, 7, 363, 231));
  EXPECT_EQ(report.control(2)->rect, QRect(458, 242, 50, 14));
  EXPECT_TRUE(report.control(3)->isDefault);
  EXPECT_FALSE(report.control(2)->isDefault);
  EXPECT_EQ(report.control(4)->text, QStringLiteral("Print &All"));
  EXPECT_EQ(report.control(99), nullptr);
  EXPECT_EQ(dialogForm(20111).id, 0);  // no such template

  // Bitmap 132: fourteen 16 x 13 images in sixteen colours.
  const QImage strip = moduleBitmap(132);
  EXPECT_EQ(strip.size(), QSize(224, 13));
  EXPECT_LE(strip.colorCount(), 16);
  EXPECT_GT(strip.colorCount(), 0);
  EXPECT_EQ(strip.pixelColor(0, 0), QColor(255, 0, 255));
  EXPECT_TRUE(moduleBitmap(133).isNull());

  EXPECT_EQ(moduleString(QStringLiteral("pomErrorText")),
            QStringLiteral("Point of Measurement can not be left empty."));
  EXPECT_EQ(moduleString(QStringLiteral("pomErrorCaption")), QStringLiteral("POM Error"));
  EXPECT_EQ(moduleString(QStringLiteral("sheetTitle")), QStringLiteral("Back Allocation Setup"));
  EXPECT_TRUE(moduleString(QStringLiteral("noSuchText")).isEmpty());
}

TEST(ModuleViewer, ABatchRunOpensNoViewerAndNeedsNoDisplay) {
  Module module;
  ASSERT_TRUE(module.loaded()) << dlerror();
  module.init();
  std::string input = writeRun("module-batch");
  EXPECT_EQ(module.start(input.data()), 1);
  EXPECT_EQ(QCoreApplication::instance(), nullptr);  // no application was made
  EXPECT_TRUE(exists(testing::TempDir() + "module-batch.prn"));
  EXPECT_TRUE(exists(testing::TempDir() + "module-batch.txt"));
}

TEST(ModuleViewer, InAWidgetApplicationTheReportIsShownBeforeTheLoadFileIsWritten) {
  app();
  Module module;
  ASSERT_TRUE(module.loaded()) << dlerror();
  module.init();
  const std::string load = testing::TempDir() + "module-gui.txt";
  std::string input = writeRun("module-gui");

  QString title;
  int points = -1, wells = -1, again = 0;
  bool loadWritten = true;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<CZELBAReportDlg*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    title = dialog->windowTitle();
    points = dialog->tree()->topLevelItemCount();
    wells = dialog->tree()->topLevelItem(0)->childCount();
    loadWritten = exists(load);
    // A run started while the viewer of a run is up fails at once rather
    // than waiting for itself.
    again = module.start(input.data());
    dialog->reject();
  });
  EXPECT_EQ(module.start(input.data()), 1);
  EXPECT_EQ(title, QStringLiteral("ZEL BA Report"));
  EXPECT_EQ(std::tuple(points, wells), std::tuple(1, 2));  // T1 with W1 and W2
  EXPECT_FALSE(loadWritten);
  EXPECT_EQ(again, -1);
  EXPECT_TRUE(exists(load));

  // A run on another thread does not wait for the viewer: the dialog opens
  // on the application's thread when its events are next processed.
  std::remove(load.c_str());
  int status = 0;
  std::thread worker([&] { status = module.start(input.data()); });
  worker.join();
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(exists(load));
  title.clear();
  QTimer::singleShot(0, [&] {
    if (QWidget* dialog = QApplication::activeModalWidget()) {
      title = dialog->windowTitle();
      dialog->close();
    }
  });
  QCoreApplication::processEvents();
  EXPECT_EQ(title, QStringLiteral("ZEL BA Report"));
}

}  // namespace
}  // namespace zelba
