// delete: several addresses, a whole kind (asked first), the addresses of a file.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_process.h"
#include "apps/symbase/import_fixture.h"
#include "apps/symbase/terminal_session.h"

namespace {

using cli_testing::CliRun;
using cli_testing::Contains;
using cli_testing::RunCli;

class CliDelete : public cli_testing::PlantBase {
 protected:
  std::string Count(const char* prefix = "") {
    std::vector<std::string> args = {"count", dir_.path()};
    if (*prefix != '\0') args.push_back(prefix);
    return RunCli(args).out;
  }
};

TEST_F(CliDelete, SeveralAddressesAndTheOnesMissing) {
  CliRun run = RunCli({"delete", dir_.path(), "%M0", "%M1", "%M9", "%M2"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "deleted %M0\ndeleted %M1\ndeleted %M2\n");
  EXPECT_EQ(run.err, "symbase: no object at %M9\n");
  EXPECT_EQ(Count("%M"), "0\n");  // %M is the bits alone, not the words
  EXPECT_EQ(RunCli({"find", dir_.path(), "--symbol", "Acquit"}).status, 1);
  EXPECT_EQ(RunCli({"delete", dir_.path(), "%M0", "%M1"}).err,
            "symbase: 2 addresses were not in the base: %M0 %M1\n");
}

TEST_F(CliDelete, AKindIsAskedForFirst) {
  CliRun refused = RunCli({"delete", dir_.path(), "--kind", "%Q"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_TRUE(Contains(refused.err, "give --yes to delete the 4 objects of kind %Q"));
  EXPECT_EQ(Count("%Q"), "4\n");

  cli_testing::TerminalSession no({"delete", dir_.path(), "-k", "%Q"});
  ASSERT_TRUE(no.WaitFor("Delete the 4 objects of kind %Q (%Q2.0 ... %Q2.3)? [y/N] "))
      << no.Output();
  no.Send("n");
  EXPECT_EQ(no.Finish(), 1);
  EXPECT_EQ(Count("%Q"), "4\n");

  cli_testing::TerminalSession yes({"delete", dir_.path(), "-k", "%Q"});
  ASSERT_TRUE(yes.WaitFor("[y/N] ")) << yes.Output();
  yes.Send("y");
  EXPECT_EQ(yes.Finish(), 0) << yes.Output();
  EXPECT_TRUE(Contains(yes.Output(), "deleted 4 objects"));
  EXPECT_EQ(Count("%Q"), "0\n");

  CliRun words = RunCli({"delete", dir_.path(), "--kind=%MW", "--yes"});
  EXPECT_EQ(words.out, "deleted 8 objects\n");  // the words and their bits
  EXPECT_EQ(Count(), "16\n");
  EXPECT_EQ(RunCli({"delete", dir_.path(), "-yk", "%MW"}).status, 1);
}

TEST_F(CliDelete, TheAddressesOfAFile) {
  CliRun run =
      RunCli({"delete", dir_.path(), "--from", WriteFile("repere;symbole\n%I1.0;x\n%i1.1\n%X1\n")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "deleted 3 objects\n");
  EXPECT_EQ(Count(), "25\n");
  CliRun bad = RunCli({"delete", dir_.path(), "--from", WriteFile("address\n%I1.2\nI1.3\n")});
  EXPECT_EQ(bad.status, 3);
  EXPECT_TRUE(Contains(bad.err, "in.csv:3:1: address \"I1.3\""));
  EXPECT_EQ(Count(), "25\n");
}

}  // namespace
