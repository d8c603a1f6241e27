// The field rules of the transaction dialog: keys, amounts, description
// completion, category and tree, date and repeat count.

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QStringListModel>
#include <QTreeWidget>
#include <algorithm>
#include <utility>

#include "app/common/amount_field.h"
#include "app/common/calendar_dialog.h"
#include "app/register/transaction_dialog.h"
#include "core/categories/category_completion.h"
#include "core/register/completion.h"
#include "core/register/register.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"

namespace cheque {

std::optional<QDate> TDateFrm::ReadDateField() const {
  const QDate today = services_.clock->Today();
  NormalizedDate date = NormalizeDateText(date_->text(), today);
  if (!date.ok) {
    // Unlike a register cell, the field reads "1. 2. 2020": a run of
    // separators counts as one.
    while (date.text.contains(u"//")) date.text.replace(QStringLiteral("//"), QStringLiteral("/"));
    date = NormalizeDateText(date.text, today);
  }
  if (!date.ok) return std::nullopt;
  const QDate read = ParseDate(date.text, today.startOfDay()).date();
  // Only dates the register's four-digit year form can hold.
  if (read.year() < 1900 || read.year() > 9999) return std::nullopt;
  return read;
}

bool TDateFrm::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (KeyPress(watched, static_cast<QKeyEvent*>(event))) return true;
      break;
    case QEvent::FocusOut: {
      // A message box or a list's popup taking the focus is not leaving the
      // field, and neither is Cancel, which drops everything anyway.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      const bool left = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                        QApplication::focusWidget() != cancel_;
      if (left && watched == date_) CheckDateText(true);
      if (left && watched == repeat_) RepeatCountLeft();
      break;
    }
    case QEvent::MouseButtonDblClick:
      if (watched == date_ && date_->isEnabled()) {
        DateDoubleClick();
        return true;
      }
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

bool TDateFrm::KeyPress(QObject* watched, QKeyEvent* event) {
  if (event->modifiers() & ~Qt::KeypadModifier) return false;
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return EnterKey(watched);
  if (watched == description_) {
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) return DescriptionErase();
    if (key == Qt::Key_Down && suggestions_->isVisible()) {
      suggestions_->setFocus(Qt::TabFocusReason);
      return true;
    }
  }
  if (watched == category_ && key == Qt::Key_Down) {
    tree_view_->setFocus(Qt::TabFocusReason);
    return true;
  }
  if (watched == tree_view_) return TreeKey(key);
  return false;
}

// The steps of the Enter order that depend on the fields; the field order
// takes the plain ones.
bool TDateFrm::EnterKey(QObject* watched) {
  if (watched == suggestions_) {
    SuggestionChosen();
    return true;
  }
  QWidget* next = nullptr;
  if (watched == expense_) {
    next = expense_->text().isEmpty() ? income_ : static_cast<QWidget*>(type_);
  } else if (watched == income_ && opening_balance_) {
    next = ok_;
  } else if (watched == tree_view_) {
    next = repeat_->isEnabled() ? repeat_ : static_cast<QWidget*>(date_);
  } else if (watched == repeat_) {
    next = period_->isHidden() ? static_cast<QWidget*>(date_) : period_;
  } else if (watched == date_) {
    next = ok_;
  } else if (watched == calendar_->focusProxy()) {
    next = months_;
  }
  if (next == nullptr) return false;
  next->setFocus(Qt::TabFocusReason);
  return true;
}

void TDateFrm::AmountEdited(QLineEdit* field, QLineEdit* other) {
  if (!other->text().isEmpty() && !field->text().isEmpty()) {
    field->clear();
    ShowBothAmountsError(*services_.prompter, this);
    return;
  }
  CheckNumericField(*field, *services_.prompter, this);
}

