#ifndef SYMBASE_TESTS_SRC_LISTS_LISTS_TEST_H
#define SYMBASE_TESTS_SRC_LISTS_LISTS_TEST_H

// What the listing tests share: a fresh base with a caller's list, the
// listings' entries as texts, batch listings called to their end, and the
// rows of the base as python-dbf reads them.

#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/symbol_base.h"
#include "support/xbase_readers.h"

namespace lists_test {

// Takes the entries out of a caller's list (they are the caller's to
// delete): each as "address|symbol|comment|type|flag", or the address alone.
inline std::vector<std::string> Take(CObList& list, bool whole = true) {
  std::vector<std::string> out;
  while (!list.IsEmpty()) {
    std::unique_ptr<CTBObjetAts> e(static_cast<CTBObjetAts*>(list.RemoveHead()));
    std::string text(e->m_repere);
    if (whole) {
      text += "|" + std::string(e->m_symbole) + "|" + std::string(e->m_commentaire) + "|" +
              std::to_string(e->m_type) + "|" + std::to_string(e->m_flag);
    }
    out.push_back(text);
  }
  return out;
}

inline std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, separator);) parts.push_back(part);
  return parts;
}

class ListsTest : public testing_support::SymbolBaseTest {
 protected:
  void TearDown() override {
    Take(list);
    SymbolBaseTest::TearDown();
  }

  // The entries one call put in `list`; the call's result must be 0.
  std::vector<std::string> Entries(int result, bool whole = true) {
    EXPECT_EQ(result, 0);
    return Take(list, whole);
  }

  // Calls a batch listing (its position kept by the caller's lambda) until
  // it says it finished; every entry in order, each call's count in batches.
  std::vector<std::string> Drain(const std::function<int(int* finished)>& call,
                                 std::vector<int>* batches = nullptr, bool whole = true) {
    std::vector<std::string> all;
    for (int calls = 0; calls < 10; ++calls) {
      int finished = -1;
      EXPECT_EQ(call(&finished), 0);
      const std::vector<std::string> batch = Take(list, whole);
      all.insert(all.end(), batch.begin(), batch.end());
      if (batches != nullptr) batches->push_back(static_cast<int>(batch.size()));
      if (finished == 1) return all;
      EXPECT_EQ(finished, 0);
    }
    ADD_FAILURE() << "not finished after 10 calls";
    return all;
  }

  // %MW<first> .. %MW<last - 1>, their symbols in the same order: S00000 ...
  void CreateWords(int first, int last) {
    for (int i = first; i < last; ++i) {
      const std::string n = std::to_string(i);
      Create(("%MW" + n).c_str(), ("S" + std::string(5 - n.size(), '0') + n).c_str());
    }
  }
  void Delete(const std::string& repere) {
    CTBObjetAts gone(repere.c_str(), "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &gone), 0) << repere;
  }

  CObList list;
};

// One live main row as python-dbf reads it: its 22-character key, its texts
// in UTF-8 without trailing blanks, its comment when ISCMT is "O".
struct ReaderRow {
  std::string key, repere, symbole, comment;
};

// The five key fields from `first` on, padded to their widths and joined.
inline std::string KeyOf(const std::vector<std::string>& fields, std::size_t first) {
  std::string key;
  const std::size_t widths[] = {5, 5, 5, 5, 2};
  for (std::size_t i = 0; i < 5; ++i) {
    std::string field = fields[first + i];
    field.resize(widths[i], ' ');
    key += field;
  }
  return key;
}

// Live main rows in record order.
inline std::vector<ReaderRow> LiveRowsAsRead(const std::string& directory) {
  std::map<std::string, std::string> comments;
  for (const std::string& line : testing_support::ReaderRows("dbf", directory + "KR9CMT.DBF")) {
    std::vector<std::string> f = Split(line, '|');
    f.resize(8);
    if (f[0] == "L") comments[KeyOf(f, 1)] = f[6] + f[7];
  }
  std::vector<ReaderRow> rows;
  for (const std::string& line : testing_support::ReaderRows("dbf", directory + "KR9.DBF")) {
    std::vector<std::string> f = Split(line, '|');
    f.resize(9);
    if (f[0] != "L") continue;
    const std::string key = KeyOf(f, 1);
    rows.push_back({key, f[6], f[7], f[8] == "O" ? comments.at(key) : ""});
  }
  return rows;
}

// Windows-1252 text in UTF-8, for bytes above 0x7F that are Latin-1 letters.
inline std::string Utf8(const std::string& text) {
  std::string converted;
  for (unsigned char c : text) {
    if (c < 0x80) {
      converted += static_cast<char>(c);
    } else {
      converted += static_cast<char>(0xC0 | (c >> 6));
      converted += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return converted;
}

}  // namespace lists_test

#endif
