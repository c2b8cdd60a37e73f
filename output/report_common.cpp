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

bool isWellLevel(const RunState& rs, const BaNode& node) {
  return node.typeId == rs.control.firstWellType;
}

namespace {

// The facility node a well is listed under: the allocated facility that is
// the own node of its point of measurement; -1 when it keeps its place.
int facilityOfWell(const RunState& rs, const BaNode& node) {
  if (!isWellLevel(rs, node) || node.pomIndex < 0 || node.pomIndex >= rs.pomCount()) return -1;
  const int facility = rs.pomTable[node.pomIndex]->nodeIndex;
  if (facility < 0 || facility >= rs.nodeCount()) return -1;
  const BaNode& own = *rs.nodeTable[facility];
  return own.allocated && !isWellLevel(rs, own) ? facility : -1;
}

}  // namespace

std::vector<int> reportOrder(const RunState& rs) {
  const int count = rs.nodeCount();
  std::vector<int> facilityOf(static_cast<size_t>(count), -1);
  std::vector<std::vector<int>> wellsOf(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int facility = facilityOfWell(rs, *rs.nodeTable[i]);
    facilityOf[static_cast<size_t>(i)] = facility;
    if (facility >= 0) wellsOf[static_cast<size_t>(facility)].push_back(i);
  }
  std::vector<int> order;
  order.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (facilityOf[static_cast<size_t>(i)] >= 0) continue;  // listed under its facility
    order.push_back(i);
    const std::vector<int>& wells = wellsOf[static_cast<size_t>(i)];
    order.insert(order.end(), wells.begin(), wells.end());
  }
  return order;
}

double facilityFieldFactor(const RunState& rs, int nodeIndex, int slot, int day) {
  const int pom = pomOfNode(rs, nodeIndex);
  if (pom < 0 || slot < 0 || slot >= kFluidSlots || day < 0 || day >= kDaySlots) return 0;
  return rs.pomTable[pom]->fieldFactor[slot][day];
}

std::string levelName(const RunState& rs, const BaNode& node) {
  return typeName(rs, node.typeId);
}

size_t utf8SequenceLength(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length = 0;
  unsigned least = 0;  // the smallest code point of that length
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    least = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  unsigned point = lead & (0x3F >> (length - 1));
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    point = (point << 6) | (byte(i + k) & 0x3F);
  }
  if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
  return length;
}

}  // namespace zelba
