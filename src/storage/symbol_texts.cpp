#include "storage/symbol_texts.h"

#include <algorithm>
#include <cstring>

#include "storage/text_match.h"
#include "symbase/cp1252.h"

namespace symbase {
namespace {

constexpr char kEnd = '\x01';

}  // namespace

int SymbolTexts::Refresh(xbase::Tag* symbols, unsigned long counter) {
  if (built_ && counter_ == counter) return 0;
  text_.clear();
  starts_.clear();
  records_.clear();
  const std::size_t width = static_cast<std::size_t>(xbase::TagKeyLength(symbols));
  const int r = xbase::TagScan(symbols, "", [&](const char* key, long record) {
    starts_.push_back(static_cast<std::uint32_t>(text_.size()));
    records_.push_back(static_cast<std::uint32_t>(record));
    const std::size_t length = TrimmedLength(key, width);
    for (std::size_t i = 0; i < length; ++i) {
      text_.push_back(static_cast<char>(Cp1252ToUpper(static_cast<unsigned char>(key[i]))));
    }
    text_.push_back(kEnd);
    return 0;
  });
  built_ = r == 0;
  counter_ = counter;
  return r;
}

bool SymbolTexts::AnyContains(const std::string& upper) const {
  return text_.find(upper) != std::string::npos;
}

void SymbolTexts::Containing(const std::string& upper, bool at_end,
                             std::vector<long>* records) const {
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
