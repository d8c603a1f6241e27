#pragma once

class QLineEdit;
class QWidget;

namespace cheque {

class Prompter;

// CheckNumeric on a field as the user types: a text that is no number shows
// the error box, and the field gets it back without letters, all selected.
// False when the text was refused.
bool CheckNumericField(QLineEdit& field, Prompter& prompter, QWidget* parent);

void ShowNotNumericError(Prompter& prompter, QWidget* parent);

// A transaction is an expense or an income, never both.
void ShowBothAmountsError(Prompter& prompter, QWidget* parent);

}  // namespace cheque
