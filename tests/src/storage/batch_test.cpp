// Batches: many calls written as one, all or nothing, in real processes.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "support/scripted_dialog_driver.h"
#include "support/symbol_base.h"
#include "symbase/maintenance.h"

namespace {

using Batch = testing_support::SymbolBaseTest;

// A child process creates `count` objects in a batch and ends it or not
// before it exits (as a process that dies).
void CreateInChild(const std::string& directory, int count, bool end) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    int failed = TBOpenBaseSymbol(data, directory.c_str()) | TBBeginBatch(data);
    for (int i = 0; i < count; ++i) {
      std::string repere = "%MW" + std::to_string(i);
      CTBObjetAts object(repere.c_str(), ("S" + std::to_string(i)).c_str(), "Com", 0, -1);
      failed |= TBCreateObject(data, &object);
    }
    if (end) failed |= TBEndBatch(data);
    _exit(failed == 0 ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(Batch, IsInTheFilesWhenEndedAndNotAtAllBefore) {
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  CreateInChild(dir.slash(), 300, false);
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(LiveRowCount(), 0);
  ASSERT_EQ(HostErrorReports().size(), 1u);  // the dead process's write, rolled back
  HostClearErrorReports();
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  CreateInChild(dir.slash(), 300, true);
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(LiveRowCount(), 300);
  CTBObjetAts found("", "S299", "", 0, -1);
  EXPECT_EQ(TBSearchAttrib(base, &found, 1), 0);
  EXPECT_STREQ(found.m_commentaire, "Com");
}

// A call left by an exception undoes the whole batch; nested batches end
// with the outermost; compaction waits for the batch's end.
TEST_F(Batch, ACallLeftByAnExceptionUndoesItAll) {
  ASSERT_EQ(TBBeginBatch(base), 0);
  ASSERT_EQ(TBBeginBatch(base), 0);
  Create("%MW1", "One");
  EXPECT_EQ(TBEndBatch(base), 0);
  EXPECT_EQ(TBLockBaseSymbol(base), TB_LOCKED_BY_OTHER);
  Create("%MW2", "Two");
  testing_support::ScriptedDialogDriver thrower([](CDialog&) { AfxThrowUserException(); });
  CTBObjetAts conflict("%MW3", "Two", "", 0, -1);
  EXPECT_EQ(TBInsertObject(base, &conflict, 2), 0);
  EXPECT_THAT(HostErrorReports(),
              testing::ElementsAre(testing_support::ReportIs(508, 425, "Tabisfctex")));
  HostClearErrorReports();
  EXPECT_EQ(TBEndBatch(base), TB_BATCH_UNDONE);
  EXPECT_EQ(TBEndBatch(base), 0);
  EXPECT_EQ(LiveRowCount(), 0);
  ASSERT_EQ(TBBeginBatch(base), 0);
  Create("%MW4", "Four");
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);  // ends the batch: written
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(LiveRowCount(), 1);
}

}  // namespace
