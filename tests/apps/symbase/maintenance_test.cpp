// compact, check and repair through the program: the library's findings
// printed and parsed, index files rebuilt, row faults left to a person.

#include <gtest/gtest.h>
#include <unistd.h>

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

  // Another host can write an address twice: the library's create does not
  // look it up. A fault in the rows that no repair mends.
  void WriteAddressTwice() {
    CTBData* handle = nullptr;
    TBInitTabisDll(&handle);
    TBOpenBaseSymbol(handle, dir_.slash().c_str());
    CTBObjetAts twice("%MW3", "Encore", "", 0, -1);
    EXPECT_EQ(TBCreateObject(handle, &twice), 0);
    TBCloseBaseSymbol(handle);
    TBFreeTabisDll(handle);
  }

  std::string Sound() { return "the base in " + dir_.slash() + " is sound\n"; }

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
  EXPECT_EQ(RunCli({"check", dir_.path()}).out, Sound());
}

// A missing or damaged index file: every command that opens the base names
// the file and the repair; check finds it, repair rebuilds it.
TEST_F(CliMaintenance, AnIndexFileMissingOrDamagedIsNamedAndRepaired) {
  struct Case {
    const char* file;
    const char* bytes;  // nullptr: the file is removed
    const char* state;
  } cases[] = {{"KR9S.MDX", nullptr, "missing"}, {"KR9R.MDX", "not an index", "damaged"}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.file);
    if (test.bytes == nullptr) {
      ASSERT_EQ(::unlink(dir_.file(test.file).c_str()), 0);
    } else {
      ASSERT_TRUE(testing_support::WriteFileBytes(dir_.file(test.file), test.bytes));
    }
    const std::string opening = "symbase: the base in " + dir_.slash() +
                                " cannot be used: its index file " + test.file + " is " +
                                test.state + "; 'symbase repair " + dir_.slash() +
                                "' rebuilds it from the tables\n";
    std::vector<std::vector<std::string>> commands = {{"find", dir_.path(), "%MW1"},
                                                      {"list", dir_.path()},
                                                      {"add", dir_.path(), "%MW90", "Neuf"},
                                                      {"export", dir_.path()}};
    for (const auto& command : commands) {
      CliRun run = RunCli(command);
      EXPECT_EQ(run.status, 3) << command[0];
      EXPECT_EQ(run.err, opening) << command[0];
      EXPECT_EQ(run.out, "") << command[0];
    }

    CliRun check = RunCli({"check", dir_.path()});
    EXPECT_EQ(check.status, 3);
    EXPECT_TRUE(Contains(check.out, std::string(test.file) + ": index: ")) << check.out;
    EXPECT_TRUE(Contains(check.out, "the base in " + dir_.slash() + " is damaged: 1 fault in its " +
                                        "index files or table headers; 'symbase repair " +
                                        dir_.slash() + "' mends it\n"))
        << check.out;
    CliRun quiet = RunCli({"check", dir_.path(), "--quiet"});
    EXPECT_EQ(quiet.status, 3);
    EXPECT_EQ(quiet.out, "");

    CliRun repair = RunCli({"repair", dir_.path()});
    EXPECT_EQ(repair.status, 0) << repair.err;
    EXPECT_TRUE(Contains(repair.out, std::string(test.file) + ": repaired: rebuilt from KR9.DBF"))
        << repair.out;
    EXPECT_TRUE(Contains(repair.out, "KR9CMTR.MDX: repaired: rebuilt from KR9CMT.DBF"));
    EXPECT_EQ(repair.out.substr(repair.out.rfind('\n', repair.out.size() - 2) + 1), Sound());
    if (test.bytes != nullptr) {
      EXPECT_EQ(testing_support::ReadFileBytes(dir_.file(std::string(test.file) + ".bak")),
                test.bytes);
    }
    EXPECT_EQ(RunCli({"check", dir_.path()}).out, Sound());
    EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%MW7"}).out, "comment: Commentaire 7\n"));
    EXPECT_EQ(RunCli({"find", dir_.path(), "-s", "Mot_12"}).status, 0);
  }
  CliRun nothing = RunCli({"repair", dir_.path()});
  EXPECT_EQ(nothing.status, 0);
  EXPECT_EQ(nothing.out, "the base in " + dir_.slash() + " is sound: nothing to repair\n");
}

// Faults in the rows: found, named, left by the repair, which mends the rest.
TEST_F(CliMaintenance, RowFaultsAreLeftToAPerson) {
  WriteAddressTwice();
  ASSERT_EQ(::unlink(dir_.file("KR9S.MDX").c_str()), 0);
  CliRun check = RunCli({"check", dir_.path()});
  EXPECT_EQ(check.status, 3);
  EXPECT_TRUE(Contains(check.out, "KR9.DBF: rows: the address %MW3 is in record 4 and record 21\n"))
      << check.out;
  EXPECT_TRUE(Contains(check.out, "KR9.DBF: rows: the key 'MW"));
  EXPECT_TRUE(Contains(check.out, "KR9S.MDX: index: "));
  EXPECT_TRUE(Contains(check.out,
                       " is damaged: 2 faults in its rows, which a repair cannot mend: "
                       "a person must look at them; 'symbase repair " +
                           dir_.slash() +
                           "' mends the rest (1 fault in its index files or table "
                           "headers)\n"))
      << check.out;

  const char* reader =
      "import json, sys\n"
      "d = json.load(sys.stdin)\n"
      "kinds = sorted(set(f['kind'] for f in d.get('findings', d.get('remaining', []))))\n"
      "print(d['sound'], kinds, len(d.get('repaired', [])))\n";
  EXPECT_EQ(cli_testing::Python(reader, RunCli({"check", dir_.path(), "--json"}).out),
            "False ['index', 'rows'] 0\n");
  CliRun repair = RunCli({"repair", dir_.path(), "--json"});
  EXPECT_EQ(repair.status, 3);
  EXPECT_EQ(cli_testing::Python(reader, repair.out), "False ['rows'] 4\n") << repair.out;

  CliRun after = RunCli({"check", dir_.path()});
  EXPECT_EQ(after.status, 3);
  EXPECT_FALSE(Contains(after.out, ": index: ")) << after.out;
  EXPECT_TRUE(Contains(after.out, "2 faults in its rows")) << after.out;
}

TEST_F(CliMaintenance, CheckAndRepairNeedABase) {
  testing_support::TempDir empty;
  for (const char* command : {"check", "repair"}) {
    CliRun run = RunCli({command, empty.path()});
    EXPECT_EQ(run.status, 3) << command;
    EXPECT_EQ(run.err, "symbase: no symbol base in " + empty.slash() + " ('symbase create " +
                           empty.slash() + "' makes one)\n");
  }
}

}  // namespace
