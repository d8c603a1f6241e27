#include "app/shell/first_time.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/common/form_font.h"
#include "app/shell/account_data_dialog.h"
#include "app/shell/private_data_dialog.h"
#include "core/files/line_file.h"
#include "core/files/program_folder.h"

namespace cheque {
namespace {

constexpr int kGap = 8;

}  // namespace

QPoint BannerPlace(QSize banner, const QRect& dialog, const QRect& area) {
  const int w = banner.width();
  const int h = banner.height();
  // Kept inside the area where it fits at all.
  const int centred_x =
      std::max(area.left(), std::min(dialog.center().x() - w / 2, area.right() + 1 - w));
  const int side_y = std::max(area.top(), std::min(dialog.top(), area.bottom() + 1 - h));
  const QPoint candidates[] = {
      {centred_x, dialog.top() - kGap - h},
      {centred_x, dialog.bottom() + 1 + kGap},
      {dialog.left() - kGap - w, side_y},
      {dialog.right() + 1 + kGap, side_y},
  };
  for (const QPoint& at : candidates) {
    const QRect place(at, banner);
    if (area.contains(place) && !place.intersects(dialog)) return at;
  }
  return area.topLeft();
}

TFirstTime::TFirstTime(Services& services, TPrivateDta& private_data, TAccountData& account_data,
                       QWidget* parent)
    // Not stay-on-top: it must never hide a dialog or a question of the first run.
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
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
  private_data_.installEventFilter(this);
  account_data_.installEventFilter(this);
}

bool TFirstTime::IsNeeded() {
  return !FileExists(ProgramFile(file_names::kPersonalDetails)) ||
         !FileExists(ProgramFile(file_names::kAccountList));
}

void TFirstTime::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  QTimer::singleShot(0, this, &TFirstTime::Run);
}

// The dialogs take their size and place only as they are shown (centred on
// the main window); the banner follows once they have.
bool TFirstTime::eventFilter(QObject* watched, QEvent* event) {
  if (!isVisible()) return QDialog::eventFilter(watched, event);
  QPointer<QWidget> dialog = static_cast<QWidget*>(watched);
  if (event->type() == QEvent::Show) {
    QTimer::singleShot(0, this, [this, dialog] {
      if (dialog != nullptr && dialog->isVisible()) MoveBeside(*dialog);
    });
  } else if (event->type() == QEvent::Move && dialog->isVisible()) {
    MoveBeside(*dialog);
  }
  return QDialog::eventFilter(watched, event);
}

void TFirstTime::MoveBeside(const QWidget& dialog) {
  const QScreen* screen = dialog.screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect outer = dialog.frameGeometry();
  // Before the window manager has framed it, allow for a title bar.
  if (outer == dialog.geometry()) {
    outer.setTop(outer.top() - style()->pixelMetric(QStyle::PM_TitleBarHeight) - kGap);
  }
  move(BannerPlace(size(), outer, screen->availableGeometry()));
}

void TFirstTime::Run() {
  services_.sounds->Play(QStringLiteral("errors.wav"));
  bool ok = true;
  if (!FileExists(ProgramFile(file_names::kPersonalDetails))) {
    ok = private_data_.exec() == QDialog::Accepted;
  }
  if (ok && !FileExists(ProgramFile(file_names::kAccountList))) {
    ok = account_data_.exec() == QDialog::Accepted;
  }
  QTimer::singleShot(0, this, [this, ok] { done(ok ? QDialog::Accepted : QDialog::Rejected); });
}

}  // namespace cheque
