// What a run decided without saying so: input lines it ignored or only partly
// used, and the exceptions of the allocation. The engine prints nothing; the
// records stay in the run state until it is released, for programs that
// explain a run to its user.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace zelba {

enum class DiagnosticKind {
  kIgnoredLine,          // an input line the run did not use at all
  kPartlyUsedLine,       // an input line of which some fields were not used
  kFactorOutOfRange,     // a field factor failed the range check: the members got nothing
  kNoBaseVolume,         // a measured volume with no base volume to allocate it to
  kTargetBandHit,        // the field factor fell in the target band: base volumes kept
  kRemainderKept,        // the members got more than was measured; nothing was taken back
  kVolumeWithoutHours,   // a well has a volume on a day with 0 hours on
  kNoWellTest,           // a well whose methods need a well test has none
  kOldWellTest,          // a well's newest test is older than 90 days at the period start
  kOddDate,              // a date that is not a calendar date, or a period cut or reversed
  kOutputRefused,        // an output path that names the input or an earlier output: not written
  kNoNodalRate,          // a well's nodal method found no rate on some days; the chain went on
  kNoTheoreticalVolume,  // a well on production with a theoretical volume of 0: it gets nothing
};
constexpr int kDiagnosticKinds = 13;

struct Diagnostic {
  DiagnosticKind kind = DiagnosticKind::kIgnoredLine;
  std::string reason;   // plain words
  long line = 0;        // input line number; 0 for allocation records
  std::string section;  // input section of the line ("#volume"), empty for allocation records
  int node = -1;        // node concerned, -1 none
  int pom = -1;         // point of measurement concerned, -1 none
  int fluid = -1;       // fluid slot, -1 none
  int day = -1;         // day index, -1 none
  double value = 0;     // the field factor or volume concerned
  int code = 0;         // range-check code
};

// The records of a run. A file of millions of unusable lines must not
// exhaust memory: the first kDetailedPerKind records of each kind are kept
// in full, the rest only counted.
class Diagnostics {
 public:
  static constexpr long kDetailedPerKind = 1000;

  // Counts `d` and keeps it while its kind has fewer than kDetailedPerKind.
  void add(Diagnostic d);
  // Every record of `kind` the run made, kept or only counted.
  long count(DiagnosticKind kind) const { return counts_[static_cast<int>(kind)]; }
  long total() const;

  // The kept records, in the order they were made.
  const std::vector<Diagnostic>& records() const { return records_; }
  std::vector<Diagnostic>::const_iterator begin() const { return records_.begin(); }
  std::vector<Diagnostic>::const_iterator end() const { return records_.end(); }
  size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }

 private:
  std::vector<Diagnostic> records_;
  std::array<long, kDiagnosticKinds> counts_{};
};

// A short title of each kind, for tables ("Ignored input lines").
const char* diagnosticKindTitle(DiagnosticKind kind);
// The name of each kind in machine-readable results ("ignoredLine").
const char* diagnosticKindName(DiagnosticKind kind);
// Whether a record of `kind` carries a value (a field factor, a volume, days).
bool diagnosticHasValue(DiagnosticKind kind);

}  // namespace zelba
