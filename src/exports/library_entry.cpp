// Module load and unload of libsymbase.so: the library's extension module
// (its resources) is initialised at load and terminated at unload.

#include "resources/resource_module.h"

namespace {

__attribute__((constructor)) void OnLibraryLoad() { symbase::ExtensionModule(); }

__attribute__((destructor)) void OnLibraryUnload() {
  AfxTermExtensionModule(symbase::ExtensionModule(), TRUE);
}

}  // namespace
