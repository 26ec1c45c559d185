#ifndef SYMBASE_APPS_FIELDS_H
#define SYMBASE_APPS_FIELDS_H

// The three texts of an object, from the user's UTF-8 to what the library
// stores, refused with a FieldError ("symbol \"4x\": not a symbol ...") when
// the base could not keep them.

#include <string>

namespace cli {

constexpr std::size_t kMaxAddress = 36;
constexpr std::size_t kMaxSymbol = 32;
constexpr std::size_t kMaxComment = 508;

// An address of the controller language in its written form ("%mw010" gives
// "%MW10"), in Windows-1252: what the library's analyser reads as an
// address, which is also what the base's key fields can hold.
std::string LibraryAddress(const std::string& utf8);
// A symbol ("" allowed: no symbol): letters, digits and "_", not starting with
// a digit, at most 32 bytes, not a reserved word; blanks around are dropped.
std::string LibrarySymbol(const std::string& utf8);
// A comment of at most 508 bytes without control characters.
std::string LibraryComment(const std::string& utf8);
// Any other text handed to the library (a search text): converted only.
std::string LibraryText(const std::string& utf8, const char* what);
// An object prefix: "%" and one to three letters ("%mw" gives "%MW"); the
// letters select every kind that begins with them (%MW: words and their
// bits; %I: every module input, %I, %IW and %ID).
std::string LibraryPrefix(const std::string& utf8);

}  // namespace cli

#endif
