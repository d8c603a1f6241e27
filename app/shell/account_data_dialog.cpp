#include "app/shell/account_data_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/common/amount_field.h"
#include "app/common/field_order.h"
#include "app/common/form_font.h"
#include "app/common/required_fields.h"
#include "app/common/text_guard.h"
#include "core/files/program_folder.h"
#include "core/text/amount.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

// The empty places of the phone masks are blanks, so a field is stored with its
// literals and blanks ("0 -   -    ").
const QString kPhoneMask = QStringLiteral("\\09-999-9999; ");
const QString kMobileMask = QStringLiteral("\\059-999-9999; ");

QString AccountListPath() { return ProgramFile(file_names::kAccountList); }

// Names as the drop-down shows them: alphabetical, ASCII letter case aside.
QStringList SortedNames(QStringList names) {
  std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  return names;
}

}  // namespace

TAccountData::TAccountData(Services& services, QWidget* parent)
    : QDialog(parent), services_(services) {
  setObjectName(QStringLiteral("TAccountData"));
  setWindowTitle(QStringLiteral("הגדרות חשבון"));
  SetFormFont(this);
  BuildControls();
  ConnectFields();

  // The first account of a first run starts from the defaults of a new one.
  FillFields(AccountDefinition());
  file_name_ = ProgramFile(file_names::kDefaultAccountFile);
  file_base_ = NextAccountFileBase(ProgramFolder());
  ReadAccountNames();
  if (combo_->count() > 0) combo_->setCurrentIndex(0);
  business_->setChecked(true);
}

QLineEdit* TAccountData::AddField(const QString& object_name, const QString& label_text,
                                  bool required) {
  // Six fields a column.
  const int row = grid_count_ % 6;
  const int column = (grid_count_ / 6) * 2;
  ++grid_count_;
  return AddLabelledField(this, grid_, object_name, label_text, required, row, column);
}

void TAccountData::BuildControls() {
  auto* top = new QHBoxLayout;
  combo_label_ = new QLabel(QStringLiteral("חשבונות"), this);
  combo_label_->setObjectName(QStringLiteral("LblComboBox1"));
  combo_ = new QComboBox(this);
  combo_->setObjectName(QStringLiteral("ComboBox1"));
  combo_->setMinimumContentsLength(20);
  combo_label_->setBuddy(combo_);
  top->addWidget(combo_label_);
  top->addWidget(combo_, 1);

  grid_ = new QGridLayout;
  name_ = AddField(QStringLiteral("ActEdtName"), QStringLiteral("שם חשבון"), true);
  account_number_ = AddField(QStringLiteral("ActEdtActNum"), QStringLiteral("מספר חשבון"), true);
  bank_ = AddField(QStringLiteral("Edit2"), QStringLiteral("בנק"), false);
  branch_ = AddField(QStringLiteral("Edit3"), QStringLiteral("סניף"), false);
  credit_limit_ = AddField(QStringLiteral("ActEdtFrm"), QStringLiteral("מסגרת"), true);
  next_cheque_ = AddField(QStringLiteral("Edit7"), QStringLiteral("המחאה"), false);
  contact_ = AddField(QStringLiteral("Edit5"), QStringLiteral("איש קשר"), false);
  phone_ = AddField(QStringLiteral("MaskEdit4"), QStringLiteral("טלפון"), false);
  fax_ = AddField(QStringLiteral("MaskEdit5"), QStringLiteral("פקס"), false);
  mobile_ = AddField(QStringLiteral("MaskEdit2"), QStringLiteral("טלפון נייד"), false);
  opening_balance_ = AddField(QStringLiteral("Edit8"), QStringLiteral("יתרת פתיחה"), true);
  vat_percent_ = AddField(QStringLiteral("Edit1"), QStringLiteral("אחוז המע\"מ"), false);
  phone_->setInputMask(kPhoneMask);
  fax_->setInputMask(kPhoneMask);
  mobile_->setInputMask(kMobileMask);
  for (QLineEdit* masked : {phone_, fax_, mobile_}) masked->setLayoutDirection(Qt::LeftToRight);

  auto* kind = new QHBoxLayout;
  business_ = new QRadioButton(QStringLiteral("עסקי"), this);
  business_->setObjectName(QStringLiteral("RBBusiness"));
  private_ = new QRadioButton(QStringLiteral("פרטי"), this);
  private_->setObjectName(QStringLiteral("RBNoBusiness"));
  kind->addWidget(business_);
  kind->addWidget(private_);
  kind->addStretch(1);

  auto* buttons = new QHBoxLayout;
  auto add_button = [this, buttons](const QString& object_name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(object_name);
    // Enter is handled by the field order; no button is pressed by default.
    button->setAutoDefault(false);
    buttons->addWidget(button);
    return button;
  };
  new_button_ = add_button(QStringLiteral("BtnNew"), QStringLiteral("חדש"));
  delete_button_ = add_button(QStringLiteral("BtnDelete"), QStringLiteral("מחיקה"));
  buttons->addStretch(1);
  ok_button_ = add_button(QStringLiteral("OKBtn"), QStringLiteral("אישור"));
  cancel_button_ = add_button(QStringLiteral("CancelBtn"), QStringLiteral("ביטול"));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(grid_);
  layout->addLayout(kind);
  layout->addLayout(RequiredFieldsNote(this));
  layout->addLayout(buttons);

  new FieldOrder({{name_},
                  {account_number_},
                  {next_cheque_},
                  {bank_},
                  {branch_},
                  {credit_limit_},
                  {contact_},
                  {phone_},
                  {fax_},
                  {mobile_},
                  {business_, private_},
                  {opening_balance_},
                  {vat_percent_},
                  {ok_button_}},
                 FieldOrder::Keys{}, this);
}

