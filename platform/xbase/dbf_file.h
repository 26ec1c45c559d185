#ifndef SYMBASE_XBASE_DBF_FILE_H
#define SYMBASE_XBASE_DBF_FILE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "xbase/engine.h"
#include "xbase/file_system.h"
#include "xbase/record_cache.h"

// One dBASE IV table file (.DBF, no memo): its header, field descriptors and
// fixed-length records. Knows bytes and record numbers, nothing of indexes.
// Layout: docs/dbf-format.md.

namespace xbase {

struct DbfField {
  std::string name;  // as stored, at most 10 characters
  char type = 'C';
  std::size_t offset = 0;  // from the start of the record (byte 0: deletion flag)
  std::size_t width = 0;
};

constexpr std::uint8_t kDbfVersion = 0x03;
constexpr std::uint8_t kLanguageDriverAnsi = 0x57;  // Windows-1252
constexpr char kEndOfFile = 0x1A;
constexpr char kLiveFlag = ' ';
constexpr char kDeletedFlag = '*';
// Header bytes the engine's sharing between processes uses: byte 14 is the
// dBASE IV "incomplete transaction" flag, bytes 16-19 (reserved for
// multi-user use) a change counter. A writer sets the flag and moves the
// counter to an odd value in one write before it changes anything, and
// clears the flag and moves the counter to the next even value in the
// write that commits: a reader that finds the same counter before and
// after its reads knows that nothing was written in between.
constexpr std::size_t kDbfHeadLength = 32;
constexpr std::size_t kDbfTransactionFlag = 14;
constexpr std::size_t kDbfChangeCounter = 16;

class DbfFile {
 public:
  // Checks a field list: names 1..10 letters, digits or '_', unique (case
  // ignored), type 'C', width 1..254, no decimals, 1..255 fields. kErrArgument.
  static int CheckFieldList(const FieldDefinition* fields);
  // Writes a new, empty table to `file`.
  static int Create(std::unique_ptr<File> file, const FieldDefinition* fields,
                    std::unique_ptr<DbfFile>* out);
  // Reads and checks the header: kErrFormat when it lies (lengths that
  // disagree with the descriptors or the file), kErrRead when it cannot be
  // read. A record count beyond what the file holds is cut to what it holds.
  static int Open(std::unique_ptr<File> file, std::unique_ptr<DbfFile>* out);

  const std::vector<DbfField>& fields() const { return fields_; }
  std::size_t record_length() const { return record_length_; }
  std::size_t header_length() const { return header_length_; }
  std::uint32_t count() const { return count_; }
  File* file() { return file_.get(); }
  // The header's own record count as last read, before any cut.
  std::uint32_t stored_count() const { return stored_count_; }

