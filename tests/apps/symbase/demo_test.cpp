// The demo runs to its end on the example tables and leaves nothing behind.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "apps/symbase/cli_process.h"

namespace {

using cli_testing::Contains;

TEST(CliDemo, RunsEveryStepAndRemovesItsDirectory) {
  cli_testing::CliRun run = cli_testing::RunCli({"demo", SYMBASE_EXAMPLES_DIR});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.err, "");
  for (const char* step :
       {"$ symbase create ", "$ symbase import ", "$ symbase find ", "$ symbase search ",
        "$ symbase list ", "$ symbase edit ", "$ symbase diff ", "--dry-run", "$ symbase export ",
        "--replace", "$ symbase compact ", "$ symbase check "}) {
    EXPECT_TRUE(Contains(run.out, step)) << step;
  }
  EXPECT_TRUE(Contains(run.out, "3 kept"));
  // The replacement names what it moved, in the dry run and for real.
  const std::string moved =
      "line 5: moved symbol Pompe_2 from %Q2.1 to %Q2.5; %Q2.1 is no longer in the base\n";
  std::size_t first = run.out.find(moved);
  ASSERT_NE(first, std::string::npos) << run.out;
  EXPECT_NE(run.out.find(moved, first + 1), std::string::npos);
  EXPECT_TRUE(Contains(run.out, "address: %Q2.5\nsymbol:  Pompe_2\n"));
  EXPECT_TRUE(Contains(run.out, "\"sound\": true"));
  EXPECT_TRUE(Contains(run.out, "The tour is over."));

  const std::string intro = "sample base in ";
  std::size_t at = run.out.find(intro);
  ASSERT_NE(at, std::string::npos);
  std::string dir = run.out.substr(at + intro.size(), run.out.find('\n', at) - at - intro.size());
  struct stat info {};
  EXPECT_NE(::stat(dir.c_str(), &info), 0) << dir;
}

TEST(CliDemo, WithoutExamplesItSaysWhereItLooked) {
  cli_testing::CliRun run = cli_testing::RunCli({"demo", "/nonexistent-examples"});
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(Contains(run.err, "no example tables in /nonexistent-examples"));
}

}  // namespace
