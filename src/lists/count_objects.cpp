// How many live rows the base, or one object kind, holds.

#include "frame/checked_calls.h"
#include "lists/relation_batch.h"
#include "xbase/result.h"

using namespace symbase;

int CTBData::NumberObjectByType(CString prefix, int moduleNumber, long* count) {
  if (m_locked != 0) return 0;
  if (count == nullptr) return xbase::kErrArgument;
  *count = 0;
  // A failing move has been reported; the count so far stands.
  if (prefix.IsEmpty()) {
    xbase::TagSelect(m_mainTable, nullptr);
    for (int r = CheckedTableTop(m_mainTable); r == 0; r = CheckedTableSkip(m_mainTable, 1)) {
      if (xbase::RecordIsDeleted(m_mainTable) == 0) ++*count;
    }
    return 0;
  }
  xbase::TagSelect(m_mainTable, nullptr);
  const CString filter = BuildObjectFilter(prefix, kObjectAndSubObjects, moduleNumber, 0, false);
  for (int r = OpenRelation(*this, filter, nullptr); r == 0;
       r = CheckedRelationSkip(m_relation, 1)) {
    ++*count;
  }
  xbase::TagSelect(m_mainTable, nullptr);
  FreeRelation(*this);
  return 0;
}
