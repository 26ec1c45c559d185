#include "storage/symbol_texts.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "storage/text_match.h"
#include "symbase/cp1252.h"

namespace symbase {
namespace {

constexpr char kEnd = '\x01';
constexpr std::size_t kRun = 4;
constexpr unsigned kMinRunBits = 12, kMaxRunBits = 20;

// The bitmap position of the run of kRun characters at `at`.
std::uint32_t RunHash(const char* at, unsigned bits) {
  std::uint32_t run;
  std::memcpy(&run, at, sizeof run);
  return (run * 2654435761u) >> (32 - bits);
}

// The upper case of every byte, looked up for each character of the symbols.
const char* UpperBytes() {
  static const std::array<char, 256> table = [] {
    std::array<char, 256> bytes{};
    for (int b = 0; b < 256; ++b) {
      bytes[static_cast<std::size_t>(b)] =
          static_cast<char>(Cp1252ToUpper(static_cast<unsigned char>(b)));
    }
    return bytes;
  }();
  return table.data();
}

}  // namespace

int SymbolTexts::Refresh(xbase::Tag* symbols, unsigned long counter) {
  if (built_ && counter_ == counter) return 0;
  text_.clear();
  starts_.clear();
  records_.clear();
  const std::size_t width = static_cast<std::size_t>(xbase::TagKeyLength(symbols));
  // Room for every key at once (counted from the tree, at little cost), so
  // that the block is not copied as it grows.
  long keys = 0;
  if (xbase::TagCountPrefix(symbols, "", &keys) == 0 && keys > 0) {
    starts_.reserve(static_cast<std::size_t>(keys));
    records_.reserve(static_cast<std::size_t>(keys));
    text_.reserve(static_cast<std::size_t>(keys) * (width + 1));
  }
  const char* const upper = UpperBytes();
  const int r = xbase::TagScan(symbols, "", [&](const char* key, long record) {
    starts_.push_back(static_cast<std::uint32_t>(text_.size()));
    records_.push_back(static_cast<std::uint32_t>(record));
    const std::size_t length = TrimmedLength(key, width);
    const std::size_t at = text_.size();
    text_.resize(at + length + 1);
    char* out = &text_[at];
    for (std::size_t i = 0; i < length; ++i) out[i] = upper[static_cast<unsigned char>(key[i])];
    out[length] = kEnd;
    return 0;
  });
  MarkRuns();
  built_ = r == 0;
  counter_ = counter;
  return r;
}

// About eight bits per character of text keep most runs that do not occur
// apart from those that do; the bitmap is capped at 128 KB, past which a
// large base's text mostly holds the runs of any short text anyway.
void SymbolTexts::MarkRuns() {
  run_bits_ = kMinRunBits;
  while (run_bits_ < kMaxRunBits && (std::size_t{1} << run_bits_) < 8 * text_.size()) ++run_bits_;
  runs_.assign((std::size_t{1} << run_bits_) / 64, 0);
  for (std::size_t at = 0; at + kRun <= text_.size(); ++at) {
    const std::uint32_t bit = RunHash(text_.data() + at, run_bits_);
    runs_[bit / 64] |= std::uint64_t{1} << (bit % 64);
  }
}

bool SymbolTexts::MayContain(const std::string& upper) const {
  if (runs_.empty()) return true;
  for (std::size_t at = 0; at + kRun <= upper.size(); ++at) {
    const std::uint32_t bit = RunHash(upper.data() + at, run_bits_);
    if ((runs_[bit / 64] & (std::uint64_t{1} << (bit % 64))) == 0) return false;
  }
  return true;
}

bool SymbolTexts::AnyContains(const std::string& upper) const {
  return MayContain(upper) && text_.find(upper) != std::string::npos;
}

void SymbolTexts::Containing(const std::string& upper, bool at_end,
                             std::vector<long>* records) const {
  if (!MayContain(upper)) return;
  std::size_t last = starts_.size();
  for (std::size_t at = text_.find(upper); at != std::string::npos;
       at = text_.find(upper, at + 1)) {
    if (at_end && text_[at + upper.size()] != kEnd) continue;
    const std::size_t symbol =
        static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), at) -
                                 starts_.begin()) -
        1;
    if (symbol == last) continue;  // found again in the same symbol
    last = symbol;
    records->push_back(records_[symbol]);
  }
}

}  // namespace symbase
