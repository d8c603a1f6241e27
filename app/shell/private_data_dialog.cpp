#include "app/shell/private_data_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/common/field_order.h"
#include "app/common/form_font.h"
#include "app/common/required_fields.h"
#include "app/common/text_guard.h"
#include "core/files/line_file.h"
#include "core/files/personal_details.h"
#include "core/files/program_folder.h"

namespace cheque {
namespace {

const QString kError = QStringLiteral("שגיאה");
const QString kRequiredMessage = QStringLiteral("יש למלא את השם, המשפחה, ושם העסק");

QString DetailsPath() { return ProgramFile(file_names::kPersonalDetails); }

}  // namespace

TPrivateDta::TPrivateDta(Services& services, QWidget* parent)
    : QDialog(parent), services_(services) {
  setObjectName(QStringLiteral("TPrivateDta"));
  setWindowTitle(QStringLiteral("פרטים אישיים"));
  SetFormFont(this);
  BuildControls();
  setFixedSize(388, 222);
  ReadDetails();
}

QLineEdit* TPrivateDta::AddField(const QString& object_name, const QString& label_text,
                                 bool required, int row, int column) {
  return AddLabelledField(this, grid_, object_name, label_text, required, row, column);
}

void TPrivateDta::BuildControls() {
  grid_ = new QGridLayout;
  first_name_ = AddField(QStringLiteral("EdtFirstName"), QStringLiteral("שם פרטי:"), true, 0, 0);
  family_name_ = AddField(QStringLiteral("EdtFamilyName"), QStringLiteral("משפחה"), true, 1, 0);
  business_name_ =
      AddField(QStringLiteral("EdtBusinessName"), QStringLiteral("שם העסק"), true, 2, 0);
  address_ = AddField(QStringLiteral("EdtAddress"), QStringLiteral("כתובת"), false, 3, 0);
  phone_ = AddField(QStringLiteral("MaskEdtPhone"), QStringLiteral("טלפון"), false, 0, 2);
  fax_ = AddField(QStringLiteral("MaskEdtFax"), QStringLiteral("פקס"), false, 1, 2);
  mobile_ = AddField(QStringLiteral("MaskEdtMobile"), QStringLiteral("טלפון נייד"), false, 2, 2);
  // Empty places are blanks, so the file keeps literals and blanks ("0 -   -    ").
  phone_->setInputMask(QStringLiteral("\\09-999-9999; "));
  fax_->setInputMask(QStringLiteral("\\09-999-9999; "));
  mobile_->setInputMask(QStringLiteral("\\059 999-9999; "));
  for (QLineEdit* masked : {phone_, fax_, mobile_}) {
    masked->setLayoutDirection(Qt::LeftToRight);
    masked->setMaximumWidth(100);
  }
  for (QLineEdit* text : {first_name_, family_name_, business_name_, address_}) {
    TextGuard::Attach(text, *services_.prompter);
  }

  auto* buttons = new QHBoxLayout;
  ok_button_ = new QPushButton(QStringLiteral("אישור"), this);
  ok_button_->setObjectName(QStringLiteral("OKBtn"));
  cancel_button_ = new QPushButton(QStringLiteral("ביטול"), this);
  cancel_button_->setObjectName(QStringLiteral("CancelBtn"));
  buttons->addStretch(1);
  for (QPushButton* button : {ok_button_, cancel_button_}) {
    // Enter is handled by the field order; no button is pressed by default.
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid_);
  layout->addStretch(1);
  layout->addLayout(RequiredFieldsNote(this));
  layout->addLayout(buttons);

  new FieldOrder({{first_name_},
                  {family_name_},
                  {business_name_},
                  {address_},
                  {phone_},
                  {fax_},
                  {mobile_},
                  {ok_button_}},
                 FieldOrder::Keys{.arrows = true, .home = true}, this);
  connect(ok_button_, &QPushButton::clicked, this, &TPrivateDta::OKBtnClick);
  connect(cancel_button_, &QPushButton::clicked, this, &TPrivateDta::reject);
}

void TPrivateDta::ReadDetails() {
  const auto details = PersonalDetails::Read(DetailsPath());
  if (!details) return;
  first_name_->setText(details->first_name);
  family_name_->setText(details->family_name);
  business_name_->setText(details->business_name);
  address_->setText(details->address);
  phone_->setText(details->phone);
  fax_->setText(details->fax);
  mobile_->setText(details->mobile);
}

void TPrivateDta::showEvent(QShowEvent* event) {
  // Edits that were not saved are dropped.
  ReadDetails();
  if (const QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  QDialog::showEvent(event);
  first_name_->setFocus(Qt::OtherFocusReason);
}

QLineEdit* TPrivateDta::FirstMissingField() const {
  for (QLineEdit* field : {first_name_, family_name_, business_name_}) {
    if (field->text().isEmpty()) return field;
  }
  return nullptr;
}

void TPrivateDta::OKBtnClick() {
  // Only a button that holds the focus acts, so Enter never confirms by accident.
  if (focusWidget() != ok_button_) return;
  if (QLineEdit* missing = FirstMissingField()) {
    services_.prompter->HebrewMessageBox(kError, kRequiredMessage, MessageKind::kError,
                                         MessageButtons::kOk, this);
    missing->setFocus(Qt::OtherFocusReason);
    return;
  }
  PersonalDetails details;
  details.first_name = first_name_->text();
  details.family_name = family_name_->text();
  details.business_name = business_name_->text();
  details.address = address_->text();
  details.phone = phone_->displayText();
  details.fax = fax_->displayText();
  details.mobile = mobile_->displayText();
  if (!details.Write(DetailsPath())) {
    services_.prompter->HebrewMessageBox(kError, QStringLiteral("לא ניתן לשמור את הפרטים האישיים"),
                                         MessageKind::kError, MessageButtons::kOk, this);
    return;
  }
  accept();
}

void TPrivateDta::reject() {
  if (FirstMissingField() == nullptr || FileExists(DetailsPath())) {
    QDialog::reject();
    return;
  }
  FirstMissingField()->setFocus(Qt::OtherFocusReason);
  const MessageAnswer answer = services_.prompter->HebrewMessageBox(
      kError, kRequiredMessage + u'\r' + QStringLiteral("? האם ברצונך לסיים"), MessageKind::kError,
      MessageButtons::kYesNo, this);
  if (answer == MessageAnswer::kYes) QDialog::reject();
}

}  // namespace cheque
