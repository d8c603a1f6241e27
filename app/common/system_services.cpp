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

// Message texts are stored in visual order, punctuation first: each line is
// laid out left to right and right-justified, so the punctuation lands at the
// left end of the line as the user expects.
QString VisualOrderText(const QString& text) {
  QStringList lines = text.split(u'\r');
  for (QString& line : lines) line.prepend(QChar(0x200E));
  return lines.join(u'\n');
}

class WidgetPrompter final : public Prompter {
 public:
  MessageAnswer HebrewMessageBox(const QString& caption, const QString& text, MessageKind kind,
                                 MessageButtons buttons, QWidget* parent) override {
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("HebrewMessageBox"));
    box.setWindowTitle(caption);
    box.setText(VisualOrderText(text));
    box.setLayoutDirection(Qt::RightToLeft);
    switch (kind) {
      case MessageKind::kWarning:
        box.setIcon(QMessageBox::Warning);
        break;
      case MessageKind::kError:
        box.setIcon(QMessageBox::Critical);
        break;
      case MessageKind::kInformation:
        box.setIcon(QMessageBox::Information);
        break;
      case MessageKind::kConfirmation:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
      case MessageButtons::kOk:
        box.addButton(QMessageBox::Ok)->setText(QStringLiteral("אישור"));
        break;
      case MessageButtons::kYesNo:
        box.addButton(QMessageBox::Yes)->setText(QStringLiteral("כן"));
        box.addButton(QMessageBox::No)->setText(QStringLiteral("לא"));
        break;
      case MessageButtons::kOkCancel:
        box.addButton(QMessageBox::Ok)->setText(QStringLiteral("אישור"));
        box.addButton(QMessageBox::Cancel)->setText(QStringLiteral("ביטול"));
        break;
      case MessageButtons::kYesNoDefaultNo: {
        box.addButton(QMessageBox::Yes)->setText(QStringLiteral("כן"));
        QPushButton* no = box.addButton(QMessageBox::No);
        no->setText(QStringLiteral("לא"));
        box.setDefaultButton(no);
        break;
      }
    }
    for (QLabel* label : box.findChildren<QLabel*>()) {
      label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    // In a right-to-left program the style's button pictures push the caption
    // against the button's edge: captions alone, centred with room around them.
    for (QAbstractButton* button : box.buttons()) {
      button->setIcon(QIcon());
      const QFontMetrics metrics(button->font());
      button->setMinimumWidth(
          std::max(button->sizeHint().width(),
                   metrics.horizontalAdvance(button->text()) + 6 * metrics.averageCharWidth()));
    }
    const QPointer<QWidget> below = parent != nullptr ? parent->window() : nullptr;
    const int result = box.exec();
    // Without a window manager nothing gives the keyboard back to the window
    // that asked, and its keys (Escape, F3) would go nowhere.
    if (below != nullptr && below->isVisible() && QApplication::activeWindow() == nullptr) {
      below->activateWindow();
    }
    switch (result) {
      case QMessageBox::Yes:
        return MessageAnswer::kYes;
      case QMessageBox::No:
        return MessageAnswer::kNo;
      case QMessageBox::Ok:
        return MessageAnswer::kOk;
      default:
        return buttons == MessageButtons::kYesNo || buttons == MessageButtons::kYesNoDefaultNo
                   ? MessageAnswer::kNo
                   : MessageAnswer::kCancel;
    }
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
