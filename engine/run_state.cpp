#include "engine/run_state.h"

#include <sys/mman.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <mutex>
#include <new>
#include <thread>
#include <type_traits>

#include "engine/text.h"

namespace zelba {

const BaFluidDays kNoFluidDays{};

namespace {

constexpr size_t kFirstPiece = size_t{4} << 20;
constexpr size_t kLargestPiece = size_t{64} << 20;
constexpr size_t kLargePage = size_t{2} << 20;

}  // namespace

// Faults in the pages of a piece on a thread of its own, at most kAhead
// bytes beyond the point the arena has handed out, so that the system clears
// them while the run's thread goes on reading. The pages are populated by the
// system (madvise), never written here, so the arena's own writes into them
// need no synchronisation; without that call (kernels before 5.14) the
// filler gives up at once and the run's thread faults them in as before.
class BlockArena::Filler {
 public:
  static constexpr size_t kStep = kLargePage;
  static constexpr size_t kAhead = 4 * kLargePage;

  Filler(char* start, char* end) : reached_(start) {
    thread_ = std::thread([this, start, end] { fill(start, end); });
  }
  ~Filler() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  void reached(char* at) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      reached_ = at;
    }
    wake_.notify_one();
  }

 private:
  void fill(char* start, char* end) {
    for (char* at = start; at < end; at += kStep) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stop_ || at < reached_ + kAhead; });
        if (stop_) return;
      }
      const size_t size = std::min(kStep, static_cast<size_t>(end - at));
      if (madvise(at, size, MADV_POPULATE_WRITE) != 0) return;
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  char* reached_;
  bool stop_ = false;
  std::thread thread_;
};

void BlockArena::takePiece(size_t bytes) {
  size_t size = pieces_.empty() ? kFirstPiece : std::min(pieces_.back().size * 2, kLargestPiece);
  size = std::max(size, bytes + kLargePage);
  // One large page more than needed, so that the piece can start on one.
  void* base =
      mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) throw std::bad_alloc();
  pieces_.push_back({base, size + kLargePage});
  const auto address = reinterpret_cast<std::uintptr_t>(base);
  char* start = reinterpret_cast<char*>((address + kLargePage - 1) / kLargePage * kLargePage);
  madvise(start, size, MADV_HUGEPAGE);  // a hint; without large pages all works the same
  next_ = start;
  end_ = start + size;
  // The first pieces are a small run's whole memory: the run's thread faults
  // them in. From the third on, the filler does.
  filler_.reset();
  told_ = end_;
  if (pieces_.size() < 3) return;
  try {
    filler_ = std::make_unique<Filler>(start, end_);
    told_ = std::min(end_, next_ + Filler::kStep);
  } catch (const std::exception&) {
    // No thread to be had: the pages are faulted in where they are used.
  }
}

void BlockArena::tellFiller() {
  if (!filler_) {
    told_ = end_;
    return;
  }
  filler_->reached(next_);
  told_ = std::min(end_, next_ + Filler::kStep);
}

BlockArena::BlockArena() = default;

BlockArena::~BlockArena() {
  release();
}

void BlockArena::release() {
  filler_.reset();
  for (const Piece& piece : pieces_) munmap(piece.base, piece.size);
  std::vector<Piece>().swap(pieces_);
  next_ = end_ = told_ = nullptr;
}

FluidBlocks::~FluidBlocks() {
  if (arena_ != nullptr) return;  // the arena gives the blocks back
  for (BaFluidDays* block : blocks_) delete block;
}

BaFluidDays* FluidBlocks::create() {
  static_assert(std::is_trivially_destructible_v<BaFluidDays>);
  if (arena_ == nullptr) return new BaFluidDays{};
  return new (arena_->allocate(sizeof(BaFluidDays))) BaFluidDays{};
}

namespace {

char upperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

const BaNode* nodeAt(const RunState& rs, int index) {
  return index >= 0 && index < rs.nodeCount() ? rs.nodeTable[index].get() : nullptr;
}

const BaPom* pomAt(const RunState& rs, int pom) {
  return pom >= 0 && pom < rs.pomCount() ? rs.pomTable[pom].get() : nullptr;
}

void giveWellBlocks(RunState& rs, BaNode& node) {
  node.routes = makeRecord<DayArray<BaDayRoute>>(&runArena(rs));
  for (BaDayRoute& route : *node.routes) route = BaDayRoute{rs.currentPom, 24.0f};
  node.testDays = std::make_unique<TestDays>();
  node.wellDesc = std::make_unique<BaWellDesc>();
  node.wellProp = std::make_unique<BaWellProp>();
  node.methods = rs.defaultMethods;
}

}  // namespace

