#ifndef SYMBASE_XBASE_MDX_FILE_H
#define SYMBASE_XBASE_MDX_FILE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "xbase/file_system.h"
#include "xbase/key_run.h"

// One dBASE IV multiple-index file (.MDX): its header, its tag table and one
// B-tree per tag, in 1024-byte blocks, with the byte layout other dBASE IV
// tools write (layout: docs/mdx-format.md).
//
// It knows keys as bytes and leaves as record numbers; it knows nothing of
// tables, fields or expressions. Entries are ordered by (key bytes, unsigned
// comparison; then record number), so equal keys come in record order.
//
// Blocks are read through a bounded cache and written back by Flush(); nothing
// reaches the file between two flushes. All calls return 0 or a negative code
// of xbase/result.h; a damaged file gives kErrIndexFormat, never a crash, a
// hang or a read outside a buffer.

namespace xbase {

struct MdxTagInfo {
  std::string name;               // at most 10 characters are stored
  std::string key_expression;     // stored in the tag header, not interpreted here
  std::string filter_expression;  // empty: no FOR clause
  int key_length = 0;             // 1..100 bytes, character keys
  bool unique = false;
  bool descending = false;
};

// A position in one tag: on an entry, or past either end.
struct MdxCursor {
  int tag = -1;
  bool valid = false;  // false: past the end or before the beginning
  std::string key;     // the entry's key bytes when valid (capacity kept between moves)
  std::uint32_t record = 0;
  // The record of the entry after this one in the same leaf (0: none), for
  // a walk to fetch ahead.
  std::uint32_t next_record = 0;
  // Private to MdxFile: the path from the root, for Next/Prev without a re-seek.
  std::vector<std::pair<std::uint32_t, int>> path;
  std::uint64_t generation = 0;
  // When not valid: 1 past the last entry, -1 before the first (Next from
  // before the first entry lands on it, Prev from past the last on that one).
  int end = 1;
};

class MdxFile {
 public:
  // Creates a new file (replacing an existing one) holding the given tags,
  // each with an empty root leaf. base_name goes into the header (at most 16
  // bytes). 1..47 tags.
  static int Create(std::unique_ptr<File> file, const std::string& base_name,
                    const std::vector<MdxTagInfo>& tags, std::unique_ptr<MdxFile>* out);
  // Opens an existing file and checks its header and tag table.
  static int Open(std::unique_ptr<File> file, std::unique_ptr<MdxFile>* out);

  ~MdxFile();

  int tag_count() const;
  const MdxTagInfo& tag(int index) const;
  // The tag whose stored name equals `name` over at most 10 characters, case
  // ignored for ASCII letters; -1 when none.
  int FindTag(const char* name) const;

  // Adds or removes one entry. Remove of an absent entry returns kErrIndexFormat.
  // key points at exactly tag(t).key_length bytes.
  int Insert(int t, const char* key, std::uint32_t record);
  int Remove(int t, const char* key, std::uint32_t record);
  // Replaces every entry of the tag by those of `run`, sorted, whose keys
  // are the tag's key length. Used by compaction and reindex; the tag's old
  // blocks are freed for reuse.
  int Rebuild(int t, const KeyRun& run);
  // Lets Rebuild write its finished blocks as it goes instead of holding
  // them all until Flush: for a new file that no one reads before it is
  // complete (a compaction's), whose tree then needs a window of memory.
  void WriteAsBuilt();

  // Seeks the first entry whose key begins with key[0..length) (length capped
  // at the key length; a shorter text is a prefix search):
  // kOk found, kAfter positioned on the first greater entry, kEof past the end.
  int Seek(int t, const char* key, std::size_t length, MdxCursor* cursor);
  // Positions on the entry (key, record) or, when absent, on the first entry
  // after it: kOk, kAfter or kEof as Seek.
  int SeekEntry(int t, const char* key, std::uint32_t record, MdxCursor* cursor);
  // The record of the one entry whose key is key[0..key length), as the
  // tag's key directory knows it, or 0: the caller then seeks. A candidate
  // only, whose row the caller compares (key_directory.h). The directory of
  // a tag sought often enough since it last changed, in a table of
  // `records` records, is made here.
  std::uint32_t Sought(int t, const char* key, std::uint32_t records);
  int First(int t, MdxCursor* cursor);  // kOk, or kEof for an empty tag
  int Last(int t, MdxCursor* cursor);   // kOk, or kBof for an empty tag
  int Next(MdxCursor* cursor);          // kOk or kEof
  int Prev(MdxCursor* cursor);          // kOk or kBof

  // Writes every changed block and the header. The file then holds all changes.
  int Flush();
  // True when a change waits for Flush.
  bool changed() const;
  // Bytes of the changed blocks that the next Flush writes.
  std::size_t dirty_bytes() const;
  // Forgets every cached block and rereads the header: another process may
  // have changed the file. Unflushed changes are lost.
  int Reload();
  // Forgets every cached block without reading anything; Reload must come
  // before the next use.
  void Forget();
  // Bumped by every change; cursors made before a change must re-seek.
  std::uint64_t generation() const;

  // Structural check of one tag: keys in order, every block inside the file
  // and met once, interior separators consistent, entry counts within limits,
  // free-block list sound. Calls `problem` once per fault found (a sentence);
  // returns 0 when sound, kErrIndexFormat otherwise.
  int Check(int t, const std::function<void(const std::string&)>& problem);
  // The entries from the first whose key is at least key[0..length) on
  // (length 0: from the first), leaf by leaf: visit(key, record) with the
  // entry's own bytes (valid for the call only; the callback must not use
  // this file), until it returns non-zero (returned) or the tag ends (kOk).
  int Scan(int t, const char* key, std::size_t length,
           const std::function<int(const char* key, long record)>& visit);
  // How many entries have a key that begins with prefix[0..length) (length
  // 0: all of them); a leaf inside the range is counted by its entry count.
  int CountPrefix(int t, const char* prefix, std::size_t length, std::uint64_t* count);
  // Every entry of a tag in order; stops early and returns the callback's
  // non-zero result.
  int ForEach(int t, const std::function<int(const char* key, std::uint32_t record)>& visit);

  File* file();

 private:
  class Impl;
  explicit MdxFile(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace xbase

#endif
