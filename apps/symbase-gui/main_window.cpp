#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolBar>

#include "fields.h"
#include "filter_bar.h"
#include "frame_window.h"
#include "gui_services.h"
#include "new_object_dialog.h"
#include "object_editor.h"
#include "recent_bases.h"
#include "symbase/qt/text.h"
#include "transfer.h"

namespace gui {

namespace {

// A word of no class the on-line dialog knows: it opens with its three
// fields empty, address and symbol to be typed.
constexpr std::int32_t kWordToType = 1;

// Edits of the table's cells hold what the base can keep.
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->setMaxLength(index.column() == ObjectModel::kSymbol ? kMaxSymbol : kMaxComment);
    }
    return editor;
  }
};

QString Plural(long count, const QString& one, const QString& many) {
  return QStringLiteral("%1 %2").arg(count).arg(count > 1 ? many : one);
}

}  // namespace

MainWindow::MainWindow(GuiServices& services, QWidget* parent)
    : QMainWindow(parent),
      services_(services),
      session_(services),
      model_(new ObjectModel(session_, this)),
      table_(new QTableView(this)),
      filter_(new FilterBar(this)),
      frame_(new FrameWindow(this)),
      driver_(this),
      baseLabel_(new QLabel(this)),
      countLabel_(new QLabel(this)),
      timeLabel_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("symbase — éditeur de symboles"));
  table_->setModel(model_);
  table_->setItemDelegate(new CellDelegate(table_));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
  table_->setAlternatingRowColors(true);
  table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->horizontalHeader()->setSortIndicatorShown(true);
  table_->horizontalHeader()->setSortIndicator(ObjectModel::kAddress, Qt::AscendingOrder);
  table_->setColumnWidth(ObjectModel::kAddress, 160);
  table_->setColumnWidth(ObjectModel::kSymbol, 220);
  setCentralWidget(table_);
  auto* bar = addToolBar(QStringLiteral("Filtre"));
  bar->setMovable(false);
  bar->addWidget(filter_);
  statusBar()->addWidget(baseLabel_, 1);
  statusBar()->addPermanentWidget(countLabel_);
  statusBar()->addPermanentWidget(timeLabel_);
  BuildMenus();

  connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this, &MainWindow::SortBy);
  connect(filter_, &FilterBar::changed, this, &MainWindow::ApplyView);
  connect(model_, &ObjectModel::editRefused, this, [this](const QString& m) { Tell(m); });
  connect(model_, &ObjectModel::loadFailed, this, [this](const QString& m) { Tell(m); });
  connect(model_, &ObjectModel::baseBusy, this,
          [this](const QString& m) { statusBar()->showMessage(m, 5000); });
  connect(model_, &ObjectModel::objectChanged, this, &MainWindow::UpdateStatus);
  connect(model_, &ObjectModel::loadingFinished, this, &MainWindow::UpdateStatus);
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &MainWindow::UpdateActions);
  services_.SetOnChange([this] { UpdateStatus(); });
  UpdateStatus();
  UpdateActions();
  resize(960, 600);
}

