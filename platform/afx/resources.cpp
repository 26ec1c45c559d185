// The resource chain: modules registered by libraries, searched newest first,
// and the extension-library start-up built on it.

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "afx/window_state.h"

namespace {

struct Link {
  HINSTANCE module;
  CDynLinkLibrary* owner;  // null for a plain AfxAddResourceModule
};

struct Chain {
  std::mutex mutex;
  std::vector<Link> links;  // oldest first
};

// Never destroyed: libraries may unregister from their own static destructors.
Chain& TheChain() {
  static auto* chain = new Chain;
  return *chain;
}

void AddLink(HINSTANCE module, CDynLinkLibrary* owner) {
  Chain& chain = TheChain();
  std::lock_guard<std::mutex> lock(chain.mutex);
  afx::WithFrameworkMemory([&] { chain.links.push_back(Link{module, owner}); });
}

// Removes the newest link that matches; false when there is none.
bool RemoveLink(HINSTANCE module, CDynLinkLibrary* owner) {
  Chain& chain = TheChain();
  std::lock_guard<std::mutex> lock(chain.mutex);
  auto& links = chain.links;
  auto hit = std::find_if(links.rbegin(), links.rend(),
                          [&](const Link& l) { return l.module == module && l.owner == owner; });
  if (hit == links.rend()) return false;
  links.erase(std::next(hit).base());
  return true;
}

// The first non-null answer of find over the modules, newest first.
template <class T, class Find>
const T* SearchChain(Find find) {
  Chain& chain = TheChain();
  std::lock_guard<std::mutex> lock(chain.mutex);
  for (auto it = chain.links.rbegin(); it != chain.links.rend(); ++it) {
    if (const T* hit = find(*it->module)) return hit;
  }
  return nullptr;
}

}  // namespace

BOOL AfxAddResourceModule(HINSTANCE hModule) {
  if (hModule == nullptr) return FALSE;
  AddLink(hModule, nullptr);
  return TRUE;
}

BOOL AfxRemoveResourceModule(HINSTANCE hModule) { return RemoveLink(hModule, nullptr); }

LPCTSTR AfxFindStringResource(UINT nID) {
  return SearchChain<char>([nID](const AFX_RESOURCE_MODULE& m) -> LPCTSTR {
    for (int i = 0; m.pStrings != nullptr && i < m.nStrings; ++i) {
      if (m.pStrings[i].nID == nID && m.pStrings[i].lpszText != nullptr) {
        return m.pStrings[i].lpszText;
      }
    }
    return nullptr;
  });
}

const AFX_DLGTEMPLATE* AfxFindDialogTemplate(UINT nID) {
  return SearchChain<AFX_DLGTEMPLATE>([nID](const AFX_RESOURCE_MODULE& m) {
    for (int i = 0; m.pDialogs != nullptr && i < m.nDialogs; ++i) {
      if (m.pDialogs[i].nID == nID) return &m.pDialogs[i];
    }
    return static_cast<const AFX_DLGTEMPLATE*>(nullptr);
  });
}

int AfxLoadString(UINT nID, LPTSTR lpszBuf, UINT nMaxBuf) {
  if (lpszBuf == nullptr || nMaxBuf == 0) return 0;
  LPCTSTR text = AfxFindStringResource(nID);
  size_t n = text == nullptr ? 0 : std::min<size_t>(std::strlen(text), nMaxBuf - 1);
  if (n > 0) std::memcpy(lpszBuf, text, n);
  lpszBuf[n] = '\0';
  return static_cast<int>(n);
}

SIZE AfxGetDialogBaseUnits(LPCTSTR, WORD wPointSize) {
  // Scaled from the classic 8-point dialog font at 96 dpi: 6 x 13 pixels.
  LONG points = wPointSize == 0 ? 8 : wPointSize;
  LONG height = (points * 13 + 4) / 8;
  return SIZE{(height * 6 + 6) / 13, height};
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE hModule) {
  if (state.bInitialized) return TRUE;
  if (hModule == nullptr) return FALSE;
  state.hModule = hModule;
  state.hResource = hModule;
  state.bInitialized = TRUE;
  return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL) {
  if (!state.bInitialized) return;
  // The libraries still linked for this module go with it.
  std::vector<Link> owned;
  {
    Chain& chain = TheChain();
    std::lock_guard<std::mutex> lock(chain.mutex);
    for (const Link& link : chain.links) {
      if (link.owner != nullptr && link.owner->m_hModule == state.hModule) owned.push_back(link);
    }
  }
  for (const Link& link : owned) delete link.owner;
  state.bInitialized = FALSE;
}

IMPLEMENT_DYNAMIC(CDynLinkLibrary, CCmdTarget)

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL)
    : m_hModule(state.hModule), m_hResource(state.hResource) {
  if (m_hResource != nullptr) AddLink(m_hResource, this);
}

CDynLinkLibrary::~CDynLinkLibrary() {
  if (m_hResource != nullptr) RemoveLink(m_hResource, this);
}
