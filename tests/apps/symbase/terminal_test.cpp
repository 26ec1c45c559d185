// What a person at a terminal sees: listings through the pager, a progress
// line on long imports, Ctrl-C stopping between two rows; none of it when
// the output goes to a pipe.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_process.h"
#include "apps/symbase/import_fixture.h"
#include "apps/symbase/terminal_session.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::CliRun;
using cli_testing::Contains;
using cli_testing::RunCli;
using cli_testing::TerminalSession;

class CliTerminal : public cli_testing::PlantBase {};

TEST_F(CliTerminal, ListingsGoThroughThePagerOnATerminalOnly) {
  // A pager that marks each line it shows.
  const std::string pager = "PAGER=sed s/^/paged:/";
  TerminalSession paged({"list", dir_.path(), "%Q"}, {pager});
  EXPECT_EQ(paged.Finish(), 0);
  EXPECT_TRUE(Contains(paged.Output(), "paged:%Q2.3    Klaxon")) << paged.Output();
  EXPECT_TRUE(Contains(paged.Output(), "paged:4 objects"));

  TerminalSession straight({"--no-pager", "list", dir_.path(), "%Q"}, {pager});
  EXPECT_EQ(straight.Finish(), 0);
  EXPECT_FALSE(Contains(straight.Output(), "paged:"));
  EXPECT_TRUE(Contains(straight.Output(), "4 objects"));

  CliRun piped = cli_testing::RunCliWith("env 'PAGER=sed s/^/paged:/'", {"list", dir_.path()});
  EXPECT_FALSE(Contains(piped.out, "paged:"));
  EXPECT_TRUE(Contains(piped.out, "28 objects\n"));
}

// A long import on a terminal shows its progress; Ctrl-C stops it between
// two rows, says what was done, and leaves a base that checks clean.
TEST_F(CliTerminal, CtrlCStopsALongImportBetweenTwoRows) {
  std::string csv = "address,symbol,comment\n";
  for (int i = 1000; i < 41000; ++i) {
    csv += "%MW" + std::to_string(i) + ",S" + std::to_string(i) + ",Commentaire " +
           std::to_string(i) + "\n";
  }
  std::string file = WriteFile(csv, "long.csv");
  TerminalSession session({"import", dir_.path(), file});
  ASSERT_TRUE(session.WaitFor("importing [", 60)) << session.Output();
  session.Send("\x03");
  ASSERT_EQ(session.Finish(120), 130) << session.Output();
  const std::string& out = session.Output();
  std::size_t at = out.find("imported ");
  ASSERT_NE(at, std::string::npos) << out;
  std::size_t done = std::stoul(out.substr(at + 9));
  EXPECT_GT(done, 0u);
  EXPECT_LT(done, 40000u);
  EXPECT_TRUE(Contains(out, " of 40000 rows: " + std::to_string(done) + " added, 0 changed"))
      << out;
  EXPECT_TRUE(Contains(out, std::to_string(40000 - done) + " not done"));
  EXPECT_TRUE(Contains(out, "import interrupted at line " + std::to_string(done + 2) +
                                "; the rows before it stay in the base"));
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, std::to_string(28 + done) + "\n");
  // The full check: tags against rows, keys, comment rows, headers.
  CliRun check = RunCli({"check", dir_.path()});
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_EQ(check.out, "the base in " + dir_.slash() + " is sound\n");
  EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%MW" + std::to_string(1000 + done - 1)}).out,
                       "comment: Commentaire"));
}

}  // namespace
