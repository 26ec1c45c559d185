// search, list, count: reading the base.

#include <cstdio>

#include "base.h"
#include "commands.h"
#include "errors.h"
#include "fields.h"
#include "objects.h"
#include "text.h"

namespace cli {

namespace {

// Library codes of the text search.
constexpr int kFieldSymbol = 0;
constexpr int kFieldComment = 1;
constexpr int kMatchContains = 0;
constexpr int kMatchEnds = 1;
constexpr int kMatchBegins = 2;
constexpr int kNoMatch = 108;
constexpr std::size_t kPage = 50;
constexpr std::size_t kShownText =
    40;  // of a search text quoted in a message  // rows between pauses on a terminal

std::string OptionalPrefix(const Args& args, std::size_t index) {
  return index < args.positional.size() ? LibraryPrefix(args.positional[index]) : std::string();
}

}  // namespace

int RunSearch(const Args& args) {
  if (args.Has("--begins") && args.Has("--ends")) {
    throw UsageError("--begins and --ends exclude each other");
  }
  std::string text = LibraryText(args.At(1), "search text");
  if (text.empty()) throw UsageError("the search text is empty");
  int match = args.Has("--begins") ? kMatchBegins
              : args.Has("--ends") ? kMatchEnds
                                   : kMatchContains;
  int field = args.Has("--comments") ? kFieldComment : kFieldSymbol;
  Base base(args.At(0));
  base.Open(Base::Access::kRead);
  std::string shown = args.At(1);
  if (shown.size() > kShownText) shown = shown.substr(0, kShownText) + "...";
  const std::string no_match = "no object matches \"" + shown + "\"";
  // The symbol search quotes the text in an xBase expression, which an
  // apostrophe would end and an overlong text would overflow; no symbol holds
  // either, so such a text is not sent.
  if (field == kFieldSymbol && (text.find('\'') != std::string::npos || text.size() > kMaxSymbol)) {
    throw Failure(no_match);
  }
  CStringList addresses;
  int result = TBFindStringInBase(base.Handle(), addresses, args.Has("--by-symbol") ? 1 : 0, field,
                                  CString(text.c_str()), match);
  base.CheckNoReport("searching");
  if (result == kNoMatch) throw Failure(no_match);
  if (result != 0) throw Failure(ResultMessage(result, "searching"));
  std::vector<ObjectText> objects;
  for (POSITION pos = addresses.GetHeadPosition(); pos != nullptr;) {
    std::string address = static_cast<const char*>(addresses.GetNext(pos));
    ObjectText object;
    if (LookUpObject(base, address, false, &object)) objects.push_back(object);
  }
  if (objects.empty()) throw Failure(no_match);
  PrintObjectTable(objects);
  return 0;
}

int RunList(const Args& args) {
  std::string prefix = OptionalPrefix(args, 1);
  Base base(args.At(0));
  base.Open(Base::Access::kRead);
  std::vector<ObjectText> objects = ExportObjects(base, prefix);
  PrintObjectTable(objects, kPage);
  std::printf("%zu object%s\n", objects.size(), objects.size() == 1 ? "" : "s");
  return 0;
}

int RunCount(const Args& args) {
  std::string prefix = OptionalPrefix(args, 1);
  Base base(args.At(0));
  base.Open(Base::Access::kRead);
  long count = 0;
  TBNumberObjectByType(base.Handle(), CString(prefix.c_str()), 0, &count);
  base.CheckNoReport("counting");
  std::printf("%ld\n", count);
  return 0;
}

}  // namespace cli
