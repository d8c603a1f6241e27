#pragma once

#include <QUrl>

#include "app/common/services.h"

class QMenu;
class QToolButton;
class QWidget;

namespace cheque {

// The mail item's link: a new mail with no address and the program's
// subject.
QUrl VendorMailUrl();

// PopupMenu2 of the bank connection button: the help pages in place of a
// web site, a new mail, the About box and "ביטול". The menu is a child of
// `owner` named "PopupMenu2", so items can be put before these later.
QMenu* ConnectVendorMenu(QToolButton* button, Services& services, QWidget* owner);

}  // namespace cheque
