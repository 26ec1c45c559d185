#ifndef SYMBASE_APPS_OUTPUT_FILE_H
#define SYMBASE_APPS_OUTPUT_FILE_H

// Writes a whole text to a file so that a failure leaves no half-written
// file: a regular file is written beside its place and renamed over it;
// anything else (a device, a pipe) is written in place.

#include <string>

namespace cli {

// Throws Failure("cannot write PATH: No space left on device").
void WriteWholeFile(const std::string& path, const std::string& text);

}  // namespace cli

#endif
