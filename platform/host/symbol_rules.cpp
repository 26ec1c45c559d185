#include "host/symbol_rules.h"

#include <algorithm>
#include <iterator>

#include "symbase/cp1252.h"

namespace host {

namespace {

// Sorted, upper case: looked up by binary search.
constexpr std::string_view kReserved[] = {
    "ABS",    "ACOS",  "AND",   "ANDF",     "ANDN",    "ANDR",   "ARRAY",      "ASIN",
    "AT",     "ATAN",  "BOOL",  "BTI",      "BY",      "BYTE",   "CASE",       "COS",
    "DATE",   "DEC",   "DINT",  "DO",       "DWORD",   "EBOOL",  "ELSE",       "ELSIF",
    "END",    "ENDC",  "ENDCN", "END_CASE", "END_FOR", "END_IF", "END_REPEAT", "END_WHILE",
    "EXIT",   "EXP",   "FALSE", "FOR",      "HALT",    "IF",     "INC",        "INT",
    "ITB",    "JMP",   "JMPC",  "JMPCN",    "JUMP",    "LD",     "LDF",        "LDN",
    "LDR",    "LN",    "LOG",   "MOD",      "MPP",     "MPS",    "MRD",        "NOP",
    "NOT",    "OF",    "OR",    "ORF",      "ORN",     "ORR",    "R",          "REAL",
    "REPEAT", "RESET", "RET",   "RETC",     "RETCN",   "RETURN", "ROL",        "ROR",
    "S",      "SET",   "SHL",   "SHR",      "SIN",     "SQRT",   "ST",         "STN",
    "STRING", "TAN",   "THEN",  "TIME",     "TO",      "TRUE",   "UNTIL",      "WHILE",
    "WORD",   "XOR",   "XORF",  "XORN",     "XORR",
};

constexpr std::size_t kLongestReserved = 10;

}  // namespace

bool IsSymbolByte(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') {
    return true;
  }
  switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:  // Š Œ Ž
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:  // š œ ž Ÿ
      return true;
    default:
      return c >= 0xC0 && c != 0xD7 && c != 0xF7;  // À..ÿ but × and ÷
  }
}

bool IsReservedWord(std::string_view word) {
  if (word.empty() || word.size() > kLongestReserved) return false;
  char upper[kLongestReserved];
  std::transform(word.begin(), word.end(), upper, [](char c) {
    return static_cast<char>(symbase::Cp1252ToUpper(static_cast<unsigned char>(c)));
  });
  // lower_bound rather than binary_search: an instance returning bool would
  // escape the version script's std:: pattern in unoptimised builds.
  std::string_view key(upper, word.size());
  const std::string_view* found = std::lower_bound(std::begin(kReserved), std::end(kReserved), key);
  return found != std::end(kReserved) && *found == key;
}

SymbolVerdict ClassifySymbol(std::string_view word) {
  if (word.empty() || word.size() > kMaxSymbolLength) return SymbolVerdict::kNotSymbol;
  if (word.front() >= '0' && word.front() <= '9') return SymbolVerdict::kNotSymbol;
  for (char c : word) {
    if (!IsSymbolByte(static_cast<unsigned char>(c))) return SymbolVerdict::kNotSymbol;
  }
  return IsReservedWord(word) ? SymbolVerdict::kReserved : SymbolVerdict::kSymbol;
}

std::string_view TrimBlanks(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace host
