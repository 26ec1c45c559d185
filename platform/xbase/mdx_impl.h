#ifndef SYMBASE_XBASE_MDX_IMPL_H
#define SYMBASE_XBASE_MDX_IMPL_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "xbase/block_cache.h"
#include "xbase/key_counts.h"
#include "xbase/key_directory.h"
#include "xbase/leaf_hints.h"
#include "xbase/mdx_file.h"
#include "xbase/mdx_format.h"
#include "xbase/mdx_node.h"
#include "xbase/result.h"

// The inside of MdxFile, shared by the files that implement it: header and
// tag table (mdx_file.cpp, mdx_header.cpp), block allocation
// (mdx_alloc.cpp), descent and cursors (mdx_search.cpp), changes
// (mdx_insert.cpp, mdx_remove.cpp, mdx_rebuild.cpp) and the check
// (mdx_check.cpp).

namespace xbase {

struct MdxTagState {
  MdxTagInfo info;
  std::uint32_t header_page = 0;
  std::uint32_t root = 0;
  std::uint32_t item_length = 0;
  std::uint32_t max_keys = 0;
  std::uint32_t key_length = 0;
  int height = -1;       // levels below the root; -1 until measured
  KeyCounts counts;      // of the whole tag and of prefixes, once counted
  bool changed = false;  // since the last flush: the change counter moves once per flush
  // Whole keys sought back since the tag last changed (before the key
  // sought last), and, once they are many, where every key is
  // (mdx_directory.cpp); forgotten at any change.
  std::uint32_t seeks = 0;
  std::vector<std::uint8_t> last_sought;
  std::unique_ptr<KeyDirectory> directory;  // made on first need
  void ForgetSought() {
    seeks = 0;
    last_sought.clear();
    if (directory) directory->Clear();
  }
};

// One step of a path from the root: the node's page and the item (leaf) or
// child (interior, count = the right pointer) taken in it.
using MdxStep = std::pair<std::uint32_t, int>;
using MdxPath = std::vector<MdxStep>;

class MdxFile::Impl {
 public:
  static constexpr std::size_t kCacheFloor = 256;         // blocks held whatever the budget
  static constexpr std::size_t kCacheReserveMost = 4096;  // blocks reserved, at most

  explicit Impl(std::unique_ptr<File> f) : file(std::move(f)), cache(file.get(), kCacheFloor) {}

  // --- header and tag table (mdx_header.cpp)
  int ReadHeader();  // header bytes, tag table and tag headers into memory
  int FormatNew(const std::string& base_name, const std::vector<MdxTagInfo>& tags);
  int WriteTagHeader(int t);  // root, size, leaf pages and key flag into the tag header block
  int FindTag(const char* name) const;

  // --- blocks (mdx_alloc.cpp)
  bool PageInFile(std::uint32_t page) const;
  // A zeroed node block for tag t, from the free list or at the end of the file.
  int Allocate(int t, std::uint32_t* page, mdx::Node* node);
  // Puts a node block of tag t on the free list.
  int Release(int t, std::uint32_t page);
  int NodeAt(int t, std::uint32_t page, bool write, mdx::Node* node);

