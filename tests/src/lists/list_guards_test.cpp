// Every listing when it cannot read: a locked base lists nothing and leaves
// the caller's values alone, and a failing file system call is reported or
// changes nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/lists/lists_test.h"
#include "support/fault_file_system.h"

namespace {

using Texts = std::vector<std::string>;

// Every listing once on `d` for `p` (the inputs and outputs of module 3 for
// those that take a module): each one's result, batch position, IND1 and
// finished flag (they start as 1, 1 and 7), then its entries.
Texts RunAll(CTBData* d, CObList& l, const char* p) {
  Texts out;
  long position = 1;
  int ind1 = 1;
  int finished = 7;
  auto add = [&](int result) {
    out.push_back(std::to_string(result) + " " + std::to_string(position) + "/" +
                  std::to_string(ind1) + "/" + std::to_string(finished));
    for (const std::string& entry : lists_test::Take(l)) out.push_back(entry);
    position = ind1 = 1;
    finished = 7;
  };
  add(TBListRepere(d, p, 0, 99999, 100, &l));
  add(TBListRepereModule(d, p, 1, 4, 0, 3, 100, &l));
  add(TBListRepereSousObjet(d, p, 2, 100, &l));
  add(TBListRepereModuleSousObjet(d, p, 1, 4, 2, 3, &l));
  add(TBListRepereTroisIndicesSousObjet(d, p, 1, 2, 0, 100, &l));
  add(TBListRepereByTypeObject(d, p, 0, &ind1, &l, &finished));
  add(TBListSymbolByTypeObject(d, "%ES", 2, 1, 1, &l, &finished, 3));
  add(TBExportSymbol(d, "%ES", 3, &position, &l, &finished));
  add(TBNumberObjectByType(d, "%ES", 3, &position));
  add(TBListRepereAllBaseSymbol(d, &position, &l, &finished));
  add(TBExportSymbol(d, "", 0, &position, &l, &finished));
  return out;
}

class ListGuards : public lists_test::ListsTest {};

TEST_F(ListGuards, ALockedBaseListsNothingAndWritesNothing) {
  Create("%I3.2", "In", "comment");
  Create("%IW3.2:X0");
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  EXPECT_EQ(RunAll(base, list, "%VI"), Texts(11, "0 1/1/7"));
  EXPECT_THAT(HostErrorReports(), ::testing::IsEmpty());
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_THAT(Entries(TBListRepere(base, "%VIX", 0, 9, 100, &list)),
              ::testing::ElementsAre("%I3.2|In|comment|3|-1"));
}

// Every file-system call of a listing scenario fails in turn: a failure is
// never silent, a run that noticed nothing hands out what a clean run does,
// and no run hands out an entry twice in a row.
TEST_F(ListGuards, EveryFailedCallIsReportedOrChangesNothing) {
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
  auto run = [this](xbase::FileSystem* files) {
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    data->m_session.file_system = files;
    Texts out{"open " + std::to_string(TBOpenBaseSymbol(data, dir.slash().c_str()))};
    for (const char* prefix : {"%MW", "%XM", "%VQW"}) {
      if (!HostErrorReports().empty()) break;
      for (const std::string& line : RunAll(data, list, prefix)) out.push_back(line);
    }
    TBCloseBaseSymbol(data);
    TBFreeTabisDll(data);
    return out;
  };
  testing_support::FaultFileSystem counting(xbase::FileSystem::Posix());
  const Texts clean = run(&counting);
  ASSERT_THAT(HostErrorReports(), ::testing::IsEmpty());
  ASSERT_GT(clean.size(), 200u);
  ASSERT_GT(counting.calls(), 10);
  for (long n = 1; n <= counting.calls(); ++n) {
    testing_support::FaultFileSystem faulty(xbase::FileSystem::Posix());
    faulty.FailAt(n);
    const Texts got = run(&faulty);
    const bool reported = !HostErrorReports().empty();
    HostClearErrorReports();
    // Even a listing that fails hands out only rows it read: never the row
    // it stands on a second time.
    for (std::size_t i = 1; i < got.size(); ++i) {
      if (got[i].find('|') != std::string::npos) {
        ASSERT_NE(got[i], got[i - 1]) << "call " << n;
      }
    }
    if (faulty.injected() && !reported) {
      EXPECT_EQ(got, clean) << "call " << n << " failed silently";
    }
  }
  EXPECT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
}

}  // namespace
