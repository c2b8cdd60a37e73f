#include "setup/variable_pages.h"

#include <QLineEdit>

#include "host/host_data.h"
#include "output/module_resources.h"

namespace {

QString sheetCaption() {
  return zelba::moduleString(QStringLiteral("sheetTitle"));
}

// Reads a real number from edit field `edit`; refuses (message, focus on
// the field) a text that is not one or lies outside low..high when
// `ranged`.
bool readReal(QLineEdit* edit, float& member, bool ranged, double low, double high) {
  if (edit == nullptr) return true;
  double value = 0;
  if (!zelba::parseReal(edit->text().toStdString(), value)) {
    MessageBoxSeam::show(edit, notANumberMessage(), sheetCaption(),
                         MessageBoxSeam::Icon::Exclamation);
    edit->setFocus();
    return false;
  }
  // The range holds for the value as it is kept, a single-precision float.
  const float kept = static_cast<float>(value);
  if (ranged && (kept < low || kept > high)) {
    MessageBoxSeam::show(edit, outOfRangeMessage(low, high), sheetCaption(),
                         MessageBoxSeam::Icon::Exclamation);
    edit->setFocus();
    return false;
  }
  member = kept;
  return true;
}

void showReal(QLineEdit* edit, float member) {
  if (edit != nullptr) edit->setText(QString::fromStdString(zelba::realText(member)));
}

// A check box whose click inverts `member` at once.
void flipOnClick(CSetupPage* page, int id, int& member) {
  if (auto* box = page->controlAs<QCheckBox>(id)) {
    QObject::connect(box, &QCheckBox::clicked, page, [&member] { member = member == 0 ? 1 : 0; });
  }
}

}  // namespace

CPomTab::CPomTab(zelba::PomTabMembers& members, QWidget* parent)
    : CVariablePage(kTemplateId, members.measureVars.data(),
                    static_cast<int>(members.measureVars.size()),
                    {{1008, 1}, {1009, 2}, {1010, 3}, {1004, 5}, {1007, 6}, {1005, 4}, {1011, 9}},
                    1, 11, parent),
      m_(members) {}

void CPomTab::OnInitDialog() {
  // The category box first: the host's categories in their sorted order,
  // no empty entry; a saved index outside the list selects nothing.
  if (auto* categories = controlAs<QComboBox>(kCategoryBox)) {
    CSortedCategoryArray list;
    Entities()->GetCatgoryList(list);
    for (int i = 0; i < list.GetSize(); ++i) {
      categories->addItem(QString::fromUtf8(std::string(list[i]).c_str()));
    }
    const int index = m_.pomCategoryIndex;
    categories->setCurrentIndex(index >= 0 && index < categories->count() ? index : -1);
    connect(categories, &QComboBox::currentIndexChanged, this,
            [this](int selected) { m_.pomCategoryIndex = selected; });
  }
  CVariablePage::OnInitDialog();
}

bool CPomTab::DoDataExchange(bool save) {
  auto* shrinkage = controlAs<QLineEdit>(kShrinkageEdit);
  if (!save) {
    showReal(shrinkage, m_.pomShrinkage);
    return true;
  }
  if (!readReal(shrinkage, m_.pomShrinkage, true, 0.0, 2.0)) return false;
  auto* categories = controlAs<QComboBox>(kCategoryBox);
  if (categories != nullptr && categories->currentIndex() < 0) {
    MessageBoxSeam::show(this, zelba::moduleString(QStringLiteral("pomErrorText")),
                         zelba::moduleString(QStringLiteral("pomErrorCaption")),
                         MessageBoxSeam::Icon::Exclamation);
    categories->setFocus();
    return false;
  }
  return true;
}

CPtTab::CPtTab(zelba::PtTabMembers& members, QWidget* parent)
    : CVariablePage(kTemplateId, members.timeVars.data(), static_cast<int>(members.timeVars.size()),
                    {{1018, 1}, {1019, 2}, {1020, 3}}, 1, 3, parent),
      m_(members) {}

void CPtTab::OnInitDialog() {
  CVariablePage::OnInitDialog();
  flipOnClick(this, kDownTimeCheck, m_.downTimeFlag);
}

bool CPtTab::DoDataExchange(bool save) {
  exchangeCheck(kDownTimeCheck, m_.downTimeFlag, save);
  auto* hours = controlAs<QLineEdit>(kDefaultHoursEdit);
  if (!save) {
    showReal(hours, m_.defaultHours);
    return true;
  }
  return readReal(hours, m_.defaultHours, false, 0, 0);
}

CWTVars::CWTVars(zelba::WtVarsMembers& members, QWidget* parent)
    : CVariablePage(kTemplateId, members.welltestVars.data(),
                    static_cast<int>(members.welltestVars.size()),
                    {{1011, 0},
                     {1001, 1},
                     {1012, 2},
                     {1013, 3},
                     {1014, 5},
                     {1016, 6},
                     {1015, 4},
                     {1017, 7},
                     {1018, 8}},
                    0, 9, parent),
      m_(members) {}

void CWTVars::OnInitDialog() {
  CVariablePage::OnInitDialog();
  flipOnClick(this, kGorCheck, m_.gorFlag);
  flipOnClick(this, kBswCheck, m_.bswFlag);
}

bool CWTVars::DoDataExchange(bool save) {
  exchangeCheck(kGorCheck, m_.gorFlag, save);
  exchangeCheck(kBswCheck, m_.bswFlag, save);
  exchangeCheck(kBhpCheck, m_.bhpFlag, save);
  exchangeCheck(kFractionCheck, m_.fractionFlag, save);
  return true;
}

CEqTab::CEqTab(zelba::EqTabMembers& members, QWidget* parent)
    : CVariablePage(
          kTemplateId, members.equationVars.data(), static_cast<int>(members.equationVars.size()),
          {{1044, 0}, {1036, 1}, {1037, 2}, {1038, 3}, {1039, 4}, {1040, 5}, {1041, 6}, {1042, 7}},
          0, 9, parent),
      m_(members) {}

bool CEqTab::DoDataExchange(bool save) {
  exchangeCheck(kInterpolateCheck, m_.interpolateFlag, save);
  exchangeCheck(kNominalCheck, m_.nominalFlag, save);
  return true;
}

TabRes::TabRes(zelba::TabResMembers& members, QWidget* parent)
    : CVariablePage(kTemplateId, members.writebackVars.data(),
                    static_cast<int>(members.writebackVars.size()),
                    {{1008, 1}, {1009, 2}, {1010, 3}, {1004, 5}, {1007, 6}, {1005, 4}, {1011, 0}},
                    0, 11, parent),
      m_(members) {}
