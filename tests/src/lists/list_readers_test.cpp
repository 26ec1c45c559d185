// The listings against the table files as python's dbfread reads them: the
// same rows, symbols and comments, in key order for the whole base, in
// record order for one object kind, in symbol order (ties in key order).

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "src/lists/lists_test.h"
#include "support/xbase_readers.h"

namespace {

using Texts = std::vector<std::string>;

// Prints each expected listing's entries "address|symbol|comment" in UTF-8,
// each line led by the listing's name.
const char* const kReader = R"(
import sys, dbfread
fields = (('OBJET', 5), ('IND1', 5), ('IND2', 5), ('IND3', 5), ('IND4', 2))
key = lambda r: ''.join((r[f] or '').ljust(width) for f, width in fields)
comments = {}
for r in dbfread.DBF(sys.argv[1] + 'KR9CMT.DBF'):
    comments.setdefault(key(r), (r['CMT1'] or '').rstrip() + (r['CMT2'] or '').rstrip())
rows = list(dbfread.DBF(sys.argv[1] + 'KR9.DBF'))
words = [r for r in rows if key(r).startswith('MW')]
named = [r for r in words if r['SYMBOLE']]
named.sort(key=lambda r: (r['SYMBOLE'].encode('cp1252'), key(r)))
for name, part in (('base', sorted(rows, key=key)), ('words', words), ('named', named)):
    for r in part:
        comment = comments[key(r)] if r['ISCMT'] == 'O' else ''
        line = '%s %s|%s|%s\n' % (name, r['REPERE'], r['SYMBOLE'] or '', comment)
        sys.stdout.buffer.write(line.encode('utf-8'))
)";

// A listing's entries without type and flag, Windows-1252 letters in UTF-8.
Texts Utf8(const Texts& listed) {
  Texts out;
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
  Texts Export(const char* prefix) {
    long counter = 1;
    return Utf8(Drain([&](int* f) { return TBExportSymbol(base, prefix, 0, &counter, &list, f); }));
  }
  std::size_t Count(const char* prefix) {
    long count = -1;
    EXPECT_EQ(TBNumberObjectByType(base, prefix, 0, &count), 0);
    return static_cast<std::size_t>(count);
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

  std::map<std::string, Texts> read;
  for (const std::string& line : testing_support::CommandLines("/usr/bin/python3 - " + dir.slash() +
                                                               " <<'END'\n" + kReader + "END\n")) {
    read[line.substr(0, line.find(' '))].push_back(line.substr(line.find(' ') + 1));
  }
  ASSERT_GT(read["base"].size(), 200u);
  EXPECT_EQ(Export(""), read["base"]);
  EXPECT_EQ(Count(""), read["base"].size());
  EXPECT_EQ(Export("%MW"), read["words"]);
  EXPECT_EQ(Count("%MW"), read["words"].size());
  std::vector<int> batches;
  EXPECT_EQ(Utf8(Drain(
                [&, first = 1](int* f) mutable {
                  const int r = TBListSymbolByTypeObject(base, "%MW", 2, first, 1, &list, f, 0);
                  first = 0;
                  return r;
                },
                &batches)),
            read["named"]);
  EXPECT_GT(batches.size(), 2u);
}

}  // namespace
