// Every listing when it cannot read: a locked base lists nothing and leaves
// the caller's values alone; a framework exception inside is reported once
// under the function's operation number with result 0; a failing file
// system call is reported or changes nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "src/lists/lists_test.h"
#include "support/fault_file_system.h"
#include "symbase/host_services.h"

namespace {

using lists_test::Take;
using testing_support::ReportIs;

// Each exported listing once, with its operation number and whether it
// writes a module number (and so asks the addressing mode).
struct Listing {
  int operation;
  bool moduleNumber;
  // Runs the listing; a batch listing's position (starting at 1) and
  // finished flag (starting at 7) go to *state as "position/finished".
  std::function<int(CTBData*, CObList*, std::string* state)> call;
};

using Batch = std::function<int(CTBData*, CObList*, long* position, int* finished)>;

Listing BatchListing(int operation, bool moduleNumber, Batch call) {
  return {operation, moduleNumber, [call](CTBData* d, CObList* l, std::string* state) {
            long position = 1;
            int finished = 7;
            const int result = call(d, l, &position, &finished);
            *state = std::to_string(position) + "/" + std::to_string(finished);
            return result;
          }};
}

// The listings of `prefix`, and of the inputs and outputs of `module`.
std::vector<Listing> Listings(const std::string& prefix, int module) {
  const std::string p = prefix;
  using L = CObList*;
  using D = CTBData*;
  return {
      {512, true,
       [=](D d, L l, std::string*) { return TBListRepere(d, p.c_str(), 0, 99999, 100, l); }},
      {512, true,
       [=](D d, L l, std::string*) {
         return TBListRepereModule(d, p.c_str(), 1, 4, 0, 3, 100, l);
       }},
      {513, true,
       [=](D d, L l, std::string*) { return TBListRepereSousObjet(d, p.c_str(), 2, 100, l); }},
      {513, true,
       [=](D d, L l, std::string*) {
         return TBListRepereModuleSousObjet(d, p.c_str(), 1, 4, 2, 3, l);
       }},
      {514, true,
       [=](D d, L l, std::string*) {
         return TBListRepereTroisIndicesSousObjet(d, p.c_str(), 1, 2, 0, 100, l);
       }},
      BatchListing(515, true,
                   [=](D d, L l, long* position, int* f) {
                     int ind1 = static_cast<int>(*position);
                     const int r = TBListRepereByTypeObject(d, p.c_str(), 0, &ind1, l, f);
                     *position = ind1;
                     return r;
                   }),
      BatchListing(516, true,
                   [=](D d, L l, long*, int* f) {
                     return TBListSymbolByTypeObject(d, "%ES", 2, 1, 1, l, f, module);
                   }),
      BatchListing(525, true,
                   [=](D d, L l, long* counter, int* f) {
                     return TBExportSymbol(d, "%ES", module, counter, l, f);
                   }),
      BatchListing(
          526, true,
          [=](D d, L, long* count, int*) { return TBNumberObjectByType(d, "%ES", module, count); }),
      BatchListing(517, false,
                   [](D d, L l, long* record, int* f) {
                     return TBListRepereAllBaseSymbol(d, record, l, f);
                   }),
      BatchListing(
          525, false,
          [](D d, L l, long* counter, int* f) { return TBExportSymbol(d, "", 0, counter, l, f); }),
  };
}

class ListGuards : public lists_test::ListsTest {
 protected:
  void SetUp() override {
    ListsTest::SetUp();
    Create("%I1.2", "In", "comment");
    Create("%IW1.2:X0");
  }
};

TEST_F(ListGuards, ALockedBaseListsNothingAndWritesNothing) {
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  for (const Listing& l : Listings("%VI", 1)) {
    std::string state = "untouched";
    EXPECT_EQ(l.call(base, &list, &state), 0) << l.operation;
    EXPECT_EQ(state, l.operation >= 515 ? "1/7" : "untouched") << l.operation;
    EXPECT_THAT(Take(list), ::testing::IsEmpty()) << l.operation;
  }
  EXPECT_THAT(HostErrorReports(), ::testing::IsEmpty());
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_THAT(Entries(TBListRepere(base, "%VIX", 0, 9, 100, &list)),
              ::testing::ElementsAre("%I1.2|In|comment|1|-1"));
}

// The listings of the storage object refuse a missing list or output by
// themselves, whoever calls them.
TEST_F(ListGuards, TheStorageObjectRefusesNullArguments) {
  int n = 0;
  long l = 1;
  const int results[] = {
      base->ListRepere("%MW", 0, 9, 9, nullptr),
      base->ListRepereSousObjet("%MW", 1, 9, nullptr),
      base->ListRepereTroisIndicesSousObjet("%VIW", 1, 2, 0, 9, nullptr),
      base->ListRepereByTypeObject("%MW", 0, nullptr, &list, &n),
      base->ListRepereByTypeObject("%MW", 0, &n, nullptr, &n),
      base->ListRepereByTypeObject("%MW", 0, &n, &list, nullptr),
      base->ListSymbolByTypeObject("%MW", 0, 1, 1, nullptr, &n, 0),
      base->ListSymbolByTypeObject("%MW", 0, 1, 1, &list, nullptr, 0),
      base->ListRepereAllBaseSymbol(nullptr, &list, &n),
      base->ListRepereAllBaseSymbol(&l, nullptr, &n),
      base->ListRepereAllBaseSymbol(&l, &list, nullptr),
      base->ExportSymbol("", 0, nullptr, &list, &n),
      base->ExportSymbol("", 0, &l, nullptr, &n),
      base->ExportSymbol("", 0, &l, &list, nullptr),
      base->NumberObjectByType("%MW", 0, nullptr),
  };
  for (int result : results) EXPECT_EQ(result, xbase::kErrArgument);
  EXPECT_THAT(Take(list), ::testing::IsEmpty());
}

// Module numbers are written after asking the addressing mode; this host
// runs out of memory when asked.
class OutOfMemoryHost : public CHostServices {
 public:
  int GetAddressingMode() override { AfxThrowMemoryException(); }
};

TEST_F(ListGuards, AnExceptionIsReportedUnderTheListingsOperation) {
  OutOfMemoryHost failing;
  for (const Listing& l : Listings("%VI", 1)) {
    if (!l.moduleNumber) continue;
    std::string state;
    HostInstallServices(&failing);
    const int result = l.call(base, &list, &state);
    HostInstallServices(nullptr);
    EXPECT_EQ(result, 0) << l.operation;
    EXPECT_THAT(Take(list), ::testing::IsEmpty()) << l.operation;
    EXPECT_THAT(HostErrorReports(),
                ::testing::ElementsAre(ReportIs(l.operation, 424, "Tabisfctex")))
        << l.operation;
    HostClearErrorReports();
  }
}

// Every file-system call of a listing scenario fails in turn: a failure is
// never silent, a run that noticed nothing hands out what a clean run does,
// and no run hands out an entry twice in a row.
class ListFaults : public lists_test::ListsTest {
 protected:
  void SetUp() override {
    ListsTest::SetUp();
    for (int i = 0; i < 60; ++i) {
      const std::string n = std::to_string(i);
      Create(("%MW" + n).c_str(), i % 3 == 0 ? "" : ("W" + n).c_str(),
             i % 4 == 0 ? ("comment " + n).c_str() : "");
    }
    for (const char* address :
         {"%MW2:X1", "%MW2:X5", "%XM1", "%X1.IN", "%X1.0", "%X1.0.T", "%I3.1", "%QW3.0:X2"}) {
      Create(address, "", "c");
    }
    Delete("%MW7");
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  }
  void TearDown() override {
    EXPECT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
    ListsTest::TearDown();
  }

