#include "core/import/reader_support.h"

#include <QRegularExpression>
#include <cmath>

#include "core/text/date_text.h"

namespace cheque::reader {

bool PutCell(StatementTable& table, qint64 row, qint64 column, const QString& text) {
  if (row < 0 || column < 0 || row >= kMaxStatementRows) return false;
  if (column >= kMaxStatementColumns) {
    table.too_large = true;
    return true;
  }
  if (static_cast<size_t>(row) >= table.rows.size())
    table.rows.resize(static_cast<size_t>(row) + 1);
  auto& cells = table.rows[static_cast<size_t>(row)];
  if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
  cells[static_cast<size_t>(column)] = text;
  return true;
}

QString SerialDateText(double serial) {
  // Beyond the years a date can hold, the number is shown as it is.
  if (!std::isfinite(serial) || serial < -700'000 || serial > 3'000'000) return NumberText(serial);
  return DateText(DateFromDayNumber(static_cast<qint64>(std::floor(serial))));
}

QString NumberText(double value) { return QString::number(value, 'g', 15); }

bool IsDateFormatCode(QString code) {
  static const QRegularExpression kQuotedOrBracketed(QStringLiteral("\"[^\"]*\"|\\[[^\\]]*\\]"));
  static const QRegularExpression kDateLetters(QStringLiteral("[dmyDMY]"));
  code.remove(kQuotedOrBracketed);
  return code.contains(kDateLetters);
}

bool IsBuiltInDateFormat(int id) { return (id >= 14 && id <= 22) || (id >= 45 && id <= 47); }

QString Unreadable(const QString& name) {
  return QStringLiteral("לא ניתן לקרוא את הקובץ ") + name +
         QStringLiteral(": הקובץ פגום או אינו גיליון נתונים");
}

QString TooLarge(const QString& name) {
  return QStringLiteral("הקובץ ") + name + QStringLiteral(" גדול מדי לדף בנק");
}

QString NoSuchSheet(const QString& name, int sheet) {
  return QStringLiteral("בקובץ ") + name + QStringLiteral(" אין גיליון ") +
         QString::number(sheet + 1);
}

int ChooseSheet(int asked, int by_default, int count) {
  if (asked == kDefaultSheet) return by_default;
  return asked >= 0 && asked < count ? asked : -1;
}

}  // namespace cheque::reader
