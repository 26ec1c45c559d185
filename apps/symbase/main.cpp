// symbase: the command-line host of the symbol base library.

#include <cstdio>
#include <cstring>

#include "symbase/symbase.h"

namespace {

void PrintHelp() {
  std::printf(
      "usage: symbase [--version | --help]\n"
      "\n"
      "The command-line host of libsymbase %s. This build only reports its\n"
      "version; the commands that create, fill, search and list a symbol base\n"
      "arrive with the command-line host.\n"
      "\n"
      "  --version   print the library's version\n"
      "  --help      print this help\n",
      SymbaseVersion());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("symbase %s\n", SymbaseVersion());
    return 0;
  }
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintHelp();
    return 0;
  }
  PrintHelp();
  return argc == 1 ? 0 : 2;
}
