// Looking up a symbol by address, an address by symbol, an object's
// attributes, and whether the base holds any object.

#include "address/key_text.h"
#include "frame/checked_calls.h"
#include "storage/base_files.h"
#include "storage/symbol_text.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"

using namespace symbase;

int CTBData::SeekOnMainTag(xbase::Tag* tag, const CString& key) {
  xbase::TagSelect(m_mainTable, tag);
  const int result = CheckedTableSeek(m_mainTable, key);
  xbase::TagSelect(m_mainTable, nullptr);
  return result;
}

int CTBData::SearchSymbol(CTBObjetAts* object) {
  const int result = SeekRepere(object);
  if (result != 0) return result;
  object->m_symbole = FieldText(m_fieldSymbole, kSymboleWidth);
  return object->m_symbole.IsEmpty() ? TB_NO_ROW : 0;
}

int CTBData::SearchRepere(CTBObjetAts* object) {
  PrepareSymbolText(object->m_symbole);
  object->m_symbole = BlankPadded(object->m_symbole, kSymboleWidth);
  const int result = SeekOnMainTag(m_tagSymbole, object->m_symbole);
  if (result != 0) return result;
  object->m_repere = FieldText(m_fieldRepere, kRepereWidth);
  return 0;
}

int CTBData::SearchAttrib(CTBObjetAts* object, int bySymbol) {
  int result;
  if (bySymbol == 0) {
    result = SeekOnMainTag(m_tagRepere, BlankPadded(object->m_repere, kRepereWidth));
    if (result != 0) return result;
    object->m_symbole = FieldText(m_fieldSymbole, kSymboleWidth);
  } else {
    PrepareSymbolText(object->m_symbole);
    result = SeekOnMainTag(m_tagSymbole, BlankPadded(object->m_symbole, kSymboleWidth));
    if (result != 0) return result;
    object->m_repere = FieldText(m_fieldRepere, kRepereWidth);
  }
  // A base-32 IND1 ("0000C") reads as its leading decimal digits only.
  object->m_type = static_cast<DWORD>(LeadingNumber(FieldRaw(m_fieldInd1, kIndWidth)));
  object->m_flag = RowSubIndex(FieldRaw(m_fieldObjet, kObjetWidth));
  if (MainRowHasComment()) return ReadCommentByKey(object->m_commentaire, MainRowCommentKey());
  return 0;
}

int CTBData::IsObjectBase(int* empty) {
  xbase::TagSelect(m_mainTable, m_tagRepCle);
  *empty = CheckedTableTop(m_mainTable) == TB_NO_ROW ? 1 : 0;
  xbase::TagSelect(m_mainTable, nullptr);
  return 0;
}
