#include "core/install/install.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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
