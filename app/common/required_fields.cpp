#include "app/common/required_fields.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

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

QLineEdit* AddLabelledField(QWidget* form, QGridLayout* grid, const QString& object_name,
                            const QString& label_text, bool required, int row, int column) {
  auto* edit = new QLineEdit(form);
  edit->setObjectName(object_name);
  auto* label = new QLabel(label_text, form);
  label->setObjectName(QStringLiteral("Lbl") + object_name);
  label->setBuddy(edit);
  if (required) MarkRequired(label);
  grid->addWidget(label, row, column);
  grid->addWidget(edit, row, column + 1);
  return edit;
}

}  // namespace cheque
