// Removing one entry, then mending underflow on the way up: a node left
// with fewer than a third of its capacity takes an item from a sibling under
// the same parent or, when both fit in one block, is merged with it and the
// emptied block goes to the free list. An interior root left with a single
// child gives way to that child. A separator may stay above the real highest
// key of its child after a removal; searches stay correct, and every key
// below a separator is still <= it.

#include "xbase/mdx_impl.h"

namespace xbase {

using namespace mdx;

int MdxFile::Impl::FindExact(int t, const std::uint8_t* key, std::uint32_t record) {
  const std::uint32_t len = tag(t).key_length;
  int rc = Descend(t, key, len, record, &scratch);
  if (rc == kOk) rc = Settle(t, &scratch);
  if (rc < 0) return rc;
  if (rc == kOk && EntryAt(t, scratch, key, len, record)) return kOk;
  // A tree written elsewhere may order equal keys across children in ways the
  // fast descent does not foresee: walk the run of equal keys.
  rc = Descend(t, key, len, -1, &scratch);
  if (rc == kOk) rc = Settle(t, &scratch);
  while (rc == kOk && EntryAt(t, scratch, key, len, -1)) {
    if (EntryAt(t, scratch, key, len, record)) return kOk;
    rc = StepForward(t, &scratch);
  }
  return rc < 0 ? rc : kErrIndexFormat;
}

int MdxFile::Impl::Remove(int t, const std::uint8_t* key, std::uint32_t record) {
  int rc = FindExact(t, key, record);
  if (rc != kOk) return rc;
  Node leaf;
  rc = NodeAt(t, scratch.back().first, true, &leaf);
  if (rc != kOk) return rc;
  leaf.Erase(static_cast<std::uint32_t>(scratch.back().second), 1);
  Changed(t);
  tag(t).counts.Removed(key, tag(t).key_length);
  const std::uint32_t old_root = tag(t).root, old_free = first_free;
  rc = Rebalance(t, scratch.size() - 1);
  if (rc == kOk) rc = ShrinkRoot(t);
  if (rc != kOk) return rc;
  const bool reshaped = first_free != old_free || tag(t).root != old_root;
  if (reshaped || leaf.count() == 0 || scratch.size() == 1) return WriteTagHeader(t);
  return kOk;
}

int MdxFile::Impl::Rebalance(int t, std::size_t level) {
  const MdxTagState& s = tag(t);
  const std::uint32_t min_fill = s.max_keys / 3 > 0 ? s.max_keys / 3 : 1;
  for (; level > 0; --level) {
    const bool leaf = level + 1 == scratch.size();
    Node node, parent, left, right;
    int rc = NodeAt(t, scratch[level].first, true, &node);
    if (rc != kOk) return rc;
    if (node.count() >= min_fill) return kOk;
    rc = NodeAt(t, scratch[level - 1].first, true, &parent);
    if (rc != kOk) return rc;
    const std::uint32_t c = static_cast<std::uint32_t>(scratch[level - 1].second);
    if (parent.count() == 0) return kOk;        // an only child: nothing to lean on
    const std::uint32_t a = c > 0 ? c - 1 : 0;  // the pair (a, a + 1) holds the node
    rc = NodeAt(t, parent.child(a), true, &left);
    if (rc == kOk) rc = NodeAt(t, parent.child(a + 1), true, &right);
    if (rc != kOk) return rc;
    const std::uint32_t joined = left.count() + right.count() + (leaf ? 0 : 1);
    if (joined > s.max_keys) {
      Borrow(t, parent, a, left, right, leaf, c > 0);
      return kOk;
    }
    rc = Merge(t, parent, a, left, right, leaf);
    if (rc != kOk) return rc;
  }
  return kOk;
}

// Right joins left; the parent loses item a, whose successor now points at left.
int MdxFile::Impl::Merge(int t, const Node& parent, std::uint32_t a, const Node& left,
                         const Node& right, bool leaf) {
  const MdxTagState& s = tag(t);
  std::uint32_t n = left.count();
  if (!leaf) {
    // The old right pointer becomes an item, bounded by the parent's separator.
    left.set_key(n, parent.key(a), s.key_length);
    ++n;
  }
  std::memcpy(left.item(n), right.item(0), right.count() * s.item_length + 4);
  Put32(left.block() + kNodeCount, n + right.count());
  const std::uint32_t right_page = parent.child(a + 1);
  parent.set_pointer(a + 1, parent.child(a));
  parent.Erase(a, 1);
  return Release(t, right_page);
}

// Moves one item across the pair (a, a + 1) towards the side that ran short.
void MdxFile::Impl::Borrow(int t, const Node& parent, std::uint32_t a, const Node& left,
                           const Node& right, bool leaf, bool into_right) {
  const std::uint32_t kl = tag(t).key_length;
  if (into_right) {
    const std::uint32_t last = left.count() - 1;
    if (leaf) {
      right.Insert(0, left.pointer(last), left.key(last), kl);
      left.Erase(last, 1);
      parent.set_key(a, left.key(last - 1), kl);
    } else {
      right.Insert(0, left.right(), parent.key(a), kl);
      parent.set_key(a, left.key(last), kl);
      const std::uint32_t moved = left.pointer(last);
      left.Erase(last, 1);
      left.set_right(moved);
    }
    return;
  }
  const std::uint32_t n = left.count();
  if (leaf) {
    left.Insert(n, right.pointer(0), right.key(0), kl);
    parent.set_key(a, right.key(0), kl);
  } else {
    left.Insert(n, left.right(), parent.key(a), kl);
    left.set_right(right.pointer(0));
    parent.set_key(a, right.key(0), kl);
  }
  right.Erase(0, 1);
}

int MdxFile::Impl::ShrinkRoot(int t) {
  MdxTagState& s = tag(t);
  for (;;) {
    Node root;
    int rc = NodeAt(t, s.root, false, &root);
    if (rc != kOk) return rc;
    if (root.right() == 0 || root.count() > 0) return kOk;
    const std::uint32_t old = s.root;
    s.root = root.right();
    if (s.height > 0) --s.height;
    rc = Release(t, old);
    if (rc != kOk) return rc;
  }
}

}  // namespace xbase
