#include "setup/setup_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "host/host_data.h"
#include "output/module_resources.h"

namespace {

std::function<void(const QString&, const QString&)>& messageHandler() {
  static std::function<void(const QString&, const QString&)> handler;
  return handler;
}

QWidget* makeControl(const zelba::FormControl& c, QWidget* parent) {
  if (c.kind == QLatin1String("label")) return new QLabel(c.text, parent);
  if (c.kind == QLatin1String("list") || c.kind == QLatin1String("combo")) {
    auto* box = new QComboBox(parent);
    box->setEditable(c.kind == QLatin1String("combo"));
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(24);
    return box;
  }
  if (c.kind == QLatin1String("edit")) return new QLineEdit(c.text, parent);
  if (c.kind == QLatin1String("check")) return new QCheckBox(c.text, parent);
  if (c.kind == QLatin1String("radio")) return new QRadioButton(c.text, parent);
  if (c.kind == QLatin1String("button")) {
    auto* button = new QPushButton(c.text, parent);
    button->setAutoDefault(false);
    return button;
  }
  if (c.kind == QLatin1String("group")) return new QGroupBox(c.text, parent);
  return nullptr;
}

}  // namespace

FormControls buildForm(QWidget* page, const zelba::DialogForm& form) {
  FormControls byId;
  auto* outer = new QVBoxLayout(page);
  auto* pageGrid = new QGridLayout;
  outer->addLayout(pageGrid);
  outer->addStretch(1);
  std::map<QString, QGridLayout*> groups;
  std::vector<std::pair<QLabel*, int>> buddies;
  int order = 0;
  for (const zelba::FormControl& c : form.controls) {
    QGridLayout* grid = pageGrid;
    QWidget* parent = page;
    if (!c.group.isEmpty()) {
      auto found = groups.find(c.group);
      if (found == groups.end()) continue;  // a control of a group the form lacks
      grid = found->second;
      parent = grid->parentWidget();
    }
    QWidget* widget = makeControl(c, parent);
    if (widget == nullptr) continue;
    widget->setObjectName(c.id >= 0 ? QString::number(c.id)
                                    : QStringLiteral("static%1").arg(order));
    ++order;
    grid->addWidget(widget, c.row, c.column, 1, c.columnSpan);
    // Shown with the page, also when the page is on screen already.
    widget->setVisible(!c.hidden);
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
      groups[c.name] = new QGridLayout(group);
    }
    if (auto* label = qobject_cast<QLabel*>(widget); label && c.buddy >= 0) {
      buddies.emplace_back(label, c.buddy);
    }
    if (c.id >= 0) byId[c.id] = widget;
  }
  for (const auto& [label, buddy] : buddies) {
    auto found = byId.find(buddy);
    if (found != byId.end()) label->setBuddy(found->second);
  }
  // The column of the boxes takes what width there is.
  pageGrid->setColumnStretch(1, 1);
  for (const auto& [name, grid] : groups) grid->setColumnStretch(1, 1);
  return byId;
}

void MessageBoxSeam::show(QWidget* parent, const QString& text, const QString& caption, Icon icon) {
  if (messageHandler()) {
    messageHandler()(caption, text);
    return;
  }
  QMessageBox box(icon == Icon::Information ? QMessageBox::Information : QMessageBox::Warning,
                  caption, text, QMessageBox::Ok, parent);
  box.exec();
}

void MessageBoxSeam::setHandler(std::function<void(const QString&, const QString&)> handler) {
  messageHandler() = std::move(handler);
}

QString notANumberMessage() {
  return QStringLiteral("Please enter a number.");
}

QString outOfRangeMessage(double low, double high) {
  return QStringLiteral("Please enter a number between %1 and %2.")
      .arg(QString::number(low, 'g', 6), QString::number(high, 'g', 6));
}

CSetupPage::CSetupPage(int templateId, QWidget* parent) : QWidget(parent), templateId_(templateId) {
  zelba::registerModuleResources();
  caption_ = zelba::dialogForm(templateId).caption;
  setObjectName(QString::number(templateId));
}

void CSetupPage::createWindow() {
  if (hasWindow_) return;
  controls_ = buildForm(this, zelba::dialogForm(templateId_));
  hasWindow_ = true;
  OnInitDialog();
  DoDataExchange(false);
}

void CSetupPage::destroyWindow() {
  if (!hasWindow_) return;
  OnDestroy();
}

QWidget* CSetupPage::control(int id) const {
  auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

void CSetupPage::exchangeCheck(int id, int& member, bool save) {
  auto* box = controlAs<QCheckBox>(id);
  if (box == nullptr) return;
  if (save) {
    member = box->isChecked() ? 1 : 0;
  } else {
    box->setChecked(member != 0);
  }
}

CVariablePage::CVariablePage(int templateId, int* slotTable, int slotCount,
                             std::vector<VariableBox> boxes, int clearFirst, int clearLast,
                             QWidget* parent)
    : CSetupPage(templateId, parent),
      slots_(slotTable),
      slotCount_(slotCount),
      boxes_(std::move(boxes)),
      clearFirst_(clearFirst),
      clearLast_(clearLast) {}

int CVariablePage::slot(int index) const {
  return index >= 0 && index < slotCount_ ? slots_[index] : -1;
}

QComboBox* CVariablePage::box(int slot) const {
  for (const VariableBox& b : boxes_) {
    if (b.slot == slot) return controlAs<QComboBox>(b.id);
  }
  return nullptr;
}

void CVariablePage::OnInitDialog() {
  // The empty entry, then the host's variables in sorted order: entry k is
  // the variable at position k - 1.
  const int count = NoSortZelVars();
  QStringList entries{QString()};
  for (int position = 0; position < count; ++position) {
    entries << QString::fromUtf8(SortZelVariableName(position));
  }
  for (const VariableBox& b : boxes_) {
    QComboBox* combo = controlAs<QComboBox>(b.id);
    if (combo == nullptr) continue;
    combo->blockSignals(true);
    combo->addItems(entries);
    const int chosen = slot(b.slot);
    combo->setCurrentIndex(chosen < combo->count() ? chosen : -1);
    combo->blockSignals(false);
    const int index = b.slot;
    connect(combo, &QComboBox::currentIndexChanged, this,
            [this, index](int selected) { OnSelChange(index, selected); });
  }
  if (auto* clear = controlAs<QPushButton>(kClearAllId)) {
    connect(clear, &QPushButton::clicked, this, &CVariablePage::OnClearAll);
  }
}

void CVariablePage::OnSelChange(int slot, int index) {
  if (slot >= 0 && slot < slotCount_) slots_[slot] = index;
}

void CVariablePage::OnClearAll() {
  for (int i = clearFirst_; i <= clearLast_ && i < slotCount_; ++i) {
    if (i >= 0) slots_[i] = -1;
  }
  for (const VariableBox& b : boxes_) {
    if (QComboBox* combo = controlAs<QComboBox>(b.id)) {
      combo->blockSignals(true);
      combo->setCurrentIndex(-1);
      combo->blockSignals(false);
    }
  }
}
