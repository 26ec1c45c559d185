#ifndef SYMBASE_APPS_GUI_FILTER_BAR_H
#define SYMBASE_APPS_GUI_FILTER_BAR_H

// The filter above the table: a text, where to look for it (symbols or
// comments) and how (contains, begins with, ends with). The view is asked
// again a moment after the last keystroke.

#include <QTimer>
#include <QWidget>

#include "object_index.h"

class QComboBox;
class QLineEdit;

namespace gui {

class FilterBar : public QWidget {
  Q_OBJECT

 public:
  explicit FilterBar(QWidget* parent = nullptr);

  // The filter part of a view order (its sort left as given).
  ViewOrder Apply(ViewOrder order) const;
  QLineEdit* TextBox() const { return text_; }
  QComboBox* FieldBox() const { return field_; }
  QComboBox* MatchBox() const { return match_; }

 signals:
  void changed();

 private:
  QLineEdit* text_;
  QComboBox* field_;
  QComboBox* match_;
  QTimer pause_;
};

}  // namespace gui

#endif
