// The active account: start, loading, saving, switching, the timer and exit.
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>

#include "app/cheques/cheque_page.h"
#include "app/common/busy_notice.h"
#include "app/shell/account_data_dialog.h"
#include "app/shell/first_time.h"
#include "app/shell/intro_screen.h"
#include "app/shell/main_window.h"
#include "app/register/register_area.h"
#include "app/register/register_grid.h"
#include "app/register/transaction_dialog.h"
#include "app/shell/private_data_dialog.h"
#include "core/files/line_file.h"
#include "core/files/personal_details.h"
#include "core/files/program_folder.h"
#include "core/register/register_model.h"
#include "core/text/date_text.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

// Timer1 ticks every 300 ms; about four minutes of active use between saves.
constexpr int kTimerInterval = 300;
constexpr int kAutosaveSeconds = 240;

int FindName(const QComboBox& combo, const QString& name) {
  for (int i = 0; i < combo.count(); ++i) {
    if (TextEquals(QStringView(combo.itemText(i)), QStringView(name))) return i;
  }
  return -1;
}

}  // namespace

bool TForm1::Start() {
  if (TFirstTime::IsNeeded() && first_time_->exec() != QDialog::Accepted) return false;
  if (intro_->exec() != QDialog::Accepted) return false;
  const int page = intro_->ChosenPage();

  account_data_->ReadAccountNames();
  CopyAccountNames(account_data_->AccountNames(), QString());
  active_account_file_ = account_data_->AccountFileName();
  // The account of the last run, while it still exists; else the first.
  QString name = accounts_combo_->count() > 0 ? accounts_combo_->itemText(0) : QString();
  if (const auto last = ReadLastAccountName(ProgramFile(file_names::kLastAccount))) {
    if (FindName(*accounts_combo_, *last) >= 0) name = *last;
  }
  LoadAccount(name, false);
  // The report wizard comes later; its page opens on the register for now.
  ShowPage(page == kChequePage ? kChequePage : kRegisterPage);
  return true;
}

void TForm1::CopyAccountNames(const QStringList& names, const QString& selected) {
  for (QComboBox* combo : {accounts_combo_, cheque_accounts_combo_}) {
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(names);  // in the account dialog's order
    const int at = FindName(*combo, selected);
    combo->setCurrentIndex(at >= 0 ? at : (combo->count() > 0 ? 0 : -1));
  }
}

void TForm1::LoadAccount(const QString& name, bool keep_order) {
  if (busy_) return;
  busy_ = true;
  {
    BusyScope busy(*splash_, QStringLiteral(" טוען חשבון   -   ") + name);
    const int at = FindName(*accounts_combo_, name);
    if (at >= 0) accounts_combo_->setCurrentIndex(at);

    if (!account_data_->LookUpAccount(name)) {
      // Without an account list the user defines one first.
      account_data_->exec();
      private_data_->exec();
      account_data_->LookUpAccount(name);
    }
    const bool known = account_data_->AccountNames().contains(name, Qt::CaseInsensitive);
    const QString file = account_data_->AccountFileName();
    if (known && !file.isEmpty()) active_account_file_ = file;
    file_label_->setText(QStringLiteral("בקובץ:") + active_account_file_);

    grid_->hide();
    ReadError why = ReadError::kNone;
    const AccountFileStatus status = LoadAccountFile(
        active_account_file_, account_data_->Definition().opening_balance, register_, &why);
    model_->Reset();
    last_visited_ = {};
    reported_overflow_row_ = -1;
    date_frm_->SetBusinessAccount(account_data_->Definition().business);
    // A file that could not be read must never be overwritten by an empty register.
    account_loaded_ = status != AccountFileStatus::kUnavailable;
    if (!account_loaded_) {
      services_.prompter->ShowError(QStringLiteral("לא ניתן לפתוח או ליצור את קובץ החשבון\r") +
                                        Shortened(active_account_file_, 120) + u'\r' +
                                        ReadErrorText(why),
                                    this);
    } else {
      grid_->show();
      GoToDate(services_.clock->Now());
    }

    title_panel_->setText(name);
    account_data_->SetActiveAccountTitle(name);
    credit_limit_label_->setText(account_data_->Definition().credit_limit);
    cheque_page_->AccountLoaded(account_data_->Definition());
    busy_ = false;
    if (!keep_order) {
      SortByDate();
      // The sort moved the rows under the cursor: today's row again.
      if (account_loaded_) GoToDate(services_.clock->Now());
    }
  }
  RefreshAfterChange();
}

