// The threads a run shares independent work out to: the theoretical volumes
// of the wells of a point of measurement, the pages and blocks of the
// writers. Results never depend on the number of threads: work handed out
// here touches only its own records and buffers, and everything that must
// happen in order (allocation, writing) stays on the calling thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace zelba {

// The number of threads a run uses: the environment variable ZELBA_THREADS
// when it holds a number from 1 to 64 (1: everything on the calling thread),
// else the processor count, at most 8 and at least 1.
int defaultThreadCount();

class WorkThreads {
 public:
  // `threads` at most 1: no thread is started and all work runs on the
  // caller. Otherwise that many threads are started on first use.
  explicit WorkThreads(int threads);
  ~WorkThreads();  // waits for the threads to end
  WorkThreads(const WorkThreads&) = delete;
  WorkThreads& operator=(const WorkThreads&) = delete;

  int threads() const { return threads_; }
  bool parallel() const { return threads_ > 1; }

  // Runs work(k) for every k in [0, count) and returns when all are done.
  // Items run in any order on any thread. The first exception an item throws
  // is thrown again here, after every thread stopped (items not yet started
  // are skipped).
  void forEach(int count, const std::function<void(int k)>& work);

  // Runs produce(k, slot) for every k in [0, count) on the threads, at most
  // `window` items ahead of consume, and consume(k, slot) on the calling
  // thread in the order of k; slot is k % window, so a caller keeps `window`
  // result buffers. Exceptions as in forEach (from either function).
  void ordered(int count, int window, const std::function<void(int k, int slot)>& produce,
               const std::function<void(int k, int slot)>& consume);

 private:
  void start();
  void workerLoop();
  // Has every thread run `task` once; waitAll returns when all have.
  void post(const std::function<void()>& task);
  void waitAll();

  int threads_;
  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_;  // a new task, or the end
  std::condition_variable done_;  // a thread finished the task
  const std::function<void()>* task_ = nullptr;
  std::uint64_t generation_ = 0;
  int running_ = 0;
  bool stopping_ = false;
};

}  // namespace zelba
