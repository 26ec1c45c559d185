// The tool's own help, version, option syntax, usage errors and demo.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "apps/symbase/cli_fixture.h"
#include "symbase/version.h"

namespace {

using cli_testing::RunCli;

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

}  // namespace
