// The run data model: everything one engine run reads, computes and writes.
//
// One RunState holds the run's settings (RunControl), the keyword tables that
// "*Define" can change, the network nodes (nodeTable of BaNode) and the points
// of measurement (pomTable of BaPom), and the scratch lists of the well data
// sections. The input parsers fill it, the driver prepares it, the allocation
// writes its results into the same records and the writers read them. Records
// refer to each other by table index (node index, POM index), -1 meaning none.
//
// Per-day arrays have kDaySlots slots indexed by day index: day 1 is
// `periodStart`, slot 0 holds values dated before the period (the opening
// slot). Loops over the period run from `firstDay` up to but not including
// `endDay`. Per-fluid arrays have kFluidSlots slots indexed by fluid slot.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/diagnostics.h"
#include "engine/keywords.h"
#include "engine/numbers.h"

namespace zelba {

class OutputFiles;
class WorkThreads;

constexpr int kDaySlots = 32;    // opening slot 0 and days 1..31
constexpr int kMaxDays = 31;     // longest period processed
constexpr int kFluidSlots = 8;   // see FluidSlot
constexpr int kMethodSlots = 5;  // methods per fluid, in order of preference
constexpr int kTestValues = 26;  // `testColumns` ids 0..25
constexpr int kMaxHeaders = 10;  // "*Header" lines kept
constexpr int kZelFields = 8;    // "*zelfields" names kept

enum FluidSlot {
  kOil = 0,
  kGas = 1,
  kWater = 2,
  kWaterInj = 3,
  kGasInj = 4,
  kSteamInj = 5,
  kCo2Inj = 6,
  kUnnamedFluid = 7,  // no input keyword reaches it
};

// Ids of the well-test columns that the engine refers to by name.
enum TestColumnId {
  kTestDate = 0,
  kTestOil = 1,
  kTestWhfp = 2,  // wellhead flowing pressure, psi
  kTestGor = 3,
  kTestBsw = 4,
  kTestChoke = 8,
  kTestGas = 14,
  kTestWater = 16,
  kTestApi = 19,
  kTestWaterInj = 21,  // GasInj 22 and SteamInj 23 follow
  kTestCalibration = 24,
  kTestStatus = 25,
};

// "*ZEL" equation rows count their days from 1 January 1940.
constexpr double kRowDayOrigin = 19400101;

template <typename T>
using DayArray = std::array<T, kDaySlots>;
template <typename T>
using FluidArray = std::array<T, kFluidSlots>;

// A per-day block that is read like a DayArray<T> but holds each distinct
// day value once: days whose values are equal copies (a well test or an
// equation carried over the period) share one row. Reading a day through a
// const block gives its row; reaching a day through a non-const block gives
// the day a row of its own first (a copy of the shared one), so writing a
// day never changes another. `share` is the one way to make days share.
// References to days stay valid while the block lives: rows do not move.
template <typename T>
class DayRows {
 public:
  DayRows() { rows_.push_back(std::make_unique<T>()); }
  DayRows(const DayRows&) = delete;
  DayRows& operator=(const DayRows&) = delete;

  const T& operator[](int day) const { return *rows_[index_[static_cast<size_t>(day)]]; }
  T& operator[](int day) {
    unshare(day);
    return *rows_[index_[static_cast<size_t>(day)]];
  }
  // Makes `day` read what `from` reads, until either is written.
  void share(int day, int from) {
    index_[static_cast<size_t>(day)] = index_[static_cast<size_t>(from)];
  }
  size_t rowCount() const { return rows_.size(); }  // rows held, for the memory figures
  // Gives back the rows no day reads any more (after days were made to
  // share). References to days stay valid.
  void compact() {
    std::array<std::uint8_t, kDaySlots + 1> moved{};
    std::vector<std::unique_ptr<T>> kept;
    kept.reserve(rows_.size());
    for (size_t r = 0; r < rows_.size(); ++r) {
      if (!referenced(r, -1)) continue;
      moved[r] = static_cast<std::uint8_t>(kept.size());
      kept.push_back(std::move(rows_[r]));
    }
    for (std::uint8_t& row : index_) row = moved[row];
    rows_ = std::move(kept);
  }

  template <typename Block, typename Value>
  class Iterator {
   public:
    Iterator(Block& block, int day) : block_(&block), day_(day) {}
    Value& operator*() const { return (*block_)[day_]; }
    Iterator& operator++() {
      ++day_;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return day_ != other.day_; }

