// cheque-cli report: a saved report run as the wizard's "בצע" runs it, the
// report grid printed one row a line; or the double-click on one of its cells.

#include <QDir>
#include <optional>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/report_pdf.h"
#include "core/files/account_list.h"
#include "core/files/program_folder.h"
#include "core/reports/csv_export.h"
#include "core/reports/drill_down.h"
#include "core/reports/merged_category_tree.h"
#include "core/reports/report_engine.h"
#include "core/reports/report_engine_columns.h"
#include "core/reports/saved_report.h"
#include "core/reports/xlsx_export.h"
#include "core/text/date_text.h"
#include "core/text/text_compare.h"

namespace cheque::cli {
namespace {

constexpr char16_t kUsage[] =
    u"usage: cheque-cli report --home DIR (--rpt FILE | --name NAME) [--today D/M/YYYY]\n"
    u"                         [--detail ROW,COL] [--csv | --xlsx FILE | --pdf FILE]\n"
    u"  ROW,COL: the report cell double-clicked, counted from 0\n"
    u"  --csv: the grid as a spreadsheet file (UTF-8), visible columns right to left\n"
    u"  --xlsx: the grid as an Excel workbook written to FILE\n"
    u"  --pdf: the report as \"הדפס הכל\" prints it, written to FILE";

struct Options {
  QString home;
  QString rpt;
  std::optional<QString> name;
  QDate today = QDate::currentDate();
  std::optional<std::pair<int, int>> detail;
  bool csv = false;
  QString xlsx;
  QString pdf;
};

std::optional<std::pair<int, int>> ParseCell(const QString& text) {
  const QStringList parts = text.split(u',');
  if (parts.size() != 2) return std::nullopt;
  bool row_ok = false;
  bool column_ok = false;
  const int row = parts[0].trimmed().toInt(&row_ok);
  const int column = parts[1].trimmed().toInt(&column_ok);
  if (!row_ok || !column_ok || row < 0 || column < 0) return std::nullopt;
  return std::pair{row, column};
}

std::optional<Options> ParseOptions(const QStringList& args) {
  Options options;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& option = args[i];
    if (option == u"--csv") {
      options.csv = true;
      continue;
    }
    if (i + 1 >= args.size()) return std::nullopt;
    const QString& value = args[++i];
    if (option == u"--home") {
      options.home = value;
    } else if (option == u"--rpt") {
      options.rpt = value;
    } else if (option == u"--name") {
      options.name = value;
    } else if (option == u"--today") {
      const auto date = ReadDateText(QStringView(value), QDate::currentDate());
      if (!date) return std::nullopt;
      options.today = *date;
    } else if (option == u"--xlsx") {
      options.xlsx = value;
    } else if (option == u"--pdf") {
      options.pdf = value;
    } else if (option == u"--detail") {
      options.detail = ParseCell(value);
      if (!options.detail) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (options.home.isEmpty() || options.rpt.isEmpty() == !options.name.has_value()) {
    return std::nullopt;
  }
  if (int{options.csv} + int{!options.xlsx.isEmpty()} + int{!options.pdf.isEmpty()} > 1) {
    return std::nullopt;
  }
  return options;
}

void AppendCell(const ReportTable& table, int row, int column, std::string& out) {
  if (column > 0 && table.IsRegisterRow(row)) {
    AppendWin1255AsUtf8(table.RawRegisterCell(row, column), out);
  } else {
    out += table.Cell(row, column).toStdString();
  }
}

// The columns a reader of the screen sees, the right-most first.
bool PrintCsv(const ReportTable& table, const ReportColumns& columns) {
  const QByteArray bytes = ReportCsv(table, GridColumns(columns.widths, columns.captions));
  StdoutBuffer out;
  out.Text().assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  return out.Flush();
}

bool PrintTable(const ReportTable& table) {
  StdoutBuffer out;
  for (int row = 0; row < table.RowCount(); ++row) {
    for (int column = 0; column < table.columns; ++column) {
      if (column > 0) out.Text() += '\t';
      AppendCell(table, row, column, out.Text());
    }
    out.Text() += '\n';
    if (!out.FlushIfFull()) return false;
  }
  return out.Flush();
}

int Fail(const QString& text) {
  PrintError(QStringLiteral("cheque-cli: ") + text);
  return kExitFileError;
}

// The grid on stdout, or written to the file the options name.
int Output(const Options& options, const ReportTable& table, const ReportSettings& settings,
           const ReportColumns& columns) {
  QString error;
  if (!options.xlsx.isEmpty()) {
    const SheetTable sheet =
        ReportSheet(table, GridColumns(columns.widths, columns.captions),
                    settings.title.isEmpty() ? QStringLiteral("דוח") : settings.title);
    return WriteXlsxFile(options.xlsx, sheet, &error) ? 0 : Fail(error);
  }
  if (!options.pdf.isEmpty()) {
    return WriteReportPdf(table, settings, columns, options.pdf, &error) ? 0 : Fail(error);
  }
  if (options.csv) return PrintCsv(table, columns) ? 0 : kExitFileError;
  return PrintTable(table) ? 0 : kExitFileError;
}

}  // namespace

int RunReportCommand(const QStringList& args) {
  const auto options = ParseOptions(args);
  if (!options) {
    PrintError(QStringView(kUsage).toString());
    return kExitUsage;
  }
  const QString home = options->home;
  QString path = options->rpt;
  if (options->name) {
    path = FindSavedReport(home, *options->name);
    if (path.isEmpty())
      return Fail(QStringLiteral("no saved report named ") + Shortened(*options->name));
  }
  const std::optional<SavedReport> saved = ReadSavedReport(path);
  if (!saved) return Fail(QStringLiteral("cannot read the saved report ") + Shortened(path));

  ReadError list_error = ReadError::kNone;
  const QString list_path = QDir(home).filePath(file_names::kAccountList);
  std::optional<AccountList> accounts = AccountList::Read(list_path, &list_error);
  if (!accounts) {
    if (list_error != ReadError::kMissing) {
      return Fail(QStringLiteral("cannot read the account list ") + Shortened(list_path));
    }
    accounts = AccountList();
  }
  // A command that only reads leaves the folder's tree cache and dates alone.
  CategoryTree trees[2];
  trees[0].ReadFile(QDir(home).filePath(QStringLiteral("Categ.dat")));
  trees[1].ReadFile(QDir(home).filePath(QStringLiteral("BCateg.dat")));
  const ReportSettings settings =
      SettingsFromSaved(*saved, *accounts, MergeCategoryTrees(trees[0], trees[1]), options->today);
  const ReportTable report = BuildReport(settings, home, options->today);
  if (!report.unreadable.isEmpty()) {
    return Fail(QStringLiteral("cannot read the account file of ") +
                Shortened(report.unreadable.front()));
  }
  if (!options->detail) return Output(*options, report, settings, ReportColumnLayout(settings));

  const DrillDownResult result = DrillDown(report, settings, home, options->today,
                                           options->detail->first, options->detail->second);
  switch (result.action) {
    case DrillDownResult::Action::kNothing:
      return 0;
    case DrillDownResult::Action::kDetail:
      if (!result.detail.unreadable.isEmpty()) {
        return Fail(QStringLiteral("cannot read the account file of ") +
                    Shortened(result.detail.unreadable.front()));
      }
      return Output(*options, result.detail, settings, DetailColumnLayout());
    case DrillDownResult::Action::kRegister: {
      StdoutBuffer out;
      out.Text() = (result.landing.account + u'\t' + QString::number(result.landing.row) + u'\n')
                       .toStdString();
      return out.Flush() ? 0 : kExitFileError;
    }
  }
  return 0;
}

}  // namespace cheque::cli
