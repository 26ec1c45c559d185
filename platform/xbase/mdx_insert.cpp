// Adding one entry: into the leaf the descent lands on, splitting full nodes
// on the way back up (a new root when the root splits).
//
// The entry always goes into the leaf whose separator bounds it, so no
// separator above ever has to grow. A node split keeps its page for the left
// half; the right half goes to a new block. An insert at the very end of a
// node (the common case for appended records) leaves the left half full.

#include "xbase/mdx_impl.h"

namespace xbase {

using namespace mdx;

namespace {

std::uint32_t SplitPoint(std::uint32_t total, std::uint32_t pos, bool leaf) {
  if (pos + 1 == total) return leaf ? total - 1 : total - 2;
  return total / 2;
}

}  // namespace

// Places item (pointer, key) at `pos` of the node at path[level]; when
// next_pointer is non-zero, the item after it is redirected there (the right
// half of a split child).
int MdxFile::Impl::PlaceItem(int t, std::size_t level, std::uint32_t pos, std::uint32_t pointer,
                             const std::uint8_t* key, std::uint32_t next_pointer) {
  MdxTagState& s = tag(t);
  const std::uint32_t item = s.item_length;
  std::uint8_t up_key[kMaxKeyLength];
  std::uint8_t buf[2 * kBlockSize];
  for (;;) {
    const std::uint32_t page = scratch[level].first;
    Node node;
    int rc = NodeAt(t, page, true, &node);
    if (rc != kOk) return rc;
    const std::uint32_t n = node.count();
    if (pos > n) return kErrIndexFormat;
    if (n < s.max_keys) {
      node.Insert(pos, pointer, key, s.key_length);
      if (next_pointer != 0) node.set_pointer(pos + 1, next_pointer);
      return kOk;
    }
    const bool leaf = level + 1 == scratch.size();
    // All n + 1 items in order, then the right-pointer word.
    std::memset(buf, 0, sizeof buf);
    std::memcpy(buf, node.item(0), pos * item);
    Put32(buf + pos * item, pointer);
    std::memcpy(buf + pos * item + 4, key, s.key_length);
    std::memcpy(buf + (pos + 1) * item, node.item(pos), (n - pos) * item + 4);
    if (next_pointer != 0) Put32(buf + (pos + 1) * item, next_pointer);
    const std::uint32_t total = n + 1;
    const std::uint32_t m = SplitPoint(total, pos, leaf);
    const std::uint32_t right_start = leaf ? m : m + 1;

    std::uint32_t right_page = 0;
    Node right;
    rc = Allocate(t, &right_page, &right);
    if (rc != kOk) return rc;
    Put32(right.block() + kNodeCount, total - right_start);
    std::memcpy(right.item(0), buf + right_start * item, (total - right_start) * item + 4);

    node.Clear();
    Put32(node.block() + kNodeCount, m);
    std::memcpy(node.item(0), buf, m * item);
    if (!leaf) node.set_right(Get32(buf + m * item));
    std::memcpy(up_key, buf + (leaf ? m - 1 : m) * item + 4, s.key_length);

    if (level == 0) {
      std::uint32_t root_page = 0;
      Node root;
      rc = Allocate(t, &root_page, &root);
      if (rc != kOk) return rc;
      root.Insert(0, page, up_key, s.key_length);
      root.set_right(right_page);
      s.root = root_page;
      if (s.height >= 0) ++s.height;
      return kOk;
    }
    --level;
    pos = static_cast<std::uint32_t>(scratch[level].second);
    pointer = page;
    key = up_key;
    next_pointer = right_page;
  }
}

int MdxFile::Impl::Insert(int t, const std::uint8_t* key, std::uint32_t record) {
  MdxTagState& s = tag(t);
  int rc;
  if (s.info.unique) {
    // A unique tag holds one entry per key, the first record stored with it;
    // a later record with the same key is left out of the tag, not refused.
    rc = Descend(t, key, s.key_length, -1, &scratch);
    if (rc == kOk) rc = Settle(t, &scratch);
    if (rc == kOk && EntryAt(t, scratch, key, s.key_length, -1)) return kOk;
    if (rc < 0) return rc;
  }
  rc = Descend(t, key, s.key_length, record, &scratch);
  if (rc != kOk) return rc;
  scratch2 = scratch;
  rc = Settle(t, &scratch2);
  if (rc < 0) return rc;
  if (rc == kOk && EntryAt(t, scratch2, key, s.key_length, record)) return kErrArgument;

  const int old_height = s.height;
  const std::uint32_t old_pages = page_count, old_free = first_free;
  rc = PlaceItem(t, scratch.size() - 1, static_cast<std::uint32_t>(scratch.back().second), record,
                 key, 0);
  if (rc != kOk) return rc;
  Changed(t);
  s.counts.Added(key, s.key_length);
  const bool split = s.height != old_height || page_count != old_pages || first_free != old_free;
  if (split || scratch.size() == 1) return WriteTagHeader(t);
  return kOk;
}

}  // namespace xbase
