#ifndef SYMBASE_STORAGE_SYMBOL_TEXTS_H
#define SYMBASE_STORAGE_SYMBOL_TEXTS_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
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
  // `rows`, the rows of the symbols' table, bounds how many there are.
  int Refresh(xbase::Tag* symbols, long rows, unsigned long counter);
  void Forget() { built_ = false; }

  // Whether `upper` occurs in some symbol.
  bool AnyContains(const std::string& upper) const;
  // The records of the symbols in which `upper` occurs (once each), in
  // symbol order; with `at_end`, only where it ends the symbol.
  void Containing(const std::string& upper, bool at_end, std::vector<long>* records) const;

 private:
  std::string_view text() const { return {text_.get(), text_size_}; }
  // Room for `more` bytes after the text.
  void MakeRoom(std::size_t more) {
    if (text_size_ + more > text_room_) Grow(more);
  }
  void Grow(std::size_t more);
  void MarkRuns();
  // False when some run of `upper` occurs nowhere in the text.
  bool MayContain(const std::string& upper) const;

  bool built_ = false;
  unsigned long counter_ = 0;
  std::unique_ptr<char[]> text_;  // each symbol followed by '\x01'
  std::size_t text_size_ = 0;
  std::size_t text_room_ = 0;
  std::vector<std::uint32_t> starts_;  // where each symbol begins in text_
  std::vector<std::uint32_t> records_;
  std::vector<std::uint64_t> runs_;  // one bit per hashed four-character run
  unsigned run_bits_ = 0;            // log2 of the bitmap's size in bits
};

}  // namespace symbase

#endif
