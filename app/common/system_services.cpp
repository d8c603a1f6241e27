#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <algorithm>

#include "app/common/services.h"
#include "core/files/program_folder.h"

namespace cheque {

void Prompter::ShowError(const QString& text, QWidget* parent) {
  HebrewMessageBox(QStringLiteral("שגיאה"), text, MessageKind::kError, MessageButtons::kOk, parent);
}

bool RunPrintJob(QPrinter& printer, const QString& title, int resolution,
                 const PrintTarget::Pages& pages) {
  printer.setDocName(title);
  printer.setResolution(resolution);
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const bool drawn = pages(printer, painter);
  if (!drawn) printer.abort();
  const bool ended = painter.end();
  return drawn && ended && printer.printerState() != QPrinter::Error;
}

namespace {

class SystemClock final : public Clock {
 public:
  QDateTime Now() const override { return QDateTime::currentDateTime(); }
};

class WidgetPrompter final : public Prompter {
 public:
  MessageAnswer HebrewMessageBox(const QString& caption, const QString& text, MessageKind kind,
                                 MessageButtons buttons, QWidget* parent) override {
    return ShowHebrewMessageBox(caption, text, kind, buttons, parent);
  }
};

// Plays through the system's wave player when there is one.
class SystemSounds final : public Sounds {
 public:
  void Play(const QString& name, bool wait) override {
    const QString path = ProgramFile(name);
    static const QString player = QStandardPaths::findExecutable(QStringLiteral("aplay"));
    if (player.isEmpty() || !QFileInfo::exists(path)) return;
    const QStringList args{QStringLiteral("-q"), path};
    if (wait) {
      QProcess::execute(player, args);
    } else {
      QProcess::startDetached(player, args);
    }
  }
};

class SystemShell final : public Shell {
 public:
  bool Open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

class SystemPrintTarget final : public PrintTarget {
 public:
  explicit SystemPrintTarget(Prompter& prompter) : prompter_(prompter) {}

  bool Print(const QString& title, const QString& pdf_name, int resolution, const Pages& pages,
             QWidget* parent) override {
    const QPrinterInfo device = QPrinterInfo::defaultPrinter();
    if (!device.isNull()) {
      QPrinter printer(device, QPrinter::HighResolution);
      return RunPrintJob(printer, title, resolution, pages);
    }
    const QString path = ProgramFile(pdf_name);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (!RunPrintJob(printer, title, resolution, pages)) return false;
    prompter_.HebrewMessageBox(QStringLiteral("לידיעתך"),
                               QStringLiteral("לא נמצאה מדפסת, ההדפסה נשמרה בקובץ\r") + path,
                               MessageKind::kInformation, MessageButtons::kOk, parent);
    return true;
  }

 private:
  Prompter& prompter_;
};

}  // namespace

Services& SystemServices() {
  static SystemClock clock;
  static WidgetPrompter prompter;
  static SystemSounds sounds;
  static SystemShell shell;
  static SystemPrintTarget print_target(prompter);
  static Services services{&clock, &prompter, &sounds, &shell, &print_target};
  return services;
}

}  // namespace cheque
