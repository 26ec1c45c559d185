// The rows of one object kind in symbol order, 50 per call.

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

class SymbolList : public testing_support::SymbolBaseTest {
 protected:
  void CreateWords() {
    Create("%MW1", "Zeta");
    Create("%MW2", "Alpha", "first letter");
    Create("%MW3", "Mid");
    Create("%MW4");
    Create("%MW5:X1", "Bit", "a bit");
    Create("%MW5:X2");
    Create("%MD1", "Double");
  }

  int List(const char* prefix, int mode, int first, int withSymbol, EntryList* list, int* finished,
           int module = 0) {
    return TBListSymbolByTypeObject(base, prefix, mode, first, withSymbol, list->get(), finished,
                                    module);
  }
};

TEST_F(SymbolList, AscendingSymbolsOfOneKind) {
  CreateWords();
  EntryList list;
  int finished = -1;
  EXPECT_EQ(List("%MW", 0, 1, 1, &list, &finished), 0);
  EXPECT_EQ(finished, 1);
  EXPECT_THAT(list.Full(),
              ElementsAre("%MW2|Alpha|first letter|2|-1", "%MW3|Mid||3|-1", "%MW1|Zeta||1|-1"));
  EXPECT_EQ(base->m_relation, nullptr);
  EXPECT_EQ(xbase::TableSeek(base->m_mainTable, "MW"), xbase::kErrTag);  // record order
}

TEST_F(SymbolList, WithoutSymbolAndSubObjectModes) {
  CreateWords();
  EntryList list;
  int finished = -1;
  EXPECT_EQ(List("%MW", 0, 1, 0, &list, &finished), 0);
  EXPECT_THAT(list.Full(), ElementsAre("%MW4|||4|-1"));
  list.Clear();
  EXPECT_EQ(List("%MW", 1, 1, 1, &list, &finished), 0);
  EXPECT_THAT(list.Full(), ElementsAre("%MW5:X1|Bit|a bit|5|1"));
  list.Clear();
  EXPECT_EQ(List("%MW", 1, 1, 0, &list, &finished), 0);
  EXPECT_THAT(list.Full(), ElementsAre("%MW5:X2|||5|2"));
  list.Clear();
  // Mode 2: words and bits together; the flag is the bit number (-1 blank).
  EXPECT_EQ(List("%MW", 2, 1, 1, &list, &finished), 0);
  EXPECT_THAT(list.Full(), ElementsAre("%MW2|Alpha|first letter|2|-1", "%MW5:X1|Bit|a bit|5|1",
                                       "%MW3|Mid||3|-1", "%MW1|Zeta||1|-1"));
  EXPECT_EQ(finished, 1);
}

TEST_F(SymbolList, InputsAndOutputsOfOneModule) {
  Create("%I3.1", "Door");
  Create("%QW3.0:X2", "Lamp");
  Create("%IW3.MOD:X1", "Status");
  Create("%I4.1", "Other");
  EntryList list;
  int finished = -1;
  EXPECT_EQ(List("%ES", 0, 1, 1, &list, &finished, 3), 0);
  EXPECT_THAT(list.Addresses(), ElementsAre("%I3.1", "%QW3.0:X2", "%IW3.MOD:X1"));
}

TEST_F(SymbolList, BatchesOfFifty) {
  for (int i = 0; i < 51; ++i) {
    Create(("%MW" + std::to_string(i)).c_str(), ("S" + std::to_string(999 - i)).c_str());
  }
  EntryList list;
  int finished = -1;
  EXPECT_EQ(List("%MW", 0, 1, 1, &list, &finished), 0);
  EXPECT_EQ(finished, 0);
  ASSERT_EQ(list.size(), 50);
  EXPECT_EQ(list.Addresses().front(), "%MW50");  // S949 sorts first
  list.Clear();
  EXPECT_EQ(List("%MW", 0, 0, 1, &list, &finished), 0);
  EXPECT_EQ(finished, 1);
  EXPECT_THAT(list.Addresses(), ElementsAre("%MW0"));
  EXPECT_EQ(base->m_relation, nullptr);
  // No listing in progress any more: finished at once.
  list.Clear();
  finished = 0;
  EXPECT_EQ(List("%MW", 0, 0, 1, &list, &finished), 0);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(list.size(), 0);
}

TEST_F(SymbolList, ExactlyFiftyFinishInOneCall) {
  for (int i = 0; i < 50; ++i) Create(("%MW" + std::to_string(i)).c_str(), "");
  EntryList list;
  int finished = -1;
  EXPECT_EQ(List("%MW", 0, 1, 0, &list, &finished), 0);
  EXPECT_EQ(list.size(), 50);
  EXPECT_EQ(finished, 1);
}

