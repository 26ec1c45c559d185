// The tool's usage errors and demo; each command's output, errors and
// exit codes on the example plant; at a terminal, the pager and Ctrl-C.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "apps/symbase/cli_fixture.h"
#include "support/temp_dir.h"

namespace cli_testing {
namespace {

TEST(Cli, UsageErrorsExitWithTwoAndPointToTheHelp) {
  RunSteps("/tmp",
           {
               {{}, 2, {"Usage: symbase"}},
               {{"frobnicate", "@"}, 2, {"=", "2>unknown command \"frobnicate\""}},
               {{"add", "@"}, 2, {"=", "2>ADDRESS is required\nTry 'symbase add --help'."}},
               {{"import", "@", "x.csv", "--keep", "--replace"}, 2, {"=", "2>excludes"}},
               {{"import", "@", "x.csv", "--encoding", "ebcdic"}, 2, {"=", "2>ebcdic"}},
               {{"import", "@", "-", "--ask"}, 2},
               {{"find", "@", "%MW100000"}, 2, {"=", "2>its numbers go up to 99999"}},
               {{"find", "@", "%NOWORD"}, 2, {"=", "2>not an address of the controller"}},
               {{"edit", "@", "%MW1"}, 2, {"=", "2>give --symbol, --comment or both"}},
               {{"delete", "@"}, 2, {"=", "2>give ADDRESS..., --kind PREFIX or --from FILE"}},
               {{"count", "@", "MW"}, 2},
               {{"create", "@/" + std::string(80, 'd')},
                2,
                {"2>is too long: the library takes at most 72 characters"}},
           });
}

TEST(CliDemo, RunsEveryStepAndRemovesItsDirectory) {
  testing_support::TempDir tmp;
  CliRun run = RunCli({"demo", SYMBASE_EXAMPLES_DIR}, "", "env TMPDIR=" + ShellQuoted(tmp.path()));
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.err, "");
  ExpectText(run.out,
             {"$ symbase create ", "$ symbase diff ", "--dry-run", "3 kept",
              "address: %Q2.5\nsymbol:  Pompe_2\n", "\"sound\": true", "The tour is over."});
  const std::string intro = "sample base in ";
  std::size_t at = run.out.find(intro) + intro.size();
  std::string dir = run.out.substr(at, run.out.find('\n', at) - at);
  struct stat info {};
  EXPECT_NE(::stat(dir.c_str(), &info), 0) << dir;
  EXPECT_EQ(dir.rfind(tmp.path() + "/symbase-demo-", 0), 0u) << dir;  // where TMPDIR says

