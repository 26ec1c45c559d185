// A scattered read fills its pieces with the bytes that one plain read of
// the same range gives, up to the end of the file, on the system's files
// (one preadv) and on the in-memory files (one read per piece); a gathered
// write writes what one plain write of the pieces joined would, and one cut
// short goes on from where it stopped. Calls the system refuses fail at
// once, with the file's name. strace, watching this program again in a
// child process, counts the syncs that reach the system.

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdint>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/memory_file_system.h"
#include "support/temp_dir.h"
#include "xbase/file_system.h"
#include "xbase/result.h"

namespace xbase {
namespace {

constexpr std::size_t kFileBytes = 10000;

void ExpectScatteredReadsMatchPlainOnes(FileSystem* fs, const std::string& path) {
  std::unique_ptr<File> file;
  ASSERT_EQ(kOk, fs->Open(path, OpenMode::kCreate, &file));
  std::string bytes(kFileBytes, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  ASSERT_EQ(kOk, file->WriteAt(0, bytes.data(), bytes.size()));

  const struct {
    std::uint64_t offset;
    std::vector<std::size_t> sizes;
  } cases[] = {
      {0, {4096, 4096, 1808}},       // exactly the file
      {100, {3000, 1, 4096, 5000}},  // the last piece cut by the end of the file
      {9990, {4, 4, 4, 4}},          // pieces past the end stay unread
      {kFileBytes, {16}},            // nothing left
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.offset);
    std::vector<std::string> buffers;
    std::vector<File::Piece> pieces;
    for (std::size_t n : c.sizes) buffers.emplace_back(n, '#');
    for (std::string& b : buffers) pieces.push_back(File::Piece{&b[0], b.size()});
    std::size_t got = 99;
    ASSERT_EQ(kOk, file->ReadPiecesAt(c.offset, pieces.data(), pieces.size(), &got));
    EXPECT_EQ(got, kFileBytes - c.offset);
    std::string joined;
    for (const std::string& b : buffers) joined += b;
    EXPECT_EQ(joined.substr(0, got), bytes.substr(c.offset));
    EXPECT_EQ(joined.find_first_not_of('#', got), std::string::npos) << "written past the end";
  }
}

// Pieces written together past the end of a file, then over its middle.
void ExpectGatheredWritesMatchPlainOnes(FileSystem* fs, const std::string& path) {
  std::unique_ptr<File> file;
  ASSERT_EQ(kOk, fs->Open(path, OpenMode::kCreate, &file));
  std::string expected(100, '.');
  ASSERT_EQ(kOk, file->WriteAt(0, expected.data(), expected.size()));
  const std::string parts[] = {"first", "", std::string(5000, 'x'), "last"};
  std::vector<File::Bytes> pieces;
  for (const std::string& part : parts) pieces.push_back(File::Bytes{part.data(), part.size()});
  for (std::uint64_t offset : {200, 50}) {
    ASSERT_EQ(kOk, file->WritePiecesAt(offset, pieces.data(), pieces.size()));
    std::string joined = parts[0] + parts[1] + parts[2] + parts[3];
    expected.resize(std::max<std::size_t>(expected.size(), offset + joined.size()), '\0');
    expected.replace(offset, joined.size(), joined);
  }
  std::string read(expected.size() + 10, '#');
  std::size_t got = 0;
  ASSERT_EQ(kOk, file->ReadAt(0, &read[0], read.size(), &got));
  EXPECT_EQ(expected, read.substr(0, got));
}

TEST(ScatteredRead, SystemAndMemoryFilesGiveThePlainReadsBytes) {
  testing_support::TempDir dir;
  ExpectScatteredReadsMatchPlainOnes(FileSystem::Posix(), dir.file("SCATTER.DAT"));
  testing_support::MemoryFileSystem fs;
  ExpectScatteredReadsMatchPlainOnes(&fs, "SCATTER.DAT");
}

TEST(GatheredWrite, SystemAndMemoryFilesWriteWhatOnePlainWriteWould) {
  testing_support::TempDir dir;
  ExpectGatheredWritesMatchPlainOnes(FileSystem::Posix(), dir.file("GATHER.DAT"));
  testing_support::MemoryFileSystem fs;
  ExpectGatheredWritesMatchPlainOnes(&fs, "GATHER.DAT");
}

// Records each write, failing that of "jkl"; gives the test WriteRest, with
// which a gathered write that the system cut short goes on.
class WriteLog final : public File {
 public:
  using File::WriteRest;
  std::vector<std::pair<std::uint64_t, std::string>> writes;
  int WriteAt(std::uint64_t offset, const void* buffer, std::size_t n) override {
    writes.emplace_back(offset, std::string(static_cast<const char*>(buffer), n));
    return writes.back().second == "jkl" ? kErrWrite : kOk;
  }
  int ReadAt(std::uint64_t, void*, std::size_t, std::size_t*) override { return kErrRead; }
  int Size(std::uint64_t*) override { return kErrRead; }
  int Truncate(std::uint64_t) override { return kErrWrite; }
  int Sync() override { return kErrWrite; }
  int Lock(std::uint64_t, std::uint64_t, bool) override { return kErrLock; }
  int Unlock(std::uint64_t, std::uint64_t) override { return kErrLock; }
};

TEST(GatheredWrite, WhatTheSystemLeftIsWrittenFromWhereItStoppedUpToAFailure) {
  const File::Bytes pieces[] = {{"ab", 2}, {"cdefg", 5}, {"", 0}, {"hi", 2}, {"jkl", 3}, {"m", 1}};
  WriteLog log;
  EXPECT_EQ(kErrWrite, log.WriteRest(1000, pieces, 6, 4));  // "abcd" written
  const std::vector<std::pair<std::uint64_t, std::string>> expected = {
      {1004, "efg"}, {1007, "hi"}, {1009, "jkl"}};
  EXPECT_EQ(expected, log.writes);
  log.writes.clear();
  EXPECT_EQ(kOk, log.WriteRest(1000, pieces, 2, 2));
  EXPECT_EQ((std::vector<std::pair<std::uint64_t, std::string>>{{1002, "cdefg"}}), log.writes);
}

// A kernel file is a regular file that can be neither synced nor truncated.
TEST(SystemFile, RefusedSyncsAndTruncationsFailWithTheFilesName) {
  const std::string path = "/proc/self/status";
  std::unique_ptr<File> file;
  ASSERT_EQ(kOk, FileSystem::Posix()->Open(path, OpenMode::kReadOnly, &file));
  ClearLastFileFailure();
  EXPECT_EQ(kErrWrite, file->Sync());
  EXPECT_EQ(path + ": Invalid argument", LastFileFailure());
  EXPECT_EQ(kErrWrite, file->Truncate(0));
  EXPECT_EQ(kErrWrite, file->Truncate(INT64_MAX));  // the largest size is the system's to refuse
  EXPECT_EQ(kErrArgument, file->Truncate(UINT64_MAX));
}

// Run alone by the test below, under strace: written, synced twice, written
// again and synced, opened again and synced, written in pieces and synced.
// Skipped when run otherwise.
TEST(SystemFileSync, TracedChild) {
  const char* path = std::getenv("SYMBASE_SYNC_CHILD_FILE");
  if (path == nullptr) GTEST_SKIP() << "run by SystemFileSync.OnlyWrittenFilesWaitForTheDisk";
  std::unique_ptr<File> file;
  ASSERT_EQ(kOk, FileSystem::Posix()->Open(path, OpenMode::kCreate, &file));
  ASSERT_EQ(kOk, file->WriteAt(0, "row", 3));
  ASSERT_EQ(kOk, file->Sync());
  ASSERT_EQ(kOk, file->Sync());  // nothing written since: no call
  ASSERT_EQ(kOk, file->Truncate(1));
  ASSERT_EQ(kOk, file->Sync());
  std::unique_ptr<File> again;  // a new open syncs whatever it finds
  ASSERT_EQ(kOk, FileSystem::Posix()->Open(path, OpenMode::kReadWrite, &again));
  ASSERT_EQ(kOk, again->Sync());
  const File::Bytes pieces[] = {{"a", 1}, {"b", 1}};
  ASSERT_EQ(kOk, again->WritePiecesAt(0, pieces, 2));
  ASSERT_EQ(kOk, again->Sync());
}

TEST(SystemFileSync, OnlyWrittenFilesWaitForTheDisk) {
  if (std::system("strace -o /dev/null true 2>/dev/null") != 0) GTEST_SKIP() << "no strace";
  testing_support::TempDir dir;
  const std::string trace = dir.file("trace");
  // The leak checker stops a traced program at its exit: off in the child.
  const std::string command =
      "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" "
      "SYMBASE_SYNC_CHILD_FILE=" +
      dir.file("T.DBF") + " strace -f -e trace=fdatasync -o " + trace + " /proc/" +
      std::to_string(getpid()) + "/exe --gtest_filter=SystemFileSync.TracedChild >/dev/null 2>&1";
  ASSERT_EQ(0, std::system(command.c_str()));
  std::ifstream lines(trace);
  int syncs = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("fdatasync(") != std::string::npos && line.find("= 0") != std::string::npos) {
      ++syncs;
    }
  }
  EXPECT_EQ(4, syncs);
}

}  // namespace
}  // namespace xbase
