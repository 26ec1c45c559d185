// Key directories: a tag sought by whole keys many times without a change
// gets a hash of every key to its record (key_directory.h), read from its
// leaves in page order with a few large reads, and a seek then reads only
// its row. Any change of the tag, or of the file by another process,
// forgets the directory.

#include <algorithm>

#include "xbase/mdx_impl.h"

namespace xbase {

using namespace mdx;

namespace {

// Seeks back before a directory is made: a directory costs about as much
// as reading every leaf once, as many seeks that miss the cache would. Only
// a seek before the last one counts: seeks in key order (a walk by seeks,
// as an export's comments are read) find their leaf in the cache, and one
// seek in two goes back when they come at random.
constexpr std::uint32_t kLeastSeeks = 128;
constexpr std::uint32_t kRecordsPerSeek = 128;
// Leaves read at once: within 256 KB of the first, and no more than 16 KB
// apart (what lies between is read with them).
constexpr std::uint32_t kRunPages = 512;
constexpr std::uint32_t kGapPages = 32;

bool IsLeaf(const Node& node) { return node.right() == 0; }

// Items a block holds at most: those of one-byte keys (a tag's own count
// is checked against its item length when the header is read).
constexpr std::uint32_t kMaxLeafKeys = (kBlockSize - 12) / 8;

}  // namespace

std::uint32_t MdxFile::Sought(int t, const char* key, std::uint32_t records) {
  if (t < 0 || t >= tag_count() || key == nullptr) return 0;
  MdxTagState& s = impl_->tag(t);
  if (!s.directory || s.directory->empty()) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(key);
    const bool back = !s.last_sought.empty() &&
                      impl_->CompareKeys(t, bytes, s.last_sought.data(), s.key_length) < 0;
    s.last_sought.assign(bytes, bytes + s.key_length);
    if (!back || ++s.seeks < std::max(kLeastSeeks, records / kRecordsPerSeek)) return 0;
    s.seeks = 0;  // a directory that cannot be made is tried again as late
    // The leaves are read from the file: it must hold every change.
    if (changed() || impl_->BuildDirectory(t, records) != kOk) return 0;
  }
  return s.directory->Find(reinterpret_cast<const std::uint8_t*>(key), s.key_length);
}

int MdxFile::Impl::BuildDirectory(int t, std::uint32_t records) {
  MdxTagState& s = tag(t);
  if (!s.directory) s.directory.reset(new KeyDirectory());
  KeyDirectory& directory = *s.directory;
  if (!directory.Start(records)) return kErrArgument;
  std::vector<std::uint32_t> leaves;
  int rc = CollectLeaves(t, &leaves);
  if (rc == kOk) {
    std::uint64_t hashes[kMaxLeafKeys];
    rc = ReadLeaves(t, leaves, [&](const Node& leaf) {
      // The slots a leaf's keys go to are fetched together, not one after
      // the other.
      for (std::uint32_t i = 0; i < leaf.count(); ++i) {
        hashes[i] = KeyDirectory::Hash(leaf.key(i), s.key_length);
        directory.Prefetch(hashes[i]);
      }
      for (std::uint32_t i = 0; i < leaf.count(); ++i) {
        if (!directory.Add(hashes[i], leaf.pointer(i))) return false;
      }
      return true;
    });
  }
  if (rc != kOk) directory.Clear();
  return rc;
}

int MdxFile::Impl::CollectLeaves(int t, std::vector<std::uint32_t>* leaves) {
  int height = 0;
  int rc = Height(t, &height);
  if (rc != kOk) return rc;
  leaves->clear();
  if (height == 0) {
    leaves->push_back(tag(t).root);
    return kOk;
  }
  // Every block is met once in a sound tree: more visits than blocks is a
  // damaged one.
  std::uint64_t visits = page_count / kPagesPerBlock;
  std::vector<std::pair<std::uint32_t, int>> pending{{tag(t).root, 0}};
  while (!pending.empty()) {
    const auto [page, depth] = pending.back();
    pending.pop_back();
    if (visits-- == 0) return kErrIndexFormat;
    Node node;
    rc = FetchNode(t, page, depth, false, &node);
    if (rc != kOk) return rc;
    for (std::uint32_t c = 0; c <= node.count(); ++c) {
      if (depth + 1 == height) {
        leaves->push_back(node.child(c));
      } else {
        pending.emplace_back(node.child(c), depth + 1);
      }
    }
  }
  std::sort(leaves->begin(), leaves->end());
  if (std::adjacent_find(leaves->begin(), leaves->end()) != leaves->end()) return kErrIndexFormat;
  return kOk;
}

int MdxFile::Impl::ReadLeaves(int t, const std::vector<std::uint32_t>& leaves,
                              const std::function<bool(const Node&)>& add) {
  std::vector<std::uint8_t> run;
  for (std::size_t first = 0; first < leaves.size();) {
    // The leaves close to one another in the file, read at once with the
    // few blocks between them.
    const std::uint32_t start = leaves[first];
    if (!PageInFile(start)) return kErrIndexFormat;
    std::size_t last = first + 1;
    while (last < leaves.size() && leaves[last] - leaves[last - 1] <= kGapPages &&
           leaves[last] - start < kRunPages && PageInFile(leaves[last])) {
      ++last;
    }
    const std::size_t bytes = std::size_t{leaves[last - 1] - start} * kPageSize + kBlockSize;
    run.resize(bytes);
    std::size_t got = 0;
    int rc = file->ReadAt(std::uint64_t{start} * kPageSize, run.data(), bytes, &got);
    if (rc != kOk) return rc;
    if (got != bytes) return kErrIndexFormat;
    for (std::size_t i = first; i < last; ++i) {
      const Node leaf(run.data() + std::size_t{leaves[i] - start} * kPageSize, tag(t).item_length);
      if (leaf.count() > tag(t).max_keys || !IsLeaf(leaf)) return kErrIndexFormat;
      if (!add(leaf)) return kErrIndexFormat;
    }
    first = last;
  }
  return kOk;
}

}  // namespace xbase
