#include "core/files/line_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "core/text/codec.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace cheque {

LineReader::LineReader(std::string_view bytes) : data_(bytes) {
  const size_t eof = data_.find('\x1A');
  if (eof != std::string_view::npos) data_ = data_.substr(0, eof);
}

std::string_view LineReader::Next() {
  if (AtEnd()) return {};
  const size_t end = data_.find_first_of("\r\n", pos_);
  if (end == std::string_view::npos) {
    const std::string_view line = data_.substr(pos_);
    pos_ = data_.size();
    return line;
  }
  const std::string_view line = data_.substr(pos_, end - pos_);
  pos_ = end + 1;
  if (data_[end] == '\r' && pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
  return line;
}

QString LineReader::NextText() { return DecodeWin1255(Next()); }

namespace {

#ifdef Q_OS_UNIX
ReadError ErrorOfErrno(int number) {
  switch (number) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:  // no file can have that name
      return ReadError::kMissing;
    case EACCES:
    case EPERM:
      return ReadError::kNoPermission;
    case EISDIR:
      return ReadError::kFolder;
    default:
      return ReadError::kFailed;
  }
}

ReadError ErrorOfKind(mode_t mode) {
  if (S_ISDIR(mode)) return ReadError::kFolder;
  if (!S_ISREG(mode)) return ReadError::kNotRegularFile;
  return ReadError::kNone;
}
#endif

}  // namespace

ReadError OpenRegularFile(const QString& path, QFile& file) {
  if (path.isEmpty()) return ReadError::kMissing;
#ifdef Q_OS_UNIX
  const QByteArray native = QFile::encodeName(path);
  struct stat info {};
  // Looked at before opening: opening a device may already do something.
  if (::stat(native.constData(), &info) != 0) return ErrorOfErrno(errno);
  if (const ReadError kind = ErrorOfKind(info.st_mode); kind != ReadError::kNone) return kind;
  // Should a FIFO take the file's place meanwhile, O_NONBLOCK keeps the open
  // from waiting for a writer, and the second look refuses it.
  const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return ErrorOfErrno(errno);
  ReadError error = ::fstat(fd, &info) == 0 ? ErrorOfKind(info.st_mode) : ReadError::kFailed;
  if (error == ReadError::kNone &&
      !file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
    error = ReadError::kFailed;
  }
  if (error != ReadError::kNone) ::close(fd);
  return error;
#else
  const QFileInfo info(path);
  if (!info.exists()) return ReadError::kMissing;
  if (info.isDir()) return ReadError::kFolder;
  if (!info.isFile()) return ReadError::kNotRegularFile;
  file.setFileName(path);
  if (file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return ReadError::kNone;
  return file.error() == QFileDevice::PermissionsError ? ReadError::kNoPermission
                                                       : ReadError::kFailed;
#endif
}

QString ReadErrorText(ReadError error) {
  switch (error) {
    case ReadError::kNone:
      return {};
    case ReadError::kMissing:
      return QStringLiteral("הקובץ אינו קיים");
    case ReadError::kFolder:
      return QStringLiteral("זוהי תיקייה ולא קובץ");
    case ReadError::kNotRegularFile:
      return QStringLiteral("זהו אינו קובץ נתונים רגיל");
    case ReadError::kNoPermission:
      return QStringLiteral("אין הרשאה לקרוא את הקובץ");
    case ReadError::kTooLarge:
      return QStringLiteral("הקובץ גדול מדי");
    case ReadError::kLineTooLong:
      return QStringLiteral("שורה בקובץ ארוכה מדי");
    case ReadError::kDamaged:
      return QStringLiteral("הקובץ פגום: אינו קובץ חשבון שלם");
    case ReadError::kFailed:
      break;
  }
  return QStringLiteral("שגיאה בקריאת הקובץ");
}

std::optional<QByteArray> ReadFileBytes(const QString& path, ReadError* error) {
  ReadError failure = ReadError::kNone;
  const auto done = [&](std::optional<QByteArray> result) {
    if (error != nullptr) *error = failure;
    return result;
  };
  QFile file;
  failure = OpenRegularFile(path, file);
  if (failure == ReadError::kNone && file.size() > kMaxFileBytes) failure = ReadError::kTooLarge;
  if (failure != ReadError::kNone) return done(std::nullopt);
  // Room for one byte more than the size tells whether the file ended there;
  // one that has grown since is read on, but never past the limit.
  QByteArray bytes;
  qint64 filled = 0;
  for (;;) {
    const qint64 room =
        std::min(std::max(file.size() - filled + 1, qint64{1} << 16), kMaxFileBytes + 1 - filled);
    bytes.resize(static_cast<qsizetype>(filled + room));
    const qint64 got = file.read(bytes.data() + filled, room);
    if (got < 0) failure = ReadError::kFailed;
    if (got <= 0) break;
    filled += got;
    if (filled > kMaxFileBytes) {
      failure = ReadError::kTooLarge;
      break;
    }
    if (got < room) break;  // a regular file reads short only at its end
  }
  if (failure != ReadError::kNone) return done(std::nullopt);
  bytes.truncate(static_cast<qsizetype>(filled));
  return done(std::move(bytes));
}

std::optional<QStringList> ReadTextLines(const QString& path, ReadError* error) {
  const auto bytes = ReadFileBytes(path, error);
  if (!bytes) return std::nullopt;
  LineReader reader(std::string_view(bytes->constData(), static_cast<size_t>(bytes->size())));
  QStringList lines;
  while (!reader.AtEnd()) lines.append(reader.NextText());
  return lines;
}

void AppendLine(QStringView line, std::string& out) {
  const size_t start = out.size();
  AppendWin1255(line, out);
  // A line break inside a field would shift every later record, and a Ctrl-Z
  // would end the file there when it is read; a blank keeps the rest intact.
  for (size_t i = start; i < out.size(); ++i) {
    if (out[i] == '\r' || out[i] == '\n' || out[i] == '\x1A') out[i] = ' ';
  }
  out += "\r\n";
}

QByteArray JoinLines(const QStringList& lines) {
  std::string out;
  for (const QString& line : lines) AppendLine(line, out);
  return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QFileDevice::FileError* error) {
  if (path.isEmpty()) return false;
  QSaveFile file(path);
  const auto fail = [&] {
    if (error != nullptr) *error = file.error();
    return false;
  };
  if (!file.open(QIODevice::WriteOnly)) return fail();
  // commit() does not report a failed flush of what is still buffered, so a
  // full disk is caught here, before the old file is replaced.
  if (file.write(bytes) != bytes.size() || !file.flush()) {
    if (error != nullptr) *error = file.error();
    file.cancelWriting();
    return false;
  }
  return file.commit() || fail();
}

bool WriteTextLines(const QString& path, const QStringList& lines) {
  return WriteFileAtomic(path, JoinLines(lines));
}

bool FileExists(const QString& path) { return QFileInfo(path).isFile(); }

}  // namespace cheque
