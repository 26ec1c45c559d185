#include "xbase/journal.h"

#include <cstring>

#include "xbase/journal_codec.h"
#include "xbase/result.h"

namespace xbase {

using namespace codec;

namespace {

constexpr char kMagic[] = "SYMJRNL1";
constexpr std::size_t kMagicLength = 8;
constexpr std::uint64_t kMaxJournal = 1ull << 32;

void DecodeTables(Reader& in, std::vector<JournalTable>* tables) {
  const std::size_t table_count = in.U(2);
  for (std::size_t i = 0; in.ok() && i < table_count; ++i) {
    JournalTable table;
    table.path = in.Text();
    table.count = in.U(4);
    const std::size_t index_count = in.U(2);
    for (std::size_t k = 0; in.ok() && k < index_count; ++k) {
      JournalIndex index;
      index.path = in.Text();
      const std::size_t tag_count = in.U(2);
      for (std::size_t g = 0; in.ok() && g < tag_count; ++g) {
        JournalTag tag;
        tag.name = in.Text();
        tag.key = in.Text();
        tag.filter = in.Text();
        tag.unique = in.U(1) != 0;
        tag.descending = in.U(1) != 0;
        index.tags.push_back(std::move(tag));
      }
      table.indexes.push_back(std::move(index));
    }
    tables->push_back(std::move(table));
  }
}

}  // namespace

std::string JournalPath(const std::string& lead_path) { return lead_path + ".jnl"; }

namespace {

std::string Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string JournalName(const std::string& lead_path, const std::string& path) {
  const std::string folder = Folder(lead_path);
  const bool inside = path.compare(0, folder.size(), folder) == 0 &&
                      path.find('/', folder.size()) == std::string::npos;
  if (inside) return path.substr(folder.size());
  // A bare name would read as one of the lead's folder: say it is the working folder's.
  return path.find('/') == std::string::npos ? "./" + path : path;
}

std::string JournalResolve(const std::string& lead_path, const std::string& name) {
  return name.find('/') == std::string::npos ? Folder(lead_path) + name : name;
}

void EncodeJournalHeader(std::uint32_t counter, const std::vector<JournalTable>& tables,
                         std::string* out) {
  std::string body;
  Put16(&body, tables.size());
  for (const JournalTable& table : tables) {
    PutText(&body, table.path);
    Put32(&body, table.count);
    Put16(&body, table.indexes.size());
    for (const JournalIndex& index : table.indexes) {
      PutText(&body, index.path);
      Put16(&body, index.tags.size());
      for (const JournalTag& tag : index.tags) {
        PutText(&body, tag.name);
        PutText(&body, tag.key);
        PutText(&body, tag.filter);
        body.push_back(tag.unique ? 1 : 0);
        body.push_back(tag.descending ? 1 : 0);
      }
    }
  }
  out->assign(kMagic, kMagicLength);
  Put32(out, counter);
  Put32(out, static_cast<std::uint32_t>(body.size()));
  out->append(body);
  Put32(out, Fnv(counter, out->data(), out->size()));
}

void EncodeJournalImage(std::uint32_t counter, std::uint32_t table, std::uint32_t record,
                        const char* bytes, std::size_t length, std::string* out) {
  out->clear();
  Put32(out, table);
  Put32(out, record);
  Put32(out, static_cast<std::uint32_t>(length));
  out->append(bytes, length);
  Put32(out, Fnv(counter, out->data(), out->size()));
}

void EncodeJournalIndexes(std::uint32_t counter, const std::vector<JournalIndexRef>& files,
                          std::string* out) {
  std::string list;
  for (const JournalIndexRef& ref : files) {
    Put16(&list, ref.first);
    Put16(&list, ref.second);
  }
  EncodeJournalImage(counter, kIndexMarker, static_cast<std::uint32_t>(files.size()), list.data(),
                     list.size(), out);
}

int ReadJournal(File* file, std::uint32_t counter, JournalContents* out) {
  std::uint64_t size = 0;
  if (file->Size(&size) != kOk) return kErrRead;
  if (size > kMaxJournal) return kErrJournal;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::size_t got = 0;
  if (size > 0 && (file->ReadAt(0, &bytes[0], bytes.size(), &got) != kOk || got != bytes.size())) {
    return kErrRead;
  }
  if (bytes.size() < kMagicLength || bytes.compare(0, kMagicLength, kMagic) != 0) {
    return kErrJournal;
  }
  Reader head(bytes, kMagicLength);
  const std::uint32_t stored_counter = head.U(4);
  const std::uint32_t body_length = head.U(4);
  if (!head.ok() || stored_counter != counter || bytes.size() - head.at() < body_length + 4u) {
    return kErrJournal;
  }
  const std::size_t body_end = head.at() + body_length;
  Reader sum(bytes, body_end);
  if (sum.U(4) != Fnv(counter, bytes.data(), body_end)) return kErrJournal;
  Reader body(bytes, head.at(), body_end);
  out->counter = counter;
  out->tables.clear();
  out->images.clear();
  out->written_indexes.clear();
  DecodeTables(body, &out->tables);
  if (!body.ok() || body.at() != body_end) return kErrJournal;

  // Images follow until one is torn or stale.
  for (std::size_t at = body_end + 4; at < bytes.size();) {
    Reader in(bytes, at);
    JournalImage image;
    image.table = in.U(4);
    image.record = in.U(4);
    const std::uint32_t length = in.U(4);
    if (!in.ok() || bytes.size() - in.at() < std::uint64_t(length) + 4) break;
    const std::size_t end = in.at() + length;
    Reader tail(bytes, end);
    if (tail.U(4) != Fnv(counter, bytes.data() + at, end - at)) break;
    image.bytes = bytes.substr(in.at(), length);
    at = end + 4;
    if (image.table == kIndexMarker) {
      Reader list(image.bytes, 0);
      for (std::uint32_t i = 0; i < image.record && list.ok(); ++i) {
        const std::uint32_t table = list.U(2);
        const std::uint32_t index = list.U(2);
        if (list.ok()) out->written_indexes.emplace_back(table, index);
      }
      continue;
    }
    if (image.table >= out->tables.size()) break;
    out->images.push_back(std::move(image));
  }
  return kOk;
}

}  // namespace xbase
