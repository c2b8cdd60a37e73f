#include "setup/control_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>

#include "engine/dates.h"
#include "host/host_data.h"
#include "host/host_ui.h"
#include "output/module_resources.h"
#include "setup/variable_pages.h"

namespace {

// The bytes a control's text stands for: the member's own bytes while the
// text is still what they showed (a record's text that is not UTF-8 comes
// back as it was), else the text in UTF-8.
std::string bytesOf(const QString& text, const std::string& shown) {
  if (text == QString::fromStdString(shown)) return shown;
  return text.toUtf8().toStdString();
}

// Refuses `text` when it does not fit a record field of `width` bytes.
bool fits(QWidget* page, QWidget* control, const std::string& text, int width,
          const QString& what) {
  if (zelba::fitsField(text, width)) return true;
  MessageBoxSeam::show(page,
                       QStringLiteral("The %1 can be at most %2 characters long; it has %3.")
                           .arg(what)
                           .arg(width - 1)
                           .arg(text.size()),
                       zelba::moduleString(QStringLiteral("sheetTitle")),
                       MessageBoxSeam::Icon::Exclamation);
  if (control != nullptr) control->setFocus();
  return false;
}

}  // namespace

namespace zelba {

std::string dateVariableList(const std::array<int, 12>& measureVars) {
  // Oil, Gas, Water, Gas Inj, Water Inj, Steam Inj.
  constexpr int kOrder[] = {1, 2, 3, 5, 4, 6};
  std::string list = "DATE";
  for (int slot : kOrder) {
    const int chosen = measureVars[static_cast<size_t>(slot)];
    if (chosen >= 1) list += std::string(",") + SortZelVariableName(chosen - 1);
  }
  return list;
}

bool runDates(const std::string& list, std::vector<std::string>& dates) {
  double first = 0.0, last = 0.0;
  FindMinMaxDates(list.c_str(), &first, &last);
  if (!(first > 19000101.0)) return false;
  SetReferenceDate(first);
  double elapsed = 0.0;
  ElapsedDaysFromReferenceDate(last, &elapsed);
  // A host that answers with nonsense gives no more days than a run can
  // hold in its lists, and never a negative count.
  const double count = std::floor(elapsed + 1.0);
  const int days = count >= 1.0 && count <= 100000.0 ? static_cast<int>(count) : 0;
  dates.clear();
  double date = first;
  for (int i = 0; i < days; ++i) {
    dates.emplace_back(FmtDate(date, "yyyymmdd"));
    date = addDays(date, 1);
  }
  return true;
}

}  // namespace zelba

CBaCtrl::CBaCtrl(zelba::BaCtrlMembers& members, QWidget* parent)
    : CSetupPage(kTemplateId, parent), m_(members) {}

bool CBaCtrl::fillDateLists(bool empty) {
  if (measurements_ == nullptr) return false;
  std::vector<std::string> dates;
  if (!zelba::runDates(zelba::dateVariableList(measurements_->members().measureVars), dates)) {
    return false;
  }
  QStringList entries;
  for (const std::string& date : dates) entries << QString::fromStdString(date);
  for (int id : {kStartDateBox, kEndDateBox}) {
    auto* box = controlAs<QComboBox>(id);
    if (box == nullptr) continue;
    const QString typed = box->currentText();
    if (empty) box->clear();
    box->addItems(entries);
    // Filling a list does not change the box's text.
    box->setEditText(empty ? QString() : typed);
  }
  return true;
}

void CBaCtrl::OnInitDialog() {
  fillDateLists(false);
  for (int id : {kStartDateBox, kEndDateBox}) {
    if (auto* box = controlAs<QComboBox>(id)) {
      box->setEditText(QString::fromStdString(id == kStartDateBox ? m_.startDate : m_.endDate));
    }
  }
  if (auto* update = controlAs<QPushButton>(kUpdateDate)) {
    connect(update, &QPushButton::clicked, this, &CBaCtrl::OnUpdateDate);
  }
  if (auto* box = controlAs<QCheckBox>(kInputFileCheck)) {
    connect(box, &QCheckBox::clicked, this, &CBaCtrl::OnInputFile);
  }
  if (auto* box = controlAs<QCheckBox>(kLoadFileCheck)) {
    connect(box, &QCheckBox::clicked, this, &CBaCtrl::OnLoadFile);
  }
  if (auto* box = controlAs<QCheckBox>(kReportCheck)) {
    connect(box, &QCheckBox::clicked, this, &CBaCtrl::OnReportFile);
  }
}

void CBaCtrl::OnUpdateDate() {
  fillDateLists(true);
}

void CBaCtrl::showPath(int labelId, const std::string& path) {
  if (auto* label = controlAs<QLabel>(labelId)) label->setText(QString::fromStdString(path));
}

void CBaCtrl::OnInputFile() {
  char path[kPathBuffer] = {};
  auto* box = controlAs<QCheckBox>(kInputFileCheck);
  if (box != nullptr && box->isChecked()) BaInputFile(this, path, 1);
  m_.inputFilePath = path;
  showPath(kInputFileLabel, m_.inputFilePath);
}

