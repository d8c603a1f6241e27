// Saving an account when the process dies or the disk is full, and the
// temporary files a cut-short save can leave behind.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <random>

#include "core/files/account_list.h"
#include "core/files/save_leftovers.h"
#include "core/register/register.h"

#ifdef __linux__
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

using namespace cheque;
using namespace Qt::StringLiterals;

namespace {

QByteArray ReadRaw(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>"_ba;
}

bool WriteRaw(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// An account of `rows` transactions whose texts depend on `seed`.
Register Account(int rows, int seed) {
  std::string bytes;
  for (int i = 0; i < rows; ++i) {
    const std::string n = std::to_string(i * 7 + seed);
    bytes += n + "\r\n\xE1\xF0\xF7\\\xE9\xFA\xF8\xE4\r\n\xF9\xF7 " + n + "\r\n" +
             std::to_string(i % 28 + 1) + "/" + std::to_string(i % 12 + 1) + "/2020\r\n\r\n" +
             std::to_string(seed) + ".50\r\n\xE7\xF9\xE1\xE5\xEF " + n + "\r\n+\r\n";
  }
  Register reg;
  reg.LoadFileBytes(bytes, u"0");
  return reg;
}

}  // namespace

TEST(SaveLeftovers, OnlyTemporaryNamesOfTheProgramsFilesAreRemoved) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  AccountList list;
  AccountDefinition named;
  named.name = u"בית"_s;
  named.file_base = u"Home7"_s;
  list.Append(named);
  ASSERT_TRUE(list.Write(dir.filePath(u"Accts.dat"_s)));
  // Removed: the temporary names of the program's files, and of an account
  // file the list names. Kept: the user's own copies and everything else.
  const std::pair<const char16_t*, bool> cases[] = {
      {u"Xct12.dat.uBDLkO", true},   {u"Accts.dat.QwErTy", true},  {u"AcMyData.Dat.XyZabc", true},
      {u"Cheque.ini.aBcDeF", true},  {u"BCateg.dat.zzzzzA", true}, {u"Categ.~da.GhIjKl", true},
      {u"MyAddr.Dat.PlKmNj", true},  {u"Home7.dat.TyUiOp", true},  {u"Xct1.dat.backup", false},
      {u"Xct1.dat.qfljot", true},    {u"Accts.dat.QFLJOT", true},  {u"Xct1.dat.Backup", false},
      {u"Xct1.dat.BACKUP", false},   {u"Xct1.dat.uBDLk", false},   {u"Xct1.dat.uBDLkOx", false},
      {u"Xct1.dat.uBD1kO", false},   {u"xct1.dat.uBDLkO", false},  {u"Xcta.dat.uBDLkO", false},
      {u"Other9.dat.TyUiOp", false}, {u"notes.txt.AbCdEf", false}, {u"Xct1.dat", false},
  };
  QStringList expected_left = {u"Accts.dat"_s};
  for (const auto& [name, removed] : cases) {
    ASSERT_TRUE(WriteRaw(dir.filePath(QString::fromUtf16(name)), "x"_ba));
    if (!removed) expected_left.append(QString::fromUtf16(name));
  }
  // Not files: a folder and a link of such names stay too.
  ASSERT_TRUE(QDir(dir.path()).mkdir(u"Xct2.dat.FoLdEr"_s));
  ASSERT_TRUE(QFile::link(dir.filePath(u"Xct1.dat"_s), dir.filePath(u"Xct3.dat.LiNkEd"_s)));
  expected_left << u"Xct2.dat.FoLdEr"_s << u"Xct3.dat.LiNkEd"_s;
  expected_left.sort();

  const QStringList removed = RemoveSaveLeftovers(dir.path());
  EXPECT_EQ(Entries(dir.path()), expected_left);
  EXPECT_EQ(removed.size(), 10);
  EXPECT_EQ(ReadRaw(dir.filePath(u"Xct1.dat"_s)), "x"_ba);
  EXPECT_TRUE(RemoveSaveLeftovers(dir.filePath(u"none"_s)).isEmpty());
}

