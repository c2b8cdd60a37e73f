#include "engine/driver.h"

#include <algorithm>
#include <cmath>

#include "allocation/allocation_review.h"
#include "allocation/fluid_pass.h"
#include "engine/dates.h"
#include "input/sections.h"
#include "output/html_report.h"
#include "output/load_file.h"
#include "output/text_report.h"

extern "C" void BAEnd(void);

namespace zelba {

namespace {

// Decimals beyond this cannot change a double volume; the bound also keeps the
// scale finite whatever "*precision" says.
constexpr int kMaxPrecision = 15;

}  // namespace

void completeWellTests(RunState& rs) {
  const RunControl& rc = rs.control;
  const auto [first, end] = periodDays(rc);
  const float missing = static_cast<float>(MISSING_VALUE);
  for (const auto& node : rs.nodeTable) {
    if (!node->testDays) continue;
    DayArray<BaTestDay>& days = *node->testDays;
    for (int column = 0; column < kTestValues; ++column) {
      float carried = days[0].values[column];
      if (carried == missing) carried = 0;
      for (int d = first; d < end; ++d) {
        float& value = days[d].values[column];
        if (value != missing && days[d].valid) {
          carried = value;
        } else {
          value = carried;
        }
      }
    }
    for (int d = first; d < end; ++d) days[d].valid = 1;
  }
}

void prepareRun(RunState& rs) {
  RunControl& rc = rs.control;
  const int precision = std::clamp(rc.precision, -kMaxPrecision, kMaxPrecision);
  rc.precisionScale = rc.precision != 0 ? std::pow(10.0, precision) : 1.0;
  if (rc.endDay < kDaySlots) rc.endDay += 1;
  // A "*from" that found no point and was never resolved by a "#volume"
  // section starts the allocation at the first point.
  if (rc.fromPom == -1) rc.fromPom = 0;
  completeWellTests(rs);
}

void allocateRun(RunState& rs) {
  for (int fluid = 0; fluid < kFluidSlots; ++fluid) allocateFluid(rs, fluid);
  BAEnd();
  reviewAllocation(rs);
}

namespace {

bool outputNamed(const std::string& path) {
  return path.size() >= 2;
}

}  // namespace

void writeOutputs(RunState& rs, OutputFiles& files) {
  const RunControl& rc = rs.control;
  // Every writer prints dates from the one table of day dates.
  fillDayDates(rs);
  if (outputNamed(rc.reportFile)) {
    if (rc.html) {
      writeHtmlReport(rs, files, rc.reportFile);
    } else {
      writeReport(rs, files, rc.reportFile);
    }
  }
  if (outputNamed(rc.loadFile)) writeLoadFile(rs, files, rc.loadFile, rc.dailyMode != 0);
  if (outputNamed(rc.totalsFile)) writeTotalsListing(rs, files, rc.totalsFile);
}

namespace {

// Passes every file through, keeping the names of those that could not be
// created.
class RecordingFiles : public OutputFiles {
 public:
  RecordingFiles(OutputFiles& files, std::vector<std::string>& failed)
      : files_(files), failed_(failed) {}
  std::unique_ptr<TextSink> create(const std::string& path) override {
    std::unique_ptr<TextSink> sink = files_.create(path);
    if (!sink) failed_.push_back(path);
    return sink;
  }
  std::unique_ptr<std::istream> openForReading(const std::string& path) override {
    return files_.openForReading(path);
  }

 private:
  OutputFiles& files_;
  std::vector<std::string>& failed_;
};

// The run after its input is read: check, prepare, allocate, write, release.
int finishRun(RunState& rs, bool opened, RunSummary* summary, const RunOptions& options) {
  const RunControl& rc = rs.control;
  const int status = rs.nodeCount() == 0 || rc.periodEnd == 0 ? -1 : 1;
  if (summary) {
    *summary = RunSummary{};
    summary->status = status;
    summary->inputOpened = opened;
    summary->nodeCount = rs.nodeCount();
    summary->pomCount = rs.pomCount();
    summary->periodStart = rc.periodEnd != 0 ? rc.periodStart : 0;
    summary->periodEnd = rc.periodEnd;
  }
  if (status == 1) {
    prepareRun(rs);
    // Without a point of measurement there is nothing to allocate or report.
    if (rs.pomCount() != 0) {
      allocateRun(rs);
      std::vector<std::string> failed;
      RecordingFiles files(options.files ? *options.files : diskFiles(), failed);
      writeOutputs(rs, files);
      if (summary) summary->unwritableOutputs = std::move(failed);
    }
  }
  if (options.inspect) options.inspect(rs);
  releaseRunState(rs);
  return status;
}

}  // namespace

int runEngine(RunState& rs, const std::string& path, RunSummary* summary,
              const RunOptions& options) {
  resetRunState(rs);
  const int read = readInputFile(rs, path);
  // An input that could not be read to its end is not run on the part read.
  if (read == 0) {
    if (options.inspect) options.inspect(rs);
    releaseRunState(rs);
    if (summary) {
      *summary = RunSummary{};
      summary->inputOpened = true;
      summary->inputReadFailed = true;
    }
    return -1;
  }
  return finishRun(rs, read == 1, summary, options);
}

int runEngineOnText(RunState& rs, std::string text, RunSummary* summary,
                    const RunOptions& options) {
  resetRunState(rs);
  InputReader reader;
  reader.openText(std::move(text));
  readSections(rs, reader);
  return finishRun(rs, true, summary, options);
}

RunState& processRunState() {
  static RunState state;
  return state;
}

RunSummary& lastRunSummary() {
  static RunSummary summary;
  return summary;
}

}  // namespace zelba
