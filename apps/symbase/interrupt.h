#ifndef SYMBASE_APPS_INTERRUPT_H
#define SYMBASE_APPS_INTERRUPT_H

// Ctrl-C while a command writes: the signal only raises a flag, which the
// command checks between two rows, so that no write is cut in the middle.

namespace cli {

// Catches SIGINT and SIGTERM for its lifetime; the previous handlers come
// back on destruction. Scopes do not nest: a base open for writing holds one.
class InterruptScope {
 public:
  InterruptScope();
  ~InterruptScope();
  InterruptScope(const InterruptScope&) = delete;
  InterruptScope& operator=(const InterruptScope&) = delete;
};

// True once a caught signal arrived, or RequestInterrupt was called.
bool InterruptRequested();
// Ctrl-C read as a key (the terminal out of line mode sends no signal).
void RequestInterrupt();

}  // namespace cli

#endif
