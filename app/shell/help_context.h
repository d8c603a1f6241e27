#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace cheque {

// Help contexts: every window and many controls carry a number that picks
// the help page F1 opens; the help mode shows a text per control.

// The folder of the help pages, beside the program.
inline const QString kHelpFolderName = QStringLiteral("Mavrel Heb Help/directcall/");
inline const QString kHelpIndexPage = QStringLiteral("index.html");

void SetHelpContext(QWidget* widget, int context);
// The context of the widget or of the nearest parent that has one; 0 when
// none has. Windows are known by their object names.
int HelpContextOf(const QWidget* widget);
// The page of a context; the index page for a context without one.
QString HelpPageName(int context);
// Every page of the table, the index page last.
QStringList HelpPageNames();
// The help folder of the program folder; where a demo or test folder has
// none, the one beside the running program.
QString HelpFolder();
QUrl HelpPageUrl(const QString& page);

// The help mode's text for a control of the main window, or of the nearest
// parent that has one; empty when none has. Line breaks are "\n".
QString ContextHelpText(const QWidget* widget);

}  // namespace cheque
