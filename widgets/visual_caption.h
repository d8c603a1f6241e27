#pragma once

#include <QString>

namespace cheque {

// A caption kept in visual order ("! סיום", "המשך ->>", "* הכל", a range
// "1/1/2020..31/12/2020") is shown left to right, so its punctuation stays
// where it was put. A caption has no sentence to read right to left: any
// mark in it says it was laid out by eye. Plain words are left alone.
QString VisualCaption(const QString& caption);

}  // namespace cheque
