#pragma once

#include <QCursor>
#include <QFrame>
#include <QPointer>
#include <vector>

class QLabel;
class QToolButton;

namespace cheque {

// The small yellow help window: explains the control under the mouse while
// the help mode is on.
class THlppp : public QFrame {
  Q_OBJECT

 public:
  explicit THlppp(QWidget* main_window);
  void SetText(const QString& text);
  QString Text() const;

 signals:
  // A click on the window's texts.
  void Clicked();
  // Another window took the focus.
  void FocusLost();

 protected:
  bool event(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QLabel* text_ = nullptr;
};

// The help mode of the toggle button "קבלת עזרה" (SBHelp): the button's
// window is the one explained.
class HelpMode : public QObject {
  Q_OBJECT

 public:
  explicit HelpMode(QToolButton* button);
  bool IsOn() const;
  // Made when the mode is first switched on.
  THlppp* Window() const { return window_; }
  void ButtonClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Show();
  void Close(bool focus_lost);
  void SetHelpCursor();
  void RestoreCursors();

  QToolButton* button_;
  QPointer<QWidget> main_window_;
  QPointer<THlppp> window_;
  // The window closed because the press on the help button took its focus;
  // that press's click only releases the button.
  bool closed_by_focus_loss_ = false;
  struct SavedCursor {
    QPointer<QWidget> widget;
    bool own = false;
    QCursor cursor;
  };
  std::vector<SavedCursor> saved_cursors_;
};

// Gives the toggle button its help mode.
HelpMode* ConnectHelpMode(QToolButton* button);

}  // namespace cheque