  // Rereads the record count and the transaction fields, and forgets the
  // cached records: another process may have written.
  int RefreshCount();
  // Forgets the cached records (read again when next needed).
  void ForgetCache() { cache_.Clear(); }
  // Forgets the cached records and frees their memory.
  void ReleaseCache() { cache_.Configure(record_length_); }
  // The first kDbfHeadLength bytes as the file holds them now.
  int PeekHead(std::string* head);
  static std::uint32_t CounterOf(const std::string& head);
  static bool FlagOf(const std::string& head) { return head[kDbfTransactionFlag] != 0; }
  // The change counter and transaction flag as last read or written.
  std::uint32_t change_counter() const { return CounterOf(header_); }
  bool transaction_flag() const { return FlagOf(header_); }
  // Sets the transaction flag and the (odd) counter of a write that begins,
  // in one write of bytes 14 to 19.
  int WriteTransactionStart(std::uint32_t counter);
  // The first bytes of the file mapped in memory, kept current with every
  // process's writes; null where the file system cannot offer that.
  const unsigned char* MappedHead() { return file_->MapHead(kDbfHeadLength); }
  // The fields the next WriteHeader writes: flag cleared, counter set.
  void SetCommitFields(std::uint32_t counter);
  // Record n (1..count) into buffer (record_length bytes). `at_random`: a
  // read that is no step of a walk (a seek): once the cache is full, the
  // record is read alone, not with its block, and kept on its own.
  int Read(std::uint32_t n, char* buffer, bool at_random = false);
  // Record n's bytes in the record cache (read there first when missing),
  // valid until the next read; null with *result set on a failure.
  const char* Held(std::uint32_t n, int* result, bool at_random = false);
  // Asks the processor to bring record n's held bytes closer, when they are
  // held: a walk calls it one row ahead so the next read does not wait.
  void Prefetch(std::uint32_t n) const;
  int Write(std::uint32_t n, const char* buffer);
  // Adds a record after the last one. Appended records are written to the
  // file together, followed by the end marker, when a read needs them there,
  // when they fill kAppendRun bytes, or by FlushAppends (WriteHeader, the
  // commit); the header count is written by WriteHeader.
  int Append(const char* buffer);
  int FlushAppends();
  // Bytes of the appended records not written yet.
  std::size_t pending_bytes() const { return pending_.size(); }
  // Writes today's date, the record count and the transaction fields into
  // the header (bytes 1 to 19, one write).
  int WriteHeader();
  // Writes the count the file holds into a header that claims more, and the
  // end-of-file marker after the last record: 1 when something was written,
  // 0 when both were right, or a failure.
  int RepairHeader();
  // Calls visit(n, image) for every record in order from `first` on,
  // from the record cache where it holds them, else reading in large
  // chunks; stops early and returns the first non-zero
  // result of visit.
  int Scan(const std::function<int(std::uint32_t, const char*)>& visit, std::uint32_t first = 1);
  // Calls visit(n, image) for the records listed (strictly ascending, each
  // in 1..count), as Scan does: one by one through the record cache when
  // they are few, in one pass over the file when they are many.
  int Visit(const std::vector<std::uint32_t>& records,
            const std::function<int(std::uint32_t, const char*)>& visit);
  // The header and descriptors exactly as they stand, for a copy of the table.
  const std::string& header_bytes() const { return header_; }
  // Replaces the file object (after the table was rewritten and renamed).
  void ResetFile(std::unique_ptr<File> file, std::uint32_t count);

 private:
  DbfFile() = default;
  int Parse(std::uint64_t file_size);
  std::uint64_t RecordOffset(std::uint32_t n) const {
    return header_length_ + static_cast<std::uint64_t>(n - 1) * record_length_;
  }

  std::unique_ptr<File> file_;
  std::string header_;
  std::vector<DbfField> fields_;
  std::size_t header_length_ = 0;
  std::size_t record_length_ = 0;
  std::uint32_t count_ = 0;
  std::uint32_t stored_count_ = 0;
  // Reads the block of record n into the cache, with the blocks after it
  // when it follows the block read last.
  int ReadBlocks(std::uint32_t n);
  // Reads record n alone: into the cache's rows read alone while they have
  // room, else into spare_.
  const char* ReadAlone(std::uint32_t n, int* result);

  static constexpr std::uint32_t kReadAheadBlocks = 32;
  // The blocks read ahead share the memory of two reads ahead at least.
  static_assert(2 * kReadAheadBlocks <= RecordCache::kPassingSlots, "read ahead too long");
  static constexpr std::size_t kAppendRun = 1 << 16;
  std::uint32_t written_ = 0;  // records the file holds; the others are pending_
  std::string pending_;        // records written_ + 1 to count_, appended
  RecordCache cache_;
  std::uint32_t next_block_ = 0;  // first record after the last block read
  // Whether record n lies within kFollowBytes after the blocks read last: a
  // walk in record order, which may pass over a few rows.
  bool Follows(std::uint32_t n) const {
    return n >= next_block_ && (n - next_block_) * record_length_ < kFollowBytes;
  }
  std::uint32_t BlockAfter(std::uint32_t n) const {
    return cache_.FirstOfBlock(n) + cache_.records_per_block();
  }
  static constexpr std::size_t kFollowBytes = 4096;
  std::string spare_;  // where a block read ahead, or a row read alone, without a slot goes
};

// The header bytes of a table with these fields and `count` records, dated today.
std::string DbfHeaderFor(const FieldDefinition* fields, std::uint32_t count);
// Stamps `count` and today's date into header bytes.
void DbfStampHeader(std::string* header, std::uint32_t count);

}  // namespace xbase

#endif
