#include "app/common/form_font.h"

#include <QFont>
#include <QWidget>

namespace cheque {

void SetFormFont(QWidget* window) {
  QFont font(QStringLiteral("MS Sans Serif"), 8);
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Nachlieli CLM"),
                    QStringLiteral("DejaVu Sans")});
  window->setFont(font);
  window->setLayoutDirection(Qt::RightToLeft);
}

}  // namespace cheque
