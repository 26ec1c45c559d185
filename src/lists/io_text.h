#ifndef SYMBASE_LISTS_IO_TEXT_H
#define SYMBASE_LISTS_IO_TEXT_H

#include <cstring>

#include "symbase/afx.h"

// Tests on the texts of an I/O list element, made in place without copies.

namespace symbase {

// Where `part` first stands within the three-letter head of `element` (its
// first three characters, fewer for a shorter text); -1 when it does not.
inline int HeadFind(const CString& element, const char* part) {
  const int head = element.GetLength() < 3 ? element.GetLength() : 3;
  const int length = static_cast<int>(std::strlen(part));
  for (int at = 0; at + length <= head; ++at) {
    if (std::memcmp(element.GetString() + at, part, length) == 0) return at;
  }
  return -1;
}

inline bool Contains(const CString& element, const char* part) { return element.Find(part) >= 0; }

}  // namespace symbase

#endif
