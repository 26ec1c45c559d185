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
using cli_testing::Step;

class CliOpen : public cli_testing::PlantBase {};

TEST_F(CliOpen, AMissingBaseOrTableIsNamed) {
  const std::string none = "=symbase: no symbol base in @/ ('symbase create @/' makes one)\n";
  std::vector<Step> steps;
  for (const char* command :
       {"find", "delete", "list", "count", "export", "compact", "check", "repair"}) {
    steps.push_back({{command, "@", "%MW1"}, 3, {}, {none}});
    if (std::string(command) != "find" && std::string(command) != "delete") {
      steps.back().args.pop_back();
    }
  }
  testing_support::TempDir empty;
  cli_testing::RunSteps(empty.path(), steps);

  // A table is the base itself: no repair makes it again, and create does
  // not empty what is left.
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
          {"symbase: library: error 146/4 code -60", "(Tabiserr line "}},
         {{"check", "@"}, 3, {"KR9.DBF: rows: cannot be opened: "}}});
}

// A listing left open in its pager holds the base open: other commands read
// and write meanwhile; what needs the base to itself says it is in use (4).
TEST_F(CliOpen, WhatNeedsTheBaseToItselfWaitsForOtherProcesses) {
  cli_testing::TerminalSession lister({"list", dir_.path()},
                                      {"PAGER=cat >/dev/null; echo paging; read answer </dev/tty"});
  ASSERT_TRUE(lister.WaitFor("paging")) << lister.Output();
  const std::string in_use = "the base is in use by another process; try again\n";
  Steps({{{"add", "@", "%MW50", "Pendant"}, 0},
         {{"count", "@"}, 0, {"=29\n"}},
         {{"compact", "@"}, 4, {}, {"=symbase: cannot compact: " + in_use}},
         {{"create", "@", "--replace"},
          4,
          {},
          {"=symbase: cannot create the base in @/: " + in_use}}});
  // A repair begins with a check, which a sound base passes whoever has it
  // open; an index file gone meanwhile needs the base to itself.
  ASSERT_EQ(::unlink(dir_.file("KR9R.MDX").c_str()), 0);
  Steps({{{"repair", "@"},
          4,
          {},
          {"=symbase: cannot repair the base in @/: another process has it open, and a repair "
           "needs it to itself; try again when it is closed\n"}}});
  lister.Send("\n");
  EXPECT_EQ(lister.Finish(), 0) << lister.Output();
  Steps({{{"repair", "@"}, 0}, {{"compact", "@"}, 0}, {{"count", "@"}, 0, {"=29\n"}}});
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

// Read commands work on a base the user may only read; writes are refused
// naming the file and the system's reason, before the library is asked.
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
  if (reader.empty()) {
    GTEST_SKIP() << "cannot run the program as a reader here; tried setpriv to nobody, and a "
                    "read-only bind mount in a user namespace";
  }
  testing_support::TempDir work;
  testing_support::WriteFileBytes(work.file("t.csv"), "address,symbol\n%MW10,Autre\n%MW70,Neuf\n");
  ASSERT_EQ(::chmod(work.path().c_str(), 0755), 0);
  cli_testing::RunSteps(dir_.path(),
                        {
                            {{"find", "@", "%MW11"}, 0, {"comment: Niveau d'arr\xC3\xAAt en cm\n"}},
                            {{"count", "@"}, 0, {"=28\n"}},
                            {{"list", "@", "%MW"}, 0, {"\n8 objects\n"}},
                            {{"search", "@", "pompe", "--json"}, 0},
                            {{"export", "@"}, 0, {"%Q2.0,Pompe_1,Commande contacteur pompe 1\n"}},
                            {{"check", "@"}, 0},
                            // A dry run writes into a copy of its own.
                            {{"import", "@", work.file("t.csv"), "--replace", "--dry-run"},
                             0,
                             {"would import 2 rows: 1 added, 1 changed"}},
                        },
                        reader);
  cli_testing::CliRun write = RunCli({"add", dir_.path(), "%MW50", "X"}, "", reader);
  EXPECT_EQ(write.status, 3);
  const std::string refused =
      "symbase: cannot write to the base in " + dir_.slash() + ": KR9.DBF: ";
  EXPECT_TRUE(write.err == refused + "Permission denied\n" ||
              write.err == refused + "Read-only file system\n")
      << write.err;
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "28\n");
  // A repair it may not write says why and leaves the files as they are.
  ASSERT_EQ(::unlink(dir_.file("KR9S.MDX").c_str()), 0);
  cli_testing::CliRun repair = RunCli({"repair", dir_.path()}, "", reader);
  EXPECT_EQ(repair.status, 3);
  cli_testing::ExpectText(repair.err, {"KR9.DBF: "});
  EXPECT_NE(::access(dir_.file("KR9S.MDX").c_str(), F_OK), 0);
}

}  // namespace
