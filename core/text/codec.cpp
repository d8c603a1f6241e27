#include "core/text/codec.h"

#include <QStringDecoder>
#include <array>
#include <cstdint>
#include <vector>

namespace cheque {
namespace {

struct Tables {
  std::array<char16_t, 256> to_unicode{};
  std::vector<std::int16_t> to_byte = std::vector<std::int16_t>(0x10000, -1);
  bool from_qt = false;

  Tables() {
    std::array<char, 256> all_bytes{};
    for (int b = 0; b < 256; ++b) all_bytes[static_cast<size_t>(b)] = static_cast<char>(b);
    QStringDecoder decoder("windows-1255", QStringConverter::Flag::Stateless);
    const QString text =
        decoder.isValid() ? decoder.decode(QByteArrayView(all_bytes.data(), 256)) : QString();
    from_qt = text.size() == 256;
    for (int b = 0; b < 256; ++b) {
      char16_t unit = 0;
      if (from_qt) {
        unit = text.at(b).unicode();
        // Some converters pass the bytes the code page leaves undefined
        // through as C1 controls; no Windows-1255 text holds those.
        if (b >= 0x80 && unit >= 0x80 && unit <= 0x9F) unit = 0xFFFD;
      } else {
        // Without the converter, bytes map one to one, so a file read and
        // written again keeps its Hebrew, shown wrongly but never lost.
        unit = static_cast<char16_t>(b);
      }
      to_unicode[static_cast<size_t>(b)] = unit;
      if (unit != 0xFFFD && to_byte[unit] < 0) to_byte[unit] = static_cast<std::int16_t>(b);
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

bool Win1255ConverterAvailable() { return GetTables().from_qt; }

bool CanEncodeWin1255(QStringView text) { return FirstUnencodable(text).isNull(); }

QChar FirstUnencodable(QStringView text) {
  const Tables& t = GetTables();
  for (const QChar c : text) {
    if (t.to_byte[c.unicode()] < 0) return c.isNull() ? QChar(0xFFFD) : c;
  }
  return QChar();
}

QString NearestWin1255(QStringView text, bool* changed) {
  const Tables& t = GetTables();
  if (changed) *changed = false;
  if (FirstUnencodable(text).isNull()) return text.toString();
  if (changed) *changed = true;
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (!c.isNull() && t.to_byte[c.unicode()] >= 0) {
      out += c;
      continue;
    }
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      ++i;
      out += u'?';
      continue;
    }
    // The letter apart from its accents, which follow it as combining marks.
    QString base;
    for (const QChar part : QString(c).normalized(QString::NormalizationForm_KD)) {
      if (part.isMark()) continue;
      if (part.isNull() || t.to_byte[part.unicode()] < 0) {
        base.clear();
        break;
      }
      base += part;
    }
    out += base.isEmpty() ? QStringLiteral("?") : base;
  }
  return out;
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
