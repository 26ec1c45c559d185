// The integrity check: both tables opened in a session of their own and
// read in one read transaction, so that other processes may go on using the
// base and nothing is seen half-written.

#include "maintenance/base_check.h"

#include "frame/checked_calls.h"
#include "maintenance/own_base.h"
#include "maintenance/row_rules.h"
#include "storage/base_files.h"
#include "symbase/maintenance.h"
#include "xbase/result.h"

namespace symbase {
namespace {

int KindOf(xbase::IntegrityFault fault) {
  switch (fault) {
    case xbase::IntegrityFault::kIndex:
      return CTBCheckFinding::kIndex;
    case xbase::IntegrityFault::kHeader:
      return CTBCheckFinding::kHeader;
    case xbase::IntegrityFault::kRows:
      break;
  }
  return CTBCheckFinding::kRows;
}

// What the session's transaction could not begin with: an interrupted write
// that only a process allowed to write may roll back is a finding.
int BeginReading(OwnBase& base, Findings* findings) {
  const int r = xbase::EngineBegin(base.session(), 0);
  if (r == xbase::kLocked) return TB_LOCKED_BY_OTHER;
  if (r == xbase::kErrReadOnly) {
    findings->Add(CTBCheckFinding::kHeader, base.Path(kMainTableFile),
                  "an interrupted write awaits its roll back, which needs write access");
  }
  return r;
}

}  // namespace

int CheckBase(const char* directory, CObList* list) {
  Findings findings(list);
  OwnBase base(directory, false);
  int r = base.OpenTables(&findings);
  if (r != 0) return r;
  r = BeginReading(base, &findings);
  if (r == TB_LOCKED_BY_OTHER) return r;
  if (r != xbase::kOk) return findings.Result();
  base.OpenIndexes(&findings);
  const xbase::IntegritySink sink = [&](xbase::IntegrityFault fault, const std::string& file,
                                        const std::string& text) {
    findings.Add(KindOf(fault), file, text);
  };
  for (bool comment : {false, true}) {
    if (base.table(comment) != nullptr) xbase::IntegrityCheckFiles(base.table(comment), sink);
  }
  if (base.table(false) != nullptr) {
    r = CheckRowRules({base.table(false), base.table(true)}, &findings);
    if (r != xbase::kOk) {
      findings.Add(CTBCheckFinding::kRows, base.Path(kMainTableFile),
                   "the rows cannot be read: " + std::string(xbase::ResultMeaning(r)));
    }
  }
  xbase::EngineCommit(base.session());
  return findings.Result();
}

}  // namespace symbase
