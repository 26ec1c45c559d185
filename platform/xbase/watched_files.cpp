// The watch on a session's writes (watched_files.h).

#include "xbase/watched_files.h"

#include <algorithm>
#include <cstring>

#include "xbase/result.h"
#include "xbase/transaction.h"

namespace xbase {

int WriteWatch::Before() { return mode == Mode::kPass ? kOk : BeforeDirectWrite(session); }

void WriteWatch::Keep(WatchedFile* file, std::uint64_t offset, const File::Bytes* pieces,
                      std::size_t count) {
  if (file->slot < 0) {
    file->slot = static_cast<int>(files.size());
    files.push_back(file);
  }
  RedoWrite write;
  write.file = static_cast<std::uint32_t>(file->slot);
  write.offset = offset;
  for (std::size_t i = 0; i < count; ++i) {
    write.bytes.append(static_cast<const char*>(pieces[i].data), pieces[i].n);
  }
  writes.push_back(std::move(write));
}

void WriteWatch::Clear() {
  for (WatchedFile* file : files) file->slot = -1;
  files.clear();
  writes.clear();
}

WatchedFile::~WatchedFile() {
  // A file closed while a commit is kept leaves nothing behind to point at it.
  if (slot >= 0) watch_->files[static_cast<std::size_t>(slot)] = nullptr;
}

int WatchedFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) {
  const int r = inner_->ReadAt(offset, buffer, n, got);
  if (r != kOk || !Capturing() || slot < 0) return r;
  // The kept writes over what the file holds, in the order they were made.
  auto* bytes = static_cast<char*>(buffer);
  for (const RedoWrite& write : watch_->writes) {
    if (write.file != static_cast<std::uint32_t>(slot)) continue;
    const std::uint64_t from = std::max(offset, write.offset);
    const std::uint64_t to = std::min<std::uint64_t>(offset + n, write.offset + write.bytes.size());
    if (from >= to) continue;
    if (from > offset + *got) std::memset(bytes + *got, 0, from - offset - *got);
    std::memcpy(bytes + (from - offset), write.bytes.data() + (from - write.offset), to - from);
    *got = std::max<std::size_t>(*got, to - offset);
  }
  return kOk;
}

int WatchedFile::ReadPiecesAt(std::uint64_t offset, const Piece* pieces, std::size_t count,
                              std::size_t* got) {
  if (Capturing()) return File::ReadPiecesAt(offset, pieces, count, got);
  return inner_->ReadPiecesAt(offset, pieces, count, got);
}

int WatchedFile::WriteAt(std::uint64_t offset, const void* buffer, std::size_t n) {
  const Bytes whole{buffer, n};
  return WritePiecesAt(offset, &whole, 1);
}

int WatchedFile::WritePiecesAt(std::uint64_t offset, const Bytes* pieces, std::size_t count) {
  if (Capturing()) {
    watch_->Keep(this, offset, pieces, count);
    return kOk;
  }
  const int r = watch_->Before();
  return r != kOk ? r : inner_->WritePiecesAt(offset, pieces, count);
}

int WatchedFile::Size(std::uint64_t* size) {
  const int r = inner_->Size(size);
  if (r != kOk || !Capturing() || slot < 0) return r;
  for (const RedoWrite& write : watch_->writes) {
    if (write.file == static_cast<std::uint32_t>(slot)) {
      *size = std::max<std::uint64_t>(*size, write.offset + write.bytes.size());
    }
  }
  return kOk;
}

int WatchedFile::Truncate(std::uint64_t size) {
  if (Capturing()) return kErrArgument;  // a commit only writes
  const int r = watch_->Before();
  return r != kOk ? r : inner_->Truncate(size);
}

int WatchedFile::Sync() { return Capturing() ? kOk : inner_->Sync(); }

int WatchedFileSystem::Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) {
  out->reset();
  if (mode == OpenMode::kCreate) {
    const int r = watch_->Before();
    if (r != kOk) return r;
  }
  std::unique_ptr<File> inner;
  const int r = disk_->Open(path, mode, &inner);
  if (r != kOk) return r;
  out->reset(new WatchedFile(std::move(inner), path, watch_));
  return kOk;
}

int WatchedFileSystem::Rename(const std::string& from, const std::string& to) {
  const int r = watch_->Before();
  return r != kOk ? r : disk_->Rename(from, to);
}

int WatchedFileSystem::Remove(const std::string& path) {
  const int r = watch_->Before();
  return r != kOk ? r : disk_->Remove(path);
}

}  // namespace xbase
