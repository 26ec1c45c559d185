#ifndef SYMBASE_MAINTENANCE_BASE_CHECK_H
#define SYMBASE_MAINTENANCE_BASE_CHECK_H

#include "symbase/afxcoll.h"

// The integrity check and the repair behind TBCheckBaseSymbol and
// TBRepairBaseSymbol (symbase/maintenance.h says what each promises).
// Neither needs the caller's handle: each opens the base in a session of its
// own, and the repair's finds a base open in any handle or process by its
// locks.

namespace symbase {

int CheckBase(const char* directory, CObList* findings);
int RepairBase(const char* directory, CObList* actions);

}  // namespace symbase

#endif
