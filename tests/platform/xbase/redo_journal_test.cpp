// The redo journal: its records read back up to the first torn one, durable
// commits that sync it alone, and the writes outside it (another session's
// rollback journal, a compaction, its own growth, closing the base) that
// must first make its records durable in the files, proved by power losses.

#include "xbase/redo_journal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/xbase/table_test_util.h"
#include "support/fault_file_system.h"
#include "support/memory_file_system.h"
#include "support/temp_dir.h"
#include "xbase/journal.h"

namespace xbase {
namespace {

using testing_support::MemoryFileSystem;
using testing_tables::MainTable;
using testing_tables::NumberedRow;
using testing_tables::Store;

RedoRecord Record(std::uint32_t counter, const std::string& bytes) {
  RedoRecord record;
  record.counter = counter;
  record.files = {"KR9.DBF", "KR9S.MDX"};
  record.writes = {RedoWrite{1, 4096, bytes}, RedoWrite{0, 33, "row"}};
  return record;
}

std::vector<RedoRecord> ReadFrom(File* journal, std::uint32_t salt, std::uint64_t from,
                                 std::uint64_t* end) {
  std::vector<RedoRecord> records;
  EXPECT_EQ(kOk, ReadRedoRecords(journal, salt, from, &records, end));
  return records;
}

TEST(RedoJournal, RecordsReadBackUpToTheFirstTornOrStaleOne) {
  MemoryFileSystem fs;
  std::uint32_t salt = 7;
  std::string bytes;
  EncodeRedoHeader("run 1", &salt, &bytes);
  const std::vector<RedoRecord> written = {Record(4, std::string(900, 'k')), Record(6, "key")};
  std::uint64_t first_end = 0;
  for (const RedoRecord& r : written) {
    EncodeRedoRecord(salt, r.counter, r.files, r.writes, &bytes);
    if (first_end == 0) first_end = bytes.size();
  }
  fs.SetContents("J", bytes + std::string(300, '\0'));  // a journal grown past its records
  std::unique_ptr<File> journal;
  ASSERT_EQ(kOk, fs.Open("J", OpenMode::kReadWrite, &journal));

  std::uint32_t read_salt = 0;
  std::string boot;
  ASSERT_EQ(kOk, ReadRedoHeader(journal.get(), &read_salt, &boot));
  EXPECT_EQ(salt, read_salt);
  EXPECT_EQ("run 1", boot);
  std::uint64_t end = 0;
  const std::vector<RedoRecord> read = ReadFrom(journal.get(), salt, kRedoHeaderSize, &end);
  ASSERT_EQ(2u, read.size());
  EXPECT_EQ(bytes.size(), end);
  for (std::size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(written[i].counter, read[i].counter);
    EXPECT_EQ(written[i].files, read[i].files);
    ASSERT_EQ(2u, read[i].writes.size());
    EXPECT_EQ(written[i].writes[0].offset, read[i].writes[0].offset);
    EXPECT_EQ(written[i].writes[0].bytes, read[i].writes[0].bytes);
    EXPECT_EQ(0u, read[i].writes[1].file);
  }
  // From the end of the first record on, the second alone.
  EXPECT_EQ(1u, ReadFrom(journal.get(), salt, first_end, &end).size());
  // Another round's salt reads nothing.
  EXPECT_EQ(0u, ReadFrom(journal.get(), salt + 1, kRedoHeaderSize, &end).size());
  EXPECT_EQ(kRedoHeaderSize, end);

  // The second record torn at each length, or with one byte changed, ends
  // the list after the first.
  for (std::size_t cut = first_end; cut < bytes.size(); cut += 97) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    for (const bool flip : {false, true}) {
      std::string damaged = bytes.substr(0, flip ? bytes.size() : cut);
      if (flip) damaged[cut] = static_cast<char>(damaged[cut] ^ 0x20);
      fs.SetContents("J", damaged);
      EXPECT_EQ(1u, ReadFrom(journal.get(), salt, kRedoHeaderSize, &end).size());
      EXPECT_EQ(first_end, end);
    }
  }
  // So does a record whose write names a file the record does not list.
  RedoRecord stray = Record(8, "x");
  stray.writes[1].file = 2;
  std::string listed = bytes.substr(0, first_end);
  EncodeRedoRecord(salt, stray.counter, stray.files, stray.writes, &listed);
  fs.SetContents("J", listed);
  EXPECT_EQ(1u, ReadFrom(journal.get(), salt, kRedoHeaderSize, &end).size());
  // A header changed, or a rollback journal's, is no redo journal.
  bytes[20] = 'x';
  fs.SetContents("J", bytes);
  EXPECT_EQ(kErrJournal, ReadRedoHeader(journal.get(), &read_salt, &boot));
  EncodeJournalHeader(3, {}, &bytes);
  fs.SetContents("J", bytes + std::string(200, ' '));
  EXPECT_EQ(kErrJournal, ReadRedoHeader(journal.get(), &read_salt, &boot));
}

// Appends row i as its own commit.
void AppendCommit(MainTable& t, int i) {
  ASSERT_EQ(kOk, t.Append(NumberedRow(i)));
  ASSERT_EQ(kOk, TableUnlock(t.table));
}

// After the machine stops with the files as `fs` left them (open sessions
// gone with it) and comes back, the table holds exactly the symbols S<i>
// for i in `rows`, give or take row `maybe` (0: none), and its check finds
// nothing.
void ExpectAfterPowerLoss(MemoryFileSystem& fs, unsigned seed, std::set<int> rows, int maybe = 0) {
  fs.LosePower(seed);
  MainTable t("base", false, &fs);
  ASSERT_TRUE(t.ok()) << t.session.error;
  std::set<int> found;
  TagSelect(t.table, nullptr);
  for (int r = TableTop(t.table); r == kOk; r = TableSkip(t.table, 1)) {
    if (RecordIsDeleted(t.table) == 0) found.insert(std::atoi(t.Get("SYMBOLE").c_str() + 1));
  }
  if (found.count(maybe) != 0) rows.insert(maybe);
  EXPECT_EQ(rows, found);
  EXPECT_EQ(kOk, t.Check());
}

// The same files through a file system that cannot name the machine's runs
// (as over a network): durable commits go through the rollback journal.
class UnnamedRuns : public testing_support::FaultFileSystem {
 public:
  using FaultFileSystem::FaultFileSystem;
  std::string BootId(const std::string&) override { return std::string(); }
};

// Rows 5 and 6 added by durable commits to a base of rows 1, 3 and 4 (row
// 2 deleted), then `more` with that session and a second, durable too but
// through the rollback journal: the power goes at each call of `more` in
// turn, with both sessions open. Rows 1, 3 to 6 come back, give or take
// row `maybe` that `more` had in flight.
void AfterDurableCommits(const std::function<void(MainTable&, MainTable&)>& more, int maybe) {
  bool stopped = true;
  for (long calls = 1; stopped; ++calls) {
    SCOPED_TRACE("stopped after " + std::to_string(calls) + " calls");
    MemoryFileSystem fs;
    Store("base", 4, {2}, &fs);
    fs.MarkAllDurable();
    {
      UnnamedRuns unnamed(&fs);
      MainTable durable("base", false, &fs), plain("base", false, &unnamed);
      durable.session.durable = plain.session.durable = 1;
      AppendCommit(durable, 5);
      AppendCommit(durable, 6);
      EXPECT_EQ("SYMREDO1", fs.Contents("base/KR9.DBF.jnl").substr(0, 8));
      fs.DieAfter(calls);
      more(durable, plain);
      stopped = fs.dead();
      fs.DieAfter(0);
    }
    ExpectAfterPowerLoss(fs, static_cast<unsigned>(calls), {1, 3, 4, 5, 6}, maybe);
    if (::testing::Test::HasFailure()) return;
  }
}

// Through the rollback journal (row 7 in flight), or compacting (none).
TEST(RedoJournal, ACommitThroughTheRollbackJournalOrACompactionMakesItsRecordsDurableFirst) {
  AfterDurableCommits(
      [](MainTable&, MainTable& plain) {
        plain.Append(NumberedRow(7));
        TableUnlock(plain.table);
      },
      7);
  AfterDurableCommits(
      [](MainTable& durable, MainTable& plain) {
        EngineEnd(&plain.session);  // a compaction needs the table to itself
        TableCompact(durable.table);
      },
      0);
}

// Rows 5 and 6 added without syncs, then row 7 by a durable commit of the
// same session: the power goes once that commit returned, and of the
// writes that were not synced any may be lost. The record of row 7 stands
// on rows 5 and 6, so they come back with it.
TEST(RedoJournal, ItsFirstRecordFollowsEarlierWritesToTheDisk) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    MemoryFileSystem fs;
    Store("base", 4, {2}, &fs);
    fs.MarkAllDurable();
    {
      MainTable t("base", false, &fs);
      AppendCommit(t, 5);
      AppendCommit(t, 6);
      t.session.durable = 1;
      AppendCommit(t, 7);
      EXPECT_EQ("SYMREDO1", fs.Contents("base/KR9.DBF.jnl").substr(0, 8));
      fs.DieAfter(0);
    }
    ExpectAfterPowerLoss(fs, seed, {1, 3, 4, 5, 6, 7});
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(RedoJournal, ItStaysWithinItsLimitAndClosingTheBaseSettlesIt) {
  MemoryFileSystem fs;
  Store("base", 1, {}, &fs);
  std::set<int> rows = {1};
  {
    MainTable t("base", false, &fs);
    t.session.durable = 1;
    std::uint64_t largest = 0;
    for (int i = 2; i <= 900; ++i) {
      AppendCommit(t, i);
      rows.insert(i);
      largest = std::max<std::uint64_t>(largest, fs.Contents("base/KR9.DBF.jnl").size());
    }
    EXPECT_GT(largest, kRedoJournalLimit);  // the test went past it
    EXPECT_LE(largest, kRedoJournalLimit + (std::uint64_t{1} << 20) + 65536);
  }
  bool journal = true;
  ASSERT_EQ(kOk, fs.Exists("base/KR9.DBF.jnl", &journal));
  EXPECT_FALSE(journal);
  ASSERT_EQ(kOk, fs.SyncDirectory("base/KR9.DBF"));  // its removal reaches the disk
  ExpectAfterPowerLoss(fs, 1, rows);
}

// Run alone by the test below, under strace: a plain commit that changes a
// row (through the rollback journal), three durable commits, then the
// process ends as if killed, without closing the base.
TEST(RedoJournal, TracedChild) {
  const char* dir = std::getenv("SYMBASE_REDO_CHILD_DIR");
  if (dir == nullptr) GTEST_SKIP() << "run by RedoJournal.ADurableCommitSyncsTheJournalOnce";
  MainTable t(dir, false);
  ASSERT_TRUE(t.ok());
  ASSERT_EQ(kOk, TableGo(t.table, 1));
  ASSERT_EQ(kOk, t.Set("SYMBOLE", "Plain"));
  ASSERT_EQ(kOk, TableUnlock(t.table));
  t.session.durable = 1;
  for (int i = 4; i <= 6; ++i) AppendCommit(t, i);
  std::fflush(nullptr);
  _exit(::testing::Test::HasFailure() ? 1 : 0);
}

TEST(RedoJournal, ADurableCommitSyncsTheJournalOnce) {
  if (std::system("strace -o /dev/null true 2>/dev/null") != 0) GTEST_SKIP() << "no strace";
  testing_support::TempDir dir;
  Store(dir.path(), 3);
  const std::string trace = dir.file("trace");
  const std::string command =
      "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" SYMBASE_REDO_CHILD_DIR=" + dir.path() +
      " strace -f -y -e trace=fdatasync,fsync,fstat,newfstatat,statx -o " + trace + " /proc/" +
      std::to_string(getpid()) + "/exe --gtest_filter=RedoJournal.TracedChild >/dev/null 2>&1";
  ASSERT_EQ(0, std::system(command.c_str()));
  std::ifstream lines(trace);
  // The plain commit syncs nothing. The files are synced once, then the
  // round's header, before the first record; after that each commit syncs
  // the journal alone, without asking its size (that would make each sync
  // write the journal's inode too).
  int journal = 0, others = 0, sizes = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("= 0") == std::string::npos) continue;
    const bool of_journal = line.find("KR9.DBF.jnl>") != std::string::npos;
    if (line.find("stat") != std::string::npos) {
      sizes += journal > 1 && of_journal;  // after the first record
    } else if (of_journal) {
      ++journal;
    } else if (journal > 0 && line.find("fsync(") == std::string::npos) {  // not a folder
      ++others;
    }
  }
  EXPECT_EQ(1 + 3, journal);
  EXPECT_EQ(0, others);
  EXPECT_EQ(0, sizes);
  MainTable t(dir.path(), false);
  EXPECT_EQ(6, TableRecordCount(t.table));
  EXPECT_EQ(kOk, t.Check());
}

}  // namespace
}  // namespace xbase
