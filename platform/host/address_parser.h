#ifndef SYMBASE_HOST_ADDRESS_PARSER_H
#define SYMBASE_HOST_ADDRESS_PARSER_H

// Reads one address of the controller language ("%MW10", "%X1.3.ERR",
// "%NW{1.2}5:X3", "%IW3.MOD.2:X1", "%I\1.0.5\0.2" ...) into a UsAts.

#include <string_view>

#include "symbase/host_analysis.h"

namespace host {

// An address is what the symbol base's key fields can hold. Indexes and
// channels: five digits, the width of a key field. The position of a module
// object is written in base 32 in its five characters (up to "VVVVV") unless
// decimal module numbering is in force. The bus numbers of \a.b.c\d go up to
// 1023, 3, 255 and 1, the ranges the module address coding packs. A drum
// step is stored plus 3. Bits of words go from 0 to 15.
constexpr std::uint32_t kMaxNumber = 99999;
constexpr std::uint32_t kMaxModulePosition = 33554431;
constexpr std::uint32_t kMaxBusNumber[] = {1023, 3, 255, 1};
constexpr std::uint32_t kMaxDrumStep = kMaxNumber - 3;
constexpr std::uint32_t kMaxBit = 15;

// Fills `result` (class 307 and every address field) and returns true when
// `text` is exactly one address; otherwise returns false and leaves `result`
// in an unspecified state for the caller to clear. Letters may be of either
// case; no byte outside `text` is read.
bool ParseAddress(std::string_view text, UsAts* result);

}  // namespace host

#endif
