#include <QAbstractButton>
#include <QApplication>
#include <QAudioDevice>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QMediaDevices>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSoundEffect>
#include <QTimer>
#include <algorithm>

#include "app/common/services.h"
#include "core/files/program_folder.h"
#include "widgets/path_text.h"

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

// Plays through Qt Multimedia. Without an audio device, or without the file,
// it stays silent: a sound only accompanies what the program does.
class SystemSounds final : public Sounds {
 public:
  void Play(const QString& name, bool wait) override {
    const QString path = SoundFile(name);
    if (path.isEmpty() || QMediaDevices::audioOutputs().isEmpty()) return;
    QPointer<QSoundEffect>& effect = effects_[path];
    if (effect.isNull()) {
      effect = new QSoundEffect(qApp);
      effect->setSource(QUrl::fromLocalFile(path));
    }
    effect->play();
    if (wait) WaitForEnd(*effect);
  }

 private:
  // The names come from a system that ignored letter case ("Start.Wav").
  static QString SoundFile(const QString& name) {
    const QString exact = ProgramFile(name);
    if (QFileInfo::exists(exact)) return exact;
    const QDir folder(ProgramFolder());
    for (const QString& entry : folder.entryList(QDir::Files)) {
      if (entry.compare(name, Qt::CaseInsensitive) == 0) return folder.filePath(entry);
    }
    return {};
  }

  // A file that cannot be decoded or a device that stalls must not hold the
  // program, so the wait has an upper bound.
  static void WaitForEnd(QSoundEffect& effect) {
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, [&] {
      if (!effect.isPlaying()) loop.quit();
    });
    QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, [&] {
      if (effect.status() == QSoundEffect::Error) loop.quit();
    });
    if (effect.status() == QSoundEffect::Error) return;
    if (effect.status() == QSoundEffect::Ready && !effect.isPlaying()) return;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }

  QHash<QString, QPointer<QSoundEffect>> effects_;
};

class SystemShell final : public Shell {
 public:
  bool Open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

class SystemPrintTarget final : public PrintTarget {
 public:
  explicit SystemPrintTarget(Prompter& prompter) : prompter_(prompter) {}

  bool Print(const QString& title, const QString& pdf_name, int resolution, const Pages& pages,
             QWidget* parent, QPageLayout::Orientation orientation) override {
    const QPrinterInfo device = QPrinterInfo::defaultPrinter();
    if (!device.isNull()) {
      QPrinter printer(device, QPrinter::HighResolution);
      printer.setPageOrientation(orientation);
      return RunPrintJob(printer, title, resolution, pages);
    }
    const QString path = UnusedProgramFile(pdf_name);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(orientation);
    if (!RunPrintJob(printer, title, resolution, pages)) {
      QFile::remove(path);  // a job stopped or failed halfway leaves no file
      return false;
    }
    prompter_.HebrewMessageBox(
        QStringLiteral("לידיעתך"),
        QStringLiteral("לא נמצאה מדפסת, ההדפסה נשמרה בקובץ\r") + PathText(path),
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
