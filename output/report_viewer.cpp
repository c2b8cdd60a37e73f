// The report dialog is laid out in dialog units, as its template gives it:
// a horizontal unit is a quarter of the dialog font's average character
// width, a vertical unit an eighth of its height. The template's positions
// become margins, spacings and stretch factors of box layouts, so that the
// dialog keeps its proportions with a larger font or when resized.
#include "output/report_viewer.h"

#include "output/module_resources.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFontMetrics>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <string>

namespace {

const QColor kTransparent(255, 0, 255);

// Dialog units of the dialog's font, in pixels.
struct DialogUnits {
  double baseX = 1;  // average character width
  double baseY = 1;  // character height

  explicit DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX = std::max(1.0, alphabet / 52.0);
    baseY = std::max(1, metrics.height());
  }
  int x(int units) const { return qRound(units * baseX / 4.0); }
  int y(int units) const { return qRound(units * baseY / 8.0); }
};

// The ids of the template's controls.
constexpr int kTreeId = 1015, kPaneId = 1041, kPrintId = 3, kPrintAllId = 4, kCloseId = 2;
constexpr int kSmallestPane = 40;  // the panes never shrink below this, in dialog units
constexpr int kBitmapId = 132;     // the strip of the tree's images

// The rectangle of control `id` of the form; empty when the form lacks it.
QRect controlRect(const zelba::DialogForm& form, int id) {
  const zelba::FormControl* control = form.control(id);
  return control ? control->rect : QRect();
}

QString controlText(const zelba::DialogForm& form, int id) {
  const zelba::FormControl* control = form.control(id);
  return control ? control->text : QString();
}

QPushButton* addButton(QWidget* parent, const zelba::DialogForm& form, int id,
                       const DialogUnits& units) {
  auto* button = new QPushButton(controlText(form, id), parent);
  button->setObjectName(QString::number(id));
  const QRect rect = controlRect(form, id);
  button->setMinimumSize(units.x(rect.width()), units.y(rect.height()));
  button->setAutoDefault(false);
  if (const zelba::FormControl* control = form.control(id)) button->setDefault(control->isDefault);
  return button;
}

}  // namespace

ReportImageList::ReportImageList() {
  zelba::registerModuleResources();
  const QImage bitmap = zelba::moduleBitmap(kBitmapId);
  strip_ = bitmap.isNull() ? QImage(kImageWidth * kImageCount, kImageHeight, QImage::Format_RGB32)
                           : bitmap.convertToFormat(QImage::Format_RGB32);
  if (bitmap.isNull()) strip_.fill(kTransparent);
}

QImage ReportImageList::image(int index) const {
  if (index < 0 || index >= kImageCount) return QImage();
  QImage one = strip_.copy(index * kImageWidth, 0, kImageWidth, kImageHeight)
                   .convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < one.height(); ++y) {
    for (int x = 0; x < one.width(); ++x) {
      if (one.pixelColor(x, y) == kTransparent) one.setPixelColor(x, y, Qt::transparent);
    }
  }
  return one;
}

QIcon ReportImageList::icon(int index) const {
  const QImage one = image(index);
  return one.isNull() ? QIcon() : QIcon(QPixmap::fromImage(one));
}

CTreeCtrlEx::CTreeCtrlEx(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(true);  // buttons and lines at the root
  setSelectionMode(QAbstractItemView::SingleSelection);
  setIconSize(QSize(ReportImageList::kImageWidth, ReportImageList::kImageHeight));
}

void CTreeCtrlEx::setImageList(const ReportImageList* images) {
  images_ = images;
}

QTreeWidgetItem* CTreeCtrlEx::insertItem(const QString& text, int image, QTreeWidgetItem* parent) {
  auto* item = new QTreeWidgetItem(QStringList{text});
  item->setData(0, kImageRole, image);
  if (images_ != nullptr) item->setIcon(0, images_->icon(image));
  if (parent != nullptr) {
    parent->addChild(item);
  } else {
    addTopLevelItem(item);
  }
  return item;
}

int CTreeCtrlEx::itemImage(const QTreeWidgetItem* item) {
  if (item == nullptr) return -1;
  bool ok = false;
  const int image = item->data(0, kImageRole).toInt(&ok);
  return ok ? image : -1;
}