MainWindow::~MainWindow() {
  services_.SetOnChange(nullptr);
  services_.SetOnSymbolised(nullptr);
  model_->Clear();
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&Fichier"));
  file->addAction(QStringLiteral("&Nouvelle base…"), this, &MainWindow::ChooseAndCreate);
  file->addAction(QStringLiteral("&Ouvrir une base…"), QKeySequence::Open, this,
                  &MainWindow::ChooseAndOpen);
  recent_ = file->addMenu(QStringLiteral("Bases &récentes"));
  connect(recent_, &QMenu::aboutToShow, this, &MainWindow::BuildRecentMenu);
  baseActions_.push_back(
      file->addAction(QStringLiteral("&Fermer la base"), this, &MainWindow::CloseBase));
  file->addSeparator();
  baseActions_.push_back(file->addAction(QStringLiteral("&Importer un fichier CSV…"), this,
                                         &MainWindow::ChooseAndImport));
  baseActions_.push_back(
      file->addAction(QStringLiteral("&Exporter en CSV…"), this, &MainWindow::ChooseAndExport));
  file->addSeparator();
  file->addAction(QStringLiteral("&Quitter"), QKeySequence::Quit, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("É&dition"));
  baseActions_.push_back(edit->addAction(QStringLiteral("&Ajouter un objet…"),
                                         QKeySequence(Qt::Key_Insert), this,
                                         &MainWindow::AddObject));
  deleteAction_ = edit->addAction(QStringLiteral("&Supprimer"), QKeySequence::Delete, this,
                                  &MainWindow::AskDelete);
  baseActions_.push_back(edit->addAction(QStringLiteral("S&ymboliser…"),
                                         QKeySequence(Qt::CTRL | Qt::Key_L), this,
                                         [this] { Symbolise(); }));

  QMenu* base = menuBar()->addMenu(QStringLiteral("&Base"));
  baseActions_.push_back(base->addAction(QStringLiteral("&Actualiser"), QKeySequence::Refresh, this,
                                         &MainWindow::ApplyView));
  baseActions_.push_back(
      base->addAction(QStringLiteral("&Vérifier la base"), this, [this] { CheckBase(); }));
  baseActions_.push_back(
      base->addAction(QStringLiteral("&Réparer la base"), this, [this] { RepairBase(); }));
  baseActions_.push_back(base->addAction(QStringLiteral("&Compacter la base"), this, [this] {
    const QString error = Compact();
    if (error.isEmpty()) statusBar()->showMessage(QStringLiteral("Base compactée."), 5000);
  }));
}

void MainWindow::BuildRecentMenu() {
  recent_->clear();
  const QStringList bases = RecentBases();
  for (const QString& base : bases) {
    recent_->addAction(base, this, [this, base] { OpenBase(base); });
  }
  if (bases.isEmpty()) recent_->addAction(QStringLiteral("(aucune)"))->setEnabled(false);
}

void MainWindow::Tell(const QString& message, bool warning) { services_.Tell(message, warning); }

QString MainWindow::OpenBase(const QString& directory) { return StartBase(directory, false); }

QString MainWindow::CreateBase(const QString& directory) { return StartBase(directory, true); }

