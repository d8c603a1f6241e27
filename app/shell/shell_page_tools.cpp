#include "app/shell/shell_page_tools.h"

#include "app/shell/help_mode.h"
#include "app/shell/vendor_menu.h"

namespace cheque {

void ShellPageTools::ConnectHelpMode(QToolButton* button) { cheque::ConnectHelpMode(button); }

QMenu* ShellPageTools::ConnectVendorMenu(QToolButton* button, QWidget* owner) {
  return cheque::ConnectVendorMenu(button, services_, owner);
}

}  // namespace cheque
