#ifndef SYMBASE_APPS_GUI_FRAME_WINDOW_H
#define SYMBASE_APPS_GUI_FRAME_WINDOW_H

// The framework's frame window that stands for the editor's main window: the
// parent the library's dialogs are centred on and notify. It follows the main
// window's place on the screen.

#include <QObject>

#include "symbase/afxwin.h"

class QWidget;

namespace gui {

class FrameWindow : public QObject {
 public:
  explicit FrameWindow(QWidget* window);
  ~FrameWindow() override;

  CFrameWnd* Frame() { return &frame_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Follow();

  QWidget* window_;
  CFrameWnd frame_;
};

}  // namespace gui

#endif
