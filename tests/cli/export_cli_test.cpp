// report --pdf, report --xlsx and register --xlsx: the files are read back,
// the PDF through pdftotext, the workbook through QuaZip and its XML.

#include <gtest/gtest.h>
#include <quazip.h>
#include <quazipfile.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <map>

#include "tests/cli/cli_run.h"

namespace {

using cheque::testing::CliRun;
using cheque::testing::ReadAll;
using cheque::testing::RunCli;

// A case folder export_*: README (why it exists), home (the program folder
// under tests/data it runs on), args (one a line: "{home}" the copy of that
// folder, "{out}" the file written), and either figures (a PDF whose text
// must hold every figure of the grid that the same command prints without
// --pdf, whole) or cells.txt (a workbook: "REF<tab>value" lines, and after
// another tab "fill=AARRGGBB" or "format=CODE" of that cell).
QStringList CaseNames() {
  return QDir(QStringLiteral(CHEQUE_TEST_DATA))
      .entryList({QStringLiteral("export_*")}, QDir::Dirs | QDir::NoDotAndDotDot);
}

bool CopyHome(const QString& name, const QString& target) {
  const QDir source(QDir(QStringLiteral(CHEQUE_TEST_DATA)).filePath(name));
  for (const QString& file : source.entryList(QDir::Files)) {
    if (!QFile::copy(source.filePath(file), QDir(target).filePath(file))) return false;
  }
  return true;
}

QString PdfText(const QString& path) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
  process.waitForFinished(60000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

// Figures of a tab-separated grid: cells of digits, signs and separators.
QStringList Figures(const QByteArray& grid) {
  static const QRegularExpression kFigure(QStringLiteral("^-?[0-9][0-9,./]*$"));
  QStringList figures;
  for (const QString& cell :
       QString::fromUtf8(grid).split(QRegularExpression(QStringLiteral("[\t\n]")))) {
    if (kFigure.match(cell.trimmed()).hasMatch()) figures << cell.trimmed();
  }
  figures.removeDuplicates();
  return figures;
}

QByteArray ZipEntry(const QString& zip_path, const QString& name) {
  QuaZip zip(zip_path);
  if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(name)) return {};
  QuaZipFile file(&zip);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Attr(const QXmlStreamAttributes& attributes, const char16_t* name) {
  return attributes.value(QString::fromUtf16(name)).toString();
}

struct Cell {
  QString value;
  QString fill;
  QString format;
};

// The cells of the first sheet with their fill colour and number format.
std::map<QString, Cell> ReadCells(const QString& path, bool* right_to_left) {
  QStringList strings;
  QXmlStreamReader shared(ZipEntry(path, QStringLiteral("xl/sharedStrings.xml")));
  while (!shared.atEnd()) {
    if (shared.readNext() == QXmlStreamReader::StartElement && shared.name() == u"t") {
      strings << shared.readElementText();
    }
  }
  // styles: cellXfs -> (fillId, numFmtId); fills -> colour; numFmts -> code
  QStringList fills;
  std::map<int, QString> formats = {{1, QStringLiteral("0")}};  // built in
  std::vector<std::pair<int, int>> xfs;
  QXmlStreamReader styles(ZipEntry(path, QStringLiteral("xl/styles.xml")));
  bool in_xfs = false;
  while (!styles.atEnd()) {
    const auto token = styles.readNext();
    if (token == QXmlStreamReader::EndElement && styles.name() == u"cellXfs") in_xfs = false;
    if (token != QXmlStreamReader::StartElement) continue;
    const auto attributes = styles.attributes();
    if (styles.name() == u"fill") fills << QString();
    if (styles.name() == u"fgColor" && !fills.isEmpty()) fills.back() = Attr(attributes, u"rgb");
    if (styles.name() == u"numFmt") {
      formats[Attr(attributes, u"numFmtId").toInt()] = Attr(attributes, u"formatCode");
    }
    if (styles.name() == u"cellXfs") in_xfs = true;
    if (styles.name() == u"xf" && in_xfs) {
      xfs.emplace_back(Attr(attributes, u"fillId").toInt(), Attr(attributes, u"numFmtId").toInt());
    }
  }
  std::map<QString, Cell> cells;
  const QByteArray sheet_xml = ZipEntry(path, QStringLiteral("xl/worksheets/sheet1.xml"));
  *right_to_left = sheet_xml.contains("rightToLeft=\"1\"");
  QXmlStreamReader sheet(sheet_xml);
  QString ref;
  bool shared_string = false;
  bool inline_string = false;
  while (!sheet.atEnd()) {
    if (sheet.readNext() != QXmlStreamReader::StartElement) continue;
    if (sheet.name() == u"c") {
      ref = Attr(sheet.attributes(), u"r");
      shared_string = Attr(sheet.attributes(), u"t") == u"s";
      inline_string = Attr(sheet.attributes(), u"t") == u"inlineStr";
      const size_t style = Attr(sheet.attributes(), u"s").toUInt();
      Cell& cell = cells[ref];
      if (style < xfs.size()) {
        const auto [fill, format] = xfs[style];
        cell.fill = fill < fills.size() ? fills[fill] : QString();
        cell.format = formats.count(format) ? formats[format] : QString();
      }
    } else if (sheet.name() == u"t" && inline_string) {
      cells[ref].value = sheet.readElementText();
    } else if (sheet.name() == u"v") {
      const QString text = sheet.readElementText();
      cells[ref].value = shared_string ? strings.value(text.toInt()) : text;
    }
  }
  return cells;
}

}  // namespace

TEST(ExportFiles, ExpectedCases) {
  const QStringList names = CaseNames();
  ASSERT_GE(names.size(), 4) << "a case folder went missing";
  const QDir data(QStringLiteral(CHEQUE_TEST_DATA));
  for (const QString& name : names) {
    SCOPED_TRACE(name.toStdString());
    const QDir dir(data.filePath(name));
    ASSERT_TRUE(dir.exists(QStringLiteral("README")));
    QTemporaryDir home;
    const QString home_name =
        QString::fromUtf8(ReadAll(dir.filePath(QStringLiteral("home"))).trimmed());
    ASSERT_TRUE(home.isValid() && CopyHome(home_name, home.path()));
    const QString out = QDir(home.path()).filePath(QStringLiteral("out.file"));
    QStringList args;
    QStringList plain;  // the same command, the grid on stdout
    const QStringList lines = QString::fromUtf8(ReadAll(dir.filePath(QStringLiteral("args"))))
                                  .split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) {
      args << QString(line)
                  .replace(QStringLiteral("{home}"), home.path())
                  .replace(QStringLiteral("{out}"), out);
      if (line != u"--pdf" && line != u"--xlsx" && line != u"{out}") plain << args.back();
    }
    const CliRun run = RunCli(args);
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty() && run.err.isEmpty()) << run.err.toStdString();
    ASSERT_TRUE(QFile::exists(out));
    EXPECT_FALSE(QFile::exists(out + QStringLiteral(".part")));

