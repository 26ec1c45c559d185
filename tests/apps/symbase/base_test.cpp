// Opening a base missing, damaged, shared or read-only; processes racing;
// compact, check and repair.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "apps/symbase/cli_fixture.h"
#include "support/temp_dir.h"

namespace cli_testing {
namespace {

class CliOpen : public PlantBase {};
class CliRace : public CliBase {};

// The library's reports give the failed step by number; the check names the
// table, before any index file that failed with it.
TEST_F(CliOpen, AMissingOrDamagedTableIsNamedAndVerboseShowsTheReports) {
  testing_support::TempDir empty;
  RunSteps(
      empty.path(),
      {{{"list", "@"}, 3, {"2>=symbase: no symbol base in @/ ('symbase create @/' makes one)\n"}}});
  const std::string table = testing_support::ReadFileBytes(dir_.file("KR9.DBF"));
  const std::string comments = testing_support::ReadFileBytes(dir_.file("KR9CMT.DBF"));
  const std::string no_repair =
      ", and a repair cannot make a table again (restore it from a backup)\n";
  // No repair makes a table again, and create does not empty what is left.
  ASSERT_EQ(::unlink(dir_.file("KR9CMT.DBF").c_str()), 0);
  Steps({{{"list", "@"},
          3,
          {"2>=symbase: the base in @/ is damaged: its table KR9CMT.DBF is missing" + no_repair}},
         {{"create", "@"}, 1}});
  EXPECT_FALSE(testing_support::ReadFileBytes(dir_.file("KR9.DBF")).empty());
  testing_support::WriteFileBytes(dir_.file("KR9CMT.DBF"), "not a table");
  testing_support::WriteFileBytes(dir_.file("KR9S.MDX"), "not an index");
  const std::string damaged =
      " is damaged: its table KR9CMT.DBF cannot be opened: damaged table file (-60)" + no_repair;
  Steps(
      {{{"find", "@", "%MW1"}, 3, {"=", "2>=symbase: the base in @/" + damaged}},
       {{"find", "@", "%MW1", "--verbose"},
        3,
        {"2>symbase: library: error 146/4 code -60", "2>(Tabiserr line "}},
       // The repair stops at the table, changing nothing, and blames no other process.
       {{"repair", "@"},
        3,
        {"=KR9CMT.DBF: rows: cannot be opened: damaged table file (-60)\nthe base in @/ is "
         "damaged: 1 fault in its rows, which a repair cannot mend: a person must look at it\n"}}});
  // A field the base needs, missing from the main table.
  testing_support::WriteFileBytes(dir_.file("KR9CMT.DBF"), comments);
  std::string renamed = table;
  renamed.replace(renamed.find("SYMBOLE"), 7, "SYMBOLX");
  testing_support::WriteFileBytes(dir_.file("KR9.DBF"), renamed);
  Steps(
      {{{"add", "@", "%MW1", "Un"}, 3, {"2>its table KR9.DBF has no field SYMBOLE" + no_repair}}});
  // Index files missing together are named in one sentence.
  testing_support::WriteFileBytes(dir_.file("KR9.DBF"), table);
  for (const char* file : {"KR9R.MDX", "KR9S.MDX", "KR9CLER.MDX"}) {
    ASSERT_EQ(::unlink(dir_.file(file).c_str()), 0);
  }
  Steps(
      {{{"list", "@"}, 3, {"2>its index files KR9CLER.MDX, KR9R.MDX and KR9S.MDX are missing; "}}});
}

// A listing left open in its pager holds the base open: other commands read
// and write meanwhile; what needs the base to itself says it is in use (4).
TEST_F(CliOpen, WhatNeedsTheBaseToItselfWaitsForOtherProcesses) {
  TerminalSession lister({"list", dir_.path()},
                         {"PAGER=cat >/dev/null; echo paging; read answer </dev/tty"});
  ASSERT_TRUE(lister.WaitFor("paging")) << lister.Output();
  Steps({{{"add", "@", "%MW50", "Pendant"}, 0},
         {{"compact", "@"},
          4,
          {"2>=symbase: cannot compact: the base is in use by another process; try again\n"}}});
  ASSERT_EQ(::unlink(dir_.file("KR9R.MDX").c_str()), 0);
  Steps({{{"repair", "@"}, 4, {"2>another process has it open, and a repair needs it to itself"}}});
  lister.Send("\n");
  EXPECT_EQ(lister.Finish(), 0) << lister.Output();
}

// A way to run the program as a user who may read the base but not write
// it: root drops to nobody; "" when it cannot here.
std::string ReaderPrefix() {
  if (::geteuid() != 0) return " ";
  std::string nobody = "setpriv --reuid=65534 --regid=65534 --clear-groups";
  return RunCli({"--version"}, "", nobody).status == 0 ? nobody : "";
}

// A write is refused naming the file and the system's reason.
TEST_F(CliOpen, ABaseTheUserMayOnlyRead) {
  struct Writable {
    std::string path;
    ~Writable() { ::chmod(path.c_str(), 0755); }
  } restore{dir_.path()};
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0555), 0);
  for (const char* name :
       {"KR9.DBF", "KR9CMT.DBF", "KR9CLER.MDX", "KR9R.MDX", "KR9S.MDX", "KR9CMTR.MDX"}) {
    ASSERT_EQ(::chmod(dir_.file(name).c_str(), 0444), 0);
  }
  std::string reader = ReaderPrefix();
  if (reader.empty()) GTEST_SKIP() << "cannot run the program as a reader here";
  RunSteps(dir_.path(),
           {{{"find", "@", "%MW11"}, 0},
            {{"add", "@", "%MW50", "X"},
             3,
             {"2>=symbase: cannot write to the base in @/: KR9.DBF: Permission denied\n"}}},
           reader);
}

