#include "commands.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "errors.h"
#include "symbase/symbase.h"

namespace cli {

const std::vector<Command>& AllCommands() {
  static const std::vector<Command> commands = {
      {"create", "DIR [--replace]", "create an empty base (its six files)",
       "Creates the six files of an empty symbol base in DIR, creating DIR when\n"
       "needed. A base already there is kept unless --replace is given.",
       "--replace", 1, 1, RunCreate},
      {"add", "DIR ADDRESS [SYMBOL [COMMENT]]", "add one object",
       "Adds the object ADDRESS with its SYMBOL and COMMENT. An address already in\n"
       "the base, or a symbol another address carries, is refused (import\n"
       "resolves such conflicts).",
       "", 2, 4, RunAdd},
      {"find", "DIR (ADDRESS | --symbol SYMBOL)", "show one object",
       "Shows the address, symbol and comment of the object at ADDRESS, or of the\n"
       "object carrying SYMBOL. Exit code 1 when there is none.",
       "--symbol", 2, 2, RunFind},
      {"search", "DIR TEXT [--comments] [--begins|--ends] [--by-symbol]",
       "objects whose symbol or comment holds TEXT",
       "Lists the objects whose symbol (or comment, with --comments) contains TEXT,\n"
       "begins with it (--begins) or ends with it (--ends), case ignored; in\n"
       "address order, or symbol order with --by-symbol. Exit code 1 when none.",
       "--comments --begins --ends --by-symbol", 2, 2, RunSearch},
      {"list", "DIR [PREFIX]", "every object, or those of one kind",
       "Lists every object in address order, or the objects whose kind begins\n"
       "with PREFIX in the order they were added: %MW gives the words and their\n"
       "bits, %I every module input (%I, %IW, %ID), %X the steps. On a\n"
       "terminal the list stops after each 50 rows: Enter goes on, q stops.",
       "", 1, 2, RunList},
      {"delete", "DIR ADDRESS", "delete one object",
       "Deletes the object at ADDRESS with its comment. The files keep the row\n"
       "until 'symbase compact'.",
       "", 2, 2, RunDelete},
      {"import", "DIR FILE.csv [--replace|--keep|--ask]", "insert the objects of a CSV file",
       "Inserts every row of FILE.csv (UTF-8, header address,symbol,comment; \"-\"\n"
       "reads stdin). What is new is added, what is missing is completed. A row\n"
       "that contradicts the base is a conflict: --keep (the default) leaves the\n"
       "base as it is, --replace takes the file's row, --ask shows each conflict\n"
       "and reads the answer: o (oui), t (oui pour tous), n (non), s (non pour\n"
       "tous), a (annuler: stops the import after confirmation). The whole file\n"
       "is checked before anything is written.",
       "--replace --keep --ask", 2, 2, RunImport},
      {"export", "DIR [PREFIX]", "write the objects as CSV on stdout",
       "Writes every object (or those of one kind, with their bits) as CSV on\n"
       "stdout: header address,symbol,comment, UTF-8, RFC 4180 quoting.",
       "", 1, 2, RunExport},
      {"count", "DIR [PREFIX]", "number of objects",
       "Prints the number of objects (or of one kind, with their bits).", "", 1, 2, RunCount},
      {"compact", "DIR", "remove deleted rows from the files",
       "Locks the base, which compacts both tables, and unlocks it again.", "", 1, 1, RunCompact},
      {"check", "DIR", "look for duplicate addresses and keys",
       "Opens the base, reports any error the library meets on the way, and lists\n"
       "repeated addresses and keys. Exit code 1 when something is wrong.",
       "", 1, 1, RunCheck},
      {"demo", "[EXAMPLES_DIR]", "a two-minute tour on a sample base",
       "Builds a sample base from the example tables in a temporary directory and\n"
       "runs the commands on it, showing each one. The directory is removed at\n"
       "the end unless --keep-dir is given.",
       "--keep-dir", 0, 1, RunDemo},
  };
  return commands;
}

namespace {

const Command* FindCommand(const std::string& name) {
  for (const Command& command : AllCommands()) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

bool TakesSwitch(const Command& command, const std::string& word) {
  std::istringstream names(command.switches);
  std::string name;
  while (names >> name) {
    if (name == word) return true;
  }
  return false;
}

void PrintCommandHelp(const Command& command) {
  std::printf("usage: symbase %s %s\n\n%s\n", command.name, command.synopsis, command.details);
}

// Splits the words after the command name; "--" ends the switches.
Args ParseArgs(const Command& command, const std::vector<std::string>& words) {
  Args args;
  bool switches_done = false;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (!switches_done && word == "--") {
      switches_done = true;
    } else if (!switches_done && word.size() > 2 && word.compare(0, 2, "--") == 0) {
      if (!TakesSwitch(command, word)) throw UsageError("unknown option " + word);
      args.switches.insert(word);
    } else {
      args.positional.push_back(word);
    }
  }
  if (args.positional.size() < command.min_args) throw UsageError("missing arguments");
  if (args.positional.size() > command.max_args) {
    throw UsageError("too many arguments (\"" + args.positional[command.max_args] + "\")");
  }
  return args;
}

}  // namespace

void PrintToolHelp() {
  std::printf(
      "usage: symbase COMMAND [ARGUMENTS]\n"
      "       symbase [--version | --help]\n"
      "       symbase COMMAND --help\n\n"
      "The command-line host of libsymbase %s: the symbol base of a controller\n"
      "project (an address, its symbol and a comment per object) in the dBASE\n"
      "files of a directory. Texts are UTF-8; the base holds Windows-1252.\n\n"
      "Commands:\n",
      SymbaseVersion());
  for (const Command& command : AllCommands()) {
    std::printf("  %-8s %s\n", command.name, command.summary);
  }
  std::printf(
      "\nExit codes: 0 done, 1 failure (also nothing found), 2 bad usage.\n"
      "  --version   print the library's version\n"
      "  --help      print this help\n");
}

int RunCommand(const std::vector<std::string>& words) {
  const Command* command = FindCommand(words.at(0));
  if (command == nullptr) {
    throw UsageError("unknown command \"" + words[0] + "\"\nTry 'symbase --help'.");
  }
  for (std::size_t i = 1; i < words.size() && words[i] != "--"; ++i) {
    if (words[i] == "--help" || words[i] == "-h") {
      PrintCommandHelp(*command);
      return 0;
    }
  }
  try {
    return command->run(ParseArgs(*command, words));
  } catch (const UsageError& error) {
    throw UsageError(std::string(command->name) + ": " + error.what() + "\nTry 'symbase " +
                     command->name + " --help'.");
  }
}

}  // namespace cli
