// Creating, opening, deleting, locking and unlocking a base, with the reports
// each failure leaves.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "frame/checked_calls.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"
#include "support/host_reports.h"
#include "support/temp_dir.h"
#include "symbase/host.h"

namespace {

namespace fs = std::filesystem;

class BaseLifecycle : public testing_support::HostTest {
 protected:
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

  // "operation code text" of each report, all from the checked calls.
  std::vector<std::string> Reports() {
    std::vector<std::string> out;
    for (const auto& r : HostErrorReports()) {
      EXPECT_EQ(r.source, "Tabiserr");
      out.push_back(std::to_string(r.operation) + " " + std::to_string(r.code) + " " + r.text);
    }
    return out;
  }

  testing_support::TempDir dir;
  CTBData data;
};

TEST_F(BaseLifecycle, CreateMakesTheSixFilesThatReopenCleanly) {
  EXPECT_EQ(data.Create(dir.slash().c_str(), 0), 0);
  for (const char* name : symbase::kBaseFiles) EXPECT_TRUE(fs::exists(dir.file(name))) << name;
  EXPECT_NE(data.m_tagSymbole, nullptr);
  EXPECT_NE(data.m_fieldCmt2, nullptr);
  EXPECT_EQ(data.Close(), 0);
  EXPECT_EQ(data.Open(dir.slash().c_str()), 0);
  EXPECT_NE(data.m_tagRepCmt, nullptr);
  EXPECT_EQ(data.Close(), 0);
  EXPECT_TRUE(HostErrorReports().empty());
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
  std::ofstream(dir.file("KR9.DBF")).put('x');
  EXPECT_EQ(data.Delete(dir.slash().c_str()), 0);
  EXPECT_FALSE(fs::exists(dir.file("KR9.DBF")));
  std::vector<std::string> expected;
  for (const char* name : {"KR9CMT.DBF", "KR9CLER.MDX", "KR9R.MDX", "KR9S.MDX", "KR9CMTR.MDX"}) {
    expected.push_back("24 410 " + dir.slash() + name);
  }
  EXPECT_EQ(Reports(), expected);
}

TEST_F(BaseLifecycle, LockCompactsAndRefusesASecondLock) {
  ASSERT_EQ(data.Create(dir.slash().c_str(), 0), 0);
  for (const char* repere : {"%MW1", "%MW2", "%MW3"}) AppendMainRow(repere, repere[3] == '2');
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
  EXPECT_EQ(data.m_mainTable, nullptr);
  EXPECT_TRUE(fs::is_empty(dir.path()));
  data.Close();
}

}  // namespace
