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
struct ZELBA_RESOURCES_EXPORT FormControl {
  int id = 0;
  QString kind;  // "tree", "richedit", "button", ...
  QString text;
  QRect rect;
  bool isDefault = false;  // the default push button
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
