#ifndef SYMBASE_HOST_ADDRESS_PARSER_H
#define SYMBASE_HOST_ADDRESS_PARSER_H

// Reads one address of the controller language ("%MW10", "%X1.3.ERR",
// "%NW{1.2}5:X3", "%IW3.MOD.2:X1", "%I\1.0.5\0.2" ...) into a UsAts.

#include <string_view>

#include "symbase/host_analysis.h"

namespace host {

// Largest index, channel or bus number: five digits, the width of the key
// fields. Bits of words go from 0 to 15.
constexpr std::uint32_t kMaxNumber = 99999;
constexpr std::uint32_t kMaxBit = 15;

// Fills `result` (class 307 and every address field) and returns true when
// `text` is exactly one address; otherwise returns false and leaves `result`
// in an unspecified state for the caller to clear. Letters may be of either
// case; no byte outside `text` is read.
bool ParseAddress(std::string_view text, UsAts* result);

}  // namespace host

#endif
