// create, add, edit, find, search, list, count and delete on a base in a temp
// directory.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "apps/symbase/cli_process.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::CliRun;
using cli_testing::Contains;
using cli_testing::RunCli;

class CliObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunCli({"create", dir_.path()}).status, 0);
    Add({"%MW10", "Seuil_haut", "Seuil de d\xC3\xA9marrage"});
    Add({"%MW11", "Seuil_bas"});
    Add({"%I1.2", "Capteur_porte",
         "Porte ferm\xC3\xA9"
         "e"});
    Add({"%Q2.0", "Pompe_1", "Pompe de relevage"});
  }

  void Add(std::vector<std::string> object) {
    object.insert(object.begin(), {"add", dir_.path()});
    CliRun run = RunCli(object);
    ASSERT_EQ(run.status, 0) << run.err;
  }

  testing_support::TempDir dir_;
};

TEST_F(CliObjects, CreateMakesTheSixFilesAndKeepsAnExistingBase) {
  for (const char* name :
       {"KR9.DBF", "KR9CMT.DBF", "KR9CLER.MDX", "KR9R.MDX", "KR9S.MDX", "KR9CMTR.MDX"}) {
    EXPECT_FALSE(testing_support::ReadFileBytes(dir_.file(name)).empty()) << name;
  }
  CliRun again = RunCli({"create", dir_.path()});
  EXPECT_EQ(again.status, 1);
  EXPECT_TRUE(Contains(again.err, "already"));
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "4\n");

  EXPECT_EQ(RunCli({"create", dir_.path(), "--replace"}).status, 0);
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "0\n");
}

TEST_F(CliObjects, CreateMakesMissingDirectories) {
  std::string nested = dir_.file("a/b");
  EXPECT_EQ(RunCli({"create", nested}).status, 0);
  EXPECT_EQ(RunCli({"count", nested + "/"}).out, "0\n");
}

TEST_F(CliObjects, FindByAddressAndBySymbolKeepsAccents) {
  CliRun by_address = RunCli({"find", dir_.path(), "%MW10"});
  EXPECT_EQ(by_address.status, 0);
  EXPECT_EQ(by_address.out,
            "address: %MW10\nsymbol:  Seuil_haut\ncomment: Seuil de d\xC3\xA9marrage\n");

  CliRun by_symbol = RunCli({"find", dir_.path(), "--symbol", "Capteur_porte"});
  EXPECT_EQ(by_symbol.status, 0);
  EXPECT_TRUE(Contains(by_symbol.out, "address: %I1.2\n"));
  EXPECT_TRUE(Contains(by_symbol.out,
                       "comment: Porte ferm\xC3\xA9"
                       "e\n"));
}

TEST_F(CliObjects, AccentedSymbolRoundTrip) {
  Add({"%MW12",
       "D\xC3\xA9"
       "bit_\xC3\xA9t\xC3\xA9",
       "\xC5\x93uvre \xE2\x82\xAC \xC3\x89T\xC3\x89"});
  CliRun found = RunCli({"find", dir_.path(), "--symbol",
                         "D\xC3\xA9"
                         "bit_\xC3\xA9t\xC3\xA9"});
  ASSERT_EQ(found.status, 0) << found.err;
  EXPECT_TRUE(Contains(found.out,
                       "symbol:  D\xC3\xA9"
                       "bit_\xC3\xA9t\xC3\xA9\n"));
  EXPECT_TRUE(Contains(found.out, "comment: \xC5\x93uvre \xE2\x82\xAC \xC3\x89T\xC3\x89\n"));
  // The library stores Windows-1252: é is one byte, so 32 of them fit a symbol.
  std::string long_symbol;
  for (int i = 0; i < 32; ++i) long_symbol += "\xC3\xA9";
  Add({"%MW13", long_symbol});
  EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%MW13"}).out, long_symbol));
}

TEST_F(CliObjects, AddressesAreWrittenInTheWorkshopsForm) {
  Add({"%mw050", "Compteur"});
  EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%MW50"}).out, "symbol:  Compteur"));
  EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%mw50"}).out, "address: %MW50"));
}

