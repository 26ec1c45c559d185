#ifndef SYMBASE_APPS_ERRORS_H
#define SYMBASE_APPS_ERRORS_H

// What a command throws to end the process: main prints the message on stderr
// and exits with the code.

#include <stdexcept>
#include <string>

namespace cli {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Bad arguments: exit 2, with a pointer to the command's help.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

// The work could not be done (missing base, refused text, library error): exit 1.
class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace cli

#endif