   private:
    Block* block_;
    int day_;
  };
  Iterator<const DayRows, const T> begin() const { return {*this, 0}; }
  Iterator<const DayRows, const T> end() const { return {*this, kDaySlots}; }
  Iterator<DayRows, T> begin() { return {*this, 0}; }
  Iterator<DayRows, T> end() { return {*this, kDaySlots}; }

 private:
  bool referenced(size_t row, int except) const {
    for (int d = 0; d < kDaySlots; ++d) {
      if (d != except && index_[static_cast<size_t>(d)] == row) return true;
    }
    return false;
  }
  void unshare(int day) {
    const size_t row = index_[static_cast<size_t>(day)];
    if (!referenced(row, day)) return;
    // A row no day reads any more is used again before a new one is made.
    for (size_t r = 0; r < rows_.size(); ++r) {
      if (r != row && !referenced(r, -1)) {
        *rows_[r] = *rows_[row];
        index_[static_cast<size_t>(day)] = static_cast<std::uint8_t>(r);
        return;
      }
    }
    rows_.push_back(std::make_unique<T>(*rows_[row]));
    index_[static_cast<size_t>(day)] = static_cast<std::uint8_t>(rows_.size() - 1);
  }

  std::array<std::uint8_t, kDaySlots> index_{};  // the row of each day
  std::vector<std::unique_ptr<T>> rows_;         // at most kDaySlots + 1
};

// An owning pointer through which a const owner reaches its block as const:
// a reader of a const node never makes a DayRows give a day its own row.
template <typename T>
class OwnedBlock {
 public:
  OwnedBlock() = default;
  OwnedBlock(std::unique_ptr<T> block) : block_(std::move(block)) {}  // NOLINT: as unique_ptr
  OwnedBlock& operator=(std::unique_ptr<T> block) {
    block_ = std::move(block);
    return *this;
  }
  explicit operator bool() const { return block_ != nullptr; }
  T& operator*() { return *block_; }
  const T& operator*() const { return *block_; }
  T* operator->() { return block_.get(); }
  const T* operator->() const { return block_.get(); }
  T* get() { return block_.get(); }
  const T* get() const { return block_.get(); }

 private:
  std::unique_ptr<T> block_;
};

// A per-day block created when it is first reached through a non-const
// owner; reading it before through a const owner gives zeros.
template <typename T>
class LazyDayArray {
 public:
  const T& operator[](int day) const {
    static const DayArray<T> kZeros{};
    return block_ ? (*block_)[static_cast<size_t>(day)] : kZeros[static_cast<size_t>(day)];
  }
  T& operator[](int day) {
    if (!block_) block_ = std::make_unique<DayArray<T>>();
    return (*block_)[static_cast<size_t>(day)];
  }

 private:
  std::unique_ptr<DayArray<T>> block_;
};

// How a day's volume was given on its "#volume" line.
enum Qualifier : std::uint8_t {
  kQualifierPlain = 0,     // a plain number
  kQualifierAbsolute = 1,  // the line ended in a field starting with 'a'
  kQualifierPercent = 2,   // the line ended in a field starting with '%'
};

struct BaFluidDays {
  DayArray<std::uint8_t> qualifier{};  // Qualifier of the day's volume
  DayArray<std::int8_t> source{};      // methodNames id that gave the day's theoretical value
  DayArray<double> volume{};     // measured volume; for wells the theoretical volume once allocated
  DayArray<double> dayResult{};  // allocated volume of the day
  DayArray<double> cumResult{};  // allocated volume summed over the allocation passes
};

// Shared by every node: what a fluid whose block was never written reads as.
extern const BaFluidDays kNoFluidDays;

// Memory for the day blocks of a run's nodes: taken from the system in large
// pieces (which it may back with large pages: a month of 100,000 wells needs
// a quarter of a gigabyte of them) and given back all at once when the run is
// released. Not for two threads at once.
class BlockArena {
 public:
  BlockArena();
  ~BlockArena();
  BlockArena(const BlockArena&) = delete;
  BlockArena& operator=(const BlockArena&) = delete;

  static constexpr size_t kAlignment = 64;

