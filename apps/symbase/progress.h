#ifndef SYMBASE_APPS_PROGRESS_H
#define SYMBASE_APPS_PROGRESS_H

// A progress line on stderr for work that lasts: shown only when stderr is a
// terminal, not before a second has passed, and erased at the end. A total
// of 0 means the amount is unknown: the line then shows what was done and
// the time spent.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace cli {

class Progress {
 public:
  Progress(std::string what, std::size_t total, const char* unit = "rows");
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Set(std::size_t done) { done_.store(done, std::memory_order_relaxed); }
  void Advance() { done_.fetch_add(1, std::memory_order_relaxed); }

  // False when no line will be drawn (stderr is no terminal, --quiet).
  static bool Wanted();

 private:
  void Run();
  std::string Line(std::chrono::steady_clock::duration elapsed) const;

  std::string what_;
  std::size_t total_;
  const char* unit_;
  std::atomic<std::size_t> done_{0};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool drawn_ = false;
  std::thread thread_;
};

}  // namespace cli

#endif
