#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/files/instance_lock.h"
#include "tests/cli/cli_run.h"

namespace {

using cheque::testing::CliRun;
using cheque::testing::ReadAll;
using cheque::testing::RunCli;

// While the program has the folder open, an import that would write into it
// is refused and changes nothing; a dry run only reads and goes ahead.
TEST(ProgramLock, ImportRefusedWhileTheProgramIsOpen) {
  struct Case {
    const char* why;
    bool dry_run;
    int exit_code;
  };
  const Case cases[] = {{"an import", false, 1}, {"a dry run", true, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const QDir source(QStringLiteral(CHEQUE_TEST_DATA "/import_csv_win1255_semicolon"));
    QTemporaryDir temp;
    const QDir home(temp.path());
    for (const QString& name : source.entryList(QDir::Files)) {
      ASSERT_TRUE(QFile::copy(source.filePath(name), home.filePath(name)));
    }
    const QString account = home.filePath(QStringLiteral("Xct1.dat"));
    const QByteArray before = ReadAll(account);
    cheque::InstanceLock program(cheque::InstanceLockPath(home.path()));
    ASSERT_TRUE(program.Acquire());
    QStringList args{QStringLiteral("import"),
                     QStringLiteral("--home"),
                     home.path(),
                     QStringLiteral("--account"),
                     QStringLiteral("עסקי"),
                     QStringLiteral("--today"),
                     QStringLiteral("1/3/2024"),
                     QStringLiteral("--file"),
                     home.filePath(QStringLiteral("statement.csv")),
                     QStringLiteral("--mapping"),
                     QStringLiteral("date=1,desc=2,ref=3,debit=4,credit=5,balance=6,first=4")};
    if (c.dry_run) args << QStringLiteral("--dry-run");
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.exit_code, c.exit_code) << run.err.toStdString();
    EXPECT_EQ(run.err.endsWith(QStringLiteral("התוכנה פתוחה על תיקייה זו\n").toUtf8()), !c.dry_run)
        << run.err.toStdString();
    EXPECT_EQ(ReadAll(account), before);
    EXPECT_FALSE(home.exists(QStringLiteral("Import.dat")));
  }
}

}  // namespace
