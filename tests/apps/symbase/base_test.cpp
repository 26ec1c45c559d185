// Opening a base: a missing base or table named, the library's reports with
// --verbose, a base shared with other processes, a base the user may only
// read.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "apps/symbase/cli_process.h"
#include "apps/symbase/import_fixture.h"
#include "apps/symbase/terminal_session.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::CliRun;
using cli_testing::Contains;
using cli_testing::RunCli;
using cli_testing::ShellQuoted;

const char* const kFiles[] = {"KR9.DBF",  "KR9CMT.DBF", "KR9CLER.MDX",
                              "KR9R.MDX", "KR9S.MDX",   "KR9CMTR.MDX"};

class CliBase : public cli_testing::PlantBase {};

TEST_F(CliBase, AMissingBaseOrTableIsNamed) {
  testing_support::TempDir empty;
  for (const char* command : {"find", "delete", "list", "count", "export", "compact", "check"}) {
    std::vector<std::string> args = {command, empty.path()};
    if (std::string(command) == "find" || std::string(command) == "delete") args.push_back("%MW1");
    CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 3) << command;
    EXPECT_EQ(run.err, "symbase: no symbol base in " + empty.slash() + " ('symbase create " +
                           empty.slash() + "' makes one)\n")
        << command;
  }
  std::string too_long = empty.path() + "/" + std::string(80, 'd');
  CliRun long_path = RunCli({"create", too_long});
  EXPECT_EQ(long_path.status, 2);
  EXPECT_TRUE(Contains(long_path.err, "is too long: the library takes at most 72 characters"));

  // A table is the base itself: no repair makes it again, and create does
  // not empty what is left.
  ASSERT_EQ(::unlink(dir_.file("KR9CMT.DBF").c_str()), 0);
  CliRun table = RunCli({"list", dir_.path()});
  EXPECT_EQ(table.status, 3);
  EXPECT_EQ(table.err, "symbase: the base in " + dir_.slash() +
                           " is damaged: its table KR9CMT.DBF is missing, and a repair cannot "
                           "make a table again (restore it from a backup)\n");
  EXPECT_EQ(RunCli({"create", dir_.path()}).status, 1);
  EXPECT_TRUE(testing_support::ReadFileBytes(dir_.file("KR9.DBF")).size() > 0);
}

TEST_F(CliBase, ADamagedTableIsSaidSoAndVerboseShowsTheReports) {
  testing_support::WriteFileBytes(dir_.file("KR9.DBF"), "not a table");
  CliRun run = RunCli({"find", dir_.path(), "%MW1"});
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(Contains(
      run.err, "symbase: cannot open the base in " + dir_.slash() + ": the library reported "))
      << run.err;
  EXPECT_TRUE(Contains(run.err, "the base may be damaged ('symbase check " + dir_.slash() +
                                    "' looks into it; --verbose shows every report)\n"));
  EXPECT_EQ(run.err.find("symbase: library:"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  CliRun verbose = RunCli({"find", dir_.path(), "%MW1", "--verbose"});
  EXPECT_TRUE(Contains(verbose.err, "symbase: library: error 146/4 code -60")) << verbose.err;
  EXPECT_TRUE(Contains(verbose.err, "(Tabiserr line "));
  CliRun check = RunCli({"check", dir_.path()});
  EXPECT_EQ(check.status, 3);
  EXPECT_TRUE(Contains(check.out, "KR9.DBF: rows: cannot be opened: ")) << check.out;
}

// A listing left open in its pager holds the base open: other commands read
// and write meanwhile; what needs the base to itself says it is in use (4).
TEST_F(CliBase, WhatNeedsTheBaseToItselfWaitsForOtherProcesses) {
  cli_testing::TerminalSession lister({"list", dir_.path()},
                                      {"PAGER=cat >/dev/null; echo paging; read answer </dev/tty"});
  ASSERT_TRUE(lister.WaitFor("paging")) << lister.Output();
  EXPECT_EQ(RunCli({"add", dir_.path(), "%MW50", "Pendant"}).status, 0);
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "29\n");

  const std::string in_use = "the base is in use by another process; try again\n";
  CliRun compact = RunCli({"compact", dir_.path()});
  EXPECT_EQ(compact.status, 4);
  EXPECT_EQ(compact.err, "symbase: cannot compact: " + in_use);
  CliRun create = RunCli({"create", dir_.path(), "--replace"});
  EXPECT_EQ(create.status, 4);
  EXPECT_EQ(create.err, "symbase: cannot create the base in " + dir_.slash() + ": " + in_use);
  // A repair begins with a check, which a sound base passes whoever has it
  // open; an index file gone meanwhile needs the base to itself.
  ASSERT_EQ(::unlink(dir_.file("KR9R.MDX").c_str()), 0);
  CliRun repair = RunCli({"repair", dir_.path()});
  EXPECT_EQ(repair.status, 4);
  EXPECT_EQ(repair.err, "symbase: cannot repair the base in " + dir_.slash() +
                            ": another process has it open, and a repair needs it to itself; "
                            "try again when it is closed\n");

  lister.Send("\n");
  EXPECT_EQ(lister.Finish(), 0) << lister.Output();
  EXPECT_EQ(RunCli({"repair", dir_.path()}).status, 0);
  EXPECT_EQ(RunCli({"compact", dir_.path()}).status, 0);
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "29\n");
}

