// TableCompact: drops the rows marked deleted, renumbers the rest and
// rebuilds every tag, without ever leaving a half-written table in place
// (new files beside the old ones, then a journal of renames: compact.h).
//
// Each step reaches the disk before the next, whether the session asked
// for durable commits or not. A compaction replaces every file of the
// table by renames: a machine that stopped after them must not find new
// names over bytes that never reached the disk, which would lose the whole
// table rather than its last change. What it syncs here is also what the
// next durable commit would otherwise have to sync. The new files are synced
// together once all are written, each one's writeback begun as it is done:
// the disk writes a file while the next one is built.

#include <algorithm>

#include "xbase/cache_budget.h"
#include "xbase/compact.h"
#include "xbase/held_rows.h"
#include "xbase/key_run.h"
#include "xbase/lock_offsets.h"
#include "xbase/relation.h"
#include "xbase/table.h"

namespace xbase {
namespace {

std::string NewName(const std::string& path) { return path + ".new"; }

// Writes the live rows to `out` a chunk at a time, counting them into *live.
int WriteLiveRows(Table* table, File* out, HeldRows* rows, std::uint32_t* live) {
  std::string header = table->dbf->header_bytes();
  int r = out->WriteAt(0, header.data(), header.size());
  std::uint64_t offset = header.size();
  const auto write_last = [&] {
    const int w = out->WriteAt(offset, rows->last(), rows->last_bytes());
    offset += rows->last_bytes();
    return w;
  };
  if (r == kOk) {
    r = table->dbf->Scan([&](std::uint32_t, const char* image) {
      if (image[0] == kDeletedFlag) return 0;
      ++*live;
      return rows->Add(image) ? write_last() : 0;
    });
  }
  if (r == kOk && rows->last_bytes() != 0 && !rows->last_full()) r = write_last();
  const char end = kEndOfFile;
  if (r == kOk) r = out->WriteAt(offset, &end, 1);
  DbfStampHeader(&header, *live);
  if (r == kOk) r = out->WriteAt(0, header.data(), 32);
  if (r == kOk) out->StartWriteback();
  return r;
}

// Writes a new file for `index` whose tags hold the live rows under their
// new numbers, into *built; `run` holds the keys of one tag at a time.
int WriteIndex(FileSystem* fs, Table* table, Index* index, KeyRun* run, const HeldRows* rows,
               std::unique_ptr<MdxFile>* built) {
  std::vector<MdxTagInfo> infos;
  for (int t = 0; t < index->mdx->tag_count(); ++t) infos.push_back(index->mdx->tag(t));
  std::unique_ptr<File> file;
  if (fs->Open(NewName(index->path), OpenMode::kCreate, &file) != kOk) return kErrCreate;
  std::unique_ptr<MdxFile> mdx;
  int r = MdxFile::Create(std::move(file), IndexBaseName(index->path), infos, &mdx);
  if (r == kOk) mdx->WriteAsBuilt();
  if (r == kOk) r = BuildTagsFromRows(table, index, mdx.get(), true, run, rows);
  if (r == kOk) r = mdx->Flush();
  if (r == kOk) mdx->file()->StartWriteback();
  *built = std::move(mdx);
  return r;
}

std::vector<std::pair<std::string, std::string>> Renames(Table* table) {
  std::vector<std::pair<std::string, std::string>> renames;
  for (auto& index : table->indexes) renames.emplace_back(NewName(index->path), index->path);
  renames.emplace_back(NewName(table->path), table->path);
  return renames;
}

int WriteJournal(FileSystem* fs, Table* table) {
  std::string text;
  for (const auto& rename : Renames(table)) text += rename.first + "\n" + rename.second + "\n";
  text += "end\n";
  std::unique_ptr<File> file;
  if (fs->Open(table->path + ".pack", OpenMode::kCreate, &file) != kOk) return kErrCreate;
  int r = file->WriteAt(0, text.data(), text.size());
  if (r == kOk) r = file->Sync();
  return r;
}

void Discard(FileSystem* fs, Table* table) {
  fs->Remove(table->path + ".pack");
  for (auto& index : table->indexes) fs->Remove(NewName(index->path));
  fs->Remove(NewName(table->path));
}

// Reopens the renamed files in place of the old ones.
int Reopen(FileSystem* fs, Table* table, std::uint32_t live) {
  std::unique_ptr<File> file;
  if (fs->Open(table->path, OpenMode::kReadWrite, &file) != kOk) return kErrOpen;
  int r = file->Lock(kTableOpenLockOffset, kTableOpenLockLength, false);
  if (r != kOk) return r;
  table->dbf->ResetFile(std::move(file), live);
  table->write_locked = false;
  table->header_dirty = false;
  for (auto& index : table->indexes) {
    std::unique_ptr<File> index_file;
    if (fs->Open(index->path, OpenMode::kReadWrite, &index_file) != kOk) return kErrOpen;
    std::unique_ptr<MdxFile> mdx;
    r = MdxFile::Open(std::move(index_file), &mdx);
    if (r != kOk) return r;
    index->mdx = std::move(mdx);
  }
  return kOk;
}

int Compact(Table* table) {
  FileSystem* fs = table->session->state->fs;
  File* file = table->dbf->file();
  int r = file->Lock(kTableOpenLockOffset, kTableOpenLockLength, true);
  if (r != kOk) return r;  // kLocked: another process has the table open
  // The old trees are replaced: their cached blocks leave their memory to
  // the live rows, which stay there when the budget has room for them all,
  // so that each tag is built from them instead of reading the table again.
  // The table's cached records serve the pass that writes the rows, then
  // leave their memory to the keys of the new trees, which one run holds a
  // tag at a time.
  for (auto& index : table->indexes) index->mdx->Forget();
  HeldRows rows(table->dbf->record_length());
  const bool held = rows.HoldAll(table->dbf->count());
  std::uint32_t live = 0;
  std::unique_ptr<File> out;
  r = fs->Open(NewName(table->path), OpenMode::kCreate, &out) == kOk ? kOk : kErrCreate;
  if (r == kOk) r = WriteLiveRows(table, out.get(), &rows, &live);
  table->dbf->ReleaseCache();
  CacheBudget::ReturnFreed();
  KeyRun run(0);
  std::vector<std::unique_ptr<MdxFile>> built(table->indexes.size());
  for (std::size_t i = 0; r == kOk && i < table->indexes.size(); ++i) {
    r = WriteIndex(fs, table, table->indexes[i].get(), &run, held ? &rows : nullptr, &built[i]);
  }
  run.Clear();
  if (r == kOk) r = out->Sync();
  for (std::size_t i = 0; r == kOk && i < built.size(); ++i) r = built[i]->file()->Sync();
  out.reset();
  built.clear();
  if (r == kOk) r = WriteJournal(fs, table);
  if (r == kOk) r = fs->SyncDirectory(table->path);
  if (r != kOk) {
    Discard(fs, table);
    for (auto& index : table->indexes) index->mdx->Reload();
    file->Lock(kTableOpenLockOffset, kTableOpenLockLength, false);
    return r;
  }
  // Committed: from here a failure is finished by the next TableOpen.
  r = ApplyRenames(fs, Renames(table));
  if (r == kOk) r = fs->SyncDirectory(table->path);
  // A journal left behind names no file any more: the next open drops it.
  if (r == kOk) fs->Remove(table->path + ".pack");
  if (r == kOk) r = Reopen(fs, table, live);
  if (r != kOk) {
    CloseTable(table);
    return r;
  }
  for (auto& relation : table->session->state->relations) {
    if (relation->table == table) {
      relation->rows.clear();
      relation->position = -1;
    }
  }
  if (live == 0) {
    LandOnEof(table);
    return kOk;
  }
  return LandOnRecord(table, 1);
}

}  // namespace

int TableCompact(Table* table) {
  if (table == nullptr) return kErrArgument;
  if (!table->open()) return table->Fail(kErrArgument);
  if (table->appending) {
    table->appending = false;
    table->FollowStored();
  }
  // Whatever the session changed reaches the files before they are rewritten.
  int r = FlushRow(table);
  const int settled = SettleSession(table->session);
  if (r == kOk) r = settled;
  if (r == kOk) r = Compact(table);
  return table->Fail(r);
}

}  // namespace xbase
