#include "engine/driver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>
#include <utility>

#include "allocation/allocation_review.h"
#include "allocation/fluid_pass.h"
#include "engine/dates.h"
#include "engine/work_threads.h"
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
    TestDays& days = *node->testDays;
    const TestDays& read = days;
    // The value each column carries into the next day.
    std::array<float, kTestValues> carried = read[0].values;
    for (float& value : carried) {
      if (value == missing) value = 0;
    }
    // A day without a usable test is all carried values: such days in a row
    // share one copy (`copy`, -1 until the first of them).
    int copy = -1;
    for (int d = first; d < end; ++d) {
      if (read[d].valid) {
        BaTestDay& test = days[d];
        for (int column = 0; column < kTestValues; ++column) {
          float& value = test.values[column];
          if (value != missing) {
            carried[column] = value;
          } else {
            value = carried[column];
          }
        }
        copy = -1;
      } else if (copy >= 0 && read[copy].given == read[d].given) {
        days.share(d, copy);
      } else {
        BaTestDay& test = days[d];
        test.values = carried;
        test.valid = 1;
        copy = d;
      }
    }
    days.compact();
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

void writeOutputs(RunState& rs, OutputFiles& files,
                  const std::function<void(const RunState&, const std::string&)>& reportWritten) {
  const RunControl& rc = rs.control;
  // Every writer prints dates from the one table of day dates.
  fillDayDates(rs);
  if (outputNamed(rc.reportFile)) {
    if (rc.html) {
      writeHtmlReport(rs, files, rc.reportFile);
    } else {
      for (const ReportPageStart& start : writeReport(rs, files, rc.reportFile)) {
        rs.nodeTable[start.node]->reportOffset = static_cast<std::int32_t>(start.offset);
      }
      if (reportWritten) reportWritten(rs, rc.reportFile);
    }
  }
  if (outputNamed(rc.loadFile)) writeLoadFile(rs, files, rc.loadFile, rc.dailyMode != 0);
  if (outputNamed(rc.totalsFile)) writeTotalsListing(rs, files, rc.totalsFile);
}

namespace {

// The files of a run's outputs: each is checked before it is created (never
// the input file, never a file an earlier output of the run wrote) and
// every one that is not complete on disk is recorded with its reason.
class CheckedFiles : public OutputFiles {
 public:
  CheckedFiles(RunState& rs, OutputFiles& files, const std::string* inputPath,
               std::vector<OutputFailure>& failed)
      : rs_(rs), files_(files), failed_(failed) {
    if (inputPath != nullptr) input_ = files_.identity(*inputPath);
  }
  std::unique_ptr<TextSink> create(const std::string& path) override {
    const std::string identity = files_.identity(path);
    if (!identity.empty() && identity == input_) {
      refuse(path, "names the input file");
      return nullptr;
    }
    if (!identity.empty() && !written_.insert(identity).second) {
      refuse(path, "is the same file as an earlier output of the run");
      return nullptr;
    }
    if (rs_.progress) rs_.progress("writing " + path, 0, 0);
    std::unique_ptr<TextSink> sink = files_.create(path);
    if (!sink) {
      failed_.push_back({path, files_.createFailure(), false});
      return nullptr;
    }
    return std::make_unique<Sink>(*this, std::move(sink), path);
  }
  std::string createFailure() const override { return files_.createFailure(); }
  std::unique_ptr<std::istream> openForReading(const std::string& path) override {
    return files_.openForReading(path);
  }
  std::string identity(const std::string& path) override { return files_.identity(path); }

 private:
  // Completes the file it wraps when it is destroyed, and tells its files
  // how that went.
  class Sink : public TextSink {
   public:
    Sink(CheckedFiles& files, std::unique_ptr<TextSink> sink, std::string path)
        : files_(files), sink_(std::move(sink)), path_(std::move(path)) {}
    ~Sink() override {
      if (sink_) finish();
    }
    void write(std::string_view text) override { sink_->write(text); }
    long position() const override { return sink_->position(); }
    std::string finish() override {
      if (!sink_) return reason_;
      reason_ = sink_->finish();
      sink_.reset();
      files_.finished(path_, reason_);
      return reason_;
    }

   private:
    CheckedFiles& files_;
    std::unique_ptr<TextSink> sink_;
    std::string path_;
    std::string reason_;
  };

  // A complete file may now have another identity (a new file where there
  // was none, or a file renamed over an earlier one): a later output must
  // not name it either.
  void finished(const std::string& path, const std::string& reason) {
    if (reason.empty()) {
      std::string identity = files_.identity(path);
      if (!identity.empty()) written_.insert(std::move(identity));
    } else {
      failed_.push_back({path, reason, false});
    }
  }

  void refuse(const std::string& path, const char* why) {
    const std::string reason = "the output file '" + path + "' " + why + "; it was not written";
    failed_.push_back({path, reason, true});
    Diagnostic d;
    d.kind = DiagnosticKind::kOutputRefused;
    d.section = "#control";
    d.reason = reason;
    rs_.diagnostics.add(std::move(d));
  }

  RunState& rs_;
  OutputFiles& files_;
  std::vector<OutputFailure>& failed_;
  std::string input_;                        // the input file's identity, empty when none
  std::unordered_set<std::string> written_;  // identities of the outputs created so far
};

// The run after its input is read: check, prepare, allocate, write, release.
int finishRun(RunState& rs, bool opened, const std::string* inputPath, RunSummary* summary,
              const RunOptions& options) {
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
      OutputFiles& disk = options.files ? *options.files : diskFiles();
      rs.traceFiles = options.traceFit ? &disk : nullptr;
      rs.nodalTraverseBudget = options.nodalTraverseBudget;
      rs.progress = options.progress;
      WorkThreads threads(options.threads > 0 ? options.threads : defaultThreadCount());
      rs.workThreads = &threads;
      struct ClearThreads {
        RunState& rs;
        ~ClearThreads() { rs.workThreads = nullptr; }
      } clearThreads{rs};
      allocateRun(rs);
      rs.traceFiles = nullptr;
      rs.nodalTraverseBudget = 0;
      std::vector<OutputFailure> failed;
      {
        CheckedFiles files(rs, disk, inputPath, failed);
        // The viewer is offered only a report that is complete on disk.
        std::function<void(const RunState&, const std::string&)> reportWritten;
        if (options.reportWritten) {
          reportWritten = [&](const RunState& state, const std::string& report) {
            const bool complete =
                std::none_of(failed.begin(), failed.end(),
                             [&](const OutputFailure& f) { return f.path == report; });
            if (complete) options.reportWritten(state, report);
          };
        }
        writeOutputs(rs, files, reportWritten);
      }
      rs.progress = nullptr;
      if (summary) summary->failedOutputs = std::move(failed);
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
  if (options.progress) options.progress("reading " + path, 0, 0);
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
  return finishRun(rs, read == 1, &path, summary, options);
}

int runEngineOnText(RunState& rs, std::string text, RunSummary* summary,
                    const RunOptions& options) {
  resetRunState(rs);
  InputReader reader;
  reader.openText(std::move(text));
  readSections(rs, reader);
  return finishRun(rs, true, nullptr, summary, options);
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
