// demo: a tour of the tool on a sample base in a temporary directory.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "errors.h"
#include "temp_directory.h"

#ifndef SYMBASE_EXAMPLES_DIR
#define SYMBASE_EXAMPLES_DIR "examples"
#endif
#ifndef SYMBASE_EXAMPLES_FROM_BINARY
#define SYMBASE_EXAMPLES_FROM_BINARY "../share/symbase/examples"
#endif

namespace cli {

namespace {

struct DemoArgs {
  std::string examples;
  bool keep_dir = false;
};

bool HasExamples(const std::string& directory) {
  return std::filesystem::is_regular_file(directory + "/plant.csv");
}

// The installed tables beside this program, found from where it runs.
std::string InstalledExamples() {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "";
  return (program.parent_path() / SYMBASE_EXAMPLES_FROM_BINARY).lexically_normal().string();
}

// The given directory, else $SYMBASE_EXAMPLES, else the installed tables,
// else those of the source tree this program was built from.
std::string ExamplesDirectory(const DemoArgs& args) {
  if (!args.examples.empty()) {
    if (!HasExamples(args.examples)) {
      throw Failure("no example tables in " + args.examples + " (plant.csv is missing)");
    }
    return args.examples;
  }
  std::vector<std::string> candidates;
  if (const char* chosen = std::getenv("SYMBASE_EXAMPLES")) candidates.push_back(chosen);
  candidates.push_back(InstalledExamples());
  candidates.push_back(SYMBASE_EXAMPLES_DIR);
  for (const std::string& directory : candidates) {
    if (!directory.empty() && HasExamples(directory)) return directory;
  }
  throw Failure("no example tables found (looked in " + candidates[candidates.size() - 2] +
                "); give their directory: symbase demo DIR");
}

// Shows and runs one command; anything but the expected exit code ends the tour.
void Step(const char* explanation, const std::vector<std::string>& words, int expected = 0) {
  std::string line = "$ symbase";
  for (const std::string& word : words) {
    line += " " + (word.find(' ') == std::string::npos ? word : "\"" + word + "\"");
  }
  if (*explanation != '\0') std::printf("\n# %s\n", explanation);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  int code = RunCommandLine(words);
  std::fflush(stdout);
  if (code != expected) {
    throw Failure("the demo stopped: '" + line.substr(2) + "' ended with " + std::to_string(code));
  }
}

int RunDemo(const DemoArgs& args) {
  std::string examples = ExamplesDirectory(args);
  TempDirectory directory("symbase-demo", args.keep_dir);
  const std::string& dir = directory.Path();
  const std::string plant = examples + "/plant.csv";
  const std::string changes = examples + "/changes.csv";
  std::printf("A tour of symbase on a sample base in %s\n(sample tables from %s)\n", dir.c_str(),
              examples.c_str());
  Step("Create an empty base: six dBASE files.", {"create", dir});
  Step("Import the symbol table of a small pumping station.", {"import", dir, plant});
  Step("How many objects, and how many memory words?", {"count", dir});
  Step("", {"count", dir, "%MW"});
  Step("One object by its address...", {"find", dir, "%MW10"});
  Step("...and one by its symbol.", {"find", dir, "--symbol", "Niveau_cuve"});
  Step("Every object whose comment mentions a pump, case ignored.",
       {"search", dir, "pompe", "--comments", "--no-pager"});
  Step("Symbols that begin with Arr\xC3\xAAt, in symbol order.",
       {"search", dir, "Arr\xC3\xAAt", "--begins", "--by-symbol", "--no-pager"});
  Step("The inputs of the base, with their bits.", {"list", dir, "%I", "--no-pager"});
  Step("Add one object by hand, then change its comment.", {"add", dir, "%MW200",
                                                            "Consigne_d\xC3\xA9"
                                                            "bit",
                                                            "D\xC3\xA9"
                                                            "bit de consigne"});
  Step("", {"edit", dir, "%MW200", "--comment",
            "D\xC3\xA9"
            "bit de consigne en m3/h"});
  Step("A revised table: what differs from the base (exit code 1: they differ).",
       {"diff", dir, changes, "--no-pager"}, kExitNotFound);
  Step("Importing it with --keep leaves every conflict as the base has it...",
       {"import", dir, changes, "--keep"});
  Step("...a dry run of --replace says what replacing would do, writing nothing...",
       {"import", dir, changes, "--replace", "--dry-run"});
  Step("...and --replace takes the file's version: Pompe_2 moves, %Q2.1 leaves the base.",
       {"import", dir, changes, "--replace"});
  Step("The symbol moved with its new address.", {"find", dir, "--symbol", "Pompe_2"});
  Step("Delete an object; its row stays in the files until they are compacted.",
       {"delete", dir, "%MW200"});
  Step("Compact the tables.", {"compact", dir});
  Step("Check every file of the base (indexes, headers, rows), as JSON for a script.",
       {"check", dir, "--json"});
  Step("Export the outputs as CSV (-o FILE writes a file; --excel suits a spreadsheet).",
       {"export", dir, "%Q"});
  std::printf("\nThe tour is over. Try 'symbase --help' and 'symbase COMMAND --help'.\n");
  return kExitDone;
}

}  // namespace

void AddDemoCommand(CommandSet& commands) {
  auto args = std::make_shared<DemoArgs>();
  CLI::App* c = commands.Add(
      "demo", "a two-minute tour on a sample base",
      "Builds a sample base from the example tables in a temporary directory and runs\n"
      "the commands on it, showing each one. The directory is removed at the end unless\n"
      "--keep-dir is given. The tables are looked for in EXAMPLES_DIR, $SYMBASE_EXAMPLES,\n"
      "then where symbase is installed (share/symbase/examples).",
      [args] { return RunDemo(*args); });
  c->add_option("EXAMPLES_DIR", args->examples, "the directory of plant.csv and changes.csv");
  c->add_flag("--keep-dir", args->keep_dir, "keep the sample base's directory");
}

}  // namespace cli
