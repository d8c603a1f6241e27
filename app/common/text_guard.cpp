#include "app/common/text_guard.h"

#include <QLineEdit>
#include <QStringList>
#include <algorithm>

#include "app/common/services.h"
#include "core/text/codec.h"

namespace cheque {
namespace {

// The unsupported characters of the text, each whole.
QStringList UnsupportedCharacters(QStringView text) {
  QStringList found;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    const bool control = c.unicode() < 0x20 || c.unicode() == 0x7F;
    if (!control && CanEncodeWin1255(text.mid(i, 1))) continue;
    const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    found.append(text.mid(i, pair ? 2 : 1).toString());
    if (pair) ++i;
  }
  return found;
}

}  // namespace

QString FirstUnsupportedCharacter(QStringView text) {
  const QStringList found = UnsupportedCharacters(text);
  return found.isEmpty() ? QString() : found.first();
}

QString UnsupportedCharacterMessage(const QString& character) {
  // An invisible character is named by its code.
  QString shown = character;
  if (character.size() == 1 && !character[0].isPrint()) {
    shown = QStringLiteral("U+%1").arg(character[0].unicode(), 4, 16, QChar(u'0')).toUpper();
  }
  return QStringLiteral("התו ") + shown +
         QStringLiteral(" אינו נתמך, יש להקליד אותיות עבריות, אנגליות, ספרות וסימנים בלבד");
}

TextGuard* TextGuard::Attach(QLineEdit* edit, Prompter& prompter) {
  return new TextGuard(edit, prompter);
}

TextGuard::TextGuard(QLineEdit* edit, Prompter& prompter)
    : QObject(edit), edit_(edit), prompter_(prompter), last_good_text_(edit->text()) {
  connect(edit, &QLineEdit::textChanged, this, &TextGuard::TextChanged);
  connect(edit, &QLineEdit::textEdited, this, &TextGuard::TextEdited);
}

// A text put in by the program is the one to go back to; one typed or pasted
// is judged first. Characters already there (read from an old file) stay, so
// the field can still be edited.
void TextGuard::TextChanged(const QString& text) {
  if (!edit_->isModified()) last_good_text_ = text;
}

void TextGuard::TextEdited(const QString& text) {
  const QStringList before = UnsupportedCharacters(last_good_text_);
  const QStringList after = UnsupportedCharacters(text);
  if (after.size() <= before.size()) {
    last_good_text_ = text;
    return;
  }
  QString bad = after.first();
  for (const QString& c : after) {
    if (!before.contains(c)) {
      bad = c;
      break;
    }
  }
  const int cursor =
      edit_->cursorPosition() - static_cast<int>(text.size() - last_good_text_.size());
  edit_->setText(last_good_text_);
  edit_->setCursorPosition(std::max(0, cursor));
  prompter_.HebrewMessageBox(QStringLiteral("שגיאה"), UnsupportedCharacterMessage(bad),
                             MessageKind::kError, MessageButtons::kOk, edit_->window());
}

}  // namespace cheque
