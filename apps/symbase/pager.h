#ifndef SYMBASE_APPS_PAGER_H
#define SYMBASE_APPS_PAGER_H

// Where a listing goes: through the user's pager when stdout is a terminal
// (as git does: $PAGER, else less with LESS=FRX, so that a short listing
// stays on the screen), straight to stdout otherwise or with --no-pager.

#include <signal.h>

#include <cstdio>
#include <string>

namespace cli {

class ListingOutput {
 public:
  ListingOutput();
  ~ListingOutput();  // closes the pager and waits for the user to leave it
  ListingOutput(const ListingOutput&) = delete;
  ListingOutput& operator=(const ListingOutput&) = delete;

  // Writes text; false once the reader has gone (the user quit the pager).
  bool Write(const std::string& text);

 private:
  FILE* file_ = stdout;
  FILE* pager_ = nullptr;
  bool gone_ = false;
  struct sigaction saved_pipe_ {};
  struct sigaction saved_int_ {};
};

}  // namespace cli

#endif
