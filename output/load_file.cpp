#include "output/load_file.h"

#include <algorithm>

#include "engine/dates.h"
#include "engine/numbers.h"
#include "output/report_common.h"

namespace zelba {

namespace {

constexpr int kNamedSlots = 6;  // "*zelfields" names the columns of slots 0..5

void writeColumnLine(const RunState& rs, TextSink& out) {
  const RunControl& rc = rs.control;
  const auto& names = rc.zelFields;
  put(out, "*%s ", names[0].empty() ? "date" : names[0].c_str());
  if (names[1] == "*") {
    out.write("*skip ");
  } else {
    put(out, "*%s ", names[1].c_str());
  }
  for (int slot = 0; slot < kFluidSlots; ++slot) {
    if (!isListed(rc, slot)) continue;
    const std::string& column = slot < kNamedSlots ? names[2 + slot] : std::string();
    const bool named = !column.empty() && column != "*";
    put(out, "*%s ", named ? column.c_str() : fluidName(rs, slot).c_str());
  }
  out.write("\n");
}

// Wells formatted together: about 250 KB of daily blocks.
constexpr int kBlocksPerRun = 128;

struct LoadBlocks {
  BufferSink text;
  void clear() { text.clear(); }
};

// The well's block: per day in daily mode, its period totals in monthly mode.
void writeWellBlock(const RunState& rs, const BaNode& node, bool daily, TextSink& out) {
  const RunControl& rc = rs.control;
  if (!node.allocated || !isWellLevel(rs, node)) return;
  const auto [first, end] = periodDays(rc);
  double hoursSum = 0;
  FluidArray<double> sums{};
  if (daily) put(out, "*keyname \"%s\"\n", node.name.c_str());
  for (int d = first; d < end; ++d) {
    const float hours = node.routes ? (*node.routes)[d].hoursOn : 0.0f;
    hoursSum += hours;
    for (int slot = 0; slot < kFluidSlots; ++slot)
      accumulate(sums[slot], node.fluids[slot].cumResult[d]);
    if (!daily) continue;
    put(out, "%8.0f  %12.3f ", dayDate(rs, d), hours);
    for (int slot = 0; slot < kFluidSlots; ++slot) {
      if (isListed(rc, slot)) put(out, " %12.1f", node.fluids[slot].cumResult[d]);
    }
    out.write("\n");
  }
  if (daily) return;
  put(out, "*keyname \"%s\"\n", node.name.c_str());
  put(out, "%10.0f %10.3f ", rc.periodEnd, hoursSum / 24);
  for (int slot = 0; slot < kFluidSlots; ++slot) {
    if (isListed(rc, slot)) put(out, " %12.1f", sums[slot]);
  }
  out.write("\n");
}

}  // namespace

void writeLoadFile(const RunState& rs, OutputFiles& files, const std::string& path, bool daily) {
  std::unique_ptr<TextSink> file = files.create(path);
  if (!file) return;
  TextSink& out = *file;
  const RunControl& rc = rs.control;

  if (rc.metric) out.write("*metric\n");
  if (!rc.zelTable.empty()) put(out, "*tablename %s\n", rc.zelTable.c_str());
  writeColumnLine(rs, out);

  formatNodeRuns<LoadBlocks>(
      rs, rs.nodeCount(), kBlocksPerRun,
      [&rs, daily](int first, int end, LoadBlocks& run) {
        for (int i = first; i < end; ++i) writeWellBlock(rs, *rs.nodeTable[i], daily, run.text);
      },
      [&out](const LoadBlocks& run) { out.write(run.text.text()); });
}

}  // namespace zelba
