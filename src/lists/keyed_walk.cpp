// Listing rows in key order with their comments read in step.

#include "lists/keyed_walk.h"

#include "address/object_key.h"
#include "frame/checked_calls.h"

namespace symbase {

int SeekBothTables(CTBData& base, const char* text, int* found) {
  SelectKeyTags(base);
  *found = CheckedTableSeek(base.m_mainTable, text);
  if (!EndsQuietly(*found)) return *found;
  const int comment = CheckedTableSeek(base.m_commentTable, text);
  return EndsQuietly(comment) ? 0 : comment;
}

int KeyedWalk::Start(CString prefix, int bitFlag, int ind1, int ind2, int ind3) {
  BuildObjectKey(prefix, objet_, bitFlag, ind1, ind2, ind3);
  key_ = prefix;
  const int numbers = 1 + (ind2 != -1 ? 1 : 0) + (ind3 != -1 ? 1 : 0);
  storable_ =
      objet_.GetLength() == kObjetWidth && key_.GetLength() == kObjetWidth + numbers * kIndWidth;
  const int result = SeekBothTables(base_, key_, &position_);
  if (result != 0) return result;
  row_.Read(base_);
  return 0;
}

bool KeyedWalk::Passes(const Rule& rule) const {
  if (!storable_ || !row_.KeyBeginsWith(key_, rule.matchLength)) return false;
  return !rule.hasLast || row_.Ind1Number() <= rule.lastInd1;
}

int KeyedWalk::Run(const Rule& rule) {
  // 103 can only come from the seek: the walk then starts on the first row
  // after the key.
  while (listed_ < rule.maximum &&
         (position_ == 0 || (position_ == TB_KEY_NOT_FOUND && !rule.exactStart)) && Passes(rule)) {
    std::unique_ptr<CTBObjetAts> entry = NewEntry(row_);
    entry->m_type = rule.typeIsInd1 ? static_cast<DWORD>(row_.Ind1Number()) : 0;
    entry->m_flag = rule.flagIsBit ? base_.RowSubIndex(row_.objet()) : -1;
    const int comment = TakeCommentInStep(base_, row_, entry.get());
    Append(list_, std::move(entry));
    if (comment != 0) return comment;
    position_ = CheckedTableSkip(base_.m_mainTable, 1);
    row_.Read(base_);
    ++listed_;
  }
  return EndsQuietly(position_) ? 0 : position_;
}

}  // namespace symbase
