#pragma once

#include <QWidget>

class QLabel;

namespace cheque::setup {

// The borderless, always-on-top notice with one line of status text.
class TSplash : public QWidget {
  Q_OBJECT

 public:
  explicit TSplash(QWidget* parent = nullptr);
  // Shows `text` and repaints at once.
  void SetStatus(const QString& text);
  QString Status() const;

 private:
  QLabel* text_;
};

}  // namespace cheque::setup
