#include "new_object_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "fields.h"

namespace gui {

NewObjectDialog::NewObjectDialog(QWidget* parent)
    : QDialog(parent),
      address_(new QLineEdit(this)),
      symbol_(new QLineEdit(this)),
      comment_(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("Nouvel objet"));
  address_->setMaxLength(kMaxAddress);
  address_->setPlaceholderText(QStringLiteral("%MW10"));
  symbol_->setMaxLength(kMaxSymbol);
  comment_->setMaxLength(kMaxComment);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("Repère :"), address_);
  form->addRow(QStringLiteral("Symbole :"), symbol_);
  form->addRow(QStringLiteral("Commentaire :"), comment_);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  resize(420, sizeHint().height());
}

}  // namespace gui
