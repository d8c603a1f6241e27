#include "cli/output.h"

#include <array>
#include <cstdio>

#include "core/text/codec.h"

namespace cheque::cli {
namespace {

struct Utf8Table {
  std::array<std::string, 256> text;
  Utf8Table() {
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      text[static_cast<size_t>(b)] = DecodeWin1255(std::string_view(&byte, 1)).toStdString();
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
    out.append(table.text[b]);
    plain = i + 1;
  }
  out.append(bytes.data() + plain, bytes.size() - plain);
}

bool WriteStdout(const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
         std::fflush(stdout) == 0;
}

void PrintError(const QString& text) {
  const QByteArray bytes = text.toUtf8() + '\n';
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

}  // namespace cheque::cli
