// The file header, the tag table and the tag header blocks: reading them
// with every field checked, and laying them out for a new file.

#include <algorithm>
#include <cstring>
#include <ctime>

#include "xbase/mdx_impl.h"

namespace xbase {

using namespace mdx;

namespace {

void PutDate(std::uint8_t* p) {
  std::time_t now = std::time(nullptr);
  std::tm tm = {};
  localtime_r(&now, &tm);
  p[0] = static_cast<std::uint8_t>(tm.tm_year);
  p[1] = static_cast<std::uint8_t>(tm.tm_mon + 1);
  p[2] = static_cast<std::uint8_t>(tm.tm_mday);
}

// Text stored up to its NUL or the end of the field.
std::string StoredText(const std::uint8_t* p, std::size_t max) {
  std::size_t n = 0;
  while (n < max && p[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(p), n);
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// A tag name as stored: ASCII upper case, cut to the format's 10 characters.
bool StoredName(const std::string& name, std::string* stored) {
  if (name.empty()) return false;
  stored->clear();
  for (char c : name) {
    if (!IsNameChar(c)) return false;
    if (stored->size() < kNameLength) stored->push_back(AsciiUpper(c));
  }
  return true;
}

// A key expression that is one field name lets readers use the field directly.
bool IsSingleField(const std::string& expr) {
  if (expr.empty() || (expr[0] >= '0' && expr[0] <= '9')) return false;
  for (char c : expr) {
    if (!IsNameChar(c)) return false;
  }
  return true;
}

// Tag-table bytes 16/17/18: a binary search tree over the names, in creation
// order, as 1-based entry numbers.
void LinkNameTree(std::uint8_t* table, const std::vector<std::string>& names) {
  for (std::size_t i = 1; i < names.size(); ++i) {
    std::size_t at = 0;
    for (;;) {
      std::uint8_t* entry = table + at * kTagEntrySize;
      std::size_t side = names[i] < names[at] ? kTblLeft : kTblRight;
      if (entry[side] == 0) {
        entry[side] = static_cast<std::uint8_t>(i + 1);
        table[i * kTagEntrySize + kTblParent] = static_cast<std::uint8_t>(at + 1);
        break;
      }
      at = entry[side] - 1u;
    }
  }
}

}  // namespace

bool MdxFile::Impl::PageInFile(std::uint32_t page) const {
  return page >= kHeaderPages && page % kPagesPerBlock == 0 && page < page_count &&
         page_count - page >= kPagesPerBlock;
}

int MdxFile::Impl::ReadHeader() {
  std::uint64_t size = 0;
  int rc = file->Size(&size);
  if (rc != kOk) return rc;
  std::size_t got = 0;
  header_on_disk_known = false;
  rc = file->ReadAt(0, header, kHeaderSize, &got);
  if (rc != kOk) return rc;
  std::memcpy(header_on_disk, header, kHeaderSize);
  header_on_disk_known = got == kHeaderSize;
  if (got != kHeaderSize || header[kHdrVersion] != 2 ||
      Get16(header + kHdrPagesPerBlock) != kPagesPerBlock ||
      Get16(header + kHdrBlockSize) != kBlockSize || header[kHdrTagEntrySize] != kTagEntrySize) {
    return kErrIndexFormat;
  }
  const std::uint32_t used = Get16(header + kHdrTagsUsed);
  page_count = Get32(header + kHdrPageCount);
  // Room in the budget for the trees' interior nodes, which every seek
  // reads: about one block in sixteen where leaves are half full or more.
  cache.Reserve(std::min<std::size_t>(page_count / kPagesPerBlock / 16, kCacheReserveMost));
  first_free = Get32(header + kHdrFirstFree);
  free_count = Get32(header + kHdrFreeCount);
  if (used > kMaxTags || used > header[kHdrTagSlots] || page_count < kHeaderPages ||
      std::uint64_t(page_count) * kPageSize > size ||
      (first_free != 0 && !PageInFile(first_free))) {
    return kErrIndexFormat;
  }
  tags.clear();
  tags.resize(used);
  for (std::uint32_t i = 0; i < used; ++i) {
    const std::uint8_t* entry = header + kTagTableOffset + i * kTagEntrySize;
    MdxTagState& s = tags[i];
    s.header_page = Get32(entry + kTblHeaderPage);
    if (!PageInFile(s.header_page)) return kErrIndexFormat;
    s.info.name = StoredText(entry + kTblName, kNameLength + 1);
    while (!s.info.name.empty() && s.info.name.back() == ' ') s.info.name.pop_back();
    std::uint8_t* th = nullptr;
    rc = cache.Get(s.header_page, &th);
    if (rc != kOk) return rc;
    s.root = Get32(th + kTagRoot);
    s.key_length = Get16(th + kTagKeyLength);
    s.item_length = Get16(th + kTagItemLength);
    s.max_keys = Get16(th + kTagMaxKeys);
    if (!PageInFile(s.root) || s.key_length < 1 || s.key_length > kMaxKeyLength ||
        s.item_length != ItemLength(static_cast<int>(s.key_length)) || s.max_keys < 2 ||
        s.max_keys > MaxKeys(s.item_length)) {
      return kErrIndexFormat;
    }
    s.info.key_length = static_cast<int>(s.key_length);
    s.info.unique = th[kTagUnique] != 0 || (th[kTagFlags] & kFlagUnique) != 0;
    s.info.descending = (th[kTagFlags] & kFlagDescending) != 0;
    s.info.key_expression = StoredText(th + kTagKeyExpr, kTagKeyExprEnd - kTagKeyExpr);
    if (th[kTagHasFor] != 0) {
      s.info.filter_expression = StoredText(th + kTagForExpr, kBlockSize - kTagForExpr);
    }
  }
  return kOk;
}

int MdxFile::Impl::FormatNew(const std::string& base_name, const std::vector<MdxTagInfo>& defs) {
  if (defs.empty() || defs.size() > kMaxTags) return kErrTag;
  std::vector<std::string> names(defs.size());
  for (std::size_t i = 0; i < defs.size(); ++i) {
    const MdxTagInfo& d = defs[i];
    if (!StoredName(d.name, &names[i]) || d.key_length < 1 || d.key_length > kMaxKeyLength ||
        d.key_expression.empty() || d.key_expression.size() > kMaxExpression ||
        d.filter_expression.size() > kMaxExpression ||
        d.key_expression.find('\0') != std::string::npos ||
        d.filter_expression.find('\0') != std::string::npos) {
      return kErrTag;
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (names[j] == names[i]) return kErrTag;
    }
  }
  std::memset(header, 0, sizeof header);
  header[kHdrVersion] = 2;
  PutDate(header + kHdrCreated);
  std::memcpy(header + kHdrBaseName, base_name.data(),
              std::min<std::size_t>(base_name.size(), kHdrBaseNameSize));
  Put16(header + kHdrPagesPerBlock, kPagesPerBlock);
  Put16(header + kHdrBlockSize, kBlockSize);
  header[kHdrProduction] = 0;  // opened explicitly, never as the table's production index
  header[kHdrTagSlots] = kTagSlots;
  header[kHdrTagEntrySize] = kTagEntrySize;
  Put16(header + kHdrTagsUsed, static_cast<std::uint16_t>(defs.size()));
  header[kHdrNextTag] = static_cast<std::uint8_t>(defs.size() + 1);
  header[kHdrMarker] = 0x1B;
  PutDate(header + kHdrUpdated);
  header[kHdrByte529] = 1;

  std::uint8_t* table = header + kTagTableOffset;
  LinkNameTree(table, names);
  std::uint32_t page = kHeaderPages;
  for (std::size_t i = 0; i < defs.size(); ++i, page += 2 * kPagesPerBlock) {
    const MdxTagInfo& d = defs[i];
    std::uint8_t* entry = table + i * kTagEntrySize;
    Put32(entry + kTblHeaderPage, page);
    std::memcpy(entry + kTblName, names[i].data(), names[i].size());
    entry[kTblKeyFormat] = kFlagBase;
    entry[kTblConstant] = 0x02;
    entry[kTblKeyType] = 'C';

    std::uint8_t* th = cache.Fresh(page);
    const std::uint32_t item = ItemLength(d.key_length);
    Put32(th + kTagRoot, page + kPagesPerBlock);
    Put32(th + kTagSizePages, kPagesPerBlock);
    th[kTagFlags] = static_cast<std::uint8_t>(kFlagBase | (d.descending ? kFlagDescending : 0) |
                                              (d.unique ? kFlagUnique : 0));
    th[kTagKeyType] = 'C';
    th[kTagMarker] = 0x1B;
    Put16(th + kTagKeyLength, static_cast<std::uint16_t>(d.key_length));
    Put16(th + kTagMaxKeys, static_cast<std::uint16_t>(MaxKeys(item)));
    Put16(th + kTagItemLength, static_cast<std::uint16_t>(item));
    th[kTagChangeCounter] = 1;
    th[kTagUnique] = d.unique ? 1 : 0;
    std::memcpy(th + kTagKeyExpr, d.key_expression.data(), d.key_expression.size());
    if (!d.filter_expression.empty()) {
      th[kTagHasFor] = 1;
      std::memcpy(th + kTagForExpr, d.filter_expression.data(), d.filter_expression.size());
    }
    Put32(th + kTagFirstLeaf, page + kPagesPerBlock);
    Put32(th + kTagLastLeaf, page + kPagesPerBlock);
    PutDate(th + kTagDate);
    th[kTagSingleField] = IsSingleField(d.key_expression) ? 1 : 0;
    cache.Fresh(page + kPagesPerBlock);  // the empty root leaf
  }
  page_count = page;
  first_free = 0;
  free_count = 0;
  header_changed = true;
  return kOk;
}

int MdxFile::Impl::WriteTagHeader(int t) {
  MdxTagState& s = tag(t);
  MdxPath& path = scratch2;
  int rc = EdgeDescend(t, s.root, 0, false, &path);
  if (rc != kOk) return rc;
  const std::uint32_t first_leaf = path.back().first;
  rc = EdgeDescend(t, s.root, 0, true, &path);
  if (rc != kOk) return rc;
  const std::uint32_t last_leaf = path.back().first;
  Node root;
  rc = NodeAt(t, s.root, false, &root);
  if (rc != kOk) return rc;
  const bool has_keys = root.count() > 0 || path.size() > 1;
  std::uint8_t* th = nullptr;
  rc = cache.GetForWrite(s.header_page, &th);
  if (rc != kOk) return rc;
  Put32(th + kTagRoot, s.root);
  Put32(th + kTagFirstLeaf, first_leaf);
  Put32(th + kTagLastLeaf, last_leaf);
  th[kTagHasKeys] = has_keys ? 1 : 0;
  return kOk;
}

int MdxFile::Impl::FindTag(const char* name) const {
  if (name == nullptr) return -1;
  for (std::size_t i = 0; i < tags.size(); ++i) {
    const std::string& stored = tags[i].info.name;
    std::size_t k = 0;
    while (k < kNameLength && name[k] != 0 && k < stored.size() &&
           AsciiUpper(name[k]) == AsciiUpper(stored[k])) {
      ++k;
    }
    const bool name_ends = k == kNameLength || name[k] == 0;
    if (name_ends && k == stored.size()) return static_cast<int>(i);
  }
  return -1;
}

int MdxFile::Impl::Flush() {
  bool any = header_changed || cache.has_dirty();
  for (std::size_t i = 0; i < tags.size(); ++i) {
    if (!tags[i].changed) continue;
    std::uint8_t* th = nullptr;
    int rc = cache.GetForWrite(tags[i].header_page, &th);
    if (rc != kOk) return rc;
    th[kTagChangeCounter] = static_cast<std::uint8_t>(th[kTagChangeCounter] % 255 + 1);
    tags[i].changed = false;
    any = true;
  }
  if (!any) return kOk;
  int rc = cache.Flush();
  if (rc != kOk) return rc;
  // The header last: a reader never sees a page count covering unwritten blocks.
  Put32(header + kHdrPageCount, page_count);
  Put32(header + kHdrFirstFree, first_free);
  Put32(header + kHdrFreeCount, free_count);
  PutDate(header + kHdrUpdated);
  header_changed = false;
  // Only the pages whose bytes changed: mostly the first, with the counts.
  std::uint32_t first = 0, end = kHeaderSize;
  if (header_on_disk_known) {
    while (first < end && std::memcmp(header + first, header_on_disk + first, kPageSize) == 0) {
      first += kPageSize;
    }
    while (end > first && std::memcmp(header + end - kPageSize, header_on_disk + end - kPageSize,
                                      kPageSize) == 0) {
      end -= kPageSize;
    }
    if (first == end) return kOk;
  }
  header_on_disk_known = false;
  rc = file->WriteAt(first, header + first, end - first);
  if (rc != kOk) {
    header_changed = true;
    return rc;
  }
  std::memcpy(header_on_disk, header, kHeaderSize);
  header_on_disk_known = true;
  return kOk;
}

}  // namespace xbase
