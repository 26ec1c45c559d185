// diff: what differs between two bases, or a base and a CSV file, by address.

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <map>
#include <memory>

#include "base.h"
#include "commands.h"
#include "errors.h"
#include "json.h"
#include "object_print.h"
#include "object_table.h"
#include "objects.h"
#include "options.h"
#include "pager.h"
#include "table_options.h"
#include "text.h"

namespace cli {

namespace {

struct DiffArgs {
  std::string first, second;
  bool json = false;
  TableOptionTexts table;
};

using ObjectMap = std::map<std::string, ObjectText>;

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string StoredComment(std::string comment) {
  comment.erase(comment.find_last_not_of(' ') + 1);
  return comment;
}

// The objects of a base directory or of a table file, by address.
ObjectMap Load(const std::string& path, const TableOptionTexts& options) {
  ObjectMap objects;
  if (IsDirectory(path)) {
    Base base(path);
    base.Open(Base::Access::kRead);
    for (ObjectText& object : ExportObjects(base, "")) objects[object.address] = std::move(object);
    return objects;
  }
  ObjectTable table = ReadObjectTable(path, options.Get());
  if (!table.problems.empty()) {
    PrintProblems(table);
    throw Failure(table.name + ": " + std::to_string(table.bad_rows) +
                  " bad rows; nothing compared");
  }
  for (TableRow& row : table.rows) {
    row.object.comment = StoredComment(row.object.comment);
    objects[row.object.address] = std::move(row.object);
  }
  return objects;
}

struct Difference {
  ObjectText before;  // empty address: added
  ObjectText after;   // empty address: removed
};

std::string ChangeText(const Difference& change) {
  std::string text = "~ " + Cp1252ToUtf8(change.before.address);
  if (change.before.symbol != change.after.symbol) {
    text += "  symbol " + Cp1252ToUtf8(change.before.symbol) + " -> " +
            Cp1252ToUtf8(change.after.symbol);
  }
  if (change.before.comment != change.after.comment) {
    text += "  comment \"" + Cp1252ToUtf8(change.before.comment) + "\" -> \"" +
            Cp1252ToUtf8(change.after.comment) + "\"";
  }
  return text;
}

std::string DifferenceText(const Difference& difference) {
  if (difference.before.address.empty()) return "+ " + ObjectInline(difference.after);
  if (difference.after.address.empty()) return "- " + ObjectInline(difference.before);
  return ChangeText(difference);
}

std::string DifferencesJson(const std::vector<Difference>& differences) {
  std::vector<std::string> added, removed, changed;
  for (const Difference& difference : differences) {
    if (difference.before.address.empty()) {
      added.push_back(ObjectJson(difference.after));
    } else if (difference.after.address.empty()) {
      removed.push_back(ObjectJson(difference.before));
    } else {
      changed.push_back(
          JsonObject({{"address", JsonString(Cp1252ToUtf8(difference.before.address))},
                      {"before", ObjectJson(difference.before)},
                      {"after", ObjectJson(difference.after)}}));
    }
  }
  return JsonObject({{"added", JsonArray(added)},
                     {"removed", JsonArray(removed)},
                     {"changed", JsonArray(changed)}});
}

// The differences in address order.
std::vector<Difference> Compare(const ObjectMap& first, const ObjectMap& second) {
  std::vector<ObjectText> addresses;
  for (const auto& entry : first) addresses.push_back({entry.first, "", ""});
  for (const auto& entry : second) {
    if (first.count(entry.first) == 0) addresses.push_back({entry.first, "", ""});
  }
  CTBData* handle = nullptr;
  TBInitTabisDll(&handle);
  SortByAddress(handle, &addresses);
  TBFreeTabisDll(handle);
  std::vector<Difference> differences;
  for (const ObjectText& key : addresses) {
    auto before = first.find(key.address);
    auto after = second.find(key.address);
    if (before == first.end()) {
      differences.push_back({{}, after->second});
    } else if (after == second.end()) {
      differences.push_back({before->second, {}});
    } else if (!(before->second == after->second)) {
      differences.push_back({before->second, after->second});
    }
  }
  return differences;
}

int RunDiff(const DiffArgs& args) {
  ObjectMap first = Load(args.first, args.table);
  ObjectMap second = Load(args.second, args.table);
  std::vector<Difference> differences = Compare(first, second);
  if (args.json) {
    std::printf("%s\n", DifferencesJson(differences).c_str());
  } else if (!Options().quiet) {
    std::size_t counts[3] = {};
    std::string text;
    for (const Difference& difference : differences) {
      ++counts[difference.before.address.empty() ? 0 : difference.after.address.empty() ? 1 : 2];
      text += DifferenceText(difference) + "\n";
    }
    text += differences.empty()
                ? "no difference\n"
                : std::to_string(counts[0]) + " added, " + std::to_string(counts[1]) +
                      " removed, " + std::to_string(counts[2]) + " changed\n";
    ListingOutput out;
    out.Write(text);
  }
  return differences.empty() ? kExitDone : kExitNotFound;
}

}  // namespace

void AddDiffCommand(CommandSet& commands) {
  auto args = std::make_shared<DiffArgs>();
  CLI::App* c = commands.Add(
      "diff", "what differs between two bases, or a base and a CSV file",
      "Objects are compared by address: + added in B, - removed from A, ~ a changed\n"
      "symbol or comment. Exit code 0 when A and B hold the same objects, 1 when they\n"
      "differ (as diff(1) does).",
      [args] { return RunDiff(*args); });
  c->add_option("A", args->first, "a base's directory or a CSV file")->required();
  c->add_option("B", args->second, "a base's directory or a CSV file")->required();
  AddJsonFlag(c, &args->json, "the differences ({\"added\", \"removed\", \"changed\"})");
  AddTableOptions(c, &args->table);
}

}  // namespace cli
