// CSV as people have it: separators, encodings, byte-order marks, quoting;
// export for tools and for spreadsheets, to stdout or a file.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_fixture.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::RunCli;

class CliCsv : public cli_testing::PlantBase {};

TEST_F(CliCsv, ExportForToolsAndForSpreadsheets) {
  const std::string urgence =
      "%I1.1;Arr\xC3\xAAt_urgence;Arr\xC3\xAAt d'urgence, contact \xC3\xA0 ouverture";
  Steps({
      {{"export", "@", "%Q"},
       0,
       {"=address,symbol,comment\n%Q2.0,Pompe_1,Commande contacteur pompe "
        "1\n%Q2.1,Pompe_2,Commande "
        "contacteur pompe 2\n%Q2.2,Voyant_d\xC3\xA9"
        "faut,Voyant rouge \xC2\xAB d\xC3\xA9"
        "faut "
        "\xC2\xBB en fa\xC3\xA7"
        "ade\n%Q2.3,Klaxon,Avertisseur sonore\n"}},
      {{"export", "@", "%I"},
       0,
       {"%I1.1,Arr\xC3\xAAt_urgence,\"Arr\xC3\xAAt d'urgence, contact \xC3\xA0 ouverture\"\n"}},
  });
  std::string sheet = RunCli({"export", dir_.path(), "%I", "--excel"}).out;
  cli_testing::ExpectText(sheet, {urgence + "\r\n"});
  EXPECT_EQ(sheet.compare(0, 27,
                          "\xEF\xBB\xBF"
                          "address;symbol;comment\r\n"),
            0)
      << sheet;
  // Python's csv module reads it back to the same rows.
  const char* reader =
      "import csv, sys, io\n"
      "text = sys.stdin.buffer.read().decode('utf-8-sig')\n"
      "rows = list(csv.reader(io.StringIO(text, newline=''), delimiter=';'))\n"
      "print(len(rows), {row[0]: row[2] for row in rows}['%I1.1'])\n";
  EXPECT_EQ(cli_testing::Python(reader, sheet),
            "10 Arr\xC3\xAAt d'urgence, contact \xC3\xA0 ouverture\n");
}

TEST_F(CliCsv, ExportToAFileReplacesItWholeOrNotAtAll) {
  const std::string file = dir_.file("out.csv");
  Steps({{{"export", "@", "%Q", "-o", "@/out.csv"}, 0, {"=exported 4 objects to @/out.csv\n"}},
         {{"export", "@", "--output=/dev/full"},
          3,
          {},
          {"=symbase: cannot write /dev/full: No space left on device\n"}},
         {{"export", "@", "-o", "@/no/such/dir.csv"}, 3, {}, {"No such file or directory"}}});
  EXPECT_EQ(testing_support::ReadFileBytes(file), RunCli({"export", dir_.path(), "%Q"}).out);
  // With stdin closed, the file written may get descriptor 0.
  cli_testing::RunSteps(
      dir_.path(),
      {{{"export", "@", "%Q", "-o", "/dev/null"}, 0, {"=exported 4 objects to /dev/null\n"}}},
      "sh -c 'exec \"$0\" \"$@\" <&-'");
}

// A bad byte belongs to its own row: skipped, it leaves the row before it.
TEST_F(CliCsv, ABadByteSkipsItsRowOnly) {
  WriteFile("address,symbol,comment\n%MW71,Bon,x\n%MW72,\xE9t\xE9,x\n");
  Steps({{{"import", "@", "@/in.csv", "--skip-invalid"}, 0, {"1 added", "1 invalid skipped"}},
         {{"find", "@", "%MW71"}, 0, {"symbol:  Bon\n"}},
         {{"find", "@", "%MW72"}, 1}});
}

TEST(CliCsvForms, EncodingsSeparatorsAndMarks) {
  struct Case {
    std::vector<std::string> options;
    std::string bytes;
    const char* comment;  // of %MW80 once imported; nullptr: refused
    std::vector<std::string> message = {};
  } cases[] = {
      // A French spreadsheet saved as CSV: semicolons, Latin-1, French header.
      {{},
       "Rep\xE8re;Symbole;Commentaire\r\n%MW80;S80;Arr\xEAt\r\n",
       nullptr,
       {"byte \\xE8 is not UTF-8; give --encoding cp1252 or latin1"}},
      {{"--encoding", "latin1"},
       "Rep\xE8re;Symbole;Commentaire\r\n%MW80;S80;\"Arr\xEAt; \xAB fin \xBB\"\r\n",
       "Arr\xC3\xAAt; \xC2\xAB fin \xC2\xBB"},
      // A byte that is not UTF-8 is named with the column it stands in.
      {{},
       "address,symbol,comment\n%MW80,\xE9t\xE9,x\n",
       nullptr,
       {"in.csv:2:7: symbol: byte \\xE9 is not UTF-8", "in.csv:2:9: symbol: byte \\xE9"}},
      // Windows-1252 has the euro sign and oe where Latin-1 has controls.
      {{"-e", "cp1252"}, "address;symbol;comment\n%MW80;S80;\x80 \x9C\n", "\xE2\x82\xAC \xC5\x93"},
      {{"--encoding=latin1"},
       "address,symbol,comment\n%MW80,S80,\x80\n",
       nullptr,
       {"in.csv:2:11: comment \"\\x80\": the character"}},
      {{},
       "\xEF\xBB\xBF"
       "address\tsymbol\tcomment\n%MW80\tS80\ttab, s\xC3\xA9par\xC3\xA9\n",
       "tab, s\xC3\xA9par\xC3\xA9"},
      {{"-d", "tab"}, "address\tsymbol\n%MW80\tS80\n", ""},
      // The delimiter is the header's: commas in later rows do not outvote it.
      {{}, "address;symbol;comment\n%MW80;S80;a,b,c,d,e,f\n", "a,b,c,d,e,f"},
      // UTF-8 has no surrogates: the last of them is refused as the first is.
      {{},
       "address,symbol,comment\n%MW80,S80,\xED\xBF\xBF\n",
       nullptr,
       {"in.csv:2:11: comment: byte \\xED is not UTF-8"}},
      {{"--delimiter", ";"}, "address,symbol,comment\n", nullptr, {"is not a column name"}},
      {{}, "Symbole,Adresse\nS80,%MW80\n", ""},
      {{},
       "address,symbol,comment\n%MW80,S80,\"deux\nlignes\"\n",
       nullptr,
       {"in.csv:2:11: comment \"deux\\x0Alignes\": holds a line break"}},
      {{},
       "address,symbol,comment\r\n%MW80,S80,\"Il dit \"\"stop\"\", puis\"\r\n\r\n",
       "Il dit \"stop\", puis"},
  };
  for (const Case& test : cases) {
    testing_support::TempDir base;
    testing_support::WriteFileBytes(base.file("in.csv"), test.bytes);
    cli_testing::Step import{{"import", "@", "@/in.csv"}, test.comment ? 0 : 3, {}, test.message};
    import.args.insert(import.args.end(), test.options.begin(), test.options.end());
    std::vector<cli_testing::Step> steps = {{{"create", "@"}, 0}, import};
    if (test.comment != nullptr) {
      steps.push_back({{"find", "@", "%MW80"},
                       0,
                       {"symbol:  S80\n", std::string("comment: ") + test.comment + "\n"}});
    }
    SCOPED_TRACE(test.bytes);
    cli_testing::RunSteps(base.path(), steps);
  }
}

}  // namespace
