#include <gtest/gtest.h>

#include <vector>

#include "support/scripted_dialog_driver.h"
#include "symbase/afxwin.h"

namespace {

TEST(WindowTest, ChildrenFollowTheirParentAndFindTheirFrame) {
  CFrameWnd frame;
  ASSERT_TRUE(frame.Create(nullptr, "Atelier", WS_VISIBLE, CRect(100, 50, 900, 650), nullptr, 0));
  EXPECT_FALSE(frame.Create(nullptr, "twice", 0, CRect(), nullptr, 0));
  CWnd view;
  ASSERT_TRUE(view.Create(nullptr, "view", WS_CHILD, CRect(10, 20, 210, 120), &frame, 5));
  CButton button;
  ASSERT_TRUE(button.Create("BUTTON", "OK", WS_CHILD, CRect(1, 2, 41, 16), &view, 7));
  CStatic label;
  ASSERT_TRUE(label.Create("STATIC", "Symbole :", WS_CHILD, CRect(0, 0, 50, 10), &frame, 8));
  CRect r;
  button.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(111, 72, 151, 86));  // parent-relative became screen
  EXPECT_EQ(view.GetDlgItem(7), &button);
  EXPECT_EQ(button.GetParentFrame(), &frame);
  EXPECT_EQ(CWnd::FromHandle(button.m_hWnd), &button);
  std::vector<CWnd*> walked;
  for (CWnd* w = frame.GetWindow(GW_CHILD); w != nullptr; w = w->GetWindow(GW_HWNDNEXT)) {
    walked.push_back(w);
  }
  EXPECT_EQ(walked, (std::vector<CWnd*>{&view, &label}));

  view.MoveWindow(0, 0, 200, 100);  // the button moves with it
  button.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(101, 52, 141, 66));
  view.SetWindowPos(nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  view.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(150, 110, 350, 210));
  view.CenterWindow();
  view.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(400, 300, 600, 400));  // centre of the frame
  CRect local(0, 0, 10, 10);
  view.ScreenToClient(&local);
  EXPECT_EQ(local, CRect(-400, -300, -390, -290));

  HWND gone = button.m_hWnd;
  EXPECT_TRUE(view.DestroyWindow());  // takes the button with it
  EXPECT_EQ(button.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandle(gone), nullptr);
  EXPECT_EQ(frame.GetDlgItem(5), nullptr);
  EXPECT_EQ(frame.GetWindow(GW_CHILD), &label);
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

}  // namespace
