// The default host services, and the settings store: values that outlive the
// process, atomic rewrites, damaged files, writers racing from processes.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/settings_file.h"
#include "support/child_exit.h"
#include "support/host_reports.h"
#include "support/temp_dir.h"
#include "symbase/host.h"

namespace {

using ::testing::ElementsAre;

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* previous = std::getenv(name)) previous_ = previous;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { previous_ ? setenv(name_, previous_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

class SettingsTest : public testing_support::HostTest {
 protected:
  std::string SettingsFile() const { return dir_.file("symbase/settings.ini"); }
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.file("symbase"))) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  ino_t Inode() const {
    struct stat info;
    return stat(SettingsFile().c_str(), &info) == 0 ? info.st_ino : 0;
  }

  testing_support::TempDir dir_;
  ScopedEnv config_{"XDG_CONFIG_HOME", dir_.path()};
};

TEST_F(SettingsTest, WrittenValuesReadBackBySectionThroughANewFileBadKeysAreRefused) {
  EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosX", -1), -1);
  EXPECT_FALSE(std::filesystem::exists(SettingsFile())) << "reading must not create the file";
  EXPECT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 140), 1);
  EXPECT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosY", -20), 1);
  EXPECT_EQ(HostWriteSetting(nullptr, 3, "SymbOnLinePosX", 7), 1);
  // A reader holding the old file keeps it whole: the new one is a new inode.
  const ino_t before = Inode();
  EXPECT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 141), 1);
  EXPECT_NE(Inode(), before);

  EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosX", -1), 141);
  EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosY", -1), -20);
  EXPECT_EQ(HostReadSetting(nullptr, 3, "SymbOnLinePosX", -1), 7);
  EXPECT_EQ(HostReadSetting(nullptr, 4, "SymbOnLinePosX", -1), -1);
  EXPECT_EQ(testing_support::ReadFileBytes(SettingsFile()),
            "[3]\nSymbOnLinePosX=7\n[12]\nSymbOnLinePosX=141\nSymbOnLinePosY=-20\n");
  EXPECT_THAT(FolderEntries(), ElementsAre("settings.ini", "settings.lock"))
      << "no temporary file may be left";
  // Keys the file could not hold are refused; any other, up to 128 bytes, is kept.
  for (const std::string& key :
       {std::string(), std::string("a=b"), std::string("[12"), std::string("12]"),
        std::string("two\nlines"), std::string("del\x7F"), std::string(129, 'K')}) {
    EXPECT_EQ(HostWriteSetting(nullptr, 12, key.c_str(), 1), 0) << key;
    EXPECT_EQ(HostReadSetting(nullptr, 12, key.c_str(), -9), -9) << key;
  }
  for (const std::string& key : {std::string(128, 'K'), std::string("Position X \xE9~")}) {
    EXPECT_EQ(HostWriteSetting(nullptr, 12, key.c_str(), 2), 1) << key;
    EXPECT_EQ(HostReadSetting(nullptr, 12, key.c_str(), -1), 2) << key;
  }
}

TEST_F(SettingsTest, ProcessesShareTheValuesAndWritingAtOnceLoseNothing) {
  ASSERT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 312), 1);
  constexpr int kWriters = 8;
  std::vector<pid_t> writers;
  for (int at = 0; at < kWriters; ++at) {
    const std::string key = "Key" + std::to_string(at);
    writers.push_back(fork());
    if (writers.back() == 0)
      _exit(HostWriteSetting(nullptr, 12, key.c_str(), at * 10) == 1 ? 0 : 1);
  }
  for (pid_t pid : writers) EXPECT_EQ(testing_support::ChildExit(pid), 0);
  for (int at = 0; at < kWriters; ++at) {
    EXPECT_EQ(HostReadSetting(nullptr, 12, ("Key" + std::to_string(at)).c_str(), -1), at * 10);
  }
  EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosX", -1), 312);
  // A writer that keeps the lock is waited for a while, then the write fails.
  const int held = open(dir_.file("symbase/settings.lock").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  EXPECT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 1), 0);
  close(held);
  // A writer whose rewrite the system cuts short (a file size limit) fails.
  const pid_t limited = fork();
  if (limited == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{16, 16};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 2) == 0 ? 0 : 1);
  }
  EXPECT_EQ(testing_support::ChildExit(limited), 0);
  EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosX", -1), 312);
  EXPECT_THAT(FolderEntries(), ElementsAre("settings.ini", "settings.lock"));
}

