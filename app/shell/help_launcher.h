#pragma once

#include <QObject>

#include "app/common/services.h"

namespace cheque {

class TForm1;

// The program's help handler: F1 anywhere in the program opens the page of
// the focused control's help context (or of its window's) through the
// Shell. It also gives the main window's parts their contexts.
class HelpLauncher : public QObject {
  Q_OBJECT

 public:
  HelpLauncher(Services& services, TForm1& main_window);
  ~HelpLauncher() override;
  // Opens the page of a context; false when the shell could not.
  bool ShowHelp(int context);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Services& services_;
};

}  // namespace cheque
