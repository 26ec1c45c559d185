// The default settings store: values that outlive the process, atomic
// rewrites, damaged files and writers racing from several processes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/settings_file.h"
#include "support/host_reports.h"
#include "support/temp_dir.h"
#include "symbase/host.h"

extern char** environ;

namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

constexpr const char* kHelperVariable = "SYMBASE_HOST_SETTINGS_HELPER";

// Started with kHelperVariable set, this test binary is a second process of
// the settings store: "write <section> <key> <value>" stores one value and
// exits 0 when stored; "read <section> <key>" prints the value read (default
// -1). It exits before the tests run.
const bool kHelperRan = [] {
  const char* order = std::getenv(kHelperVariable);
  if (order == nullptr) return false;
  char verb[8] = {};
  char key[64] = {};
  int section = 0;
  int value = 0;
  int fields = std::sscanf(order, "%7s %d %63s %d", verb, &section, key, &value);
  if (fields == 4 && std::string(verb) == "write") {
    _exit(HostWriteSetting(nullptr, section, key, value) == 1 ? 0 : 1);
  }
  if (fields == 3 && std::string(verb) == "read") {
    std::printf("%d\n", HostReadSetting(nullptr, section, key, -1));
    std::fflush(stdout);
    _exit(0);
  }
  _exit(2);
}();

// Starts this binary as a helper with XDG_CONFIG_HOME = config.
pid_t StartHelper(const std::string& config, const std::string& order, int out_fd) {
  std::vector<std::string> env = {"XDG_CONFIG_HOME=" + config,
                                  std::string(kHelperVariable) + "=" + order};
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text = *entry;
    if (text.rfind("XDG_CONFIG_HOME=", 0) != 0 && text.rfind(kHelperVariable, 0) != 0) {
      env.push_back(text);
    }
  }
  std::vector<char*> envp;
  for (std::string& text : env) envp.push_back(text.data());
  envp.push_back(nullptr);
  char program[] = "/proc/self/exe";
  char* argv[] = {program, nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (out_fd >= 0) posix_spawn_file_actions_adddup2(&actions, out_fd, STDOUT_FILENO);
  pid_t pid = -1;
  int failed = posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return failed == 0 ? pid : -1;
}

int WaitExit(pid_t pid) {
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Runs one helper to its end; its printed output goes to *out.
int RunHelper(const std::string& config, const std::string& order, std::string* out) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return -1;
  pid_t pid = StartHelper(config, order, pipe_fds[1]);
  close(pipe_fds[1]);
  char buffer[256];
  ssize_t got = 0;
  while ((got = read(pipe_fds[0], buffer, sizeof buffer)) > 0) {
    if (out != nullptr) out->append(buffer, static_cast<std::size_t>(got));
  }
  close(pipe_fds[0]);
  return WaitExit(pid);
}

class SettingsTest : public testing_support::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    had_previous_ = previous != nullptr;
    if (had_previous_) previous_ = previous;
    setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
  }
  void TearDown() override {
    if (had_previous_) {
      setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
    HostTest::TearDown();
  }
  std::string SettingsFile() const { return dir_.file("symbase/settings.ini"); }
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.file("symbase"))) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testing_support::TempDir dir_;

 private:
  bool had_previous_ = false;
  std::string previous_;
};

TEST_F(SettingsTest, MissingValueReadsAsTheDefault) {
  EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosX", -1), -1);
  EXPECT_FALSE(std::filesystem::exists(SettingsFile())) << "reading must not create the file";
}

TEST_F(SettingsTest, WrittenValuesReadBackBySection) {
  EXPECT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 140), 1);
  EXPECT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosY", -20), 1);
  EXPECT_EQ(HostWriteSetting(nullptr, 3, "SymbOnLinePosX", 7), 1);
  EXPECT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 141), 1);

  EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosX", -1), 141);
  EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosY", -1), -20);
  EXPECT_EQ(HostReadSetting(nullptr, 3, "SymbOnLinePosX", -1), 7);
  EXPECT_EQ(HostReadSetting(nullptr, 4, "SymbOnLinePosX", -1), -1);
  EXPECT_EQ(testing_support::ReadFileBytes(SettingsFile()),
            "[3]\nSymbOnLinePosX=7\n[12]\nSymbOnLinePosX=141\nSymbOnLinePosY=-20\n");
  EXPECT_THAT(FolderEntries(), ElementsAre("settings.ini", "settings.lock"))
      << "no temporary file may be left";
}

TEST_F(SettingsTest, ValuesCrossToAndFromASecondProcess) {
  ASSERT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 312), 1);
  std::string out;
  ASSERT_EQ(RunHelper(dir_.path(), "read 12 SymbOnLinePosX", &out), 0);
  EXPECT_EQ(out, "312\n");
  ASSERT_EQ(RunHelper(dir_.path(), "write 12 SymbOnLinePosY 455", nullptr), 0);
  EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosY", -1), 455);
  EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosX", -1), 312);
}