#ifdef __linux__

namespace {

// Runs `body` in a child process and returns its exit code (128 + the
// signal when it was killed).
int InChild(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// In a child: the disk under `folder` is full (a 64 kB tmpfs in a mount
// namespace of the child's own where the machine allows it, otherwise a file
// size limit); saving the big account over the small one must fail and
// leave the old file alone. Exit codes: 0 as it should be, 10 + the check
// that failed.
int SaveToAFullDisk(const QString& folder) {
  const QByteArray native = QFile::encodeName(folder);
  // Private first, so nothing of this reaches the machine's own mounts.
  const bool tmpfs = unshare(CLONE_NEWNS) == 0 &&
                     mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                     mount("cheque_test", native.constData(), "tmpfs", 0, "size=64k") == 0;
  const QString path = QDir(folder).filePath(u"Xct1.dat"_s);
  if (!SaveAccountFile(path, Account(3, 1))) return 10;
  const QByteArray old = ReadRaw(path);
  if (!tmpfs) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 64 * 1024;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 11;
  }
  if (SaveAccountFile(path, Account(5000, 2))) return 12;
  if (ReadRaw(path) != old) return 13;
  if (Entries(folder) != QStringList{u"Xct1.dat"_s}) return 14;
  return 0;
}

}  // namespace

TEST(SaveCrash, AFullDiskFailsTheSaveAndKeepsTheOldFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  EXPECT_EQ(InChild([&] { return SaveToAFullDisk(dir.path()); }), 0);
}

TEST(SaveCrash, AKilledSaveLeavesTheOldFileOrTheNewOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(u"Xct1.dat"_s);
  const Register accounts[2] = {Account(4000, 1), Account(3000, 2)};
  const QByteArray contents[2] = {accounts[0].FileBytes(), accounts[1].FileBytes()};
  ASSERT_NE(contents[0], contents[1]);
  // The kills should fall anywhere in a save or between two.
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(SaveAccountFile(path, accounts[i % 2]));
  const qint64 save_us = std::max<qint64>(timer.nsecsElapsed() / 4000, 100);
  std::mt19937 rng(2024);
  std::uniform_int_distribution<qint64> delay_us(0, 3 * save_us / 2);

  int seen[2] = {0, 0};
  int leftovers = 0;
  constexpr int kRounds = 200;
  for (int round = 0; round < kRounds; ++round) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      close(ready[0]);
      // Ready after one whole save: a forked child's first save is slowed by
      // copying the parent's pages, and the kills must fall in saves of the
      // measured length.
      SaveAccountFile(path, accounts[round % 2]);
      const char byte = 1;
      if (write(ready[1], &byte, 1) != 1) _exit(1);
      for (int i = round + 1;; ++i) SaveAccountFile(path, accounts[i % 2]);
    }
    ASSERT_GT(pid, 0);
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    usleep(static_cast<useconds_t>(delay_us(rng)));
    kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);

    const QByteArray now = ReadRaw(path);
    ASSERT_TRUE(now == contents[0] || now == contents[1])
        << "round " << round << ": " << now.size() << " bytes";
    ++seen[now == contents[1] ? 1 : 0];
    // Whatever else is there is a temporary file that the next start removes.
    leftovers += static_cast<int>(RemoveSaveLeftovers(dir.path()).size());
    ASSERT_EQ(Entries(dir.path()), QStringList{u"Xct1.dat"_s}) << "round " << round;
  }
  // Both contents were written at times, so kills fell between saves too.
  EXPECT_GT(seen[0], 0);
  EXPECT_GT(seen[1], 0);
  std::printf("%d kills, a save %lld us: old/new %d/%d, temporary files removed %d\n", kRounds,
              static_cast<long long>(save_us), seen[0], seen[1], leftovers);
}

#endif
