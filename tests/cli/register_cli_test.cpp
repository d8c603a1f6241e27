#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

// A case folder: README (why it exists), args (one argument a line, "{dir}"
// standing for the folder), the input files, expected.txt (stdout) and,
// when the run should fail, exit (the exit code).
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

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct CliRun {
  int exit_code = -1;
  QByteArray out;
  QByteArray err;
};

CliRun RunCli(const QStringList& args) {
  QProcess process;
  process.start(QStringLiteral(CHEQUE_CLI), args);
  process.waitForFinished(60000);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput(), process.readAllStandardError()};
}

}  // namespace

TEST(RegisterCommand, ExpectedOutputCases) {
  const auto cases = Cases();
  ASSERT_GE(cases.size(), 13U) << "a case folder went missing";
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
