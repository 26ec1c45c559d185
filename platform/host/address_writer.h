#ifndef SYMBASE_HOST_ADDRESS_WRITER_H
#define SYMBASE_HOST_ADDRESS_WRITER_H

// Writes an analysed address in the workshop's form: "%", the object letters,
// then each segment with its separator ("%NW{1.2}5:X3", "%I\1.0.5\0.2").

#include <cstddef>

#include "symbase/host_analysis.h"

namespace host {

// The name of a sub-field code ("TMAX"), "" for kNameNone or an unknown code.
const char* SubFieldName(unsigned code);

// Writes the address of `result` into out[size], NUL-ended. False, with out
// "", when the result is not an address, is damaged, or does not fit.
bool WriteAddress(const UsAts& result, char* out, std::size_t size);

}  // namespace host

#endif