  // `bytes` of zeroed memory, aligned for any block; throws std::bad_alloc
  // when the system has no more.
  void* allocate(size_t bytes) {
    bytes = (bytes + kAlignment - 1) / kAlignment * kAlignment;
    if (static_cast<size_t>(end_ - next_) < bytes) takePiece(bytes);
    void* block = next_;
    next_ += bytes;
    if (next_ >= told_) tellFiller();
    return block;
  }
  // Gives every piece back. REQUIRES: nothing taken from the arena is used
  // any more.
  void release();

 private:
  struct Piece {
    void* base;
    size_t size;
  };
  class Filler;
  void takePiece(size_t bytes);
  void tellFiller();
  std::vector<Piece> pieces_;
  char* next_ = nullptr;  // the free part of the newest piece
  char* end_ = nullptr;
  // Once a run has shown itself large, the system's zeroing of the newest
  // piece's pages is done on a thread of its own a little ahead of next_,
  // which it is told of each time next_ passes told_.
  std::unique_ptr<Filler> filler_;
  char* told_ = nullptr;
};

// An owning pointer to a record made by makeRecord(): in a run's arena, where
// the record is destroyed but its memory stays until the arena is released,
// or on the heap. A std::unique_ptr of the heap converts to one.
template <typename T>
struct RecordDelete {
  RecordDelete() = default;
  explicit RecordDelete(bool inArena) : inArena(inArena) {}
  RecordDelete(std::default_delete<T>) {}  // NOLINT: a heap record, as unique_ptr
  void operator()(T* record) const {
    if (inArena) {
      record->~T();
    } else {
      delete record;
    }
  }
  bool inArena = false;
};
template <typename T>
using Record = std::unique_ptr<T, RecordDelete<T>>;

// A new record in `arena` (the heap when null): a large run's nodes and
// points of measurement come from a few large pieces of memory instead of
// hundreds of thousands of small ones. REQUIRES: alignof(T) is at most the
// arena's alignment, and the arena outlives the record's memory use.
template <typename T>
Record<T> makeRecord(BlockArena* arena) {
  static_assert(alignof(T) <= BlockArena::kAlignment);
  if (arena == nullptr) return Record<T>(new T(), RecordDelete<T>(false));
  return Record<T>(new (arena->allocate(sizeof(T))) T(), RecordDelete<T>(true));
}

// The per-fluid day blocks of a node, indexed by fluid slot like a
// FluidArray<BaFluidDays>. A block is created when it is first reached
// through a non-const node, so a run holds blocks only for the fluids it
// reads in, evaluates or allocates (a month of eight fluids would be 6.5 KB
// a well). Reading a block that was never created (through a const node)
// gives kNoFluidDays, all zeros. Blocks come from the run's arena when the
// node was given one, else from the heap. Creating a block is not safe while
// another thread reaches the same node or arena; the allocation creates the
// blocks of the fluid it evaluates before it shares the wells out between
// threads.
class FluidBlocks {
 public:
  FluidBlocks() = default;
  ~FluidBlocks();
  FluidBlocks(const FluidBlocks&) = delete;
  FluidBlocks& operator=(const FluidBlocks&) = delete;

  // Blocks are created in `arena` from now on. REQUIRES: no block created yet.
  void createIn(BlockArena* arena) { arena_ = arena; }

  const BaFluidDays& operator[](int fluid) const {
    const BaFluidDays* block = blocks_[static_cast<size_t>(fluid)];
    return block ? *block : kNoFluidDays;
  }
  BaFluidDays& operator[](int fluid) {
    BaFluidDays*& block = blocks_[static_cast<size_t>(fluid)];
    if (!block) block = create();
    return *block;
  }
  bool created(int fluid) const { return blocks_[static_cast<size_t>(fluid)] != nullptr; }

  // Reads every slot in order, kNoFluidDays for the blocks not created.
  class Iterator {
   public:
    Iterator(const FluidBlocks& blocks, int fluid) : blocks_(&blocks), fluid_(fluid) {}
    const BaFluidDays& operator*() const { return (*blocks_)[fluid_]; }
    Iterator& operator++() {
      ++fluid_;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return fluid_ != other.fluid_; }

   private:
    const FluidBlocks* blocks_;
    int fluid_;
  };
  Iterator begin() const { return Iterator(*this, 0); }
  Iterator end() const { return Iterator(*this, kFluidSlots); }

 private:
  BaFluidDays* create();

