#include "core/import/text_encoding.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>

#include "core/text/codec.h"

namespace cheque {
namespace {

// How many bytes the guess looks at; a statement's first lines say enough.
constexpr qsizetype kSampleBytes = 64 * 1024;

// Windows-1252's letters at 0x80-0x9F, where Latin-1 has controls; 0 where
// the code page has none.
constexpr std::array<char16_t, 32> kWin1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString DecodeWin1252(QByteArrayView bytes) {
  QString out(bytes.size(), Qt::Uninitialized);
  QChar* dst = out.data();
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    char16_t unit = b;
    if (b >= 0x80 && b < 0xA0) unit = kWin1252High[b - 0x80] ? kWin1252High[b - 0x80] : 0xFFFD;
    *dst++ = QChar(unit);
  }
  return out;
}

bool IsUtf16(QByteArrayView sample, bool* little_endian) {
  qsizetype even_zeros = 0;
  qsizetype odd_zeros = 0;
  for (qsizetype i = 0; i < sample.size(); ++i) {
    if (sample[i] == 0) ++((i % 2 == 0) ? even_zeros : odd_zeros);
  }
  const qsizetype half = sample.size() / 2;
  if (half < 2) return false;
  *little_endian = odd_zeros >= even_zeros;
  return std::max(even_zeros, odd_zeros) * 3 >= half && std::min(even_zeros, odd_zeros) * 10 < half;
}

}  // namespace

TextEncoding DetectTextEncoding(const QByteArray& bytes) {
  if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) return TextEncoding::kUtf16;
  if (bytes.startsWith("\xEF\xBB\xBF")) return TextEncoding::kUtf8;
  const QByteArrayView sample = QByteArrayView(bytes).first(std::min(bytes.size(), kSampleBytes));
  bool little_endian = true;
  if (IsUtf16(sample, &little_endian)) return TextEncoding::kUtf16;
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  // A sample may end inside a character: only the whole file is judged.
  const QString decoded = utf8.decode(bytes);
  if (!utf8.hasError()) return TextEncoding::kUtf8;
  // Hebrew letters are 0xE0-0xFA and come in words; a Latin text's accented
  // letters stand one at a time among ASCII ones.
  qsizetype in_runs = 0;
  qsizetype high = 0;
  for (qsizetype i = 0; i < sample.size(); ++i) {
    const auto b = static_cast<unsigned char>(sample[i]);
    if (b < 0x80) continue;
    ++high;
    const auto hebrew = [&](qsizetype at) {
      if (at < 0 || at >= sample.size()) return false;
      const auto c = static_cast<unsigned char>(sample[at]);
      return c >= 0xE0 && c <= 0xFA;
    };
    if (hebrew(i) && (hebrew(i - 1) || hebrew(i + 1))) ++in_runs;
  }
  return in_runs * 2 >= high ? TextEncoding::kWin1255 : TextEncoding::kWin1252;
}

QString DecodeStatementText(const QByteArray& bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::kAuto) encoding = DetectTextEncoding(bytes);
  switch (encoding) {
    case TextEncoding::kUtf16: {
      bool little_endian = true;
      QByteArrayView body = bytes;
      if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        little_endian = bytes.startsWith("\xFF\xFE");
        body = body.sliced(2);
      } else {
        IsUtf16(QByteArrayView(bytes).first(std::min(bytes.size(), kSampleBytes)), &little_endian);
      }
      QStringDecoder utf16(little_endian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
      return utf16.decode(body);
    }
    case TextEncoding::kWin1255:
      return DecodeWin1255(bytes);
    case TextEncoding::kWin1252:
      return DecodeWin1252(bytes);
    case TextEncoding::kUtf8:
    case TextEncoding::kAuto:
      break;
  }
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  return text;
}

QString TextEncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return QStringLiteral("utf-8");
    case TextEncoding::kUtf16:
      return QStringLiteral("utf-16");
    case TextEncoding::kWin1255:
      return QStringLiteral("windows-1255");
    case TextEncoding::kWin1252:
      return QStringLiteral("windows-1252");
    case TextEncoding::kAuto:
      break;
  }
  return QStringLiteral("auto");
}

std::optional<TextEncoding> TextEncodingOfName(QStringView name) {
  for (const TextEncoding encoding :
       {TextEncoding::kAuto, TextEncoding::kUtf8, TextEncoding::kUtf16, TextEncoding::kWin1255,
        TextEncoding::kWin1252}) {
    if (name.compare(TextEncodingName(encoding), Qt::CaseInsensitive) == 0) return encoding;
  }
  return std::nullopt;
}

}  // namespace cheque
