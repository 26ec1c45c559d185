// What one handle writes, as another handle on the same base sees it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fault_file_system.h"
#include "support/symbol_base.h"

namespace {

class OtherHandle : public testing_support::SymbolBaseTest {
 protected:
  // Creates an object through `files` on the base opened in a handle of its own.
  int CreateThrough(testing_support::FaultFileSystem* files, const char* repere,
                    const char* symbol) {
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    data->m_session.file_system = files;
    EXPECT_EQ(TBOpenBaseSymbol(data, dir.slash().c_str()), 0);
    CTBObjetAts object(repere, symbol, "", 0, -1);
    const int result = TBCreateObject(data, &object);
    writes_ = files->write_calls();
    TBCloseBaseSymbol(data);
    TBFreeTabisDll(data);
    return result;
  }

  std::vector<std::string> Containing(const char* text) {
    CStringList list;
    EXPECT_EQ(TBFindStringInBase(base, list, 0, 0, text, 0), 0);
    std::vector<std::string> found;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
      found.emplace_back(list.GetNext(pos));
    return found;
  }

  long writes_ = 0;  // by the last CreateThrough, up to the end of the creation
};

using SymbolTexts = OtherHandle;
using BaseAccess = OtherHandle;

TEST_F(SymbolTexts, AnotherHandlesWriteIsSeen) {
  Create("%MW1", "motor_a");
  EXPECT_EQ(Containing("motor"), std::vector<std::string>{"%MW1"});
  testing_support::FaultFileSystem posix(xbase::FileSystem::Posix());
  ASSERT_EQ(CreateThrough(&posix, "%MW2", "big_motor"), 0);
  EXPECT_EQ(Containing("motor"), (std::vector<std::string>{"%MW1", "%MW2"}));
}

TEST_F(BaseAccess, AFailedCommitReplacesTheCallsSuccess) {
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  testing_support::FaultFileSystem counting(xbase::FileSystem::Posix());
  ASSERT_EQ(CreateThrough(&counting, "%MW1", "One"), 0);
  CTBObjetAts gone("%MW1", "", "", 0, -1);
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  ASSERT_EQ(TBDelObject(base, &gone), 0);
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  // The last write of the call is the lead's header: the commit itself.
  testing_support::FaultFileSystem faulty(xbase::FileSystem::Posix());
  faulty.FailWriteAt(writes_);
  EXPECT_LT(CreateThrough(&faulty, "%MW1", "One"), 0);
  EXPECT_EQ(HostErrorReports().size(), 1u);
  HostClearErrorReports();
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
}

}  // namespace
