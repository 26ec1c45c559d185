// search, list, count: reading the base.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "base.h"
#include "commands.h"
#include "errors.h"
#include "fields.h"
#include "json.h"
#include "object_print.h"
#include "objects.h"
#include "options.h"
#include "pager.h"
#include "progress.h"
#include "text.h"

namespace cli {

namespace {

// Library codes of the text search.
constexpr int kFieldSymbol = 0;
constexpr int kFieldComment = 1;
constexpr int kMatchContains = 0;
constexpr int kMatchEnds = 1;
constexpr int kMatchBegins = 2;

// A listing for people through the pager, or a JSON array.
void PrintListing(const std::vector<ObjectText>& objects, bool json, bool with_count) {
  if (json) {
    std::printf("%s\n", ObjectsJson(objects).c_str());
    return;
  }
  if (Options().quiet) return;
  ListingOutput out;
  if (out.Write(ObjectColumns(objects)) && with_count)
    out.Write(ObjectCount(objects.size()) + "\n");
}

struct SearchArgs {
  std::string dir, text;
  bool comments = false, begins = false, ends = false, by_symbol = false, json = false;
};

int RunSearch(const SearchArgs& args) {
  std::string text = LibraryText(args.text, "search text");
  if (text.empty()) throw UsageError("the search text is empty");
  int match = args.begins ? kMatchBegins : args.ends ? kMatchEnds : kMatchContains;
  int field = args.comments ? kFieldComment : kFieldSymbol;
  Base base(args.dir);
  base.Open(Base::Access::kRead);
  const std::string no_match = "no object matches \"" + Shown(args.text) + "\"";
  // The symbol search quotes the text in an xBase expression, which an
  // apostrophe would end and an overlong text would overflow; no symbol holds
  // either, so such a text is not sent.
  if (field == kFieldSymbol && (text.find('\'') != std::string::npos || text.size() > kMaxSymbol)) {
    throw NotFound(no_match);
  }
  CStringList addresses;
  int result = TBFindStringInBase(base.Handle(), addresses, args.by_symbol ? 1 : 0, field,
                                  CString(text.c_str()), match);
  base.CheckNoReport("cannot search");
  if (result == TB_NO_MATCH) throw NotFound(no_match);
  if (result != 0) base.ThrowResult(result, "cannot search");
  std::vector<ObjectText> objects;
  for (POSITION pos = addresses.GetHeadPosition(); pos != nullptr;) {
    std::string address = static_cast<const char*>(addresses.GetNext(pos));
    ObjectText object;
    if (LookUpObject(base, address, false, &object)) objects.push_back(object);
  }
  if (objects.empty()) throw NotFound(no_match);
  PrintListing(objects, args.json, false);
  return kExitDone;
}

std::string OptionalPrefix(const std::string& text) {
  return text.empty() ? std::string() : LibraryPrefix(text);
}

struct ListArgs {
  std::string dir, prefix;
  bool json = false;
};

int RunList(const ListArgs& args) {
  std::string prefix = OptionalPrefix(args.prefix);
  Base base(args.dir);
  base.Open(Base::Access::kRead);
  std::vector<ObjectText> objects;
  {
    Progress progress("reading", 0, "objects");
    objects = ExportObjects(base, prefix, &progress);
  }
  PrintListing(objects, args.json, true);
  return kExitDone;
}

int RunCount(const ListArgs& args) {
  std::string prefix = OptionalPrefix(args.prefix);
  Base base(args.dir);
  base.Open(Base::Access::kRead);
  long count = 0;
  int result = TBNumberObjectByType(base.Handle(), CString(prefix.c_str()), 0, &count);
  base.CheckNoReport("cannot count the objects");
  if (result != 0) base.ThrowResult(result, "cannot count the objects");
  if (args.json) {
    std::printf(
        "%s\n",
        JsonObject({{"prefix", JsonString(args.prefix)}, {"count", JsonNumber(count)}}).c_str());
  } else if (!Options().quiet) {
    std::printf("%ld\n", count);
  }
  return kExitDone;
}

}  // namespace

void AddQueryCommands(CommandSet& commands) {
  auto search = std::make_shared<SearchArgs>();
  CLI::App* c = commands.Add(
      "search", "the objects whose symbol or comment holds a text",
      "Case is ignored. Objects come in address order, or symbol order with --by-symbol.\n"
      "Exit code 1 when none matches.",
      [search] { return RunSearch(*search); });
  AddBaseArgument(c, &search->dir);
  c->add_option("TEXT", search->text, "the text sought")->required();
  c->add_flag("--comments", search->comments, "search the comments instead of the symbols");
  CLI::Option* begins = c->add_flag("--begins", search->begins, "the text begins the symbol");
  c->add_flag("--ends", search->ends, "the text ends the symbol")->excludes(begins);
  c->add_flag("--by-symbol", search->by_symbol, "in symbol order");
  AddJsonFlag(c, &search->json, "the objects (an array)");

  const char* kPrefixHelp =
      "an object kind: %MW gives the words and their bits, %I every module input (%I, %IW,\n"
      "%ID), %X the steps";
  auto list = std::make_shared<ListArgs>();
  c = commands.Add("list", "every object, or those of one kind",
                   "In address order. On a terminal the listing goes through $PAGER (less\n"
                   "when unset); --no-pager prints it straight.",
                   [list] { return RunList(*list); });
  AddBaseArgument(c, &list->dir);
  c->add_option("PREFIX", list->prefix, kPrefixHelp);
  AddJsonFlag(c, &list->json, "the objects (an array)");

  auto count = std::make_shared<ListArgs>();
  c = commands.Add("count", "the number of objects, or of one kind", "",
                   [count] { return RunCount(*count); });
  AddBaseArgument(c, &count->dir);
  c->add_option("PREFIX", count->prefix, kPrefixHelp);
  AddJsonFlag(c, &count->json, "the count ({\"prefix\": ..., \"count\": n})");
}

}  // namespace cli