  RunSteps(
      "",
      {{{"demo", "/nonexistent-examples"}, 3, {"2>no example tables in /nonexistent-examples"}}});
}

class CliObjects : public PlantBase {};

// "PAGER" alone unsets it; with no PAGER, "less" when the PATH has one.
TEST_F(CliObjects, ListingsGoThroughThePagerOnATerminalOnly) {
  const std::string pager = "PAGER=sed s/^/paged:/";
  testing_support::TempDir bin;
  ASSERT_TRUE(testing_support::WriteFileBytes(
      bin.file("less"), "#!/bin/sh\nwhile IFS= read -r l; do echo \"less:$l\"; done\n"));
  ASSERT_EQ(::chmod(bin.file("less").c_str(), 0755), 0);
  struct Case {
    std::vector<std::string> args, environment, expected;
  } cases[] = {
      {{"list"}, {pager}, {"paged:%Q2.3    Klaxon", "paged:4 objects"}},
      {{"--no-pager", "list"}, {pager}, {"!paged:", "4 objects"}},
      {{"list"}, {"PAGER", "PATH="}, {"!paged:", "4 objects"}},
      {{"list"}, {"PAGER", "PATH=" + bin.path()}, {"less:%Q2.3    Klaxon"}},
  };
  for (Case& test : cases) {
    test.args.insert(test.args.end(), {dir_.path(), "%Q"});
    TerminalSession session(test.args, test.environment);
    EXPECT_EQ(session.Finish(), 0);
    ExpectText(session.Output(), test.expected);
  }
  RunSteps(dir_.path(), {{{"list", "@"}, 0, {"!paged:", "28 objects\n"}}},
           "env 'PAGER=sed s/^/paged:/'");
}

TEST_F(CliObjects, CtrlCStopsALongImportBetweenTwoRows) {
  std::string csv = "address,symbol,comment\n";
  std::vector<std::string> addresses;
  for (const char* kind : {"MW", "MD", "KW", "KD"}) {
    for (int i = 1000; i < 100000; ++i) {
      addresses.push_back("%" + std::string(kind) + std::to_string(i));
      csv += addresses.back() + "," + kind + std::to_string(i) + ",Commentaire\n";
    }
  }
  const std::size_t rows = addresses.size();
  std::string file = WriteFile(csv, "long.csv");
  TerminalSession session({"import", dir_.path(), file});
  ASSERT_TRUE(session.WaitFor("importing [", 60)) << session.Output();
  session.Send("\x03");
  ASSERT_EQ(session.Finish(120), 130) << session.Output();
  const std::string& out = session.Output();
  std::size_t at = out.find("imported ");
  ASSERT_NE(at, std::string::npos) << out;
  std::size_t done = std::stoul(out.substr(at + 9));
  ASSERT_GT(done, 0u);
  ASSERT_LT(done, rows);
  ExpectText(
      out,
      {" of " + std::to_string(rows) + " rows: " + std::to_string(done) + " added, 0 changed",
       std::to_string(rows - done) + " not done",
       "import interrupted at line " + std::to_string(done + 2) + "; the rows before it stay"});
  Steps({{{"count", "@"}, 0, {"=" + std::to_string(28 + done) + "\n"}},
         {{"check", "@"}, 0, {"=the base in @/ is sound\n"}},
         {{"find", "@", addresses[done - 1]}, 0, {"comment: Commentaire"}},
         {{"find", "@", addresses[done]}, 1, {}}});
}

// Texts go to the base in Windows-1252 and come back in UTF-8.
TEST_F(CliObjects, EachCommandSaysWhatItDidAndWhatIsNotThere) {
  const std::string symbol = "D\303\251bit_\303\251t\303\251";
  const std::string comment = "\xC5\x93uvre \xE2\x82\xAC \xC3\x89T\xC3\x89";
  std::string long_symbol;
  for (int i = 0; i < 32; ++i) long_symbol += "\xC3\xA9";
  WriteFile("repere;symbole\n%I1.0;x\n%i1.1\n%X1\n", "a.csv");
  WriteFile("address\n%I1.2\nI1.3\n", "b.csv");
  Steps({
      {{"add", "@", "%MW30", symbol, comment}, 0},
      {{"find", "@", "--symbol", symbol}, 0, {"symbol:  " + symbol + "\n", "comment: " + comment}},
      {{"add", "@", "%MW31", long_symbol}, 0},
      {{"find", "@", "%MW31"}, 0, {long_symbol}},
      {{"search", "@", long_symbol}, 0, {"%MW31"}},
      {{"add", "@", "%MW40", "Pompe_1"}, 1, {"2>Pompe_1 is already carried by %Q2.0"}},
      {{"add", "@", "%MW10", "Autre"}, 1, {"2>%MW10 is already in the base"}},
      {{"add", "@", "%MW40", "Ok", "\xC3"}, 2, {"2>not valid UTF-8"}},
      {{"add", "@", "%MW40", "Ok", std::string(509, 'c')}, 2, {"2>at most 508"}},
      {{"count", "@"}, 0, {"=30\n"}},
      {{"edit", "@", "%MW10", "--symbol", "Seuil_max", "-c", "Nouveau"}, 0, {"=changed %MW10\n"}},
      {{"find", "@", "%MW10"}, 0, {"=address: %MW10\nsymbol:  Seuil_max\ncomment: Nouveau\n"}},
      {{"edit", "@", "%MW10", "-s", "Seuil_max"}, 0, {"=%MW10 unchanged\n"}},
      {{"edit", "@", "%MW99", "-c", "x"}, 1, {"2>no object at %MW99"}},
      {{"find", "@", "--symbol", "klaxon"}, 1, {"2>did you mean Klaxon (%Q2.3)?"}},
      {{"find", "@", "--symbol", "Tempo_6"},
       1,
       {"2>=symbase: no object carries the symbol Tempo_6\n"}},
      {{"search", "@", "Pompe", "--begins"},
       0,
       {"=ADDRESS  SYMBOL   COMMENT\n%Q2.0    Pompe_1  Commande contacteur pompe 1\n"
        "%Q2.1    Pompe_2  Commande contacteur pompe 2\n"}},
      {{"search", "@", std::string(5000, 'a')},
       1,
       {"2>=symbase: no object matches \"" + std::string(40, 'a') + "...\"\n"}},
      {{"delete", "@", "%M0", "%M1", "%M9", "%M2"},
       1,
       {"=deleted %M0\ndeleted %M1\ndeleted %M2\n", "2>=symbase: no object at %M9\n"}},
      {{"delete", "@", "%M0", "%M1"}, 1, {"2>2 addresses were not in the base: %M0 %M1"}},
      {{"delete", "@", "--from", "@/a.csv"}, 0, {"=deleted 3 objects\n"}},
      {{"delete", "@", "--from", "@/b.csv"}, 3, {"2>b.csv:3:1: address \"I1.3\""}},
      {{"create", "@"}, 1, {"2>already"}},
      {{"create", "@/a/b"}, 0},
      {{"count", "@/a/b/"}, 0, {"=0\n"}},
      {{"create", "@", "--replace"}, 0},
      {{"count", "@"}, 0, {"=0\n"}},
  });
}

TEST_F(CliObjects, JsonIsReadByPython) {
  const char* reader =
      "if isinstance(d, list): d = [o['address'] + ':' + o['comment'] for o in d]\n"
      "print(len(d), '|'.join(d)) if isinstance(d, list) else print(d)\n";
  ASSERT_EQ(RunCli({"edit", dir_.path(), "%Q2.3", "-c", "Dit \"fort\" \\ stop"}).status, 0);
  struct Case {
    std::vector<std::string> args;
    const char* printed;
  } cases[] = {
      {{"list", dir_.path(), "%Q", "--json"},
       "4 %Q2.0:Commande contacteur pompe 1|%Q2.1:Commande contacteur pompe 2|%Q2.2:Voyant rouge "
       "\302\253 d\303\251faut \302\273 en fa\303\247ade|%Q2.3:Dit \"fort\" \\ stop\n"},
      {{"find", dir_.path(), "%Q2.3", "--json"},
       "{'address': '%Q2.3', 'symbol': 'Klaxon', 'comment': 'Dit \"fort\" \\\\ stop'}\n"},
      {{"count", dir_.path(), "%MW", "--json"}, "{'prefix': '%MW', 'count': 8}\n"},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(PythonJson(reader, RunCli(test.args).out), test.printed) << test.args[0];
  }
}

TEST_F(CliObjects, DiffOfTwoBasesOrABaseAndAFile) {
  testing_support::TempDir other;
  RunSteps(other.path(), {{{"create", "@"}, 0},
                          {{"import", "@", Example("plant.csv")}, 0},
                          {{"diff", dir_.path(), "@"}, 0, {"=no difference\n"}},
                          {{"add", "@", "%MW15", "Temps", "Heures"}, 0},
                          {{"edit", "@", "%MW11", "-s", "Seuil_bas", "-c", "Bas"}, 0},
                          {{"delete", "@", "%C0"}, 0}});
  Steps({{{"diff", "@", other.path()},
          1,
          {"=- %C0 Compteur_cycles \"Comptage des cycles complets\"\n"
           "~ %MW11  symbol Seuil_arr\xC3\xAAt -> Seuil_bas  comment \"Niveau d'arr\xC3\xAAt en "
           "cm\" -> "
           "\"Bas\"\n+ %MW15 Temps \"Heures\"\n1 added, 1 removed, 1 changed\n"}}});
  const char* reader =
      "print([o['address'] for o in d['added']], [o['address'] for o in d['removed']],\n"
      "      [(c['address'], c['before']['symbol'], c['after']['comment']) for c in "
      "d['changed']])\n";
  EXPECT_EQ(PythonJson(reader, RunCli({"diff", dir_.path(), other.path(), "--json"}).out),
            "['%MW15'] ['%C0'] [('%MW11', 'Seuil_arr\xC3\xAAt', 'Bas')]\n");
  WriteFile(RunCli({"export", dir_.path(), "--excel"}).out, "same.csv");
  WriteFile("adresse;symbole\n%MW10;Seuil\n", "one.csv");
  WriteFile("address\n%MW1\nxx\n", "bad.csv");
  Steps({{{"diff", "@/same.csv", "@"}, 0},
         {{"diff", "@", "@/one.csv"},
          1,
          {"~ %MW10  symbol Seuil_d\xC3\xA9marrage -> Seuil  comment",
           "0 added, 27 removed, 1 changed\n"}},
         {{"diff", "@", "@/bad.csv"}, 3, {"2>bad.csv:3:1: address \"xx\""}}});
}

}  // namespace
}  // namespace cli_testing
