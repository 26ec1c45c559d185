// Faults: every file-system call of a reconfiguration scenario fails in turn.
// A failure is never silent (a non-zero result or a report to the host),
// nothing crashes, and the files stay sound.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "reconf_fixture.h"
#include "storage/base_files.h"
#include "support/fault_file_system.h"

namespace {

namespace fs = std::filesystem;

using testing_support::FaultFileSystem;

class ReconfFaults : public testing_support::ReconfTest {
 protected:
  void SetUp() override {
    ReconfTest::SetUp();
    for (const char* repere : {"%I1.2", "%IW1.0:X4", "%IW1.0", "%I11.2", "%MW5", "%MW10",
                               "%MW12:X3", "%X1.TMAX", "%X0.5", "%X0.IN"}) {
      Commented(repere);
    }
    Create("%MW11");
    Create("%IW1.0:X5");
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
    fs::create_directory(pristine_);
    for (const char* file : symbase::kBaseFiles) {
      fs::copy_file(dir.file(file), pristine_ + "/" + file);
    }
  }

  void TearDown() override {
    EXPECT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
    ReconfTest::TearDown();
  }

  void Restore() {
    for (const char* file : symbase::kBaseFiles) {
      fs::copy_file(pristine_ + "/" + file, dir.file(file), fs::copy_options::overwrite_existing);
    }
  }

  // Runs the scenario on a fresh copy of the base through `files`; returns
  // the results of the calls.
  std::vector<int> RunScenario(xbase::FileSystem* files) {
    Restore();
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    data->m_session.file_system = files;
    std::vector<int> results;
    results.push_back(TBOpenBaseSymbol(data, dir.slash().c_str()));
    // A base that did not open whole is the host's to repair (writes would
    // miss the index files that failed): a careful host stops there.
    if (HostErrorReports().empty()) RunReconfiguration(data, &results);
    results.push_back(TBCloseBaseSymbol(data));
    TBFreeTabisDll(data);
    return results;
  }

  void RunReconfiguration(CTBData* data, std::vector<int>* results) {
    UsAts one = Analysed("%I1.0");
    UsAts three = Analysed("%I3.0");
    results->push_back(TBReconfMoveModule(data, &one, &three));
    results->push_back(TBReconfByType(data, 342, 10));
    CTBObjetAts word("%IW3.0", "", "", 0, -1);
    results->push_back(TBReconfDelObject(data, &word, 434, 0));
    results->push_back(TBDelObjetDiagG7(data));
    results->push_back(TBReconfByMacroEtape(data, 603, 1, 4));
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
    for (const std::string& repere : LiveAddresses()) {
      contents.push_back(repere + " " + LiveRow(repere).key + " " + CommentOfAddress(repere));
    }
    CheckIntegrity();
    EXPECT_EQ(TBCloseBaseSymbol(base), 0);
    return contents;
  }

  std::string pristine_ = dir.file("pristine");
};

TEST_F(ReconfFaults, EveryFailedCallIsReportedOrReturned) {
  FaultFileSystem counting(xbase::FileSystem::Posix());
  const std::vector<int> clean = RunScenario(&counting);
  ASSERT_THAT(clean, testing::Each(0));
  ASSERT_THAT(HostErrorReports(), testing::IsEmpty());
  const std::vector<std::string> expected = Contents(false);
  const long calls = counting.calls();
  ASSERT_GT(calls, 50);

  for (long n = 1; n <= calls; ++n) {
    FaultFileSystem faulty(xbase::FileSystem::Posix());
    faulty.FailAt(n);
    const std::vector<int> results = RunScenario(&faulty);
    const bool noticed = !HostErrorReports().empty() ||
                         std::any_of(results.begin(), results.end(), [](int r) { return r != 0; });
    HostClearErrorReports();
    if (!faulty.injected()) continue;
    std::string trace = "call " + std::to_string(n) + (noticed ? " noticed" : " silent") + ":";
    for (int r : results) trace += " " + std::to_string(r);
    SCOPED_TRACE(trace);
    const std::vector<std::string> contents = Contents(noticed);
    // A failure nobody heard of must have changed nothing.
    if (!noticed) {
      EXPECT_EQ(contents, expected);
    }
    HostClearErrorReports();
  }
}

}  // namespace
