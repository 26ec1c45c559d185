#ifndef SYMBASE_APPS_BASE_FILES_H
#define SYMBASE_APPS_BASE_FILES_H

// The six files of a symbol base, as the library names them in its directory,
// and what their absence means to a person.

#include <string>
#include <vector>

namespace cli {

constexpr const char* kBaseFiles[] = {"KR9.DBF",  "KR9CMT.DBF", "KR9CLER.MDX",
                                      "KR9R.MDX", "KR9S.MDX",   "KR9CMTR.MDX"};
constexpr std::size_t kBaseTables = 2;  // the first two; the others are their indexes

// True when `path` is a regular file.
bool FilePresent(const std::string& path);
// True when `directory` (ending with "/") holds one of the six at least.
bool AnyBaseFile(const std::string& directory);

// Throws Failure when `directory` holds none of the six ("no symbol base").
void RequireSomeBaseFile(const std::string& directory);
// Throws Failure naming the first of the six that is missing: no base at
// all, a table a repair cannot make again, or an index file that
// 'symbase repair' rebuilds.
void RequireEveryBaseFile(const std::string& directory);

// "the base in DIR is damaged: its table KR9.DBF is missing, and a repair
// cannot make a table again (restore it from a backup)", for `state` "is
// missing".
std::string TableFault(const std::string& directory, const std::string& table,
                       const std::string& state);

// "the base in DIR cannot be used: its index file KR9S.MDX is damaged;
// 'symbase repair DIR' rebuilds it from the tables", for `state` "damaged"
// and one file; several are listed ("KR9R.MDX and KR9S.MDX are ...").
std::string IndexFault(const std::string& directory, const std::vector<std::string>& files,
                       const char* state);

}  // namespace cli

#endif
