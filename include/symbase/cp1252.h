#ifndef SYMBASE_CP1252_H
#define SYMBASE_CP1252_H

// Windows-1252, the workshop's 8-bit code page: every text of the library is
// bytes in it. Case mapping covers the accented letters (é <-> É, œ <-> Œ ...);
// letters without a partner in the code page (ß, µ) stay as they are.

namespace symbase {

// The upper-case partner of the Windows-1252 byte `c` (a -> A, é -> É,
// ÿ -> Ÿ); `c` itself when it has none.
inline unsigned char Cp1252ToUpper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:
      return 0x8A;  // š
    case 0x9C:
      return 0x8C;  // œ
    case 0x9E:
      return 0x8E;  // ž
    case 0xFF:
      return 0x9F;  // ÿ
    default:
      return c;
  }
}

// Cp1252ToUpper of every byte, looked up: for loops over many bytes.
inline const unsigned char* Cp1252UpperTable() {
  static const struct Table {
    unsigned char bytes[256];
    Table() : bytes() {
      for (int b = 0; b < 256; ++b) bytes[b] = Cp1252ToUpper(static_cast<unsigned char>(b));
    }
  } table;
  return table.bytes;
}

// The lower-case partner of the Windows-1252 byte `c` (A -> a, É -> é,
// Ÿ -> ÿ); `c` itself when it has none.
inline unsigned char Cp1252ToLower(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A:
      return 0x9A;  // Š
    case 0x8C:
      return 0x9C;  // Œ
    case 0x8E:
      return 0x9E;  // Ž
    case 0x9F:
      return 0xFF;  // Ÿ
    default:
      return c;
  }
}

}  // namespace symbase

#endif
