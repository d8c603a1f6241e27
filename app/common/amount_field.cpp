#include "app/common/amount_field.h"

#include <QLineEdit>
#include <QPointer>

#include "app/common/services.h"
#include "core/text/amount.h"

namespace cheque {

bool CheckNumericField(QLineEdit& field, Prompter& prompter, QWidget* parent) {
  QString text = field.text();
  if (CheckNumeric(text)) return true;
  field.setText(text);
  // The box runs its own event loop, in which a cell editor may be deleted.
  QPointer<QLineEdit> alive(&field);
  ShowNotNumericError(prompter, parent);
  if (alive) alive->selectAll();
  return false;
}

void ShowNotNumericError(Prompter& prompter, QWidget* parent) {
  prompter.HebrewMessageBox(QStringLiteral("שגיאה"), QStringLiteral("רק ערכים מספריים מותרים כאן"),
                            MessageKind::kError, MessageButtons::kOk, parent);
}

void ShowBothAmountsError(Prompter& prompter, QWidget* parent) {
  prompter.HebrewMessageBox(QStringLiteral("שגיאה"),
                            QStringLiteral("לא ניתן להקיש \"הוצאה\" ו\"הכנסה\" באותה תנועה"),
                            MessageKind::kError, MessageButtons::kOk, parent);
}

}  // namespace cheque
