#include "xbase/dbf_file.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "xbase/result.h"

namespace xbase {
namespace {

constexpr std::size_t kFileHeader = 32;
constexpr std::size_t kDescriptor = 32;
constexpr char kTerminator = 0x0D;
constexpr int kMaxFields = 255;
constexpr std::size_t kScanChunk = 64 * 1024;
// Rows to visit at least one in this many of the table's: read in one pass
// rather than one by one (a block read per row costs far more than passing
// over the rows between).
constexpr std::size_t kDenseShare = 32;

std::uint32_t Get32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::size_t Get16(const std::string& b, std::size_t at) {
  return static_cast<std::size_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::size_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}

void Put32(std::string* b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Put16(std::string* b, std::size_t at, std::size_t v) {
  (*b)[at] = static_cast<char>(v & 0xFF);
  (*b)[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

bool NameCharOk(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool SameName(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = (*a >= 'a' && *a <= 'z') ? static_cast<char>(*a - 32) : *a;
    char y = (*b >= 'a' && *b <= 'z') ? static_cast<char>(*b - 32) : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

int ReadExact(File* file, std::uint64_t offset, char* buffer, std::size_t n) {
  std::size_t got = 0;
  int r = file->ReadAt(offset, buffer, n, &got);
  if (r != kOk) return r;
  return got == n ? kOk : kErrRead;
}

}  // namespace

int DbfFile::CheckFieldList(const FieldDefinition* fields) {
  if (fields == nullptr || fields[0].name == nullptr) return kErrArgument;
  int n = 0;
  for (; fields[n].name != nullptr; ++n) {
    const FieldDefinition& f = fields[n];
    std::size_t len = std::strlen(f.name);
    if (n >= kMaxFields || len == 0 || len > 10) return kErrArgument;
    for (std::size_t i = 0; i < len; ++i) {
      if (!NameCharOk(f.name[i])) return kErrArgument;
    }
    if ((f.type != 'C' && f.type != 'c') || f.width < 1 || f.width > 254 || f.decimals != 0) {
      return kErrArgument;
    }
    for (int k = 0; k < n; ++k) {
      if (SameName(fields[k].name, f.name)) return kErrArgument;
    }
  }
  return kOk;
}

void DbfStampHeader(std::string* header, std::uint32_t count) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  (*header)[1] = static_cast<char>(local.tm_year & 0xFF);
  (*header)[2] = static_cast<char>(local.tm_mon + 1);
  (*header)[3] = static_cast<char>(local.tm_mday);
  Put32(header, 4, count);
}

std::string DbfHeaderFor(const FieldDefinition* fields, std::uint32_t count) {
  std::size_t n = 0;
  std::size_t record_length = 1;
  while (fields[n].name != nullptr) record_length += static_cast<std::size_t>(fields[n++].width);
  std::size_t header_length = kFileHeader + kDescriptor * n + 1;
  std::string h(header_length, '\0');
  h[0] = static_cast<char>(kDbfVersion);
  DbfStampHeader(&h, count);
  Put16(&h, 8, header_length);
  Put16(&h, 10, record_length);
  h[29] = static_cast<char>(kLanguageDriverAnsi);
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t at = kFileHeader + kDescriptor * i;
    for (std::size_t c = 0; fields[i].name[c] != '\0'; ++c) {
      char ch = fields[i].name[c];
      h[at + c] = (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 32) : ch;
    }
    h[at + 11] = 'C';
    h[at + 16] = static_cast<char>(fields[i].width);
  }
  h[header_length - 1] = kTerminator;
  return h;
}

int DbfFile::Create(std::unique_ptr<File> file, const FieldDefinition* fields,
                    std::unique_ptr<DbfFile>* out) {
  int r = CheckFieldList(fields);
  if (r != kOk) return r;
  std::string bytes = DbfHeaderFor(fields, 0);
  bytes.push_back(kEndOfFile);
  r = file->WriteAt(0, bytes.data(), bytes.size());
  if (r != kOk) return r;
  std::unique_ptr<DbfFile> dbf(new DbfFile());
  dbf->file_ = std::move(file);
  r = dbf->Parse(bytes.size());
  if (r != kOk) return r;
  *out = std::move(dbf);
  return kOk;
}

int DbfFile::Open(std::unique_ptr<File> file, std::unique_ptr<DbfFile>* out) {
  std::uint64_t size = 0;
  int r = file->Size(&size);
  if (r != kOk) return r;
  std::unique_ptr<DbfFile> dbf(new DbfFile());
  dbf->file_ = std::move(file);
  r = dbf->Parse(size);
  if (r != kOk) return r;
  *out = std::move(dbf);
  return kOk;
}

int DbfFile::Parse(std::uint64_t file_size) {
  if (file_size < kFileHeader + kDescriptor + 1) return kErrFormat;
  header_.assign(kFileHeader, '\0');
  int r = ReadExact(file_.get(), 0, &header_[0], kFileHeader);
  if (r != kOk) return r;
  if (static_cast<std::uint8_t>(header_[0]) != kDbfVersion) return kErrFormat;
  header_length_ = Get16(header_, 8);
  record_length_ = Get16(header_, 10);
  if (header_length_ < kFileHeader + kDescriptor + 1 || header_length_ > file_size ||
      record_length_ < 2) {
    return kErrFormat;
  }
  header_.resize(header_length_);
  r = ReadExact(file_.get(), kFileHeader, &header_[kFileHeader], header_length_ - kFileHeader);
  if (r != kOk) return r;
  fields_.clear();
  std::size_t at = kFileHeader;
  std::size_t offset = 1;
  while (at < header_length_ && header_[at] != kTerminator) {
    if (at + kDescriptor >= header_length_) return kErrFormat;  // no room for the terminator
    DbfField f;
    std::size_t len = 0;
    while (len < 11 && header_[at + len] != '\0') ++len;
    f.name.assign(header_, at, len > 10 ? 10 : len);
    f.type = header_[at + 11];
    f.width = static_cast<unsigned char>(header_[at + 16]);
    if (f.name.empty() || f.width == 0) return kErrFormat;
    f.offset = offset;
    offset += f.width;
    fields_.push_back(f);
    at += kDescriptor;
  }
  if (at >= header_length_ || fields_.empty() || offset != record_length_) return kErrFormat;
  stored_count_ = Get32(header_, 4);
  std::uint64_t room = (file_size - header_length_) / record_length_;
  count_ = stored_count_ <= room ? stored_count_ : static_cast<std::uint32_t>(room);
  written_ = count_;
  cache_.Configure(record_length_);
  return kOk;
}

int DbfFile::PeekHead(std::string* head) {
  head->resize(kDbfHeadLength);
  return ReadExact(file_.get(), 0, &(*head)[0], kDbfHeadLength);
}

std::uint32_t DbfFile::CounterOf(const std::string& head) { return Get32(head, kDbfChangeCounter); }

int DbfFile::RefreshCount() {
  std::string head;
  int r = PeekHead(&head);
  if (r != kOk) return r;
  std::uint64_t size = 0;
  r = file_->Size(&size);
  if (r != kOk) return r;
  if (size < header_length_) return kErrFormat;
  stored_count_ = Get32(head, 4);
  cache_.Clear();  // another process may have written since
  std::uint64_t room = (size - header_length_) / record_length_;
  count_ = stored_count_ <= room ? stored_count_ : static_cast<std::uint32_t>(room);
  written_ = count_;
  pending_.clear();  // rows appended by a write that is undone
  std::memcpy(&header_[1], &head[1], kDbfHeadLength - 1);
  return kOk;
}

int DbfFile::WriteTransactionStart(std::uint32_t counter) {
  header_[kDbfTransactionFlag] = 1;
  Put32(&header_, kDbfChangeCounter, counter);
  return file_->WriteAt(kDbfTransactionFlag, &header_[kDbfTransactionFlag],
                        kDbfChangeCounter + 4 - kDbfTransactionFlag);
}

void DbfFile::SetCommitFields(std::uint32_t counter) {
  header_[kDbfTransactionFlag] = 0;
  Put32(&header_, kDbfChangeCounter, counter);
}

const char* DbfFile::Held(std::uint32_t n, int* result, bool at_random) {
  *result = kOk;
  if (n < 1 || n > count_) {
    *result = kErrRecord;
    return nullptr;
  }
  const char* held = cache_.Find(n);
  if (held != nullptr) {
    // A walk in record order that passes held blocks is still a walk: the
    // block after them is read with the next ones.
    if (Follows(n)) next_block_ = BlockAfter(n);
    return held;
  }
  if (at_random && cache_.full() && n <= written_ && !Follows(n)) return ReadAlone(n, result);
  *result = ReadBlocks(n);
  return *result == kOk ? cache_.Find(n) : nullptr;
}

const char* DbfFile::ReadAlone(std::uint32_t n, int* result) {
  char* buffer = cache_.PrepareRow(n);
  if (buffer == nullptr) {
    spare_.resize(record_length_);
    buffer = &spare_[0];
  }
  *result = ReadExact(file_.get(), RecordOffset(n), buffer, record_length_);
  if (*result != kOk) return nullptr;
  if (buffer != spare_.data()) cache_.FillRow(n);
  return buffer;
}

int DbfFile::ReadBlocks(std::uint32_t n) {
  // The whole block of n, as far as the table goes; a block that follows
  // the ones read last comes with the next ones, in one read: a walk in
  // record order, or along a tag whose rows were added in its order. The
  // blocks read ahead stop before the first one held.
  const std::uint32_t per_block = cache_.records_per_block();
  const std::uint32_t first = cache_.FirstOfBlock(n);
  std::uint32_t blocks = 1;
  const bool follows = Follows(n);
  while (follows && blocks < kReadAheadBlocks && first + blocks * per_block <= count_ &&
         cache_.Find(first + blocks * per_block) == nullptr) {
    ++blocks;
  }
  const auto records = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(std::uint64_t{blocks} * per_block, count_ - first + 1));
  if (first + records - 1 > written_) {
    const int r = FlushAppends();
    if (r != kOk) return r;
  }
  next_block_ = first + records;
  // Each block straight into its slot, n's prepared last so that no later
  // block takes its memory; a block whose memory a later one took is read
  // into spare bytes and dropped. Blocks read ahead are passing.
  const bool passing = blocks > 1;
  File::Piece pieces[kReadAheadBlocks];
  for (std::uint32_t b = blocks; b-- > 0;) {
    std::uint32_t block_first = 0;
    pieces[b].buffer = cache_.Prepare(first + b * per_block, &block_first, passing);
    pieces[b].n = std::min(per_block, records - b * per_block) * record_length_;
  }
  spare_.resize(per_block * record_length_);
  for (std::uint32_t b = 0; b < blocks; ++b) {
    if (!cache_.Keeps(first + b * per_block, pieces[b].buffer)) pieces[b].buffer = &spare_[0];
  }
  std::size_t got = 0;
  const int r = file_->ReadPiecesAt(RecordOffset(first), pieces, blocks, &got);
  if (r != kOk) return r;
  if (got != records * record_length_) return kErrRead;
  for (std::uint32_t b = 0; b < blocks; ++b) {
    if (pieces[b].buffer != &spare_[0]) {
      cache_.Fill(first + b * per_block, static_cast<std::uint32_t>(pieces[b].n / record_length_));
    }
  }
  return kOk;
}

int DbfFile::Read(std::uint32_t n, char* buffer, bool at_random) {
  int r = kOk;
  const char* held = Held(n, &r, at_random);
  if (held != nullptr) std::memcpy(buffer, held, record_length_);
  return r;
}

void DbfFile::Prefetch(std::uint32_t n) const {
  if (n < 1 || n > count_) return;
  const char* held = cache_.Find(n);
  if (held == nullptr) return;
  for (std::size_t at = 0; at < record_length_; at += 64) __builtin_prefetch(held + at);
}

int DbfFile::Write(std::uint32_t n, const char* buffer) {
  if (n < 1 || n > count_) return kErrRecord;
  if (n > written_) {
    std::memcpy(&pending_[(n - written_ - 1) * record_length_], buffer, record_length_);
    cache_.Update(n, buffer);
    return kOk;
  }
  const int r = file_->WriteAt(RecordOffset(n), buffer, record_length_);
  if (r == kOk) {
    cache_.Update(n, buffer);
  } else {
    cache_.Forget(n);  // the file may hold part of it
  }
  return r;
}

int DbfFile::Append(const char* buffer) {
  if (count_ == 0xFFFFFFFFu) return kErrArgument;
  if (pending_.size() >= kAppendRun) {
    const int r = FlushAppends();
    if (r != kOk) return r;
  }
  pending_.append(buffer, record_length_);
  ++count_;
  cache_.Append(count_, buffer);
  return kOk;
}

int DbfFile::FlushAppends() {
  if (pending_.empty()) return kOk;
  pending_.push_back(kEndOfFile);
  const int r = file_->WriteAt(RecordOffset(written_ + 1), pending_.data(), pending_.size());
  pending_.pop_back();
  if (r != kOk) return r;
  pending_.clear();
  written_ = count_;
  return kOk;
}

int DbfFile::WriteHeader() {
  if (const int r = FlushAppends(); r != kOk) return r;
  DbfStampHeader(&header_, count_);
  stored_count_ = count_;
  return file_->WriteAt(1, &header_[1], kDbfChangeCounter + 4 - 1);
}

int DbfFile::RepairHeader() {
  if (const int r = FlushAppends(); r != kOk) return r;
  int written = 0;
  if (stored_count_ != count_) {
    const int r = WriteHeader();
    if (r != kOk) return r;
    written = 1;
  }
  const std::uint64_t end = RecordOffset(count_ + 1);
  char marker = 0;
  std::size_t got = 0;
  int r = file_->ReadAt(end, &marker, 1, &got);
  if (r != kOk) return r;
  if (got == 1 && marker == kEndOfFile) return written;
  marker = kEndOfFile;
  r = file_->WriteAt(end, &marker, 1);
  return r != kOk ? r : 1;
}

int DbfFile::Scan(const std::function<int(std::uint32_t, const char*)>& visit,
                  std::uint32_t first) {
  if (const int r = FlushAppends(); r != kOk) return r;
  std::size_t per_chunk = kScanChunk / record_length_;
  if (per_chunk == 0) per_chunk = 1;
  std::string chunk(per_chunk * record_length_, '\0');
  for (; first >= 1 && first <= count_;) {
    // A record the cache holds is visited where it is, without a read.
    if (const char* held = cache_.Find(first)) {
      const int r = visit(first, held);
      if (r != 0) return r;
      ++first;
      continue;
    }
    std::uint32_t n = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(per_chunk, static_cast<std::uint64_t>(count_) - first + 1));
    int r = ReadExact(file_.get(), RecordOffset(first), &chunk[0], n * record_length_);
    if (r != kOk) return r;
    for (std::uint32_t i = 0; i < n; ++i) {
      r = visit(first + i, chunk.data() + i * record_length_);
      if (r != 0) return r;
    }
    first += n;
  }
  return kOk;
}

int DbfFile::Visit(const std::vector<std::uint32_t>& records,
                   const std::function<int(std::uint32_t, const char*)>& visit) {
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i] < 1 || records[i] > count_ || (i > 0 && records[i] <= records[i - 1])) {
      return kErrArgument;
    }
  }
  if (records.empty()) return kOk;
  if (records.size() * kDenseShare < count_) {
    for (std::size_t i = 0; i < records.size(); ++i) {
      // A record whose block holds no other listed after it is read at random.
      const std::uint32_t n = records[i];
      const bool at_random =
          i + 1 == records.size() || cache_.FirstOfBlock(records[i + 1]) != cache_.FirstOfBlock(n);
      int r = kOk;
      const char* image = Held(n, &r, at_random);
      if (image == nullptr) return r;
      r = visit(n, image);
      if (r != 0) return r;
    }
    return kOk;
  }
  // Many: one pass from the first, stopped after the last.
  std::size_t next = 0;
  int visited = 0;
  const int r = Scan(
      [&](std::uint32_t n, const char* image) {
        if (n != records[next]) return 0;
        visited = visit(n, image);
        return visited != 0 || ++next == records.size() ? 1 : 0;
      },
      records[0]);
  return r == 1 ? visited : r;
}

void DbfFile::ResetFile(std::unique_ptr<File> file, std::uint32_t count) {
  file_ = std::move(file);
  cache_.Clear();
  count_ = stored_count_ = written_ = count;
  pending_.clear();
  Put32(&header_, 4, count);
}

}  // namespace xbase