    if (dir.exists(QStringLiteral("figures"))) {
      const CliRun grid = RunCli(plain);
      ASSERT_EQ(grid.exit_code, 0);
      const QStringList figures = Figures(grid.out);
      EXPECT_GE(figures.size(), 10);
      const QString text = PdfText(out);
      for (const QString& figure : figures) {
        // Whole: neither a digit nor "…" next to it.
        const QRegularExpression whole(QStringLiteral("(^|[^0-9.,/])") +
                                       QRegularExpression::escape(figure) +
                                       QStringLiteral("($|[^0-9.,/…])"));
        EXPECT_TRUE(whole.match(text).hasMatch()) << figure.toStdString();
      }
      EXPECT_FALSE(text.contains(u'…') && figures.isEmpty());
      continue;
    }
    bool right_to_left = false;
    const std::map<QString, Cell> cells = ReadCells(out, &right_to_left);
    EXPECT_TRUE(right_to_left);
    const QStringList expected =
        QString::fromUtf8(ReadAll(dir.filePath(QStringLiteral("cells.txt"))))
            .split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(expected.isEmpty());
    for (const QString& line : expected) {
      const QStringList fields = line.split(u'\t');
      SCOPED_TRACE(line.toStdString());
      const auto found = cells.find(fields[0]);
      ASSERT_NE(found, cells.end());
      EXPECT_EQ(found->second.value.toStdString(), fields.value(1).toStdString());
      for (const QString& look : fields.mid(2)) {
        if (look.startsWith(u"fill=")) {
          EXPECT_EQ(found->second.fill, look.mid(5));
        } else {
          EXPECT_EQ(found->second.format, look.mid(7));
        }
      }
    }
  }
}

// A file that cannot be written is a message and status 1, and nothing is
// left behind.
TEST(ExportFiles, UnwritableTargetFails) {
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid() && CopyHome(QStringLiteral("report_home"), home.path()));
  const QString out = QDir(home.path()).filePath(QStringLiteral("no such folder/r"));
  const QStringList base = {QStringLiteral("report"),
                            QStringLiteral("--home"),
                            home.path(),
                            QStringLiteral("--rpt"),
                            QDir(home.path()).filePath(QStringLiteral("2.Rpt")),
                            QStringLiteral("--today"),
                            QStringLiteral("1/6/1999")};
  for (const QString& option : {QStringLiteral("--pdf"), QStringLiteral("--xlsx")}) {
    const CliRun run = RunCli(QStringList(base) << option << out);
    EXPECT_EQ(run.exit_code, 1) << option.toStdString();
    EXPECT_TRUE(run.err.startsWith("cheque-cli: ")) << run.err.toStdString();
    EXPECT_TRUE(QDir(home.path()).entryList({QStringLiteral("*.part")}).isEmpty());
  }
}
