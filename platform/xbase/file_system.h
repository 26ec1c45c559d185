#ifndef SYMBASE_XBASE_FILE_SYSTEM_H
#define SYMBASE_XBASE_FILE_SYSTEM_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The engine's one door to the files: every read, write, size query, truncate,
// sync, lock and rename goes through these two interfaces. Production uses the
// POSIX implementation; tests put in memory-backed or failing ones.
//
// Every call returns 0 on success or a negative code of xbase/result.h; Lock
// returns kLocked (50) when another open file description holds a conflicting
// lock, at once, without waiting.

namespace xbase {

class File {
 public:
  virtual ~File() = default;

  // Reads up to n bytes at offset into buffer; *got receives the count read
  // (short only at the end of the file).
  virtual int ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) = 0;
  // One buffer of a scattered read.
  struct Piece {
    void* buffer;
    std::size_t n;
  };
  // Reads the bytes from offset on into the pieces in turn, as ReadAt would
  // read them into one buffer, so that blocks read together land where each
  // is kept without a copy. By default one ReadAt per piece.
  virtual int ReadPiecesAt(std::uint64_t offset, const Piece* pieces, std::size_t count,
                           std::size_t* got) {
    *got = 0;
    return ReadRest(offset, pieces, count, got);
  }
  // Writes n bytes at offset, growing the file as needed; all or failure.
  virtual int WriteAt(std::uint64_t offset, const void* buffer, std::size_t n) = 0;
  // One buffer of a gathered write.
  struct Bytes {
    const void* data;
    std::size_t n;
  };
  // Writes the pieces one after the other from offset on, as WriteAt would
  // write them joined, so that blocks kept apart go out in one write without
  // a copy; all or failure. By default one WriteAt per piece.
  virtual int WritePiecesAt(std::uint64_t offset, const Bytes* pieces, std::size_t count) {
    return WriteRest(offset, pieces, count, 0);
  }
  virtual int Size(std::uint64_t* size) = 0;
  virtual int Truncate(std::uint64_t size) = 0;
  virtual int Sync() = 0;
  // Asks the system to begin writing what was written to the disk, without
  // waiting: a Sync that follows a while later then waits for less. A hint;
  // by default nothing.
  virtual void StartWriteback() {}
  // Byte-range locks owned by this open file (open-file-description locks on
  // Linux): they stay when another descriptor of the same file is closed, and
  // conflict with other opens of the file, in this process or another.
  virtual int Lock(std::uint64_t offset, std::uint64_t length, bool exclusive) = 0;
  virtual int Unlock(std::uint64_t offset, std::uint64_t length) = 0;
  // The file's first n bytes (n at most a page) mapped read-only in memory
  // and kept current with the writes of every process, so that they are
  // read without a call; null where the file system cannot promise that
  // (network file systems), and by default.
  virtual const unsigned char* MapHead(std::size_t /*n*/) { return nullptr; }

 protected:
  // Goes on with ReadPiecesAt after its first *got bytes, one ReadAt per
  // piece left.
  int ReadRest(std::uint64_t offset, const Piece* pieces, std::size_t count, std::size_t* got) {
    std::size_t before = 0;  // bytes of the pieces before piece i
    for (std::size_t i = 0; i < count; before += pieces[i].n, ++i) {
      if (*got >= before + pieces[i].n) continue;
      const std::size_t skip = *got - before;
      std::size_t part = 0;
      const int r = ReadAt(offset + *got, static_cast<char*>(pieces[i].buffer) + skip,
                           pieces[i].n - skip, &part);
      *got += part;
      if (r != 0 || part < pieces[i].n - skip) return r;
    }
    return 0;
  }
  // Goes on with WritePiecesAt after its first `done` bytes, one WriteAt per
  // piece left.
  int WriteRest(std::uint64_t offset, const Bytes* pieces, std::size_t count, std::size_t done) {
    for (std::size_t i = 0; i < count; offset += pieces[i].n, ++i) {
      const std::size_t skip = std::min(done, pieces[i].n);
      done -= skip;
      if (skip == pieces[i].n) continue;
      const int r = WriteAt(offset + skip, static_cast<const char*>(pieces[i].data) + skip,
                            pieces[i].n - skip);
      if (r != 0) return r;
    }
    return 0;
  }
};

enum class OpenMode {
  kReadWrite,  // existing file, read and write
  kCreate,     // create, or truncate an existing file to empty; read and write
  kReadOnly,   // existing file, read only: writes fail, exclusive locks fail
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) = 0;
  // Replaces `to` by `from` atomically where the platform allows.
  virtual int Rename(const std::string& from, const std::string& to) = 0;
  virtual int Remove(const std::string& path) = 0;
  // Whether a file is at `path`: kOk with *exists set, kErrOpen when the
  // system cannot tell (a file that is not there is no failure).
  virtual int Exists(const std::string& path, bool* exists) = 0;
  // Makes the directory entries of the folder that holds `path` durable
  // (after a file was created, renamed or removed there).
  virtual int SyncDirectory(const std::string& path) = 0;
  // What names the current run of the machine whose memory holds the writes
  // to the file at `path` that no sync has made durable yet: a journal
  // written in another run may have lost some of them. Empty when nobody
  // can tell (files shared over a network), and by default.
  virtual std::string BootId(const std::string& /*path*/) { return std::string(); }

  // The process's POSIX file system. Never null.
  static FileSystem* Posix();
};

// The last failure of a call of the POSIX file system in this thread, as
// "<path>: <the system's reason>" ("" when none since it was cleared), for
// messages that name what the disk refused. Opening a file that does not
// exist is not kept: callers often look for files that may be absent.
const std::string& LastFileFailure();
void ClearLastFileFailure();

}  // namespace xbase

#endif
