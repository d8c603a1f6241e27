#include <gtest/gtest.h>

#include "core/import/column_mapping.h"
#include "core/import/reader_support.h"
#include "core/import/statement_table.h"
#include "core/text/codec.h"

namespace cheque {
namespace {

using namespace Qt::StringLiterals;

// A table as text: rows by "|", cells by ",".
QString Shape(const StatementTable& table) {
  QStringList rows;
  for (const auto& row : table.rows) rows << QStringList(row.begin(), row.end()).join(u',');
  return rows.join(u'|');
}

TEST(StatementHtml, TablesAsABrowserShowsThem) {
  struct Case {
    const char* why;
    QByteArray page;
    QString cells;  // of the table read by default
  };
  const Case cases[] = {
      {"a cell over two rows stands in both; over two columns it moves the next",
       "<table><tr><td rowspan=2>1</td><td colspan=2>a</td><td>b</td></tr>"
       "<tr><td>c</td><td rowspan=9>d</td></tr><tr><td>e</td></tr></table>",
       u"1,a,,b|1,c,d|e,,d"_s},
      {"a nested table is a table of its own, its text no cell's of the outer one",
       "<table><tr><td>x<table><tr><td>in</td></tr><tr><td>in2</td></tr></table>y</td></tr>"
       "<tr><td>z</td></tr><tr><td>w</td></tr></table>",
       u"x y|z|w"_s},
      {"tags left open, script text, entities and line breaks, as pages have them",
       "<table><tr><td>a&amp;b<script>var x='<td>';</script><td>1<br>2<tr><td>&#1488;</table>",
       u"a&b,1 2|\u05D0"_s},
      {"the encoding the page names in its <meta>",
       "<meta charset=\"windows-1255\"><table><tr><td>" + EncodeWin1255Bytes(u"שלום"_s) +
           "</td></tr></table>",
       u"שלום"_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const StatementRead read = ReadHtmlBytes(c.page, u"s.xls"_s, kDefaultSheet);
    ASSERT_TRUE(read.Ok()) << read.error.toStdString();
    EXPECT_EQ(Shape(read.table), c.cells);
  }
  // A page without a table is no statement.
  EXPECT_FALSE(ReadHtmlBytes("<p>hello</p>", u"s.xls"_s, kDefaultSheet).Ok());
}

TEST(StatementXml2003, RefusedWhenCutOrSwellingByEntities) {
  const QByteArray head =
      "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
      "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet><Table>";
  const QByteArray row = "<Row><Cell ss:Index=\"2\"><Data ss:Type=\"Number\">1.50</Data></Cell>";
  const StatementRead whole = ReadXml2003Bytes(head + row + "</Row></Table></Worksheet></Workbook>",
                                               u"s.xls"_s, kDefaultSheet);
  ASSERT_TRUE(whole.Ok()) << whole.error.toStdString();
  EXPECT_EQ(Shape(whole.table), u",1.5"_s);
  EXPECT_FALSE(ReadXml2003Bytes(head + row, u"s.xls"_s, kDefaultSheet).Ok());
  // An entity of the document's own is taken in, as any XML reader does; one
  // that would swell beyond reason is refused, not expanded.
  const QByteArray tail = "<Row><Cell><Data>&e;</Data></Cell></Row></Table></Worksheet></Workbook>";
  const StatementRead entity = ReadXml2003Bytes(
      "<!DOCTYPE Workbook [<!ENTITY e \"ab\">]>" + head + tail, u"s.xls"_s, kDefaultSheet);
  ASSERT_TRUE(entity.Ok()) << entity.error.toStdString();
  EXPECT_EQ(Shape(entity.table), u"ab"_s);
  QByteArray laughs = "<!DOCTYPE Workbook [<!ENTITY e0 \"hahahahahahahahahaha\">";
  for (int i = 1; i < 12; ++i) {
    laughs += "<!ENTITY e" + QByteArray::number(i) + " \"" +
              QByteArray("&e" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
  }
  laughs += "<!ENTITY e \"&e11;\">]>";
  EXPECT_FALSE(ReadXml2003Bytes(laughs + head + tail, u"s.xls"_s, kDefaultSheet).Ok());
}

TEST(StatementNumbers, PlainTextKeptAsTheNumberWouldBeWritten) {
  for (const char* text : {"12", "-350.5", "1.50", "007", "0.00001", "1E3", "-0",
                           "123456789012345678", "0.1000000000000000055", "12.", "x"}) {
    SCOPED_TRACE(text);
    bool ok = false;
    const double value = QString::fromLatin1(text).toDouble(&ok);
    const auto expected = ok ? std::optional(reader::NumberText(value)) : std::nullopt;
    EXPECT_EQ(reader::NumberCellText(QString::fromLatin1(text)), expected);
  }
}

TEST(ColumnMappings, GuessedHeaderIsTheOneOfMostMovements) {
  const auto cells = [](std::initializer_list<QStringList> rows) {
    StatementTable table;
    for (const QStringList& row : rows) table.rows.emplace_back(row.begin(), row.end());
    return table;
  };
  const QStringList header = {u"תאריך"_s, u"סכום"_s};
  // Future movements above the real ones: the real header.
  EXPECT_EQ(GuessMapping(cells({header,
                                {u"9/3/2024"_s, u"1"_s},
                                {},
                                {u"תאריך"_s, u"סכום"_s, u"יתרה"_s},
                                {u"1/2/2024"_s, u"2"_s},
                                {u"2/2/2024"_s, u"3"_s}}))
                ->first_row,
            4);
  // A header repeated on every page counts all its pages: the first page's.
  EXPECT_EQ(GuessMapping(cells({header,
                                {u"1/2/2024"_s, u"1"_s},
                                {u"עסקאות בחו\"ל"_s},
                                {u"תאריך רכישה"_s, u"סכום חיוב"_s},
                                {u"2/2/2024"_s, u"2"_s},
                                {u"3/2/2024"_s, u"2"_s},
                                header,
                                {u"4/2/2024"_s, u"3"_s},
                                {u"5/2/2024"_s, u"3"_s}}))
                ->first_row,
            1);
}

}  // namespace
}  // namespace cheque
