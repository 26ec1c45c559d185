// Adding one entry: into the leaf the descent lands on, splitting full nodes
// on the way back up (a new root when the root splits).
//
// The entry always goes into the leaf whose separator bounds it, so no
// separator above ever has to grow. A node split keeps its page for the left
// half; the right half goes to a new block. An insert at the very end of a
// node (the common case for appended records) leaves the left half full.
//
// Keys numbered in order come in runs, many at once: "%MW1000" to "%MW1009"
// go between "%MW100" and "%MW101", the key of the next kind after the last
// of this kind. Each run ends inside a leaf or at the start of the next one,
// and even splits there would leave every leaf half full. So an entry placed
// right after the one placed last in a full leaf splits it after itself, and
// an entry that would open its leaf goes to the end of the leaf before when
// it is above that leaf's separator (LeanLeft): runs fill their leaves.

#include "xbase/mdx_impl.h"

namespace xbase {

using namespace mdx;

namespace {

// Items left in the node of `total` that splits for one placed at pos;
// `in_run`: a leaf whose last entries each went right after the one before.
std::uint32_t SplitPoint(std::uint32_t total, std::uint32_t pos, bool leaf, bool in_run) {
  if (pos + 1 == total) return leaf ? total - 1 : total - 2;
  if (leaf && in_run) return pos + 1;
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
    const bool leaf = level + 1 == scratch.size();
    const std::uint32_t run = leaf ? leaf_hints.RunTo(page, pos) : 0;
    if (n < s.max_keys) {
      node.Insert(pos, pointer, key, s.key_length);
      if (next_pointer != 0) node.set_pointer(pos + 1, next_pointer);
      if (leaf) leaf_hints.Note(page, pos, run);
      return kOk;
    }
    // All n + 1 items in order, then the right-pointer word.
    std::memset(buf, 0, sizeof buf);
    std::memcpy(buf, node.item(0), pos * item);
    Put32(buf + pos * item, pointer);
    std::memcpy(buf + pos * item + 4, key, s.key_length);
    std::memcpy(buf + (pos + 1) * item, node.item(pos), (n - pos) * item + 4);
    if (next_pointer != 0) Put32(buf + (pos + 1) * item, next_pointer);
    const std::uint32_t total = n + 1;
    const std::uint32_t m = SplitPoint(total, pos, leaf, run >= LeafHints::kRunLength);
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
    if (leaf) leaf_hints.Note(pos < m ? page : right_page, pos < m ? pos : pos - m, run);

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

// The key would be the first of the leaf at scratch.back(): when it is above
// the separator of the leaf before it under the same parent, it goes at the
// end of that leaf, the separator raised to the key (still the leaf's last
// key). A full leaf before is split at its end, leaving a new leaf for the
// run, only when the entry placed there last is its last one (a run goes on:
// random keys make no leaf of one) and this leaf is at least half full (keys
// arriving in descending order fill it first, rather than a leaf each).
int MdxFile::Impl::LeanLeft(int t, const std::uint8_t* key) {
  if (scratch.size() < 2 || scratch.back().second != 0) return kOk;
  const MdxTagState& s = tag(t);
  const std::size_t level = scratch.size() - 2;
  const int depth = static_cast<int>(level);
  const auto c = static_cast<std::uint32_t>(scratch[level].second);
  Node parent, leaf, left;
  int rc = FetchNode(t, scratch[level].first, depth, false, &parent);
  if (rc != kOk || c == 0 || CompareKeys(t, parent.key(c - 1), key, s.key_length) >= 0) return rc;
  const std::uint32_t left_page = parent.child(c - 1);
  rc = FetchNode(t, scratch.back().first, depth + 1, false, &leaf);
  if (rc == kOk) rc = FetchNode(t, left_page, depth + 1, false, &left);
  if (rc != kOk) return rc;
  const std::uint32_t end = left.count();
  const bool at_end = end > 0 && leaf_hints.PlacedLastAt(left_page, end - 1);
  if (end >= s.max_keys && (!at_end || 2 * leaf.count() < s.max_keys)) return kOk;
  rc = FetchNode(t, scratch[level].first, depth, true, &parent);
  if (rc != kOk) return rc;
  parent.set_key(c - 1, key, s.key_length);
  scratch[level].second = static_cast<int>(c - 1);
  scratch.back() = MdxStep(left_page, static_cast<int>(end));
  return kOk;
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

  rc = LeanLeft(t, key);
  if (rc != kOk) return rc;
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
