#include "setup/setup_sheet.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QVBoxLayout>
#include <cstdlib>
#include <cstring>

#include "output/module_resources.h"

CBaSetupSheet::CBaSetupSheet(zelba::SetupMembers& members, QWidget* parent) : QDialog(parent) {
  zelba::registerModuleResources();
  setWindowTitle(zelba::moduleString(QStringLiteral("sheetTitle")));
  setObjectName(QStringLiteral("BaSetupSheet"));
  // The context-help button in the caption; no Apply, no Help button.
  setWindowFlag(Qt::WindowContextHelpButtonHint, true);

  pom_ = new CPomTab(members.pom);
  auto* control = new CBaCtrl(members.ctrl);
  control->setMeasurementsPage(pom_);
  pages_ = {pom_,    new CPtTab(members.pt), new CWTVars(members.wt), new CEqTab(members.eq),
            control, new TabRes(members.res)};
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("12320"));
  tabs_->setUsesScrollButtons(false);  // every tab in sight
  for (CSetupPage* page : pages_) tabs_->addTab(page, page->caption());

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_, 1);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &CBaSetupSheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CBaSetupSheet::reject);
  connect(tabs_, &QTabWidget::currentChanged, this, &CBaSetupSheet::onPageChanged);

  tabs_->setCurrentIndex(kMeasurements);
  pom_->createWindow();  // the first page has its window from the start
}

CBaSetupSheet::~CBaSetupSheet() = default;

CSetupPage* CBaSetupSheet::page(int index) const {
  return index >= 0 && index < kPageCount ? pages_[static_cast<size_t>(index)] : nullptr;
}

void CBaSetupSheet::onPageChanged(int index) {
  if (returning_ || index == shown_) return;
  CSetupPage* leaving = page(shown_);
  if (leaving != nullptr && leaving->hasWindow() && !leaving->DoDataExchange(true)) {
    returning_ = true;
    tabs_->setCurrentIndex(shown_);
    returning_ = false;
    return;
  }
  shown_ = index;
  if (CSetupPage* next = page(index)) next->createWindow();
}

void CBaSetupSheet::accept() {
  CSetupPage* active = page(shown_);
  if (active != nullptr && active->hasWindow() && !active->DoDataExchange(true)) return;
  QDialog::accept();
}

void CBaSetupSheet::done(int result) {
  for (CSetupPage* page : pages_) page->destroyWindow();
  QDialog::done(result);
}

const zelba::hostmodel::ModelClass CTabsView::kClass{"CTabsView",
                                                     &zelba::hostmodel::ModelObject::kClass};

std::unique_ptr<CTabsView> CTabsView::CreateObject(const char* className) {
  if (className == nullptr || std::strcmp(className, kClass.name) != 0) return nullptr;
  return std::make_unique<CTabsView>();
}

int CTabsView::RunSheet() {
  if (m_pSetup == nullptr) return 0;
  zelba::SetupMembers members = zelba::loadSetup(*m_pSetup);
  bool ok = false;
  {
    CBaSetupSheet sheet(members, QApplication::activeWindow());
    ok = sheet.exec() == QDialog::Accepted;
  }
  if (!ok) return 0;
  // Stored into a copy first: the host's record changes all at once or not
  // at all. Bytes the module does not name are copied back as they were.
  BA_SETUP updated;
  std::memcpy(&updated, m_pSetup, sizeof updated);
  zelba::storeSetup(members, updated);
  std::memcpy(m_pSetup, &updated, sizeof updated);
  return 1;
}

extern "C" ZELBA_SETUP_EXPORT int BaStart(BA_SETUP* setup) {
  if (setup == nullptr) return 0;
  try {
    if (QCoreApplication::instance() == nullptr) {
      // A host without a Qt application: make one, if there is a display to
      // show the sheet on (without one Qt would end the process).
      if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
          std::getenv("QT_QPA_PLATFORM") == nullptr) {
        return 0;
      }
      static int argc = 1;
      static char name[] = "ZelBA";
      static char* argv[] = {name, nullptr};
      new QApplication(argc, argv);  // kept for the life of the process
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
      return 0;  // the host's application shows no widgets
    } else if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
      return 0;  // windows live on the application's thread only
    }
    zelba::registerModuleResources();
    CTabsView view;
    view.m_pSetup = setup;
    return view.RunSheet();
  } catch (...) {
    return 0;
  }
}
