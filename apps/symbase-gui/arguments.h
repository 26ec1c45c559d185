#ifndef SYMBASE_APPS_GUI_ARGUMENTS_H
#define SYMBASE_APPS_GUI_ARGUMENTS_H

// The command line of symbase-gui:
//   symbase-gui [DIR]
//   symbase-gui --screenshot OUT.png [--dialog 19306|19308 | --check] [DIR]
//   symbase-gui --help | --version

#include <string>
#include <vector>

namespace gui {

struct Arguments {
  bool help = false;
  bool version = false;
  std::string error;  // a usage error: the rest means nothing
  std::string directory;
  std::string screenshot;  // the PNG to write, "" for the editor itself
  int dialog = 0;          // 19306 or 19308 with --screenshot, else 0
  bool check = false;      // --check with --screenshot: the findings window
};

Arguments ParseArguments(const std::vector<std::string>& words);
const char* Usage();

}  // namespace gui

#endif
