#pragma once

#include <QWidget>

#include "core/install/install.h"

class QFrame;
class QLabel;
class QProgressBar;

namespace cheque::setup {

class SetupPrompter;
class TSplash;

// The last word of an installation: done, the folder, and how to start.
QString InstalledMessage(const QString& target);

// Setup's main window: install, remove, exit.
class TForm1 : public QWidget {
  Q_OBJECT

 public:
  // `source` is the folder installed from: the folder of the running Setup.
  TForm1(const install::Places& places, const QString& source, SetupPrompter& prompter,
         QWidget* parent = nullptr);

  void Install();
  void Remove();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QLabel* AddLink(const QString& name, const QString& text, int top);
  void Highlight(QLabel* link, bool on);
  void Tell(const QString& text, bool error);

  install::Places places_;
  QString source_;
  SetupPrompter& prompter_;
  TSplash* splash_;
  QLabel* label3_ = nullptr;
  QLabel* label6_ = nullptr;
  QLabel* image2_ = nullptr;
  QProgressBar* gauge_ = nullptr;
  bool busy_ = false;  // the copy lets events run: no second install or removal meanwhile
};

}  // namespace cheque::setup
