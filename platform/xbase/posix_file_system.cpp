// The production FileSystem: plain POSIX calls on Linux. Locks are
// open-file-description locks so that closing one descriptor of a file never
// drops the locks held through another.

#include <errno.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <limits>

#include "xbase/file_system.h"
#include "xbase/result.h"

namespace xbase {
namespace {

thread_local std::string last_failure;

// Keeps the reason of a failed call (errno) with the file's path; returns `code`.
int Failed(const std::string& path, int code) {
  last_failure = path + ": " + std::strerror(errno);
  return code;
}

// File systems whose pages another machine may change behind a mapping:
// there the head is read with a call, under the lock, instead.
bool NetworkType(const struct statfs& fs) {
  switch (static_cast<unsigned long>(fs.f_type)) {
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case 0xFF534D42ul:  // CIFS
    case 0xFE534D42ul:  // SMB2
    case FUSE_SUPER_MAGIC:
    case CODA_SUPER_MAGIC:
    case AFS_SUPER_MAGIC:
    case V9FS_MAGIC:
    case 0x00C36400ul:  // Ceph
    case 0x01161970ul:  // GFS2
    case 0x7461636Ful:  // OCFS2
      return true;
    default:
      return false;
  }
}

bool SharedOverNetwork(int fd) {
  struct statfs fs;
  return ::fstatfs(fd, &fs) != 0 || NetworkType(fs);
}

// The kernel's name for this run of the machine, read once.
const std::string& MachineBoot() {
  static const std::string boot = [] {
    char text[64] = {};
    const int fd = ::open("/proc/sys/kernel/random/boot_id", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::string();
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    std::string id(text, n > 0 ? static_cast<std::size_t>(n) : 0);
    while (!id.empty() && (id.back() == '\n' || id.back() == ' ')) id.pop_back();
    return id;
  }();
  return boot;
}

constexpr std::uint64_t kMaxOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());

// An offset plus a length that would not fit off_t is refused before any call.
bool RangeFits(std::uint64_t offset, std::uint64_t length) {
  return offset <= kMaxOffset && length <= kMaxOffset - offset;
}

class PosixFile final : public File {
 public:
  PosixFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixFile() override {
    if (head_ != nullptr) ::munmap(head_, head_length_);
    ::close(fd_);
  }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  int ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) override {
    *got = 0;
    if (!RangeFits(offset, n)) return kErrArgument;
    char* out = static_cast<char*>(buffer);
    while (*got < n) {
      ssize_t r = ::pread(fd_, out + *got, n - *got, static_cast<off_t>(offset + *got));
      if (r < 0) {
        if (errno == EINTR) continue;
        return Failed(path_, kErrRead);
      }
      if (r == 0) break;  // end of file
      *got += static_cast<std::size_t>(r);
    }
    return kOk;
  }

  int ReadPiecesAt(std::uint64_t offset, const Piece* pieces, std::size_t count,
                   std::size_t* got) override {
    *got = 0;
    constexpr std::size_t kMostPieces = 64;
    if (count > kMostPieces) return ReadRest(offset, pieces, count, got);
    iovec vectors[kMostPieces];
    std::size_t n = 0;
    for (std::size_t i = 0; i < count; ++i) {
      vectors[i] = iovec{pieces[i].buffer, pieces[i].n};
      n += pieces[i].n;
    }
    if (!RangeFits(offset, n)) return kErrArgument;
    ssize_t r;
    do {
      r = ::preadv(fd_, vectors, static_cast<int>(count), static_cast<off_t>(offset));
    } while (r < 0 && errno == EINTR);
    if (r < 0) return Failed(path_, kErrRead);
    *got = static_cast<std::size_t>(r);
    return *got == n ? kOk : ReadRest(offset, pieces, count, got);  // a short read goes on
  }

  int WriteAt(std::uint64_t offset, const void* buffer, std::size_t n) override {
    if (!RangeFits(offset, n)) return kErrArgument;
    const char* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    unsynced_ = true;  // before the first byte: a write that fails half done changed the file too
    while (done < n) {
      ssize_t w = ::pwrite(fd_, in + done, n - done, static_cast<off_t>(offset + done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return Failed(path_, kErrWrite);
      }
      if (w == 0) {  // no progress: disk full or similar
        errno = ENOSPC;
        return Failed(path_, kErrWrite);
      }
      done += static_cast<std::size_t>(w);
    }
    return kOk;
  }

  int WritePiecesAt(std::uint64_t offset, const Bytes* pieces, std::size_t count) override {
    constexpr std::size_t kMostPieces = 256;
    if (count > kMostPieces) return WriteRest(offset, pieces, count, 0);
    iovec vectors[kMostPieces];
    std::size_t n = 0;
    for (std::size_t i = 0; i < count; ++i) {
      vectors[i] = iovec{const_cast<void*>(pieces[i].data), pieces[i].n};
      n += pieces[i].n;
    }
    if (!RangeFits(offset, n)) return kErrArgument;
    unsynced_ = true;
    ssize_t w;
    do {
      w = ::pwritev(fd_, vectors, static_cast<int>(count), static_cast<off_t>(offset));
    } while (w < 0 && errno == EINTR);
    if (w < 0) return Failed(path_, kErrWrite);
    // A short write goes on piece by piece, which tells a full disk apart.
    const auto done = static_cast<std::size_t>(w);
    return done == n ? kOk : WriteRest(offset, pieces, count, done);
  }

  int Size(std::uint64_t* size) override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return Failed(path_, kErrRead);
    *size = static_cast<std::uint64_t>(st.st_size);
    return kOk;
  }

