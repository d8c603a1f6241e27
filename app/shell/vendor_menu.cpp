#include "app/shell/vendor_menu.h"

#include <QMenu>
#include <QToolButton>
#include <QUrlQuery>

#include "app/shell/about_box.h"
#include "app/shell/help_context.h"

namespace cheque {

QUrl VendorMailUrl() {
  QUrl url(QStringLiteral("mailto:"));
  QUrlQuery query;
  query.addQueryItem(QStringLiteral("subject"), QStringLiteral("תזרים מזומנים"));
  url.setQuery(query);
  return url;
}

QMenu* ConnectVendorMenu(QToolButton* button, Services& services, QWidget* owner) {
  auto* menu = new QMenu(owner);
  menu->setObjectName(QStringLiteral("PopupMenu2"));
  // The site item's text is stored in visual order, as the program's messages
  // are; a left-to-right line shows it as a Hebrew reader expects.
  menu->setLayoutDirection(Qt::LeftToRight);
  auto* about = new TAboutBox(services, owner);
  const auto add = [menu](const QString& name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
  };
  QObject::connect(add(QStringLiteral("MnuVendorSite"), QStringLiteral("Orvel התחבר לאתר הבית של")),
                   &QAction::triggered, menu,
                   [&services] { services.shell->Open(HelpPageUrl(kHelpIndexPage)); });
  QObject::connect(add(QStringLiteral("MnuSendEmail"), QStringLiteral("Send an e-mail")),
                   &QAction::triggered, menu,
                   [&services] { services.shell->Open(VendorMailUrl()); });
  QObject::connect(add(QStringLiteral("MnuAbout"), QStringLiteral("About Mavrel")),
                   &QAction::triggered, about, &QDialog::exec);
  add(QStringLiteral("MnuNothing"), QStringLiteral("ביטול"));
  // At the button: 20 pixels in from its left edge, 50 above the status line.
  QObject::connect(button, &QToolButton::clicked, menu, [button, menu] {
    const QWidget* status = button->parentWidget();
    const QPoint at(button->mapToGlobal(QPoint(20, 0)).x(),
                    status->mapToGlobal(QPoint(0, 0)).y() - 50);
    menu->popup(at);
  });
  return menu;
}

}  // namespace cheque
