// The tool's own help, version and usage errors.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_process.h"
#include "symbase/version.h"

namespace {

using cli_testing::Contains;
using cli_testing::RunCli;

TEST(Cli, VersionAndHelp) {
  cli_testing::CliRun version = RunCli({"--version"});
  EXPECT_EQ(version.out, std::string("symbase ") + SymbaseVersion() + "\n");
  EXPECT_EQ(version.status, 0);
  cli_testing::CliRun help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(Contains(help.out, "usage: symbase"));
  EXPECT_NE(RunCli({"--no-such-option"}).status, 0);
}

TEST(Cli, EveryCommandHasItsHelp) {
  for (const char* command : {"create", "add", "find", "search", "list", "delete", "import",
                              "export", "count", "compact", "check", "demo"}) {
    cli_testing::CliRun help = RunCli({command, "--help"});
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_TRUE(Contains(help.out, std::string("usage: symbase ") + command)) << command;
    EXPECT_TRUE(Contains(RunCli({"--help"}).out, std::string("  ") + command)) << command;
  }
}

TEST(Cli, UsageErrorsExitWithTwo) {
  cli_testing::CliRun none = RunCli({});
  EXPECT_EQ(none.status, 2);
  EXPECT_TRUE(Contains(none.out, "usage: symbase"));

  cli_testing::CliRun unknown = RunCli({"frobnicate", "/tmp"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_TRUE(Contains(unknown.err, "unknown command \"frobnicate\""));

  cli_testing::CliRun missing = RunCli({"add", "/tmp"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_TRUE(Contains(missing.err, "add: missing arguments"));
  EXPECT_TRUE(Contains(missing.err, "symbase add --help"));

  cli_testing::CliRun extra = RunCli({"delete", "/tmp", "%MW1", "%MW2"});
  EXPECT_EQ(extra.status, 2);
  EXPECT_TRUE(Contains(extra.err, "too many arguments (\"%MW2\")"));

  cli_testing::CliRun option = RunCli({"list", "/tmp", "--comments"});
  EXPECT_EQ(option.status, 2);
  EXPECT_TRUE(Contains(option.err, "unknown option --comments"));

  EXPECT_EQ(RunCli({"import", "/tmp", "x.csv", "--keep", "--replace"}).status, 2);
  EXPECT_EQ(RunCli({"search", "/tmp", "x", "--begins", "--ends"}).status, 2);
}

}  // namespace
