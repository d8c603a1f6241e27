#include <QApplication>
#include <QLocale>
#include <QTimer>

#include "app/common/services.h"
#include "app/shell/main_window.h"
#include "core/files/instance_lock.h"
#include "core/files/program_folder.h"
#include "core/files/save_leftovers.h"
#include "widgets/hebrew_qt.h"

using namespace cheque;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  InstallQtHebrew(app);
  QApplication::setApplicationName(QStringLiteral("Cheque"));
  // Calendars and spin boxes follow the Israeli week and forms; amounts and
  // dates keep their own fixed text.
  QLocale::setDefault(QLocale(QLocale::Hebrew, QLocale::Israel));
  Services& services = SystemServices();

  // Two copies on one program folder would overwrite each other's saves.
  InstanceLock lock(ProgramFile(file_names::kLock));
  if (!lock.Acquire()) {
    services.prompter->ShowError(
        QStringLiteral("התוכנית כבר פועלת מתיקייה זו\rסגור את החלון הפתוח של התוכנית ונסה שוב"));
    return 1;
  }

  // Saves cut short by a crash may have left temporary files; no save runs now.
  RemoveSaveLeftovers(ProgramFolder());

  CopyFileIfMissing(ProgramFile(file_names::kPrivateTree),
                    ProgramFile(file_names::kDefaultPrivateTree));
  CopyFileIfMissing(ProgramFile(file_names::kBusinessTree),
                    ProgramFile(file_names::kDefaultBusinessTree));

  TForm1 main_window(services);
  main_window.show();
  bool started = false;
  QTimer::singleShot(0, &main_window, [&] {
    started = main_window.Start();
    if (!started) QCoreApplication::quit();
  });
  const int result = app.exec();
  return started ? result : 0;
}