// A way to run the program as a user who may read the base but not write
// it: root drops to nobody (setpriv), or the base is mounted read-only in a
// namespace of this user; "" when neither works here.
std::string ReaderPrefix(const std::string& directory, std::string* tried) {
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
  *tried = "setpriv to nobody, and a read-only bind mount in a user namespace";
  return "";
}

// Read commands work on a base the user may only read; writes are refused
// naming the file and the system's reason, before the library is asked.
TEST_F(CliBase, ABaseTheUserMayOnlyRead) {
  struct Writable {
    std::string path;
    ~Writable() { ::chmod(path.c_str(), 0755); }
  } restore{dir_.path()};
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0555), 0);
  for (const char* name : kFiles) ASSERT_EQ(::chmod(dir_.file(name).c_str(), 0444), 0);
  std::string tried;
  std::string reader = ReaderPrefix(dir_.path(), &tried);
  if (reader.empty()) GTEST_SKIP() << "cannot run the program as a reader here; tried " << tried;

  CliRun write = cli_testing::RunCliWith(reader, {"add", dir_.path(), "%MW50", "X"});
  EXPECT_EQ(write.status, 3);
  EXPECT_TRUE(write.err == "symbase: cannot write to the base in " + dir_.slash() +
                               ": KR9.DBF: Permission denied\n" ||
              write.err == "symbase: cannot write to the base in " + dir_.slash() +
                               ": KR9.DBF: Read-only file system\n")
      << write.err;

  CliRun find = cli_testing::RunCliWith(reader, {"find", dir_.path(), "%MW11"});
  EXPECT_EQ(find.status, 0) << find.err;
  EXPECT_TRUE(Contains(find.out, "comment: Niveau d'arr\xC3\xAAt en cm\n"));
  EXPECT_EQ(cli_testing::RunCliWith(reader, {"count", dir_.path()}).out, "28\n");
  CliRun list = cli_testing::RunCliWith(reader, {"list", dir_.path(), "%MW"});
  EXPECT_TRUE(Contains(list.out, "\n8 objects\n")) << list.err;
  CliRun search = cli_testing::RunCliWith(reader, {"search", dir_.path(), "pompe", "--json"});
  EXPECT_EQ(search.status, 0) << search.err;
  CliRun exported = cli_testing::RunCliWith(reader, {"export", dir_.path()});
  EXPECT_TRUE(Contains(exported.out, "%Q2.0,Pompe_1,Commande contacteur pompe 1\n"))
      << exported.err;
  CliRun check = cli_testing::RunCliWith(reader, {"check", dir_.path()});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
  // A dry run writes into a copy of its own.
  testing_support::TempDir work;
  testing_support::WriteFileBytes(work.file("t.csv"), "address,symbol\n%MW10,Autre\n%MW70,Neuf\n");
  ASSERT_EQ(::chmod(work.path().c_str(), 0755), 0);
  CliRun dry = cli_testing::RunCliWith(
      reader, {"import", dir_.path(), work.file("t.csv"), "--replace", "--dry-run"});
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_TRUE(Contains(dry.out, "would import 2 rows: 1 added, 1 changed")) << dry.out;
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "28\n");
  // A repair it may not write says why and leaves the files as they are.
  ASSERT_EQ(::unlink(dir_.file("KR9S.MDX").c_str()), 0);
  CliRun repair = cli_testing::RunCliWith(reader, {"repair", dir_.path()});
  EXPECT_EQ(repair.status, 3);
  EXPECT_TRUE(Contains(repair.err, "KR9.DBF: ")) << repair.err;
  EXPECT_NE(::access(dir_.file("KR9S.MDX").c_str(), F_OK), 0);
}

}  // namespace
