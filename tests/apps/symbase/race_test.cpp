// Real processes on one base at the same time: nothing written is lost.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "apps/symbase/cli_process.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::ShellQuoted;

std::string Table(int first, int count, const std::string& tag) {
  std::string csv = "address,symbol,comment\n";
  for (int i = 0; i < count; ++i) {
    csv += "%MW" + std::to_string(first + i) + ",S" + tag + std::to_string(i) + ",Commentaire " +
           tag + std::to_string(i) + "\n";
  }
  return csv;
}

// Starts every command at once, then waits for each; their exit codes.
std::vector<int> RunTogether(const std::vector<std::string>& commands) {
  std::vector<FILE*> pipes;
  for (const std::string& command : commands) pipes.push_back(popen(command.c_str(), "r"));
  std::vector<int> codes;
  for (FILE* pipe : pipes) {
    char buffer[256];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
    }
    int raw = pipe != nullptr ? pclose(pipe) : -1;
    codes.push_back(raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1);
  }
  return codes;
}

TEST(CliRace, ConcurrentImportsAndReadersLoseNothing) {
  testing_support::TempDir dir;
  ASSERT_EQ(cli_testing::RunCli({"create", dir.path()}).status, 0);
  std::vector<std::string> commands;
  for (int writer = 0; writer < 3; ++writer) {
    std::string file = dir.file("part" + std::to_string(writer) + ".csv");
    testing_support::WriteFileBytes(file, Table(100 + writer * 100, 60, std::to_string(writer)));
    commands.push_back(ShellQuoted(SYMBASE_CLI_PATH) + " import " + ShellQuoted(dir.path()) + " " +
                       ShellQuoted(file) + " 2>&1");
    commands.push_back(ShellQuoted(SYMBASE_CLI_PATH) + " count " + ShellQuoted(dir.path()) +
                       " 2>&1");
  }
  for (int code : RunTogether(commands)) EXPECT_EQ(code, 0);

  EXPECT_EQ(cli_testing::RunCli({"count", dir.path()}).out, "180\n");
  cli_testing::CliRun check = cli_testing::RunCli({"check", dir.path()});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
  for (int writer = 0; writer < 3; ++writer) {
    std::string address = "%MW" + std::to_string(100 + writer * 100 + 59);
    EXPECT_TRUE(cli_testing::Contains(cli_testing::RunCli({"find", dir.path(), address}).out,
                                      "Commentaire " + std::to_string(writer) + "59\n"))
        << address;
  }
}

}  // namespace
