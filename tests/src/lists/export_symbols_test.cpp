// Export of the whole base or of one object kind, 50 entries per call.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "src/lists/entry_list.h"
#include "src/lists/reader_rows.h"
#include "support/symbol_base.h"

namespace {

using lists_test::EntryList;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ExportSymbols : public testing_support::SymbolBaseTest {
 protected:
  // Exports until finished, starting with the counter at 1; each call's
  // entry count goes to *batches.
  std::vector<std::string> ExportAll(const char* prefix, int module,
                                     std::vector<int>* batches = nullptr) {
    std::vector<std::string> all;
    long counter = 1;
    for (int call = 0; call < 100; ++call) {
      EntryList list;
      int finished = -1;
      EXPECT_EQ(TBExportSymbol(base, prefix, module, &counter, list.get(), &finished), 0);
      EXPECT_EQ(counter, 2);
      for (const std::string& entry : list.Full()) all.push_back(entry);
      if (batches != nullptr) batches->push_back(list.size());
      if (finished == 1) return all;
      EXPECT_EQ(finished, 0);
    }
    ADD_FAILURE() << "export not finished";
    return all;
  }

  void Delete(const std::string& repere) {
    CTBObjetAts gone(repere.c_str(), "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &gone), 0) << repere;
  }
};

TEST_F(ExportSymbols, WholeBaseInKeyOrderWithComments) {
  Create("%MW9", "Nine", "last word");
  Create("%MD1", "Dbl");
  Create("%MW10:X2", "", "bit");
  Create("%I1.2", "In");
  Create("%MW3");
  Delete("%MD1");
  // Key order: MW before MWX before VIX; each entry type 0, flag -1.
  EXPECT_THAT(ExportAll("", 0), ElementsAre("%MW3|||0|-1", "%MW9|Nine|last word|0|-1",
                                            "%MW10:X2||bit|0|-1", "%I1.2|In||0|-1"));
}

TEST_F(ExportSymbols, FiftyLiveRowsFinishInTheFirstCall) {
  for (int i = 0; i < 52; ++i) Create(("%MW" + std::to_string(i)).c_str());
  Delete("%MW3");
  Delete("%MW40");
  std::vector<int> batches;
  EXPECT_EQ(ExportAll("", 0, &batches).size(), 50u);
  EXPECT_THAT(batches, ElementsAre(50));
}

TEST_F(ExportSymbols, BatchesResumeOnTheNextRow) {
  for (int i = 0; i < 120; ++i) {
    Create(("%MW" + std::to_string(i)).c_str(), ("S" + std::to_string(i)).c_str());
  }
  std::vector<int> batches;
  const std::vector<std::string> all = ExportAll("", 0, &batches);
  EXPECT_THAT(batches, ElementsAre(50, 50, 20));
  ASSERT_EQ(all.size(), 120u);
  EXPECT_EQ(all[50], "%MW50|S50||0|-1");
  EXPECT_EQ(all[119], "%MW119|S119||0|-1");
}

TEST_F(ExportSymbols, CounterAgainstTheRecordCount) {
  EntryList list;
  long counter = 1;
  int finished = -1;
  EXPECT_EQ(TBExportSymbol(base, "", 0, &counter, list.get(), &finished), 105);  // empty table
  Create("%MW1", "One", "only");
  EXPECT_EQ(TBExportSymbol(base, "", 0, &counter, list.get(), &finished), 0);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(counter, 2);
  EXPECT_THAT(list.Full(), ElementsAre("%MW1|One|only|0|-1"));
  // The counter now exceeds the one row.
  EXPECT_EQ(TBExportSymbol(base, "", 0, &counter, list.get(), &finished), 105);
  counter = 0;
  EXPECT_EQ(TBExportSymbol(base, "%MW", 0, &counter, list.get(), &finished), 105);
  counter = -1;
  EXPECT_EQ(TBExportSymbol(base, "%MW", 0, &counter, list.get(), &finished), 105);
  EXPECT_EQ(list.size(), 1);
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

TEST_F(ExportSymbols, WordsAndBitsTogetherInRecordOrder) {
  Create("%MW5:X1", "B1", "bit one");
  Create("%MD5");
  Create("%MW2");
  Create("%MW5", "W5");
  Create("%MW7:X0");
  Delete("%MW7:X0");
  EXPECT_THAT(ExportAll("%MW", 0),
              ElementsAre("%MW5:X1|B1|bit one|0|-1", "%MW2|||0|-1", "%MW5|W5||0|-1"));
  // %M only exists as bits: its sub-object form.
  Create("%M3", "Flag");
  Create("%MB2");
  EXPECT_THAT(ExportAll("%M", 0), ElementsAre("%M3|Flag||0|-1"));
}

TEST_F(ExportSymbols, InputsAndOutputsOfOneModule) {
  Create("%I12.1", "Door");
  Create("%MW12");
  Create("%QW12.0:X3");
  Create("%IW12.MOD:X2", "", "status");
  Create("%I1.1");
  Create("%I120.1");
  EXPECT_THAT(ExportAll("%ES", 12),
              ElementsAre("%I12.1|Door||0|-1", "%QW12.0:X3|||0|-1", "%IW12.MOD:X2||status|0|-1"));
  long count = -1;
  EXPECT_EQ(TBNumberObjectByType(base, "%ES", 12, &count), 0);
  EXPECT_EQ(count, 3);
}

TEST_F(ExportSymbols, FilteredBatches) {
  for (int i = 0; i < 60; ++i) Create(("%MW" + std::to_string(i)).c_str());
  for (int i = 0; i < 40; ++i) Create(("%MD" + std::to_string(i)).c_str());
  std::vector<int> batches;
  EXPECT_EQ(ExportAll("%MW", 0, &batches).size(), 60u);
  EXPECT_THAT(batches, ElementsAre(50, 10));
  EXPECT_EQ(base->m_relation, nullptr);
  batches.clear();
  for (int i = 60; i < 100; ++i) Create(("%MW" + std::to_string(i)).c_str());
  EXPECT_EQ(ExportAll("%MW", 0, &batches).size(), 100u);
  EXPECT_THAT(batches, ElementsAre(50, 50));  // exactly 100: the relation's end
}

// Comments follow the walk across batches; rows whose keys are equal
// (indexes cut to five digits) each get the first comment row of the key.
TEST_F(ExportSymbols, CommentsAcrossBatchesAndEqualKeys) {
  for (int i = 0; i < 120; ++i) {
    const std::string n = std::to_string(i);
    Create(("%MW" + n).c_str(), "", i % 3 == 0 ? "" : ("c" + n).c_str());
  }
  Create("%MW10000", "", "first");
  Create("%MW100000", "", "second");
  Create("%MW10001", "", "next");
  std::vector<int> batches;
  const std::vector<std::string> all = ExportAll("", 0, &batches);
  ASSERT_EQ(all.size(), 123u);
  for (int i = 0; i < 120; ++i) {
    const std::string n = std::to_string(i);
    EXPECT_EQ(all[static_cast<std::size_t>(i)],
              "%MW" + n + "||" + (i % 3 == 0 ? "" : "c" + n) + "|0|-1");
  }
  EXPECT_THAT(std::vector<std::string>(all.begin() + 120, all.end()),
              ElementsAre("%MW10000||first|0|-1", "%MW100000||first|0|-1", "%MW10001||next|0|-1"));
}

TEST_F(ExportSymbols, CommentedRowWithoutCommentRow) {
  Create("%MW1", "", "kept");
  Create("%MW2", "", "lost");
  ASSERT_EQ(base->DeleteComment(("MW   00002" + std::string(12, ' ')).c_str()), 0);
  for (const char* prefix : {"", "%MW"}) {
    EntryList list;
    long counter = 1;
    int finished = -1;
    const int result = TBExportSymbol(base, prefix, 0, &counter, list.get(), &finished);
    EXPECT_TRUE(result == 102 || result == 103) << result;
    EXPECT_EQ(finished, 0);
    EXPECT_THAT(list.Full(), ElementsAre("%MW1||kept|0|-1"));
  }
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

TEST_F(ExportSymbols, LockedBase) {
  Create("%MW1");
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  EntryList list;
  long counter = 1;
  int finished = 6;
  EXPECT_EQ(TBExportSymbol(base, "", 0, &counter, list.get(), &finished), 0);
  EXPECT_EQ(TBExportSymbol(base, "%MW", 0, &counter, list.get(), &finished), 0);
  EXPECT_EQ(counter, 1);
  EXPECT_EQ(finished, 6);
  EXPECT_EQ(list.size(), 0);
  EXPECT_THAT(HostErrorReports(), IsEmpty());
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
}

// The export against the table files as python-dbf reads them: the same
// rows, symbols and comments, in key order for the whole base and in record
// order for one object kind.
class ExportAgainstReader : public ExportSymbols {
 protected:
  static std::string EntryOf(const lists_test::ReaderRow& row) {
    return row.repere + "|" + row.symbole + "|" + row.comment + "|0|-1";
  }

  static std::vector<std::string> Utf8(const std::vector<std::string>& texts) {
    std::vector<std::string> out;
    for (const std::string& text : texts) out.push_back(lists_test::Utf8(text));
    return out;
  }
};

TEST_F(ExportAgainstReader, SameRowsAsPythonDbf) {
  if (!testing_support::XBaseReadersAvailable()) GTEST_SKIP() << "xBase readers missing";
  const char* kinds[] = {"%MW", "%MD", "%KW", "%I", "%QW"};
  for (int i = 0; i < 130; ++i) {
    std::string address = kinds[i % 5] + std::to_string(i);
    if (i % 5 == 3) address += "." + std::to_string(i);
    if (i % 5 == 4) address += ".0:X" + std::to_string(i % 16);
    if (i % 7 == 0 && i % 5 == 0) address += ":X" + std::to_string(i % 16);
    const std::string symbol = i % 3 == 0 ? "" : "Sym_" + std::to_string(i);
    const std::string comment = i % 4 == 0 ? "" : "comment \xE9t\xE9 " + std::to_string(i);
    CTBObjetAts object(address.c_str(), symbol.c_str(), "", 0, -1);
    object.m_commentaire = comment.c_str();
    ASSERT_EQ(TBCreateObject(base, &object), 0) << address;
  }
  for (const char* gone : {"%MW5", "%KW2", "%I23.23", "%MD21", "%MW70:X6"}) Delete(gone);

  std::vector<lists_test::ReaderRow> rows = lists_test::LiveRowsAsRead(dir.slash());
  ASSERT_GT(rows.size(), 100u);
  std::vector<std::string> by_record;
  for (const lists_test::ReaderRow& row : rows) {
    if (row.key.compare(0, 2, "MW") == 0) by_record.push_back(EntryOf(row));
  }
  EXPECT_EQ(Utf8(ExportAll("%MW", 0)), by_record);
  long count = -1;
  EXPECT_EQ(TBNumberObjectByType(base, "%MW", 0, &count), 0);
  EXPECT_EQ(count, static_cast<long>(by_record.size()));

  std::stable_sort(
      rows.begin(), rows.end(),
      [](const lists_test::ReaderRow& a, const lists_test::ReaderRow& b) { return a.key < b.key; });
  std::vector<std::string> by_key;
  for (const lists_test::ReaderRow& row : rows) by_key.push_back(EntryOf(row));
  EXPECT_EQ(Utf8(ExportAll("", 0)), by_key);
  EXPECT_EQ(TBNumberObjectByType(base, "", 0, &count), 0);
  EXPECT_EQ(count, static_cast<long>(rows.size()));
}

}  // namespace
