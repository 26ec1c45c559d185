// The reconfiguration on a base that another process uses too: a writer
// holding the base makes every call give 104 and change nothing, and what a
// call did is in the files, its locks freed, while it keeps the base open.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "reconf_fixture.h"

namespace {

using testing::ElementsAre;

class ReconfSharing : public testing_support::ReconfTest {
 protected:
  // Another engine session takes the main table's write lock, as a writer in
  // another process does, without changing anything.
  void HoldMainTable() {
    xbase::EngineInit(&other_, 0, 6300);
    xbase::Table* table = xbase::TableOpen(&other_, dir.file("KR9.DBF").c_str());
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(xbase::TableGo(table, 1), 0);
    ASSERT_EQ(xbase::RecordRecall(table), 0);  // a live row: the lock, no change
  }
  void ReleaseMainTable() { xbase::EngineEnd(&other_); }

  xbase::Session other_;
};

TEST_F(ReconfSharing, AHeldTableGives104AndChangesNothing) {
  Commented("%MW10");
  Commented("%MW12:X1");
  Commented("%X1.TMIN");
  Commented("%IW1.2");
  Commented("%IW1.2:X3");
  HoldMainTable();
  base->m_session.busy_timeout_ms = 20;  // the other writer will not let go in time
  EXPECT_EQ(TBReconfByType(base, 342, 0), 104);
  EXPECT_EQ(TBReconfByMacroEtape(base, 603, 1, 0), 104);
  EXPECT_EQ(TBDelObjetDiagG7(base), 104);
  CTBObjetAts word("%IW1.2", "", "", 0, -1);
  EXPECT_EQ(TBReconfDelObject(base, &word, 434, 0), 104);
  UsAts one = Analysed("%I1.0");
  UsAts two = Analysed("%I2.0");
  EXPECT_EQ(TBReconfMoveModule(base, &one, &two), 104);
  ReleaseMainTable();
  EXPECT_EQ(LiveAddresses().size(), 5u);
  EXPECT_EQ(CommentKeys().size(), 5u);
  EXPECT_THAT(HostErrorReports(), testing::IsEmpty());

  // Once the other writer is gone the same calls go through.
  EXPECT_EQ(TBReconfMoveModule(base, &one, &two), 0);
  EXPECT_EQ(TBReconfByType(base, 342, 0), 0);
  EXPECT_EQ(TBDelObjetDiagG7(base), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%IW2.2", "%IW2.2:X3"));
  EXPECT_EQ(CommentKeys().size(), 2u);
}

// Runs in a child process: its own handle on the base, one reconfiguration,
// then it keeps the base open until the parent has looked. Exits 0 when all
// went as expected.
[[noreturn]] void ChildReconfigures(const std::string& directory, int done, int go_on) {
  CTBData* child = nullptr;
  TBInitTabisDll(&child);
  int status = TBOpenBaseSymbol(child, directory.c_str());
  if (status == 0) status = TBReconfByType(child, 342, 10) == 0 ? 0 : 2;
  char byte = static_cast<char>(status);
  if (write(done, &byte, 1) != 1) _exit(3);
  if (read(go_on, &byte, 1) != 1) _exit(4);
  TBCloseBaseSymbol(child);
  TBFreeTabisDll(child);
  _exit(status);
}

TEST_F(ReconfSharing, AnotherProcessSeesTheDeletionsAndMayWriteAtOnce) {
  Commented("%MW5");
  Commented("%MW10");
  Commented("%MW11:X2");
  int done[2];
  int go_on[2];
  ASSERT_EQ(pipe(done), 0);
  ASSERT_EQ(pipe(go_on), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) ChildReconfigures(dir.slash(), done[1], go_on[0]);
  char byte = 1;
  ASSERT_EQ(read(done[0], &byte, 1), 1);
  EXPECT_EQ(byte, 0);

  // The child still has the base open: a fresh reader sees its deletions,
  // and this process's handle may write.
  CTBData* reader = nullptr;
  TBInitTabisDll(&reader);
  ASSERT_EQ(TBOpenBaseSymbol(reader, dir.slash().c_str()), 0);
  CTBObjetAts kept("%MW5", "", "", 0, -1);
  EXPECT_EQ(TBSearchAttrib(reader, &kept, 0), 0);
  EXPECT_EQ(std::string(kept.m_commentaire), "c %MW5");
  CTBObjetAts gone("%MW10", "", "", 0, -1);
  EXPECT_NE(TBSearchAttrib(reader, &gone, 0), 0);
  CTBObjetAts bit("%MW11:X2", "", "", 0, -1);
  EXPECT_NE(TBSearchAttrib(reader, &bit, 0), 0);
  TBCloseBaseSymbol(reader);
  TBFreeTabisDll(reader);
  Create("%MW20", "New_20", "written while the child has the base open");

  ASSERT_EQ(write(go_on[1], &byte, 1), 1);
  int status = -1;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  for (int fd : {done[0], done[1], go_on[0], go_on[1]}) close(fd);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%MW20", "%MW5"));
}

}  // namespace