// The field's text, not the signal's: a refused character is gone by now.
void TDateFrm::DescriptionEdited() {
  if (updating_) return;
  const QString text = description_->text();
  const bool suppress = std::exchange(suppress_completion_, false);
  HideSuggestions();
  typed_ = text;
  if (register_ == nullptr) return;
  const DescriptionCompletion found = CompleteDescription(*register_, text);
  if (!found.suggestions.isEmpty()) ShowSuggestions(found.suggestions);
  if (suppress || found.first_row < 0) return;
  const QString full = register_->Cell(found.first_row, kDescriptionColumn);
  {
    const QScopedValueRollback<bool> quiet(updating_, true);
    description_->setText(full);
    description_->setSelection(static_cast<int>(text.size()),
                               static_cast<int>(full.size() - text.size()));
  }
  FillCategoryAndTypeFrom(found.first_row);
}

// Backspace or Delete on a completed description gives back what the user
// typed; either key keeps the completion from coming straight back.
bool TDateFrm::DescriptionErase() {
  suppress_completion_ = true;
  const QString text = description_->text();
  const bool completed = description_->hasSelectedText() &&
                         description_->selectionStart() == typed_.size() &&
                         description_->selectionEnd() == text.size();
  if (!completed) return false;  // the key erases as usual
  const QString typed = typed_;
  {
    const QScopedValueRollback<bool> quiet(updating_, true);
    description_->setText(typed);
  }
  DescriptionEdited();
  return true;
}

void TDateFrm::FillCategoryAndTypeFrom(int row) {
  const QString category = register_->Cell(row, kCategoryColumn);
  SetCategoryText(category);
  const int node = tree_.FindPath(category);
  if (node >= 0) SelectNode(node);
  const int type = PaymentTypeIndex(register_->Cell(row, kTypeColumn));
  if (type >= 0) type_->setCurrentIndex(type);
}

void TDateFrm::ShowSuggestions(const QStringList& suggestions) {
  suggestions_->clear();
  suggestions_->addItems(suggestions);
  suggestions_->setCurrentRow(0);
  const int item_height =
      std::max(suggestions_->sizeHintForRow(0), suggestions_->fontMetrics().height());
  const QRect field = description_->geometry();
  suggestions_->setGeometry(field.x(), field.bottom() + 1, field.width(),
                            item_height * static_cast<int>(suggestions.size()) + 5);
  suggestions_->raise();
  suggestions_->show();
}

void TDateFrm::HideSuggestions() { suggestions_->hide(); }

void TDateFrm::SuggestionChosen() {
  const QListWidgetItem* item = suggestions_->currentItem();
  if (item == nullptr || register_ == nullptr) return;
  const QString text = item->text();
  {
    const QScopedValueRollback<bool> quiet(updating_, true);
    description_->setText(text);
  }
  typed_ = text;
  const int row = FirstRowWithDescription(*register_, text);
  if (row >= 0) FillCategoryAndTypeFrom(row);
  HideSuggestions();
  expense_->setFocus(Qt::TabFocusReason);
}

void TDateFrm::TypeActivated(int index) {
  if (index != kBankBalanceType) return;
  const QString category = QString::fromUtf16(kBankBalanceCategory);
  SetCategoryText(category);
  const int node = tree_.FindPath(category);
  if (node >= 0) SelectNode(node);
}

void TDateFrm::SetCategoryText(const QString& text) {
  if (category_->text() != text) category_->setText(text);
}

void TDateFrm::CategoryChanged(const QString& text) {
  if (opening_balance_) return;
  const bool bank = IsBankBalanceRow(QStringView(text));
  if (bank) {
    type_->setCurrentIndex(kBankBalanceType);
    // A bank balance is one row; a count typed before must not repeat it.
    repeat_->setValue(1);
  }
  repeat_->setEnabled(!bank);
}

void TDateFrm::CategoryEdited() {
  const CategoryCompletion found = CompleteCategory(tree_, category_->text());
  SelectNode(found.node >= 0 ? found.node : 0);
  auto* model = static_cast<QStringListModel*>(category_choices_->model());
  model->setStringList(found.choices);
  if (found.choices.isEmpty()) {
    category_choices_->popup()->hide();
  } else {
    category_choices_->complete();
  }
}

// A category's own name stands for its full path, written once the user
// leaves the field, so the row never names a category the tree lacks.
void TDateFrm::CompleteCategoryText() {
  const CategoryCompletion found = CompleteCategory(tree_, category_->text());
  if (found.path.isEmpty()) return;
  SetCategoryText(found.path);
  SelectNode(found.node);
}

