// import and export: rows checked first, conflicts, moves, dry runs, a full
// disk; CSV as people have it; export for tools and spreadsheets, quoting
// what would split a field.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "apps/symbase/cli_fixture.h"
#include "support/temp_dir.h"
#include "symbase/tabis.h"

namespace cli_testing {
namespace {

// What Python's csv module prints with `print` after reading `sheet`, a
// spreadsheet export, into `rows`.
std::string ReadAsSpreadsheet(const std::string& sheet, const std::string& print) {
  return Python(
      "import csv, sys, io\n"
      "text = sys.stdin.buffer.read().decode('utf-8-sig')\n"
      "rows = list(csv.reader(io.StringIO(text, newline=''), delimiter=';'))\n" +
          print,
      sheet);
}

class CliImport : public PlantBase {
 protected:
  const std::string changes_ = Example("changes.csv");
};

TEST_F(CliImport, EveryBadRowIsReportedAndNothingWritten) {
  WriteFile(
      "address,symbol,comment\n%MW40,Bon,ok\n%MW41,4mauvais,x\nMW42,Ok42,x\n%MW44,B\"on,x\n"
      "%MW48,Ok48,\"a\"b\n%MW45,a,b,c\n%MW40,Encore,x\n%MW46,Bon,x\n%MW47,WHILE,x\n"
      "%MW43,Ok43,\"ouvert\n%MW50,Ok50,a" +
      std::string(1, '\0') + "b\n%MW49,Ok49,x\n%MW46,Ok46,x\n");
  CliRun run = RunCli({"import", dir_.path(), dir_.file("in.csv")});
  EXPECT_EQ(run.status, 3);
  std::size_t at = 0;
  for (const char* message : {
           "in.csv:3:7: symbol \"4mauvais\": not a symbol",
           "in.csv:4:1: address \"MW42\": not an address",
           "in.csv:5:8: a quote inside an unquoted field",
           "in.csv:6:15: text after a closing quote",
           "in.csv:7:11: more fields than the header's 3",
           "in.csv:8:1: address %MW40 is already on line 2",
           "in.csv:9:7: symbol Bon is already given to %MW40 on line 2",
           "in.csv:10:7: symbol \"WHILE\": a reserved word",
           "in.csv:11:12: a quoted field is not closed",
           "in.csv:12:12: comment \"a\\x00b\": holds a line break or a control character",
           "in.csv: 10 bad rows of 13; nothing was written (--skip-invalid imports the others)",
       }) {
    at = run.err.find(message, at);
    ASSERT_NE(at, std::string::npos) << message << "\n" << run.err;  // in this order
  }
  Steps({{{"find", "@", "%MW40"}, 1},
         {{"import", "@", "@/in.csv", "--skip-invalid"},
          0,
          {"imported 13 rows: 3 added, 0 changed", "10 invalid skipped"}}});
}

TEST_F(CliImport, ManyBadRowsAreCountedBeyondTheOnesShown) {
  std::string csv = "address,symbol,comment\n";
  for (int i = 0; i < 250; ++i)
    csv += "%MW" + std::to_string(i) + ",9x" + std::to_string(i) + ",\n";
  WriteFile(csv);
  WriteFile(csv.substr(0, csv.find("%MW20,")), "twenty.csv");  // as many as are shown
  WriteFile("", "empty.csv");
  WriteFile("%MW40,Bon,Comment\n", "headless.csv");
  Steps({
      {{"import", "@", "@/in.csv"},
       3,
       {"2>in.csv:21:", "2>!in.csv:22:", "2>... and 230 more problems (--verbose shows them all)",
        "2>250 bad rows of 250"}},
      {{"import", "@", "@/twenty.csv"}, 3, {"2>twenty.csv:21:", "2>!more problems"}},
      {{"import", "@", "@/nothing.csv"}, 3, {"2>nothing.csv: No such file or directory"}},
      {{"import", "@", "@/empty.csv"}, 3, {"2>is empty"}},
      {{"import", "@", "@/headless.csv"},
       3,
       {"2>\"%MW40\" is not a column name; the first line must be the header"}},
  });
}

TEST_F(CliImport, KeepLeavesEveryConflictAndSaysWhy) {
  Steps({
      {{"import", "@", changes_, "--keep"},
       0,
       {"imported 6 rows: 2 added, 0 changed, 0 moved, 1 unchanged, 3 kept, 0 refused",
        "kept %MW11 (line 3): the base has Seuil_arr\xC3\xAAt \"Niveau d'arr\xC3\xAAt en cm\", the "
        "file Seuil_bas \"Niveau d'arr\xC3\xAAt en cm\"\n",
        "kept line 5: %Q2.5 not added, its symbol Pompe_2 stays on %Q2.1"}},
      // A comment unchanged but for the blanks around it; one changed in its last character.
      {{"import", "@",
        WriteFile("address,symbol,comment\n%I1.2,,  Flotteur niveau haut cuve \n"
                  "%I1.0,Marche,Bouton marche (pupitre local]\n")},
       0,
       {"1 unchanged, 1 kept"}},
      // An address alone, and standard input given as "-".
      {{"import", "@", WriteFile("address,symbol,comment\n%MW90,,\n%MW91\n", "alone.csv")},
       0,
       {"imported 2 rows: 2 added"}},
      {{"export", "@", "%MW"}, 0, {"%MW91,,\n"}},
      {{"import", "@", "-"}, 0, {"1 added"}, "address\n%MW60\n"},
  });
}

TEST_F(CliImport, ReplaceNamesTheSymbolItMovesAndADryRunWritesNothing) {
  const std::string moved =
      "line 5: moved symbol Pompe_2 from %Q2.1 to %Q2.5; %Q2.1 is no longer in the base\n";
  const std::string summary = "6 rows: 2 added, 2 changed, 1 moved, 1 unchanged, 0 kept, 0 refused";
  const std::string before = testing_support::ReadFileBytes(dir_.file("KR9.DBF")) +
                             testing_support::ReadFileBytes(dir_.file("KR9CMT.DBF"));
  Steps({{{"import", "@", changes_, "--replace", "--dry-run"},
          0,
          {moved, "would import " + summary + " (dry run: nothing was written)"}}});
  EXPECT_EQ(testing_support::ReadFileBytes(dir_.file("KR9.DBF")) +
                testing_support::ReadFileBytes(dir_.file("KR9CMT.DBF")),
            before);
  WriteFile("address,symbol,comment\n%M0,Klaxon,Sir\xC3\xA8ne\n");
  Steps({{{"import", "@", changes_, "--replace"}, 0, {"=" + moved + "imported " + summary + "\n"}},
         {{"import", "@", "@/in.csv", "--ask"},
          0,
          {"Replacing moves the symbol Klaxon from %Q2.3 to %M0: %Q2.3 will no longer be in the "
           "base, nor the symbol Cycle_auto.\n"},
          "n\n"},
         {{"import", "@", "@/in.csv", "--replace"},
          0,
          {"line 2: moved symbol Klaxon from %Q2.3 to %M0; %Q2.3 is no longer in the base, nor the "
           "symbol Cycle_auto that %M0 had\n"}}});
}

TEST_F(CliImport, TheJsonSummaryAddsUpAndNamesTheMoves) {
  const char* reader =
      "parts = 'added changed moved unchanged kept refused invalid not_done'.split()\n"
      "print(d['rows'], sum(d[p] for p in parts), d['moves'], len(d['kept_rows']))\n";
  EXPECT_EQ(PythonJson(reader, RunCli({"import", dir_.path(), changes_, "--json"}).out),
            "6 6 [] 3\n");
  EXPECT_EQ(
      PythonJson(reader, RunCli({"import", dir_.path(), changes_, "--replace", "--json"}).out),
      "6 6 [{'line': 5, 'symbol': 'Pompe_2', 'from': '%Q2.1', 'to': '%Q2.5', "
      "'dropped_symbol': None}] 0\n");
}

TEST_F(CliImport, AskShowsBothVersionsAndWhatReplacingDoes) {
  // "x" is no answer; the cancel ("a") is not confirmed.
  Steps({
      {{"import", "@", changes_, "--ask"},
       0,
       {"line 3:\n  base  %MW11  Seuil_arr\xC3\xAAt  \"Niveau d'arr\xC3\xAAt en cm\"\n  file  "
        "%MW11  Seuil_bas  ",
        "Conflit de symboles : le rep\xC3\xA8re %MW11",
        "Replacing renames Seuil_arr\xC3\xAAt to Seuil_bas.\n",
        "line 5:\n  base  %Q2.1  Pompe_2  \"Commande contacteur pompe 2\"\n",
        "  file  %Q2.5  Pompe_2  \"Commande",
        "Replacing moves the symbol Pompe_2 from %Q2.1 to %Q2.5: %Q2.1 will no longer be in the "
        "base.\n",
        "Confirmez-vous l'interruption",
        "2 added, 1 changed, 1 moved, 1 unchanged, 0 kept, 1 refused"},
       "x\nn\no\na\nn\nt\n"},
  });
}

// One key answers, without Enter, however long it takes to come.
TEST_F(CliImport, AskTakesKeysWithoutEnterOnATerminal) {
  TerminalSession session({"import", dir_.path(), changes_, "--ask"});
  for (const char* key : {"n", "o", "\x03"}) {
    ASSERT_TRUE(session.WaitFor("a = annuler) ? ")) << session.Output();
    if (*key == 'n') std::this_thread::sleep_for(std::chrono::milliseconds(500));
    session.Send(key);
  }
  EXPECT_EQ(session.Finish(), 130) << session.Output();
  ExpectText(session.Output(),
             {"Conflit de symboles", "Conflit de rep", "imported 3 of 6 rows: 1 added, 1 changed",
              "1 refused, 3 not done", "import interrupted at line 5"});
}

TEST(CliImportFullDisk, TheReasonAndWhatWasDone) {
  testing_support::TempDir work;
  std::string csv = "address,symbol,comment\n";
  for (int i = 0; i < 3000; ++i)
    csv += "%MW" + std::to_string(i) + ",S" + std::to_string(i) + ",\n";
  testing_support::WriteFileBytes(work.file("rows.csv"), csv);
  ASSERT_EQ(::mkdir(work.file("disk").c_str(), 0700), 0);
  // A small file system of its own, in a mount namespace of this user (99:
  // none here); 98: the base does not check sound afterwards.
  const std::string cli = ShellQuoted(SYMBASE_CLI_PATH);
  const std::string script =
      At("mount -t tmpfs -o size=300k tmpfs @/disk || exit 99; " + cli +
             " create @/disk/base >/dev/null; " + cli + " import @/disk/base @/rows.csv; s=$?; " +
             cli + " check @/disk/base >/dev/null || exit 98; exit $s",
         work.path());
  CliRun run = RunShell("unshare -rm sh -c " + ShellQuoted(script), "");
  if (run.status == 99 || run.status == -1 || (run.status == 1 && run.out.empty())) {
    GTEST_SKIP() << "no mount namespace for a small file system here";
  }
  EXPECT_EQ(run.status, 3) << run.err;
  ExpectText(run.err, {": No space left on device\n"});
  ExpectText(run.out, {" of 3000 rows: ", " not done\n"});
}

class CliCsv : public PlantBase {};

TEST_F(CliCsv, ExportForToolsAndForSpreadsheets) {
  const std::string urgence =
      "%I1.1;Arr\xC3\xAAt_urgence;Arr\xC3\xAAt d'urgence, contact \xC3\xA0 ouverture";
  Steps({
      {{"export", "@", "%Q"},
       0,
       {"=address,symbol,comment\n%Q2.0,Pompe_1,Commande contacteur pompe 1\n"
        "%Q2.1,Pompe_2,Commande contacteur pompe 2\n"
        "%Q2.2,Voyant_d\303\251faut,Voyant rouge \302\253 d\303\251faut \302\273 en fa\303\247ade\n"
        "%Q2.3,Klaxon,Avertisseur sonore\n"}},
  });
  std::string sheet = RunCli({"export", dir_.path(), "%I", "--excel"}).out;
  ExpectText(sheet, {urgence + "\r\n"});
  EXPECT_EQ(sheet.substr(0, 27), "\357\273\277address;symbol;comment\r\n");  // a BOM first
  EXPECT_EQ(ReadAsSpreadsheet(sheet, "print(len(rows), {row[0]: row[2] for row in rows}['%I1.1'])"),
            "10 Arr\xC3\xAAt d'urgence, contact \xC3\xA0 ouverture\n");
}

// Comments that only the library can write (an import refuses line breaks)
// still come out as one field that CSV readers read back whole.
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
  EXPECT_EQ(ReadAsSpreadsheet(RunCli({"export", dir_.path(), "--excel"}).out,
                              "print(repr([row[2] for row in rows[1:]]))\n"),
            "['CR\\rhere', 'LF\\nhere', 'quote \"x\"', 'a,b', 'a;b', ' first', 'plain']\n");
}

// Devices are reached through links of the base's folder: an export that
// took one for a file would replace the link, never the device.
TEST_F(CliCsv, ExportToAFileReplacesItWholeOrNotAtAll) {
  const std::string file = dir_.file("out.csv");
  for (const char* device : {"full", "null"}) {
    std::filesystem::create_symlink(std::string("/dev/") + device, dir_.file(device));
  }
  Steps({{{"export", "@", "%Q", "-o", "@/out.csv"}, 0, {"=exported 4 objects to @/out.csv\n"}},
         {{"export", "@", "--output=@/full"},
          3,
          {"2>=symbase: cannot write @/full: No space left on device\n"}},
         {{"export", "@", "-o", "@/no/such/dir.csv"}, 3, {"2>No such file or directory"}}});
  EXPECT_EQ(testing_support::ReadFileBytes(file), RunCli({"export", dir_.path(), "%Q"}).out);
  // A new file gets the mode any new file gets; a replaced one keeps its own.
  const auto mode = [&file] {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
  };
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(mode(), 0666 & ~mask);
  ASSERT_EQ(::chmod(file.c_str(), 0604), 0);
  Steps({{{"export", "@", "%Q", "-o", "@/out.csv"}, 0}});
  EXPECT_EQ(mode(), 0604u);
  // With stdin closed, the file written may get descriptor 0.
  RunSteps(dir_.path(),
           {{{"export", "@", "%Q", "-o", "@/null"}, 0, {"=exported 4 objects to @/null\n"}}},
           "sh -c 'exec \"$0\" \"$@\" <&-'");
  // Cut short by a file size limit, an export leaves the file as it was and
  // no temporary file beside it.
  RunSteps(dir_.path(),
           {{{"export", "@", "-o", "@/out.csv"}, 3, {"2>cannot write @/out.csv: File too large"}}},
           "sh -c 'trap \"\" XFSZ; ulimit -f 1; exec \"$0\" \"$@\"'");
  EXPECT_EQ(testing_support::ReadFileBytes(file), RunCli({"export", dir_.path(), "%Q"}).out);
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    EXPECT_EQ(entry.path().filename().string().find("out.csv."), std::string::npos);
  }
}

