// cheque-cli import: a bank statement against an account's register, the
// plan printed one line a bank movement, and applied unless --dry-run.

#include <QDir>
#include <QFileInfo>
#include <optional>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/program_lock.h"
#include "core/import/column_mapping.h"
#include "core/import/import_plan.h"
#include "core/import/statement_table.h"
#include "core/register/open_account.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"
#include "core/text/text_compare.h"

namespace cheque::cli {
namespace {

constexpr char16_t kUsage[] =
    u"usage: cheque-cli import --home DIR --account NAME --file STATEMENT\n"
    u"                         [--mapping MAPPING] [--sheet N] [--encoding ENCODING]\n"
    u"                         [--today D/M/YYYY] [--dry-run]\n"
    u"  STATEMENT: .csv (comma, semicolon or TAB), .xlsx or .xls (also a web page's\n"
    u"             table or an Excel 2003 XML saved as .xls)\n"
    u"  N: the sheet, or the web page's table, counted from 1 in the file's order;\n"
    u"     without it a workbook's first sheet, or the table of most rows\n"
    u"  MAPPING: columns and the first movement's row, counted from 1, e.g.\n"
    u"           date=1,desc=2,ref=3,amount=4,balance=6,first=2 (or debit=4,credit=5,\n"
    u"           or either alone); without it, the mapping remembered in DIR for the\n"
    u"           file's header row, else one guessed from the header's words\n"
    u"  ENCODING: a CSV's, utf-8, utf-16, windows-1255 or windows-1252 (by the bytes\n"
    u"            when not given)\n"
    u"  prints: ACTION<TAB>FILE ROW<TAB>DATE<TAB>AMOUNT<TAB>DESCRIPTION<TAB>TARGET a line,\n"
    u"          ACTION mark, known, add, balance, balance-known or skip; TARGET the\n"
    u"          register's row (from 1, in date order) or the added row's type; a NOTE\n"
    u"          after a TAB when the text was changed to fit; then a summary";

struct Options {
  QString home;
  QString account;
  QString file;
  std::optional<ColumnMapping> mapping;
  int sheet = kDefaultSheet;  // from 0
  TextEncoding encoding = TextEncoding::kAuto;
  QDate today = QDate::currentDate();
  bool dry_run = false;
};

std::optional<Options> ParseOptions(const QStringList& args) {
  Options options;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& option = args[i];
    if (option == u"--dry-run") {
      options.dry_run = true;
      continue;
    }
    if (i + 1 >= args.size()) return std::nullopt;
    const QString& value = args[++i];
    if (option == u"--home") {
      options.home = value;
    } else if (option == u"--account") {
      options.account = value;
    } else if (option == u"--file") {
      options.file = value;
    } else if (option == u"--mapping") {
      options.mapping = ParseMappingText(value);
      if (!options.mapping) return std::nullopt;
    } else if (option == u"--sheet") {
      bool ok = false;
      options.sheet = value.toInt(&ok) - 1;
      if (!ok || options.sheet < 0) return std::nullopt;
    } else if (option == u"--encoding") {
      const auto encoding = TextEncodingOfName(value);
      if (!encoding) return std::nullopt;
      options.encoding = *encoding;
    } else if (option == u"--today") {
      const auto date = ReadDateText(QStringView(value), QDate::currentDate());
      if (!date) return std::nullopt;
      options.today = *date;
    } else {
      return std::nullopt;
    }
  }
  if (options.home.isEmpty() || options.account.isEmpty() || options.file.isEmpty()) {
    return std::nullopt;
  }
  return options;
}

QString ActionName(PlanAction action) {
  switch (action) {
    case PlanAction::kMark:
      return QStringLiteral("mark");
    case PlanAction::kKnown:
      return QStringLiteral("known");
    case PlanAction::kAdd:
      return QStringLiteral("add");
    case PlanAction::kBankBalance:
      return QStringLiteral("balance");
    case PlanAction::kBalanceKnown:
      break;
  }
  return QStringLiteral("balance-known");
}

bool PrintPlan(const ImportPlan& plan) {
  StdoutBuffer out;
  // The rows passed over, each before the movement that follows it.
  size_t passed = 0;
  const auto print_passed_before = [&](int source_row) {
    for (; passed < plan.passed.size() && plan.passed[passed].source_row < source_row; ++passed) {
      const PassedRow& row = plan.passed[passed];
      out.Text() += QStringList({QStringLiteral("skip"), QString::number(row.source_row + 1),
                                 QString(), QString(), row.text, QString()})
                        .join(u'\t')
                        .toStdString() +
                    '\n';
    }
  };
  for (const PlanLine& line : plan.lines) {
    const BankMovement& m = plan.movements[static_cast<size_t>(line.movement)];
    const bool balance =
        line.action == PlanAction::kBankBalance || line.action == PlanAction::kBalanceKnown;
    QString target = line.row >= 0 ? QString::number(line.row + 1) : QString();
    if (line.action == PlanAction::kAdd) target = AddedRowType(m);
    if (line.action == PlanAction::kBankBalance) target = QString::fromUtf16(kBankBalanceType);
    print_passed_before(balance ? kMaxStatementRows : m.source_row);
    QStringList fields = {ActionName(line.action),
                          QString::number(m.source_row + 1),
                          DateText(m.date),
                          FormatAmount(balance ? *m.balance : m.amount),
                          balance ? QString::fromUtf16(kBankBalanceDescription) : m.description,
                          target};
    if (!balance && !m.note.isEmpty()) fields << m.note;
    out.Text() += fields.join(u'\t').toStdString() + '\n';
    if (!out.FlushIfFull()) return false;
  }
  print_passed_before(kMaxStatementRows);
  const int marked = plan.Count(PlanAction::kMark);
  out.Text() += QStringLiteral("matched %1, added %2, marked %3\n")
                    .arg(marked + plan.Count(PlanAction::kKnown))
                    .arg(plan.Count(PlanAction::kAdd) + plan.Count(PlanAction::kBankBalance))
                    .arg(marked)
                    .toStdString();
  return out.Flush();
}

int Fail(const QString& text) {
  PrintError(QStringLiteral("cheque-cli: ") + text);
  return kExitFileError;
}

}  // namespace

