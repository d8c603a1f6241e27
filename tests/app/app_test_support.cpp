#include "tests/app/app_test_support.h"

#include <QDir>
#include <QFile>

namespace cheque::testing {

MessageAnswer ScriptedPrompter::HebrewMessageBox(const QString& caption, const QString& text,
                                                 MessageKind kind, MessageButtons buttons,
                                                 QWidget*) {
  asked_.push_back({caption, text, kind, buttons});
  if (!script_.empty()) {
    const MessageAnswer answer = script_.front();
    script_.pop_front();
    return answer;
  }
  switch (buttons) {
    case MessageButtons::kOk: return MessageAnswer::kOk;
    case MessageButtons::kYesNo: return MessageAnswer::kNo;
    case MessageButtons::kOkCancel: return MessageAnswer::kCancel;
  }
  return MessageAnswer::kCancel;
}

QStringList ScriptedPrompter::AskedTexts() const {
  QStringList texts;
  for (const auto& m : asked_) texts.append(m.text);
  return texts;
}

TestHome::TestHome() {
  qputenv("CHEQUE_HOME", dir_.path().toUtf8());
  for (const char16_t* name : {u"DCateg.dat", u"DCategB.dat"}) {
    QFile::copy(QStringLiteral(CHEQUE_ASSETS "/") + QString::fromUtf16(name),
                Path(QString::fromUtf16(name)));
  }
  services = Services{&clock, &prompter, &sounds, &shell};
}

TestHome::~TestHome() { qunsetenv("CHEQUE_HOME"); }

QString TestHome::Path(const QString& name) const { return QDir(dir_.path()).filePath(name); }

}  // namespace cheque::testing
