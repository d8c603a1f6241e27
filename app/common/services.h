#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QUrl>

class QWidget;

namespace cheque {

// Today and now. Rules such as forecast marks and overdue rows depend on it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime Now() const = 0;
  QDate Today() const { return Now().date(); }
};

enum class MessageKind { kWarning, kError, kInformation, kConfirmation };
// kYesNoDefaultNo: Yes and No with No as the default button.
enum class MessageButtons { kOk, kYesNo, kOkCancel, kYesNoDefaultNo };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

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

// What the windows get from outside, passed in once at start.
struct Services {
  Clock* clock = nullptr;
  Prompter* prompter = nullptr;
  Sounds* sounds = nullptr;
  Shell* shell = nullptr;
};

// The implementations used by the running program.
Services& SystemServices();

}  // namespace cheque
