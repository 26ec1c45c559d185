// The rows of one object kind in symbol order, 50 per call, over the
// current relation.

#include "frame/checked_calls.h"
#include "lists/relation_batch.h"
#include "xbase/result.h"

using namespace symbase;

int CTBData::ListSymbolByTypeObject(CString prefix, int subObjectMode, int firstCall,
                                    int withSymbol, CObList* list, int* finished,
                                    int moduleNumber) {
  if (m_locked != 0) return 0;
  if (list == nullptr || finished == nullptr) return xbase::kErrArgument;
  *finished = 0;
  int position = 0;
  if (firstCall != 0) {
    const CString filter = BuildObjectFilter(prefix, subObjectMode, moduleNumber, withSymbol, true);
    SelectKeyTags(*this);
    position = OpenRelation(*this, filter, "SYMBOLE");
    if (position != 0 && position != TB_NO_ROW) return position;
  } else if (m_relation == nullptr) {
    // No listing in progress (it ended, or another query took the slot).
    *finished = 1;
    ClearTags(*this);
    return 0;
  }
  return ListRelationBatch(*this, position, {true, subObjectMode != 0}, list, finished);
}
