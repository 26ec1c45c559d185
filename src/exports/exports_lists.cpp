// Exported listings, export and counting: each reads the base. The
// listings that carry their position in their arguments, and the export of
// the whole base, read first without taking it; the export of one kind and
// the symbol listing keep their position in the base and read holding it.

#include "storage/guarded_call.h"
#include "symbase/tabis.h"

using symbase::Access;
using symbase::GuardedListing;
using symbase::GuardedListingWith;
using symbase::GuardedOn;
using symbase::RefusedNull;

int TBListRepere(CTBData* handle, CString prefix, int firstInd1, int lastInd1, unsigned int maximum,
                 CObList* list) {
  if (RefusedNull(512, list)) return 0;
  return GuardedListing(handle, 512, list, [&] {
    return handle->ListRepere(prefix, firstInd1, lastInd1, maximum, list);
  });
}

int TBListRepereModule(CTBData* handle, CString prefix, int ind1, int positionCount,
                       unsigned int firstPosition, unsigned int lastPosition, unsigned int maximum,
                       CObList* list) {
  if (RefusedNull(512, list)) return 0;
  return GuardedListing(handle, 512, list, [&] {
    return handle->ListRepereModule(prefix, ind1, positionCount, firstPosition, lastPosition,
                                    maximum, list);
  });
}

int TBListRepereSousObjet(CTBData* handle, CString prefix, int ind1, unsigned int maximum,
                          CObList* list) {
  if (RefusedNull(513, list)) return 0;
  return GuardedListing(handle, 513, list,
                        [&] { return handle->ListRepereSousObjet(prefix, ind1, maximum, list); });
}

int TBListRepereModuleSousObjet(CTBData* handle, CString prefix, int ind1, int positionCount,
                                int position, unsigned int subEntryCount, CObList* list) {
  if (RefusedNull(513, list)) return 0;
  return GuardedListing(handle, 513, list, [&] {
    return handle->ListRepereModuleSousObjet(prefix, ind1, positionCount, position, subEntryCount,
                                             list);
  });
}

int TBListRepereTroisIndicesSousObjet(CTBData* handle, CString prefix, int ind1, int ind2, int ind3,
                                      unsigned int maximum, CObList* list) {
  if (RefusedNull(514, list)) return 0;
  return GuardedListing(handle, 514, list, [&] {
    return handle->ListRepereTroisIndicesSousObjet(prefix, ind1, ind2, ind3, maximum, list);
  });
}

int TBListRepereByTypeObject(CTBData* handle, CString prefix, int subObject, int* ind1,
                             CObList* list, int* finished) {
  if (RefusedNull(515, ind1, list, finished)) return 0;
  return GuardedListing(
      handle, 515, list,
      [&] { return handle->ListRepereByTypeObject(prefix, subObject, ind1, list, finished); }, ind1,
      finished);
}

int TBListSymbolByTypeObject(CTBData* handle, CString prefix, int subObjectMode, int firstCall,
                             int withSymbol, CObList* list, int* finished, int moduleNumber) {
  if (RefusedNull(516, list, finished)) return 0;
  return GuardedOn(handle, 516, Access::kRead, [&] {
    return handle->ListSymbolByTypeObject(prefix, subObjectMode, firstCall, withSymbol, list,
                                          finished, moduleNumber);
  });
}

int TBListRepereAllBaseSymbol(CTBData* handle, long* record, CObList* list, int* finished) {
  if (RefusedNull(517, record, list, finished)) return 0;
  return GuardedListing(
      handle, 517, list, [&] { return handle->ListRepereAllBaseSymbol(record, list, finished); },
      record, finished);
}

int TBExportSymbol(CTBData* handle, CString prefix, int moduleNumber, long* counter, CObList* list,
                   int* finished) {
  if (RefusedNull(525, counter, list, finished)) return 0;
  const auto run = [&] {
    return handle->ExportSymbol(prefix, moduleNumber, counter, list, finished);
  };
  // A kind's export keeps its place in a relation, read holding the base.
  if (!prefix.IsEmpty()) return GuardedOn(handle, 525, Access::kRead, run);
  // The whole base's export keeps its place in the main table: a second
  // attempt goes back there.
  const xbase::TablePlace place = xbase::TablePlaceOf(handle->m_mainTable);
  return GuardedListingWith(
      handle, 525, list, run, [&] { xbase::TableReturnTo(handle->m_mainTable, place); }, counter,
      finished);
}

int TBNumberObjectByType(CTBData* handle, CString prefix, int moduleNumber, long* count) {
  if (RefusedNull(526, count)) return 0;
  return GuardedOn(handle, 526, Access::kRead,
                   [&] { return handle->NumberObjectByType(prefix, moduleNumber, count); });
}
