// What a person at a terminal sees: listings through the pager, a progress
// line on long imports, Ctrl-C stopping between two rows; none of it when
// the output goes to a pipe.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "apps/symbase/cli_fixture.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::TerminalSession;

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
  cli_testing::ExpectText(out, {" of 40000 rows: " + std::to_string(done) + " added, 0 changed",
                                std::to_string(40000 - done) + " not done",
                                "import interrupted at line " + std::to_string(done + 2) +
                                    "; the rows before it stay"});
  Steps({{{"count", "@"}, 0, {"=" + std::to_string(28 + done) + "\n"}},
         {{"check", "@"}, 0, {"=the base in @/ is sound\n"}},
         {{"find", "@", "%MW" + std::to_string(1000 + done - 1)}, 0, {"comment: Commentaire"}}});
}

}  // namespace
