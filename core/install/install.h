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

// Empty when a folder may be installed into or removed; otherwise why not.
// Removal also needs the installed program in it.
QString RefuseInstallTarget(const QString& target, const QString& source, const Places& places);
QString RefuseRemoval(const QString& target, const Places& places);

// Copies every file of `source` and its sub-folders into `target`, leaving out
// user data files. `progress` is called once per block copied. Returns an
// empty text on success, else what failed.
using Progress = std::function<void()>;
QString CopyInstallation(const QString& source, const QString& target,
                         const Progress& progress = {});
// Blocks of kBlockSize bytes that CopyInstallation copies from `source`.
int CountBlocks(const QString& source);
inline constexpr qint64 kBlockSize = 10001;

// Deletes `target` with its files and sub-folders, telling each file's and
// folder's removal through `status`. Refuses as RefuseRemoval does.
using Status = std::function<void(const QString&)>;
QString RemoveInstallation(const QString& target, const Places& places, const Status& status = {});

// What installing or removing came to: an empty error means done; the desktop
// entries are a side matter, their failure only told.
struct Outcome {
  QString error;
  bool entries_done = true;
};

// Installs `source` into `target`: the files, then the marker, then the
// desktop entries.
Outcome Install(const QString& source, const QString& target, const Places& places,
                const Progress& progress = {});
// Removes the marked installation: the folder, the desktop entries, and the
// marker last. Nothing is deleted when the marked folder is refused.
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

}  // namespace cheque::install
