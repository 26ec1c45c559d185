// import: every row checked first, conflicts kept or replaced, moves named,
// dry runs and the summary for scripts.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "apps/symbase/cli_process.h"
#include "apps/symbase/import_fixture.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::CliRun;
using cli_testing::Contains;
using cli_testing::Example;
using cli_testing::RunCli;

class CliImport : public cli_testing::PlantBase {};

TEST_F(CliImport, EveryBadRowIsReportedAndNothingWritten) {
  std::string csv =
      "address,symbol,comment\n"
      "%MW40,Bon,ok\n"
      "%MW41,4mauvais,x\n"
      "MW42,Ok42,x\n"
      "%MW44,B\"on,x\n"
      "%MW48,Ok48,\"a\"b\n"
      "%MW45,a,b,c\n"
      "%MW40,Encore,x\n"
      "%MW46,Bon,x\n"
      "%MW47,WHILE,x\n"
      "%MW43,Ok43,\"ouvert\n"
      "%MW49,Ok49,x\n";
  CliRun run = RunCli({"import", dir_.path(), WriteFile(csv)});
  EXPECT_EQ(run.status, 3);
  const char* expected[] = {
      "in.csv:3:7: symbol \"4mauvais\": not a symbol",
      "in.csv:4:1: address \"MW42\": not an address",
      "in.csv:5:8: a quote inside an unquoted field",
      "in.csv:6:15: text after a closing quote",
      "in.csv:7:11: more fields than the header's 3",
      "in.csv:8:1: address %MW40 is already on line 2",
      "in.csv:9:7: symbol Bon is already given to %MW40 on line 2",
      "in.csv:10:7: symbol \"WHILE\": a reserved word",
      "in.csv:11:12: a quoted field is not closed",
      "in.csv: 9 bad rows of 11; nothing was written (--skip-invalid imports the others)",
  };
  std::size_t at = 0;
  for (const char* message : expected) {
    std::size_t found = run.err.find(message, at);
    EXPECT_NE(found, std::string::npos) << message << "\n" << run.err;
    if (found != std::string::npos) at = found;
  }
  EXPECT_EQ(Symbol("%MW40"), "<none>");
  EXPECT_EQ(Symbol("%MW49"), "<none>");

  CliRun skipped = RunCli({"import", dir_.path(), dir_.file("in.csv"), "--skip-invalid"});
  EXPECT_EQ(skipped.status, 0) << skipped.err;
  EXPECT_TRUE(Contains(skipped.out,
                       "imported 11 rows: 2 added, 0 changed, 0 moved, 0 unchanged, "
                       "0 kept, 0 refused, 9 invalid skipped"))
      << skipped.out;
  EXPECT_EQ(Symbol("%MW40"), "Bon");
  EXPECT_EQ(Symbol("%MW49"), "Ok49");
}

TEST_F(CliImport, ManyBadRowsAreCountedBeyondTheOnesShown) {
  std::string csv = "address,symbol,comment\n";
  for (int i = 0; i < 250; ++i)
    csv += "%MW" + std::to_string(i) + ",9x" + std::to_string(i) + ",\n";
  CliRun run = RunCli({"import", dir_.path(), WriteFile(csv)});
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(Contains(run.err, "in.csv:21:")) << run.err;
  EXPECT_FALSE(Contains(run.err, "in.csv:22:"));
  EXPECT_TRUE(Contains(run.err, "... and 230 more problems (--verbose shows them all)"));
  EXPECT_TRUE(Contains(run.err, "250 bad rows of 250"));
  EXPECT_TRUE(Contains(RunCli({"-v", "import", dir_.path(), dir_.file("in.csv")}).err,
                       "in.csv:251:8: symbol \"9x249\""));
  // A missing or empty file.
  CliRun missing = RunCli({"import", dir_.path(), dir_.file("nothing.csv")});
  EXPECT_EQ(missing.status, 3);
  EXPECT_TRUE(Contains(missing.err, "nothing.csv: No such file or directory"));
  EXPECT_TRUE(Contains(RunCli({"import", dir_.path(), WriteFile("")}).err, "is empty"));
  EXPECT_TRUE(Contains(RunCli({"import", dir_.path(), WriteFile("%MW40,Bon,Comment\n")}).err,
                       "\"%MW40\" is not a column name; the first line must be the header"));
}

