#ifndef SYMBASE_ADDRESS_KEY_WIDTHS_H
#define SYMBASE_ADDRESS_KEY_WIDTHS_H

// The widths of the five key fields an address is written into.

namespace symbase {

constexpr int kObjetWidth = 5;
constexpr int kIndWidth = 5;
constexpr int kInd4Width = 2;

}  // namespace symbase

#endif
