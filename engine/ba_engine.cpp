// The module's exported C entries. No C++ exception may leave them: anything
// thrown inside a run releases the run state and makes the run fail.
#include "engine/ba_engine.h"

#include <exception>
#include <mutex>
#include <new>

#include "engine/driver.h"

extern "C" ZELBA_EXPORT int BaEngineStart(char* path) {
  zelba::RunSummary& summary = zelba::lastRunSummary();
  summary = zelba::RunSummary{};
  if (path == nullptr) return -1;
  // Runs share the one process-wide run state: a second caller waits.
  static std::mutex running;
  const std::lock_guard<std::mutex> lock(running);
  zelba::RunState& rs = zelba::processRunState();
  try {
    return zelba::runEngine(rs, path, &summary);
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

// The module has no resources to register until it has a user interface.
extern "C" ZELBA_EXPORT void InitBaDLL(void) {}
