// Locks between two real processes: a forked child holds the write lock (or
// just has the table open) while the parent tries to write or compact.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "platform/xbase/table_test_util.h"
#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_tables::MainTable;
using testing_tables::NumberedRow;

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
    int status = 0;
    waitpid(pid_, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  int up_[2] = {-1, -1}, down_[2] = {-1, -1};
  pid_t pid_ = -1;
};

class LockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainTable t(dir_);
    ASSERT_TRUE(t.ok());
    for (int i = 1; i <= 20; ++i) ASSERT_EQ(kOk, t.Append(NumberedRow(i)));
    ASSERT_EQ(kOk, TableGo(t.table, 3));
    ASSERT_EQ(kOk, RecordDelete(t.table));
  }
  testing_support::TempDir temp_;
  std::string dir_ = temp_.path();
  std::unique_ptr<MainTable> held_;  // the child's open
};

TEST_F(LockTest, WriterMeetsTheOtherProcessLockAndSucceedsOnceFreed) {
  Child child(
      [&] {
        held_ = std::make_unique<MainTable>(dir_, false);
        if (!held_->ok() || TableGo(held_->table, 1) != kOk) return 10;
        return held_->Set("SYMBOLE", "FromChild") == kOk ? 0 : 11;  // takes the write lock
      },
      [&] { return TableUnlock(held_->table) == kOk ? 0 : 12; });
  ASSERT_TRUE(child.Ready());
  MainTable t(dir_, false);
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

TEST_F(LockTest, CompactionWaitsForEveryOtherOpenToGo) {
  Child child(
      [&] {
        held_ = std::make_unique<MainTable>(dir_, false);
        return held_->ok() ? 0 : 10;
      },
      [&] {
        held_.reset();
        return 0;
      });
  ASSERT_TRUE(child.Ready());
  MainTable t(dir_, false);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(kLocked, TableCompact(t.table));
  // The refused compaction leaves the table as it was, and writable.
  ASSERT_EQ(kOk, t.Append(NumberedRow(21)));
  ASSERT_EQ(kOk, TableUnlock(t.table));
  EXPECT_EQ(21, TableRecordCount(t.table));
  EXPECT_EQ(0, child.Finish());
  ASSERT_EQ(kOk, TableCompact(t.table));
  EXPECT_EQ(20, TableRecordCount(t.table));
  EXPECT_EQ(kOk, t.Check());
}

}  // namespace
}  // namespace xbase
