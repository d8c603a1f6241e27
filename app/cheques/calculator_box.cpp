#include "app/cheques/calculator_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

#include "app/common/field_order.h"

namespace cheque {

CalculatorBox::CalculatorBox(std::function<double()> vat_percent, bool& busy, QWidget* parent)
    : QGroupBox(QStringLiteral("חישובית"), parent),
      vat_percent_(std::move(vat_percent)),
      busy_(busy) {
  setObjectName(QStringLiteral("GroupBox1"));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 4, 4, 4);
  grid->setVerticalSpacing(2);
  no_vat_ = AddField(QStringLiteral("EdtNoVat"), QStringLiteral("ללא מע\"מ"), 0);
  vat_ = AddField(QStringLiteral("EdtVat"), QStringLiteral("מע\"מ"), 1);
  inc_vat_ = AddField(QStringLiteral("EdtIncVat"), QStringLiteral("כולל מע\"מ"), 2);
  percent_ = AddField(QStringLiteral("EdtAdvnc"), QStringLiteral("% ניכוי במקור"), 3);
  withholding_ = AddField(QStringLiteral("EdtAdvSum"), QStringLiteral("סכום הניכוי"), 4);
  total_ = AddField(QStringLiteral("EdtTtl"), QStringLiteral("סכום סופי"), 5);
  total_->setReadOnly(true);

  transfer_ = new QPushButton(QStringLiteral("העבר להמחאה"), this);
  transfer_->setObjectName(QStringLiteral("BitBtn3"));
  transfer_->setToolTip(QStringLiteral("העברת הסכום להמחאה"));
  transfer_->setAutoDefault(false);
  reset_ = new QPushButton(QStringLiteral("איפוס"), this);
  reset_->setObjectName(QStringLiteral("SpeedButton1"));
  reset_->setToolTip(QStringLiteral("מחיקת כל המספרים בחישובית"));
  reset_->setAutoDefault(false);
  reset_->setFocusPolicy(Qt::NoFocus);
  grid->addWidget(transfer_, 6, 0, 1, 2);
  grid->addWidget(reset_, 7, 0, 1, 2);

  new FieldOrder({{no_vat_}, {percent_}, {transfer_}}, FieldOrder::Keys{}, this);
  for (QLineEdit* field : {no_vat_, vat_, inc_vat_, percent_, withholding_}) {
    connect(field, &QLineEdit::textChanged, this,
            [this, field](const QString& text) { FieldChanged(field, text); });
  }
  connect(transfer_, &QPushButton::clicked, this, &CalculatorBox::Transfer);
  connect(reset_, &QPushButton::clicked, this, &CalculatorBox::Clear);
}

QLineEdit* CalculatorBox::AddField(const QString& name, const QString& label, int row) {
  auto* grid = static_cast<QGridLayout*>(layout());
  auto* caption = new QLabel(label, this);
  auto* field = new QLineEdit(this);
  field->setObjectName(name);
  caption->setBuddy(field);
  grid->addWidget(caption, row, 0);
  grid->addWidget(field, row, 1);
  return field;
}

void CalculatorBox::FieldChanged(QLineEdit* field, const QString& text) {
  // Writes of the calculator itself, and a stale signal after a refused
  // edit, start nothing.
  if (busy_ || text != field->text()) return;
  const QScopedValueRollback<bool> guard(busy_, true);
  VatCalculator calculator;
  QLineEdit* const fields[] = {no_vat_, vat_, inc_vat_, percent_, withholding_, total_};
  QString* const values[] = {&calculator.no_vat,  &calculator.vat,         &calculator.inc_vat,
                             &calculator.percent, &calculator.withholding, &calculator.total};
  for (int i = 0; i < 6; ++i) *values[i] = fields[i]->text();
  const double vat_percent = vat_percent_();
  if (field == no_vat_) calculator.NoVatChanged(vat_percent);
  if (field == vat_) calculator.VatChanged(vat_percent);
  if (field == inc_vat_) calculator.IncVatChanged(vat_percent);
  if (field == percent_) calculator.PercentChanged();
  if (field == withholding_) calculator.WithholdingChanged();
  for (int i = 0; i < 6; ++i) {
    if (fields[i]->text() != *values[i]) fields[i]->setText(*values[i]);
  }
}

void CalculatorBox::Transfer() {
  const QString total = total_->text();
  if (!total.isEmpty() && total != u"0") emit TransferRequested(total);
}

// Rules 1 and 4 run even for a field that was empty already, so the reset
// always leaves zeros behind.
void CalculatorBox::Clear() {
  for (QLineEdit* field : {no_vat_, percent_}) {
    {
      const QSignalBlocker quiet(field);
      field->clear();
    }
    FieldChanged(field, QString());
  }
}

}  // namespace cheque
