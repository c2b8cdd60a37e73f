// The machinery the setup sheet's pages share: a page gets its controls
// (from its form in the module's resources) when it is first shown, moves
// values between its controls and its members on data exchange, and may
// refuse to be left. The variable pages add combo boxes of host variables
// kept in a slot table and a "Clear All" button.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#define ZELBA_SETUP_EXPORT_CLASS __attribute__((visibility("default")))

namespace zelba {
struct DialogForm;
}

// The controls a page's form created, by id.
using FormControls = std::map<int, QWidget*>;

// Creates the controls of `form` in `page`: a grid by the form's rows and
// columns, group boxes with their own grid, each label the buddy of its
// control, each control named by its id. Returns the controls with ids.
FormControls buildForm(QWidget* page, const zelba::DialogForm& form);

// Shows a message box owned by `parent` and waits for OK. Tests set a
// handler that takes the message instead of a box.
struct MessageBoxSeam {
  enum class Icon { Information, Warning, Exclamation };
  static void show(QWidget* parent, const QString& text, const QString& caption, Icon icon);
  // While set, every message goes to `handler` (caption, text) instead.
  static void setHandler(std::function<void(const QString& caption, const QString& text)> handler);
};

// The standard messages of a page's data exchange.
QString notANumberMessage();                         // "Please enter a number."
QString outOfRangeMessage(double low, double high);  // "Please enter a number between 0 and 2."

class ZELBA_SETUP_EXPORT_CLASS CSetupPage : public QWidget {
  Q_OBJECT

 public:
  CSetupPage(int templateId, QWidget* parent = nullptr);

  int templateId() const { return templateId_; }
  // The tab caption, from the form.
  QString caption() const { return caption_; }

  // Whether the page has its window (its controls): after it was first
  // shown, until the sheet closes.
  bool hasWindow() const { return hasWindow_; }
  // Gives the page its controls and fills them from the members; nothing
  // when it has them already.
  void createWindow();
  // The page's window is destroyed (the sheet closes): the page takes what
  // it keeps from its controls then.
  void destroyWindow();

  // Moves values between the controls and the members: from the members to
  // the controls when `save` is false; from the controls into the members,
  // with the page's checks, when true. Returns false when an input is
  // refused: the message has been shown and the page stays.
  virtual bool DoDataExchange(bool save) = 0;

  // The control of `id`, null when the page has no window or no such control.
  QWidget* control(int id) const;
  template <class T>
  T* controlAs(int id) const {
    return qobject_cast<T*>(control(id));
  }

 protected:
  // Fills the controls after they were made (the dialog initialisation).
  virtual void OnInitDialog() = 0;
  virtual void OnDestroy() {}

  // Data exchange of a check box with an int member.
  void exchangeCheck(int id, int& member, bool save);

 private:
  int templateId_;
  QString caption_;
  bool hasWindow_ = false;
  FormControls controls_;
};

// One variable combo box of a page: its control id and its slot.
struct VariableBox {
  int id;
  int slot;
};

// A page of host-variable combo boxes. `boxes` is the order of filling;
// "Clear All" sets the slots from `clearFirst` to `clearLast` to -1 and
// shows no selection in every box.
class ZELBA_SETUP_EXPORT_CLASS CVariablePage : public CSetupPage {
  Q_OBJECT

 public:
  static constexpr int kClearAllId = 1043;

  CVariablePage(int templateId, int* slotTable, int slotCount, std::vector<VariableBox> boxes,
                int clearFirst, int clearLast, QWidget* parent = nullptr);

  int slot(int index) const;
  QComboBox* box(int slot) const;

  void OnClearAll();

 protected:
  void OnInitDialog() override;

 private:
  void OnSelChange(int slot, int index);

  int* slots_;
  int slotCount_;
  std::vector<VariableBox> boxes_;
  int clearFirst_, clearLast_;
};
