// Buttons, statics, edits and tooltips.

#include <algorithm>

#include "afx/window_state.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

int CButton::GetCheck() const { return m_hWnd == nullptr ? BST_UNCHECKED : m_hWnd->check; }

void CButton::SetCheck(int nCheck) {
  if (m_hWnd != nullptr) m_hWnd->check = nCheck;
}

void CEdit::SetLimitText(UINT nMax) {
  if (m_hWnd != nullptr) m_hWnd->limit = nMax == 0 ? 0x7FFFFFFEu : nMax;
}

void CEdit::LimitText(int nChars) { SetLimitText(nChars <= 0 ? 0 : static_cast<UINT>(nChars)); }

UINT CEdit::GetLimitText() const { return m_hWnd == nullptr ? 0 : m_hWnd->limit; }

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL) {
  if (m_hWnd == nullptr) return;
  int length = m_hWnd->text.GetLength();
  if (nStartChar == -1) {
    m_hWnd->selStart = m_hWnd->selEnd;
    return;
  }
  if (nEndChar < 0) nEndChar = length;
  int start = std::clamp(nStartChar, 0, length);
  int end = std::clamp(nEndChar, 0, length);
  m_hWnd->selStart = std::min(start, end);
  m_hWnd->selEnd = std::max(start, end);
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const {
  nStartChar = m_hWnd == nullptr ? 0 : m_hWnd->selStart;
  nEndChar = m_hWnd == nullptr ? 0 : m_hWnd->selEnd;
}

BOOL CEdit::ReplaceSel(LPCTSTR lpszNewText, BOOL) {
  return m_hWnd != nullptr && afx::ReplaceSelection(m_hWnd, lpszNewText);
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  if (m_hWnd != nullptr) return FALSE;
  HWND parent = pParentWnd == nullptr ? nullptr : pParentWnd->m_hWnd;
  afx::NewWindow(afx::WindowKind::kToolTip, "", dwStyle, 0, RECT{0, 0, 0, 0}, parent, this);
  return TRUE;
}

void CToolTipCtrl::Activate(BOOL bActivate) {
  if (m_hWnd != nullptr) m_hWnd->active = bActivate != FALSE;
}

BOOL CToolTipCtrl::IsActive() const { return m_hWnd != nullptr && m_hWnd->active; }

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT, UINT_PTR nIDTool) {
  if (m_hWnd == nullptr || pWnd == nullptr || pWnd->m_hWnd == nullptr) return FALSE;
  CString text;
  text.LoadString(nIDText);
  afx::WithFrameworkMemory([&] {
    m_hWnd->tools.push_back(afx::Tool{pWnd->m_hWnd, nIDText, text, nIDTool});
  });
  return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT, UINT_PTR nIDTool) {
  if (m_hWnd == nullptr || pWnd == nullptr || pWnd->m_hWnd == nullptr) return FALSE;
  // A text asked for later from the owner has nothing to keep here.
  LPCTSTR text = lpszText == LPSTR_TEXTCALLBACK ? "" : lpszText;
  afx::WithFrameworkMemory([&] {
    m_hWnd->tools.push_back(afx::Tool{pWnd->m_hWnd, 0, CString(text), nIDTool});
  });
  return TRUE;
}

void CToolTipCtrl::RelayEvent(LPMSG lpMsg) {
  if (m_hWnd != nullptr && lpMsg != nullptr) ++m_hWnd->relayed;
}

int CToolTipCtrl::GetToolCount() const {
  return m_hWnd == nullptr ? 0 : static_cast<int>(m_hWnd->tools.size());
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const {
  str.Empty();
  if (m_hWnd == nullptr || pWnd == nullptr || pWnd->m_hWnd == nullptr) return;
  for (const afx::Tool& tool : m_hWnd->tools) {
    if (tool.window == pWnd->m_hWnd && tool.toolId == nIDTool) {
      str = tool.text;
      return;
    }
  }
}

namespace {

const afx::Tool* ToolAt(HWND tooltip, int nIndex) {
  if (tooltip == nullptr || nIndex < 0 || nIndex >= static_cast<int>(tooltip->tools.size())) {
    return nullptr;
  }
  return &tooltip->tools[static_cast<size_t>(nIndex)];
}

}  // namespace

CWnd* CToolTipCtrl::GetToolWindow(int nIndex) const {
  const afx::Tool* tool = ToolAt(m_hWnd, nIndex);
  return tool == nullptr ? nullptr : CWnd::FromHandle(tool->window);
}

UINT CToolTipCtrl::GetToolTextID(int nIndex) const {
  const afx::Tool* tool = ToolAt(m_hWnd, nIndex);
  return tool == nullptr ? 0 : tool->textId;
}

CString CToolTipCtrl::GetToolText(int nIndex) const {
  const afx::Tool* tool = ToolAt(m_hWnd, nIndex);
  return tool == nullptr ? CString() : tool->text;
}

int CToolTipCtrl::GetRelayedCount() const { return m_hWnd == nullptr ? 0 : m_hWnd->relayed; }
