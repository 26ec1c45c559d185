// compact and check, a missing, damaged or read-only base: errors in words,
// the library's reports with --verbose.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
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
  EXPECT_EQ(found.status, 3);
  EXPECT_TRUE(Contains(found.out, "repeated address: %MW3\n")) << found.out;
  EXPECT_TRUE(Contains(found.out, "repeated key: MW"));
  EXPECT_TRUE(Contains(found.out, "21 objects, 2 duplicates"));
  const char* reader =
      "import json, sys\n"
      "d = json.load(sys.stdin)\n"
      "print(d['objects'], d['repeated_addresses'], len(d['repeated_keys']), d['clean'])\n";
  EXPECT_EQ(cli_testing::Python(reader, RunCli({"check", dir_.path(), "--json"}).out),
            "21 ['%MW3'] 1 False\n");
}

TEST_F(CliMaintenance, AMissingBaseIsNamed) {
  testing_support::TempDir empty;
  for (const char* command : {"find", "delete", "list", "count", "export", "compact", "check"}) {
    std::vector<std::string> args = {command, empty.path()};
    if (std::string(command) == "find" || std::string(command) == "delete") args.push_back("%MW1");
    CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 3) << command;
    EXPECT_TRUE(Contains(run.err, "no symbol base in " + empty.slash() + " (KR9.DBF is missing"))
        << command << ": " << run.err;
  }
  std::string too_long = empty.path() + "/" + std::string(80, 'd');
  CliRun long_path = RunCli({"create", too_long});
  EXPECT_EQ(long_path.status, 2);
  EXPECT_TRUE(Contains(long_path.err, "is too long: the library takes at most 72 characters"));
}

TEST_F(CliMaintenance, ADamagedFileIsSaidSoAndVerboseShowsTheReports) {
  testing_support::WriteFileBytes(dir_.file("KR9R.MDX"), "not an index");
  CliRun run = RunCli({"find", dir_.path(), "%MW1"});
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(Contains(
      run.err, "symbase: cannot open the base in " + dir_.slash() + ": the library reported "))
      << run.err;
  EXPECT_TRUE(Contains(run.err, "the base may be damaged (--verbose shows every report)"));
  EXPECT_EQ(run.err.find("symbase: library:"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  CliRun verbose = RunCli({"find", dir_.path(), "%MW1", "--verbose"});
  EXPECT_TRUE(Contains(verbose.err, "symbase: library: error 146/")) << verbose.err;
  EXPECT_TRUE(Contains(verbose.err, "(Tabiserr line "));
}

// A user who may only read the base: writes are refused naming the file and
// the system's reason, before the library is asked.
TEST_F(CliMaintenance, ABaseTheUserMayOnlyRead) {
  if (::geteuid() == 0 && std::system("command -v setpriv >/dev/null") != 0) {
    GTEST_SKIP() << "running as root without setpriv to drop the privilege";
  }
  // Readable by all, writable by none; root reads it as nobody.
  struct Writable {
    std::string path;
    ~Writable() { ::chmod(path.c_str(), 0755); }
  } restore{dir_.path()};
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0555), 0);
  for (const char* name :
       {"KR9.DBF", "KR9CMT.DBF", "KR9CLER.MDX", "KR9R.MDX", "KR9S.MDX", "KR9CMTR.MDX"}) {
    ASSERT_EQ(::chmod(dir_.file(name).c_str(), 0444), 0);
  }
  std::string as_reader =
      ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
  CliRun write = cli_testing::RunCliWith(as_reader, {"add", dir_.path(), "%MW50", "X"});
  EXPECT_EQ(write.status, 3);
  EXPECT_EQ(write.err, "symbase: cannot write to the base in " + dir_.slash() +
                           ": KR9.DBF: Permission denied\n");
  CliRun read = cli_testing::RunCliWith(as_reader, {"find", dir_.path(), "%MW7"});
  if (Contains(read.err, "(the library opened the files for writing)")) {
    GTEST_SKIP() << "the library cannot open read-only files yet: " << read.err;
  }
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_TRUE(Contains(read.out, "comment: Commentaire 7\n"));
  EXPECT_EQ(cli_testing::RunCliWith(as_reader, {"count", dir_.path()}).out, "20\n");
}

}  // namespace
