#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/cli/cli_run.h"

namespace {

using cheque::testing::CliRun;
using cheque::testing::ReadAll;
using cheque::testing::RunCli;

// A case folder: README (why it exists), args (one argument a line; "{home}"
// stands for a copy of the shared program folder report_home, "{dir}" for
// the case folder), expected.txt (stdout) and, when the run should fail,
// exit (the exit code) and stderr.txt (how the message ends).
QStringList CaseNames() {
  const QDir data(QStringLiteral(CHEQUE_TEST_DATA));
  QStringList names =
      data.entryList({QStringLiteral("report_*")}, QDir::Dirs | QDir::NoDotAndDotDot);
  names.removeAll(QStringLiteral("report_home"));
  return names;
}

// The program folder is copied, so that no run can change the shared one.
bool CopyHome(const QString& target) {
  const QDir source(QDir(QStringLiteral(CHEQUE_TEST_DATA)).filePath(QStringLiteral("report_home")));
  for (const QString& name : source.entryList(QDir::Files)) {
    if (name == u"Mrg.Tmp") continue;
    if (!QFile::copy(source.filePath(name), QDir(target).filePath(name))) return false;
  }
  return true;
}

CliRun RunReport(const QStringList& args) {
  return RunCli(QStringList{QStringLiteral("report")} << args);
}

}  // namespace

TEST(ReportCommand, ExpectedOutputCases) {
  const QStringList names = CaseNames();
  ASSERT_GE(names.size(), 25) << "a case folder went missing";
  const QDir data(QStringLiteral(CHEQUE_TEST_DATA));
  for (const QString& name : names) {
    SCOPED_TRACE(name.toStdString());
    const QDir dir(data.filePath(name));
    ASSERT_TRUE(dir.exists(QStringLiteral("README")));
    ASSERT_TRUE(dir.exists(QStringLiteral("expected.txt")));
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid() && CopyHome(home.path()));
    QStringList args;
    const QString arg_text = QString::fromUtf8(ReadAll(dir.filePath(QStringLiteral("args"))));
    for (const QString& line : arg_text.split(u'\n', Qt::SkipEmptyParts)) {
      args << QString(line)
                  .replace(QStringLiteral("{home}"), home.path())
                  .replace(QStringLiteral("{dir}"), dir.path());
    }
    const QByteArray exit_text = ReadAll(dir.filePath(QStringLiteral("exit"))).trimmed();
    const int expected_exit = exit_text.isEmpty() ? 0 : exit_text.toInt();

    const CliRun run = RunReport(args);
    EXPECT_EQ(run.exit_code, expected_exit) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(),
              ReadAll(dir.filePath(QStringLiteral("expected.txt"))).toStdString());
    EXPECT_EQ(run.err.isEmpty(), expected_exit == 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith(ReadAll(dir.filePath(QStringLiteral("stderr.txt")))))
        << run.err.toStdString();
  }
}

TEST(ReportCommand, BadArgumentsAreUsageErrors) {
  const QStringList cases[] = {
      {},
      {QStringLiteral("--home"), QStringLiteral("/tmp")},
      {QStringLiteral("--rpt"), QStringLiteral("/tmp/1.Rpt")},
      {QStringLiteral("--home"), QStringLiteral("/tmp"), QStringLiteral("--rpt"),
       QStringLiteral("a"), QStringLiteral("--name"), QStringLiteral("b")},
      {QStringLiteral("--home"), QStringLiteral("/tmp"), QStringLiteral("--name"),
       QStringLiteral("b"), QStringLiteral("--detail"), QStringLiteral("1")},
      {QStringLiteral("--home"), QStringLiteral("/tmp"), QStringLiteral("--name"),
       QStringLiteral("b"), QStringLiteral("--detail"), QStringLiteral("-1,2")},
      {QStringLiteral("--home"), QStringLiteral("/tmp"), QStringLiteral("--name"),
       QStringLiteral("b"), QStringLiteral("--today"), QStringLiteral("32/1/1998")},
      {QStringLiteral("--home"), QStringLiteral("/tmp"), QStringLiteral("--name")},
  };
  for (const QStringList& args : cases) {
    SCOPED_TRACE(args.join(u' ').toStdString());
    const CliRun run = RunReport(args);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith("usage:"));
  }
}
