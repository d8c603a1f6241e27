#include "cli/output.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "core/text/codec.h"

namespace cheque::cli {
namespace {

struct Utf8Table {
  std::array<std::array<char, 4>, 256> bytes{};
  std::array<unsigned char, 256> size{};
  Utf8Table() {
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      const QByteArray utf8 = DecodeWin1255(std::string_view(&byte, 1)).toUtf8();
      const auto i = static_cast<size_t>(b);
      size[i] = static_cast<unsigned char>(std::min<qsizetype>(utf8.size(), 4));
      std::memcpy(bytes[i].data(), utf8.constData(), size[i]);
    }
  }
};

}  // namespace

void AppendWin1255AsUtf8(std::string_view bytes, std::string& out) {
  static const Utf8Table table;
  size_t plain = 0;  // the start of a run of ASCII, copied in one piece
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) continue;
    out.append(bytes.data() + plain, i - plain);
    out.append(table.bytes[b].data(), table.size[b]);
    plain = i + 1;
  }
  out.append(bytes.data() + plain, bytes.size() - plain);
}

bool StdoutBuffer::Flush() {
  failed_ = failed_ || std::fwrite(text_.data(), 1, text_.size(), stdout) != text_.size();
  text_.clear();
  failed_ = failed_ || std::fflush(stdout) != 0;
  return !failed_;
}

void PrintError(const QString& text) {
  const QByteArray bytes = text.toUtf8() + '\n';
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

QString ReasonText(ReadError error) {
  switch (error) {
    case ReadError::kNone:
      break;
    case ReadError::kMissing:
      return QStringLiteral("missing");
    case ReadError::kFolder:
      return QStringLiteral("a folder");
    case ReadError::kNotRegularFile:
      return QStringLiteral("not a regular file");
    case ReadError::kNoPermission:
      return QStringLiteral("no permission");
    case ReadError::kTooLarge:
      return QStringLiteral("too large");
    case ReadError::kLineTooLong:
      return QStringLiteral("a line too long");
    case ReadError::kDamaged:
      return QStringLiteral("damaged, not a whole account file");
    case ReadError::kFailed:
      return QStringLiteral("read error");
  }
  return {};
}

}  // namespace cheque::cli
