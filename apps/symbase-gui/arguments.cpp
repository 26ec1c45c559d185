#include "arguments.h"

namespace gui {

namespace {

constexpr int kConfirmDialog = 19306;
constexpr int kOnlineDialog = 19308;

}  // namespace

const char* Usage() {
  return "usage: symbase-gui [DIR]\n"
         "       symbase-gui --screenshot OUT.png [--dialog 19306|19308 | --check] [DIR]\n"
         "\n"
         "Opens the symbol base in DIR (or none) in the symbol table editor.\n"
         "--screenshot renders the editor's window (with the base in DIR), or one\n"
         "of the library's two dialogs filled with sample values (19306: the\n"
         "import's confirmation of a conflict, 19308: the on-line symbolization),\n"
         "or with --check the window of the base check (of the base in DIR, or of\n"
         "a sample base with a damaged index), to a PNG file without a display,\n"
         "and exits.\n";
}

Arguments ParseArguments(const std::vector<std::string>& words) {
  Arguments arguments;
  bool options = true;
  for (std::size_t i = 0; i < words.size() && arguments.error.empty(); ++i) {
    const std::string& word = words[i];
    const bool hasValue = i + 1 < words.size();
    if (options && word == "--") {
      options = false;
    } else if (options && (word == "--help" || word == "-h")) {
      arguments.help = true;
    } else if (options && word == "--version") {
      arguments.version = true;
    } else if (options && word == "--screenshot") {
      if (!hasValue || words[i + 1].empty()) {
        arguments.error = "--screenshot needs the PNG file to write";
      } else {
        arguments.screenshot = words[++i];
      }
    } else if (options && word == "--dialog") {
      const std::string value = hasValue ? words[++i] : "";
      if (value == "19306") {
        arguments.dialog = kConfirmDialog;
      } else if (value == "19308") {
        arguments.dialog = kOnlineDialog;
      } else {
        arguments.error = "--dialog takes 19306 or 19308";
      }
    } else if (options && word == "--check") {
      arguments.check = true;
    } else if (options && word.size() > 1 && word[0] == '-') {
      arguments.error = "unknown option " + word;
    } else if (!arguments.directory.empty()) {
      arguments.error = "one base directory at most";
    } else {
      arguments.directory = word;
    }
  }
  if (arguments.error.empty() && arguments.dialog != 0 && arguments.screenshot.empty()) {
    arguments.error = "--dialog goes with --screenshot";
  } else if (arguments.error.empty() && arguments.check && arguments.screenshot.empty()) {
    arguments.error = "--check goes with --screenshot";
  } else if (arguments.error.empty() && arguments.check && arguments.dialog != 0) {
    arguments.error = "--check and --dialog render different windows: one at a time";
  }
  return arguments;
}

}  // namespace gui
