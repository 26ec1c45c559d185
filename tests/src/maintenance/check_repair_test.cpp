// The integrity check and the repair on bases damaged behind the library's
// back: missing and damaged index files, a header that lies, rows that break
// the base's rules, and a base in use elsewhere.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/raw_rows.h"
#include "support/symbol_base.h"
#include "symbase/maintenance.h"

namespace {

using testing::AllOf;
using testing::Contains;
using testing::ElementsAre;
using testing::Field;
using testing::HasSubstr;
using testing::IsEmpty;
using testing_support::AppendRawObject;
using testing_support::Key;
using testing_support::ReportIs;

// A finding as "kind FILE: text".
std::string Show(const CTBCheckFinding& f) {
  return std::to_string(f.m_kind) + " " + std::string(f.m_file) + ": " + std::string(f.m_text);
}

class CheckRepair : public testing_support::SymbolBaseTest {
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

  // Runs the check (or the repair) and returns the findings as texts.
  std::vector<std::string> Run(int (*call)(CTBData*, const char*, CObList*), int* result) {
    CObList list;
    *result = call(base, dir.slash().c_str(), &list);
    std::vector<std::string> shown;
    while (!list.IsEmpty()) {
      std::unique_ptr<CObject> record(list.RemoveHead());
      shown.push_back(Show(*static_cast<CTBCheckFinding*>(record.get())));
    }
    return shown;
  }
  std::vector<std::string> Check(int* result) { return Run(TBCheckBaseSymbol, result); }
  std::vector<std::string> Repair(int* result) { return Run(TBRepairBaseSymbol, result); }

  std::string Bytes(const std::string& name) {
    std::ifstream in(dir.file(name), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir.file(name), std::ios::binary | std::ios::trunc) << bytes;
  }

  void Close() { ASSERT_EQ(TBCloseBaseSymbol(base), 0); }
  void Reopen() {
    ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
    EXPECT_THAT(HostErrorReports(), IsEmpty());
  }

