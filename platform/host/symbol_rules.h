#ifndef SYMBASE_HOST_SYMBOL_RULES_H
#define SYMBASE_HOST_SYMBOL_RULES_H

// What a symbol of the controller language is: letters (ASCII and the
// Windows-1252 letters), digits and "_", not starting with a digit, at most
// 32 bytes (the width of the symbol field), and not a reserved word.

#include <cstddef>
#include <string_view>

namespace host {

constexpr std::size_t kMaxSymbolLength = 32;

enum class SymbolVerdict { kSymbol, kReserved, kNotSymbol };

bool IsSymbolByte(unsigned char c);
// Words of the languages (instructions, keywords, types, standard functions),
// compared without regard to case.
bool IsReservedWord(std::string_view word);
SymbolVerdict ClassifySymbol(std::string_view word);

// The text without the blanks (space, tab, CR, LF) around it.
std::string_view TrimBlanks(std::string_view text);

}  // namespace host

#endif
