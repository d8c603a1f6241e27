#include "core/reports/csv_export.h"

#include <QSaveFile>

#include "core/register/register.h"

namespace cheque {
namespace {

void AppendField(const QString& text, QByteArray& out) {
  const QByteArray bytes = text.toUtf8();
  const bool quoted =
      bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n');
  if (!quoted) {
    out += bytes;
    return;
  }
  out += '"';
  for (const char c : bytes) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void AppendLine(const QStringList& fields, QByteArray& out) {
  for (qsizetype i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    AppendField(fields[i], out);
  }
  out += "\r\n";
}

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace

QByteArray CsvBytes(const QStringList& header, const std::vector<QStringList>& rows) {
  QByteArray out(kByteOrderMark);
  AppendLine(header, out);
  for (const QStringList& row : rows) AppendLine(row, out);
  return out;
}

QByteArray ReportCsv(const ReportTable& table, const std::vector<PrintColumn>& columns) {
  const std::vector<PrintColumn> ordered = ReadingOrder(columns);
  QStringList header;
  for (const PrintColumn& column : ordered) header.append(column.caption);
  const bool marks = table.detail || table.layout == ReportLayout::kCashFlow;
  std::vector<QStringList> rows;
  rows.reserve(table.RowCount());
  for (int row = 0; row < table.RowCount(); ++row) {
    QStringList fields;
    for (const PrintColumn& column : ordered) {
      const QString text = table.Cell(row, column.column);
      if (marks && column.column == kMarkColumn) {
        fields.append(text == u"+" ? QStringLiteral("ok") : QString());
      } else {
        fields.append(text);
      }
    }
    rows.push_back(std::move(fields));
  }
  return CsvBytes(header, rows);
}

QByteArray RegisterCsv(const Register& reg) {
  static constexpr int kColumns[] = {kDateColumn,   kDescriptionColumn, kCategoryColumn,
                                     kTypeColumn,   kExpenseColumn,     kIncomeColumn,
                                     kBalanceColumn};
  const QStringList header = {QStringLiteral("בוצע"),  QStringLiteral("תאריך"),
                              QStringLiteral("תאור"),  QStringLiteral("קבוצה"),
                              QStringLiteral("סוג"),   QStringLiteral("הוצאה"),
                              QStringLiteral("הכנסה"), QStringLiteral("בנק\\יתרה")};
  QByteArray out(kByteOrderMark);
  AppendLine(header, out);
  QStringList fields;
  for (int row = 0; row < reg.RowCount() - 1; ++row) {
    fields.clear();
    fields.append(reg.RawCell(row, kMarkColumn) == "+" ? QStringLiteral("ok") : QString());
    for (const int column : kColumns) fields.append(reg.Cell(row, column));
    AppendLine(fields, out);
  }
  return out;
}

bool WriteCsvFile(const QString& path, const QByteArray& bytes, QString* error) {
  QSaveFile file(path);
  const bool written =
      file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
  if (!written && error) *error = file.errorString();
  return written;
}

QString CsvFileName(const QString& title) {
  QString name = title.trimmed();
  for (QChar& c : name) {
    if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' ||
        c == u'>' || c == u'|' || c.unicode() < 0x20) {
      c = u'_';
    }
  }
  if (name.isEmpty()) name = QStringLiteral("report");
  return name + QStringLiteral(".csv");
}

}  // namespace cheque
