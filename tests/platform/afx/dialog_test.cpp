// Windows, the resource chain and dialogs run by a scripted driver.

#include <gtest/gtest.h>

#include <string>

#include "support/scripted_dialog_driver.h"
#include "symbase/afxwin.h"

namespace {

using testing_support::ScriptedDialogDriver;

constexpr UINT kDialogId = 19306;
constexpr int kMessage = 19307, kNoAll = 24511, kSymbol = 1002, kComment = 1003;

// The insertion's confirmation, with a symbol and a comment to enter above.
const AFX_DLGITEM kItems[] = {
    {kMessage, AFX_CTL_STATIC, "", 13, 13, 276, 43, SS_LEFT},
    {IDYES, AFX_CTL_DEFBUTTON, "&Oui", 19, 67, 50, 14, BS_DEFPUSHBUTTON},
    {kNoAll, AFX_CTL_BUTTON, "Non pour Tou&s", 198, 67, 50, 14, 0},
    {IDCANCEL, AFX_CTL_BUTTON, "&Annuler", 256, 67, 50, 14, 0},
    {kSymbol, AFX_CTL_EDIT, "", 43, 0, 77, 12, ES_AUTOHSCROLL | WS_BORDER},
    {kComment, AFX_CTL_EDIT, "", 125, 0, 150, 12, ES_AUTOHSCROLL | WS_BORDER},
    {IDOK, AFX_CTL_BUTTON, "Valider", 280, 0, 38, 12, 0},
};
const AFX_DLGTEMPLATE kDialogs[] = {
    {kDialogId, "Confirmation du remplacement ", "MS Sans Serif", 8, 0, 0, 325, 88,
     DS_MODALFRAME | DS_CENTER | WS_CAPTION | WS_SYSMENU, kItems, 7}};
const AFX_RESOURCE_MODULE kModule = {"dialog test", nullptr, 0, kDialogs, 1};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(AfxAddResourceModule(&kModule)); }
  void TearDown() override { EXPECT_TRUE(AfxRemoveResourceModule(&kModule)); }
};

// Ends with the button pressed; binds, limits and counts its edits.
class CTestDlg : public CDialog {
 public:
  explicit CTestDlg(LPCTSTR message = "") : CDialog(kDialogId), m_message(message) {}

  CEdit m_symbolEdit, m_commentEdit;
  CString m_symbol, m_comment;
  int inits = 0, changes = 0, maxTexts = 0, cancels = 0;

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    ++inits;
    GetDlgItem(kMessage)->SetWindowText(m_message);
    m_symbolEdit.SetLimitText(32);
    m_commentEdit.LimitText(8);
    m_commentEdit.ReplaceSel("prefilled comment");  // cut to the limit
    return TRUE;
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, kSymbol, m_symbolEdit);
    DDX_Control(pDX, kComment, m_commentEdit);
    DDX_Text(pDX, kSymbol, m_symbol);
    DDX_Text(pDX, kComment, m_comment);
  }
  void OnCancel() override {
    ++cancels;
    CDialog::OnCancel();
  }
  afx_msg void OnYes() { EndDialog(IDYES); }
  afx_msg void OnNoAll() { EndDialog(kNoAll); }
  afx_msg void OnSymbolChange() { ++changes; }
  afx_msg void OnSymbolFull() { ++maxTexts; }

 private:
  CString m_message;

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
ON_BN_CLICKED(IDYES, OnYes)
ON_BN_CLICKED(kNoAll, OnNoAll)
ON_EN_CHANGE(kSymbol, OnSymbolChange)
ON_EN_MAXTEXT(kSymbol, OnSymbolFull)
END_MESSAGE_MAP()

