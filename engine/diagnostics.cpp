#include "engine/diagnostics.h"

namespace zelba {

const char* diagnosticKindTitle(DiagnosticKind kind) {
  switch (kind) {
    case DiagnosticKind::kIgnoredLine:
      return "Ignored input lines";
    case DiagnosticKind::kPartlyUsedLine:
      return "Input lines partly used";
    case DiagnosticKind::kFactorOutOfRange:
      return "Field factors out of range (members got nothing)";
    case DiagnosticKind::kNoBaseVolume:
      return "Measured volumes with no base volume to allocate to";
    case DiagnosticKind::kTargetBandHit:
      return "Field factors in the target band (base volumes kept)";
    case DiagnosticKind::kRemainderKept:
      return "Over-allocations not taken back";
    case DiagnosticKind::kVolumeWithoutHours:
      return "Volumes on days with 0 hours on";
    case DiagnosticKind::kNoWellTest:
      return "Wells without a well test";
    case DiagnosticKind::kOldWellTest:
      return "Wells with a well test older than 90 days";
  }
  return "Other";
}

}  // namespace zelba
