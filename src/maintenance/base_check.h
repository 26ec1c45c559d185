#ifndef SYMBASE_MAINTENANCE_BASE_CHECK_H
#define SYMBASE_MAINTENANCE_BASE_CHECK_H

#include "storage/tb_data.h"
#include "symbase/afxcoll.h"

// The integrity check and the repair behind TBCheckBaseSymbol and
// TBRepairBaseSymbol (symbase/maintenance.h says what each promises).
// The repair is refused (104) while the caller's handle has a base open; the
// check does not need the handle.

namespace symbase {

int CheckBase(const char* directory, CObList* findings);
int RepairBase(const CTBData& handle, const char* directory, CObList* actions);

}  // namespace symbase

#endif
