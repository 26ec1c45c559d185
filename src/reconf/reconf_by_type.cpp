// Deleting the objects a smaller configuration no longer has: every object
// of a type from a number on, or the steps of a macro-step from a step on.

#include "address/object_key.h"
#include "reconf/row_range.h"

using namespace symbase;

namespace {

// Types whose objects have sub-field rows under their code followed by "X"
// (bits of words, fields of function blocks, attributes of steps).
bool HasSubFieldRows(unsigned short typeCode) {
  switch (typeCode) {
    case 342:
    case 401:
    case 411:
    case 444:
    case 481:
    case 541:
    case 581:
    case 591:
    case 601:
      return true;
    default:
      return false;
  }
}

// Deletes the rows of an object code from a first index on: the plain rows
// (bitFlag 0) or the sub-field rows (bitFlag 1). BuildObjectKey turns the
// address prefix ("%MW") into the seek key ("MW   00010", or "MWX  00010"):
// the walk starts there and goes on while OBJET, its first five characters,
// stays the same.
int DeleteFromNumber(CTBData& base, const CString& prefix, int bitFlag, int number) {
  CString key = prefix;
  CString objet;
  BuildObjectKey(key, objet, bitFlag, number, -1, -1);
  return DeleteRowRange(base, {key, kObjetWidth, false, false});
}

}  // namespace

int CTBData::ReconfByType(unsigned short typeCode, unsigned short number) {
  if (m_locked == 1) return TB_ALREADY_LOCKED;
  CString prefix;
  TypeToPrefix(typeCode, 0, 0, prefix);
  if (prefix.IsEmpty()) return 0;  // no object code, so no row of it
  int result = DeleteFromNumber(*this, prefix, 0, number);
  if (result == 0 && HasSubFieldRows(typeCode)) result = DeleteFromNumber(*this, prefix, 1, number);
  if (result == 0) SelectRecordOrder(*this);
  return ReleaseTables(*this, result);
}

int CTBData::ReconfByMacroEtape(unsigned short typeCode, unsigned short macroStep,
                                unsigned short stepCount) {
  if (m_locked == 1) return TB_ALREADY_LOCKED;
  CString prefix;
  TypeToPrefix(typeCode, 0, 0, prefix);
  if (prefix.IsEmpty()) return 0;
  CString key = prefix;
  CString objet;
  // Macro-steps are counted from 1 by the host and from 0 in the addresses;
  // macro-step 0 gives the IND1 text "000-1", which no row has. The walk
  // stays on the macro-step: OBJET and IND1, the key's first ten characters.
  BuildObjectKey(key, objet, 0, macroStep - 1, stepCount, -1);
  const int result = DeleteRowRange(*this, {key, kObjetWidth + kIndWidth, false, true});
  if (result == 0) SelectRecordOrder(*this);
  return ReleaseTables(*this, result);
}