// Real processes on one base at once: imports, dry runs and readers.
TEST_F(CliRace, ConcurrentImportsAndReadersLoseNothing) {
  const std::string cli = ShellQuoted(SYMBASE_CLI_PATH) + " ";
  const std::string base = ShellQuoted(dir_.path()) + " ";
  const std::string header = "address,symbol,comment\n";
  std::string expected = header;
  std::string script;
  for (int writer = 0; writer < 4; ++writer) {
    std::string rows;
    for (int i = 0; i < 150; ++i) {
      std::string tag = std::to_string(writer) + "_" + std::to_string(i);
      rows += "%MW" + std::to_string(1000 * (writer + 1) + i) + ",S" + tag + ",Commentaire " + tag +
              "\n";
    }
    expected += rows;
    std::string file = dir_.file("part" + std::to_string(writer) + ".csv");
    testing_support::WriteFileBytes(file, header + rows);
    script += cli + "import " + base + ShellQuoted(file) + " >/dev/null || echo failed & ";
  }
  std::string reader = "for i in 1 2 3 4 5 6; do " + cli + "list " + base + ">/dev/null && " + cli +
                       "count " + base + ">/dev/null && " + cli + "check " + base + "&& " + cli +
                       "import -n " + base + ShellQuoted(dir_.file("part0.csv")) +
                       " >/dev/null || echo failed; done & ";
  CliRun together = RunShell("(" + script + reader + reader + "wait)", "");
  ExpectText(together.out + together.err, {"!failed", "!is damaged", "is sound"});

  // Then listed past the library's batches of fifty, one kind or every object.
  Steps({{{"check", "@"}, 0},
         {{"count", "@"}, 0, {"=600\n"}},
         {{"list", "@", "%mw"}, 0, {"\n600 objects\n", "%MW4149  S3_149  "}},
         {{"list", "@"}, 0, {"\n600 objects\n", "%MW1000  S0_0    C"}}});
  const char* sorted =
      "import csv, sys\n"
      "rows = list(csv.reader(sys.stdin))\n"
      "print(rows[0], sorted(map(tuple, rows[1:])))\n";
  EXPECT_EQ(Python(sorted, RunCli({"export", dir_.path()}).out), Python(sorted, expected));
}

class CliMaintenance : public PlantBase {};
class CliFindings : public CliBase {};

