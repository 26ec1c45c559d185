// Replacing a tag's whole tree by one built bottom-up from sorted entries:
// leaves filled evenly, then each level of interior nodes over the one
// below, each separator the highest key of its child. The old tree's blocks
// go to the free list first, so the new tree takes them back.

#include "xbase/mdx_impl.h"

namespace xbase {

using namespace mdx;

namespace {

struct Built {
  std::uint32_t page;
  std::size_t last;  // index of the subtree's highest entry
};

}  // namespace

// Frees every block of the tag's tree. A tree that cannot be walked soundly
// is left alone: its blocks are lost to reuse but nothing live is freed.
int MdxFile::Impl::FreeTree(int t) {
  MdxFile::Impl* impl = this;
  std::vector<std::uint32_t> pages, stack{impl->tag(t).root};
  std::vector<bool> seen(impl->page_count / kPagesPerBlock + 1);
  while (!stack.empty()) {
    const std::uint32_t page = stack.back();
    stack.pop_back();
    Node node;
    if (impl->NodeAt(t, page, false, &node) != kOk || seen[page / kPagesPerBlock]) return kOk;
    if (pages.size() > impl->page_count / kPagesPerBlock) return kOk;
    seen[page / kPagesPerBlock] = true;
    pages.push_back(page);
    if (node.right() == 0) continue;
    for (std::uint32_t i = 0; i <= node.count(); ++i) stack.push_back(node.child(i));
  }
  for (std::uint32_t page : pages) {
    int rc = impl->Release(t, page);
    if (rc != kOk) return rc;
  }
  return kOk;
}

// With write_as_built, the finished blocks go out a run at a time and leave
// the memory: a tree built bottom-up never reads them again.
int MdxFile::Impl::WriteBuilt() {
  if (!write_as_built || cache.dirty_count() < BlockCache::kFlushRun) return kOk;
  const int rc = cache.Flush();
  if (rc == kOk) cache.Clear();
  return rc;
}

int MdxFile::Impl::Rebuild(int t, const KeyRun& entries) {
  MdxTagState& s = tag(t);
  const std::size_t kl = s.key_length;
  if (entries.key_length() != kl) return kErrArgument;
  for (std::size_t i = 1; i < entries.size(); ++i) {
    int cmp = CompareKeys(t, entries.key(i - 1), entries.key(i), kl);
    if (cmp > 0 || (cmp == 0 && entries.record(i - 1) >= entries.record(i))) return kErrArgument;
  }
  int rc = FreeTree(t);
  if (rc != kOk) return rc;
  Changed(t);
  s.counts.Rebuilt(entries.size());

  const std::size_t n = entries.size();
  const std::size_t leaves = n == 0 ? 1 : (n + s.max_keys - 1) / s.max_keys;
  std::vector<Built> level;
  level.reserve(leaves);
  std::size_t next = 0;
  for (std::size_t i = 0; i < leaves; ++i) {
    const std::size_t take = n / leaves + (i < n % leaves ? 1 : 0);
    Built b{0, next + take - 1};
    Node node;
    rc = Allocate(t, &b.page, &node);
    if (rc != kOk) return rc;
    for (std::size_t k = 0; k < take; ++k, ++next) {
      node.set_pointer(static_cast<std::uint32_t>(k), entries.record(next));
      node.set_key(static_cast<std::uint32_t>(k), entries.key(next), s.key_length);
    }
    Put32(node.block() + kNodeCount, static_cast<std::uint32_t>(take));
    level.push_back(b);
    rc = WriteBuilt();
    if (rc != kOk) return rc;
  }
  int height = 0;
  const std::size_t fan = s.max_keys + 1;
  while (level.size() > 1) {
    const std::size_t groups = (level.size() + fan - 1) / fan;
    std::size_t from = 0, out = 0;
    for (std::size_t g = 0; g < groups; ++g) {
      const std::size_t take = level.size() / groups + (g < level.size() % groups ? 1 : 0);
      Built b{0, level[from + take - 1].last};
      Node node;
      rc = Allocate(t, &b.page, &node);
      if (rc != kOk) return rc;
      for (std::size_t k = 0; k + 1 < take; ++k) {
        const Built& child = level[from + k];
        node.set_pointer(static_cast<std::uint32_t>(k), child.page);
        node.set_key(static_cast<std::uint32_t>(k), entries.key(child.last), s.key_length);
      }
      Put32(node.block() + kNodeCount, static_cast<std::uint32_t>(take - 1));
      node.set_right(level[from + take - 1].page);
      rc = WriteBuilt();
      if (rc != kOk) return rc;
      from += take;
      level[out++] = b;  // a group's slot is never read again once passed
    }
    level.resize(out);
    ++height;
  }
  s.root = level[0].page;
  s.height = height;
  return WriteTagHeader(t);
}

}  // namespace xbase