  std::vector<std::string> RunScenario(xbase::FileSystem* files) {
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    data->m_session.file_system = files;
    std::vector<std::string> out{"open " +
                                 std::to_string(TBOpenBaseSymbol(data, dir.slash().c_str()))};
    if (HostErrorReports().empty()) {
      for (const char* prefix : {"%MW", "%XM", "%VQW"}) {
        for (const Listing& l : Listings(prefix, 3)) {
          std::string state;
          out.push_back(std::to_string(l.call(data, &list, &state)) + " " + state);
          for (const std::string& entry : Take(list)) out.push_back(entry);
        }
      }
    }
    TBCloseBaseSymbol(data);
    TBFreeTabisDll(data);
    return out;
  }
};

TEST_F(ListFaults, EveryFailedCallIsReportedOrChangesNothing) {
  testing_support::FaultFileSystem counting(xbase::FileSystem::Posix());
  const std::vector<std::string> clean = RunScenario(&counting);
  ASSERT_THAT(HostErrorReports(), ::testing::IsEmpty());
  ASSERT_GT(clean.size(), 200u);
  const long calls = counting.calls();
  ASSERT_GT(calls, 10);
  for (long n = 1; n <= calls; ++n) {
    testing_support::FaultFileSystem faulty(xbase::FileSystem::Posix());
    faulty.FailAt(n);
    const std::vector<std::string> run = RunScenario(&faulty);
    const bool reported = !HostErrorReports().empty();
    HostClearErrorReports();
    // Even a listing that fails hands out only rows it read: never the row
    // it stands on a second time.
    for (std::size_t i = 1; i < run.size(); ++i) {
      if (run[i].find('|') != std::string::npos) {
        ASSERT_NE(run[i], run[i - 1]) << "call " << n;
      }
    }
    if (faulty.injected() && !reported) {
      EXPECT_EQ(run, clean) << "call " << n << " failed silently";
    }
  }
}

}  // namespace
