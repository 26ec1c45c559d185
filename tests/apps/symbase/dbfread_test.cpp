// A base the tool wrote, read by python's dbfread: an xBase reader no one here wrote.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "apps/symbase/cli_fixture.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::Contains;

// Each live row of both tables as "address|symbol|comment" in UTF-8, the
// comment joined from the comment table by the key fields, in the main
// table's record order; the code page is the one the table's header declares.
const char* const kReader = R"(
import sys, dbfread
base = sys.argv[1]
main = dbfread.DBF(base + '/KR9.DBF')
comments = {}
for row in dbfread.DBF(base + '/KR9CMT.DBF'):
    key = ''.join(row[f] or '' for f in ('OBJET', 'IND1', 'IND2', 'IND3', 'IND4'))
    comments[key] = (row['CMT1'] or '').rstrip() + (row['CMT2'] or '').rstrip()
print(main.encoding)
for row in main:
    key = ''.join(row[f] or '' for f in ('OBJET', 'IND1', 'IND2', 'IND3', 'IND4'))
    comment = comments.get(key, '') if row['ISCMT'] == 'O' else ''
    sys.stdout.buffer.write(('%s|%s|%s\n' % (row['REPERE'], row['SYMBOLE'], comment)).encode('utf-8'))
)";

std::string ReadWithDbfread(const std::string& dir) {
  testing_support::TempDir scratch;
  testing_support::WriteFileBytes(scratch.file("reader.py"), kReader);
  std::string command = "/usr/bin/python3 " + scratch.file("reader.py") + " " + dir + " 2>&1";
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[512];
  while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  if (pipe != nullptr) pclose(pipe);
  return out;
}

TEST(CliDbfread, ReadsTheObjectsTheToolWrote) {
  if (std::system("/usr/bin/python3 -c 'import dbfread' 2>/dev/null") != 0) {
    GTEST_SKIP() << "python3-dbfread is not installed";
  }
  testing_support::TempDir dir;
  std::string long_comment(300, 'x');
  cli_testing::RunSteps(dir.path(), {{{"create", "@"}, 0},
                                     {{"import", "@", cli_testing::Example("plant.csv")}, 0},
                                     {{"add", "@", "%MW99", "\xC3\x89t\xC3\xA9", long_comment}, 0},
                                     {{"delete", "@", "%MW10"}, 0}});
  std::string rows = ReadWithDbfread(dir.path());
  EXPECT_EQ(rows.compare(0, 6, "cp1252"), 0) << rows;
  EXPECT_TRUE(Contains(rows, "\n%I1.0|Marche|Bouton marche (pupitre local)\n")) << rows;
  EXPECT_TRUE(Contains(rows,
                       "\n%I1.1|Arr\xC3\xAAt_urgence|Arr\xC3\xAAt d'urgence, contact "
                       "\xC3\xA0 ouverture\n"));
  EXPECT_TRUE(Contains(rows,
                       "\n%MW20:X1|D\xC3\xA9"
                       "faut_pression|Bit 1 : surpression au "
                       "refoulement\n"));
  EXPECT_TRUE(Contains(rows, "\n%MW99|\xC3\x89t\xC3\xA9|" + long_comment + "\n"));
  // dbfread skips deleted rows: the deleted object is gone for it as well.
  EXPECT_FALSE(Contains(rows, "%MW10|"));
  std::size_t lines = 0;
  for (char c : rows) lines += c == '\n';
  EXPECT_EQ(lines, 1u + 28u);  // the encoding line, 28 + 1 - 1 objects
}

}  // namespace
