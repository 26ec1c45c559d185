#ifndef SYMBASE_XBASE_COMPACT_H
#define SYMBASE_XBASE_COMPACT_H

#include <string>
#include <utility>
#include <vector>

#include "xbase/file_system.h"

// Compaction writes the new table and index files beside the old ones
// ("<name>.new"), then a journal "<table>.pack" listing the renames that put
// them in place, ended by a line "end". Once the journal is complete the
// compaction counts as done: a failure during the renames is finished by the
// next TableOpen. An incomplete journal is discarded and the old files stay.

namespace xbase {

// Completes or discards a compaction interrupted on the table at `path`.
// 0 when nothing was pending or it was finished; kErrRename otherwise.
int FinishPendingCompaction(FileSystem* fs, const std::string& path);

// Renames each pair's first file over its second; kErrRename at the first failure.
int ApplyRenames(FileSystem* fs, const std::vector<std::pair<std::string, std::string>>& renames);

}  // namespace xbase

#endif
