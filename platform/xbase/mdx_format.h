#ifndef SYMBASE_XBASE_MDX_FORMAT_H
#define SYMBASE_XBASE_MDX_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <cstring>

// Byte layout of a dBASE IV .MDX file as other dBASE IV tools write it:
// 512-byte pages, nodes in 1024-byte blocks, little-endian integers.

namespace xbase {
namespace mdx {

constexpr std::uint32_t kPageSize = 512;
constexpr std::uint32_t kPagesPerBlock = 2;
constexpr std::uint32_t kBlockSize = kPageSize * kPagesPerBlock;
constexpr std::uint32_t kHeaderPages = 4;  // file header + tag table
constexpr std::uint32_t kHeaderSize = kHeaderPages * kPageSize;
constexpr int kTagSlots = 48;  // tag-table entries declared in the header
constexpr int kMaxTags = 47;   // entries that fit in the tag table
constexpr std::uint32_t kTagEntrySize = 32;
constexpr std::uint32_t kTagTableOffset = 544;
constexpr int kNameLength = 10;
constexpr int kMaxKeyLength = 100;
// Longest key or FOR expression kept: the key expression's room in the tag
// header (bytes 24-244) holds 220 characters and the closing NUL.
constexpr std::size_t kMaxExpression = 220;
// Deeper than any sound tree of 1024-byte nodes over 2^32 records.
constexpr int kMaxHeight = 24;

// File header.
constexpr std::size_t kHdrVersion = 0;
constexpr std::size_t kHdrCreated = 1;
constexpr std::size_t kHdrBaseName = 4;
constexpr std::size_t kHdrBaseNameSize = 16;
constexpr std::size_t kHdrPagesPerBlock = 20;
constexpr std::size_t kHdrBlockSize = 22;
constexpr std::size_t kHdrProduction = 24;
constexpr std::size_t kHdrTagSlots = 25;
constexpr std::size_t kHdrTagEntrySize = 26;
constexpr std::size_t kHdrTagsUsed = 28;
constexpr std::size_t kHdrNextTag = 30;
constexpr std::size_t kHdrMarker = 31;
constexpr std::size_t kHdrPageCount = 32;
constexpr std::size_t kHdrFirstFree = 36;
constexpr std::size_t kHdrFreeCount = 40;
constexpr std::size_t kHdrUpdated = 44;
constexpr std::size_t kHdrByte529 = 529;

// Tag-table entry (relative to the entry).
constexpr std::size_t kTblHeaderPage = 0;
constexpr std::size_t kTblName = 4;
constexpr std::size_t kTblKeyFormat = 15;
constexpr std::size_t kTblLeft = 16;
constexpr std::size_t kTblRight = 17;
constexpr std::size_t kTblParent = 18;
constexpr std::size_t kTblConstant = 19;
constexpr std::size_t kTblKeyType = 20;

// Tag header block.
constexpr std::size_t kTagRoot = 0;
constexpr std::size_t kTagSizePages = 4;
constexpr std::size_t kTagFlags = 8;
constexpr std::size_t kTagKeyType = 9;
constexpr std::size_t kTagMarker = 11;
constexpr std::size_t kTagKeyLength = 12;
constexpr std::size_t kTagMaxKeys = 14;
constexpr std::size_t kTagItemLength = 18;
constexpr std::size_t kTagChangeCounter = 20;
constexpr std::size_t kTagUnique = 23;
constexpr std::size_t kTagKeyExpr = 24;
constexpr std::size_t kTagKeyExprEnd = 245;  // exclusive: the expression and its NUL
constexpr std::size_t kTagHasFor = 245;
constexpr std::size_t kTagHasKeys = 246;
constexpr std::size_t kTagFirstLeaf = 248;
constexpr std::size_t kTagLastLeaf = 252;
constexpr std::size_t kTagDate = 257;
constexpr std::size_t kTagSingleField = 480;
constexpr std::size_t kTagForExpr = 762;

constexpr std::uint8_t kFlagBase = 0x10;
constexpr std::uint8_t kFlagDescending = 0x08;
constexpr std::uint8_t kFlagUnique = 0x40;

// Node block.
constexpr std::size_t kNodeCount = 0;
constexpr std::size_t kNodeItems = 8;

inline std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}
inline std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline void Put32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}
inline void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

// Key item = 4-byte pointer + key, rounded up to a multiple of 4.
inline std::uint32_t ItemLength(int key_length) {
  return (static_cast<std::uint32_t>(key_length) + 4 + 3) & ~3u;
}
// Leaves room for the right-pointer word after the last item.
inline std::uint32_t MaxKeys(std::uint32_t item_length) { return (kBlockSize - 12) / item_length; }

}  // namespace mdx
}  // namespace xbase

#endif
