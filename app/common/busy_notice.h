#pragma once

#include <QWidget>

class QLabel;

namespace cheque {

// The busy notice: one borderless, stay-on-top window with red text. Nested
// operations share it: it hides when the outermost one ends.
class TSplash : public QWidget {
  Q_OBJECT

 public:
  explicit TSplash(QWidget* parent = nullptr);

  static inline const QString kDefaultText = QStringLiteral("... אנא המתן");

  void ShowBusy(const QString& text);
  void HideBusy();
  QString Text() const;
  void SetText(const QString& text);
  bool IsBusyVisible() const { return depth_ > 0; }

 private:
  QLabel* panel_;
  int depth_ = 0;
};

// Shows the notice with a text for the lifetime of the object and restores
// the text it had before, so nested operations keep each other's text.
class BusyScope {
 public:
  BusyScope(TSplash& splash, const QString& text);
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  TSplash& splash_;
  QString previous_;
};

// Lets queued window messages run inside a long operation.
void ProcessPendingMessages();

}  // namespace cheque
