// The positions of one module object (the object itself, its IN and OUT
// entries and its numbered entries) and the sub-entries of one position,
// each looked up by an exact key.

#include <algorithm>

#include "address/object_key.h"
#include "frame/checked_calls.h"
#include "lists/keyed_walk.h"
#include "xbase/result.h"

using namespace symbase;

namespace {

// IND2 of the IN and OUT entries.
constexpr long kInInd2 = 9998;
constexpr long kOutInd2 = 9999;
// The largest number an index field of five digits holds: beyond it no row
// can match, so lookups stop there.
constexpr long long kLargestIndex = 99999;

// IND2 of a numbered position: 9998 for position 1 (tested first), 9999 for
// the last one (count - 1), position - 2 for the others.
long long PositionInd2(long long position, int positionCount) {
  if (position == 1) return kInInd2;
  if (position == static_cast<long long>(positionCount) - 1) return kOutInd2;
  return position - 2;
}

// One exact lookup: the key of (prefix, IND1 [, IND2 [, IND3]]) followed by
// a blank index, cut to the key's length.
class ExactLookup {
 public:
  ExactLookup(CTBData& base, CObList* list) : base_(base), list_(list) {}

  // Seeks both tables; on a hit, and while `room` holds, appends the row's
  // entry with the given type word and its bit number or -1 as flag.
  // 0, or the failing seek's code.
  int Find(const CString& prefix, int ind1, long long ind2, long long ind3, bool room, DWORD type,
           bool flagIsBit) {
    CString key = prefix;
    CString objet;
    BuildObjectKey(key, objet, 0, ind1, static_cast<int>(ind2), static_cast<int>(ind3));
    const int numbers = 1 + (ind2 != -1 ? 1 : 0) + (ind3 != -1 ? 1 : 0);
    if (objet.GetLength() != kObjetWidth || key.GetLength() != kObjetWidth + numbers * kIndWidth) {
      return 0;  // letters or a number no stored key can hold
    }
    key = (key + base_.m_blankInd2).Left(kCommentKeyLength);
    int found = 0;
    const int result = SeekBothTables(base_, key, &found);
    if (result != 0) return result;
    if (found != 0 || !room) return 0;
    row_.Read(base_);
    std::unique_ptr<CTBObjetAts> entry = NewEntry(row_);
    entry->m_type = type;
    entry->m_flag = flagIsBit ? base_.RowSubIndex(row_.objet()) : -1;
    const int comment = TakeCommentInStep(base_, row_, entry.get());
    Append(list_, std::move(entry));
    ++appended_;
    return comment;
  }

  unsigned int appended() const { return appended_; }

 private:
  CTBData& base_;
  CObList* list_;
  ListedRow row_;
  unsigned int appended_ = 0;
};

}  // namespace

int CTBData::ListRepereModule(CString prefix, int ind1, int positionCount,
                              unsigned int firstPosition, unsigned int lastPosition,
                              unsigned int maximum, CObList* list) {
  if (m_locked != 0) return 0;
  if (list == nullptr) return xbase::kErrArgument;
  ExactLookup lookup(*this, list);
  auto look_up = [&](long long position) {
    const long long ind2 = position == 0 ? -1 : PositionInd2(position, positionCount);
    if (ind2 > kLargestIndex) return 0;
    return lookup.Find(prefix, ind1, ind2, -1, lookup.appended() < maximum,
                       static_cast<DWORD>(position), false);
  };
  // Positions are looked up to the last one even once the maximum is
  // reached; past kLargestIndex + 2 only the OUT position can still match.
  const long long first = firstPosition;
  const long long last = lastPosition;
  const long long useful_last = std::min(last, kLargestIndex + 2);
  for (long long position = first; position <= useful_last; ++position) {
    const int result = look_up(position);
    if (result != 0) return result;
  }
  const long long out = static_cast<long long>(positionCount) - 1;
  if (out > useful_last && out >= first && out <= last) {
    const int result = look_up(out);
    if (result != 0) return result;
  }
  ClearTags(*this);
  return 0;
}

int CTBData::ListRepereModuleSousObjet(CString prefix, int ind1, int positionCount, int position,
                                       unsigned int subEntryCount, CObList* list) {
  if (m_locked != 0) return 0;
  if (list == nullptr) return xbase::kErrArgument;
  const long long ind2 = PositionInd2(position, positionCount);
  if (ind2 >= 0 && ind2 <= kLargestIndex) {
    ExactLookup lookup(*this, list);
    const long long count = std::min<long long>(subEntryCount, kLargestIndex + 1);
    for (long long ind3 = 0; ind3 < count; ++ind3) {
      const int result =
          lookup.Find(prefix, ind1, ind2, ind3, true, static_cast<DWORD>(position), true);
      if (result != 0) return result;
    }
  }
  ClearTags(*this);
  return 0;
}
