#include "app/common/busy_notice.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "app/common/form_font.h"

namespace cheque {

TSplash::TSplash(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      panel_(new QLabel(kDefaultText, this)) {
  setObjectName(QStringLiteral("TSplash"));
  SetFormFont(this);
  setFixedSize(472, 60);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  panel_->setObjectName(QStringLiteral("Panel1"));
  panel_->setAlignment(Qt::AlignCenter);
  panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel_->setStyleSheet(QStringLiteral("color: red; font-size: 12pt;"));
  layout->addWidget(panel_);
}

void TSplash::ShowBusy(const QString& text) {
  panel_->setText(text);
  ++depth_;
  if (!isVisible()) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      move(screen->availableGeometry().center() - rect().center());
    }
    show();
  }
  ProcessPendingMessages();
  if (parentWidget() != nullptr) parentWidget()->activateWindow();
}

void TSplash::HideBusy() {
  if (depth_ == 0) return;
  if (--depth_ == 0) {
    hide();
    if (parentWidget() != nullptr && parentWidget()->isVisible()) parentWidget()->activateWindow();
  }
  ProcessPendingMessages();
}

QString TSplash::Text() const { return panel_->text(); }

void TSplash::SetText(const QString& text) { panel_->setText(text); }

BusyScope::BusyScope(TSplash& splash, const QString& text)
    : splash_(splash), previous_(splash.Text()) {
  splash_.ShowBusy(text);
}

BusyScope::~BusyScope() {
  splash_.SetText(previous_);
  splash_.HideBusy();
}

void ProcessPendingMessages() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

EscapeWatch::EscapeWatch(bool& cancel_request) : cancel_request_(cancel_request) {
  QCoreApplication::instance()->installEventFilter(this);
  since_poll_.start();
}

EscapeWatch::~EscapeWatch() { QCoreApplication::instance()->removeEventFilter(this); }

bool EscapeWatch::Poll() {
  if (Due()) {
    QCoreApplication::processEvents();
    since_poll_.restart();
  }
  return cancel_request_;
}

bool EscapeWatch::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) cancel_request_ = true;
      return true;
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
      return true;
    case QEvent::Close:
      return event->spontaneous();
    default:
      return false;
  }
}

}  // namespace cheque
