#include "widgets/hebrew_message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

namespace cheque {
namespace {

// Most message texts are stored in visual order, punctuation first: such a
// line is laid out left to right and right-justified, so the punctuation
// lands at the left end of the line as the user expects. A line that opens
// with a letter or a digit is in reading order and is laid out right to left.
QString VisualOrderText(const QString& text) {
  QStringList lines = text.split(u'\r');
  for (QString& line : lines) {
    const auto first =
        std::find_if(line.cbegin(), line.cend(), [](QChar c) { return !c.isSpace(); });
    const bool reading_order = first != line.cend() && first->isLetterOrNumber();
    line.prepend(QChar(reading_order ? 0x200F : 0x200E));
  }
  return lines.join(u'\n');
}

}  // namespace

MessageAnswer ShowHebrewMessageBox(const QString& caption, const QString& text, MessageKind kind,
                                   MessageButtons buttons, QWidget* parent) {
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

}  // namespace cheque
