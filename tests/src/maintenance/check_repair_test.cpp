// The check and the repair of bases damaged behind the library's back.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/raw_rows.h"
#include "support/symbol_base.h"
#include "symbase/maintenance.h"

namespace {

using testing_support::AppendRawObject;
using testing_support::Key;
using testing_support::ReadFileBytes;

enum Damage { kNone, kMissingIndex, kIndexKey, kHeaderCount, kRowRules };

// The damage; the check's result, texts found in its findings and their number
// (-1: any); the same for the repair, whose result the check then gives.
struct Case {
  Damage damage;
  int check;
  std::string findings;  // texts ended by new lines
  int found;
  int repair;
  std::string actions;
  int done;
};

void PrintTo(const Case& c, std::ostream* out) { *out << "damage " << c.damage; }

class CheckRepair : public testing_support::SymbolBaseTest,
                    public testing::WithParamInterface<Case> {
 protected:
  void SetUp() override {
    SymbolBaseTest::SetUp();
    Create("%MW10", "Pump_1", "first pump");
    Create("%MW11", "Pump_2");
    Create("%I1.2", "Start", "start button");
    for (int i = 20; i < 120; ++i) {
      Create(("%MW" + std::to_string(i)).c_str(), ("Word_" + std::to_string(i)).c_str());
    }
  }

  // The check's or repair's result on the directory (the fixture's when
  // empty), then its findings as "kind FILE: text".
  std::vector<std::string> Run(int (*call)(CTBData*, const char*, CObList*),
                               std::string directory = "") {
    if (directory.empty()) directory = dir.slash();
    CObList list;
    std::vector<std::string> shown{std::to_string(call(base, directory.c_str(), &list))};
    while (!list.IsEmpty()) {
      std::unique_ptr<CObject> record(list.RemoveHead());
      const auto& f = *static_cast<CTBCheckFinding*>(record.get());
      shown.push_back(std::to_string(f.m_kind) + " " + std::string(f.m_file) + ": " +
                      std::string(f.m_text));
    }
    return shown;
  }

  // Damages the base and closes it; the index file's bytes when it changed one.
  std::string Make(Damage damage) {
    if (damage == kRowRules) {
      // Written past the library: a symbol carried twice, a key that is not
      // the address's, a comment row of no address, a row marked commented
      // whose comment row is gone, another writing of an address's key.
      AppendRawObject(base, Key("MW", "00200"), "%MW200", "Pump_1");
      AppendRawObject(base, Key("MW", "00999"), "%MW201", "Odd_key");
      EXPECT_EQ(base->AppendComment("lost", "MW", "00300", "", "", ""), 0);
      AppendRawObject(base, Key("MW", "00400"), "%MW400", "", "gone soon");
      EXPECT_EQ(base->DeleteComment(Key("MW", "00400").c_str()), 0);
      EXPECT_EQ(xbase::TableUnlock(base->m_commentTable), 0);
      AppendRawObject(base, Key("MW", "00010"), "%MW010", "Odd_ten");
    }
    EXPECT_EQ(TBCloseBaseSymbol(base), 0);
    const std::string file = damage == kHeaderCount ? "KR9.DBF" : "KR9S.MDX";
    std::string bytes = ReadFileBytes(dir.file(file));
    if (damage == kIndexKey) bytes[bytes.find("Word_77") + 5] = '8';  // now reads Word_87
    if (damage == kHeaderCount) bytes[4] = static_cast<char>(bytes[4] + 5);
    EXPECT_TRUE(damage == kMissingIndex ? std::remove(dir.file(file).c_str()) == 0
                                        : testing_support::WriteFileBytes(dir.file(file), bytes));
    return damage == kIndexKey ? bytes : "";
  }

  std::string AddressOf(const char* symbol) {
    CTBObjetAts object("", symbol, "", 0, -1);
    const int result = TBSearchRepere(base, &object);
    return result == 0 ? std::string(object.m_repere) : "<" + std::to_string(result) + ">";
  }
};

void Expect(const std::vector<std::string>& shown, int result, const std::string& texts,
            int count) {
  EXPECT_EQ(shown[0], std::to_string(result));
  std::istringstream lines(texts);
  for (std::string text; std::getline(lines, text);) {
    EXPECT_THAT(shown, testing::Contains(testing::HasSubstr(text)));
  }
  EXPECT_EQ(count < 0 ? 0 : shown.size(), count < 0 ? 0 : count + 1u);
}

TEST_P(CheckRepair, FindsAndMendsWhatItCan) {
  const Case& c = GetParam();
  const std::string damaged = Make(c.damage);
  Expect(Run(TBCheckBaseSymbol), c.check, c.findings, c.found);
  // A damaged base needs the base to itself.
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  HostClearRecords();
  if (c.check != 0) {
    EXPECT_EQ(Run(TBRepairBaseSymbol), std::vector<std::string>{"104"});
  }
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  Expect(Run(TBRepairBaseSymbol), c.repair, c.actions, c.done);
  // The index file it replaced is kept beside it.
  EXPECT_EQ(c.damage <= kIndexKey ? ReadFileBytes(dir.file("KR9S.MDX.bak")) : "", damaged);
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(Run(TBCheckBaseSymbol)[0], std::to_string(c.repair));
  EXPECT_EQ(AddressOf("Word_77"), "%MW77");
  EXPECT_EQ(AddressOf("Word_87"), "%MW87");
  EXPECT_EQ(static_cast<unsigned char>(ReadFileBytes(dir.file("KR9.DBF"))[4]),
            c.damage == kRowRules ? 107u : 103u);
}

// A directory longer than a path holds is refused before any file is
// touched, and reported as the opening of the base reports it.
TEST_F(CheckRepair, ADirectoryTooLongIsReported) {
  const std::string directory = dir.slash() + std::string(80, 'd') + "/";
  for (auto call : {TBCheckBaseSymbol, TBRepairBaseSymbol}) {
    EXPECT_EQ(Run(call, directory), std::vector<std::string>{std::to_string(xbase::kErrArgument)});
    EXPECT_THAT(HostErrorReports(), testing::ElementsAre(testing_support::ReportIs(
                                        4, xbase::kErrArgument, "Tabiserr", directory)));
    HostClearErrorReports();
  }
  // The longest directory a path holds: a base there is checked.
  const std::string longest = dir.slash() + std::string(71 - dir.slash().size(), 'd') + "/";
  ASSERT_EQ(longest.size(), 72u);
  ASSERT_TRUE(std::filesystem::create_directory(longest));
  CTBData* other = nullptr;
  TBInitTabisDll(&other);
  ASSERT_EQ(TBCreateBaseSymbol(other, longest.c_str(), 0), 0);
  TBCloseBaseSymbol(other);
  TBFreeTabisDll(other);
  EXPECT_EQ(Run(TBCheckBaseSymbol, longest), std::vector<std::string>{"0"});
  EXPECT_TRUE(HostErrorReports().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Damages, CheckRepair,
    testing::Values(Case{kNone, 0, "", 0, 0, "", 0},
                    Case{kMissingIndex, TB_CHECK_REPAIRABLE,
                         "1 KR9S.MDX: is missing or cannot be opened\n", 1, 0,
                         "4 KR9S.MDX: rebuilt from\n", 4},
                    Case{kIndexKey, TB_CHECK_REPAIRABLE, "1 KR9S.MDX: \n", -1, 0, "", 4},
                    Case{kHeaderCount, TB_CHECK_REPAIRABLE, "2 KR9.DBF: the header counts 108\n", 1,
                         0, "4 KR9.DBF: header corrected: record count and end-of-file mark\n", 5},
                    // All four index files rebuilt, the five row faults left.
                    Case{kRowRules, TB_CHECK_DAMAGED,
                         "3 KR9.DBF: the symbol Pump_1 is carried by record 1\n"
                         "3 KR9.DBF: record 105 (%MW201) has the key 'MW   00999\n"
                         "3 KR9CMT.DBF: comment record 3 (key 'MW   00300\n"
                         "3 KR9.DBF: record 106 is marked commented\n"
                         "3 KR9.DBF: the key '" +
                             Key("MW", "00010") + "' is in record 1 and record 107\n",
                         5, TB_CHECK_DAMAGED, "", 9}));

}  // namespace
