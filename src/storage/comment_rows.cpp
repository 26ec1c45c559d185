// Rows of the comment table: a comment of up to 508 characters, split over
// CMT1 and CMT2, under the 22-character key of its main row.

#include <cstring>

#include "frame/checked_calls.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"

using namespace symbase;

void CTBData::WriteComment(const CString& comment) {
  if (comment.GetLength() > kCmtWidth) {
    xbase::FieldAssign(m_fieldCmt1, comment.Left(kCmtWidth));
    xbase::FieldAssign(m_fieldCmt2, comment.Mid(kCmtWidth));
  } else {
    xbase::FieldAssign(m_fieldCmt1, comment);
    xbase::FieldBlank(m_fieldCmt2);
  }
}

void CTBData::WriteCommentRow(const CString& comment, const char* objet, const char* ind1,
                              const char* ind2, const char* ind3, const char* ind4) {
  xbase::RecordBlank(m_commentTable);
  xbase::FieldAssign(m_fieldCmtObjet, objet);
  xbase::FieldAssign(m_fieldCmtInd1, ind1);
  xbase::FieldAssign(m_fieldCmtInd2, ind2);
  xbase::FieldAssign(m_fieldCmtInd3, ind3);
  xbase::FieldAssign(m_fieldCmtInd4, ind4);
  WriteComment(comment);
}

int CTBData::SeekComment(const char* key) {
  xbase::TagSelect(m_commentTable, m_tagRepCmt);
  const int result = CheckedTableSeek(m_commentTable, key);
  if (result == 0) xbase::TagSelect(m_commentTable, nullptr);
  return result;
}

int CTBData::AppendComment(const CString& comment, const char* objet, const char* ind1,
                           const char* ind2, const char* ind3, const char* ind4) {
  int result = CheckedAppendStart(m_commentTable);
  if (result != 0) return result;
  WriteCommentRow(comment, objet, ind1, ind2, ind3, ind4);
  result = CheckedRecordAppend(m_commentTable);
  if (result != 0) return result;
  result = CheckedTableUnlock(m_commentTable);
  if (result != 0) return result;
  MarkModified();
  return 0;
}

int CTBData::UpdateComment(const CString& comment, const char* key) {
  int result = SeekComment(key);
  if (result != 0) return result;
  WriteComment(comment);
  result = CheckedTableUnlock(m_commentTable);
  if (result != 0) return result;
  MarkModified();
  return 0;
}

int CTBData::DeleteComment(const char* key) {
  const int result = SeekComment(key);
  if (result != 0) return result;
  xbase::RecordDelete(m_commentTable);
  MarkModified();
  return 0;
}

int CTBData::RewriteComment(const CString& comment, const char* key, const char* objet,
                            const char* ind1, const char* ind2, const char* ind3,
                            const char* ind4) {
  int result = SeekComment(key);
  if (result != 0) return result;
  WriteCommentRow(comment, objet, ind1, ind2, ind3, ind4);
  result = CheckedTableUnlock(m_commentTable);
  if (result != 0) return result;
  MarkModified();
  return 0;
}

int CTBData::ReadCommentByKey(CString& comment, const char* key) {
  const int result = SeekComment(key);
  if (result != 0) return result;
  ReadComment(comment);
  return 0;
}

int CTBData::TrimRightBlanks(char* buffer, int length) {
  int position = length - 1;
  while (position >= 0 && buffer[position] == ' ') --position;
  buffer[position + 1] = '\0';
  return position + 1;
}
