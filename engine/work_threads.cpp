#include "engine/work_threads.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "engine/numbers.h"

namespace zelba {

namespace {

constexpr int kMaxDefaultThreads = 8;
constexpr int kMaxThreads = 64;

}  // namespace

int defaultThreadCount() {
  if (const char* text = std::getenv("ZELBA_THREADS"); text != nullptr && *text != '\0') {
    const int asked = leadingInteger(text);
    if (asked >= 1 && asked <= kMaxThreads) return asked;
  }
  const int processors = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(processors, 1, kMaxDefaultThreads);
}

WorkThreads::WorkThreads(int threads) : threads_(std::clamp(threads, 1, kMaxThreads)) {}

WorkThreads::~WorkThreads() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void WorkThreads::start() {
  if (!workers_.empty() || threads_ <= 1) return;
  try {
    for (int i = 0; i < threads_; ++i) workers_.emplace_back([this] { workerLoop(); });
  } catch (const std::system_error&) {
    // The system gave fewer threads than asked: the ones started do the work.
  }
  if (workers_.empty()) threads_ = 1;
}

void WorkThreads::workerLoop() {
  std::uint64_t seen = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
    if (stopping_) return;
    seen = generation_;
    const std::function<void()>* task = task_;
    lock.unlock();
    (*task)();
    lock.lock();
    if (--running_ == 0) done_.notify_all();
  }
}

void WorkThreads::post(const std::function<void()>& task) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    task_ = &task;
    running_ = static_cast<int>(workers_.size());
    ++generation_;
  }
  wake_.notify_all();
}

void WorkThreads::waitAll() {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [&] { return running_ == 0; });
  task_ = nullptr;
}

void WorkThreads::forEach(int count, const std::function<void(int k)>& work) {
  if (count <= 0) return;
  if (count > 1) start();
  if (count == 1 || workers_.empty()) {
    for (int k = 0; k < count; ++k) work(k);
    return;
  }
  std::atomic<int> next{0};
  std::mutex errorMutex;
  std::exception_ptr error;
  const std::function<void()> task = [&] {
    for (;;) {
      const int k = next.fetch_add(1);
      if (k >= count) return;
      try {
        work(k);
      } catch (...) {
        const std::lock_guard<std::mutex> lock(errorMutex);
        if (!error) error = std::current_exception();
        next.store(count);
      }
    }
  };
  post(task);
  waitAll();
  if (error) std::rethrow_exception(error);
}

void WorkThreads::ordered(int count, int window,
                          const std::function<void(int k, int slot)>& produce,
                          const std::function<void(int k, int slot)>& consume) {
  if (count <= 0) return;
  window = std::max(window, 1);
  start();
  if (workers_.empty()) {
    for (int k = 0; k < count; ++k) {
      produce(k, k % window);
      consume(k, k % window);
    }
    return;
  }
  std::mutex m;
  std::condition_variable changed;
  int next = 0;      // the next item a thread takes
  int consumed = 0;  // items consumed so far
  bool failed = false;
  std::exception_ptr error;
  std::vector<int> ready(static_cast<size_t>(window), -1);  // item whose result a slot holds
  auto fail = [&] {
    if (!error) error = std::current_exception();
    failed = true;
  };
  const std::function<void()> task = [&] {
    std::unique_lock<std::mutex> lock(m);
    for (;;) {
      if (failed || next >= count) return;
      const int k = next++;
      // The slot of item k is free once item k - window is consumed.
      changed.wait(lock, [&] { return failed || k < consumed + window; });
      if (failed) return;
      lock.unlock();
      try {
        produce(k, k % window);
        lock.lock();
        ready[static_cast<size_t>(k % window)] = k;
      } catch (...) {
        lock.lock();
        fail();
      }
      changed.notify_all();
    }
  };
  post(task);
  for (int k = 0; k < count; ++k) {
    {
      std::unique_lock<std::mutex> lock(m);
      changed.wait(lock, [&] { return failed || ready[static_cast<size_t>(k % window)] == k; });
      if (failed) break;
    }
    bool stop = false;
    try {
      consume(k, k % window);
    } catch (...) {
      const std::lock_guard<std::mutex> lock(m);
      fail();
      stop = true;
    }
    {
      const std::lock_guard<std::mutex> lock(m);
      ++consumed;
    }
    changed.notify_all();
    if (stop) break;
  }
  waitAll();
  if (error) std::rethrow_exception(error);
}

}  // namespace zelba
