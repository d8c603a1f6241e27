// OK of the transaction dialog: the row, or the series of rows, into the register.

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>
#include <utility>

#include "app/register/transaction_dialog.h"
#include "core/register/completion.h"
#include "core/register/recurring.h"
#include "core/register/register.h"
#include "core/text/date_text.h"
#include "core/text/text_compare.h"

namespace cheque {

void TDateFrm::OkClick() {
  // Only a focused OK acts, so Enter in a field never confirms by accident.
  if (focusWidget() != ok_ || register_ == nullptr) return;
  bool own_flag = false;
  bool* busy = busy_ != nullptr ? busy_ : &own_flag;
  // The main window may hold the flag already while it opened the dialog.
  const bool was_busy = std::exchange(*busy, true);

  const bool bank_category =
      TextEquals(QStringView(category_->text()), QStringView(kBankBalanceCategory));
  if (bank_category != (type_->currentIndex() == kBankBalanceType)) {
    services_.prompter->HebrewMessageBox(
        QStringLiteral("שגיאה"),
        QStringLiteral("פעולה זו היא מסוג יתרת בנק או לא\rוודא כי סוג התשלום והקבוצה, מתאימים"),
        MessageKind::kError, MessageButtons::kOk, this);
    type_->setFocus(Qt::OtherFocusReason);
    *busy = was_busy;
    return;
  }
  // The date text as it stands: a date that cannot be read is never written.
  if (!CheckDateText(true)) {
    *busy = was_busy;
    return;
  }

  WriteSeries();
  repeat_->setValue(1);
  accept();
  services_.sounds->Play(QStringLiteral("Menu.wav"), false);
  *busy = was_busy;
  register_->SetNeedsSorting(true);
}

void TDateFrm::WriteSeries() {
  const QDate first = calendar_->selectedDate();
  const bool bank = TextEquals(QStringView(category_->text()), QStringView(kBankBalanceCategory));
  // A bank balance is a single row, whatever the count says.
  const int count = bank ? std::min(repeat_->value(), 1) : repeat_->value();
  const auto period = static_cast<RepeatPeriod>(std::max(period_->currentIndex(), 0));
  QString mark;
  if (first > services_.clock->Today() || expected_->isChecked()) mark = QStringLiteral("?");
  if (bank) mark = QStringLiteral("+");
  const QString expense = expense_->text();
  const QString income = income_->text();
  const QString description = description_->text();
  const QString category = category_->text();
  const QString type = PaymentTypes()[static_cast<size_t>(std::max(type_->currentIndex(), 0))] +
                       u' ' + reference_->text();

  Register& reg = *register_;
  QDate date = first;
  int row = row_;
  for (int k = 1; k <= count; ++k) {
    if (expense.isEmpty() && income.isEmpty()) break;
    reg.SetCell(row, kDescriptionColumn, description);
    if (bank) {
      reg.SetCell(row, kBalanceColumn, income.isEmpty() ? expense : income);
      reg.SetCell(row, kIncomeColumn, QString());
      reg.SetCell(row, kExpenseColumn, QString());
    } else {
      reg.SetCell(row, kExpenseColumn, expense);
      reg.SetCell(row, kIncomeColumn, income);
    }
    reg.SetCell(row, kDateColumn, DateText(date));
    reg.SetCell(row, kCategoryColumn, category);
    reg.SetCell(row, kTypeColumn, type);
    // An edited row keeps its mark unless the series decides one.
    if (!mark.isEmpty()) reg.SetCell(row, kMarkColumn, mark);
    if (row == reg.RowCount() - 1) reg.AddEmptyRow();
    if (k == count) break;
    date = NextOccurrence(date, period, first.day());
    // Every further occurrence goes into the empty row at the end.
    row = reg.RowCount() - 1;
  }
}

}  // namespace cheque
