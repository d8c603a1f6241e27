#include <gtest/gtest.h>
#include <quazip.h>
#include <quazipfile.h>

#include <QBuffer>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <bit>

#include "core/import/reader_support.h"
#include "core/import/statement_table.h"

namespace cheque {
namespace {

using namespace Qt::StringLiterals;
using Rows = std::vector<std::vector<QString>>;

Rows Cells(std::initializer_list<QStringList> rows) {
  Rows out;
  for (const QStringList& row : rows) out.emplace_back(row.begin(), row.end());
  return out;
}

QByteArray Utf16(const QString& text, QStringConverter::Encoding encoding) {
  return QStringEncoder(encoding).encode(text);
}

TEST(StatementHtml, EncodingsCellsAndTables) {
  const QString page =
      u"<html><table><tr><td>לוגו</td></tr></table>"
      u"<table><tr><th colspan=\"2\">כותרת</th><td>x</td></tr>"
      u"<tr><td>1/2/2024<td>חשמל<br>ביתי<td>-5<table><tr><td>פנימי</td></tr></table></td></tr>"
      u"<tbody><tr></tr><tr><td>&nbsp;2&nbsp;</td></tr></tbody></table></html>"_s;
  const Rows expected = Cells(
      {{u"כותרת"_s, QString(), u"x"_s}, {u"1/2/2024"_s, u"חשמל ביתי"_s, u"-5"_s}, {}, {u"2"_s}});
  struct Case {
    const char* why;
    QByteArray bytes;
  };
  const Case cases[] = {
      {"UTF-8 without a word of its encoding", page.toUtf8()},
      {"UTF-16 little-endian with its mark", "\xFF\xFE" + Utf16(page, QStringConverter::Utf16LE)},
      {"UTF-16 big-endian without a mark", Utf16(page, QStringConverter::Utf16BE)},
      {"Windows-1255, as its meta says",
       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1255\">" +
           QStringEncoder("windows-1255").encode(page)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const StatementRead read = ReadStatementBytes(c.bytes, u"s.xls"_s);
    ASSERT_TRUE(read.Ok()) << read.error.toStdString();
    EXPECT_EQ(read.table.rows, expected);
    EXPECT_EQ(read.sheet, 1);
    EXPECT_EQ(read.sheets.size(), 3);  // the nested table is one too
  }
  const StatementRead first = ReadStatementBytes(page.toUtf8(), u"s.xls"_s, 0);
  EXPECT_EQ(first.table.rows, Cells({{u"לוגו"_s}}));
  EXPECT_EQ(ReadStatementBytes(page.toUtf8(), u"s.xls"_s, 3).error, u"בקובץ s.xls אין גיליון 4"_s);
}

TEST(StatementXml2003, TablesIndexesAndTypes) {
  const QByteArray xml = R"(<?xml version="1.0"?>
<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet"
 xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">
 <Styles><Style ss:ID="d"><NumberFormat ss:Format="dd/mm/yyyy"/></Style>
  <Style ss:ID="s"><NumberFormat ss:Format="Standard"/></Style></Styles>
 <Worksheet ss:Name="קטן"><Table><Row><Cell><Data ss:Type="String">a</Data></Cell></Row></Table></Worksheet>
 <Worksheet ss:Name="תנועות"><Table>
  <Row ss:Index="2"><Cell ss:Index="3"><Data ss:Type="DateTime">2024-02-01T00:00:00</Data></Cell>
   <Cell ss:StyleID="d"><Data ss:Type="Number">45324</Data></Cell>
   <Cell ss:StyleID="s"><Data ss:Type="Number">-1.50</Data></Cell></Row>
  <Row><Cell ss:MergeAcross="2"><ss:Data ss:Type="String">ב<Font>ו</Font>ld</ss:Data></Cell>
   <Cell><Data ss:Type="Boolean">1</Data></Cell></Row>
 </Table></Worksheet></Workbook>)";
  const StatementRead read = ReadStatementBytes(xml, u"s.xls"_s);
  ASSERT_TRUE(read.Ok()) << read.error.toStdString();
  EXPECT_EQ(read.sheets, QStringList({u"קטן (1 שורות)"_s, u"תנועות (2 שורות)"_s}));
  EXPECT_EQ(read.sheet, 1);
  EXPECT_EQ(read.table.rows, Cells({{},
                                    {QString(), QString(), u"1/2/2024"_s, u"2/2/2024"_s, u"-1.5"_s},
                                    {u"בוld"_s, QString(), QString(), u"1"_s}}));
  EXPECT_EQ(ReadStatementBytes(xml, u"s.xls"_s, 0).table.rows, Cells({{u"a"_s}}));
}

// A BIFF8 workbook stream record by record, as Excel lays it out.
class Biff {
 public:
  Biff& Record(quint16 type, const QByteArray& data) {
    Put(bytes_, type);
    Put(bytes_, static_cast<quint16>(data.size()));
    bytes_ += data;
    return *this;
  }
  template <typename... T>
  static QByteArray Data(T... fields) {
    QByteArray data;
    (Put(data, fields), ...);
    return data;
  }
  static QByteArray Wide(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  }
  qsizetype size() const { return bytes_.size(); }
  const QByteArray& bytes() const { return bytes_; }

