#ifndef SYMBASE_SYMBASE_H
#define SYMBASE_SYMBASE_H

// All a host includes: the framework subset the interface is written in, the
// host services it can replace, and the symbol base's exported interface.

#include "symbase/export.h"
#include "symbase/version.h"

#endif
