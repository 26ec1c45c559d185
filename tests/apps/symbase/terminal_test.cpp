// What a person at a terminal sees: listings through the pager, a progress
// line on long imports, Ctrl-C stopping between two rows; none of it when
// the output goes to a pipe.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "apps/symbase/cli_fixture.h"
#include "apps/symbase/terminal_session.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::TerminalSession;

class CliTerminal : public cli_testing::PlantBase {};

TEST_F(CliTerminal, ListingsGoThroughThePagerOnATerminalOnly) {
  // A pager that marks each line it shows.
  const std::string pager = "PAGER=sed s/^/paged:/";
  TerminalSession paged({"list", dir_.path(), "%Q"}, {pager});
  EXPECT_EQ(paged.Finish(), 0);
  cli_testing::ExpectText(paged.Output(), {"paged:%Q2.3    Klaxon", "paged:4 objects"});

  // No pager asked for, and none on an empty PATH ("PAGER" alone unsets it).
  for (const std::vector<std::string>& setting : {std::vector<std::string>{"--no-pager", pager},
                                                  std::vector<std::string>{"", "PAGER", "PATH="}}) {
    std::vector<std::string> args = {"list", dir_.path(), "%Q"};
    if (!setting[0].empty()) args.insert(args.begin(), setting[0]);
    TerminalSession straight(args, {setting.begin() + 1, setting.end()});
    EXPECT_EQ(straight.Finish(), 0);
    cli_testing::ExpectText(straight.Output(), {"!paged:", "4 objects"});
  }

  // No PAGER: "less" when the PATH has one.
  testing_support::TempDir bin;
  ASSERT_TRUE(testing_support::WriteFileBytes(
      bin.file("less"), "#!/bin/sh\nwhile IFS= read -r l; do echo \"less:$l\"; done\n"));
  ASSERT_EQ(::chmod(bin.file("less").c_str(), 0755), 0);
  TerminalSession less({"list", dir_.path(), "%Q"}, {"PAGER", "PATH=" + bin.path()});
  EXPECT_EQ(less.Finish(), 0);
  cli_testing::ExpectText(less.Output(), {"less:%Q2.3    Klaxon"});

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
  // The full check: tags against rows, keys, comment rows, headers.
  Steps({{{"count", "@"}, 0, {"=" + std::to_string(28 + done) + "\n"}},
         {{"check", "@"}, 0, {"=the base in @/ is sound\n"}},
         {{"find", "@", "%MW" + std::to_string(1000 + done - 1)}, 0, {"comment: Commentaire"}}});
}

}  // namespace
