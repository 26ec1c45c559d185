#ifndef SYMBASE_TESTS_SRC_LISTS_READER_ROWS_H
#define SYMBASE_TESTS_SRC_LISTS_READER_ROWS_H

// The live rows of a base as python-dbf reads its two tables, for checking
// listings against a reader that is not ours.

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/xbase_readers.h"

namespace lists_test {

// One live main row: its 22-character key, its texts without trailing
// blanks, and its comment (CMT1 and CMT2 joined) when ISCMT is "O".
struct ReaderRow {
  std::string key;
  std::string repere;
  std::string symbole;
  std::string comment;
};

inline std::vector<std::string> SplitFields(const std::string& line, std::size_t count) {
  std::vector<std::string> parts;
  std::stringstream stream(line);
  std::string part;
  while (std::getline(stream, part, '|')) parts.push_back(part);
  parts.resize(count);  // trailing empty fields
  return parts;
}

// The five key fields (from `first` on) padded to their widths and joined.
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

// Live main rows in record order, texts in UTF-8 as the reader writes them.
inline std::vector<ReaderRow> LiveRowsAsRead(const std::string& directory) {
  std::map<std::string, std::string> comments;
  for (const std::string& line : testing_support::ReaderRows("dbf", directory + "KR9CMT.DBF")) {
    const std::vector<std::string> f = SplitFields(line, 8);
    if (f[0] == "L") comments[KeyOf(f, 1)] = f[6] + f[7];
  }
  std::vector<ReaderRow> rows;
  for (const std::string& line : testing_support::ReaderRows("dbf", directory + "KR9.DBF")) {
    const std::vector<std::string> f = SplitFields(line, 9);
    if (f[0] != "L") continue;
    const std::string key = KeyOf(f, 1);
    rows.push_back({key, f[6], f[7], f[8] == "O" ? comments.at(key) : ""});
  }
  return rows;
}

// Windows-1252 text in UTF-8, for texts whose bytes above 0x7F are Latin-1
// letters (where both code pages agree).
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
