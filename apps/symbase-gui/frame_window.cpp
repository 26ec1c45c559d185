#include "frame_window.h"

#include <QEvent>
#include <QWidget>

namespace gui {

FrameWindow::FrameWindow(QWidget* window) : QObject(window), window_(window) {
  const QRect area = window->frameGeometry();
  frame_.Create(
      nullptr, "symbase", WS_VISIBLE,
      CRect(area.left(), area.top(), area.left() + area.width(), area.top() + area.height()),
      nullptr, 0);
  window->installEventFilter(this);
}

FrameWindow::~FrameWindow() { frame_.DestroyWindow(); }

bool FrameWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                             event->type() == QEvent::Show)) {
    Follow();
  }
  return QObject::eventFilter(watched, event);
}

void FrameWindow::Follow() {
  const QRect area = window_->frameGeometry();
  frame_.MoveWindow(area.left(), area.top(), area.width(), area.height());
}

}  // namespace gui
