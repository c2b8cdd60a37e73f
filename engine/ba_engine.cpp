// The module's exported C entries. No C++ exception may leave them: anything
// thrown inside a run releases the run state and makes the run fail.
#include "engine/ba_engine.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

#include "engine/driver.h"
#include "engine/module_hooks.h"

extern "C" ZELBA_EXPORT int BaEngineStart(char* path) {
  // Runs share the one process-wide run state: a second caller waits. A
  // call from inside a run on the same thread (a host's handler run while
  // the report viewer is up) would wait for itself: it fails instead, and
  // leaves the account of the run under way as it is.
  static std::mutex running;
  static std::atomic<std::thread::id> runner{};
  if (runner.load() == std::this_thread::get_id()) return -1;
  const std::lock_guard<std::mutex> lock(running);
  runner = std::this_thread::get_id();
  struct ClearRunner {
    std::atomic<std::thread::id>& runner;
    ~ClearRunner() { runner = std::thread::id(); }
  } clear{runner};
  // The account of the last run is the caller's who holds the run state.
  zelba::RunSummary& summary = zelba::lastRunSummary();
  summary = zelba::RunSummary{};
  if (path == nullptr) return -1;
  zelba::RunState& rs = zelba::processRunState();
  try {
    zelba::RunOptions options;
    options.reportWritten = zelba::moduleReportViewer();
    return zelba::runEngine(rs, path, &summary, options);
  } catch (const std::bad_alloc&) {
    zelba::releaseRunState(rs);
    summary = zelba::RunSummary{};
    summary.outOfMemory = true;
    return -1;
  } catch (...) {
    try {
      zelba::releaseRunState(rs);
    } catch (...) {
    }
    summary.status = -1;
    return -1;
  }
}

extern "C" ZELBA_EXPORT void BAEnd(void) {}

namespace zelba {

namespace {

ModuleReportViewer& reportViewer() {
  static ModuleReportViewer viewer;
  return viewer;
}

}  // namespace

void setModuleReportViewer(ModuleReportViewer viewer) {
  reportViewer() = std::move(viewer);
}

ModuleReportViewer moduleReportViewer() {
  return reportViewer();
}

}  // namespace zelba
