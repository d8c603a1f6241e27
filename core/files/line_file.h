#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>

namespace cheque {

// Reads the lines of a data file as the program always has: a Ctrl-Z byte
// ends the file, a line ends at CR LF (a lone CR or LF too), and a line read
// past the end is empty.
class LineReader {
 public:
  explicit LineReader(std::string_view bytes);

  bool AtEnd() const { return pos_ >= data_.size(); }
  std::string_view Next();
  QString NextText();  // Next(), decoded from Windows-1255

 private:
  std::string_view data_;
  size_t pos_ = 0;
};

// Why a file could not be read.
enum class ReadError {
  kNone,
  kMissing,         // no such file (or no such folder on the way)
  kFolder,          // a folder, not a file
  kNotRegularFile,  // a device, a FIFO, a socket
  kNoPermission,
  kTooLarge,     // beyond kMaxFileBytes
  kLineTooLong,  // a line beyond kMaxLineBytes
  kDamaged,      // read, but not whole: an account file cut short, a binary file
  kFailed,       // any other failure of the system
};

// Far beyond any real data file; they keep a damaged or hostile file from
// taking all memory.
inline constexpr qint64 kMaxFileBytes = qint64{1} << 30;
inline constexpr size_t kMaxLineBytes = size_t{32} << 20;

// Opens a regular file (links followed) for reading, unbuffered. Anything
// else is refused before it is opened: a FIFO would block the read and a
// device such as /dev/zero would never end.
ReadError OpenRegularFile(const QString& path, QFile& file);

// A short Hebrew text of the reason, to follow a message that a file could
// not be read; empty for kNone.
QString ReadErrorText(ReadError error);

// The bytes of a regular file of at most kMaxFileBytes, or nothing (and why).
std::optional<QByteArray> ReadFileBytes(const QString& path, ReadError* error = nullptr);

// The decoded lines of such a file, or nothing (and why).
std::optional<QStringList> ReadTextLines(const QString& path, ReadError* error = nullptr);

// Each line in Windows-1255 followed by CR LF. A CR, LF or Ctrl-Z inside a
// line is written as a blank, so the file reads back with the same lines.
void AppendLine(QStringView line, std::string& out);
QByteArray JoinLines(const QStringList& lines);

// Replaces the file in one step: a temporary file is written, flushed to disk
// and renamed over the old one, so a failure leaves the old file whole.
// `error`, when given, tells why it failed (ResourceError: the volume is full).
bool WriteFileAtomic(const QString& path, const QByteArray& bytes,
                     QFileDevice::FileError* error = nullptr);
bool WriteTextLines(const QString& path, const QStringList& lines);

bool FileExists(const QString& path);

}  // namespace cheque
