// Converting a level 1 base (module numbers in decimal) into a level 2 base
// (module numbers in base 32). The level 1 rows are written straight into
// the tables, as an older library left them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/raw_rows.h"
#include "support/symbol_base.h"
#include "support/xbase_readers.h"

namespace {

using testing::ElementsAre;
using testing_support::AppendRawObject;
using testing_support::Key;
using testing_support::LiveCommentKeys;

class LevelConversion : public testing_support::SymbolBaseTest {
 protected:
  // A level 1 base: module rows with decimal IND1, a word, a module row
  // without module number, a module status word and a deleted module row.
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

  void Reopen() {
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
    ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  }
};

TEST_F(LevelConversion, ModuleNumbersBecomeBase32InBothTables) {
  WriteLevel1Base();
  Reopen();
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
