// Exported object operations and searches.

#include "storage/guarded_call.h"
#include "symbase/tabis.h"

using symbase::Access;
using symbase::CommitFailure;
using symbase::GuardedLookup;
using symbase::GuardedOn;
using symbase::ReadLightly;
using symbase::RefusedNull;

int TBCreateObject(CTBData* handle, CTBObjetAts* object) {
  if (RefusedNull(505, object)) return 0;
  return GuardedOn(handle, 505, Access::kWrite, [&] { return handle->CreateObject(object); });
}

int TBModifyObject(CTBData* handle, CTBObjetAts* object, int mode) {
  if (RefusedNull(506, object)) return 0;
  return GuardedOn(handle, 506, Access::kWrite, [&] { return handle->ModifyObject(object, mode); });
}

int TBDelObject(CTBData* handle, CTBObjetAts* object) {
  if (RefusedNull(507, object)) return 0;
  return GuardedOn(handle, 507, Access::kWrite, [&] { return handle->DelObject(object); });
}

int TBSearchSymbol(CTBData* handle, CTBObjetAts* object) {
  if (RefusedNull(509, object)) return 0;
  return GuardedLookup(handle, 509, object, [&] { return handle->SearchSymbol(object); });
}

int TBSearchRepere(CTBData* handle, CTBObjetAts* object) {
  if (RefusedNull(510, object)) return 0;
  return GuardedLookup(handle, 510, object, [&] { return handle->SearchRepere(object); });
}

// The two Analex searches are not guarded and return the engine's own
// codes: a base held by another process gives the engine's 50. Their
// outputs are written whole by a second attempt.
namespace {

template <typename Search>
int AnalexSearch(CTBData* handle, Search search) {
  const int result = ReadLightly(*handle, search, [] {});
  return result == TB_LOCKED_BY_OTHER ? xbase::kLocked : result;
}

}  // namespace

int TBSearchSymbolAnalex(CTBData* handle, const char* repere, char* symbole, int size) {
  CTBDataInterface* searches = handle;
  return AnalexSearch(handle, [&] { return searches->SearchSymbolAnalex(repere, symbole, size); });
}

int TBSearchRepereAnalex(CTBData* handle, char* symbole, char* repere, int size) {
  CTBDataInterface* searches = handle;
  return AnalexSearch(handle, [&] { return searches->SearchRepereAnalex(symbole, repere, size); });
}

int TBSearchAttrib(CTBData* handle, CTBObjetAts* object, int bySymbol) {
  if (RefusedNull(511, object)) return 0;
  return GuardedLookup(handle, 511, object, [&] { return handle->SearchAttrib(object, bySymbol); });
}

int TBIsObjectBase(CTBData* handle, int* empty) {
  if (RefusedNull(527, empty)) return 0;
  return symbase::Guarded(527, [&] {
    return ReadLightly(
        *handle, [&] { return handle->IsObjectBase(empty); }, [] {});
  });
}

// The quick searches read first without taking the base; the addresses a
// read that has to be made again added are taken back off the list.
int TBFindStringInBase(CTBData* handle, CStringList& list, int symbolOrder, int field,
                       const CString& text, int match) {
  auto search = [&] { return handle->FindStringInBase(list, symbolOrder, field, text, match); };
  if (!CTBData::FindsQuickly(field, text, match)) {
    return GuardedOn(handle, 531, Access::kRead, search);
  }
  return symbase::Guarded(531, [&] {
    const INT_PTR before = list.GetCount();
    return ReadLightly(*handle, search, [&] {
      while (list.GetCount() > before) list.RemoveTail();
    });
  });
}

// The insertion returns 0 once it has decided, whatever its writes gave: a
// write that failed is known by its report.
int TBInsertObject(CTBData* handle, CTBObjetAts* object, int mode) {
  if (RefusedNull(508, object)) return 0;
  return GuardedOn(
      handle, 508, Access::kWrite, [&] { return handle->InsertObject(object, mode); },
      CommitFailure::kReportedOnly);
}

void TBSetButtonAllPressed(CTBData* handle, int value) {
  symbase::Guarded(530, [&] {
    handle->SetButtonAllPressed(value);
    return 0;
  });
}
