#ifndef SYMBASE_APPS_BASE_FILES_H
#define SYMBASE_APPS_BASE_FILES_H

// The six files of a symbol base, as the library names them in its directory.

#include <string>

namespace cli {

constexpr const char* kBaseFiles[] = {"KR9.DBF",  "KR9CMT.DBF", "KR9CLER.MDX",
                                      "KR9R.MDX", "KR9S.MDX",   "KR9CMTR.MDX"};

// True when `path` is a regular file.
bool FilePresent(const std::string& path);
// The first of the six that is not in `directory` (ending with "/"), or
// nullptr when all are.
const char* MissingBaseFile(const std::string& directory);

}  // namespace cli

#endif
