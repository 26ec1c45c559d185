#include "xbase/held_rows.h"

#include <cstring>

#include "xbase/cache_budget.h"
#include "xbase/result.h"

namespace xbase {

HeldRows::HeldRows(std::size_t length)
    : length_(length), per_chunk_(CacheBudget::kChunkBytes / length) {}

HeldRows::~HeldRows() {
  for (char* chunk : chunks_) CacheBudget::LeaveChunk(chunk);
  CacheBudget::Give(taken_);
}

bool HeldRows::HoldAll(std::uint32_t count) {
  const std::size_t bytes = (count + per_chunk_ - 1) / per_chunk_ * CacheBudget::kChunkBytes;
  all_ = CacheBudget::Take(bytes);
  if (all_) {
    taken_ = bytes;
    chunks_.reserve(bytes / CacheBudget::kChunkBytes);
  }
  return all_;
}

bool HeldRows::Add(const char* row) {
  if (chunks_.empty() || in_last_ == per_chunk_) {
    if (all_ || chunks_.empty()) chunks_.push_back(CacheBudget::TakeChunk());
    in_last_ = 0;
  }
  std::memcpy(chunks_.back() + in_last_ * length_, row, length_);
  return ++in_last_ == per_chunk_;
}

int HeldRows::Scan(const std::function<int(std::uint32_t, const char*)>& visit) const {
  std::uint32_t n = 0;
  for (std::size_t c = 0; c < chunks_.size(); ++c) {
    const std::size_t rows = c + 1 == chunks_.size() ? in_last_ : per_chunk_;
    for (std::size_t i = 0; i < rows; ++i) {
      if (const int r = visit(++n, chunks_[c] + i * length_); r != 0) return r;
    }
  }
  return kOk;
}

}  // namespace xbase