bool TForm1::SaveAccount() {
  if (!account_loaded_) return true;
  BusyScope busy(*splash_, QStringLiteral("... מבצע שמירה אוטומאטית של החשבון, המתן"));
  if (SaveAccountFile(active_account_file_, register_)) return true;
  services_.prompter->ShowError(
      QStringLiteral("לא ניתן לשמור את החשבון בקובץ\r") + Shortened(active_account_file_, 120) +
          QStringLiteral("\rהתנועות נשארו בזיכרון; בדוק את הדיסק ונסה שוב"),
      this);
  return false;
}

void TForm1::GoToDate(std::optional<QDateTime> moment) {
  const int row = register_.GoToDateRow(moment ? MomentNumber(*moment) : 0.0);
  if (row < 0) return;
  grid_->SetCurrentCell(row, kDescriptionColumn);
  // The row before the chosen one becomes the top row.
  if (register_.RowCount() <= visible_rows_) {
    grid_->scrollToTop();
  } else {
    grid_->scrollTo(model_->index(std::max(0, row - 1), kDescriptionColumn),
                    QAbstractItemView::PositionAtTop);
  }
  RedrawSideAreas();
  if (notebook_->currentIndex() == kRegisterPage && grid_->isVisible()) grid_->setFocus();
}

void TForm1::SwitchAccount(const QString& name) {
  if (busy_ || splash_->IsBusyVisible()) return;
  SaveAccount();
  account_data_->SelectName(name);
  LoadAccount(name, false);
  const int at = FindName(*cheque_accounts_combo_, name);
  if (at >= 0) cheque_accounts_combo_->setCurrentIndex(at);
  if (notebook_->currentIndex() == kRegisterPage) GoToDate(services_.clock->Now());
}

void TForm1::ShowAccountDefinitions() {
  if (busy_ || splash_->IsBusyVisible()) return;
  const QString title = ActiveTitle();
  SaveAccount();
  account_data_->exec();
  ProcessPendingMessages();
  const QStringList names = account_data_->AccountNames();
  CopyAccountNames(names, account_data_->SelectedName());
  // A renamed active account is found again under its new name.
  LoadAccount(names.contains(title, Qt::CaseInsensitive) ? title : account_data_->SelectedName(),
              false);
}

void TForm1::ShowPersonalDetails() { private_data_->exec(); }

void TForm1::TimerTick() {
  const bool on_register = notebook_->currentIndex() == kRegisterPage;
  if (on_register && isActiveWindow() && !busy_) {
    ++autosave_ticks_;
    if (autosave_ticks_ / (1000 / kTimerInterval) > kAutosaveSeconds) {
      autosave_ticks_ = 0;
      SaveAccount();
    }
  }
  ++blink_count_;
  if (register_.NeedsSorting() && on_register) SetSortPictureHighlighted(blink_count_ % 2 == 1);
}

void TForm1::SetSortPictureHighlighted(bool highlighted) {
  sort_picture_->setProperty("highlighted", highlighted);
  sort_picture_->style()->unpolish(sort_picture_);
  sort_picture_->style()->polish(sort_picture_);
}

void TForm1::RefreshAfterChange() {
  grid_->viewport()->update();
  RedrawSideAreas();
}

void TForm1::ExitProgram() {
  if (splash_->IsBusyVisible() || busy_) return;
  services_.sounds->Play(QStringLiteral("Close.wav"), true);
  SaveAccount();
  ProcessPendingMessages();
  QString name = ActiveTitle();
  if (name.isEmpty() && accounts_combo_->count() > 0) name = accounts_combo_->itemText(0);
  if (!WriteLastAccountName(ProgramFile(file_names::kLastAccount), name)) {
    services_.prompter->ShowError(
        QStringLiteral("לא ניתן לרשום את שם החשבון האחרון בקובץ Cheque.ini"), this);
  }
  exiting_ = true;
  close();
  QCoreApplication::quit();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (exiting_) {
    event->accept();
    return;
  }
  event->ignore();
  ExitProgram();
}

}  // namespace cheque