 private:
  template <typename T>
  static void Put(QByteArray& out, T value) {
    if constexpr (std::is_same_v<T, QByteArray>) {
      out += value;
    } else if constexpr (std::is_same_v<T, double>) {
      Put(out, std::bit_cast<quint64>(value));
    } else {
      for (size_t i = 0; i < sizeof(T); ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
  }
  QByteArray bytes_;
};

quint32 Rk(qint32 value, bool hundredths) {
  return (static_cast<quint32>(value) << 2) | 2U | (hundredths ? 1U : 0U);
}

QByteArray Workbook(bool encrypted) {
  using B = Biff;
  const auto bof = [](quint16 kind) {
    return B::Data(quint16{0x0600}, kind, quint32{0}, quint32{0});
  };
  const auto globals = [&](quint32 first, quint32 second) {
    Biff g;
    g.Record(0x0809, bof(0x0005));
    if (encrypted) g.Record(0x002F, B::Data(quint16{0}));
    // Protection set to nothing, as a card company's files carry it.
    g.Record(0x0012, B::Data(quint16{0})).Record(0x0013, B::Data(quint16{0}));
    g.Record(0x041E, B::Data(quint16{164}, quint16{10}, quint8{0}, QByteArray("dd/mm/yyyy")));
    g.Record(0x00E0, B::Data(quint16{0}, quint16{0}, QByteArray(16, 0)));
    g.Record(0x00E0, B::Data(quint16{0}, quint16{164}, QByteArray(16, 0)));
    g.Record(0x00E0, B::Data(quint16{0}, quint16{14}, QByteArray(16, 0)));
    g.Record(0x0085, B::Data(first, quint16{0}, quint8{1}, quint8{0}, QByteArray("a")));
    g.Record(0x0085, B::Data(second, quint16{0}, quint8{1}, quint8{1}, B::Wide(u"ב"_s)));
    // Three strings: wide; rich with a run to skip; one whose characters
    // run on into a CONTINUE that turns them wide.
    g.Record(0x00FC, B::Data(quint32{3}, quint32{3}, quint16{5}, quint8{1}, B::Wide(u"תאריך"_s),
                             quint16{4}, quint8{9}, quint16{1}, B::Wide(u"סכום"_s), quint32{0},
                             quint16{5}, quint8{0}, QByteArray("abc")));
    g.Record(0x003C, B::Data(quint8{1}, B::Wide(u"דף"_s)));
    g.Record(0x000A, {});
    return g;
  };
  const qsizetype globals_size = globals(0, 0).size();
  Biff first;
  first.Record(0x0809, bof(0x0010));
  first.Record(0x00FD, B::Data(quint16{0}, quint16{0}, quint16{0}, quint32{0}));
  first.Record(0x00FD, B::Data(quint16{0}, quint16{1}, quint16{0}, quint32{1}));
  first.Record(0x00FD, B::Data(quint16{0}, quint16{2}, quint16{0}, quint32{2}));
  first.Record(0x00FD, B::Data(quint16{0}, quint16{3}, quint16{0}, quint32{99}));
  first.Record(0x0203, B::Data(quint16{1}, quint16{0}, quint16{1}, 45323.0));
  first.Record(0x027E, B::Data(quint16{1}, quint16{1}, quint16{0}, Rk(-5, false)));
  first.Record(0x00BD, B::Data(quint16{2}, quint16{0}, quint16{0}, Rk(1234, true), quint16{2},
                               Rk(45324, false), quint16{1}));
  first.Record(0x0006, B::Data(quint16{3}, quint16{0}, quint16{0}, 2.5, QByteArray(8, 0)));
  first.Record(0x0006, B::Data(quint16{3}, quint16{1}, quint16{0}, quint64{0xFFFF000000000000},
                               QByteArray(8, 0)));
  first.Record(0x0207, B::Data(quint16{5}, quint8{1}, B::Wide(u"נוסחה"_s)));
  first.Record(0x0204, B::Data(quint16{4}, quint16{0}, quint16{0}, quint16{3}, quint8{0},
                               QByteArray("lbl")));
  // A chart inside the sheet: its own BOF and EOF, no cells of the sheet.
  first.Record(0x0809, bof(0x0020));
  first.Record(0x0204,
               B::Data(quint16{9}, quint16{0}, quint16{0}, quint16{1}, quint8{0}, QByteArray("c")));
  first.Record(0x000A, {});
  first.Record(0x000A, {});
  Biff second;
  second.Record(0x0809, bof(0x0010));
  second.Record(
      0x0204, B::Data(quint16{0}, quint16{0}, quint16{0}, quint16{1}, quint8{0}, QByteArray("2")));
  second.Record(0x000A, {});
  return globals(static_cast<quint32>(globals_size),
                 static_cast<quint32>(globals_size + first.size()))
             .bytes() +
         first.bytes() + second.bytes();
}

TEST(StatementBiff, RecordsOfAWorkbook) {
  const QByteArray stream = Workbook(false);
  const StatementRead read = reader::ReadBiffStream(stream, u"s.xls"_s, kDefaultSheet);
  ASSERT_TRUE(read.Ok()) << read.error.toStdString();
  EXPECT_EQ(read.sheets, QStringList({u"a"_s, u"ב"_s}));
  EXPECT_EQ(read.table.rows, Cells({{u"תאריך"_s, u"סכום"_s, u"abcדף"_s},
                                    {u"1/2/2024"_s, u"-5"_s},
                                    {u"12.34"_s, u"2/2/2024"_s},
                                    {u"2.5"_s, u"נוסחה"_s},
                                    {u"lbl"_s}}));
  EXPECT_EQ(reader::ReadBiffStream(stream, u"s.xls"_s, 1).table.rows, Cells({{u"2"_s}}));
  // Cut anywhere, the stream is damaged, never half read.
  for (qsizetype cut : {4, 50, 200, static_cast<int>(stream.size()) - 1}) {
    EXPECT_FALSE(reader::ReadBiffStream(stream.left(cut), u"s.xls"_s, 1).Ok()) << cut;
  }
  EXPECT_TRUE(reader::ReadBiffStream(Workbook(true), u"s.xls"_s, kDefaultSheet)
                  .error.contains(u"מוגן בסיסמה"));
}

QByteArray Zip(std::initializer_list<std::pair<QString, QByteArray>> parts) {
  QBuffer buffer;
  QuaZip zip(&buffer);
  EXPECT_TRUE(zip.open(QuaZip::mdCreate));
  for (const auto& [name, content] : parts) {
    QuaZipFile part(&zip);
    EXPECT_TRUE(part.open(QIODevice::WriteOnly, QuaZipNewInfo(name)));
    part.write(content);
    part.close();
  }
  zip.close();
  return buffer.data();
}

QByteArray Zip(const QString& name, const QByteArray& content) { return Zip({{name, content}}); }

// A part that is there is read whole, or the file is refused: a sheet with
// half its strings would import rows without their descriptions.
TEST(StatementXlsx, PartsReadWholeAndCellsCut) {
  const QString sheet = u"xl/worksheets/sheet1.xml"_s;
  const QByteArray cells =
      "<worksheet><sheetData><row><c t=\"s\"><v>1</v></c>"
      "<c t=\"inlineStr\"><is><t>" +
      QByteArray(100'000, 'x') + "</t></is></c></row></sheetData></worksheet>";
  const QString strings = u"xl/sharedStrings.xml"_s;
  const StatementRead read = ReadXlsxBytes(
      Zip({{strings, "<sst><si><t>a</t></si><si><t>b</t></si></sst>"}, {sheet, cells}}),
      u"s.xlsx"_s, kDefaultSheet);
  ASSERT_TRUE(read.Ok()) << read.error.toStdString();
  EXPECT_EQ(read.table.Cell(0, 0), u"b"_s);
  EXPECT_EQ(read.table.Cell(0, 1).size(), reader::kMaxCellBytes);
  for (const QByteArray& damaged : {QByteArray("<sst><si><t>a</t></si><si><t>b</t>"),
                                    QByteArray("<sst><si><t>a</t></x></sst>")}) {
    EXPECT_EQ(
        ReadXlsxBytes(Zip({{strings, damaged}, {sheet, cells}}), u"s.xlsx"_s, kDefaultSheet).error,
        reader::Unreadable(u"s.xlsx"_s));
  }
}

// The zip with its one part saying it inflates to `size`.
QByteArray Declaring(QByteArray zip, quint32 size) {
  const auto put = [&](qsizetype at) {
    for (int i = 0; i < 4; ++i) zip[at + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
  };
  put(zip.indexOf("PK\x03\x04") + 22);
  put(zip.indexOf("PK\x01\x02") + 24);
  return zip;
}

// Refused rather than cut short or swollen into memory.
TEST(StatementLimits, LargeFilesAreRefused) {
  struct Case {
    const char* why;
    QByteArray bytes;
  };
  const QByteArray sheet = Zip(u"xl/worksheets/sheet1.xml"_s, QByteArray(10'000, ' '));
  const Case cases[] = {
      {"a zip whose part says it inflates past the cap, refused before inflating",
       Declaring(sheet, 512U * 1024 * 1024)},
      {"a zip whose part says it inflates past 1000 times the file",
       Declaring(sheet, static_cast<quint32>(sheet.size()) * 1001)},
      {"a web table wider than the column limit",
       "<table><tr>" + QByteArray("<td>x</td>").repeated(kMaxStatementColumns + 1) +
           "</tr></table>"},
      {"an XML row placed past the row limit",
       "<Workbook><Worksheet><Table><Row Index=\"2000000\"><Cell><Data>x</Data></Cell></Row>"
       "</Table></Worksheet></Workbook>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(ReadStatementBytes(c.bytes, u"s.xls"_s).error, u"הקובץ s.xls גדול מדי לדף בנק"_s);
  }
  // A part inflating past what it said is cut off there: damaged.
  EXPECT_FALSE(ReadStatementBytes(Declaring(sheet, 100), u"s.xlsx"_s).Ok());

  QTemporaryDir dir;
  const QString path = dir.filePath(u"big.csv"_s);
  QFile big(path);
  ASSERT_TRUE(big.open(QIODevice::WriteOnly));
  ASSERT_TRUE(big.resize(kMaxStatementFileBytes + 1));  // sparse: nothing written
  big.close();
  EXPECT_EQ(ReadStatementFile(path).error,
            u"הקובץ big.csv גדול מדי לדף בנק (יותר מ-200 מגה-בייט)"_s);
}

}  // namespace
}  // namespace cheque