size_t NodeKeyHash::operator()(const NodeKey& key) const {
  // FNV-1a over the type id and the upper-cased name.
  std::uint64_t hash = 14695981039346656037ull ^ static_cast<std::uint32_t>(key.typeId);
  hash *= 1099511628211ull;
  for (const char c : key.name) {
    hash ^= static_cast<unsigned char>(upperAscii(c));
    hash *= 1099511628211ull;
  }
  // Mixed, so that the low bits a table of a power of two slots uses depend
  // on every character.
  hash ^= hash >> 31;
  hash *= 0xbf58476d1ce4e5b9ull;
  hash ^= hash >> 29;
  return static_cast<size_t>(hash);
}

bool NodeKeyEqual::operator()(const NodeKey& a, const NodeKey& b) const {
  if (a.typeId != b.typeId || a.name.size() != b.name.size()) return false;
  for (size_t i = 0; i < a.name.size(); ++i) {
    if (upperAscii(a.name[i]) != upperAscii(b.name[i])) return false;
  }
  return true;
}

std::int32_t NodeIndex::find(const NodeKey& key, const std::vector<Record<BaNode>>& nodes) const {
  if (slots_.empty()) return -1;
  const std::uint64_t hash = NodeKeyHash{}(key);
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.node < 0) return -1;
    if (slot.hash != hash) continue;
    const BaNode& node = *nodes[static_cast<size_t>(slot.node)];
    if (NodeKeyEqual{}(key, NodeKey{node.typeId, node.name})) return slot.node;
  }
}

void NodeIndex::insert(const NodeKey& key, std::int32_t node) {
  if (2 * (used_ + 1) > slots_.size()) grow();
  const std::uint64_t hash = NodeKeyHash{}(key);
  const size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  while (slots_[i].node >= 0) i = (i + 1) & mask;
  slots_[i] = Slot{hash, node};
  ++used_;
}

void NodeIndex::grow() {
  const std::vector<Slot> old = std::move(slots_);
  slots_.assign(std::max<size_t>(1024, 2 * old.size()), Slot{});
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.node < 0) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].node >= 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

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
  rs.workThreads = nullptr;
  rs.progress = nullptr;
}

void releaseRunState(RunState& rs) {
  // Swapping with empty containers gives their memory back.
  std::vector<Record<BaNode>>().swap(rs.nodeTable);
  std::vector<Record<BaPom>>().swap(rs.pomTable);
  rs.blockArena.reset();  // after the nodes whose blocks it holds
  std::vector<BaStatusEvent>().swap(rs.statusEvents);
  std::unordered_map<std::int32_t, std::vector<BaWatchSample>>().swap(rs.watchSamples);
  rs.nodeIndexByKey = NodeIndex{};
  rs.lastFoundNode = -1;
  std::unordered_map<std::int32_t, std::int32_t>().swap(rs.pomIndexByNode);
  rs.diagnostics = Diagnostics{};
}

int findNode(RunState& rs, std::string_view typeNameText, std::string_view name, bool* created) {
  if (created) *created = false;
  const int typeId = lookupEntityType(rs, typeNameText);
  if (typeId < 0 || name.empty()) return -1;
  const NodeKey wanted{typeId, name};
  if (const int next = rs.lastFoundNode + 1; next > 0 && next < rs.nodeCount()) {
    const BaNode& node = *rs.nodeTable[next];
    if (NodeKeyEqual{}(wanted, NodeKey{node.typeId, node.name})) return rs.lastFoundNode = next;
  }
  if (const int found = rs.nodeIndexByKey.find(wanted, rs.nodeTable); found >= 0) {
    return rs.lastFoundNode = found;
  }
  std::string upper(name);
  toUpperAscii(upper);

  Record<BaNode> node = makeRecord<BaNode>(&runArena(rs));
  if (isWellType(rs, typeId)) giveWellBlocks(rs, *node);
  node->fluids.createIn(rs.blockArena.get());
  node->typeId = typeId;
  node->pomIndex = rs.currentPom;
  if (static_cast<long long>(upper.size()) > rs.control.maxNameLength) {
    rs.control.maxNameLength = static_cast<std::int32_t>(upper.size());
  }
  node->name = std::move(upper);

  const int index = rs.nodeCount();
  // The node's record does not move, so neither does the name its key views.
  const NodeKey key{typeId, node->name};
  rs.nodeTable.push_back(std::move(node));
  rs.nodeIndexByKey.insert(key, index);
  if (created) *created = true;
  return rs.lastFoundNode = index;
}

BlockArena& runArena(RunState& rs) {
  if (!rs.blockArena) rs.blockArena = std::make_unique<BlockArena>();
  return *rs.blockArena;
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
