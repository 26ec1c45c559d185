// Creating, opening, deleting, locking and unlocking a base, with the reports
// each failure leaves.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "storage/tb_data.h"
#include "support/host_reports.h"
#include "support/temp_dir.h"
#include "symbase/host.h"
#include "symbase/tabis.h"

namespace {

namespace fs = std::filesystem;

class BaseLifecycle : public testing_support::HostTest {
 protected:
  testing_support::TempDir dir;
  CTBData data;
};

TEST_F(BaseLifecycle, OpenWithoutMainTableReportsTheFailedOpening) {
  EXPECT_EQ(data.Open(dir.slash().c_str()), 0);
  const auto reports = HostErrorReports();
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports[0].operation, 4);
  EXPECT_LT(reports[0].code, 0);
  data.Close();
}

TEST_F(BaseLifecycle, DeleteRemovesWhatExistsAndReportsEachMissingFile) {
  std::ofstream(dir.file("KR9.DBF")).put('x');
  EXPECT_EQ(data.Delete(dir.slash().c_str()), 0);
  EXPECT_FALSE(fs::exists(dir.file("KR9.DBF")));
  std::vector<::testing::Matcher<const HostErrorReport&>> expected;
  for (const char* name : {"KR9CMT.DBF", "KR9CLER.MDX", "KR9R.MDX", "KR9S.MDX", "KR9CMTR.MDX"}) {
    expected.push_back(testing_support::ReportIs(24, 410, "Tabiserr", dir.slash() + name));
  }
  EXPECT_THAT(HostErrorReports(), ::testing::ElementsAreArray(expected));
}

TEST_F(BaseLifecycle, LockCompactsAndRefusesASecondLock) {
  ASSERT_EQ(data.Create(dir.slash().c_str(), 0), 0);
  for (const char* repere : {"%MW1", "%MW2", "%MW3"}) {
    CTBObjetAts object(repere, "", "", 0, -1);
    ASSERT_EQ(data.CreateObject(&object), 0);
  }
  CTBObjetAts gone("%MW2", "", "", 0, -1);
  ASSERT_EQ(data.DelObject(&gone), 0);
  EXPECT_EQ(xbase::TableRecordCount(data.m_mainTable), 3);
  EXPECT_EQ(data.Lock(), 0);
  EXPECT_EQ(data.Lock(), 100);
  EXPECT_EQ(data.Unlock(dir.slash().c_str()), 0);
  EXPECT_EQ(xbase::TableRecordCount(data.m_mainTable), 2);
  EXPECT_TRUE(HostErrorReports().empty());
  data.Close();
}

TEST_F(BaseLifecycle, LastModificationDateFollowsTheFirstWriteAfterCreateOrOpen) {
  ASSERT_EQ(data.Create(dir.slash().c_str(), 0), 0);
  long date = 12345;
  EXPECT_EQ(data.LastModificationDate(&date), -1);
  EXPECT_EQ(date, 0);
  const long before = static_cast<long>(std::time(nullptr));
  ASSERT_EQ(data.AppendComment("a comment", "MW   ", "00010", "", "", ""), 0);
  EXPECT_EQ(data.LastModificationDate(&date), 0);
  EXPECT_GE(date, before);
  EXPECT_LE(date, static_cast<long>(std::time(nullptr)));
  data.Close();
  ASSERT_EQ(data.Open(dir.slash().c_str()), 0);
  EXPECT_EQ(data.LastModificationDate(&date), -1);
  data.Close();
}

TEST_F(BaseLifecycle, DirectoryWithoutSeparatorPutsFilesInTheParent) {
  fs::create_directory(dir.file("proj"));
  ASSERT_EQ(data.Create(dir.file("proj").c_str(), 0), 0);
  data.Close();
  EXPECT_TRUE(fs::exists(dir.file("projKR9.DBF")));
  EXPECT_TRUE(fs::exists(dir.file("projKR9CMTR.MDX")));
  EXPECT_TRUE(fs::is_empty(dir.file("proj")));
}

TEST_F(BaseLifecycle, OverlongDirectoryIsRefusedWithOneReport) {
  EXPECT_EQ(data.Create((dir.slash() + std::string(80, 'd') + "/").c_str(), 0), 0);
  const auto reports = HostErrorReports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].operation, 2);
  EXPECT_TRUE(fs::is_empty(dir.path()));
  data.Close();
}

}  // namespace
