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
  if (static_cast<size_t>(column) >= cells.size()) {
    table.cell_room += column + 1 - static_cast<qint64>(cells.size());
    if (table.cell_room > kMaxStatementCells) {
      table.too_large = true;
      return false;
    }
    cells.resize(static_cast<size_t>(column) + 1);
  }
  cells[static_cast<size_t>(column)] = text;
  return true;
}

QString SerialDateText(double serial) {
  // Beyond the years a date can hold, the number is shown as it is.
  if (!std::isfinite(serial) || serial < -700'000 || serial > 3'000'000) return NumberText(serial);
  return DateText(DateFromDayNumber(static_cast<qint64>(std::floor(serial))));
}

QString NumberText(double value) { return QString::number(value, 'g', 15); }

// A plain decimal that NumberText would give back unchanged: no exponent, no
// leading or trailing zeros, at most 15 digits, not below 0.0001.
bool IsPlainNumber(QStringView text) {
  qsizetype i = text.startsWith(u'-') ? 1 : 0;
  const qsizetype whole_start = i;
  while (i < text.size() && text[i].unicode() >= u'0' && text[i].unicode() <= u'9') ++i;
  const qsizetype whole = i - whole_start;
  if (whole == 0 || (whole > 1 && text[whole_start] == u'0')) return false;
  qsizetype fraction = 0;
  if (i < text.size() && text[i] == u'.') {
    const qsizetype fraction_start = ++i;
    while (i < text.size() && text[i].unicode() >= u'0' && text[i].unicode() <= u'9') ++i;
    fraction = i - fraction_start;
    if (fraction == 0 || text[i - 1] == u'0') return false;
    if (whole == 1 && text[whole_start] == u'0' &&
        text.sliced(fraction_start).startsWith(u"0000")) {
      return false;
    }
  }
  if (i != text.size() || whole + fraction > 15) return false;
  return !(whole == 1 && fraction == 0 && text[whole_start] == u'0' && whole_start == 1);
}

std::optional<QString> NumberCellText(const QString& value) {
  if (IsPlainNumber(value)) return value;
  bool ok = false;
  const double number = value.toDouble(&ok);
  if (!ok) return std::nullopt;
  return NumberText(number);
}

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

QString TableName(int index, int rows) {
  return QStringLiteral("טבלה %1 (%2 שורות)").arg(index + 1).arg(rows);
}

int MostRows(const std::vector<int>& rows) {
  int best = 0;
  for (size_t i = 1; i < rows.size(); ++i) {
    if (rows[i] > rows[static_cast<size_t>(best)]) best = static_cast<int>(i);
  }
  return best;
}

int ChooseSheet(int asked, int by_default, int count) {
  if (asked == kDefaultSheet) return by_default;
  return asked >= 0 && asked < count ? asked : -1;
}

}  // namespace cheque::reader