  FluidArray<BaFluidDays*> blocks_{};
  BlockArena* arena_ = nullptr;  // null: the blocks are the heap's, freed here
};

struct BaDayEquation {
  std::uint8_t present = 0;        // the day has an equation, given or carried forward
  std::uint8_t given = 0;          // an equation line gave this very day a known method
  std::int32_t curveVariable = 0;  // curveVariables id of an "interpolate" equation
  std::int32_t coefCount = 0;      // number of polynomial coefficients
  std::int32_t polyVariable = 0;   // curveVariables id of a "polynomial" equation
  std::vector<float> coef;         // polynomial coefficients, kept apart from the parameters
  float constRate = 0;             // Const
  float pi = 0;                    // productivity index
  float pres = 0;                  // reservoir pressure, psi
  float qi = 0;                    // initial decline rate
  float fetkC = 0;                 // Fetkovich coefficient
  float declN = 0;                 // decline or Fetkovich exponent
  float di = 0;                    // decline rate per month
  float slope = 0;                 // well characteristic slope
  float yo = 0;                    // well characteristic intercept
  double refDate = 0;              // decline reference host date (needs more than single precision)
  float rowDay = 0;                // "*ZEL" row: days from 1940-01-01 to the row's date
  float vogelMax = 0;              // Vogel maximum rate
  float kh = 0;                    // permeability-thickness
  float pct = 0;                   // share in percent
  float choke1 = 0;                // choke equation parameters
  float choke2 = 0;
  float choke3 = 0;
};

struct BaTestDay {
  std::uint8_t valid = 0;  // the day holds a usable test (every period day after preparation)
  std::uint8_t given = 0;  // an accepted test line was read for the day
  std::array<float, kTestValues> values{};  // indexed by testColumns id
};

struct BaDayRoute {
  std::int32_t pomIndex = -1;  // point of measurement receiving the well's flow that day
  float hoursOn = 24.0f;       // hours produced that day, 0..24
};

struct BaWatchDay {
  double watchThp = 0;    // day average tubing-head pressure of the well-watch samples
  double watchChoke = 0;  // day average choke
  double watchRate = 0;   // time-weighted average rate of the day
};

// The single-precision slots of BaWellProp by what they hold: the "wellProp"
// parameter (p1 to p7) or the "dateinfo" one kept there.
enum WellPropSlot : int {
  kPropThickness = 1,        // p1, feet
  kPropPorosity = 2,         // p2, percent
  kPropRadius = 3,           // p3, wellbore radius in inches
  kPropSkin = 4,             // p5
  kPropCompressibility = 5,  // p6
  kPropKh = 6,               // p7, permeability times thickness
  kPropPermeability = 7,     // p4, millidarcy
  kPropTestAgeLimit = 8,     // "dateinfo" p3, days
};

struct BaWellProp {
  std::array<float, 9> slot{};       // by WellPropSlot; slot[0] unused
  std::array<double, 2> dateInfo{};  // "dateinfo" p1 and p2
};

struct BaWellDesc {
  std::array<float, 4> values{};  // "welldesc" p1..p4
};

using EquationDays = DayRows<BaDayEquation>;
using TestDays = DayRows<BaTestDay>;

struct BaNode {
  std::int32_t typeId = -1;    // row id in entityTypes
  std::int32_t pomIndex = -1;  // point of measurement being defined when the node was created
  FluidArray<std::uint8_t> hasVolume{};  // a measured volume of the fluid was read
  std::uint8_t allocated = 0;            // the allocation gave this node results
  std::uint8_t stage = 0;                // separation stage 0, 1 or 2
  std::uint8_t excluded = 0;  // range-check code written by the allocation (0, 100, 103, 104)
  FluidArray<std::array<std::uint8_t, kMethodSlots>> methods{};  // methodNames ids per fluid
  std::string name;                                              // upper-cased, any length
  std::int32_t watchSampleCount = 0;  // well-watch samples collected for this node
  float shrinkage = 0;                // shrinkage factor, 0 when not given
  double beforeDate = 0;              // earliest "*ZEL" row dated before the period, 0 when none
  double beforeValue = 0;
  double afterDate = 0;  // latest "*ZEL" row dated after the period, 0 when none
  double afterValue = 0;
  std::int32_t reportOffset = 0;   // position of the node's section in the text report
  double newestTestDate = 0;       // date of the newest accepted dated test line, 0 when none
  std::int32_t acceptedTests = 0;  // well-test lines accepted for the node
  // Per-day blocks of well-type nodes; null for facilities.
  std::unique_ptr<BaWellProp> wellProp;
  FluidArray<OwnedBlock<EquationDays>> dayEquations;  // created on first use
  OwnedBlock<TestDays> testDays;
  std::unique_ptr<BaWellDesc> wellDesc;
  Record<DayArray<BaDayRoute>> routes;
  std::unique_ptr<DayArray<BaWatchDay>> watchDays;  // created on first use
  std::int32_t activeFluid = -1;                    // fluid slot being allocated
  FluidBlocks fluids;                               // created on first write, see FluidBlocks
  LazyDayArray<double> stock;      // stock (tank inventory) volumes; created when written
  FluidArray<double> runTotalA{};  // running totals of the point-of-measurement allocation
  FluidArray<double> runTotalB{};
};

struct BaPom {
  std::int32_t typeId = -1;           // entity type of the point of measurement
  std::int32_t previousPom = -1;      // the point defined before this one, -1 for the first
  std::int32_t index = -1;            // its own POM index
  std::int32_t nodeIndex = -1;        // the node standing for the point itself
  std::int32_t stage = 0;             // 0, 1 or 2
  std::vector<std::int32_t> members;  // member node indexes, in the order they were read
  float calibration = 0;
  float psep = 0;  // separator pressure, psi
  float gor = 0;
  float bsw = 0;
  FluidArray<DayArray<double>> fieldFactor{};  // computed by the allocation
  // What the allocation did at this point, for the run's diagnostics and
  // results: per fluid and range start day, whether a field factor was
  // computed and its range-check code; per fluid, the totals over the run.
  FluidArray<DayArray<std::uint8_t>> factorComputed{};
  FluidArray<DayArray<std::uint8_t>> rangeCode{};
  FluidArray<double> measuredTotal{};   // volume to allocate, after shrinkage and stock
  FluidArray<double> baseTotal{};       // members' base volumes
  FluidArray<double> allocatedTotal{};  // given to the members

