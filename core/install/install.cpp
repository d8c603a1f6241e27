#include "core/install/install.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <algorithm>

#include "core/files/instance_lock.h"
#include "core/files/save_leftovers.h"

namespace cheque::install {

namespace {

QString Clean(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

// A value of a desktop entry; Exec arguments are quoted on top of this.
QString EntryValue(QString text) {
  text.replace(u'\\', QStringLiteral("\\\\"));
  text.replace(u'\n', QStringLiteral("\\n"));
  text.replace(u'\r', QStringLiteral("\\r"));
  return text;
}

QString ExecArgument(const QString& path) {
  QString quoted;
  for (const QChar c : path) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
    quoted += c;
  }
  quoted.replace(u'%', QStringLiteral("%%"));
  return EntryValue(u'"' + quoted + u'"');
}

bool WriteEntry(const QString& path, const QString& name, const QString& program,
                const QString& target) {
  if (!QDir().mkpath(QFileInfo(path).path())) return false;
  const QString text = QStringLiteral("[Desktop Entry]\nType=Application\n") +
                       QStringLiteral("Name=") + EntryValue(name) + u'\n' +
                       QStringLiteral("Exec=") + ExecArgument(target + u'/' + program) + u'\n' +
                       QStringLiteral("Path=") + EntryValue(target) + u'\n' +
                       QStringLiteral("Icon=") + EntryValue(target + u'/' + kIconName) + u'\n' +
                       QStringLiteral("Terminal=false\nCategories=Office;Finance;\n");
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(text.toUtf8());
  return file.commit();
}

bool RemoveEntry(const QString& path) { return !QFileInfo::exists(path) || QFile::remove(path); }

QString CopyFile(const QString& from, const QString& to, const Progress& progress) {
  QFile source(from);
  if (!source.open(QIODevice::ReadOnly)) return QStringLiteral("לא ניתן לקרוא את ") + from;
  // Written aside and renamed over the old file, so a full disk never leaves
  // a half-written program behind.
  QSaveFile target(to);
  if (!target.open(QIODevice::WriteOnly)) return QStringLiteral("לא ניתן לכתוב את ") + to;
  while (!source.atEnd()) {
    const QByteArray block = source.read(kBlockSize);
    if (block.isEmpty() && source.error() != QFileDevice::NoError) {
      return QStringLiteral("לא ניתן לקרוא את ") + from;
    }
    if (target.write(block) != block.size()) return QStringLiteral("לא ניתן לכתוב את ") + to;
    if (progress) progress();
  }
  if (!target.commit()) return QStringLiteral("לא ניתן לכתוב את ") + to;
  QFile::setPermissions(to, source.permissions());
  return {};
}

// Files of an installation source, sub-folders included; links are not followed.
QStringList SourceFiles(const QString& source) {
  QStringList files;
  QDirIterator it(source, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info = it.nextFileInfo();
    if (IsUserDataFile(info.fileName()) || info.fileName() == kInstalledListName) continue;
    files << info.filePath();
  }
  return files;
}

}  // namespace

QString RealFolder(const QString& path) {
  QString existing = Clean(path);
  QString rest;
  while (!QFileInfo::exists(existing)) {
    const QFileInfo info(existing);
    if (info.path() == existing) break;
    rest = info.fileName() + (rest.isEmpty() ? QString() : u'/' + rest);
    existing = info.path();
  }
  QString real = QFileInfo(existing).canonicalFilePath();
  if (real.isEmpty()) real = existing;
  return QDir::cleanPath(rest.isEmpty() ? real : real + u'/' + rest);
}

bool IsInsideFolder(const QString& path, const QString& folder) {
  const QString base = folder.endsWith(u'/') ? folder : folder + u'/';
  return path.startsWith(base);
}

Places UserPlaces() {
  Places places;
  places.home = QDir::homePath();
  QString data = qEnvironmentVariable("XDG_DATA_HOME");
  if (data.isEmpty() || QDir::isRelativePath(data))
    data = places.home + QStringLiteral("/.local/share");
  places.applications = QDir::cleanPath(data + QStringLiteral("/applications"));
  return places;
}

QString TargetFolder(const QString& volume) {
  return QDir::cleanPath(volume + u'/' + kProgramName);
}

QString DefaultTarget(const Places& places) { return TargetFolder(places.home); }

QStringList InstallVolumes(const Places& places) {
  QStringList volumes{QDir::cleanPath(places.home)};
  static const QStringList kSystemTypes{
      QStringLiteral("proc"),   QStringLiteral("sysfs"),   QStringLiteral("devtmpfs"),
      QStringLiteral("devpts"), QStringLiteral("cgroup"),  QStringLiteral("cgroup2"),
      QStringLiteral("tmpfs"),  QStringLiteral("overlay"), QStringLiteral("squashfs")};
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    const QString root = QDir::cleanPath(volume.rootPath());
    if (!volume.isValid() || !volume.isReady() || volume.isReadOnly()) continue;
    if (kSystemTypes.contains(QString::fromUtf8(volume.fileSystemType()))) continue;
    if (root == QStringLiteral("/") || root.startsWith(u"/proc") || root.startsWith(u"/sys") ||
        root.startsWith(u"/dev") || root.startsWith(u"/run/user") || root.startsWith(u"/boot")) {
      continue;
    }
    if (!QFileInfo(root).isWritable() || volumes.contains(root)) continue;
    if (IsInsideFolder(Clean(places.home), root)) continue;  // the home folder stands for it
    volumes << root;
  }
  return volumes;
}

