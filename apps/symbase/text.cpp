#include "text.h"

#include <cstdint>
#include <cstdio>
#include <utility>

namespace cli {

namespace {

// Characters of bytes 0x80 to 0x9F; the unassigned ones keep their own value.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::uint32_t kReplacement = 0xFFFD;
const char kBom[] = "\xEF\xBB\xBF";

int ByteOfCodePoint(std::uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == cp) return 0x80 + i;
  }
  return -1;
}

void AppendUtf8(std::uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one character at text[*pos]; -1 when the bytes there are not UTF-8
// (overlong forms, surrogates and values past U+10FFFF included).
long DecodeOne(const std::string& text, std::size_t* pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(*pos);
  int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0 || lead > 0xF4 || text.size() - *pos <= static_cast<std::size_t>(extra)) {
    return -1;
  }
  std::uint32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    unsigned char next = byte(*pos + i);
    if ((next & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (next & 0x3F);
  }
  static constexpr std::uint32_t kMinimum[4] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  *pos += extra + 1;
  return static_cast<long>(cp);
}

std::string Escaped(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02X", byte);
  return text;
}

// True when the bytes from `pos` on are all UTF-8.
bool AllUtf8(const std::string& bytes, std::size_t pos) {
  while (pos < bytes.size()) {
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
      ++pos;
    } else if (DecodeOne(bytes, &pos) < 0) {
      return false;
    }
  }
  return true;
}

std::string DecodeUtf8File(std::string bytes, std::vector<DecodeProblem>* problems) {
  std::size_t pos = bytes.compare(0, 3, kBom) == 0 ? 3 : 0;
  if (AllUtf8(bytes, pos)) return bytes.erase(0, pos);
  std::string out;
  out.reserve(bytes.size());
  int line = 1;
  int column = 1;
  while (pos < bytes.size()) {
    std::size_t start = pos;
    long cp = DecodeOne(bytes, &pos);
    if (cp < 0) {
      problems->push_back({line, column, static_cast<unsigned char>(bytes[start])});
      AppendUtf8(kReplacement, &out);
      pos = start + 1;
    } else {
      out.append(bytes, start, pos - start);
    }
    ++column;
    if (cp == '\n') {
      ++line;
      column = 1;
    }
  }
  return out;
}

}  // namespace

bool Utf8ToCp1252(const std::string& utf8, std::string* out, std::string* error) {
  // ASCII reads the same in both: the leading run of it is copied whole.
  std::size_t pos = 0;
  while (pos < utf8.size() && static_cast<unsigned char>(utf8[pos]) < 0x80) ++pos;
  out->assign(utf8, 0, pos);
  while (pos < utf8.size()) {
    std::size_t start = pos;
    long cp = DecodeOne(utf8, &pos);
    if (cp < 0) {
      *error = "not valid UTF-8 at byte " + std::to_string(start + 1);
      return false;
    }
    int byte = ByteOfCodePoint(static_cast<std::uint32_t>(cp));
    if (byte < 0) {
      char code[24];
      std::snprintf(code, sizeof code, "U+%04lX", cp);
      *error = "the character \"" + Shown(utf8.substr(start, pos - start)) + "\" (" + code +
               ") has no place in Windows-1252";
      return false;
    }
    out->push_back(static_cast<char>(byte));
  }
  return true;
}

void AppendCp1252AsUtf8(std::string_view text, std::string* out) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    // A run of ASCII goes as it is, in one piece.
    std::size_t end = pos;
    while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) ++end;
    out->append(text.data() + pos, end - pos);
    if (end == text.size()) return;
    unsigned char byte = static_cast<unsigned char>(text[end]);
    AppendUtf8(byte < 0xA0 ? kHighControls[byte - 0x80] : byte, out);
    pos = end + 1;
  }
}

std::string Cp1252ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size() * 2);
  AppendCp1252AsUtf8(text, &out);
  return out;
}

std::size_t Utf8Length(const std::string& utf8) {
  std::size_t count = 0;
  for (char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string Shown(const std::string& utf8, std::size_t max_chars) {
  std::string out;
  std::size_t pos = 0;
  for (std::size_t count = 0; pos < utf8.size(); ++count) {
    if (count == max_chars) return out + "...";
    std::size_t start = pos;
    long cp = DecodeOne(utf8, &pos);
    if (cp < 0) {
      out += Escaped(static_cast<unsigned char>(utf8[start]));
      pos = start + 1;
    } else if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) {
      out += Escaped(static_cast<unsigned char>(cp));
    } else {
      out.append(utf8, start, pos - start);
    }
  }
  return out;
}

std::string DecodeFile(std::string bytes, Encoding encoding, std::vector<DecodeProblem>* problems) {
  switch (encoding) {
    case Encoding::kUtf8:
      return DecodeUtf8File(std::move(bytes), problems);
    case Encoding::kCp1252:
      return Cp1252ToUtf8(bytes);
    case Encoding::kLatin1:
      break;
  }
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char c : bytes) AppendUtf8(static_cast<unsigned char>(c), &out);
  return out;
}

}  // namespace cli
