// Transactions: a writer that dies is rolled back by the next open, a
// commit is all or nothing whatever call the disk stops at (with the page
// cache kept, or with power lost in durable mode), a failed write leaves the
// table as it was, readers and writers exclude each other, and a table that
// may only be read is read.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "platform/xbase/table_test_util.h"
#include "support/memory_file_system.h"
#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_support::MemoryFileSystem;
using testing_support::TempDir;
using testing_tables::MainTable;
using testing_tables::NumberedRow;

// The symbols of the live rows, in record order.
std::vector<std::string> LiveSymbols(MainTable& t) {
  return testing_tables::LiveValues(t.table, "SYMBOLE");
}

void Fill(MainTable& t, int rows) {
  for (int i = 1; i <= rows; ++i) {
    ASSERT_EQ(kOk, t.Append(NumberedRow(i, "S" + std::to_string(i))));
    ASSERT_EQ(kOk, TableUnlock(t.table));
  }
}

// What transaction `n` of the scenarios below does to the symbols of the
// rows (record order, "" for a deleted row): a row added, row n renamed,
// row n + 1 deleted.
std::vector<std::string> Apply(int n, std::vector<std::string> model) {
  model[static_cast<std::size_t>(n - 1)] = "Renamed" + std::to_string(n);
  model[static_cast<std::size_t>(n)] = "";
  model.push_back("New" + std::to_string(n));
  return model;
}

// The same through the engine, in one transaction; its commit's result.
int Change(MainTable& t, int n) {
  int r = EngineBegin(&t.session, 1);
  if (r == kOk) r = t.Append(NumberedRow(100 + n, "New" + std::to_string(n)));
  if (r == kOk) r = TableGo(t.table, n);
  if (r == kOk) r = t.Set("SYMBOLE", "Renamed" + std::to_string(n));
  if (r == kOk) r = TableGo(t.table, n + 1);
  if (r == kOk) r = RecordDelete(t.table);
  const int committed = r == kOk ? EngineCommit(&t.session) : EngineRollback(&t.session);
  return r == kOk ? committed : r;
}

std::vector<std::string> Live(const std::vector<std::string>& model) {
  std::vector<std::string> live;
  for (const std::string& s : model) {
    if (!s.empty()) live.push_back(s);
  }
  return live;
}

std::vector<std::string> Numbered(int rows) {
  std::vector<std::string> model;
  for (int i = 1; i <= rows; ++i) model.push_back("S" + std::to_string(i));
  return model;
}

