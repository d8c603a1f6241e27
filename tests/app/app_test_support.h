#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>

#include "app/common/services.h"

namespace cheque::testing {

// A clock that stands still at a chosen moment.
class FixedClock final : public Clock {
 public:
  explicit FixedClock(QDateTime now) : now_(std::move(now)) {}
  QDateTime Now() const override { return now_; }
  void Set(QDateTime now) { now_ = std::move(now); }

 private:
  QDateTime now_;
};

struct AskedMessage {
  QString caption;
  QString text;
  MessageKind kind;
  MessageButtons buttons;
};

// The object name of the box that ScriptedPrompter shows.
inline constexpr char16_t kScriptedBoxName[] = u"ScriptedMessageBox";

// Answers message boxes from a script, in order, and records what was asked.
// With the script empty it answers OK, No or Cancel: the cautious choice.
class ScriptedPrompter final : public Prompter {
 public:
  void Answer(MessageAnswer answer) { script_.push_back(answer); }
  MessageAnswer HebrewMessageBox(const QString& caption, const QString& text, MessageKind kind,
                                 MessageButtons buttons, QWidget* parent) override;
  const std::vector<AskedMessage>& Asked() const { return asked_; }
  QStringList AskedTexts() const;
  void Forget() { asked_.clear(); }

 private:
  static void RunLikeAMessageBox(QWidget* parent);
  std::deque<MessageAnswer> script_;
  std::vector<AskedMessage> asked_;
};

class RecordingSounds final : public Sounds {
 public:
  void Play(const QString& name, bool) override { played.append(name); }
  QStringList played;
};

class RecordingShell final : public Shell {
 public:
  bool Open(const QUrl& url) override {
    opened.append(url.toString());
    return true;
  }
  QStringList opened;
};

// Prints every job to a PDF file of the program folder, as a system without
// a printer does, and records the files; a job can be made to fail.
class PdfPrintTarget final : public PrintTarget {
 public:
  bool Print(const QString& title, const QString& pdf_name, int resolution, const Pages& pages,
             QWidget* parent, QPageLayout::Orientation orientation) override;
  QStringList titles;
  QStringList files;  // full paths, one a finished job
  bool fail_next = false;
  // Runs where the program tells the user where the file went.
  std::function<void()> on_told;
};

// A program folder in a temporary directory (CHEQUE_HOME points at it) with
// the default category trees copied in, and services that tests control.
class TestHome {
 public:
  TestHome();
  ~TestHome();
  QString Path(const QString& name) const;  // a file of the folder
  Services services;
  FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 0))};
  ScriptedPrompter prompter;
  RecordingSounds sounds;
  RecordingShell shell;
  PdfPrintTarget printer;

 private:
  QTemporaryDir dir_;
};

// Acts on modal windows as they open: each expected window, named by its
// objectName, gets its action once it is the active modal window. Nested
// modal windows work, since a window is only acted on once per showing.
class ModalScript : public QObject {
 public:
  ModalScript();
  void Expect(const QString& object_name, std::function<void(QWidget*)> action);
  bool Done() const { return actions_.empty(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Tick();
  std::deque<std::pair<QString, std::function<void(QWidget*)>>> actions_;
  QPointer<QWidget> handled_;
  QTimer timer_;
};

// Clicks the push button with this caption inside a window.
void ClickButton(QWidget* window, const QString& caption);
// Types into the line edit of that objectName (replacing its text).
void TypeInto(QWidget* window, const QString& object_name, const QString& text);

}  // namespace cheque::testing
