#ifndef SYMBASE_RESOURCES_RESOURCE_MODULE_H
#define SYMBASE_RESOURCES_RESOURCE_MODULE_H

#include "symbase/afxwin.h"

namespace symbase {

// The library's extension module record, initialised with its resources the
// first time it is asked for (at load in the shared library).
AFX_EXTENSION_MODULE& ExtensionModule();

}  // namespace symbase

#endif
