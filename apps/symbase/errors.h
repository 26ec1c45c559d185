#ifndef SYMBASE_APPS_ERRORS_H
#define SYMBASE_APPS_ERRORS_H

// What a command throws to end the process: main prints the message on stderr
// and exits with the error's code. The codes are part of the tool's interface
// (--help, the man page and the README list them).

#include <stdexcept>
#include <string>

namespace cli {

constexpr int kExitDone = 0;
constexpr int kExitNotFound = 1;       // nothing found, or a change the base's content refuses
constexpr int kExitUsage = 2;          // bad arguments or options
constexpr int kExitDamaged = 3;        // damaged base or input, or an input/output error
constexpr int kExitInUse = 4;          // another process holds the base
constexpr int kExitInterrupted = 130;  // Ctrl-C, or an import cancelled at a question

class CliError : public std::runtime_error {
 public:
  CliError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// An error that ends the process with `kCode`.
template <int kCode>
class ExitError : public CliError {
 public:
  explicit ExitError(const std::string& message) : CliError(kCode, message) {}
};

// Bad arguments: exit 2, with a pointer to the command's help.
using UsageError = ExitError<kExitUsage>;
// Nothing found, or a change refused by what the base holds: exit 1.
using NotFound = ExitError<kExitNotFound>;
// The base or a file cannot be read or written, or is damaged: exit 3.
using Failure = ExitError<kExitDamaged>;
// Another process holds the base: exit 4.
using InUse = ExitError<kExitInUse>;
// Stopped by the user: exit 130, after what was done has been printed.
using Interrupted = ExitError<kExitInterrupted>;

// A text the base cannot keep ("symbol \"4x\": not a symbol ..."): a usage
// error on the command line, a bad row in a file.
class FieldError : public UsageError {
 public:
  FieldError(const std::string& field, const std::string& shown_value, const std::string& reason)
      : UsageError(field + " \"" + shown_value + "\": " + reason) {}
};

}  // namespace cli

#endif