TEST_F(SettingsTest, DamagedFilesReadAsDefaultsAndTheNextWriteRepairsThem) {
  std::filesystem::create_directories(dir_.file("symbase"));
  const struct {
    std::string content;
    int x, y;
  } files[] = {
      {std::string("\x00\xFF[12\nSymbOnLinePosX=12x\n[12]\nSymbOnLinePosY=99999999999\n=4\n"
                   "SymbOnLinePosX\n[zz]\nSymbOnLinePosX=5\n\xE9\xE8=3\n",
                   86),
       -1, -1},
      {"[12]\r\nSymbOnLinePosX=30\r\ngarbage\x01line\r\nSymbOnLinePosY=40", 30, 40},
      {"[12]\nSymbOnLinePosX=1\n" + std::string(1 << 20, '#'), -1, -1},  // too large to be ours
  };
  for (const auto& f : files) {
    ASSERT_TRUE(testing_support::WriteFileBytes(SettingsFile(), f.content));
    EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosX", -1), f.x);
    EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosY", -1), f.y);
  }
  ASSERT_TRUE(testing_support::WriteFileBytes(SettingsFile(), files[1].content));
  ASSERT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 8), 1);
  EXPECT_EQ(testing_support::ReadFileBytes(SettingsFile()),
            "[12]\nSymbOnLinePosX=8\nSymbOnLinePosY=40\n");
  // A file holding less than its size says (a system file linked in its
  // place) is read as far as it goes, in a child: a read that never ends fails.
  std::filesystem::remove(SettingsFile());
  std::filesystem::create_symlink("/sys/devices/system/cpu/online", SettingsFile());
  const pid_t reader = fork();
  if (reader == 0) _exit(HostReadSetting(nullptr, 12, "SymbOnLinePosX", -3) == -3 ? 0 : 1);
  EXPECT_EQ(testing_support::ChildExit(reader, 10), 0);
  std::filesystem::remove(SettingsFile());
  std::filesystem::create_directories(SettingsFile());  // a directory reads as defaults
  EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosX", -3), -3);
  EXPECT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 1), 0);
  EXPECT_THAT(FolderEntries(), ElementsAre("settings.ini", "settings.lock"))
      << "the failed rewrite must not leave its temporary file";
  // Nor does a write succeed where the folder cannot be made.
  ScopedEnv blocked("XDG_CONFIG_HOME", dir_.file("symbase/settings.lock/folder"));
  EXPECT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 1), 0);
}

class ServicesTest : public testing_support::HostTest {};

TEST_F(ServicesTest, ServersHandOutObjectsDeclarationsAndQueuedAnswers) {
  auto* base = reinterpret_cast<CObject*>(0x3000);
  CObject* builtin = HostGetObject(1);
  ASSERT_NE(builtin, nullptr);
  EXPECT_EQ(HostGetObject(2), nullptr);
  HostSetApplicationObject(base);
  EXPECT_EQ(HostGetObject(1), base);
  HostSetApplicationObject(nullptr);
  EXPECT_EQ(HostGetObject(1), builtin);
  // The default declarations leave every symbol to the base and read a
  // host's comment without its NUL within the field.
  HostDeclarations* decl = ServerGetService(219);
  ASSERT_NE(decl, nullptr);
  HostDeclRecord record;
  std::memset(&record, 'c', sizeof record);  // no NUL
  CString comment;
  DeclRecordComment(&record, comment);
  EXPECT_EQ(comment.GetLength(), static_cast<int>(sizeof record.comment)) << "read within";
  EXPECT_EQ(DeclFindSymbol(decl, 0, "Pump_1", &record), kDeclLeftToBase);
  DeclRecordComment(&record, comment);
  EXPECT_TRUE(comment.IsEmpty()) << "the search empties the record";
  // A message box takes the answer queued for it; with none left, Cancel.
  HostQueueMessageBoxAnswer(kHostIdYes);
  EXPECT_EQ(HostMessageBox("Titre", "Remplacer ?", 7, 4), kHostIdYes);
  EXPECT_EQ(HostMessageBox(nullptr, nullptr, 2, 0), kHostIdCancel);
}

}  // namespace
