// Removal deletes what Setup installed and what the program wrote, and leaves
// (and names) everything else: a user's own files, links, other mounts.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>

#include "core/files/instance_lock.h"
#include "core/files/program_folder.h"
#include "core/files/save_leftovers.h"
#include "core/install/install.h"

namespace cheque::install {

namespace {

const QString kHelpFolder = QStringLiteral("Mavrel Heb Help");
const QString kRestoredSuffix = QStringLiteral(".before-restore");

bool IsDigits(QStringView text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool HasControlCharacter(QStringView text) {
  return std::any_of(text.begin(), text.end(),
                     [](QChar c) { return c.category() == QChar::Other_Control; });
}

// The shipped files, for an installation made before the list was kept.
bool IsShippedName(const QString& name) {
  static const QStringList kNames{kProgramName,
                                  kSetupName,
                                  QStringLiteral("cheque-cli"),
                                  kIconName,
                                  QStringLiteral("cheque.svg"),
                                  QStringLiteral("DCateg.dat"),
                                  QStringLiteral("DCategB.dat"),
                                  QStringLiteral("Start.Wav"),
                                  QStringLiteral("aClick.wav"),
                                  QStringLiteral("Menu.wav"),
                                  QStringLiteral("Close.wav"),
                                  QStringLiteral("errors.wav"),
                                  QStringLiteral("DoneRpt.wav")};
  return kNames.contains(name);
}

bool IsDataName(const QString& name, const QStringList& data_files) {
  static const QStringList kOthers{QStringLiteral("Accts.Tmp"),  QStringLiteral("AllActs.Tmp"),
                                   QStringLiteral("Mrg.Tmp"),    QStringLiteral("Tmp.~pt"),
                                   QStringLiteral("Import.dat"), QStringLiteral("Report.pdf")};
  if (data_files.contains(name) || kOthers.contains(name)) return true;
  const QStringView view(name);
  if (view.endsWith(u".Rpt")) return view.size() > 4 && IsDigits(view.chopped(4));
  if (view.startsWith(u"Cheque") && view.endsWith(u".pdf")) {
    return IsDigits(view.sliced(6).chopped(4));
  }
  if (view.startsWith(u"Report-") && view.endsWith(u".pdf")) {
    return view.size() > 11 && IsDigits(view.sliced(7).chopped(4));
  }
  return IsSaveLeftoverName(view, data_files);
}

// Where an entry lives. A bind mount keeps the device of the file system it
// shows, so its mount id tells it apart.
struct Place {
  bool known = false;
  dev_t device = 0;
  bool has_mount = false;
  quint64 mount = 0;

  bool operator==(const Place& other) const {
    return known && other.known && device == other.device &&
           (!has_mount || !other.has_mount || mount == other.mount);
  }
};

Place PlaceOf(const QString& path) {
  struct statx info {};
  Place place;
  if (statx(AT_FDCWD, QFile::encodeName(path).constData(), AT_SYMLINK_NOFOLLOW,
            STATX_BASIC_STATS | STATX_MNT_ID, &info) != 0) {
    return place;
  }
  place.known = true;
  place.device = makedev(info.stx_dev_major, info.stx_dev_minor);
  place.has_mount = (info.stx_mask & STATX_MNT_ID) != 0;
  place.mount = info.stx_mnt_id;
  return place;
}

class Removal {
 public:
  Removal(const QString& folder, const Status& status)
      : folder_(folder), place_(PlaceOf(folder)), status_(status) {
    const QStringList listed = ReadInstalledList(folder);
    listed_ = QSet<QString>(listed.begin(), listed.end());
    legacy_ = listed.isEmpty();
    for (const QString& file : listed) {
      for (QString parent = QFileInfo(file).path(); parent != u".";
           parent = QFileInfo(parent).path()) {
        listed_folders_.insert(parent);
      }
    }
    data_files_ = DataFileNames(folder);
  }

  void Run() {
    Walk(QString());
    left_.sort();
  }
  const QStringList& Left() const { return left_; }
  const QStringList& Failed() const { return failed_; }

 private:
  bool IsOurs(const QString& relative) const {
    if (listed_.contains(relative)) return true;
    if (!relative.contains(u'/')) return IsProgramFileName(relative, data_files_);
    return legacy_ && relative.startsWith(kHelpFolder + u'/');
  }

  bool EntersFolder(const QString& relative) const {
    return listed_folders_.contains(relative) ||
           (legacy_ && (relative == kHelpFolder || relative.startsWith(kHelpFolder + u'/')));
  }

  void Walk(const QString& relative) {
    const QDir dir(relative.isEmpty() ? folder_ : folder_ + u'/' + relative);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
      const QString name =
          relative.isEmpty() ? entry.fileName() : relative + u'/' + entry.fileName();
      // The list and the lock go last.
      if (name == file_names::kLock) continue;
      if (name == kInstalledListName && entry.isFile() && !entry.isSymLink()) continue;
      const bool folder = entry.isDir() && !entry.isSymLink();
      if (!(PlaceOf(entry.filePath()) == place_)) {
        left_ << (folder ? name + u'/' : name);
      } else if (folder && EntersFolder(name)) {
        Walk(name);
        if (!QDir(entry.filePath())
                 .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
          continue;
        }
        if (status_) status_(QStringLiteral(" מסיר את הספריה  ") + entry.filePath());
        if (!QDir().rmdir(entry.filePath())) failed_ << name + u'/';
      } else if (!folder && !entry.isSymLink() && entry.isFile() && IsOurs(name)) {
        if (status_) status_(entry.fileName() + QStringLiteral(" מסיר את "));
        if (!QFile::remove(entry.filePath())) failed_ << name;
      } else {
        left_ << (folder ? name + u'/' : name);
      }
    }
  }

  QString folder_;
  Place place_;
  Status status_;
  QSet<QString> listed_;
  QSet<QString> listed_folders_;
  bool legacy_ = true;
  QStringList data_files_;
  QStringList left_;
  QStringList failed_;
};

}  // namespace

// Setup never makes the list a link, so one is never read nor written through.
QStringList ReadInstalledList(const QString& folder) {
  QFile file(QDir(folder).filePath(kInstalledListName));
  if (QFileInfo(file).isSymLink() || !file.open(QIODevice::ReadOnly)) return {};
  QStringList files;
  for (const QString& line : QString::fromUtf8(file.read(1 << 20)).split(u'\n')) {
    const QString relative = QDir::cleanPath(line);
    if (line.isEmpty() || HasControlCharacter(line) || QDir::isAbsolutePath(relative) ||
        relative == u".." || relative.startsWith(u"../") || relative == u".") {
      continue;
    }
    files << relative;
  }
  return files;
}

bool WriteInstalledList(const QString& folder, const QStringList& files) {
  QSaveFile file(QDir(folder).filePath(kInstalledListName));
  if (QFileInfo(file.fileName()).isSymLink() || !file.open(QIODevice::WriteOnly)) return false;
  for (const QString& relative : files) {
    if (!HasControlCharacter(relative)) file.write((relative + u'\n').toUtf8());
  }
  return file.commit();
}

bool IsProgramFileName(const QString& name, const QStringList& data_files) {
  if (IsShippedName(name) || IsDataName(name, data_files)) return true;
  // A restore keeps the file it replaced.
  return name.endsWith(kRestoredSuffix) &&
         IsDataName(name.chopped(kRestoredSuffix.size()), data_files);
}

bool IsInstallation(const QString& folder) {
  const QFileInfo list(QDir(folder).filePath(kInstalledListName));
  const QFileInfo program(QDir(folder).filePath(kProgramName));
  return (list.isFile() && !list.isSymLink()) || (program.isFile() && program.isExecutable());
}

QString RefuseRemoval(const QString& target, const Places& places) {
  const QString folder = RealFolder(target);
  const QString home = RealFolder(places.home);
  if (QDir(folder).isRoot() || QStorageInfo(folder).rootPath() == folder) {
    return QStringLiteral("הסרה בוטלה: ") + folder + QStringLiteral(" הוא שורש הכונן");
  }
  if (folder == home || IsInsideFolder(home, folder)) {
    return QStringLiteral("הסרה בוטלה: ") + folder + QStringLiteral(" היא ספריית הבית או מעליה");
  }
  const QFileInfo list(QDir(folder).filePath(kInstalledListName));
  const QFileInfo program(QDir(folder).filePath(kProgramName));
  const QFileInfo setup(QDir(folder).filePath(kSetupName));
  const bool listed = list.isFile() && !list.isSymLink();
  if (!listed && (!program.isFile() || !program.isExecutable() || !setup.isFile())) {
    return QStringLiteral("הסרה בוטלה: התוכנית אינה מותקנת ב-") + folder;
  }
  return {};
}

Outcome RemoveInstallation(const QString& target, const Places& places, const Status& status) {
  Outcome outcome;
  outcome.error = RefuseRemoval(target, places);
  if (!outcome.error.isEmpty()) return outcome;
  outcome.folder = RealFolder(target);
  // Held to the end: the program cannot start on a folder being emptied.
  InstanceLock lock(InstanceLockPath(outcome.folder));
  if (!lock.Acquire()) {
    outcome.error = lock.HeldByAnother()
                        ? QStringLiteral("התוכנה פתוחה; יש לסגור אותה לפני ההסרה")
                        : QStringLiteral("הסרה בוטלה: לא ניתן לכתוב בתיקייה ") + outcome.folder;
    return outcome;
  }
  Removal removal(outcome.folder, status);
  removal.Run();
  outcome.left = removal.Left();
  QStringList failed = removal.Failed();
  const QString list = QDir(outcome.folder).filePath(kInstalledListName);
  const QFileInfo list_file(list);
  if (failed.isEmpty() && list_file.isFile() && !list_file.isSymLink() && !QFile::remove(list)) {
    failed << kInstalledListName;
  }
  if (!failed.isEmpty()) {
    // The list stays, so that removal can be tried again.
    outcome.error = QStringLiteral("לא ניתן למחוק את ") + failed.join(QStringLiteral(", "));
    return outcome;
  }
  lock.Release();
  if (outcome.left.isEmpty()) {
    if (status) status(QStringLiteral(" מסיר את הספריה  ") + outcome.folder);
    if (!QDir().rmdir(outcome.folder)) {
      outcome.error = QStringLiteral("לא ניתן למחוק את ") + outcome.folder;
    }
  }
  return outcome;
}

QString LeftNotice(const Outcome& outcome) {
  if (outcome.left.isEmpty()) return {};
  constexpr qsizetype kShown = 12;
  // The folder on a line of its own, so that it reads left to right whole.
  QString text = QStringLiteral("הקבצים הבאים אינם של התוכנה ונשארו בתיקייה:\r") + outcome.folder;
  for (const QString& name : outcome.left.first(std::min(kShown, outcome.left.size()))) {
    text += u'\r' + name;
  }
  if (outcome.left.size() > kShown) {
    text += QStringLiteral("\rועוד %1").arg(outcome.left.size() - kShown);
  }
  return text;
}

Outcome Uninstall(const Places& places, const Status& status) {
  Outcome outcome;
  // A folder already gone by hand leaves only the entries and the marker.
  const QString target = MarkedTarget(places);
  if (QFileInfo::exists(target)) outcome = RemoveInstallation(target, places, status);
  if (!outcome.error.isEmpty()) return outcome;
  if (status) status(QStringLiteral(" מסיר את הצלמיות ממנהל הישומים "));
  outcome.entries_done = DeleteDesktopEntries(places);
  if (!QFile::remove(MarkerPath(places)) && IsInstalled(places)) {
    outcome.error = QStringLiteral("לא ניתן למחוק את ") + MarkerPath(places);
  }
  return outcome;
}

}  // namespace cheque::install
