// The Control page of the setup sheet: the run's dates, daily or monthly
// allocation, the outputs and their paths, writeback and theoretical
// volumes, and the report headers. The date lists offer every day from the
// first to the last date on which the host has data of the measurement
// variables chosen on the Measurements page; the paths come from the
// host's file choosers.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "setup/setup_page.h"
#include "setup/setup_record.h"

class CPomTab;

namespace zelba {

// The variable list the date lists are found for: "DATE", then "," and the
// name of each measurement variable chosen on the Measurements page, in the
// order Oil, Gas, Water, Gas Inj, Water Inj, Steam Inj (the empty entry and
// Stock add nothing): "DATE,MEASURED.OIL,MEASURED.STEAM_INJ".
std::string dateVariableList(const std::array<int, 12>& measureVars);

// The days from the first to the last date on which the host has a value
// of a variable of `list`, as "yyyymmdd" texts in ascending order. False
// when the first date is not after 19000101 (no data): there are none.
bool runDates(const std::string& list, std::vector<std::string>& dates);

}  // namespace zelba

// Control (template 20107, page 4).
class ZELBA_SETUP_EXPORT_CLASS CBaCtrl : public CSetupPage {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 20107;
  static constexpr int kStartDateBox = 1019, kEndDateBox = 1023, kUpdateDate = 1072;
  static constexpr int kDaily = 1026, kMonthly = 1027;
  static constexpr int kLoadFileCheck = 1025, kLoadFileLabel = 1031;
  static constexpr int kReportCheck = 1024, kHtmlCheck = 1045, kReportLabel = 1032;
  static constexpr int kInputFileCheck = 1005, kInputFileLabel = 1033;
  static constexpr int kWritebackCheck = 1034, kTheoreticalsCheck = 1035;
  static constexpr int kHeaderEdits[3] = {1020, 1021, 1022};

  explicit CBaCtrl(zelba::BaCtrlMembers& members, QWidget* parent = nullptr);

  // The sheet's Measurements page, whose slots the date lists follow.
  void setMeasurementsPage(const CPomTab* page) { measurements_ = page; }

  // "Update Date": both boxes emptied (lists and texts) and filled anew
  // from the Measurements page's current choices; with no data the old
  // lists and texts stay.
  void OnUpdateDate();
  // The clicks on the three file boxes: a ticked box asks the host for its
  // path (a cancelled report chooser unticks its box and hides "HTML"), an
  // unticked one empties its path.
  void OnInputFile();
  void OnLoadFile();
  void OnReportFile();

  // A header longer than 79 characters, a date longer than 11 or a path
  // longer than 127 (in bytes, as the record keeps them) is refused with a
  // message naming it; the page stays.
  bool DoDataExchange(bool save) override;
  const zelba::BaCtrlMembers& members() const { return m_; }

 protected:
  void OnInitDialog() override;
  // The date texts are taken from their boxes when the window goes.
  void OnDestroy() override;

 private:
  // Fills both date boxes with the run's days; false, and nothing changed,
  // when there are none. `empty` empties the boxes first.
  bool fillDateLists(bool empty);
  void showPath(int labelId, const std::string& path);

  zelba::BaCtrlMembers& m_;
  const CPomTab* measurements_ = nullptr;
};
