#pragma once

#include <QDate>
#include <QDateTime>
#include <QPageLayout>
#include <QString>
#include <QUrl>
#include <functional>

#include "widgets/hebrew_message_box.h"

class QMenu;
class QPainter;
class QPrinter;
class QToolButton;
class QWidget;

namespace cheque {

// Today and now. Rules such as forecast marks and overdue rows depend on it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime Now() const = 0;
  QDate Today() const { return Now().date(); }
};

// Every message and question to the user goes through here, so tests can
// answer from a script and read what was asked.
class Prompter {
 public:
  virtual ~Prompter() = default;
  // Captions are "שגיאה", "אזהרה", "לאישורך" or "לידיעתך"; "\r" in the text
  // breaks a line; texts are shown as stored (visual order).
  virtual MessageAnswer HebrewMessageBox(const QString& caption, const QString& text,
                                         MessageKind kind, MessageButtons buttons,
                                         QWidget* parent = nullptr) = 0;
  // An error box with one OK button, caption "שגיאה".
  void ShowError(const QString& text, QWidget* parent = nullptr);
};

// Plays a wave file of the program folder by name; silent when the file or
// the sound device is missing.
class Sounds {
 public:
  virtual ~Sounds() = default;
  virtual void Play(const QString& name, bool wait = false) = 0;
};

// Opens help pages, the web site and mail links.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual bool Open(const QUrl& url) = 0;
};

// Where printed pages go: the default printer, or a PDF file in the program
// folder when the system has none.
class PrintTarget {
 public:
  virtual ~PrintTarget() = default;
  // Paints the pages of one job (QPrinter::newPage between pages); false
  // abandons the job.
  using Pages = std::function<bool(QPrinter& printer, QPainter& painter)>;
  // One print job titled `title`, drawn in dots of 1/`resolution` inch from
  // the top-left of the printable area, so it lands in the same place on any
  // printer, on paper turned as `orientation` says. Without a printer the
  // job becomes the file `pdf_name` in the program folder ("name (2).pdf"
  // when that is taken, never over an earlier file) and the user is told
  // where. False when the job failed; the caller tells the user.
  virtual bool Print(const QString& title, const QString& pdf_name, int resolution,
                     const Pages& pages, QWidget* parent = nullptr,
                     QPageLayout::Orientation orientation = QPageLayout::Portrait) = 0;
};

// What the shell puts on a page's own tools, so a page never needs the shell.
class PageTools {
 public:
  virtual ~PageTools() = default;
  // Gives the toggle button "קבלת עזרה" the help mode.
  virtual void ConnectHelpMode(QToolButton* button) = 0;
  // The bank connection button's menu, a child of `owner`.
  virtual QMenu* ConnectVendorMenu(QToolButton* button, QWidget* owner) = 0;
};

// Runs one job on a printer the caller has chosen (a device or a PDF file).
bool RunPrintJob(QPrinter& printer, const QString& title, int resolution,
                 const PrintTarget::Pages& pages);

// What the windows get from outside, passed in once at start.
struct Services {
  Clock* clock = nullptr;
  Prompter* prompter = nullptr;
  Sounds* sounds = nullptr;
  Shell* shell = nullptr;
  PrintTarget* print_target = nullptr;
  // Set by the main window; a page shown alone has none.
  PageTools* page_tools = nullptr;
};

// The implementations used by the running program.
Services& SystemServices();

}  // namespace cheque
