// OK of the transaction dialog: the row, or the series of rows, into the register.

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

#include "app/common/account_edit.h"
#include "app/common/active_account.h"
#include "app/register/transaction_dialog.h"
#include "core/register/completion.h"
#include "core/register/recurring.h"
#include "core/register/register.h"
#include "core/register/register_edits.h"

namespace cheque {

void TDateFrm::OkClick() {
  // Only a focused OK acts, so Enter in a field never confirms by accident.
  if (focusWidget() != ok_ || account_ == nullptr) return;
  // The main window may hold the flag already while it opened the dialog.
  const bool was_busy = account_->IsBusy();
  account_->SetBusy(true);
  CompleteCategoryText();

  const bool bank_category = IsBankBalanceRow(QStringView(category_->text()));
  if (bank_category != (type_->currentIndex() == kBankBalanceType)) {
    services_.prompter->HebrewMessageBox(
        QStringLiteral("שגיאה"),
        QStringLiteral("פעולה זו היא מסוג יתרת בנק או לא\rוודא כי סוג התשלום והקבוצה, מתאימים"),
        MessageKind::kError, MessageButtons::kOk, this);
    type_->setFocus(Qt::OtherFocusReason);
    account_->SetBusy(was_busy);
    return;
  }
  // The date text as it stands: a date that cannot be read is never written.
  if (!CheckDateText(true)) {
    account_->SetBusy(was_busy);
    return;
  }

  {
    AccountEdit edit(*account_);
    WriteSeries(edit.Rows());
    edit.Rows().SetNeedsSorting(true);
  }
  repeat_->setValue(1);
  accept();
  services_.sounds->Play(QStringLiteral("Menu.wav"), false);
  account_->SetBusy(was_busy);
}

void TDateFrm::WriteSeries(Register& rows) {
  SeriesEntry entry;
  entry.first = calendar_->selectedDate();
  entry.period = static_cast<RepeatPeriod>(std::max(period_->currentIndex(), 0));
  entry.count = repeat_->value();
  entry.description = description_->text();
  entry.income = income_->text();
  entry.expense = expense_->text();
  entry.category = category_->text();
  entry.type = PaymentTypes()[static_cast<size_t>(std::max(type_->currentIndex(), 0))] + u' ' +
               reference_->text();
  entry.expected = expected_->isChecked();
  cheque::WriteSeries(rows, row_, entry, services_.clock->Today());
}

}  // namespace cheque
