#ifndef SYMBASE_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H
#define SYMBASE_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "xbase/file_system.h"
#include "xbase/result.h"

namespace testing_support {

// Files held in memory, shared by every File opened on the same path. Locks
// are recorded per open file and conflict between different opens, as
// open-file-description locks do; an unlock frees every lock of that open
// inside its range. It also models a machine that loses power: what a file's
// Sync made durable, and what SyncDirectory made durable of the names in a
// folder, survives LosePower; of the writes since, a random subset chosen by
// the seed survives too (a disk may write back any of them), the rest is lost.
class MemoryFileSystem : public xbase::FileSystem {
 public:
  // A file's bytes, what the disk holds of them, the changes since the last
  // Sync in order (a write at offset, or a truncation to offset), its locks.
  struct Data {
    struct Change {
      bool truncate;
      std::uint64_t offset;
      std::string bytes;
    };
    struct Lock {
      const void* owner;
      std::uint64_t offset, length;
      bool exclusive;
    };
    std::string bytes, durable;
    std::vector<Change> unsynced;
    std::vector<Lock> locks;

    static void Apply(const Change& change, std::string* to) {
      const std::uint64_t end = change.offset + change.bytes.size();
      if (change.truncate || end > to->size()) to->resize(end, '\0');
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

  int Open(const std::string& path, xbase::OpenMode mode,
           std::unique_ptr<xbase::File>* out) override;
  int Rename(const std::string& from, const std::string& to) override {
    auto it = files_.find(from);
    if (it == files_.end() || !CountWrite()) return xbase::kErrRename;
    files_[to] = it->second;
    files_.erase(from);
    return xbase::kOk;
  }
  int Remove(const std::string& path) override {
    if (files_.count(path) == 0 || !CountWrite()) return xbase::kErrRename;
    files_.erase(path);
    return xbase::kOk;
  }
  int Exists(const std::string& path, bool* exists) override {
    *exists = files_.count(path) != 0;
    return dead() ? xbase::kErrOpen : xbase::kOk;
  }
  int SyncDirectory(const std::string& path) override {
    if (!CountWrite()) return xbase::kErrWrite;
    const std::string folder = path.substr(0, path.find_last_of('/') + 1);
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

  // Each power loss begins a new run of the machine; with SetRunsNamed(false)
  // the file system cannot tell them apart, as over a network.
  std::string BootId(const std::string& /*path*/) override {
    return runs_named_ ? "run " + std::to_string(runs_) : std::string();
  }
  void SetRunsNamed(bool on) { runs_named_ = on; }

  // The bytes of a file; empty when absent.
  std::string Contents(const std::string& path) const {
    auto it = files_.find(path);
    return it == files_.end() ? std::string() : it->second->bytes;
  }
  void SetContents(const std::string& path, const std::string& bytes) {
    auto& data = files_[path];
    if (!data) data = std::make_shared<Data>();
    data->bytes = bytes;
  }

  // Every write, truncate or sync after `count` successful ones fails with
  // kErrWrite (-1: never).
  void FailWritesAfter(long count) { fail_after_ = count; }
  long writes() const { return writes_; }

  // Power loss. MarkAllDurable: everything as it stands is on the disk.
  // DieAfter(n): after n more changing calls (writes, truncates, syncs,
  // renames, removals) the machine is off: every later call fails and
  // changes nothing. LosePower(seed): the files become what the disk held
  // (see above), every lock is gone, and the machine is on again.
  void MarkAllDurable() {
    durable_names_ = files_;
    for (auto& entry : files_) entry.second->Sync();
  }
  void DieAfter(long calls) { die_after_ = calls; }
  bool dead() const { return die_after_ == 0; }
  void LosePower(unsigned seed) {
    std::mt19937 pick(seed);
    files_ = durable_names_;
    for (auto& entry : files_) {
      Data& data = *entry.second;
      data.bytes = data.durable;
      for (const Data::Change& change : data.unsynced) {
        if (pick() % 2 == 0) Data::Apply(change, &data.bytes);
      }
      data.Sync();
      data.locks.clear();
    }
    die_after_ = -1;
    ++runs_;
  }
  // The process died but the machine did not: everything written stays,
  // every lock is gone, and calls work again.
  void Restart() {
    for (auto& entry : files_) entry.second->locks.clear();
    die_after_ = -1;
  }
  // Moves every file of folder `from` into folder `to` (not one inside it),
  // as copying a base elsewhere would.
  void MoveFolder(const std::string& from, const std::string& to) {
    // The names under `from` are next to each other in the map's order.
    const std::string prefix = from + "/";
    for (auto it = files_.lower_bound(prefix);
         it != files_.end() && it->first.compare(0, prefix.size(), prefix) == 0;) {
      files_[to + "/" + it->first.substr(prefix.size())] = it->second;
      it = files_.erase(it);
    }
  }
  // Files may only be opened for reading (as for a user without the right
  // to write): opening to write or create fails.
  void SetReadOnly(bool on) { read_only_ = on; }

  // Counts one changing call; false when it must fail.
  bool CountWrite() {
    if (die_after_ == 0) return false;
    if (die_after_ > 0) --die_after_;
    if (fail_after_ >= 0 && writes_ >= fail_after_) return false;
    ++writes_;
    return true;
  }

 private:
  std::map<std::string, std::shared_ptr<Data>> files_;
  std::map<std::string, std::shared_ptr<Data>> durable_names_;
  long fail_after_ = -1;
  long writes_ = 0;
  long die_after_ = -1;
  bool read_only_ = false;
  long runs_ = 0;
  bool runs_named_ = true;
};

// A file opened on a MemoryFileSystem.
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
    return Change({false, offset, std::string(static_cast<const char*>(buffer), n)});
  }
  int Size(std::uint64_t* size) override {
    if (fs_->dead()) return xbase::kErrRead;
    *size = data_->bytes.size();
    return xbase::kOk;
  }
  int Truncate(std::uint64_t size) override { return Change({true, size, std::string()}); }
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
  int Change(const MemoryFileSystem::Data::Change& change) {
    if (read_only_ || !fs_->CountWrite()) return xbase::kErrWrite;
    data_->Record(change);
    return xbase::kOk;
  }

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

inline int MemoryFileSystem::Open(const std::string& path, xbase::OpenMode mode,
                                  std::unique_ptr<xbase::File>* out) {
  out->reset();
  if (dead() || (read_only_ && mode != xbase::OpenMode::kReadOnly)) {
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

}  // namespace testing_support

#endif
