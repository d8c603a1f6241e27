// cheque-cli forecast: the account's running balance ahead of today, day by
// day, and where it falls below the credit line.

#include <optional>

#include "cli/commands.h"
#include "cli/output.h"
#include "core/register/forecast.h"
#include "core/register/open_account.h"
#include "core/text/date_text.h"
#include "core/text/text_compare.h"

namespace cheque::cli {
namespace {

constexpr char16_t kUsage[] =
    u"usage: cheque-cli forecast --home DIR --account NAME [--today D/M/YYYY] [--days N]\n"
    u"  N: the days ahead of today to read, 0 to 36500 (365 when not given)";

constexpr int kMaxDays = 36500;

struct Options {
  QString home;
  std::optional<QString> account;
  QDate today = QDate::currentDate();
  int days = kForecastHorizonDays;
};

std::optional<Options> ParseOptions(const QStringList& args) {
  Options options;
  for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
    const QString& option = args[i];
    const QString& value = args[i + 1];
    if (option == u"--home") {
      options.home = value;
    } else if (option == u"--account") {
      options.account = value;
    } else if (option == u"--today") {
      const auto date = ReadDateText(QStringView(value), QDate::currentDate());
      if (!date) return std::nullopt;
      options.today = *date;
    } else if (option == u"--days") {
      bool ok = false;
      options.days = value.toInt(&ok);
      if (!ok || options.days < 0 || options.days > kMaxDays) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (args.size() % 2 != 0 || options.home.isEmpty() || !options.account) return std::nullopt;
  return options;
}

}  // namespace

int RunForecastCommand(const QStringList& args) {
  const auto options = ParseOptions(args);
  if (!options) {
    PrintError(QStringView(kUsage).toString());
    return kExitUsage;
  }
  // A name the list does not hold is an error, as for cheque-cli register.
  const AccountLocation location = LocateAccount(options->home, *options->account);
  if (!location.list_read && location.list_error != ReadError::kNone) {
    PrintError(QStringLiteral("cheque-cli: cannot read the account list ") +
               Shortened(location.list_path) + QStringLiteral(": ") +
               ReasonText(location.list_error));
    return kExitFileError;
  }
  if (!location.definition) {
    PrintError(QStringLiteral("cheque-cli: unknown account: ") + Shortened(*options->account));
    return kExitFileError;
  }
  Register reg;
  AccountOpenOptions read_only;
  read_only.mode = AccountOpenMode::kReadOnly;
  const AccountFileLoad load =
      OpenAccountFile(location.path, OpeningBalanceOf(location), options->today, reg, read_only);
  if (!load.Loaded()) {
    PrintError(QStringLiteral("cheque-cli: cannot read the account file ") +
               Shortened(location.path) + QStringLiteral(": ") + ReasonText(load.error));
    return kExitFileError;
  }
  const Forecast forecast =
      ComputeForecast(reg, location.definition->credit_limit, options->today, options->days);
  StdoutBuffer out;
  out.Text() = ForecastListing(forecast).toStdString();
  return out.Flush() ? 0 : kExitFileError;
}

}  // namespace cheque::cli
