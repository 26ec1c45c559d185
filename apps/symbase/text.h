#ifndef SYMBASE_APPS_TEXT_H
#define SYMBASE_APPS_TEXT_H

// The edges between the terminal's UTF-8 and the library's Windows-1252.

#include <string>

namespace cli {

// Converts UTF-8 to Windows-1252. Returns false, *error saying why (the
// character refused and its position), for malformed UTF-8 or a character
// that Windows-1252 cannot hold.
bool Utf8ToCp1252(const std::string& utf8, std::string* out, std::string* error);

// Converts Windows-1252 to UTF-8. Every byte has a character: the five bytes
// the code page leaves unassigned map to the C1 controls of the same value,
// so that any stored text comes back out and goes in again unchanged.
std::string Cp1252ToUtf8(const std::string& text);

// Number of characters of a UTF-8 text (for aligning columns).
std::size_t Utf8Length(const std::string& utf8);

}  // namespace cli

#endif
