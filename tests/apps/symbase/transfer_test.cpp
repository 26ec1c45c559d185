// import and export: CSV in and out, conflicts kept, replaced or asked on stdin.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_process.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::CliRun;
using cli_testing::Contains;
using cli_testing::Example;
using cli_testing::RunCli;

class CliTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunCli({"create", dir_.path()}).status, 0);
    CliRun plant = RunCli({"import", dir_.path(), Example("plant.csv")});
    ASSERT_EQ(plant.status, 0) << plant.err;
    ASSERT_TRUE(Contains(plant.out, "imported 28 rows: 28 added")) << plant.out;
  }

  std::string Field(const std::string& address, const char* label) {
    std::string out = RunCli({"find", dir_.path(), address}).out;
    std::size_t start = out.find(label);
    if (start == std::string::npos) return "<none>";
    start += std::string(label).size();
    return out.substr(start, out.find('\n', start) - start);
  }
  std::string Symbol(const std::string& address) { return Field(address, "symbol:  "); }
  std::string Comment(const std::string& address) { return Field(address, "comment: "); }

  std::string WriteCsv(const std::string& text) {
    testing_support::WriteFileBytes(dir_.file("in.csv"), text);
    return dir_.file("in.csv");
  }

  testing_support::TempDir dir_;
};

TEST_F(CliTransfer, ExportThenImportIntoAFreshBaseGivesTheSameExport) {
  CliRun exported = RunCli({"export", dir_.path()});
  ASSERT_EQ(exported.status, 0);
  EXPECT_EQ(exported.out.compare(0, 24, "address,symbol,comment\r\n"), 0);
  // Quoting as RFC 4180 asks: commas, quotes kept in the field.
  EXPECT_TRUE(Contains(exported.out,
                       "%I1.1,Arr\xC3\xAAt_urgence,\"Arr\xC3\xAAt d'urgence, contact \xC3\xA0 "
                       "ouverture\"\r\n"));
  EXPECT_TRUE(Contains(exported.out,
                       "%Q2.2,Voyant_d\xC3\xA9"
                       "faut,Voyant rouge \xC2\xAB d\xC3\xA9"
                       "faut \xC2\xBB en fa\xC3\xA7"
                       "ade\r\n"));

  testing_support::TempDir other;
  ASSERT_EQ(RunCli({"create", other.path()}).status, 0);
  CliRun imported = RunCli({"import", other.path(), WriteCsv(exported.out)});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(RunCli({"export", other.path()}).out, exported.out);
}

TEST_F(CliTransfer, ExportOfOneKindAndOfAnEmptyBase) {
  CliRun outputs = RunCli({"export", dir_.path(), "%Q"});
  EXPECT_EQ(outputs.out,
            "address,symbol,comment\r\n"
            "%Q2.0,Pompe_1,Commande contacteur pompe 1\r\n"
            "%Q2.1,Pompe_2,Commande contacteur pompe 2\r\n"
            "%Q2.2,Voyant_d\xC3\xA9"
            "faut,Voyant rouge \xC2\xAB d\xC3\xA9"
            "faut \xC2\xBB en "
            "fa\xC3\xA7"
            "ade\r\n"
            "%Q2.3,Klaxon,Avertisseur sonore\r\n");
  testing_support::TempDir empty;
  ASSERT_EQ(RunCli({"create", empty.path()}).status, 0);
  CliRun none = RunCli({"export", empty.path()});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "address,symbol,comment\r\n");
}

TEST_F(CliTransfer, QuotedFieldsAndCrlfLinesAreRead) {
  std::string csv =
      "\xEF\xBB\xBF"
      "Address,Symbol,Comment\r\n"
      "%MW40,Guillemets,\"Il dit \"\"stop\"\", puis part\"\r\n"
      "\r\n"
      "%MW41,,Sans symbole\r\n"
      "%MW42,Sans_commentaire\r\n";
  CliRun run = RunCli({"import", dir_.path(), WriteCsv(csv)});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "imported 3 rows: 3 added"));
  EXPECT_EQ(Comment("%MW40"), "Il dit \"stop\", puis part");
  EXPECT_EQ(Symbol("%MW41"), "");
  EXPECT_EQ(Comment("%MW41"), "Sans symbole");
  EXPECT_EQ(Symbol("%MW42"), "Sans_commentaire");
}

TEST_F(CliTransfer, ImportReadsStdinGivenAsDash) {
  CliRun run = RunCli({"import", dir_.path(), "-"},
                      "address,symbol,comment\n%MW60,Entr\xC3\xA9"
                      "e,\xE2\x80\x9Cguillemets\xE2\x80\x9D\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Symbol("%MW60"),
            "Entr\xC3\xA9"
            "e");
  EXPECT_EQ(Comment("%MW60"), "\xE2\x80\x9Cguillemets\xE2\x80\x9D");
  EXPECT_EQ(RunCli({"import", dir_.path(), "-", "--ask"}).status, 2);
}