// Each row: what the script does, then the dialog's result.
TEST_F(DialogTest, ButtonsAndKeysEndTheDialog) {
  const struct {
    void (*script)(CDialog&);
    INT_PTR result;
  } rows[] = {
      {[](CDialog& d) { d.PressButton(IDCANCEL); }, IDCANCEL},
      {[](CDialog& d) { d.PressKey(VK_ESCAPE); }, IDCANCEL},
      {[](CDialog& d) { d.PressKey(VK_RETURN); }, IDYES},  // the default button
      {[](CDialog& d) { d.PressButton(kNoAll); }, kNoAll},
      {[](CDialog&) {}, IDCANCEL},  // left open
  };
  for (const auto& r : rows) {
    ScriptedDialogDriver driver(r.script);
    CTestDlg dlg("m");
    EXPECT_EQ(dlg.DoModal(), r.result);
    EXPECT_EQ(dlg.inits, 1);
    EXPECT_EQ(dlg.cancels, r.result == IDCANCEL ? 1 : 0);
  }
}

// The template becomes windows in pixels. Typing honours the limit, edits made
// by the program follow theirs, read-only edits and disabled buttons refuse
// input; OK carries the edits to the members.
TEST_F(DialogTest, TemplateEditsButtonsAndDataFollowTheirRules) {
  std::string tooLong(40, 's');
  CString commentShown, shown;
  CRect frame, message;
  ScriptedDialogDriver driver([&](CDialog& d) {
    d.GetWindowRect(&frame);
    d.GetDlgItem(kMessage)->GetWindowText(shown);
    d.GetDlgItem(kMessage)->GetWindowRect(&message);
    auto& dlg = static_cast<CTestDlg&>(d);
    EXPECT_EQ(dlg.GetDlgItem(kSymbol), &dlg.m_symbolEdit);  // attached by DDX_Control
    dlg.m_commentEdit.GetWindowText(commentShown);
    EXPECT_FALSE(d.TypeText(kSymbol, tooLong.c_str()));
    EXPECT_FALSE(d.TypeText(kMessage, "x"));  // not an edit
    auto& edit = dlg.m_commentEdit;
    edit.SetLimitText(10);
    edit.SetWindowText("a text longer than ten");  // not limited
    edit.SetSel(0, -1);
    EXPECT_TRUE(edit.ReplaceSel("Pump"));
    edit.SetSel(4, 4);
    EXPECT_FALSE(edit.ReplaceSel("_123456789"));
    edit.SetSel(8, 2);  // reversed
    EXPECT_TRUE(edit.ReplaceSel(""));
    edit.ModifyStyle(0, ES_READONLY);
    EXPECT_FALSE(d.TypeText(kComment, "x"));
    CWnd* ok = d.GetDlgItem(IDOK);
    EXPECT_FALSE(ok->EnableWindow(FALSE));  // was enabled
    EXPECT_FALSE(d.PressButton(IDOK));
    EXPECT_FALSE(d.PressButton(999));     // no such control
    EXPECT_TRUE(ok->EnableWindow(TRUE));  // was disabled
    EXPECT_TRUE(d.PressButton(IDOK));
    EXPECT_FALSE(d.PressButton(kNoAll));  // already ended
  });
  CTestDlg dlg("Conflit de commentaires : le rep\xE8re %MW10");
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(shown, "Conflit de commentaires : le rep\xE8re %MW10");
  // 8-point font: 6 x 13 pixels per 4 x 8 dialog units. 325 x 88 -> 488 x 143,
  // centred on the 1024 x 768 screen.
  EXPECT_EQ(frame, CRect(268, 312, 268 + 488, 312 + 143));
  // (13, 13, 276, 43) -> (20, 21) and 414 x 70 from the dialog's corner.
  EXPECT_EQ(message, CRect(268 + 20, 312 + 21, 268 + 20 + 414, 312 + 21 + 70));
  EXPECT_EQ(commentShown, "prefille");
  EXPECT_EQ(dlg.m_symbol, CString(std::string(32, 's').c_str()));
  EXPECT_EQ(dlg.m_comment, "Pu45");
  EXPECT_EQ(dlg.changes, 32);
  EXPECT_EQ(dlg.maxTexts, 8);
  EXPECT_EQ(dlg.m_symbolEdit.m_hWnd, nullptr);  // the window is gone, the members detached
}

