// The exported listings behind the guard: a framework exception thrown inside
// is reported once under the function's operation number, and the result is 0.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "src/lists/entry_list.h"
#include "support/symbol_base.h"
#include "symbase/host_services.h"

namespace {

using lists_test::EntryList;
using ::testing::ElementsAre;
using testing_support::ReportIs;

// Module numbers are written after asking the addressing mode; this host
// runs out of memory when asked.
class OutOfMemoryHost : public CHostServices {
 public:
  int GetAddressingMode() override { AfxThrowMemoryException(); }
};

class GuardedLists : public testing_support::SymbolBaseTest {
 protected:
  void SetUp() override {
    SymbolBaseTest::SetUp();
    Create("%I1.2", "In", "comment");
  }

  // Runs `call` with the failing host; expects result 0 and one report.
  void ExpectReported(int operation, const std::function<int()>& call) {
    HostInstallServices(&failing_);
    const int result = call();
    HostInstallServices(nullptr);
    EXPECT_EQ(result, 0) << operation;
    EXPECT_THAT(HostErrorReports(), ElementsAre(ReportIs(operation, 424, "Tabisfctex")));
    HostClearErrorReports();
  }

  OutOfMemoryHost failing_;
  EntryList list_;
  int finished_ = -1;
  int ind1_ = 0;
  long counter_ = 1;
};

TEST_F(GuardedLists, EachListingReportsUnderItsOperation) {
  ExpectReported(512, [&] { return TBListRepere(base, "%VI", 0, 9, 100, list_.get()); });
  ExpectReported(512,
                 [&] { return TBListRepereModule(base, "%VI", 1, 4, 0, 3, 100, list_.get()); });
  ExpectReported(513, [&] { return TBListRepereSousObjet(base, "%VI", 1, 100, list_.get()); });
  ExpectReported(513,
                 [&] { return TBListRepereModuleSousObjet(base, "%VI", 1, 4, 2, 3, list_.get()); });
  ExpectReported(514, [&] {
    return TBListRepereTroisIndicesSousObjet(base, "%VI", 1, 2, 0, 100, list_.get());
  });
  ExpectReported(515, [&] {
    return TBListRepereByTypeObject(base, "%VI", 0, &ind1_, list_.get(), &finished_);
  });
  ExpectReported(516, [&] {
    return TBListSymbolByTypeObject(base, "%ES", 0, 1, 1, list_.get(), &finished_, 1);
  });
  ExpectReported(
      525, [&] { return TBExportSymbol(base, "%ES", 1, &counter_, list_.get(), &finished_); });
  long count = -1;
  ExpectReported(526, [&] { return TBNumberObjectByType(base, "%ES", 1, &count); });
  EXPECT_EQ(list_.size(), 0);

  // The same calls list the row once the host answers again.
  EXPECT_EQ(TBListRepere(base, "%VIX", 0, 9, 100, list_.get()), 0);
  EXPECT_THAT(list_.Full(), ElementsAre("%I1.2|In|comment|1|-1"));
  EXPECT_EQ(TBNumberObjectByType(base, "%ES", 1, &count), 0);
  EXPECT_EQ(count, 1);
}

}  // namespace
