// MdxFile's public face: argument checks, cursor moves and the life cycle
// (create, open, flush, reload). The work is done by MdxFile::Impl.

#include "xbase/mdx_file.h"

#include <algorithm>

#include "xbase/mdx_impl.h"

namespace xbase {

namespace {

// memcmp must not see a null pointer, even for zero bytes.
const char kNoKey[1] = {0};

void SetEnd(MdxCursor* cursor, int end) {
  cursor->valid = false;
  cursor->end = end;
}

}  // namespace

MdxFile::MdxFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
MdxFile::~MdxFile() = default;

int MdxFile::Create(std::unique_ptr<File> file, const std::string& base_name,
                    const std::vector<MdxTagInfo>& tags, std::unique_ptr<MdxFile>* out) {
  if (!file || out == nullptr) return kErrArgument;
  out->reset();
  std::unique_ptr<Impl> impl(new Impl(std::move(file)));
  int rc = impl->FormatNew(base_name, tags);
  // Only a file that holds something is cut: ext4 writes back, at the next
  // close, a file that was truncated to nothing, and that close would wait
  // on all the index built since.
  std::uint64_t size = 0;
  if (rc == kOk) rc = impl->file->Size(&size);
  if (rc == kOk && size != 0) rc = impl->file->Truncate(0);
  if (rc == kOk) rc = impl->Flush();
  if (rc != kOk) return rc;
  // Read back what was written: one parser for new and existing files.
  impl->cache.Clear();
  rc = impl->ReadHeader();
  if (rc != kOk) return rc;
  out->reset(new MdxFile(std::move(impl)));
  return kOk;
}

int MdxFile::Open(std::unique_ptr<File> file, std::unique_ptr<MdxFile>* out) {
  if (!file || out == nullptr) return kErrArgument;
  out->reset();
  std::unique_ptr<Impl> impl(new Impl(std::move(file)));
  int rc = impl->ReadHeader();
  if (rc != kOk) return rc;
  out->reset(new MdxFile(std::move(impl)));
  return kOk;
}

int MdxFile::tag_count() const { return static_cast<int>(impl_->tags.size()); }

const MdxTagInfo& MdxFile::tag(int index) const {
  static const MdxTagInfo kNone;
  if (index < 0 || index >= tag_count()) return kNone;
  return impl_->tag(index).info;
}

int MdxFile::FindTag(const char* name) const { return impl_->FindTag(name); }

int MdxFile::Insert(int t, const char* key, std::uint32_t record) {
  if (t < 0 || t >= tag_count() || key == nullptr) return kErrArgument;
  return impl_->Insert(t, reinterpret_cast<const std::uint8_t*>(key), record);
}

int MdxFile::Remove(int t, const char* key, std::uint32_t record) {
  if (t < 0 || t >= tag_count() || key == nullptr) return kErrArgument;
  return impl_->Remove(t, reinterpret_cast<const std::uint8_t*>(key), record);
}

int MdxFile::Rebuild(int t, const KeyRun& run) {
  if (t < 0 || t >= tag_count()) return kErrArgument;
  return impl_->Rebuild(t, run);
}

void MdxFile::WriteAsBuilt() { impl_->write_as_built = true; }

int MdxFile::Seek(int t, const char* key, std::size_t length, MdxCursor* cursor) {
  if (t < 0 || t >= tag_count() || cursor == nullptr || (key == nullptr && length > 0)) {
    return kErrArgument;
  }
  length = std::min<std::size_t>(length, impl_->tag(t).key_length);
  const std::uint8_t* k = reinterpret_cast<const std::uint8_t*>(key ? key : kNoKey);
  SetEnd(cursor, 1);
  cursor->tag = t;
  int rc = impl_->Descend(t, k, length, -1, &cursor->path);
  if (rc == kOk) rc = impl_->Settle(t, &cursor->path);
  if (rc != kOk) return rc;
  // Compare before loading: key may point into the cursor's own buffer.
  const bool found = impl_->EntryAt(t, cursor->path, k, length, -1);
  rc = impl_->Load(t, cursor->path, cursor);
  if (rc != kOk) return rc;
  return found ? kOk : kAfter;
}

int MdxFile::SeekEntry(int t, const char* key, std::uint32_t record, MdxCursor* cursor) {
  if (t < 0 || t >= tag_count() || cursor == nullptr || key == nullptr) return kErrArgument;
  const std::uint32_t length = impl_->tag(t).key_length;
  const auto* k = reinterpret_cast<const std::uint8_t*>(key);
  SetEnd(cursor, 1);
  cursor->tag = t;
  int rc = impl_->Descend(t, k, length, record, &cursor->path);
  if (rc == kOk) rc = impl_->Settle(t, &cursor->path);
  if (rc != kOk) return rc;
  // Compare before loading: key may point into the cursor's own buffer.
  const bool exact = impl_->EntryAt(t, cursor->path, k, length, record);
  rc = impl_->Load(t, cursor->path, cursor);
  if (rc != kOk) return rc;
  return exact ? kOk : kAfter;
}

int MdxFile::First(int t, MdxCursor* cursor) {
  if (t < 0 || t >= tag_count() || cursor == nullptr) return kErrArgument;
  SetEnd(cursor, 1);
  cursor->tag = t;
  int rc = impl_->EdgeDescend(t, impl_->tag(t).root, 0, false, &cursor->path);
  if (rc == kOk) rc = impl_->Settle(t, &cursor->path);
  if (rc == kOk) rc = impl_->Load(t, cursor->path, cursor);
  return rc;
}

int MdxFile::Last(int t, MdxCursor* cursor) {
  if (t < 0 || t >= tag_count() || cursor == nullptr) return kErrArgument;
  SetEnd(cursor, -1);
  cursor->tag = t;
  int rc = impl_->EdgeDescend(t, impl_->tag(t).root, 0, true, &cursor->path);
  if (rc == kOk) {
    ++cursor->path.back().second;  // just past the last entry, then one step back
    rc = impl_->StepBackward(t, &cursor->path);
  }
  if (rc == kOk) rc = impl_->Load(t, cursor->path, cursor);
  return rc;
}

int MdxFile::Next(MdxCursor* cursor) {
  if (cursor == nullptr || cursor->tag < 0 || cursor->tag >= tag_count()) return kErrArgument;
  const int t = cursor->tag;
  if (!cursor->valid) return cursor->end < 0 ? First(t, cursor) : kEof;
  if (cursor->generation != impl_->generation) {
    if (cursor->key.size() != impl_->tag(t).key_length) return kErrArgument;
    int rc = SeekEntry(t, cursor->key.data(), cursor->record, cursor);
    if (rc != kOk) return rc == kAfter ? kOk : rc;  // gone: the next entry is here
  } else if (!cursor->path.empty() && impl_->NextInLeaf(cursor)) {
    return kOk;
  }
  int rc = impl_->StepForward(t, &cursor->path);
  if (rc != kOk) {
    SetEnd(cursor, 1);
    return rc;
  }
  return impl_->Load(t, cursor->path, cursor);
}

int MdxFile::Prev(MdxCursor* cursor) {
  if (cursor == nullptr || cursor->tag < 0 || cursor->tag >= tag_count()) return kErrArgument;
  const int t = cursor->tag;
  if (!cursor->valid) return cursor->end > 0 ? Last(t, cursor) : kBof;
  if (cursor->generation != impl_->generation) {
    if (cursor->key.size() != impl_->tag(t).key_length) return kErrArgument;
    int rc = SeekEntry(t, cursor->key.data(), cursor->record, cursor);
    if (rc == kEof) return Last(t, cursor);
    if (rc < 0) return rc;
  }
  int rc = impl_->StepBackward(t, &cursor->path);
  if (rc != kOk) {
    SetEnd(cursor, -1);
    return rc;
  }
  return impl_->Load(t, cursor->path, cursor);
}

int MdxFile::Flush() { return impl_->Flush(); }

std::size_t MdxFile::dirty_bytes() const {
  return impl_->cache.dirty_count() * BlockCache::kBlockSize;
}

bool MdxFile::changed() const {
  if (impl_->header_changed || impl_->cache.has_dirty()) return true;
  for (const MdxTagState& tag : impl_->tags) {
    if (tag.changed) return true;
  }
  return false;
}

int MdxFile::Reload() {
  impl_->cache.Clear();
  impl_->header_changed = false;
  ++impl_->generation;
  int rc = impl_->ReadHeader();
  if (rc != kOk) impl_->tags.clear();  // nothing usable is left: every call refuses
  return rc;
}

void MdxFile::Forget() {
  impl_->cache.Clear();
  for (MdxTagState& tag : impl_->tags) {
    tag.counts.Forget();
    tag.ForgetSought();
  }
  ++impl_->generation;
}

std::uint64_t MdxFile::generation() const { return impl_->generation; }

int MdxFile::Check(int t, const std::function<void(const std::string&)>& problem) {
  if (t < 0 || t >= tag_count()) return kErrArgument;
  return impl_->Check(t, problem);
}

int MdxFile::ForEach(int t,
                     const std::function<int(const char* key, std::uint32_t record)>& visit) {
  if (t < 0 || t >= tag_count() || !visit) return kErrArgument;
  MdxCursor cursor;
  int rc = First(t, &cursor);
  while (rc == kOk) {
    int stop = visit(cursor.key.data(), cursor.record);
    if (stop != 0) return stop;
    rc = Next(&cursor);
  }
  return rc == kEof ? kOk : rc;
}

File* MdxFile::file() { return impl_->file.get(); }

}  // namespace xbase