TEST_F(SettingsTest, RewriteReplacesTheFileInsteadOfWritingIntoIt) {
  ASSERT_EQ(HostWriteSetting(nullptr, 12, "A", 1), 1);
  // A reader holding the old file keeps seeing a whole old file: the new
  // content arrives by rename, as a new inode.
  struct stat first;
  ASSERT_EQ(stat(SettingsFile().c_str(), &first), 0);
  ASSERT_EQ(HostWriteSetting(nullptr, 12, "B", 2), 1);
  struct stat second;
  ASSERT_EQ(stat(SettingsFile().c_str(), &second), 0);
  EXPECT_NE(first.st_ino, second.st_ino);
}

TEST_F(SettingsTest, DamagedLinesReadAsDefaultsAndTheNextWriteRepairsTheFile) {
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
  };
  for (const auto& f : files) {
    ASSERT_TRUE(testing_support::WriteFileBytes(SettingsFile(), f.content));
    EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosX", -1), f.x);
    EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosY", -1), f.y);
  }
  ASSERT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 8), 1);
  EXPECT_EQ(testing_support::ReadFileBytes(SettingsFile()),
            "[12]\nSymbOnLinePosX=8\nSymbOnLinePosY=40\n");
}

TEST_F(SettingsTest, SettingsPathThatIsADirectoryReadsAsDefaults) {
  std::filesystem::create_directories(SettingsFile());
  EXPECT_EQ(HostReadSetting(nullptr, 12, "SymbOnLinePosX", -3), -3);
  EXPECT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 1), 0);
  EXPECT_THAT(FolderEntries(), ElementsAre("settings.ini", "settings.lock"))
      << "the failed rewrite must not leave its temporary file";
}

TEST_F(SettingsTest, BadKeysAreRefused) {
  const std::string overlong(129, 'K');
  for (const std::string& key : {std::string(), std::string("a=b"), std::string("[12]"),
                                 std::string("two\nlines"), std::string("tab\there"), overlong}) {
    EXPECT_EQ(HostWriteSetting(nullptr, 12, key.c_str(), 1), 0) << key;
    EXPECT_EQ(HostReadSetting(nullptr, 12, key.c_str(), -9), -9) << key;
  }
  EXPECT_EQ(HostWriteSetting(nullptr, 12, std::string(128, 'K').c_str(), 1), 1);
  EXPECT_EQ(HostWriteSetting(nullptr, 12, "Position X \xE9", 2), 1);
  EXPECT_EQ(HostReadSetting(nullptr, 12, "Position X \xE9", -1), 2);
}

TEST_F(SettingsTest, RelativeConfigHomeFallsBackToTheHomeFolder) {
  testing_support::TempDir home;
  std::string old_home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  setenv("XDG_CONFIG_HOME", "relative/dir", 1);
  setenv("HOME", home.path().c_str(), 1);
  EXPECT_EQ(host::SettingsFolder(), home.path() + "/.config/symbase");
  EXPECT_EQ(HostWriteSetting(nullptr, 12, "SymbOnLinePosX", 6), 1);
  EXPECT_TRUE(std::filesystem::exists(home.file(".config/symbase/settings.ini")));
  setenv("HOME", old_home.c_str(), 1);
}

TEST_F(SettingsTest, ProcessesWritingAtOnceLoseNothing) {
  constexpr int kWriters = 8;
  std::vector<pid_t> writers;
  for (int at = 0; at < kWriters; ++at) {
    std::string order = "write 12 Key" + std::to_string(at) + " " + std::to_string(at * 10);
    writers.push_back(StartHelper(dir_.path(), order, -1));
  }
  for (pid_t pid : writers) EXPECT_EQ(WaitExit(pid), 0);
  for (int at = 0; at < kWriters; ++at) {
    EXPECT_EQ(HostReadSetting(nullptr, 12, ("Key" + std::to_string(at)).c_str(), -1), at * 10);
  }
  EXPECT_THAT(FolderEntries(), ElementsAre("settings.ini", "settings.lock"));
}

TEST(SettingsFormatTest, SerializeThenParseGivesTheSameSettingsOutOfRangeIgnored) {
  host::Settings settings;
  settings[{12, "SymbOnLinePosX"}] = -2147483647 - 1;
  settings[{12, "SymbOnLinePosY"}] = 2147483647;
  settings[{-4, "Z"}] = 0;
  EXPECT_EQ(host::ParseSettings(host::SerializeSettings(settings)), settings);
  // Values out of range and keys before a section are ignored.
  settings =
      host::ParseSettings("Early=1\n[12]\nBig=2147483648\nSmall=-2147483649\nOk=+5\nFine=-5\n");
  EXPECT_THAT(settings, ElementsAre(Pair(Pair(12, "Fine"), -5)));
}

}  // namespace
