#pragma once

#include <QList>
#include <QObject>

class QWidget;

namespace cheque {

// Moves the focus through a dialog's fields in a fixed order, so that Enter
// in a field never confirms the dialog by accident. A stop is one widget or a
// group of radio buttons (the focus goes to the checked one). Enter on a push
// button presses it. The order is also the Tab order.
class FieldOrder : public QObject {
  Q_OBJECT

 public:
  struct Keys {
    bool arrows = false;  // Down moves on like Enter, Up moves back
    bool home = false;    // Home goes to the first stop
  };

  FieldOrder(QList<QList<QWidget*>> stops, Keys keys, QObject* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int StopOf(const QObject* widget) const;
  void FocusStop(int stop, bool backwards);

  QList<QList<QWidget*>> stops_;
  Keys keys_;
};

}  // namespace cheque
