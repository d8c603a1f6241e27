#include "core/files/line_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/text/codec.h"

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

std::optional<QByteArray> ReadFileBytes(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return file.readAll();
}

std::optional<QStringList> ReadTextLines(const QString& path) {
  const auto bytes = ReadFileBytes(path);
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

bool WriteFileAtomic(const QString& path, const QByteArray& bytes) {
  if (path.isEmpty()) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  // commit() does not report a failed flush of what is still buffered, so a
  // full disk is caught here, before the old file is replaced.
  if (file.write(bytes) != bytes.size() || !file.flush()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

bool WriteTextLines(const QString& path, const QStringList& lines) {
  return WriteFileAtomic(path, JoinLines(lines));
}

bool FileExists(const QString& path) { return QFileInfo(path).isFile(); }

}  // namespace cheque
