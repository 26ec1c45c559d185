#include "support/memory_file_system.h"

#include <cstring>
#include <random>
#include <vector>

#include "xbase/result.h"

namespace testing_support {

struct MemoryFileSystem::Data {
  std::string bytes;
  // What the disk holds, and the changes since the last Sync, in order: a
  // write (offset, bytes) or a truncation (offset = new size, no bytes).
  std::string durable;
  struct Change {
    bool truncate;
    std::uint64_t offset;
    std::string bytes;
  };
  std::vector<Change> unsynced;
  struct Lock {
    const void* owner;
    std::uint64_t offset, length;
    bool exclusive;
  };
  std::vector<Lock> locks;

  void Apply(const Change& change, std::string* to) const {
    if (change.truncate) {
      to->resize(change.offset, '\0');
      return;
    }
    if (change.offset + change.bytes.size() > to->size()) {
      to->resize(change.offset + change.bytes.size(), '\0');
    }
    std::memcpy(&(*to)[change.offset], change.bytes.data(), change.bytes.size());
  }
  void Record(const Change& change) {
    Apply(change, &bytes);
    unsynced.push_back(change);
  }
  void Sync() {
    durable = bytes;
    unsynced.clear();
  }
};

class MemoryFile : public xbase::File {
 public:
  MemoryFile(MemoryFileSystem* fs, std::shared_ptr<MemoryFileSystem::Data> data, bool read_only)
      : fs_(fs), data_(std::move(data)), read_only_(read_only) {}
  ~MemoryFile() override { Release(0, UINT64_MAX); }

  int ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) override {
    *got = 0;
    if (fs_->dead()) return xbase::kErrRead;
    if (offset >= data_->bytes.size()) return xbase::kOk;
    *got = std::min<std::size_t>(n, data_->bytes.size() - offset);
    std::memcpy(buffer, data_->bytes.data() + offset, *got);
    return xbase::kOk;
  }
  int WriteAt(std::uint64_t offset, const void* buffer, std::size_t n) override {
    if (read_only_ || !fs_->CountWrite()) return xbase::kErrWrite;
    data_->Record({false, offset, std::string(static_cast<const char*>(buffer), n)});
    return xbase::kOk;
  }
  int Size(std::uint64_t* size) override {
    if (fs_->dead()) return xbase::kErrRead;
    *size = data_->bytes.size();
    return xbase::kOk;
  }
  int Truncate(std::uint64_t size) override {
    if (read_only_ || !fs_->CountWrite()) return xbase::kErrWrite;
    data_->Record({true, size, std::string()});
    return xbase::kOk;
  }
  int Sync() override {
    if (!fs_->CountWrite()) return xbase::kErrWrite;
    data_->Sync();
    return xbase::kOk;
  }
  int Lock(std::uint64_t offset, std::uint64_t length, bool exclusive) override {
    if (length == 0) return xbase::kErrArgument;
    if (exclusive && read_only_) return xbase::kErrLock;
    for (const auto& l : data_->locks) {
      bool overlap = l.offset < offset + length && offset < l.offset + l.length;
      if (overlap && l.owner != this && (exclusive || l.exclusive)) return xbase::kLocked;
    }
    data_->locks.push_back({this, offset, length, exclusive});
    return xbase::kOk;
  }
  int Unlock(std::uint64_t offset, std::uint64_t length) override {
    Release(offset, length);
    return xbase::kOk;
  }

 private:
  // Frees this open's locks that lie inside [offset, offset + length).
  void Release(std::uint64_t offset, std::uint64_t length) {
    auto& locks = data_->locks;
    for (std::size_t i = locks.size(); i-- > 0;) {
      const auto& l = locks[i];
      if (l.owner == this && l.offset >= offset && l.offset - offset < length) {
        locks.erase(locks.begin() + static_cast<long>(i));
      }
    }
  }

  MemoryFileSystem* fs_;
  std::shared_ptr<MemoryFileSystem::Data> data_;
  bool read_only_;
};

MemoryFileSystem::MemoryFileSystem() = default;
MemoryFileSystem::~MemoryFileSystem() = default;

bool MemoryFileSystem::CountWrite() {
  if (die_after_ == 0) return false;
  if (die_after_ > 0) --die_after_;
  if (fail_after_ >= 0 && writes_ >= fail_after_) return false;
  ++writes_;
  return true;
}

int MemoryFileSystem::Open(const std::string& path, xbase::OpenMode mode,
                           std::unique_ptr<xbase::File>* out) {
  out->reset();
  if (dead()) return mode == xbase::OpenMode::kCreate ? xbase::kErrCreate : xbase::kErrOpen;
  if (read_only_ && mode != xbase::OpenMode::kReadOnly) {
    return mode == xbase::OpenMode::kCreate ? xbase::kErrCreate : xbase::kErrOpen;
  }
  auto it = files_.find(path);
  if (mode == xbase::OpenMode::kCreate) {
    if (!CountWrite()) return xbase::kErrCreate;
    if (it == files_.end()) it = files_.emplace(path, std::make_shared<Data>()).first;
    it->second->Record({true, 0, std::string()});
  } else if (it == files_.end()) {
    return xbase::kErrOpen;
  }
  out->reset(new MemoryFile(this, it->second, mode == xbase::OpenMode::kReadOnly));
  return xbase::kOk;
}

int MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  auto it = files_.find(from);
  if (it == files_.end() || !CountWrite()) return xbase::kErrRename;
  files_[to] = it->second;
  files_.erase(from);
  return xbase::kOk;
}

int MemoryFileSystem::Remove(const std::string& path) {
  if (files_.count(path) == 0 || !CountWrite()) return xbase::kErrRename;
  files_.erase(path);
  return xbase::kOk;
}

int MemoryFileSystem::SyncDirectory(const std::string& path) {
  if (!CountWrite()) return xbase::kErrWrite;
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  auto in_folder = [&](const std::string& name) {
    return name.compare(0, folder.size(), folder) == 0 &&
           name.find('/', folder.size()) == std::string::npos;
  };
  for (auto it = durable_names_.begin(); it != durable_names_.end();) {
    it = in_folder(it->first) ? durable_names_.erase(it) : std::next(it);
  }
  for (const auto& entry : files_) {
    if (in_folder(entry.first)) durable_names_[entry.first] = entry.second;
  }
  return xbase::kOk;
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

void MemoryFileSystem::MarkAllDurable() {
  durable_names_ = files_;
  for (auto& entry : files_) entry.second->Sync();
}

void MemoryFileSystem::Restart() {
  for (auto& entry : files_) entry.second->locks.clear();
  die_after_ = -1;
}

void MemoryFileSystem::LosePower(unsigned seed) {
  std::mt19937 pick(seed);
  files_ = durable_names_;
  for (auto& entry : files_) {
    Data& data = *entry.second;
    std::string bytes = data.durable;
    for (const Data::Change& change : data.unsynced) {
      if (pick() % 2 == 0) data.Apply(change, &bytes);
    }
    data.bytes = bytes;
    data.Sync();
    data.locks.clear();
  }
  die_after_ = -1;
}

}  // namespace testing_support
