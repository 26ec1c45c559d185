// demo: a tour of the tool on a sample base in a temporary directory.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "errors.h"

#ifndef SYMBASE_EXAMPLES_DIR
#define SYMBASE_EXAMPLES_DIR "examples"
#endif

namespace cli {

namespace {

std::string ExamplesDirectory(const Args& args) {
  std::string directory = args.At(0);
  if (directory.empty()) {
    const char* from_environment = std::getenv("SYMBASE_EXAMPLES");
    directory = from_environment != nullptr ? from_environment : SYMBASE_EXAMPLES_DIR;
  }
  if (!std::filesystem::is_regular_file(directory + "/plant.csv")) {
    throw Failure("no example tables in " + directory +
                  " (give the examples directory: symbase demo DIR)");
  }
  return directory;
}

// A fresh directory under $TMPDIR (or /tmp when that path would be too long
// for the library), removed on leaving unless kept.
class DemoDirectory {
 public:
  explicit DemoDirectory(bool keep) : keep_(keep) {
    const char* tmp = std::getenv("TMPDIR");
    std::string base =
        tmp != nullptr && *tmp != '\0' && std::string(tmp).size() < 40 ? tmp : "/tmp";
    std::string pattern = base + "/symbase-demo-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) throw Failure("cannot create a directory in " + base);
    path_ = buffer.data();
  }
  ~DemoDirectory() {
    std::error_code ignored;
    if (!keep_) std::filesystem::remove_all(path_, ignored);
  }
  DemoDirectory(const DemoDirectory&) = delete;
  DemoDirectory& operator=(const DemoDirectory&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool keep_;
};

void Step(const char* explanation, const std::vector<std::string>& words) {
  std::string line = "$ symbase";
  for (const std::string& word : words) {
    line += " " + (word.find(' ') == std::string::npos ? word : "\"" + word + "\"");
  }
  if (*explanation != '\0') std::printf("\n# %s\n", explanation);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  int code = RunCommand(words);
  std::fflush(stdout);
  if (code != 0) {
    throw Failure("the demo stopped: '" + line.substr(2) + "' ended with " + std::to_string(code));
  }
}

}  // namespace

int RunDemo(const Args& args) {
  std::string examples = ExamplesDirectory(args);
  DemoDirectory directory(args.Has("--keep-dir"));
  const std::string& dir = directory.Path();
  const std::string plant = examples + "/plant.csv";
  const std::string changes = examples + "/changes.csv";
  std::printf("A tour of symbase on a sample base in %s\n", dir.c_str());
  Step("Create an empty base: six dBASE files.", {"create", dir});
  Step("Import the symbol table of a small pumping station.", {"import", dir, plant});
  Step("How many objects, and how many memory words?", {"count", dir});
  Step("", {"count", dir, "%MW"});
  Step("One object by its address...", {"find", dir, "%MW10"});
  Step("...and one by its symbol.", {"find", dir, "--symbol", "Niveau_cuve"});
  Step("Every object whose comment mentions a pump, case ignored.",
       {"search", dir, "pompe", "--comments"});
  Step("Symbols that begin with Arr\xC3\xAAt, in symbol order.",
       {"search", dir, "Arr\xC3\xAAt", "--begins", "--by-symbol"});
  Step("The inputs of the base, with their bits.", {"list", dir, "%I"});
  Step("Add one object by hand.", {"add", dir, "%MW200",
                                   "Consigne_d\xC3\xA9"
                                   "bit",
                                   "D\xC3\xA9"
                                   "bit de consigne en m3/h"});
  Step("Import a revised table that contradicts the base: --keep leaves the base alone...",
       {"import", dir, changes, "--keep"});
  Step("...and --replace takes the file's version of each conflict.",
       {"import", dir, changes, "--replace"});
  Step("The symbol moved with its new address.", {"find", dir, "--symbol", "Pompe_2"});
  Step("Delete an object; its row stays in the files until they are compacted.",
       {"delete", dir, "%MW200"});
  Step("Compact the tables.", {"compact", dir});
  Step("Check for duplicate addresses and keys.", {"check", dir});
  Step("Export the outputs as CSV (redirect to a file to keep it).", {"export", dir, "%Q"});
  std::printf("\nThe tour is over. Try 'symbase --help' and 'symbase COMMAND --help'.\n");
  return 0;
}

}  // namespace cli
