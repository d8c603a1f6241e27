#include "app/common/required_fields.h"

#include <QHBoxLayout>
#include <QLabel>

namespace cheque {

void MarkRequired(QLabel* label) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::red);
  label->setPalette(palette);
}

QLayout* RequiredFieldsNote(QWidget* parent) {
  auto* note = new QHBoxLayout;
  note->addWidget(new QLabel(QStringLiteral("הערה"), parent));
  auto* text = new QLabel(QStringLiteral("חובה למלא שדות המופיעים באדום"), parent);
  text->setObjectName(QStringLiteral("LblRequiredNote"));
  MarkRequired(text);
  note->addWidget(text);
  note->addStretch(1);
  return note;
}

}  // namespace cheque
