#ifndef SYMBASE_HOSTS_QT_DRAWN_DIALOG_H
#define SYMBASE_HOSTS_QT_DRAWN_DIALOG_H

#include <QDialog>
#include <exception>
#include <functional>
#include <vector>

#include "symbase/afxwin.h"

class QLineEdit;

namespace symbase_qt {

// One open framework dialog drawn with Qt: a widget for each of its child
// windows (edits, push buttons, labels) at the window's rectangle, tooltips
// from its tooltip controls. Input goes to the dialog through its driver
// entries; after each entry the widgets are brought in line with the
// windows, and the drawing closes once the dialog has ended.
class DrawnDialog : public QDialog {
 public:
  DrawnDialog(CDialog& dialog, QWidget* owner, std::function<void(QDialog&, CDialog&)> shown);

  // What a handler threw during an entry, thrown again once the loop is over.
  void RethrowPending();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void reject() override;
  // Printable keys typed into an edit go to the dialog as typed text.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A window is found again by its handle: a handler may destroy it.
  struct Control {
    HWND handle;
    QWidget* widget;
  };

  void Build();
  void Place(QWidget* owner);
  QWidget* NewWidget(CWnd* window);
  void ApplyToolTips(CToolTipCtrl* tips);
  // Keys typed into an edit: the edit's selection becomes the window's, then
  // TypeText (the window's limit decides what goes in).
  void OnTyped(HWND handle, QLineEdit* line, const QString& text);
  // Any other change of an edit (deletion, paste, undo): the change, found by
  // comparing its text with the window's, is made again in the window through
  // the selection and TypeText, or ReplaceSel for a deletion.
  void OnEdited(HWND handle, QLineEdit* line);
  HWND HandleOf(const QObject* widget) const;
  // Moves the framework's window to a screen position.
  void MoveFrameworkWindow(const QPoint& screen);
  // Runs one driver entry, keeps what it throws, then follows the dialog.
  void Entry(const std::function<void()>& entry);
  // Brings every widget in line with its window.
  void Refresh();
  QRect ClientRectOf(CWnd* window) const;

  CDialog& dialog_;
  std::function<void(QDialog&, CDialog&)> shown_;
  std::vector<Control> controls_;
  std::exception_ptr pending_;
  bool placing_ = false;
};

}  // namespace symbase_qt

#endif
