// The Control page of the setup sheet: the run's dates, daily or monthly
// allocation, the outputs and their paths, writeback and theoretical
// volumes, and the report headers.
#pragma once

#include "setup/setup_page.h"
#include "setup/setup_record.h"

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
  zelba::BaCtrlMembers& m_;
};