TEST_F(CliTransfer, AFaultyFileWritesNothing) {
  struct Case {
    const char* csv;
    const char* message;
  } cases[] = {
      {"address,symbol,comment\n%MW40,Bon\n%MW41,4mauvais\n",
       "in.csv:3: \"4mauvais\" is not a symbol"},
      {"address,symbol,comment\n%MW40,Bon\nMW41,Ok\n", "in.csv:3: \"MW41\" is not an address"},
      {"address,symbol,comment\n%MW40,Bon,\"ouvert\n", "line 2: a quoted field is not closed"},
      {"address,symbol,comment\n%MW40,B\"on\n", "line 2: a quote inside an unquoted field"},
      {"address,symbol,comment\n%MW40,a,b,c\n", "in.csv:2: more than three fields"},
      {"%MW40,Bon,Comment\n", "the first line must be the header"},
      {"", "the first line must be the header"},
  };
  for (const Case& test : cases) {
    CliRun run = RunCli({"import", dir_.path(), WriteCsv(test.csv)});
    EXPECT_EQ(run.status, 1) << test.csv;
    EXPECT_TRUE(Contains(run.err, test.message)) << run.err;
    EXPECT_EQ(Symbol("%MW40"), "<none>") << test.csv;
  }
  CliRun missing = RunCli({"import", dir_.path(), dir_.file("nothing.csv")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(Contains(missing.err, "cannot read"));
}

TEST_F(CliTransfer, KeepLeavesEveryConflictAndAddsWhatIsFree) {
  CliRun run = RunCli({"import", dir_.path(), Example("changes.csv"), "--keep"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "imported 6 rows: 2 added, 0 changed, 1 unchanged, 3 kept"))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "kept %MW10 (line 2)"));
  EXPECT_EQ(Comment("%MW10"), "Niveau de d\xC3\xA9marrage en cm");
  EXPECT_EQ(Symbol("%MW11"), "Seuil_arr\xC3\xAAt");
  EXPECT_EQ(Symbol("%Q2.1"), "Pompe_2");
  EXPECT_EQ(Symbol("%Q2.5"), "<none>");
  EXPECT_EQ(Symbol("%Q2.4"), "Pompe_secours");
  // Keeping is the default.
  CliRun again = RunCli({"import", dir_.path(), Example("changes.csv")});
  EXPECT_TRUE(Contains(again.out, "0 added, 0 changed, 3 unchanged, 3 kept")) << again.out;
}

TEST_F(CliTransfer, ReplaceTakesTheFilesVersionOfEachConflict) {
  CliRun run = RunCli({"import", dir_.path(), Example("changes.csv"), "--replace"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "imported 6 rows: 3 added, 2 changed, 1 unchanged, 0 kept"))
      << run.out;
  EXPECT_EQ(Comment("%MW10"), "Niveau de d\xC3\xA9marrage en cm (r\xC3\xA9glage usine : 120)");
  EXPECT_EQ(Symbol("%MW11"), "Seuil_bas");
  EXPECT_EQ(Symbol("%Q2.5"), "Pompe_2");
  EXPECT_EQ(Comment("%Q2.5"),
            "Commande contacteur pompe 2 (d\xC3\xA9plac\xC3\xA9"
            "e)");
  EXPECT_EQ(Symbol("%Q2.1"), "<none>");
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "30\n");  // the moved row is not a new one
  CliRun check = RunCli({"check", dir_.path()});
  EXPECT_EQ(check.status, 0) << check.out;
}

TEST_F(CliTransfer, AskReadsEachAnswerOnStdin) {
  // %MW10 comment: "x" is not an answer, then no. %MW11 symbol: yes. %Q2.5
  // moves Pompe_2: cancel, do not confirm, then yes to all.
  CliRun run =
      RunCli({"import", dir_.path(), Example("changes.csv"), "--ask"}, "x\nn\no\na\nn\nt\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "Conflit de commentaires : le rep\xC3\xA8re %MW10  existe"));
  EXPECT_TRUE(Contains(run.out, "Conflit de symboles : le rep\xC3\xA8re %MW11 symbolis\xC3\xA9"));
  EXPECT_TRUE(Contains(run.out, "Confirmez-vous l'interruption"));
  EXPECT_TRUE(Contains(run.out, "3 added, 1 changed, 1 unchanged, 0 kept, 1 refused")) << run.out;
  EXPECT_EQ(Comment("%MW10"), "Niveau de d\xC3\xA9marrage en cm");
  EXPECT_EQ(Symbol("%MW11"), "Seuil_bas");
  EXPECT_EQ(Symbol("%Q2.5"), "Pompe_2");
}

TEST_F(CliTransfer, AskCancelledAndConfirmedStopsTheImport) {
  CliRun run = RunCli({"import", dir_.path(), Example("changes.csv"), "--ask"}, "a\no\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "import interrupted at line 2"));
  EXPECT_EQ(Symbol("%Q2.4"), "<none>");
  // The end of the input interrupts too, instead of waiting.
  CliRun ended = RunCli({"import", dir_.path(), Example("changes.csv"), "--ask"}, "");
  EXPECT_EQ(ended.status, 1);
  EXPECT_TRUE(Contains(ended.err, "import interrupted at line 2"));
}

TEST_F(CliTransfer, AskNoToAllRefusesTheRestWithoutAsking) {
  CliRun run = RunCli({"import", dir_.path(), Example("changes.csv"), "--ask"}, "s\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "2 added, 0 changed, 1 unchanged, 0 kept, 3 refused")) << run.out;
  EXPECT_FALSE(Contains(run.out, "Conflit de symboles"));
}

}  // namespace
