#ifndef SYMBASE_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H
#define SYMBASE_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H

#include <map>
#include <memory>
#include <string>

#include "xbase/file_system.h"

namespace testing_support {

// Files held in memory, shared by every File opened on the same path. Locks
// are recorded per open file and conflict between different opens, as
// open-file-description locks do; an unlock frees every lock of that open
// inside its range. `fail_after` makes every write, truncate or sync after
// that many successful ones fail with kErrWrite (-1: never).
//
// It also models a machine that loses power: what a file's Sync made
// durable, and what SyncDirectory made durable of the names in a folder,
// survives LosePower; of the writes since, a random subset chosen by the
// seed survives too (a disk may write back any of them), the rest is lost.
class MemoryFileSystem : public xbase::FileSystem {
 public:
  MemoryFileSystem();
  ~MemoryFileSystem() override;

  int Open(const std::string& path, xbase::OpenMode mode,
           std::unique_ptr<xbase::File>* out) override;
  int Rename(const std::string& from, const std::string& to) override;
  int Remove(const std::string& path) override;
  int SyncDirectory(const std::string& path) override;

  // The bytes of a file; empty when absent.
  std::string Contents(const std::string& path) const;
  void SetContents(const std::string& path, const std::string& bytes);

  void FailWritesAfter(long count) { fail_after_ = count; }
  long writes() const { return writes_; }

  // Power loss. MarkAllDurable: everything as it stands is on the disk.
  // DieAfter(n): after n more changing calls (writes, truncates, syncs,
  // renames, removals) the machine is off: every later call fails and
  // changes nothing. LosePower(seed): the files become what the disk held
  // (see above), every lock is gone, and the machine is on again.
  void MarkAllDurable();
  void DieAfter(long calls) { die_after_ = calls; }
  bool dead() const { return die_after_ == 0; }
  void LosePower(unsigned seed);
  // The process died but the machine did not: everything written stays,
  // every lock is gone, and calls work again.
  void Restart();
  // Files may only be opened for reading (as for a user without the right
  // to write): opening to write or create fails.
  void SetReadOnly(bool on) { read_only_ = on; }

  struct Data;

 private:
  friend class MemoryFile;
  bool CountWrite();

  std::map<std::string, std::shared_ptr<Data>> files_;
  std::map<std::string, std::shared_ptr<Data>> durable_names_;
  long fail_after_ = -1;
  long writes_ = 0;
  long die_after_ = -1;
  bool read_only_ = false;
};

}  // namespace testing_support

#endif
