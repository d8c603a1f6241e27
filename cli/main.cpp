#include <QString>
#include <QStringList>
#include <string_view>

#include "cli/commands.h"
#include "cli/output.h"

namespace {

struct Command {
  std::u16string_view name;
  int (*run)(const QStringList& args);
};

constexpr Command kCommands[] = {
    {u"backup", cheque::cli::RunBackupCommand}, {u"forecast", cheque::cli::RunForecastCommand},
    {u"import", cheque::cli::RunImportCommand}, {u"register", cheque::cli::RunRegisterCommand},
    {u"report", cheque::cli::RunReportCommand}, {u"restore", cheque::cli::RunRestoreCommand},
    {u"words", cheque::cli::RunWordsCommand},
};

}  // namespace

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  if (!args.isEmpty()) {
    for (const Command& command : kCommands) {
      if (args.front() == QStringView(command.name)) return command.run(args.mid(1));
    }
  }
  QString usage = QStringLiteral("usage: cheque-cli COMMAND [OPTIONS]\ncommands:");
  for (const Command& command : kCommands) usage += u' ' + QStringView(command.name).toString();
  cheque::cli::PrintError(usage);
  return cheque::cli::kExitUsage;
}
