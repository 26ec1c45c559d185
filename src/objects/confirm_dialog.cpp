#include "objects/confirm_dialog.h"

#include "resources/resource_ids.h"

using namespace symbase;

BEGIN_MESSAGE_MAP(CTBConfirmDlg, CDialog)
ON_BN_CLICKED(kButtonYes, OnYes)
ON_BN_CLICKED(kButtonYesToAll, OnYesToAll)
ON_BN_CLICKED(kButtonNo, OnNo)
ON_BN_CLICKED(kButtonNoToAll, OnNoToAll)
END_MESSAGE_MAP()

CTBConfirmDlg::CTBConfirmDlg(const CString& message, CWnd* parent)
    : CDialog(kConfirmDialog, parent), m_message(message) {}

BOOL CTBConfirmDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(kConfirmMessage, m_message);
  return TRUE;
}

void CTBConfirmDlg::OnYes() { EndDialog(kButtonYes); }
void CTBConfirmDlg::OnYesToAll() { EndDialog(kButtonYesToAll); }
void CTBConfirmDlg::OnNo() { EndDialog(kButtonNo); }
void CTBConfirmDlg::OnNoToAll() { EndDialog(kButtonNoToAll); }
