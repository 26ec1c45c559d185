// CWnd: a view onto a window record, with the members hosts call.

#include <algorithm>
#include <cstring>

#include "afx/window_state.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {

afx::WindowKind KindOfClass(LPCTSTR lpszClassName, DWORD dwStyle) {
  if (lpszClassName == nullptr) return afx::WindowKind::kGeneric;
  if (strcasecmp(lpszClassName, "BUTTON") == 0) {
    return (dwStyle & 0x0F) == BS_DEFPUSHBUTTON ? afx::WindowKind::kDefButton
                                                : afx::WindowKind::kButton;
  }
  if (strcasecmp(lpszClassName, "EDIT") == 0) return afx::WindowKind::kEdit;
  if (strcasecmp(lpszClassName, "STATIC") == 0) return afx::WindowKind::kStatic;
  return afx::WindowKind::kGeneric;
}

// The screen position of a point given relative to the parent's client area.
POINT ToScreen(HWND parent, LONG x, LONG y) {
  if (parent == nullptr) return POINT{x, y};
  return POINT{parent->rect.left + x, parent->rect.top + y};
}

}  // namespace

CWnd::CWnd() : m_hWnd(nullptr) {}

CWnd::~CWnd() {
  if (!afx::IsLiveWindow(m_hWnd)) return;
  if (m_hWnd->creator == this) {
    afx::DestroyWindowTree(m_hWnd);
  } else {
    afx::Detach(this);
  }
}

CWnd* CWnd::FromHandle(HWND hWnd) { return afx::IsLiveWindow(hWnd) ? hWnd->object : nullptr; }

void CWnd::AttachNew(HWND hWnd) { afx::Attach(this, hWnd); }

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID) {
  if (m_hWnd != nullptr) return FALSE;
  HWND parent =
      pParentWnd != nullptr && afx::IsLiveWindow(pParentWnd->m_hWnd) ? pParentWnd->m_hWnd : nullptr;
  POINT origin = ToScreen(parent, rect.left, rect.top);
  RECT screen{origin.x, origin.y, origin.x + (rect.right - rect.left),
              origin.y + (rect.bottom - rect.top)};
  afx::NewWindow(KindOfClass(lpszClassName, dwStyle), lpszWindowName, dwStyle, nID, screen, parent,
                 this);
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  if (!afx::IsLiveWindow(m_hWnd)) return FALSE;
  afx::DestroyWindowTree(m_hWnd);
  return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (m_hWnd != nullptr || !afx::IsLiveWindow(hWnd)) return FALSE;
  afx::Attach(this, hWnd);
  return TRUE;
}

HWND CWnd::UnsubclassWindow() {
  HWND window = m_hWnd;
  afx::Detach(this);
  return window;
}

void CWnd::SetWindowText(LPCTSTR lpszString) {
  if (m_hWnd != nullptr) afx::SetText(m_hWnd, lpszString);
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
  if (lpszStringBuf == nullptr || nMaxCount <= 0) return 0;
  int n = m_hWnd == nullptr ? 0 : std::min(m_hWnd->text.GetLength(), nMaxCount - 1);
  if (n > 0) std::memcpy(lpszStringBuf, LPCTSTR(m_hWnd->text), static_cast<size_t>(n));
  lpszStringBuf[n] = '\0';
  return n;
}

void CWnd::GetWindowText(CString& rString) const {
  rString = m_hWnd == nullptr ? "" : LPCTSTR(m_hWnd->text);
}

int CWnd::GetWindowTextLength() const { return m_hWnd == nullptr ? 0 : m_hWnd->text.GetLength(); }

CWnd* CWnd::GetDlgItem(int nID) const {
  HWND child = afx::FindChild(m_hWnd, static_cast<UINT>(nID));
  return child == nullptr ? nullptr : child->object;
}

CWnd* CWnd::GetWindow(UINT nCmd) const {
  if (m_hWnd == nullptr) return nullptr;
  HWND found = nullptr;
  if (nCmd == GW_CHILD && !m_hWnd->children.empty()) {
    found = m_hWnd->children.front();
  } else if (nCmd == GW_HWNDNEXT && m_hWnd->parent != nullptr) {
    const std::vector<HWND>& siblings = m_hWnd->parent->children;
    auto self = std::find(siblings.begin(), siblings.end(), m_hWnd);
    if (self != siblings.end() && self + 1 != siblings.end()) found = *(self + 1);
  }
  return found == nullptr ? nullptr : found->object;
}

int CWnd::GetDlgCtrlID() const { return m_hWnd == nullptr ? 0 : static_cast<int>(m_hWnd->id); }

