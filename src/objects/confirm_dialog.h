#ifndef SYMBASE_OBJECTS_CONFIRM_DIALOG_H
#define SYMBASE_OBJECTS_CONFIRM_DIALOG_H

#include "symbase/afxwin.h"

// The insertion's question about one conflict: "&Oui", "Oui pour &Tous",
// "&Non", "Non pour Tou&s" or "&Annuler". DoModal returns the id of the
// button pressed (6, 19305, 7, 24511 or 2; 2 also for Escape and the close
// box), or -1 when no dialog driver is installed.
class CTBConfirmDlg : public CDialog {
 public:
  CTBConfirmDlg(const CString& message, CWnd* parent);

 protected:
  BOOL OnInitDialog() override;

  afx_msg void OnYes();
  afx_msg void OnYesToAll();
  afx_msg void OnNo();
  afx_msg void OnNoToAll();

  DECLARE_MESSAGE_MAP()

 private:
  CString m_message;
};

#endif
