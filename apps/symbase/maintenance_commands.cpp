// compact, check and repair: looking after the files of a base.

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "base.h"
#include "base_files.h"
#include "commands.h"
#include "errors.h"
#include "findings.h"
#include "interrupt.h"
#include "json.h"
#include "options.h"
#include "progress.h"
#include "system_errors.h"

namespace cli {

namespace {

struct BaseArgs {
  std::string dir;
  bool json = false;
  bool all = false;  // every finding, not 20 of each file and kind
};

long long FileSize(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

long long TableBytes(const Base& base) {
  return FileSize(base.Directory() + "KR9.DBF") + FileSize(base.Directory() + "KR9CMT.DBF");
}

int RunCompact(const BaseArgs& args) {
  Base base(args.dir);
  base.Open(Base::Access::kWrite);
  long long before = TableBytes(base);
  {
    // The compaction is one call: Ctrl-C waits for its end (see Base::Open).
    Progress progress("compacting", 0);
    int result = TBLockBaseSymbol(base.Handle());
    if (result != 0) base.ThrowResult(result, "cannot compact");
    base.CheckNoReport("cannot compact");
    TBUnlockBaseSymbol(base.Handle(), base.Directory().c_str());
    base.CheckNoReport("cannot reopen the base after compacting");
  }
  Say("compacted " + base.Directory() + ": tables " + std::to_string(before) + " bytes, now " +
      std::to_string(TableBytes(base)));
  return kExitDone;
}

// "1 fault", "3 faults".
std::string Faults(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " fault" : " faults");
}

// What a check or a repair left for a person: the faults in the rows, and
// those a repair mends.
std::string Verdict(const std::string& directory, const std::vector<Finding>& findings) {
  std::size_t mendable = Repairable(findings);
  std::size_t rows = findings.size() - mendable;
  std::string repair = "'symbase repair " + directory + "' mends ";
  if (rows == 0) {
    return "the base in " + directory + " is damaged: " + Faults(mendable) +
           " in its index files or table headers; " + repair + (mendable == 1 ? "it" : "them");
  }
  std::string verdict = "the base in " + directory + " is damaged: " + Faults(rows) +
                        " in its rows, which a repair cannot mend: a person must look at " +
                        (rows == 1 ? "it" : "them");
  if (mendable > 0) {
    verdict +=
        "; " + repair + "the rest (" + Faults(mendable) + " in its index files or table headers)";
  }
  return verdict;
}

// The library's TB_LOCKED_BY_OTHER for check and repair, and its other failures.
[[noreturn]] void Refused(Base& base, int result, const std::string& doing, const char* busy) {
  if (result == TB_LOCKED_BY_OTHER) throw InUse(doing + ": " + busy);
  base.ThrowResult(result, doing);
}

int RunCheck(const BaseArgs& args) {
  Base base(args.dir);
  RequireSomeBaseFile(base.Directory());
  std::vector<Finding> findings;
  int result;
  {
    Progress progress("checking", 0);
    result = CheckFiles(base.Handle(), base.Directory(), &findings);
  }
  std::string doing = "cannot check the base in " + base.Directory();
  base.CheckNoReport(doing);
  if (result != 0 && result != TB_CHECK_REPAIRABLE && result != TB_CHECK_DAMAGED) {
    Refused(base, result, doing, "another process kept it busy; try again");
  }
  if (args.json) {
    std::printf("%s\n", JsonObject({{"directory", JsonString(base.Directory())},
                                    {"sound", JsonBool(result == 0)},
                                    {"repairable", JsonBool(result == TB_CHECK_REPAIRABLE)},
                                    {"findings", FindingsJson(findings)}})
                            .c_str());
  } else {
    for (const std::string& line : FindingLines(findings, args.all)) Say(line);
    Say(result == 0 ? "the base in " + base.Directory() + " is sound"
                    : Verdict(base.Directory(), findings));
  }
  return result == 0 ? kExitDone : kExitDamaged;
}

int RunRepair(const BaseArgs& args) {
  Base base(args.dir);
  RequireSomeBaseFile(base.Directory());
  std::vector<Finding> actions;
  int result;
  {
    // The repair is one call: Ctrl-C waits for its end.
    InterruptScope hold;
    Progress progress("repairing", 0);
    result = RepairFiles(base.Handle(), base.Directory(), &actions);
  }
  std::string doing = "cannot repair the base in " + base.Directory();
  base.CheckNoReport(doing);
  if (result == TB_CHECK_REPAIRABLE) {
    // Left as it was: the files could not be written.
    std::string cause = ProbeBaseFiles(base.Directory(), true, true);
    throw Failure(doing + ": " + (cause.empty() ? "its index files could not be rebuilt" : cause));
  }
  if (result != 0 && result != TB_CHECK_DAMAGED) {
    Refused(base, result, doing,
            "another process has it open, and a repair needs it to itself; try again when "
            "it is closed");
  }
  std::vector<Finding> done, left;
  for (const Finding& action : actions) {
    (action.kind == CTBCheckFinding::kRepaired ? done : left).push_back(action);
  }
  if (args.json) {
    std::printf("%s\n", JsonObject({{"directory", JsonString(base.Directory())},
                                    {"sound", JsonBool(result == 0)},
                                    {"repaired", FindingsJson(done)},
                                    {"remaining", FindingsJson(left)}})
                            .c_str());
  } else {
    for (const std::string& line : FindingLines(actions, args.all)) Say(line);
    if (result == 0) {
      Say("the base in " + base.Directory() + " is sound" +
          (done.empty() ? ": nothing to repair" : ""));
    } else {
      Say(Verdict(base.Directory(), left));
    }
  }
  return result == 0 ? kExitDone : kExitDamaged;
}

void AddAllFlag(CLI::App* command, bool* all) {
  command->add_flag("--all", *all, "print every finding, not 20 of each file and kind");
}

}  // namespace

void AddMaintenanceCommands(CommandSet& commands) {
  auto compact = std::make_shared<BaseArgs>();
  CLI::App* c = commands.Add("compact", "remove deleted rows from the files",
                             "Locks the base, which compacts both tables, and opens it again.",
                             [compact] { return RunCompact(*compact); });
  AddBaseArgument(c, &compact->dir);

  auto check = std::make_shared<BaseArgs>();
  c = commands.Add(
      "check", "check the files of a base",
      "Checks every index file against its table, the tables' headers and layout, and\n"
      "the rows: the key fields derived again from each address, comment rows against\n"
      "the objects, repeated addresses, keys and symbols. Each finding is printed as\n"
      "FILE: KIND: TEXT, the kind being index, header or rows; past 20 of one file and\n"
      "kind, the others are counted (--all prints them). Other processes may use the\n"
      "base meanwhile. Exit code 0 when the base is sound, 3 when it is damaged:\n"
      "'symbase repair' mends the index and header faults, a person the row faults.",
      [check] { return RunCheck(*check); });
  AddBaseArgument(c, &check->dir);
  AddJsonFlag(c, &check->json, "the findings");
  AddAllFlag(c, &check->all);

  auto repair = std::make_shared<BaseArgs>();
  c = commands.Add(
      "repair", "rebuild the index files and correct the table headers",
      "Rebuilds the four index files from the tables (each replaced file is kept beside\n"
      "it as NAME.bak), corrects table headers that claim more rows than their file\n"
      "holds, and undoes a write left unfinished. Prints each thing it did, then the\n"
      "faults in the rows that it cannot mend (20 of each file, as check does). The base\n"
      "must not be open in any other process (exit code 4 otherwise). Exit code 0 when\n"
      "the base is sound afterwards, 3 when row faults remain.",
      [repair] { return RunRepair(*repair); });
  AddBaseArgument(c, &repair->dir);
  AddJsonFlag(c, &repair->json, "what was done and what remains");
  AddAllFlag(c, &repair->all);
}

}  // namespace cli
