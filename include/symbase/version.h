#ifndef SYMBASE_VERSION_H
#define SYMBASE_VERSION_H

#include "symbase/export.h"

// The library's version, "major.minor.patch". Never null.
SYMBASE_API const char* SymbaseVersion();

#endif
