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

bool IsModuleObject(const CString& objet) { return objet.Left(1) == "V" || objet.Left(2) == "MO"; }

}  // namespace symbase
