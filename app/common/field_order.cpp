#include "app/common/field_order.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace cheque {

FieldOrder::FieldOrder(QList<QList<QWidget*>> stops, Keys keys, QObject* parent)
    : QObject(parent), stops_(std::move(stops)), keys_(keys) {
  QWidget* previous = nullptr;
  for (const auto& stop : stops_) {
    for (QWidget* widget : stop) {
      widget->installEventFilter(this);
      if (previous != nullptr) QWidget::setTabOrder(previous, widget);
      previous = widget;
    }
  }
}

int FieldOrder::StopOf(const QObject* widget) const {
  for (qsizetype i = 0; i < stops_.size(); ++i) {
    for (const QWidget* w : stops_[i]) {
      if (w == widget) return static_cast<int>(i);
    }
  }
  return -1;
}

void FieldOrder::FocusStop(int stop, bool backwards) {
  if (stop < 0 || stop >= stops_.size()) return;
  const auto& widgets = stops_[stop];
  QWidget* target = widgets.first();
  for (QWidget* w : widgets) {
    const auto* button = qobject_cast<QAbstractButton*>(w);
    if (button != nullptr && button->isChecked()) target = w;
  }
  target->setFocus(backwards ? Qt::BacktabFocusReason : Qt::TabFocusReason);
}

bool FieldOrder::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key_event = static_cast<QKeyEvent*>(event);
  if (key_event->modifiers() & ~Qt::KeypadModifier) return false;
  const int stop = StopOf(watched);
  if (stop < 0) return false;
  switch (key_event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (auto* button = qobject_cast<QPushButton*>(watched)) {
        button->click();
      } else {
        FocusStop(stop + 1, false);
      }
      return true;
    case Qt::Key_Down:
      if (!keys_.arrows) return false;
      FocusStop(stop + 1, false);
      return true;
    case Qt::Key_Up:
      if (!keys_.arrows) return false;
      FocusStop(stop - 1, true);
      return true;
    case Qt::Key_Home:
      if (!keys_.home) return false;
      FocusStop(0, true);
      return true;
    default:
      return false;
  }
}

}  // namespace cheque
