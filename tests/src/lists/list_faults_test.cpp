// Faults: every file-system call of a listing scenario fails in turn. A
// failure is never silent (a report to the host or a non-zero result), and
// a run that noticed nothing hands out exactly what a clean run does.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "src/lists/entry_list.h"
#include "support/fault_file_system.h"
#include "support/symbol_base.h"

namespace {

using lists_test::EntryList;
using testing_support::FaultFileSystem;

class ListFaults : public testing_support::SymbolBaseTest {
 protected:
  void SetUp() override {
    SymbolBaseTest::SetUp();
    for (int i = 0; i < 60; ++i) {
      const std::string n = std::to_string(i);
      Create(("%MW" + n).c_str(), i % 3 == 0 ? "" : ("W" + n).c_str(),
             i % 4 == 0 ? ("comment " + n).c_str() : "");
    }
    for (const char* address :
         {"%MW2:X1", "%MW2:X5", "%XM1", "%X1.IN", "%X1.0", "%X1.0.T", "%I3.1", "%QW3.0:X2"}) {
      Create(address, "", "c");
    }
    CTBObjetAts gone("%MW7", "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &gone), 0);
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  }

  void TearDown() override {
    EXPECT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
    SymbolBaseTest::TearDown();
  }

  // Runs every listing once on `data`; results and entries go to *out.
  static void RunListings(CTBData* data, std::vector<std::string>* out) {
    EntryList list;
    auto note = [&](int result) { out->push_back("= " + std::to_string(result)); };
    note(TBListRepere(data, "%MW", 0, 99999, 100, list.get()));
    note(TBListRepereModule(data, "%XM", 1, 4, 0, 3, 100, list.get()));
    note(TBListRepereSousObjet(data, "%MW", 2, 100, list.get()));
    note(TBListRepereModuleSousObjet(data, "%XM", 1, 4, 2, 4, list.get()));
    note(TBListRepereTroisIndicesSousObjet(data, "%VQW", 3, 0, 0, 100, list.get()));
    // Batch listings: at most a few calls each, however they end.
    int finished = 0;
    int ind1 = 0;
    for (int call = 0; call < 4 && finished == 0; ++call) {
      note(TBListRepereByTypeObject(data, "%MW", 0, &ind1, list.get(), &finished));
    }
    finished = 0;
    for (int call = 0; call < 4 && finished == 0; ++call) {
      note(TBListSymbolByTypeObject(data, "%MW", 2, call == 0, 1, list.get(), &finished, 0));
    }
    finished = 0;
    long record = 1;
    for (int call = 0; call < 4 && finished == 0; ++call) {
      note(TBListRepereAllBaseSymbol(data, &record, list.get(), &finished));
    }
    for (const char* prefix : {"", "%MW", "%ES"}) {
      finished = 0;
      long counter = 1;
      for (int call = 0; call < 4 && finished == 0; ++call) {
        note(TBExportSymbol(data, prefix, 3, &counter, list.get(), &finished));
      }
      long count = -1;
      note(TBNumberObjectByType(data, prefix, 3, &count));
      out->push_back("count " + std::to_string(count));
    }
    for (const std::string& entry : list.Full()) out->push_back(entry);
  }

  std::vector<std::string> RunScenario(xbase::FileSystem* files) {
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    data->m_session.file_system = files;
    std::vector<std::string> out;
    out.push_back("open " + std::to_string(TBOpenBaseSymbol(data, dir.slash().c_str())));
    if (HostErrorReports().empty()) RunListings(data, &out);
    TBCloseBaseSymbol(data);
    TBFreeTabisDll(data);
    return out;
  }
};

TEST_F(ListFaults, EveryFailedCallIsReportedOrChangesNothing) {
  FaultFileSystem counting(xbase::FileSystem::Posix());
  const std::vector<std::string> clean = RunScenario(&counting);
  ASSERT_THAT(HostErrorReports(), testing::IsEmpty());
  ASSERT_GT(clean.size(), 300u);
  const long calls = counting.calls();
  ASSERT_GT(calls, 10);

  for (long n = 1; n <= calls; ++n) {
    FaultFileSystem faulty(xbase::FileSystem::Posix());
    faulty.FailAt(n);
    const std::vector<std::string> run = RunScenario(&faulty);
    const bool reported = !HostErrorReports().empty();
    HostClearErrorReports();
    if (!faulty.injected() || reported) continue;
    // Nothing reported: then nothing may differ from the clean run.
    EXPECT_EQ(run, clean) << "call " << n << " failed silently";
  }
}

}  // namespace
