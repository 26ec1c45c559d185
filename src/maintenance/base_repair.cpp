// The repair: what is derived from the tables is made again from them, with
// the base held by this session alone.

#include <memory>

#include "frame/checked_calls.h"
#include "maintenance/base_check.h"
#include "maintenance/findings.h"
#include "maintenance/own_base.h"
#include "storage/base_files.h"
#include "symbase/maintenance.h"
#include "xbase/result.h"

namespace symbase {
namespace {

// A list of findings that goes away with its records.
class ScratchList {
 public:
  ~ScratchList() {
    while (!list_.IsEmpty()) delete list_.RemoveHead();
  }
  CObList* get() { return &list_; }
  // Moves the records of one kind to another list.
  void Keep(int kind, CObList* to) {
    for (POSITION at = list_.GetHeadPosition(); at != nullptr;) {
      const POSITION here = at;
      auto* finding = static_cast<CTBCheckFinding*>(list_.GetNext(at));
      if (finding->m_kind != kind) continue;
      list_.RemoveAt(here);
      to->AddTail(finding);
    }
  }

 private:
  CObList list_;
};

// Rewrites the tables' headers and rebuilds the four index files.
int Rebuild(OwnBase& base, Findings* actions) {
  for (bool comment : {false, true}) {
    xbase::Table* table = base.table(comment);
    if (table == nullptr) continue;
    const int r = xbase::TableRepairHeader(table);
    if (r < 0) return r;
    if (r == 1) {
      actions->Add(CTBCheckFinding::kRepaired, xbase::TablePath(table),
                   "header corrected: record count and end-of-file mark");
    }
  }
  for (const IndexFileDefinition& definition : kIndexFiles) {
    xbase::Table* table = base.table(definition.on_comment_table);
    if (table == nullptr) continue;
    const std::string path = base.Path(definition.file);
    const std::string backup = path + ".bak";
    if (xbase::IndexRebuild(table, path.c_str(), definition.tags, backup.c_str()) == nullptr) {
      return base.session()->error;
    }
    actions->Add(CTBCheckFinding::kRepaired, path,
                 "rebuilt from " + std::string(xbase::TablePath(table)) +
                     "; what it replaced, if anything, is kept as " + definition.file + ".bak");
  }
  return xbase::kOk;
}

// Tables opened for reading alone (the files or their folder may not be
// written by this user) are findings of the repair.
void NoteUnwritable(OwnBase& base, Findings* findings) {
  for (bool comment : {false, true}) {
    xbase::Table* table = base.table(comment);
    if (table != nullptr && xbase::TableReadOnly(table) == 1) {
      findings->Add(CTBCheckFinding::kRows, xbase::TablePath(table),
                    "may only be read: the repair needs to write the base's files");
    }
  }
}

// Opens the base for this session alone and rebuilds what derives from the
// tables. A table it cannot open or write stops it before anything changes:
// what stopped it goes to `list` and `*stopped` is set. The session ends
// here, so that the check that follows may open the base.
int RebuildAlone(const char* directory, CObList* list, bool* stopped) {
  OwnBase base(directory, true);
  ScratchList opening;
  Findings opened(opening.get());
  const int r = base.OpenTables(&opened);
  if (r != 0) return r;
  NoteUnwritable(base, &opened);
  *stopped = !opening.get()->IsEmpty();
  if (*stopped) {
    opening.Keep(CTBCheckFinding::kRows, list);
    return xbase::kOk;
  }
  Findings actions(list);
  return Rebuild(base, &actions);
}

}  // namespace

// A base open anywhere else, in this process too, holds its tables' open
// locks: opening them for this session alone then gives 104. A sound base is
// left as it is before that question arises.
int RepairBase(const char* directory, CObList* list) {
  {
    ScratchList before;
    const int found = CheckBase(directory, before.get());
    if (found == 0 || found == TB_LOCKED_BY_OTHER || found < 0) return found;
  }
  bool stopped = false;
  const int r = RebuildAlone(directory, list, &stopped);
  if (r != xbase::kOk) return r;
  // What is left is for a person to look at. When a table stopped the
  // repair, what stopped it is said already and the check only gives the
  // result.
  ScratchList after;
  const int result = CheckBase(directory, after.get());
  if (!stopped) after.Keep(CTBCheckFinding::kRows, list);
  return result;
}

}  // namespace symbase
