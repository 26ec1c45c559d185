#include "base.h"

#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "errors.h"
#include "terminal.h"

namespace cli {

namespace {

constexpr std::size_t kMaxDirectory = 72;
const char* const kBaseFiles[] = {"KR9.DBF",  "KR9CMT.DBF", "KR9CLER.MDX",
                                  "KR9R.MDX", "KR9S.MDX",   "KR9CMTR.MDX"};

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void MakeDirectory(const std::string& directory) {
  for (std::size_t slash = directory.find('/', 1); slash != std::string::npos;
       slash = directory.find('/', slash + 1)) {
    std::string part = directory.substr(0, slash);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      throw Failure("cannot create the directory " + part + ": " +
                    std::generic_category().message(errno));
    }
  }
}

}  // namespace

std::string BaseDirectory(const std::string& argument) {
  if (argument.empty()) throw Failure("the base directory is empty");
  std::string directory = argument.back() == '/' ? argument : argument + "/";
  if (directory.size() > kMaxDirectory) {
    throw Failure("the directory path " + directory + " is too long: the library takes at most " +
                  std::to_string(kMaxDirectory) + " characters");
  }
  return directory;
}

bool BaseFilesPresent(const std::string& directory) {
  for (const char* name : kBaseFiles) {
    if (!IsRegularFile(directory + name)) return false;
  }
  return true;
}

Base::Base(const std::string& directory_argument) : directory_(BaseDirectory(directory_argument)) {
  reports_seen_ = Terminal().ReportCount();
  TBInitTabisDll(&handle_);
  if (handle_ == nullptr) throw Failure("the symbol base library could not start");
}

Base::~Base() {
  Close();
  TBFreeTabisDll(handle_);
}

void Base::Open(Access access) {
  lock_.Acquire(directory_, access == Access::kWrite);
  for (const char* name : kBaseFiles) {
    if (!IsRegularFile(directory_ + name)) {
      throw Failure("no symbol base in " + directory_ + " (" + name +
                    " is missing; 'symbase create' makes one)");
    }
  }
  TBOpenBaseSymbol(handle_, directory_.c_str());
  open_ = true;
  CheckNoReport("opening the base in " + directory_);
}

void Base::Create(bool replace) {
  MakeDirectory(directory_);
  lock_.Acquire(directory_, true);
  if (!replace && IsRegularFile(directory_ + kBaseFiles[0])) {
    throw Failure("a symbol base is already in " + directory_ +
                  " (--replace empties it; its objects are then lost)");
  }
  TBCreateBaseSymbol(handle_, directory_.c_str(), 0);
  CheckNoReport("creating the base in " + directory_);
  Open(Access::kWrite);
}

void Base::Close() {
  if (!open_) return;
  open_ = false;
  TBCloseBaseSymbol(handle_);
}

void Base::CheckNoReport(const std::string& what) {
  int now = Terminal().ReportCount();
  if (now == reports_seen_) return;
  reports_seen_ = now;
  throw Failure(what + " failed (the library's report is above)");
}

std::string ResultMessage(int result, const std::string& doing) {
  std::string meaning;
  switch (result) {
    case 100:
      meaning = "the base is locked";
      break;
    case 101:
      meaning = "the symbol is already carried by another object";
      break;
    case 102:
    case 103:
      meaning = "no such object";
      break;
    case 104:
      meaning = "the base is in use by another process; try again";
      break;
    default:
      meaning = "the library answered " + std::to_string(result);
      break;
  }
  return doing + ": " + meaning;
}

}  // namespace cli