QString MarkerPath(const Places& places) { return QDir(places.home).filePath(kMarkerName); }

bool IsInstalled(const Places& places) { return QFileInfo::exists(MarkerPath(places)); }

bool WriteMarker(const Places& places, const QString& target) {
  QSaveFile file(MarkerPath(places));
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write((target + u'\n').toUtf8());
  return file.commit();
}

QString MarkedTarget(const Places& places) {
  QFile file(MarkerPath(places));
  QString line;
  if (file.open(QIODevice::ReadOnly)) {
    line = QString::fromUtf8(file.readLine(4096));
    while (line.endsWith(u'\n') || line.endsWith(u'\r')) line.chop(1);
  }
  if (line.isEmpty() || QDir::isRelativePath(line)) return DefaultTarget(places);
  return QDir::cleanPath(line);
}

bool IsUserDataFile(const QString& name) {
  if (name.compare(u"DCateg.dat", Qt::CaseInsensitive) == 0 ||
      name.compare(u"DCategB.dat", Qt::CaseInsensitive) == 0) {
    return false;  // the default trees are the program's own
  }
  static const QStringList kSuffixes{
      QStringLiteral("dat"), QStringLiteral("ini"), QStringLiteral("rpt"),
      QStringLiteral("~da"), QStringLiteral("~pt"), QStringLiteral("tmp"),
      QStringLiteral("lck"), QStringLiteral("stp"), QStringLiteral("pdf")};
  return kSuffixes.contains(QFileInfo(name).suffix(), Qt::CaseInsensitive);
}

namespace {

bool HasControlCharacter(const QString& text) {
  return std::any_of(text.begin(), text.end(),
                     [](QChar c) { return c.category() == QChar::Other_Control; });
}

// A folder that is not new, empty, or an installation is the user's: the
// program's files would be mixed with theirs, and its removal would be
// unsafe. One holding only files named as the program's data is taken too:
// accounts copied in before installing.
QString RefuseForeignFolder(const QString& folder) {
  const QFileInfo info(folder);
  if (!info.exists() && !info.isSymLink()) return {};
  if (!info.isDir())
    return QStringLiteral("לא ניתן להתקין: ") + folder + QStringLiteral(" אינו תיקייה");
  if (IsInstallation(folder)) return {};
  const QStringList data_files = DataFileNames(folder);
  const QFileInfoList entries = QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                           QDir::System | QDir::NoDotAndDotDot);
  const bool ours = std::all_of(entries.begin(), entries.end(), [&](const QFileInfo& entry) {
    return entry.isFile() && !entry.isSymLink() && IsProgramFileName(entry.fileName(), data_files);
  });
  if (ours) return {};
  return QStringLiteral("התיקייה ") + folder +
         QStringLiteral(" אינה ריקה ואינה התקנה קודמת של התוכנה\rיש לבחור תיקייה חדשה או ריקה");
}

}  // namespace

