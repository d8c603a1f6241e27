#include "setup/setup_prompter.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace cheque::setup {

MessageAnswer WidgetSetupPrompter::Ask(const QString& caption, const QString& text,
                                       MessageKind kind, MessageButtons buttons, QWidget* parent) {
  QMessageBox box(parent);
  box.setObjectName(QStringLiteral("HebrewMessageBox"));
  box.setWindowTitle(caption);
  // Stored messages put their punctuation first; a left-to-right mark on each
  // line keeps it at the left end, where the reader expects the sentence end.
  QStringList lines = text.split(u'\r');
  for (QString& line : lines) line.prepend(QChar(0x200E));
  box.setText(lines.join(u'\n'));
  box.setLayoutDirection(Qt::RightToLeft);
  switch (kind) {
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
  if (buttons == MessageButtons::kOk) {
    box.addButton(QMessageBox::Ok)->setText(QStringLiteral("אישור"));
  } else {
    box.addButton(QMessageBox::Yes)->setText(QStringLiteral("כן"));
    box.addButton(QMessageBox::No)->setText(QStringLiteral("לא"));
  }
  box.exec();
  const auto pressed = box.standardButton(box.clickedButton());
  if (pressed == QMessageBox::Yes) return MessageAnswer::kYes;
  if (pressed == QMessageBox::No) return MessageAnswer::kNo;
  return buttons == MessageButtons::kOk ? MessageAnswer::kOk : MessageAnswer::kNo;
}

}  // namespace cheque::setup
