// cheque-cli register: an account's register as the program shows it after
// loading, one transaction a line.

#include <optional>

#include "cli/commands.h"
#include "cli/output.h"
#include "core/register/open_account.h"
#include "core/register/register.h"
#include "core/reports/csv_export.h"
#include "core/reports/xlsx_export.h"
#include "core/text/date_text.h"
#include "core/text/text_compare.h"

namespace cheque::cli {
namespace {

constexpr char16_t kUsage[] =
    u"usage: cheque-cli register (--file PATH | --home DIR --account NAME) [--opening AMOUNT]\n"
    u"                           [--today D/M/YYYY] [--sort COLUMN] [--count | --csv | --xlsx "
    u"FILE]\n"
    u"  AMOUNT: the opening balance of an empty account file (otherwise 0, or the account's)\n"
    u"  COLUMN: 2 to 7, or date, category, income, expense, type, description\n"
    u"  --csv: the register as a spreadsheet file (UTF-8 CSV) on stdout\n"
    u"  --xlsx: the register as an Excel workbook written to FILE";

struct Options {
  QString file;
  QString home;
  std::optional<QString> account;
  std::optional<QString> opening;
  QDate today = QDate::currentDate();
  int sort_column = 0;
  bool count_only = false;
  bool csv = false;
  QString xlsx;
};

int SortColumn(const QString& text) {
  static const std::pair<QStringView, int> kNames[] = {
      {u"income", kIncomeColumn},     {u"expense", kExpenseColumn},         {u"type", kTypeColumn},
      {u"category", kCategoryColumn}, {u"description", kDescriptionColumn}, {u"date", kDateColumn}};
  for (const auto& [name, column] : kNames) {
    if (text == name) return column;
  }
  bool ok = false;
  const int column = text.toInt(&ok);
  return ok && column >= kIncomeColumn && column <= kDateColumn ? column : 0;
}

std::optional<Options> ParseOptions(const QStringList& args) {
  Options options;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& option = args[i];
    if (option == u"--count") {
      options.count_only = true;
      continue;
    }
    if (option == u"--csv") {
      options.csv = true;
      continue;
    }
    if (i + 1 >= args.size()) return std::nullopt;
    const QString& value = args[++i];
    if (option == u"--file") {
      options.file = value;
    } else if (option == u"--home") {
      options.home = value;
    } else if (option == u"--account") {
      options.account = value;
    } else if (option == u"--opening") {
      options.opening = value;
    } else if (option == u"--today") {
      const auto date = ReadDateText(QStringView(value), QDate::currentDate());
      if (!date) return std::nullopt;
      options.today = *date;
    } else if (option == u"--xlsx") {
      options.xlsx = value;
    } else if (option == u"--sort") {
      options.sort_column = SortColumn(value);
      if (options.sort_column == 0) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (int{options.count_only} + int{options.csv} + int{!options.xlsx.isEmpty()} > 1) {
    return std::nullopt;
  }
  const bool by_file = !options.file.isEmpty();
  const bool by_account = !options.home.isEmpty() && options.account.has_value();
  if (by_file == by_account || (by_file && (!options.home.isEmpty() || options.account))) {
    return std::nullopt;
  }
  return options;
}

struct AccountSource {
  QString path;
  QString opening_balance = QStringLiteral("0");
  QString error;  // why there is no file to read
};

// The account's file as the program finds it, through the account list; an
// unsafe file base falls back to "Default.dat" (opened with the opening
// balance of a new account, 0). A name the list does not hold is an error:
// the program would quietly show another file, a script must not.
AccountSource FindAccount(const Options& options) {
  AccountSource source;
  if (!options.file.isEmpty()) {
    source.path = options.file;
    if (options.opening) source.opening_balance = *options.opening;
    return source;
  }
  const AccountLocation location = LocateAccount(options.home, *options.account);
  if (!location.list_read && location.list_error != ReadError::kNone) {
    source.error = QStringLiteral("cannot read the account list ") + Shortened(location.list_path) +
                   QStringLiteral(": ") + ReasonText(location.list_error);
    return source;
  }
  if (!location.definition) {
    source.error = QStringLiteral("unknown account: ") + Shortened(*options.account);
    return source;
  }
  source.path = location.path;
  if (!location.default_file) source.opening_balance = OpeningBalanceOf(location);
  if (options.opening) source.opening_balance = *options.opening;
  return source;
}

// Grid columns in file order of the record, and where each goes on the line.
constexpr int kLinePlaceOfField[8] = {0, 4, 3, 6, 1, 2, 5, 7};  // columns 1,5,4,7,2,3,6,8

bool PrintRegister(const Register& reg, QDate today) {
  StdoutBuffer out;
  std::string_view fields[8];
  for (int row = 0; row < reg.RowCount() - 1; ++row) {
    std::string_view record = reg.RawRecord(row);
    for (const int place : kLinePlaceOfField) {
      const size_t end = record.find('\r');
      fields[place] = record.substr(0, end);
      record.remove_prefix(end + 2);
    }
    for (const std::string_view field : fields) {
      AppendWin1255AsUtf8(field, out.Text());
      out.Text() += '\t';
    }
    out.Text() += reg.IsOverdueRow(row, today) ? '1' : '0';
    out.Text() += '\t';
    if (const auto difference = reg.BankBalanceDifference(row)) {
      out.Text() += difference->toStdString();
    }
    out.Text() += '\n';
    if (!out.FlushIfFull()) return false;
  }
  return out.Flush();
}

bool PrintCount(const Register& reg) {
  StdoutBuffer out;
  const int transactions = reg.RowCount() - 1;
  out.Text() = std::to_string(transactions) + '\t';
  if (transactions > 0)
    AppendWin1255AsUtf8(reg.RawCell(transactions - 1, kBalanceColumn), out.Text());
  out.Text() += '\n';
  return out.Flush();
}

}  // namespace

int RunRegisterCommand(const QStringList& args) {
  const auto options = ParseOptions(args);
  if (!options) {
    PrintError(QStringView(kUsage).toString());
    return kExitUsage;
  }
  const AccountSource source = FindAccount(*options);
  if (!source.error.isEmpty()) {
    PrintError(QStringLiteral("cheque-cli: ") + source.error);
    return kExitFileError;
  }
  // Read only: unlike the program, a missing file is not created.
  Register reg;
  AccountOpenOptions read_only;
  read_only.mode = AccountOpenMode::kReadOnly;
  const AccountFileLoad load =
      OpenAccountFile(source.path, source.opening_balance, options->today, reg, read_only);
  if (!load.Loaded()) {
    PrintError(QStringLiteral("cheque-cli: cannot read the account file ") +
               Shortened(source.path) + QStringLiteral(": ") + ReasonText(load.error));
    return kExitFileError;
  }
  if (options->sort_column != 0) reg.SortRegister(options->sort_column, options->today);
  if (!options->xlsx.isEmpty()) {
    QString error;
    if (WriteXlsxFile(options->xlsx, RegisterSheet(reg, options->account.value_or(QString())),
                      &error)) {
      return 0;
    }
    PrintError(QStringLiteral("cheque-cli: ") + error);
    return kExitFileError;
  }
  if (options->csv) {
    StdoutBuffer out;
    out.Text() = RegisterCsv(reg).toStdString();
    return out.Flush() ? 0 : kExitFileError;
  }
  const bool written = options->count_only ? PrintCount(reg) : PrintRegister(reg, options->today);
  return written ? 0 : kExitFileError;
}

}  // namespace cheque::cli
