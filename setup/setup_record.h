// What the setup sheet's pages hold between loading the host's record and
// storing it back, and the two conversions. No user-interface code: the
// pages only move these members to and from their controls.
//
// A variable slot holds a combo-box index: 0 the empty first entry, k the
// host variable at sorted position k - 1, -1 nothing selected. Loading takes
// a binding's position from its saved name, so a choice follows its
// variable when the host's list changes; storing writes the position and
// the name the host now gives it.
#pragma once

#include <array>
#include <string>

#include "setup/ba_setup.h"

namespace zelba {

// Widths of the record's text fields, their terminating NUL included.
constexpr int kNameField = 40;    // variable and category names
constexpr int kDateField = 12;    // start and end dates
constexpr int kPathField = 128;   // file paths
constexpr int kHeaderField = 80;  // report header lines

// Measurements page (CPomTab).
struct PomTabMembers {
  std::array<int, 12> measureVars{};
  int pomCategoryIndex = -1;
  int category2Index = -1;  // carried through; no control shows it
  float pomShrinkage = 0;
};

// Production Times page (CPtTab).
struct PtTabMembers {
  std::array<int, 5> timeVars{};
  int downTimeFlag = 0;
  float defaultHours = 0;
};

// Welltest page (CWTVars).
struct WtVarsMembers {
  std::array<int, 10> welltestVars{};
  int gorFlag = 0;
  int bswFlag = 0;
  int bhpFlag = 0;
  int fractionFlag = 0;
};

// Equations page (CEqTab).
struct EqTabMembers {
  std::array<int, 10> equationVars{};
  int interpolateFlag = 0;
  int nominalFlag = 0;
};

// Control page (CBaCtrl).
struct BaCtrlMembers {
  std::string startDate, endDate;
  std::string loadFilePath, reportFilePath, inputFilePath;
  std::string header1, header2, header3;
  int createReport = 0;
  int createLoadFile = 0;
  int createInputFile = 0;
  int performMode = -1;  // 0 daily, 1 monthly, -1 neither
  int writebackFlag = 0;
  int computeTheoreticals = 0;
  int htmlFlag = 0;
};

// Writeback page (TabRes).
struct TabResMembers {
  std::array<int, 12> writebackVars{};
};

// Every page's members.
struct SetupMembers {
  PomTabMembers pom;
  PtTabMembers pt;
  WtVarsMembers wt;
  EqTabMembers eq;
  BaCtrlMembers ctrl;
  TabResMembers res;
};

// The slot of a saved binding: the position the host gives its name plus 1
// (0, the empty entry, for a name the host does not know), or -1 when
// `varPos` is negative.
int slotFromBinding(const BA_VARREF& binding);

// Stores `slot` into `binding`: varPos = slot - 1 (-1 when negative); a
// bound position takes the host's name for it, an unbound one keeps the old
// name bytes.
void storeSlot(int slot, BA_VARREF& binding);

// The members the record holds: bindings by name, flags widened with their
// sign, floats and texts as they stand (texts up to their field's NUL or
// width). Reads every named field of `record` and nothing else.
SetupMembers loadSetup(const BA_SETUP& record);

// Writes `members` into `record`: every binding, both categories refreshed
// from a fresh category list of the host (an index outside it leaves the
// name's bytes), the texts into their fields (a text too long for its field
// is cut to it; the pages refuse such texts before), flags as their low
// byte, floats as float32. Writes only the named fields.
void storeSetup(const SetupMembers& members, BA_SETUP& record);

// Copies `text` into a field of `width` bytes with its NUL, cut to
// width - 1 bytes; the bytes after the NUL are left as they were.
void setFieldText(char* field, int width, const std::string& text);

// Whether `text` fits a field of `width` bytes with its NUL.
inline bool fitsField(const std::string& text, int width) {
  return text.size() < static_cast<size_t>(width);
}

// A real number typed into an edit field, as the pages read one: blanks
// around it allowed, nothing else after it. False for an empty text and for
// anything that is not a finite number.
bool parseReal(const std::string& text, double& value);

// The text a page shows for a float member.
std::string realText(float value);

}  // namespace zelba
