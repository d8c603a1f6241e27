#include "core/install/install.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/files/account_list.h"
#include "core/files/instance_lock.h"

using namespace cheque;
using namespace Qt::StringLiterals;

namespace {

void Write(const QString& path, const QByteArray& bytes, bool executable = false) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  file.close();
  if (executable) file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A home folder, a distribution and a second volume, all temporary.
struct World {
  QTemporaryDir dir;
  install::Places places;
  QString source;
  World() {
    places.home = dir.filePath(QStringLiteral("home"));
    places.applications = dir.filePath(QStringLiteral("home/.local/share/applications"));
    source = dir.filePath(QStringLiteral("dist"));
    QDir().mkpath(places.home);
    Write(source + u"/Cheque"_s, QByteArray(25000, 'p'), true);
    Write(source + u"/Setup"_s, "setup", true);
    Write(source + u"/DCateg.dat"_s, "tree");
    Write(source + u"/help/index.htm"_s, "help");
    Write(source + u"/Accts.dat"_s, "stray account list");  // never shipped, never copied
  }
};

TEST(InstallTest, InstallsFilesMarkerAndEntriesOnEachVolume) {
  struct Case {
    const char* why;
    QString volume;  // relative to the temporary folder
  };
  const Case cases[] = {
      {"the home folder stands for drive C", QStringLiteral("home")},
      {"another volume, with a blank and a dollar in its name", QStringLiteral("mnt/my $disk")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    World world;
    const QString target = install::TargetFolder(world.dir.filePath(c.volume));
    EXPECT_TRUE(target.endsWith(u"/Cheque"_s));
    int blocks = 0;
    const install::Outcome outcome =
        install::Install(world.source, target, world.places, [&] { ++blocks; });
    ASSERT_EQ(outcome.error, QString());
    EXPECT_TRUE(outcome.entries_done);
    EXPECT_EQ(blocks, install::CountBlocks(world.source));
    EXPECT_EQ(Read(target + u"/Cheque"_s), QByteArray(25000, 'p'));
    EXPECT_TRUE(QFileInfo(target + u"/Cheque"_s).isExecutable());
    EXPECT_EQ(Read(target + u"/help/index.htm"_s), "help");
    EXPECT_EQ(Read(target + u"/DCateg.dat"_s), "tree");
    EXPECT_FALSE(QFileInfo::exists(target + u"/Accts.dat"_s));
    EXPECT_EQ(Read(world.places.home + u"/Cheque.stp"_s), (target + u'\n').toUtf8());
    EXPECT_EQ(install::MarkedTarget(world.places), target);

    const QString program = QString::fromUtf8(Read(install::ProgramEntryPath(world.places)));
    QString quoted = target;
    quoted.replace(u'$', QStringLiteral("\\\\$"));
    EXPECT_TRUE(program.contains(u"Name=תזרים מזומנים\n"_s)) << program.toStdString();
    EXPECT_TRUE(program.contains(u"Exec=\""_s + quoted + u"/Cheque\"\n"_s))
        << program.toStdString();
    EXPECT_TRUE(program.contains(u"Path="_s + target + u'\n')) << program.toStdString();
    EXPECT_TRUE(program.contains(u"Icon="_s + target + u"/cheque.png\n"_s));
    const QString removal = QString::fromUtf8(Read(install::RemovalEntryPath(world.places)));
    EXPECT_TRUE(removal.contains(u"Name=הסרת התוכנה\n"_s));
    EXPECT_TRUE(removal.contains(u"Exec=\""_s + quoted + u"/Setup\"\n"_s)) << removal.toStdString();
  }
}

TEST(InstallTest, ReinstallReplacesProgramFilesAndKeepsTheUsersData) {
  World world;
  const QString target = install::DefaultTarget(world.places);
  const QStringList data{QStringLiteral("Accts.dat"),  QStringLiteral("AcMyData.Dat"),
                         QStringLiteral("Cheque.ini"), QStringLiteral("Categ.dat"),
                         QStringLiteral("BCateg.dat"), QStringLiteral("MyAddr.Dat"),
                         QStringLiteral("Bank.dat"),   QStringLiteral("1.Rpt")};
  for (const QString& name : data) Write(target + u'/' + name, "mine");
  Write(target + u"/Cheque"_s, "old program", true);
  // The distribution happens to hold them all.
  for (const QString& name : data) Write(world.source + u'/' + name, "shipped");
  ASSERT_EQ(install::Install(world.source, target, world.places).error, QString());
  for (const QString& name : data)
    EXPECT_EQ(Read(target + u'/' + name), "mine") << name.toStdString();
  EXPECT_EQ(Read(target + u"/Cheque"_s), QByteArray(25000, 'p'));
}

TEST(InstallTest, FailedCopyIsReportedAndLeavesNoMarker) {
  World world;
  const QString target = install::DefaultTarget(world.places);
  QDir().mkpath(target + u"/Setup"_s);  // a folder where a file must go
  const install::Outcome outcome = install::Install(world.source, target, world.places);
  EXPECT_NE(outcome.error, QString());
  EXPECT_FALSE(install::IsInstalled(world.places));
  EXPECT_FALSE(QFileInfo::exists(install::ProgramEntryPath(world.places)));
}

TEST(InstallTest, RemovalDeletesFolderEntriesAndMarker) {
  World world;
  const QString target = world.dir.filePath(QStringLiteral("mnt/disk/Cheque"));
  ASSERT_EQ(install::Install(world.source, target, world.places).error, QString());
  Write(target + u"/Accts.dat"_s, "accounts are removed too");
  Write(world.places.home + u"/letter.txt"_s, "not ours");
  QStringList told;
  const install::Outcome outcome =
      install::Uninstall(world.places, [&](const QString& text) { told << text; });
  EXPECT_EQ(outcome.error, QString());
  EXPECT_TRUE(outcome.entries_done);
  EXPECT_FALSE(QFileInfo::exists(target));
  EXPECT_TRUE(QFileInfo::exists(world.dir.filePath(QStringLiteral("mnt/disk"))));
  EXPECT_FALSE(QFileInfo::exists(install::ProgramEntryPath(world.places)));
  EXPECT_FALSE(QFileInfo::exists(install::RemovalEntryPath(world.places)));
  EXPECT_FALSE(install::IsInstalled(world.places));
  EXPECT_EQ(Read(world.places.home + u"/letter.txt"_s), "not ours");
  EXPECT_TRUE(told.contains(QStringLiteral("Accts.dat מסיר את ")));
}

TEST(InstallTest, EntriesThatCannotBeWrittenOrDeletedDoNotStopTheRest) {
  World world;
  Write(world.places.applications, "a file where the menu folder should be");
  const QString target = install::DefaultTarget(world.places);
  const install::Outcome installed = install::Install(world.source, target, world.places);
  EXPECT_EQ(installed.error, QString());
  EXPECT_FALSE(installed.entries_done);
  EXPECT_TRUE(install::IsInstalled(world.places));
  QFile::remove(world.places.applications);
  Write(install::ProgramEntryPath(world.places) + u"/keep"_s, "a folder in the entry's place");
  const install::Outcome removed = install::Uninstall(world.places);
  EXPECT_EQ(removed.error, QString());
  EXPECT_FALSE(removed.entries_done);
  EXPECT_FALSE(QFileInfo::exists(target));
  EXPECT_FALSE(install::IsInstalled(world.places));
}

TEST(InstallTest, RemovalRefusesWhatIsNotAnInstallation) {
  struct Case {
    const char* why;
    QString marked;  // what the marker names; {home}, {dir} and {root} stand in
  };
  const Case cases[] = {
      {"the root of the file system", QStringLiteral("/")},
      {"the home folder", QStringLiteral("{home}")},
      {"the home folder through a trailing slash", QStringLiteral("{home}/")},
      {"a folder above the home folder", QStringLiteral("{dir}")},
      {"a folder that does not hold the program", QStringLiteral("{dir}/papers")},
      {"a folder with a sub-folder named like the program", QStringLiteral("{dir}/fake")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    World world;
    ASSERT_EQ(
        install::Install(world.source, install::DefaultTarget(world.places), world.places).error,
        QString());
    Write(world.places.home + u"/letter.txt"_s, "keep");
    Write(world.dir.filePath(QStringLiteral("papers/tax.txt")), "keep");
    QDir().mkpath(world.dir.filePath(QStringLiteral("fake/Cheque")));
    QString marked = c.marked;
    marked.replace(QStringLiteral("{home}"), world.places.home);
    marked.replace(QStringLiteral("{dir}"), world.dir.path());
    ASSERT_TRUE(install::WriteMarker(world.places, marked));
    EXPECT_NE(install::Uninstall(world.places).error, QString());
    EXPECT_EQ(Read(world.places.home + u"/letter.txt"_s), "keep");
    EXPECT_EQ(Read(world.dir.filePath(QStringLiteral("papers/tax.txt"))), "keep");
    EXPECT_TRUE(install::IsInstalled(world.places));
    EXPECT_TRUE(QFileInfo::exists(install::ProgramEntryPath(world.places)));
  }
}

TEST(InstallTest, MarkerWithoutAnAbsolutePathMeansTheDefault) {
  for (const QByteArray& line : {QByteArray("Cheque\r\n"), QByteArray("\n/elsewhere\n"),
                                 QByteArray(""), QByteArray("c:\\Cheque\r\n")}) {
    SCOPED_TRACE(line.toStdString());
    World world;
    Write(install::MarkerPath(world.places), line);
    EXPECT_EQ(install::MarkedTarget(world.places), world.places.home + u"/Cheque"_s);
  }
}

TEST(InstallTest, InstallRefusesHomeRootAndItsOwnSource) {
  World world;
  for (const QString& target : {world.places.home, QStringLiteral("/"), world.dir.path(),
                                world.source, world.source + u"/Cheque2"_s}) {
    SCOPED_TRACE(target.toStdString());
    EXPECT_NE(install::Install(world.source, target, world.places).error, QString());
    EXPECT_FALSE(install::IsInstalled(world.places));
  }
}

}  // namespace

namespace {

using install::Outcome;

// An installation in the home folder with an account, some of the program's
// own files, and what a user may add.
struct Installed : World {
  QString target;
  QString outside;  // a folder of the user's outside the installation
  Installed() {
    target = install::DefaultTarget(places);
    outside = dir.filePath(QStringLiteral("outside"));
    EXPECT_EQ(install::Install(source, target, places).error, QString());
    AccountList list;
    AccountDefinition account;
    account.name = u"בית"_s;
    account.file_base = u"Bank7"_s;
    list.Append(account);
    EXPECT_TRUE(list.Write(target + u"/Accts.dat"_s));
    for (const char* name :
         {"Bank7.dat", "Bank7.dat.before-restore", "Accts.dat.XyZabc", "Categ.dat", "Categ.~da",
          "MyAddr.Dat", "Cheque.ini", "Import.dat", "3.Rpt", "Tmp.~pt", "Mrg.Tmp",
          "Cheque0000012.pdf", "Report-2.pdf", "Start.Wav"}) {
      Write(target + u'/' + QLatin1StringView(name), "the program's");
    }
    for (const char* name : {"doc.txt", "Xct9.dat", "9.Rpt.old", "help/mine.htm", "photos/a.jpg",
                             "outside/index.htm", "outside/Setup"}) {
      Write((QString::fromLatin1(name).startsWith(u"outside") ? dir.path() : target) + u'/' +
                QLatin1StringView(name),
            "the user's");
    }
    QFile::link(outside, target + u"/Accts2.dat"_s);
  }
};

}  // namespace

// Setup never works on a folder the program has open: it takes the lock
// the program holds, and refuses without it.
TEST(InstallTest, RefusedWhileTheProgramHoldsItsLock) {
  struct Case {
    const char* why;
    bool remove;
    QString error;
  };
  const Case cases[] = {
      {"removal", true, u"התוכנה פתוחה; יש לסגור אותה לפני ההסרה"_s},
      {"installing over the installation", false, u"התוכנה פתוחה; יש לסגור אותה לפני ההתקנה"_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Installed world;
    InstanceLock program(InstanceLockPath(world.target));
    ASSERT_TRUE(program.Acquire());
    Write(world.source + u"/Cheque"_s, "a newer program", true);
    const Outcome outcome = c.remove ? install::Uninstall(world.places)
                                     : install::Install(world.source, world.target, world.places);
    EXPECT_EQ(outcome.error, c.error);
    EXPECT_EQ(Read(world.target + u"/Cheque"_s), QByteArray(25000, 'p'));
    EXPECT_EQ(Read(world.target + u"/Bank7.dat"_s), "the program's");
    EXPECT_TRUE(install::IsInstalled(world.places));
    EXPECT_TRUE(QFileInfo::exists(install::ProgramEntryPath(world.places)));
    program.Release();
    EXPECT_EQ(install::Uninstall(world.places).error, QString());
  }
}

TEST(InstallTest, InstallsOnlyIntoANewOrEmptyFolderOrAnInstallation) {
  struct Case {
    const char* why;
    QStringList files;  // in the target before installing
    QString target;     // under the temporary folder
    bool refused;
  };
  const Case cases[] = {
      {"a new folder", {}, u"mnt/Cheque"_s, false},
      {"an empty folder", {u"."_s}, u"mnt/Cheque"_s, false},
      {"an earlier installation with the user's file", {u"Cheque"_s, u"doc.txt"_s}, u"a"_s, false},
      {"accounts copied in before installing", {u"Accts.dat"_s, u"Categ.dat"_s}, u"a"_s, false},
      {"a folder of the user's", {u"doc.txt"_s}, u"home/Documents"_s, true},
      {"one data file among the user's", {u"Accts.dat"_s, u"doc.txt"_s}, u"a"_s, true},
      {"a hidden file of the user's", {u".profile"_s}, u"a"_s, true},
      {"a file, not a folder", {}, u"home/letter.txt"_s, true},
      {"a line break in the name", {}, u"Che\nque"_s, true},
      {"a tab in a parent's name", {}, u"mnt\t1/Cheque"_s, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    World world;
    const QString target = world.dir.filePath(c.target);
    for (const QString& file : c.files) {
      if (file == u".") QDir().mkpath(target);
      if (file != u".") Write(target + u'/' + file, "before", file == u"Cheque");
    }
    Write(world.places.home + u"/letter.txt"_s, "keep");
    const Outcome outcome = install::Install(world.source, target, world.places);
    EXPECT_EQ(outcome.error.isEmpty(), !c.refused) << outcome.error.toStdString();
    EXPECT_EQ(install::IsInstalled(world.places), !c.refused);
    EXPECT_EQ(QFileInfo::exists(target + u"/Setup"_s), !c.refused);
    for (const QString& file : c.files) {
      if (file != u"." && file != u"Cheque") {
        EXPECT_EQ(Read(target + u'/' + file), "before");
      }
    }
    EXPECT_EQ(Read(world.places.home + u"/letter.txt"_s), "keep");
  }
}

// Removal deletes the installed files and the program's data files by their
// names, and leaves, naming them, the user's files, links and folders.
TEST(InstallTest, RemovalLeavesAndNamesWhatIsNotTheProgramsOwn) {
  Installed world;
  QStringList told;
  const Outcome outcome =
      install::Uninstall(world.places, [&](const QString& text) { told << text; });
  ASSERT_EQ(outcome.error, QString());
  QStringList left;
  QDirIterator it(world.target,
                  QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) left << QDir(world.target).relativeFilePath(it.next());
  left.sort();
  EXPECT_EQ(left, (QStringList{u"9.Rpt.old"_s, u"Accts2.dat"_s, u"Xct9.dat"_s, u"doc.txt"_s,
                               u"help"_s, u"help/mine.htm"_s, u"photos"_s, u"photos/a.jpg"_s}));
  EXPECT_EQ(outcome.left, (QStringList{u"9.Rpt.old"_s, u"Accts2.dat"_s, u"Xct9.dat"_s, u"doc.txt"_s,
                                       u"help/mine.htm"_s, u"photos/"_s}));
  EXPECT_TRUE(install::LeftNotice(outcome).contains(u"\rhelp/mine.htm\r"_s));
  EXPECT_EQ(Read(world.outside + u"/index.htm"_s), "the user's");
  EXPECT_FALSE(install::IsInstalled(world.places));
  EXPECT_TRUE(told.contains(u"Bank7.dat מסיר את "_s));
}

namespace {

bool WriteProcFile(const char* path, const QByteArray& text) {
  QFile file(QString::fromLatin1(path));
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.flush();
}

// Root may make a mount namespace of its own; another user, where the system
// lets users make namespaces, becomes root inside a new one.
bool EnterPrivateMounts() {
  if (unshare(CLONE_NEWNS) == 0) return true;
  const QByteArray uid = QByteArray::number(getuid()), gid = QByteArray::number(getgid());
  return unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 &&
         WriteProcFile("/proc/self/setgroups", "deny") &&
         WriteProcFile("/proc/self/uid_map", "0 " + uid + " 1") &&
         WriteProcFile("/proc/self/gid_map", "0 " + gid + " 1");
}

}  // namespace

// A file system mounted inside the installation is never entered, not even
// where an installed folder was; a private mount namespace keeps the mounts
// to the test.
TEST(InstallTest, RemovalNeverEntersAMountInside) {
  Installed world;
  QDir().mkpath(world.target + u"/mnt"_s);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const QByteArray outside = QFile::encodeName(world.outside);
    const bool mounted =
        EnterPrivateMounts() && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
        mount(outside.constData(), QFile::encodeName(world.target + u"/help"_s).constData(),
              nullptr, MS_BIND, nullptr) == 0 &&
        mount(outside.constData(), QFile::encodeName(world.target + u"/mnt"_s).constData(), nullptr,
              MS_BIND, nullptr) == 0;
    if (!mounted) _exit(77);
    _exit(install::Uninstall(world.places).error.isEmpty() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no private mount namespace may be made here";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Read(world.outside + u"/index.htm"_s), "the user's");
  EXPECT_EQ(Read(world.outside + u"/Setup"_s), "the user's");
  EXPECT_EQ(Read(world.target + u"/doc.txt"_s), "the user's");
  EXPECT_FALSE(QFileInfo::exists(world.target + u"/Setup"_s));
}