TEST_F(SymbolList, CountingEndsTheListing) {
  for (int i = 0; i < 60; ++i) Create(("%MW" + std::to_string(i)).c_str());
  EntryList list;
  int finished = -1;
  EXPECT_EQ(List("%MW", 0, 1, 0, &list, &finished), 0);
  EXPECT_EQ(finished, 0);
  long count = 0;
  EXPECT_EQ(TBNumberObjectByType(base, "%MW", 0, &count), 0);
  EXPECT_EQ(count, 60);
  list.Clear();
  EXPECT_EQ(List("%MW", 0, 0, 0, &list, &finished), 0);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(list.size(), 0);
  // A new first call starts over, also while a listing is unfinished.
  EXPECT_EQ(List("%MW", 0, 1, 0, &list, &finished), 0);
  EXPECT_EQ(List("%MW", 0, 1, 0, &list, &finished), 0);
  EXPECT_EQ(list.size(), 100);
  EXPECT_EQ(finished, 0);
}

TEST_F(SymbolList, CommentedRowWithoutCommentRow) {
  Create("%MW1", "A", "kept");
  Create("%MW2", "B", "lost");
  Create("%MW3", "C");
  // The comment row goes, ISCMT stays "O".
  ASSERT_EQ(base->DeleteComment(("MW   00002" + std::string(12, ' ')).c_str()), 0);
  EntryList list;
  int finished = -1;
  const int result = List("%MW", 0, 1, 1, &list, &finished);
  EXPECT_TRUE(result == 102 || result == 103) << result;
  EXPECT_EQ(finished, 0);
  EXPECT_THAT(list.Full(), ElementsAre("%MW1|A|kept|1|-1"));
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

TEST_F(SymbolList, LockedBase) {
  CreateWords();
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  EntryList list;
  int finished = 5;
  EXPECT_EQ(List("%MW", 0, 1, 1, &list, &finished), 0);
  EXPECT_EQ(finished, 5);
  EXPECT_EQ(list.size(), 0);
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
}

// Symbol order against python-dbf's reading of the table: every live %MW
// row with a symbol, sorted by its stored SYMBOLE, ties in key order.
TEST_F(SymbolList, SameOrderAsSortingTheReadersRows) {
  if (!testing_support::XBaseReadersAvailable()) GTEST_SKIP() << "xBase readers missing";
  const char* stems[] = {"pump", "Pump", "valve", "Alarm", "zone", "_tmp", "Zone", "b2"};
  for (int i = 0; i < 140; ++i) {
    const std::string address = "%MW" + std::to_string(i * 7 % 131) + (i >= 131 ? ":X3" : "");
    const std::string symbol = i % 9 == 0 ? "" : stems[i % 8] + std::to_string(i);
    Create(address.c_str(), symbol.c_str(), i % 5 == 0 ? "note" : "");
  }
  Create("%MD3", "Alpha");
  CTBObjetAts gone("%MW14", "", "", 0, -1);
  ASSERT_EQ(TBDelObject(base, &gone), 0);

  std::vector<lists_test::ReaderRow> rows = lists_test::LiveRowsAsRead(dir.slash());
  std::vector<lists_test::ReaderRow> expected;
  for (const lists_test::ReaderRow& row : rows) {
    if (row.key.compare(0, 2, "MW") == 0 && !row.symbole.empty()) expected.push_back(row);
  }
  std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
    return a.symbole != b.symbole ? a.symbole < b.symbole : a.key < b.key;
  });
  std::vector<std::string> expected_entries;
  for (const lists_test::ReaderRow& row : expected) {
    expected_entries.push_back(row.repere + "|" + row.symbole + "|" + row.comment);
  }

  std::vector<std::string> listed;
  int finished = 0;
  int calls = 0;
  for (int first = 1; finished == 0 && calls < 10; first = 0, ++calls) {
    EntryList list;
    ASSERT_EQ(List("%MW", 2, first, 1, &list, &finished), 0);
    for (const std::string& entry : list.Full()) {
      listed.push_back(entry.substr(0, entry.rfind('|', entry.rfind('|') - 1)));
    }
  }
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(listed.size(), 123u);  // 124 symbols, one row deleted
  EXPECT_EQ(calls, 3);             // 50, 50, 23
  EXPECT_EQ(listed, expected_entries);
}

}  // namespace
