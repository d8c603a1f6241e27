#pragma once

#include <QByteArray>
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

// The bytes of a file, or nothing when it cannot be opened.
std::optional<QByteArray> ReadFileBytes(const QString& path);

// The decoded lines of a file, or nothing when it cannot be opened.
std::optional<QStringList> ReadTextLines(const QString& path);

// Each line in Windows-1255 followed by CR LF. A CR, LF or Ctrl-Z inside a
// line is written as a blank, so the file reads back with the same lines.
void AppendLine(QStringView line, std::string& out);
QByteArray JoinLines(const QStringList& lines);

// Replaces the file in one step: a temporary file is written, flushed to disk
// and renamed over the old one, so a failure leaves the old file whole.
bool WriteFileAtomic(const QString& path, const QByteArray& bytes);
bool WriteTextLines(const QString& path, const QStringList& lines);

bool FileExists(const QString& path);

}  // namespace cheque
