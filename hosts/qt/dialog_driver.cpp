#include "symbase/qt/dialog_driver.h"

#include <QApplication>
#include <QScreen>

#include "drawn_dialog.h"

namespace symbase_qt {

DialogDriver::DialogDriver(QWidget* owner) : owner_(owner), previous_(AfxSetDialogDriver(this)) {}

DialogDriver::~DialogDriver() { AfxSetDialogDriver(previous_); }

void DialogDriver::Run(CDialog& dialog) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
  if (!dialog.RunInitDialog() || dialog.IsDialogEnded()) return;
  DrawnDialog drawn(dialog, owner_, shown_);
  drawn.exec();
  drawn.RethrowPending();
}

void DialogDriver::GetScreenRect(LPRECT lpRect) const {
  const QScreen* screen = nullptr;
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
    screen = owner_ != nullptr ? owner_->screen() : QGuiApplication::primaryScreen();
  }
  if (screen == nullptr) {
    CDialogDriver::GetScreenRect(lpRect);
    return;
  }
  const QRect area = screen->availableGeometry();
  *lpRect = RECT{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

}  // namespace symbase_qt
