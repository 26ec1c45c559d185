// The general search of a text in symbols or comments: the text filter of
// the rows worth looking at, walked over every row of the chosen order, the
// text compared as it is and then in upper case. The searches that
// find_string.cpp makes faster give the same answers.

#include "frame/checked_calls.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"

using namespace symbase;

namespace {

enum Match { kContains = 0, kEndsWith = 1, kBeginsWith = 2 };

bool Matches(const CString& target, const CString& text, int match) {
  switch (match) {
    case kContains:
      return target.Find(text) >= 0;
    case kEndsWith:
      return target.GetLength() >= text.GetLength() && target.Right(text.GetLength()) == text;
    case kBeginsWith:
      return target.Left(text.GetLength()) == text;
    default:
      return false;
  }
}

bool MatchesIgnoringCase(const CString& target, const CString& text, int match) {
  if (Matches(target, text, match)) return true;
  CString upper_target = target;
  CString upper_text = text;
  upper_target.MakeUpper();
  upper_text.MakeUpper();
  return Matches(upper_target, upper_text, match);
}

// The filter of the rows worth looking at: symbols that contain the text in
// some case, or rows with a comment.
CString FilterOf(int field, const CString& text) {
  if (field == 0) {
    CString lower = text;
    CString upper = text;
    lower.MakeLower();
    upper.MakeUpper();
    return "'" + text + "' $ SYMBOLE " + ".OR. '" + lower + "' $ SYMBOLE " + ".OR. '" + upper +
           "' $ UPPER(SYMBOLE) " + ".AND. .NOT. DELETED()";
  }
  if (field == 1) return "(ISCMT = 'O')";
  return "";
}

}  // namespace

int CTBData::FindByWalk(CStringList& list, int symbolOrder, int field, const CString& text,
                        int match) {
  xbase::TagSelect(m_mainTable, symbolOrder != 0 ? m_tagSymbole : m_tagRepCle);
  m_relation = xbase::RelationCreate(m_mainTable);
  CheckedRelationQuerySet(m_relation, FilterOf(field, text));
  if (CheckedRelationTop(m_relation) != 0) {
    xbase::TagSelect(m_mainTable, nullptr);
    CheckedRelationFree(m_relation);
    m_relation = nullptr;
    return TB_NO_MATCH;
  }
  int result = 0;
  while (result == 0) {
    const CString address = FieldText(m_fieldRepere, kRepereWidth);
    CString target;
    if (field == 0) {
      target = FieldText(m_fieldSymbole, kSymboleWidth);
    } else {
      ReadCommentByKey(target, MainRowCommentKey());
    }
    if (MatchesIgnoringCase(target, text, match)) list.AddTail(address);
    result = CheckedRelationSkip(m_relation, 1);
  }
  xbase::TagSelect(m_mainTable, nullptr);
  CheckedRelationFree(m_relation);
  m_relation = nullptr;
  return 0;
}
