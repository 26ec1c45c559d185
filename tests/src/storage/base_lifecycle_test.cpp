// A base's life: create, open, delete, lock, unlock, and conversion from level 1.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "storage/tb_data.h"
#include "support/host_reports.h"
#include "support/raw_rows.h"
#include "support/symbol_base.h"
#include "support/temp_dir.h"
#include "support/xbase_readers.h"
#include "symbase/host.h"
#include "symbase/tabis.h"

namespace {

namespace fs = std::filesystem;

class BaseLifecycle : public testing_support::HostTest {
 protected:
  testing_support::TempDir dir;
  CTBData data;
};

TEST_F(BaseLifecycle, OpenWithoutMainTableReportsTheFailedOpening) {
  EXPECT_EQ(data.Open(dir.slash().c_str()), 0);
  const auto reports = HostErrorReports();
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports[0].operation, 4);
  EXPECT_LT(reports[0].code, 0);
  data.Close();
}

TEST_F(BaseLifecycle, DeleteRemovesWhatExistsAndReportsEachMissingFile) {
  std::ofstream(dir.file("KR9.DBF")).put('x');
  EXPECT_EQ(data.Delete(dir.slash().c_str()), 0);
  EXPECT_FALSE(fs::exists(dir.file("KR9.DBF")));
  std::vector<::testing::Matcher<const HostErrorReport&>> expected;
  for (const char* name : {"KR9CMT.DBF", "KR9CLER.MDX", "KR9R.MDX", "KR9S.MDX", "KR9CMTR.MDX"}) {
    expected.push_back(testing_support::ReportIs(24, 410, "Tabiserr", dir.slash() + name));
  }
  EXPECT_THAT(HostErrorReports(), ::testing::ElementsAreArray(expected));
}

TEST_F(BaseLifecycle, LockCompactsAndRefusesASecondLock) {
  ASSERT_EQ(data.Create(dir.slash().c_str(), 0), 0);
  for (const char* repere : {"%MW1", "%MW2", "%MW3"}) {
    CTBObjetAts object(repere, "", "", 0, -1);
    ASSERT_EQ(data.CreateObject(&object), 0);
  }
  CTBObjetAts gone("%MW2", "", "", 0, -1);
  ASSERT_EQ(data.DelObject(&gone), 0);
  EXPECT_EQ(xbase::TableRecordCount(data.m_mainTable), 3);
  EXPECT_EQ(data.Lock(), 0);
  EXPECT_EQ(data.Lock(), 100);
  EXPECT_EQ(data.Unlock(dir.slash().c_str()), 0);
  EXPECT_EQ(xbase::TableRecordCount(data.m_mainTable), 2);
  EXPECT_TRUE(HostErrorReports().empty());
  data.Close();
}

TEST_F(BaseLifecycle, LastModificationDateFollowsTheFirstWriteAfterCreateOrOpen) {
  ASSERT_EQ(data.Create(dir.slash().c_str(), 0), 0);
  long date = 12345;
  EXPECT_EQ(data.LastModificationDate(&date), -1);
  EXPECT_EQ(date, 0);
  const long before = static_cast<long>(std::time(nullptr));
  ASSERT_EQ(data.AppendComment("a comment", "MW   ", "00010", "", "", ""), 0);
  EXPECT_EQ(data.LastModificationDate(&date), 0);
  EXPECT_GE(date, before);
  EXPECT_LE(date, static_cast<long>(std::time(nullptr)));
  data.Close();
  ASSERT_EQ(data.Open(dir.slash().c_str()), 0);
  EXPECT_EQ(data.LastModificationDate(&date), -1);
  data.Close();
}

TEST_F(BaseLifecycle, DirectoryWithoutSeparatorPutsFilesInTheParent) {
  fs::create_directory(dir.file("proj"));
  ASSERT_EQ(data.Create(dir.file("proj").c_str(), 0), 0);
  data.Close();
  EXPECT_TRUE(fs::exists(dir.file("projKR9.DBF")));
  EXPECT_TRUE(fs::exists(dir.file("projKR9CMTR.MDX")));
  EXPECT_TRUE(fs::is_empty(dir.file("proj")));
}

TEST_F(BaseLifecycle, OverlongDirectoryIsRefusedWithOneReport) {
  EXPECT_EQ(data.Create((dir.slash() + std::string(80, 'd') + "/").c_str(), 0), 0);
  const auto reports = HostErrorReports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].operation, 2);
  EXPECT_TRUE(fs::is_empty(dir.path()));
  data.Close();
}

using testing::ElementsAre;
using testing_support::AppendRawObject;
using testing_support::Key;
using testing_support::LiveCommentKeys;

