// Descent from the root, positions and steps between entries.
//
// Every node met is checked against the tag's height (measured once down the
// leftmost edge): a node above the leaf level must be interior, a node at it
// must be a leaf. A pointer cycle or a lying entry count therefore ends in
// kErrIndexFormat instead of an endless walk or a read outside the block.

#include "xbase/mdx_impl.h"

namespace xbase {

using namespace mdx;

namespace {

bool IsLeaf(const Node& node) { return node.right() == 0; }

}  // namespace

int MdxFile::Impl::CompareKeys(int t, const std::uint8_t* a, const std::uint8_t* b,
                               std::size_t n) const {
  int c = std::memcmp(a, b, n);
  return tag(t).info.descending ? -c : c;
}

int MdxFile::Impl::Height(int t, int* height) {
  MdxTagState& s = tag(t);
  if (s.height < 0) {
    std::uint32_t page = s.root;
    for (int depth = 0;; ++depth) {
      if (depth > kMaxHeight) return kErrIndexFormat;
      Node node;
      int rc = NodeAt(t, page, false, &node);
      if (rc != kOk) return rc;
      if (IsLeaf(node)) {
        s.height = depth;
        break;
      }
      page = node.child(0);
    }
  }
  *height = s.height;
  return kOk;
}

int MdxFile::Impl::FetchNode(int t, std::uint32_t page, int depth, bool write, Node* node) {
  int height = 0;
  int rc = Height(t, &height);
  if (rc != kOk) return rc;
  rc = NodeAt(t, page, write, node);
  if (rc != kOk) return rc;
  if (depth > height || IsLeaf(*node) != (depth == height)) return kErrIndexFormat;
  if (depth < height) cache.Keep(page);
  return kOk;
}

int MdxFile::Impl::EdgeDescend(int t, std::uint32_t page, int depth, bool last, MdxPath* path) {
  path->resize(static_cast<std::size_t>(depth));
  for (;; ++depth) {
    Node node;
    int rc = FetchNode(t, page, depth, false, &node);
    if (rc != kOk) return rc;
    const int count = static_cast<int>(node.count());
    if (IsLeaf(node)) {
      path->emplace_back(page, last ? count - 1 : 0);
      return kOk;
    }
    const int c = last ? count : 0;
    path->emplace_back(page, c);
    page = node.child(static_cast<std::uint32_t>(c));
  }
}

int MdxFile::Impl::LastEntry(int t, std::uint32_t page, int depth, const std::uint8_t** key,
                             std::uint32_t* record) {
  for (;; ++depth) {
    Node node;
    int rc = FetchNode(t, page, depth, false, &node);
    if (rc != kOk) return rc;
    if (IsLeaf(node)) {
      if (node.count() == 0) return kEof;
      *key = node.key(node.count() - 1);
      *record = node.pointer(node.count() - 1);
      return kOk;
    }
    page = node.right();
  }
}

int MdxFile::Impl::Descend(int t, const std::uint8_t* key, std::size_t len, std::int64_t record,
                           MdxPath* path) {
  int height = 0;
  int rc = Height(t, &height);
  if (rc != kOk) return rc;
  path->clear();
  std::uint32_t page = tag(t).root;
  for (int depth = 0; depth < height; ++depth) {
    Node node;
    rc = FetchNode(t, page, depth, false, &node);
    if (rc != kOk) return rc;
    // First separator >= the key: every key of the children before it is smaller.
    std::uint32_t lo = 0, hi = node.count();
    while (lo < hi) {
      std::uint32_t mid = (lo + hi) / 2;
      if (CompareKeys(t, node.key(mid), key, len) < 0)
        lo = mid + 1;
      else
        hi = mid;
    }
    std::uint32_t c = lo;
    if (record >= 0) {
      // Equal keys may span children whose separators all equal the key; the
      // record order inside them is found from each child's real last entry.
      std::uint32_t end = lo;
      hi = node.count();
      while (end < hi) {
        std::uint32_t mid = (end + hi) / 2;
        if (CompareKeys(t, node.key(mid), key, len) <= 0)
          end = mid + 1;
        else
          hi = mid;
      }
      std::uint32_t a = lo, b = end;
      while (a < b) {
        std::uint32_t mid = (a + b) / 2;
        rc = FetchNode(t, page, depth, false, &node);  // probes may push it out of the cache
        if (rc != kOk) return rc;
        const std::uint8_t* last_key = nullptr;
        std::uint32_t last_record = 0;
        rc = LastEntry(t, node.child(mid), depth + 1, &last_key, &last_record);
        if (rc < 0) return rc;
        // An empty child counts as reaching the target: the walk forward passes it.
        const int cmp = rc == kEof ? 1 : CompareKeys(t, last_key, key, len);
        bool reaches = cmp > 0 || (cmp == 0 && last_record >= static_cast<std::uint64_t>(record));
        if (reaches)
          b = mid;
        else
          a = mid + 1;
      }
      c = a;
      rc = FetchNode(t, page, depth, false, &node);
      if (rc != kOk) return rc;
    }
    path->emplace_back(page, static_cast<int>(c));
    page = node.child(c);
  }
  Node leaf;
  rc = FetchNode(t, page, height, false, &leaf);
  if (rc != kOk) return rc;
  std::uint32_t lo = 0, hi = leaf.count();
  while (lo < hi) {
    std::uint32_t mid = (lo + hi) / 2;
    int cmp = CompareKeys(t, leaf.key(mid), key, len);
    bool before = cmp < 0 || (cmp == 0 && record >= 0 && leaf.pointer(mid) < record);
    if (before)
      lo = mid + 1;
    else
      hi = mid;
  }
  path->emplace_back(page, static_cast<int>(lo));
  return kOk;
}

int MdxFile::Impl::Settle(int t, MdxPath* path) {
  for (;;) {
    Node node;
    const int depth = static_cast<int>(path->size()) - 1;
    int rc = FetchNode(t, path->back().first, depth, false, &node);
    if (rc != kOk) return rc;
    if (path->back().second < static_cast<int>(node.count())) return kOk;
    // Past this leaf: climb to the first ancestor with a child further right.
    for (;;) {
      path->pop_back();
      if (path->empty()) return kEof;
      const int d = static_cast<int>(path->size()) - 1;
      rc = FetchNode(t, path->back().first, d, false, &node);
      if (rc != kOk) return rc;
      if (path->back().second < static_cast<int>(node.count())) break;
    }
    const int c = ++path->back().second;
    rc = EdgeDescend(t, node.child(static_cast<std::uint32_t>(c)), static_cast<int>(path->size()),
                     false, path);
    if (rc != kOk) return rc;
  }
}

int MdxFile::Impl::StepForward(int t, MdxPath* path) {
  ++path->back().second;
  return Settle(t, path);
}

int MdxFile::Impl::StepBackward(int t, MdxPath* path) {
  --path->back().second;
  for (;;) {
    if (path->back().second >= 0) return kOk;
    Node node;
    for (;;) {
      path->pop_back();
      if (path->empty()) return kBof;
      if (path->back().second > 0) break;
    }
    const int depth = static_cast<int>(path->size()) - 1;
    int rc = FetchNode(t, path->back().first, depth, false, &node);
    if (rc != kOk) return rc;
    const int c = --path->back().second;
    rc = EdgeDescend(t, node.child(static_cast<std::uint32_t>(c)), depth + 1, true, path);
    if (rc != kOk) return rc;
  }
}

namespace {

void TakeEntry(const Node& leaf, std::uint32_t i, std::size_t key_length, MdxCursor* cursor) {
  cursor->key.assign(reinterpret_cast<const char*>(leaf.key(i)), key_length);
  cursor->record = leaf.pointer(i);
  cursor->next_record = i + 1 < leaf.count() ? leaf.pointer(i + 1) : 0;
}

}  // namespace

int MdxFile::Impl::Load(int t, const MdxPath& path, MdxCursor* cursor) {
  Node leaf;
  int rc = NodeAt(t, path.back().first, false, &leaf);
  if (rc != kOk) return rc;
  const std::uint32_t i = static_cast<std::uint32_t>(path.back().second);
  if (i >= leaf.count()) return kErrIndexFormat;
  TakeEntry(leaf, i, tag(t).key_length, cursor);
  cursor->valid = true;
  cursor->end = 0;
  cursor->tag = t;
  cursor->generation = generation;
  return kOk;
}

// The leaf was checked when the cursor came onto it, and nothing has been
// written since (same generation): only its entry count is looked at again.
bool MdxFile::Impl::NextInLeaf(MdxCursor* cursor) {
  Node leaf;
  MdxStep& step = cursor->path.back();
  if (NodeAt(cursor->tag, step.first, false, &leaf) != kOk) return false;
  const std::uint32_t i = static_cast<std::uint32_t>(step.second) + 1;
  if (i >= leaf.count()) return false;
  step.second = static_cast<int>(i);
  TakeEntry(leaf, i, tag(cursor->tag).key_length, cursor);
  return true;
}

bool MdxFile::Impl::EntryAt(int t, const MdxPath& path, const std::uint8_t* key, std::size_t len,
                            std::int64_t record) {
  Node leaf;
  if (NodeAt(t, path.back().first, false, &leaf) != kOk) return false;
  const std::uint32_t i = static_cast<std::uint32_t>(path.back().second);
  return i < leaf.count() && CompareKeys(t, leaf.key(i), key, len) == 0 &&
         (record < 0 || leaf.pointer(i) == record);
}

}  // namespace xbase
