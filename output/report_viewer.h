// The report viewer: a modal dialog with the tree of a finished text
// report's sections (points of measurement and, in daily mode, their wells)
// and a pane that shows the page of the selected one. The pages are read out
// of the report file through its page index; the page can be printed, or
// every page one after the other.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QImage>
#include <QTextCharFormat>
#include <QTreeWidget>
#include <fstream>

#include "host/host_ui.h"
#include "output/report_view_data.h"

class QPushButton;

#define ZELBA_VIEWER_EXPORT __attribute__((visibility("default")))

// The tree's images: the module's bitmap 132, a strip of fourteen 16 x 13
// images in sixteen colours, magenta (255, 0, 255) where they are
// transparent. Without the bitmap every image is transparent.
class ZELBA_VIEWER_EXPORT ReportImageList {
 public:
  static constexpr int kImageWidth = 16;
  static constexpr int kImageHeight = 13;
  static constexpr int kImageCount = 14;
  static constexpr int kPomImage = 1;   // a point of measurement
  static constexpr int kWellImage = 2;  // a well

  ReportImageList();

  // The strip, 224 x 13, magenta where transparent.
  const QImage& strip() const { return strip_; }
  // Image `index` with its magenta made transparent; a null image for an
  // index outside 0 to kImageCount - 1.
  QImage image(int index) const;
  QIcon icon(int index) const;

 private:
  QImage strip_;
};

// The viewer's tree control: items are appended, each with its image.
class ZELBA_VIEWER_EXPORT CTreeCtrlEx : public QTreeWidget {
  Q_OBJECT

 public:
  // Where an item keeps the index of its image.
  static constexpr int kImageRole = Qt::UserRole + 1;

  explicit CTreeCtrlEx(QWidget* parent = nullptr);

  // The images items refer to; not owned, it must outlive the tree.
  void setImageList(const ReportImageList* images);

  // Appends an item with `text` and image `image` (as image and selected
  // image) at the end of `parent`'s children, of the top level when
  // `parent` is null. Returns the item, owned by the tree.
  QTreeWidgetItem* insertItem(const QString& text, int image, QTreeWidgetItem* parent = nullptr);

  // The image index of `item`, -1 for none.
  static int itemImage(const QTreeWidgetItem* item);

 private:
  const ReportImageList* images_ = nullptr;
};

// The report dialog (template 20110, "ZEL BA Report"). Its controls carry
// their ids as object names: the tree "1015", the pane "1041", the buttons
// "3" (Print, the default button), "4" (Print All) and "2" (Close).
class ZELBA_VIEWER_EXPORT CZELBAReportDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 20110;

  // Opens the report file of `data` (kept open while the dialog is there)
  // and fills the tree; no item is selected and the pane is empty. A report
  // that cannot be opened shows and prints empty pages.
  explicit CZELBAReportDlg(const zelba::ReportViewData& data, QWidget* parent = nullptr);
  ~CZELBAReportDlg() override;

  CTreeCtrlEx* tree() const { return tree_; }
  CZELRichEditCtrl* pane() const { return pane_; }
  const ReportImageList& imageList() const { return imageList_; }

  // The tree's selection changed: the pane shows the page named by the
  // selected item's text, empty when there is none or no item is selected.
  void OnSelChangedTree();
  // Prints the page shown.
  void OnPrint();
  // Shows and prints every page of the Print All positions in turn, empty
  // ones too, as one print job; the pane is left on the last one.
  void OnPrintAll();

 private:
  void OnInitDialog();
  void showPage(const std::string& page);

  ReportImageList imageList_;
  CZELRichEditCtrl* pane_ = nullptr;
  CTreeCtrlEx* tree_ = nullptr;
  QTextCharFormat charFormat_;
  zelba::ReportViewData data_;
  std::ifstream report_;
};

// Shows the report of `data` in the modal report dialog and returns 1 when
// it is closed; 0 for null data or when no widget application can be had
// (a non-widget application already runs). Creates the application when
// the process has none.
extern "C" ZELBA_VIEWER_EXPORT int ZelBaShowReport(const zelba::ReportViewData* data);
