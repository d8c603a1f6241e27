#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace cheque {

// Windows-1255, the code page of every data file. The byte tables are taken
// once from Qt's codec; bytes the code page leaves undefined decode to U+FFFD.
QString DecodeWin1255(std::string_view bytes);
inline QString DecodeWin1255(const QByteArray& bytes) {
  return DecodeWin1255(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

// False when Qt offers no Windows-1255 converter; bytes then map one to one
// to U+0000..U+00FF, which keeps files intact but shows Hebrew wrongly.
bool Win1255ConverterAvailable();

// True when every character of the text has a Windows-1255 byte.
bool CanEncodeWin1255(QStringView text);

// Appends the Windows-1255 bytes of the text; characters without a byte are
// written as '?', so callers refuse such text first (CanEncodeWin1255).
void AppendWin1255(QStringView text, std::string& out);
std::string EncodeWin1255(QStringView text);
QByteArray EncodeWin1255Bytes(QStringView text);

// The first character of the text that Windows-1255 cannot hold, or a null QChar.
QChar FirstUnencodable(QStringView text);

// The text with each letter Windows-1255 cannot hold replaced by the nearest
// it can: the letter without its accents ("É" to "E", "å" to "a"), else "?"
// (one for a character beyond the 16-bit range, such as an emoji). `changed`
// tells whether any letter was replaced.
QString NearestWin1255(QStringView text, bool* changed = nullptr);

}  // namespace cheque
