#ifndef SYMBASE_MAINTENANCE_BASE_CHECK_H
#define SYMBASE_MAINTENANCE_BASE_CHECK_H

#include "storage/tb_data.h"
#include "symbase/afxcoll.h"

// The integrity check and the repair behind TBCheckBaseSymbol and
// TBRepairBaseSymbol (symbase/maintenance.h says what each promises).
// `keys` is the caller's handle: it derives key fields from addresses; the
// base it may have open is not touched.

namespace symbase {

int CheckBase(CTBData& keys, const char* directory, CObList* findings);
int RepairBase(CTBData& keys, const char* directory, CObList* actions);

}  // namespace symbase

#endif
