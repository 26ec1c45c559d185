#include "commands.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "errors.h"
#include "options.h"
#include "symbase/symbase.h"

namespace cli {

namespace {

const char kDescription[] =
    "The command-line host of the symbol base library: the symbol base of a controller\n"
    "project (an address, its symbol and a comment per object) in the dBASE files of a\n"
    "directory. Texts are UTF-8; the base holds Windows-1252.";

const char kExitCodes[] =
    "Exit codes: 0 done; 1 nothing found, or a change the base's content refuses;\n"
    "2 bad usage; 3 damaged base or input, or an input/output error; 4 the base is\n"
    "in use by another process; 130 interrupted (Ctrl-C, or an import cancelled).";

// "Try 'symbase import --help'." for the command being parsed, if any.
std::string HelpHint(CLI::App& app) {
  std::vector<CLI::App*> parsed = app.get_subcommands();
  std::string command = parsed.empty() ? "" : parsed[0]->get_name() + " ";
  return "Try 'symbase " + command + "--help'.";
}

}  // namespace

GlobalOptions& Options() {
  static GlobalOptions options;
  return options;
}

void Say(const std::string& message) {
  if (!Options().quiet) std::printf("%s\n", message.c_str());
}

CLI::App* CommandSet::Add(const char* name, const char* summary, const char* details,
                          CommandRun run) {
  CLI::App* command = app_.add_subcommand(name, summary);
  std::string footer = *details != '\0' ? std::string(details) + "\n\n" : "";
  command->footer(footer +
                  "Every command also takes -q (--quiet), -v (--verbose) and --no-pager.\n" +
                  kExitCodes);
  commands_.emplace_back(command, std::move(run));
  return command;
}

void AddBaseArgument(CLI::App* command, std::string* dir) {
  command->add_option("DIR", *dir, "the base's directory")->required();
}

void AddJsonFlag(CLI::App* command, bool* json, const char* what) {
  command->add_flag("--json", *json, std::string("print ") + what + " as JSON");
}

int CommandSet::RunParsed() const {
  for (const auto& command : commands_) {
    if (command.first->parsed()) return command.second();
  }
  throw UsageError("no command given");
}

int RunCommandLine(const std::vector<std::string>& words) {
  CLI::App app(kDescription, "symbase");
  app.set_help_flag("-h,--help", "print this help (after a command: the command's help)");
  app.set_version_flag("--version", std::string("symbase ") + SymbaseVersion(),
                       "print the version");
  app.add_flag("-q,--quiet", Options().quiet,
               "no messages on stdout: only exported CSV and --json documents; the exit code "
               "tells the rest");
  app.add_flag("-v,--verbose", Options().verbose,
               "print the library's error reports as they come, and every kept or bad row");
  app.add_flag("--no-pager", Options().no_pager, "never page listings through $PAGER");
  app.require_subcommand(1);
  app.fallthrough();
  app.footer(kExitCodes);
  CommandSet commands(app);
  AddObjectCommands(commands);
  AddDeleteCommand(commands);
  AddQueryCommands(commands);
  AddImportCommand(commands);
  AddExportCommand(commands);
  AddDiffCommand(commands);
  AddMaintenanceCommands(commands);
  AddDemoCommand(commands);

  if (words.empty()) {
    std::fputs(app.help().c_str(), stdout);
    return kExitUsage;
  }
  for (const std::string& word : words) {
    if (word.empty() || word[0] == '-') continue;
    auto named = [&word](CLI::App* command) { return command->get_name() == word; };
    if (app.get_subcommands(named).empty()) {
      throw UsageError("unknown command \"" + word + "\"\nTry 'symbase --help'.");
    }
    break;
  }
  std::vector<std::string> reversed(words.rbegin(), words.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::Success& done) {
    std::fflush(stdout);
    return app.exit(done);
  } catch (const CLI::ParseError& error) {
    throw UsageError(error.what() + std::string("\n") + HelpHint(app));
  }
  return commands.RunParsed();
}

}  // namespace cli