void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) {
  HWND child = afx::FindChild(m_hWnd, static_cast<UINT>(nID));
  if (child != nullptr) afx::SetText(child, lpszString);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  HWND child = afx::FindChild(m_hWnd, static_cast<UINT>(nID));
  rString = child == nullptr ? "" : LPCTSTR(child->text);
  return rString.GetLength();
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
  if (m_hWnd == nullptr) return FALSE;
  BOOL wasDisabled = (m_hWnd->style & WS_DISABLED) != 0;
  ModifyStyle(bEnable ? WS_DISABLED : 0, bEnable ? 0 : WS_DISABLED);
  return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
  return m_hWnd != nullptr && (m_hWnd->style & WS_DISABLED) == 0;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
  if (m_hWnd == nullptr) return FALSE;
  BOOL wasVisible = (m_hWnd->style & WS_VISIBLE) != 0;
  ModifyStyle(nCmdShow == SW_HIDE ? WS_VISIBLE : 0, nCmdShow == SW_HIDE ? 0 : WS_VISIBLE);
  return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
  return m_hWnd != nullptr && (m_hWnd->style & WS_VISIBLE) != 0;
}

DWORD CWnd::GetStyle() const { return m_hWnd == nullptr ? 0 : m_hWnd->style; }

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT) {
  if (m_hWnd == nullptr) return FALSE;
  DWORD style = (m_hWnd->style & ~dwRemove) | dwAdd;
  if (style == m_hWnd->style) return FALSE;
  m_hWnd->style = style;
  return TRUE;
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
  if (lpRect != nullptr) *lpRect = m_hWnd == nullptr ? CRect() : m_hWnd->rect;
}

void CWnd::GetClientRect(LPRECT lpRect) const {
  if (lpRect == nullptr) return;
  *lpRect = m_hWnd == nullptr ? CRect() : CRect(0, 0, m_hWnd->rect.Width(), m_hWnd->rect.Height());
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
  if (lpRect != nullptr && m_hWnd != nullptr) {
    static_cast<CRect*>(lpRect)->OffsetRect(m_hWnd->rect.left, m_hWnd->rect.top);
  }
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
  if (lpRect != nullptr && m_hWnd != nullptr) {
    static_cast<CRect*>(lpRect)->OffsetRect(-m_hWnd->rect.left, -m_hWnd->rect.top);
  }
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL) {
  SetWindowPos(nullptr, x, y, nWidth, nHeight, SWP_NOZORDER);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
  if (lpRect != nullptr) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
               lpRect->bottom - lpRect->top, bRepaint);
  }
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT nFlags) {
  if (m_hWnd == nullptr) return FALSE;
  const CRect& now = m_hWnd->rect;
  POINT origin =
      (nFlags & SWP_NOMOVE) != 0 ? POINT{now.left, now.top} : ToScreen(m_hWnd->parent, x, y);
  LONG width = (nFlags & SWP_NOSIZE) != 0 ? now.Width() : cx;
  LONG height = (nFlags & SWP_NOSIZE) != 0 ? now.Height() : cy;
  afx::PlaceWindow(m_hWnd, origin.x, origin.y, width, height);
  if ((nFlags & SWP_SHOWWINDOW) != 0) ModifyStyle(0, WS_VISIBLE);
  if ((nFlags & SWP_HIDEWINDOW) != 0) ModifyStyle(WS_VISIBLE, 0);
  return TRUE;
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  if (m_hWnd == nullptr) return;
  CRect screen;
  afx::ScreenRect(&screen);
  CRect around = screen;
  if (pAlternateOwner != nullptr && pAlternateOwner->m_hWnd != nullptr) {
    around = pAlternateOwner->m_hWnd->rect;
  } else if (m_hWnd->parent != nullptr) {
    around = m_hWnd->parent->rect;
  }
  const CRect& now = m_hWnd->rect;
  LONG left = around.left + (around.Width() - now.Width()) / 2;
  LONG top = around.top + (around.Height() - now.Height()) / 2;
  // Moved back inside the screen when centring would push it past an edge; a
  // window larger than the screen keeps its top-left corner on it.
  left = std::max(screen.left, std::min(left, screen.right - now.Width()));
  top = std::max(screen.top, std::min(top, screen.bottom - now.Height()));
  afx::PlaceWindow(m_hWnd, left, top, now.Width(), now.Height());
}

CWnd* CWnd::GetParent() const {
  return m_hWnd == nullptr || m_hWnd->parent == nullptr ? nullptr : m_hWnd->parent->object;
}

CFrameWnd* CWnd::GetParentFrame() const {
  for (CWnd* w = GetParent(); w != nullptr; w = w->GetParent()) {
    if (w->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(w);
  }
  return nullptr;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
  return OnCmdMsg(LOWORD(wParam), static_cast<int>(HIWORD(wParam)));
}
