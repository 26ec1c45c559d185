// The POSIX file system: reads past the end, creation and opening errors,
// renames, syncs, and locks that belong to one open of a file.

#include <gtest/gtest.h>

#include <cerrno>
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

class PosixFileSystem : public ::testing::Test {
 protected:
  std::unique_ptr<File> Open(const std::string& name, OpenMode mode) {
    std::unique_ptr<File> file;
    EXPECT_EQ(kOk, fs_->Open(dir_.file(name), mode, &file)) << name;
    return file;
  }
  FileSystem* fs_ = FileSystem::Posix();
  TempDir dir_;
};

TEST_F(PosixFileSystem, ReadsBackWhatWasWrittenAndReportsShortReadsAtTheEnd) {
  auto file = Open("A.DAT", OpenMode::kCreate);
  ASSERT_TRUE(file);
  ASSERT_EQ(kOk, file->WriteAt(10, "hello", 5));
  std::uint64_t size = 0;
  ASSERT_EQ(kOk, file->Size(&size));
  EXPECT_EQ(15u, size);
  char buffer[32] = {};
  std::size_t got = 99;
  ASSERT_EQ(kOk, file->ReadAt(8, buffer, sizeof buffer, &got));
  EXPECT_EQ(std::string("\0\0hello", 7), std::string(buffer, got));
  ASSERT_EQ(kOk, file->ReadAt(100, buffer, 4, &got));
  EXPECT_EQ(0u, got);
  ASSERT_EQ(kOk, file->Truncate(12));
  ASSERT_EQ(kOk, file->Size(&size));
  EXPECT_EQ(12u, size);
  EXPECT_EQ(kOk, file->Sync());
  // Ranges that would run past the last offset are refused.
  EXPECT_EQ(kErrArgument, file->Lock(10, 0, true));
  EXPECT_EQ(kErrArgument, file->Lock(~0ull, 2, true));
  EXPECT_EQ(kErrArgument, file->ReadAt(~0ull, buffer, 1, &got));
  EXPECT_EQ(kErrArgument, file->WriteAt(~0ull, buffer, 1));
}

TEST_F(PosixFileSystem, CreateEmptiesOpenNeedsAFileRenameReplaces) {
  std::unique_ptr<File> file;
  EXPECT_EQ(kErrOpen, fs_->Open(dir_.file("B"), OpenMode::kReadWrite, &file));
  EXPECT_FALSE(file);
  ASSERT_TRUE(testing_support::WriteFileBytes(dir_.file("B"), "old content"));
  file = Open("B", OpenMode::kCreate);
  std::uint64_t size = 1;
  ASSERT_EQ(kOk, file->Size(&size));
  EXPECT_EQ(0u, size);
  EXPECT_EQ(kErrCreate, fs_->Open(dir_.file("no/such/C"), OpenMode::kCreate, &file));
  EXPECT_EQ(kErrOpen, fs_->Open(dir_.path(), OpenMode::kReadWrite, &file));
  EXPECT_EQ(kErrArgument, fs_->Open("", OpenMode::kReadWrite, &file));

  ASSERT_TRUE(testing_support::WriteFileBytes(dir_.file("FROM"), "new"));
  ASSERT_EQ(kOk, fs_->Rename(dir_.file("FROM"), dir_.file("B")));
  EXPECT_EQ("new", testing_support::ReadFileBytes(dir_.file("B")));
  EXPECT_EQ(kErrRename, fs_->Rename(dir_.file("FROM"), dir_.file("B")));
  EXPECT_EQ(kOk, fs_->Remove(dir_.file("B")));
  EXPECT_EQ(kErrRename, fs_->Remove(dir_.file("B")));
  // A call that succeeds is not retried for an errno left by an earlier one.
  errno = EINTR;
  EXPECT_EQ(kOk, fs_->SyncDirectory(dir_.file("B")));
}

// Another process's locks are met in tests of the table locks.
TEST_F(PosixFileSystem, LocksConflictBetweenTwoOpensOfOneProcess) {
  auto first = Open("L", OpenMode::kCreate);
  auto second = Open("L", OpenMode::kReadWrite);
  ASSERT_EQ(kOk, first->Lock(kHighOffset, 1, true));
  EXPECT_EQ(kLocked, second->Lock(kHighOffset, 1, true));
  EXPECT_EQ(kLocked, second->Lock(kHighOffset, 1, false));
  EXPECT_EQ(kOk, second->Lock(kHighOffset + 1, 1, true));  // the next byte is free
  // Closing a third open of the same file keeps the first one's lock.
  Open("L", OpenMode::kReadWrite).reset();
  EXPECT_EQ(kLocked, second->Lock(kHighOffset, 1, true));
  ASSERT_EQ(kOk, first->Unlock(kHighOffset, 1));
  EXPECT_EQ(kOk, second->Lock(kHighOffset, 1, true));
  // Shared locks coexist but keep an exclusive one out until closed.
  auto third = Open("L", OpenMode::kReadWrite);
  ASSERT_EQ(kOk, first->Lock(100, 10, false));
  EXPECT_EQ(kOk, third->Lock(105, 10, false));
  EXPECT_EQ(kLocked, second->Lock(109, 1, true));
  first.reset();
  third.reset();
  EXPECT_EQ(kOk, second->Lock(109, 1, true));
}

}  // namespace
}  // namespace xbase
