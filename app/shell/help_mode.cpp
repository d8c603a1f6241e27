#include "app/shell/help_mode.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/shell/help_context.h"

namespace cheque {
namespace {

const QColor kHelpColor(255, 255, 128);
constexpr int kHelpWidth = 350;
constexpr int kTextLines = 9;
constexpr int kOffset = 100;

// The help mode's cursor: an arrow with a question mark.
QCursor HelpCursor() { return QCursor(Qt::WhatsThisCursor); }

// The register grid of the main window itself; dialogs have grids of the
// same name.
QWidget* RegisterGridOf(QWidget* main_window) {
  for (QWidget* grid : main_window->findChildren<QWidget*>(QStringLiteral("StringGrid1"))) {
    if (grid->window() == main_window) return grid;
  }
  return nullptr;
}

}  // namespace

THlppp::THlppp(QWidget* main_window)
    : QFrame(main_window, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("THlppp"));
  setFont(main_window->font());
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kHelpColor);
  setPalette(palette);
  setCursor(HelpCursor());

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(3, 3, 3, 3);
  auto* bevel = new QFrame(this);
  bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  outer->addWidget(bevel);
  auto* layout = new QVBoxLayout(bevel);
  layout->setContentsMargins(6, 4, 6, 4);
  text_ = new QLabel(bevel);
  text_->setObjectName(QStringLiteral("HelpText"));
  text_->setTextFormat(Qt::PlainText);
  text_->setWordWrap(true);
  text_->setAlignment(Qt::AlignRight | Qt::AlignTop);
  layout->addWidget(text_, 1);
  auto* closing = new QLabel(QStringLiteral("לסיום: הקש על חלון זה או על כפתור העזרה"), bevel);
  closing->setObjectName(QStringLiteral("HelpClosing"));
  closing->setAlignment(Qt::AlignCenter);
  QPalette blue = closing->palette();
  blue.setColor(QPalette::WindowText, Qt::blue);
  closing->setPalette(blue);
  layout->addWidget(closing);

  const int line = fontMetrics().lineSpacing();
  setFixedSize(kHelpWidth, line * (kTextLines + 1) + 24);
}

void THlppp::SetText(const QString& text) { text_->setText(text); }
QString THlppp::Text() const { return text_->text(); }

bool THlppp::event(QEvent* event) {
  if (event->type() == QEvent::WindowDeactivate && isVisible()) emit FocusLost();
  return QFrame::event(event);
}

void THlppp::mousePressEvent(QMouseEvent* event) {
  event->accept();
  emit Clicked();
}

HelpMode::HelpMode(QToolButton* button) : QObject(button), button_(button) {
  button_->setCheckable(true);
  connect(button_, &QToolButton::clicked, this, &HelpMode::ButtonClicked);
}

bool HelpMode::IsOn() const { return window_ != nullptr && window_->isVisible(); }

void HelpMode::ButtonClicked() {
  if (window_ != nullptr && closed_by_focus_loss_) {
    closed_by_focus_loss_ = false;
    button_->setChecked(false);
    return;
  }
  closed_by_focus_loss_ = false;
  if (IsOn()) {
    Close(false);
  } else {
    Show();
  }
}

void HelpMode::Show() {
  main_window_ = button_->window();
  if (window_ == nullptr) {
    window_ = new THlppp(main_window_);
    connect(window_, &THlppp::Clicked, this, [this] { Close(false); });
    connect(window_, &THlppp::FocusLost, this, [this] { Close(true); });
    window_->SetText(ContextHelpText(RegisterGridOf(main_window_)));
  }
  QPoint place = main_window_->geometry().topLeft() + QPoint(kOffset, kOffset);
  if (const QWidget* grid = RegisterGridOf(main_window_)) {
    place += grid->mapTo(main_window_, QPoint(0, 0));
  }
  window_->move(place);
  button_->setChecked(true);
  SetHelpCursor();
  qApp->installEventFilter(this);
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void HelpMode::Close(bool focus_lost) {
  if (!IsOn()) return;
  // Only the press that took the focus may be swallowed; a press elsewhere
  // must not leave the next click on the button without effect.
  closed_by_focus_loss_ =
      focus_lost && button_->underMouse() && QApplication::mouseButtons() != Qt::NoButton;
  qApp->removeEventFilter(this);
  window_->hide();
  button_->setChecked(false);
  RestoreCursors();
}

bool HelpMode::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if ((type == QEvent::Enter || type == QEvent::Leave) && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (type == QEvent::Leave) {
      // Leaving a control for its parent sends no Enter to the parent; leaving
      // it for the help window keeps the text there to be read.
      const QWidget* under = QApplication::widgetAt(QCursor::pos());
      widget =
          under != nullptr && under->window() == main_window_ ? widget->parentWidget() : nullptr;
    }
    if (widget != nullptr && widget->window() == main_window_ && IsOn()) {
      window_->SetText(ContextHelpText(widget));
    }
  }
  return QObject::eventFilter(watched, event);
}

void HelpMode::SetHelpCursor() {
  saved_cursors_.clear();
  for (QWidget* widget : main_window_->findChildren<QWidget*>()) {
    if (widget->isWindow() || widget->window() != main_window_) continue;
    saved_cursors_.push_back({widget, widget->testAttribute(Qt::WA_SetCursor), widget->cursor()});
    widget->setCursor(HelpCursor());
  }
}

void HelpMode::RestoreCursors() {
  for (const SavedCursor& saved : saved_cursors_) {
    if (saved.widget == nullptr) continue;
    if (saved.own) {
      saved.widget->setCursor(saved.cursor);
    } else {
      saved.widget->unsetCursor();
    }
  }
  saved_cursors_.clear();
}

HelpMode* ConnectHelpMode(QToolButton* button) { return new HelpMode(button); }

}  // namespace cheque
