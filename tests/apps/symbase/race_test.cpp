// Real processes on one base at the same time: imports, dry runs and
// readers while they write. Every row an import accepted is found
// afterwards, and every check, during and after, finds the base sound.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_fixture.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::ShellQuoted;

TEST(CliRace, ConcurrentImportsAndReadersLoseNothing) {
  testing_support::TempDir dir;
  ASSERT_EQ(cli_testing::RunCli({"create", dir.path()}).status, 0);
  const std::string cli = ShellQuoted(SYMBASE_CLI_PATH) + " ";
  const std::string base = ShellQuoted(dir.path()) + " ";
  const std::string header = "address,symbol,comment\n";
  std::string expected = header;
  std::string script;
  for (int writer = 0; writer < 4; ++writer) {
    std::string rows;
    for (int i = 0; i < 150; ++i) {
      std::string tag = std::to_string(writer) + "_" + std::to_string(i);
      rows += "%MW" + std::to_string(1000 * (writer + 1) + i) + ",S" + tag + ",Commentaire " + tag +
              "\n";
    }
    expected += rows;
    std::string file = dir.file("part" + std::to_string(writer) + ".csv");
    testing_support::WriteFileBytes(file, header + rows);
    script += cli + "import " + base + ShellQuoted(file) + " >/dev/null || echo failed & ";
  }
  // Readers go on for as long as the imports run, each command checked.
  std::string reader = "for i in 1 2 3 4 5 6; do " + cli + "list " + base + ">/dev/null && " + cli +
                       "count " + base + ">/dev/null && " + cli + "check " + base + "&& " + cli +
                       "import -n " + base + ShellQuoted(dir.file("part0.csv")) +
                       " >/dev/null || echo failed; done & ";
  cli_testing::CliRun together =
      cli_testing::RunShell("(" + script + reader + reader + "wait)", "");
  cli_testing::ExpectText(together.out + together.err, {"!failed", "!is damaged", "is sound"});

  cli_testing::CliRun check = cli_testing::RunCli({"check", dir.path()});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
  EXPECT_EQ(cli_testing::RunCli({"count", dir.path()}).out, "600\n");
  // Every row, read back by an independent CSV reader, sorted alike.
  const char* sorted =
      "import csv, sys\n"
      "rows = list(csv.reader(sys.stdin))\n"
      "print(rows[0], sorted(map(tuple, rows[1:])))\n";
  EXPECT_EQ(cli_testing::Python(sorted, cli_testing::RunCli({"export", dir.path()}).out),
            cli_testing::Python(sorted, expected));
}

}  // namespace