TEST(CliCsvForms, EncodingsSeparatorsAndMarks) {
  struct Case {
    std::vector<std::string> options;
    std::string bytes;
    // What refuses the file, each after "2>"; else the comment of %MW80 once imported.
    std::vector<std::string> expected;
  } cases[] = {
      // A French spreadsheet saved as CSV: semicolons, Latin-1, French header.
      {{},
       "Rep\xE8re;Symbole;Commentaire\r\n%MW80;S80;Arr\xEAt\r\n",
       {"2>byte \\xE8 is not UTF-8; give --encoding cp1252 or latin1"}},
      // Capitals, accented ones too, and blanks around the names; the first
      // character of the upper half, the no-break space, kept in the text.
      {{"--encoding", "latin1"},
       "REP\xC8RE ;Symbole;\tCommentaire\r\n%MW80;S80;\"Arr\xEAt;\xA0\xAB fin \xBB\"\r\n",
       {"Arr\xC3\xAAt;\xC2\xA0\xC2\xAB fin \xC2\xBB"}},
      // A byte that is not UTF-8 is named with the column it stands in.
      {{},
       "address,symbol,comment\n%MW80,\xE9t\xE9,x\n",
       {"2>in.csv:2:7: symbol: byte \\xE9 is not UTF-8", "2>in.csv:2:9: symbol: byte \\xE9"}},
      // Windows-1252 has the euro sign and oe where Latin-1 has controls.
      {{"-e", "cp1252"},
       "address;symbol;comment\n%MW80;S80;\x80 \x9C\n",
       {"\xE2\x82\xAC \xC5\x93"}},
      {{"--encoding=latin1"},
       "address,symbol,comment\n%MW80,S80,\x80\n",
       {"2>in.csv:2:11: comment \"\\x80\": the character"}},
      {{},
       "\357\273\277address\tsymbol\tcomment\n%MW80\tS80\ttab, s\xC3\xA9par\xC3\xA9\n",
       {"tab, s\xC3\xA9par\xC3\xA9"}},
      {{"-d", "tab"}, "address\tsymbol\n%MW80\tS80\n", {""}},
      // The delimiter is the header's: commas in later rows do not outvote it.
      {{}, "address;symbol;comment\n%MW80;S80;a,b,c,d,e,f\n", {"a,b,c,d,e,f"}},
      // A bad byte belongs to its own row: skipped, it leaves the row before it.
      {{"--skip-invalid"}, "address,symbol,comment\n%MW80,S80,x\n%MW72,\xE9t\xE9,x\n", {"x"}},
      // UTF-8 has no surrogates: the last of them is refused as the first is.
      {{},
       "address,symbol,comment\n%MW80,S80,\xED\xBF\xBF\n",
       {"2>in.csv:2:11: comment: byte \\xED is not UTF-8"}},
      {{"--delimiter", ";"}, "address,symbol,comment\n", {"2>is not a column name"}},
      {{}, "Symbole,Adresse\nS80,%MW80\n", {""}},
  };
  for (const Case& test : cases) {
    testing_support::TempDir base;
    testing_support::WriteFileBytes(base.file("in.csv"), test.bytes);
    const bool refused = test.expected[0].compare(0, 2, "2>") == 0;
    Step import{{"import", "@", "@/in.csv"}, refused ? 3 : 0};
    if (refused) import.expected = test.expected;
    import.args.insert(import.args.end(), test.options.begin(), test.options.end());
    std::vector<Step> steps = {{{"create", "@"}, 0}, import};
    if (!refused) {
      steps.push_back(
          {{"find", "@", "%MW80"}, 0, {"symbol:  S80\n", "comment: " + test.expected[0] + "\n"}});
    }
    SCOPED_TRACE(test.bytes);
    RunSteps(base.path(), steps);
  }
}

}  // namespace
}  // namespace cli_testing
