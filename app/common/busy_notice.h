#pragma once

#include <QElapsedTimer>
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

// Lets a long operation hear Escape. While the object lives, Poll() runs
// pending window messages now and then; the user's other keys, clicks and
// close requests are held back, so nothing else starts halfway, and Escape
// raises the cancel request.
class EscapeWatch : public QObject {
 public:
  explicit EscapeWatch(bool& cancel_request);
  ~EscapeWatch() override;
  EscapeWatch(const EscapeWatch&) = delete;
  EscapeWatch& operator=(const EscapeWatch&) = delete;

  // The cancel request after running what is pending (at most every 50 ms).
  bool Poll();
  // Whether the next Poll runs what is pending: the moment to show progress.
  bool Due() const { return since_poll_.elapsed() >= kPollMilliseconds; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static constexpr qint64 kPollMilliseconds = 50;
  bool& cancel_request_;
  QElapsedTimer since_poll_;
};

}  // namespace cheque
