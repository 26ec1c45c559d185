// Locks between two real processes: a forked child holds the write lock (or
// just has the table open) while the parent tries to write or compact.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/xbase/table_test_util.h"
#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_support::TempDir;
using testing_tables::MainTable;
using testing_tables::NumberedRow;

// A child process running `body` between two handshakes with the parent:
// it reports "ready" once set up, then waits for "go" before finishing.
class Child {
 public:
  template <typename Body, typename Finish>
  Child(Body body, Finish finish) {
    if (pipe(to_parent_) != 0 || pipe(to_child_) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      int code = body();
      char c = code == 0 ? 'r' : 'x';
      if (write(to_parent_[1], &c, 1) != 1) _exit(3);
      if (read(to_child_[0], &c, 1) != 1) _exit(4);
      _exit(code != 0 ? code : finish());
    }
  }
  bool Ready() {
    char c = 0;
    return pid_ > 0 && read(to_parent_[0], &c, 1) == 1 && c == 'r';
  }
  int Finish() {
    Go();
    return Wait();
  }
  void Go() {
    char c = 'g';
    if (write(to_child_[1], &c, 1) != 1) ADD_FAILURE() << "child gone";
  }
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  int to_parent_[2] = {-1, -1};
  int to_child_[2] = {-1, -1};
  pid_t pid_ = -1;
};

class LockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainTable t(dir_.path());
    ASSERT_TRUE(t.ok());
    for (int i = 1; i <= 20; ++i) ASSERT_EQ(kOk, t.Append(NumberedRow(i, "S" + std::to_string(i))));
    ASSERT_EQ(kOk, TableGo(t.table, 3));
    ASSERT_EQ(kOk, RecordDelete(t.table));
  }
  TempDir dir_;
};

TEST_F(LockTest, WriterMeetsTheOtherProcessLockAndSucceedsOnceFreed) {
  std::string dir = dir_.path();
  MainTable* held = nullptr;
  Child child(
      [&] {
        held = new MainTable(dir, false);
        if (!held->ok() || TableGo(held->table, 1) != kOk) return 10;
        return held->Set("SYMBOLE", "FromChild") == kOk ? 0 : 11;  // takes the write lock
      },
      [&] {
        int r = TableUnlock(held->table);
        delete held;
        return r == kOk ? 0 : 12;
      });
  ASSERT_TRUE(child.Ready());
  MainTable t(dir, false);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(kLocked, AppendStart(t.table, 0));
  ASSERT_EQ(kOk, TableGo(t.table, 2));
  EXPECT_EQ(kLocked, RecordDelete(t.table));
  EXPECT_EQ(kLocked, FieldAssign(FieldGet(t.table, "SYMBOLE"), "Parent"));
  EXPECT_EQ(kLocked, TableCompact(t.table));
  // Reads take no lock.
  TagSelect(t.table, t.symbole);
  EXPECT_EQ(kOk, TableSeek(t.table, "S20"));
  EXPECT_EQ(0, child.Finish());

  ASSERT_EQ(kOk, t.Append(NumberedRow(21, "Parent")));
  ASSERT_EQ(kOk, TableUnlock(t.table));
  EXPECT_EQ(21, TableRecordCount(t.table));
  TagSelect(t.table, t.symbole);
  EXPECT_EQ(kOk, TableSeek(t.table, "FromChild"));  // the child's write, reread with the lock
  EXPECT_EQ(1, TableRecordNumber(t.table));
  EXPECT_EQ(kOk, t.Check());
}

TEST_F(LockTest, CompactionWaitsForEveryOtherOpenToGo) {
  std::string dir = dir_.path();
  MainTable* reader = nullptr;
  Child child(
      [&] {
        reader = new MainTable(dir, false);
        return reader->ok() ? 0 : 10;
      },
      [&] {
        delete reader;
        return 0;
      });
  ASSERT_TRUE(child.Ready());
  MainTable t(dir, false);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(kLocked, TableCompact(t.table));
  EXPECT_EQ(20, TableRecordCount(t.table));
  // Refused compaction leaves the table writable.
  ASSERT_EQ(kOk, t.Append(NumberedRow(21, "X")));
  ASSERT_EQ(kOk, TableUnlock(t.table));
  EXPECT_EQ(0, child.Finish());
  ASSERT_EQ(kOk, TableCompact(t.table));
  EXPECT_EQ(20, TableRecordCount(t.table));
  EXPECT_EQ(kOk, t.Check());
}

TEST_F(LockTest, TwoWritersRacingNeverCorruptTheBase) {
  // Each process appends rows, retrying on a conflict, and unlocks after each.
  std::string dir = dir_.path();
  auto writer = [dir](int first) {
    MainTable t(dir, false);
    if (!t.ok()) {
      std::fprintf(stderr, "open failed: %d\n", t.session.error);
      return 20;
    }
    for (int i = first; i < first + 100; ++i) {
      int r;
      do {
        r = t.Append(NumberedRow(i, "W" + std::to_string(i)));
        if (r == kLocked) usleep(100);
      } while (r == kLocked);
      if (r != kOk) return 21;
      do {
        r = TableUnlock(t.table);
      } while (r == kLocked);
      if (r != kOk) return 22;
    }
    return 0;
  };
  Child child([] { return 0; }, [&] { return writer(1000); });
  ASSERT_TRUE(child.Ready());
  child.Go();
  EXPECT_EQ(0, writer(2000));
  EXPECT_EQ(0, child.Wait());
  MainTable t(dir, false);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(220, TableRecordCount(t.table));
  EXPECT_EQ(219u, t.Walk(t.symbole).size());
  EXPECT_EQ(kOk, t.Check());
}

}  // namespace
}  // namespace xbase
