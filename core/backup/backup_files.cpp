#include "core/backup/backup_files.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>

#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/files/program_folder.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

QString InFolder(const QString& folder, const QString& name) { return QDir(folder).filePath(name); }

bool IsRemovableRoot(const QString& root) {
  return root.startsWith(u"/media/") || root.startsWith(u"/run/media/") ||
         root.startsWith(u"/mnt/") || root == u"/mnt";
}

bool IsSystemVolume(const QStorageInfo& volume, const QString& root) {
  static const QStringList kSystemTypes{
      QStringLiteral("proc"),   QStringLiteral("sysfs"),   QStringLiteral("devtmpfs"),
      QStringLiteral("devpts"), QStringLiteral("cgroup"),  QStringLiteral("cgroup2"),
      QStringLiteral("tmpfs"),  QStringLiteral("overlay"), QStringLiteral("squashfs")};
  if (kSystemTypes.contains(QString::fromUtf8(volume.fileSystemType()))) return true;
  return root.startsWith(u"/proc") || root.startsWith(u"/sys") || root.startsWith(u"/dev") ||
         root.startsWith(u"/run/user") || root.startsWith(u"/boot");
}

}  // namespace

int FindBlock(const QStringList& lines, QStringView name) {
  for (qsizetype i = 0; i < lines.size() - 1; i += kBlockLines) {
    if (TextEquals(QStringView(lines[i]), name)) return static_cast<int>(i);
  }
  return -1;
}

QStringList BlockNames(const QStringList& lines) {
  QStringList names;
  for (qsizetype i = 0; i < lines.size() - 1; i += kBlockLines) {
    if (!lines[i].isEmpty()) names.append(lines[i]);
  }
  return names;
}

QString BackupFolderOf(const QString& volume_root) {
  return QDir::cleanPath(volume_root + QStringLiteral("/Cheque/BackUp"));
}

QStringList BackupAccountNames(const QString& backup_folder) {
  return BlockNames(
      ReadTextLines(InFolder(backup_folder, file_names::kAccountList)).value_or(QStringList()));
}

qint64 RequiredBackupBytes(const QString& program_folder, const QStringList& names) {
  const QStringList lines =
      ReadTextLines(InFolder(program_folder, file_names::kAccountList)).value_or(QStringList());
  qint64 total = 0;
  for (const QString& name : names) {
    const int at = FindBlock(lines, name);
    if (at < 0 || at + 1 >= lines.size()) continue;
    const QFileInfo file(AccountFilePath(program_folder, lines[at + 1]));
    if (file.isFile()) total += file.size();
  }
  return total;
}

SpaceLine MakeSpaceLine(qint64 free_bytes, qint64 required_bytes) {
  const qint64 free_kb = std::max<qint64>(free_bytes, 0) / 1024;
  // Rounded up: a file of 1,641 bytes needs two kilobytes of room, not one.
  const qint64 required_kb = (std::max<qint64>(required_bytes, 0) + 1023) / 1024;
  const QLocale grouped(QLocale::English);
  return {QStringLiteral("פנוי: ") + grouped.toString(free_kb) + QStringLiteral("Kb, דרוש: ") +
              grouped.toString(required_kb) + QStringLiteral("Kb"),
          required_kb < free_kb};
}

bool IsLink(const QString& path) { return QFileInfo(path).isSymLink(); }

QString CopyFailureText(const CopyResult& result) {
  switch (result.failure) {
    case CopyFailure::kNone:
      break;
    case CopyFailure::kLink:
      return QStringLiteral("הקובץ הוא קישור לקובץ אחר");
    case CopyFailure::kUnreadable:
      return QStringLiteral("לא ניתן לקרוא את הקובץ (") + ReadErrorText(result.read_error) + u')';
    case CopyFailure::kNoRoom:
      return QStringLiteral("אין די מקום פנוי בכונן");
    case CopyFailure::kNoPermission:
      return QStringLiteral("אין הרשאה לכתוב בתיקייה");
    case CopyFailure::kWriteFailed:
      return QStringLiteral("הכתיבה לכונן נכשלה");
  }
  return {};
}

CopyResult WriteAccountFile(const QString& destination, const QByteArray& bytes) {
  if (destination.isEmpty()) return {CopyFailure::kWriteFailed};
  if (IsLink(destination)) return {CopyFailure::kLink};
  const QFileInfo target(destination);
  const QFileInfo folder(target.absolutePath());
  if (!folder.isWritable() || (target.exists() && !target.isWritable())) {
    return {CopyFailure::kNoPermission};
  }
  const QStorageInfo volume(folder.absoluteFilePath());
  if (volume.isValid() && volume.bytesAvailable() >= 0 && volume.bytesAvailable() < bytes.size()) {
    return {CopyFailure::kNoRoom};
  }
  QFileDevice::FileError error = QFileDevice::NoError;
  if (WriteFileAtomic(destination, bytes, &error)) return {};
  if (error == QFileDevice::ResourceError) return {CopyFailure::kNoRoom};
  if (error == QFileDevice::PermissionsError) return {CopyFailure::kNoPermission};
  return {CopyFailure::kWriteFailed};
}

CopyResult CopyAccountFile(const QString& source, const QString& destination) {
  if (IsLink(source) || IsLink(destination)) return {CopyFailure::kLink};
  ReadError read_error = ReadError::kNone;
  const auto bytes = ReadFileBytes(source, &read_error);
  if (!bytes) return {CopyFailure::kUnreadable, read_error};
  return WriteAccountFile(destination, *bytes);
}

bool CopyFileAtomic(const QString& source, const QString& destination) {
  return !source.isEmpty() && CopyAccountFile(source, destination).Done();
}

std::vector<BackupVolume> MountedBackupVolumes(const QString& home) {
  std::vector<BackupVolume> removable;
  std::vector<BackupVolume> others;
  const QString clean_home = QDir::cleanPath(home);
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || volume.isReadOnly()) continue;
    const QString root = QDir::cleanPath(volume.rootPath());
    if (IsSystemVolume(volume, root) || !QFileInfo(root).isWritable()) continue;
    BackupVolume entry{volume.displayName(), root, IsRemovableRoot(root)};
    (entry.removable ? removable : others).push_back(entry);
  }
  std::vector<BackupVolume> all = std::move(removable);
  if (!clean_home.isEmpty() && QFileInfo(clean_home).isWritable()) {
    all.push_back({QStringLiteral("תיקיית הבית"), clean_home, false});
  }
  for (const BackupVolume& volume : others) {
    if (volume.root != clean_home) all.push_back(volume);
  }
  return all;
}

qint64 FreeBytesOf(const BackupVolume& volume) {
  if (volume.free_bytes >= 0) return volume.free_bytes;
  const QStorageInfo storage(volume.root);
  if (!storage.isValid() || !storage.isReady()) return 0;
  return std::max<qint64>(storage.bytesAvailable(), 0);
}

}  // namespace cheque
