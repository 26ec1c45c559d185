// Deleting one object a configuration change removed, with the bit rows of
// its word for the word types that have them.

#include "address/key_text.h"
#include "address/object_key.h"
#include "reconf/row_range.h"
#include "symbase/tabis.h"

using namespace symbase;

namespace {

// Word types whose bits are rows of their own (module words, module status
// words, network words).
bool HasBitRows(unsigned short typeCode) {
  return typeCode == 434 || typeCode == 454 || typeCode == 474 || typeCode == 501 ||
         typeCode == 534;
}

// A key part as the field stores it: cut to the width, blanks when absent.
CString StoredPart(const CString& text, int width) { return BlankPadded(text.Left(width), width); }

// Deletes the row of the address (seeking the padded address on
// REPERE_TAG) and, for the word types with bit rows, the bits of the word.
int DeleteObjectAndBits(CTBData& base, CTBObjetAts* object, unsigned short typeCode) {
  const AddressKey key = EncodeRepere(object->m_repere);
  const CString objet = StoredPart(key.objet, kObjetWidth);
  const CString indexes = StoredPart(key.ind1, kIndWidth) + StoredPart(key.ind2, kIndWidth) +
                          StoredPart(key.ind3, kIndWidth);

  object->m_repere = BlankPadded(object->m_repere, kRepereWidth);
  xbase::TagSelect(base.m_mainTable, base.m_tagRepere);
  int result = CheckedTableSeek(base.m_mainTable, object->m_repere);
  if (!IsPosition(result)) return result;
  if (result == 0) {
    const bool commented = MainRowCommented(base);
    result = WriteResult(xbase::RecordDelete(base.m_mainTable));
    if (result != 0) return result;
    if (commented) {
      // The comment is sought by the first four key fields only: the first
      // comment row whose key begins with them goes, whatever its bit index.
      result = DeleteCommentRow(base, objet + indexes);
      if (result != 0) return result;
    }
  }
  if (!HasBitRows(typeCode)) return 0;  // the main table stays on REPERE_TAG

  CString family;
  TypeToPrefix(typeCode, objet.Find("MO") >= 0 ? 1 : 0, 1, family);
  const CString bits = family + indexes;
  result = DeleteRowRange(base, {bits, bits.GetLength(), true, false});
  if (result == 0) SelectRecordOrder(base);
  return result;
}

}  // namespace

int CTBData::ReconfDelObject(CTBObjetAts* object, unsigned short typeCode, int /*ignored*/) {
  if (m_locked == 1) return TB_ALREADY_LOCKED;
  if (object == nullptr) return 0;
  return ReleaseTables(*this, DeleteObjectAndBits(*this, object, typeCode));
}
