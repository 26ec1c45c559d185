// The tool's own help, version, option syntax, usage errors and demo; at a
// terminal, listings through the pager and Ctrl-C stopping a long import.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "apps/symbase/cli_fixture.h"
#include "support/temp_dir.h"
#include "symbase/version.h"

namespace {

using cli_testing::RunCli;
using cli_testing::TerminalSession;

class CliOptions : public cli_testing::CliBase {};

TEST(Cli, VersionAndHelp) {
  EXPECT_EQ(RunCli({"--version"}).out, std::string("symbase ") + SymbaseVersion() + "\n");
  std::vector<cli_testing::Step> steps = {
      {{"--help"},
       0,
       {"Usage: symbase", "0 done", "1 nothing found", "2 bad usage", "3 damaged base",
        "4 the base is\nin use", "130 interrupted"}}};
  for (const char* command : {"create", "add", "edit", "find", "delete", "search", "list", "count",
                              "import", "export", "diff", "compact", "check", "repair", "demo"}) {
    steps[0].out.push_back(std::string("  ") + command + " ");
    steps.push_back(
        {{command, "--help"}, 0, {"Usage: symbase " + std::string(command), "Exit codes:"}});
  }
  cli_testing::RunSteps("", steps);
}

TEST(Cli, UsageErrorsExitWithTwoAndPointToTheHelp) {
  cli_testing::RunSteps(
      "/tmp", {
                  {{}, 2, {"Usage: symbase"}},
                  {{"frobnicate", "@"}, 2, {"="}, {"unknown command \"frobnicate\""}},
                  {{"add", "@"}, 2, {"="}, {"ADDRESS is required\nTry 'symbase add --help'."}},
                  {{"count", "@", "%MW", "%I"}, 2, {"="}, {"not expected"}},
                  {{"list", "@", "--comments"}, 2, {"="}, {"--comments"}},
                  {{"import", "@", "x.csv", "--keep", "--replace"}, 2, {"="}, {"excludes"}},
                  {{"search", "@", "x", "--begins", "--ends"}, 2, {"="}, {"excludes"}},
                  {{"import", "@", "x.csv", "--encoding", "ebcdic"}, 2, {"="}, {"ebcdic"}},
                  {{"import", "@", "-", "--ask"}, 2},
                  {{"find", "@", "%MW100000"}, 2, {"="}, {"its numbers go up to 99999"}},
                  {{"edit", "@", "%MW1"}, 2, {"="}, {"give --symbol, --comment or both"}},
                  {{"delete", "@"}, 2, {"="}, {"give ADDRESS..., --kind PREFIX or --from FILE"}},
                  {{"count", "@", "MW"}, 2},
                  {{"create", "@/" + std::string(80, 'd')},
                   2,
                   {},
                   {"is too long: the library takes at most 72 characters"}},
              });
}

// Options behave as everywhere: anywhere on the line, grouped, with "=",
// and "--" ends them (a comment that begins with a dash needs it).
TEST_F(CliOptions, OptionsParseAsEverywhere) {
  WriteFile("address,symbol,comment\n%MW3,Trois,\n", "t.csv");
  Steps({
      {{"create", "@/sub", "-q"}, 0, {"="}},
      {{"-q", "add", "@", "%MW1", "Un"}, 0, {"="}},
      {{"add", "@", "--", "%MW2", "Deux", "-x- moins"}, 0},
      {{"find", "@", "--symbol=Deux"}, 0, {"comment: -x- moins\n"}},
      {{"edit", "@", "%MW1", "--comment=premier", "-q"}, 0},
      {{"find", "@", "-s", "Un"}, 0, {"comment: premier\n"}},
      {{"import", "-qn", "@", "@/t.csv"}, 0, {"="}},  // quiet dry run, grouped
      {{"count", "@"}, 0, {"=2\n"}},
  });
}

TEST(CliDemo, RunsEveryStepAndRemovesItsDirectory) {
  cli_testing::CliRun run = RunCli({"demo", SYMBASE_EXAMPLES_DIR});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.err, "");
  cli_testing::ExpectText(
      run.out, {"$ symbase create ", "$ symbase diff ", "--dry-run", "3 kept",
                "address: %Q2.5\nsymbol:  Pompe_2\n", "\"sound\": true", "The tour is over."});
  const std::string intro = "sample base in ";
  std::size_t at = run.out.find(intro) + intro.size();
  std::string dir = run.out.substr(at, run.out.find('\n', at) - at);
  struct stat info {};
  EXPECT_NE(::stat(dir.c_str(), &info), 0) << dir;

