#include <gtest/gtest.h>

#include <QDir>

#include "tests/cli/cli_run.h"

namespace {

using cheque::testing::CliRun;
using cheque::testing::ReadAll;
using cheque::testing::RunCli;

}  // namespace

// Case folders tests/data/forecast_*, laid out as the register's: README,
// args ("{dir}" for the folder), the account folder's files, expected.txt
// and, for a failing run, exit and the end of stderr.txt.
TEST(ForecastCommand, ExpectedOutputCases) {
  const QDir data(QStringLiteral(CHEQUE_TEST_DATA));
  const QStringList names =
      data.entryList({QStringLiteral("forecast_*")}, QDir::Dirs | QDir::NoDotAndDotDot);
  ASSERT_GE(names.size(), 4) << "a case folder went missing";
  for (const QString& name : names) {
    SCOPED_TRACE(name.toStdString());
    const QDir dir(data.filePath(name));
    ASSERT_TRUE(dir.exists(QStringLiteral("README")));
    QStringList args{QStringLiteral("forecast")};
    const QString arg_text = QString::fromUtf8(ReadAll(dir.filePath(QStringLiteral("args"))));
    for (const QString& line : arg_text.split(u'\n', Qt::SkipEmptyParts)) {
      args << QString(line).replace(QStringLiteral("{dir}"), dir.path());
    }
    const QByteArray exit_text = ReadAll(dir.filePath(QStringLiteral("exit"))).trimmed();
    const int expected_exit = exit_text.isEmpty() ? 0 : exit_text.toInt();
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.exit_code, expected_exit) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(),
              ReadAll(dir.filePath(QStringLiteral("expected.txt"))).toStdString());
    EXPECT_TRUE(run.err.endsWith(ReadAll(dir.filePath(QStringLiteral("stderr.txt")))))
        << run.err.toStdString();
  }
}

TEST(ForecastCommand, BadArgumentsAreUsageErrors) {
  const QString home =
      QDir(QStringLiteral(CHEQUE_TEST_DATA)).filePath(QStringLiteral("forecast_series_and_cheque"));
  const QStringList account{QStringLiteral("--home"), home, QStringLiteral("--account"),
                            QStringLiteral("חשבון הבית")};
  const QStringList cases[] = {
      {QStringLiteral("--home"), home},
      account + QStringList{QStringLiteral("--days")},
      account + QStringList{QStringLiteral("--days"), QStringLiteral("-1")},
      account + QStringList{QStringLiteral("--days"), QStringLiteral("ten")},
      account + QStringList{QStringLiteral("--today"), QStringLiteral("31/31/2027")},
  };
  for (const QStringList& extra : cases) {
    SCOPED_TRACE(extra.join(u' ').toStdString());
    const CliRun run = RunCli(QStringList{QStringLiteral("forecast")} << extra);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith("usage:"));
  }
}