  std::int32_t memberCount() const { return static_cast<std::int32_t>(members.size()); }
};

struct RunControl {
  double rangeMin = 0.0;            // lowest acceptable field factor
  double rangeMax = 10000000000.0;  // highest acceptable field factor
  double precisionScale = 1.0;      // 10 to the power `precision`, set by preparation
  double targetLow = 0;             // target band of the field factor
  double targetHigh = 0;
  double periodStart = 10000000000.0;  // host date of day 1
  double periodEnd = 0;                // host date of the last day
  double testDateAfter = 0;            // earliest accepted date of well tests and dated equations
  double priorTestDays = 0;            // day limit of the same rule; takes precedence when not 0
  std::uint8_t metric = 0;             // the load file carries its metric marker
  std::uint8_t html = 0;               // the report is written as HTML pages
  std::int32_t dailyMode = 1;          // 1 daily, 0 monthly processing
  std::int32_t firstDay = 32;          // first day index of the period
  std::int32_t endDay = 0;         // last day index while loading, one past it after preparation
  std::int32_t firstWellType = 4;  // entityTypes id of the first well type
  std::int32_t precision = 0;      // decimals kept when allocated volumes are cut
  std::int32_t fromPom = 0;        // point of measurement where allocation starts; -1 unresolved
  std::int32_t latestOnly = 0;     // keep only the latest well test per well
  std::int32_t ascending = 0;      // accepted and stored; nothing reads it
  std::int32_t maxNameLength = 0;  // longest node name seen (report column width)
  std::uint8_t interpolate = 0;    // equations are interpolated between dated entries
  std::uint8_t nominal = 0;        // equations are nominal rates
  std::uint8_t bswFraction = 0;    // BS&W in well tests is a fraction, not a percentage
  FluidArray<std::uint8_t> hasVolumes{};          // a measured volume of the fluid was read
  std::uint8_t periodGiven = 0;                   // "*period" gave the period explicitly
  FluidArray<std::uint8_t> theoretical{};         // the fluid is allocated from theoretical rates
  std::vector<std::string> headers;               // report header lines, at most kMaxHeaders
  std::string zelTable;                           // host table named in the load file
  std::array<std::string, kZelFields> zelFields;  // host field per allocated load-file column
  std::string reportFile;                         // report path (text) or HTML base name
  std::string totalsFile;                         // allocated-totals table path
  std::string loadFile;                           // host load file path
  std::string htmlDirectory;        // put in front of every HTML page name but the frameset
  std::array<float, 9> resProp{};   // "ResProp" p1..p9
  std::array<float, 11> pvtProp{};  // "PVTPROP" p1..p11