QString MainWindow::StartBase(const QString& directory, bool create) {
  model_->Clear();
  QString error = create ? session_.Create(directory) : session_.Open(directory);
  const QString clean = QDir::cleanPath(QFileInfo(directory).absoluteFilePath());
  bool told = false;
  if (!error.isEmpty() && session_.FilesFailed()) error = OfferRepair(clean, error, &told);
  if (error.isEmpty()) {
    RememberBase(session_.Directory());
    ApplyView();
    if (session_.RolledBack()) {
      statusBar()->showMessage(
          QStringLiteral("Une écriture laissée à moitié par un programme arrêté a été annulée."),
          10000);
    }
  } else {
    if (!told) Tell(error);
    // A recent base that is gone leaves the list.
    if (!create && !QFileInfo::exists(clean + QStringLiteral("/KR9.DBF"))) ForgetBase(clean);
  }
  UpdateStatus();
  UpdateActions();
  return error;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A long call of the library is still running on its thread.
  if (session_.Busy()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void MainWindow::CloseBase() {
  model_->Clear();
  session_.Close();
  UpdateStatus();
  UpdateActions();
}

void MainWindow::ChooseAndOpen() {
  const QString directory = QFileDialog::getExistingDirectory(
      this, QStringLiteral("Ouvrir une base de symboles"), session_.Directory());
  if (!directory.isEmpty()) OpenBase(directory);
}

void MainWindow::ChooseAndCreate() {
  const QString directory = QFileDialog::getExistingDirectory(
      this, QStringLiteral("Dossier de la nouvelle base"), session_.Directory());
  if (directory.isEmpty()) return;
  if (QFileInfo::exists(directory + QStringLiteral("/KR9.DBF")) &&
      QMessageBox::question(this, QStringLiteral("symbase"),
                            QStringLiteral("Le dossier contient déjà une base. La remplacer par "
                                           "une base vide ?")) != QMessageBox::Yes) {
    return;
  }
  CreateBase(directory);
}

void MainWindow::SortBy(int column) {
  if (column == ObjectModel::kComment) {
    // Comments have no order of their own: the indicator stays where it was.
    const SortOrder sort = model_->Order().sort;
    table_->horizontalHeader()->setSortIndicator(
        sort == SortOrder::kBySymbol ? ObjectModel::kSymbol : ObjectModel::kAddress,
        Qt::AscendingOrder);
    return;
  }
  table_->horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
  ApplyView();
}

void MainWindow::ApplyView() {
  if (!session_.IsOpen() || session_.Busy()) return;
  ViewOrder order;
  order.sort = table_->horizontalHeader()->sortIndicatorSection() == ObjectModel::kSymbol
                   ? SortOrder::kBySymbol
                   : SortOrder::kByAddress;
  model_->Load(filter_->Apply(order));
  UpdateActions();
}

void MainWindow::Reload(const QByteArray& select) {
  ApplyView();
  model_->FinishLoading();
  if (!select.isEmpty()) SelectAddress(select);
  UpdateStatus();
}

bool MainWindow::SelectAddress(const QByteArray& address) {
  model_->FinishLoading();
  const int row = model_->RowOf(address);
  if (row < 0) return false;
  const QModelIndex index = model_->index(row, ObjectModel::kAddress);
  table_->setCurrentIndex(index);
  table_->selectRow(row);
  table_->scrollTo(index);
  return true;
}

void MainWindow::AddObject() {
  if (!session_.IsOpen()) return;
  model_->FinishLoading();
  NewObjectDialog dialog(this);
  while (dialog.exec() == QDialog::Accepted) {
    QByteArray written;
    const QString error = CreateObject(session_, dialog.Address()->text(), dialog.Symbol()->text(),
                                       dialog.Comment()->text(), &written);
    if (error.isEmpty()) {
      Reload(written);
      return;
    }
    Tell(error);
  }
}

int MainWindow::DeleteSelected() {
  model_->FinishLoading();
  std::vector<int> rows;
  for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
    rows.push_back(index.row());
  }
  std::sort(rows.rbegin(), rows.rend());  // from the bottom, so rows keep their number
  int deleted = 0;
  for (int row : rows) {
    const QString error = DeleteObject(session_, model_->AddressAt(row));
    if (!error.isEmpty()) {
      Tell(error);
      break;
    }
    model_->RemoveRow(row);
    ++deleted;
  }
  UpdateStatus();
  return deleted;
}

void MainWindow::AskDelete() {
  const int count = static_cast<int>(table_->selectionModel()->selectedRows().size());
  if (count == 0) return;
  const QString question =
      count == 1 ? QStringLiteral("Supprimer l'objet %1 de la base ?")
                       .arg(symbase_qt::FromCp1252(
                           model_->AddressAt(table_->selectionModel()->selectedRows()[0].row())))
                 : QStringLiteral("Supprimer les %1 objets sélectionnés de la base ?").arg(count);
  if (QMessageBox::question(this, QStringLiteral("symbase"), question) == QMessageBox::Yes) {
    DeleteSelected();
  }
}

int MainWindow::Symbolise() {
  if (!session_.IsOpen()) return -1;
  model_->FinishLoading();
  const QModelIndexList selected = table_->selectionModel()->selectedRows();
  const QByteArray address =
      selected.isEmpty() ? QByteArray() : model_->AddressAt(selected.front().row());
  UsAts word{};
  if (address.isEmpty()) {
    word.wordClass = kWordToType;
  } else {
    CheckAddress(symbase_qt::FromCp1252(address), &word);
  }
  QByteArray symbolised;
  services_.SetOnSymbolised(
      [&symbolised](const QString& text) { symbase_qt::ToCp1252(text, &symbolised); });
  CTBSymbOnLine dialog(&word, frame_->Frame());
  const int result = static_cast<int>(dialog.DoModal());
  services_.SetOnSymbolised(nullptr);
  if (!symbolised.isEmpty()) Reload(symbolised);
  UpdateStatus();
  return result;
}

ImportSummary MainWindow::ImportFile(const QString& path) {
  ImportSummary summary;
  if (!session_.IsOpen()) return summary;
  model_->FinishLoading();
  const std::vector<CsvRow> rows = ReadCsvFile(path, &summary.error);
  if (summary.error.isEmpty()) {
    QProgressDialog progress(QStringLiteral("Import de %1…").arg(QFileInfo(path).fileName()),
                             QStringLiteral("Arrêter"), 0, static_cast<int>(rows.size()), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    summary = ImportRows(session_, rows, [&progress](int done, int) {
      progress.setValue(done);
      return !progress.wasCanceled();
    });
  }
  Tell(SummaryText(summary), !summary.error.isEmpty() || summary.busyAt != 0);
  Reload(QByteArray());
  return summary;
}

QString MainWindow::ExportFile(const QString& path) {
  if (!session_.IsOpen()) return QString();
  model_->FinishLoading();
  QProgressDialog progress(QStringLiteral("Export de la base…"), QStringLiteral("Arrêter"), 0,
                           static_cast<int>(std::max(session_.Count(), 1L)), this);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  const QString error = ExportBase(session_, path, [&progress](int done, int) {
    progress.setValue(std::min(done, progress.maximum()));
    return !progress.wasCanceled();
  });
  if (!error.isEmpty()) {
    Tell(error);
  } else {
    statusBar()->showMessage(QStringLiteral("Base exportée dans %1.").arg(path), 5000);
  }
  ApplyView();  // the export used the base: the view starts again
  return error;
}

void MainWindow::ChooseAndImport() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Importer une table"),
                                                    QString(), QStringLiteral("CSV (*.csv)"));
  if (!path.isEmpty()) ImportFile(path);
}