CZELBAReportDlg::CZELBAReportDlg(const zelba::ReportViewData& data, QWidget* parent)
    : QDialog(parent), data_(data), report_(data.reportPath, std::ios::binary) {
  setObjectName(QString::number(kTemplateId));
  zelba::registerModuleResources();
  const zelba::DialogForm form = zelba::dialogForm(kTemplateId);
  setWindowTitle(form.caption);
  const DialogUnits units(font());

  tree_ = new CTreeCtrlEx(this);
  tree_->setObjectName(QString::number(kTreeId));
  pane_ = new CZELRichEditCtrl(this);
  pane_->setObjectName(QString::number(kPaneId));
  for (QWidget* panel : {static_cast<QWidget*>(tree_), static_cast<QWidget*>(pane_)}) {
    panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    panel->setMinimumSize(units.x(kSmallestPane), units.y(kSmallestPane));
  }
  QPushButton* print = addButton(this, form, kPrintId, units);
  QPushButton* printAll = addButton(this, form, kPrintAllId, units);
  QPushButton* close = addButton(this, form, kCloseId, units);

  // The template's positions as margins, gaps and the panes' shares.
  const QRect tree = controlRect(form, kTreeId), pane = controlRect(form, kPaneId);
  const QRect first = controlRect(form, kPrintId), second = controlRect(form, kPrintAllId);
  const auto gap = [](int from, int to) { return std::max(0, to - from); };
  auto* panes = new QHBoxLayout;
  panes->setSpacing(units.x(gap(tree.x() + tree.width(), pane.x())));
  panes->addWidget(tree_, std::max(1, tree.width()));
  panes->addWidget(pane_, std::max(1, pane.width()));
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(units.x(gap(first.x() + first.width(), second.x())));
  buttons->addWidget(print);
  buttons->addWidget(printAll);
  buttons->addStretch(1);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(units.x(tree.x()), units.y(tree.y()),
                             units.x(gap(pane.x() + pane.width(), form.size.width())),
                             units.y(gap(first.y() + first.height(), form.size.height())));
  layout->setSpacing(units.y(gap(tree.y() + tree.height(), first.y())));
  layout->addLayout(panes, 1);
  layout->addLayout(buttons, 0);
  // A large font must not push the dialog off its screen: it opens no
  // larger than the screen's free area, and the panes share what is left.
  QSize size(units.x(form.size.width()), units.y(form.size.height()));
  if (const QScreen* shown = screen()) size = size.boundedTo(shown->availableGeometry().size());
  resize(size);

  connect(tree_, &QTreeWidget::itemSelectionChanged, this, &CZELBAReportDlg::OnSelChangedTree);
  connect(print, &QPushButton::clicked, this, &CZELBAReportDlg::OnPrint);
  connect(printAll, &QPushButton::clicked, this, &CZELBAReportDlg::OnPrintAll);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  OnInitDialog();
}

CZELBAReportDlg::~CZELBAReportDlg() = default;

void CZELBAReportDlg::OnInitDialog() {
  tree_->setImageList(&imageList_);
  for (const zelba::ReportViewPom& pom : data_.poms) {
    QTreeWidgetItem* item =
        tree_->insertItem(QString::fromStdString(pom.name), ReportImageList::kPomImage);
    for (const std::string& member : pom.members) {
      tree_->insertItem(QString::fromStdString(member), ReportImageList::kWellImage, item);
    }
    item->setExpanded(true);
  }
  tree_->setCurrentItem(nullptr);
  tree_->clearSelection();

  // The pane selects by character when a selection is dragged over words:
  // there is no automatic word selection to switch off.
  pane_->Init();
  pane_->GetDefaultFont(charFormat_);
  pane_->setFont(charFormat_.font());
  pane_->document()->setDefaultFont(charFormat_.font());
  pane_->setCurrentCharFormat(charFormat_);
}

void CZELBAReportDlg::showPage(const std::string& page) {
  pane_->setPlainText(QString::fromStdString(page));
}

void CZELBAReportDlg::OnSelChangedTree() {
  const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
  const std::string name =
      selected.isEmpty() ? std::string() : selected.front()->text(0).toStdString();
  showPage(name.empty() ? std::string() : zelba::viewerPageNamed(data_, report_, name));
}

void CZELBAReportDlg::OnPrint() {
  pane_->OnCommand(CZELRichEditCtrl::kPrintCommand);
}

void CZELBAReportDlg::OnPrintAll() {
  // One print job for all pages: the printer is asked for once, not once a
  // page; a cancelled print dialog prints nothing and leaves the pane as it
  // was.
  if (!CZELRichEditCtrl::beginPrintJob(this)) return;
  const int positions = data_.pages.positionCount();
  for (int position = 0; position < positions; ++position) {
    showPage(zelba::viewerPageAt(data_, report_, position));
    pane_->OnCommand(CZELRichEditCtrl::kPrintCommand);
  }
  CZELRichEditCtrl::endPrintJob();
}

extern "C" int ZelBaShowReport(const zelba::ReportViewData* data) {
  if (data == nullptr) return 0;
  try {
    static int argc = 1;
    static char name[] = "ZelBA";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
      new QApplication(argc, argv);  // kept for the life of the process
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
      return 0;
    }
    CZELBAReportDlg dialog(*data);
    dialog.exec();
    return 1;
  } catch (...) {
    return 0;
  }
}
