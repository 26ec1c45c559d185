// Deleting runs of rows in address-key order, comment rows walked in step.

#include "reconf/row_range.h"

#include <cstring>

#include "address/key_text.h"

namespace symbase {
namespace {

constexpr int kInd2Offset = kObjetWidth + kIndWidth;
constexpr unsigned long kInStep = 9998;
constexpr unsigned long kOutStep = 9999;

// Copies the five key fields side by side. Blanks first: a missing field
// handle, or a field narrower than ours in a foreign file, leaves blanks.
void ReadKey(xbase::Field* const (&fields)[5], RowKey* key) {
  static const int kWidths[5] = {kObjetWidth, kIndWidth, kIndWidth, kIndWidth, kInd4Width};
  std::memset(key->text, ' ', kCommentKeyLength);
  int offset = 0;
  for (int i = 0; i < 5; ++i) {
    char part[kIndWidth + 1];
    const int copied = xbase::FieldCopy(fields[i], part, kWidths[i] + 1);
    if (copied > 0) std::memcpy(key->text + offset, part, static_cast<std::size_t>(copied));
    offset += kWidths[i];
  }
  key->text[kCommentKeyLength] = '\0';
}

bool IsInOutStep(const RowKey& key) {
  char ind2[kIndWidth + 1];
  std::memcpy(ind2, key.text + kInd2Offset, kIndWidth);
  ind2[kIndWidth] = '\0';
  const unsigned long step = LeadingNumber(ind2);
  return step == kInStep || step == kOutStep;
}

// Marks deleted the comment row of a main row whose key is `key` and moves
// the comment table on. The row is normally the current one; otherwise it
// is sought, and a main row without comment row leaves nothing to delete.
int DeleteCommentInStep(CTBData& base, const RowKey& key) {
  RowKey current;
  ReadCommentRowKey(base, &current);
  if (std::memcmp(current.text, key.text, kCommentKeyLength) != 0) {
    const int found = CheckedTableSeek(base.m_commentTable, key.text);
    if (found != 0) return IsPosition(found) ? 0 : found;
  }
  const int deleted = WriteResult(xbase::RecordDelete(base.m_commentTable));
  if (deleted != 0) return deleted;
  const int result = CheckedTableSkip(base.m_commentTable, 1);
  return IsPosition(result) ? 0 : result;
}

}  // namespace

void ReadMainRowKey(CTBData& base, RowKey* key) {
  xbase::Field* const fields[5] = {base.m_fieldObjet, base.m_fieldInd1, base.m_fieldInd2,
                                   base.m_fieldInd3, base.m_fieldInd4};
  ReadKey(fields, key);
}

void ReadCommentRowKey(CTBData& base, RowKey* key) {
  xbase::Field* const fields[5] = {base.m_fieldCmtObjet, base.m_fieldCmtInd1, base.m_fieldCmtInd2,
                                   base.m_fieldCmtInd3, base.m_fieldCmtInd4};
  ReadKey(fields, key);
}

bool MainRowCommented(CTBData& base) {
  char iscmt[kIsCmtWidth + 1] = {};
  xbase::FieldCopy(base.m_fieldIsCmt, iscmt, sizeof iscmt);
  return std::strcmp(iscmt, "O") == 0;
}

int DeleteRowRange(CTBData& base, const RowRange& range) {
  xbase::TagSelect(base.m_mainTable, base.m_tagRepCle);
  xbase::TagSelect(base.m_commentTable, base.m_tagRepCmt);
  int result = CheckedTableSeek(base.m_mainTable, range.key);
  if (!IsPosition(result)) return result;
  const int comment = CheckedTableSeek(base.m_commentTable, range.key);
  if (!IsPosition(comment)) return comment;
  if (range.exactStart && result != 0) return 0;
  // Only the seek can stop after the key; the skips give 0 or 102.
  const std::size_t span = static_cast<std::size_t>(range.span);
  RowKey row;
  while (result == 0 || result == TB_KEY_NOT_FOUND) {
    ReadMainRowKey(base, &row);
    if (std::strncmp(row.text, range.key, span) != 0) break;
    const bool commented = MainRowCommented(base);
    if (!range.keepInOut || !IsInOutStep(row)) {
      const int deleted = WriteResult(xbase::RecordDelete(base.m_mainTable));
      if (deleted != 0) return deleted;
      if (commented) {
        const int step = DeleteCommentInStep(base, row);
        if (step != 0) return step;
      }
    }
    result = CheckedTableSkip(base.m_mainTable, 1);
  }
  return IsPosition(result) ? 0 : result;
}

void SelectRecordOrder(CTBData& base) {
  xbase::TagSelect(base.m_mainTable, nullptr);
  xbase::TagSelect(base.m_commentTable, nullptr);
}

int DeleteCommentRow(CTBData& base, const char* key) {
  const int result = base.DeleteComment(key);
  return result != 0 ? result : WriteResult(base.m_session.error);
}

int ReleaseTables(CTBData& base, int result) {
  const int main = CheckedTableUnlock(base.m_mainTable);
  const int comment = CheckedTableUnlock(base.m_commentTable);
  if (result != 0) return result;
  return main != 0 ? main : comment;
}

int EndRelationWalk(CTBData& base, int result) {
  xbase::TagSelect(base.m_mainTable, nullptr);
  CheckedRelationFree(base.m_relation);
  base.m_relation = nullptr;
  return result;
}

}  // namespace symbase