TEST_F(CliObjects, AddRefusesWhatTheBaseCouldNotKeep) {
  CliRun taken = RunCli({"add", dir_.path(), "%MW20", "Pompe_1"});
  EXPECT_EQ(taken.status, 1);
  EXPECT_TRUE(Contains(taken.err, "Pompe_1 is already carried by %Q2.0"));

  CliRun present = RunCli({"add", dir_.path(), "%MW10", "Autre"});
  EXPECT_EQ(present.status, 1);
  EXPECT_TRUE(Contains(present.err, "%MW10 is already in the base (%MW10 Seuil_haut"));

  // Texts the base cannot keep are bad arguments: exit 2, the field named.
  struct Case {
    std::vector<std::string> words;
    const char* message;
  } refused[] = {
      {{"MW20"}, "address \"MW20\": not an address"},
      {{"%MW20", "2x"}, "symbol \"2x\": not a symbol"},
      {{"%MW20", std::string(33, 'a')}, "not a symbol"},
      {{"%MW20", "and"}, "symbol \"and\": a reserved word"},
      {{"%MW20", "Ok", "\xE6\x97\xA5"}, "(U+65E5) has no place in Windows-1252"},
      {{"%MW20", "Ok", "\xC3"}, "not valid UTF-8"},
      {{"%MW20", "Ok", "a\tb"}, "comment \"a\\x09b\": holds a line break or a control"},
      {{"%MW20", "Ok", std::string(509, 'c')}, "at most 508"},
  };
  for (const Case& test : refused) {
    std::vector<std::string> args = {"add", dir_.path()};
    args.insert(args.end(), test.words.begin(), test.words.end());
    CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_TRUE(Contains(run.err, test.message)) << run.err;
  }
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "4\n");

  Add({"%MW20", "Ok", std::string(508, 'c')});
  EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%MW20"}).out, std::string(508, 'c') + "\n"));
}

// One rule with the library's analyser: what the key fields can hold.
TEST_F(CliObjects, AnAddressIsWhatTheKeyHolds) {
  struct Case {
    const char* address;
    bool accepted;
  } cases[] = {
      {"%MW99999", true},           {"%MW100000", false},    {"%I100000.2", true},
      {"%IW33554431.1", true},      {"%I33554432.1", false}, {"%I\\1023.3.255\\1.0", true},
      {"%I\\1024.0.0\\0.1", false}, {"%DR1.99996", true},    {"%DR1.99997", false},
  };
  for (const Case& test : cases) {
    CliRun run = RunCli({"add", dir_.path(), test.address});
    EXPECT_EQ(run.status, test.accepted ? 0 : 2) << test.address << ": " << run.err;
    if (test.accepted) {
      EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), test.address}).out,
                           std::string("address: ") + test.address + "\n"))
          << test.address;
    }
  }
}

