// Saving, creating and deleting account definitions, and leaving the dialog.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "app/shell/account_data_dialog.h"
#include "core/files/program_folder.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

const QString kError = QStringLiteral("שגיאה");
const QString kWarning = QStringLiteral("אזהרה");

QString AccountListPath() { return ProgramFile(file_names::kAccountList); }

}  // namespace

QLineEdit* TAccountData::FirstMissingField() const {
  for (QLineEdit* field : {name_, account_number_, credit_limit_, vat_percent_, opening_balance_}) {
    if (field->text().isEmpty()) return field;
  }
  return nullptr;
}

bool TAccountData::ReportFailure(const AccountChange& change) {
  QString text;
  switch (change.status) {
    case AccountChangeStatus::kDone:
      return false;
    case AccountChangeStatus::kUnknownAccount:
      // Gone from the list meanwhile: there is nothing left to change.
      return true;
    case AccountChangeStatus::kDuplicateName:
      services_.prompter->HebrewMessageBox(kError,
                                           QStringLiteral("כבר קיים חשבון בשם זה, יש לבחור שם אחר"),
                                           MessageKind::kError, MessageButtons::kOk, this);
      name_->setFocus(Qt::OtherFocusReason);
      return true;
    case AccountChangeStatus::kListUnreadable:
      text = QStringLiteral("לא ניתן לקרוא את רשימת החשבונות") + u'\r' +
             QStringLiteral("הקובץ נשאר ללא שינוי");
      break;
    case AccountChangeStatus::kListUnwritable:
      text = QStringLiteral("לא ניתן לשמור את הגדרות החשבון") + u'\r' +
             QStringLiteral("הקובץ הקודם נשאר ללא שינוי");
      break;
    case AccountChangeStatus::kFileKept:
      text =
          QStringLiteral("לא ניתן למחוק את קובץ החשבון") + u'\r' + QStringLiteral("החשבון לא נמחק");
      break;
  }
  services_.prompter->HebrewMessageBox(kError, text, MessageKind::kError, MessageButtons::kOk,
                                       this);
  return true;
}

bool TAccountData::SaveAccountDefinition() {
  file_base_ = StripBlanksAndUnderscores(file_base_);
  QLineEdit* missing = FirstMissingField();
  if (missing != nullptr || file_base_.isEmpty()) {
    services_.prompter->HebrewMessageBox(
        kError,
        QStringLiteral("יש להגדיר לפחות חשבון אחד. הקש על \"חשבון חדש\" ") + u'\r' +
            QStringLiteral("... או מלא את הפרטים החסרים"),
        MessageKind::kError, MessageButtons::kOk, this);
    if (missing != nullptr) missing->setFocus(Qt::OtherFocusReason);
    return false;
  }

  const AccountDefinition account = Definition();
  const QString old_name = looked_up_name_.isEmpty() ? SelectedName() : looked_up_name_;
  const AccountChange change =
      cheque::SaveAccountDefinition(ProgramFolder(), account, new_account_ ? QString() : old_name);
  if (ReportFailure(change)) return false;
  const AccountList& list = change.list;

  looked_up_name_ = account.name;
  file_name_ = AccountFilePath(ProgramFolder(), file_base_);
  new_account_ = false;
  changed_ = false;
  RefillDropDown(list.Names(), account.name);
  ShowDropDown(true);
  emit NamesChanged(AccountNames(), SelectedName());
  return true;
}

void TAccountData::OKBtnClick() {
  // Only a button that holds the focus acts, so Enter never confirms by accident.
  if (focusWidget() != ok_button_) return;
  if (SaveAccountDefinition()) accept();
}

void TAccountData::BtnNewClick() {
  new_account_ = true;
  ShowDropDown(false);
  FillFields(AccountDefinition());
  file_base_ = NextAccountFileBase(ProgramFolder());
  file_name_.clear();
  looked_up_name_.clear();
  name_->setFocus(Qt::OtherFocusReason);
}

void TAccountData::BtnDeleteClick() {
  // While a new account is being entered the drop-down is hidden, and the
  // account it still selects is not the one the user sees.
  const QString name = SelectedName();
  if (new_account_ || name.isEmpty()) return;
  if (TextEquals(QStringView(name), QStringView(active_title_))) {
    services_.prompter->HebrewMessageBox(
        kWarning, QStringLiteral("אין אפשרות למחוק חשבון פעיל, עבור קודם לחשבון אחר במסך התנועות"),
        MessageKind::kWarning, MessageButtons::kOk, this);
    return;
  }
  if (services_.prompter->HebrewMessageBox(
          kWarning,
          QStringLiteral("!!! הנך עומד למחוק לחלוטין חשבון זה") + u'\r' +
              QStringLiteral(".לאחר המחיקה אין כל אפשרות לשחזר את התנועות בחשבון") + u'\r' +
              QStringLiteral("? האם ברצונך להמשיך במחיקה"),
          MessageKind::kWarning, MessageButtons::kYesNo, this) != MessageAnswer::kYes) {
    return;
  }
  if (services_.prompter->HebrewMessageBox(
          kWarning,
          QStringLiteral("? האם אתה בטוח שברצונך למחוק את החשבון") + u'\r' +
              QStringLiteral("! אזהרה לפני מחיקה"),
          MessageKind::kWarning, MessageButtons::kOkCancel, this) != MessageAnswer::kOk) {
    return;
  }

  const AccountChange change = DeleteAccount(ProgramFolder(), name);
  if (ReportFailure(change)) return;
  const AccountList& list = change.list;

  RefillDropDown(list.Names(), QString());
  ShowDropDown(combo_->count() > 0);
  if (combo_->count() > 0) {
    LookUpAccount(SelectedName());
  } else {
    // Nothing left to show: the fields would otherwise still hold the deleted account.
    FillFields(AccountDefinition());
    file_base_ = NextAccountFileBase(ProgramFolder());
    file_name_.clear();
    looked_up_name_.clear();
  }
  changed_ = false;
  emit NamesChanged(AccountNames(), SelectedName());
}

void TAccountData::reject() {
  emit NamesChanged(AccountNames(), SelectedName());
  const auto list = AccountList::Read(AccountListPath());
  if (!list || list->IsEmpty()) {
    const MessageAnswer answer = services_.prompter->HebrewMessageBox(
        kError,
        QStringLiteral("...\"יש להגדיר לפחות חשבון אחד. הקש על \"חשבון חדש") + u'\r' +
            QStringLiteral("? האם ברצונך לסיים"),
        MessageKind::kError, MessageButtons::kYesNo, this);
    if (answer != MessageAnswer::kYes) return;
  }
  QDialog::reject();
}

}  // namespace cheque
