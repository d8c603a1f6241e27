#include "bench/statement_generator.h"

#include <glib-object.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>
#include <quazip.h>
#include <quazipfile.h>

#include <QBuffer>
#include <QString>
#include <bit>

namespace cheque::bench {
namespace {

constexpr int kFirstSerial = 45000;  // 14/3/2023

QString Description(int i) { return QStringLiteral("העברה לספק %1").arg(i % 5000); }
double Amount(int i) { return -(i % 997) - 0.5; }

QByteArray Html(int movements) {
  QString page = QStringLiteral(
      "<html><head><meta charset=\"utf-8\"></head><body><table>"
      "<tr><th>תאריך</th><th>תיאור</th><th>אסמכתא</th><th>סכום</th><th>יתרה</th></tr>\n");
  for (int i = 0; i < movements; ++i) {
    page += QStringLiteral(
                "<tr><td>%1/%2/2024</td><td>%3</td><td>%4</td><td>%5</td><td>1,000.00</td></tr>\n")
                .arg(i % 28 + 1)
                .arg(i % 12 + 1)
                .arg(Description(i))
                .arg(i)
                .arg(Amount(i));
  }
  return (page + QStringLiteral("</table></body></html>")).toUtf8();
}

QByteArray Xml2003(int movements) {
  QString xml = QStringLiteral(
      "<?xml version=\"1.0\"?><Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
      "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet ss:Name=\"1\"><Table>"
      "<Row><Cell><Data ss:Type=\"String\">תאריך</Data></Cell><Cell><Data "
      "ss:Type=\"String\">תיאור</Data></Cell><Cell><Data ss:Type=\"String\">אסמכתא</Data></Cell>"
      "<Cell><Data ss:Type=\"String\">סכום</Data></Cell><Cell><Data "
      "ss:Type=\"String\">יתרה</Data></Cell></Row>\n");
  for (int i = 0; i < movements; ++i) {
    xml += QStringLiteral(
               "<Row><Cell><Data ss:Type=\"DateTime\">2024-%1-%2T00:00:00.000</Data></Cell>"
               "<Cell><Data ss:Type=\"String\">%3</Data></Cell><Cell><Data "
               "ss:Type=\"Number\">%4</Data></Cell><Cell><Data ss:Type=\"Number\">%5</Data></Cell>"
               "<Cell><Data ss:Type=\"Number\">1000</Data></Cell></Row>\n")
               .arg(i % 12 + 1, 2, 10, QChar(u'0'))
               .arg(i % 28 + 1, 2, 10, QChar(u'0'))
               .arg(Description(i))
               .arg(i)
               .arg(Amount(i));
  }
  return (xml + QStringLiteral("</Table></Worksheet></Workbook>")).toUtf8();
}

// ---- BIFF8, records as Excel writes them

template <typename T>
void Put(QByteArray& out, T value) {
  if constexpr (std::is_same_v<T, double>) {
    Put(out, std::bit_cast<quint64>(value));
  } else {
    for (size_t i = 0; i < sizeof(T); ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

void Record(QByteArray& out, quint16 type, const QByteArray& data) {
  Put(out, type);
  Put(out, static_cast<quint16>(data.size()));
  out += data;
}

QByteArray Wide(const QString& text) {
  QByteArray out;
  Put(out, static_cast<quint16>(text.size()));
  Put(out, quint8{1});
  out += QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  return out;
}

QByteArray Cell(quint16 row, quint16 column, quint16 style) {
  QByteArray data;
  Put(data, row);
  Put(data, column);
  Put(data, style);
  return data;
}

QByteArray BiffStream(int movements) {
  const QStringList header = {QStringLiteral("תאריך"), QStringLiteral("תיאור"),
                              QStringLiteral("אסמכתא"), QStringLiteral("סכום"),
                              QStringLiteral("יתרה")};
  QStringList strings = header;
  for (int i = 0; i < 5000; ++i) strings << Description(i);
  // The shared strings; a string that does not fit starts the next CONTINUE.
  std::vector<QByteArray> sst(1);
  Put(sst[0], static_cast<quint32>(strings.size()));
  Put(sst[0], static_cast<quint32>(strings.size()));
  for (const QString& s : strings) {
    const QByteArray one = Wide(s);
    if (sst.back().size() + one.size() > 8224) sst.emplace_back();
    sst.back() += one;
  }
  const auto bof = [](quint16 kind) {
    QByteArray data;
    Put(data, quint16{0x0600});
    Put(data, kind);
    Put(data, quint64{0});
    return data;
  };
  QByteArray sheet;
  Record(sheet, 0x0809, bof(0x10));
  for (quint16 c = 0; c < header.size(); ++c) {
    QByteArray data = Cell(0, c, 0);
    Put(data, static_cast<quint32>(c));
    Record(sheet, 0x00FD, data);
  }
  // Rows past 65,535 wrap: BIFF8 holds no more, and the reading is the same.
  for (int i = 0; i < movements; ++i) {
    const auto row = static_cast<quint16>((i + 1) % 65536);
    QByteArray date = Cell(row, 0, 1);
    Put(date, static_cast<double>(kFirstSerial + i % 365));
    Record(sheet, 0x0203, date);
    QByteArray text = Cell(row, 1, 0);
    Put(text, static_cast<quint32>(header.size() + i % 5000));
    Record(sheet, 0x00FD, text);
    QByteArray reference = Cell(row, 2, 0);
    Put(reference, (static_cast<quint32>(i) << 2) | 2U);
    Record(sheet, 0x027E, reference);
    QByteArray amount = Cell(row, 3, 0);
    Put(amount, Amount(i));
    Record(sheet, 0x0203, amount);
    QByteArray balance = Cell(row, 4, 0);
    Put(balance, 1000.0);
    Record(sheet, 0x0203, balance);
  }
  Record(sheet, 0x000A, {});

  QByteArray globals;
  Record(globals, 0x0809, bof(0x05));
  QByteArray xf(20, 0);
  Record(globals, 0x00E0, xf);
  xf[2] = 14;  // the built-in date format
  Record(globals, 0x00E0, xf);
  QByteArray bound;
  Put(bound, quint32{0});
  Put(bound, quint16{0});
  Put(bound, quint8{1});
  Put(bound, quint8{0});
  bound += 'a';
  const qsizetype bound_at = globals.size() + 4;
  Record(globals, 0x0085, bound);
  Record(globals, 0x00FC, sst[0]);
  for (size_t i = 1; i < sst.size(); ++i) Record(globals, 0x003C, sst[i]);
  Record(globals, 0x000A, {});
  const auto offset = static_cast<quint32>(globals.size());
  for (int i = 0; i < 4; ++i) globals[bound_at + i] = static_cast<char>((offset >> (8 * i)) & 0xFF);
  return globals + sheet;
}

QByteArray Xls(int movements) {
  const QByteArray stream = BiffStream(movements);
  GsfOutput* memory = gsf_output_memory_new();
  GsfOutfile* ole = gsf_outfile_msole_new(memory);
  GsfOutput* workbook = gsf_outfile_new_child(ole, "Workbook", false);
  gsf_output_write(workbook, static_cast<size_t>(stream.size()),
                   reinterpret_cast<const guint8*>(stream.constData()));
  gsf_output_close(workbook);
  g_object_unref(workbook);
  gsf_output_close(reinterpret_cast<GsfOutput*>(ole));
  g_object_unref(ole);
  const auto* bytes = gsf_output_memory_get_bytes(reinterpret_cast<GsfOutputMemory*>(memory));
  QByteArray out(reinterpret_cast<const char*>(bytes),
                 static_cast<qsizetype>(gsf_output_size(memory)));
  g_object_unref(memory);
  return out;
}

QByteArray Xlsx(int movements) {
  QString sheet = QStringLiteral(
      "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>תאריך</t></is></c>"
      "<c t=\"inlineStr\"><is><t>סכום</t></is></c></row>");
  for (int i = 0; i < movements; ++i) {
    sheet += QStringLiteral(
                 "<row><c s=\"1\"><v>%1</v></c><c t=\"inlineStr\"><is><t>%2</t></is></c>"
                 "<c><v>%3</v></c><c><v>%4</v></c><c><v>1000</v></c></row>")
                 .arg(kFirstSerial + i % 365)
                 .arg(Description(i))
                 .arg(i)
                 .arg(Amount(i));
  }
  sheet += QStringLiteral("</sheetData></worksheet>");
  QBuffer buffer;
  QuaZip zip(&buffer);
  zip.open(QuaZip::mdCreate);
  const auto add = [&](const QString& name, const QByteArray& content) {
    QuaZipFile part(&zip);
    part.open(QIODevice::WriteOnly, QuaZipNewInfo(name));
    part.write(content);
    part.close();
  };
  add(QStringLiteral("xl/styles.xml"),
      "<styleSheet><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>");
  add(QStringLiteral("xl/worksheets/sheet1.xml"), sheet.toUtf8());
  zip.close();
  return buffer.data();
}

}  // namespace

QByteArray GenerateStatement(StatementKind kind, int movements) {
  switch (kind) {
    case StatementKind::kHtml:
      return Html(movements);
    case StatementKind::kXml2003:
      return Xml2003(movements);
    case StatementKind::kXls:
      return Xls(movements);
    case StatementKind::kXlsx:
      break;
  }
  return Xlsx(movements);
}

}  // namespace cheque::bench
