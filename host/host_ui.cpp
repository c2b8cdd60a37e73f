#include "host/host_ui.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <cstring>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace {

// ---- file choosers ----

std::deque<std::string>& queuedChoices() {
  static std::deque<std::string> choices;
  return choices;
}

// The user's answer to a file chooser: the next queued one, else the
// dialog's. Empty for Cancel.
std::string chooseFile(QWidget* owner, bool save, const QString& caption, const QString& name,
                       const QString& filter) {
  std::deque<std::string>& queued = queuedChoices();
  if (!queued.empty()) {
    std::string answer = std::move(queued.front());
    queued.pop_front();
    return answer;
  }
  const QString chosen = save ? QFileDialog::getSaveFileName(owner, caption, name, filter)
                              : QFileDialog::getOpenFileName(owner, caption, name, filter);
  return QFile::encodeName(chosen).toStdString();
}

// `path` with `extension` ("prn" or ".prn") added when its file name has
// none.
std::string withExtension(std::string path, const char* extension) {
  if (path.empty() || extension == nullptr || *extension == '\0') return path;
  const size_t slash = path.find_last_of('/');
  const size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
  if (path.find('.', fileStart) != std::string::npos) return path;
  if (*extension != '.') path += '.';
  return path + extension;
}

// Copies `chosen` into the caller's buffer of kPathBuffer bytes. Returns 1,
// 0 for an empty answer (Cancel), -1 when the path had to be cut.
int copyPath(const std::string& chosen, char* path) {
  const size_t room = kPathBuffer - 1;
  const size_t n = chosen.size() < room ? chosen.size() : room;
  std::memcpy(path, chosen.data(), n);
  path[n] = '\0';
  if (chosen.empty()) return 0;
  return chosen.size() > room ? -1 : 1;
}

QString fromHost(const char* text) {
  return text == nullptr ? QString() : QFile::decodeName(text);
}

// ---- filter strings ----

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t bar; (bar = text.find(separator, start)) != std::string::npos; start = bar + 1) {
    parts.push_back(text.substr(start, bar - start));
  }
  if (start < text.size()) parts.push_back(text.substr(start));
  return parts;
}

// One entry of the dialog's filter: "DESCRIPTION (PATTERN PATTERN)".
std::string filterEntry(std::string description, const std::string& patternList) {
  std::string patterns;
  for (const std::string& pattern : split(patternList, ';')) {
    const std::string one = trimmed(pattern);
    if (one.empty()) continue;
    if (!patterns.empty()) patterns += ' ';
    patterns += one;
  }
  description = trimmed(description);
  if (patterns.empty()) return description;
  // The dialog reads the patterns from the parentheses: the description's
  // own list gives way to the real one.
  const size_t open = description.rfind('(');
  if (open != std::string::npos && description.back() == ')') {
    description = trimmed(description.substr(0, open));
  }
  return description.empty() ? "(" + patterns + ")" : description + " (" + patterns + ")";
}

// ---- printing ----

// Draws `source` onto `printer` page by page, laid out at the printer's
// resolution. `newPageFirst` starts on a fresh page (a print that follows
// another in one file). Returns the pages drawn.
int drawDocument(const QTextDocument& source, QPrinter& printer, QPainter& painter,
                 bool newPageFirst) {
  std::unique_ptr<QTextDocument> document(source.clone());
  document->documentLayout()->setPaintDevice(&printer);
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  document->setPageSize(page.size());
  const int pages = document->pageCount() > 0 ? document->pageCount() : 1;
  for (int i = 0; i < pages; ++i) {
    if (i > 0 || newPageFirst) printer.newPage();
    painter.save();
    const QRectF shown(0, i * page.height(), page.width(), page.height());
    painter.translate(0, -shown.top());
    document->drawContents(&painter, shown);
    painter.restore();
  }
  return pages;
}

// Where every print goes while it is set: the test seam's PDF file, or the
// printer of an open print job.
struct PrintTarget {
  QPrinter printer{QPrinter::HighResolution};
  QPainter painter;
  int pages = 0;
  int jobDepth = 0;  // open print jobs; 0 for the test seam's file
};

std::unique_ptr<PrintTarget>& printTarget() {
  static std::unique_ptr<PrintTarget> target;
  return target;
}

}  // namespace

