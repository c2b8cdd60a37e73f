#include "setup/setup_record.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "host/host_data.h"
#include "setup/record_text.h"

namespace zelba {

namespace {

template <size_t N>
void loadSlots(const BA_VARREF (&bindings)[N], std::array<int, N>& slots) {
  for (size_t i = 0; i < N; ++i) slots[i] = slotFromBinding(bindings[i]);
}

template <size_t N>
void storeSlots(const std::array<int, N>& slots, BA_VARREF (&bindings)[N]) {
  for (size_t i = 0; i < N; ++i) storeSlot(slots[i], bindings[i]);
}

// A category index stored with its name from `categories` when the list
// has it; otherwise the name field keeps its bytes.
void storeCategory(int index, const CSortedCategoryArray& categories, int32_t& storedIndex,
                   char (&name)[kNameField]) {
  storedIndex = index;
  if (index >= 0 && index < categories.GetSize()) {
    setFieldText(name, kNameField, std::string(categories[index]));
  }
}

}  // namespace

void setFieldText(char* field, int width, const std::string& text) {
  const size_t n = std::min(text.size(), static_cast<size_t>(width - 1));
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

int slotFromBinding(const BA_VARREF& binding) {
  if (binding.varPos < 0) return -1;
  const std::string name = recordText(binding.varName);
  return SortZelVarPosFromName(name.c_str()) + 1;
}

void storeSlot(int slot, BA_VARREF& binding) {
  const int32_t position = slot - 1 < 0 ? -1 : slot - 1;
  binding.varPos = position;
  if (position >= 0) setFieldText(binding.varName, kNameField, SortZelVariableName(position));
}

SetupMembers loadSetup(const BA_SETUP& record) {
  SetupMembers m;
  loadSlots(record.measureVars, m.pom.measureVars);
  loadSlots(record.timeVars, m.pt.timeVars);
  loadSlots(record.welltestVars, m.wt.welltestVars);
  loadSlots(record.equationVars, m.eq.equationVars);
  loadSlots(record.writebackVars, m.res.writebackVars);
  m.pom.pomCategoryIndex = record.pomCategoryIndex;
  m.pom.category2Index = record.category2Index;
  m.pom.pomShrinkage = record.pomShrinkage;
  m.pt.defaultHours = record.defaultHours;
  BaCtrlMembers& c = m.ctrl;
  c.header1 = recordText(record.header1);
  c.header2 = recordText(record.header2);
  c.header3 = recordText(record.header3);
  c.loadFilePath = recordText(record.loadFilePath);
  c.reportFilePath = recordText(record.reportFilePath);
  c.inputFilePath = recordText(record.inputFilePath);
  c.startDate = recordText(record.startDate);
  c.endDate = recordText(record.endDate);
  // int8 flags widened with their sign.
  m.pt.downTimeFlag = record.downTimeFlag;
  m.wt.gorFlag = record.gorFlag;
  m.wt.bswFlag = record.bswFlag;
  m.wt.bhpFlag = record.bhpFlag;
  m.wt.fractionFlag = record.fractionFlag;
  m.eq.interpolateFlag = record.interpolateFlag;
  m.eq.nominalFlag = record.nominalFlag;
  c.createReport = record.createReport;
  c.createLoadFile = record.createLoadFile;
  c.createInputFile = record.createInputFile;
  c.performMode = record.performMode;
  c.writebackFlag = record.writebackFlag;
  c.computeTheoreticals = record.computeTheoreticals;
  c.htmlFlag = record.htmlFlag;
  return m;
}

void storeSetup(const SetupMembers& m, BA_SETUP& record) {
  storeSlots(m.pom.measureVars, record.measureVars);
  storeSlots(m.pt.timeVars, record.timeVars);
  storeSlots(m.wt.welltestVars, record.welltestVars);
  storeSlots(m.eq.equationVars, record.equationVars);
  storeSlots(m.res.writebackVars, record.writebackVars);
  CSortedCategoryArray categories;
  Entities()->GetCatgoryList(categories);
  storeCategory(m.pom.pomCategoryIndex, categories, record.pomCategoryIndex, record.pomCategory);
  storeCategory(m.pom.category2Index, categories, record.category2Index, record.category2);
  const BaCtrlMembers& c = m.ctrl;
  setFieldText(record.header1, kHeaderField, c.header1);
  setFieldText(record.header2, kHeaderField, c.header2);
  setFieldText(record.header3, kHeaderField, c.header3);
  setFieldText(record.loadFilePath, kPathField, c.loadFilePath);
  setFieldText(record.reportFilePath, kPathField, c.reportFilePath);
  setFieldText(record.inputFilePath, kPathField, c.inputFilePath);
  setFieldText(record.startDate, kDateField, c.startDate);
  setFieldText(record.endDate, kDateField, c.endDate);
  // Flags as their low byte.
  const auto byte = [](int value) {
    return static_cast<int8_t>(static_cast<uint8_t>(value & 0xff));
  };
  record.downTimeFlag = byte(m.pt.downTimeFlag);
  record.gorFlag = byte(m.wt.gorFlag);
  record.bswFlag = byte(m.wt.bswFlag);
  record.bhpFlag = byte(m.wt.bhpFlag);
  record.fractionFlag = byte(m.wt.fractionFlag);
  record.interpolateFlag = byte(m.eq.interpolateFlag);
  record.nominalFlag = byte(m.eq.nominalFlag);
  record.createReport = byte(c.createReport);
  record.createLoadFile = byte(c.createLoadFile);
  record.createInputFile = byte(c.createInputFile);
  record.performMode = byte(c.performMode);
  record.writebackFlag = byte(c.writebackFlag);
  record.computeTheoreticals = byte(c.computeTheoreticals);
  record.htmlFlag = byte(c.htmlFlag);
  record.pomShrinkage = m.pom.pomShrinkage;
  record.defaultHours = m.pt.defaultHours;
}

bool parseReal(const std::string& text, double& value) {
  // Read without regard to the user's locale: the record is the same file
  // everywhere.
  const char* first = text.data();
  const char* last = first + text.size();
  while (first != last && (*first == ' ' || *first == '\t')) ++first;
  while (last != first && (last[-1] == ' ' || last[-1] == '\t')) --last;
  if (first != last && *first == '+') ++first;
  double parsed = 0;
  const std::from_chars_result read = std::from_chars(first, last, parsed);
  if (read.ec != std::errc() || read.ptr != last || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

std::string realText(float value) {
  // Six significant digits, as a float is shown in an edit field.
  char text[64];
  const std::to_chars_result written = std::to_chars(
      text, text + sizeof text, static_cast<double>(value), std::chars_format::general, 6);
  return std::string(text, written.ptr);
}

}  // namespace zelba
