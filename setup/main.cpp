#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QStringList>
#include <cstdio>
#include <memory>

#include "core/install/install.h"
#include "setup/setup_prompter.h"
#include "setup/setup_window.h"
#include "widgets/hebrew_qt.h"

namespace {

using namespace cheque;

void Say(QString text) {
  text.replace(u'\r', u'\n');
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// Setup --install [FOLDER] and Setup --remove: the same work without windows,
// every question answered as for going ahead.
int Unattended(const QStringList& arguments, const QString& source) {
  const install::Places places = install::UserPlaces();
  install::Outcome outcome;
  const bool installing = arguments.at(1) == u"--install";
  if (installing) {
    const QString target = arguments.size() > 2 ? QFileInfo(arguments.at(2)).absoluteFilePath()
                                                : install::DefaultTarget(places);
    outcome = install::Install(source, target, places);
  } else {
    outcome = install::Uninstall(places, [](const QString& text) { Say(text); });
  }
  if (!outcome.error.isEmpty()) {
    Say(outcome.error);
    return 1;
  }
  if (!outcome.entries_done) {
    Say(installing ? QStringLiteral("לא ניתן ליצור צלמית, נסה ידנית")
                   : QStringLiteral("לא ניתן למחוק צלמית, נסה ידנית"));
  }
  Say(installing ? QStringLiteral("ההתקנה הסתיימה בהצלחה")
                 : QStringLiteral("ההסרה הסתיימה בהצלחה"));
  if (!installing && !outcome.left.isEmpty()) Say(install::LeftNotice(outcome));
  return 0;
}

bool IsUnattended(int argc, char** argv) {
  if (argc < 2) return false;
  const QString first = QString::fromLocal8Bit(argv[1]);
  return (first == u"--install" && argc <= 3) || (first == u"--remove" && argc == 2);
}

}  // namespace

int main(int argc, char** argv) {
  if (IsUnattended(argc, argv)) {
    QCoreApplication app(argc, argv);
    return Unattended(QCoreApplication::arguments(), QCoreApplication::applicationDirPath());
  }
  if (argc > 1) {
    std::fprintf(stderr, "usage: Setup [--install [FOLDER] | --remove]\n");
    return 2;
  }
  QApplication app(argc, argv);
  InstallQtHebrew(app);
  setup::WidgetSetupPrompter prompter;
  setup::TForm1 window(install::UserPlaces(), QApplication::applicationDirPath(), prompter);
  window.move(window.screen()->availableGeometry().center() - window.rect().center());
  window.show();
  return app.exec();
}