int RunImportCommand(const QStringList& args) {
  const auto options = ParseOptions(args);
  if (!options) {
    PrintError(QStringView(kUsage).toString());
    return kExitUsage;
  }
  const AccountLocation location = LocateAccount(options->home, options->account);
  if (!location.definition) {
    return Fail(QStringLiteral("אין חשבון בשם ") + Shortened(options->account));
  }
  // Read and saved under the lock, so the program cannot save over the import.
  std::unique_ptr<InstanceLock> lock;
  if (!options->dry_run) {
    lock = LockProgramFolder(options->home);
    if (!lock) return kExitFileError;
  }
  Register reg;
  AccountOpenOptions read_only;
  read_only.mode = AccountOpenMode::kReadOnly;
  const AccountFileLoad load =
      OpenAccountFile(location.path, OpeningBalanceOf(location), options->today, reg, read_only);
  if (!load.Loaded()) {
    return Fail(QStringLiteral("לא ניתן לקרוא את קובץ החשבון ") + Shortened(location.path) +
                QStringLiteral(": ") + ReadErrorText(load.error));
  }

  const StatementRead statement =
      ReadStatementFile(options->file, options->sheet, options->encoding);
  if (!statement.Ok()) return Fail(statement.error);
  const QString memory_path = QDir(options->home).filePath(QStringLiteral("Import.dat"));
  MappingMemory memory = MappingMemory::Load(memory_path);
  std::optional<ColumnMapping> mapping = options->mapping;
  if (!mapping) mapping = memory.Find(statement.table);
  if (!mapping) {
    // Guessed as the dialog guesses, and told so that it can be given back.
    mapping = GuessMapping(statement.table);
    if (!mapping) {
      return Fail(QStringLiteral("לא נמצאו בכותרות הקובץ ") +
                  Shortened(QFileInfo(options->file).fileName()) +
                  QStringLiteral(" עמודת תאריך ועמודת סכום; יש לתת --mapping"));
    }
    PrintError(QStringLiteral("cheque-cli: העמודות נוחשו מהכותרות: --mapping ") +
               MappingText(*mapping));
  }
  const MovementsRead movements = ReadMovements(statement.table, *mapping, options->today);
  if (!movements.Ok()) return Fail(movements.error);

  ImportPlan plan = PlanImport(reg, movements.movements, options->today);
  plan.passed = movements.passed;
  if (!PrintPlan(plan)) return kExitFileError;
  if (options->dry_run) return 0;

  const ImportResult result = ApplyImportPlan(reg, plan, options->today);
  if (!result.error.isEmpty()) return Fail(result.error);
  if (result.applied && !SaveAccountFile(location.path, reg)) {
    return Fail(QStringLiteral("לא ניתן לשמור את קובץ החשבון ") + Shortened(location.path));
  }
  // The next month's file of the same bank needs no --mapping.
  if (options->mapping && memory.Remember(statement.table, *mapping)) memory.Save(memory_path);
  return 0;
}

}  // namespace cheque::cli
