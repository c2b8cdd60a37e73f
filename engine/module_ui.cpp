// The module's entries on the side of its user interface: InitBaDLL
// registers the module's resources and lets a run show its text report in
// the report viewer when the host runs a Qt widget application.
#include <QApplication>
#include <QMetaObject>
#include <QThread>
#include <memory>

#include "engine/ba_engine.h"
#include "engine/module_hooks.h"
#include "output/module_resources.h"
#include "output/report_view_data.h"
#include "output/report_viewer.h"

namespace {

// Opens the viewer on the report a run has just written, when there is a
// user interface to show it: a Qt widget application of the host's. On the
// application's thread the dialog is modal and the run goes on (load file,
// totals) when it is closed. A run on another thread (a host that keeps its
// window responsive) does not wait for it, which could never end if the
// application's thread were waiting for the run: the dialog opens on the
// application's thread when its event loop comes to it. Without a widget
// application (a batch host, a program without a display) nothing is shown.
void showReport(const zelba::RunState& rs, const std::string& reportPath) {
  auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (application == nullptr) return;
  try {
    auto data =
        std::make_shared<const zelba::ReportViewData>(zelba::reportViewData(rs, reportPath));
    const auto show = [data] {
      try {
        CZELBAReportDlg dialog(*data, QApplication::activeWindow());
        dialog.exec();
      } catch (...) {
        // The viewer failing (out of memory) does not fail the run.
      }
    };
    if (QThread::currentThread() == application->thread()) {
      show();
    } else {
      QMetaObject::invokeMethod(application, show, Qt::QueuedConnection);
    }
  } catch (...) {
  }
}

}  // namespace

extern "C" ZELBA_EXPORT void InitBaDLL(void) {
  try {
    zelba::registerModuleResources();
    zelba::setModuleReportViewer(&showReport);
  } catch (...) {
  }
}
