// A statement's date and amount cells: an amount read is whole agorot within
// the statement's range and reads back as itself once written, a text of no
// amount is never half read; a date read is a real one.

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "core/import/statement_cells.h"
#include "core/text/amount.h"
#include "fuzz/support.h"

using cheque::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = cheque::fuzz::AsBytes(data, size);
  const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(size));

  bool too_large = true;
  const std::optional<double> amount = cheque::ReadStatementAmount(text, &too_large);
  Check(!(amount && too_large), "an amount both read and too large");
  if (amount) {
    Check(std::isfinite(*amount), "an amount read is not finite");
    const double agorot = *amount * 100;
    Check(std::fabs(agorot - std::round(agorot)) < 1e-3, "an amount read is not whole agorot");
    Check(std::fabs(std::round(agorot)) <= static_cast<double>(cheque::kMaxStatementAgorot),
          "an amount beyond the statement's range was read");
    const QString written = cheque::FormatAmount(*amount);
    Check(cheque::ReadStatementAmount(written) == amount, "a written amount reads otherwise");
    Check(cheque::AmountAgorot(*amount) == static_cast<std::int64_t>(std::llround(agorot)),
          "agorot of an amount read differ");
  }
  // Any double at all compares without overflow.
  if (size >= sizeof(double)) {
    double value;
    std::memcpy(&value, data, sizeof value);
    const std::int64_t agorot = cheque::AmountAgorot(value);
    Check(agorot != INT64_MIN, "agorot that cannot be negated");
  }

  static const QDate kTodays[] = {QDate(2024, 6, 15), QDate(1, 1, 1), QDate(9999, 12, 31)};
  for (const QDate today : kTodays) {
    const std::optional<QDate> date = cheque::ReadStatementDate(text, today);
    Check(!date || (date->isValid() && date->year() >= 1 && date->year() <= 9999),
          "a date was read that is no date");
  }
  return 0;
}
