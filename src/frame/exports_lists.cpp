// Exported listings, export and counting.

#include "frame/guard.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"

using symbase::Guarded;

int TBListRepere(CTBData* handle, CString prefix, int firstInd1, int lastInd1, unsigned int maximum,
                 CObList* list) {
  return Guarded(512,
                 [&] { return handle->ListRepere(prefix, firstInd1, lastInd1, maximum, list); });
}

int TBListRepereModule(CTBData* handle, CString prefix, int ind1, int positionCount,
                       unsigned int firstPosition, unsigned int lastPosition, unsigned int maximum,
                       CObList* list) {
  return Guarded(512, [&] {
    return handle->ListRepereModule(prefix, ind1, positionCount, firstPosition, lastPosition,
                                    maximum, list);
  });
}

int TBListRepereSousObjet(CTBData* handle, CString prefix, int ind1, unsigned int maximum,
                          CObList* list) {
  return Guarded(513, [&] { return handle->ListRepereSousObjet(prefix, ind1, maximum, list); });
}

int TBListRepereModuleSousObjet(CTBData* handle, CString prefix, int ind1, int positionCount,
                                int position, unsigned int subEntryCount, CObList* list) {
  return Guarded(513, [&] {
    return handle->ListRepereModuleSousObjet(prefix, ind1, positionCount, position, subEntryCount,
                                             list);
  });
}

int TBListRepereTroisIndicesSousObjet(CTBData* handle, CString prefix, int ind1, int ind2, int ind3,
                                      unsigned int maximum, CObList* list) {
  return Guarded(514, [&] {
    return handle->ListRepereTroisIndicesSousObjet(prefix, ind1, ind2, ind3, maximum, list);
  });
}

int TBListRepereByTypeObject(CTBData* handle, CString prefix, int subObject, int* ind1,
                             CObList* list, int* finished) {
  return Guarded(
      515, [&] { return handle->ListRepereByTypeObject(prefix, subObject, ind1, list, finished); });
}

int TBListSymbolByTypeObject(CTBData* handle, CString prefix, int subObjectMode, int firstCall,
                             int withSymbol, CObList* list, int* finished, int moduleNumber) {
  return Guarded(516, [&] {
    return handle->ListSymbolByTypeObject(prefix, subObjectMode, firstCall, withSymbol, list,
                                          finished, moduleNumber);
  });
}

int TBListRepereAllBaseSymbol(CTBData* handle, long* record, CObList* list, int* finished) {
  return Guarded(517, [&] { return handle->ListRepereAllBaseSymbol(record, list, finished); });
}

int TBExportSymbol(CTBData* handle, CString prefix, int moduleNumber, long* counter, CObList* list,
                   int* finished) {
  return Guarded(
      525, [&] { return handle->ExportSymbol(prefix, moduleNumber, counter, list, finished); });
}

int TBNumberObjectByType(CTBData* handle, CString prefix, int moduleNumber, long* count) {
  return Guarded(526, [&] { return handle->NumberObjectByType(prefix, moduleNumber, count); });
}
