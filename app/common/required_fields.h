#pragma once

class QGridLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QString;
class QWidget;

namespace cheque {

// Labels of required fields are red.
void MarkRequired(QLabel* label);

// A line edit named `object_name` with its label ("Lbl" + name, red when
// required) at `row`, `column` of a form's grid; the edit sits in the next column.
QLineEdit* AddLabelledField(QWidget* form, QGridLayout* grid, const QString& object_name,
                            const QString& label_text, bool required, int row, int column);

// The note under a form: "הערה" and, in red, "חובה למלא שדות המופיעים באדום".
QLayout* RequiredFieldsNote(QWidget* parent);

}  // namespace cheque