  // --- descent and cursors (mdx_search.cpp)
  int Height(int t, int* height);
  // Validates one node met at `depth` below the root.
  int FetchNode(int t, std::uint32_t page, int depth, bool write, mdx::Node* node);
  int CompareKeys(int t, const std::uint8_t* a, const std::uint8_t* b, std::size_t n) const;
  // Path to the first entry >= key[0..len) (record < 0) or >= (key, record).
  // The leaf step may stand at the leaf's count: past its last entry.
  int Descend(int t, const std::uint8_t* key, std::size_t len, std::int64_t record, MdxPath* path);
  int EdgeDescend(int t, std::uint32_t page, int depth, bool last, MdxPath* path);
  // Moves a path standing past a leaf's end onto the next entry; kEof if none.
  int Settle(int t, MdxPath* path);
  int StepForward(int t, MdxPath* path);   // kOk or kEof
  int StepBackward(int t, MdxPath* path);  // kOk or kBof
  int Load(int t, const MdxPath& path, MdxCursor* cursor);
  // The cursor moved to the next entry of its leaf, read once; false when
  // the leaf holds no further entry (or cannot be read), the cursor as it was.
  bool NextInLeaf(MdxCursor* cursor);
  // Whether the entry the path stands on has key[0..len) (and the record, if >= 0).
  bool EntryAt(int t, const MdxPath& path, const std::uint8_t* key, std::size_t len,
               std::int64_t record);
  int LastEntry(int t, std::uint32_t page, int depth, const std::uint8_t** key,
                std::uint32_t* record);
  // From the first entry >= key[0..len), calls leaf(node, first item) for
  // each leaf in turn until it returns non-zero (returned) or the tag ends.
  // Adds to *count the entries whose key begins with prefix[0..length).
  int CountRun(int t, const std::uint8_t* prefix, std::size_t length, std::uint64_t* count);
  static constexpr std::uint32_t kPrefetchDistance = 4;
  void PrefetchChild(const mdx::Node& parent, std::uint32_t i) const;
  int LeafWalk(int t, const std::uint8_t* key, std::size_t len,
               const std::function<int(const mdx::Node&, std::uint32_t)>& leaf);

  // --- changes
  int Insert(int t, const std::uint8_t* key, std::uint32_t record);
  // Moves the insert position in scratch to the end of the leaf before,
  // when the key would open its leaf (mdx_insert.cpp).
  int LeanLeft(int t, const std::uint8_t* key);
  int PlaceItem(int t, std::size_t level, std::uint32_t pos, std::uint32_t pointer,
                const std::uint8_t* key, std::uint32_t next_pointer);
  int Remove(int t, const std::uint8_t* key, std::uint32_t record);
  int FindExact(int t, const std::uint8_t* key, std::uint32_t record);  // into scratch
  int Rebalance(int t, std::size_t level);
  int Merge(int t, const mdx::Node& parent, std::uint32_t a, const mdx::Node& left,
            const mdx::Node& right, bool leaf);
  void Borrow(int t, const mdx::Node& parent, std::uint32_t a, const mdx::Node& left,
              const mdx::Node& right, bool leaf, bool into_right);
  int ShrinkRoot(int t);
  int FreeTree(int t);
  int Rebuild(int t, const KeyRun& run);
  int WriteBuilt();
  int Check(int t, const std::function<void(const std::string&)>& problem);

  // --- key directories (mdx_directory.cpp)
  int BuildDirectory(int t, std::uint32_t records);
  // The leaves of tag t, in page order.
  int CollectLeaves(int t, std::vector<std::uint32_t>* leaves);
  // Calls add(leaf) for each leaf, read from the file in runs of blocks.
  int ReadLeaves(int t, const std::vector<std::uint32_t>& leaves,
                 const std::function<bool(const mdx::Node&)>& add);

  int Flush();
  void Changed(int t) {
    MdxTagState& s = tags[static_cast<std::size_t>(t)];
    s.changed = true;
    s.ForgetSought();
    ++generation;
  }
  MdxTagState& tag(int t) { return tags[static_cast<std::size_t>(t)]; }
  const MdxTagState& tag(int t) const { return tags[static_cast<std::size_t>(t)]; }

  std::unique_ptr<File> file;
  BlockCache cache;
  std::uint8_t header[mdx::kHeaderSize] = {};
  // The header as the file holds it, when known: a flush that would write
  // the same bytes writes nothing.
  std::uint8_t header_on_disk[mdx::kHeaderSize] = {};
  bool header_on_disk_known = false;
  std::uint32_t page_count = 0;
  std::uint32_t first_free = 0;
  std::uint32_t free_count = 0;
  bool header_changed = false;
  bool write_as_built = false;  // Rebuild flushes as it goes
  std::vector<MdxTagState> tags;
  std::uint64_t generation = 1;
  MdxPath scratch;  // reused by changes that need a path
  MdxPath scratch2;
  LeafHints leaf_hints;  // where the last entries went (mdx_insert.cpp)
};

}  // namespace xbase

#endif
