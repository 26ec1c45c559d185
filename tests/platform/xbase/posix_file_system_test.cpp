// The POSIX file system: renames, removals, syncs, and locks that belong to
// one open of a file. Reads, writes and cut files are met through the tables
// (dbf_file_test.cpp, fault_test.cpp).

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

TEST_F(PosixFileSystem, RenameReplacesAndMissingFilesAreReported) {
  ASSERT_TRUE(testing_support::WriteFileBytes(dir_.file("B"), "old content"));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir_.file("FROM"), "new"));
  ASSERT_EQ(kOk, fs_->Rename(dir_.file("FROM"), dir_.file("B")));
  EXPECT_EQ("new", testing_support::ReadFileBytes(dir_.file("B")));
  EXPECT_EQ(kErrRename, fs_->Rename(dir_.file("FROM"), dir_.file("B")));
  EXPECT_EQ(kOk, fs_->Remove(dir_.file("B")));
  EXPECT_EQ(kErrRename, fs_->Remove(dir_.file("B")));
  std::unique_ptr<File> file;
  EXPECT_EQ(kErrOpen, fs_->Open(dir_.file("B"), OpenMode::kReadWrite, &file));
  EXPECT_FALSE(file);
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