  cli_testing::RunSteps(
      "",
      {{{"demo", "/nonexistent-examples"}, 3, {}, {"no example tables in /nonexistent-examples"}}});
}

class CliTerminal : public cli_testing::PlantBase {};

// A pager that marks each line it shows; none asked for, none on an empty
// PATH ("PAGER" alone unsets it); with no PAGER, "less" when the PATH has one.
TEST_F(CliTerminal, ListingsGoThroughThePagerOnATerminalOnly) {
  const std::string pager = "PAGER=sed s/^/paged:/";
  testing_support::TempDir bin;
  ASSERT_TRUE(testing_support::WriteFileBytes(
      bin.file("less"), "#!/bin/sh\nwhile IFS= read -r l; do echo \"less:$l\"; done\n"));
  ASSERT_EQ(::chmod(bin.file("less").c_str(), 0755), 0);
  struct Case {
    std::vector<std::string> args, environment, expected;
  } cases[] = {
      {{"list"}, {pager}, {"paged:%Q2.3    Klaxon", "paged:4 objects"}},
      {{"--no-pager", "list"}, {pager}, {"!paged:", "4 objects"}},
      {{"list"}, {"PAGER", "PATH="}, {"!paged:", "4 objects"}},
      {{"list"}, {"PAGER", "PATH=" + bin.path()}, {"less:%Q2.3    Klaxon"}},
  };
  for (Case& test : cases) {
    test.args.insert(test.args.end(), {dir_.path(), "%Q"});
    TerminalSession session(test.args, test.environment);
    EXPECT_EQ(session.Finish(), 0);
    cli_testing::ExpectText(session.Output(), test.expected);
  }
  cli_testing::RunSteps(dir_.path(), {{{"list", "@"}, 0, {"!paged:", "28 objects\n"}}},
                        "env 'PAGER=sed s/^/paged:/'");
}

// A long import on a terminal shows its progress; Ctrl-C stops it between
// two rows, says what was done, and leaves a base that checks clean.
TEST_F(CliTerminal, CtrlCStopsALongImportBetweenTwoRows) {
  std::string csv = "address,symbol,comment\n";
  std::vector<std::string> addresses;
  for (const char* kind : {"MW", "MD", "KW", "KD"}) {
    for (int i = 1000; i < 100000; ++i) {
      addresses.push_back("%" + std::string(kind) + std::to_string(i));
      csv += addresses.back() + "," + kind + std::to_string(i) + ",Commentaire\n";
    }
  }
  const std::size_t rows = addresses.size();
  std::string file = WriteFile(csv, "long.csv");
  TerminalSession session({"import", dir_.path(), file});
  ASSERT_TRUE(session.WaitFor("importing [", 60)) << session.Output();
  session.Send("\x03");
  ASSERT_EQ(session.Finish(120), 130) << session.Output();
  const std::string& out = session.Output();
  std::size_t at = out.find("imported ");
  ASSERT_NE(at, std::string::npos) << out;
  std::size_t done = std::stoul(out.substr(at + 9));
  ASSERT_GT(done, 0u);
  ASSERT_LT(done, rows);
  cli_testing::ExpectText(
      out,
      {" of " + std::to_string(rows) + " rows: " + std::to_string(done) + " added, 0 changed",
       std::to_string(rows - done) + " not done",
       "import interrupted at line " + std::to_string(done + 2) + "; the rows before it stay"});
  Steps({{{"count", "@"}, 0, {"=" + std::to_string(28 + done) + "\n"}},
         {{"check", "@"}, 0, {"=the base in @/ is sound\n"}},
         {{"find", "@", addresses[done - 1]}, 0, {"comment: Commentaire"}},
         {{"find", "@", addresses[done]}, 1, {}}});
}

}  // namespace
