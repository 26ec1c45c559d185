#include "findings_window.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTableWidget>
#include <QVBoxLayout>

namespace gui {

FindingsWindow::FindingsWindow(QWidget* parent)
    : QDialog(parent),
      base_(new QLabel(this)),
      verdict_(new QLabel(this)),
      list_(new QTableWidget(0, 3, this)),
      repair_(new QPushButton(QStringLiteral("&Réparer la base"), this)) {
  verdict_->setWordWrap(true);
  verdict_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont bold = verdict_->font();
  bold.setBold(true);
  verdict_->setFont(bold);
  list_->setHorizontalHeaderLabels(
      {QStringLiteral("Fichier"), QStringLiteral("Nature"), QStringLiteral("Constat")});
  list_->verticalHeader()->hide();
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setAlternatingRowColors(true);
  list_->setShowGrid(false);
  list_->setWordWrap(true);
  list_->horizontalHeader()->setStretchLastSection(true);
  list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list_->setColumnWidth(kFile, 120);
  list_->setColumnWidth(kKind, 80);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  close_ = buttons->button(QDialogButtonBox::Close);
  close_->setText(QStringLiteral("&Fermer"));
  buttons->addButton(repair_, QDialogButtonBox::ActionRole);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(base_);
  layout->addWidget(verdict_);
  layout->addWidget(list_, 1);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  connect(repair_, &QPushButton::clicked, this, [this] {
    close();
    emit repairAsked();
  });
  resize(760, 360);
}

void FindingsWindow::ShowCheck(const QString& directory, const Integrity& check, bool repairable) {
  Fill(QStringLiteral("Vérification de la base"), directory, CheckVerdict(check), check);
  repair_->setVisible(repairable);
}

void FindingsWindow::ShowRepair(const QString& directory, const Integrity& repair) {
  Fill(QStringLiteral("Réparation de la base"), directory, RepairVerdict(repair), repair);
  repair_->setVisible(false);
}

void FindingsWindow::Fill(const QString& title, const QString& directory, const QString& verdict,
                          const Integrity& report) {
  setWindowTitle(title);
  base_->setText(QStringLiteral("Base : %1").arg(directory));
  verdict_->setText(verdict);
  list_->setRowCount(0);
  for (const Finding& finding : report.findings) {
    const int row = list_->rowCount();
    list_->insertRow(row);
    const QStringList cells{finding.file, KindName(finding.kind), finding.text};
    for (int column = kFile; column <= kText; ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
      list_->setItem(row, column, item);
    }
  }
  list_->setVisible(!report.findings.empty());
  close_->setFocus();
  show();
  list_->resizeRowsToContents();
  raise();
  activateWindow();
}

void FindingsWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // Rows as high as their texts, wrapped in the columns' new widths.
  list_->resizeRowsToContents();
}

}  // namespace gui
