// Runs the built command-line host as a real process.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "symbase/version.h"

namespace {

std::string RunCli(const std::string& args, int* status) {
  std::string command = std::string(SYMBASE_CLI_PATH) + " " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[256];
  while (pipe != nullptr && fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  *status = pipe != nullptr ? pclose(pipe) : -1;
  return out;
}

TEST(Cli, VersionAndHelp) {
  int status = 0;
  EXPECT_EQ(RunCli("--version", &status), std::string("symbase ") + SymbaseVersion() + "\n");
  EXPECT_EQ(status, 0);
  std::string help = RunCli("--help", &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(help.find("usage: symbase"), std::string::npos);
  RunCli("--no-such-option", &status);
  EXPECT_NE(status, 0);
}

}  // namespace
