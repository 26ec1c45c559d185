// export: comments that only the library can write (an import refuses line
// breaks) still come out as one field that CSV readers read back whole.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_fixture.h"
#include "symbase/tabis.h"

namespace cli_testing {
namespace {

class CliExport : public CliBase {};

TEST_F(CliExport, QuotesWhatWouldSplitAFieldAndNothingElse) {
  const char* const comments[] = {"CR\rhere", "LF\nhere", "quote \"x\"", "a,b",
                                  "a;b",      " first",   "plain"};
  CTBData* base = nullptr;
  TBInitTabisDll(&base);
  ASSERT_EQ(TBOpenBaseSymbol(base, (dir_.path() + "/").c_str()), 0);
  int n = 0;
  for (const char* comment : comments) {
    const std::string address = "%MW" + std::to_string(n++);
    CTBObjetAts object(address.c_str(), "", comment, 0, -1);
    ASSERT_EQ(TBCreateObject(base, &object), 0) << comment;
  }
  TBCloseBaseSymbol(base);
  TBFreeTabisDll(base);
  EXPECT_EQ(RunCli({"export", dir_.path()}).out,
            "address,symbol,comment\n%MW0,,\"CR\rhere\"\n%MW1,,\"LF\nhere\"\n"
            "%MW2,,\"quote \"\"x\"\"\"\n%MW3,,\"a,b\"\n%MW4,,a;b\n%MW5,,\" first\"\n%MW6,,plain\n");
  const char* reader =
      "import csv, sys, io\n"
      "text = sys.stdin.buffer.read().decode('utf-8-sig')\n"
      "rows = list(csv.reader(io.StringIO(text, newline=''), delimiter=';'))\n"
      "print(repr([row[2] for row in rows[1:]]))\n";
  EXPECT_EQ(Python(reader, RunCli({"export", dir_.path(), "--excel"}).out),
            "['CR\\rhere', 'LF\\nhere', 'quote \"x\"', 'a,b', 'a;b', ' first', 'plain']\n");
}

}  // namespace
}  // namespace cli_testing
