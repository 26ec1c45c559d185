#ifndef SYMBASE_XBASE_WATCHED_FILES_H
#define SYMBASE_XBASE_WATCHED_FILES_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xbase/file_system.h"
#include "xbase/redo_journal.h"

// A session's tables and index files are opened through a watch on its
// writes (transaction.h). Before the first write, truncation, creation,
// rename or removal that would reach the disk, the transaction gets its say
// (BeforeDirectWrite): the rollback journal made ready, or the redo journal
// settled. While a commit is kept for the redo journal (kCapture), writes
// are held in order instead, and reads see them; in kPass they go through
// untouched.

namespace xbase {

struct Session;
class WatchedFile;

struct WriteWatch {
  enum class Mode { kOpen, kPass, kCapture };
  Mode mode = Mode::kOpen;
  Session* session = nullptr;
  // kCapture: the files written to (a write's `file` is its place here)
  // and the writes in the order they were made.
  std::vector<WatchedFile*> files;
  std::vector<RedoWrite> writes;

  int Before();
  // Keeps the pieces, joined, as one write at offset.
  void Keep(WatchedFile* file, std::uint64_t offset, const File::Bytes* pieces, std::size_t count);
  void Clear();
};

class WatchedFile final : public File {
 public:
  WatchedFile(std::unique_ptr<File> inner, std::string path, WriteWatch* watch)
      : inner_(std::move(inner)), path_(std::move(path)), watch_(watch) {}
  ~WatchedFile() override;

  int ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) override;
  int ReadPiecesAt(std::uint64_t offset, const Piece* pieces, std::size_t count,
                   std::size_t* got) override;
  int WriteAt(std::uint64_t offset, const void* buffer, std::size_t n) override;
  int WritePiecesAt(std::uint64_t offset, const Bytes* pieces, std::size_t count) override;
  int Size(std::uint64_t* size) override;
  int Truncate(std::uint64_t size) override;
  int Sync() override;
  void StartWriteback() override { inner_->StartWriteback(); }
  int Lock(std::uint64_t offset, std::uint64_t length, bool exclusive) override {
    return inner_->Lock(offset, length, exclusive);
  }
  int Unlock(std::uint64_t offset, std::uint64_t length) override {
    return inner_->Unlock(offset, length);
  }
  const unsigned char* MapHead(std::size_t n) override { return inner_->MapHead(n); }

  File* inner() const { return inner_.get(); }
  const std::string& path() const { return path_; }
  int slot = -1;  // place in the watch's files while a commit is kept

 private:
  bool Capturing() const { return watch_->mode == WriteWatch::Mode::kCapture; }

  std::unique_ptr<File> inner_;
  std::string path_;
  WriteWatch* watch_;
};

class WatchedFileSystem final : public FileSystem {
 public:
  WatchedFileSystem(FileSystem* disk, WriteWatch* watch) : disk_(disk), watch_(watch) {}

  int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override;
  int Rename(const std::string& from, const std::string& to) override;
  int Remove(const std::string& path) override;
  int Exists(const std::string& path, bool* exists) override { return disk_->Exists(path, exists); }
  int SyncDirectory(const std::string& path) override { return disk_->SyncDirectory(path); }
  std::string BootId(const std::string& path) override { return disk_->BootId(path); }

 private:
  FileSystem* disk_;
  WriteWatch* watch_;
};

}  // namespace xbase

#endif
