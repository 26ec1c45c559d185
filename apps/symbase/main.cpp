// symbase: the command-line host of the symbol base library.

#include <cerrno>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "commands.h"
#include "errors.h"
#include "symbase/symbase.h"
#include "system_errors.h"
#include "terminal.h"

namespace {

int Run(const std::vector<std::string>& words) {
  try {
    return cli::RunCommandLine(words);
  } catch (const cli::CliError& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "symbase: %s\n", error.what());
    return error.Code();
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "symbase: unexpected failure: %s\n", error.what());
    return cli::kExitDamaged;
  } catch (...) {
    std::fflush(stdout);
    std::fprintf(stderr, "symbase: unexpected failure inside the library\n");
    return cli::kExitDamaged;
  }
}

}  // namespace

int main(int argc, char** argv) {
  HostInstallServices(&cli::Terminal());
  int code = Run(std::vector<std::string>(argv + 1, argv + argc));
  HostInstallServices(nullptr);
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::fprintf(stderr, "symbase: cannot write to stdout: %s\n",
                 cli::SystemMessage(errno).c_str());
    return code == cli::kExitDone ? cli::kExitDamaged : code;
  }
  return code;
}
