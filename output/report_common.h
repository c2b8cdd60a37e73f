// The decisions every writer shares, so that the report, the totals listing,
// the load file and the HTML pages cannot drift apart.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/output_files.h"
#include "engine/run_state.h"
#include "engine/work_threads.h"

namespace zelba {

// A fluid slot appears in the outputs when it was measured or is allocated
// from theoretical rates; the latter are "theoretical-only" slots.
bool isListed(const RunControl& rc, int slot);
bool isTheoreticalOnly(const RunControl& rc, int slot);

// "bbl"/"m3", "Mcf"/"Km3" for gas and gas injection, "tons" for steam.
std::string unitsLabel(const RunControl& rc, int slot);

// The length of the UTF-8 sequence starting at text[i], 0 when the bytes
// there are not one (a stray continuation byte, an overlong or cut sequence).
// Names and header texts are bytes as the input gave them; the outputs that
// must be UTF-8 (the dashboard, the CSV table) replace the others.
size_t utf8SequenceLength(std::string_view text, size_t i);

// `text` centred in a field of `width` - 1 characters (cut when longer).
std::string centre(std::string_view text, int width);

// The node indexes in report order: each well of the well level whose point
// of measurement (its `pomIndex`) has an allocated facility as its own node
// is listed right after that facility, in node order among its wells; every
// other node keeps its place. Where each facility is followed by its own
// wells this is the node table's order. The monthly report and the network
// index list wells under the facility they flow to this way.
std::vector<int> reportOrder(const RunState& rs);

// The node is of the well level itself (the monthly report, the totals
// listing and the load file list only these).
bool isWellLevel(const RunState& rs, const BaNode& node);

// The field factor of the point of measurement whose own node `nodeIndex` is
// (the first such point), for the slot and day; 0 when the node is no point.
double facilityFieldFactor(const RunState& rs, int nodeIndex, int slot, int day);

// The level name of a node: its entity type's name.
std::string levelName(const RunState& rs, const BaNode& node);

// Text kept in memory: a run of nodes of an output formatted apart from the
// others. position() counts from the start of the run.
class BufferSink : public TextSink {
 public:
  void write(std::string_view text) override { text_.append(text); }
  long position() const override { return static_cast<long>(text_.size()); }
  TextBuffer* ownText() override { return &text_; }
  std::string_view text() const { return text_.text(); }
  void clear() { text_.clear(); }

 private:
  TextBuffer text_;
};

// Formats the nodes 0..count-1 of an output in runs of `perRun` nodes:
// format(first, end, run) fills a `Run` (a BufferSink `text` and whatever the
// writer keeps per node, emptied by its clear()) and emit(run) writes it out.
// With the run's threads the runs are formatted on them, a few runs ahead,
// and emitted on the calling thread in node order; else one after the other.
// Formatting reads the run state only, so the bytes are the same either way.
template <typename Run, typename Format, typename Emit>
void formatNodeRuns(const RunState& rs, int count, int perRun, Format format, Emit emit) {
  if (count <= 0) return;
  perRun = perRun > 0 ? perRun : 1;
  const int runs = (count - 1) / perRun + 1;
  auto formatRun = [&](int k, Run& run) {
    run.clear();
    const int first = k * perRun;
    format(first, count - first < perRun ? count : first + perRun, run);
  };
  WorkThreads* threads = rs.workThreads;
  if (threads == nullptr || !threads->parallel() || runs < 2) {
    Run run;
    for (int k = 0; k < runs; ++k) {
      formatRun(k, run);
      emit(run);
    }
    return;
  }
  const int window = 2 * threads->threads() + 2;
  std::vector<Run> buffers(static_cast<size_t>(window));
  threads->ordered(
      runs, window, [&](int k, int slot) { formatRun(k, buffers[static_cast<size_t>(slot)]); },
      [&](int, int slot) { emit(buffers[static_cast<size_t>(slot)]); });
}

}  // namespace zelba
