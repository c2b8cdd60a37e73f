#include "output/diagnostics_table.h"

#include <algorithm>

#include "engine/dates.h"
#include "output/report_common.h"

namespace zelba {

namespace {

std::string nodeName(const RunState& rs, int node) {
  return node >= 0 && node < rs.nodeCount() ? rs.nodeTable[node]->name : std::string();
}

// Where a record points: the input line, or the node, fluid and day.
std::string location(const RunState& rs, const Diagnostic& d) {
  if (d.line > 0) {
    return "line " + std::to_string(d.line) + (d.section.empty() ? "" : " " + d.section);
  }
  if (d.node < 0) return d.section;  // a record of the run as a whole
  std::string text = nodeName(rs, d.node);
  if (d.fluid >= 0) text += " " + fluidName(rs, d.fluid);
  if (d.day >= 0) {
    char date[32];
    std::snprintf(date, sizeof date, " %.0f", dayDate(rs, d.day));
    text += date;
  }
  return text;
}

std::string detail(const Diagnostic& d) {
  char text[96] = "";
  switch (d.kind) {
    case DiagnosticKind::kFactorOutOfRange:
      std::snprintf(text, sizeof text, " (factor %.4f, code %d)", d.value, d.code);
      break;
    case DiagnosticKind::kTargetBandHit:
      std::snprintf(text, sizeof text, " (factor %.4f)", d.value);
      break;
    case DiagnosticKind::kNoBaseVolume:
    case DiagnosticKind::kRemainderKept:
    case DiagnosticKind::kVolumeWithoutHours:
      std::snprintf(text, sizeof text, " (%.1f)", d.value);
      break;
    case DiagnosticKind::kOldWellTest:
      std::snprintf(text, sizeof text, " (%.0f days)", d.value);
      break;
    case DiagnosticKind::kNoNodalRate:
      std::snprintf(text, sizeof text, " (on %.0f days)", d.value);
      break;
    case DiagnosticKind::kNoTheoreticalVolume:
      std::snprintf(text, sizeof text, " (on %.0f days from this one)", d.value);
      break;
    default:
      break;
  }
  return text;
}

void writeRecords(const RunState& rs, TextSink& out) {
  put(out, "Diagnostics: %ld record(s)\n", rs.diagnostics.total());
  for (int kind = 0; kind < kDiagnosticKinds; ++kind) {
    const auto k = static_cast<DiagnosticKind>(kind);
    const long count = rs.diagnostics.count(k);
    if (count == 0) continue;
    put(out, "\n%s: %ld\n", diagnosticKindTitle(k), count);
    long shown = 0;
    for (const Diagnostic& d : rs.diagnostics) {
      if (d.kind != k) continue;
      put(out, "  %-28s %s%s\n", location(rs, d).c_str(), d.reason.c_str(), detail(d).c_str());
      ++shown;
    }
    if (shown < count) put(out, "  ... and %ld more, counted but not kept\n", count - shown);
  }
}

void writePointSummary(const RunState& rs, TextSink& out) {
  const RunControl& rc = rs.control;
  out.write("\nPoints of measurement\n");
  put(out, "  %-20s %-8s %12s %12s %12s  %s\n", "Point", "Fluid", "To allocate", "Base",
      "Allocated", "Field factors");
  for (const auto& pom : rs.pomTable) {
    for (int fluid = 0; fluid < kFluidSlots; ++fluid) {
      if (!isListed(rc, fluid) || isTheoreticalOnly(rc, fluid)) continue;
      double low = 0;
      double high = 0;
      int factors = 0;
      for (int d = 0; d < kDaySlots; ++d) {
        if (!pom->factorComputed[fluid][d]) continue;
        const double f = pom->fieldFactor[fluid][d];
        low = factors == 0 ? f : std::min(low, f);
        high = factors == 0 ? f : std::max(high, f);
        ++factors;
      }
      char range[64] = "none computed";
      if (factors > 0) std::snprintf(range, sizeof range, "%.4f to %.4f", low, high);
      put(out, "  %-20s %-8s %12.1f %12.1f %12.1f  %s\n", nodeName(rs, pom->nodeIndex).c_str(),
          fluidName(rs, fluid).c_str(), pom->measuredTotal[fluid], pom->baseTotal[fluid],
          pom->allocatedTotal[fluid], range);
    }
  }
}

}  // namespace

void writeDiagnosticsTable(const RunState& rs, TextSink& out) {
  writeRecords(rs, out);
  writePointSummary(rs, out);
}

}  // namespace zelba
