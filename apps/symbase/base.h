#ifndef SYMBASE_APPS_BASE_H
#define SYMBASE_APPS_BASE_H

// One symbol base for the length of a command: the library's handle, the
// directory, and the check that a call left no error report behind. The
// library tells its failures as numbers; the base looks for the cause the
// operating system knows (a file it may not write, a full disk) and names it.
// The base is shared: the library holds it for each call (shared to read,
// exclusive to write) and gives 104 when another process keeps it busy past
// a short wait, which becomes InUse (exit code 4).

#include <memory>
#include <string>

#include "interrupt.h"
#include "symbase/symbase.h"

namespace cli {

// The directory text the library wants: a trailing "/" added when missing.
// Throws UsageError for an empty path or one over the library's 72 characters.
std::string BaseDirectory(const std::string& argument);

class Base {
 public:
  explicit Base(const std::string& directory_argument);
  ~Base();
  Base(const Base&) = delete;
  Base& operator=(const Base&) = delete;

  enum class Access { kRead, kWrite };
  // Opens an existing base. Other processes may use it meanwhile: the
  // library holds it for each call. While a base is open for writing, Ctrl-C
  // only raises the interrupt flag (interrupt.h), up to the end of its
  // closing. Failure when a file is missing or damaged (named; an index
  // file with 'symbase repair'), a file cannot be written for kWrite, or
  // the library reported an error while opening them; InUse when another
  // process kept it busy.
  void Open(Access access);
  // Creates the six files (creating the directory too); NotFound when a base
  // is already there and `replace` is false, InUse when `replace` is given
  // and another process has the base open.
  void Create(bool replace);
  // Closes the files (also done by the destructor).
  void Close();

  CTBData* Handle() const { return handle_; }
  const std::string& Directory() const { return directory_; }

  // Throws Failure("`doing`: cause") when the library reported an error
  // since the last check (a guarded call gives 0 after a caught exception):
  // the system's cause when one is found, else the count of reports
  // (--verbose prints them). `doing` reads "cannot add %MW1".
  void CheckNoReport(const std::string& doing);
  // True when the library reported an error since the last check: the
  // check is then due (a caller spares itself composing `doing` otherwise).
  bool Reported() const;
  // Throws what a library result other than 0 means: InUse for 100 and 104,
  // NotFound for 101 to 103, Failure otherwise.
  [[noreturn]] void ThrowResult(int result, const std::string& doing);

 private:
  // Failure naming the table or index files the library could not open
  // (see Open).
  void NameFaultyFiles();

  std::unique_ptr<InterruptScope> interrupt_;  // given up last
  std::string directory_;
  CTBData* handle_ = nullptr;
  bool open_ = false;
  bool write_ = false;
  std::size_t reports_seen_ = 0;
};

}  // namespace cli

#endif
