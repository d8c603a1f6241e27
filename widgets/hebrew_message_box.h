#pragma once

#include <QString>

class QWidget;

namespace cheque {

enum class MessageKind { kWarning, kError, kInformation, kConfirmation };
// kYesNoDefaultNo: Yes and No with No as the default button.
enum class MessageButtons { kOk, kYesNo, kOkCancel, kYesNoDefaultNo };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

// The message box of both programs: Hebrew captions on the buttons, the
// stored visual-order text laid out left to right; "\r" breaks a line.
MessageAnswer ShowHebrewMessageBox(const QString& caption, const QString& text, MessageKind kind,
                                   MessageButtons buttons, QWidget* parent);

}  // namespace cheque