TEST(Transactions, AWriterThatDiesIsRolledBackByTheNextOpen) {
  TempDir dir;
  {
    MainTable t(dir.path());
    ASSERT_TRUE(t.ok());
    Fill(t, 20);
  }
  const pid_t child = fork();
  if (child == 0) {
    MainTable t(dir.path(), false);
    // Everything but the commit: rows and the journal reach the files.
    if (!t.ok() || EngineBegin(&t.session, 1) != kOk) _exit(1);
    for (int i = 0; i < 3; ++i) t.Append(NumberedRow(50 + i, "Lost" + std::to_string(i)));
    TableGo(t.table, 2);
    t.Set("SYMBOLE", "Renamed");
    TableGo(t.table, 3);
    RecordDelete(t.table);
    TableGo(t.table, 4);  // moving off row 3 writes it
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  MainTable t(dir.path(), false);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(1, EngineTakeRecovery(&t.session));
  EXPECT_EQ(20, TableRecordCount(t.table));
  EXPECT_EQ(LiveSymbols(t), Numbered(20));
  EXPECT_EQ(kOk, t.Check());
}

TEST(Transactions, ReadersAndWritersExcludeEachOtherAndSeeEachOthersCommits) {
  TempDir dir;
  MainTable a(dir.path());
  ASSERT_TRUE(a.ok());
  Fill(a, 5);
  MainTable b(dir.path(), false);
  ASSERT_TRUE(b.ok());
  ASSERT_EQ(kOk, EngineBegin(&a.session, 0));
  EXPECT_EQ(kLocked, EngineBegin(&b.session, 1));
  EXPECT_EQ(kOk, EngineBegin(&b.session, 0));  // readers share
  EXPECT_EQ(kOk, EngineCommit(&b.session));
  EXPECT_EQ(kOk, EngineCommit(&a.session));

  const unsigned long seen = EngineChangeCounter(&a.session);
  ASSERT_EQ(kOk, Change(b, 2));
  EXPECT_EQ(seen, EngineChangeCounter(&a.session));  // not looked yet
  ASSERT_EQ(kOk, EngineBegin(&a.session, 0));
  EXPECT_NE(seen, EngineChangeCounter(&a.session));
  EXPECT_EQ(LiveSymbols(a), (std::vector<std::string>{"S1", "Renamed2", "S4", "S5", "New2"}));
  TagSelect(a.table, a.symbole);
  EXPECT_EQ(kOk, TableSeek(a.table, "New2"));
  EXPECT_EQ(kOk, EngineCommit(&a.session));
  EXPECT_EQ(kOk, a.Check());
}

// A machine whose disk stops after each call of a run of transactions in
// turn: after a restart (page cache kept) or a power loss (durable mode),
// the table holds the last committed state or the one in flight, and is
// sound.
void StopEverywhere(bool durable, bool power_loss) {
  const char* path = "base";
  bool stopped = true;
  for (long calls = 1; stopped; ++calls) {
    MemoryFileSystem fs;
    {
      MainTable t(path, true, &fs);
      ASSERT_TRUE(t.ok());
      Fill(t, 8);
    }
    fs.MarkAllDurable();
    std::vector<std::string> committed = Numbered(8), in_flight = committed;
    stopped = testing_tables::StopTheDisk(fs, calls, durable, power_loss, [&](MainTable& t) {
      for (int n = 1; n <= 5; n += 2) {
        in_flight = Apply(n, committed);
        if (Change(t, n) != kOk) break;
        committed = in_flight;
      }
    });
    MainTable t(path, false, &fs);
    ASSERT_TRUE(t.ok()) << "stopped after " << calls << " calls";
    const std::vector<std::string> found = LiveSymbols(t);
    EXPECT_TRUE(found == Live(committed) || found == Live(in_flight))
        << "stopped after " << calls << " calls";
    EXPECT_EQ(kOk, t.Check()) << "stopped after " << calls << " calls";
  }
}

TEST(Transactions, ACommitIsWholeWhereverTheProcessStops) { StopEverywhere(false, false); }

TEST(Transactions, ADurableCommitIsWholeWhereverThePowerGoes) { StopEverywhere(true, true); }

// A write refused by the disk, at each write call in turn: the transaction
// is rolled back (or, when the disk refuses that too, left marked for the
// next transaction to roll back once there is room), the table as it was,
// and the next one goes through.
TEST(Transactions, AFailedWriteLeavesTheTableAsItWas) {
  bool failed = true;
  for (long writes = 0; failed; ++writes) {
    MemoryFileSystem fs;
    {
      MainTable t("base", true, &fs);
      ASSERT_TRUE(t.ok());
      Fill(t, 8);
    }
    MainTable t("base", false, &fs);
    ASSERT_TRUE(t.ok());
    fs.FailWritesAfter(fs.writes() + writes);
    failed = Change(t, 3) != kOk;
    fs.FailWritesAfter(-1);
    const std::vector<std::string> expected = failed ? Numbered(8) : Apply(3, Numbered(8));
    ASSERT_EQ(kOk, EngineBegin(&t.session, 0));
    EXPECT_EQ(LiveSymbols(t), Live(expected)) << "failing after " << writes << " writes";
    EXPECT_EQ(kOk, EngineCommit(&t.session));
    EXPECT_EQ(kOk, t.Check()) << "failing after " << writes << " writes";
    EXPECT_EQ(kOk, Change(t, 5)) << "failing after " << writes << " writes";
    EXPECT_EQ(LiveSymbols(t), Live(Apply(5, expected)));
  }
}

TEST(Transactions, ATableThatMayOnlyBeReadIsReadAndRefusesWrites) {
  MemoryFileSystem fs;
  {
    MainTable t("base", true, &fs);
    ASSERT_TRUE(t.ok());
    Fill(t, 4);
  }
  fs.SetReadOnly(true);
  MainTable t("base", false, &fs);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(1, TableReadOnly(t.table));
  EXPECT_EQ(kErrReadOnly, EngineBegin(&t.session, 1));
  ASSERT_EQ(kOk, EngineBegin(&t.session, 0));
  EXPECT_EQ(LiveSymbols(t), Numbered(4));
  TagSelect(t.table, t.symbole);
  EXPECT_EQ(kOk, TableSeek(t.table, "S3"));
  EXPECT_EQ(kErrReadOnly, RecordDelete(t.table));
  EXPECT_EQ(kOk, EngineCommit(&t.session));
  EXPECT_EQ(kErrReadOnly, AppendStart(t.table, 0));
}

}  // namespace
}  // namespace xbase
