// Reading without moving the table: a table's rows in record order, a tag's
// keys alone, and prefix counts of a tag.

#include <cstring>

#include "xbase/table.h"

namespace xbase {
namespace {

// Checks a tag handle; its table is flushed so that the index files hold
// the current row's change.
int Ready(Tag* tag) {
  if (tag == nullptr || tag->index == nullptr) return kErrArgument;
  Table* table = tag->index->table;
  if (!table->open()) return table->Fail(kErrArgument);
  return table->Fail(FlushRow(table));
}

}  // namespace

int TableScan(Table* table, const std::function<int(long record, const char* image)>& visit) {
  if (table == nullptr) return kErrArgument;
  if (!table->open() || !visit) return table->Fail(kErrArgument);
  int r = FlushRow(table);
  if (r == kOk) {
    r = table->dbf->Scan(
        [&](std::uint32_t n, const char* image) { return visit(static_cast<long>(n), image); });
  }
  return table->Fail(r);
}

int TableVisitRows(Table* table, const std::vector<long>& records,
                   const std::function<int(long record, const char* image)>& visit) {
  if (table == nullptr) return kErrArgument;
  if (!table->open() || !visit) return table->Fail(kErrArgument);
  std::vector<std::uint32_t> numbers;
  numbers.reserve(records.size());
  for (const long n : records) {
    if (n < 1 || n > 0xFFFFFFFFL) return table->Fail(kErrArgument);
    numbers.push_back(static_cast<std::uint32_t>(n));
  }
  int r = FlushRow(table);
  if (r == kOk) {
    r = table->dbf->Visit(numbers, [&](std::uint32_t n, const char* image) {
      return visit(static_cast<long>(n), image);
    });
  }
  return table->Fail(r);
}

int TagKeyLength(Tag* tag) {
  return tag == nullptr ? kErrArgument : static_cast<int>(tag->key_length);
}

int TagScan(Tag* tag, const char* from,
            const std::function<int(const char* key, long record)>& visit) {
  int r = Ready(tag);
  if (r != kOk) return r;
  if (from == nullptr || !visit) return tag->index->table->Fail(kErrArgument);
  r = tag->mdx()->Scan(tag->number, from, std::strlen(from), visit);
  return tag->index->table->Fail(r);
}

int TagCountPrefix(Tag* tag, const char* prefix, long* count) {
  int r = Ready(tag);
  if (r != kOk) return r;
  if (prefix == nullptr || count == nullptr) return tag->index->table->Fail(kErrArgument);
  std::uint64_t n = 0;
  r = tag->mdx()->CountPrefix(tag->number, prefix, std::strlen(prefix), &n);
  *count = static_cast<long>(n);
  return tag->index->table->Fail(r);
}

}  // namespace xbase
