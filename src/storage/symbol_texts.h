#ifndef SYMBASE_STORAGE_SYMBOL_TEXTS_H
#define SYMBASE_STORAGE_SYMBOL_TEXTS_H

#include <cstdint>
#include <string>
#include <vector>

#include "xbase/engine.h"

// Every live symbol of the base, in upper case, in one block of text in
// symbol order (read once from the symbol index's keys), for the searches
// that must look at every symbol: a text is found in it at the speed of a
// memory search. It stands for the base as long as the base's change
// counter has not moved; CTBData forgets it when a base is opened or closed.
// A bitmap of the four-character runs of the block answers most searches
// for a text that occurs nowhere without reading the block.

namespace symbase {

class SymbolTexts {
 public:
  // Reads the symbols again unless they stand for `counter` already.
  int Refresh(xbase::Tag* symbols, unsigned long counter);
  void Forget() { built_ = false; }

  // Whether `upper` occurs in some symbol.
  bool AnyContains(const std::string& upper) const;
  // The records of the symbols in which `upper` occurs (once each), in
  // symbol order; with `at_end`, only where it ends the symbol.
  void Containing(const std::string& upper, bool at_end, std::vector<long>* records) const;

 private:
  void MarkRuns();
  // False when some run of `upper` occurs nowhere in the text.
  bool MayContain(const std::string& upper) const;

  bool built_ = false;
  unsigned long counter_ = 0;
  std::string text_;                   // each symbol followed by '\x01'
  std::vector<std::uint32_t> starts_;  // where each symbol begins in text_
  std::vector<std::uint32_t> records_;
  std::vector<std::uint64_t> runs_;  // one bit per hashed four-character run
  unsigned run_bits_ = 0;            // log2 of the bitmap's size in bits
};

}  // namespace symbase

#endif
