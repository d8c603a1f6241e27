#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace cheque::install {

// The places the installer works in, passed in so that tests use temporary
// folders: the user's home folder and the desktop menu's applications folder.
struct Places {
  QString home;
  QString applications;
};

// The places of the running user: $HOME, and $XDG_DATA_HOME/applications
// (~/.local/share/applications when unset or not absolute).
Places UserPlaces();

// The folder the system goes into on a chosen volume: the volume + "Cheque".
QString TargetFolder(const QString& volume);

// The home folder's "Cheque", standing for drive C's.
QString DefaultTarget(const Places& places);

// Volumes offered for installing: the home folder first, then the other
// mounted volumes the user can write to.
QStringList InstallVolumes(const Places& places);

// The marker file "Cheque.stp" in the home folder; its first line is the target.
QString MarkerPath(const Places& places);
bool IsInstalled(const Places& places);
bool WriteMarker(const Places& places, const QString& target);
// The marker's target; an empty or relative first line means the default.
QString MarkedTarget(const Places& places);

// The user's own files (accounts, lists, settings, trees, saved reports):
// never copied from a distribution and never replaced in an installation.
bool IsUserDataFile(const QString& name);

// The real folder behind a path that may not exist yet: its nearest existing
// parent resolved through links, the rest appended.
QString RealFolder(const QString& path);
bool IsInsideFolder(const QString& path, const QString& folder);

// Empty when a folder may be installed into or removed; otherwise why not.
// Installing needs a new or empty folder, or an earlier installation; removal
// needs an installation.
QString RefuseInstallTarget(const QString& target, const QString& source, const Places& places);
QString RefuseRemoval(const QString& target, const Places& places);

// What an installation copied, relative to its folder, one a line in
// "Installed.lst" there: removal deletes these and the program's own data
// files, nothing else. Lines that would reach out of the folder are dropped.
QStringList ReadInstalledList(const QString& folder);
bool WriteInstalledList(const QString& folder, const QStringList& files);
// A name the program itself gives a file in its folder: the shipped files,
// and the data files it writes (`data_files` as DataFileNames gives them,
// saved reports, PDFs of cheques and reports, temporary and backup copies).
bool IsProgramFileName(const QString& name, const QStringList& data_files);
// An installation: its list, or the program (made before the list was kept).
bool IsInstallation(const QString& folder);

// Copies every file of `source` and its sub-folders into `target`, leaving out
// user data files. `progress` is called once per block copied. Returns an
// empty text on success, else what failed.
using Progress = std::function<void()>;
QString CopyInstallation(const QString& source, const QString& target,
                         const Progress& progress = {});
// Blocks of kBlockSize bytes that CopyInstallation copies from `source`.
int CountBlocks(const QString& source);
inline constexpr qint64 kBlockSize = 10001;

// What installing or removing came to: an empty error means done; the desktop
// entries are a side matter, their failure only told. A removal names the
// folder and what it left there, relative to it (a sub-folder ends in "/").
struct Outcome {
  QString error;
  bool entries_done = true;
  QString folder;
  QStringList left;
};

// Deletes from `target` the files it lists as installed and the program's own
// data files, then the folder when nothing else is in it, telling each
// removal through `status`. It never follows a link nor enters another
// mount. Refuses as RefuseRemoval does, and while the program (or anything
// else taking its instance lock) works on the folder.
using Status = std::function<void(const QString&)>;
Outcome RemoveInstallation(const QString& target, const Places& places, const Status& status = {});

// What a removal left, for the user: empty when it left nothing. Lines are
// separated by "\r".
QString LeftNotice(const Outcome& outcome);

// Installs `source` into `target`: the list of its files, the files, then the
// marker, then the desktop entries. Refused while the program works on an
// installation there.
Outcome Install(const QString& source, const QString& target, const Places& places,
                const Progress& progress = {});
// Removes the marked installation: the folder as RemoveInstallation does, the
// desktop entries, and the marker last. Nothing is deleted when the marked
// folder is refused.
Outcome Uninstall(const Places& places, const Status& status = {});

// The two desktop menu entries: the program and its removal.
QString ProgramEntryPath(const Places& places);
QString RemovalEntryPath(const Places& places);
bool WriteDesktopEntries(const Places& places, const QString& target);
bool DeleteDesktopEntries(const Places& places);

// Names of the installed files.
inline const QString kProgramName = QStringLiteral("Cheque");
inline const QString kSetupName = QStringLiteral("Setup");
inline const QString kIconName = QStringLiteral("cheque.png");
inline const QString kMarkerName = QStringLiteral("Cheque.stp");
inline const QString kInstalledListName = QStringLiteral("Installed.lst");

}  // namespace cheque::install
