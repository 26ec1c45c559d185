// Deleting the symbols and comments of the time limits and errors of steps
// (TMIN, TMAX, ERR of %Xi and of the steps of macro-steps); the steps, their
// activity time T and the IN and OUT steps stay.

#include "reconf/row_range.h"

using namespace symbase;

namespace {

// Step sub-fields other than T (IND2 00000), and sub-fields of macro-step
// steps other than T (IND3 00000) and the steps themselves (IND3 blank).
const char kStepAttributeFilter[] =
    "(OBJET = 'XX' .AND. IND2 <> '00000')"
    " .OR. (OBJET = 'XM' .AND. IND3 <> '00000' .AND. IND3 <> '     ')";

}  // namespace

int CTBData::DelObjetDiagG7() {
  if (m_locked == 1) return TB_ALREADY_LOCKED;
  xbase::TagSelect(m_mainTable, nullptr);
  m_relation = xbase::RelationCreate(m_mainTable);
  CheckedRelationQuerySet(m_relation, kStepAttributeFilter);
  int result = CheckedRelationTop(m_relation);
  RowKey row;
  while (result == 0) {
    const bool commented = MainRowCommented(*this);
    ReadMainRowKey(*this, &row);
    result = WriteResult(xbase::RecordDelete(m_mainTable));
    // A missing comment row stops the deletion with the seek's 102 or 103.
    if (result == 0 && commented) result = DeleteCommentRow(*this, row.text);
    if (result != 0) return ReleaseTables(*this, EndRelationWalk(*this, result));
    result = CheckedRelationSkip(m_relation, 1);
  }
  return ReleaseTables(*this, EndRelationWalk(*this, result == TB_NO_ROW ? 0 : result));
}