TEST_F(CliMaintenance, AnIndexFileMissingOrDamagedIsRepairedThenTheBaseCompacted) {
  struct Case {
    std::string file;
    const char* bytes;  // nullptr: the file is removed
    const char* state;
  } cases[] = {{"KR9CLER.MDX", nullptr, "missing"}, {"KR9R.MDX", "not an index", "damaged"}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.file);
    if (test.bytes == nullptr) {
      ASSERT_EQ(::unlink(dir_.file(test.file).c_str()), 0);
    } else {
      ASSERT_TRUE(testing_support::WriteFileBytes(dir_.file(test.file), test.bytes));
    }
    Steps({
        {{"add", "@", "%MW90", "Neuf"},
         3,
         {"=", "2>=symbase: the base in @/ cannot be used: its index file " + test.file + " is " +
                   test.state + "; 'symbase repair @/' rebuilds it from the tables\n"}},
        {{"check", "@"},
         3,
         {test.file + ": index: ",
          "the base in @/ is damaged: 1 fault in its index files or table headers; 'symbase "
          "repair @/' mends it\n"}},
        {{"check", "@", "--quiet"}, 3, {"="}},
        {{"check", "@", "--json"},
         3,
         {"\"sound\": false", "\"repairable\": true", "\"kind\": \"index\""}},
        {{"repair", "@"},
         0,
         {test.file + ": repaired: rebuilt from KR9.DBF",
          "KR9CMTR.MDX: repaired: rebuilt from KR9CMT.DBF", "\nthe base in @/ is sound\n"}},
    });
  }
  Steps({{{"repair", "@"}, 0, {"=the base in @/ is sound: nothing to repair\n"}},
         {{"delete", "@", "%MW10", "%Q2.0"}, 0}});
  const auto table_bytes = [&] { return std::filesystem::file_size(dir_.file("KR9.DBF")); };
  const auto before = table_bytes();
  Steps({{{"compact", "@"}, 0, {"compacted @/"}}, {{"count", "@"}, 0, {"=26\n"}}});
  EXPECT_LT(table_bytes(), before) << "the deleted rows are still in the table";
}

// A base damaged throughout: 20 findings of each file and kind, the rest
// counted, unless --all; --json holds them all.
TEST_F(CliFindings, ManyFindingsAreCountedPastTwentyOfAKind) {
  std::string rows = "address,symbol\n";
  for (int i = 0; i < 60; ++i) rows += "%MW" + std::to_string(i) + ",S" + std::to_string(i) + "\n";
  ASSERT_EQ(RunCli({"import", dir_.path(), WriteFile(rows)}).status, 0);
  // Every row's IND1 gets a first digit its address does not give.
  std::string table = testing_support::ReadFileBytes(dir_.file("KR9.DBF"));
  const auto word = [&](std::size_t at) {
    return static_cast<unsigned char>(table[at]) | static_cast<unsigned char>(table[at + 1]) << 8;
  };
  const std::size_t header = word(8), length = word(10);
  const auto damage = [&](std::size_t rows) {
    for (std::size_t row = 0; row < rows; ++row) table[header + row * length + 1 + 5] = '9';
    return testing_support::WriteFileBytes(dir_.file("KR9.DBF"), table);
  };
  const std::string more = " more like these not shown (--all shows every one)\n";
  const auto count = [](const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
      ++n;
    return n;
  };
  // Twenty of a kind are all shown, with nothing counted after them.
  ASSERT_TRUE(damage(20));
  CliRun twenty = RunCli({"check", dir_.path()});
  EXPECT_EQ(count(twenty.out, "KR9.DBF: rows: record"), 20u) << twenty.out;
  EXPECT_EQ(count(twenty.out, " more like these"), 0u) << twenty.out;

  ASSERT_TRUE(damage(60));
  CliRun shown = RunCli({"check", dir_.path()});
  EXPECT_EQ(shown.status, 3);
  EXPECT_EQ(count(shown.out, "KR9CLER.MDX: index: REPCLE_TAG: entry of record"), 20u) << shown.out;
  EXPECT_EQ(count(shown.out, "KR9.DBF: rows: record"), 20u) << shown.out;
  ExpectText(shown.out, {"KR9CLER.MDX: index: 40" + more + "KR9.DBF: rows: 40" + more +
                         "the base in " + dir_.path() + "/ is damaged: 60 faults in its rows"});
  CliRun all = RunCli({"check", dir_.path(), "--all"});
  EXPECT_EQ(all.status, 3);
  EXPECT_EQ(count(all.out, "\n"), 121u);  // every finding and the verdict, nothing more
  EXPECT_EQ(PythonJson("print(len(d['findings']))", RunCli({"check", dir_.path(), "--json"}).out),
            "120\n");
  // The repair leaves the row faults, shown the same way.
  EXPECT_EQ(count(RunCli({"repair", dir_.path()}).out, "KR9.DBF: rows: record"), 20u);
  EXPECT_EQ(count(RunCli({"repair", dir_.path(), "--all"}).out, "KR9.DBF: rows: record"), 60u);
}

}  // namespace
}  // namespace cli_testing
