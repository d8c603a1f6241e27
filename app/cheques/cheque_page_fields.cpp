// The cheque page's fields: payee suggestions and completion, the address
// from the book, the amount in words, the date controls and the category.

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <algorithm>
#include <utility>

#include "app/cheques/address_dialog.h"
#include "app/cheques/category_outline.h"
#include "app/cheques/cheque_page.h"
#include "app/common/active_account.h"
#include "app/common/calendar_dialog.h"
#include "core/cheques/amount_words.h"
#include "core/register/completion.h"
#include "core/register/register.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"

namespace cheque {

void ChequePage::PayeeChanged() {
  if (busy_) return;
  const QScopedValueRollback<bool> guard(busy_, true);
  suggestions_->clear();
  HideSuggestions();
  const QString typed = payee_->text();
  const DescriptionCompletion found = CompleteDescription(account_.Rows(), typed);
  if (!found.suggestions.isEmpty()) ShowSuggestions(found.suggestions);
  // A Backspace or Delete keeps this one change from being completed.
  if (std::exchange(completion_on_, true) && found.first_row >= 0) {
    const QString full = account_.Rows().Cell(found.first_row, kDescriptionColumn);
    payee_->setText(full);
    payee_->setSelection(static_cast<int>(typed.size()),
                         static_cast<int>(full.size() - typed.size()));
    category_->setText(account_.Rows().Cell(found.first_row, kCategoryColumn));
  }
  RememberTypedPrefix();
  FillPayeeAddress(payee_->text());
}

// Backspace or Delete first gives back what the user typed, then acts on it.
bool ChequePage::PayeeErase() {
  completion_on_ = false;
  const QScopedValueRollback<bool> quiet(busy_, true);
  if (payee_->text() != typed_prefix_) payee_->setText(typed_prefix_);
  payee_->deselect();
  payee_->end(false);
  return false;
}

void ChequePage::RememberTypedPrefix() {
  typed_prefix_ =
      payee_->hasSelectedText() ? payee_->text().left(payee_->selectionStart()) : payee_->text();
}

void ChequePage::ShowSuggestions(const QStringList& names) {
  suggestions_->addItems(names);
  suggestions_->setCurrentRow(0);
  const int item_height =
      std::max(suggestions_->sizeHintForRow(0), suggestions_->fontMetrics().height());
  const QPoint top_left = payee_->mapTo(this, QPoint(0, payee_->height() - 1));
  suggestions_->setGeometry(
      top_left.x(), top_left.y(), payee_->width(),
      item_height * static_cast<int>(names.size()) + 2 * suggestions_->frameWidth());
  suggestions_->raise();
  suggestions_->show();
}

void ChequePage::HideSuggestions() { suggestions_->hide(); }

void ChequePage::SuggestionChosen() {
  const QListWidgetItem* item = suggestions_->currentItem();
  if (item == nullptr) return;
  if (completion_on_) {
    const int row = FirstRowWithDescription(account_.Rows(), item->text());
    if (row >= 0) {
      const QScopedValueRollback<bool> quiet(busy_, true);
      const QString name = account_.Rows().Cell(row, kDescriptionColumn);
      payee_->setText(name);
      payee_->setSelection(1, static_cast<int>(name.size()) - 1);
      category_->setText(account_.Rows().Cell(row, kCategoryColumn));
    }
  } else {
    completion_on_ = true;
  }
  RememberTypedPrefix();
  HideSuggestions();
  FillPayeeAddress(payee_->text());
  amount_->setFocus(Qt::TabFocusReason);
}

void ChequePage::FillPayeeAddress(const QString& name) {
  const std::optional<PayeeAddress> address =
      address_dialog_->FillPayeeAddress(account_.Title(), name);
  zip_->setText(address ? address->zip : QString());
  town_->setText(address ? address->town : QString());
  house_number_->setText(address ? address->number : QString());
  street_->setText(address ? address->street : QString());
}

void ChequePage::OpenAddressBook() {
  const std::optional<AddressBook::Record> record = address_dialog_->Choose();
  if (!record) return;
  // The payee rule runs first, suggestions and address included.
  payee_->setText((*record)[AddressBook::kName]);
  zip_->setText((*record)[AddressBook::kZip]);
  town_->setText((*record)[AddressBook::kTown]);
  house_number_->setText((*record)[AddressBook::kNumber]);
  street_->setText((*record)[AddressBook::kStreet]);
}

void ChequePage::AmountChanged() {
  if (amount_busy_) return;
  const QScopedValueRollback<bool> guard(amount_busy_, true);
  const AmountWords result = AmountInWords(amount_->text());
  if (result.not_numeric) {
    services_.prompter->ShowError(QStringLiteral("רק ערכים מספריים מותרים כאן"), this);
  }
  if (amount_->text() != result.field_text) amount_->setText(result.field_text);
  amount_->end(false);
  if (result.above_maximum) services_.prompter->ShowError(kMaximumAmountMessage, this);
  words_->setText(result.words);
}

void ChequePage::CalendarChanged() {
  const QDate date = calendar_->selectedDate();
  {
    const QScopedValueRollback<bool> quiet(date_busy_, true);
    year_->setValue(date.year());
    month_->setValue(date.month());
    day_->setValue(date.day());
  }
  date_label_->setText(DateText(date));
}

// A day the month lacks becomes its last day.
void ChequePage::SpinChanged() {
  if (date_busy_) return;
  const int last_day = QDate(year_->value(), month_->value(), 1).daysInMonth();
  if (day_->value() > last_day) {
    const QScopedValueRollback<bool> quiet(date_busy_, true);
    day_->setValue(last_day);
  }
  calendar_->setSelectedDate(QDate(year_->value(), month_->value(), day_->value()));
}

void ChequePage::OpenCalendarDialog() {
  calendar_dialog_.SetDate(calendar_->selectedDate());
  if (calendar_dialog_.exec() == QDialog::Accepted) {
    calendar_->setSelectedDate(calendar_dialog_.Date());
  }
}

void ChequePage::CategoryTyped() {
  if (!category_->hasFocus()) return;
  tree_->SelectNode(tree_->Tree().FindPathPrefix(category_->text()));
}

void ChequePage::TreeMoved() {
  if (tree_->hasFocus() && tree_->CurrentNode() >= 0) category_->setText(tree_->CurrentPath());
}

double ChequePage::VatPercent() const {
  return ParseAmount(QStringView(account_.Definition().vat_percent));
}

}  // namespace cheque
