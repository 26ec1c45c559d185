// Batches of rows taken from the current relation.

#include "lists/relation_batch.h"

#include "frame/checked_calls.h"

namespace symbase {

int ListRelationBatch(CTBData& base, int position, const EntryStyle& style, CObList* list,
                      int* finished) {
  xbase::TagSelect(base.m_commentTable, base.m_tagRepCmt);
  ListedRow row;
  int listed = 0;
  while (listed < kBatchSize && position == 0) {
    row.Read(base);
    std::unique_ptr<CTBObjetAts> entry = NewEntry(row);
    if (style.typeIsInd1) entry->m_type = static_cast<DWORD>(row.Ind1Number());
    if (style.flagIsBit) entry->m_flag = base.RowSubIndex(row.objet());
    const int comment = TakeCommentByKey(base, row, entry.get());
    if (comment != 0) return comment;
    Append(list, std::move(entry));
    position = CheckedRelationSkip(base.m_relation, 1);
    ++listed;
  }
  if (position != 0 && position != TB_NO_ROW) return position;
  if (listed < kBatchSize || position == TB_NO_ROW) {
    *finished = 1;
    ClearTags(base);
    FreeRelation(base);
  }
  return 0;
}

}  // namespace symbase
