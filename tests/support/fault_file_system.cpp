#include "support/fault_file_system.h"

#include "xbase/result.h"

namespace testing_support {
namespace {

using xbase::File;

class FaultFile final : public File {
 public:
  FaultFile(FaultFileSystem* fs, std::unique_ptr<File> base) : fs_(fs), base_(std::move(base)) {}

  int ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) override {
    *got = 0;
    return fs_->Next(false) ? xbase::kErrRead : base_->ReadAt(offset, buffer, n, got);
  }
  int WriteAt(std::uint64_t offset, const void* buffer, std::size_t n) override {
    return fs_->Next(true) ? xbase::kErrWrite : base_->WriteAt(offset, buffer, n);
  }
  int Size(std::uint64_t* size) override {
    return fs_->Next(false) ? xbase::kErrRead : base_->Size(size);
  }
  int Truncate(std::uint64_t size) override {
    return fs_->Next(true) ? xbase::kErrWrite : base_->Truncate(size);
  }
  int Sync() override { return fs_->Next(true) ? xbase::kErrWrite : base_->Sync(); }
  int Lock(std::uint64_t offset, std::uint64_t length, bool exclusive) override {
    return fs_->Next(false) ? xbase::kErrLock : base_->Lock(offset, length, exclusive);
  }
  int Unlock(std::uint64_t offset, std::uint64_t length) override {
    return fs_->Next(false) ? xbase::kErrLock : base_->Unlock(offset, length);
  }

 private:
  FaultFileSystem* fs_;
  std::unique_ptr<File> base_;
};

}  // namespace

bool FaultFileSystem::Next(bool writes) {
  ++calls_;
  if (writes) ++write_calls_;
  const bool fail = calls_ == fail_at_ || (writes && write_calls_ == fail_write_at_);
  if (fail) injected_ = true;
  return fail;
}

int FaultFileSystem::Open(const std::string& path, xbase::OpenMode mode,
                          std::unique_ptr<xbase::File>* out) {
  bool writes = mode == xbase::OpenMode::kCreate;
  if (Next(writes)) return writes ? xbase::kErrCreate : xbase::kErrOpen;
  std::unique_ptr<xbase::File> file;
  int r = base_->Open(path, mode, &file);
  if (r != xbase::kOk) return r;
  out->reset(new FaultFile(this, std::move(file)));
  return xbase::kOk;
}

int FaultFileSystem::Rename(const std::string& from, const std::string& to) {
  return Next(true) ? xbase::kErrRename : base_->Rename(from, to);
}

int FaultFileSystem::Remove(const std::string& path) {
  return Next(true) ? xbase::kErrRename : base_->Remove(path);
}

int FaultFileSystem::SyncDirectory(const std::string& path) {
  return Next(true) ? xbase::kErrWrite : base_->SyncDirectory(path);
}

}  // namespace testing_support
