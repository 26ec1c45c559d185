// The POSIX file system's locks, which belong to one open of a file. Its
// reads, writes, renames and failures are met through the tables
// (dbf_file_test.cpp, compact_test.cpp, fault_test.cpp).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/temp_dir.h"
#include "xbase/file_system.h"
#include "xbase/result.h"

namespace xbase {
namespace {

// Far beyond 2^32, as the engine's lock offsets may be.
constexpr std::uint64_t kHighOffset = 0x1EFFFFFFEull;

// Another process's locks are met in tests of the table locks.
TEST(PosixFileSystem, LocksConflictBetweenTwoOpensOfOneProcess) {
  testing_support::TempDir dir;
  const auto open_file = [&dir](OpenMode mode) {
    std::unique_ptr<File> file;
    EXPECT_EQ(kOk, FileSystem::Posix()->Open(dir.file("L"), mode, &file));
    return file;
  };
  auto first = open_file(OpenMode::kCreate);
  auto second = open_file(OpenMode::kReadWrite);
  ASSERT_EQ(kOk, first->Lock(kHighOffset, 1, true));
  EXPECT_EQ(kLocked, second->Lock(kHighOffset, 1, true));
  EXPECT_EQ(kLocked, second->Lock(kHighOffset, 1, false));
  EXPECT_EQ(kOk, second->Lock(kHighOffset + 1, 1, true));  // the next byte is free
  // Closing a third open of the same file keeps the first one's lock.
  open_file(OpenMode::kReadWrite).reset();
  EXPECT_EQ(kLocked, second->Lock(kHighOffset, 1, true));
  ASSERT_EQ(kOk, first->Unlock(kHighOffset, 1));
  EXPECT_EQ(kOk, second->Lock(kHighOffset, 1, true));
  // Shared locks coexist but keep an exclusive one out until closed.
  auto third = open_file(OpenMode::kReadWrite);
  ASSERT_EQ(kOk, first->Lock(100, 10, false));
  EXPECT_EQ(kOk, third->Lock(105, 10, false));
  EXPECT_EQ(kLocked, second->Lock(109, 1, true));
  first.reset();
  third.reset();
  EXPECT_EQ(kOk, second->Lock(109, 1, true));
}

}  // namespace
}  // namespace xbase
