#ifndef SYMBASE_APPS_GUI_NEW_OBJECT_DIALOG_H
#define SYMBASE_APPS_GUI_NEW_OBJECT_DIALOG_H

// The form of a new row: address, symbol and comment.

#include <QDialog>

class QLineEdit;

namespace gui {

class NewObjectDialog : public QDialog {
 public:
  explicit NewObjectDialog(QWidget* parent = nullptr);

  QLineEdit* Address() const { return address_; }
  QLineEdit* Symbol() const { return symbol_; }
  QLineEdit* Comment() const { return comment_; }

 private:
  QLineEdit* address_;
  QLineEdit* symbol_;
  QLineEdit* comment_;
};

}  // namespace gui

#endif
