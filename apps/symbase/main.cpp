// symbase: the command-line host of the symbol base library.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "commands.h"
#include "errors.h"
#include "symbase/symbase.h"
#include "terminal.h"

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  if (words.empty()) {
    cli::PrintToolHelp();
    return cli::kExitUsage;
  }
  if (words[0] == "--version") {
    std::printf("symbase %s\n", SymbaseVersion());
    return 0;
  }
  if (words[0] == "--help" || words[0] == "-h") {
    cli::PrintToolHelp();
    return 0;
  }
  HostInstallServices(&cli::Terminal());
  int code = 0;
  try {
    code = cli::RunCommand(words);
  } catch (const cli::UsageError& error) {
    std::fprintf(stderr, "symbase: %s\n", error.what());
    code = cli::kExitUsage;
  } catch (const cli::Failure& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "symbase: %s\n", error.what());
    code = cli::kExitFailure;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "symbase: unexpected failure: %s\n", error.what());
    code = cli::kExitFailure;
  } catch (...) {
    std::fprintf(stderr, "symbase: unexpected failure inside the library\n");
    code = cli::kExitFailure;
  }
  std::fflush(stdout);
  HostInstallServices(nullptr);
  return code;
}
