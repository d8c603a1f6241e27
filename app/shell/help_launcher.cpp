#include "app/shell/help_launcher.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QMenu>
#include <QStackedWidget>

#include "app/register/register_page.h"
#include "app/shell/help_context.h"
#include "app/shell/main_window.h"

namespace cheque {
namespace {

// Contexts of the main window's parts; its dialogs are known by name.
void AssignContexts(TForm1& main) {
  RegisterPage& page = main.RegisterView();
  SetHelpContext(&page, 1);
  SetHelpContext(page.findChild<QWidget*>(QStringLiteral("Panel5")), 21);
  SetHelpContext(page.findChild<QWidget*>(QStringLiteral("Panel8")), 24);
  SetHelpContext(&page.SortMenu(), 120);
  for (QMenu* sub : page.SortMenu().findChildren<QMenu*>()) SetHelpContext(sub, 120);
  SetHelpContext(main.findChild<QWidget*>(QStringLiteral("Panel7")), 22);
  if (auto* notebook = main.findChild<QStackedWidget*>(QStringLiteral("Notebook1"))) {
    SetHelpContext(notebook->widget(TForm1::kReportPage), 3);
  }
  if (auto* cheques = main.findChild<QWidget*>(QStringLiteral("ChequePage"))) {
    // The calculator and the calendar have no page of their own.
    SetHelpContext(cheques->findChild<QWidget*>(QStringLiteral("GroupBox1")), 2);
    for (QCalendarWidget* calendar : cheques->findChildren<QCalendarWidget*>()) {
      SetHelpContext(calendar, 2);
    }
  }
}

}  // namespace

HelpLauncher::HelpLauncher(Services& services, TForm1& main_window)
    : QObject(&main_window), services_(services) {
  AssignContexts(main_window);
  qApp->installEventFilter(this);
}

HelpLauncher::~HelpLauncher() { qApp->removeEventFilter(this); }

bool HelpLauncher::ShowHelp(int context) {
  return services_.shell->Open(HelpPageUrl(HelpPageName(context)));
}

bool HelpLauncher::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
    ShowHelp(HelpContextOf(static_cast<QWidget*>(watched)));
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace cheque
