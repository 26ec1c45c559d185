#include "support/memory_file_system.h"

#include <cstring>
#include <vector>

#include "xbase/result.h"

namespace testing_support {

struct MemoryFileSystem::Data {
  std::string bytes;
  struct Lock {
    const void* owner;
    std::uint64_t offset, length;
    bool exclusive;
  };
  std::vector<Lock> locks;
};

class MemoryFile : public xbase::File {
 public:
  MemoryFile(MemoryFileSystem* fs, std::shared_ptr<MemoryFileSystem::Data> data)
      : fs_(fs), data_(std::move(data)) {}
  ~MemoryFile() override {
    auto& locks = data_->locks;
    for (std::size_t i = locks.size(); i-- > 0;) {
      if (locks[i].owner == this) locks.erase(locks.begin() + static_cast<long>(i));
    }
  }

  int ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) override {
    *got = 0;
    if (offset >= data_->bytes.size()) return xbase::kOk;
    *got = std::min<std::size_t>(n, data_->bytes.size() - offset);
    std::memcpy(buffer, data_->bytes.data() + offset, *got);
    return xbase::kOk;
  }
  int WriteAt(std::uint64_t offset, const void* buffer, std::size_t n) override {
    if (!fs_->CountWrite()) return xbase::kErrWrite;
    if (offset + n > data_->bytes.size()) data_->bytes.resize(offset + n, '\0');
    std::memcpy(&data_->bytes[offset], buffer, n);
    return xbase::kOk;
  }
  int Size(std::uint64_t* size) override {
    *size = data_->bytes.size();
    return xbase::kOk;
  }
  int Truncate(std::uint64_t size) override {
    if (!fs_->CountWrite()) return xbase::kErrWrite;
    data_->bytes.resize(size, '\0');
    return xbase::kOk;
  }
  int Sync() override { return fs_->CountWrite() ? xbase::kOk : xbase::kErrWrite; }
  int Lock(std::uint64_t offset, std::uint64_t length, bool exclusive) override {
    if (length == 0) return xbase::kErrArgument;
    for (const auto& l : data_->locks) {
      bool overlap = l.offset < offset + length && offset < l.offset + l.length;
      if (overlap && l.owner != this && (exclusive || l.exclusive)) return xbase::kLocked;
    }
    data_->locks.push_back({this, offset, length, exclusive});
    return xbase::kOk;
  }
  int Unlock(std::uint64_t offset, std::uint64_t length) override {
    auto& locks = data_->locks;
    for (std::size_t i = locks.size(); i-- > 0;) {
      if (locks[i].owner == this && locks[i].offset == offset && locks[i].length == length) {
        locks.erase(locks.begin() + static_cast<long>(i));
      }
    }
    return xbase::kOk;
  }

 private:
  MemoryFileSystem* fs_;
  std::shared_ptr<MemoryFileSystem::Data> data_;
};

MemoryFileSystem::MemoryFileSystem() = default;
MemoryFileSystem::~MemoryFileSystem() = default;

bool MemoryFileSystem::CountWrite() {
  if (fail_after_ >= 0 && writes_ >= fail_after_) return false;
  ++writes_;
  return true;
}

int MemoryFileSystem::Open(const std::string& path, xbase::OpenMode mode,
                           std::unique_ptr<xbase::File>* out) {
  out->reset();
  auto it = files_.find(path);
  if (mode == xbase::OpenMode::kCreate) {
    if (it == files_.end()) it = files_.emplace(path, std::make_shared<Data>()).first;
    it->second->bytes.clear();
  } else if (it == files_.end()) {
    return xbase::kErrOpen;
  }
  out->reset(new MemoryFile(this, it->second));
  return xbase::kOk;
}

int MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  auto it = files_.find(from);
  if (it == files_.end()) return xbase::kErrRename;
  files_[to] = it->second;
  files_.erase(from);
  return xbase::kOk;
}

int MemoryFileSystem::Remove(const std::string& path) {
  return files_.erase(path) ? xbase::kOk : xbase::kErrRename;
}

std::string MemoryFileSystem::Contents(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? std::string() : it->second->bytes;
}

void MemoryFileSystem::SetContents(const std::string& path, const std::string& bytes) {
  auto& data = files_[path];
  if (!data) data = std::make_shared<Data>();
  data->bytes = bytes;
}

bool MemoryFileSystem::Exists(const std::string& path) const { return files_.count(path) != 0; }

}  // namespace testing_support
