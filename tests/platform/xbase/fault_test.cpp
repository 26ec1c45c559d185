// Faults: every file-system call of a write scenario fails in turn: the
// table and its index files stay sound and hold what was stored before. In
// a second pass the disk fills up from that call on: the table still opens
// with every row stored before.

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
using testing_support::TempDir;
using testing_tables::MainTable;
using testing_tables::NumberedRow;

// Rows %MW1..%MW30, with %MW5 and %MW10 deleted.
void StoreBase(const std::string& dir) {
  MainTable t(dir);
  ASSERT_TRUE(t.ok());
  for (int i = 1; i <= 30; ++i) ASSERT_EQ(kOk, t.Append(NumberedRow(i, "S" + std::to_string(i))));
  for (long n : {5, 10}) {
    ASSERT_EQ(kOk, TableGo(t.table, n));
    ASSERT_EQ(kOk, RecordDelete(t.table));
  }
  ASSERT_EQ(kOk, TableUnlock(t.table));
}

// Appends, deletes %MW20..%MW22, compacts; true when some call failed.
bool RunScenario(const std::string& dir, FileSystem* fs) {
  bool failed = false;
  auto note = [&failed](int r) {
    if (r < 0) failed = true;
    return r;
  };
  MainTable t(dir, false, fs);
  if (!t.ok()) return true;
  for (int i = 31; i <= 40; ++i) {
    note(t.Append(NumberedRow(i, "S" + std::to_string(i))));
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

// The addresses of the live rows of the table alone.
std::set<std::string> LiveRows(Table* table) {
  const std::vector<std::string> rows = testing_tables::LiveValues(table, "REPERE");
  return std::set<std::string>(rows.begin(), rows.end());
}

void ExpectStoredRows(const std::set<std::string>& rows, const std::string& label) {
  for (int i = 1; i <= 30; ++i) {
    if (i == 5 || i == 10 || (i >= 20 && i <= 22)) continue;
    EXPECT_TRUE(rows.count("%MW" + std::to_string(i))) << label << ": %MW" << i << " lost";
  }
}

// The table and its index files agree; `complete`: no call reported a
// failure, so every change must be there.
void ExpectSound(const std::string& dir, const std::string& label, bool complete) {
  MainTable t(dir, false);
  ASSERT_TRUE(t.ok()) << label << ": error " << t.session.error;
  std::vector<std::string> problems;
  EXPECT_EQ(kOk, t.Check(&problems)) << label << ": " << (problems.empty() ? "" : problems[0]);
  std::set<std::string> rows = LiveRows(t.table);
  ExpectStoredRows(rows, label);
  if (!complete) return;
  EXPECT_EQ(35, TableRecordCount(t.table)) << label;
  EXPECT_EQ(35u, rows.size()) << label;
  EXPECT_TRUE(rows.count("%MW40")) << label;
}

// After a full disk only the table itself is promised: it opens and holds
// every row stored before.
void ExpectTableReadable(const std::string& dir, const std::string& label) {
  Session s;
  EngineInit(&s, 0, 0);
  Table* t = TableOpen(&s, (dir + "/KR9.DBF").c_str());
  ASSERT_NE(nullptr, t) << label << ": error " << s.error;
  ExpectStoredRows(LiveRows(t), label);
}

TEST(Faults, EveryFailingCallIsReportedAndLeavesTheBaseSound) {
  long total = 0;
  {
    TempDir dir;
    StoreBase(dir.path());
    FaultFileSystem counter(FileSystem::Posix());
    EXPECT_FALSE(RunScenario(dir.path(), &counter));
    ExpectSound(dir.path(), "no fault", true);
    total = counter.calls();
  }
  ASSERT_GT(total, 50);
  for (int mode = 0; mode < 2; ++mode) {
    for (long n = 1; n <= total; ++n) {
      TempDir dir;
      StoreBase(dir.path());
      FaultFileSystem fs(FileSystem::Posix());
      if (mode == 0) {
        fs.FailAt(n);
      } else {
        fs.StopWritingAt(n);
      }
      std::string label = (mode == 0 ? "call " : "disk full from call ") + std::to_string(n);
      // A fault the engine shrugs off (a probe for a file that need not
      // exist) is fine, as long as nothing is lost.
      bool failed = RunScenario(dir.path(), &fs);
      if (mode == 0) {
        ExpectSound(dir.path(), label, !failed);
      } else {
        ExpectTableReadable(dir.path(), label);
      }
      if (HasFailure()) return;  // one scenario's report is enough
    }
  }
}

}  // namespace
}  // namespace xbase
