#ifndef SYMBASE_SYMBASE_H
#define SYMBASE_SYMBASE_H

// All a host includes: the framework subset the interface is written in, the
// host services it can replace, and the symbol base's exported interface.

#include "symbase/afx.h"
#include "symbase/afxcoll.h"
#include "symbase/afxwin.h"
#include "symbase/cp1252.h"
#include "symbase/export.h"
#include "symbase/host.h"
#include "symbase/maintenance.h"
#include "symbase/results.h"
#include "symbase/tabis.h"
#include "symbase/version.h"

#endif
