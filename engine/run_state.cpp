#include "engine/run_state.h"

#include <algorithm>
#include <cstring>

#include "engine/text.h"

namespace zelba {

namespace {

// Key of the node index: the type id and the upper-cased name. Nodes of two
// types may share a name.
std::string nodeKey(int typeId, std::string_view upperName) {
  std::string key(sizeof typeId, '\0');
  std::memcpy(key.data(), &typeId, sizeof typeId);
  key.append(upperName);
  return key;
}

const BaNode* nodeAt(const RunState& rs, int index) {
  return index >= 0 && index < rs.nodeCount() ? rs.nodeTable[index].get() : nullptr;
}

const BaPom* pomAt(const RunState& rs, int pom) {
  return pom >= 0 && pom < rs.pomCount() ? rs.pomTable[pom].get() : nullptr;
}

void giveWellBlocks(RunState& rs, BaNode& node) {
  node.routes = std::make_unique<DayArray<BaDayRoute>>();
  for (BaDayRoute& route : *node.routes) route = BaDayRoute{rs.currentPom, 24.0f};
  node.testDays = std::make_unique<DayArray<BaTestDay>>();
  node.wellDesc = std::make_unique<BaWellDesc>();
  node.wellProp = std::make_unique<BaWellProp>();
  node.methods = rs.defaultMethods;
}

}  // namespace

void resetRunState(RunState& rs) {
  releaseRunState(rs);
  rs.control = RunControl{};
  rs.entityTypes = defaultEntityTypes();
  rs.fluidNames = defaultFluidNames();
  rs.currentPom = -1;
  rs.defaultMethods = {};
  rs.dayDates.fill(0);
  rs.periodStartFixed = false;
  rs.scratch = AllocationScratch{};
  // The run options of a run that ended by an exception do not carry over.
  rs.traceFiles = nullptr;
  rs.nodalTraverseBudget = 0;
  rs.progress = nullptr;
}

void releaseRunState(RunState& rs) {
  // Swapping with empty containers gives their memory back.
  std::vector<std::unique_ptr<BaNode>>().swap(rs.nodeTable);
  std::vector<std::unique_ptr<BaPom>>().swap(rs.pomTable);
  std::vector<BaStatusEvent>().swap(rs.statusEvents);
  std::unordered_map<std::int32_t, std::vector<BaWatchSample>>().swap(rs.watchSamples);
  std::unordered_map<std::string, std::int32_t>().swap(rs.nodeIndexByKey);
  std::unordered_map<std::int32_t, std::int32_t>().swap(rs.pomIndexByNode);
  rs.diagnostics = Diagnostics{};
}

int findNode(RunState& rs, std::string_view typeNameText, std::string_view name, bool* created) {
  if (created) *created = false;
  const int typeId = lookupEntityType(rs, typeNameText);
  if (typeId < 0 || name.empty()) return -1;
  std::string upper(name);
  toUpperAscii(upper);
  std::string key = nodeKey(typeId, upper);
  if (auto found = rs.nodeIndexByKey.find(key); found != rs.nodeIndexByKey.end()) {
    return found->second;
  }

  auto node = std::make_unique<BaNode>();
  if (isWellType(rs, typeId)) giveWellBlocks(rs, *node);
  node->typeId = typeId;
  node->pomIndex = rs.currentPom;
  if (static_cast<long long>(upper.size()) > rs.control.maxNameLength) {
    rs.control.maxNameLength = static_cast<std::int32_t>(upper.size());
  }
  node->name = std::move(upper);

  const int index = rs.nodeCount();
  rs.nodeTable.push_back(std::move(node));
  rs.nodeIndexByKey.emplace(std::move(key), index);
  if (created) *created = true;
  return index;
}

bool isWellType(const RunState& rs, int typeId) {
  return typeId != -1 && typeId >= rs.control.firstWellType;
}

bool isWellWithDays(const RunState& rs, const BaNode& node) {
  return isWellType(rs, node.typeId) && node.routes;
}

int memberListPom(const RunState& rs, int pom) {
  if (pom < 0 || pom >= rs.pomCount()) return -1;
  return rs.pomTable[pom]->stage == 2 ? pom - 1 : pom;
}

int pomByType(const RunState& rs, int typeId) {
  for (const auto& pom : rs.pomTable) {
    if (pom->typeId == typeId) return pom->index;
  }
  return -1;
}

int pomOfNode(const RunState& rs, int nodeIndex) {
  const auto found = rs.pomIndexByNode.find(nodeIndex);
  return found != rs.pomIndexByNode.end() ? found->second : -1;
}

std::string pomName(const RunState& rs, int pom) {
  const BaPom* p = pomAt(rs, pom);
  const BaNode* node = p ? nodeAt(rs, p->nodeIndex) : nullptr;
  return node ? node->name : std::string();
}

std::string pomMember(const RunState& rs, int pom, int k) {
  const BaPom* p = pomAt(rs, pom);
  if (!p || k < 0 || k >= p->memberCount()) return std::string();
  const BaNode* node = nodeAt(rs, p->members[k]);
  return node ? node->name : std::string();
}

int pomMemberCount(const RunState& rs, int pom) {
  const BaPom* p = pomAt(rs, pom);
  return p && rs.control.dailyMode ? p->memberCount() : 0;
}

DayRange periodDays(const RunControl& rc) {
  return {std::max(rc.firstDay, 1), std::min(rc.endDay, kDaySlots)};
}

int entryCount(const RunState& rs) {
  return rs.control.dailyMode ? rs.nodeCount() : rs.pomCount();
}

std::string typeName(const RunState& rs, int id) {
  return id >= 0 && id < static_cast<int>(rs.entityTypes.size()) ? rs.entityTypes[id].name
                                                                 : std::string();
}

std::string fluidName(const RunState& rs, int id) {
  for (const BaNameId& row : rs.fluidNames) {
    if (row.id == id && id >= 0 && id < kUnnamedFluid) return row.name;
  }
  return std::string();
}

int lookupEntityType(const RunState& rs, std::string_view text) {
  return lookupKeyword(text, rs.entityTypes);
}

int lookupFluid(const RunState& rs, std::string_view text) {
  return lookupKeyword(text, rs.fluidNames);
}

const BaDayEquation& dayEquation(const BaNode& node, int fluid, int day) {
  static const BaDayEquation kNone;
  if (fluid < 0 || fluid >= kFluidSlots || day < 0 || day >= kDaySlots) return kNone;
  const auto& block = node.dayEquations[fluid];
  return block ? (*block)[day] : kNone;
}

EquationDays& equationDaysForWrite(BaNode& node, int fluid) {
  auto& block = node.dayEquations[fluid];
  if (!block) block = std::make_unique<EquationDays>();
  return *block;
}

const BaWatchDay& watchDay(const BaNode& node, int day) {
  static const BaWatchDay kNone;
  if (!node.watchDays || day < 0 || day >= kDaySlots) return kNone;
  return (*node.watchDays)[day];
}

DayArray<BaWatchDay>& watchDaysForWrite(BaNode& node) {
  if (!node.watchDays) node.watchDays = std::make_unique<DayArray<BaWatchDay>>();
  return *node.watchDays;
}

}  // namespace zelba
