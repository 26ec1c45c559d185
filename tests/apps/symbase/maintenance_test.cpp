// compact, check and repair through the program: the library's findings
// printed and parsed, index files rebuilt, row faults left to a person.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "apps/symbase/cli_fixture.h"
#include "symbase/symbase.h"

namespace {

using cli_testing::RunCli;
using cli_testing::Step;

class CliMaintenance : public cli_testing::CliBase {
 protected:
  void SetUp() override {
    CliBase::SetUp();
    std::string csv = "address,symbol,comment\n";
    for (int i = 0; i < 20; ++i) {
      std::string n = std::to_string(i);
      csv += "%MW" + n + ",Mot_" + n + ",Commentaire " + n + "\n";
    }
    ASSERT_EQ(RunCli({"import", dir_.path(), WriteFile(csv)}).status, 0);
  }

  std::size_t TableBytes() {
    return testing_support::ReadFileBytes(dir_.file("KR9.DBF")).size() +
           testing_support::ReadFileBytes(dir_.file("KR9CMT.DBF")).size();
  }

  const std::string sound_ = "=the base in @/ is sound\n";
};

TEST_F(CliMaintenance, CompactDropsDeletedRowsAndKeepsTheRest) {
  for (int i = 0; i < 20; i += 2) {
    ASSERT_EQ(RunCli({"delete", dir_.path(), "%MW" + std::to_string(i)}).status, 0);
  }
  std::size_t before = TableBytes();
  Steps({{{"compact", "@"}, 0, {"compacted @/"}},
         {{"count", "@"}, 0, {"=10\n"}},
         {{"find", "@", "%MW7"}, 0, {"comment: Commentaire 7\n"}},
         {{"find", "@", "%MW8"}, 1},
         {{"check", "@"}, 0, {sound_}}});
  EXPECT_LT(TableBytes(), before);
}

// A missing or damaged index file: every command that opens the base names
// the file and the repair; check finds it, repair rebuilds it.
TEST_F(CliMaintenance, AnIndexFileMissingOrDamagedIsNamedAndRepaired) {
  struct Case {
    std::string file;
    const char* bytes;  // nullptr: the file is removed
    const char* state;
  } cases[] = {{"KR9CLER.MDX", nullptr, "missing"}, {"KR9R.MDX", "not an index", "damaged"}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.file);
    if (test.bytes == nullptr) {
      ASSERT_EQ(::unlink(dir_.file(test.file).c_str()), 0);
    } else {
      ASSERT_TRUE(testing_support::WriteFileBytes(dir_.file(test.file), test.bytes));
    }
    const std::string opening = "=symbase: the base in @/ cannot be used: its index file " +
                                test.file + " is " + test.state +
                                "; 'symbase repair @/' rebuilds it from the tables\n";
    Steps({
        {{"find", "@", "%MW1"}, 3, {"="}, {opening}},
        {{"list", "@"}, 3, {"="}, {opening}},
        {{"add", "@", "%MW90", "Neuf"}, 3, {"="}, {opening}},
        {{"export", "@"}, 3, {"="}, {opening}},
        {{"check", "@"},
         3,
         {test.file + ": index: ",
          "the base in @/ is damaged: 1 fault in its index files or table headers; 'symbase "
          "repair @/' mends it\n"}},
        {{"check", "@", "--quiet"}, 3, {"="}},
        {{"repair", "@"},
         0,
         {test.file + ": repaired: rebuilt from KR9.DBF",
          "KR9CMTR.MDX: repaired: rebuilt from KR9CMT.DBF", "\nthe base in @/ is sound\n"}},
        {{"check", "@"}, 0, {sound_}},
        {{"find", "@", "%MW7"}, 0, {"comment: Commentaire 7\n"}},
        {{"find", "@", "-s", "Mot_12"}, 0},
    });
    if (test.bytes != nullptr) {
      EXPECT_EQ(testing_support::ReadFileBytes(dir_.file(test.file + ".bak")), test.bytes);
    }
  }
  Steps({{{"repair", "@"}, 0, {"=the base in @/ is sound: nothing to repair\n"}}});
}

// Faults in the rows: found, named, left by the repair, which mends the rest.
TEST_F(CliMaintenance, RowFaultsAreLeftToAPerson) {
  // Another host can write an address twice: the library's create does not
  // look it up. A fault in the rows that no repair mends.
  CTBData* handle = nullptr;
  TBInitTabisDll(&handle);
  TBOpenBaseSymbol(handle, dir_.slash().c_str());
  CTBObjetAts twice("%MW3", "Encore", "", 0, -1);
  EXPECT_EQ(TBCreateObject(handle, &twice), 0);
  TBCloseBaseSymbol(handle);
  TBFreeTabisDll(handle);
  ASSERT_EQ(::unlink(dir_.file("KR9S.MDX").c_str()), 0);
  Steps({{{"check", "@"},
          3,
          {"KR9.DBF: rows: the address %MW3 is in record 4 and record 21\n",
           "KR9.DBF: rows: the key 'MW", "KR9S.MDX: index: ",
           " is damaged: 2 faults in its rows, which a repair cannot mend: a person must look at "
           "them; 'symbase repair @/' mends the rest (1 fault in its index files or table "
           "headers)\n"}}});
  const char* reader =
      "import json, sys\n"
      "d = json.load(sys.stdin)\n"
      "kinds = sorted(set(f['kind'] for f in d.get('findings', d.get('remaining', []))))\n"
      "print(d['sound'], kinds, len(d.get('repaired', [])))\n";
  EXPECT_EQ(cli_testing::Python(reader, RunCli({"check", dir_.path(), "--json"}).out),
            "False ['index', 'rows'] 0\n");
  cli_testing::CliRun repair = RunCli({"repair", dir_.path(), "--json"});
  EXPECT_EQ(repair.status, 3);
  EXPECT_EQ(cli_testing::Python(reader, repair.out), "False ['rows'] 4\n") << repair.out;
  Steps({{{"check", "@"}, 3, {"!: index: ", "2 faults in its rows"}}});
}

}  // namespace
