// Creating, modifying and deleting single objects.

#include "address/key_text.h"
#include "address/object_key.h"
#include "frame/checked_calls.h"
#include "storage/base_files.h"
#include "storage/symbol_text.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"

using namespace symbase;

namespace {

enum ModifyMode { kSymbolOnly = 0, kCommentOnly = 1, kSymbolAndComment = 2 };

}  // namespace

int CTBData::CheckSymbolFree(CString symbol) {
  if (symbol.IsEmpty() || symbol == m_blankSymbole) return 0;
  xbase::TagSelect(m_mainTable, m_tagSymbole);
  const int result = CheckedTableSeek(m_mainTable, BlankPadded(symbol, kSymboleWidth));
  xbase::TagSelect(m_mainTable, nullptr);
  if (result == 0) return TB_SYMBOL_TAKEN;
  if (result == TB_NO_ROW || result == TB_KEY_NOT_FOUND) return 0;
  return result;
}

int CTBData::ClaimSymbol(CTBObjetAts* object) {
  PrepareSymbolText(object->m_symbole);
  const int result = CheckSymbolFree(object->m_symbole);
  // The caller learns which address carries the symbol.
  if (result != 0) object->m_repere = FieldText(m_fieldRepere, kRepereWidth);
  return result;
}

void CTBData::WriteMainRow(const AddressKey& key, const CString& symbole, const CString& repere) {
  xbase::RecordBlank(m_mainTable);
  xbase::FieldAssign(m_fieldObjet, key.objet);
  xbase::FieldAssign(m_fieldInd1, key.ind1);
  if (!key.ind2.IsEmpty()) xbase::FieldAssign(m_fieldInd2, key.ind2);
  if (!key.ind3.IsEmpty()) xbase::FieldAssign(m_fieldInd3, key.ind3);
  if (!key.ind4.IsEmpty()) xbase::FieldAssign(m_fieldInd4, key.ind4);
  if (!symbole.IsEmpty()) xbase::FieldAssign(m_fieldSymbole, symbole);
  xbase::FieldAssign(m_fieldRepere, repere);
}

int CTBData::AppendCommentOfKey(const CString& comment, const AddressKey& key) {
  xbase::FieldAssign(m_fieldIsCmt, "O");
  return AppendComment(comment, key.objet, key.ind1, key.ind2, key.ind3, key.ind4);
}

int CTBData::SeekRepere(CTBObjetAts* object) {
  object->m_repere = BlankPadded(object->m_repere, kRepereWidth);
  xbase::TagSelect(m_mainTable, m_tagRepere);
  const int result = CheckedTableSeek(m_mainTable, object->m_repere);
  xbase::TagSelect(m_mainTable, nullptr);
  return result;
}

int CTBData::CreateObject(CTBObjetAts* object) {
  const int result = ClaimSymbol(object);
  return result != 0 ? result : AppendObject(object);
}

int CTBData::AppendObject(CTBObjetAts* object) {
  const AddressKey key = EncodeRepere(object->m_repere);
  int result = CheckedAppendStart(m_mainTable);
  if (result != 0) return result;
  WriteMainRow(key, object->m_symbole, object->m_repere);
  if (!object->m_commentaire.IsEmpty() && AppendCommentOfKey(object->m_commentaire, key) != 0) {
    return TB_NOT_DONE;
  }
  result = CheckedRecordAppend(m_mainTable);
  if (result != 0) return result;
  MarkModified();
  return CheckedTableUnlock(m_mainTable);
}

int CTBData::ModifyObject(CTBObjetAts* object, int mode) {
  if (mode == kCommentOnly) object->m_symbole.Empty();
  if (mode == kSymbolOnly) object->m_commentaire.Empty();
  int result = ClaimSymbol(object);
  if (result != 0) return result;
  result = SeekRepere(object);
  if (result != 0) return result;
  if (mode == kSymbolOnly || mode == kSymbolAndComment) {
    xbase::FieldAssign(m_fieldSymbole, object->m_symbole);
  }
  if (mode == kCommentOnly || mode == kSymbolAndComment) {
    result = WriteCommentOfMainRow(object->m_commentaire);
    if (result != 0) return result;
  }
  MarkModified();
  return CheckedTableUnlock(m_mainTable);
}

int CTBData::WriteCommentOfMainRow(const CString& comment) {
  if (MainRowHasComment()) return UpdateComment(comment, MainRowCommentKey());
  if (comment.IsEmpty()) return 0;
  xbase::FieldAssign(m_fieldIsCmt, "O");
  return AppendComment(comment, FieldRaw(m_fieldObjet, kObjetWidth),
                       FieldRaw(m_fieldInd1, kIndWidth), FieldRaw(m_fieldInd2, kIndWidth),
                       FieldRaw(m_fieldInd3, kIndWidth), FieldRaw(m_fieldInd4, kInd4Width));
}

int CTBData::DelObject(CTBObjetAts* object) {
  int result = SeekRepere(object);
  if (result != 0) return result;
  const bool commented = MainRowHasComment();
  const CString key = commented ? MainRowCommentKey() : CString();
  xbase::RecordDelete(m_mainTable);
  if (commented) {
    result = DeleteComment(key);
    if (result != 0) return result;
  }
  MarkModified();
  return 0;
}
