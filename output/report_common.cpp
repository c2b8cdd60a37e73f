#include "output/report_common.h"

namespace zelba {

bool isListed(const RunControl& rc, int slot) {
  return rc.hasVolumes[slot] || rc.theoretical[slot];
}

bool isTheoreticalOnly(const RunControl& rc, int slot) {
  return rc.theoretical[slot] != 0;
}

std::string unitsLabel(const RunControl& rc, int slot) {
  if (slot == kGas || slot == kGasInj) return rc.metric ? "Km3" : "Mcf";
  if (slot == kSteamInj) return "tons";
  return rc.metric ? "m3" : "bbl";
}

std::string centre(std::string_view text, int width) {
  const size_t size = width > 1 ? static_cast<size_t>(width - 1) : 0;
  if (text.size() > size) text = text.substr(0, size);
  const int pad = (width - static_cast<int>(text.size())) / 2 - 1;
  std::string result(pad > 0 ? static_cast<size_t>(pad) : 0, ' ');
  result.append(text);
  result.resize(size, ' ');
  return result;
}

std::string methodText(int source) {
  if (source == kSourceWellWatch) return "Watch";
  return methodName(source);
}

bool isWellLevel(const RunState& rs, const BaNode& node) {
  return node.typeId == rs.control.firstWellType;
}

double facilityFieldFactor(const RunState& rs, int nodeIndex, int slot, int day) {
  const int pom = pomOfNode(rs, nodeIndex);
  if (pom < 0 || slot < 0 || slot >= kFluidSlots || day < 0 || day >= kDaySlots) return 0;
  return rs.pomTable[pom]->fieldFactor[slot][day];
}

std::string levelName(const RunState& rs, const BaNode& node) {
  return typeName(rs, node.typeId);
}

}  // namespace zelba
