#pragma once

#include <QString>

#include "widgets/hebrew_message_box.h"

class QWidget;

namespace cheque::setup {

// Every message of Setup goes through here, so tests answer from a script.
class SetupPrompter {
 public:
  virtual ~SetupPrompter() = default;
  virtual MessageAnswer Ask(const QString& caption, const QString& text, MessageKind kind,
                            MessageButtons buttons, QWidget* parent) = 0;
};

// A Hebrew message box: Hebrew captions on the buttons, the stored
// visual-order text laid out left to right.
class WidgetSetupPrompter final : public SetupPrompter {
 public:
  MessageAnswer Ask(const QString& caption, const QString& text, MessageKind kind,
                    MessageButtons buttons, QWidget* parent) override;
};

}  // namespace cheque::setup
