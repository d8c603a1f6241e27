#pragma once

#include <QObject>
#include <QString>
#include <QStringView>

class QLineEdit;

namespace cheque {

class Prompter;

// The first character of the text that the data files cannot hold, as a
// whole (both halves of a surrogate pair), or an empty text. Refused are
// characters outside Windows-1255, which would be written as "?", and control
// characters, whose line breaks and Ctrl-Z would split or cut a record file.
QString FirstUnsupportedCharacter(QStringView text);

// The error text that names such a character.
QString UnsupportedCharacterMessage(const QString& character);

// Watches a line edit and refuses, as the user types or pastes, an edit that
// brings in an unsupported character: the user is told which character, and
// the field gets back the text it held before.
class TextGuard : public QObject {
  Q_OBJECT

 public:
  // The guard lives as long as the edit. Attach it before any other handler
  // of textEdited, so those see the text only after it was accepted.
  static TextGuard* Attach(QLineEdit* edit, Prompter& prompter);

 private:
  TextGuard(QLineEdit* edit, Prompter& prompter);
  void TextChanged(const QString& text);
  void TextEdited(const QString& text);

  QLineEdit* edit_;
  Prompter& prompter_;
  QString last_good_text_;
};

}  // namespace cheque
