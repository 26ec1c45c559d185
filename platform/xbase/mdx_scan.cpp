// Walks along a tag's leaves without a cursor: the entries from a key on,
// and the count of the entries that share a prefix (whole leaves at a time).

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

int MdxFile::Scan(int t, const char* key, std::size_t length,
                  const std::function<int(const char* key, std::uint32_t record)>& visit) {
  if (t < 0 || t >= tag_count() || !visit || (key == nullptr && length > 0)) return kErrArgument;
  static const char kNone[1] = {0};
  length = std::min<std::size_t>(length, impl_->tag(t).key_length);
  const auto* k = reinterpret_cast<const std::uint8_t*>(key ? key : kNone);
  return impl_->LeafWalk(t, k, length, [&](const Node& node, std::uint32_t from) {
    for (std::uint32_t i = from; i < node.count(); ++i) {
      const int stop = visit(reinterpret_cast<const char*>(node.key(i)), node.pointer(i));
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
  MdxTagState& s = impl_->tag(t);
  if (length == 0 && s.entries >= 0) {
    *count = static_cast<std::uint64_t>(s.entries);
    return kOk;
  }
  constexpr int kOutOfRange = 1;
  const int rc = impl_->LeafWalk(t, p, length, [&](const Node& node, std::uint32_t from) {
    const std::uint32_t n = node.count();
    // A leaf whose last key still has the prefix is counted whole.
    if (n > 0 && std::memcmp(node.key(n - 1), p, length) == 0) {
      *count += n - from;
      return 0;
    }
    for (std::uint32_t i = from; i < n; ++i) {
      if (std::memcmp(node.key(i), p, length) != 0) return kOutOfRange;
      ++*count;
    }
    return 0;
  });
  if (rc == kOk && length == 0) s.entries = static_cast<std::int64_t>(*count);
  return rc == kOutOfRange ? kOk : rc;
}

}  // namespace xbase
