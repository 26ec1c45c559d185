// Listings by key: the rows of one object kind within an IND1 range, the
// bits of one word or of one three-index object, and a whole object kind in
// batches of 50 that resume at an IND1.

#include <climits>

#include "address/object_key.h"
#include "frame/checked_calls.h"
#include "lists/keyed_walk.h"
#include "xbase/result.h"

using namespace symbase;

namespace {

// Runs a walk prepared by the caller to its end, then returns to record
// order on both tables.
int WalkOnce(CTBData& base, KeyedWalk& walk, const KeyedWalk::Rule& rule) {
  const int result = walk.Run(rule);
  if (result != 0) return result;
  ClearTags(base);
  return 0;
}

// True when a batch stopped at its size with rows of its object kind left.
bool IsCutShort(const KeyedWalk& walk) {
  return walk.listed() >= static_cast<unsigned int>(kBatchSize) && walk.position() == 0 &&
         walk.row().KeyBeginsWith(walk.key(), kObjetWidth);
}

}  // namespace

int CTBData::ListRepere(CString prefix, int firstInd1, int lastInd1, unsigned int maximum,
                        CObList* list) {
  if (m_locked != 0) return 0;
  if (list == nullptr) return xbase::kErrArgument;
  KeyedWalk walk(*this, list);
  const int result = walk.Start(prefix, 0, firstInd1, -1, -1);
  if (result != 0) return result;
  KeyedWalk::Rule rule;
  rule.hasLast = true;
  rule.lastInd1 = lastInd1;
  rule.maximum = maximum;
  return WalkOnce(*this, walk, rule);
}

int CTBData::ListRepereSousObjet(CString prefix, int ind1, unsigned int maximum, CObList* list) {
  if (m_locked != 0) return 0;
  if (list == nullptr) return xbase::kErrArgument;
  KeyedWalk walk(*this, list);
  const int result = walk.Start(prefix, 1, ind1, -1, -1);
  if (result != 0) return result;
  KeyedWalk::Rule rule;
  rule.matchLength = kObjetWidth + kIndWidth;
  rule.exactStart = true;
  rule.maximum = maximum;
  rule.flagIsBit = true;
  return WalkOnce(*this, walk, rule);
}

int CTBData::ListRepereTroisIndicesSousObjet(CString prefix, int ind1, int ind2, int ind3,
                                             unsigned int maximum, CObList* list) {
  if (m_locked != 0) return 0;
  if (list == nullptr) return xbase::kErrArgument;
  KeyedWalk walk(*this, list);
  const int result = walk.Start(prefix, 1, ind1, ind2, ind3);
  if (result != 0) return result;
  KeyedWalk::Rule rule;
  rule.matchLength = kObjetWidth + 3 * kIndWidth;
  rule.exactStart = true;
  rule.maximum = maximum;
  rule.typeIsInd1 = false;
  rule.flagIsBit = true;
  return WalkOnce(*this, walk, rule);
}

int CTBData::ListRepereByTypeObject(CString prefix, int subObject, int* ind1, CObList* list,
                                    int* finished) {
  if (m_locked != 0) return 0;
  if (ind1 == nullptr || list == nullptr || finished == nullptr) return xbase::kErrArgument;
  *finished = 0;
  const int bitFlag = subObject != 0 ? 1 : 0;
  KeyedWalk walk(*this, list);
  int result = walk.Start(prefix, bitFlag, *ind1, -1, -1);
  if (result != 0) return result;
  KeyedWalk::Rule rule;
  rule.maximum = static_cast<unsigned int>(kBatchSize);
  rule.flagIsBit = true;
  result = walk.Run(rule);
  if (result != 0) return result;
  if (IsCutShort(walk) && walk.row().KeyBeginsWith(walk.key(), kObjetWidth + kIndWidth)) {
    // Fifty rows of the very IND1 this call started at, and more of them:
    // resuming there would hand out the same batch for ever, so this batch
    // takes the rest of that IND1.
    rule.matchLength = kObjetWidth + kIndWidth;
    rule.maximum = UINT_MAX;
    result = walk.Run(rule);
    if (result != 0) return result;
  }
  if (IsCutShort(walk)) {
    // The next call seeks this row's IND1 again: rows of an IND1 cut by the
    // batch come again at the start of the next one.
    const int resume = walk.row().Ind1Resume();
    CString next = prefix;
    CString objet;
    BuildObjectKey(next, objet, bitFlag, resume, -1, -1);
    if (next.Compare(walk.key()) > 0) {
      *ind1 = resume;
      return 0;
    }
    // An IND1 that does not read back as a number would send the next call
    // back here: the rest of the object kind goes into this batch.
    rule.matchLength = kObjetWidth;
    rule.maximum = UINT_MAX;
    result = walk.Run(rule);
    if (result != 0) return result;
  }
  *finished = 1;
  ClearTags(*this);
  return 0;
}
