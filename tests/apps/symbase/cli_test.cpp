// The tool's own help, version, option syntax and usage errors.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_process.h"
#include "support/temp_dir.h"
#include "symbase/version.h"

namespace {

using cli_testing::CliRun;
using cli_testing::Contains;
using cli_testing::RunCli;

const char* const kCommands[] = {"create", "add",     "edit",  "find",   "delete",
                                 "search", "list",    "count", "import", "export",
                                 "diff",   "compact", "check", "repair", "demo"};

TEST(Cli, VersionAndHelp) {
  CliRun version = RunCli({"--version"});
  EXPECT_EQ(version.out, std::string("symbase ") + SymbaseVersion() + "\n");
  EXPECT_EQ(version.status, 0);
  CliRun help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(Contains(help.out, "Usage: symbase"));
  for (const char* code : {"0 done", "1 nothing found", "2 bad usage", "3 damaged base",
                           "4 the base is\nin use", "130 interrupted"}) {
    EXPECT_TRUE(Contains(help.out, code)) << code;
  }
  for (const char* command : kCommands) {
    CliRun own = RunCli({command, "--help"});
    EXPECT_EQ(own.status, 0) << command;
    EXPECT_TRUE(Contains(own.out, std::string("Usage: symbase ") + command)) << command;
    EXPECT_TRUE(Contains(own.out, "Exit codes:")) << command;
    EXPECT_TRUE(Contains(help.out, std::string("  ") + command + " ")) << command;
  }
}

TEST(Cli, UsageErrorsExitWithTwoAndPointToTheHelp) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"frobnicate", "/tmp"}, "unknown command \"frobnicate\""},
      {{"add", "/tmp"}, "ADDRESS is required\nTry 'symbase add --help'."},
      {{"count", "/tmp", "%MW", "%I"}, "not expected"},
      {{"list", "/tmp", "--comments"}, "--comments"},
      {{"import", "/tmp", "x.csv", "--keep", "--replace"}, "excludes"},
      {{"search", "/tmp", "x", "--begins", "--ends"}, "excludes"},
      {{"import", "/tmp", "x.csv", "--encoding", "ebcdic"}, "ebcdic"},
      {{"add", "/tmp", "%MW1", "4x"}, "symbol \"4x\": not a symbol"},
      {{"add", "/tmp", "%MW1", "IF"}, "symbol \"IF\": a reserved word"},
      {{"find", "/tmp", "MW1"}, "address \"MW1\": not an address"},
      {{"find", "/tmp", "%MW100000"}, "its numbers go up to 99999"},
      {{"edit", "/tmp", "%MW1"}, "give --symbol, --comment or both"},
      {{"delete", "/tmp"}, "give ADDRESS..., --kind PREFIX or --from FILE"},
  };
  for (const Case& test : cases) {
    CliRun run = RunCli(test.args);
    EXPECT_EQ(run.status, 2) << test.args[0] << " " << run.err;
    EXPECT_TRUE(Contains(run.err, test.message)) << run.err;
    EXPECT_EQ(run.out, "") << test.args[0];
  }
  CliRun none = RunCli({});
  EXPECT_EQ(none.status, 2);
  EXPECT_TRUE(Contains(none.out, "Usage: symbase"));
}

// Options behave as everywhere: anywhere on the line, grouped, with "=",
// and "--" ends them.
TEST(Cli, OptionsParseAsEverywhere) {
  testing_support::TempDir dir;
  ASSERT_EQ(RunCli({"create", dir.path(), "-q"}).out, "");
  EXPECT_EQ(RunCli({"-q", "add", dir.path(), "%MW1", "Un"}).out, "");
  // A comment that begins with a dash needs "--" before it.
  CliRun dashed = RunCli({"add", dir.path(), "--", "%MW2", "Deux", "-x- moins"});
  ASSERT_EQ(dashed.status, 0) << dashed.err;
  EXPECT_TRUE(Contains(RunCli({"find", dir.path(), "--symbol=Deux"}).out, "comment: -x- moins\n"));
  EXPECT_EQ(RunCli({"edit", dir.path(), "%MW1", "--comment=premier", "-q"}).status, 0);
  EXPECT_TRUE(Contains(RunCli({"find", dir.path(), "-s", "Un"}).out, "comment: premier\n"));
  // -qn: quiet dry run, grouped.
  testing_support::WriteFileBytes(dir.file("t.csv"), "address,symbol,comment\n%MW3,Trois,\n");
  CliRun grouped = RunCli({"import", "-qn", dir.path(), dir.file("t.csv")});
  EXPECT_EQ(grouped.status, 0) << grouped.err;
  EXPECT_EQ(grouped.out, "");
  EXPECT_EQ(RunCli({"count", dir.path()}).out, "2\n");
}

}  // namespace
