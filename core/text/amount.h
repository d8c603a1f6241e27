#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <string>
#include <string_view>

namespace cheque {

// Reads a decimal number: leading blanks, optional sign, digits with an
// optional fraction, an optional exponent, and nothing after. Anything else
// (a thousands separator, a trailing blank, an overflow) is not a number.
std::optional<double> ReadAmount(std::string_view text);
std::optional<double> ReadAmount(QStringView text);

// ReadAmount, with 0 for text that is not a number.
double ParseAmount(std::string_view text);
double ParseAmount(QStringView text);

// Two decimals when the fraction reaches 0.006, otherwise a whole number;
// no thousands separator, "-" for negatives.
QString FormatAmount(double value);
void AppendFormattedAmount(double value, std::string& out);

// True for text that a numeric field accepts: empty, a lone "-", or a number.
// When not, the text loses its ASCII letters (the caller then tells the user).
bool CheckNumeric(QString& text);

}  // namespace cheque
