#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <map>

#include "core/files/instance_lock.h"
#include "tests/cli/cli_run.h"

namespace {

using cheque::testing::CliRun;
using cheque::testing::ReadAll;
using cheque::testing::RunCli;

// A case folder: README (why it exists), args (one argument a line, "{home}"
// and "{to}" standing for the program folder and the volume), home/ and
// volume/ (copied to a temporary folder, every file dated 3/12/2026 14:20),
// expected.txt (stdout), exit and stderr.txt (how stderr ends) when it
// fails, and after/home, after/volume: every file the two folders hold
// afterwards (when missing, they must be as they were).
using Tree = std::map<QString, QByteArray>;

Tree ReadTree(const QString& root) {
  Tree tree;
  QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    tree[QDir(root).relativeFilePath(path)] = ReadAll(path);
  }
  return tree;
}

void CopyTree(const QString& from, const QString& to) {
  QDir().mkpath(to);
  const QDateTime when(QDate(2026, 12, 3), QTime(14, 20));
  for (const auto& [name, bytes] : ReadTree(from)) {
    const QString path = QDir(to).filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.flush();  // a write after it would date the file now
    file.setFileTime(when, QFileDevice::FileModificationTime);
  }
}

std::string Listing(const Tree& tree) {
  std::string out;
  for (const auto& [name, bytes] : tree) {
    out += name.toStdString() + " (" + std::to_string(bytes.size()) + ")\n";
  }
  return out;
}

}  // namespace

TEST(BackupCommands, ExpectedOutputCases) {
  const QDir data(QStringLiteral(CHEQUE_TEST_DATA));
  const QStringList cases = data.entryList(
      {QStringLiteral("backup_*"), QStringLiteral("restore_*")}, QDir::Dirs | QDir::NoDotAndDotDot);
  ASSERT_GE(cases.size(), 7) << "a case folder went missing";
  for (const QString& name : cases) {
    SCOPED_TRACE(name.toStdString());
    const QDir dir(data.filePath(name));
    ASSERT_TRUE(dir.exists(QStringLiteral("README")));
    QTemporaryDir work;
    const QString home = work.filePath(QStringLiteral("home"));
    const QString volume = work.filePath(QStringLiteral("volume"));
    CopyTree(dir.filePath(QStringLiteral("home")), home);
    CopyTree(dir.filePath(QStringLiteral("volume")), volume);
    const Tree home_before = ReadTree(home);
    const Tree volume_before = ReadTree(volume);

    QStringList args{name.section(u'_', 0, 0)};
    const QString arg_text = QString::fromUtf8(ReadAll(dir.filePath(QStringLiteral("args"))));
    for (const QString& line : arg_text.split(u'\n', Qt::SkipEmptyParts)) {
      args << QString(line)
                  .replace(QStringLiteral("{home}"), home)
                  .replace(QStringLiteral("{to}"), volume);
    }
    const QByteArray exit_text = ReadAll(dir.filePath(QStringLiteral("exit"))).trimmed();
    const int expected_exit = exit_text.isEmpty() ? 0 : exit_text.toInt();

    const CliRun run = RunCli(args);
    EXPECT_EQ(run.exit_code, expected_exit) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(),
              ReadAll(dir.filePath(QStringLiteral("expected.txt"))).toStdString());
    EXPECT_EQ(run.err.isEmpty(), expected_exit == 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith(ReadAll(dir.filePath(QStringLiteral("stderr.txt")))))
        << run.err.toStdString();

    const bool changed = dir.exists(QStringLiteral("after"));
    const Tree home_after =
        changed ? ReadTree(dir.filePath(QStringLiteral("after/home"))) : home_before;
    const Tree volume_after =
        changed ? ReadTree(dir.filePath(QStringLiteral("after/volume"))) : volume_before;
    EXPECT_EQ(Listing(ReadTree(home)), Listing(home_after));
    EXPECT_TRUE(ReadTree(home) == home_after);
    EXPECT_EQ(Listing(ReadTree(volume)), Listing(volume_after));
    EXPECT_TRUE(ReadTree(volume) == volume_after);
  }
}

// While the program holds its folder, a restore would be lost at its next save.
TEST(BackupCommands, RestoreRefusedWhileTheProgramIsOpen) {
  const QDir data(QStringLiteral(CHEQUE_TEST_DATA));
  const QDir source(data.filePath(QStringLiteral("restore_yes")));
  QTemporaryDir work;
  const QString home = work.filePath(QStringLiteral("home"));
  const QString volume = work.filePath(QStringLiteral("volume"));
  CopyTree(source.filePath(QStringLiteral("home")), home);
  CopyTree(source.filePath(QStringLiteral("volume")), volume);
  cheque::InstanceLock program(QDir(home).filePath(QStringLiteral("Cheque.lck")));
  ASSERT_TRUE(program.Acquire());
  const Tree before = ReadTree(home);
  const CliRun run = RunCli({QStringLiteral("restore"), QStringLiteral("--home"), home,
                             QStringLiteral("--from"), volume, QStringLiteral("--account"),
                             QString::fromUtf8("בית"), QStringLiteral("--yes")});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err.toStdString(), "cheque-cli: התוכנה פתוחה על תיקייה זו\n");
  EXPECT_TRUE(ReadTree(home) == before);
}
