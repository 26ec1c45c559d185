#include "host/address_writer.h"

#include <cstring>

namespace host {

namespace {

constexpr const char* kSubFieldNames[kNameCount] = {"",    "T",   "TMIN", "TMAX", "ERR", "IN",
                                                    "OUT", "MOD", "V",    "P",    "D",   "R",
                                                    "Q",   "E",   "F",    "S",    "I",   "O"};

constexpr const char* kSeparators[] = {"", ".", "{", "}", "\\", ":X"};

// Appends within a fixed buffer, remembering whether everything fitted.
class BoundedText {
 public:
  BoundedText(char* out, std::size_t size) : out_(out), size_(size) {}
  void Append(const char* text) {
    std::size_t length = std::strlen(text);
    if (!fits_ || length >= size_ - used_) {
      fits_ = false;
      return;
    }
    std::memcpy(out_ + used_, text, length);
    used_ += length;
  }
  void AppendNumber(std::uint32_t number) {
    char digits[11];
    std::size_t at = sizeof digits;
    digits[--at] = '\0';
    do {
      digits[--at] = static_cast<char>('0' + number % 10);
      number /= 10;
    } while (number != 0);
    Append(digits + at);
  }
  bool Finish() {
    out_[fits_ ? used_ : 0] = '\0';
    return fits_;
  }

 private:
  char* out_;
  std::size_t size_;
  std::size_t used_ = 0;
  bool fits_ = true;
};

bool ValidLetters(const char (&letters)[4]) {
  std::size_t length = strnlen(letters, sizeof letters);
  if (length == 0 || length == sizeof letters) return false;
  for (std::size_t at = 0; at < length; ++at) {
    if (letters[at] < 'A' || letters[at] > 'Z') return false;
  }
  return true;
}

}  // namespace

const char* SubFieldName(unsigned code) { return code < kNameCount ? kSubFieldNames[code] : ""; }

bool WriteAddress(const UsAts& result, char* out, std::size_t size) {
  if (out == nullptr || size == 0) return false;
  BoundedText text(out, size);
  bool sound = result.wordClass == kWordAddress && ValidLetters(result.letters) &&
               result.segmentCount > 0 && result.segmentCount <= kUsAtsSegments;
  if (!sound) {
    out[0] = '\0';
    return false;
  }
  text.Append("%");
  text.Append(result.letters);
  for (std::uint32_t at = 0; at < result.segmentCount; ++at) {
    const UsAtsSegment& segment = result.segment[at];
    if (segment.separator > kSepBit || segment.name >= kNameCount) {
      out[0] = '\0';
      return false;
    }
    text.Append(kSeparators[segment.separator]);
    if (segment.name != kNameNone) {
      text.Append(kSubFieldNames[segment.name]);
    } else {
      text.AppendNumber(segment.number);
    }
  }
  return text.Finish();
}

}  // namespace host
