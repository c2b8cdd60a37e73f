// The engine run driver: one complete allocation run on an input file.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/output_files.h"
#include "engine/run_state.h"

namespace zelba {

// An output file the run could not write, and why in the system's words
// ("No space left on device").
struct OutputFailure {
  std::string path;
  std::string reason;
  bool refused = false;  // not written on purpose: it names the input or an earlier output
};

// What a finished run leaves behind for the program that started it. The
// engine itself prints nothing; a program can explain a failed run from this.
struct RunSummary {
  int status = -1;               // what BaEngineStart returned
  bool inputOpened = false;      // the input file could be opened
  bool inputReadFailed = false;  // it could not be read to its end: the run failed
  bool outOfMemory = false;      // the run stopped because memory ran out
  int nodeCount = 0;             // nodes defined by the input
  int pomCount = 0;              // points of measurement defined
  double periodStart = 0;        // host dates of the period, 0 when unknown
  double periodEnd = 0;
  // Output files the input named that are not complete on disk, in the order
  // they were tried: not created, failed part-way (nothing left of them; an
  // earlier file of the name as it was), or refused as naming the input file
  // or an earlier output. The status is unchanged by them.
  std::vector<OutputFailure> failedOutputs;
};

struct RunOptions {
  // Where the outputs are written; the disk when null.
  OutputFiles* files = nullptr;
  // Called with the run's state just before it is released: after allocation
  // and outputs for a valid run, after the validity check for a failed one
  // (tests, diagnostics, result exports).
  std::function<void(const RunState&)> inspect;
  // Every gas curve fit of the run writes its trace file through `files`.
  bool traceFit = false;
  // Traverses one nodal solution may run; 0 (every real run) for no bound.
  // It changes results: for the fuzz target only.
  int nodalTraverseBudget = 0;
  // Threads the allocation and the writers may use; 0 for defaultThreadCount()
  // (ZELBA_THREADS, else the processor count). 1 runs everything on the
  // calling thread. The results and the outputs do not depend on it.
  int threads = 0;
  // Told how far the run has come: "reading", "allocating Oil" (point `step`
  // of `steps`), "writing FILE". Called often: it must be cheap.
  std::function<void(std::string_view phase, int step, int steps)> progress;
  // Called once a text report (not the HTML set) is complete on disk, with
  // the run's state and the report's path, before the load file and the
  // totals are written: where the report viewer opens.
  std::function<void(const RunState&, const std::string& reportPath)> reportWritten;
};

// Runs one allocation on the input file at `path` against `rs`: reset, read,
// check, prepare, allocate, write, release. Returns 1 when the input held at
// least one node and a period end date, -1 otherwise. `rs` is released on
// return. When `summary` is given it receives the run's outcome.
int runEngine(RunState& rs, const std::string& path, RunSummary* summary = nullptr,
              const RunOptions& options = {});

// The same on an input file's text held in memory (tests, fuzzing).
int runEngineOnText(RunState& rs, std::string text, RunSummary* summary = nullptr,
                    const RunOptions& options = {});

// Writes the report, the load file and the totals listing that "#control"
// named, in that order; a name of fewer than two characters writes nothing.
// `reportWritten`, when given, is called right after a text report was
// written (whether it is complete is the caller's to check).
void writeOutputs(
    RunState& rs, OutputFiles& files,
    const std::function<void(const RunState&, const std::string&)>& reportWritten = nullptr);

// Allocates every fluid of a prepared run, oil first (the gas and water of a
// well follow its allocated oil), then calls the end hook.
void allocateRun(RunState& rs);

// The preparation of a valid run: precision scale, one-past-the-end day
// index, the starting point of measurement, and the well tests carried over
// the period.
void prepareRun(RunState& rs);

// Completes every well's tests over the period: each day without a usable
// value of a column takes the last usable value before it (the opening slot's
// value, MISSING_VALUE read as 0, to start with); then every day of the
// period is marked valid.
void completeWellTests(RunState& rs);

// The process-wide run state of the exported entries, and the summary of the
// last run they made (written by BaEngineStart).
RunState& processRunState();
RunSummary& lastRunSummary();

}  // namespace zelba
