// CDialog: opening a template, the modal loop through the installed driver,
// and the driver's entries.

#include <cstdint>

#include "afx/window_state.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {

CDialogDriver* g_driver = nullptr;

LONG MulDivRound(LONG value, LONG numerator, LONG denominator) {
  int64_t product = static_cast<int64_t>(value) * numerator;
  int64_t half = denominator / 2;
  return static_cast<LONG>(product >= 0 ? (product + half) / denominator
                                        : (product - half) / denominator);
}

afx::WindowKind KindOfItem(int nKind) {
  switch (nKind) {
    case AFX_CTL_DEFBUTTON:
      return afx::WindowKind::kDefButton;
    case AFX_CTL_EDIT:
      return afx::WindowKind::kEdit;
    case AFX_CTL_STATIC:
      return afx::WindowKind::kStatic;
    default:
      return afx::WindowKind::kButton;
  }
}

CWnd* NewStandIn(afx::WindowKind kind) {
  return afx::WithFrameworkMemory([kind]() -> CWnd* {
    switch (kind) {
      case afx::WindowKind::kEdit:
        return new CEdit;
      case afx::WindowKind::kStatic:
        return new CStatic;
      default:
        return new CButton;
    }
  });
}

}  // namespace

CDialogDriver::~CDialogDriver() = default;

CDialogDriver* AfxSetDialogDriver(CDialogDriver* pDriver) {
  CDialogDriver* previous = g_driver;
  g_driver = pDriver;
  return previous;
}

CDialogDriver* AfxGetDialogDriver() { return g_driver; }

CDialog::CDialog() : CDialog(0, nullptr) {}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate),
      m_pParentWnd(pParentWnd),
      m_pTemplate(nullptr),
      m_baseUnits(AfxGetDialogBaseUnits(nullptr, 8)),
      m_nModalResult(-1),
      m_bEnded(FALSE),
      m_bInitDone(FALSE) {}

CDialog::~CDialog() { CloseDialogWindow(); }

INT_PTR CDialog::DoModal() {
  CDialogDriver* driver = AfxGetDialogDriver();
  if (driver == nullptr || m_hWnd != nullptr) return -1;
  m_nModalResult = -1;
  m_bEnded = FALSE;
  m_bInitDone = FALSE;
  // The window goes whatever happens, a failure half-way through opening or an
  // exception from the driver included.
  struct Closer {
    CDialog* dialog;
    ~Closer() { dialog->CloseDialogWindow(); }
  } closer{this};
  if (!OpenFromTemplate()) return -1;
  driver->Run(*this);
  if (!m_bEnded) {
    // Left open by the driver: closed as by the close box.
    SendCommand(IDCANCEL, BN_CLICKED);
    if (!m_bEnded) EndDialog(IDCANCEL);
  }
  return m_nModalResult;
}

BOOL CDialog::OpenFromTemplate() {
  const AFX_DLGTEMPLATE* tpl = AfxFindDialogTemplate(m_nIDTemplate);
  if (tpl == nullptr) return FALSE;
  m_pTemplate = tpl;
  m_baseUnits = AfxGetDialogBaseUnits(tpl->lpszFontName, tpl->wPointSize);
  HWND parent = m_pParentWnd != nullptr && afx::IsLiveWindow(m_pParentWnd->m_hWnd)
                    ? m_pParentWnd->m_hWnd
                    : nullptr;
  CRect frame(tpl->x, tpl->y, tpl->x + tpl->cx, tpl->y + tpl->cy);
  MapDialogRect(&frame);
  if (parent != nullptr) frame.OffsetRect(parent->rect.left, parent->rect.top);
  HWND dialog = afx::NewWindow(afx::WindowKind::kDialog, tpl->lpszCaption, tpl->dwStyle, 0, frame,
                               parent, this);
  for (int i = 0; tpl->pItems != nullptr && i < tpl->nItems; ++i) {
    const AFX_DLGITEM& item = tpl->pItems[i];
    CRect box(item.x, item.y, item.x + item.cx, item.y + item.cy);
    MapDialogRect(&box);
    box.OffsetRect(dialog->rect.left, dialog->rect.top);
    afx::WindowKind kind = KindOfItem(item.nKind);
    HWND control = afx::NewWindow(kind, item.lpszText, item.dwStyle | WS_CHILD | WS_VISIBLE,
                                  item.nID, box, dialog, nullptr);
    control->standIn.reset(NewStandIn(kind));
    afx::Attach(control->standIn.get(), control);
  }
  if ((tpl->dwStyle & DS_CENTER) != 0) CenterWindow();
  return TRUE;
}

void CDialog::CloseDialogWindow() {
  if (m_hWnd != nullptr) DestroyWindow();
}

void CDialog::EndDialog(int nResult) {
  if (m_hWnd == nullptr || m_bEnded) return;
  m_nModalResult = nResult;
  m_bEnded = TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  if (m_hWnd == nullptr) return FALSE;
  CDataExchange exchange(this, bSaveAndValidate);
  try {
    DoDataExchange(&exchange);
  } catch (CUserException* e) {
    e->Delete();
    return FALSE;
  }
  return TRUE;
}

