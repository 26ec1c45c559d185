#ifndef SYMBASE_APPS_BASE_FILES_H
#define SYMBASE_APPS_BASE_FILES_H

// The six files of a symbol base, as the library names them in its directory.

#include <string>

namespace cli {

constexpr const char* kBaseFiles[] = {"KR9.DBF",  "KR9CMT.DBF", "KR9CLER.MDX",
                                      "KR9R.MDX", "KR9S.MDX",   "KR9CMTR.MDX"};

// True when all six are regular files in `directory` (ending with "/").
bool BaseFilesPresent(const std::string& directory);
// The first of the six that is missing, or nullptr.
const char* MissingBaseFile(const std::string& directory);

}  // namespace cli

#endif
