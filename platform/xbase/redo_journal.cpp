// The redo journal's bytes: its header and records (redo_journal.h).

#include "xbase/redo_journal.h"

#include <algorithm>
#include <chrono>

#include "xbase/journal_codec.h"
#include "xbase/result.h"

namespace xbase {

using namespace codec;

namespace {

constexpr char kMagic[] = "SYMREDO1";
constexpr std::size_t kMagicLength = 8;
constexpr std::size_t kSumAt = kRedoHeaderSize - 4;

bool DecodeBody(Reader& in, RedoRecord* record) {
  const std::size_t files = in.U(2);
  for (std::size_t i = 0; in.ok() && i < files; ++i) record->files.push_back(in.Text());
  const std::uint32_t writes = in.U(4);
  for (std::uint32_t i = 0; in.ok() && i < writes; ++i) {
    RedoWrite write;
    write.file = in.U(2);
    write.offset = in.U64(8);
    write.bytes = in.Bytes(in.U(4));
    if (write.file >= record->files.size()) return false;
    record->writes.push_back(std::move(write));
  }
  return in.ok();
}

}  // namespace

void EncodeRedoHeader(const std::string& boot, std::uint32_t* salt, std::string* out) {
  // Rounds only need telling apart: the clock and the previous salt will do.
  *salt = static_cast<std::uint32_t>(
      std::chrono::steady_clock::now().time_since_epoch().count() * 2654435761u ^ *salt);
  out->assign(kMagic, kMagicLength);
  Put32(out, *salt);
  PutText(out, boot.substr(0, kSumAt - out->size() - 2));
  out->resize(kSumAt, '\0');
  Put32(out, Fnv(0, out->data(), out->size()));
}

int BeginRedoRound(File* journal, const std::string& boot, std::uint32_t* salt) {
  std::string header;
  EncodeRedoHeader(boot, salt, &header);
  const int r = journal->WriteAt(0, header.data(), header.size());
  return r != kOk ? r : journal->Sync();
}

void EncodeRedoRecord(std::uint32_t salt, std::uint32_t counter,
                      const std::vector<std::string>& files, const std::vector<RedoWrite>& writes,
                      std::string* out) {
  const std::size_t start = out->size();
  Put32(out, 0);  // the body's length, once known
  Put32(out, counter);
  Put16(out, files.size());
  for (const std::string& file : files) PutText(out, file);
  Put32(out, static_cast<std::uint32_t>(writes.size()));
  for (const RedoWrite& write : writes) {
    Put16(out, write.file);
    Put64(out, write.offset);
    Put32(out, static_cast<std::uint32_t>(write.bytes.size()));
    out->append(write.bytes);
  }
  Set32(out, start, static_cast<std::uint32_t>(out->size() - start - 8));
  Put32(out, Fnv(salt, out->data() + start, out->size() - start));
}

int ReadRedoHeader(File* journal, std::uint32_t* salt, std::string* boot) {
  std::string bytes(kRedoHeaderSize, '\0');
  std::size_t got = 0;
  if (journal->ReadAt(0, &bytes[0], bytes.size(), &got) != kOk) return kErrRead;
  if (got != bytes.size() || bytes.compare(0, kMagicLength, kMagic) != 0) return kErrJournal;
  Reader in(bytes, kMagicLength);
  *salt = in.U(4);
  *boot = in.Text();
  Reader sum(bytes, kSumAt);
  return in.ok() && sum.U(4) == Fnv(0, bytes.data(), kSumAt) ? kOk : kErrJournal;
}

int ReadRedoRecords(File* journal, std::uint32_t salt, std::uint64_t from,
                    std::vector<RedoRecord>* out, std::uint64_t* end) {
  if (out != nullptr) out->clear();
  *end = std::max<std::uint64_t>(from, kRedoHeaderSize);
  std::uint64_t size = 0;
  if (journal->Size(&size) != kOk) return kErrRead;
  std::string bytes;
  for (std::uint64_t at = *end; at <= size && size - at >= 12;) {
    bytes.resize(8);
    std::size_t got = 0;
    if (journal->ReadAt(at, &bytes[0], 8, &got) != kOk || got != 8) return kErrRead;
    Reader head(bytes, 0);
    const std::uint64_t body = head.U(4);
    if (body > size - at - 12) break;
    bytes.resize(static_cast<std::size_t>(body) + 12);
    if (journal->ReadAt(at + 8, &bytes[8], bytes.size() - 8, &got) != kOk ||
        got != bytes.size() - 8) {
      return kErrRead;
    }
    Reader sum(bytes, bytes.size() - 4);
    if (sum.U(4) != Fnv(salt, bytes.data(), bytes.size() - 4)) break;
    RedoRecord record;
    record.counter = head.U(4);
    Reader fields(bytes, 8, bytes.size() - 4);
    if (!DecodeBody(fields, &record) || fields.at() != bytes.size() - 4) break;
    if (out != nullptr) out->push_back(std::move(record));
    at += bytes.size();
    *end = at;
  }
  return kOk;
}

}  // namespace xbase
