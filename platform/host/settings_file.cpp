#include "host/settings_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace host {

namespace {

constexpr std::size_t kMaxKeyLength = 128;
// A settings file this large is not ours: read as empty.
constexpr off_t kMaxFileSize = 1 << 20;
constexpr const char* kFileName = "settings.ini";
constexpr const char* kLockName = "settings.lock";

// Closes a descriptor on every way out.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

std::optional<int> ParseInt(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  struct passwd entry;
  struct passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return found->pw_dir;
  }
  return "";
}

bool MakeFolders(const std::string& path) {
  for (std::size_t at = 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') continue;
    std::string part = path.substr(0, at);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

std::string ReadAll(const std::string& path) {
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info;
  if (fd.get() < 0 || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size > kMaxFileSize) {
    return "";
  }
  std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t got = read(fd.get(), bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  bytes.resize(done);
  return bytes;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// Waits a little for another writer, never for ever.
bool LockExclusive(int fd) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

bool ReplaceFile(const std::string& folder, const std::string& bytes) {
  std::string temp = folder + "/" + kFileName + ".XXXXXX";
  Fd fd(mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) return false;
  bool written = WriteAll(fd.get(), bytes) && fsync(fd.get()) == 0;
  if (!written || rename(temp.c_str(), (folder + "/" + kFileName).c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable.
  Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) fsync(dir.get());
  return true;
}

}  // namespace

bool IsValidSettingKey(const char* key) {
  if (key == nullptr) return false;
  std::size_t length = strnlen(key, kMaxKeyLength + 1);
  if (length == 0 || length > kMaxKeyLength) return false;
  for (std::size_t at = 0; at < length; ++at) {
    unsigned char c = static_cast<unsigned char>(key[at]);
    if (c < 0x20 || c == 0x7F || c == '=' || c == '[' || c == ']') return false;
  }
  return true;
}

Settings ParseSettings(std::string_view bytes) {
  Settings settings;
  std::optional<int> section;
  while (!bytes.empty()) {
    std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = ParseInt(line.substr(1, line.size() - 2));
      continue;
    }
    std::size_t equals = line.find('=');
    if (!section || equals == std::string_view::npos) continue;
    std::string key(line.substr(0, equals));
    std::optional<int> value = ParseInt(line.substr(equals + 1));
    if (value && IsValidSettingKey(key.c_str())) settings[{*section, key}] = *value;
  }
  return settings;
}

std::string SerializeSettings(const Settings& settings) {
  std::string out;
  std::optional<int> section;
  for (const auto& [where, value] : settings) {
    if (section != where.first) {
      section = where.first;
      out += "[" + std::to_string(where.first) + "]\n";
    }
    out += where.second + "=" + std::to_string(value) + "\n";
  }
  return out;
}

std::string SettingsFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base = config != nullptr && config[0] == '/' ? config : "";
  if (base.empty()) {
    std::string home = HomeFolder();
    if (home.empty()) return "";
    base = home + "/.config";
  }
  return base + "/symbase";
}

std::optional<int> LoadSetting(int section, const std::string& key) {
  std::string folder = SettingsFolder();
  if (folder.empty()) return std::nullopt;
  Settings settings = ParseSettings(ReadAll(folder + "/" + kFileName));
  auto found = settings.find({section, key});
  if (found == settings.end()) return std::nullopt;
  return found->second;
}

bool StoreSetting(int section, const std::string& key, int value) {
  std::string folder = SettingsFolder();
  if (folder.empty() || !MakeFolders(folder)) return false;
  Fd lock(open((folder + "/" + kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (lock.get() < 0 || !LockExclusive(lock.get())) return false;
  Settings settings = ParseSettings(ReadAll(folder + "/" + kFileName));
  settings[{section, key}] = value;
  return ReplaceFile(folder, SerializeSettings(settings));
}

}  // namespace host