void CDialog::MapDialogRect(LPRECT lpRect) const {
  if (lpRect == nullptr) return;
  lpRect->left = MulDivRound(lpRect->left, m_baseUnits.cx, 4);
  lpRect->right = MulDivRound(lpRect->right, m_baseUnits.cx, 4);
  lpRect->top = MulDivRound(lpRect->top, m_baseUnits.cy, 8);
  lpRect->bottom = MulDivRound(lpRect->bottom, m_baseUnits.cy, 8);
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) { return CWnd::PreTranslateMessage(pMsg); }

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::IsDialogOpen() const { return m_hWnd != nullptr; }

BOOL CDialog::IsDialogEnded() const { return m_bEnded; }

BOOL CDialog::RunInitDialog() {
  if (m_hWnd == nullptr || m_bEnded || m_bInitDone) return FALSE;
  m_bInitDone = TRUE;
  OnInitDialog();
  return TRUE;
}

BOOL CDialog::SendCommand(int nID, int nCode) {
  HWND control = afx::FindChild(m_hWnd, static_cast<UINT>(nID));
  return OnCommand(MAKEWPARAM(nID, nCode), reinterpret_cast<LPARAM>(control));
}

BOOL CDialog::PressButton(int nID) {
  if (m_hWnd == nullptr || m_bEnded) return FALSE;
  HWND control = afx::FindChild(m_hWnd, static_cast<UINT>(nID));
  bool standard = nID == IDOK || nID == IDCANCEL;
  if (control == nullptr && !standard) return FALSE;
  if (control != nullptr && (control->style & WS_DISABLED) != 0) return FALSE;
  SendCommand(nID, BN_CLICKED);
  return TRUE;
}

BOOL CDialog::PressKey(UINT nVirtKey) {
  if (m_hWnd == nullptr || m_bEnded) return FALSE;
  MSG msg{m_hWnd, WM_KEYDOWN, nVirtKey, 0, 0, POINT{0, 0}};
  if (PreTranslateMessage(&msg)) return TRUE;
  if (nVirtKey == VK_ESCAPE) return PressButton(IDCANCEL);
  if (nVirtKey != VK_RETURN) return FALSE;
  for (HWND child : m_hWnd->children) {
    if (child->kind == afx::WindowKind::kDefButton) return PressButton(static_cast<int>(child->id));
  }
  return PressButton(IDOK);
}

BOOL CDialog::TypeText(int nID, LPCTSTR lpszText) {
  if (m_hWnd == nullptr || m_bEnded) return FALSE;
  HWND edit = afx::FindChild(m_hWnd, static_cast<UINT>(nID));
  if (edit == nullptr || edit->kind != afx::WindowKind::kEdit ||
      (edit->style & (WS_DISABLED | ES_READONLY)) != 0) {
    return FALSE;
  }
  BOOL all = TRUE;
  for (LPCTSTR p = lpszText == nullptr ? "" : lpszText; *p != '\0' && !m_bEnded; ++p) {
    MSG msg{edit, WM_CHAR, static_cast<unsigned char>(*p), 0, 0, POINT{0, 0}};
    if (PreTranslateMessage(&msg)) continue;
    // The edit may have been destroyed by a handler; look it up again.
    edit = afx::FindChild(m_hWnd, static_cast<UINT>(nID));
    if (edit == nullptr) return FALSE;
    char key[2] = {*p, '\0'};
    bool fits = afx::ReplaceSelection(edit, key);
    if (!fits) all = FALSE;
    SendCommand(nID, fits ? EN_CHANGE : EN_MAXTEXT);
  }
  return all;
}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate),
      m_pDlgWnd(pDlgWnd),
      m_hLastControl(nullptr),
      m_bEditLastControl(FALSE) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND control =
      m_pDlgWnd == nullptr ? nullptr : afx::FindChild(m_pDlgWnd->m_hWnd, static_cast<UINT>(nIDC));
  // A template without the control is a programming error: refused, not ignored.
  if (control == nullptr) AfxThrowNotSupportedException();
  m_hLastControl = control;
  m_bEditLastControl = FALSE;
  return control;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND control = PrepareCtrl(nIDC);
  m_bEditLastControl = control->kind == afx::WindowKind::kEdit;
  return control;
}

void CDataExchange::Fail() { AfxThrowUserException(); }

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND control = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = control->text;
  } else {
    afx::SetText(control, value);
  }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd != nullptr) return;
  rControl.SubclassWindow(pDX->PrepareCtrl(nIDC));
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
  if (pDX->m_bSaveAndValidate) {
    if (value.GetLength() > nChars) pDX->Fail();
    return;
  }
  if (pDX->m_bEditLastControl && afx::IsLiveWindow(pDX->m_hLastControl)) {
    pDX->m_hLastControl->limit = nChars <= 0 ? 0x7FFFFFFEu : static_cast<UINT>(nChars);
  }
}