TEST_F(CliObjects, EditChangesTheSymbolTheCommentOrBoth) {
  CliRun both = RunCli({"edit", dir_.path(), "%MW10", "--symbol", "Seuil_max", "-c", "Nouveau"});
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_EQ(both.out, "changed %MW10\n");
  EXPECT_EQ(RunCli({"find", dir_.path(), "%MW10"}).out,
            "address: %MW10\nsymbol:  Seuil_max\ncomment: Nouveau\n");
  // The symbol it has already is no change, and leaves the comment free to change.
  EXPECT_EQ(RunCli({"edit", dir_.path(), "%MW10", "-s", "Seuil_max"}).out, "%MW10 unchanged\n");
  EXPECT_EQ(RunCli({"edit", dir_.path(), "%MW10", "-s", "Seuil_max", "-c", "Encore"}).status, 0);
  EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%MW10"}).out, "comment: Encore\n"));
  // An empty symbol removes it.
  EXPECT_EQ(RunCli({"edit", dir_.path(), "%MW11", "--symbol", ""}).status, 0);
  EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%MW11"}).out, "symbol:  \n"));

  CliRun taken = RunCli({"edit", dir_.path(), "%MW10", "-s", "Pompe_1"});
  EXPECT_EQ(taken.status, 1);
  EXPECT_TRUE(Contains(taken.err, "Pompe_1 is already carried by %Q2.0")) << taken.err;
  CliRun missing = RunCli({"edit", dir_.path(), "%MW99", "-c", "x"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(Contains(missing.err, "no object at %MW99"));
}

TEST_F(CliObjects, ASymbolMissedByCaseIsSuggested) {
  Add({"%TM5", "Tempo_5"});
  CliRun run = RunCli({"find", dir_.path(), "--symbol", "tempo_5"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "did you mean Tempo_5 (%TM5)?")) << run.err;
  CliRun none = RunCli({"find", dir_.path(), "--symbol", "Tempo_6"});
  EXPECT_EQ(none.err, "symbase: no object carries the symbol Tempo_6\n");
}

TEST_F(CliObjects, SearchBySymbolOrCommentAndPosition) {
  CliRun seuil = RunCli({"search", dir_.path(), "seuil"});
  EXPECT_EQ(seuil.status, 0);
  EXPECT_TRUE(Contains(seuil.out, "%MW10"));
  EXPECT_TRUE(Contains(seuil.out, "%MW11"));
  EXPECT_FALSE(Contains(seuil.out, "%Q2.0"));

  CliRun by_comment = RunCli({"search", dir_.path(), "D\xC3\x89MARR", "--comments"});
  EXPECT_EQ(by_comment.status, 0) << by_comment.err;
  EXPECT_TRUE(Contains(by_comment.out, "%MW10"));

  CliRun ends = RunCli({"search", dir_.path(), "_bas", "--ends"});
  EXPECT_TRUE(Contains(ends.out, "%MW11"));
  EXPECT_FALSE(Contains(ends.out, "%MW10"));

  CliRun begins = RunCli({"search", dir_.path(), "bas", "--begins"});
  EXPECT_EQ(begins.status, 1);
  EXPECT_TRUE(Contains(begins.err, "no object matches \"bas\""));

  CliRun apostrophe = RunCli({"search", dir_.path(), "d'un"});
  EXPECT_EQ(apostrophe.status, 1);
  EXPECT_TRUE(apostrophe.err.find("error") == std::string::npos) << apostrophe.err;

  CliRun overlong = RunCli({"search", dir_.path(), std::string(5000, 'a')});
  EXPECT_EQ(overlong.status, 1);
  EXPECT_EQ(overlong.err, "symbase: no object matches \"" + std::string(40, 'a') + "...\"\n");
  EXPECT_EQ(RunCli({"search", dir_.path(), std::string(5000, 'a'), "--comments"}).status, 1);

  CliRun ordered = RunCli({"search", dir_.path(), "e", "--by-symbol"});
  std::size_t capteur = ordered.out.find("Capteur_porte");
  std::size_t pompe = ordered.out.find("Pompe_1");
  std::size_t seuil_bas = ordered.out.find("Seuil_bas");
  ASSERT_NE(seuil_bas, std::string::npos);
  EXPECT_LT(capteur, pompe);
  EXPECT_LT(pompe, seuil_bas);
}

TEST_F(CliObjects, ListAndCountEveryObjectOrOneKind) {
  CliRun all = RunCli({"list", dir_.path()});
  EXPECT_EQ(all.status, 0);
  EXPECT_TRUE(Contains(all.out, "4 objects\n"));
  for (const char* address : {"%MW10", "%MW11", "%I1.2", "%Q2.0"}) {
    EXPECT_TRUE(Contains(all.out, address)) << address;
  }
  CliRun words = RunCli({"list", dir_.path(), "%mw"});
  EXPECT_TRUE(Contains(words.out, "2 objects\n"));
  EXPECT_FALSE(Contains(words.out, "%I1.2"));
  EXPECT_EQ(RunCli({"count", dir_.path(), "%MW"}).out, "2\n");
  EXPECT_EQ(RunCli({"count", dir_.path(), "%I"}).out, "1\n");
  EXPECT_EQ(RunCli({"count", dir_.path(), "%Q"}).out, "1\n");
  EXPECT_EQ(RunCli({"count", dir_.path(), "%C"}).out, "0\n");
  EXPECT_EQ(RunCli({"count", dir_.path(), "MW"}).status, 2);
}

TEST_F(CliObjects, ListingsOfAKindComeInAddressOrder) {
  int n = 0;
  for (const char* address : {"%MW300", "%MW7", "%MW20:X3", "%MW20", "%MW20:X1", "%MW9"}) {
    Add({address, "Mot_" + std::to_string(++n)});
  }
  std::string out = RunCli({"list", dir_.path(), "%MW"}).out;
  std::vector<std::size_t> at;
  for (const char* address :
       {"%MW7 ", "%MW9 ", "%MW10 ", "%MW11 ", "%MW20 ", "%MW300 ", "%MW20:X1 ", "%MW20:X3 "}) {
    at.push_back(out.find(address));
    ASSERT_NE(at.back(), std::string::npos) << address << "\n" << out;
  }
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << out;
  // The same order as the listing of the whole base.
  std::string whole = RunCli({"list", dir_.path()}).out;
  EXPECT_LT(whole.find("%MW300 "), whole.find("%MW20:X1 "));
}

TEST_F(CliObjects, ListGoesPastOneBatchOfFifty) {
  for (int i = 100; i < 175; ++i) Add({"%MW" + std::to_string(i), "S" + std::to_string(i)});
  CliRun all = RunCli({"list", dir_.path()});
  EXPECT_TRUE(Contains(all.out, "79 objects\n"));
  EXPECT_TRUE(Contains(all.out, "S174"));
  EXPECT_TRUE(Contains(RunCli({"list", dir_.path(), "%MW"}).out, "77 objects\n"));
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "79\n");
}

TEST_F(CliObjects, JsonIsReadByPython) {
  const char* reader =
      "import json, sys\n"
      "d = json.load(sys.stdin)\n"
      "if isinstance(d, list): print(len(d), '|'.join(o['address'] + ':' + o['comment'] for o in "
      "d))\n"
      "else: print(d)\n";
  EXPECT_EQ(cli_testing::Python(reader, RunCli({"list", dir_.path(), "--json"}).out),
            "4 %MW10:Seuil de d\xC3\xA9marrage|%MW11:|%I1.2:Porte ferm\xC3\xA9"
            "e|%Q2.0:Pompe de relevage\n");
  EXPECT_EQ(cli_testing::Python(reader, RunCli({"search", dir_.path(), "seuil", "--json"}).out),
            "2 %MW10:Seuil de d\xC3\xA9marrage|%MW11:\n");
  EXPECT_EQ(cli_testing::Python(reader, RunCli({"find", dir_.path(), "%Q2.0", "--json"}).out),
            "{'address': '%Q2.0', 'symbol': 'Pompe_1', 'comment': 'Pompe de relevage'}\n");
  EXPECT_EQ(cli_testing::Python(reader, RunCli({"count", dir_.path(), "%MW", "--json"}).out),
            "{'prefix': '%MW', 'count': 2}\n");
}

TEST_F(CliObjects, DeleteRemovesTheObjectAndItsComment) {
  CliRun deleted = RunCli({"delete", dir_.path(), "%MW10"});
  EXPECT_EQ(deleted.status, 0);
  EXPECT_EQ(deleted.out, "deleted %MW10\n");
  CliRun gone = RunCli({"find", dir_.path(), "%MW10"});
  EXPECT_EQ(gone.status, 1);
  EXPECT_TRUE(Contains(gone.err, "no object at %MW10"));
  EXPECT_EQ(RunCli({"find", dir_.path(), "--symbol", "Seuil_haut"}).status, 1);
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "3\n");
  CliRun again = RunCli({"delete", dir_.path(), "%MW10"});
  EXPECT_EQ(again.status, 1);
  EXPECT_TRUE(Contains(again.err, "no object at %MW10"));
  // The freed symbol can be given again.
  Add({"%MW30", "Seuil_haut"});
}

}  // namespace
