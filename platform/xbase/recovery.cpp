// Rolling back a write transaction that its process left half-done, from
// the journal (transaction.h, journal.h), or finishing it from the redo
// journal (redo_journal.h). Every step can be repeated: a
// recovery that is itself interrupted is simply run again.

#include <cstring>
#include <string>
#include <vector>

#include "xbase/journal.h"
#include "xbase/journal_codec.h"
#include "xbase/redo_journal.h"
#include "xbase/table.h"

namespace xbase {
namespace {

std::uint32_t Get(const std::string& bytes, std::size_t at, std::size_t width) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < width; ++i) {
    v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return v;
}

// Puts back the rows the transaction overwrote and cuts off the rows it added.
int RestoreTable(FileSystem* fs, const JournalContents& journal, std::uint32_t slot, bool durable) {
  const JournalTable& table = journal.tables[slot];
  std::unique_ptr<File> file;
  if (fs->Open(table.path, OpenMode::kReadWrite, &file) != kOk) return kErrOpen;
  std::string head;
  int r = ReadLeadHead(file.get(), &head);
  if (r != kOk) return r;
  const std::uint64_t header_length = Get(head, 8, 2);
  const std::uint64_t record_length = Get(head, 10, 2);
  std::uint64_t size = 0;
  r = file->Size(&size);
  if (r != kOk) return r;
  if (record_length < 2 || header_length <= kDbfHeadLength || size < header_length) {
    return kErrFormat;
  }
  std::uint32_t count = table.count;
  const std::uint64_t room = (size - header_length) / record_length;
  if (count > room) count = static_cast<std::uint32_t>(room);
  for (const JournalImage& image : journal.images) {
    if (image.table != slot || image.record == 0 || image.record > count ||
        image.bytes.size() != record_length) {
      continue;
    }
    r = file->WriteAt(header_length + (image.record - 1) * record_length, image.bytes.data(),
                      image.bytes.size());
    if (r != kOk) return r;
  }
  const std::uint64_t end = header_length + count * record_length;
  const char end_marker = kEndOfFile;
  codec::Set32(&head, 4, count);
  r = file->Truncate(end);
  if (r == kOk) r = file->WriteAt(end, &end_marker, 1);
  if (r == kOk) r = file->WriteAt(4, &head[4], 4);
  if (r == kOk && durable) r = file->Sync();
  return r;
}

// Builds the index files of a table that the commit was writing afresh from
// its rows, in place, with the tags the journal recorded: other processes
// keep their descriptors of the same files and reread them once they see
// the lead's counter move.
int RebuildIndexes(FileSystem* fs, const JournalContents& journal, std::uint32_t slot,
                   bool durable) {
  const JournalTable& table = journal.tables[slot];
  std::vector<const JournalIndex*> written;
  for (const JournalIndexRef& ref : journal.written_indexes) {
    if (ref.first == slot && ref.second < table.indexes.size()) {
      written.push_back(&table.indexes[ref.second]);
    }
  }
  if (written.empty()) return kOk;
  Session repair;
  repair.file_system = fs;
  EngineInit(&repair, 0, 0);
  repair.state->txn.recovering = true;
  repair.auto_open = 0;
  repair.safety = 0;
  Table* opened = TableOpen(&repair, table.path.c_str());
  int r = opened == nullptr ? repair.error : kOk;
  for (const JournalIndex* file : written) {
    if (r != kOk) break;
    const JournalIndex& index = *file;
    std::vector<TagDefinition> definitions;
    for (const JournalTag& tag : index.tags) {
      definitions.push_back(TagDefinition{tag.name.c_str(), tag.key.c_str(), tag.filter.c_str(),
                                          tag.unique ? 1 : 0, tag.descending ? 1 : 0});
    }
    definitions.push_back(TagDefinition{nullptr, nullptr, nullptr, 0, 0});
    Index* built = IndexCreate(opened, index.path.c_str(), definitions.data());
    r = built == nullptr ? repair.error : durable ? built->mdx->file()->Sync() : kOk;
  }
  const int ended = EngineEnd(&repair);
  return r != kOk ? r : ended;
}

}  // namespace

int RecoverInterruptedWrite(FileSystem* fs, const std::string& lead_path, bool durable) {
  std::unique_ptr<File> lead;
  if (fs->Open(lead_path, OpenMode::kReadWrite, &lead) != kOk) return kErrOpen;
  std::string head;
  int r = ReadLeadHead(lead.get(), &head);
  if (r != kOk) return r;
  std::unique_ptr<File> journal_file;
  const std::string journal_path = JournalPath(lead_path);
  int found = fs->Open(journal_path, OpenMode::kReadWrite, &journal_file);
  if (found == kOk) {
    const int redo = RecoverRedo(fs, lead_path, journal_file.get());
    if (redo != kErrJournal) return redo;
  }
  if (!DbfFile::FlagOf(head)) return kOk;

  JournalContents journal;
  if (found == kOk) {
    found = ReadJournal(journal_file.get(), DbfFile::CounterOf(head), &journal);
  } else {
    bool exists = true;
    r = fs->Exists(journal_path, &exists);
    if (r != kOk) return r;
    if (exists) found = kErrRead;
  }
  // A journal there that could not be read may hold what the files need:
  // the flag stays, for the next open to try again. Only a journal missing
  // or not of this write says the files were not touched yet.
  if (found == kErrRead) return found;
  if (found != kOk) {
    r = CloseLeadTransaction(lead.get(), &head, durable);
    return r != kOk ? r : kErrJournal;
  }
  for (JournalTable& table : journal.tables) {
    table.path = JournalResolve(lead_path, table.path);
    for (JournalIndex& index : table.indexes) index.path = JournalResolve(lead_path, index.path);
  }
  for (std::uint32_t slot = 0; r == kOk && slot < journal.tables.size(); ++slot) {
    r = RestoreTable(fs, journal, slot, durable);
  }
  for (std::uint32_t slot = 0; r == kOk && slot < journal.tables.size(); ++slot) {
    r = RebuildIndexes(fs, journal, slot, durable);
  }
  if (r != kOk) return r;
  // The lead's header as the restoration left it, flag still set.
  r = ReadLeadHead(lead.get(), &head);
  if (r == kOk) r = CloseLeadTransaction(lead.get(), &head, durable);
  return r;
}

}  // namespace xbase