void MainWindow::ChooseAndExport() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Exporter la base"),
                                                    QString(), QStringLiteral("CSV (*.csv)"));
  if (!path.isEmpty()) ExportFile(path);
}

QString MainWindow::StatusText() const {
  return QStringList{baseLabel_->text(), countLabel_->text(), timeLabel_->text()}.join(" | ");
}

void MainWindow::UpdateStatus() {
  if (session_.Busy()) return;  // read again once the long call is over
  if (!session_.IsOpen() || model_->IsLoading()) {
    baseLabel_->setText(session_.IsOpen() ? session_.Directory()
                                          : QStringLiteral("Aucune base ouverte"));
    countLabel_->setText(session_.IsOpen() ? QStringLiteral("chargement…") : QString());
    timeLabel_->clear();
    return;
  }
  baseLabel_->setText(session_.Directory());
  const long count = session_.Count();
  QString shown = count < 0 ? QStringLiteral("? objets")
                            : Plural(count, QStringLiteral("objet"), QStringLiteral("objets"));
  if (model_->rowCount() != count) {
    shown += QStringLiteral(" (%1 affichés)").arg(model_->rowCount());
  }
  countLabel_->setText(shown);
  const QDateTime changed = session_.LastModification();
  timeLabel_->setText(changed.isValid()
                          ? QStringLiteral("modifiée le %1")
                                .arg(changed.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")))
                          : QString());
}

void MainWindow::UpdateActions() {
  for (QAction* action : baseActions_) action->setEnabled(session_.IsOpen());
  if (deleteAction_ != nullptr) {
    deleteAction_->setEnabled(session_.IsOpen() && table_->selectionModel() != nullptr &&
                              table_->selectionModel()->hasSelection());
  }
}

}  // namespace gui