void CBaCtrl::OnLoadFile() {
  char path[kPathBuffer] = {};
  auto* box = controlAs<QCheckBox>(kLoadFileCheck);
  if (box != nullptr && box->isChecked()) BaOutputFile(this, path);
  m_.loadFilePath = path;
  showPath(kLoadFileLabel, m_.loadFilePath);
}

void CBaCtrl::OnReportFile() {
  char filter[kFilterBuffer] = "Files (*.prn)|*.prn|";
  FormatFilterString(filter);
  char path[kPathBuffer] = {};
  auto* box = controlAs<QCheckBox>(kReportCheck);
  const bool ticked = box != nullptr && box->isChecked();
  if (ticked) GetFileToWriteOnly(this, GetLoadName(), filter, ".prn", path);
  m_.reportFilePath = path;
  showPath(kReportLabel, m_.reportFilePath);
  if (!ticked) return;
  // A cancelled chooser takes the report back; "HTML" goes with it.
  const bool chosen = !m_.reportFilePath.empty();
  if (!chosen) box->setChecked(false);
  if (auto* html = controlAs<QCheckBox>(kHtmlCheck)) html->setVisible(chosen);
}

void CBaCtrl::OnDestroy() {
  if (auto* box = controlAs<QComboBox>(kStartDateBox)) {
    m_.startDate = bytesOf(box->currentText(), m_.startDate);
  }
  if (auto* box = controlAs<QComboBox>(kEndDateBox)) {
    m_.endDate = bytesOf(box->currentText(), m_.endDate);
  }
}

bool CBaCtrl::DoDataExchange(bool save) {
  const std::pair<int, int*> checks[] = {
      {kLoadFileCheck, &m_.createLoadFile}, {kReportCheck, &m_.createReport},
      {kHtmlCheck, &m_.htmlFlag},           {kInputFileCheck, &m_.createInputFile},
      {kWritebackCheck, &m_.writebackFlag}, {kTheoreticalsCheck, &m_.computeTheoreticals}};
  const std::pair<int, std::string*> paths[] = {{kLoadFileLabel, &m_.loadFilePath},
                                                {kReportLabel, &m_.reportFilePath},
                                                {kInputFileLabel, &m_.inputFilePath}};
  std::string* headers[] = {&m_.header1, &m_.header2, &m_.header3};
  auto* daily = controlAs<QRadioButton>(kDaily);
  auto* monthly = controlAs<QRadioButton>(kMonthly);
  if (!save) {
    for (const auto& [id, member] : checks) exchangeCheck(id, *member, false);
    for (const auto& [id, path] : paths) {
      if (auto* label = controlAs<QLabel>(id)) label->setText(QString::fromStdString(*path));
    }
    for (int i = 0; i < 3; ++i) {
      if (auto* edit = controlAs<QLineEdit>(kHeaderEdits[i])) {
        edit->setText(QString::fromStdString(*headers[i]));
      }
    }
    if (daily != nullptr && monthly != nullptr) {
      // Neither choice can be shown only while the buttons do not exclude
      // each other.
      daily->setAutoExclusive(false);
      monthly->setAutoExclusive(false);
      daily->setChecked(m_.performMode == 0);
      monthly->setChecked(m_.performMode == 1);
      daily->setAutoExclusive(true);
      monthly->setAutoExclusive(true);
    }
    return true;
  }
  // Every text is checked before any member changes.
  std::string typed[3];
  for (int i = 0; i < 3; ++i) {
    auto* edit = controlAs<QLineEdit>(kHeaderEdits[i]);
    if (edit == nullptr) continue;
    typed[i] = bytesOf(edit->text(), *headers[i]);
    if (!fits(this, edit, typed[i], zelba::kHeaderField,
              QStringLiteral("report header %1").arg(i + 1))) {
      return false;
    }
  }
  // The path labels only show the paths the members hold.
  for (const auto& [id, path] : paths) {
    if (!fits(this, nullptr, *path, zelba::kPathField, QStringLiteral("file path"))) return false;
  }
  for (int id : {kStartDateBox, kEndDateBox}) {
    auto* box = controlAs<QComboBox>(id);
    const std::string& kept = id == kStartDateBox ? m_.startDate : m_.endDate;
    if (box &&
        !fits(this, box, bytesOf(box->currentText(), kept), zelba::kDateField,
              id == kStartDateBox ? QStringLiteral("start date") : QStringLiteral("end date"))) {
      return false;
    }
  }
  for (const auto& [id, member] : checks) exchangeCheck(id, *member, true);
  for (int i = 0; i < 3; ++i) {
    if (controlAs<QLineEdit>(kHeaderEdits[i]) != nullptr) *headers[i] = typed[i];
  }
  if (daily != nullptr && monthly != nullptr) {
    m_.performMode = daily->isChecked() ? 0 : monthly->isChecked() ? 1 : -1;
  }
  return true;
}
