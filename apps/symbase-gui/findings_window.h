#ifndef SYMBASE_APPS_GUI_FINDINGS_WINDOW_H
#define SYMBASE_APPS_GUI_FINDINGS_WINDOW_H

// What the check found, or what the repair did, in a window of its own that
// stays open beside the editor: the result in words, then one line per
// finding (file, kind, the library's text). After a check with faults a
// button asks for the repair.

#include <QDialog>

#include "integrity.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace gui {

class FindingsWindow : public QDialog {
  Q_OBJECT

 public:
  enum Column { kFile = 0, kKind = 1, kText = 2 };

  explicit FindingsWindow(QWidget* parent = nullptr);

  // Fills the window with a check (`repairable`: the repair button shows)
  // or a repair of the base in `directory`, and brings it to the front.
  void ShowCheck(const QString& directory, const Integrity& check, bool repairable);
  void ShowRepair(const QString& directory, const Integrity& repair);

  QLabel* Verdict() const { return verdict_; }
  QTableWidget* List() const { return list_; }
  QPushButton* RepairButton() const { return repair_; }

 signals:
  void repairAsked();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Fill(const QString& title, const QString& directory, const QString& verdict,
            const Integrity& report);

  QLabel* base_;
  QLabel* verdict_;
  QTableWidget* list_;
  QPushButton* repair_;
  QPushButton* close_;
};

}  // namespace gui

#endif
