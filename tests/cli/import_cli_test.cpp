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

// A case folder: README (why it exists), args (one argument a line, "{dir}"
// standing for the folder), the account's files and the statement,
// expected.txt (stdout) and, when the run should fail, exit (the exit code)
// and stderr.txt (how the message ends).
CliRun RunImport(const QStringList& args) {
  return RunCli(QStringList{QStringLiteral("import")} << args);
}

QStringList CaseArgs(const QDir& dir) {
  QStringList args;
  const QString text = QString::fromUtf8(ReadAll(dir.filePath(QStringLiteral("args"))));
  for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
    args << QString(line).replace(QStringLiteral("{dir}"), dir.path());
  }
  return args;
}

}  // namespace

TEST(ImportCommand, ExpectedOutputCases) {
  const QDir data(QStringLiteral(CHEQUE_TEST_DATA));
  const QStringList names =
      data.entryList({QStringLiteral("import_*")}, QDir::Dirs | QDir::NoDotAndDotDot);
  ASSERT_GE(names.size(), 5) << "a case folder went missing";
  for (const QString& name : names) {
    SCOPED_TRACE(name.toStdString());
    const QDir dir(data.filePath(name));
    ASSERT_TRUE(dir.exists(QStringLiteral("README")));
    ASSERT_TRUE(dir.exists(QStringLiteral("expected.txt")));
    const QStringList args = CaseArgs(dir);
    ASSERT_TRUE(args.contains(QStringLiteral("--dry-run"))) << "a case never changes its files";
    const QByteArray exit_text = ReadAll(dir.filePath(QStringLiteral("exit"))).trimmed();
    const int expected_exit = exit_text.isEmpty() ? 0 : exit_text.toInt();
    const CliRun run = RunImport(args);
    EXPECT_EQ(run.exit_code, expected_exit) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(),
              ReadAll(dir.filePath(QStringLiteral("expected.txt"))).toStdString());
    EXPECT_TRUE(run.err.endsWith(ReadAll(dir.filePath(QStringLiteral("stderr.txt")))))
        << run.err.toStdString();
  }
}

// A dry run writes nothing; a real one saves the account and remembers the
// mapping, and a second run then adds nothing.
TEST(ImportCommand, SavesOnlyWithoutDryRun) {
  const QDir source(QStringLiteral(CHEQUE_TEST_DATA "/import_csv_win1255_semicolon"));
  QTemporaryDir temp;
  const QDir home(temp.path());
  for (const QString& name : source.entryList(QDir::Files)) {
    ASSERT_TRUE(QFile::copy(source.filePath(name), home.filePath(name)));
  }
  const QString account = home.filePath(QStringLiteral("Xct1.dat"));
  const QByteArray before = ReadAll(account);
  QStringList args = CaseArgs(home);
  ASSERT_EQ(RunImport(args).exit_code, 0);
  EXPECT_EQ(ReadAll(account), before);
  EXPECT_FALSE(home.exists(QStringLiteral("Import.dat")));

  args.removeAll(QStringLiteral("--dry-run"));
  ASSERT_EQ(RunImport(args).exit_code, 0);
  EXPECT_NE(ReadAll(account), before);
  EXPECT_TRUE(home.exists(QStringLiteral("Import.dat")));
  const QByteArray after = ReadAll(account);
  const CliRun again = RunImport(args);
  EXPECT_TRUE(again.out.endsWith("matched 4, added 0, marked 0\n")) << again.out.toStdString();
  EXPECT_EQ(ReadAll(account), after);
}
