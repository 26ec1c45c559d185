#include <gtest/gtest.h>

#include <vector>

#include "support/scripted_dialog_driver.h"
#include "symbase/afxwin.h"

namespace {

TEST(WindowTest, WithoutAWindowMembersAreHarmless) {
  CWnd w;
  CString text("stale");
  w.GetWindowText(text);
  EXPECT_EQ(text, "");
  w.SetWindowText("ignored");
  EXPECT_EQ(w.GetWindowTextLength(), 0);
  EXPECT_FALSE(w.IsWindowEnabled());
  EXPECT_FALSE(w.EnableWindow(TRUE));
  EXPECT_EQ(w.GetDlgItem(1), nullptr);
  EXPECT_EQ(w.GetParent(), nullptr);
  EXPECT_EQ(w.GetParentFrame(), nullptr);
  CRect r(1, 2, 3, 4);
  w.GetWindowRect(&r);
  EXPECT_EQ(r, CRect());
  w.MoveWindow(1, 1, 5, 5);
  w.CenterWindow();
  EXPECT_FALSE(w.DestroyWindow());
  char buffer[4] = "xyz";
  EXPECT_EQ(w.GetWindowText(buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  CEdit edit;
  EXPECT_FALSE(edit.ReplaceSel("x"));
  EXPECT_EQ(edit.GetLimitText(), 0u);
  CToolTipCtrl tips;
  EXPECT_FALSE(tips.AddTool(&edit, "x"));
  EXPECT_EQ(tips.GetToolCount(), 0);
}

TEST(WindowTest, ChildrenFollowTheirParentAndFindTheirFrame) {
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
  EXPECT_EQ(frame.GetDlgItem(5), &view);
  EXPECT_EQ(button.GetParentFrame(), &frame);
  EXPECT_EQ(button.GetParent(), &view);
  EXPECT_EQ(CWnd::FromHandle(button.m_hWnd), &button);

  view.MoveWindow(0, 0, 200, 100);  // the button moves with it
  button.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(101, 52, 141, 66));
  view.SetWindowPos(nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  view.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(150, 110, 350, 210));
  view.GetClientRect(&r);
  EXPECT_EQ(r, CRect(0, 0, 200, 100));
  view.CenterWindow();
  view.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(400, 300, 600, 400));  // centre of the frame
  CRect local(0, 0, 10, 10);
  view.ClientToScreen(&local);
  EXPECT_EQ(local, CRect(400, 300, 410, 310));
  view.ScreenToClient(&local);
  EXPECT_EQ(local, CRect(0, 0, 10, 10));

  HWND gone = button.m_hWnd;
  EXPECT_TRUE(view.DestroyWindow());  // takes the button with it
  EXPECT_EQ(button.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandle(gone), nullptr);
  EXPECT_EQ(frame.GetDlgItem(5), nullptr);
}

TEST(WindowTest, CentringWithoutParentUsesTheDriversScreenAndStaysOnIt) {
  testing_support::ScriptedDialogDriver driver(nullptr);
  driver.set_screen(RECT{0, 0, 800, 600});
  CWnd w;
  ASSERT_TRUE(w.Create(nullptr, "", 0, CRect(0, 0, 200, 100), nullptr, 0));
  w.CenterWindow();
  CRect r;
  w.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(300, 250, 500, 350));
  CWnd owner;
  ASSERT_TRUE(owner.Create(nullptr, "", 0, CRect(700, 500, 800, 600), nullptr, 0));
  w.CenterWindow(&owner);  // would leave the screen: pushed back in
  w.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(600, 500, 800, 600));
}

TEST(WindowTest, StylesVisibilityAndChecks) {
  CButton check;
  ASSERT_TRUE(check.Create("button", "&Tous", WS_CHILD, CRect(0, 0, 10, 10), nullptr, 3));
  EXPECT_FALSE(check.IsWindowVisible());
  EXPECT_FALSE(check.ShowWindow(SW_SHOW));
  EXPECT_TRUE(check.IsWindowVisible());
  EXPECT_TRUE(check.ShowWindow(SW_HIDE));
  EXPECT_FALSE(check.ModifyStyle(0, WS_CHILD));  // nothing changed
  EXPECT_TRUE(check.ModifyStyle(WS_CHILD, WS_TABSTOP));
  EXPECT_EQ(check.GetStyle(), static_cast<DWORD>(WS_TABSTOP));
  EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
  check.SetCheck(BST_CHECKED);
  EXPECT_EQ(check.GetCheck(), BST_CHECKED);
  EXPECT_EQ(check.GetDlgCtrlID(), 3);
}

TEST(WindowTest, AnAttachedObjectReportsUntilItGoes) {
  CWnd owner;
  ASSERT_TRUE(owner.Create(nullptr, "", 0, CRect(0, 0, 100, 100), nullptr, 0));
  CEdit made;
  ASSERT_TRUE(made.Create("EDIT", "abc", WS_CHILD, CRect(0, 0, 50, 10), &owner, 9));
  {
    CEdit view;
    EXPECT_TRUE(view.SubclassWindow(made.m_hWnd));
    EXPECT_FALSE(view.SubclassWindow(made.m_hWnd));  // already attached
    EXPECT_EQ(owner.GetDlgItem(9), &view);
    view.SetWindowText("via view");
  }
  // The view went; the window stays, answered for by its creator.
  EXPECT_EQ(owner.GetDlgItem(9), &made);
  CString text;
  made.GetWindowText(text);
  EXPECT_EQ(text, "via view");
  EXPECT_NE(made.UnsubclassWindow(), nullptr);
  EXPECT_EQ(made.m_hWnd, nullptr);
}

}  // namespace

TEST(WindowTest, ChildWindowsAreWalkedInOrderOfCreation) {
  CFrameWnd frame;
  ASSERT_TRUE(frame.Create(nullptr, "Atelier", 0, CRect(0, 0, 400, 300), nullptr, 0));
  EXPECT_EQ(frame.GetWindow(GW_CHILD), nullptr);
  EXPECT_EQ(frame.GetWindow(GW_HWNDNEXT), nullptr);  // no parent, no sibling
  CStatic label;
  CEdit edit;
  CToolTipCtrl tips;
  ASSERT_TRUE(label.Create("STATIC", "Symbole :", WS_CHILD, CRect(0, 0, 50, 10), &frame, 8));
  ASSERT_TRUE(edit.Create("EDIT", "", WS_CHILD, CRect(60, 0, 160, 12), &frame, 2));
  ASSERT_TRUE(tips.Create(&frame));
  std::vector<CWnd*> walked;
  for (CWnd* w = frame.GetWindow(GW_CHILD); w != nullptr; w = w->GetWindow(GW_HWNDNEXT)) {
    walked.push_back(w);
  }
  EXPECT_EQ(walked, (std::vector<CWnd*>{&label, &edit, &tips}));
  EXPECT_EQ(frame.GetWindow(4), nullptr);  // another command
  edit.DestroyWindow();
  EXPECT_EQ(label.GetWindow(GW_HWNDNEXT), &tips);
  EXPECT_EQ(edit.GetWindow(GW_HWNDNEXT), nullptr);
}
