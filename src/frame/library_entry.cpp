// Module load and unload of libsymbase.so.

namespace {

__attribute__((constructor)) void OnLibraryLoad() {}

__attribute__((destructor)) void OnLibraryUnload() {}

}  // namespace
