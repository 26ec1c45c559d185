#ifndef SYMBASE_APPS_TEXT_H
#define SYMBASE_APPS_TEXT_H

// The edges between the terminal's UTF-8, the files people bring, and the
// library's Windows-1252.

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Converts UTF-8 to Windows-1252. Returns false, *error saying why (the
// character refused and its position), for malformed UTF-8 or a character
// that Windows-1252 cannot hold.
bool Utf8ToCp1252(const std::string& utf8, std::string* out, std::string* error);

// Converts Windows-1252 to UTF-8. Every byte has a character: the five bytes
// the code page leaves unassigned map to the C1 controls of the same value,
// so that any stored text comes back out and goes in again unchanged.
std::string Cp1252ToUtf8(const std::string& text);
// The same, appended to `out`.
void AppendCp1252AsUtf8(std::string_view text, std::string* out);

// Number of characters of a UTF-8 text (for aligning columns).
std::size_t Utf8Length(const std::string& utf8);

// A text fit to quote in a message: control characters and bytes that are
// not UTF-8 written as \xNN, cut after `max_chars` characters with "...".
std::string Shown(const std::string& utf8, std::size_t max_chars = 40);

// The encodings an input file may be in.
enum class Encoding { kUtf8, kCp1252, kLatin1 };

// A byte of a UTF-8 file that is not UTF-8: where it is (from 1) and its value.
struct DecodeProblem {
  int line;
  int column;
  unsigned char byte;
};

// A file's bytes as UTF-8. UTF-8 input loses its byte-order mark, and each
// byte that is not UTF-8 becomes U+FFFD and is listed in *problems. The
// other encodings give a character for every byte.
std::string DecodeFile(std::string bytes, Encoding encoding, std::vector<DecodeProblem>* problems);

}  // namespace cli

#endif
