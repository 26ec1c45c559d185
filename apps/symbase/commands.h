#ifndef SYMBASE_APPS_COMMANDS_H
#define SYMBASE_APPS_COMMANDS_H

// The command line: its commands, their options, and what runs them. Each
// command's file adds its own to the set; the options a command reads are
// bound to values that its run function holds.

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace CLI {
class App;
}

namespace cli {

using CommandRun = std::function<int()>;

class CommandSet {
 public:
  explicit CommandSet(CLI::App& app) : app_(app) {}
  // Adds the command `name`; `run` is called when it is the one given.
  // `details` (may be empty) end its help, before the exit codes.
  CLI::App* Add(const char* name, const char* summary, const char* details, CommandRun run);
  // Runs the command that was parsed; its exit code.
  int RunParsed() const;

 private:
  CLI::App& app_;
  std::vector<std::pair<CLI::App*, CommandRun>> commands_;
};

// The base's directory, the first argument of most commands.
void AddBaseArgument(CLI::App* command, std::string* dir);
// --json, printing `what`.
void AddJsonFlag(CLI::App* command, bool* json, const char* what);

void AddObjectCommands(CommandSet& commands);       // create, add, edit, find
void AddDeleteCommand(CommandSet& commands);        // delete
void AddQueryCommands(CommandSet& commands);        // search, list, count
void AddImportCommand(CommandSet& commands);        // import
void AddExportCommand(CommandSet& commands);        // export
void AddDiffCommand(CommandSet& commands);          // diff
void AddMaintenanceCommands(CommandSet& commands);  // compact, check, repair
void AddDemoCommand(CommandSet& commands);          // demo

// Parses and runs one command line without the program name ("add", "DIR",
// "%MW1" ...). Returns the exit code; throws CliError.
int RunCommandLine(const std::vector<std::string>& words);

}  // namespace cli

#endif
