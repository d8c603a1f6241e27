#pragma once

class QLabel;
class QLayout;
class QWidget;

namespace cheque {

// Labels of required fields are red.
void MarkRequired(QLabel* label);

// The note under a form: "הערה" and, in red, "חובה למלא שדות המופיעים באדום".
QLayout* RequiredFieldsNote(QWidget* parent);

}  // namespace cheque
