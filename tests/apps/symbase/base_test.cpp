// Opening a base: a missing base or table named, the library's reports with
// --verbose, a base shared with other processes, a base the user may only
// read.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "apps/symbase/cli_fixture.h"
#include "apps/symbase/terminal_session.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::RunCli;
using cli_testing::ShellQuoted;

class CliOpen : public cli_testing::PlantBase {};

TEST_F(CliOpen, AMissingBaseOrTableIsNamed) {
  testing_support::TempDir empty;
  cli_testing::RunSteps(empty.path(),
                        {{{"list", "@"},
                          3,
                          {},
                          {"=symbase: no symbol base in @/ ('symbase create @/' makes one)\n"}}});
  // No repair makes a table again, and create does not empty what is left.
  ASSERT_EQ(::unlink(dir_.file("KR9CMT.DBF").c_str()), 0);
  Steps({{{"list", "@"},
          3,
          {},
          {"=symbase: the base in @/ is damaged: its table KR9CMT.DBF is missing, and a repair "
           "cannot make a table again (restore it from a backup)\n"}},
         {{"create", "@"}, 1}});
  EXPECT_FALSE(testing_support::ReadFileBytes(dir_.file("KR9.DBF")).empty());
}

TEST_F(CliOpen, ADamagedTableIsSaidSoAndVerboseShowsTheReports) {
  testing_support::WriteFileBytes(dir_.file("KR9.DBF"), "not a table");
  Steps({{{"find", "@", "%MW1"},
          3,
          {"="},
          {"symbase: cannot open the base in @/: the library reported ",
           "the base may be damaged ('symbase check @/' looks into it; --verbose shows every "
           "report)\n",
           "!symbase: library:"}},
         {{"find", "@", "%MW1", "--verbose"},
          3,
          {},
          {"symbase: library: error 146/4 code -60", "(Tabiserr line "}}});
}

// A listing left open in its pager holds the base open: other commands read
// and write meanwhile; what needs the base to itself says it is in use (4).
TEST_F(CliOpen, WhatNeedsTheBaseToItselfWaitsForOtherProcesses) {
  cli_testing::TerminalSession lister({"list", dir_.path()},
                                      {"PAGER=cat >/dev/null; echo paging; read answer </dev/tty"});
  ASSERT_TRUE(lister.WaitFor("paging")) << lister.Output();
  Steps({{{"add", "@", "%MW50", "Pendant"}, 0},
         {{"compact", "@"},
          4,
          {},
          {"=symbase: cannot compact: the base is in use by another process; try again\n"}}});
  ASSERT_EQ(::unlink(dir_.file("KR9R.MDX").c_str()), 0);
  Steps({{{"repair", "@"},
          4,
          {},
          {"=symbase: cannot repair the base in @/: another process has it open, and a repair "
           "needs it to itself; try again when it is closed\n"}}});
  lister.Send("\n");
  EXPECT_EQ(lister.Finish(), 0) << lister.Output();
}

// A way to run the program as a user who may read the base but not write
// it: root drops to nobody (setpriv), or the base is mounted read-only in a
// namespace of this user; "" when neither works here.
std::string ReaderPrefix(const std::string& directory) {
  std::string probe = " " + ShellQuoted(SYMBASE_CLI_PATH) + " --version >/dev/null 2>&1";
  if (::geteuid() != 0) return " ";
  std::string nobody = "setpriv --reuid=65534 --regid=65534 --clear-groups";
  if (std::system((nobody + probe).c_str()) == 0) return nobody;
  std::string quoted = ShellQuoted(directory);
  std::string mounted =
      "unshare -rm sh -c " +
      ShellQuoted("mount --bind " + quoted + " " + quoted + " && mount -o remount,ro,bind " +
                  quoted + " " + quoted + " && exec \"$0\" \"$@\"");
  if (std::system((mounted + probe).c_str()) == 0) return mounted;
  return "";
}

// Reads work on a base the user may only read; a write is refused naming
// the file and the system's reason, before the library is asked.
TEST_F(CliOpen, ABaseTheUserMayOnlyRead) {
  struct Writable {
    std::string path;
    ~Writable() { ::chmod(path.c_str(), 0755); }
  } restore{dir_.path()};
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0555), 0);
  for (const char* name :
       {"KR9.DBF", "KR9CMT.DBF", "KR9CLER.MDX", "KR9R.MDX", "KR9S.MDX", "KR9CMTR.MDX"}) {
    ASSERT_EQ(::chmod(dir_.file(name).c_str(), 0444), 0);
  }
  std::string reader = ReaderPrefix(dir_.path());
  if (reader.empty()) GTEST_SKIP() << "cannot run the program as a reader here";
  cli_testing::RunSteps(dir_.path(), {{{"find", "@", "%MW11"}, 0}}, reader);
  cli_testing::CliRun write = RunCli({"add", dir_.path(), "%MW50", "X"}, "", reader);
  EXPECT_EQ(write.status, 3);
  const std::string refused =
      "symbase: cannot write to the base in " + dir_.slash() + ": KR9.DBF: ";
  EXPECT_TRUE(write.err == refused + "Permission denied\n" ||
              write.err == refused + "Read-only file system\n")
      << write.err;
}

}  // namespace
