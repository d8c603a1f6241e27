// Date text, read against several todays (two-digit years depend on it): every
// date read is a real one, a normalised date reads back as itself, the fast
// reading of register cells agrees with the general one, and decoded parts
// form a date.

#include <QDateTime>
#include <optional>

#include "core/text/date_text.h"
#include "fuzz/support.h"

using cheque::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = cheque::fuzz::AsBytes(data, size);
  const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(size));
  static const QDate kTodays[] = {QDate(2024, 6, 15), QDate(1, 1, 1), QDate(1950, 1, 1),
                                  QDate(2049, 12, 31), QDate(9999, 12, 31)};
  for (const QDate today : kTodays) {
    const std::optional<QDate> date = cheque::ReadDateText(QStringView(text), today);
    Check(!date || (date->isValid() && date->year() >= 1 && date->year() <= 9999),
          "a date was read that is no date");
    cheque::ReadDateText(bytes, today);

    const QDateTime now(today, QTime(10, 30));
    Check(cheque::ParseDate(text, now).isValid(), "ParseDate gave no moment");

    const cheque::NormalizedDate normal = cheque::NormalizeDateText(text, today);
    if (normal.ok) {
      const cheque::NormalizedDate again = cheque::NormalizeDateText(normal.text, today);
      Check(again.ok && again.text == normal.text,
            "a normalised date does not read back as itself");
    }

    if (!bytes.empty()) {
      const std::optional<QDate> cell_date = cheque::ReadDateText(bytes, today);
      Check(cheque::CellDayNumber(bytes, today) == cheque::DayNumber(cell_date.value_or(today)),
            "a register date cell's day differs from the date read");
    }

    const cheque::DateParts parts = cheque::DecodeDateText(text, now);
    Check(QDate(parts.year, parts.month, parts.day).isValid(), "decoded date parts form no date");
  }
  return 0;
}