// Without a driver or a template DoModal returns -1 at once; an exception in
// the driver closes the window, which opens again; a driver runs the
// initialisation once, and the first end counts.
TEST_F(DialogTest, InitRunsOnceWhenOpenAndAnExceptionClosesTheWindow) {
  CTestDlg dlg("m");
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_FALSE(dlg.RunInitDialog());  // not open
  EXPECT_EQ(dlg.inits, 0);
  ScriptedDialogDriver thrower([](CDialog&) { AfxThrowFileException(CFileException::hardIO); });
  try {
    dlg.DoModal();
    ADD_FAILURE() << "no exception";
  } catch (CFileException* e) {
    EXPECT_EQ(e->m_cause, CFileException::hardIO);
    e->Delete();
  }
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.m_symbolEdit.m_hWnd, nullptr);
  ScriptedDialogDriver driver(
      [&](CDialog& d) {
        EXPECT_TRUE(d.RunInitDialog());
        EXPECT_FALSE(d.RunInitDialog());
        d.EndDialog(5);
        d.EndDialog(6);
      },
      false);
  EXPECT_EQ(CDialog(4242).DoModal(), -1);  // no template: the driver is not called
  EXPECT_EQ(dlg.DoModal(), 5);
  EXPECT_EQ(dlg.inits, 2);  // one a run
}

TEST(WindowTest, ChildrenFollowTheirParentControlsKeepWhatTheyAreGiven) {
  CFrameWnd frame;
  ASSERT_TRUE(frame.Create(nullptr, "Atelier", WS_VISIBLE, CRect(100, 50, 900, 650), nullptr, 0));
  EXPECT_FALSE(frame.Create(nullptr, "twice", 0, CRect(), nullptr, 0));
  CWnd view;
  ASSERT_TRUE(view.Create(nullptr, "view", WS_CHILD, CRect(10, 20, 210, 120), &frame, 5));
  CButton button;
  ASSERT_TRUE(button.Create("BUTTON", "OK", WS_CHILD, CRect(1, 2, 41, 16), &view, 7));
  CRect r;
  button.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(111, 72, 151, 86));  // parent-relative became screen
  EXPECT_EQ(view.GetDlgItem(7), &button);
  EXPECT_EQ(button.GetParentFrame(), &frame);
  CButton box, third;  // the view's second child; a third one, destroyed
  ASSERT_TRUE(box.Create("BUTTON", "Forcer", WS_CHILD, CRect(50, 2, 90, 16), &view, 8));
  ASSERT_TRUE(third.Create("BUTTON", "Non", WS_CHILD, CRect(90, 2, 130, 16), &view, 9));
  EXPECT_TRUE(third.DestroyWindow());
  // A box keeps its check, a button without a window reads unchecked; placing
  // a window may show or hide it.
  box.SetCheck(BST_CHECKED);
  EXPECT_EQ(box.GetCheck(), BST_CHECKED);
  EXPECT_EQ(button.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(CButton().GetCheck(), BST_UNCHECKED);
  for (const UINT show : {SWP_SHOWWINDOW, SWP_HIDEWINDOW}) {
    box.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | show);
    EXPECT_EQ((box.GetStyle() & WS_VISIBLE) != 0, show == SWP_SHOWWINDOW);
  }
  EXPECT_EQ(frame.GetWindow(GW_CHILD), &view);
  EXPECT_EQ(view.GetWindow(GW_CHILD), &button);
  EXPECT_EQ(button.GetWindow(GW_HWNDNEXT), &box);
  for (const CWnd* none :
       {box.GetWindow(GW_HWNDNEXT), button.GetWindow(GW_CHILD), view.GetWindow(GW_HWNDNEXT),
        frame.GetWindow(GW_HWNDNEXT), view.GetWindow(3), CWnd().GetWindow(GW_CHILD)}) {
    EXPECT_EQ(none, nullptr);
  }

  view.MoveWindow(0, 0, 200, 100);  // the button moves with it
  button.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(101, 52, 141, 66));

  HWND gone = button.m_hWnd;
  EXPECT_TRUE(view.DestroyWindow());  // takes the button with it
  EXPECT_EQ(button.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandle(gone), nullptr);
  EXPECT_EQ(frame.GetDlgItem(5), nullptr);

  // Tool tips take windows that exist (not the destroyed button), and a text
  // asked for later.
  CToolTipCtrl tips;
  ASSERT_TRUE(tips.Create(&frame));
  EXPECT_FALSE(tips.Create(&frame));
  EXPECT_TRUE(tips.AddTool(&frame, "Force la valeur"));
  EXPECT_TRUE(tips.AddTool(&frame));  // its text asked for when shown
  EXPECT_FALSE(tips.AddTool(nullptr, "x"));
  EXPECT_FALSE(tips.AddTool(&button, "x"));
  EXPECT_FALSE(CToolTipCtrl().AddTool(&frame, "x"));
  EXPECT_FALSE(tips.AddTool(&button, 4242u));
  EXPECT_EQ(tips.GetToolCount(), 2);
  EXPECT_EQ(tips.GetToolText(1), "");
}

