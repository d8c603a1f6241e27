// The active account: start, loading, saving, switching, the timer and exit.
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QStackedWidget>

#include "app/cheques/cheque_page.h"
#include "app/common/active_account.h"
#include "app/common/busy_notice.h"
#include "app/register/register_page.h"
#include "app/shell/account_data_dialog.h"
#include "app/shell/first_time.h"
#include "app/shell/intro_screen.h"
#include "app/shell/main_window.h"
#include "app/shell/private_data_dialog.h"
#include "core/files/personal_details.h"
#include "core/files/program_folder.h"
#include "core/register/open_account.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

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
  // The account of the last run, while it still exists; else the first.
  const QComboBox& combo = *register_page_->AccountCombo();
  QString name = combo.count() > 0 ? combo.itemText(0) : QString();
  if (const auto last = ReadLastAccountName(ProgramFile(file_names::kLastAccount))) {
    if (FindName(combo, *last) >= 0) name = *last;
  }
  LoadAccount(name, false);
  ShowPage(page == kChequePage ? kChequePage : kRegisterPage);
  // "הפקת דוחות" starts the wizard; without a report the register stays.
  if (page == kReportPage) NewReportClick();
  return true;
}

void TForm1::CopyAccountNames(const QStringList& names, const QString& selected) {
  for (QComboBox* combo : {register_page_->AccountCombo(), cheque_page_->AccountCombo()}) {
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(names);  // in the account dialog's order
    const int at = FindName(*combo, selected);
    combo->setCurrentIndex(at >= 0 ? at : (combo->count() > 0 ? 0 : -1));
  }
}

void TForm1::LoadAccount(const QString& name, bool keep_order) {
  if (account_->IsBusy()) return;
  account_->SetBusy(true);
  {
    BusyScope busy(*splash_, QStringLiteral(" טוען חשבון   -   ") + name);
    QComboBox& combo = *register_page_->AccountCombo();
    const int at = FindName(combo, name);
    if (at >= 0) combo.setCurrentIndex(at);

    if (!LocateAccount(ProgramFolder(), name).list_read) {
      // Without an account list the user defines one first.
      account_data_->exec();
      private_data_->exec();
    }
    // A pass over every date finds today's row: once, after the sort.
    register_page_->LoadAccount(name, keep_order);
    account_data_->SetActiveAccountTitle(name);
    account_->SetBusy(false);
    if (!keep_order) {
      register_page_->SortOpenedByDate();
      // The sort moved the rows under the cursor: today's row again.
      if (account_->IsLoaded()) register_page_->GoToDate(services_.clock->Now());
    }
    // Undo starts from the account as opened.
    account_->ForgetHistory();
  }
  register_page_->RefreshAfterChange();
}

bool TForm1::SaveAccount() { return register_page_->SaveAccount(); }

void TForm1::SwitchAccount(const QString& name) {
  if (account_->IsBusy() || splash_->IsBusyVisible()) return;
  SaveAccount();
  account_data_->SelectName(name);
  LoadAccount(name, false);
  QComboBox& combo = *cheque_page_->AccountCombo();
  const int at = FindName(combo, name);
  if (at >= 0) combo.setCurrentIndex(at);
  if (notebook_->currentIndex() == kRegisterPage) {
    register_page_->GoToDate(services_.clock->Now());
  }
}

void TForm1::ShowAccountDefinitions() {
  if (account_->IsBusy() || splash_->IsBusyVisible()) return;
  const QString title = ActiveTitle();
  SaveAccount();
  account_data_->exec();
  ProcessPendingMessages();
  const QStringList names = account_data_->AccountNames();
  CopyAccountNames(names, account_data_->SelectedName());
  // The definition is read again from the list; a renamed active account is
  // found under its new name.
  LoadAccount(names.contains(title, Qt::CaseInsensitive) ? title : account_data_->SelectedName(),
              false);
}

void TForm1::TimerTick() {
  register_page_->Tick(notebook_->currentIndex() == kRegisterPage, isActiveWindow());
}

void TForm1::ExitProgram() {
  if (splash_->IsBusyVisible() || account_->IsBusy()) return;
  services_.sounds->Play(QStringLiteral("Close.wav"), true);
  SaveAccount();
  ProcessPendingMessages();
  QString name = ActiveTitle();
  const QComboBox& combo = *register_page_->AccountCombo();
  if (name.isEmpty() && combo.count() > 0) name = combo.itemText(0);
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
