// The glue between a table and its open index files: creating and opening
// them, parsing each tag's key and filter once, and keeping every tag in step
// with every row written.

#include <cstring>

#include "xbase/table.h"

namespace xbase {
namespace {

constexpr int kMaxTags = 47;
constexpr std::size_t kMaxKeyLength = 100;
int ParseTagDefinition(Table* table, const TagDefinition& definition, MdxTagInfo* info) {
  if (definition.name == nullptr || definition.name[0] == '\0' ||
      definition.key_expression == nullptr) {
    return kErrTag;
  }
  std::unique_ptr<Expression> key, filter;
  int r = Expression::Parse(definition.key_expression, table->layout, &key);
  if (r != kOk) return r;
  if (key->type() != Expression::Type::kText) return kErrExpression;
  if (key->width() < 1 || key->width() > kMaxKeyLength) return kErrTag;
  bool has_filter =
      definition.filter_expression != nullptr && definition.filter_expression[0] != '\0';
  if (has_filter) {
    r = Expression::Parse(definition.filter_expression, table->layout, &filter);
    if (r != kOk) return r;
    if (filter->type() != Expression::Type::kLogical) return kErrExpression;
  }
  info->name = definition.name;  // the index file stores it in capitals, cut short
  info->key_expression = definition.key_expression;
  info->filter_expression = has_filter ? definition.filter_expression : "";
  info->key_length = static_cast<int>(key->width());
  info->unique = definition.unique != 0;
  info->descending = definition.descending != 0;
  return kOk;
}

// Fills every tag of a new index file from the table's rows.
int IndexExistingRows(Table* table, Index* index) {
  return BuildTagsFromRows(table, index, index->mdx.get(), false);
}

Index* Attach(Table* table, const std::string& path, std::unique_ptr<MdxFile> mdx) {
  std::unique_ptr<Index> index(new Index());
  index->table = table;
  index->path = path;
  index->mdx = std::move(mdx);
  for (int t = 0; t < index->mdx->tag_count(); ++t) {
    std::unique_ptr<Tag> tag;
    int r = PrepareTag(table, index.get(), t, &tag);
    if (r != kOk) {
      table->Fail(r);
      return nullptr;
    }
    index->tags.push_back(std::move(tag));
  }
  table->indexes.push_back(std::move(index));
  table->Fail(kOk);
  return table->indexes.back().get();
}

}  // namespace

std::string IndexBaseName(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.resize(dot);
  if (name.size() > 16) name.resize(16);
  return name;
}

MdxFile* Tag::mdx() const { return index->mdx.get(); }

const char* TagKeyExpression(Tag* tag) {
  return tag == nullptr ? "" : tag->mdx()->tag(tag->number).key_expression.c_str();
}

const char* TagFilterExpression(Tag* tag) {
  return tag == nullptr ? "" : tag->mdx()->tag(tag->number).filter_expression.c_str();
}

void Tag::KeyOf(const char* image, std::string* out) const {
  std::size_t width = key->width();
  key->Evaluate(image, &(*out)[0]);
  if (width < key_length) std::memset(&(*out)[width], ' ', key_length - width);
}

int PrepareTag(Table* table, Index* index, int number, std::unique_ptr<Tag>* out) {
  const MdxTagInfo& info = index->mdx->tag(number);
  std::unique_ptr<Tag> tag(new Tag());
  tag->index = index;
  tag->number = number;
  tag->key_length = static_cast<std::size_t>(info.key_length);
  int r = Expression::Parse(info.key_expression, table->layout, &tag->key);
  if (r != kOk) return r;
  if (tag->key->type() != Expression::Type::kText) return kErrExpression;
  if (!info.filter_expression.empty()) {
    r = Expression::Parse(info.filter_expression, table->layout, &tag->filter);
    if (r != kOk) return r;
    if (tag->filter->type() != Expression::Type::kLogical) return kErrExpression;
  }
  std::size_t room = std::max(tag->key->width(), tag->key_length);
  tag->old_key.assign(room, ' ');
  tag->new_key.assign(room, ' ');
  *out = std::move(tag);
  return kOk;
}

int UpdateTags(Table* table, std::uint32_t n, const char* before, const char* after) {
  for (auto& index : table->indexes) {
    MdxFile* mdx = index->mdx.get();
    for (auto& tag : index->tags) {
      bool was = before != nullptr && tag->Admits(before);
      bool is = after != nullptr && tag->Admits(after);
      if (was) tag->KeyOf(before, &tag->old_key);
      if (is) tag->KeyOf(after, &tag->new_key);
      if (was && is &&
          std::memcmp(tag->old_key.data(), tag->new_key.data(), tag->key_length) == 0) {
        continue;
      }
      int r = kOk;
      if (was) r = mdx->Remove(tag->number, tag->old_key.data(), n);
      if (r == kOk && is) r = mdx->Insert(tag->number, tag->new_key.data(), n);
      if (r != kOk) return r;
    }
  }
  return kOk;
}

Index* IndexCreate(Table* table, const char* path, const TagDefinition* tags) {
  if (table == nullptr) return nullptr;
  if (!table->open() || path == nullptr || *path == '\0' || tags == nullptr) {
    table->Fail(kErrArgument);
    return nullptr;
  }
  std::vector<MdxTagInfo> infos;
  for (int i = 0; tags[i].name != nullptr || infos.empty(); ++i) {
    MdxTagInfo info;
    int r = infos.size() >= static_cast<std::size_t>(kMaxTags)
                ? kErrTag
                : ParseTagDefinition(table, tags[i], &info);
    if (r != kOk) {
      table->Fail(r);
      return nullptr;
    }
    infos.push_back(info);
  }
  int r = FlushRow(table);
  FileSystem* fs = table->session->state->fs;
  std::unique_ptr<File> file;
  if (r == kOk && table->session->safety != 0 &&
      fs->Open(path, OpenMode::kReadWrite, &file) == kOk) {
    r = kErrCreate;
  }
  file.reset();
  if (r == kOk && fs->Open(path, OpenMode::kCreate, &file) != kOk) r = kErrCreate;
  std::unique_ptr<MdxFile> mdx;
  if (r == kOk) r = MdxFile::Create(std::move(file), IndexBaseName(path), infos, &mdx);
  Index* index = r == kOk ? Attach(table, path, std::move(mdx)) : nullptr;
  if (index == nullptr) {
    if (r != kOk) table->Fail(r);
    return nullptr;
  }
  r = IndexExistingRows(table, index);
  if (r == kOk) r = index->mdx->Flush();
  if (r != kOk) {
    table->indexes.pop_back();
    table->Fail(r);
    return nullptr;
  }
  return index;
}

Index* IndexOpen(Table* table, const char* path) {
  if (table == nullptr) return nullptr;
  if (!table->open() || path == nullptr || *path == '\0') {
    table->Fail(kErrArgument);
    return nullptr;
  }
  // The header and tags are read once no other process is writing them.
  std::unique_ptr<File> file;
  bool read_only = false;
  if (OpenExistingFile(table->session->state->fs, path, &file, &read_only) != kOk) {
    table->Fail(kErrOpen);
    return nullptr;
  }
  std::unique_ptr<MdxFile> mdx;
  File* gate = EnterOpenGate(table->session, table->dbf->file());
  int r = MdxFile::Open(std::move(file), &mdx);
  LeaveOpenGate(gate);
  if (r != kOk) {
    table->Fail(r);
    return nullptr;
  }
  return Attach(table, path, std::move(mdx));
}

Index* IndexRebuild(Table* table, const char* path, const TagDefinition* tags, const char* backup) {
  if (table == nullptr) return nullptr;
  if (!table->open() || path == nullptr || *path == '\0' || tags == nullptr) {
    table->Fail(kErrArgument);
    return nullptr;
  }
  int r = SettleSession(table->session);
  if (r != kOk) {
    table->Fail(r);
    return nullptr;
  }
  // The file's old handle, if open on the table, goes first.
  auto& indexes = table->indexes;
  for (auto it = indexes.begin(); it != indexes.end();) {
    if ((*it)->path != path) {
      ++it;
      continue;
    }
    if (table->selected != nullptr && table->selected->index == it->get())
      TagSelect(table, nullptr);
    it = indexes.erase(it);
  }
  FileSystem* fs = table->session->state->fs;
  std::unique_ptr<File> existing;
  bool kept = false;
  if (backup != nullptr && fs->Open(path, OpenMode::kReadOnly, &existing) == kOk) {
    existing.reset();
    if (fs->Rename(path, backup) != kOk) {
      table->Fail(kErrRename);
      return nullptr;
    }
    kept = true;
  }
  const char safety = table->session->safety;
  table->session->safety = 0;
  Index* index = IndexCreate(table, path, tags);
  table->session->safety = safety;
  r = index == nullptr ? table->session->error : index->mdx->file()->Sync();
  if (r == kOk) r = fs->SyncDirectory(path);
  if (r == kOk) return index;
  // The old file goes back where it was.
  if (index != nullptr) table->indexes.pop_back();
  if (kept) {
    fs->Remove(path);
    fs->Rename(backup, path);
  }
  table->Fail(r);
  return nullptr;
}

}  // namespace xbase
