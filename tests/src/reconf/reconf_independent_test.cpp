// The reconfiguration judged from outside: a file system failing each call
// in turn, independent xBase readers on the files it leaves, and another
// process reconfiguring the base while this one uses it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "reconf_fixture.h"
#include "storage/base_files.h"
#include "support/fault_file_system.h"
#include "support/xbase_readers.h"

namespace {

namespace fs = std::filesystem;

using namespace testing_support;

class ReconfIndependent : public ReconfTest {
 protected:
  void SetUp() override {
    ReconfTest::SetUp();
    for (const char* repere : {"%I1.2", "%IW1.0:X4", "%IW3.0", "%IW3.0:X2", "%I11.2", "%MW5",
                               "%MW10", "%MW12:X3", "%X1.TMAX", "%X0.5", "%X0.IN"}) {
      Commented(repere);
    }
    Create("%MW11");
    Create("%IW1.0:X5");
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
    fs::create_directory(pristine_);
    for (const char* file : symbase::kBaseFiles)
      fs::copy_file(dir.file(file), pristine_ + "/" + file);
  }

  void TearDown() override {
    EXPECT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
    ReconfTest::TearDown();
  }

  // Runs every call on a fresh copy of the base through `files`; returns
  // their results between those of the opening and the closing.
  std::vector<int> RunScenario(xbase::FileSystem* files) {
    for (const char* file : symbase::kBaseFiles) {
      fs::copy_file(pristine_ + "/" + file, dir.file(file), fs::copy_options::overwrite_existing);
    }
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    data->m_session.file_system = files;
    std::vector<int> results{TBOpenBaseSymbol(data, dir.slash().c_str())};
    // A base that did not open whole is the host's to repair: a careful
    // host stops there.
    for (const Call& call : HostErrorReports().empty() ? EveryCall() : Calls{}) {
      results.push_back(call(data));
    }
    results.push_back(TBCloseBaseSymbol(data));
    TBFreeTabisDll(data);
    return results;
  }

  // The live rows and comments of the base as the library reads it, after
  // the repair a host makes once told of a failure: a lock (compaction,
  // which rebuilds the index files) and an unlock.
  std::vector<std::string> Contents(bool repair) {
    EXPECT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
    if (repair) {
      EXPECT_EQ(TBLockBaseSymbol(base), 0);
      EXPECT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
    }
    std::vector<std::string> contents;
    for (const MainRow& row : MainRows()) {
      if (!row.deleted) contents.push_back(row.key + row.repere + row.iscmt + CommentOf(row.key));
    }
    CheckIntegrity();
    EXPECT_EQ(TBCloseBaseSymbol(base), 0);
    return contents;
  }

  std::string pristine_ = dir.file("pristine");
};

TEST_F(ReconfIndependent, EveryFailedFileCallIsReportedOrReturned) {
  FaultFileSystem counting(xbase::FileSystem::Posix());
  ASSERT_THAT(RunScenario(&counting), testing::Each(0));
  ASSERT_THAT(HostErrorReports(), testing::IsEmpty());
  const std::vector<std::string> expected = Contents(false);
  ASSERT_GT(counting.calls(), 50);
  for (long n = 1; n <= counting.calls(); ++n) {
    FaultFileSystem faulty(xbase::FileSystem::Posix());
    faulty.FailAt(n);
    const std::vector<int> results = RunScenario(&faulty);
    const bool noticed = !HostErrorReports().empty() ||
                         std::any_of(results.begin(), results.end(), [](int r) { return r != 0; });
    HostClearErrorReports();
    if (!faulty.injected()) continue;
    SCOPED_TRACE("call " + std::to_string(n) + (noticed ? " noticed" : " silent"));
    const std::vector<std::string> contents = Contents(noticed);
    // A failure nobody heard of must have changed nothing.
    EXPECT_EQ(noticed ? expected : contents, expected);
    HostClearErrorReports();
  }
}

TEST_F(ReconfIndependent, IndependentReadersAgreeWithTheFilesLeft) {
  if (!XBaseReadersAvailable()) GTEST_SKIP() << "python3-dbf or libdbd-xbase-perl is missing";
  FaultFileSystem posix(xbase::FileSystem::Posix());
  ASSERT_THAT(RunScenario(&posix), testing::Each(0));
  // Every tag of the four index files lists the live rows of its table.
  EXPECT_THAT(
      CommandLines("/usr/bin/python3 " SYMBASE_SOURCE_DIR "/tests/interop/base_consistency.py " +
                   dir.slash()),
      testing::ElementsAre("consistent"));
  for (const char* reader : {"dbf", "dbfread"}) {
    EXPECT_THAT(ReaderRows(reader, dir.file("KR9.DBF")),
                testing::IsSupersetOf({"L|VIX|00003|00002|00000||%I3.2||O",
                                       "D|MW|00010||||%MW10||O", "D|XX|00001|00002|||%X1.TMAX||O"}))
        << reader;
  }
}

// In a child process: its own handle, one reconfiguration, then the base
// kept open until the parent has looked. Exits 0 when all went well.
[[noreturn]] void ChildReconfigures(const std::string& directory, int done, int go_on) {
  CTBData* child = nullptr;
  TBInitTabisDll(&child);
  int status = TBOpenBaseSymbol(child, directory.c_str());
  if (status == 0) status = TBReconfByType(child, 342, 10) == 0 ? 0 : 2;
  char byte = static_cast<char>(status);
  if (write(done, &byte, 1) != 1 || read(go_on, &byte, 1) != 1) _exit(3);
  TBCloseBaseSymbol(child);
  TBFreeTabisDll(child);
  _exit(status);
}

TEST_F(ReconfIndependent, AnotherProcessSeesTheDeletionsAndMayWriteAtOnce) {
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
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
  // The child still has the base open: this handle sees its deletions and
  // may write.
  for (const char* repere : {"%MW5", "%MW10", "%MW12:X3"}) {
    CTBObjetAts object(repere, "", "", 0, -1);
    EXPECT_EQ(TBSearchAttrib(base, &object, 0) == 0, repere == std::string("%MW5")) << repere;
  }
  Create("%MW20", "New_20");
  ASSERT_EQ(write(go_on[1], &byte, 1), 1);
  int status = -1;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  for (int fd : {done[0], done[1], go_on[0], go_on[1]}) close(fd);
  EXPECT_THAT(Live(), testing::AllOf(testing::IsSupersetOf({"%MW20", "%MW5"}),
                                     testing::Not(testing::Contains("%MW11"))));
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
}

}  // namespace
