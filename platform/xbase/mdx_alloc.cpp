// Node blocks: allocation and release.
//
// Free blocks form a chain: the header's first-free field (bytes 36-39)
// holds the first free page and its count field (40-43) the number of free
// blocks; each free block is zero but for bytes 4-7, the page of the next
// free block (0 ends the chain). A free block thus reads as an empty leaf
// with entry count 0, which no tree points at. A block is reused before the
// file grows; the tag's size field (pages held by its nodes) follows both.

#include "xbase/mdx_impl.h"

namespace xbase {

using namespace mdx;

namespace {

int AdjustTagSize(BlockCache* cache, std::uint32_t header_page, std::int64_t delta) {
  std::uint8_t* th = nullptr;
  int rc = cache->GetForWrite(header_page, &th);
  if (rc != kOk) return rc;
  std::int64_t size = static_cast<std::int64_t>(Get32(th + kTagSizePages)) + delta;
  Put32(th + kTagSizePages, static_cast<std::uint32_t>(size < 0 ? 0 : size));
  return kOk;
}

}  // namespace

int MdxFile::Impl::NodeAt(int t, std::uint32_t page, bool write, Node* node) {
  if (!PageInFile(page)) return kErrIndexFormat;
  std::uint8_t* block = nullptr;
  int rc = write ? cache.GetForWrite(page, &block) : cache.Get(page, &block);
  if (rc != kOk) return rc;
  *node = Node(block, tag(t).item_length);
  if (node->count() > tag(t).max_keys) return kErrIndexFormat;
  return kOk;
}

int MdxFile::Impl::Allocate(int t, std::uint32_t* page, Node* node) {
  std::uint8_t* block = nullptr;
  if (first_free != 0) {
    if (!PageInFile(first_free)) return kErrIndexFormat;
    int rc = cache.GetForWrite(first_free, &block);
    if (rc != kOk) return rc;
    const std::uint32_t next = Get32(block + 4);
    if (next != 0 && (!PageInFile(next) || next == first_free)) return kErrIndexFormat;
    *page = first_free;
    first_free = next;
    if (free_count > 0) --free_count;
    std::memset(block, 0, kBlockSize);
  } else {
    // Page numbers are 32-bit: past that the file cannot grow.
    if (page_count > UINT32_MAX - kPagesPerBlock) return kErrWrite;
    *page = page_count;
    page_count += kPagesPerBlock;
    block = cache.Fresh(*page);
  }
  header_changed = true;
  *node = Node(block, tag(t).item_length);
  return AdjustTagSize(&cache, tag(t).header_page, kPagesPerBlock);
}

int MdxFile::Impl::Release(int t, std::uint32_t page) {
  if (!PageInFile(page)) return kErrIndexFormat;
  std::uint8_t* block = nullptr;
  int rc = cache.GetForWrite(page, &block);
  if (rc != kOk) return rc;
  std::memset(block, 0, kBlockSize);
  Put32(block + 4, first_free);
  first_free = page;
  ++free_count;
  header_changed = true;
  return AdjustTagSize(&cache, tag(t).header_page, -std::int64_t(kPagesPerBlock));
}

}  // namespace xbase