  // The address that carries a symbol, through the index it lives in.
  std::string AddressOf(const char* symbol) {
    CTBObjetAts object("", symbol, "", 0, -1);
    const int result = TBSearchRepere(base, &object);
    return result == 0 ? std::string(object.m_repere) : "<" + std::to_string(result) + ">";
  }
};

TEST_F(CheckRepair, ASoundBaseHasNoFindingAndNeedsNoRepair) {
  int result = -1;
  EXPECT_THAT(Check(&result), IsEmpty());
  EXPECT_EQ(result, 0);
  Close();
  EXPECT_THAT(Repair(&result), IsEmpty());
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(std::ifstream(dir.file("KR9S.MDX.bak")).good());
  Reopen();
}

TEST_F(CheckRepair, AMissingIndexIsFoundAndBuiltAgain) {
  Close();
  ASSERT_EQ(std::remove(dir.file("KR9S.MDX").c_str()), 0);
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_THAT(HostErrorReports(), Contains(ReportIs(5, -10, "Tabiserr")));
  HostClearRecords();
  int result = -1;
  EXPECT_THAT(Check(&result), ElementsAre("1 KR9S.MDX: is missing or cannot be opened"));
  EXPECT_EQ(result, TB_CHECK_REPAIRABLE);
  // The repair needs the base to itself.
  EXPECT_THAT(Repair(&result), IsEmpty());
  EXPECT_EQ(result, 104);
  Close();
  HostClearRecords();
  const std::vector<std::string> actions = Repair(&result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(actions.size(), 4u);
  EXPECT_THAT(actions, Contains(HasSubstr("4 KR9S.MDX: rebuilt from")));
  Reopen();
  EXPECT_EQ(AddressOf("Pump_2"), "%MW11");
  EXPECT_EQ(AddressOf("Word_77"), "%MW77");
}

TEST_F(CheckRepair, AnIndexKeyChangedOnDiskIsFoundAndMended) {
  Close();
  std::string bytes = Bytes("KR9S.MDX");
  const std::size_t at = bytes.find("Word_77");
  ASSERT_NE(at, std::string::npos);
  bytes[at + 5] = '8';  // the entry of Word_77 now reads Word_87
  Write("KR9S.MDX", bytes);
  Reopen();
  int result = -1;
  const std::vector<std::string> found = Check(&result);
  EXPECT_EQ(result, TB_CHECK_REPAIRABLE);
  ASSERT_FALSE(found.empty());
  for (const std::string& finding : found) EXPECT_THAT(finding, HasSubstr("1 KR9S.MDX: "));
  Close();
  EXPECT_EQ(Repair(&result).size(), 4u);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Bytes("KR9S.MDX.bak"), bytes);  // the file it replaced, kept
  Reopen();
  EXPECT_EQ(AddressOf("Word_77"), "%MW77");
  EXPECT_EQ(AddressOf("Word_87"), "%MW87");
  EXPECT_THAT(Check(&result), IsEmpty());
}

TEST_F(CheckRepair, AHeaderClaimingMoreRowsIsCorrected) {
  Close();
  std::string bytes = Bytes("KR9.DBF");
  bytes[4] = static_cast<char>(static_cast<unsigned char>(bytes[4]) + 5);
  Write("KR9.DBF", bytes);
  int result = -1;
  EXPECT_THAT(Check(&result), ElementsAre(HasSubstr("2 KR9.DBF: the header counts 108")));
  EXPECT_EQ(result, TB_CHECK_REPAIRABLE);
  const std::vector<std::string> actions = Repair(&result);
  EXPECT_EQ(result, 0);
  EXPECT_THAT(actions, Contains("4 KR9.DBF: header corrected: record count and end-of-file mark"));
  EXPECT_EQ(static_cast<unsigned char>(Bytes("KR9.DBF")[4]), 103u);
  Reopen();
}

TEST_F(CheckRepair, RowsBreakingTheBaseRulesNeedAPerson) {
  // Written past the library: a symbol carried twice, a key that is not the
  // address's, a comment row of no address, a row marked commented whose
  // comment row is gone, and another writing of an address under its key.
  AppendRawObject(base, Key("MW", "00200"), "%MW200", "Pump_1");
  AppendRawObject(base, Key("MW", "00999"), "%MW201", "Odd_key");
  ASSERT_EQ(base->AppendComment("lost", "MW", "00300", "", "", ""), 0);
  AppendRawObject(base, Key("MW", "00400"), "%MW400", "", "gone soon");
  ASSERT_EQ(base->DeleteComment(Key("MW", "00400").c_str()), 0);
  ASSERT_EQ(xbase::TableUnlock(base->m_commentTable), 0);
  AppendRawObject(base, Key("MW", "00010"), "%MW010", "Odd_ten");
  int result = -1;
  const std::vector<std::string> found = Check(&result);
  EXPECT_EQ(result, TB_CHECK_DAMAGED);
  EXPECT_THAT(found, Contains(HasSubstr("3 KR9.DBF: the symbol Pump_1 is carried by record 1")));
  EXPECT_THAT(found, Contains("3 KR9.DBF: record 105 (%MW201) has the key '" + Key("MW", "00999") +
                              "' but its address gives '" + Key("MW", "00201") + "'"));
  EXPECT_THAT(found, Contains(HasSubstr("3 KR9CMT.DBF: comment record 3 (key 'MW   00300")));
  EXPECT_THAT(found, Contains(HasSubstr("3 KR9.DBF: record 106 is marked commented")));
  EXPECT_THAT(found, Contains("3 KR9.DBF: the key '" + Key("MW", "00010") +
                              "' is in record 1 and record 107"));
  EXPECT_EQ(found.size(), 5u);
  Close();
  const std::vector<std::string> left = Repair(&result);
  EXPECT_EQ(result, TB_CHECK_DAMAGED);
  // All four index files rebuilt, the five row faults left.
  EXPECT_EQ(left.size(), 9u);
  Reopen();
}

}  // namespace
