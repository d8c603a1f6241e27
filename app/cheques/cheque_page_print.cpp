// Printing a cheque: checks, the print job, the register row, the payee's
// address, the next cheque number, and the cleared form.

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "app/cheques/address_dialog.h"
#include "app/cheques/calculator_box.h"
#include "app/cheques/cheque_page.h"
#include "app/cheques/cheque_printout.h"
#include "app/common/account_edit.h"
#include "app/common/active_account.h"
#include "core/cheques/amount_words.h"
#include "core/cheques/cheque_rules.h"
#include "core/register/register.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"

namespace cheque {

ChequeEntry ChequePage::Entry() const {
  return {number_->text(), payee_->text(), amount_->text(),
          QString::number(day_->value()) + u'/' + QString::number(month_->value()) + u'/' +
              QString::number(year_->value()),
          category_->text()};
}

// Nothing is printed whose words would differ from its digits, nor under a
// number that cannot be advanced afterwards.
bool ChequePage::CanPrint() {
  const std::optional<double> amount = ReadAmount(QStringView(amount_->text()));
  if (!amount) {
    services_.prompter->ShowError(QStringLiteral("רק ערכים מספריים מותרים כאן"), this);
    amount_->setFocus(Qt::OtherFocusReason);
    return false;
  }
  if (*amount > kMaximumChequeAmount) {
    services_.prompter->ShowError(kMaximumAmountMessage, this);
    amount_->setFocus(Qt::OtherFocusReason);
    return false;
  }
  // That category makes a row a bank balance: the cheque's amount would
  // vanish from the register and restart the running balance from 0.
  if (IsBankBalanceRow(QStringView(category_->text()))) {
    services_.prompter->ShowError(
        QStringLiteral("הקבוצה בנק\\יתרה שמורה ליתרות בנק\rההמחאה לא הודפסה"), this);
    category_->setFocus(Qt::OtherFocusReason);
    return false;
  }
  if (*amount == 0 &&
      services_.prompter->HebrewMessageBox(
          QStringLiteral("לאישורך"), QStringLiteral("סכום ההמחאה הוא 0. להדפיס בכל זאת?"),
          MessageKind::kConfirmation, MessageButtons::kYesNoDefaultNo,
          this) != MessageAnswer::kYes) {
    amount_->setFocus(Qt::OtherFocusReason);
    return false;
  }
  if (!NextChequeNumber(number_->text())) {
    services_.prompter->ShowError(
        QStringLiteral("מספר ההמחאה חייב להיות מספר שלם בספרות בלבד\rההמחאה לא הודפסה"), this);
    number_->setFocus(Qt::OtherFocusReason);
    return false;
  }
  return true;
}

void ChequePage::PrintCheque() {
  // Only the button itself prints: the window's Enter never does.
  if (!print_->hasFocus()) return;
  if (payee_->text().isEmpty() || amount_->text().isEmpty()) return;
  if (!CanPrint()) return;
  const ChequeEntry entry = Entry();
  if (FindDuplicateCheque(account_.Rows(), entry) >= 0 &&
      services_.prompter->HebrewMessageBox(
          QStringLiteral("לאישורך"),
          QStringLiteral("...המחאה זו כבר קיימת ביומנך\r? האם להדפיס המחאה זו שוב"),
          MessageKind::kConfirmation, MessageButtons::kYesNo, this) != MessageAnswer::kYes) {
    return;
  }

  const ChequePrintout printout{calendar_->selectedDate(),
                                street_->text(),
                                house_number_->text(),
                                town_->text(),
                                zip_->text(),
                                MemoRows(memo_->toPlainText()),
                                payee_->text(),
                                words_->text(),
                                amount_->text()};
  const bool printed = services_.print_target->Print(
      QStringLiteral("המחאה בהדפסה"), ChequePdfName(entry.number), kChequeResolution,
      [&printout](QPrinter&, QPainter& painter) {
        DrawCheque(painter, printout);
        return true;
      },
      this);
  if (!printed) {
    services_.prompter->ShowError(
        QStringLiteral("הדפסת ההמחאה נכשלה\rההמחאה לא נרשמה ומספר ההמחאה לא השתנה"), this);
    return;
  }

  {
    // The cheque is a step of its own, and its undo tells that the paper stays printed.
    AccountEdit edit(account_);
    EnterCheque(edit.Rows(), entry);
    edit.Rows().SetNeedsSorting(true);
    edit.Tag(RegisterHistory::kChequePrinted);
  }
  address_dialog_->RecordPayee(
      account_.Title(), entry.payee,
      {zip_->text(), town_->text(), house_number_->text(), street_->text()});
  const QString next = *NextChequeNumber(entry.number);
  number_->setText(next);
  const bool recorded = account_.AdvanceChequeNumber(next);
  ClearForm();
  // The cheque is printed and entered; only its number was not kept.
  if (!recorded) {
    services_.prompter->ShowError(QStringLiteral("לא ניתן לשמור את מספר השק הבא ברשימת החשבונות"),
                                  this);
  }
}

void ChequePage::ClearForm() {
  payee_->clear();
  amount_->clear();
  calculator_->Clear();
  for (QLineEdit* field : {category_, street_, house_number_, town_, zip_}) field->clear();
  memo_->clear();
}

}  // namespace cheque