class LevelConversion : public testing_support::SymbolBaseTest {
 protected:
  // A level 1 base as an older library left it: module rows with decimal
  // IND1, a word, a module row without module number, a module status word
  // and a deleted module row.
  void WriteLevel1Base() {
    AppendRawObject(base, Key("VIW", "00012", "00001", "00000"), "%IW12.1", "In_12", "c 12");
    AppendRawObject(base, Key("VIWX", "00012", "00001", "00000", "03"), "%IW12.1:X3", "",
                    "c 12 bit");
    AppendRawObject(base, Key("VQX", "00032", "00002", "00000"), "%Q32.2");
    AppendRawObject(base, Key("VIX", "00000", "00001", "00000"), "%I0.1", "", "c 0");
    AppendRawObject(base, Key("MW", "00012"), "%MW12", "", "c mw");
    AppendRawObject(base, Key("VIW", ""), "%IW", "", "c blank");
    AppendRawObject(base, Key("MOIW", "00031", "00000", "00000"), "%IW31.MOD", "", "c mod");
    AppendRawObject(base, Key("VQX", "00012", "00005", "00000"), "%Q12.5");
    CTBObjetAts gone("%Q12.5", "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &gone), 0);
  }

  // The key of each main row in record order, deleted ones included.
  std::vector<std::string> MainKeys() {
    std::vector<std::string> keys;
    for (const testing_support::MainRow& row : MainRows()) keys.push_back(row.key);
    return keys;
  }
};

TEST_F(LevelConversion, ModuleNumbersBecomeBase32InBothTables) {
  WriteLevel1Base();
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(TBTransformerBaseSymbolL1ToL2(base, 0), 0);
  EXPECT_THAT(MainKeys(), ElementsAre(Key("VIW", "0000C", "00001", "00000"),
                                      Key("VIWX", "0000C", "00001", "00000", "03"),
                                      Key("VQX", "00010", "00002", "00000"),
                                      Key("VIX", "00000", "00001", "00000"), Key("MW", "00012"),
                                      Key("VIW", ""), Key("MOIW", "0000V", "00000", "00000"),
                                      Key("VQX", "00012", "00005", "00000")));
  EXPECT_THAT(LiveCommentKeys(base),
              ElementsAre(Key("VIW", "0000C", "00001", "00000"),
                          Key("VIWX", "0000C", "00001", "00000", "03"),
                          Key("VIX", "00000", "00001", "00000"), Key("MW", "00012"), Key("VIW", ""),
                          Key("MOIW", "0000V", "00000", "00000")));
  EXPECT_EQ(CommentOf(Key("VIW", "0000C", "00001", "00000")), "c 12");
  long date = 0;
  EXPECT_EQ(TBLastModificationDate(base, &date), -1);  // not modified
  // A second run reads base 32 as decimal.
  EXPECT_EQ(TBTransformerBaseSymbolL1ToL2(base, 0), 0);
  const std::vector<std::string> keys = MainKeys();
  EXPECT_EQ(keys[0], Key("VIW", "00000", "00001", "00000"));  // 0000C: no digit before C
  EXPECT_EQ(keys[2], Key("VQX", "0000A", "00002", "00000"));  // 00010 read as 10
  EXPECT_EQ(keys[6], Key("MOIW", "00000", "00000", "00000"));
  EXPECT_EQ(LiveCommentKeys(base)[0], Key("VIW", "00000", "00001", "00000"));
}

TEST_F(LevelConversion, ALockedBaseIsReportedAndStillGivesZero) {
  WriteLevel1Base();
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  EXPECT_EQ(TBTransformerBaseSymbolL1ToL2(base, 0), 0);
  EXPECT_FALSE(HostErrorReports().empty());
  HostClearErrorReports();
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(LiveRow("%IW12.1").key, Key("VIW", "00012", "00001", "00000"));  // not converted
}

TEST_F(LevelConversion, IndependentReadersSeeTheConvertedRowsAndKeys) {
  if (!testing_support::XBaseReadersAvailable()) GTEST_SKIP() << "xBase readers missing";
  AppendRawObject(base, Key("VIW", "00012", "00001", "00000"), "%IW12.1", "In_12", "c 12");
  AppendRawObject(base, Key("MW", "00012"), "%MW12", "", "c mw");
  AppendRawObject(base, Key("MOQW", "00040", "00000", "00000"), "%QW40.MOD");
  EXPECT_EQ(TBTransformerBaseSymbolL1ToL2(base, 0), 0);
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  for (const char* reader : {"dbf", "dbfread"}) {
    EXPECT_THAT(testing_support::ReaderRows(reader, dir.file("KR9.DBF")),
                ElementsAre("L|VIW|0000C|00001|00000||%IW12.1|In_12|O", "L|MW|00012||||%MW12||O",
                            "L|MOQW|00018|00000|00000||%QW40.MOD||"))
        << reader;
    EXPECT_THAT(testing_support::ReaderRows(reader, dir.file("KR9CMT.DBF")),
                ElementsAre("L|VIW|0000C|00001|00000||c 12|", "L|MW|00012||||c mw|"))
        << reader;
  }
  EXPECT_THAT(testing_support::ReaderIndexEntries(dir.file("KR9CLER.MDX")),
              ElementsAre("TAG REPCLE_TAG", Key("MOQW", "00018", "00000", "00000") + "|3",
                          Key("MW", "00012") + "|2", Key("VIW", "0000C", "00001", "00000") + "|1"));
  EXPECT_THAT(testing_support::ReaderIndexEntries(dir.file("KR9CMTR.MDX")),
              ElementsAre("TAG REPCMT_TAG", Key("MW", "00012") + "|2",
                          Key("VIW", "0000C", "00001", "00000") + "|1"));
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
}

}  // namespace
