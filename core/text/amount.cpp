#include "core/text/amount.h"

#include <charconv>
#include <cmath>

#include "core/text/text_compare.h"

namespace cheque {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value's shortest text that reads back as the same double, in fixed
// notation ("-12.345"); empty when it does not fit.
std::string_view ShortestFixed(double value, char (&buffer)[400]) {
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (ec != std::errc()) return {};
  return std::string_view(buffer, static_cast<size_t>(end - buffer));
}

}  // namespace

std::optional<double> ReadAmount(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  const size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exp_digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++exp_digits;
    if (exp_digits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;

  std::string_view number = text.substr(start);
  bool negative = false;
  if (number.front() == '+' || number.front() == '-') {
    negative = number.front() == '-';
    number.remove_prefix(1);
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

std::optional<double> ReadAmount(QStringView text) {
  // Cell texts are short; only a long one pays for a heap copy.
  char small[64];
  std::string large;
  char* ascii = small;
  if (text.size() > static_cast<qsizetype>(sizeof small)) {
    large.resize(static_cast<size_t>(text.size()));
    ascii = large.data();
  }
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c >= 0x80) return std::nullopt;
    ascii[i] = static_cast<char>(c);
  }
  return ReadAmount(std::string_view(ascii, static_cast<size_t>(text.size())));
}

double ParseAmount(std::string_view text) { return ReadAmount(text).value_or(0.0); }
double ParseAmount(QStringView text) { return ReadAmount(text).value_or(0.0); }

void AppendFormattedAmount(double value, std::string& out) {
  char buffer[400];
  std::string_view text = std::isfinite(value) ? ShortestFixed(value, buffer) : std::string_view();
  if (text.empty()) {
    out += '0';
    return;
  }
  const bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  const size_t dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  const std::string_view fraction =
      dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);

  // The fraction is judged on the decimal text rather than on value - trunc(value):
  // in binary 2.006 falls just short of .006 while 4.006 does not, and the user
  // typed both the same way.
  int thousandths = 0;
  for (size_t i = 0; i < 3; ++i)
    thousandths = thousandths * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
  const size_t decimals = thousandths >= 6 ? 2 : 0;

  // Rounds the decimal text half away from zero, so 12.345 gives 12.35 as a
  // person would round it, whatever the binary value underneath.
  char digits[sizeof buffer + 1];
  size_t count = 1;
  digits[0] = '0';  // room for a carry out of the top digit
  for (const char c : whole) digits[count++] = c;
  for (size_t i = 0; i < decimals; ++i) digits[count++] = i < fraction.size() ? fraction[i] : '0';
  if (fraction.size() > decimals && fraction[decimals] >= '5') {
    size_t i = count;
    while (digits[--i] == '9') digits[i] = '0';
    ++digits[i];
  }
  size_t first = 0;
  const size_t whole_end = count - decimals;
  while (first + 1 < whole_end && digits[first] == '0') ++first;
  const std::string_view result(digits + first, count - first);
  if (negative && result.find_first_not_of('0') != std::string_view::npos) out += '-';
  out.append(result.substr(0, whole_end - first));
  if (decimals > 0) {
    out += '.';
    out.append(result.substr(whole_end - first));
  }
}

QString FormatAmount(double value) {
  std::string text;
  AppendFormattedAmount(value, text);
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

bool CheckNumeric(QString& text) {
  if (text.isEmpty() || text == u"-") return true;
  if (ReadAmount(QStringView(text))) return true;
  StripLetters(text);
  return false;
}

}  // namespace cheque