void TAccountData::ConnectFields() {
  for (QLineEdit* field : findChildren<QLineEdit*>()) {
    if (field->inputMask().isEmpty()) TextGuard::Attach(field, *services_.prompter);
    connect(field, &QLineEdit::textEdited, this, [this] { changed_ = true; });
  }
  for (QLineEdit* field : {credit_limit_, next_cheque_, opening_balance_, vat_percent_}) {
    connect(field, &QLineEdit::textEdited, this, [this, field] { NumericFieldChange(field); });
  }
  for (QRadioButton* kind : {business_, private_}) {
    connect(kind, &QRadioButton::clicked, this, [this] { changed_ = true; });
  }
  connect(combo_, &QComboBox::activated, this, &TAccountData::ComboBox1Change);
  combo_->installEventFilter(this);
  connect(new_button_, &QPushButton::clicked, this, &TAccountData::BtnNewClick);
  connect(delete_button_, &QPushButton::clicked, this, &TAccountData::BtnDeleteClick);
  connect(ok_button_, &QPushButton::clicked, this, &TAccountData::OKBtnClick);
  connect(cancel_button_, &QPushButton::clicked, this, &TAccountData::reject);
}

void TAccountData::NumericFieldChange(QLineEdit* field) {
  CheckNumericField(*field, *services_.prompter, this);
}

bool TAccountData::ReadAccountNames() {
  const auto list = AccountList::Read(AccountListPath());
  RefillDropDown(list ? list->Names() : QStringList(), SelectedName());
  return list.has_value();
}

void TAccountData::RefillDropDown(const QStringList& names, const QString& selected) {
  combo_->clear();
  combo_->addItems(SortedNames(names));
  if (combo_->count() > 0) combo_->setCurrentIndex(0);
  SelectName(selected);
}

QStringList TAccountData::AccountNames() const {
  QStringList names;
  for (int i = 0; i < combo_->count(); ++i) names.append(combo_->itemText(i));
  return names;
}

QString TAccountData::SelectedName() const { return combo_->currentText(); }

void TAccountData::SelectName(const QString& name) {
  for (int i = 0; i < combo_->count(); ++i) {
    if (TextEquals(QStringView(combo_->itemText(i)), QStringView(name))) {
      combo_->setCurrentIndex(i);
      return;
    }
  }
}

bool TAccountData::LookUpAccount(const QString& name) {
  const auto list = AccountList::Read(AccountListPath());
  if (!list) return false;
  if (const AccountDefinition* account = list->Find(name)) {
    FillFields(*account);
    looked_up_name_ = account->name;
  }
  return true;
}

void TAccountData::FillFields(const AccountDefinition& account) {
  name_->setText(account.name);
  file_base_ = account.file_base;
  file_name_ = AccountFilePath(ProgramFolder(), file_base_);
  bank_->setText(account.bank);
  branch_->setText(account.branch);
  contact_->setText(account.contact);
  phone_->setText(account.phone);
  fax_->setText(account.fax);
  mobile_->setText(account.mobile);
  account_number_->setText(account.account_number);
  credit_limit_->setText(account.credit_limit);
  next_cheque_->setText(account.next_cheque);
  (account.business ? business_ : private_)->setChecked(true);
  opening_balance_->setText(account.opening_balance);
  vat_percent_->setText(account.vat_percent);
}

AccountDefinition TAccountData::Definition() const {
  AccountDefinition a;
  a.name = name_->text();
  a.file_base = file_base_;
  a.bank = bank_->text();
  a.branch = branch_->text();
  a.contact = contact_->text();
  // The masked fields keep their literals and blanks.
  a.phone = phone_->displayText();
  a.fax = fax_->displayText();
  a.mobile = mobile_->displayText();
  a.account_number = account_number_->text();
  a.credit_limit = credit_limit_->text();
  a.next_cheque = next_cheque_->text();
  a.business = business_->isChecked();
  a.opening_balance = opening_balance_->text();
  a.vat_percent = vat_percent_->text();
  return a;
}

QString TAccountData::AccountFileName() const { return file_name_; }

void TAccountData::SetNextChequeNumber(const QString& number) { next_cheque_->setText(number); }

void TAccountData::SetActiveAccountTitle(const QString& title) { active_title_ = title; }

void TAccountData::ShowDropDown(bool visible) {
  combo_->setVisible(visible);
  combo_label_->setVisible(visible);
}

void TAccountData::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The drop-down keeps the entry that the main window selected through
  // SelectName; failing that, the active account, else the first.
  const QString selected = SelectedName();
  ReadAccountNames();
  if (!TextEquals(QStringView(SelectedName()), QStringView(selected))) {
    SelectName(active_title_);
  }
  new_account_ = false;
  ShowDropDown(combo_->count() > 0);
  if (combo_->count() > 0) LookUpAccount(SelectedName());
  changed_ = false;
  name_->setFocus(Qt::OtherFocusReason);
}

bool TAccountData::eventFilter(QObject* watched, QEvent* event) {
  if (watched == combo_ && event->type() == QEvent::FocusIn) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    // Coming back from a message box or the list's popup is not entering it.
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      ComboBox1Enter();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TAccountData::ComboBox1Enter() {
  if (changed_) SaveAccountDefinition();
}

void TAccountData::ComboBox1Change(int index) {
  if (index < 0) return;
  LookUpAccount(combo_->itemText(index));
  changed_ = false;
}

}  // namespace cheque
