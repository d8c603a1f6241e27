#include "app/common/amount_field.h"

#include <QLineEdit>

#include "app/common/services.h"
#include "core/text/amount.h"

namespace cheque {

bool CheckNumericField(QLineEdit& field, Prompter& prompter, QWidget* parent) {
  QString text = field.text();
  if (CheckNumeric(text)) return true;
  prompter.HebrewMessageBox(QStringLiteral("שגיאה"), QStringLiteral("רק ערכים מספריים מותרים כאן"),
                            MessageKind::kError, MessageButtons::kOk, parent);
  field.setText(text);
  field.selectAll();
  return false;
}

void ShowBothAmountsError(Prompter& prompter, QWidget* parent) {
  prompter.HebrewMessageBox(QStringLiteral("שגיאה"),
                            QStringLiteral("לא ניתן להקיש \"הוצאה\" ו\"הכנסה\" באותה תנועה"),
                            MessageKind::kError, MessageButtons::kOk, parent);
}

}  // namespace cheque
