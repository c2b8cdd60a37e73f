// The host's user-interface services that the module calls: the file
// choosers (the engine input file, the load file, the report) and the
// rich-edit control the report viewer shows its pages in.
//
// Each file chooser has a seam for tests: names queued with queueFileChoice
// answer the next choosers in order, without showing a dialog.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QTextCharFormat>
#include <string>

class QWidget;

// The services are exported from the library they are linked into, so that
// a program and the viewer module share one set of seams.
#define ZELBA_HOST_UI_EXPORT __attribute__((visibility("default")))

// Sizes of the callers' buffers, their terminating NUL included.
constexpr int kFilterBuffer = 100;  // a file filter
constexpr int kPathBuffer = 260;    // a chosen path

// Rewrites a filter of the form "DESCRIPTION|PATTERNS|DESCRIPTION|PATTERNS|"
// in place into the form the file dialog takes, "DESCRIPTION (PATTERNS)"
// entries joined by ";;": "Files (*.prn)|*.prn|" becomes "Files (*.prn)". A
// pattern list "*.a;*.b" becomes "(*.a *.b)"; a description's own "(...)"
// is replaced by the patterns. A filter without "|" is left as it is. The
// buffer holds kFilterBuffer bytes: at most that many are read and the
// result is cut to fit, entries that do not fit whole left out. Returns the
// length of the result; 0 for a null buffer.
ZELBA_HOST_UI_EXPORT int FormatFilterString(char* filter);

// A save-file dialog owned by `owner` (may be null) offering `defaultName`
// with the dialog filter `filter` (after FormatFilterString). A chosen name
// without an extension gets `defaultExtension` (".prn" or "prn"). The path
// is copied into `path` (kPathBuffer bytes), cut to fit; it is left empty
// when the user cancels. Returns 1 when a file was chosen, 0 otherwise.
// Null strings are taken as empty; a null `path` returns 0.
ZELBA_HOST_UI_EXPORT int GetFileToWriteOnly(QWidget* owner, const char* defaultName,
                                            const char* filter, const char* defaultExtension,
                                            char* path);

// Asks where the engine input file goes (mode 1: a save dialog) or which one
// to read (any other mode: an open dialog). The path is left in `path`
// (kPathBuffer bytes), cut to fit, empty when none was chosen; a saved name
// without an extension gets ".ba". Returns 1 when a file was chosen.
ZELBA_HOST_UI_EXPORT int BaInputFile(QWidget* owner, char* path, int mode);

// Asks where the host load file goes: a save dialog; the path in `path`
// (kPathBuffer bytes), cut to fit, empty when none was chosen; a name
// without an extension gets ".txt". Returns 1 when a file was chosen.
ZELBA_HOST_UI_EXPORT int BaOutputFile(QWidget* owner, char* path);

// Test seam: the next file chooser takes `name` as the user's answer without
// showing a dialog; an empty name stands for Cancel. Answers are used in the
// order queued.
ZELBA_HOST_UI_EXPORT void queueFileChoice(std::string name);
// Drops the answers not used yet.
ZELBA_HOST_UI_EXPORT void clearFileChoices();

// The rich-edit control of the host: a plain-text pane that prints its
// contents on the print command.
class ZELBA_HOST_UI_EXPORT CZELRichEditCtrl : public QPlainTextEdit {
  Q_OBJECT

 public:
  // The command that prints the control's current contents.
  static constexpr int kPrintCommand = 60004;

  explicit CZELRichEditCtrl(QWidget* parent = nullptr);
  ~CZELRichEditCtrl() override;

  // Fills `format` with the host's default font for report text: the
  // system's fixed-pitch font, so that the report's columns line up.
  void GetDefaultFont(QTextCharFormat& format) const;

  // The control's initialisation, called once by its owner: read-only, no
  // line wrapping, scroll bars as needed in both directions.
  virtual void Init();

  // Carries out a command; kPrintCommand prints the current contents (with
  // the print dialog, or into the print target when one is set). Returns
  // whether the command is one of the control's.
  bool OnCommand(int id);

  // Opens one print job that the prints up to endPrintJob go into, each on
  // a new page: the print dialog is shown once, owned by `owner`. While a
  // print target is set (below) the prints go there and no dialog is shown.
  // Jobs nest: only the outermost end finishes the job. Returns false when
  // the user cancels or the printer cannot be started; then there is no job
  // and endPrintJob must not be called.
  static bool beginPrintJob(QWidget* owner);
  static void endPrintJob();

  // Test seam: every print from now on goes, without a dialog, into the one
  // PDF file `pdfPath`, each print starting on a new page. An empty path
  // finishes the file (it is complete on disk only then) and goes back to
  // the print dialog. Returns false when the file cannot be started.
  static bool setPrintTarget(const QString& pdfPath);
  // The pages printed into the print target since it was set.
  static int printedPages();
};
