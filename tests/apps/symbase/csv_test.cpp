// CSV as people have it: separators, encodings, byte-order marks, quoting;
// export for tools and for spreadsheets, to stdout or a file.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_process.h"
#include "apps/symbase/import_fixture.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::CliRun;
using cli_testing::Contains;
using cli_testing::RunCli;

class CliCsv : public cli_testing::PlantBase {};

TEST_F(CliCsv, ExportThenImportIntoAFreshBaseGivesTheSameExport) {
  for (const char* form : {"", "--excel"}) {
    std::vector<std::string> args = {"export", dir_.path()};
    if (*form != '\0') args.push_back(form);
    CliRun exported = RunCli(args);
    ASSERT_EQ(exported.status, 0) << form;
    testing_support::TempDir other;
    ASSERT_EQ(RunCli({"create", other.path()}).status, 0);
    CliRun imported = RunCli({"import", other.path(), WriteFile(exported.out)});
    ASSERT_EQ(imported.status, 0) << form << imported.err;
    EXPECT_EQ(RunCli(std::vector<std::string>{"export", other.path(), form}).out, exported.out)
        << form;
  }
}

TEST_F(CliCsv, ExportForToolsAndForSpreadsheets) {
  CliRun tools = RunCli({"export", dir_.path(), "%Q"});
  EXPECT_EQ(tools.out,
            "address,symbol,comment\n"
            "%Q2.0,Pompe_1,Commande contacteur pompe 1\n"
            "%Q2.1,Pompe_2,Commande contacteur pompe 2\n"
            "%Q2.2,Voyant_d\xC3\xA9"
            "faut,Voyant rouge \xC2\xAB d\xC3\xA9"
            "faut \xC2\xBB en fa\xC3\xA7"
            "ade\n"
            "%Q2.3,Klaxon,Avertisseur sonore\n");
  CliRun sheet = RunCli({"export", dir_.path(), "%I", "--excel"});
  EXPECT_EQ(sheet.out.compare(0, 27,
                              "\xEF\xBB\xBF"
                              "address;symbol;comment\r\n"),
            0);
  // The comma is no separator there; the semicolon would be.
  EXPECT_TRUE(Contains(sheet.out,
                       "%I1.1;Arr\xC3\xAAt_urgence;Arr\xC3\xAAt d'urgence, contact "
                       "\xC3\xA0 ouverture\r\n"));
  EXPECT_TRUE(Contains(RunCli({"export", dir_.path(), "%I"}).out,
                       "%I1.1,Arr\xC3\xAAt_urgence,\"Arr\xC3\xAAt d'urgence, contact \xC3\xA0 "
                       "ouverture\"\n"));
  // Python's csv module reads both forms back to the same rows.
  const char* reader =
      "import csv, sys, io\n"
      "text = sys.stdin.buffer.read().decode('utf-8-sig')\n"
      "rows = list(csv.reader(io.StringIO(text, newline=''), delimiter=';'))\n"
      "print(len(rows), {row[0]: row[2] for row in rows}['%I1.1'])\n";
  EXPECT_EQ(cli_testing::Python(reader, sheet.out),
            "10 Arr\xC3\xAAt d'urgence, contact \xC3\xA0 ouverture\n");
}

TEST_F(CliCsv, ExportToAFileReplacesItWholeOrNotAtAll) {
  std::string file = dir_.file("out.csv");
  CliRun run = RunCli({"export", dir_.path(), "%Q", "-o", file});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "exported 4 objects to " + file + "\n");
  EXPECT_EQ(testing_support::ReadFileBytes(file), RunCli({"export", dir_.path(), "%Q"}).out);
  CliRun full = RunCli({"export", dir_.path(), "--output=/dev/full"});
  EXPECT_EQ(full.status, 3);
  EXPECT_EQ(full.err, "symbase: cannot write /dev/full: No space left on device\n");
  CliRun nowhere = RunCli({"export", dir_.path(), "-o", dir_.file("no/such/dir.csv")});
  EXPECT_EQ(nowhere.status, 3);
  EXPECT_TRUE(Contains(nowhere.err, "No such file or directory"));
}

