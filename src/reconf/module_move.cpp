// Moving the rows of a module to another place: the module's IND1 in both
// tables and the module part of each address text.

#include <cstdio>
#include <cstring>

#include "address/key_text.h"
#include "address/module_address.h"
#include "address/object_key.h"
#include "reconf/row_range.h"
#include "symbase/host.h"

using namespace symbase;

namespace {

// IND1 of a module: base 32 unless decimal module numbering is in force,
// zero-padded to 5. False when the number does not fit in the field.
bool ModuleIndexText(unsigned int module, CString* text) {
  if (GetAddressingMode() == 1) {
    text->Format("%u", module);
  } else {
    char digits[kIndWidth + 1];
    if (EncodeIndex32(module, digits) != 0) return false;
    *text = digits;
  }
  *text = ZeroPadded(*text, kIndWidth);
  return text->GetLength() == kIndWidth;
}

// Replaces the first `from` in the address text by `to`, within the field's
// width.
void ReplaceModulePart(char (&repere)[kRepereWidth + 1], const CString& from, const CString& to) {
  const char* found = from.IsEmpty() ? nullptr : std::strstr(repere, from);
  if (found == nullptr) return;
  char moved[kRepereWidth + 1];
  std::snprintf(moved, sizeof moved, "%.*s%s%s", static_cast<int>(found - repere), repere,
                static_cast<const char*>(to), found + from.GetLength());
  std::memcpy(repere, moved, sizeof moved);
}

}  // namespace

int CTBData::ReconfMoveModule(UsAts* source, UsAts* target) {
  if (m_locked == 1) return TB_ALREADY_LOCKED;
  if (source == nullptr || target == nullptr) return 0;
  unsigned int from = 0;
  unsigned int to = 0;
  int position = 0;  // only a scan of an address text needs it
  CodeChaineAdrModule(source, &from, &position);
  CodeChaineAdrModule(target, &to, &position);
  CString fromIndex, toIndex;
  // A number beyond the field names no module: nothing is moved.
  if (!ModuleIndexText(from, &fromIndex) || !ModuleIndexText(to, &toIndex)) return 0;
  CString fromText, toText;
  DecodeValeurAdrModule(from, fromText);
  DecodeValeurAdrModule(to, toText);

  xbase::TagSelect(m_mainTable, nullptr);
  xbase::TagSelect(m_commentTable, m_tagRepCmt);
  m_relation = xbase::RelationCreate(m_mainTable);
  // Every input, output and status word of the source module, by its IND1.
  CheckedRelationQuerySet(m_relation,
                          BuildObjectFilter("%ES", 0, static_cast<int>(from), 0, false));
  int result = CheckedRelationTop(m_relation);
  RowKey row;
  char repere[kRepereWidth + 1];
  while (result == 0) {
    const bool commented = MainRowCommented(*this);
    if (commented) {
      ReadMainRowKey(*this, &row);
      result = CheckedTableSeek(m_commentTable, row.text);
      if (result != 0) break;
    }
    // A row and its comment row move together or not at all: the main row
    // takes back its module when the comment row cannot be written.
    result = WriteResult(xbase::FieldAssign(m_fieldInd1, toIndex));
    if (result == 0 && commented) {
      result = WriteResult(xbase::FieldAssign(m_fieldCmtInd1, toIndex));
      if (result != 0) xbase::FieldAssign(m_fieldInd1, fromIndex);
    }
    if (result != 0) break;
    std::memset(repere, 0, sizeof repere);
    xbase::FieldCopy(m_fieldRepere, repere, sizeof repere);
    ReplaceModulePart(repere, fromText, toText);
    xbase::FieldAssign(m_fieldRepere, repere);
    result = CheckedRelationSkip(m_relation, 1);
  }
  // A failure leaves the relation and the tags as they are.
  if (result != TB_NO_ROW) return ReleaseTables(*this, result);
  SelectRecordOrder(*this);
  return ReleaseTables(*this, EndRelationWalk(*this, 0));
}
