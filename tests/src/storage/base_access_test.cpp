// A write whose commit fails returns the commit's failure, reported once.

#include <gtest/gtest.h>

#include "support/fault_file_system.h"
#include "support/symbol_base.h"

namespace {

class BaseAccess : public testing_support::SymbolBaseTest {
 protected:
  // Creates %MW1 through `files` on the base reopened in a handle of its own.
  int CreateThrough(testing_support::FaultFileSystem* files) {
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    data->m_session.file_system = files;
    EXPECT_EQ(TBOpenBaseSymbol(data, dir.slash().c_str()), 0);
    CTBObjetAts object("%MW1", "One", "", 0, -1);
    const int result = TBCreateObject(data, &object);
    writes_ = files->write_calls();
    TBCloseBaseSymbol(data);
    TBFreeTabisDll(data);
    return result;
  }

  long writes_ = 0;  // by the last CreateThrough, up to the end of the creation
};

TEST_F(BaseAccess, AFailedCommitReplacesTheCallsSuccess) {
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  testing_support::FaultFileSystem counting(xbase::FileSystem::Posix());
  ASSERT_EQ(CreateThrough(&counting), 0);
  CTBObjetAts gone("%MW1", "", "", 0, -1);
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  ASSERT_EQ(TBDelObject(base, &gone), 0);
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  // The last write of the call is the lead's header: the commit itself.
  testing_support::FaultFileSystem faulty(xbase::FileSystem::Posix());
  faulty.FailWriteAt(writes_);
  EXPECT_LT(CreateThrough(&faulty), 0);
  EXPECT_EQ(HostErrorReports().size(), 1u);
  HostClearErrorReports();
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
}

}  // namespace
