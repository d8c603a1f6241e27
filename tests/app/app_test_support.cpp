#include "tests/app/app_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <utility>

#include "core/files/program_folder.h"

namespace cheque::testing {

MessageAnswer ScriptedPrompter::HebrewMessageBox(const QString& caption, const QString& text,
                                                 MessageKind kind, MessageButtons buttons,
                                                 QWidget* parent) {
  asked_.push_back({caption, text, kind, buttons});
  RunLikeAMessageBox(parent);
  if (qEnvironmentVariableIsSet("CHEQUE_TEST_TRACE")) qWarning("asked %s", qPrintable(text));
  if (!script_.empty()) {
    const MessageAnswer answer = script_.front();
    script_.pop_front();
    return answer;
  }
  switch (buttons) {
    case MessageButtons::kOk:
      return MessageAnswer::kOk;
    case MessageButtons::kYesNo:
    case MessageButtons::kYesNoDefaultNo:
      return MessageAnswer::kNo;
    case MessageButtons::kOkCancel:
      return MessageAnswer::kCancel;
  }
  return MessageAnswer::kCancel;
}

// A real message box takes the focus and runs its own event loop, in which a
// cell editor losing the focus is closed and deleted; so does this one.
void ScriptedPrompter::RunLikeAMessageBox(QWidget* parent) {
  QPointer<QWidget> previous = QApplication::activeWindow();
  {
    QDialog box(parent ? parent->window() : nullptr);
    box.setObjectName(QString::fromUtf16(kScriptedBoxName));
    box.setWindowModality(Qt::ApplicationModal);
    box.resize(120, 60);
    auto* ok = new QPushButton(QStringLiteral("אישור"), &box);
    ok->setDefault(true);
    int waited = 0;
    int active_for = 0;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &box, [&] {
      if (box.isActiveWindow()) ++active_for;
      if (active_for >= 2 || ++waited > 100) box.done(0);
    });
    poll.start();
    box.exec();
  }
  // The window system gives the activation back to the window below.
  if (previous && previous->isVisible()) {
    previous->activateWindow();
    static_cast<void>(QTest::qWaitForWindowActive(previous, 200));
  }
}

QStringList ScriptedPrompter::AskedTexts() const {
  QStringList texts;
  for (const auto& m : asked_) texts.append(m.text);
  return texts;
}

bool PdfPrintTarget::Print(const QString& title, const QString& pdf_name, int resolution,
                           const Pages& pages, QWidget*, QPageLayout::Orientation orientation) {
  titles.append(title);
  if (std::exchange(fail_next, false)) return false;
  const QString path = UnusedProgramFile(pdf_name);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setPageOrientation(orientation);
  if (!RunPrintJob(printer, title, resolution, pages)) {
    QFile::remove(path);
    return false;
  }
  files.append(path);
  if (on_told) on_told();
  return true;
}

TestHome::TestHome() {
  QLocale::setDefault(QLocale(QLocale::Hebrew, QLocale::Israel));  // as the program runs
  qputenv("CHEQUE_HOME", dir_.path().toUtf8());
  for (const char16_t* name : {u"DCateg.dat", u"DCategB.dat"}) {
    QFile::copy(QStringLiteral(CHEQUE_ASSETS "/") + QString::fromUtf16(name),
                Path(QString::fromUtf16(name)));
  }
  services = Services{&clock, &prompter, &sounds, &shell, &printer};
}

TestHome::~TestHome() { qunsetenv("CHEQUE_HOME"); }

QString TestHome::Path(const QString& name) const { return QDir(dir_.path()).filePath(name); }

ModalScript::ModalScript() {
  timer_.setInterval(5);
  connect(&timer_, &QTimer::timeout, this, &ModalScript::Tick);
  timer_.start();
}

void ModalScript::Expect(const QString& object_name, std::function<void(QWidget*)> action) {
  actions_.emplace_back(object_name, std::move(action));
}

void ModalScript::Tick() {
  QWidget* modal = QApplication::activeModalWidget();
  if (qEnvironmentVariableIsSet("CHEQUE_TEST_TRACE"))
    qWarning("modal %s", modal ? qPrintable(modal->objectName()) : "-");
  // The scripted message box comes and goes on its own.
  if (modal != nullptr && modal->objectName() == QString::fromUtf16(kScriptedBoxName)) return;
  if (handled_ && modal == handled_) return;
  handled_ = nullptr;
  if (modal == nullptr || actions_.empty() || modal->objectName() != actions_.front().first) return;
  auto action = std::move(actions_.front().second);
  actions_.pop_front();
  handled_ = modal;
  // A window closed and shown again between two ticks is a new showing.
  modal->installEventFilter(this);
  // Run outside this tick, so an action that opens another modal window
  // leaves the script free to act on that one too.
  QTimer::singleShot(0, modal, [action = std::move(action), modal] { action(modal); });
}

bool ModalScript::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && watched == handled_) {
    watched->removeEventFilter(this);
    handled_ = nullptr;
  }
  return false;
}

void ClickButton(QWidget* window, const QString& caption) {
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
    // Captions in visual order are wrapped in a left-to-right embedding.
    QString text = button->text();
    text.remove(QChar(0x202A));
    text.remove(QChar(0x202C));
    if (text == caption && button->isVisible()) {
      button->setFocus();
      QTest::mouseClick(button, Qt::LeftButton);
      return;
    }
  }
  QFAIL(qPrintable(QStringLiteral("no button ") + caption));
}

void TypeInto(QWidget* window, const QString& object_name, const QString& text) {
  auto* edit = window->findChild<QLineEdit*>(object_name);
  QVERIFY2(edit != nullptr, qPrintable(object_name));
  edit->setFocus();
  edit->selectAll();
  // Hebrew has no key codes in the test keyboard: commit it as an input method would.
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(edit, &event);
}

}  // namespace cheque::testing
