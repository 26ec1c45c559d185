#ifndef SYMBASE_APPS_SYSTEM_ERRORS_H
#define SYMBASE_APPS_SYSTEM_ERRORS_H

// Operating-system causes in words, and the probes that find the cause of a
// failure the library reports only as numbers.

#include <string>

namespace cli {

// "Permission denied" for EACCES ...
std::string SystemMessage(int error_number);

// Looks for the operating-system reason why the base's files in `directory`
// (ending with "/") cannot be used: the directory or a file missing or
// unreadable, a file not writable (when `write`), a full or read-only file
// system. Returns "KR9.DBF: Permission denied" or "" when nothing is wrong
// that the system can tell. With `missing_ok`, a file that is not there is
// no cause (a repair makes the index files again).
std::string ProbeBaseFiles(const std::string& directory, bool write, bool missing_ok = false);

}  // namespace cli

#endif
