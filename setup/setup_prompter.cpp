#include "setup/setup_prompter.h"

namespace cheque::setup {

MessageAnswer WidgetSetupPrompter::Ask(const QString& caption, const QString& text,
                                       MessageKind kind, MessageButtons buttons, QWidget* parent) {
  return ShowHebrewMessageBox(caption, text, kind, buttons, parent);
}

}  // namespace cheque::setup
