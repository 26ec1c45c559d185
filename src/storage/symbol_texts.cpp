#include "storage/symbol_texts.h"

#include <algorithm>
#include <cstring>

#include "storage/text_match.h"

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

}  // namespace

int SymbolTexts::Refresh(xbase::Tag* symbols, long rows, unsigned long counter) {
  if (built_ && counter_ == counter) return 0;
  text_size_ = 0;
  starts_.clear();
  records_.clear();
  const std::size_t width = static_cast<std::size_t>(xbase::TagKeyLength(symbols));
  // Room for a symbol of every row at once, so that the block is not copied
  // as it grows; memory never written is not taken from the system.
  if (rows > 0) {
    starts_.reserve(static_cast<std::size_t>(rows));
    records_.reserve(static_cast<std::size_t>(rows));
    MakeRoom(static_cast<std::size_t>(rows) * (width + 1));
  }
  const int r = xbase::TagScan(symbols, "", [&](const char* key, long record) {
    MakeRoom(width + 1);
    starts_.push_back(static_cast<std::uint32_t>(text_size_));
    records_.push_back(static_cast<std::uint32_t>(record));
    const std::size_t length = TrimmedLength(key, width);
    char* const out = text_.get() + text_size_;
    UpperCopy(key, length, out);
    out[length] = kEnd;
    text_size_ += length + 1;
    return 0;
  });
  MarkRuns();
  built_ = r == 0;
  counter_ = counter;
  return r;
}

void SymbolTexts::Grow(std::size_t more) {
  const std::size_t room = std::max(2 * text_room_, text_size_ + more);
  std::unique_ptr<char[]> larger(new char[room]);
  if (text_size_ > 0) std::memcpy(larger.get(), text_.get(), text_size_);
  text_ = std::move(larger);
  text_room_ = room;
}

// About eight bits per run keep most runs that do not occur apart from
// those that do; the bitmap is capped at 128 KB, past which a large base's
// text mostly holds the runs of any short text anyway. Only the runs within
// a symbol are marked: a text sought never holds the end mark.
void SymbolTexts::MarkRuns() {
  const std::size_t symbols = starts_.size();
  const std::size_t runs =
      text_size_ > (kRun + 1) * symbols ? text_size_ - (kRun + 1) * symbols : 0;
  run_bits_ = kMinRunBits;
  while (run_bits_ < kMaxRunBits && (std::size_t{1} << run_bits_) < 8 * runs) ++run_bits_;
  runs_.assign((std::size_t{1} << run_bits_) / 64, 0);
  const char* const text = text_.get();
  for (std::size_t s = 0; s < symbols; ++s) {
    const std::size_t end = (s + 1 < symbols ? starts_[s + 1] : text_size_) - 1;
    for (std::size_t at = starts_[s]; at + kRun <= end; ++at) {
      const std::uint32_t bit = RunHash(text + at, run_bits_);
      runs_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
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
  return MayContain(upper) && text().find(upper) != std::string_view::npos;
}

void SymbolTexts::Containing(const std::string& upper, bool at_end,
                             std::vector<long>* records) const {
  if (!MayContain(upper)) return;
  const std::string_view all = text();
  std::size_t last = starts_.size();
  for (std::size_t at = all.find(upper); at != std::string_view::npos;
       at = all.find(upper, at + 1)) {
    if (at_end && all[at + upper.size()] != kEnd) continue;
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
