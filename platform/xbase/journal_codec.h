#ifndef SYMBASE_XBASE_JOURNAL_CODEC_H
#define SYMBASE_XBASE_JOURNAL_CODEC_H

#include <cstddef>
#include <cstdint>
#include <string>

// The little-endian fields and checksums that the journals are made of
// (journal.h, redo_journal.h).

namespace xbase::codec {

// FNV-1a over `bytes`, seeded so that bytes of another journal do not pass.
inline std::uint32_t Fnv(std::uint32_t seed, const char* bytes, std::size_t n) {
  std::uint32_t h = 2166136261u ^ seed;
  for (std::size_t i = 0; i < n; ++i) {
    h ^= static_cast<unsigned char>(bytes[i]);
    h *= 16777619u;
  }
  return h;
}

inline void PutLE(std::string* out, std::uint64_t v, int width) {
  for (int i = 0; i < width; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void Put16(std::string* out, std::size_t v) { PutLE(out, v, 2); }
inline void Put32(std::string* out, std::uint32_t v) { PutLE(out, v, 4); }
inline void Put64(std::string* out, std::uint64_t v) { PutLE(out, v, 8); }

// Overwrites the four bytes at `at`.
inline void Set32(std::string* out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) (*out)[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline void PutText(std::string* out, const std::string& text) {
  Put16(out, text.size());
  out->append(text);
}

// Reads fields off a byte string up to `end` (its end by default), failing
// (never reading past it) once something does not fit.
class Reader {
 public:
  Reader(const std::string& bytes, std::size_t at, std::size_t end = std::string::npos)
      : bytes_(bytes), at_(at), end_(end < bytes.size() ? end : bytes.size()) {}
  bool ok() const { return ok_; }
  std::size_t at() const { return at_; }

  std::uint64_t U64(std::size_t width) {
    if (!Has(width)) return 0;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < width; ++i) {
      v |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
    }
    at_ += width;
    return v;
  }
  std::uint32_t U(std::size_t width) { return static_cast<std::uint32_t>(U64(width)); }
  std::string Text() { return Bytes(U(2)); }
  std::string Bytes(std::size_t n) {
    if (!Has(n)) return std::string();
    std::string s = bytes_.substr(at_, n);
    at_ += n;
    return s;
  }

 private:
  bool Has(std::size_t n) {
    if (ok_ && at_ <= end_ && end_ - at_ >= n) return true;
    ok_ = false;
    return false;
  }
  const std::string& bytes_;
  std::size_t at_;
  std::size_t end_;
  bool ok_ = true;
};

}  // namespace xbase::codec

#endif