TEST_F(CliImport, KeepLeavesEveryConflictAndSaysWhy) {
  CliRun run = RunCli({"import", dir_.path(), Example("changes.csv"), "--keep"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out,
                       "imported 6 rows: 2 added, 0 changed, 0 moved, 1 unchanged, "
                       "3 kept, 0 refused"))
      << run.out;
  EXPECT_TRUE(
      Contains(run.out,
               "kept %MW11 (line 3): the base has Seuil_arr\xC3\xAAt \"Niveau d'arr\xC3\xAAt "
               "en cm\", the file Seuil_bas \"Niveau d'arr\xC3\xAAt en cm\"\n"))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "kept line 5: %Q2.5 not added, its symbol Pompe_2 stays on %Q2.1"));
  EXPECT_EQ(Comment("%MW10"), "Niveau de d\xC3\xA9marrage en cm");
  EXPECT_EQ(Symbol("%Q2.1"), "Pompe_2");
  EXPECT_EQ(Symbol("%Q2.5"), "<none>");
  // Keeping is the default.
  CliRun again = RunCli({"import", dir_.path(), Example("changes.csv")});
  EXPECT_TRUE(Contains(again.out, "0 added, 0 changed, 0 moved, 3 unchanged, 3 kept")) << again.out;
}

TEST_F(CliImport, ReplaceNamesTheSymbolItMoves) {
  CliRun run = RunCli({"import", dir_.path(), Example("changes.csv"), "--replace"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "line 5: moved symbol Pompe_2 from %Q2.1 to %Q2.5; %Q2.1 is no longer in the base\n"
            "imported 6 rows: 2 added, 2 changed, 1 moved, 1 unchanged, 0 kept, 0 refused\n");
  EXPECT_EQ(Symbol("%MW11"), "Seuil_bas");
  EXPECT_EQ(Symbol("%Q2.5"), "Pompe_2");
  EXPECT_EQ(Symbol("%Q2.1"), "<none>");
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "30\n");  // the moved row is not a new one
  EXPECT_EQ(RunCli({"check", dir_.path()}).status, 0);
}

// A symbol moved onto an address that had one of its own: both are named.
TEST_F(CliImport, AMoveOntoANamedAddressSaysWhichSymbolLeaves) {
  CliRun run =
      RunCli({"import", dir_.path(),
              WriteFile("address,symbol,comment\n%M0,Klaxon,Sir\xC3\xA8ne\n"), "--replace"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out,
                       "line 2: moved symbol Klaxon from %Q2.3 to %M0; %Q2.3 is no longer in the "
                       "base, nor the symbol Cycle_auto that %M0 had\n"))
      << run.out;
  EXPECT_EQ(RunCli({"find", dir_.path(), "--symbol", "Cycle_auto"}).status, 1);
}

TEST_F(CliImport, DryRunWritesNothing) {
  std::string before = testing_support::ReadFileBytes(dir_.file("KR9.DBF")) +
                       testing_support::ReadFileBytes(dir_.file("KR9CMT.DBF"));
  CliRun run = RunCli({"import", dir_.path(), Example("changes.csv"), "--replace", "--dry-run"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "line 5: moved symbol Pompe_2 from %Q2.1 to %Q2.5"));
  EXPECT_TRUE(Contains(run.out,
                       "would import 6 rows: 2 added, 2 changed, 1 moved, 1 unchanged, "
                       "0 kept, 0 refused (dry run: nothing was written)"))
      << run.out;
  EXPECT_EQ(testing_support::ReadFileBytes(dir_.file("KR9.DBF")) +
                testing_support::ReadFileBytes(dir_.file("KR9CMT.DBF")),
            before);
  EXPECT_EQ(Symbol("%Q2.1"), "Pompe_2");
}

