#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

#include "core/files/line_file.h"

namespace cheque {

// Lines of one account's block in an account list.
inline constexpr int kBlockLines = 14;

// The first block whose name line equals `name` (ASCII letter case aside),
// among the lines 0, 14, 28, ... below the list's last line; -1 when none.
int FindBlock(const QStringList& lines, QStringView name);

// The names of the blocks of a list, empty names left out.
QStringList BlockNames(const QStringList& lines);

// The backup folder of a volume: its root + "Cheque/BackUp".
QString BackupFolderOf(const QString& volume_root);

// The account names held in a backup folder's "Accts.dat" (none when it
// cannot be read).
QStringList BackupAccountNames(const QString& backup_folder);

// The bytes of the data files of the named accounts of the program folder.
qint64 RequiredBackupBytes(const QString& program_folder, const QStringList& names);

// "פנוי: <free>Kb, דרוש: <required>Kb" (needed rounded up to whole
// kilobytes, thousands separated), and whether the free kilobytes exceed the
// required ones.
struct SpaceLine {
  QString caption;
  bool enough = false;
};
SpaceLine MakeSpaceLine(qint64 free_bytes, qint64 required_bytes);

// A symbolic link, whether its target exists or not. Backup and restore
// never read or write a file through one.
bool IsLink(const QString& path);

// Why a copy did not arrive.
enum class CopyFailure { kNone, kLink, kUnreadable, kNoRoom, kNoPermission, kWriteFailed };
struct CopyResult {
  CopyFailure failure = CopyFailure::kNone;
  ReadError read_error = ReadError::kNone;  // of the source, for kUnreadable
  bool Done() const { return failure == CopyFailure::kNone; }
};
// The reason in a few Hebrew words: the volume is full, no permission, ...
QString CopyFailureText(const CopyResult& result);

// Copies a regular file in one step: the destination is replaced only once
// the whole copy is on disk, so a failed copy leaves it as it was. Links are
// refused on either side, so nothing outside the folders named is touched.
CopyResult CopyAccountFile(const QString& source, const QString& destination);
bool CopyFileAtomic(const QString& source, const QString& destination);
// The bytes written over `destination` the same way.
CopyResult WriteAccountFile(const QString& destination, const QByteArray& bytes);

// A place to back up to: a mounted volume, or the home folder standing for
// one whose root the user cannot write.
struct BackupVolume {
  QString name;
  QString root;
  bool removable = false;
  qint64 free_bytes = -1;  // -1: ask the file system at each look
};

// The writable mounted volumes, removable media first, then the home folder,
// then the others.
std::vector<BackupVolume> MountedBackupVolumes(const QString& home);

// The volume's free bytes; 0 when it cannot be told (a drive not ready).
qint64 FreeBytesOf(const BackupVolume& volume);

}  // namespace cheque
