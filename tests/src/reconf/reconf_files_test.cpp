// What a module move, a deletion by type and the step-attribute deletion
// leave in the files, read by independent xBase readers once the base is
// closed.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "reconf_fixture.h"
#include "support/xbase_readers.h"

namespace {

using testing::ElementsAre;
using testing_support::Key;

class ReconfFiles : public testing_support::ReconfTest {
 protected:
  void SetUp() override {
    ReconfTest::SetUp();
    if (!testing_support::XBaseReadersAvailable()) {
      GTEST_SKIP() << "python3-dbfread, python3-dbf or libdbd-xbase-perl is not installed";
    }
    for (const char* repere : {"%I1.2", "%IW1.0:X4", "%I11.2", "%MW5", "%MW10"}) {
      Commented(repere);
    }
    Create("%MW10:X3");
    Commented("%X1.TMAX");
    Commented("%X1.T");
    UsAts one = Analysed("%I1.0");
    UsAts three = Analysed("%I3.0");
    ASSERT_EQ(TBReconfMoveModule(base, &one, &three), 0);
    ASSERT_EQ(TBReconfByType(base, 342, 10), 0);
    ASSERT_EQ(TBDelObjetDiagG7(base), 0);
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  }

  void TearDown() override {
    // The base was closed for the readers: reopen it for the final checks.
    if (testing_support::XBaseReadersAvailable()) {
      EXPECT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
    }
    ReconfTest::TearDown();
  }

  // dbf's record order, and dbfread's: live rows first.
  static void ExpectRows(const std::string& path, std::vector<std::string> rows) {
    EXPECT_EQ(testing_support::ReaderRows("dbf", path), rows);
    std::stable_partition(rows.begin(), rows.end(),
                          [](const std::string& row) { return row[0] == 'L'; });
    EXPECT_EQ(testing_support::ReaderRows("dbfread", path), rows);
  }

  static std::string Entry(const std::string& key, int record) {
    return key + "|" + std::to_string(record);
  }
};

TEST_F(ReconfFiles, TablesReadByBothPythonReaders) {
  ExpectRows(dir.file("KR9.DBF"), {
                                      "L|VIX|00003|00002|00000||%I3.2||O",
                                      "L|VIWX|00003|00000|00000|04|%IW3.0:X4||O",
                                      "L|VIX|0000B|00002|00000||%I11.2||O",
                                      "L|MW|00005||||%MW5||O",
                                      "D|MW|00010||||%MW10||O",
                                      "D|MWX|00010|00003|||%MW10:X3||",
                                      "D|XX|00001|00002|||%X1.TMAX||O",
                                      "L|XX|00001|00000|||%X1.T||O",
                                  });
  ExpectRows(dir.file("KR9CMT.DBF"), {
                                         "L|VIX|00003|00002|00000||c %I1.2|",
                                         "L|VIWX|00003|00000|00000|04|c %IW1.0:X4|",
                                         "L|VIX|0000B|00002|00000||c %I11.2|",
                                         "L|MW|00005||||c %MW5|",
                                         "D|MW|00010||||c %MW10|",
                                         "D|XX|00001|00002|||c %X1.TMAX|",
                                         "L|XX|00001|00000|||c %X1.T|",
                                     });
}

TEST_F(ReconfFiles, IndexFilesReadByXBaseIndex) {
  EXPECT_THAT(testing_support::ReaderIndexEntries(dir.file("KR9CLER.MDX")),
              ElementsAre("TAG REPCLE_TAG", Entry(Key("MW", "00005"), 4),
                          Entry(Key("VIWX", "00003", "00000", "00000", "04"), 2),
                          Entry(Key("VIX", "00003", "00002", "00000"), 1),
                          Entry(Key("VIX", "0000B", "00002", "00000"), 3),
                          Entry(Key("XX", "00001", "00000"), 8)));
  auto repere = [](std::string text) {
    text.resize(36, ' ');
    return text;
  };
  EXPECT_THAT(testing_support::ReaderIndexEntries(dir.file("KR9R.MDX")),
              ElementsAre("TAG REPERE_TAG", Entry(repere("%I11.2"), 3), Entry(repere("%I3.2"), 1),
                          Entry(repere("%IW3.0:X4"), 2), Entry(repere("%MW5"), 4),
                          Entry(repere("%X1.T"), 8)));
  EXPECT_THAT(testing_support::ReaderIndexEntries(dir.file("KR9CMTR.MDX")),
              ElementsAre("TAG REPCMT_TAG", Entry(Key("MW", "00005"), 4),
                          Entry(Key("VIWX", "00003", "00000", "00000", "04"), 2),
                          Entry(Key("VIX", "00003", "00002", "00000"), 1),
                          Entry(Key("VIX", "0000B", "00002", "00000"), 3),
                          Entry(Key("XX", "00001", "00000"), 7)));
}

}  // namespace
