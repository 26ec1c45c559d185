// delete: objects by address, every object of a kind, or the addresses of a
// CSV file.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "base.h"
#include "commands.h"
#include "errors.h"
#include "fields.h"
#include "interrupt.h"
#include "object_print.h"
#include "object_table.h"
#include "objects.h"
#include "options.h"
#include "progress.h"
#include "table_options.h"
#include "terminal.h"
#include "text.h"

namespace cli {

namespace {

struct DeleteArgs {
  std::string dir, kind, from;
  std::vector<std::string> addresses;
  bool yes = false;
  TableOptionTexts table;
};

// Asks before deleting a whole kind; a script must say --yes.
void Confirm(const std::string& kind, const std::vector<std::string>& addresses) {
  if (::isatty(STDIN_FILENO) == 0) {
    throw UsageError("deleting every object of a kind asks first: give --yes to delete the " +
                     ObjectCount(addresses.size()) + " of kind " + kind + " without asking");
  }
  std::string question = "Delete the " + ObjectCount(addresses.size()) + " of kind " + kind + " (" +
                         Cp1252ToUtf8(addresses.front()) +
                         (addresses.size() > 1 ? " ... " + Cp1252ToUtf8(addresses.back()) : "") +
                         ")? [y/N] ";
  char key = AskKey(question);
  if (key != 'y' && key != 'o') throw NotFound("nothing deleted");
}

// Every object of the kind, once the user agrees.
std::vector<std::string> KindTargets(const DeleteArgs& args, Base& base) {
  std::vector<std::string> targets;
  for (const ObjectText& object : ExportObjects(base, LibraryPrefix(args.kind))) {
    targets.push_back(object.address);
  }
  if (targets.empty()) throw NotFound("no object of kind " + args.kind);
  if (!args.yes) Confirm(args.kind, targets);
  return targets;
}

// The addresses given or read from the file, checked before the base opens.
std::vector<std::string> NamedTargets(const DeleteArgs& args) {
  std::vector<std::string> targets;
  if (args.from.empty()) {
    for (const std::string& address : args.addresses) targets.push_back(LibraryAddress(address));
    return targets;
  }
  ObjectTable table = ReadObjectTable(args.from, args.table.Get(true));
  if (!table.problems.empty()) {
    PrintProblems(table);
    throw Failure(table.name + ": " + std::to_string(table.bad_rows) +
                  " bad rows; nothing deleted");
  }
  for (const TableRow& row : table.rows) targets.push_back(row.object.address);
  return targets;
}

int RunDelete(const DeleteArgs& args) {
  int sources = !args.addresses.empty() + !args.kind.empty() + !args.from.empty();
  if (sources != 1) throw UsageError("give ADDRESS..., --kind PREFIX or --from FILE (one of them)");
  std::vector<std::string> targets;
  if (args.kind.empty()) targets = NamedTargets(args);
  Base base(args.dir);
  base.Open(Base::Access::kWrite);
  if (!args.kind.empty()) targets = KindTargets(args, base);
  bool one_by_one = !args.addresses.empty();
  std::vector<std::string> missing;
  std::size_t deleted = 0;
  {
    Progress progress("deleting", targets.size());
    for (const std::string& address : targets) {
      if (InterruptRequested()) break;
      CTBObjetAts object(address.c_str(), "", "", 0, -1);
      int result = TBDelObject(base.Handle(), &object);
      std::string doing = "cannot delete " + Cp1252ToUtf8(address);
      base.CheckNoReport(doing);
      progress.Advance();
      if (result == TB_NO_ROW || result == TB_KEY_NOT_FOUND) {
        missing.push_back(Cp1252ToUtf8(address));
        continue;
      }
      if (result != 0) base.ThrowResult(result, doing);
      ++deleted;
      if (one_by_one) Say("deleted " + Cp1252ToUtf8(address));
    }
  }
  if (!one_by_one) Say("deleted " + ObjectCount(deleted));
  if (InterruptRequested()) {
    throw Interrupted("interrupted after deleting " + ObjectCount(deleted) + " of " +
                      std::to_string(targets.size()));
  }
  if (missing.size() == 1) throw NotFound("no object at " + missing[0]);
  if (!missing.empty()) {
    std::string list;
    for (const std::string& address : missing) list += " " + address;
    throw NotFound(std::to_string(missing.size()) + " addresses were not in the base:" + list);
  }
  return kExitDone;
}

}  // namespace

void AddDeleteCommand(CommandSet& commands) {
  auto args = std::make_shared<DeleteArgs>();
  CLI::App* c = commands.Add(
      "delete", "delete objects: by address, a whole kind, or the addresses of a CSV file",
      "An object goes with its comment; the files keep its row until 'symbase compact'.\n"
      "Deleting a kind asks first on a terminal and needs --yes otherwise. Exit code 1\n"
      "when an address was not in the base (the others are deleted).",
      [args] { return RunDelete(*args); });
  AddBaseArgument(c, &args->dir);
  c->add_option("ADDRESS", args->addresses, "the addresses to delete");
  c->add_option("-k,--kind", args->kind, "delete every object of this kind (%MW: words and bits)")
      ->type_name("PREFIX");
  c->add_option("--from", args->from, "delete the addresses of this CSV file (- reads stdin)")
      ->type_name("FILE");
  c->add_flag("-y,--yes", args->yes, "delete a kind without asking");
  AddTableOptions(c, &args->table);
}

}  // namespace cli
