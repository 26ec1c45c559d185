#ifndef SYMBASE_APPS_GUI_MAIN_WINDOW_H
#define SYMBASE_APPS_GUI_MAIN_WINDOW_H

// The symbol table editor: one base at a time, its objects in a table that
// can be sorted by address or by symbol and filtered, edited in place, added
// to and deleted from; CSV import (with the library's confirmation dialog for
// each conflict) and export; the library's on-line symbolization dialog on
// the selected address; check, repair and compaction of the base (a base
// whose index files cannot be opened is offered the repair at once). The
// status bar shows the base, its count of objects and when it last changed.

#include <QMainWindow>
#include <memory>

#include "base_session.h"
#include "integrity.h"
#include "object_model.h"
#include "symbase/qt/dialog_driver.h"

class QLabel;
class QMenu;
class QTableView;

namespace gui {

class FilterBar;
class FindingsWindow;
class FrameWindow;
class GuiServices;
struct ImportSummary;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(GuiServices& services, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Each gives "" when done, or the message it showed. A base whose files
  // the library cannot open is checked, and offered the repair when that
  // mends it (see OfferRepair).
  QString OpenBase(const QString& directory);
  QString CreateBase(const QString& directory);
  void CloseBase();
  ImportSummary ImportFile(const QString& path);
  QString ExportFile(const QString& path);
  QString Compact();
  // The library's check of the open base, shown in the findings window
  // (a base kept busy elsewhere: a message instead).
  Integrity CheckBase();
  // Closes the base, repairs it, opens it again (the same row selected) and
  // shows what the repair did in the findings window.
  Integrity RepairBase();
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
  // The window of the last check or repair (null before the first).
  FindingsWindow* Findings() const { return findings_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

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
  // After an opening that failed on the base's files: the check names them;
  // faults the repair mends are offered to it at once. Gives "" when the
  // base is open in the end, else the message (*told: already shown).
  QString OfferRepair(const QString& directory, const QString& error, bool* told);
  Integrity RunCheck(const QString& directory);
  Integrity RunRepair(const QString& directory);
  FindingsWindow* ShowFindings();

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
  FindingsWindow* findings_ = nullptr;
};

}  // namespace gui

#endif
