// The rename journal of compaction (see compact.h).

#include <string>
#include <utility>
#include <vector>

#include "xbase/compact.h"
#include "xbase/result.h"

namespace xbase {
namespace {

constexpr char kEndLine[] = "end\n";
constexpr std::uint64_t kMaxJournal = 64 * 1024;

bool Exists(FileSystem* fs, const std::string& path) {
  std::unique_ptr<File> file;
  return fs->Open(path, OpenMode::kReadWrite, &file) == kOk;
}

}  // namespace

int ApplyRenames(FileSystem* fs, const std::vector<std::pair<std::string, std::string>>& renames) {
  for (const auto& rename : renames) {
    if (fs->Rename(rename.first, rename.second) != kOk) return kErrRename;
  }
  return kOk;
}

int FinishPendingCompaction(FileSystem* fs, const std::string& path) {
  std::string journal_path = path + ".pack";
  std::unique_ptr<File> journal;
  if (fs->Open(journal_path, OpenMode::kReadWrite, &journal) != kOk) return kOk;
  std::uint64_t size = 0;
  std::string text;
  if (journal->Size(&size) == kOk && size <= kMaxJournal) {
    text.resize(size);
    std::size_t got = 0;
    if (journal->ReadAt(0, &text[0], text.size(), &got) != kOk) got = 0;
    text.resize(got);
  }
  journal.reset();
  std::size_t end = sizeof(kEndLine) - 1;
  bool complete = text.size() >= end && text.compare(text.size() - end, end, kEndLine) == 0;
  if (complete) {
    // Lines come in pairs: the new file, then the file it replaces.
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1) {
      lines.push_back(text.substr(at, nl - at));
    }
    lines.pop_back();  // "end"
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
      if (Exists(fs, lines[i]) && fs->Rename(lines[i], lines[i + 1]) != kOk) return kErrRename;
    }
    if (fs->SyncDirectory(path) != kOk) return kErrRename;
  }
  return fs->Remove(journal_path) == kOk ? kOk : kErrRename;
}

}  // namespace xbase
