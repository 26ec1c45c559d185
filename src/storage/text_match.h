#ifndef SYMBASE_STORAGE_TEXT_MATCH_H
#define SYMBASE_STORAGE_TEXT_MATCH_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "symbase/afx.h"

// The text comparisons of the searches, case ignored: a target matches
// when, both texts turned to upper case (Windows-1252, per byte), it
// contains, ends with or begins with the searched text. No allocation per
// target once the first has been seen.

namespace symbase {

class TextMatch {
 public:
  enum Match { kContains = 0, kEndsWith = 1, kBeginsWith = 2 };

  // Whether the fast searches take the request: one of the three matches
  // and a text that is not empty. Searched in a `padded` field (compared
  // with its padding by the general walk's text filter), the text must also
  // hold no blank or control character and no apostrophe (which that
  // filter cannot quote); comments are compared trimmed, without a filter.
  static bool Usable(const CString& text, int match, bool padded);

  TextMatch(const CString& text, int match);

  // The searched text in upper case.
  const std::string& upper() const { return upper_; }
  bool Matches(const char* target, std::size_t length) const;

 private:
  const std::string& Folded(const char* target, std::size_t length) const;

  std::string upper_;
  int match_;
  mutable std::string folded_;
};

// The length of text[0..width) without its trailing blanks, 32 and then 8
// at a time, as whole words: a wide field mostly holds its padding.
inline std::size_t TrimmedLength(const char* text, std::size_t width) {
  constexpr std::uint64_t kBlanks = 0x2020202020202020u;
  auto word = [text](std::size_t end) {
    std::uint64_t w;
    std::memcpy(&w, text + end - 8, 8);
    return w ^ kBlanks;
  };
  while (width >= 32 &&
         (word(width) | word(width - 8) | word(width - 16) | word(width - 24)) == 0) {
    width -= 32;
  }
  while (width >= 8 && word(width) == 0) width -= 8;
  while (width > 0 && text[width - 1] == ' ') --width;
  return width;
}

// text[0..length) in upper case (Windows-1252) into out[0..length).
void UpperCopy(const char* text, std::size_t length, char* out);

// The bytes whose upper case is `upper`, in increasing order (at least
// `upper` itself when it is its own upper case).
const std::string& CaseVariants(char upper);

}  // namespace symbase

#endif
