// Transactions and faults: commits and compactions all or nothing whatever
// call the disk stops at or refuses, readers and writers of one process and of
// real processes excluding each other, a table that may only be read. A disk
// that fills up is the stress trial "disk".

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/xbase/table_test_util.h"
#include "support/child_exit.h"
#include "support/fault_file_system.h"
#include "support/memory_file_system.h"
#include "support/temp_dir.h"
#include "xbase/dbf_file.h"
#include "xbase/engine.h"
#include "xbase/journal.h"

namespace xbase {
namespace {

using testing_support::MemoryFileSystem;
using testing_support::TempDir;
using testing_tables::Fill;
using testing_tables::MainTable;
using testing_tables::NumberedRow;
using testing_tables::Store;
using Model = std::vector<std::string>;  // each row's symbol, "" when deleted

Model Symbols(Table* table) {
  Model model;
  TagSelect(table, nullptr);
  for (int r = TableTop(table); r == kOk; r = TableSkip(table, 1)) {
    model.push_back(RecordIsDeleted(table) ? "" : testing_tables::Trimmed(table, "SYMBOLE"));
  }
  return model;
}

Model Numbered(int rows) {
  Model model;
  for (int i = 1; i <= rows; ++i) model.push_back("S" + std::to_string(i));
  return model;
}

Model Live(Model model) {
  model.erase(std::remove(model.begin(), model.end(), ""), model.end());
  return model;
}

// What a transaction does: kMixed adds a row, renames row n and deletes row
// n + 1; kGrow adds and renames, and kDrop adds and deletes, both leaving
// what they write to the commit (the redo journal's kind).
enum class Shape { kMixed, kGrow, kDrop };

// What transaction `n` does to the model.
Model Apply(int n, Model model, Shape shape = Shape::kMixed) {
  if (shape != Shape::kDrop) model[static_cast<std::size_t>(n - 1)] = "Renamed" + std::to_string(n);
  if (shape != Shape::kGrow) model[static_cast<std::size_t>(n)] = "";
  model.push_back("New" + std::to_string(n));
  return model;
}

// The same through the engine, in one transaction; its commit's result.
int Change(MainTable& t, int n, Shape shape = Shape::kMixed) {
  int r = EngineBegin(&t.session, 1);
  if (r == kOk) r = t.Append(NumberedRow(100 + n, "New" + std::to_string(n)));
  if (r == kOk && shape != Shape::kDrop) r = TableGo(t.table, n);
  if (r == kOk && shape != Shape::kDrop) r = t.Set("SYMBOLE", "Renamed" + std::to_string(n));
  if (r == kOk && shape != Shape::kGrow) r = TableGo(t.table, n + 1);
  if (r == kOk && shape != Shape::kGrow) r = RecordDelete(t.table);
  const int committed = r == kOk ? EngineCommit(&t.session) : EngineRollback(&t.session);
  return r == kOk ? committed : r;
}

// Two sessions on one table of five rows, as two processes would be.
class TwoSessions : public testing::Test {
 protected:
  void SetUp() override {
    Fill(a, 5);
    ASSERT_TRUE(b.ok());
  }
  TempDir dir;
  MainTable a{dir.path()};
  MainTable b{dir.path(), false};
};

TEST_F(TwoSessions, ReadersAndWritersExcludeEachOtherAndSeeEachOthersCommits) {
  ASSERT_EQ(kOk, EngineBegin(&a.session, 0));
  EXPECT_EQ(kErrArgument, EngineBegin(&a.session, 0));  // one begun transaction at a time
  ASSERT_TRUE((MainTable{dir.path(), false}.ok()));     // another open's close keeps a's lock
  EXPECT_EQ(kLocked, EngineBegin(&b.session, 1));
  EXPECT_EQ(kOk, EngineBegin(&b.session, 0));  // readers share
  EXPECT_EQ(kOk, EngineCommit(&b.session));
  EXPECT_EQ(kOk, EngineCommit(&a.session));

  const unsigned long seen = EngineChangeCounter(&a.session);
  ASSERT_EQ(kOk, Change(b, 2));
  EXPECT_EQ(seen, EngineChangeCounter(&a.session));  // not looked yet
  EXPECT_EQ(6, TableRecordCount(a.table));           // a count outside a transaction looks
  ASSERT_EQ(kOk, EngineBegin(&a.session, 0));
  EXPECT_NE(seen, EngineChangeCounter(&a.session));
  EXPECT_EQ(Symbols(a.table), Apply(2, Numbered(5)));
  TagSelect(a.table, a.symbole);
  EXPECT_EQ(kOk, TableSeek(a.table, "New2"));
  EXPECT_EQ(kOk, EngineCommit(&a.session));
  EXPECT_EQ(kOk, a.Check());

  // A write begun on its own is committed by the next begin, which then
  // holds the lock.
  ASSERT_EQ(kOk, TableGo(a.table, 1));
  ASSERT_EQ(kOk, RecordDelete(a.table));
  ASSERT_EQ(kOk, EngineBegin(&a.session, 1));
  EXPECT_EQ(kLocked, EngineBegin(&b.session, 0));
  EXPECT_EQ(kOk, EngineCommit(&a.session));
}

// The commit that ends the optimistic read leaves each session on its row,
// the last row included.
TEST_F(TwoSessions, ACommitElsewhereEndsAnOptimisticReadAndLeavesEachOnItsRow) {
  ASSERT_EQ(kOk, EngineBegin(&a.session, 0));
  ASSERT_EQ(kOk, EngineCommit(&a.session));
  ASSERT_EQ(kOk, EngineBeginOptimistic(&a.session));
  EXPECT_EQ(Symbols(a.table), Numbered(5));
  EXPECT_EQ(kOk, EngineEndOptimistic(&a.session));
  ASSERT_EQ(kOk, TableGo(a.table, 5));
  ASSERT_EQ(kOk, EngineCommit(&a.session));
  ASSERT_EQ(kOk, EngineBeginOptimistic(&a.session));
  ASSERT_EQ(kOk, EngineBegin(&b.session, 1));
  ASSERT_EQ(kOk, TableGo(b.table, 1));
  ASSERT_EQ(kOk, b.Set("SYMBOLE", "Other"));
  ASSERT_EQ(kOk, EngineCommit(&b.session));
  EXPECT_EQ(kLocked, EngineEndOptimistic(&a.session));
  ASSERT_EQ(kOk, EngineBegin(&a.session, 0));
  EXPECT_EQ(5, TableRecordNumber(a.table));
  EXPECT_EQ(kOk, EngineCommit(&a.session));
}

// The disk stops after each call of a compaction or of three transactions in
// turn; after a restart (page cache kept) or a power loss (durable mode), the
// base's folder moved or not, and a first open whose write number `calls`
// fails, the table is sound and holds the confirmed state or the one in flight.
// Durable commits that write nothing before their end (kGrow, kDrop) go to
// the redo journal, or, where the file system cannot name the machine's
// runs, to the rollback journal, as every other commit does.
enum StopFlag : unsigned {
  kCompaction = 1,
  kPowerLoss = 2,  // durable unless kPlain
  kMoved = 4,
  kDurable = 8,
  kRunsUnnamed = 16,
  kGrow = 32,
  kPlain = 64,         // the session not durable though the power goes
  kLeftJournal = 128,  // a journal a plain session left, its name not yet durable
  kDrop = 256
};

struct StopCase {
  const char* name;
  unsigned flags;
  bool Has(StopFlag flag) const { return (flags & flag) != 0; }
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class DiskStops : public ::testing::TestWithParam<StopCase> {};

TEST_P(DiskStops, TheTableHoldsAConfirmedStateOrTheOneInFlight) {
  const bool compaction = GetParam().Has(kCompaction), power_loss = GetParam().Has(kPowerLoss);
  Model start = Numbered(12);
  for (int n : {2, 5, 9}) start[static_cast<std::size_t>(n - 1)] = "";
  bool stopped = true;
  for (long calls = 1; stopped; ++calls) {
    SCOPED_TRACE("stopped after " + std::to_string(calls) + " calls");
    MemoryFileSystem fs;
    fs.SetRunsNamed(!GetParam().Has(kRunsUnnamed));
    Store("base", 12, {2, 5, 9}, &fs);
    fs.MarkAllDurable();
    if (GetParam().Has(kLeftJournal)) fs.SetContents("base/KR9.DBF.jnl", "");
    Model confirmed = start, in_flight = compaction ? Live(start) : start;
    {
      MainTable t("base", false, &fs);
      ASSERT_TRUE(t.ok());
      t.session.durable =
          (power_loss || GetParam().Has(kDurable)) && !GetParam().Has(kPlain) ? 1 : 0;
      fs.DieAfter(calls);
      if (compaction && TableCompact(t.table) == kOk) confirmed = in_flight;
      const Shape shape = GetParam().Has(kGrow)   ? Shape::kGrow
                          : GetParam().Has(kDrop) ? Shape::kDrop
                                                  : Shape::kMixed;
      for (int n : {3, 6, 10}) {
        if (compaction) break;
        in_flight = Apply(n, confirmed, shape);
        if (Change(t, n, shape) != kOk) break;
        confirmed = in_flight;
      }
      stopped = fs.dead();
      EngineEnd(&t.session);
    }
    power_loss ? fs.LosePower(static_cast<unsigned>(calls)) : fs.Restart();
    const std::string folder = GetParam().Has(kMoved) ? "moved" : "base";
    if (GetParam().Has(kMoved)) fs.MoveFolder("base", folder);
    // Whatever was stopped, no open meets a flag without the journal of its
    // write (kErrJournal): the flag is set only once the journal is ready.
    {
      testing_support::FaultFileSystem faulty(&fs);
      faulty.FailAt(calls);
      MainTable first(folder, false, &faulty);
      const int recovery = EngineTakeRecovery(&first.session);
      EXPECT_TRUE(faulty.injected() || recovery != kErrJournal);
    }
    MainTable t(folder, false, &fs);
    ASSERT_TRUE(t.ok());
    EXPECT_NE(kErrJournal, EngineTakeRecovery(&t.session));
    bool journal = true;  // a compaction's journal the open finished is removed
    ASSERT_EQ(kOk, fs.Exists(folder + "/KR9.DBF.pack", &journal));
    EXPECT_FALSE(journal);
    const Model found = Symbols(t.table);
    EXPECT_TRUE(found == confirmed || (stopped && found == in_flight));
    EXPECT_EQ(kOk, t.Check());
    if (HasFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, DiskStops,
    ::testing::Values(
        StopCase{"CompactionProcessStops", kCompaction},
        StopCase{"DurableCompactionPowerGoes", kCompaction | kPowerLoss},
        StopCase{"PlainCompactionPowerGoes", kCompaction | kPowerLoss | kPlain},
        StopCase{"CommitsProcessStops", 0}, StopCase{"DurableCommitsPowerGoes", kPowerLoss},
        StopCase{"DurableCommitsPowerGoesJournalLeft", kPowerLoss | kDurable | kLeftJournal},
        StopCase{"CommitsStopFolderMoved", kMoved},
        StopCase{"DurableGrowthProcessStops", kDurable | kGrow},
        StopCase{"DurableGrowthPowerGoes", kPowerLoss | kDurable | kGrow},
        StopCase{"DurableGrowthFolderMoved", kPowerLoss | kMoved | kDurable | kGrow},
        StopCase{"DurableGrowthUnnamedRunsPowerGoes", kPowerLoss | kDurable | kRunsUnnamed | kGrow},
        StopCase{"DurableDropsProcessStops", kDurable | kDrop},
        StopCase{"DurableDropsPowerGoes", kPowerLoss | kDurable | kDrop}),
    ::testing::PrintToStringParamName());

// A reader that fails to read again what another session committed says so;
// one that says nothing reads all of it. Each call of the catch-up fails in turn.
TEST(Transactions, AFailedCatchUpIsToldNeverReadStale) {
  for (long k = 1;; ++k) {
    SCOPED_TRACE("call " + std::to_string(k));
    TempDir dir;
    MainTable writer(dir.path());
    Fill(writer, 5);
    testing_support::FaultFileSystem faulty(FileSystem::Posix());
    MainTable reader(dir.path(), false, &faulty);
    ASSERT_TRUE(reader.ok());
    ASSERT_EQ(kOk, EngineBegin(&reader.session, 0));
    ASSERT_EQ(Symbols(reader.table), Numbered(5));
    ASSERT_EQ(kOk, EngineCommit(&reader.session));
    ASSERT_EQ(kOk, Change(writer, 2));
    const long target = faulty.calls() + k;
    faulty.FailAt(target);
    const int begun = EngineBegin(&reader.session, 0);
    faulty.FailAt(0);
    if (faulty.calls() < target) break;  // the catch-up made fewer calls
    if (begun != kOk) {
      ASSERT_EQ(kOk, EngineBegin(&reader.session, 0));
    }
    EXPECT_EQ(Symbols(reader.table), Apply(2, Numbered(5))) << "begun " << begun;
    EXPECT_EQ(kOk, EngineCommit(&reader.session));
    if (HasFailure()) return;
  }
}

// The journal names the files of the lead's folder by their names alone and
// any other file by its whole path; each name leads back to its file.
TEST(Transactions, JournalNamesLeadBackToTheirFilesAFlagWithoutItIsCleared) {
  const std::string lead = "base/KR9.DBF";
  EXPECT_EQ(JournalName(lead, "base/KR9S.MDX"), "KR9S.MDX");
  for (const std::string path : {"base/KR9S.MDX", "bass/KR9.DBF", "base/sub/KR9.DBF", "KR9.DBF"}) {
    EXPECT_EQ(
        std::filesystem::path(JournalResolve(lead, JournalName(lead, path))).lexically_normal(),
        path);
  }
  // A write's flag left set with no journal beside it (the files were not
  // touched yet) is cleared by the next open, on the system's own files; a
  // journal there but unreadable would keep it (DiskStops).
  TempDir dir;
  Store(dir.path(), 3);
  const std::string dbf = dir.path() + "/KR9.DBF";
  std::string bytes = testing_support::ReadFileBytes(dbf);
  bytes[xbase::kDbfTransactionFlag] = 1;
  ASSERT_TRUE(testing_support::WriteFileBytes(dbf, bytes));
  MainTable t(dir.path(), false);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(TableRecordCount(t.table), 3);
  EXPECT_EQ(testing_support::ReadFileBytes(dbf)[xbase::kDbfTransactionFlag], 0);
}

// Transaction 3 made by `change`, the disk refusing writes from each write in
// turn: the table holds all of it or none (a rollback the disk refuses too is
// left for the next transaction to make), and the next one goes through.
void AtEachRefusedWrite(const std::function<int(MainTable&)>& change) {
  bool failed = true;
  for (long writes = 0; failed; ++writes) {
    SCOPED_TRACE("failing after " + std::to_string(writes) + " writes");
    MemoryFileSystem fs;
    Store("base", 8, {}, &fs);
    MainTable t("base", false, &fs);
    ASSERT_TRUE(t.ok());
    fs.FailWritesAfter(fs.writes() + writes);
    failed = change(t) != kOk;
    fs.FailWritesAfter(-1);
    const Model expected = failed ? Numbered(8) : Apply(3, Numbered(8));
    ASSERT_EQ(kOk, EngineBegin(&t.session, 0));
    EXPECT_EQ(Live(Symbols(t.table)), Live(expected));
    EXPECT_EQ(kOk, EngineCommit(&t.session));
    EXPECT_EQ(kOk, t.Check());
    EXPECT_EQ(kOk, Change(t, 5));
    EXPECT_EQ(Live(Symbols(t.table)), Live(Apply(5, expected)));
    if (::testing::Test::HasFailure()) return;  // one run's report is enough
  }
}

TEST(Transactions, AFailedWriteLeavesTheTableAsItWasAndItsCommitKeepsNothing) {
  AtEachRefusedWrite([](MainTable& t) { return Change(t, 3); });
  AtEachRefusedWrite([](MainTable& t) {
    int r = EngineBegin(&t.session, 1);
    if (r != kOk) return r;
    r = t.Append(NumberedRow(103, "New3"));
    for (int step : {0, 1}) {
      const int moved = TableGo(t.table, 3 + step);
      const int written = step == 0 ? t.Set("SYMBOLE", "Renamed3") : RecordDelete(t.table);
      if (r == kOk) r = moved != kOk ? moved : written;
    }
    const int committed = EngineCommit(&t.session);
    EXPECT_TRUE(r == kOk || committed != kOk) << "a commit after a failed write went through";
    return r != kOk ? r : committed;
  });
}

// Appends rows 31..40, deletes 20..22, compacts (synced to the disk when
// `durable`); true when some call failed.
bool RunScenario(const std::string& dir, FileSystem* fs, bool durable) {
  bool failed = false;
  auto note = [&failed](int r) {
    failed = failed || r < 0;
    return r;
  };
  MainTable t(dir, false, fs);
  if (!t.ok()) return true;
  for (int i = 31; i <= 40; ++i) {
    note(t.Append(NumberedRow(i)));
    note(TableUnlock(t.table));
  }
  TagSelect(t.table, t.repere);
  for (int i = 20; i <= 22; ++i) {
    if (note(TableSeek(t.table, ("%MW" + std::to_string(i)).c_str())) == kOk) {
      note(RecordDelete(t.table));
    }
  }
  note(TableUnlock(t.table));
  t.session.durable = durable ? 1 : 0;
  note(TableCompact(t.table));
  note(EngineEnd(&t.session));
  return failed;
}

// The table and its index files agree and hold every row stored before, and
// with no failure reported every change too.
void ExpectRows(const std::string& dir, bool complete) {
  MainTable t(dir, false);
  ASSERT_TRUE(t.ok()) << "error " << t.session.error;
  EXPECT_EQ(kOk, t.Check());
  const Model live = Live(Symbols(t.table));
  EXPECT_TRUE(!complete || TableRecordCount(t.table) == 35) << TableRecordCount(t.table);
  for (int i = 1; i <= (complete ? 40 : 30); ++i) {
    if (i == 5 || i == 10 || (i >= 20 && i <= 22)) continue;
    const std::string symbol = "S" + std::to_string(i);
    EXPECT_NE(live.end(), std::find(live.begin(), live.end(), symbol)) << symbol << " lost";
  }
}

TEST(Transactions, EveryFailingCallIsReportedAndLeavesTheBaseSound) {
  for (const bool durable : {false, true}) {
    const long calls =
        testing_support::SweepFailingCalls([&](testing_support::FaultFileSystem* fs, long n) {
          SCOPED_TRACE((durable ? "durable, call " : "call ") + std::to_string(n));
          TempDir dir;
          Store(dir.path(), 30, {5, 10});
          // A fault the engine shrugs off (a probe for a missing file) is fine.
          const bool failed = RunScenario(dir.path(), fs, durable);
          ExpectRows(dir.path(), !failed);
          EXPECT_TRUE(n > 0 || !failed);
          return !::testing::Test::HasFailure();  // one scenario's report is enough
        });
    EXPECT_GT(calls, 50);
  }
}

TEST(Transactions, AnIndexBuiltAgainHoldsEveryRowOrFails) {
  constexpr int kRows = 800;  // more than one 64 KB read of rows
  testing_support::SweepFailingCalls([&](testing_support::FaultFileSystem* fs, long n) {
    SCOPED_TRACE("call " + std::to_string(n));
    TempDir dir;
    Store(dir.path(), kRows);
    MainTable t(dir.path(), false, fs);
    EXPECT_TRUE(t.ok() || fs->injected());
    if (!t.ok()) return n > 0;
    const std::string path = dir.file("KR9R.MDX");
    Index* index = IndexRebuild(t.table, path.c_str(), testing_tables::kRepereTag, nullptr);
    const bool failed = fs->injected();
    fs->FailAt(0);  // the walk that checks the index reads without faults
    if (index != nullptr) {
      EXPECT_EQ(static_cast<std::size_t>(kRows), t.Walk(TagGet(t.table, "REPERE_TAG")).size());
    }
    EXPECT_TRUE(failed || index != nullptr);
    return n == 0 || failed;  // past the rebuild's calls no fault reaches it
  });
}

// Row bits go by words of 64 rows: the last rows of a full word are kept too.
TEST(Transactions, TheLastRowsOfAFullWordOfRowsAreChanged) {
  TempDir dir;
  MainTable t(dir.path());
  Fill(t, 64);
  ASSERT_EQ(kOk, Change(t, 63));
  EXPECT_EQ(Symbols(t.table), Apply(63, Numbered(64)));
}

TEST(Transactions, ATableThatMayOnlyBeReadIsReadAndRefusesWrites) {
  MemoryFileSystem fs;
  Store("base", 4, {}, &fs);
  fs.SetReadOnly(true);
  MainTable t("base", false, &fs);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(1, TableReadOnly(t.table));
  EXPECT_EQ(kErrReadOnly, EngineBegin(&t.session, 1));
  ASSERT_EQ(kOk, EngineBegin(&t.session, 0));
  EXPECT_EQ(Symbols(t.table), Numbered(4));
  TagSelect(t.table, t.symbole);
  EXPECT_EQ(kOk, TableSeek(t.table, "S3"));
  EXPECT_EQ(kErrReadOnly, RecordDelete(t.table));
  EXPECT_EQ(kOk, EngineCommit(&t.session));
  EXPECT_EQ(kErrReadOnly, AppendStart(t.table, 0));
}

// A child process that runs `hold` (0: done), tells the parent, waits for
// the parent's word, then exits with what `release` returns.
class Child {
 public:
  template <typename Hold, typename Release>
  Child(Hold hold, Release release) {
    if (pipe(up_) != 0 || pipe(down_) != 0) return;
    pid_ = fork();
    // Each side keeps only its own ends: a child whose parent dies reads
    // the end of its pipe and leaves instead of waiting for ever.
    close(pid_ != 0 ? up_[1] : up_[0]);
    close(pid_ != 0 ? down_[0] : down_[1]);
    if (pid_ != 0) return;
    const int code = hold();
    char c = code == 0 ? 'r' : 'x';
    if (write(up_[1], &c, 1) != 1 || read(down_[0], &c, 1) != 1) _exit(3);
    _exit(code != 0 ? code : release());
  }
  bool Ready() {
    char c = 0;
    return pid_ > 0 && read(up_[0], &c, 1) == 1 && c == 'r';
  }
  int Finish() {
    const char c = 'g';
    if (write(down_[1], &c, 1) != 1) ADD_FAILURE() << "child gone";
    return testing_support::ChildExit(pid_);
  }

 private:
  int up_[2] = {-1, -1}, down_[2] = {-1, -1};
  pid_t pid_ = -1;
};

TEST(Locks, WriterMeetsTheOtherProcessLockAndSucceedsOnceFreed) {
  TempDir temp;
  const std::string dir = temp.path();
  Store(dir, 20, {3});
  std::unique_ptr<MainTable> held;  // the child's open
  Child child(
      [&] {
        held = std::make_unique<MainTable>(dir, false);
        if (!held->ok() || TableGo(held->table, 1) != kOk) return 10;
        return held->Set("SYMBOLE", "FromChild") == kOk ? 0 : 11;  // takes the write lock
      },
      [&] { return TableUnlock(held->table) == kOk ? 0 : 12; });
  ASSERT_TRUE(child.Ready());
  MainTable t(dir, false);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(kLocked, AppendStart(t.table, 0));
  ASSERT_EQ(kOk, TableGo(t.table, 2));
  EXPECT_EQ(kLocked, RecordDelete(t.table));
  EXPECT_EQ(kLocked, FieldAssign(FieldGet(t.table, "SYMBOLE"), "Parent"));
  EXPECT_EQ(kLocked, TableCompact(t.table));
  TagSelect(t.table, t.symbole);
  EXPECT_EQ(kOk, TableSeek(t.table, "S20"));  // reads take no lock
  EXPECT_EQ(0, child.Finish());

  ASSERT_EQ(kOk, t.Append(NumberedRow(21, "Parent")));
  ASSERT_EQ(kOk, TableUnlock(t.table));
  EXPECT_EQ(21, TableRecordCount(t.table));
  EXPECT_EQ(kOk, TableSeek(t.table, "FromChild"));  // the child's write, reread with the lock
  EXPECT_EQ(1, TableRecordNumber(t.table));
  EXPECT_EQ(kOk, t.Check());
}

}  // namespace
}  // namespace xbase
