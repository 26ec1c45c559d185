#include <gtest/gtest.h>

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
  CRect r;
  button.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(111, 72, 151, 86));  // parent-relative became screen
  EXPECT_EQ(view.GetDlgItem(7), &button);
  EXPECT_EQ(button.GetParentFrame(), &frame);

  view.MoveWindow(0, 0, 200, 100);  // the button moves with it
  button.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(101, 52, 141, 66));
  CRect local(0, 0, 10, 10);
  view.ScreenToClient(&local);
  EXPECT_EQ(local, CRect(-100, -50, -90, -40));

  HWND gone = button.m_hWnd;
  EXPECT_TRUE(view.DestroyWindow());  // takes the button with it
  EXPECT_EQ(button.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandle(gone), nullptr);
  EXPECT_EQ(frame.GetDlgItem(5), nullptr);
}

}  // namespace
