#include "core/text/codec.h"

#include <QStringDecoder>
#include <array>
#include <vector>

namespace cheque {
namespace {

struct Tables {
  std::array<char16_t, 256> to_unicode{};
  std::vector<int> to_byte = std::vector<int>(0x10000, -1);

  Tables() {
    QStringDecoder decoder("windows-1255", QStringConverter::Flag::Stateless);
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      const QString text = decoder.decode(QByteArrayView(&byte, 1));
      char16_t unit = text.size() == 1 ? text.at(0).unicode() : char16_t{0xFFFD};
      if (!decoder.isValid()) unit = b < 0x80 ? static_cast<char16_t>(b) : char16_t{0xFFFD};
      to_unicode[static_cast<size_t>(b)] = unit;
      if (unit != 0xFFFD && to_byte[unit] < 0) to_byte[unit] = b;
    }
  }
};

const Tables& GetTables() {
  static const Tables tables;
  return tables;
}

}  // namespace

QString DecodeWin1255(std::string_view bytes) {
  const Tables& t = GetTables();
  QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* dst = out.data();
  for (const char c : bytes) *dst++ = QChar(t.to_unicode[static_cast<unsigned char>(c)]);
  return out;
}

bool CanEncodeWin1255(QStringView text) { return FirstUnencodable(text).isNull(); }

QChar FirstUnencodable(QStringView text) {
  const Tables& t = GetTables();
  for (const QChar c : text) {
    if (t.to_byte[c.unicode()] < 0) return c.isNull() ? QChar(0xFFFD) : c;
  }
  return QChar();
}

void AppendWin1255(QStringView text, std::string& out) {
  const Tables& t = GetTables();
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(text.size()));
  char* dst = out.data() + start;
  for (const QChar c : text) {
    const int b = t.to_byte[c.unicode()];
    *dst++ = static_cast<char>(b < 0 ? '?' : b);
  }
}

std::string EncodeWin1255(QStringView text) {
  std::string out;
  AppendWin1255(text, out);
  return out;
}

QByteArray EncodeWin1255Bytes(QStringView text) {
  const std::string bytes = EncodeWin1255(text);
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace cheque
