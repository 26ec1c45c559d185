#include "address/key_text.h"

#include <climits>

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
  const int missing = width - text.GetLength();
  return missing > 0 ? text + CString(' ', missing) : text;
}

bool IsModuleObject(const char* objet) {
  return objet[0] == 'V' || (objet[0] == 'M' && objet[1] == 'O');
}

}  // namespace symbase
