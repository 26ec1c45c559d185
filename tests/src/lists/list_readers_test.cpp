// The listings against the table files as python-dbf reads them: the same
// rows, symbols and comments, in key order for the whole base, in record
// order for one object kind, in symbol order (ties in key order).

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "src/lists/lists_test.h"
#include "support/xbase_readers.h"

namespace {

// One live main row as python-dbf reads it: its 22-character key and its
// entry "address|symbol|comment" in UTF-8.
struct ReaderRow {
  std::string key, symbole, entry;
};

// The fields of a reader's line.
std::vector<std::string> Fields(const std::string& line, std::size_t count) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  for (std::string field; std::getline(stream, field, '|');) fields.push_back(field);
  fields.resize(count);
  return fields;
}

// The five key fields from `first` on, padded to their widths and joined.
std::string KeyOf(std::vector<std::string> fields, std::size_t first) {
  std::string key;
  for (std::size_t i = 0; i < 5; ++i) {
    fields[first + i].resize(i < 4 ? 5 : 2, ' ');
    key += fields[first + i];
  }
  return key;
}

// Live main rows in record order, each with its comment when ISCMT is "O".
std::vector<ReaderRow> LiveRowsAsRead(const std::string& directory) {
  std::map<std::string, std::string> comments;
  for (const std::string& line : testing_support::ReaderRows("dbf", directory + "KR9CMT.DBF")) {
    const std::vector<std::string> f = Fields(line, 8);
    if (f[0] == "L") comments[KeyOf(f, 1)] = f[6] + f[7];
  }
  std::vector<ReaderRow> rows;
  for (const std::string& line : testing_support::ReaderRows("dbf", directory + "KR9.DBF")) {
    const std::vector<std::string> f = Fields(line, 9);
    const std::string key = KeyOf(f, 1);
    if (f[0] != "L") continue;
    rows.push_back({key, f[7], f[6] + "|" + f[7] + "|" + (f[8] == "O" ? comments.at(key) : "")});
  }
  return rows;
}

std::vector<std::string> EntriesOf(const std::vector<ReaderRow>& rows) {
  std::vector<std::string> entries;
  for (const ReaderRow& row : rows) entries.push_back(row.entry);
  return entries;
}

// A listing's entries without type and flag, Windows-1252 letters in UTF-8.
std::vector<std::string> Utf8(const std::vector<std::string>& listed) {
  std::vector<std::string> out;
  for (const std::string& e : listed) {
    std::string converted;
    for (unsigned char c : e.substr(0, e.rfind('|', e.rfind('|') - 1))) {
      if (c >= 0x80) converted += static_cast<char>(0xC0 | (c >> 6));
      converted += static_cast<char>(c < 0x80 ? c : 0x80 | (c & 0x3F));
    }
    out.push_back(converted);
  }
  return out;
}

class ListsAgainstReader : public lists_test::ListsTest {
 protected:
  void SetUp() override {
    ListsTest::SetUp();
    if (!testing_support::XBaseReadersAvailable()) GTEST_SKIP() << "xBase readers missing";
  }
  std::vector<std::string> Export(const char* prefix) {
    long counter = 1;
    return Utf8(Drain([&](int* f) { return TBExportSymbol(base, prefix, 0, &counter, &list, f); }));
  }
  long Count(const char* prefix) {
    long count = -1;
    EXPECT_EQ(TBNumberObjectByType(base, prefix, 0, &count), 0);
    return count;
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

  std::vector<ReaderRow> rows = LiveRowsAsRead(dir.slash());
  ASSERT_GT(rows.size(), 200u);
  std::vector<ReaderRow> words, named;
  for (const ReaderRow& row : rows) {
    if (row.key.compare(0, 2, "MW") == 0) words.push_back(row);
    if (row.key.compare(0, 2, "MW") == 0 && !row.symbole.empty()) named.push_back(row);
  }
  EXPECT_EQ(Export("%MW"), EntriesOf(words));
  EXPECT_EQ(Count("%MW"), static_cast<long>(words.size()));

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
            EntriesOf(named));
  EXPECT_GT(batches.size(), 2u);

  std::stable_sort(rows.begin(), rows.end(),
                   [](const ReaderRow& a, const ReaderRow& b) { return a.key < b.key; });
  EXPECT_EQ(Export(""), EntriesOf(rows));
  EXPECT_EQ(Count(""), static_cast<long>(rows.size()));
}

}  // namespace
