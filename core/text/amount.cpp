#include "core/text/amount.h"

#include <charconv>
#include <cmath>

#include "core/text/text_compare.h"

namespace cheque {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Rounds a plain decimal text ("-12.345") half away from zero to `decimals`
// places and appends it.
void AppendRounded(std::string_view digits_text, int decimals, std::string& out) {
  bool negative = false;
  if (!digits_text.empty() && digits_text.front() == '-') {
    negative = true;
    digits_text.remove_prefix(1);
  }
  const size_t dot = digits_text.find('.');
  std::string whole(digits_text.substr(0, dot));
  std::string frac = dot == std::string_view::npos ? std::string() : std::string(digits_text.substr(dot + 1));
  const bool round_up = static_cast<int>(frac.size()) > decimals && frac[static_cast<size_t>(decimals)] >= '5';
  frac.resize(static_cast<size_t>(decimals), '0');
  std::string number = whole + frac;
  if (round_up) {
    int i = static_cast<int>(number.size()) - 1;
    while (i >= 0 && number[static_cast<size_t>(i)] == '9') number[static_cast<size_t>(i--)] = '0';
    if (i < 0) {
      number.insert(number.begin(), '1');
    } else {
      ++number[static_cast<size_t>(i)];
    }
  }
  const size_t whole_len = number.size() - static_cast<size_t>(decimals);
  const bool is_zero = number.find_first_not_of('0') == std::string::npos;
  if (negative && !is_zero) out += '-';
  out.append(number, 0, whole_len);
  if (decimals > 0) {
    out += '.';
    out.append(number, whole_len, std::string::npos);
  }
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
  std::string ascii;
  ascii.reserve(static_cast<size_t>(text.size()));
  for (const QChar c : text) {
    if (c.unicode() >= 0x80) return std::nullopt;
    ascii += static_cast<char>(c.unicode());
  }
  return ReadAmount(std::string_view(ascii));
}

double ParseAmount(std::string_view text) { return ReadAmount(text).value_or(0.0); }
double ParseAmount(QStringView text) { return ReadAmount(text).value_or(0.0); }

void AppendFormattedAmount(double value, std::string& out) {
  if (!std::isfinite(value)) {
    out += '0';
    return;
  }
  const double fraction = value - std::trunc(value);
  const int decimals = std::fabs(fraction * 1000) >= 6 ? 2 : 0;
  // The shortest text that reads back as the value, rounded in decimal: 12.345 gives 12.35.
  char buffer[400];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (ec != std::errc()) {
    out += '0';
    return;
  }
  AppendRounded(std::string_view(buffer, static_cast<size_t>(end - buffer)), decimals, out);
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
