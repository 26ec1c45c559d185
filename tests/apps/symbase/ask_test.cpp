// import --ask: both versions shown before each question, answers read on
// stdin line by line, or as single keys on a terminal.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_process.h"
#include "apps/symbase/import_fixture.h"
#include "apps/symbase/terminal_session.h"

namespace {

using cli_testing::CliRun;
using cli_testing::Contains;
using cli_testing::Example;
using cli_testing::RunCli;

class CliAsk : public cli_testing::PlantBase {};

TEST_F(CliAsk, ShowsBothVersionsAndWhatReplacingDoes) {
  // %MW10 comment: "x" is not an answer, then no. %MW11 symbol: yes. %Q2.5
  // moves Pompe_2: cancel, do not confirm, then yes to all.
  CliRun run =
      RunCli({"import", dir_.path(), Example("changes.csv"), "--ask"}, "x\nn\no\na\nn\nt\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out,
                       "line 3:\n"
                       "  base  %MW11  Seuil_arr\xC3\xAAt  \"Niveau d'arr\xC3\xAAt en cm\"\n"
                       "  file  %MW11  Seuil_bas  \"Niveau d'arr\xC3\xAAt en cm\"\n"
                       "Conflit de symboles : le rep\xC3\xA8re %MW11 symbolis\xC3\xA9"))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "Replacing renames Seuil_arr\xC3\xAAt to Seuil_bas.\n"));
  EXPECT_TRUE(
      Contains(run.out,
               "line 5:\n"
               "  base  %Q2.1  Pompe_2  \"Commande contacteur pompe 2\"\n"
               "  file  %Q2.5  Pompe_2  \"Commande contacteur pompe 2 (d\xC3\xA9plac\xC3\xA9"
               "e)\"\n"));
  EXPECT_TRUE(Contains(run.out,
                       "Replacing moves the symbol Pompe_2 from %Q2.1 to %Q2.5: %Q2.1 will no "
                       "longer be in the base.\n"));
  EXPECT_TRUE(Contains(run.out, "Confirmez-vous l'interruption"));
  EXPECT_TRUE(Contains(run.out, "line 5: moved symbol Pompe_2 from %Q2.1 to %Q2.5"));
  EXPECT_TRUE(Contains(run.out, "2 added, 1 changed, 1 moved, 1 unchanged, 0 kept, 1 refused"))
      << run.out;
  EXPECT_EQ(Comment("%MW10"), "Niveau de d\xC3\xA9marrage en cm");
  EXPECT_EQ(Symbol("%MW11"), "Seuil_bas");
  EXPECT_EQ(Symbol("%Q2.5"), "Pompe_2");
}

TEST_F(CliAsk, CancelledAndConfirmedStopsTheImport) {
  CliRun run = RunCli({"import", dir_.path(), Example("changes.csv"), "--ask"}, "a\no\n");
  EXPECT_EQ(run.status, 130);
  EXPECT_TRUE(Contains(run.err, "import interrupted at line 2; the rows before it stay"));
  EXPECT_TRUE(Contains(run.out, "imported 0 of 6 rows: 0 added")) << run.out;
  EXPECT_EQ(Symbol("%Q2.4"), "<none>");
  // The end of the input interrupts too, instead of waiting.
  CliRun ended = RunCli({"import", dir_.path(), Example("changes.csv"), "--ask"}, "");
  EXPECT_EQ(ended.status, 130);
  EXPECT_TRUE(Contains(ended.err, "import interrupted at line 2"));
}

TEST_F(CliAsk, NoToAllRefusesTheRestWithoutAsking) {
  CliRun run = RunCli({"import", dir_.path(), Example("changes.csv"), "--ask"}, "s\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "2 added, 0 changed, 0 moved, 1 unchanged, 0 kept, 3 refused"))
      << run.out;
  EXPECT_FALSE(Contains(run.out, "Conflit de symboles"));
}

// On a terminal one key answers, without Enter; Ctrl-C at a question stops
// the import after what was done.
TEST_F(CliAsk, KeysAnswerWithoutEnterOnATerminal) {
  cli_testing::TerminalSession session({"import", dir_.path(), Example("changes.csv"), "--ask"});
  ASSERT_TRUE(session.WaitFor("a = annuler) ? ")) << session.Output();
  session.Send("n");
  ASSERT_TRUE(session.WaitFor("Conflit de symboles")) << session.Output();
  ASSERT_TRUE(session.WaitFor("a = annuler) ? ")) << session.Output();
  session.Send("o");
  ASSERT_TRUE(session.WaitFor("Conflit de rep")) << session.Output();
  ASSERT_TRUE(session.WaitFor("a = annuler) ? ")) << session.Output();
  session.Send("\x03");
  EXPECT_EQ(session.Finish(), 130) << session.Output();
  EXPECT_TRUE(Contains(session.Output(),
                       "imported 3 of 6 rows: 1 added, 1 changed, 0 moved, "
                       "0 unchanged, 0 kept, 1 refused, 3 not done"))
      << session.Output();
  EXPECT_TRUE(Contains(session.Output(), "import interrupted at line 5"));
  EXPECT_EQ(Symbol("%MW11"), "Seuil_bas");
  EXPECT_EQ(Symbol("%Q2.1"), "Pompe_2");
}

}  // namespace
