#include "app/shell/first_time.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "app/common/form_font.h"
#include "app/shell/account_data_dialog.h"
#include "app/shell/private_data_dialog.h"
#include "core/files/line_file.h"
#include "core/files/program_folder.h"

namespace cheque {

TFirstTime::TFirstTime(Services& services, TPrivateDta& private_data, TAccountData& account_data,
                       QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      services_(services),
      private_data_(private_data),
      account_data_(account_data) {
  setObjectName(QStringLiteral("TFirstTime"));
  setWindowTitle(QStringLiteral("הגדרות ראשונות"));
  SetFormFont(this);
  setFixedSize(300, 70);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* label = new QLabel(QStringLiteral("משתמש חדש"), this);
  label->setObjectName(QStringLiteral("Label1"));
  label->setAlignment(Qt::AlignCenter);
  label->setStyleSheet(
      QStringLiteral("color: blue; font-size: 28pt; font-weight: bold; background: #c0c0c0;"));
  layout->addWidget(label);
}

bool TFirstTime::IsNeeded() {
  return !FileExists(ProgramFile(file_names::kPersonalDetails)) ||
         !FileExists(ProgramFile(file_names::kAccountList));
}

void TFirstTime::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  QTimer::singleShot(0, this, &TFirstTime::Run);
}

// Sits just above the dialog that is about to appear in the middle of the screen.
void TFirstTime::MoveAbove(const QWidget& dialog) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  move(area.center().x() - width() / 2, area.height() / 2 - dialog.height() / 2 - height());
}

void TFirstTime::Run() {
  services_.sounds->Play(QStringLiteral("errors.wav"));
  bool ok = true;
  if (!FileExists(ProgramFile(file_names::kPersonalDetails))) {
    MoveAbove(private_data_);
    ok = private_data_.exec() == QDialog::Accepted;
  }
  if (ok && !FileExists(ProgramFile(file_names::kAccountList))) {
    MoveAbove(account_data_);
    ok = account_data_.exec() == QDialog::Accepted;
  }
  QTimer::singleShot(0, this, [this, ok] { done(ok ? QDialog::Accepted : QDialog::Rejected); });
}

}  // namespace cheque
