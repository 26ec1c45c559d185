#ifndef SYMBASE_APPS_COMMANDS_H
#define SYMBASE_APPS_COMMANDS_H

// The commands of the tool: their table, their arguments and their entries.

#include <set>
#include <string>
#include <vector>

namespace cli {

// A command's arguments: positional values and the switches given ("--keep").
struct Args {
  std::vector<std::string> positional;
  std::set<std::string> switches;

  bool Has(const char* name) const { return switches.count(name) != 0; }
  // The positional value at `index`, or `fallback` when absent.
  std::string At(std::size_t index, const std::string& fallback = "") const {
    return index < positional.size() ? positional[index] : fallback;
  }
};

using CommandEntry = int (*)(const Args& args);

struct Command {
  const char* name;
  const char* synopsis;  // the arguments, after "symbase NAME"
  const char* summary;   // one line for the tool's help
  const char* details;   // the command's own help
  const char* switches;  // the switches it takes, blank-separated
  std::size_t min_args;
  std::size_t max_args;
  CommandEntry run;
};

const std::vector<Command>& AllCommands();

// Runs one command line without the program name ("add", "DIR", "%MW1" ...).
// Throws UsageError and Failure; returns the exit code otherwise.
int RunCommand(const std::vector<std::string>& words);

void PrintToolHelp();

int RunCreate(const Args& args);
int RunAdd(const Args& args);
int RunFind(const Args& args);
int RunDelete(const Args& args);
int RunSearch(const Args& args);
int RunList(const Args& args);
int RunCount(const Args& args);
int RunImport(const Args& args);
int RunExport(const Args& args);
int RunCompact(const Args& args);
int RunCheck(const Args& args);
int RunDemo(const Args& args);

}  // namespace cli

#endif
