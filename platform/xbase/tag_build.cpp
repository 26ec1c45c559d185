// Whole tags built from a table's rows, for a new index file and for
// compaction: the keys of one tag gathered by a scan, sorted, and written as
// a tree bottom-up.

#include "xbase/held_rows.h"
#include "xbase/key_run.h"
#include "xbase/mdx_file.h"
#include "xbase/table.h"

namespace xbase {

int BuildTagsFromRows(Table* table, Index* index, MdxFile* mdx, bool live_only, KeyRun* given,
                      const HeldRows* live_rows) {
  int r = kOk;
  KeyRun own(0);
  KeyRun& run = given != nullptr ? *given : own;
  for (std::size_t t = 0; r == kOk && t < index->tags.size(); ++t) {
    Tag& tag = *index->tags[t];
    run.Restart(tag.key_length);
    run.Reserve(table->dbf->count());
    std::uint32_t live = 0;
    const auto add = [&](std::uint32_t n, const char* image) {
      if (live_only && image[0] == kDeletedFlag) return 0;
      ++live;
      if (!tag.Admits(image)) return 0;
      tag.KeyOf(image, &tag.new_key);
      run.Add(tag.new_key.data(), live_only ? live : n);
      return 0;
    };
    r = live_rows != nullptr ? live_rows->Scan(add) : table->dbf->Scan(add);
    if (r != kOk || run.empty()) continue;
    run.Sort();
    r = mdx->Rebuild(tag.number, run);
  }
  return r;
}

}  // namespace xbase
