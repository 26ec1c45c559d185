#include "filter_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace gui {

namespace {

constexpr int kPauseMs = 300;

}  // namespace

FilterBar::FilterBar(QWidget* parent)
    : QWidget(parent),
      text_(new QLineEdit(this)),
      field_(new QComboBox(this)),
      match_(new QComboBox(this)) {
  text_->setPlaceholderText(QStringLiteral("Filtrer…"));
  text_->setClearButtonEnabled(true);
  field_->addItem(QStringLiteral("Symboles"), static_cast<int>(FilterField::kSymbol));
  field_->addItem(QStringLiteral("Commentaires"), static_cast<int>(FilterField::kComment));
  match_->addItem(QStringLiteral("contiennent"), static_cast<int>(FilterMatch::kContains));
  match_->addItem(QStringLiteral("commencent par"), static_cast<int>(FilterMatch::kBeginsWith));
  match_->addItem(QStringLiteral("finissent par"), static_cast<int>(FilterMatch::kEndsWith));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(new QLabel(QStringLiteral("Filtre :"), this));
  layout->addWidget(field_);
  layout->addWidget(match_);
  layout->addWidget(text_, 1);
  pause_.setSingleShot(true);
  pause_.setInterval(kPauseMs);
  connect(&pause_, &QTimer::timeout, this, &FilterBar::changed);
  connect(text_, &QLineEdit::textChanged, this, [this] { pause_.start(); });
  connect(field_, &QComboBox::currentIndexChanged, this, &FilterBar::changed);
  connect(match_, &QComboBox::currentIndexChanged, this, &FilterBar::changed);
}

ViewOrder FilterBar::Apply(ViewOrder order) const {
  order.text = text_->text();
  order.field = static_cast<FilterField>(field_->currentData().toInt());
  order.match = static_cast<FilterMatch>(match_->currentData().toInt());
  return order;
}

}  // namespace gui