QString RefuseInstallTarget(const QString& target, const QString& source, const Places& places) {
  // The marker keeps the folder on one line, and the desktop entries too.
  if (HasControlCharacter(target) || HasControlCharacter(RealFolder(target))) {
    return QStringLiteral("לא ניתן להתקין לתיקייה ששמה מכיל מעבר שורה או תו בקרה אחר");
  }
  const QString folder = RealFolder(target);
  const QString home = RealFolder(places.home);
  if (QDir(folder).isRoot() || QStorageInfo(folder).rootPath() == folder) {
    return QStringLiteral("לא ניתן להשתמש בשורש הכונן ") + folder;
  }
  if (folder == home || IsInsideFolder(home, folder)) {
    return QStringLiteral("לא ניתן להשתמש בספריית הבית או בספריה שמעליה ") + folder;
  }
  const QString from = RealFolder(source);
  if (folder == from || IsInsideFolder(folder, from) || IsInsideFolder(from, folder)) {
    return QStringLiteral("לא ניתן להתקין לתוך ספריית ההתקנה עצמה ") + folder;
  }
  return RefuseForeignFolder(folder);
}

QString CopyInstallation(const QString& source, const QString& target, const Progress& progress) {
  const QDir from(source);
  const QDir to(target);
  if (!to.mkpath(QStringLiteral("."))) return QStringLiteral("לא ניתן ליצור את ") + target;
  for (const QString& file : SourceFiles(source)) {
    const QString relative = from.relativeFilePath(file);
    const QString destination = to.filePath(relative);
    if (!QDir().mkpath(QFileInfo(destination).path())) {
      return QStringLiteral("לא ניתן ליצור את ") + QFileInfo(destination).path();
    }
    const QString error = CopyFile(file, destination, progress);
    if (!error.isEmpty()) return error;
  }
  return {};
}

int CountBlocks(const QString& source) {
  qint64 blocks = 0;
  for (const QString& file : SourceFiles(source)) {
    blocks += (QFileInfo(file).size() + kBlockSize - 1) / kBlockSize;
  }
  return int(std::min<qint64>(blocks, 1 << 30));
}

QString ProgramEntryPath(const Places& places) {
  return QDir(places.applications).filePath(QStringLiteral("cheque.desktop"));
}

QString RemovalEntryPath(const Places& places) {
  return QDir(places.applications).filePath(QStringLiteral("cheque-setup.desktop"));
}

bool WriteDesktopEntries(const Places& places, const QString& target) {
  const bool program =
      WriteEntry(ProgramEntryPath(places), QStringLiteral("תזרים מזומנים"), kProgramName, target);
  const bool removal =
      WriteEntry(RemovalEntryPath(places), QStringLiteral("הסרת התוכנה"), kSetupName, target);
  return program && removal;
}

bool DeleteDesktopEntries(const Places& places) {
  const bool program = RemoveEntry(ProgramEntryPath(places));
  const bool removal = RemoveEntry(RemovalEntryPath(places));
  return program && removal;
}

Outcome Install(const QString& source, const QString& target, const Places& places,
                const Progress& progress) {
  Outcome outcome;
  outcome.error = RefuseInstallTarget(target, source, places);
  if (!outcome.error.isEmpty()) return outcome;
  const QString folder = Clean(target);
  if (!QDir().mkpath(folder)) {
    outcome.error = QStringLiteral("לא ניתן ליצור את ") + folder;
    return outcome;
  }
  // Held through the copy, so the program cannot start on half its files.
  InstanceLock lock(InstanceLockPath(folder));
  if (!lock.Acquire()) {
    outcome.error = lock.HeldByAnother() ? QStringLiteral("התוכנה פתוחה; יש לסגור אותה לפני ההתקנה")
                                         : QStringLiteral("לא ניתן לכתוב בתיקייה ") + folder;
    return outcome;
  }
  // Listed before the copy, so whatever a failed copy leaves is removed too;
  // files of an earlier installation stay listed.
  QStringList listed = ReadInstalledList(folder);
  const QDir from(source);
  for (const QString& file : SourceFiles(source)) listed << from.relativeFilePath(file);
  listed.removeDuplicates();
  if (!WriteInstalledList(folder, listed)) {
    outcome.error = QStringLiteral("לא ניתן לכתוב את ") + QDir(folder).filePath(kInstalledListName);
    return outcome;
  }
  outcome.error = CopyInstallation(source, target, progress);
  if (!outcome.error.isEmpty()) return outcome;
  if (!WriteMarker(places, folder)) {
    outcome.error = QStringLiteral("לא ניתן לכתוב את ") + MarkerPath(places);
    return outcome;
  }
  outcome.entries_done = WriteDesktopEntries(places, folder);
  return outcome;
}

}  // namespace cheque::install
