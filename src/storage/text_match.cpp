#include "storage/text_match.h"

#include <cstdint>
#include <cstring>

#include "symbase/cp1252.h"

namespace symbase {
namespace {

void Upper(const char* text, std::size_t length, std::string* out) {
  out->resize(length);
  UpperCopy(text, length, &(*out)[0]);
}

// For each byte, the bytes whose upper case it is.
struct VariantTable {
  VariantTable() {
    for (int b = 0; b < 256; ++b) {
      variants[Cp1252ToUpper(static_cast<unsigned char>(b))].push_back(static_cast<char>(b));
    }
  }
  std::string variants[256];
};

}  // namespace

bool TextMatch::Usable(const CString& text, int match, bool padded) {
  if (match < kContains || match > kBeginsWith || text.IsEmpty()) return false;
  if (!padded) return true;
  for (int i = 0; i < text.GetLength(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c <= ' ' || c == '\'') return false;
  }
  return true;
}

TextMatch::TextMatch(const CString& text, int match) : match_(match) {
  Upper(text, static_cast<std::size_t>(text.GetLength()), &upper_);
}

const std::string& TextMatch::Folded(const char* target, std::size_t length) const {
  Upper(target, length, &folded_);
  return folded_;
}

bool TextMatch::Matches(const char* target, std::size_t length) const {
  if (length < upper_.size()) return false;
  const std::string& folded = Folded(target, length);
  switch (match_) {
    case kContains:
      return folded.find(upper_) != std::string::npos;
    case kEndsWith:
      return folded.compare(length - upper_.size(), upper_.size(), upper_) == 0;
    case kBeginsWith:
      return folded.compare(0, upper_.size(), upper_) == 0;
    default:
      return false;
  }
}

// Eight bytes at a time while they are all below 0x80: the letters among
// them found by two additions (a byte reaches 0x80 from 'a' on, and from
// 'z' + 1 on) and moved down by 0x20; other bytes through the table.
void UpperCopy(const char* text, std::size_t length, char* out) {
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  constexpr std::uint64_t kFromA = 0x1F1F1F1F1F1F1F1Full;  // 0x80 - 'a'
  constexpr std::uint64_t kPastZ = 0x0505050505050505ull;  // 0x80 - ('z' + 1)
  const unsigned char* const upper = Cp1252UpperTable();
  std::size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text + i, 8);
    if ((word & kHigh) == 0) {
      word ^= ((word + kFromA) & ~(word + kPastZ) & kHigh) >> 2;
      std::memcpy(out + i, &word, 8);
      continue;
    }
    for (std::size_t j = i; j < i + 8; ++j) {
      out[j] = static_cast<char>(upper[static_cast<unsigned char>(text[j])]);
    }
  }
  for (; i < length; ++i) out[i] = static_cast<char>(upper[static_cast<unsigned char>(text[i])]);
}

const std::string& CaseVariants(char upper) {
  static const VariantTable table;
  return table.variants[static_cast<unsigned char>(upper)];
}

}  // namespace symbase