const AFX_STRINGRES kOldStrings[] = {
    {1, "old one"}, {2, "old two"}, {3, nullptr}, {4, "%s vaut %d"}};
// The new module counts one string: the entry after it is not its own.
const AFX_STRINGRES kNewStrings[] = {{1, "new one"}, {5, "past the count"}};
const AFX_DLGITEM kSevenItems[] = {{IDOK, AFX_CTL_DEFBUTTON, "OK", 0, 0, 40, 14, 0}};
const AFX_DLGTEMPLATE kSevenDialogs[] = {
    {700, "Seven", "MS Sans Serif", 8, 0, 0, 100, 50, 0, kSevenItems, 1}};
const AFX_RESOURCE_MODULE kOld = {"old", kOldStrings, 4, kSevenDialogs, 1};
const AFX_RESOURCE_MODULE kNew = {"new", kNewStrings, 1, nullptr, 0};
const AFX_RESOURCE_MODULE kDamaged = {"damaged", nullptr, 5, nullptr, -3};

TEST(ResourceChainTest, NewestModuleAnswersFirstExtensionsUntilTerminated) {
  EXPECT_EQ(AfxFindStringResource(1), nullptr);
  ASSERT_TRUE(AfxAddResourceModule(&kOld));
  ASSERT_TRUE(AfxAddResourceModule(&kDamaged));
  ASSERT_TRUE(AfxAddResourceModule(&kNew));
  EXPECT_STREQ(AfxFindStringResource(1), "new one");
  EXPECT_STREQ(AfxFindStringResource(2), "old two");
  EXPECT_EQ(AfxFindStringResource(3), nullptr);  // a null text counts as missing
  EXPECT_EQ(AfxFindStringResource(5), nullptr);
  EXPECT_EQ(AfxFindDialogTemplate(700), &kSevenDialogs[0]);
  EXPECT_EQ(AfxFindDialogTemplate(701), nullptr);
  CString s("stale");
  EXPECT_FALSE(s.LoadString(3));
  EXPECT_STREQ(s, "");
  s.Format(4U, "IND2", 3);
  EXPECT_STREQ(s, "IND2 vaut 3");
  EXPECT_TRUE(AfxRemoveResourceModule(&kNew));
  EXPECT_STREQ(AfxFindStringResource(1), "old one");
  EXPECT_TRUE(AfxRemoveResourceModule(&kDamaged));
  EXPECT_TRUE(AfxRemoveResourceModule(&kOld));
  EXPECT_EQ(AfxFindStringResource(2), nullptr);
  EXPECT_FALSE(AfxAddResourceModule(nullptr));
  EXPECT_FALSE(AfxRemoveResourceModule(nullptr));
  // An extension module links libraries until terminated.
  AFX_EXTENSION_MODULE module = {FALSE, nullptr, nullptr};
  EXPECT_FALSE(AfxInitExtensionModule(module, nullptr));
  ASSERT_TRUE(AfxInitExtensionModule(module, &kNew));
  // Each initialisation links the module once more; the framework owns them.
  new CDynLinkLibrary(module);
  delete new CDynLinkLibrary(module);
  EXPECT_STREQ(AfxFindStringResource(1), "new one");
  AfxTermExtensionModule(module);  // deletes the one still linked
  EXPECT_FALSE(module.bInitialized);
  EXPECT_EQ(AfxFindStringResource(1), nullptr);
  AfxTermExtensionModule(module);  // twice is harmless
}

}  // namespace