// A French spreadsheet saved as CSV: semicolons, Latin-1, French header.
TEST_F(CliCsv, ASemicolonLatin1FileWithItsEncoding) {
  std::string latin1 =
      "Rep\xE8re;Symbole;Commentaire\r\n"
      "%MW70;Arr\xEAt_cycle;\"Arr\xEAt; fin de cycle\"\r\n"
      "%MW71;Pr\xE9sence;Capteur \xAB pr\xE9sence \xBB\r\n";
  std::string file = WriteFile(latin1);
  CliRun undecoded = RunCli({"import", dir_.path(), file});
  EXPECT_EQ(undecoded.status, 3);
  EXPECT_TRUE(Contains(undecoded.err, "byte \\xE8 is not UTF-8; give --encoding cp1252 or latin1"))
      << undecoded.err;
  CliRun run = RunCli({"import", dir_.path(), file, "--encoding", "latin1"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Symbol("%MW70"), "Arr\xC3\xAAt_cycle");
  EXPECT_EQ(Comment("%MW70"), "Arr\xC3\xAAt; fin de cycle");
  EXPECT_EQ(Comment("%MW71"), "Capteur \xC2\xAB pr\xC3\xA9sence \xC2\xBB");
}

TEST_F(CliCsv, EncodingsSeparatorsAndMarks) {
  struct Case {
    std::vector<std::string> options;
    std::string bytes;
    const char* comment;  // of %MW80 once imported; nullptr: refused
    const char* message;
  } cases[] = {
      // Windows-1252 has the euro sign and oe where Latin-1 has controls.
      {{"-e", "cp1252"},
       "address;symbol;comment\n%MW80;S80;\x80 \x9C\n",
       "\xE2\x82\xAC \xC5\x93",
       ""},
      {{"--encoding=latin1"},
       "address,symbol,comment\n%MW80,S80,\x80\n",
       nullptr,
       "in.csv:2:11: comment \"\\x80\": the character"},
      {{},
       "\xEF\xBB\xBF"
       "address\tsymbol\tcomment\n%MW80\tS80\ttab, s\xC3\xA9par\xC3\xA9\n",
       "tab, s\xC3\xA9par\xC3\xA9",
       ""},
      {{"-d", "tab"}, "address\tsymbol\n%MW80\tS80\n", "", ""},
      {{"--delimiter", ";"}, "address,symbol,comment\n", nullptr, "is not a column name"},
      {{}, "Symbole,Adresse\nS80,%MW80\n", "", ""},
      {{},
       "address,symbol,comment\n%MW80,S80,\"deux\nlignes\"\n",
       nullptr,
       "in.csv:2:11: comment \"deux\\x0Alignes\": holds a line break"},
      {{},
       "address,symbol,comment\r\n%MW80,S80,\"Il dit \"\"stop\"\", puis\"\r\n\r\n",
       "Il dit \"stop\", puis",
       ""},
  };
  for (const Case& test : cases) {
    testing_support::TempDir base;
    ASSERT_EQ(RunCli({"create", base.path()}).status, 0);
    std::vector<std::string> args = {"import", base.path(), WriteFile(test.bytes)};
    args.insert(args.end(), test.options.begin(), test.options.end());
    CliRun run = RunCli(args);
    SCOPED_TRACE(test.bytes);
    if (test.comment == nullptr) {
      EXPECT_EQ(run.status, 3);
      EXPECT_TRUE(Contains(run.err, test.message)) << run.err;
      continue;
    }
    ASSERT_EQ(run.status, 0) << run.err;
    std::string found = RunCli({"find", base.path(), "%MW80"}).out;
    EXPECT_TRUE(Contains(found, "symbol:  S80\n")) << found;
    EXPECT_TRUE(Contains(found, std::string("comment: ") + test.comment + "\n")) << found;
  }
}

}  // namespace
