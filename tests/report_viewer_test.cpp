// The report viewer and the host's user-interface services, on Qt's
// offscreen platform. A small network is run through the engine; what the
// viewer shows is compared with the report file's own text between its form
// feeds, cut out here by hand.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/driver.h"
#include "host/host_ui.h"
#include "output/report_view_data.h"
#include "output/report_viewer.h"

namespace zelba {
namespace {

QApplication& app() {
  static int argc = 1;
  static char name[] = "report_viewer_test";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication application(argc, argv);
  return application;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Node order: W0 (on no point, so it has no page), G1, T1, T2, W1, W2. G1's
// members are T1 and T2, T1's are W1 and W2; T2 has no members.
std::string viewerInput(const std::string& mode, const std::string& report) {
  return "#control\n*period 20050101 20050102\n" + mode + "\n*report " + report +
         "\n#end\n"
         "#network\n*Header \"Viewer Field\"\n*Methods *Welltest\nWell W0\n*GC G1\nTF T1\nTF T2\n"
         "*TF T1\nWell W1\nWell W2\n*TF T2\n#end\n"
         "#volume\n*GC G1\n*date oil\n20050101 300\n20050102 330\n*TF T1\n*date oil\n"
         "20050101 200\n20050102 220\n*TF T2\n*date oil\n20050101 100\n20050102 110\n#end\n"
         "#welltest\n*date oil\n*Well W1\n20041215 60\n*Well W2\n20041215 40\n#end\n";
}

struct ViewerRun {
  ReportViewData data;
  std::string report;  // the report file's text
};

ViewerRun runViewerInput(bool daily) {
  const std::string stem = testing::TempDir() + (daily ? "viewer-daily" : "viewer-monthly");
  const std::string reportPath = stem + ".prn";
  std::ofstream(stem + ".ba") << viewerInput(daily ? "*daily" : "*monthly", reportPath);
  ViewerRun run;
  RunOptions options;
  options.inspect = [&](const RunState& rs) { run.data = reportViewData(rs, reportPath); };
  RunState rs;
  EXPECT_EQ(runEngine(rs, stem + ".ba", nullptr, options), 1);
  run.report = readFile(reportPath);
  return run;
}

// The page of the report whose lines include `line`: the text after its
// form-feed line up to the next form feed.
std::string pageWith(const std::string& report, const std::string& line) {
  const size_t at = report.find("\n" + line + "\n");
  if (at == std::string::npos) return "no such page: " + line;
  const size_t feed = report.rfind('\f', at);
  const size_t start = report.find('\n', feed) + 1;
  const size_t next = report.find('\f', at);
  return report.substr(start, (next == std::string::npos ? report.size() : next) - start);
}

// Pages of a finished PDF file: its page objects, not the page tree.
int pdfPages(const std::string& path) {
  const std::string pdf = readFile(path);
  int pages = 0;
  const std::string key = "/Type /Page";
  for (size_t at = pdf.find(key); at != std::string::npos; at = pdf.find(key, at + 1)) {
    if (at + key.size() < pdf.size() && pdf[at + key.size()] != 's') ++pages;
  }
  return pages;
}

std::vector<std::string> childTexts(const QTreeWidgetItem* item) {
  std::vector<std::string> texts;
  for (int i = 0; i < item->childCount(); ++i)
    texts.push_back(item->child(i)->text(0).toStdString());
  return texts;
}

bool sameImage(const QIcon& icon, const QImage& image) {
  return icon.pixmap(image.size()).toImage().convertToFormat(QImage::Format_ARGB32) ==
         image.convertToFormat(QImage::Format_ARGB32);
}

TEST(ReportViewer, DailyTreeShowsPointsAndMembersWithTheirImages) {
  app();
  const ViewerRun run = runViewerInput(true);
  CZELBAReportDlg dialog(run.data);
  CTreeCtrlEx* tree = dialog.tree();
  ASSERT_EQ(tree->topLevelItemCount(), 3);
  const std::vector<std::tuple<std::string, std::vector<std::string>>> expected = {
      {"G1", {"T1", "T2"}}, {"T1", {"W1", "W2"}}, {"T2", {}}};
  const ReportImageList& images = dialog.imageList();
  for (int p = 0; p < 3; ++p) {
    const QTreeWidgetItem* pom = tree->topLevelItem(p);
    EXPECT_EQ(std::tuple(pom->text(0).toStdString(), childTexts(pom)), expected[p]) << p;
    EXPECT_EQ(CTreeCtrlEx::itemImage(pom), ReportImageList::kPomImage);
    EXPECT_TRUE(sameImage(pom->icon(0), images.image(1)));
    EXPECT_TRUE(pom->isExpanded() || pom->childCount() == 0) << p;
    for (int k = 0; k < pom->childCount(); ++k) {
      EXPECT_EQ(CTreeCtrlEx::itemImage(pom->child(k)), ReportImageList::kWellImage);
      EXPECT_TRUE(sameImage(pom->child(k)->icon(0), images.image(2)));
      EXPECT_EQ(pom->child(k)->childCount(), 0);
    }
  }
  // T2, a point without members, is a leaf (above); nothing is selected and the pane is empty.
  EXPECT_TRUE(tree->selectedItems().isEmpty());
  EXPECT_EQ(tree->currentItem(), nullptr);
  EXPECT_TRUE(dialog.pane()->toPlainText().isEmpty());
  // Print All goes over every node: W0 G1 T1 T2 W1 W2.
  EXPECT_EQ(run.data.pages.positionCount(), 6);
}

TEST(ReportViewer, MonthlyTreeHasOneLevel) {
  app();
  const ViewerRun run = runViewerInput(false);
  CZELBAReportDlg dialog(run.data);
  CTreeCtrlEx* tree = dialog.tree();
  ASSERT_EQ(tree->topLevelItemCount(), 3);
  for (int p = 0; p < 3; ++p) {
    EXPECT_EQ(tree->topLevelItem(p)->text(0).toStdString(), std::string(p == 0   ? "G1"
                                                                        : p == 1 ? "T1"
                                                                                 : "T2"));
    EXPECT_EQ(tree->topLevelItem(p)->childCount(), 0);
  }
  // One position per point of measurement.
  EXPECT_EQ(run.data.pages.positionCount(), 3);
}

TEST(ReportViewer, SelectingAnItemShowsItsPage) {
  app();
  const ViewerRun daily = runViewerInput(true);
  CZELBAReportDlg dialog(daily.data);
  CTreeCtrlEx* tree = dialog.tree();
  const auto shown = [&] { return dialog.pane()->toPlainText().toStdString(); };
  // W1, a well under T1.
  tree->setCurrentItem(tree->topLevelItem(1)->child(0));
  EXPECT_EQ(shown(), pageWith(daily.report, "Well: W1"));
  EXPECT_NE(shown().find("20050101  24.00   Welltest"), std::string::npos);
  // T2, a point without members, shows its facility's page.
  tree->setCurrentItem(tree->topLevelItem(2));
  EXPECT_EQ(shown(), pageWith(daily.report, "TF: T2"));
  // A name without a page, and no selection at all, show an empty pane.
  tree->setCurrentItem(tree->insertItem(QStringLiteral("NO-SUCH-NODE"), 2));
  EXPECT_EQ(shown(), "");
  tree->setCurrentItem(tree->topLevelItem(0));
  EXPECT_EQ(shown(), pageWith(daily.report, "GC: G1"));
  tree->clearSelection();
  EXPECT_EQ(shown(), "");

  // Monthly: T1's page ends where its totals block starts, its two wells on it.
  const ViewerRun monthly = runViewerInput(false);
  CZELBAReportDlg month(monthly.data);
  month.tree()->setCurrentItem(month.tree()->topLevelItem(1));
  const std::string page = month.pane()->toPlainText().toStdString();
  EXPECT_EQ(page, pageWith(monthly.report, "TF: T1      From: 20050101  to: 20050102"));
  EXPECT_NE(page.find("\nW2 "), std::string::npos);
  EXPECT_EQ(page.find("Measured Volume:"), std::string::npos);
}

TEST(ReportViewer, PrintPrintsThePageShownAndPrintAllEveryPosition) {
  app();
  const std::string pdf = testing::TempDir() + "viewer-print.pdf";
  const ViewerRun daily = runViewerInput(true);
  {
    CZELBAReportDlg dialog(daily.data);
    dialog.tree()->setCurrentItem(dialog.tree()->topLevelItem(1)->child(0));
    ASSERT_TRUE(CZELRichEditCtrl::setPrintTarget(QString::fromStdString(pdf)));
    dialog.OnPrint();
    EXPECT_EQ(CZELRichEditCtrl::printedPages(), 1);
    // A print job opened and closed while the target is set asks for no
    // printer and leaves the target in place.
    ASSERT_TRUE(CZELRichEditCtrl::beginPrintJob(&dialog));
    ASSERT_TRUE(CZELRichEditCtrl::beginPrintJob(&dialog));
    CZELRichEditCtrl::endPrintJob();
    CZELRichEditCtrl::endPrintJob();
    dialog.OnPrint();
    EXPECT_EQ(CZELRichEditCtrl::printedPages(), 2);
    ASSERT_TRUE(CZELRichEditCtrl::setPrintTarget(QString()));
    EXPECT_EQ(pdfPages(pdf), 2);
    EXPECT_NE(readFile(pdf).find("/FontFile"), std::string::npos);  // its text was drawn

    // Six nodes, W0's page empty; the pane is left on W2's page.
    ASSERT_TRUE(CZELRichEditCtrl::setPrintTarget(QString::fromStdString(pdf)));
    dialog.OnPrintAll();
    EXPECT_EQ(CZELRichEditCtrl::printedPages(), 6);
    ASSERT_TRUE(CZELRichEditCtrl::setPrintTarget(QString()));
    EXPECT_EQ(pdfPages(pdf), 6);
    EXPECT_EQ(dialog.pane()->toPlainText().toStdString(), pageWith(daily.report, "Well: W2"));
  }
  // Monthly: one page per point of measurement, T2's left shown.
  const ViewerRun monthly = runViewerInput(false);
  CZELBAReportDlg month(monthly.data);
  ASSERT_TRUE(CZELRichEditCtrl::setPrintTarget(QString::fromStdString(pdf)));
  month.OnPrintAll();
  ASSERT_TRUE(CZELRichEditCtrl::setPrintTarget(QString()));
  EXPECT_EQ(pdfPages(pdf), 3);
  EXPECT_EQ(month.pane()->toPlainText().toStdString(),
            pageWith(monthly.report, "TF: T2      From: 20050101  to: 20050102"));

  // A report that cannot be read prints each position as an empty page.
  ReportViewData gone = monthly.data;
  gone.reportPath = testing::TempDir() + "no-such-report.prn";
  CZELBAReportDlg empty(gone);
  ASSERT_TRUE(CZELRichEditCtrl::setPrintTarget(QString::fromStdString(pdf)));
  empty.OnPrintAll();
  ASSERT_TRUE(CZELRichEditCtrl::setPrintTarget(QString()));
  EXPECT_EQ(pdfPages(pdf), 3);
  EXPECT_TRUE(empty.pane()->toPlainText().isEmpty());
}

TEST(ReportViewer, DialogTemplateControlsAndLayout) {
  app();
  const ViewerRun run = runViewerInput(true);
  CZELBAReportDlg dialog(run.data);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ZEL BA Report"));
  EXPECT_EQ(dialog.objectName(), QStringLiteral("20110"));
  const std::vector<std::tuple<const char*, const char*, bool>> buttons = {
      {"3", "&Print", true}, {"4", "Print &All", false}, {"2", "Close", false}};
  for (const auto& [id, text, isDefault] : buttons) {
    auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(id));
    ASSERT_NE(button, nullptr) << id;
    EXPECT_EQ(button->text(), QString::fromLatin1(text));
    EXPECT_EQ(button->isDefault(), isDefault) << id;
  }
  EXPECT_EQ(dialog.findChild<CTreeCtrlEx*>(QStringLiteral("1015")), dialog.tree());
  CZELRichEditCtrl* pane = dialog.findChild<CZELRichEditCtrl*>(QStringLiteral("1041"));
  ASSERT_EQ(pane, dialog.pane());
  EXPECT_TRUE(pane->isReadOnly());
  EXPECT_EQ(pane->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_TRUE(QFontInfo(pane->font()).fixedPitch());

  // Dialog units of the dialog's font: a quarter of the average character
  // width, an eighth of the height.
  const QFontMetrics metrics(dialog.font());
  const double bx = metrics.horizontalAdvance(
                        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                    52.0;
  const double by = metrics.height();
  const auto px = [](double units, double base) { return qRound(units * base / 4.0); };
  dialog.show();
  // 514 x 266 units, but never larger than the screen's free area.
  const QSize screen = dialog.screen()->availableGeometry().size();
  EXPECT_EQ(dialog.width(), std::min(px(514, bx), screen.width()));
  EXPECT_EQ(dialog.height(), std::min(qRound(266 * by / 8.0), screen.height()));
  const QRect tree = dialog.tree()->geometry();
  const QRect text = pane->geometry();
  EXPECT_EQ(std::tuple(tree.x(), tree.y()), std::tuple(px(7, bx), qRound(7 * by / 8.0)));
  EXPECT_EQ(text.x() - tree.right() - 1, px(4, bx));
  // 134 : 363 of the width between them, to a pixel.
  EXPECT_NEAR(tree.width() * 363.0 / 134.0, text.width(), 3.0);
  auto* close = dialog.findChild<QPushButton*>(QStringLiteral("2"));
  EXPECT_EQ(close->geometry().right() + 1, dialog.width() - px(6, bx));
  EXPECT_GE(close->width(), px(50, bx));
  // Closing is the cancel command.
  close->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_FALSE(dialog.isVisible());
}

TEST(ReportViewer, ImageStripAndShowingTheReportModally) {
  app();
  const ReportImageList images;
  EXPECT_EQ(images.strip().size(), QSize(224, 13));  // 14 x 16 wide
  EXPECT_EQ(images.strip().pixelColor(0, 0), QColor(255, 0, 255));
  EXPECT_EQ(images.image(1).size(), QSize(16, 13));
  EXPECT_EQ(images.image(1).pixelColor(0, 0).alpha(), 0);  // magenta is transparent
  EXPECT_NE(images.image(1), images.image(2));
  EXPECT_TRUE(images.image(14).isNull());
  EXPECT_TRUE(images.image(-1).isNull());

  EXPECT_EQ(ZelBaShowReport(nullptr), 0);
  const ViewerRun run = runViewerInput(true);
  QTimer::singleShot(0, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  EXPECT_EQ(ZelBaShowReport(&run.data), 1);
}

TEST(HostUi, FormatFilterStringRewritesInPlaceWithinItsBuffer) {
  // A sentinel after the 100-byte buffer shows any write past it.
  char buffer[kFilterBuffer + 8];
  const auto format = [&](const std::string& filter) {
    std::memset(buffer, '#', sizeof buffer);
    std::memcpy(buffer, filter.data(), std::min(filter.size(), size_t{kFilterBuffer}));
    if (filter.size() < kFilterBuffer) buffer[filter.size()] = '\0';
    const int length = FormatFilterString(buffer);
    EXPECT_EQ(std::string(buffer + kFilterBuffer, 8), std::string(8, '#')) << filter;
    EXPECT_EQ(static_cast<size_t>(length), std::strlen(buffer));
    return std::string(buffer);
  };
  EXPECT_EQ(format("Files (*.prn)|*.prn|"), "Files (*.prn)");
  EXPECT_EQ(format("Text|*.txt;*.prn|All Files (*.*)|*.*|"), "Text (*.txt *.prn);;All Files (*.*)");
  EXPECT_EQ(format("Files (*.prn)"), "Files (*.prn)");  // already in the dialog's form
  // "Alpha (*.a)" is 11 bytes, ";;" 2, 80 letters and " (*.b)" 86: 99 fit
  // with the NUL. With 81 letters the second entry is left out whole.
  EXPECT_EQ(format("Alpha|*.a|" + std::string(80, 'B') + "|*.b|"),
            "Alpha (*.a);;" + std::string(80, 'B') + " (*.b)");
  EXPECT_EQ(format("Alpha|*.a|" + std::string(81, 'B') + "|*.b|"), "Alpha (*.a)");
  // 100 bytes without a NUL: cut to 99.
  EXPECT_EQ(format(std::string(120, 'x')), std::string(99, 'x'));
  EXPECT_EQ(FormatFilterString(nullptr), 0);
}

TEST(HostUi, FileChoosersTakeQueuedAnswersIntoTheirBuffers) {
  app();
  clearFileChoices();
  char path[kPathBuffer + 8];
  const auto fresh = [&] {
    std::memset(path, '#', sizeof path);
    path[0] = '\0';
  };
  fresh();
  queueFileChoice("/data/north");
  queueFileChoice("");
  EXPECT_EQ(GetFileToWriteOnly(nullptr, "north", "Files (*.prn)", ".prn", path), 1);
  EXPECT_STREQ(path, "/data/north.prn");  // the default extension added
  fresh();
  EXPECT_EQ(GetFileToWriteOnly(nullptr, "north", "Files (*.prn)", ".prn", path), 0);  // Cancel
  EXPECT_STREQ(path, "");
  // 300 characters: cut to the 259 that fit before the NUL, nothing written past it.
  fresh();
  queueFileChoice("/" + std::string(295, 'a') + ".prn");
  EXPECT_EQ(GetFileToWriteOnly(nullptr, "", "", "prn", path), -1);
  EXPECT_EQ(std::strlen(path), 259u);
  EXPECT_EQ(std::string(path + kPathBuffer, 8), std::string(8, '#'));

  fresh();
  queueFileChoice("/data/in");
  EXPECT_EQ(BaInputFile(nullptr, path, 1), 1);
  EXPECT_STREQ(path, "/data/in.ba");
  fresh();
  queueFileChoice("/data/v1.2/load");
  EXPECT_EQ(BaOutputFile(nullptr, path), 1);
  EXPECT_STREQ(path, "/data/v1.2/load.txt");  // a dot in a folder name is no extension
  fresh();
  queueFileChoice("/data/load.dat");
  EXPECT_EQ(BaOutputFile(nullptr, path), 1);
  EXPECT_STREQ(path, "/data/load.dat");
  EXPECT_EQ(BaOutputFile(nullptr, nullptr), 0);

  // The rich-edit control's default font is of fixed pitch.
  CZELRichEditCtrl control;
  QTextCharFormat format;
  control.GetDefaultFont(format);
  EXPECT_TRUE(QFontInfo(format.font()).fixedPitch());
  EXPECT_FALSE(control.OnCommand(1));
}

TEST(ReportViewer, PagesThatDoNotFitTheBufferAreCut) {
  // 65535-byte buffer: 65534 bytes and the NUL.
  EXPECT_EQ(fitToBuffer(std::string(70000, 'a'), kViewerPageBuffer).size(), 65534u);
  EXPECT_EQ(fitToBuffer("abc", 4), "abc");
  EXPECT_EQ(fitToBuffer("abcd", 4), "abc");
  // "a" then the two bytes of e-acute: a cut after 2 bytes drops the whole letter.
  EXPECT_EQ(fitToBuffer("a\xC3\xA9", 3), "a");
  EXPECT_EQ(fitToBuffer("abc", 0), "");
}

}  // namespace
}  // namespace zelba
