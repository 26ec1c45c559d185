#ifndef SYMBASE_APPS_GUI_MAIN_WINDOW_H
#define SYMBASE_APPS_GUI_MAIN_WINDOW_H

// The symbol table editor: one base at a time, its objects in a table that
// can be sorted by address or by symbol and filtered, edited in place, added
// to and deleted from; CSV import (with the library's confirmation dialog for
// each conflict) and export; the library's on-line symbolization dialog on
// the selected address; compaction. The status bar shows the base, its count
// of objects and when it last changed.

#include <QMainWindow>
#include <memory>

#include "base_session.h"
#include "object_model.h"
#include "symbase/qt/dialog_driver.h"

class QLabel;
class QMenu;
class QTableView;

namespace gui {

class FilterBar;
class FrameWindow;
class GuiServices;
struct ImportSummary;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(GuiServices& services, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Each gives "" when done, or the message it showed.
  QString OpenBase(const QString& directory);
  QString CreateBase(const QString& directory);
  void CloseBase();
  ImportSummary ImportFile(const QString& path);
  QString ExportFile(const QString& path);
  QString Compact();
  // The on-line symbolization dialog on the selected row (empty without one);
  // its result (1 stored, 2 cancelled, -1 not opened).
  int Symbolise();
  // Deletes the selected rows; the count deleted.
  int DeleteSelected();
  // Shows the row of an address and selects it; false when the view lacks it.
  bool SelectAddress(const QByteArray& address);

  BaseSession& Session() { return session_; }
  ObjectModel& Model() { return *model_; }
  QTableView* Table() const { return table_; }
  FilterBar* Filter() const { return filter_; }
  symbase_qt::DialogDriver& Driver() { return driver_; }
  QString StatusText() const;

 private:
  QString StartBase(const QString& directory, bool create);
  void BuildMenus();
  void BuildRecentMenu();
  void ApplyView();
  void SortBy(int column);
  void UpdateStatus();
  void Reload(const QByteArray& select);
  void ChooseAndOpen();
  void ChooseAndCreate();
  void ChooseAndImport();
  void ChooseAndExport();
  void AddObject();
  void AskDelete();
  void UpdateActions();
  void Tell(const QString& message, bool warning = true);

  GuiServices& services_;
  BaseSession session_;
  ObjectModel* model_;
  QTableView* table_;
  FilterBar* filter_;
  FrameWindow* frame_;
  symbase_qt::DialogDriver driver_;
  QMenu* recent_ = nullptr;
  QLabel* baseLabel_;
  QLabel* countLabel_;
  QLabel* timeLabel_;
  std::vector<QAction*> baseActions_;
  QAction* deleteAction_ = nullptr;
};

}  // namespace gui

#endif
