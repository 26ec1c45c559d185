#include "interrupt.h"

#include <signal.h>

namespace cli {

namespace {

volatile sig_atomic_t g_requested = 0;
struct sigaction g_previous_int;
struct sigaction g_previous_term;

void OnSignal(int) { g_requested = 1; }

}  // namespace

InterruptScope::InterruptScope() {
  g_requested = 0;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // Calls in progress go on: the engine's reads and writes must not fail
  // half-way because of the signal. Waits on the terminal poll the flag.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &g_previous_int);
  sigaction(SIGTERM, &action, &g_previous_term);
}

InterruptScope::~InterruptScope() {
  sigaction(SIGINT, &g_previous_int, nullptr);
  sigaction(SIGTERM, &g_previous_term, nullptr);
}

bool InterruptRequested() { return g_requested != 0; }

void RequestInterrupt() { g_requested = 1; }

}  // namespace cli
