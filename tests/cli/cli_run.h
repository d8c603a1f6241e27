#pragma once

// What the command-line tests share: reading a file, running cheque-cli.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace cheque::testing {

inline QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct CliRun {
  int exit_code = -1;  // -1 when it crashed or hung
  QByteArray out;
  QByteArray err;
};

inline CliRun RunCli(const QStringList& args) {
  QProcess process;
  process.start(QStringLiteral(CHEQUE_CLI), args);
  process.waitForFinished(60000);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput(), process.readAllStandardError()};
}

}  // namespace cheque::testing
