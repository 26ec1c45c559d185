#include "object_model.h"

#include <QTimer>

#include "base_session.h"
#include "busy_words.h"
#include "object_editor.h"
#include "symbase/qt/text.h"
#include "symbase/results.h"

namespace gui {

namespace {

// Batches of 50 per step of the event loop: about 2,000 rows, a few
// milliseconds, so the window stays responsive while a large base loads.
constexpr int kBatchesPerStep = 40;

}  // namespace

ObjectModel::ObjectModel(BaseSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session), cache_(kCachedPages) {}

void ObjectModel::Clear() {
  beginResetModel();
  ++generation_;
  waiting_ = false;
  stale_ = false;
  loader_.Stop();
  addresses_.Clear();
  cache_.Clear();
  endResetModel();
}

void ObjectModel::Load(const ViewOrder& order) {
  Clear();
  order_ = order;
  if (!session_.IsOpen()) return;
  first_report_ = session_.ReportCount();
  loader_.Start(session_.Handle(), order);
  LoadStep();
}

void ObjectModel::LoadStep() {
  // A step queued before FinishLoading read the rest: the load is over.
  if (loader_.Done()) return;
  std::vector<ObjectRow> rows;
  bool complete = false;
  const bool more = loader_.Next(kBatchesPerStep, &rows, &complete);
  if (!rows.empty()) {
    const int first = addresses_.Size();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    for (std::size_t i = 0; i < rows.size(); i += RecordCache::kPageRows) {
      // Rows that came whole fill the cache while it has room.
      const int page = (first + static_cast<int>(i)) / RecordCache::kPageRows;
      const bool aligned = (first + static_cast<int>(i)) % RecordCache::kPageRows == 0;
      const std::size_t end = std::min(rows.size(), i + RecordCache::kPageRows);
      if (complete && aligned && !cache_.Full() && end - i == RecordCache::kPageRows) {
        cache_.Put(page, std::vector<ObjectRow>(rows.begin() + i, rows.begin() + end));
      }
    }
    for (const ObjectRow& row : rows) addresses_.Append(row.address);
    endInsertRows();
  }
  if (more) {
    const int generation = generation_;
    QTimer::singleShot(0, this, [this, generation] {
      if (generation == generation_) LoadStep();
    });
    return;
  }
  if (loader_.Failure() == TB_LOCKED_BY_OTHER) {
    emit loadFailed(BusyText(
        QStringLiteral("la liste des objets est incomplète (Base › Actualiser la relit)")));
  } else if (loader_.Failure() != 0) {
    emit loadFailed(QStringLiteral("La lecture de la base s'est arrêtée :\n%1")
                        .arg(FailureText(loader_.Failure(), session_.ReportsSince(first_report_))));
  }
  ShowMissingTexts();
  emit loadingFinished();
}

void ObjectModel::FinishLoading() {
  while (!loader_.Done()) LoadStep();
}

int ObjectModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : addresses_.Size();
}

int ObjectModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

const ObjectRow* ObjectModel::Row(int row) const {
  const int page = row / RecordCache::kPageRows;
  std::vector<ObjectRow>* rows = cache_.Find(page);
  if (rows == nullptr) {
    // An export in progress, or a long call, owns the base: the texts come
    // once it is done. So do they after another program kept it busy.
    if (loader_.HoldsBase() || session_.Busy() || waiting_) {
      stale_ = true;
      return nullptr;
    }
    std::vector<ObjectRow> read;
    if (!ReadPage(page, &read)) {
      WaitForBase();
      return nullptr;
    }
    rows = cache_.Put(page, std::move(read));
  }
  const std::size_t at = static_cast<std::size_t>(row % RecordCache::kPageRows);
  return at < rows->size() ? &(*rows)[at] : nullptr;
}

bool ObjectModel::ReadPage(int page, std::vector<ObjectRow>* rows) const {
  const int first = page * RecordCache::kPageRows;
  const int end = std::min(first + RecordCache::kPageRows, rowCount());
  for (int r = first; r < end; ++r) {
    ObjectRow found{addresses_.At(r), {}, {}};
    int result = 0;
    // One wait for a busy base is enough: the rest of the page would wait as long each.
    if (!LookUp(session_, found.address, &found, &result) && result == TB_LOCKED_BY_OTHER) {
      return false;
    }
    rows->push_back(std::move(found));
  }
  return true;
}

void ObjectModel::WaitForBase() const {
  auto* self = const_cast<ObjectModel*>(this);  // drawing reads rows through const members
  waiting_ = true;
  stale_ = true;
  emit self->baseBusy(
      BusyText(QStringLiteral("les textes affichés seront lus dès qu'elle sera libre")));
  const int generation = generation_;
  QTimer::singleShot(busy_retry_ms_, self, [self, generation] {
    if (generation != self->generation_) return;
    self->waiting_ = false;
    self->ShowMissingTexts();
  });
}

void ObjectModel::ShowMissingTexts() {
  if (!stale_ || rowCount() == 0) return;
  stale_ = false;
  emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
}

QVariant ObjectModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return QVariant();
  if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole) {
    return QVariant();
  }
  if (index.column() == kAddress) return symbase_qt::FromCp1252(addresses_.At(index.row()));
  const ObjectRow* row = Row(index.row());
  if (row == nullptr) return QString();
  const QString text =
      symbase_qt::FromCp1252(index.column() == kSymbol ? row->symbol : row->comment);
  if (role == Qt::ToolTipRole && (index.column() != kComment || text.isEmpty())) {
    return QVariant();
  }
  return text;
}

QVariant ObjectModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Vertical) return section + 1;
  switch (section) {
    case kAddress:
      return QStringLiteral("Repère");
    case kSymbol:
      return QStringLiteral("Symbole");
    case kComment:
      return QStringLiteral("Commentaire");
    default:
      return QVariant();
  }
}

Qt::ItemFlags ObjectModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.isValid() && index.column() != kAddress) flags |= Qt::ItemIsEditable;
  return flags;
}

bool ObjectModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || index.column() == kAddress) return false;
  FinishLoading();
  const QByteArray address = addresses_.At(index.row());
  const QString text = value.toString();
  const QString refusal = index.column() == kSymbol ? ModifySymbol(session_, address, text)
                                                    : ModifyComment(session_, address, text);
  if (!refusal.isEmpty()) {
    emit editRefused(refusal);
    return false;
  }
  RefreshRow(index.row());
  emit objectChanged();
  return true;
}

QByteArray ObjectModel::AddressAt(int row) const {
  return row >= 0 && row < rowCount() ? addresses_.At(row) : QByteArray();
}

int ObjectModel::RowOf(const QByteArray& address) const { return addresses_.Find(address); }

void ObjectModel::RefreshRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  cache_.Drop(row / RecordCache::kPageRows);
  emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void ObjectModel::RemoveRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  beginRemoveRows(QModelIndex(), row, row);
  addresses_.Remove(row);
  // Pages from this row on have moved by one.
  cache_.Clear();
  endRemoveRows();
}

}  // namespace gui
