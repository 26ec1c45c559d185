#include "import_summary.h"

#include <cstdio>

#include "json.h"
#include "object_print.h"
#include "options.h"
#include "text.h"

namespace cli {

namespace {

constexpr std::size_t kShownKept = 20;
constexpr const char* kOutcomeNames[] = {"added",     "changed", "moved",
                                         "unchanged", "kept",    "refused"};
constexpr std::size_t kCounted = sizeof kOutcomeNames / sizeof kOutcomeNames[0];

std::string U(const std::string& text) { return Cp1252ToUtf8(text); }

std::string MoveText(const TableRow& row, const RowResult& result) {
  std::string text = "line " + std::to_string(row.line) + ": moved symbol " + U(row.object.symbol) +
                     " from " + U(result.holder.address) + " to " + U(row.object.address) + "; " +
                     U(result.holder.address) + " is no longer in the base";
  if (result.dropped_symbol) {
    text +=
        ", nor the symbol " + U(result.before.symbol) + " that " + U(row.object.address) + " had";
  }
  return text;
}

std::string KeptText(const TableRow& row, const RowResult& result) {
  if (result.before.address.empty()) {
    return "kept line " + std::to_string(row.line) + ": " + U(row.object.address) +
           " not added, its symbol " + U(row.object.symbol) + " stays on " +
           U(result.holder.address);
  }
  return "kept " + U(row.object.address) + " (line " + std::to_string(row.line) +
         "): the base has " + VersionInline(result.before) + ", the file " +
         VersionInline(row.object);
}

std::string MoveJson(const TableRow& row, const RowResult& result) {
  return JsonObject(
      {{"line", JsonNumber(row.line)},
       {"symbol", JsonString(U(row.object.symbol))},
       {"from", JsonString(U(result.holder.address))},
       {"to", JsonString(U(row.object.address))},
       {"dropped_symbol", result.dropped_symbol ? JsonString(U(result.before.symbol)) : "null"}});
}

std::string KeptJson(const TableRow& row, const RowResult& result) {
  bool in_base = !result.before.address.empty();
  return JsonObject({{"line", JsonNumber(row.line)},
                     {"base", ObjectJson(in_base ? result.before : result.holder)},
                     {"file", ObjectJson(row.object)}});
}

}  // namespace

void ImportSummary::Count(const TableRow& row, const RowResult& result) {
  auto index = static_cast<std::size_t>(result.outcome);
  if (index < kCounted) ++counts_[index];
  if (result.outcome == Outcome::kMoved) moved_.push_back({row, result});
  if (result.outcome == Outcome::kKept) kept_.push_back({row, result});
}

std::string ImportSummary::StopMessage() const {
  return "import interrupted at line " + std::to_string(stopped_line_) +
         (dry_run_ ? "" : "; the rows before it stay in the base");
}

std::string ImportSummary::CountsText() const {
  std::size_t done = 0;
  for (std::size_t count : counts_) done += count;
  std::size_t invalid = table_.bad_rows;
  std::size_t rows = table_.rows_read;
  std::string text = dry_run_ ? "would import " : "imported ";
  text += Stopped() ? std::to_string(done) + " of " + std::to_string(rows) + " rows: "
                    : std::to_string(rows) + (rows == 1 ? " row: " : " rows: ");
  for (std::size_t i = 0; i < kCounted; ++i) {
    text += (i == 0 ? "" : ", ") + std::to_string(counts_[i]) + " " + kOutcomeNames[i];
  }
  if (invalid > 0) text += ", " + std::to_string(invalid) + " invalid skipped";
  if (Stopped()) text += ", " + std::to_string(rows - invalid - done) + " not done";
  if (dry_run_) text += " (dry run: nothing was written)";
  return text;
}

std::string ImportSummary::Json() const {
  std::vector<std::pair<std::string, std::string>> members = {
      {"file", JsonString(table_.name)},
      {"dry_run", JsonBool(dry_run_)},
      {"rows", JsonNumber(static_cast<long long>(table_.rows_read))}};
  std::size_t done = 0;
  for (std::size_t i = 0; i < kCounted; ++i) {
    members.emplace_back(kOutcomeNames[i], JsonNumber(static_cast<long long>(counts_[i])));
    done += counts_[i];
  }
  std::size_t not_done = Stopped() ? table_.rows_read - table_.bad_rows - done : 0;
  members.emplace_back("invalid", JsonNumber(static_cast<long long>(table_.bad_rows)));
  members.emplace_back("not_done", JsonNumber(static_cast<long long>(not_done)));
  members.emplace_back("stopped_at_line", Stopped() ? JsonNumber(stopped_line_) : "null");
  std::vector<std::string> moves, kept, problems;
  for (const Named& move : moved_) moves.push_back(MoveJson(move.row, move.result));
  for (const Named& row : kept_) kept.push_back(KeptJson(row.row, row.result));
  for (const RowProblem& problem : table_.problems) problems.push_back(JsonString(problem.message));
  members.emplace_back("moves", JsonArray(moves));
  members.emplace_back("kept_rows", JsonArray(kept));
  members.emplace_back("problems", JsonArray(problems));
  return JsonObject(members);
}

void ImportSummary::Print(bool json) const {
  if (json) {
    std::printf("%s\n", Json().c_str());
    return;
  }
  if (Options().quiet) return;
  for (const Named& move : moved_) std::printf("%s\n", MoveText(move.row, move.result).c_str());
  std::size_t shown = Options().verbose ? kept_.size() : kShownKept;
  for (std::size_t i = 0; i < kept_.size() && i < shown; ++i) {
    std::printf("%s\n", KeptText(kept_[i].row, kept_[i].result).c_str());
  }
  if (kept_.size() > shown) {
    std::printf("... and %zu more kept rows (--verbose lists them all)\n", kept_.size() - shown);
  }
  std::printf("%s\n", CountsText().c_str());
}

}  // namespace cli
