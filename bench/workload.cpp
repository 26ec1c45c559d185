#include "workload.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

namespace bench {
namespace {

// Rows at positions divisible by this in the (shuffled) insertion order are
// deleted: a tenth of the table, spread over every key range.
constexpr std::size_t kDeleteEvery = 10;

bool IsDeleted(std::size_t position) { return position % kDeleteEvery == 0; }

// Runs `work` and adds its duration to *seconds; returns what `work` returned.
template <typename Work>
bool Timed(double* seconds, Work work) {
  const auto start = std::chrono::steady_clock::now();
  const bool ok = work();
  *seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return ok;
}

bool WalkCounts(Store* store, TagId tag, long expected, double* seconds) {
  long count = 0;
  if (!Timed(seconds, [&] { return store->Walk(tag, &count); })) return false;
  if (count == expected) return true;
  return store->Fail(std::string("walk ") + TagName(tag) + " visited " + std::to_string(count) +
                     " rows instead of " + std::to_string(expected));
}

// After compaction: the table holds the live rows only, every index lists
// them all, every deleted key is gone and every live key is still found.
bool Verify(Store* store, const std::vector<BenchRow>& rows, long live) {
  long table_rows = 0;
  if (!store->Check(&table_rows)) return false;
  if (table_rows != live) {
    return store->Fail("the compacted table holds " + std::to_string(table_rows) +
                       " rows instead of " + std::to_string(live));
  }
  for (int t = 0; t < kTagCount; ++t) {
    const TagId tag = static_cast<TagId>(t);
    double unused = 0;
    if (!WalkCounts(store, tag, live, &unused)) return false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const bool ok = IsDeleted(i) ? store->Absent(tag, rows[i]) : store->Seek(tag, rows[i]);
      if (!ok) return false;
    }
  }
  return true;
}

}  // namespace

const char* PhaseName(Phase phase) {
  static const char* const kNames[kPhaseCount] = {"insert (1 row per unit)",
                                                  "seek REPCLE",
                                                  "seek REPERE",
                                                  "seek SYMBOLE",
                                                  "walk REPCLE",
                                                  "walk REPERE",
                                                  "walk SYMBOLE",
                                                  "delete 10%",
                                                  "compact"};
  return kNames[phase];
}

const char* TagName(TagId tag) {
  static const char* const kNames[kTagCount] = {"REPCLE", "REPERE", "SYMBOLE"};
  return kNames[tag];
}

bool Store::Fail(const std::string& what, const BenchRow* row) {
  if (!failure_.empty()) return false;
  failure_ = what;
  if (row != nullptr) failure_ += std::string(" (row ") + row->repere + ")";
  return false;
}

bool KeyOrder::Next(const char* key, std::size_t length) {
  length = std::min(length, sizeof previous_);
  bool ascending = true;
  if (started_) {
    const int c = std::memcmp(previous_, key, std::min(length_, length));
    ascending = c < 0 || (c == 0 && length_ < length);
  }
  std::memcpy(previous_, key, length);
  length_ = length;
  started_ = true;
  return ascending;
}

bool RunWorkload(Store* store, const std::vector<BenchRow>& rows, WorkloadResult* result) {
  double* seconds = result->seconds;
  const long count = static_cast<long>(rows.size());
  bool ok = Timed(&seconds[kInsert], [&] {
    for (const BenchRow& row : rows) {
      if (!store->Insert(row)) return false;
    }
    return true;
  });
  const std::vector<long> seek_order = MakeSeekOrder(count);
  for (int t = 0; ok && t < kTagCount; ++t) {
    ok = Timed(&seconds[kSeekCle + t], [&] {
      for (long i : seek_order) {
        if (!store->Seek(static_cast<TagId>(t), rows[i])) return false;
      }
      return true;
    });
  }
  for (int t = 0; ok && t < kTagCount; ++t) {
    ok = WalkCounts(store, static_cast<TagId>(t), count, &seconds[kWalkCle + t]);
  }
  long live = count;
  ok = ok && Timed(&seconds[kDelete], [&] {
         for (std::size_t i = 0; i < rows.size(); i += kDeleteEvery) {
           if (!store->Delete(rows[i])) return false;
           --live;
         }
         return true;
       });
  ok = ok && Timed(&seconds[kCompact], [&] { return store->Compact(); });
  ok = ok && Verify(store, rows, live);
  result->bytes = store->BytesOnDisk();
  return ok;
}

}  // namespace bench
