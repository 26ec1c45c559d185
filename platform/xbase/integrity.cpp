// IntegrityCheck: the table header against the file, every row's flag, and
// each tag against the rows: every entry on a live, admitted row under that
// row's key, every admitted row present exactly once, and the tree itself
// sound (MdxFile::Check).

#include <cstring>
#include <string>
#include <vector>

#include "xbase/table.h"

namespace xbase {
namespace {

// Faults go to the sink with the path of the file they are in: the table's
// for its header and rows, an index file's for its tags.
class Report {
 public:
  Report(const IntegritySink& sink, const std::string& file) : sink_(sink), file_(file) {}
  void Header(const std::string& text) { At(IntegrityFault::kHeader, file_, text); }
  void Rows(const std::string& text) { At(IntegrityFault::kRows, file_, text); }
  void At(IntegrityFault kind, const std::string& file, const std::string& text) {
    ++faults_;
    if (sink_) sink_(kind, file, text);
  }
  int faults() const { return faults_; }

 private:
  const IntegritySink& sink_;
  const std::string& file_;
  int faults_ = 0;
};

void CheckHeader(Table* table, Report& report) {
  DbfFile* dbf = table->dbf.get();
  std::uint64_t size = 0;
  if (dbf->file()->Size(&size) != kOk) {
    report.Rows("the table's size cannot be read");
    return;
  }
  std::uint64_t data =
      dbf->header_length() + static_cast<std::uint64_t>(dbf->count()) * dbf->record_length();
  if (dbf->stored_count() != dbf->count()) {
    report.Header("the header counts " + std::to_string(dbf->stored_count()) +
                  " records but the file holds " + std::to_string(dbf->count()));
  }
  // Bytes after the declared rows are what an interrupted append leaves; the
  // next append writes over them, so only a short file is a fault.
  if (size < data) {
    report.Header("the file is " + std::to_string(size) + " bytes, the header says " +
                  std::to_string(data));
  }
}

struct TagKeys {
  Tag* tag;
  std::string keys;            // count x key_length, for rows the tag admits
  std::vector<char> expected;  // 1: the row belongs in the tag
  std::vector<char> seen;
};

void CheckTag(TagKeys& k, std::uint32_t count, Report& table_report) {
  Tag* tag = k.tag;
  MdxFile* mdx = tag->mdx();
  const std::string& file = tag->index->path;
  auto report = [&](const std::string& text) {
    table_report.At(IntegrityFault::kIndex, file, text);
  };
  std::string name = mdx->tag(tag->number).name;
  mdx->Check(tag->number, [&](const std::string& text) { report(name + ": " + text); });
  std::size_t kl = tag->key_length;
  int r = mdx->ForEach(tag->number, [&](const char* key, std::uint32_t n) {
    std::string at = name + ": entry of record " + std::to_string(n);
    if (n < 1 || n > count) {
      report(at + " points outside the table");
    } else if (!k.expected[n - 1]) {
      report(at + ", a row the tag's filter does not admit");
    } else if (k.seen[n - 1]++) {
      report(at + " appears more than once");
    } else if (std::memcmp(key, k.keys.data() + (n - 1) * kl, kl) != 0) {
      report(at + " does not hold the row's key");
    }
    return 0;
  });
  if (r != kOk) report(name + ": the tag cannot be walked");
  for (std::uint32_t n = 1; n <= count; ++n) {
    if (k.expected[n - 1] && !k.seen[n - 1]) {
      report(name + ": record " + std::to_string(n) + " is missing from the tag");
    }
  }
}

}  // namespace

int IntegrityCheck(Table* table, const std::function<void(const std::string&)>& problem) {
  return IntegrityCheckFiles(
      table, [&problem](IntegrityFault, const std::string&, const std::string& text) {
        if (problem) problem(text);
      });
}

int IntegrityCheckFiles(Table* table, const IntegritySink& problem) {
  if (table == nullptr) return kErrArgument;
  if (!table->open()) return table->Fail(kErrArgument);
  // The files are what is checked: write what is pending first. Inside a
  // transaction that has begun writing, the files are not yet whole.
  if (table->session->state->txn.writing && table->session->state->txn.begun_explicitly) {
    return table->Fail(kErrArgument);
  }
  int r = UnlockTable(table);
  if (r != kOk) return table->Fail(r);
  Report report(problem, table->path);
  CheckHeader(table, report);
  std::uint32_t count = table->dbf->count();
  std::vector<TagKeys> tags;
  for (auto& index : table->indexes) {
    for (auto& tag : index->tags) {
      TagKeys k{tag.get(), std::string(count * tag->key_length, ' '), std::vector<char>(count, 0),
                std::vector<char>(count, 0)};
      tags.push_back(std::move(k));
    }
  }
  r = table->dbf->Scan([&](std::uint32_t n, const char* image) {
    if (image[0] != kLiveFlag && image[0] != kDeletedFlag) {
      report.Rows("record " + std::to_string(n) + " has an unknown deletion flag");
    }
    for (TagKeys& k : tags) {
      if (!k.tag->Admits(image)) continue;
      k.expected[n - 1] = 1;
      k.tag->KeyOf(image, &k.tag->new_key);
      std::memcpy(&k.keys[(n - 1) * k.tag->key_length], k.tag->new_key.data(), k.tag->key_length);
    }
    return 0;
  });
  if (r != kOk) {
    report.Rows("the rows cannot be read");
    return table->Fail(r);
  }
  int table_faults = report.faults();
  for (TagKeys& k : tags) CheckTag(k, count, report);
  if (table_faults > 0) return table->Fail(kErrFormat);
  return table->Fail(report.faults() == 0 ? kOk : kErrIndexFormat);
}

}  // namespace xbase
