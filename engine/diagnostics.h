// What a run decided without saying so: input lines it ignored or only partly
// used, and the exceptions of the allocation. The engine prints nothing; the
// records stay in the run state until it is released, for programs that
// explain a run to its user.
#pragma once

#include <string>
#include <vector>

namespace zelba {

enum class DiagnosticKind {
  kIgnoredLine,         // an input line the run did not use at all
  kPartlyUsedLine,      // an input line of which some fields were not used
  kFactorOutOfRange,    // a field factor failed the range check: the members got nothing
  kNoBaseVolume,        // a measured volume with no base volume to allocate it to
  kTargetBandHit,       // the field factor fell in the target band: base volumes kept
  kRemainderKept,       // the members got more than was measured; nothing was taken back
  kVolumeWithoutHours,  // a well has a volume on a day with 0 hours on
  kNoWellTest,          // a well whose methods need a well test has none
  kOldWellTest,         // a well's newest test is older than 90 days at the period start
};
constexpr int kDiagnosticKinds = 9;

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

using Diagnostics = std::vector<Diagnostic>;

// A short title of each kind, for tables.
const char* diagnosticKindTitle(DiagnosticKind kind);

}  // namespace zelba
