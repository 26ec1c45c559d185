// Walks along a tag's leaves without a cursor: the entries from a key on,
// and the count of the entries that share a prefix (whole leaves at a time).

#include <algorithm>
#include <cstring>
#include <limits>

#include "xbase/mdx_impl.h"

namespace xbase {

using namespace mdx;

int MdxFile::Impl::LeafWalk(int t, const std::uint8_t* key, std::size_t len,
                            const std::function<int(const Node&, std::uint32_t)>& leaf) {
  MdxPath& path = scratch;
  int rc = Descend(t, key, len, -1, &path);
  if (rc == kOk) rc = Settle(t, &path);
  if (rc == kEof) return kOk;
  for (; rc == kOk;) {
    Node node;
    const int depth = static_cast<int>(path.size()) - 1;
    rc = FetchNode(t, path.back().first, depth, false, &node);
    if (rc != kOk) return rc;
    const int stop = leaf(node, static_cast<std::uint32_t>(path.back().second));
    if (stop != 0) return stop;
    path.back().second = static_cast<int>(node.count());
    rc = Settle(t, &path);
  }
  return rc == kEof ? kOk : rc;
}

namespace {

// Whether a leaf's entries from `from` on all have the prefix; adds those
// that do to *count. A leaf whose last key has the prefix is counted whole.
bool CountInLeaf(const Node& node, std::uint32_t from, const std::uint8_t* prefix,
                 std::size_t length, std::uint64_t* count) {
  const std::uint32_t n = node.count();
  if (n > 0 && std::memcmp(node.key(n - 1), prefix, length) == 0) {
    *count += n - std::min(from, n);
    return true;
  }
  std::uint32_t i = from;
  while (i < n && std::memcmp(node.key(i), prefix, length) == 0) ++i;
  if (i > from) *count += i - from;
  return i >= n;
}

}  // namespace

// Asks the processor for the cached block of the parent's child i, if any:
// a walk over siblings then waits on memory once per few blocks, not per block.
void MdxFile::Impl::PrefetchChild(const Node& parent, std::uint32_t i) const {
  if (i >= parent.count()) return;
  if (const std::uint8_t* block = cache.Peek(parent.child(i))) __builtin_prefetch(block);
}

// The keys that share a prefix follow each other. From the first of them,
// each leaf is counted, and so is every later sibling whose separator in the
// parent has the prefix: all its keys lie between two keys that have it, so
// its entry count is enough and its keys are not read.
int MdxFile::Impl::CountRun(int t, const std::uint8_t* prefix, std::size_t length,
                            std::uint64_t* count) {
  MdxPath& path = scratch;
  int rc = Descend(t, prefix, length, -1, &path);
  if (rc == kOk) rc = Settle(t, &path);
  while (rc == kOk) {
    const int height = static_cast<int>(path.size()) - 1;
    Node node;
    rc = FetchNode(t, path.back().first, height, false, &node);
    if (rc != kOk) return rc;
    if (!CountInLeaf(node, static_cast<std::uint32_t>(path.back().second), prefix, length, count)) {
      return kOk;
    }
    if (height > 0) {
      auto& parent_step = path[static_cast<std::size_t>(height - 1)];
      for (;;) {
        Node parent;
        rc = FetchNode(t, parent_step.first, height - 1, false, &parent);
        if (rc != kOk) return rc;
        const std::uint32_t next = static_cast<std::uint32_t>(parent_step.second) + 1;
        if (next >= parent.count() || std::memcmp(parent.key(next), prefix, length) != 0) break;
        const std::uint32_t page = parent.child(next);
        PrefetchChild(parent, next + kPrefetchDistance);
        rc = FetchNode(t, page, height, false, &node);
        if (rc != kOk) return rc;
        *count += node.count();
        parent_step.second = static_cast<int>(next);
        path.back().first = page;
      }
    }
    path.back().second = std::numeric_limits<int>::max();  // past the leaf: on to the next
    rc = Settle(t, &path);
  }
  return rc == kEof ? kOk : rc;
}

int MdxFile::Scan(int t, const char* key, std::size_t length,
                  const std::function<int(const char* key, long record)>& visit) {
  if (t < 0 || t >= tag_count() || !visit || (key == nullptr && length > 0)) return kErrArgument;
  static const char kNone[1] = {0};
  length = std::min<std::size_t>(length, impl_->tag(t).key_length);
  const auto* k = reinterpret_cast<const std::uint8_t*>(key ? key : kNone);
  return impl_->LeafWalk(t, k, length, [&](const Node& node, std::uint32_t from) {
    for (std::uint32_t i = from; i < node.count(); ++i) {
      const int stop =
          visit(reinterpret_cast<const char*>(node.key(i)), static_cast<long>(node.pointer(i)));
      if (stop != 0) return stop;
    }
    return 0;
  });
}

int MdxFile::CountPrefix(int t, const char* prefix, std::size_t length, std::uint64_t* count) {
  if (t < 0 || t >= tag_count() || count == nullptr || (prefix == nullptr && length > 0)) {
    return kErrArgument;
  }
  static const char kNone[1] = {0};
  const auto* p = reinterpret_cast<const std::uint8_t*>(prefix ? prefix : kNone);
  length = std::min<std::size_t>(length, impl_->tag(t).key_length);
  *count = 0;
  KeyCounts& counts = impl_->tag(t).counts;
  if (counts.Find(p, length, count)) return kOk;
  const int rc = impl_->CountRun(t, p, length, count);
  if (rc == kOk) counts.Remember(p, length, *count);
  return rc;
}

}  // namespace xbase
