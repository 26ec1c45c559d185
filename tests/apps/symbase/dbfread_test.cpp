// A base the tool wrote, read by python's dbfread: an xBase reader no one here wrote.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "apps/symbase/cli_fixture.h"
#include "support/temp_dir.h"

namespace {

// The table's code page, then each live row of the base read from its
// directory (given on stdin) as "address|symbol|comment" in UTF-8, the
// comment joined from the comment table by the key fields.
const char* const kReader = R"(
import sys, dbfread
base = sys.stdin.read()
main = dbfread.DBF(base + '/KR9.DBF')
def key(row): return ''.join(row[f] or '' for f in ('OBJET', 'IND1', 'IND2', 'IND3', 'IND4'))
comments = {key(row): (row['CMT1'] or '').rstrip() + (row['CMT2'] or '').rstrip()
            for row in dbfread.DBF(base + '/KR9CMT.DBF')}
print(main.encoding)
for row in main:
    comment = comments.get(key(row), '') if row['ISCMT'] == 'O' else ''
    sys.stdout.buffer.write(('%s|%s|%s\n' % (row['REPERE'], row['SYMBOLE'], comment)).encode('utf-8'))
)";

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
  std::string rows = cli_testing::Python(kReader, dir.path());
  // dbfread skips deleted rows: the deleted object is gone for it as well.
  cli_testing::ExpectText(
      rows, {"cp1252\n", "\n%I1.0|Marche|Bouton marche (pupitre local)\n",
             "\n%I1.1|Arr\xC3\xAAt_urgence|Arr\xC3\xAAt d'urgence, contact \xC3\xA0 ouverture\n",
             "\n%MW20:X1|D\xC3\xA9"
             "faut_pression|Bit 1 : surpression au refoulement\n",
             "\n%MW99|\xC3\x89t\xC3\xA9|" + long_comment + "\n", "!%MW10|"});
  EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 1 + 28);  // 28 + 1 - 1 objects
}

}  // namespace
