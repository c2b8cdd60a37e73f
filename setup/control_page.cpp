#include "setup/control_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "output/module_resources.h"

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

CBaCtrl::CBaCtrl(zelba::BaCtrlMembers& members, QWidget* parent)
    : CSetupPage(kTemplateId, parent), m_(members) {}

void CBaCtrl::OnInitDialog() {
  for (int id : {kStartDateBox, kEndDateBox}) {
    if (auto* box = controlAs<QComboBox>(id)) {
      box->setEditText(QString::fromStdString(id == kStartDateBox ? m_.startDate : m_.endDate));
    }
  }
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
