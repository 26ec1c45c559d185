// How many live rows the base, or one object kind, holds.

#include "frame/checked_calls.h"
#include "frame/report.h"
#include "lists/relation_batch.h"
#include "xbase/result.h"

using namespace symbase;

namespace {

// Rows of one object kind are the address keys that begin with the text of
// its OBJET test: counted from the key index alone. A text that is not such
// a prefix (a quote in it, or longer than OBJET) goes through the filter.
bool CountedByKey(const CString& prefix, const CString& objet) {
  return prefix.IsEmpty() ||
         (prefix.Mid(1) != "ES" && objet.GetLength() <= kObjetWidth && objet.Find('\'') < 0);
}

}  // namespace

int CTBData::NumberObjectByType(CString prefix, int moduleNumber, long* count) {
  if (m_locked != 0) return 0;
  if (count == nullptr) return xbase::kErrArgument;
  *count = 0;
  const CString objet = prefix.IsEmpty() ? CString() : ObjetText(prefix, kObjectAndSubObjects);
  if (CountedByKey(prefix, objet)) {
    // The counting takes the query slot, as the filtered count does.
    FreeRelation(*this);
    xbase::TagSelect(m_mainTable, nullptr);
    const int r = xbase::TagCountPrefix(m_tagRepCle, objet, count);
    if (r < 0) ReportError(14, r, "", kCheckedCallSource, __LINE__);
    // The main table ends past its last row, as a walk would leave it: a
    // whole-base export the count interrupted ends there.
    if (xbase::TableBottom(m_mainTable) == 0) xbase::TableSkip(m_mainTable, 1);
    return 0;
  }
  // A failing move has been reported; the count so far stands.
  xbase::TagSelect(m_mainTable, nullptr);
  const CString filter = BuildObjectFilter(prefix, kObjectAndSubObjects, moduleNumber, 0, false);
  for (int r = OpenRelation(*this, filter, nullptr); r == 0;
       r = CheckedRelationSkip(m_relation, 1)) {
    ++*count;
  }
  xbase::TagSelect(m_mainTable, nullptr);
  FreeRelation(*this);
  return 0;
}