  int Truncate(std::uint64_t size) override {
    if (size > kMaxOffset) return kErrArgument;
    unsynced_ = true;
    while (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
      if (errno != EINTR) return Failed(path_, kErrWrite);
    }
    return kOk;
  }

  // A file this object wrote nothing to since its last sync has nothing of
  // its own to make durable: a commit that left a table or an index as it
  // was does not wait for the disk on its account.
  int Sync() override {
    if (!unsynced_) return kOk;
    while (::fdatasync(fd_) != 0) {
      if (errno != EINTR) return Failed(path_, kErrWrite);
    }
    unsynced_ = false;
    return kOk;
  }

  // Failures show at the Sync that follows.
  void StartWriteback() override {
    if (unsynced_) ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
  }

  int Lock(std::uint64_t offset, std::uint64_t length, bool exclusive) override {
    return SetLock(offset, length, exclusive ? F_WRLCK : F_RDLCK);
  }

  int Unlock(std::uint64_t offset, std::uint64_t length) override {
    return SetLock(offset, length, F_UNLCK);
  }

  const unsigned char* MapHead(std::size_t n) override {
    if (head_ == nullptr && !head_tried_) {
      head_tried_ = true;
      const long page = ::sysconf(_SC_PAGESIZE);
      if (page > 0 && n <= static_cast<std::size_t>(page) && !SharedOverNetwork(fd_)) {
        void* p = ::mmap(nullptr, static_cast<std::size_t>(page), PROT_READ, MAP_SHARED, fd_, 0);
        if (p != MAP_FAILED) {
          head_ = p;
          head_length_ = static_cast<std::size_t>(page);
        }
      }
    }
    return static_cast<const unsigned char*>(head_);
  }

 private:
  // Never waits: a conflict comes back at once as kLocked. A zero length
  // would mean "to the end of the file" to fcntl, which no caller means.
  int SetLock(std::uint64_t offset, std::uint64_t length, short type) {
    if (length == 0 || !RangeFits(offset, length)) return kErrArgument;
    struct flock fl = {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    fl.l_pid = 0;  // required by OFD locks
    while (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EACCES) return kLocked;
      return Failed(path_, kErrLock);
    }
    return kOk;
  }

  int fd_;
  std::string path_;
  void* head_ = nullptr;
  std::size_t head_length_ = 0;
  bool head_tried_ = false;
  // Written or cut since the last sync. True at first: what earlier opens
  // of the file left unsynced reaches the disk with this object's first sync.
  bool unsynced_ = true;
};

class PosixFileSystem final : public FileSystem {
 public:
  int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override {
    out->reset();
    if (path.empty() || path.find('\0') != std::string::npos) return kErrArgument;
    const bool create = mode == OpenMode::kCreate;
    int flags = (mode == OpenMode::kReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    if (create) flags |= O_CREAT | O_TRUNC;
    int fd;
    do {
      fd = ::open(path.c_str(), flags, 0644);
    } while (fd < 0 && errno == EINTR);
    // A file that is not there is often what the caller looks for (a
    // journal, say): only the other reasons are kept.
    if (fd < 0 && errno == ENOENT) return create ? kErrCreate : kErrOpen;
    if (fd < 0) return Failed(path, create ? kErrCreate : kErrOpen);
    // Only regular files: a directory or a device is not a table.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      errno = EISDIR;
      return Failed(path, create ? kErrCreate : kErrOpen);
    }
    out->reset(new PosixFile(fd, path));
    return kOk;
  }

  int Rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0 ? kOk : kErrRename;
  }

  int Remove(const std::string& path) override {
    return ::unlink(path.c_str()) == 0 ? kOk : kErrRename;
  }

  int Exists(const std::string& path, bool* exists) override {
    struct stat st;
    *exists = ::stat(path.c_str(), &st) == 0;
    if (*exists || errno == ENOENT || errno == ENOTDIR) return kOk;
    return Failed(path, kErrOpen);
  }

  std::string BootId(const std::string& path) override {
    struct statfs fs;
    if (::statfs(path.c_str(), &fs) != 0 || NetworkType(fs)) return std::string();
    return MachineBoot();
  }

  int SyncDirectory(const std::string& path) override {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    int fd;
    do {
      fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return kErrOpen;
    int r;
    do {
      r = ::fsync(fd);
    } while (r != 0 && errno == EINTR);
    ::close(fd);
    return r == 0 ? kOk : kErrWrite;
  }
};

}  // namespace

const std::string& LastFileFailure() { return last_failure; }

void ClearLastFileFailure() { last_failure.clear(); }

FileSystem* FileSystem::Posix() {
  static PosixFileSystem instance;
  return &instance;
}

}  // namespace xbase
