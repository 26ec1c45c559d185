#include "symbase/qt/text.h"

#include <cstring>

namespace symbase_qt {

namespace {

// Characters of the bytes 0x80 to 0x9F; the code page's undefined bytes keep
// their own number.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar CharOf(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return QChar(kHighControls[byte - 0x80]);
  return QChar(static_cast<char16_t>(byte));
}

// The byte of a character; -1 when the code page lacks it.
int ByteOf(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == c) return 0x80 + i;
  }
  return -1;
}

}  // namespace

QString FromCp1252(const QByteArray& bytes) {
  QString text;
  text.reserve(bytes.size());
  for (char byte : bytes) text.append(CharOf(static_cast<unsigned char>(byte)));
  return text;
}

QString FromCp1252(const char* text) {
  return text == nullptr ? QString() : FromCp1252(QByteArray(text, std::strlen(text)));
}

bool ToCp1252(const QString& text, QByteArray* out) {
  out->clear();
  out->reserve(text.size());
  bool all = true;
  for (QChar c : text) {
    const int byte = ByteOf(c.unicode());
    if (byte < 0) {
      all = false;
    } else {
      out->append(static_cast<char>(byte));
    }
  }
  return all;
}

}  // namespace symbase_qt
