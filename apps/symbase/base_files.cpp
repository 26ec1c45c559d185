#include "base_files.h"

#include <sys/stat.h>

#include <iterator>

#include "errors.h"

namespace cli {

bool FilePresent(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool AnyBaseFile(const std::string& directory) {
  for (const char* name : kBaseFiles) {
    if (FilePresent(directory + name)) return true;
  }
  return false;
}

void RequireSomeBaseFile(const std::string& directory) {
  if (!AnyBaseFile(directory)) {
    throw Failure("no symbol base in " + directory + " ('symbase create " + directory +
                  "' makes one)");
  }
}

void RequireEveryBaseFile(const std::string& directory) {
  RequireSomeBaseFile(directory);
  std::vector<std::string> indexes;
  for (std::size_t i = 0; i < std::size(kBaseFiles); ++i) {
    const std::string name = kBaseFiles[i];
    if (FilePresent(directory + name)) continue;
    if (i < kBaseTables) throw Failure(TableFault(directory, name, "is missing"));
    indexes.push_back(name);
  }
  if (!indexes.empty()) throw Failure(IndexFault(directory, indexes, "missing"));
}

std::string TableFault(const std::string& directory, const std::string& table,
                       const std::string& state) {
  return "the base in " + directory + " is damaged: its table " + table + " " + state +
         ", and a repair cannot make a table again (restore it from a backup)";
}

std::string IndexFault(const std::string& directory, const std::vector<std::string>& files,
                       const char* state) {
  bool several = files.size() > 1;
  std::string named;
  for (std::size_t i = 0; i < files.size(); ++i) {
    named += (i == 0 ? "" : i + 1 == files.size() ? " and " : ", ") + files[i];
  }
  return "the base in " + directory + " cannot be used: its index file" + (several ? "s " : " ") +
         named + (several ? " are " : " is ") + state + "; 'symbase repair " + directory +
         "' rebuilds " + (several ? "them" : "it") + " from the tables";
}

}  // namespace cli
