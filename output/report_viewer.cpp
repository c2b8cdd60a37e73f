// The report dialog is laid out in dialog units, as its template gives it:
// a horizontal unit is a quarter of the dialog font's average character
// width, a vertical unit an eighth of its height. The template's positions
// become margins, spacings and stretch factors of box layouts, so that the
// dialog keeps its proportions with a larger font or when resized.
#include "output/report_viewer.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFontMetrics>
#include <QPainter>
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

// The template: dialog 514 x 266; tree at 7,7 134 x 231; pane at 145,7
// 363 x 231; buttons 50 x 14 at y 242, x 7, 62 and 458.
constexpr int kMarginLeft = 7, kMarginTop = 7;
constexpr int kMarginRight = 514 - (145 + 363);    // 6
constexpr int kMarginBottom = 266 - (242 + 14);    // 10
constexpr int kPaneGap = 145 - (7 + 134);          // 4
constexpr int kButtonRowGap = 242 - (7 + 231);     // 4
constexpr int kButtonGap = 62 - (7 + 50);          // 5
constexpr int kTreeWidth = 134, kPaneWidth = 363;  // stretch factors
constexpr int kButtonWidth = 50, kButtonHeight = 14;
constexpr int kDialogWidth = 514, kDialogHeight = 266;
constexpr int kSmallestPane = 40;  // the panes never shrink below this

QPushButton* addButton(QWidget* parent, const char* id, const QString& text,
                       const DialogUnits& units) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(id));
  button->setMinimumSize(units.x(kButtonWidth), units.y(kButtonHeight));
  button->setAutoDefault(false);
  return button;
}

// ---- the images ----

void drawMeter(QPainter& p) {
  // A gauge on a stand: the point where the volumes are measured.
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawEllipse(2, 0, 10, 10);
  p.setPen(QColor(255, 0, 0));
  p.drawLine(7, 5, 10, 2);
  p.setPen(Qt::black);
  p.drawPoint(7, 5);
  p.fillRect(6, 11, 3, 2, QColor(0, 0, 128));
}

void drawDerrick(QPainter& p) {
  // A derrick over the well head.
  p.setPen(QColor(128, 0, 0));
  p.drawLine(3, 12, 7, 0);
  p.drawLine(11, 12, 7, 0);
  p.drawLine(5, 6, 9, 6);
  p.drawLine(4, 9, 10, 9);
  p.drawLine(5, 6, 10, 9);
  p.fillRect(1, 12, 13, 1, QColor(0, 128, 0));
}

// Images the viewer does not use: simple distinct marks in the sixteen
// colours, so that the strip is complete.
void drawMark(QPainter& p, int index) {
  static const QColor colours[] = {QColor(0, 0, 128),     QColor(0, 128, 0),   QColor(0, 128, 128),
                                   QColor(128, 0, 0),     QColor(128, 0, 128), QColor(128, 128, 0),
                                   QColor(128, 128, 128), QColor(0, 0, 255),   QColor(0, 255, 0),
                                   QColor(0, 255, 255),   QColor(255, 0, 0),   QColor(255, 255, 0)};
  const QColor& colour = colours[static_cast<size_t>(index) % (sizeof colours / sizeof colours[0])];
  p.setPen(Qt::black);
  p.setBrush(colour);
  if (index % 2 == 0) {
    p.drawRect(3, 2, 9, 8);
  } else {
    p.drawEllipse(3, 2, 9, 9);
  }
}

}  // namespace

ReportImageList::ReportImageList()
    : strip_(kImageWidth * kImageCount, kImageHeight, QImage::Format_RGB32) {
  strip_.fill(kTransparent);
  QPainter painter(&strip_);
  for (int i = 0; i < kImageCount; ++i) {
    painter.save();
    painter.translate(i * kImageWidth, 0);
    painter.setClipRect(0, 0, kImageWidth, kImageHeight);
    if (i == kPomImage) {
      drawMeter(painter);
    } else if (i == kWellImage) {
      drawDerrick(painter);
    } else {
      drawMark(painter, i);
    }
    painter.restore();
  }
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
  setWindowTitle(QStringLiteral("ZEL BA Report"));
  const DialogUnits units(font());

  tree_ = new CTreeCtrlEx(this);
  tree_->setObjectName(QStringLiteral("1015"));
  pane_ = new CZELRichEditCtrl(this);
  pane_->setObjectName(QStringLiteral("1041"));
  for (QWidget* panel : {static_cast<QWidget*>(tree_), static_cast<QWidget*>(pane_)}) {
    panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    panel->setMinimumSize(units.x(kSmallestPane), units.y(kSmallestPane));
  }
  QPushButton* print = addButton(this, "3", QStringLiteral("&Print"), units);
  QPushButton* printAll = addButton(this, "4", QStringLiteral("Print &All"), units);
  QPushButton* close = addButton(this, "2", QStringLiteral("Close"), units);
  print->setDefault(true);

  auto* panes = new QHBoxLayout;
  panes->setSpacing(units.x(kPaneGap));
  panes->addWidget(tree_, kTreeWidth);
  panes->addWidget(pane_, kPaneWidth);
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(units.x(kButtonGap));
  buttons->addWidget(print);
  buttons->addWidget(printAll);
  buttons->addStretch(1);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(units.x(kMarginLeft), units.y(kMarginTop), units.x(kMarginRight),
                             units.y(kMarginBottom));
  layout->setSpacing(units.y(kButtonRowGap));
  layout->addLayout(panes, 1);
  layout->addLayout(buttons, 0);
  // A large font must not push the dialog off its screen: it opens no
  // larger than the screen's free area, and the panes share what is left.
  QSize size(units.x(kDialogWidth), units.y(kDialogHeight));
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
  const int positions = data_.pages.positionCount();
  for (int position = 0; position < positions; ++position) {
    showPage(zelba::viewerPageAt(data_, report_, position));
    pane_->OnCommand(CZELRichEditCtrl::kPrintCommand);
  }
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
