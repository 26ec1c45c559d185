#ifndef SYMBASE_APPS_FINDINGS_H
#define SYMBASE_APPS_FINDINGS_H

// The library's integrity check and repair of a base, their findings in the
// tool's terms: texts in UTF-8, the base's directory left out of them.

#include <string>
#include <vector>

#include "symbase/symbase.h"

namespace cli {

struct Finding {
  int kind;          // CTBCheckFinding::kIndex, kHeader, kRows or kRepaired
  std::string file;  // "KR9S.MDX"
  std::string text;  // what is wrong, or what was done
};

// TBCheckBaseSymbol and TBRepairBaseSymbol on the base in `directory`
// (ending with "/"): the library's result, what it found or did appended to
// `findings`.
int CheckFiles(CTBData* handle, const std::string& directory, std::vector<Finding>* findings);
int RepairFiles(CTBData* handle, const std::string& directory, std::vector<Finding>* actions);

// What the check finds that keeps a base from opening whole: the first fault
// of each table's own (a file that cannot be read as a table, a field missing
// or of another width), and the index files missing or damaged, each named
// once. Both empty when the check could not run (the base busy, say).
struct OpeningFaults {
  std::vector<Finding> tables;
  std::vector<std::string> index_files;
};
OpeningFaults FindOpeningFaults(CTBData* handle, const std::string& directory);

// "index", "header", "rows" or "repaired".
const char* KindName(int kind);
// How many findings are of a kind a repair mends (index files, headers).
std::size_t Repairable(const std::vector<Finding>& findings);
// "KR9.DBF: rows: the address %MW3 is in record 4 and record 21": like a
// compiler's messages, file first, then the kind.
std::string FindingLine(const Finding& finding);
// The findings as FindingLine writes them, in their order. Unless `all`, at
// most 20 of one file and kind are given, and each file and kind that had
// more ends the list with a line counting the others; a base damaged
// throughout would otherwise bury the verdict under thousands of lines.
std::vector<std::string> FindingLines(const std::vector<Finding>& findings, bool all);
// [{"file": ..., "kind": ..., "text": ...}, ...].
std::string FindingsJson(const std::vector<Finding>& findings);

}  // namespace cli

#endif
