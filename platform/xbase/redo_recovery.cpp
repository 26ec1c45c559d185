// What the redo journal leaves to do after a process or the machine stopped,
// and settling it (redo_journal.h).

#include <map>
#include <memory>

#include "xbase/dbf_file.h"
#include "xbase/journal.h"
#include "xbase/journal_codec.h"
#include "xbase/redo_journal.h"
#include "xbase/result.h"

namespace xbase {
namespace {

// The files that records write to, each opened once, by the name the
// journal keeps. A file that is no longer there is left out: a record
// never creates one.
class FileSet {
 public:
  FileSet(FileSystem* fs, const std::string& lead_path) : fs_(fs), lead_path_(lead_path) {}

  // *out is null when the file is not there.
  int Get(const std::string& name, File** out) {
    *out = nullptr;
    const std::string path = JournalResolve(lead_path_, name);
    auto it = files_.find(path);
    if (it == files_.end()) {
      std::unique_ptr<File> file;
      const int r = fs_->Open(path, OpenMode::kReadWrite, &file);
      bool exists = true;
      if (r != kOk && (fs_->Exists(path, &exists) != kOk || exists)) return r;
      it = files_.emplace(path, std::move(file)).first;
    }
    *out = it->second.get();
    return kOk;
  }

  int SyncAll() {
    for (auto& entry : files_) {
      if (!entry.second) continue;
      const int r = entry.second->Sync();
      if (r != kOk) return r;
    }
    return kOk;
  }

 private:
  FileSystem* fs_;
  std::string lead_path_;
  std::map<std::string, std::unique_ptr<File>> files_;
};

int Apply(const RedoRecord& record, FileSet* files) {
  for (const RedoWrite& write : record.writes) {
    File* file = nullptr;
    int r = files->Get(record.files[write.file], &file);
    if (r == kOk && file != nullptr) {
      r = file->WriteAt(write.offset, write.bytes.data(), write.bytes.size());
    }
    if (r != kOk) return r;
  }
  return kOk;
}

// A new round of records, synced: what the journal held is done with.
int NewRound(FileSystem* fs, const std::string& lead_path, File* journal, std::uint32_t salt) {
  return BeginRedoRound(journal, fs->BootId(lead_path), &salt);
}

// The lead's flag, left set by a commit that was never journaled whole,
// cleared.
int ClearFlag(FileSet* files, const std::string& lead_path, bool durable) {
  File* lead = nullptr;
  int r = files->Get(JournalName(lead_path, lead_path), &lead);
  if (r != kOk || lead == nullptr) return r != kOk ? r : kErrOpen;
  std::string head;
  r = ReadLeadHead(lead, &head);
  if (r != kOk || !DbfFile::FlagOf(head)) return r;
  return CloseLeadTransaction(lead, &head, durable);
}

// After the machine stopped: every record again, in order, then synced.
int ReplayAll(FileSystem* fs, const std::string& lead_path, File* journal, std::uint32_t salt,
              const std::vector<RedoRecord>& records) {
  FileSet files(fs, lead_path);
  int r = kOk;
  for (const RedoRecord& record : records) {
    if (r == kOk) r = Apply(record, &files);
  }
  if (r == kOk) r = ClearFlag(&files, lead_path, false);
  if (r == kOk) r = files.SyncAll();
  return r != kOk ? r : NewRound(fs, lead_path, journal, salt);
}

bool EarlierRun(FileSystem* fs, const std::string& lead_path, const std::string& boot) {
  const std::string now = fs->BootId(lead_path);
  return now.empty() || boot != now;
}

// The journal's header and every record of its round.
int ReadAll(File* journal, std::uint32_t* salt, std::string* boot,
            std::vector<RedoRecord>* records) {
  int r = ReadRedoHeader(journal, salt, boot);
  std::uint64_t end = 0;
  if (r == kOk) r = ReadRedoRecords(journal, *salt, kRedoHeaderSize, records, &end);
  return r;
}

}  // namespace

int ReadLeadHead(File* lead, std::string* head) {
  head->assign(kDbfHeadLength, '\0');
  std::size_t got = 0;
  const int r = lead->ReadAt(0, &(*head)[0], head->size(), &got);
  return r != kOk ? r : got == head->size() ? kOk : kErrFormat;
}

int CloseLeadTransaction(File* lead, std::string* head, bool durable) {
  (*head)[kDbfTransactionFlag] = 0;
  const std::uint32_t counter = (DbfFile::CounterOf(*head) | 1u) + 1;
  codec::Set32(head, kDbfChangeCounter, counter);
  int r = lead->WriteAt(kDbfTransactionFlag, &(*head)[kDbfTransactionFlag],
                        kDbfChangeCounter + 4 - kDbfTransactionFlag);
  if (r == kOk && durable) r = lead->Sync();
  return r;
}

int RecoverRedo(FileSystem* fs, const std::string& lead_path, File* journal) {
  std::uint32_t salt = 0;
  std::string boot;
  std::vector<RedoRecord> records;
  int r = ReadAll(journal, &salt, &boot, &records);
  if (r != kOk) return r;
  if (EarlierRun(fs, lead_path, boot)) return ReplayAll(fs, lead_path, journal, salt, records);

  // The process died: what it wrote is in the files, up to where it stopped.
  FileSet files(fs, lead_path);
  File* lead = nullptr;
  r = files.Get(JournalName(lead_path, lead_path), &lead);
  if (r != kOk || lead == nullptr) return r != kOk ? r : kErrOpen;
  std::string head;
  r = ReadLeadHead(lead, &head);
  if (r == kOk && DbfFile::FlagOf(head) && !records.empty() &&
      records.back().counter + 1 == DbfFile::CounterOf(head)) {
    r = Apply(records.back(), &files);  // its last write clears the flag
  }
  // A torn record stays: the next one is written over it.
  return r != kOk ? r : ClearFlag(&files, lead_path, false);
}

int SettleRedo(FileSystem* fs, const std::string& lead_path, File* journal) {
  std::uint32_t salt = 0;
  std::string boot;
  std::vector<RedoRecord> records;
  int r = ReadAll(journal, &salt, &boot, &records);
  if (r == kErrJournal) return kOk;
  if (r != kOk) return r;
  if (EarlierRun(fs, lead_path, boot)) return ReplayAll(fs, lead_path, journal, salt, records);
  FileSet files(fs, lead_path);
  for (const RedoRecord& record : records) {
    for (const std::string& name : record.files) {
      File* file = nullptr;
      if (r == kOk) r = files.Get(name, &file);
    }
  }
  if (r == kOk) r = files.SyncAll();
  return r != kOk ? r : NewRound(fs, lead_path, journal, salt);
}

int RedoOfEarlierRun(FileSystem* fs, const std::string& lead_path, bool* earlier) {
  *earlier = false;
  std::unique_ptr<File> journal;
  if (fs->Open(JournalPath(lead_path), OpenMode::kReadOnly, &journal) != kOk) return kOk;
  std::uint32_t salt = 0;
  std::string boot;
  const int r = ReadRedoHeader(journal.get(), &salt, &boot);
  if (r == kErrJournal) return kOk;
  if (r != kOk) return r;
  if (!EarlierRun(fs, lead_path, boot)) return kOk;
  std::uint64_t end = 0;
  const int read = ReadRedoRecords(journal.get(), salt, kRedoHeaderSize, nullptr, &end);
  *earlier = read != kOk || end > kRedoHeaderSize;
  return kOk;
}

}  // namespace xbase
