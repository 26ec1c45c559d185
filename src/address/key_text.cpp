#include "address/key_text.h"

#include <climits>
#include <cstring>

namespace symbase {

unsigned long LeadingNumber(const char* text) {
  while (*text == ' ') ++text;
  unsigned long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    const unsigned digit = static_cast<unsigned>(*text - '0');
    if (value > (ULONG_MAX - digit) / 10) return ULONG_MAX;
    value = value * 10 + digit;
  }
  return value;
}

CString ZeroPadded(const CString& text, int width) {
  const int missing = width - text.GetLength();
  return missing > 0 ? CString('0', missing) + text : text;
}

CString BlankPadded(const CString& text, int width) {
  const int length = text.GetLength();
  if (length >= width) return text;
  // Written into one buffer of the full width: every lookup pads its key.
  CString padded;
  char* out = padded.GetBufferSetLength(width);
  std::memcpy(out, text.GetString(), static_cast<std::size_t>(length));
  std::memset(out + length, ' ', static_cast<std::size_t>(width - length));
  return padded;
}

bool IsModuleObject(const char* objet) {
  return objet[0] == 'V' || (objet[0] == 'M' && objet[1] == 'O');
}

}  // namespace symbase
