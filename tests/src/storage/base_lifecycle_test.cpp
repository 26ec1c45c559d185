// Creating, opening, deleting, locking and unlocking a base, with the reports
// each failure leaves.

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "frame/checked_calls.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"
#include "support/temp_dir.h"
#include "symbase/host.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

class BaseLifecycle : public ::testing::Test {
 protected:
  void SetUp() override { HostClearRecords(); }
  void TearDown() override { HostClearRecords(); }

  // Appends a main row with the given address and marks it deleted or not.
  void AppendMainRow(const char* repere, bool deleted) {
    ASSERT_EQ(symbase::CheckedAppendStart(data.m_mainTable), 0);
    xbase::RecordBlank(data.m_mainTable);
    xbase::FieldAssign(data.m_fieldObjet, "MW");
    xbase::FieldAssign(data.m_fieldRepere, repere);
    ASSERT_EQ(symbase::CheckedRecordAppend(data.m_mainTable), 0);
    if (deleted) xbase::RecordDelete(data.m_mainTable);
    ASSERT_EQ(symbase::CheckedTableUnlock(data.m_mainTable), 0);
  }

  TempDir dir;
  CTBData data;
};

TEST_F(BaseLifecycle, CreateMakesTheSixFilesAndReportsNothing) {
  EXPECT_EQ(data.Create(dir.slash().c_str(), 0), 0);
  for (const char* name : symbase::kBaseFiles) EXPECT_TRUE(fs::exists(dir.file(name))) << name;
  EXPECT_TRUE(HostErrorReports().empty());
  EXPECT_NE(data.m_tagSymbole, nullptr);
  EXPECT_NE(data.m_fieldCmt2, nullptr);
  EXPECT_EQ(data.Close(), 0);
  // The files reopen cleanly.
  EXPECT_EQ(data.Open(dir.slash().c_str()), 0);
  EXPECT_TRUE(HostErrorReports().empty());
  EXPECT_NE(data.m_tagRepCmt, nullptr);
  EXPECT_EQ(data.Close(), 0);
}

TEST_F(BaseLifecycle, OpenWithoutMainTableReportsTheFailedOpening) {
  EXPECT_EQ(data.Open(dir.slash().c_str()), 0);
  const auto reports = HostErrorReports();
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports[0].module, 146);
  EXPECT_EQ(reports[0].operation, 4);
  EXPECT_EQ(reports[0].severity, 4);
  EXPECT_LT(reports[0].code, 0);
  EXPECT_EQ(reports[0].source, "Tabiserr");
  EXPECT_EQ(data.m_mainTable, nullptr);
  data.Close();
}

TEST_F(BaseLifecycle, DeleteRemovesWhatExistsAndReportsEachMissingFile) {
  std::FILE* file = std::fopen(dir.file("KR9.DBF").c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_EQ(data.Delete(dir.slash().c_str()), 0);
  EXPECT_FALSE(fs::exists(dir.file("KR9.DBF")));
  const auto reports = HostErrorReports();
  ASSERT_EQ(reports.size(), 5u);
  const char* missing[] = {"KR9CMT.DBF", "KR9CLER.MDX", "KR9R.MDX", "KR9S.MDX", "KR9CMTR.MDX"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(reports[i].operation, 24);
    EXPECT_EQ(reports[i].code, 408 + 2);
    EXPECT_EQ(reports[i].text, dir.slash() + missing[i]);
    EXPECT_EQ(reports[i].source, "Tabiserr");
  }
}

TEST_F(BaseLifecycle, LockCompactsAndRefusesASecondLock) {
  ASSERT_EQ(data.Create(dir.slash().c_str(), 0), 0);
  AppendMainRow("%MW1", false);
  AppendMainRow("%MW2", true);
  AppendMainRow("%MW3", false);
  EXPECT_EQ(xbase::TableRecordCount(data.m_mainTable), 3);
  EXPECT_EQ(data.Lock(), 0);
  EXPECT_EQ(data.m_locked, 1);
  EXPECT_EQ(data.Lock(), 100);
  EXPECT_EQ(data.Unlock(dir.slash().c_str()), 0);
  EXPECT_EQ(data.m_locked, 0);
  EXPECT_EQ(xbase::TableRecordCount(data.m_mainTable), 2);
  EXPECT_TRUE(HostErrorReports().empty());
  data.Close();
}

TEST_F(BaseLifecycle, LastModificationDateFollowsTheFirstWrite) {
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
  // Open starts afresh.
  ASSERT_EQ(data.Open(dir.slash().c_str()), 0);
  EXPECT_EQ(data.LastModificationDate(&date), -1);
  data.Close();
}

TEST_F(BaseLifecycle, DirectoryWithoutSeparatorPutsFilesInTheParent) {
  const std::string named = dir.file("proj");
  fs::create_directory(named);
  ASSERT_EQ(data.Create(named.c_str(), 0), 0);
  data.Close();
  EXPECT_TRUE(fs::exists(dir.file("projKR9.DBF")));
  EXPECT_TRUE(fs::exists(dir.file("projKR9CMTR.MDX")));
  EXPECT_TRUE(fs::is_empty(named));
}

TEST_F(BaseLifecycle, OverlongDirectoryIsRefusedWithOneReport) {
  const std::string directory = dir.slash() + std::string(80, 'd') + "/";
  EXPECT_EQ(data.Create(directory.c_str(), 0), 0);
  const auto reports = HostErrorReports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].operation, 2);
  EXPECT_EQ(data.m_mainTable, nullptr);
  EXPECT_TRUE(fs::is_empty(dir.path()));
  data.Close();
}

}  // namespace