int FormatFilterString(char* filter) {
  if (filter == nullptr) return 0;
  const std::string text(filter, strnlen(filter, kFilterBuffer));
  std::string result;
  if (text.find('|') == std::string::npos) {
    result = text.substr(0, kFilterBuffer - 1);
  } else {
    const std::vector<std::string> fields = split(text, '|');
    for (size_t i = 0; i < fields.size(); i += 2) {
      const std::string entry = filterEntry(fields[i], i + 1 < fields.size() ? fields[i + 1] : "");
      if (entry.empty()) continue;
      const std::string longer = result.empty() ? entry : result + ";;" + entry;
      if (longer.size() > kFilterBuffer - 1) break;
      result = longer;
    }
  }
  std::memcpy(filter, result.data(), result.size());
  filter[result.size()] = '\0';
  return static_cast<int>(result.size());
}

int GetFileToWriteOnly(QWidget* owner, const char* defaultName, const char* filter,
                       const char* defaultExtension, char* path) {
  if (path == nullptr) return 0;
  const std::string chosen = chooseFile(owner, true, QStringLiteral("Save Report As"),
                                        fromHost(defaultName), fromHost(filter));
  return copyPath(withExtension(chosen, defaultExtension), path);
}

int BaInputFile(QWidget* owner, char* path, int mode) {
  if (path == nullptr) return 0;
  const QString filter = QStringLiteral("BA Input Files (*.ba);;All Files (*)");
  if (mode == 1) {
    const std::string chosen =
        chooseFile(owner, true, QStringLiteral("Create BA Input File"), QString(), filter);
    return copyPath(withExtension(chosen, ".ba"), path);
  }
  return copyPath(chooseFile(owner, false, QStringLiteral("Open BA Input File"), QString(), filter),
                  path);
}

int BaOutputFile(QWidget* owner, char* path) {
  if (path == nullptr) return 0;
  const std::string chosen =
      chooseFile(owner, true, QStringLiteral("Create ZEL Load File"), QString(),
                 QStringLiteral("Load Files (*.txt);;All Files (*)"));
  return copyPath(withExtension(chosen, ".txt"), path);
}

void queueFileChoice(std::string name) {
  queuedChoices().push_back(std::move(name));
}

void clearFileChoices() {
  queuedChoices().clear();
}

CZELRichEditCtrl::CZELRichEditCtrl(QWidget* parent) : QPlainTextEdit(parent) {}

CZELRichEditCtrl::~CZELRichEditCtrl() = default;

void CZELRichEditCtrl::GetDefaultFont(QTextCharFormat& format) const {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setFixedPitch(true);
  font.setStyleHint(QFont::Monospace);
  format.setFont(font);
}

void CZELRichEditCtrl::Init() {
  setReadOnly(true);
  setUndoRedoEnabled(false);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setWordWrapMode(QTextOption::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

bool CZELRichEditCtrl::OnCommand(int id) {
  if (id != kPrintCommand) return false;
  if (std::unique_ptr<PrintTarget>& target = printTarget()) {
    target->pages += drawDocument(*document(), target->printer, target->painter, target->pages > 0);
    return true;
  }
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return true;
  QPainter painter;
  if (painter.begin(&printer)) {
    drawDocument(*document(), printer, painter, false);
    painter.end();
  }
  return true;
}

bool CZELRichEditCtrl::beginPrintJob(QWidget* owner) {
  std::unique_ptr<PrintTarget>& target = printTarget();
  if (target) {
    if (target->jobDepth > 0) ++target->jobDepth;
    return true;
  }
  auto job = std::make_unique<PrintTarget>();
  QPrintDialog dialog(&job->printer, owner);
  if (dialog.exec() != QDialog::Accepted || !job->painter.begin(&job->printer)) return false;
  job->jobDepth = 1;
  target = std::move(job);
  return true;
}

void CZELRichEditCtrl::endPrintJob() {
  std::unique_ptr<PrintTarget>& target = printTarget();
  if (!target || target->jobDepth == 0) return;
  if (--target->jobDepth == 0) {
    target->painter.end();
    target.reset();
  }
}

bool CZELRichEditCtrl::setPrintTarget(const QString& pdfPath) {
  std::unique_ptr<PrintTarget>& target = printTarget();
  bool finished = true;
  if (target) {
    finished = target->painter.end();
    target.reset();
  }
  if (pdfPath.isEmpty()) return finished;
  auto next = std::make_unique<PrintTarget>();
  next->printer.setOutputFormat(QPrinter::PdfFormat);
  next->printer.setOutputFileName(pdfPath);
  if (!next->painter.begin(&next->printer)) return false;
  target = std::move(next);
  return true;
}

int CZELRichEditCtrl::printedPages() {
  const std::unique_ptr<PrintTarget>& target = printTarget();
  return target ? target->pages : 0;
}
