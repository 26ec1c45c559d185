#include "xbase_store.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "storage/base_files.h"

namespace bench {
namespace {

const char* const kFieldNames[] = {"OBJET", "IND1", "IND2", "IND3", "IND4", "REPERE", "SYMBOLE"};
const char* const kIndexFiles[kTagCount] = {symbase::kRepCleIndexFile, symbase::kRepereIndexFile,
                                            symbase::kSymboleIndexFile};
const xbase::TagDefinition* const kTagDefinitions[kTagCount] = {
    symbase::kRepCleTag, symbase::kRepereTag, symbase::kSymboleTag};
const char* const kTagNames[kTagCount] = {symbase::kRepCleTagName, symbase::kRepereTagName,
                                          symbase::kSymboleTagName};

// The text a seek on `tag` looks for.
const char* SeekKey(TagId tag, const BenchRow& row) {
  switch (tag) {
    case kCle:
      return row.cle_key;
    case kRepere:
      return row.repere_key;
    default:
      return row.symbole_key;
  }
}

}  // namespace

XbaseStore::XbaseStore(const std::string& directory, bool durable) : directory_(directory) {
  xbase::EngineInit(&session_, 0, 6300);
  session_.durable = durable ? 1 : 0;
  // The options the library sets: no production index, replace old files,
  // never wait for a lock.
  session_.auto_open = 0;
  session_.safety = 0;
  session_.lock_attempts = 1;
  table_ = xbase::TableCreate(&session_, (directory_ + symbase::kMainTableFile).c_str(),
                              symbase::kMainFields, nullptr);
  if (table_ == nullptr) {
    Expect(session_.error, xbase::kOk, "TableCreate", nullptr);
    return;
  }
  for (int t = 0; t < kTagCount; ++t) {
    if (xbase::IndexCreate(table_, (directory_ + kIndexFiles[t]).c_str(), kTagDefinitions[t]) ==
        nullptr) {
      Expect(session_.error, xbase::kOk, "IndexCreate", nullptr);
      return;
    }
    tags_[t] = xbase::TagGet(table_, kTagNames[t]);
    if (tags_[t] == nullptr) {
      Fail(std::string("tag ") + kTagNames[t] + " not found after IndexCreate");
      return;
    }
  }
  for (int f = 0; f < kFieldCount; ++f) {
    fields_[f] = xbase::FieldGet(table_, kFieldNames[f]);
    if (fields_[f] == nullptr) {
      Fail(std::string("field ") + kFieldNames[f] + " not found after TableCreate");
      return;
    }
  }
  ready_ = true;
}

XbaseStore::~XbaseStore() { xbase::EngineEnd(&session_); }

bool XbaseStore::Expect(int result, int wanted, const char* what, const BenchRow* row) {
  if (result == wanted) return true;
  return Fail(std::string(what) + " returned " + std::to_string(result) + " (" +
                  xbase::ResultMeaning(result) + ")",
              row);
}

bool XbaseStore::Select(TagId tag) {
  if (!ready_) return false;  // failure() holds why
  if (selected_ != tag) {
    xbase::TagSelect(table_, tags_[tag]);
    selected_ = tag;
  }
  return true;
}

bool XbaseStore::Assign(FieldId field, const char* text, const BenchRow& row) {
  if (text[0] == '\0') return true;  // a new row starts blank
  return Expect(xbase::FieldAssign(fields_[field], text), xbase::kOk, "FieldAssign", &row);
}

void XbaseStore::CopyKey(TagId tag) {
  switch (tag) {
    case kCle: {
      // Each copy's NUL is overwritten by the next field.
      char* out = key_;
      for (int f = kObjet; f <= kInd4; ++f) {
        out += xbase::FieldCopy(fields_[f], out, static_cast<int>(sizeof key_ - (out - key_)));
      }
      break;
    }
    case kRepere:
      xbase::FieldCopy(fields_[kRepereField], key_, sizeof key_);
      break;
    default:
      xbase::FieldCopy(fields_[kSymboleField], key_, sizeof key_);
      break;
  }
}

bool XbaseStore::Insert(const BenchRow& row) {
  if (!ready_) return false;
  if (!Expect(xbase::AppendStart(table_, 0), xbase::kOk, "AppendStart", &row)) return false;
  xbase::RecordBlank(table_);
  const char* const texts[kFieldCount] = {row.objet, row.ind1,   row.ind2,   row.ind3,
                                          row.ind4,  row.repere, row.symbole};
  for (int f = 0; f < kFieldCount; ++f) {
    if (!Assign(static_cast<FieldId>(f), texts[f], row)) return false;
  }
  return Expect(xbase::RecordAppend(table_), xbase::kOk, "RecordAppend", &row) &&
         Expect(xbase::TableUnlock(table_), xbase::kOk, "TableUnlock", &row);
}

bool XbaseStore::Seek(TagId tag, const BenchRow& row) {
  if (!Select(tag)) return false;
  const int result = xbase::TableSeek(table_, SeekKey(tag, row));
  if (result != xbase::kOk) {
    return Expect(result, xbase::kOk, PhaseName(static_cast<Phase>(kSeekCle + tag)), &row);
  }
  // The row found must be the row sought: compare a field outside the key.
  const TagId other = tag == kRepere ? kSymbole : kRepere;
  CopyKey(other);
  if (std::strcmp(key_, SeekKey(other, row)) == 0) return true;
  return Fail(std::string("seek ") + TagName(tag) + " landed on the row of " + key_, &row);
}

bool XbaseStore::Absent(TagId tag, const BenchRow& row) {
  if (!Select(tag)) return false;
  const int result = xbase::TableSeek(table_, SeekKey(tag, row));
  if (result == xbase::kAfter || result == xbase::kEof) return true;
  if (result == xbase::kOk) {
    return Fail(std::string("a deleted key is still found on ") + TagName(tag), &row);
  }
  return Expect(result, xbase::kAfter, "TableSeek", &row);
}

bool XbaseStore::Walk(TagId tag, long* count) {
  *count = 0;
  if (!Select(tag)) return false;
  // Bounded by the row count, so a looping order fails instead of hanging.
  const long limit = xbase::TableRecordCount(table_);
  KeyOrder order;
  int result = xbase::TableTop(table_);
  for (; result == xbase::kOk && *count <= limit; result = xbase::TableSkip(table_, 1)) {
    CopyKey(tag);
    if (!order.Next(key_, std::strlen(key_))) {
      return Fail(std::string("walk ") + TagName(tag) + " out of order at " + key_);
    }
    ++*count;
  }
  if (*count > limit) return Fail(std::string("walk ") + TagName(tag) + " does not end");
  return Expect(result, xbase::kEof, "TableSkip", nullptr);
}

bool XbaseStore::Delete(const BenchRow& row) {
  return Seek(kCle, row) && Expect(xbase::RecordDelete(table_), xbase::kOk, "RecordDelete", &row) &&
         Expect(xbase::TableUnlock(table_), xbase::kOk, "TableUnlock", &row);
}

bool XbaseStore::Compact() {
  if (!ready_) return false;
  selected_ = -1;
  return Expect(xbase::TableCompact(table_), xbase::kOk, "TableCompact", nullptr);
}

bool XbaseStore::Check(long* rows) {
  if (!ready_) return false;
  std::string problems;
  const int result = xbase::IntegrityCheck(table_, [&problems](const std::string& problem) {
    if (problems.size() < 500) problems += problem + "; ";
  });
  if (result != xbase::kOk || !problems.empty()) {
    return Fail("IntegrityCheck returned " + std::to_string(result) + ": " + problems);
  }
  *rows = xbase::TableRecordCount(table_);
  return true;
}

long long XbaseStore::BytesOnDisk() {
  if (ready_) xbase::TableUnlock(table_);
  long long bytes = 0;
  std::error_code error;
  for (const char* file : {symbase::kMainTableFile, symbase::kRepCleIndexFile,
                           symbase::kRepereIndexFile, symbase::kSymboleIndexFile}) {
    const auto size = std::filesystem::file_size(directory_ + file, error);
    if (!error) bytes += static_cast<long long>(size);
  }
  return bytes;
}

}  // namespace bench
