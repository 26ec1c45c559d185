// Real processes on one base at the same time: imports, dry runs and
// readers while they write. Every row an import accepted is found
// afterwards, and every check, during and after, finds the base sound.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "apps/symbase/cli_fixture.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::ShellQuoted;

constexpr int kWriters = 4;
constexpr int kRows = 150;

std::string Table(int writer) {
  std::string csv = "address,symbol,comment\n";
  for (int i = 0; i < kRows; ++i) {
    std::string tag = std::to_string(writer) + "_" + std::to_string(i);
    csv +=
        "%MW" + std::to_string(1000 * (writer + 1) + i) + ",S" + tag + ",Commentaire " + tag + "\n";
  }
  return csv;
}

// Starts every command at once, then waits for each: its exit code and output.
std::vector<cli_testing::CliRun> RunTogether(const std::vector<std::string>& commands) {
  std::vector<FILE*> pipes;
  for (const std::string& command : commands) pipes.push_back(popen(command.c_str(), "r"));
  std::vector<cli_testing::CliRun> results(pipes.size());
  for (std::size_t i = 0; i < pipes.size(); ++i) {
    char buffer[256];
    while (pipes[i] != nullptr && std::fgets(buffer, sizeof buffer, pipes[i]) != nullptr) {
      results[i].out += buffer;
    }
    int raw = pipes[i] != nullptr ? pclose(pipes[i]) : -1;
    if (raw != -1 && WIFEXITED(raw)) results[i].status = WEXITSTATUS(raw);
  }
  return results;
}

TEST(CliRace, ConcurrentImportsAndReadersLoseNothing) {
  testing_support::TempDir dir;
  ASSERT_EQ(cli_testing::RunCli({"create", dir.path()}).status, 0);
  const std::string cli = ShellQuoted(SYMBASE_CLI_PATH);
  const std::string base = ShellQuoted(dir.path());
  std::vector<std::string> commands;
  std::string expected = "address,symbol,comment\n";
  for (int writer = 0; writer < kWriters; ++writer) {
    std::string file = dir.file("part" + std::to_string(writer) + ".csv");
    std::string table = Table(writer);
    testing_support::WriteFileBytes(file, table);
    expected += table.substr(table.find('\n') + 1);
    commands.push_back(cli + " import " + base + " " + ShellQuoted(file) + " 2>&1");
  }
  // Readers go on for as long as the imports run, each command checked.
  std::string readers = "for i in 1 2 3 4 5 6; do " + cli + " list " + base + " >/dev/null && " +
                        cli + " count " + base + " >/dev/null && " + cli + " check " + base +
                        " && " + cli + " import -n " + base + " " +
                        ShellQuoted(dir.file("part0.csv")) + " >/dev/null || exit $?; done 2>&1";
  commands.push_back(readers);
  commands.push_back(readers);
  for (const cli_testing::CliRun& finished : RunTogether(commands)) {
    EXPECT_EQ(finished.status, 0) << finished.out;
    cli_testing::ExpectText(finished.out, {"!is damaged"});
  }

  cli_testing::CliRun check = cli_testing::RunCli({"check", dir.path()});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
  EXPECT_EQ(cli_testing::RunCli({"count", dir.path()}).out,
            std::to_string(kWriters * kRows) + "\n");
  // Every row, read back by an independent CSV reader, sorted alike.
  const char* sorted =
      "import csv, sys\n"
      "rows = list(csv.reader(sys.stdin))\n"
      "print(rows[0], sorted(map(tuple, rows[1:])))\n";
  EXPECT_EQ(cli_testing::Python(sorted, cli_testing::RunCli({"export", dir.path()}).out),
            cli_testing::Python(sorted, expected));
}

}  // namespace
