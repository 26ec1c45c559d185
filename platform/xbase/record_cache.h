#ifndef SYMBASE_XBASE_RECORD_CACHE_H
#define SYMBASE_XBASE_RECORD_CACHE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace xbase {

// Records of a table kept in memory by blocks of about 4 KB, so that walks
// and seeks read the file once per block, not once per row. Direct-mapped:
// a block has one slot, and a block read into it replaces the one there.
// A slot gets its memory when first used, from the process's cache budget
// (cache_budget.h); once that is spent, from another slot of this cache,
// taken in turn, and a block read ahead from another block read ahead, so
// that a walk through a table larger than the cache keeps what it held. The
// owner writes through: it tells the cache of every record it writes and
// forgets everything when another process may have changed the file.
class RecordCache {
 public:
  RecordCache() = default;
  RecordCache(const RecordCache&) = delete;
  RecordCache& operator=(const RecordCache&) = delete;
  ~RecordCache();

  // Records of `record_length` bytes; forgets everything.
  void Configure(std::size_t record_length);
  void Clear();

  // Record n's bytes, or null when neither its block nor the record alone
  // is held.
  const char* Find(std::uint32_t n) const;
  // The buffer to read the block of record n into, and the block's first
  // record; Fill then says how many records the read brought. A block read
  // ahead on a walk through the table is `passing`: once the cache holds
  // kPassingSlots blocks, it takes no new memory, so that a pass through a
  // table costs no memory it will not use again. Memory a process touches
  // for the first time costs more than reading the block again from the
  // system's page cache.
  char* Prepare(std::uint32_t n, std::uint32_t* first, bool passing = false);
  static constexpr std::size_t kPassingSlots = 128;
  void Fill(std::uint32_t n, std::uint32_t records);
  // Whether the buffer Prepare gave for record n's block is still that
  // block's: a later Prepare may have taken its memory.
  bool Keeps(std::uint32_t n, const void* buffer) const { return SlotOf(n).bytes == buffer; }
  std::uint32_t records_per_block() const { return per_block_; }
  std::uint32_t FirstOfBlock(std::uint32_t n) const {
    return (n - 1) / per_block_ * per_block_ + 1;
  }

  // Whether the cache has spent what the budget gave it and reuses its
  // memory: a record read at random is then better read alone than with
  // its block, which would push out a block read before, copied whole for
  // one row, and soon go again.
  bool full() const { return full_; }
  // Where to read record n alone into: a place among the rows read alone,
  // direct-mapped by record number, in the budget's share for them; null
  // when that share is spent. FillRow(n) then holds it.
  char* PrepareRow(std::uint32_t n);
  void FillRow(std::uint32_t n);

  // Record n was written with these bytes: a held copy follows.
  void Update(std::uint32_t n, const char* bytes);
  // Record n was added after the last with these bytes: held when its
  // block holds the records before it in the block, or when it begins a
  // block whose slot has memory already (rows written in bulk, rarely read
  // back, take none); otherwise its block is read again.
  void Append(std::uint32_t n, const char* bytes);
  // The table grew or shrank past record n: its block is read again.
  void Forget(std::uint32_t n);

 private:
  struct Slot {
    std::uint32_t first = 0;  // 0: empty
    std::uint32_t count = 0;
    char* bytes = nullptr;  // in one of chunks_; null until the slot is first used
  };
  // Where a row read alone goes: the record held there, and since when.
  struct Row {
    std::uint32_t n = 0;
    std::uint32_t generation = 0;  // rows of an earlier generation are forgotten
  };
  const char* FindBlock(std::uint32_t n) const;
  const char* FindRow(std::uint32_t n) const;
  Row* RowOf(std::uint32_t n) { return &rows_[n % rows_.size()]; }
  char* RowBytes(const Row* row) const {
    return row_bytes_.get() + (row - rows_.data()) * record_length_;
  }
  bool ProvideRows();
  void ForgetRow(std::uint32_t n);
  Slot& SlotOf(std::uint32_t n);
  const Slot& SlotOf(std::uint32_t n) const;
  // Gives the slot its memory: new when the budget allows (see Prepare),
  // else another's.
  void Provide(Slot& slot, bool passing);
  bool MayGrow(std::size_t bytes, bool passing) const;
  void Release();
  // The slots' array: one another cache left, else new pages; and back.
  static Slot* TakeSlots();
  void LeaveSlots();

  std::size_t record_length_ = 0;
  std::uint32_t per_block_ = 1;
  // kSlots slots (a table of up to 64 MB without collisions) in pages that
  // the system zeroes when first touched, so that a table whose records are
  // never read costs no memory for them; null before Configure. All-zero
  // bytes are an empty slot, and only the slots in provided_ are not empty.
  static constexpr std::size_t kSlots = 16384;
  Slot* slots_ = nullptr;
  // The slots' memory, in chunks of the budget's (cache_budget.h).
  std::vector<char*> chunks_;
  std::size_t chunk_used_ = 0;           // bytes of the last chunk handed out
  std::vector<std::uint32_t> provided_;  // the slots with memory, in turn
  std::size_t hand_ = 0;                 // the next of them to give up its memory
  // Turns in provided_ whose memory the blocks read ahead share, taken in turn.
  std::vector<std::size_t> passing_;
  std::size_t passing_turn_ = 0;
  std::size_t taken_ = 0;  // bytes taken from the budget
  bool full_ = false;      // a slot had to give up its memory to another

  // The rows read alone, and their bytes, from the budget's row share.
  static constexpr std::size_t kMostRows = 65536;
  std::vector<Row> rows_;
  std::unique_ptr<char[]> row_bytes_;
  std::uint32_t generation_ = 1;
};

}  // namespace xbase

#endif
