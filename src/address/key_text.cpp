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

namespace {

// `text` with `fill` before it (or after it) up to `width` characters,
// written into one buffer of the full width: every lookup pads its key.
CString Padded(const CString& text, int width, char fill, bool before) {
  const int length = text.GetLength();
  if (length >= width) return text;
  CString padded;
  char* out = padded.GetBufferSetLength(width);
  const std::size_t missing = static_cast<std::size_t>(width - length);
  std::memset(before ? out : out + length, fill, missing);
  std::memcpy(before ? out + missing : out, text.GetString(), static_cast<std::size_t>(length));
  return padded;
}

}  // namespace

CString ZeroPadded(const CString& text, int width) { return Padded(text, width, '0', true); }

CString BlankPadded(const CString& text, int width) { return Padded(text, width, ' ', false); }

bool IsModuleObject(const char* objet) {
  return objet[0] == 'V' || (objet[0] == 'M' && objet[1] == 'O');
}

}  // namespace symbase
