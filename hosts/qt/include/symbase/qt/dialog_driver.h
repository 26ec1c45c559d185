#ifndef SYMBASE_QT_DIALOG_DRIVER_H
#define SYMBASE_QT_DIALOG_DRIVER_H

// A dialog driver that draws the framework's dialogs with Qt Widgets. One
// statement installs it for as long as the object lives:
//
//   symbase_qt::DialogDriver driver(&mainWindow);
//
// Each dialog that the library runs modally (the insertion's confirmation,
// the on-line symbolization ...) is then drawn from its template as a modal
// QDialog over the owner widget: the template's font sized to the dialog
// units, labels, push buttons (the default one marked), edits with their
// limits, the caption, and the tooltips the dialog registered. What the
// person does reaches the dialog through its driver entries: typed and
// deleted text through TypeText and the edit's selection, clicks through
// PressButton, Return and Escape through PressKey, the close box as a press
// of IDCANCEL. After each of them the drawing follows the dialog's windows
// (texts, enabled state, position), and it closes when the dialog ends.
// Each control's widget is named "control_<id>" (QObject::objectName).
//
// Placement: a dialog with a parent window is drawn where the framework put
// it, in screen coordinates; one without a parent is centred on the owner
// (on the screen without one), and the framework is told where it went. A
// move of the drawn dialog moves its framework window, so that what the
// dialog saves of its position is where the person left it.
//
// Caveats: Qt's GUI thread only. Without a QApplication, Run leaves the
// dialog, which DoModal then closes as by its close box. A framework
// exception thrown by a handler ends the drawing and is thrown again from
// Run, past DoModal, to the caller.

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "symbase/afxwin.h"
#include "symbase/qt/text.h"

namespace symbase_qt {

class SYMBASE_QT_API DialogDriver : public CDialogDriver {
 public:
  // Installs this driver; the one it replaces comes back when it goes.
  explicit DialogDriver(QWidget* owner = nullptr);
  ~DialogDriver() override;
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  void Run(CDialog& dialog) override;
  // The available area of the owner's screen (the primary screen without an
  // owner); the framework's default without a Qt application.
  void GetScreenRect(LPRECT lpRect) const override;

  void SetOwner(QWidget* owner) { owner_ = owner; }
  QWidget* Owner() const { return owner_; }

  // Called once each drawn dialog is on the screen, from the event loop, with
  // the drawing and the dialog: for hosts that watch dialogs, and for tests.
  using ShownHook = std::function<void(QDialog& drawn, CDialog& dialog)>;
  void SetShownHook(ShownHook hook) { shown_ = std::move(hook); }

 private:
  QPointer<QWidget> owner_;
  ShownHook shown_;
  CDialogDriver* previous_;
};

}  // namespace symbase_qt

#endif
