#include "core/install/install.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <algorithm>

namespace cheque::install {

namespace {

QString Clean(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

// The real folder behind a path that may not exist yet: its nearest existing
// parent resolved through links, the rest appended.
QString Resolved(const QString& path) {
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

bool IsInside(const QString& path, const QString& folder) {
  const QString base = folder.endsWith(u'/') ? folder : folder + u'/';
  return path.startsWith(base);
}

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
    if (!IsUserDataFile(info.fileName())) files << info.filePath();
  }
  return files;
}

}  // namespace

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
    if (IsInside(Clean(places.home), root)) continue;  // the home folder stands for it
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

QString RefuseInstallTarget(const QString& target, const QString& source, const Places& places) {
  const QString folder = Resolved(target);
  const QString home = Resolved(places.home);
  if (QDir(folder).isRoot() || QStorageInfo(folder).rootPath() == folder) {
    return QStringLiteral("לא ניתן להשתמש בשורש הכונן ") + folder;
  }
  if (folder == home || IsInside(home, folder)) {
    return QStringLiteral("לא ניתן להשתמש בספריית הבית או בספריה שמעליה ") + folder;
  }
  const QString from = Resolved(source);
  if (folder == from || IsInside(folder, from) || IsInside(from, folder)) {
    return QStringLiteral("לא ניתן להתקין לתוך ספריית ההתקנה עצמה ") + folder;
  }
  return {};
}

QString RefuseRemoval(const QString& target, const Places& places) {
  const QString folder = Resolved(target);
  const QString home = Resolved(places.home);
  if (QDir(folder).isRoot() || QStorageInfo(folder).rootPath() == folder) {
    return QStringLiteral("הסרה בוטלה: ") + folder + QStringLiteral(" הוא שורש הכונן");
  }
  if (folder == home || IsInside(home, folder)) {
    return QStringLiteral("הסרה בוטלה: ") + folder + QStringLiteral(" היא ספריית הבית או מעליה");
  }
  const QFileInfo program(QDir(folder).filePath(kProgramName));
  const QFileInfo setup(QDir(folder).filePath(kSetupName));
  if (!program.isFile() || !program.isExecutable() || !setup.isFile()) {
    return QStringLiteral("הסרה בוטלה: התוכנית אינה מותקנת ב-") + folder;
  }
  return {};
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

namespace {

// Links are removed, never followed.
void RemoveFolder(const QString& folder, const Status& status) {
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  while (it.hasNext()) {
    const QFileInfo info = it.nextFileInfo();
    if (info.isDir() && !info.isSymLink()) {
      RemoveFolder(info.filePath(), status);
    } else {
      if (status) status(info.fileName() + QStringLiteral(" מסיר את "));
      QFile::remove(info.filePath());
    }
  }
  if (status) status(QStringLiteral(" מסיר את הספריה  ") + folder);
  QDir().rmdir(folder);
}

}  // namespace

QString RemoveInstallation(const QString& target, const Places& places, const Status& status) {
  const QString refusal = RefuseRemoval(target, places);
  if (!refusal.isEmpty()) return refusal;
  const QString folder = Resolved(target);
  RemoveFolder(folder, status);
  if (QFileInfo::exists(folder)) return QStringLiteral("לא ניתן למחוק את ") + folder;
  return {};
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
  if (outcome.error.isEmpty()) outcome.error = CopyInstallation(source, target, progress);
  if (!outcome.error.isEmpty()) return outcome;
  if (!WriteMarker(places, QDir::cleanPath(QFileInfo(target).absoluteFilePath()))) {
    outcome.error = QStringLiteral("לא ניתן לכתוב את ") + MarkerPath(places);
    return outcome;
  }
  outcome.entries_done = WriteDesktopEntries(places, Clean(target));
  return outcome;
}

Outcome Uninstall(const Places& places, const Status& status) {
  Outcome outcome;
  // A folder already gone by hand leaves only the entries and the marker.
  const QString target = MarkedTarget(places);
  if (QFileInfo::exists(target)) outcome.error = RemoveInstallation(target, places, status);
  if (!outcome.error.isEmpty()) return outcome;
  if (status) status(QStringLiteral(" מסיר את הצלמיות ממנהל הישומים "));
  outcome.entries_done = DeleteDesktopEntries(places);
  if (!QFile::remove(MarkerPath(places)) && IsInstalled(places)) {
    outcome.error = QStringLiteral("לא ניתן למחוק את ") + MarkerPath(places);
  }
  return outcome;
}

}  // namespace cheque::install
