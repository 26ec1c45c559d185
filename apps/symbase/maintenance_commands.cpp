// compact and check: looking after the files of a base.

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "base.h"
#include "commands.h"
#include "errors.h"
#include "json.h"
#include "options.h"
#include "progress.h"
#include "text.h"

namespace cli {

namespace {

struct BaseArgs {
  std::string dir;
  bool json = false;
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

// One duplicate check's findings, without their trailing blanks.
std::vector<std::string> Found(CStringList& list) {
  std::vector<std::string> found;
  for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
    std::string text = static_cast<const char*>(list.GetNext(pos));
    text.erase(text.find_last_not_of(' ') + 1);
    found.push_back(Cp1252ToUtf8(text));
  }
  return found;
}

std::string JsonTexts(const std::vector<std::string>& texts) {
  std::vector<std::string> values;
  for (const std::string& text : texts) values.push_back(JsonString(text));
  return JsonArray(values);
}

int RunCheck(const BaseArgs& args) {
  Base base(args.dir);
  base.Open(Base::Access::kRead);
  long count = 0;
  std::vector<std::string> found[3];
  {
    Progress progress("checking", 0);
    TBNumberObjectByType(base.Handle(), CString(""), 0, &count);
    base.CheckNoReport("cannot read the base");
    CTBTest test(base.Handle());
    CStringList addresses, keys, comment_keys;
    test.ListOfDoublonRepSymb(addresses);
    test.ListOfDoublonCleSymb(keys);
    test.ListOfDoublonCleCmt(comment_keys);
    base.CheckNoReport("cannot check for duplicates");
    found[0] = Found(addresses);
    found[1] = Found(keys);
    found[2] = Found(comment_keys);
  }
  std::size_t problems = found[0].size() + found[1].size() + found[2].size();
  if (args.json) {
    std::printf("%s\n", JsonObject({{"directory", JsonString(base.Directory())},
                                    {"objects", JsonNumber(count)},
                                    {"repeated_addresses", JsonTexts(found[0])},
                                    {"repeated_keys", JsonTexts(found[1])},
                                    {"repeated_comment_keys", JsonTexts(found[2])},
                                    {"clean", JsonBool(problems == 0)}})
                            .c_str());
  } else if (!Options().quiet) {
    const char* const kWhat[] = {"address", "key", "comment key"};
    for (int i = 0; i < 3; ++i) {
      for (const std::string& text : found[i])
        std::printf("repeated %s: %s\n", kWhat[i], text.c_str());
    }
    std::printf("%s: %ld object%s, %zu duplicate%s\n", base.Directory().c_str(), count,
                count == 1 ? "" : "s", problems, problems == 1 ? "" : "s");
  }
  return problems == 0 ? kExitDone : kExitDamaged;
}

}  // namespace

void AddMaintenanceCommands(CommandSet& commands) {
  auto compact = std::make_shared<BaseArgs>();
  CLI::App* c = commands.Add("compact", "remove deleted rows from the files",
                             "Locks the base, which compacts both tables, and opens it again.",
                             [compact] { return RunCompact(*compact); });
  AddBaseArgument(c, &compact->dir);

  auto check = std::make_shared<BaseArgs>();
  c = commands.Add("check", "look for repeated addresses and keys",
                   "Opens the base, reports any error the library meets on the way, and lists\n"
                   "repeated addresses and keys. Exit code 3 when something is wrong.",
                   [check] { return RunCheck(*check); });
  AddBaseArgument(c, &check->dir);
  AddJsonFlag(c, &check->json, "the findings");
}

}  // namespace cli