  std::int32_t headerCount() const { return static_cast<std::int32_t>(headers.size()); }
};

// One status change of the "#time" status mode.
struct BaStatusEvent {
  std::int32_t date = 0;  // yyyymmdd
  float time = 0;         // time of day in hours
  std::string status;     // first two characters of the status field; "up" means up
};

// One well-watch sample.
struct BaWatchSample {
  std::int32_t date = 0;  // yyyymmdd
  double time = 0;        // time of day in seconds
  double thp = 0;
  double choke = 0;
  double rate = 0;
};

// Points (x ascending) that a method interpolates between for one well, and
// the position where the last lookup stopped (days are looked up in order).
struct InterpolationTable {
  std::vector<double> x;
  std::vector<double> y;
  size_t cursor = 1;

  void clear() {
    x.clear();
    y.clear();
    cursor = 1;
  }
  void add(double px, double py) {
    x.push_back(px);
    y.push_back(py);
  }
  size_t count() const { return x.size(); }
};

// Working state the allocation shares between the wells it evaluates.
struct AllocationScratch {
  // Calibration of the point of measurement being evaluated (1.0 when not
  // positive); 0 until a point has been evaluated in the run.
  double calibrationDefault = 0;
  InterpolationTable testTable;      // well-test values by day slot
  InterpolationTable equationTable;  // "Kh" values by days since 1940-01-01
  // The days (bit d for day index d) on which a well's nodal method found no
  // rate and its method chain went on, for the review after allocation.
  std::unordered_map<const BaNode*, std::uint32_t> noNodalRateDays;
  // Measured volume of each fluid that no member got: a field factor out of
  // range, or no base volume to allocate it to.
  FluidArray<double> unallocated{};
  // The members of the point and days being allocated; kept so that its
  // memory serves every point and day of the run.
  std::vector<BaNode*> members;
};

// The key of a node in `nodeIndexByKey`: its type id and its name. Names are
// hashed and compared without regard to ASCII case, so a name as the input
// writes it finds its node without an upper-cased copy; the key of a stored
// node views that node's own (upper-cased) name.
struct NodeKey {
  std::int32_t typeId = -1;
  std::string_view name;
};
struct NodeKeyHash {
  size_t operator()(const NodeKey& key) const;
};
struct NodeKeyEqual {
  bool operator()(const NodeKey& a, const NodeKey& b) const;
};

// The nodes by key: open addressing over slots that hold a key's hash and its
// node's index, so that a lookup reads one slot and, only when the hashes
// agree, the node's own type and name. Nodes are never removed.
class NodeIndex {
 public:
  // The index of the node of `key` in `nodes`, or -1.
  std::int32_t find(const NodeKey& key, const std::vector<Record<BaNode>>& nodes) const;
  // Adds `node`, whose key is `key`. REQUIRES: no node of that key yet.
  void insert(const NodeKey& key, std::int32_t node);
  size_t size() const { return used_; }
  bool empty() const { return used_ == 0; }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    std::int32_t node = -1;  // -1: free
  };
  void grow();
  std::vector<Slot> slots_;  // a power of two of them, at most half used
  size_t used_ = 0;
};

