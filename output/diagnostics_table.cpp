#include "output/diagnostics_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

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

// The figure of a record, or of a run of records whose figures go from
// `low` to `high`.
std::string detail(const Diagnostic& d, double low, double high) {
  char text[128] = "";
  char figures[96] = "";
  const char* format =
      d.kind == DiagnosticKind::kFactorOutOfRange || d.kind == DiagnosticKind::kTargetBandHit
          ? "%.4f"
          : "%.1f";
  std::snprintf(figures, sizeof figures, format, low);
  if (high != low) {
    const size_t used = std::strlen(figures);
    std::snprintf(figures + used, sizeof figures - used, " to ");
    std::snprintf(figures + used + 4, sizeof figures - used - 4, format, high);
  }
  const char* factors = high != low ? "factors" : "factor";
  switch (d.kind) {
    case DiagnosticKind::kFactorOutOfRange:
      std::snprintf(text, sizeof text, " (%s %s, code %d)", factors, figures, d.code);
      break;
    case DiagnosticKind::kTargetBandHit:
      std::snprintf(text, sizeof text, " (%s %s)", factors, figures);
      break;
    case DiagnosticKind::kNoBaseVolume:
    case DiagnosticKind::kRemainderKept:
    case DiagnosticKind::kVolumeWithoutHours:
      std::snprintf(text, sizeof text, " (%s)", figures);
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

// `next` says what `d` says, about the same node, point and fluid, on the
// day after.
bool continuesOn(const Diagnostic& d, const Diagnostic& next) {
  return d.day >= 0 && next.day == d.day + 1 && next.kind == d.kind && next.node == d.node &&
         next.pom == d.pom && next.fluid == d.fluid && next.code == d.code && next.line == d.line &&
         next.reason == d.reason;
}

void writeRecords(const RunState& rs, TextSink& out) {
  put(out, "Diagnostics: %ld record(s)\n", rs.diagnostics.total());
  for (int kind = 0; kind < kDiagnosticKinds; ++kind) {
    const auto k = static_cast<DiagnosticKind>(kind);
    const long count = rs.diagnostics.count(k);
    if (count == 0) continue;
    put(out, "\n%s: %ld\n", diagnosticKindTitle(k), count);
    std::vector<const Diagnostic*> records;
    for (const Diagnostic& d : rs.diagnostics) {
      if (d.kind == k) records.push_back(&d);
    }
    const long shown = static_cast<long>(records.size());
    for (size_t i = 0; i < records.size();) {
      const Diagnostic& d = *records[i];
      // The records that carry this one on over the following days.
      size_t next = i + 1;
      double low = d.value;
      double high = d.value;
      while (next < records.size() && continuesOn(*records[next - 1], *records[next])) {
        low = std::min(low, records[next]->value);
        high = std::max(high, records[next]->value);
        ++next;
      }
      std::string where = location(rs, d);
      if (next - i > 1) {
        char range[64];
        std::snprintf(range, sizeof range, " to %.0f (%zu days)",
                      dayDate(rs, records[next - 1]->day), next - i);
        where += range;
      }
      put(out, "  %-28s %s%s\n", where.c_str(), d.reason.c_str(), detail(d, low, high).c_str());
      i = next;
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

std::vector<std::string> attentionLines(const RunState& rs) {
  std::vector<std::string> lines;
  for (int kind = 0; kind < kDiagnosticKinds; ++kind) {
    const auto k = static_cast<DiagnosticKind>(kind);
    const long count = rs.diagnostics.count(k);
    if (count == 0 || k == DiagnosticKind::kTargetBandHit) continue;
    lines.push_back(std::string(diagnosticKindTitle(k)) + ": " + std::to_string(count));
  }
  const RunControl& rc = rs.control;
  for (int fluid = 0; fluid < kFluidSlots; ++fluid) {
    const double left = rs.scratch.unallocated[fluid];
    if (!isListed(rc, fluid) || isTheoreticalOnly(rc, fluid) || !(left > 0)) continue;
    char text[160];
    std::snprintf(text, sizeof text, "%s measured but not allocated: %.1f %s",
                  fluidName(rs, fluid).c_str(), left, unitsLabel(rc, fluid).c_str());
    lines.push_back(text);
  }
  return lines;
}

void writeDiagnosticsTable(const RunState& rs, TextSink& out) {
  writeRecords(rs, out);
  writePointSummary(rs, out);
}

}  // namespace zelba
