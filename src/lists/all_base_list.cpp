// Every address of the base in record order, 50 per call.

#include "frame/checked_calls.h"
#include "lists/listed_row.h"
#include "xbase/result.h"

using namespace symbase;

int CTBData::ListRepereAllBaseSymbol(long* record, CObList* list, int* finished) {
  if (m_locked != 0) return 0;
  if (record == nullptr || list == nullptr || finished == nullptr) return xbase::kErrArgument;
  *finished = 0;
  const long count = CheckedTableRecordCount(m_mainTable);
  xbase::TagSelect(m_mainTable, nullptr);
  if (*record <= 0 || *record > count) return TB_OUT_OF_RANGE;
  int position = CheckedTableGo(m_mainTable, *record);
  char repere[kRepereWidth + 1];
  int listed = 0;
  while (listed < kBatchSize && position == 0) {
    // Record order shows deleted rows: they are passed over, not counted.
    if (xbase::RecordIsDeleted(m_mainTable) == 0) {
      repere[0] = '\0';
      xbase::FieldCopy(m_fieldRepere, repere, sizeof repere);
      Append(list, std::make_unique<CTBObjetAts>(repere, "", "", 0, -1));
      ++listed;
    }
    position = CheckedTableSkip(m_mainTable, 1);
  }
  if (position != 0 && position != TB_NO_ROW) return position;
  if (listed < kBatchSize || position != 0) {
    *finished = 1;
    return 0;
  }
  *record = xbase::TableRecordNumber(m_mainTable);
  return 0;
}
