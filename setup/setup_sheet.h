// The "Back Allocation Setup" sheet: six pages in tabs, OK and Cancel. A
// page gets its controls when it is first shown; leaving a page (or OK)
// exchanges its data, and a page that refuses its input keeps the user on
// it. CTabsView runs the sheet on the host's record for BaStart.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "hostmodel/model_object.h"
#include "setup/ba_setup.h"
#include "setup/control_page.h"
#include "setup/setup_record.h"
#include "setup/variable_pages.h"

class QTabWidget;
class QPushButton;

class ZELBA_SETUP_EXPORT_CLASS CBaSetupSheet : public QDialog {
  Q_OBJECT

 public:
  // Page indices other pages rely on.
  enum Page { kMeasurements, kProductionTimes, kWelltest, kEquations, kControl, kWriteback };
  static constexpr int kPageCount = 6;

  // The sheet on `members`, which the pages read and change; page 0 shown.
  explicit CBaSetupSheet(zelba::SetupMembers& members, QWidget* parent = nullptr);
  ~CBaSetupSheet() override;

  CSetupPage* page(int index) const;
  CPomTab* measurements() const { return pom_; }
  QTabWidget* tabs() const { return tabs_; }

  // OK: the page shown exchanges its data; the sheet closes only when the
  // page accepts it.
  void accept() override;
  // Closing in any way destroys the pages' windows first.
  void done(int result) override;

 private:
  void onPageChanged(int index);

  QTabWidget* tabs_ = nullptr;
  CPomTab* pom_ = nullptr;
  std::array<CSetupPage*, kPageCount> pages_{};
  int shown_ = 0;
  bool returning_ = false;  // going back to a page that refused to be left
};

// The holder through which BaStart runs the sheet: it keeps the record.
// A model object of run-time class "CTabsView"; CreateObject makes an empty
// one by class name, as the host's framework creates objects.
class ZELBA_SETUP_EXPORT_CLASS CTabsView : public zelba::hostmodel::ModelObject {
 public:
  static const zelba::hostmodel::ModelClass kClass;  // "CTabsView"
  // A holder made by class name; null for a name that is not this class's.
  static std::unique_ptr<CTabsView> CreateObject(const char* className);

  const zelba::hostmodel::ModelClass& RuntimeClass() const override { return kClass; }

  // Runs the sheet on m_pSetup. Returns 1 when it was closed with OK and the
  // record now holds the pages' state (only the record's named fields
  // changed), 0 otherwise (the record untouched; also without a record).
  int RunSheet();

  BA_SETUP* m_pSetup = nullptr;
};
