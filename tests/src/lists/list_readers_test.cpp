// The listings against the table files as python-dbf reads them: the same
// rows, symbols and comments, in key order for the whole base, in record
// order for one object kind, in symbol order (ties in key order).

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "src/lists/lists_test.h"

namespace {

using lists_test::ReaderRow;

class ListsAgainstReader : public lists_test::ListsTest {
 protected:
  void SetUp() override {
    ListsTest::SetUp();
    if (!testing_support::XBaseReadersAvailable()) GTEST_SKIP() << "xBase readers missing";
  }

  static std::vector<std::string> Entries(const std::vector<ReaderRow>& rows) {
    std::vector<std::string> entries;
    for (const ReaderRow& row : rows) {
      entries.push_back(row.repere + "|" + row.symbole + "|" + row.comment);
    }
    return entries;
  }

  // The listing's entries without type and flag, in UTF-8.
  static std::vector<std::string> Utf8(const std::vector<std::string>& listed) {
    std::vector<std::string> out;
    for (const std::string& e : listed) {
      out.push_back(lists_test::Utf8(e.substr(0, e.rfind('|', e.rfind('|') - 1))));
    }
    return out;
  }

  static std::vector<ReaderRow> OfKind(const std::vector<ReaderRow>& rows, bool withSymbol) {
    std::vector<ReaderRow> kind;
    for (const ReaderRow& row : rows) {
      if (row.key.compare(0, 2, "MW") == 0 && (!withSymbol || !row.symbole.empty())) {
        kind.push_back(row);
      }
    }
    return kind;
  }
};

TEST_F(ListsAgainstReader, ExportCountAndSymbolOrder) {
  const char* kinds[] = {"%MW", "%MD", "%KW", "%I", "%QW"};
  const char* stems[] = {"pump", "Pump", "valve", "Alarm", "zone", "_tmp", "Zone", "b2"};
  for (int i = 0; i < 130; ++i) {
    std::string address = kinds[i % 5] + std::to_string(i);
    if (i % 5 == 3) address += "." + std::to_string(i);
    if (i % 5 == 4) address += ".0:X" + std::to_string(i % 16);
    if (i % 7 == 0 && i % 5 == 0) address += ":X" + std::to_string(i % 16);
    const std::string symbol = i % 3 == 0 ? "" : "Sym_" + std::to_string(i);
    const std::string comment = i % 4 == 0 ? "" : "comment \xE9t\xE9 " + std::to_string(i);
    Create(address.c_str(), symbol.c_str(), comment.c_str());
  }
  for (int i = 0; i < 140; ++i) {
    const std::string address = "%MW" + std::to_string(200 + i * 7 % 131) + (i >= 131 ? ":X3" : "");
    const std::string symbol = i % 9 == 0 ? "" : stems[i % 8] + std::to_string(i);
    Create(address.c_str(), symbol.c_str(), i % 5 == 0 ? "note" : "");
  }
  for (const char* gone : {"%MW5", "%KW2", "%I23.23", "%MD21", "%MW70:X6", "%MW214"}) Delete(gone);

  std::vector<ReaderRow> rows = lists_test::LiveRowsAsRead(dir.slash());
  ASSERT_GT(rows.size(), 200u);
  const std::vector<ReaderRow> words = OfKind(rows, false);
  long counter = 1;
  EXPECT_EQ(Utf8(Drain([&](int* f) { return TBExportSymbol(base, "%MW", 0, &counter, &list, f); })),
            Entries(words));
  long count = -1;
  EXPECT_EQ(TBNumberObjectByType(base, "%MW", 0, &count), 0);
  EXPECT_EQ(count, static_cast<long>(words.size()));

  std::vector<ReaderRow> named = OfKind(rows, true);
  std::stable_sort(named.begin(), named.end(), [](const ReaderRow& a, const ReaderRow& b) {
    return a.symbole != b.symbole ? a.symbole < b.symbole : a.key < b.key;
  });
  std::vector<int> batches;
  EXPECT_EQ(Utf8(Drain(
                [&, first = 1](int* f) mutable {
                  const int r = TBListSymbolByTypeObject(base, "%MW", 2, first, 1, &list, f, 0);
                  first = 0;
                  return r;
                },
                &batches)),
            Entries(named));
  EXPECT_GT(batches.size(), 2u);

  std::stable_sort(rows.begin(), rows.end(),
                   [](const ReaderRow& a, const ReaderRow& b) { return a.key < b.key; });
  counter = 1;
  EXPECT_EQ(Utf8(Drain([&](int* f) { return TBExportSymbol(base, "", 0, &counter, &list, f); })),
            Entries(rows));
  EXPECT_EQ(TBNumberObjectByType(base, "", 0, &count), 0);
  EXPECT_EQ(count, static_cast<long>(rows.size()));
}

}  // namespace
