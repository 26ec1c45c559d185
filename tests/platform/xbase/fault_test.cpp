// Faults: every file-system call of a write scenario fails in turn: the
// table and its index files stay sound and hold what was stored before. A
// disk that fills up is the stress trial "disk".

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/xbase/table_test_util.h"
#include "support/fault_file_system.h"
#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_support::FaultFileSystem;
using testing_tables::MainTable;
using testing_tables::NumberedRow;

// Rows %MW1..%MW30, with %MW5 and %MW10 deleted.
void StoreBase(const std::string& dir) {
  MainTable t(dir);
  ASSERT_TRUE(t.ok());
  for (int i = 1; i <= 30; ++i) ASSERT_EQ(kOk, t.Append(NumberedRow(i)));
  for (long n : {5, 10}) {
    ASSERT_EQ(kOk, TableGo(t.table, n));
    ASSERT_EQ(kOk, RecordDelete(t.table));
  }
  ASSERT_EQ(kOk, TableUnlock(t.table));
}

// Appends %MW31..%MW40, deletes %MW20..%MW22, compacts; true when some call
// failed.
bool RunScenario(const std::string& dir, FileSystem* fs) {
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
  note(TableCompact(t.table));
  note(EngineEnd(&t.session));
  return failed;
}

// After a failed call the table and its index files agree and every row
// stored before is there; with no failure reported, every change too.
void ExpectRows(const std::string& dir, bool complete) {
  MainTable t(dir, false);
  ASSERT_TRUE(t.ok()) << "error " << t.session.error;
  std::vector<std::string> problems;
  EXPECT_EQ(kOk, t.Check(&problems)) << (problems.empty() ? "" : problems[0]);
  const std::vector<std::string> live = testing_tables::LiveValues(t.table, "REPERE");
  EXPECT_TRUE(!complete || TableRecordCount(t.table) == 35) << TableRecordCount(t.table);
  const std::set<std::string> rows(live.begin(), live.end());
  for (int i = 1; i <= (complete ? 40 : 30); ++i) {
    if (i == 5 || i == 10 || (i >= 20 && i <= 22)) continue;
    EXPECT_TRUE(rows.count("%MW" + std::to_string(i))) << "%MW" << i << " lost";
  }
  EXPECT_TRUE(!complete || live.size() == 35u) << live.size();
}

TEST(Faults, EveryFailingCallIsReportedAndLeavesTheBaseSound) {
  long total = 0;
  {
    testing_support::TempDir dir;
    StoreBase(dir.path());
    FaultFileSystem counter(FileSystem::Posix());
    EXPECT_FALSE(RunScenario(dir.path(), &counter));
    ExpectRows(dir.path(), true);
    total = counter.calls();
  }
  ASSERT_GT(total, 50);
  for (long n = 1; n <= total; ++n) {
    SCOPED_TRACE("call " + std::to_string(n));
    testing_support::TempDir dir;
    StoreBase(dir.path());
    FaultFileSystem fs(FileSystem::Posix());
    fs.FailAt(n);
    // A fault the engine shrugs off (a probe for a file that need not
    // exist) is fine, as long as nothing is lost.
    const bool failed = RunScenario(dir.path(), &fs);
    ExpectRows(dir.path(), !failed);
    if (HasFailure()) return;  // one scenario's report is enough
  }
}

// Whichever call fails, an index built again says so or holds every row.
TEST(Faults, AnIndexBuiltAgainHoldsEveryRowOrFails) {
  constexpr int kRows = 800;  // more than one 64 KB read of rows
  for (long n = 1;; ++n) {
    SCOPED_TRACE("call " + std::to_string(n));
    testing_support::TempDir dir;
    {
      MainTable t(dir.path());
      for (int i = 1; i <= kRows; ++i) ASSERT_EQ(kOk, t.Append(NumberedRow(i)));
      ASSERT_EQ(kOk, TableUnlock(t.table));
    }
    FaultFileSystem fs(FileSystem::Posix());
    fs.FailAt(n);
    MainTable t(dir.path(), false, &fs);
    if (!t.ok()) continue;
    const std::string path = dir.file("KR9R.MDX");
    Index* index = IndexRebuild(t.table, path.c_str(), testing_tables::kRepereTag, nullptr);
    const bool failed = fs.injected();
    fs.FailAt(0);  // the walk that checks the index reads without faults
    if (index != nullptr) {
      EXPECT_EQ(static_cast<std::size_t>(kRows), t.Walk(TagGet(t.table, "REPERE_TAG")).size());
    }
    if (!failed) {
      EXPECT_NE(nullptr, index);
      return;
    }
  }
}

}  // namespace
}  // namespace xbase
