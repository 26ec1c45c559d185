#include "findings_window.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace gui {

FindingsWindow::FindingsWindow(QWidget* parent)
    : QDialog(parent),
      base_(new QLabel(this)),
      verdict_(new QLabel(this)),
      list_(new QTreeWidget(this)),
      repair_(new QPushButton(QStringLiteral("&Réparer la base"), this)) {
  verdict_->setWordWrap(true);
  verdict_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont bold = verdict_->font();
  bold.setBold(true);
  verdict_->setFont(bold);
  list_->setColumnCount(3);
  list_->setHeaderLabels(
      {QStringLiteral("Fichier"), QStringLiteral("Nature"), QStringLiteral("Constat")});
  list_->setRootIsDecorated(false);
  list_->setAlternatingRowColors(true);
  list_->setWordWrap(true);
  list_->header()->setStretchLastSection(true);
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
  list_->clear();
  for (const Finding& finding : report.findings) {
    auto* item = new QTreeWidgetItem(list_, {finding.file, KindName(finding.kind), finding.text});
    item->setToolTip(kText, finding.text);
  }
  list_->setVisible(!report.findings.empty());
  close_->setFocus();
  show();
  raise();
  activateWindow();
}

}  // namespace gui
