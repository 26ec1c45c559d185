#ifndef SYMBASE_APPS_GUI_OBJECT_MODEL_H
#define SYMBASE_APPS_GUI_OBJECT_MODEL_H

// The table of the editor: address, symbol and comment of each object of the
// current view. The view's addresses come in batches while the event loop
// runs (the first ones at once); the texts of the rows on show are read by
// pages and kept in a bounded cache. Editing a symbol or a comment writes
// the row through the library; a refusal is announced, nothing changes.
// Texts the library cannot read because another program keeps the base busy
// are shown empty, announced once, and read again a few seconds later.

#include <QAbstractTableModel>
#include <vector>

#include "address_list.h"
#include "object_index.h"
#include "record_cache.h"

namespace gui {

class BaseSession;

class ObjectModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kAddress = 0, kSymbol = 1, kComment = 2, kColumnCount = 3 };
  static constexpr int kCachedPages = 40;

  explicit ObjectModel(BaseSession& session, QObject* parent = nullptr);

  // Empties the table and starts loading a view (nothing when no base is open).
  void Load(const ViewOrder& order);
  // Loads the rest of the view at once: the base is free afterwards.
  void FinishLoading();
  bool IsLoading() const { return !loader_.Done(); }
  const ViewOrder& Order() const { return order_; }
  // Forgets every row (the base closed).
  void Clear();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  QByteArray AddressAt(int row) const;
  // The row of an address in the view; -1 when it is not there.
  int RowOf(const QByteArray& address) const;
  // Reads one row again from the base (after a change made elsewhere).
  void RefreshRow(int row);
  // Takes a deleted row out of the view.
  void RemoveRow(int row);
  // Shows the texts of rows drawn without them while the base was in use
  // (after a long call).
  void ShowMissingTexts();
  int CachedRows() const { return cache_.RowCount(); }
  // How long texts are left unread after the base was found busy (3 s).
  void SetBusyRetry(int milliseconds) { busy_retry_ms_ = milliseconds; }

 signals:
  void loadingFinished();
  void loadFailed(const QString& message);
  void editRefused(const QString& message);
  void objectChanged();
  // Another program keeps the base busy: texts are missing for a moment.
  void baseBusy(const QString& message);

 private:
  void LoadStep();
  const ObjectRow* Row(int row) const;
  // Reads the texts of a page; false when the base was kept busy.
  bool ReadPage(int page, std::vector<ObjectRow>* rows) const;
  void WaitForBase() const;

  BaseSession& session_;
  ViewOrder order_;
  IndexLoader loader_;
  AddressList addresses_;
  mutable RecordCache cache_;
  int busy_retry_ms_ = 3000;
  mutable bool stale_ = false;    // rows were shown without their texts while loading
  mutable bool waiting_ = false;  // the base was busy: no texts are read until the retry
  int generation_ = 0;            // a newer Load abandons the steps of an older one
  int first_report_ = 0;          // the library's reports from here on belong to the load
};

}  // namespace gui

#endif
