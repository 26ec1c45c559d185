// Command targets and their message maps.

#include "symbase/afxwin.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void*, AFX_CMDHANDLERINFO*) {
  return DispatchMessageMap(WM_COMMAND, static_cast<UINT>(nCode), nID);
}

BOOL CCmdTarget::DispatchMessageMap(UINT nMessage, UINT nCode, UINT nID) {
  // The most derived map first, so that a class overrides its bases' entries.
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nSig != AfxSig_end; ++e) {
      if (e->nMessage == nMessage && e->nCode == nCode && e->nID <= nID && nID <= e->nLastID) {
        (this->*(e->pfn))();
        return TRUE;
      }
    }
  }
  return FALSE;
}
