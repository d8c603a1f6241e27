#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#ifdef __unix__
#include <unistd.h>
#endif

#include "tests/cli/cli_run.h"

namespace {

using cheque::testing::CliRun;
using cheque::testing::ReadAll;
using cheque::testing::RunCli;

// A case folder: README (why it exists), args (one argument a line, "{dir}"
// standing for the folder), the input files, expected.txt (stdout) and,
// when the run should fail, exit (the exit code) and stderr.txt (how the
// message ends; paths in it vary with the checkout).
struct CliCase {
  QString name;
  QDir dir;
};

std::vector<CliCase> Cases() {
  std::vector<CliCase> cases;
  const QDir data(QStringLiteral(CHEQUE_TEST_DATA));
  for (const QString& name :
       data.entryList({QStringLiteral("register_*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
    cases.push_back({name, QDir(data.filePath(name))});
  }
  return cases;
}

}  // namespace

TEST(RegisterCommand, ExpectedOutputCases) {
  const auto cases = Cases();
  ASSERT_GE(cases.size(), 16U) << "a case folder went missing";
  for (const CliCase& c : cases) {
    SCOPED_TRACE(c.name.toStdString());
    ASSERT_TRUE(c.dir.exists(QStringLiteral("README")));
    ASSERT_TRUE(c.dir.exists(QStringLiteral("args")));
    ASSERT_TRUE(c.dir.exists(QStringLiteral("expected.txt")));
    QStringList args{QStringLiteral("register")};
    const QString arg_text = QString::fromUtf8(ReadAll(c.dir.filePath(QStringLiteral("args"))));
    for (const QString& line : arg_text.split(u'\n', Qt::SkipEmptyParts)) {
      args << QString(line).replace(QStringLiteral("{dir}"), c.dir.path());
    }
    const QByteArray exit_text = ReadAll(c.dir.filePath(QStringLiteral("exit"))).trimmed();
    const int expected_exit = exit_text.isEmpty() ? 0 : exit_text.toInt();

    const CliRun run = RunCli(args);
    EXPECT_EQ(run.exit_code, expected_exit) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(),
              ReadAll(c.dir.filePath(QStringLiteral("expected.txt"))).toStdString());
    EXPECT_EQ(run.err.isEmpty(), expected_exit == 0) << run.err.toStdString();
    const QByteArray err_end = ReadAll(c.dir.filePath(QStringLiteral("stderr.txt")));
    EXPECT_TRUE(run.err.endsWith(err_end)) << run.err.toStdString();
  }
}

TEST(RegisterCommand, NeverCreatesTheAccountFile) {
  const QString missing = QDir(QStringLiteral(CHEQUE_TEST_DATA))
                              .filePath(QStringLiteral("register_missing_file/none.dat"));
  RunCli({QStringLiteral("register"), QStringLiteral("--file"), missing});
  EXPECT_FALSE(QFile::exists(missing));
}

TEST(RegisterCommand, BadArgumentsAreUsageErrors) {
  const QString file = QDir(QStringLiteral(CHEQUE_TEST_DATA))
                           .filePath(QStringLiteral("register_reconcile/account.dat"));
  const QStringList cases[] = {
      {},
      {QStringLiteral("--file")},
      {QStringLiteral("--file"), file, QStringLiteral("--home"), QStringLiteral("/tmp")},
      {QStringLiteral("--home"), QStringLiteral("/tmp")},
      {QStringLiteral("--account"), QStringLiteral("x")},
      {QStringLiteral("--file"), file, QStringLiteral("--today"), QStringLiteral("31/31/2020")},
      {QStringLiteral("--file"), file, QStringLiteral("--sort"), QStringLiteral("balance")},
      {QStringLiteral("--file"), file, QStringLiteral("--verbose")},
  };
  for (const QStringList& extra : cases) {
    SCOPED_TRACE(extra.join(u' ').toStdString());
    const CliRun run = RunCli(QStringList{QStringLiteral("register")} << extra);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith("usage:"));
  }
  EXPECT_EQ(RunCli({QStringLiteral("no-such-command")}).exit_code, 2);
}

TEST(RegisterCommand, FileErrorsSayWhyInAShortLine) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QDir home(dir.path());
  // An account whose file base is ten million letters: a name no file can have.
  QByteArray list = "Long\r\n" + QByteArray(10'000'000, 'A') + "\r\n";
  for (int i = 2; i < 14; ++i) list += "\r\n";
  {
    QFile file(home.filePath(QStringLiteral("Accts.dat")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(list), list.size());
  }
  struct Case {
    QStringList args;
    QByteArray reason;
  };
  std::vector<Case> cases = {
      {{QStringLiteral("--home"), home.path(), QStringLiteral("--account"), QStringLiteral("long")},
       ": missing"},
      {{QStringLiteral("--home"), home.path(), QStringLiteral("--account"), QString(5000, u'ש')},
       "…" + QString(29, u'ש').toUtf8()},
  };
#ifdef __unix__
  // Before, /dev/zero ran out of memory.
  const QString zero = home.filePath(QStringLiteral("zero.dat"));
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
  cases.push_back({{QStringLiteral("--file"), zero}, ": not a regular file"});
  if (geteuid() != 0) {  // permissions do not stop root
    const QString locked = home.filePath(QStringLiteral("locked.dat"));
    QFile(locked).open(QIODevice::WriteOnly);
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    cases.push_back({{QStringLiteral("--file"), locked}, ": no permission"});
  }
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(u' ').left(200).toStdString());
    const CliRun run = RunCli(QStringList{QStringLiteral("register")} << c.args);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith("cheque-cli: ")) << run.err.left(300).toStdString();
    EXPECT_TRUE(run.err.trimmed().endsWith(c.reason)) << run.err.left(300).toStdString();
    EXPECT_LT(QString::fromUtf8(run.err).size(), 150) << run.err.left(300).toStdString();
  }
}
