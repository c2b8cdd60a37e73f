#include "engine/diagnostics.h"

#include <numeric>
#include <utility>

namespace zelba {

namespace {

struct KindNames {
  DiagnosticKind kind;
  const char* name;   // machine-readable
  const char* title;  // for a person
  bool hasValue;      // the record's value (a factor, a volume, days) means something
};

// One row per kind, in the order of the enumeration.
constexpr KindNames kKindNames[kDiagnosticKinds] = {
    {DiagnosticKind::kIgnoredLine, "ignoredLine", "Ignored input lines", false},
    {DiagnosticKind::kPartlyUsedLine, "partlyUsedLine", "Input lines partly used", false},
    {DiagnosticKind::kFactorOutOfRange, "factorOutOfRange",
     "Field factors out of range (members got nothing)", true},
    {DiagnosticKind::kNoBaseVolume, "noBaseVolume",
     "Measured volumes with no base volume to allocate to", true},
    {DiagnosticKind::kTargetBandHit, "targetBandHit",
     "Field factors in the target band (base volumes kept)", true},
    {DiagnosticKind::kRemainderKept, "remainderKept", "Over-allocations not taken back", true},
    {DiagnosticKind::kVolumeWithoutHours, "volumeWithoutHours", "Volumes on days with 0 hours on",
     true},
    {DiagnosticKind::kNoWellTest, "noWellTest", "Wells without a well test", false},
    {DiagnosticKind::kOldWellTest, "oldWellTest", "Wells with a well test older than 90 days",
     true},
    {DiagnosticKind::kOddDate, "oddDate", "Dates off the calendar, periods cut or reversed", false},
    {DiagnosticKind::kOutputRefused, "outputRefused", "Output files not written", false},
    {DiagnosticKind::kNoNodalRate, "noNodalRate", "Wells whose nodal method found no rate", true},
    {DiagnosticKind::kNoTheoreticalVolume, "noTheoreticalVolume",
     "Wells on production with no theoretical volume (no allocation)", true},
};

const KindNames& namesOf(DiagnosticKind kind) {
  const int k = static_cast<int>(kind);
  return kKindNames[k >= 0 && k < kDiagnosticKinds ? k : 0];
}

}  // namespace

void Diagnostics::add(Diagnostic d) {
  long& seen = counts_[static_cast<int>(d.kind)];
  if (seen++ < kDetailedPerKind) records_.push_back(std::move(d));
}

long Diagnostics::total() const {
  return std::accumulate(counts_.begin(), counts_.end(), 0L);
}

const char* diagnosticKindTitle(DiagnosticKind kind) {
  return namesOf(kind).title;
}

const char* diagnosticKindName(DiagnosticKind kind) {
  return namesOf(kind).name;
}

bool diagnosticHasValue(DiagnosticKind kind) {
  return namesOf(kind).hasValue;
}

static_assert(static_cast<int>(DiagnosticKind::kNoTheoreticalVolume) == kDiagnosticKinds - 1,
              "every kind has its row of names");

}  // namespace zelba