int TDateFrm::CurrentNode() const {
  const QTreeWidgetItem* item = tree_view_->currentItem();
  return item == nullptr ? -1 : item->data(0, Qt::UserRole).toInt();
}

void TDateFrm::SelectNode(int node) {
  if (node < 0 || node >= tree_.Size()) return;
  const QScopedValueRollback<bool> quiet(updating_, true);
  QTreeWidgetItem* item = items_[static_cast<size_t>(node)];
  tree_view_->setCurrentItem(item);
  tree_view_->scrollToItem(item);
}

void TDateFrm::MoveToNode(int node) {
  if (node < 0 || node >= tree_.Size()) return;
  SelectNode(node);
  SetCategoryText(tree_.FullPath(node));
}

bool TDateFrm::TreeKey(int key) {
  const int size = tree_.Size();
  int step = 0;
  switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Left:
    case Qt::Key_PageUp:
      step = -1;
      break;
    case Qt::Key_Down:
    case Qt::Key_Right:
    case Qt::Key_PageDown:
      step = 1;
      break;
    case Qt::Key_Home:
      MoveToNode(0);
      return true;
    case Qt::Key_End:
      MoveToNode(size - 1);
      return true;
    default:
      return false;
  }
  // The next category, passing over groups that hold categories.
  const int current = CurrentNode();
  const int from = current >= 0 ? current : (step > 0 ? -1 : size);
  for (int node = from + step; node >= 0 && node < size; node += step) {
    if (!tree_.HasChildren(node)) {
      MoveToNode(node);
      break;
    }
  }
  return true;
}

void TDateFrm::TreeItemClicked(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  SetCategoryText(tree_.FullPath(item->data(0, Qt::UserRole).toInt()));
  if (item->childCount() > 0) item->setExpanded(!item->isExpanded());
}

bool TDateFrm::CheckDateText(bool move_focus) {
  if (const std::optional<QDate> date = ReadDateField()) {
    ShowDate(*date, true);
    return true;
  }
  services_.prompter->HebrewMessageBox(QStringLiteral("שגיאה"),
                                       QStringLiteral("תאריך זה אינו חוקי, נסה שנית"),
                                       MessageKind::kError, MessageButtons::kOk, this);
  ShowDate(calendar_->selectedDate(), true);
  if (move_focus) {
    QWidget* target = !period_->isHidden()   ? static_cast<QWidget*>(period_)
                      : repeat_->isEnabled() ? static_cast<QWidget*>(repeat_)
                                             : date_;
    target->setFocus(Qt::TabFocusReason);
  }
  return false;
}

void TDateFrm::DateDoubleClick() {
  calendar_dialog_.SetDate(ReadDateField().value_or(calendar_->selectedDate()));
  calendar_dialog_.SetOkCaption(QStringLiteral("הכנס"));
  if (calendar_dialog_.exec() != QDialog::Accepted) return;
  date_->setText(DateText(calendar_dialog_.Date()));
  CheckDateText(false);
}

// The day last chosen where the month has it, else the month's last day;
// stepping through a short month does not lose the day.
void TDateFrm::MoveMonth(int year, int month) {
  const int day = chosen_day_;
  const QDate first(year, month, 1);
  ShowDate(first.addDays(std::min(day, first.daysInMonth()) - 1), true);
  chosen_day_ = day;
}

void TDateFrm::ShowDate(QDate date, bool write_text) {
  const QScopedValueRollback<bool> quiet(updating_, true);
  chosen_day_ = date.day();
  calendar_->setSelectedDate(date);
  calendar_->setCurrentPage(date.year(), date.month());
  months_->setCurrentIndex(date.month() - 1);
  year_->setValue(date.year());
  if (write_text) date_->setText(DateText(date));
}

void TDateFrm::RepeatCountLeft() { repeat_->setValue(std::clamp(repeat_->value(), 1, 900)); }

void TDateFrm::RepeatCountChanged(int count) {
  period_->setVisible(count >= 2);
  period_label_->setVisible(count >= 2);
}

}  // namespace cheque
