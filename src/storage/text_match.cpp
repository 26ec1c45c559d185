#include "storage/text_match.h"

#include <cstdint>
#include <cstring>

#include "symbase/cp1252.h"

namespace symbase {
namespace {

void Upper(const char* text, std::size_t length, std::string* out) {
  out->resize(length);
  for (std::size_t i = 0; i < length; ++i) {
    (*out)[i] = static_cast<char>(Cp1252ToUpper(static_cast<unsigned char>(text[i])));
  }
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

std::size_t TrimmedLength(const char* text, std::size_t width) {
  // Eight blanks at a time: a wide field mostly holds its padding.
  constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
  while (width >= 8) {
    std::uint64_t word;
    std::memcpy(&word, text + width - 8, 8);
    if (word != kBlanks) break;
    width -= 8;
  }
  while (width > 0 && text[width - 1] == ' ') --width;
  return width;
}

const std::string& CaseVariants(char upper) {
  static const VariantTable table;
  return table.variants[static_cast<unsigned char>(upper)];
}

}  // namespace symbase
