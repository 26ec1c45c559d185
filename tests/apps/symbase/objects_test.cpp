// create, add, edit, find, search, list, count and delete on the example
// plant.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "apps/symbase/cli_fixture.h"
#include "apps/symbase/terminal_session.h"

namespace {

using cli_testing::RunCli;
using cli_testing::Step;

class CliObjects : public cli_testing::PlantBase {};

TEST_F(CliObjects, CreateKeepsAnExistingBaseUnlessToldToReplaceIt) {
  Steps({{{"create", "@"}, 1, {}, {"already"}},
         {{"count", "@"}, 0, {"=28\n"}},
         {{"create", "@/a/b"}, 0},  // missing directories are made
         {{"count", "@/a/b/"}, 0, {"=0\n"}},
         {{"create", "@", "--replace"}, 0},
         {{"count", "@"}, 0, {"=0\n"}}});
}

TEST_F(CliObjects, AddAndFindKeepAccentsAndTheWorkshopsForm) {
  const std::string symbol =
      "D\xC3\xA9"
      "bit_\xC3\xA9t\xC3\xA9";
  const std::string comment = "\xC5\x93uvre \xE2\x82\xAC \xC3\x89T\xC3\x89";
  std::string long_symbol;  // é is one byte in Windows-1252: 32 of them fit
  for (int i = 0; i < 32; ++i) long_symbol += "\xC3\xA9";
  Steps({
      {{"find", "@", "%MW10"},
       0,
       {"=address: %MW10\nsymbol:  Seuil_d\xC3\xA9marrage\ncomment: Niveau de d\xC3\xA9marrage en "
        "cm\n"}},
      {{"find", "@", "--symbol", "Arr\xC3\xAAt_urgence"},
       0,
       {"address: %I1.1\n", "comment: Arr\xC3\xAAt d'urgence, contact \xC3\xA0 ouverture\n"}},
      {{"add", "@", "%MW30", symbol, comment}, 0},
      {{"find", "@", "--symbol", symbol}, 0, {"symbol:  " + symbol + "\n", "comment: " + comment}},
      {{"add", "@", "%MW31", long_symbol}, 0},
      {{"find", "@", "%MW31"}, 0, {long_symbol}},
      {{"add", "@", "%mw050", "Compteur"}, 0},
      {{"find", "@", "%mw50"}, 0, {"address: %MW50\nsymbol:  Compteur"}},
      {{"add", "@", "%MW40", "Ok", std::string(508, 'c')}, 0},
      {{"find", "@", "%MW40"}, 0, {std::string(508, 'c') + "\n"}},
  });
}

TEST_F(CliObjects, AddRefusesWhatTheBaseCouldNotKeep) {
  Steps({
      {{"add", "@", "%MW40", "Pompe_1"}, 1, {}, {"Pompe_1 is already carried by %Q2.0"}},
      {{"add", "@", "%MW10", "Autre"},
       1,
       {},
       {"%MW10 is already in the base (%MW10 Seuil_d\xC3\xA9marrage"}},
      // Texts the base cannot keep are bad arguments: exit 2, the field named.
      {{"add", "@", "MW20"}, 2, {}, {"address \"MW20\": not an address"}},
      {{"add", "@", "%MW40", "2x"}, 2, {}, {"symbol \"2x\": not a symbol"}},
      {{"add", "@", "%MW40", std::string(33, 'a')}, 2, {}, {"not a symbol"}},
      {{"add", "@", "%MW40", "and"}, 2, {}, {"symbol \"and\": a reserved word"}},
      {{"add", "@", "%MW40", "Ok", "\xE6\x97\xA5"},
       2,
       {},
       {"(U+65E5) has no place in Windows-1252"}},
      {{"add", "@", "%MW40", "Ok", "\xC3"}, 2, {}, {"not valid UTF-8"}},
      {{"add", "@", "%MW40", "Ok", "a\tb"},
       2,
       {},
       {"comment \"a\\x09b\": holds a line break or a control"}},
      {{"add", "@", "%MW40", "Ok", std::string(509, 'c')}, 2, {}, {"at most 508"}},
      {{"count", "@"}, 0, {"=28\n"}},
  });
}

// One rule with the library's analyser: what the key fields can hold.
TEST_F(CliObjects, AnAddressIsWhatTheKeyHolds) {
  std::vector<Step> steps;
  for (const char* accepted :
       {"%MW99999", "%I100000.2", "%IW33554431.1", "%I\\1023.3.255\\1.0", "%DR1.99996"}) {
    steps.push_back({{"add", "@", accepted}, 0});
    steps.push_back({{"find", "@", accepted}, 0, {std::string("address: ") + accepted + "\n"}});
  }
  for (const char* refused : {"%MW100000", "%I33554432.1", "%I\\1024.0.0\\0.1", "%DR1.99997"}) {
    steps.push_back({{"add", "@", refused}, 2});
  }
  Steps(steps);
}

TEST_F(CliObjects, EditChangesTheSymbolTheCommentOrBoth) {
  Steps({
      {{"edit", "@", "%MW10", "--symbol", "Seuil_max", "-c", "Nouveau"}, 0, {"=changed %MW10\n"}},
      {{"find", "@", "%MW10"}, 0, {"=address: %MW10\nsymbol:  Seuil_max\ncomment: Nouveau\n"}},
      // The symbol it has already is no change, and leaves the comment free to change.
      {{"edit", "@", "%MW10", "-s", "Seuil_max"}, 0, {"=%MW10 unchanged\n"}},
      {{"edit", "@", "%MW10", "-s", "Seuil_max", "-c", "Encore"}, 0},
      {{"find", "@", "%MW10"}, 0, {"comment: Encore\n"}},
      {{"edit", "@", "%MW11", "--symbol", ""}, 0},  // an empty symbol removes it
      {{"find", "@", "%MW11"}, 0, {"symbol:  \n"}},
      {{"edit", "@", "%MW10", "-s", "Pompe_1"}, 1, {}, {"Pompe_1 is already carried by %Q2.0"}},
      {{"edit", "@", "%MW99", "-c", "x"}, 1, {}, {"no object at %MW99"}},
      // A symbol missed by its case is suggested.
      {{"find", "@", "--symbol", "klaxon"}, 1, {}, {"did you mean Klaxon (%Q2.3)?"}},
      {{"find", "@", "--symbol", "Tempo_6"},
       1,
       {},
       {"=symbase: no object carries the symbol Tempo_6\n"}},
  });
}

TEST_F(CliObjects, SearchBySymbolOrCommentAndPosition) {
  const std::string many(5000, 'a');
  Steps({
      {{"search", "@", "seuil"}, 0, {"%MW10", "%MW11", "!%Q2.0"}},
      {{"search", "@", "D\xC3\x89MARR", "--comments"}, 0, {"%MW10", "!%MW11"}},
      {{"search", "@", "_bas", "--ends"}, 0, {"%I1.3", "!%I1.2"}},
      {{"search", "@", "bas", "--begins"}, 1, {}, {"no object matches \"bas\""}},
      {{"search", "@", "d'un"}, 1, {}, {"!error"}},
      {{"search", "@", many},
       1,
       {},
       {"=symbase: no object matches \"" + std::string(40, 'a') + "...\"\n"}},
      {{"search", "@", many, "--comments"}, 1},
  });
  std::string ordered = RunCli({"search", dir_.path(), "e", "--by-symbol"}).out;
  std::size_t seuil = ordered.find("Seuil_d\xC3\xA9marrage");
  ASSERT_NE(seuil, std::string::npos) << ordered;
  EXPECT_LT(ordered.find("Alterne"), ordered.find("Pompe_1"));
  EXPECT_LT(ordered.find("Pompe_1"), seuil);
}

TEST_F(CliObjects, ListAndCountEveryObjectOrOneKindInAddressOrder) {
  WriteFile("address,symbol\n%MW300,Mot_a\n%MW7,Mot_b\n%MW20:X3,Mot_c\n%MW9,Mot_d\n", "w.csv");
  ASSERT_EQ(RunCli({"import", dir_.path(), dir_.file("w.csv")}).status, 0);
  std::string out = RunCli({"list", dir_.path(), "%mw"}).out;
  cli_testing::ExpectText(out, {"\n12 objects\n"});
  std::vector<std::size_t> at;
  for (const char* address :
       {"%MW7 ", "%MW9 ", "%MW10 ", "%MW11 ", "%MW20 ", "%MW300 ", "%MW20:X1 ", "%MW20:X3 "}) {
    at.push_back(out.find(address));
    ASSERT_NE(at.back(), std::string::npos) << address << "\n" << out;
  }
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << out;
  std::string whole = RunCli({"list", dir_.path()}).out;  // the same order
  EXPECT_LT(whole.find("%MW300 "), whole.find("%MW20:X1 "));
  Steps({{{"list", "@"}, 0, {"\n32 objects\n", "%I1.2", "%Q2.0", "%C0"}},
         {{"list", "@", "%Q"}, 0, {"\n4 objects\n", "!%I1.2"}},
         {{"count", "@", "%MW"}, 0, {"=12\n"}},
         {{"count", "@", "%I"}, 0, {"=9\n"}},
         {{"count", "@", "%C"}, 0, {"=1\n"}},
         {{"count", "@", "%TM"}, 0, {"=1\n"}},
         {{"count", "@", "%DR"}, 0, {"=0\n"}}});
  // Past one batch of fifty.
  std::string csv = "address,symbol\n";
  for (int i = 100; i < 175; ++i)
    csv += "%MW" + std::to_string(i) + ",S" + std::to_string(i) + "\n";
  WriteFile(csv);
  Steps({{{"import", "@", "@/in.csv"}, 0},
         {{"list", "@"}, 0, {"\n107 objects\n", "S174"}},
         {{"list", "@", "%MW"}, 0, {"\n87 objects\n"}},
         {{"count", "@"}, 0, {"=107\n"}}});
}

TEST_F(CliObjects, JsonIsReadByPython) {
  const char* reader =
      "import json, sys\n"
      "d = json.load(sys.stdin)\n"
      "if isinstance(d, list): print(len(d), '|'.join(o['address'] + ':' + o['comment'] for o in "
      "d))\n"
      "else: print(d)\n";
  struct Case {
    std::vector<std::string> args;
    const char* printed;
  } cases[] = {
      {{"list", dir_.path(), "%Q", "--json"},
       "4 %Q2.0:Commande contacteur pompe 1|%Q2.1:Commande contacteur pompe 2|%Q2.2:Voyant rouge "
       "\xC2\xAB d\xC3\xA9"
       "faut \xC2\xBB en fa\xC3\xA7"
       "ade|%Q2.3:Avertisseur sonore\n"},
      {{"search", dir_.path(), "seuil", "--json"},
       "2 %MW10:Niveau de d\xC3\xA9marrage en cm|%MW11:Niveau d'arr\xC3\xAAt en cm\n"},
      {{"find", dir_.path(), "%Q2.0", "--json"},
       "{'address': '%Q2.0', 'symbol': 'Pompe_1', 'comment': 'Commande contacteur pompe 1'}\n"},
      {{"count", dir_.path(), "%MW", "--json"}, "{'prefix': '%MW', 'count': 8}\n"},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(cli_testing::Python(reader, RunCli(test.args).out), test.printed) << test.args[0];
  }
}

TEST_F(CliObjects, DeleteAddressesAndWhatTheyFreed) {
  Steps({
      {{"delete", "@", "%MW10"}, 0, {"=deleted %MW10\n"}},
      {{"find", "@", "%MW10"}, 1, {}, {"no object at %MW10"}},
      {{"find", "@", "--symbol", "Seuil_d\xC3\xA9marrage"}, 1},
      {{"delete", "@", "%MW10"}, 1, {}, {"no object at %MW10"}},
      {{"add", "@", "%MW30", "Seuil_d\xC3\xA9marrage"}, 0},  // the freed symbol is free
      {{"delete", "@", "%M0", "%M1", "%M9", "%M2"},
       1,
       {"=deleted %M0\ndeleted %M1\ndeleted %M2\n"},
       {"=symbase: no object at %M9\n"}},
      {{"count", "@", "%M"}, 0, {"=0\n"}},  // %M is the bits alone, not the words
      {{"find", "@", "--symbol", "Acquit"}, 1},
      {{"delete", "@", "%M0", "%M1"},
       1,
       {},
       {"=symbase: 2 addresses were not in the base: %M0 %M1\n"}},
      {{"count", "@"}, 0, {"=25\n"}},
  });
}

TEST_F(CliObjects, DeleteAKindAsksFirst) {
  Steps({{{"delete", "@", "--kind", "%Q"},
          2,
          {},
          {"give --yes to delete the 4 objects of kind %Q"}}});
  for (const char* answer : {"n", "y"}) {
    cli_testing::TerminalSession session({"delete", dir_.path(), "-k", "%Q"});
    ASSERT_TRUE(session.WaitFor("Delete the 4 objects of kind %Q (%Q2.0 ... %Q2.3)? [y/N] "))
        << session.Output();
    session.Send(answer);
    EXPECT_EQ(session.Finish(), *answer == 'y' ? 0 : 1) << session.Output();
    cli_testing::ExpectText(session.Output(), {*answer == 'y' ? "deleted 4" : "!deleted 4"});
    EXPECT_EQ(RunCli({"count", dir_.path(), "%Q"}).out, *answer == 'y' ? "0\n" : "4\n");
  }
  Steps({{{"delete", "@", "--kind=%MW", "--yes"}, 0, {"=deleted 8 objects\n"}},  // bits too
         {{"count", "@"}, 0, {"=16\n"}},
         {{"delete", "@", "-yk", "%MW"}, 1}});
}

TEST_F(CliObjects, DeleteTheAddressesOfAFile) {
  WriteFile("repere;symbole\n%I1.0;x\n%i1.1\n%X1\n", "a.csv");
  WriteFile("address\n%I1.2\nI1.3\n", "b.csv");
  Steps({{{"delete", "@", "--from", "@/a.csv"}, 0, {"=deleted 3 objects\n"}},
         {{"count", "@"}, 0, {"=25\n"}},
         {{"delete", "@", "--from", "@/b.csv"}, 3, {}, {"b.csv:3:1: address \"I1.3\""}},
         {{"count", "@"}, 0, {"=25\n"}}});
}

}  // namespace
