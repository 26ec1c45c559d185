// import: the objects of a CSV file into a base, every row checked first.

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>

#include "ask_dialog.h"
#include "base.h"
#include "commands.h"
#include "errors.h"
#include "import_batch.h"
#include "import_summary.h"
#include "insertion.h"
#include "interrupt.h"
#include "json.h"
#include "object_table.h"
#include "progress.h"
#include "table_options.h"
#include "temp_directory.h"

namespace cli {

namespace {

struct ImportArgs {
  std::string dir, file;
  bool replace = false, keep = false, ask = false;
  bool dry_run = false, skip_invalid = false, json = false;
  TableOptionTexts table;
};

// Refuses a file with bad rows unless --skip-invalid: nothing is written.
void CheckTable(const ObjectTable& table, const ImportArgs& args) {
  if (table.problems.empty()) return;
  PrintProblems(table);
  if (args.skip_invalid) return;
  if (args.json) {
    std::vector<std::string> problems;
    for (const RowProblem& problem : table.problems)
      problems.push_back(JsonString(problem.message));
    std::printf("%s\n", JsonObject({{"file", JsonString(table.name)},
                                    {"rows", JsonNumber(static_cast<long long>(table.rows_read))},
                                    {"invalid", JsonNumber(static_cast<long long>(table.bad_rows))},
                                    {"problems", JsonArray(problems)}})
                            .c_str());
  }
  throw Failure(table.name + ": " + std::to_string(table.bad_rows) + " bad row" +
                (table.bad_rows == 1 ? "" : "s") + " of " + std::to_string(table.rows_read) +
                "; nothing was written (--skip-invalid imports the others)");
}

// Inserts the rows one by one, by batches unless a person answers the
// conflicts, stopping between two rows on Ctrl-C.
void InsertRows(Base& base, int mode, const ObjectTable& table, ImportSummary* summary) {
  TBSetButtonAllPressed(base.Handle(), 0);
  DialogScope dialog(mode == kModeAsk);
  Importer importer(base, mode, mode == kModeAsk ? &dialog.Driver() : nullptr);
  ImportBatch batch(base, summary, mode != kModeAsk);
  // Questions and a progress line would share the terminal.
  std::optional<Progress> progress;
  if (mode != kModeAsk) progress.emplace("importing", table.rows.size());
  for (const TableRow& row : table.rows) {
    RowResult result{Outcome::kInterrupted, {}, {}, false};
    if (!InterruptRequested()) {
      batch.Before();
      try {
        result = importer.Insert(row);
      } catch (const CliError&) {
        summary->StoppedAt(row);
        throw;
      }
    }
    if (result.outcome == Outcome::kInterrupted) {
      summary->StoppedAt(row);
      batch.End();
      return;
    }
    batch.Done(row, result);
    if (progress) progress->Advance();
  }
  batch.End();
}

int RunImport(const ImportArgs& args) {
  int mode = args.replace ? kModeReplace : args.ask ? kModeAsk : kModeKeep;
  if (args.file == "-" && mode == kModeAsk) {
    throw UsageError("--ask reads its answers on stdin: give a file");
  }
  ObjectTable table = ReadObjectTable(args.file, args.table.Get());
  CheckTable(table, args);
  // A dry run imports into a copy, taken while the base is open for reading.
  std::optional<Base> original;
  std::optional<ScratchCopy> copy;
  if (args.dry_run) {
    original.emplace(args.dir);
    original->Open(Base::Access::kRead);
    copy.emplace(*original);
    original.reset();
  }
  Base base(copy ? copy->Directory() : args.dir);
  base.Open(Base::Access::kWrite);
  ImportSummary summary(table, args.dry_run);
  try {
    InsertRows(base, mode, table, &summary);
  } catch (const CliError&) {
    // What was done before the failure stays in the base: say what it was.
    summary.Print(args.json);
    throw;
  }
  summary.Print(args.json);
  if (summary.Stopped()) throw Interrupted(summary.StopMessage());
  return kExitDone;
}

}  // namespace

void AddImportCommand(CommandSet& commands) {
  auto args = std::make_shared<ImportArgs>();
  CLI::App* c = commands.Add(
      "import", "insert the objects of a CSV file",
      "The file's first line names its columns: address,symbol,comment (or\n"
      "adresse;symbole;commentaire). The whole file is checked first; every bad row\n"
      "is reported with its line, column and field, and nothing is written unless\n"
      "--skip-invalid is given. What is new is added, what is missing is completed; a\n"
      "row that contradicts the base is a conflict: --keep (the default) leaves the\n"
      "base as it is, --replace takes the file's row, --ask shows both and asks: o oui,\n"
      "t oui pour tous, n non, s non pour tous, a annuler. A replacement that moves a\n"
      "symbol takes its row to the new address: the summary names every such move.\n"
      "Ctrl-C stops between two rows; the rows done stay in the base.",
      [args] { return RunImport(*args); });
  AddBaseArgument(c, &args->dir);
  c->add_option("FILE", args->file, "the CSV file; - reads stdin")->required();
  CLI::Option* replace =
      c->add_flag("--replace", args->replace, "take the file's version of each conflict");
  CLI::Option* keep =
      c->add_flag("--keep", args->keep, "leave each conflict as the base has it (the default)");
  c->add_flag("--ask", args->ask, "show each conflict and ask")->excludes(replace)->excludes(keep);
  keep->excludes(replace);
  c->add_flag("-n,--dry-run", args->dry_run, "say what the import would do, writing nothing");
  c->add_flag("--skip-invalid", args->skip_invalid,
              "import the good rows of a file that has bad ones");
  AddJsonFlag(c, &args->json, "the summary");
  AddTableOptions(c, &args->table);
}

}  // namespace cli
