// compact and check: looking after the files of a base.

#include <sys/stat.h>

#include <cstdio>

#include "base.h"
#include "commands.h"
#include "errors.h"
#include "text.h"

namespace cli {

namespace {

long long FileSize(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

// Prints one duplicate check's findings; returns how many it found.
int ReportDuplicates(const char* what, CStringList& found) {
  int count = 0;
  for (POSITION pos = found.GetHeadPosition(); pos != nullptr; ++count) {
    std::string text = static_cast<const char*>(found.GetNext(pos));
    text.erase(text.find_last_not_of(' ') + 1);
    std::printf("repeated %s: %s\n", what, Cp1252ToUtf8(text).c_str());
  }
  return count;
}

}  // namespace

int RunCompact(const Args& args) {
  Base base(args.At(0));
  base.Open(Base::Access::kWrite);
  std::string table = base.Directory() + "KR9.DBF";
  std::string comments = base.Directory() + "KR9CMT.DBF";
  long long before = FileSize(table) + FileSize(comments);
  int result = TBLockBaseSymbol(base.Handle());
  base.CheckNoReport("compacting");
  if (result != 0) throw Failure(ResultMessage(result, "compacting"));
  TBUnlockBaseSymbol(base.Handle(), base.Directory().c_str());
  base.CheckNoReport("reopening the base after compacting");
  long long after = FileSize(table) + FileSize(comments);
  std::printf("compacted %s: tables %lld bytes, now %lld\n", base.Directory().c_str(), before,
              after);
  return 0;
}

int RunCheck(const Args& args) {
  Base base(args.At(0));
  base.Open(Base::Access::kRead);
  long count = 0;
  TBNumberObjectByType(base.Handle(), CString(""), 0, &count);
  base.CheckNoReport("reading the base");
  CTBTest test(base.Handle());
  CStringList addresses;
  CStringList keys;
  CStringList comment_keys;
  test.ListOfDoublonRepSymb(addresses);
  test.ListOfDoublonCleSymb(keys);
  test.ListOfDoublonCleCmt(comment_keys);
  base.CheckNoReport("checking for duplicates");
  int problems = ReportDuplicates("address", addresses) + ReportDuplicates("key", keys) +
                 ReportDuplicates("comment key", comment_keys);
  std::printf("%s: %ld object%s, %d duplicate%s\n", base.Directory().c_str(), count,
              count == 1 ? "" : "s", problems, problems == 1 ? "" : "s");
  return problems == 0 ? 0 : kExitFailure;
}

}  // namespace cli
