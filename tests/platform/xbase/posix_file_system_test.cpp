#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "support/temp_dir.h"
#include "xbase/file_system.h"
#include "xbase/result.h"

namespace xbase {
namespace {

using testing_support::TempDir;

// Far beyond 2^32, as the engine's lock offsets may be.
constexpr std::uint64_t kHighOffset = 0x1EFFFFFFEull;

std::unique_ptr<File> OpenOrDie(const std::string& path, OpenMode mode) {
  std::unique_ptr<File> file;
  EXPECT_EQ(kOk, FileSystem::Posix()->Open(path, mode, &file));
  return file;
}

// Runs `body` in a forked child and returns its exit code (the child's result).
int InChild(int (*body)(const std::string&), const std::string& path) {
  pid_t pid = fork();
  if (pid == 0) _exit(body(path));
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PosixFileSystem, ReadsBackWhatWasWrittenAndReportsShortReadsAtTheEnd) {
  TempDir dir;
  auto file = OpenOrDie(dir.file("A.DAT"), OpenMode::kCreate);
  ASSERT_TRUE(file);
  ASSERT_EQ(kOk, file->WriteAt(10, "hello", 5));
  std::uint64_t size = 0;
  ASSERT_EQ(kOk, file->Size(&size));
  EXPECT_EQ(15u, size);

  char buffer[32] = {};
  std::size_t got = 99;
  ASSERT_EQ(kOk, file->ReadAt(8, buffer, sizeof buffer, &got));
  EXPECT_EQ(7u, got);
  EXPECT_EQ(std::string("\0\0hello", 7), std::string(buffer, got));

  ASSERT_EQ(kOk, file->ReadAt(100, buffer, 4, &got));
  EXPECT_EQ(0u, got);

  ASSERT_EQ(kOk, file->Truncate(12));
  ASSERT_EQ(kOk, file->Size(&size));
  EXPECT_EQ(12u, size);
  EXPECT_EQ(kOk, file->Sync());
}

TEST(PosixFileSystem, CreateEmptiesAnExistingFileAndOpenNeedsOne) {
  TempDir dir;
  const std::string path = dir.file("B.DAT");
  std::unique_ptr<File> file;
  EXPECT_EQ(kErrOpen, FileSystem::Posix()->Open(path, OpenMode::kReadWrite, &file));
  EXPECT_FALSE(file);

  ASSERT_TRUE(testing_support::WriteFileBytes(path, "old content"));
  file = OpenOrDie(path, OpenMode::kCreate);
  std::uint64_t size = 1;
  ASSERT_EQ(kOk, file->Size(&size));
  EXPECT_EQ(0u, size);

  EXPECT_EQ(kErrCreate,
            FileSystem::Posix()->Open(dir.file("no/such/C.DAT"), OpenMode::kCreate, &file));
  EXPECT_EQ(kErrOpen, FileSystem::Posix()->Open(dir.path(), OpenMode::kReadWrite, &file));
  EXPECT_EQ(kErrArgument, FileSystem::Posix()->Open("", OpenMode::kReadWrite, &file));
}

TEST(PosixFileSystem, RenameReplacesAndRemoveDeletes) {
  TempDir dir;
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("FROM"), "new"));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("TO"), "old"));
  ASSERT_EQ(kOk, FileSystem::Posix()->Rename(dir.file("FROM"), dir.file("TO")));
  EXPECT_EQ("new", testing_support::ReadFileBytes(dir.file("TO")));
  EXPECT_EQ(kErrRename, FileSystem::Posix()->Rename(dir.file("FROM"), dir.file("TO")));
  EXPECT_EQ(kOk, FileSystem::Posix()->Remove(dir.file("TO")));
  EXPECT_EQ(kErrRename, FileSystem::Posix()->Remove(dir.file("TO")));
}

int ChildTriesLock(const std::string& path) {
  std::unique_ptr<File> file;
  if (FileSystem::Posix()->Open(path, OpenMode::kReadWrite, &file) != kOk) return 100;
  return file->Lock(kHighOffset, 1, true);
}

TEST(PosixFileSystem, LocksConflictBetweenTwoOpensAndWithAnotherProcess) {
  TempDir dir;
  const std::string path = dir.file("L.DAT");
  auto first = OpenOrDie(path, OpenMode::kCreate);
  auto second = OpenOrDie(path, OpenMode::kReadWrite);

  ASSERT_EQ(kOk, first->Lock(kHighOffset, 1, true));
  EXPECT_EQ(kLocked, InChild(ChildTriesLock, path));
  EXPECT_EQ(kLocked, second->Lock(kHighOffset, 1, true));
  EXPECT_EQ(kLocked, second->Lock(kHighOffset, 1, false));
  EXPECT_EQ(kOk, second->Lock(kHighOffset + 1, 1, true));  // the next byte is free

  // Closing a third descriptor of the same file keeps the first one's lock.
  OpenOrDie(path, OpenMode::kReadWrite).reset();
  EXPECT_EQ(kLocked, second->Lock(kHighOffset, 1, true));

  ASSERT_EQ(kOk, first->Unlock(kHighOffset, 1));
  EXPECT_EQ(kOk, InChild(ChildTriesLock, path));
  EXPECT_EQ(kOk, second->Lock(kHighOffset, 1, true));
}

TEST(PosixFileSystem, SharedLocksCoexistButBlockAnExclusiveOne) {
  TempDir dir;
  const std::string path = dir.file("S.DAT");
  auto a = OpenOrDie(path, OpenMode::kCreate);
  auto b = OpenOrDie(path, OpenMode::kReadWrite);
  auto c = OpenOrDie(path, OpenMode::kReadWrite);
  ASSERT_EQ(kOk, a->Lock(100, 10, false));
  EXPECT_EQ(kOk, b->Lock(105, 10, false));
  EXPECT_EQ(kLocked, c->Lock(109, 1, true));
  a.reset();  // closing the last descriptor of a description drops its locks
  b.reset();
  EXPECT_EQ(kOk, c->Lock(109, 1, true));
}

TEST(PosixFileSystem, LockRefusesEmptyAndOverflowingRanges) {
  TempDir dir;
  auto file = OpenOrDie(dir.file("R.DAT"), OpenMode::kCreate);
  EXPECT_EQ(kErrArgument, file->Lock(10, 0, true));
  EXPECT_EQ(kErrArgument, file->Lock(~0ull, 2, true));
  char byte = 0;
  std::size_t got = 0;
  EXPECT_EQ(kErrArgument, file->ReadAt(~0ull, &byte, 1, &got));
  EXPECT_EQ(kErrArgument, file->WriteAt(~0ull, &byte, 1));
}

}  // namespace
}  // namespace xbase
