// compact and check, a missing or damaged base, and the library's reports on stderr.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_process.h"
#include "support/temp_dir.h"
#include "symbase/symbase.h"

namespace {

using cli_testing::CliRun;
using cli_testing::Contains;
using cli_testing::RunCli;

class CliMaintenance : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunCli({"create", dir_.path()}).status, 0);
    for (int i = 0; i < 20; ++i) {
      std::string n = std::to_string(i);
      ASSERT_EQ(RunCli({"add", dir_.path(), "%MW" + n, "Mot_" + n, "Commentaire " + n}).status, 0);
    }
  }

  std::size_t TableBytes() {
    return testing_support::ReadFileBytes(dir_.file("KR9.DBF")).size() +
           testing_support::ReadFileBytes(dir_.file("KR9CMT.DBF")).size();
  }

  testing_support::TempDir dir_;
};

TEST_F(CliMaintenance, CompactDropsDeletedRowsAndKeepsTheRest) {
  for (int i = 0; i < 20; i += 2) {
    ASSERT_EQ(RunCli({"delete", dir_.path(), "%MW" + std::to_string(i)}).status, 0);
  }
  std::size_t before = TableBytes();
  CliRun run = RunCli({"compact", dir_.path()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "compacted " + dir_.slash()));
  EXPECT_LT(TableBytes(), before);
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "10\n");
  EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%MW7"}).out, "comment: Commentaire 7\n"));
  EXPECT_EQ(RunCli({"find", dir_.path(), "%MW8"}).status, 1);
}

TEST_F(CliMaintenance, CheckFindsRepeatedAddressesAndKeys) {
  CliRun clean = RunCli({"check", dir_.path()});
  EXPECT_EQ(clean.status, 0);
  EXPECT_TRUE(Contains(clean.out, "20 objects, 0 duplicates"));

  // Another host can write an address twice: the library's create does not look it up.
  CTBData* handle = nullptr;
  TBInitTabisDll(&handle);
  TBOpenBaseSymbol(handle, dir_.slash().c_str());
  CTBObjetAts twice("%MW3", "Encore", "", 0, -1);
  EXPECT_EQ(TBCreateObject(handle, &twice), 0);
  TBCloseBaseSymbol(handle);
  TBFreeTabisDll(handle);

  CliRun found = RunCli({"check", dir_.path()});
  EXPECT_EQ(found.status, 1);
  EXPECT_TRUE(Contains(found.out, "repeated address: %MW3\n")) << found.out;
  EXPECT_TRUE(Contains(found.out, "repeated key: MW"));
  EXPECT_TRUE(Contains(found.out, "21 objects, 2 duplicates"));
}

TEST_F(CliMaintenance, AMissingBaseIsNamed) {
  testing_support::TempDir empty;
  for (const char* command : {"find", "delete", "list", "count", "export", "compact", "check"}) {
    std::vector<std::string> args = {command, empty.path()};
    if (std::string(command) == "find" || std::string(command) == "delete") args.push_back("%MW1");
    CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_TRUE(Contains(run.err, "no symbol base in " + empty.slash() + " (KR9.DBF is missing"))
        << command << ": " << run.err;
  }
  std::string too_long = empty.path() + "/" + std::string(80, 'd');
  CliRun long_path = RunCli({"create", too_long});
  EXPECT_EQ(long_path.status, 1);
  EXPECT_TRUE(Contains(long_path.err, "is too long: the library takes at most 72 characters"));
}

TEST_F(CliMaintenance, ADamagedFileGivesTheLibrarysReportAndFailure) {
  testing_support::WriteFileBytes(dir_.file("KR9R.MDX"), "not an index");
  CliRun run = RunCli({"find", dir_.path(), "%MW1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "symbase: error 146/")) << run.err;
  EXPECT_TRUE(Contains(run.err, "(Tabiserr line ")) << run.err;
  EXPECT_TRUE(Contains(run.err, "opening the base in " + dir_.slash() + " failed")) << run.err;
  EXPECT_EQ(run.out, "");
}

}  // namespace
