// The rows of the whole base (in key order) or of one object kind (in record
// order), handed to the host 50 per call with their symbols and comments.

#include "frame/checked_calls.h"
#include "lists/relation_batch.h"
#include "xbase/result.h"

using namespace symbase;

namespace {

// Every entry of an export: type 0, flag -1.
constexpr EntryStyle kExportEntry = {false, false};

// The whole base on REPCLE_TAG; between calls the main table stays on the
// next row to hand out.
int ExportWholeBase(CTBData& base, bool first, CObList* list, int* finished) {
  xbase::TagSelect(base.m_mainTable, base.m_tagRepCle);
  xbase::TagSelect(base.m_commentTable, base.m_tagRepCmt);
  // A later call goes on from the current row; 102 when something else
  // (against the rules) left the table past its end.
  int position = first ? CheckedTableTop(base.m_mainTable) : CheckedTableSkip(base.m_mainTable, 0);
  ListedRow row;
  char previous[kCommentKeyLength + 1] = "";
  int listed = 0;
  while (listed < kBatchSize && position == 0) {
    if (xbase::RecordIsDeleted(base.m_mainTable) == 0) {
      row.Read(base);
      std::unique_ptr<CTBObjetAts> entry = NewEntry(row);
      const int comment = TakeCommentFollowing(base, row, previous, entry.get());
      if (comment != 0) return comment;
      Append(list, std::move(entry));
      ++listed;
    }
    position = CheckedTableSkip(base.m_mainTable, 1);
  }
  if (!EndsQuietly(position)) return position;
  if (listed == kBatchSize && position == 0) return 0;
  *finished = 1;
  xbase::TagSelect(base.m_mainTable, nullptr);
  return 0;
}

}  // namespace

int CTBData::ExportSymbol(CString prefix, int moduleNumber, long* counter, CObList* list,
                          int* finished) {
  if (m_locked != 0) return 0;
  if (counter == nullptr || list == nullptr || finished == nullptr) return xbase::kErrArgument;
  xbase::TagSelect(m_mainTable, nullptr);
  const long count = CheckedTableRecordCount(m_mainTable);
  if (*counter <= 0 || *counter > count) return TB_OUT_OF_RANGE;
  const bool first = *counter == 1;
  if (first) *counter = 2;
  *finished = 0;
  if (prefix.IsEmpty()) return ExportWholeBase(*this, first, list, finished);
  int position = 0;
  if (first) {
    const CString filter = BuildObjectFilter(prefix, kObjectAndSubObjects, moduleNumber, 0, false);
    xbase::TagSelect(m_commentTable, m_tagRepCmt);
    position = OpenRelation(*this, filter, nullptr);
    if (position != 0 && position != TB_NO_ROW) return position;
  } else if (m_relation == nullptr) {
    // No export in progress (it ended, or another query took the slot).
    *finished = 1;
    ClearTags(*this);
    return 0;
  }
  return ListRelationBatch(*this, position, kExportEntry, list, finished);
}