TEST_F(CliImport, TheJsonSummaryAddsUpAndNamesTheMoves) {
  const char* reader =
      "import json, sys\n"
      "d = json.load(sys.stdin)\n"
      "parts = ['added', 'changed', 'moved', 'unchanged', 'kept', 'refused', 'invalid', "
      "'not_done']\n"
      "print(d['rows'], sum(d[p] for p in parts), d['moves'], len(d['kept_rows']))\n";
  CliRun kept = RunCli({"import", dir_.path(), Example("changes.csv"), "--json"});
  EXPECT_EQ(cli_testing::Python(reader, kept.out), "6 6 [] 3\n") << kept.out;
  CliRun run = RunCli({"import", dir_.path(), Example("changes.csv"), "--replace", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(cli_testing::Python(reader, run.out),
            "6 6 [{'line': 5, 'symbol': 'Pompe_2', 'from': '%Q2.1', 'to': '%Q2.5', "
            "'dropped_symbol': None}] 0\n");
}

TEST_F(CliImport, AnAddressAloneGoesInAndComesBackOut) {
  CliRun run =
      RunCli({"import", dir_.path(), WriteFile("address,symbol,comment\n%MW90,,\n%MW91\n")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "imported 2 rows: 2 added"));
  EXPECT_EQ(Symbol("%MW90"), "");
  EXPECT_TRUE(Contains(RunCli({"export", dir_.path(), "%MW"}).out, "%MW91,,\n"));
}

TEST_F(CliImport, ImportReadsStdinGivenAsDash) {
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

}  // namespace

// A disk that fills up during an import: the system's reason is named, and
// the summary says what was done; those rows stay, and the base checks clean.
TEST(CliImportFullDisk, TheReasonAndWhatWasDone) {
  testing_support::TempDir work;
  std::string csv = "address,symbol,comment\n";
  for (int i = 0; i < 3000; ++i)
    csv += "%MW" + std::to_string(i) + ",S" + std::to_string(i) + ",\n";
  testing_support::WriteFileBytes(work.file("rows.csv"), csv);
  ASSERT_EQ(::mkdir(work.file("disk").c_str(), 0700), 0);
  // A small file system of its own, in a mount namespace of this user.
  std::string cli = cli_testing::ShellQuoted(SYMBASE_CLI_PATH);
  std::string base = work.file("disk/base");
  std::string script = "mount -t tmpfs -o size=300k tmpfs " + work.file("disk") + " || exit 99; " +
                       cli + " create " + base + " >/dev/null; " + cli + " import " + base + " " +
                       work.file("rows.csv") + " >" + work.file("out") + " 2>" + work.file("err") +
                       "; echo $? >" + work.file("status") + "; " + cli + " check " + base + " >" +
                       work.file("check");
  int raw = std::system(
      ("unshare -rm sh -c " + cli_testing::ShellQuoted(script) + " 2>/dev/null").c_str());
  if (raw == -1 || !WIFEXITED(raw) || WEXITSTATUS(raw) == 99 ||
      testing_support::ReadFileBytes(work.file("status")).empty()) {
    GTEST_SKIP() << "no mount namespace for a small file system here";
  }
  EXPECT_EQ(testing_support::ReadFileBytes(work.file("status")), "3\n");
  std::string err = testing_support::ReadFileBytes(work.file("err"));
  EXPECT_TRUE(Contains(err, ": No space left on device\n")) << err;
  std::string out = testing_support::ReadFileBytes(work.file("out"));
  EXPECT_TRUE(Contains(out, " of 3000 rows: ")) << out;
  EXPECT_TRUE(Contains(out, " not done\n")) << out;
  EXPECT_TRUE(Contains(testing_support::ReadFileBytes(work.file("check")), " is sound\n"));
}