struct RunState {
  RunControl control;
  NameTable entityTypes;  // replaced by "*Define"; id = row number
  NameTable fluidNames;
  // The nodes' records and fluid blocks; on the heap, so that a run state
  // that is moved keeps the arena its nodes were given.
  std::unique_ptr<BlockArena> blockArena;
  std::vector<Record<BaNode>> nodeTable;  // node index = position
  std::vector<Record<BaPom>> pomTable;    // POM index = position
  std::vector<BaStatusEvent> statusEvents;
  // Well-watch samples of each well, in file order, keyed by node index.
  std::unordered_map<std::int32_t, std::vector<BaWatchSample>> watchSamples;
  std::int32_t currentPom = -1;  // point of measurement being defined in "#network"
  // Default method lists of "*Methods", copied into every well created.
  FluidArray<std::array<std::uint8_t, kMethodSlots>> defaultMethods{};
  DayArray<double> dayDates{};    // host date of each day index of the period
  bool periodStartFixed = false;  // a dated volume line has fixed the derived period start
  AllocationScratch scratch;
  Diagnostics diagnostics;  // ignored input and allocation exceptions, in the order met
  // Where every gas curve fit writes its trace file; null for no trace. A
  // run option, set by the driver for the allocation only.
  OutputFiles* traceFiles = nullptr;
  // Traverses one nodal solution may run; 0 for no bound. A run option that
  // only the fuzz target sets, to tell a hang from a slow input: it changes
  // results.
  int nodalTraverseBudget = 0;
  // The threads the allocation and the writers share independent work out
  // to; null (the default) runs everything on the calling thread. A run
  // option, set by the driver for the allocation and the outputs; it changes
  // no result.
  WorkThreads* workThreads = nullptr;
  // Told how far the run has come ("allocating Oil", point 3 of 120); a run
  // option for a program that shows progress. The engine prints nothing.
  std::function<void(std::string_view phase, int step, int steps)> progress;
  // Finds a node by (type id, name) without scanning nodeTable.
  NodeIndex nodeIndexByKey;
  // The node findNode found or made last: the sections of an input mostly
  // name their nodes in the order they were made, so the node after it is
  // tried first.
  std::int32_t lastFoundNode = -1;
  // The first point of measurement whose own node is the key.
  std::unordered_map<std::int32_t, std::int32_t> pomIndexByNode;

  std::int32_t nodeCount() const { return static_cast<std::int32_t>(nodeTable.size()); }
  std::int32_t pomCount() const { return static_cast<std::int32_t>(pomTable.size()); }
};

// Puts every field back to its value before any input is read: no nodes or
// points of measurement, the RunControl defaults, the seeded entity-type and
// fluid tables, `currentPom` -1. Memory held from an earlier run is freed.
void resetRunState(RunState& rs);

// Frees every node, point of measurement and scratch list. The settings stay.
void releaseRunState(RunState& rs);

// The run's arena for its records and day blocks, made when first needed.
BlockArena& runArena(RunState& rs);

// Index of the node (type, name), created when it does not exist yet (a new
// well gets its day blocks and the default method lists); -1 when the type
// is not in `entityTypes` or the name is empty. A node that exists is
// returned unchanged. `created`, when given, tells whether the node is new.
// ("#network" reads the rest of the line that named a new node itself.)
int findNode(RunState& rs, std::string_view typeName, std::string_view name,
             bool* created = nullptr);

// Small queries used by the allocation and the writers.
bool isWellType(const RunState& rs, int typeId);  // typeId is a well type
// A well with its day blocks (routes, tests, ...): one that the run created as
// a well, not a node of a type that "*Define" made a well type later.
bool isWellWithDays(const RunState& rs, const BaNode& node);
// The point whose members point `pom` allocates to and evaluates: a second
// stage takes the members of the point defined just before it; -1 for none.
int memberListPom(const RunState& rs, int pom);
int pomByType(const RunState& rs, int typeId);     // first POM of that type, -1 if none
int pomOfNode(const RunState& rs, int nodeIndex);  // first POM whose own node it is, -1 if none
std::string pomName(const RunState& rs, int pom);  // name of the POM's node
std::string pomMember(const RunState& rs, int pom, int k);  // name of its k-th member
int pomMemberCount(const RunState& rs, int pom);  // members in daily mode, 0 in monthly mode
int entryCount(const RunState& rs);               // nodeCount daily, pomCount monthly

// The day indexes of a prepared run's period: `first` up to but not including
// `end`. The one rule every pass and writer loops by.
struct DayRange {
  int first;  // firstDay, at least 1
  int end;    // endDay, at most kDaySlots
};
DayRange periodDays(const RunControl& rc);
std::string typeName(const RunState& rs, int id);   // entityTypes row name, "" if none
std::string fluidName(const RunState& rs, int id);  // name of fluid slot 0..6, "" otherwise
int lookupEntityType(const RunState& rs, std::string_view text);  // id or -1
int lookupFluid(const RunState& rs, std::string_view text);       // fluidNames id or -1

// Equation and well-watch blocks are created on first use; reading a block
// that was never written gives an empty entry.
const BaDayEquation& dayEquation(const BaNode& node, int fluid, int day);
EquationDays& equationDaysForWrite(BaNode& node, int fluid);  // REQUIRES: a well node
const BaWatchDay& watchDay(const BaNode& node, int day);
DayArray<BaWatchDay>& watchDaysForWrite(BaNode& node);  // REQUIRES: a well node

}  // namespace zelba
