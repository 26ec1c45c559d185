// The main table's current row read for a listing, and the entries made of it.

#include "lists/listed_row.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "address/key_text.h"
#include "frame/checked_calls.h"
#include "symbase/host.h"

namespace symbase {
namespace {

// Copies a field of `width` characters into out[width + 1]; what the engine
// leaves unwritten, a missing field included, reads as blanks.
void CopyField(xbase::Field* field, char* out, int width) {
  const std::string_view bytes = xbase::FieldBytes(field);
  const std::size_t copied = std::min(bytes.size(), static_cast<std::size_t>(width));
  if (copied > 0) std::memcpy(out, bytes.data(), copied);
  std::memset(out + copied, ' ', static_cast<std::size_t>(width) - copied);
  out[width] = '\0';
}

// The value of up to five base-32 digits ("0".."9", "A".."V"), up to the
// first other character.
int Base32Value(const char* digits) {
  int value = 0;
  for (int i = 0; i < kIndWidth; ++i) {
    const char c = digits[i];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'A' && c <= 'V') {
      digit = c - 'A' + 10;
    } else {
      break;
    }
    value = value * 32 + digit;
  }
  return value;
}

}  // namespace

void ListedRow::Read(CTBData& base) {
  // Each copy ends with a NUL that the next field overwrites.
  CopyField(base.m_fieldObjet, key_, kObjetWidth);
  CopyField(base.m_fieldInd1, key_ + 5, kIndWidth);
  CopyField(base.m_fieldInd2, key_ + 10, kIndWidth);
  CopyField(base.m_fieldInd3, key_ + 15, kIndWidth);
  CopyField(base.m_fieldInd4, key_ + 20, kInd4Width);
  std::memcpy(objet_, key_, kObjetWidth);
  objet_[kObjetWidth] = '\0';
  CopyField(base.m_fieldRepere, repere_, kRepereWidth);
  CopyField(base.m_fieldSymbole, symbole_, kSymboleWidth);
  CopyField(base.m_fieldIsCmt, iscmt_, kIsCmtWidth);
}

bool ListedRow::KeyBeginsWith(const CString& text, int length) const {
  if (length > kCommentKeyLength || length > text.GetLength()) return false;
  return std::memcmp(key_, text.GetString(), static_cast<std::size_t>(length)) == 0;
}

int ListedRow::Ind1Number() const {
  char ind1[kIndWidth + 1];
  std::memcpy(ind1, key_ + kObjetWidth, kIndWidth);
  ind1[kIndWidth] = '\0';
  return static_cast<int>(LeadingNumber(ind1));  // at most 99999
}

int ListedRow::Ind1Resume() const {
  if (IsModuleObject(objet_) && GetAddressingMode() != 1) return Base32Value(key_ + kObjetWidth);
  return Ind1Number();
}

std::unique_ptr<CTBObjetAts> NewEntry(const ListedRow& row) {
  return std::make_unique<CTBObjetAts>(row.repere(), row.symbole(), "", 0, -1);
}

void Append(CObList* list, std::unique_ptr<CTBObjetAts> entry) {
  list->AddTail(entry.get());
  entry.release();  // the list owns it now
}

int TakeCommentInStep(CTBData& base, const ListedRow& row, CTBObjetAts* entry) {
  if (!row.HasComment()) return 0;
  base.ReadComment(entry->m_commentaire);
  const int result = CheckedTableSkip(base.m_commentTable, 1);
  return EndsQuietly(result) ? 0 : result;
}

namespace {

// Whether the comment table's current row has `key`, 22 characters without
// a NUL.
bool CommentRowHasKey(CTBData& base, const char* key) {
  if (std::strlen(key) != kCommentKeyLength) return false;
  xbase::Field* const fields[] = {base.m_fieldCmtObjet, base.m_fieldCmtInd1, base.m_fieldCmtInd2,
                                  base.m_fieldCmtInd3, base.m_fieldCmtInd4};
  const std::size_t widths[] = {kObjetWidth, kIndWidth, kIndWidth, kIndWidth, kInd4Width};
  for (int i = 0; i < 5; ++i) {
    const std::string_view bytes = xbase::FieldBytes(fields[i]);
    if (bytes.size() != widths[i] || std::memcmp(bytes.data(), key, widths[i]) != 0) return false;
    key += widths[i];
  }
  return true;
}

}  // namespace

int TakeCommentFollowing(CTBData& base, const ListedRow& row,
                         char (&previous)[kCommentKeyLength + 1], CTBObjetAts* entry) {
  if (!row.HasComment()) return 0;
  const bool follows = previous[0] != '\0' && std::strcmp(previous, row.key()) != 0 &&
                       CommentRowHasKey(base, row.key());
  if (!follows) {
    const int result = CheckedTableSeek(base.m_commentTable, row.key());
    if (result != 0) return result;
  }
  base.ReadComment(entry->m_commentaire);
  std::memcpy(previous, row.key(), sizeof previous);
  const int result = CheckedTableSkip(base.m_commentTable, 1);
  return EndsQuietly(result) ? 0 : result;
}

int TakeCommentByKey(CTBData& base, const ListedRow& row, CTBObjetAts* entry) {
  if (!row.HasComment()) return 0;
  const int result = CheckedTableSeek(base.m_commentTable, row.key());
  if (result != 0) return result;
  base.ReadComment(entry->m_commentaire);
  return 0;
}

void SelectKeyTags(CTBData& base) {
  xbase::TagSelect(base.m_mainTable, base.m_tagRepCle);
  xbase::TagSelect(base.m_commentTable, base.m_tagRepCmt);
}

void ClearTags(CTBData& base) {
  xbase::TagSelect(base.m_mainTable, nullptr);
  xbase::TagSelect(base.m_commentTable, nullptr);
}

}  // namespace symbase
