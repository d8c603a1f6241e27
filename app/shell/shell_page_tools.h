#pragma once

#include "app/common/services.h"

namespace cheque {

// The help mode and the vendor menu of the shell, for the pages' tools.
class ShellPageTools : public PageTools {
 public:
  explicit ShellPageTools(Services& services) : services_(services) {}
  void ConnectHelpMode(QToolButton* button) override;
  QMenu* ConnectVendorMenu(QToolButton* button, QWidget* owner) override;

 private:
  Services& services_;
};

}  // namespace cheque
