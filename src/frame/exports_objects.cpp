// Exported object operations and searches.

#include "frame/guard.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"

using symbase::Guarded;

int TBCreateObject(CTBData* handle, CTBObjetAts* object) {
  return Guarded(505, [&] { return handle->CreateObject(object); });
}

int TBModifyObject(CTBData* handle, CTBObjetAts* object, int mode) {
  return Guarded(506, [&] { return handle->ModifyObject(object, mode); });
}

int TBDelObject(CTBData* handle, CTBObjetAts* object) {
  return Guarded(507, [&] { return handle->DelObject(object); });
}

int TBSearchSymbol(CTBData* handle, CTBObjetAts* object) {
  return Guarded(509, [&] { return handle->SearchSymbol(object); });
}

int TBSearchRepere(CTBData* handle, CTBObjetAts* object) {
  return Guarded(510, [&] { return handle->SearchRepere(object); });
}

int TBSearchSymbolAnalex(CTBData* handle, const char* repere, char* symbole, int size) {
  CTBDataInterface* searches = handle;
  return searches->SearchSymbolAnalex(repere, symbole, size);
}

int TBSearchRepereAnalex(CTBData* handle, char* symbole, char* repere, int size) {
  CTBDataInterface* searches = handle;
  return searches->SearchRepereAnalex(symbole, repere, size);
}

int TBSearchAttrib(CTBData* handle, CTBObjetAts* object, int bySymbol) {
  return Guarded(511, [&] { return handle->SearchAttrib(object, bySymbol); });
}

int TBIsObjectBase(CTBData* handle, int* empty) {
  return Guarded(527, [&] { return handle->IsObjectBase(empty); });
}

int TBFindStringInBase(CTBData* handle, CStringList& list, int symbolOrder, int field,
                       const CString& text, int match) {
  return Guarded(531,
                 [&] { return handle->FindStringInBase(list, symbolOrder, field, text, match); });
}

int TBInsertObject(CTBData* handle, CTBObjetAts* object, int mode) {
  return Guarded(508, [&] { return handle->InsertObject(object, mode); });
}

void TBSetButtonAllPressed(CTBData* handle, int value) {
  Guarded(530, [&] {
    handle->SetButtonAllPressed(value);
    return 0;
  });
}
