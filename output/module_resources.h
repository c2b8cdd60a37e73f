// The module's resources: the forms of its dialogs (by template id), the
// bitmap of the report tree's images and the module's own texts. They are
// one resource collection kept in the library and made visible to every
// resource lookup of the process when registered (the host does that once,
// through the module's initialisation entry, before it opens any dialog).
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

#define ZELBA_RESOURCES_EXPORT __attribute__((visibility("default")))

namespace zelba {

// Where the collection is found once registered: ":/zelba/forms/20110.json",
// ":/zelba/bitmaps/132.bmp", ":/zelba/strings.json".
extern const char kModuleResourceRoot[];  // ":/zelba"

// Registers the module's resources for the whole process. Later calls do
// nothing. Returns whether they are registered.
ZELBA_RESOURCES_EXPORT bool registerModuleResources();

// One control of a dialog form, its position and size in dialog units.
// A form gives either positions in dialog units (a dialog laid out as its
// template) or grid cells (a page laid out by rows, so that it grows with
// the user's font).
struct ZELBA_RESOURCES_EXPORT FormControl {
  int id = -1;   // -1 for a control without an id (a static text, a frame)
  QString kind;  // "tree", "richedit", "button", "label", "list", "combo",
                 // "edit", "check", "radio", "group"
  QString text;
  QRect rect;                               // position and size in dialog units
  bool isDefault = false;                   // the default push button
  int row = 0, column = 0, columnSpan = 1;  // grid cell
  QString group;        // the name of the group box it stands in; "" for the page
  QString name;         // a group box's own name
  int buddy = -1;       // a label's control: its mnemonic moves there
  bool hidden = false;  // created hidden
};

// A dialog template: caption, font, size in dialog units, controls in tab
// order.
struct ZELBA_RESOURCES_EXPORT DialogForm {
  int id = 0;  // 0 for a form that was not found
  QString caption;
  QString font;
  int points = 0;
  QSize size;
  std::vector<FormControl> controls;

  // The control of id `controlId`, null when the form has none.
  const FormControl* control(int controlId) const;
};

// The form of template `templateId` from the registered resources; a form
// of id 0 without controls when there is none or it cannot be read.
ZELBA_RESOURCES_EXPORT DialogForm dialogForm(int templateId);

// The bitmap resource `id` (132: the report tree's strip); a null image when
// there is none.
ZELBA_RESOURCES_EXPORT QImage moduleBitmap(int id);

// The module's text under `key` ("sheetTitle", "pomErrorCaption",
// "pomErrorText"); empty for a key it does not have.
ZELBA_RESOURCES_EXPORT QString moduleString(const QString& key);

}  // namespace zelba
