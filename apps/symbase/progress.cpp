#include "progress.h"

#include <unistd.h>

#include <cstdio>

#include "options.h"

namespace cli {

namespace {

constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kRedraw = std::chrono::milliseconds(200);
constexpr int kBarWidth = 30;

}  // namespace

bool Progress::Wanted() { return ::isatty(STDERR_FILENO) != 0 && !Options().quiet; }

Progress::Progress(std::string what, std::size_t total, const char* unit)
    : what_(std::move(what)), total_(total), unit_(unit) {
  if (Wanted()) thread_ = std::thread(&Progress::Run, this);
}

Progress::~Progress() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
  if (drawn_) {
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
  }
}

std::string Progress::Line(std::chrono::steady_clock::duration elapsed) const {
  std::size_t done = done_.load(std::memory_order_relaxed);
  long seconds =
      static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count());
  char text[160];
  if (total_ == 0 && done == 0) {
    std::snprintf(text, sizeof text, "%s... %ld s", what_.c_str(), seconds);
    return text;
  }
  if (total_ == 0) {
    std::snprintf(text, sizeof text, "%s: %zu %s, %ld s", what_.c_str(), done, unit_, seconds);
    return text;
  }
  std::size_t shown = done < total_ ? done : total_;
  int filled = static_cast<int>(shown * kBarWidth / total_);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  std::snprintf(text, sizeof text, "%s [%s] %3zu%% %zu/%zu %s", what_.c_str(), bar.c_str(),
                shown * 100 / total_, shown, total_, unit_);
  return text;
}

void Progress::Run() {
  auto start = std::chrono::steady_clock::now();
  std::unique_lock<std::mutex> lock(mutex_);
  if (wake_.wait_for(lock, kQuietStart, [this] { return stop_; })) return;
  do {
    std::string line = Line(std::chrono::steady_clock::now() - start);
    std::fprintf(stderr, "\r%s\033[K", line.c_str());
    std::fflush(stderr);
    drawn_ = true;
  } while (!wake_.wait_for(lock, kRedraw, [this] { return stop_; }));
}

}  // namespace cli
