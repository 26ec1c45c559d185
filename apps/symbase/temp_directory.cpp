#include "temp_directory.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "base_files.h"
#include "errors.h"
#include "system_errors.h"

namespace cli {

namespace {

// Leaves room for the base's file names within the library's 72 characters.
constexpr std::size_t kMaxTempRoot = 40;

// How long a copy is tried again while the base is being written: the
// library's own wait for a busy base.
constexpr auto kBusyWait = std::chrono::seconds(2);
constexpr auto kRetryPause = std::chrono::milliseconds(20);

// The main table's header bytes a write changes: the incomplete-write flag
// (byte 14), set before the first change and cleared by the commit, and the
// change counter (bytes 16 to 19), moved on by every commit. Empty when the
// header cannot be read.
std::string WriteMarks(const std::string& directory) {
  std::ifstream table(directory + kBaseFiles[0], std::ios::binary);
  char header[20];
  if (!table.read(header, sizeof header)) return "";
  return std::string(header + 14, header + 20);
}

// No write in progress.
bool Settled(const std::string& marks) { return !marks.empty() && marks[0] == '\0'; }

void CopyFile(const std::string& from, const std::string& to) {
  std::error_code error;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
  // The dry run writes its copy even when this user may only read the base.
  if (!error) {
    std::filesystem::permissions(
        to, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, error);
  }
  if (error) throw Failure("cannot copy " + from + " for the dry run: " + error.message());
}

}  // namespace

TempDirectory::TempDirectory(const char* name, bool keep) : keep_(keep) {
  const char* tmp = std::getenv("TMPDIR");
  std::string root =
      tmp != nullptr && *tmp != '\0' && std::string(tmp).size() < kMaxTempRoot ? tmp : "/tmp";
  std::string pattern = root + "/" + name + "-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) {
    throw Failure("cannot create a directory in " + root + ": " + SystemMessage(errno));
  }
  path_ = buffer.data();
}

TempDirectory::~TempDirectory() {
  std::error_code ignored;
  if (!keep_) std::filesystem::remove_all(path_, ignored);
}

ScratchCopy::ScratchCopy(const Base& original) : scratch_("symbase-dry-run", false) {
  const std::string& from = original.Directory();
  auto deadline = std::chrono::steady_clock::now() + kBusyWait;
  do {
    std::string before = WriteMarks(from);
    if (before.empty()) throw Failure("cannot read " + from + kBaseFiles[0] + " for the dry run");
    if (Settled(before)) {
      for (const char* name : kBaseFiles) CopyFile(from + name, Directory() + name);
      if (WriteMarks(from) == before) return;
    }
    std::this_thread::sleep_for(kRetryPause);
  } while (std::chrono::steady_clock::now() < deadline);
  throw InUse("cannot copy the base in " + from +
              " for the dry run: another process keeps writing it; try again");
}

}  // namespace cli
