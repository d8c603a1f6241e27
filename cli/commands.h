#pragma once

#include <QStringList>

namespace cheque::cli {

// Each sub-command gets the arguments after its name and returns the exit
// code: 0 done, 1 a file could not be read or written, 2 bad arguments.
int RunBackupCommand(const QStringList& args);
int RunForecastCommand(const QStringList& args);
int RunImportCommand(const QStringList& args);
int RunRegisterCommand(const QStringList& args);
int RunReportCommand(const QStringList& args);
int RunRestoreCommand(const QStringList& args);
int RunWordsCommand(const QStringList& args);

inline constexpr int kExitFileError = 1;
inline constexpr int kExitUsage = 2;

}  // namespace cheque::cli
