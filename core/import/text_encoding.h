#pragma once

// The encoding of a statement's text: told by its bytes, or chosen by the user.

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

namespace cheque {

enum class TextEncoding { kAuto, kUtf8, kUtf16, kWin1255, kWin1252 };

// By the bytes: a byte-order mark; UTF-16 by its zero bytes; valid UTF-8;
// Windows-1255 when most letters beyond ASCII come in runs of 0xE0-0xFA
// (Hebrew words); otherwise Windows-1252 ("Swish från Tant Grön").
TextEncoding DetectTextEncoding(const QByteArray& bytes);
// The text, without a byte-order mark; kAuto detects.
QString DecodeStatementText(const QByteArray& bytes, TextEncoding encoding);

// "utf-8", "utf-16", "windows-1255", "windows-1252", and "auto".
QString TextEncodingName(TextEncoding encoding);
std::optional<TextEncoding> TextEncodingOfName(QStringView name);

}  // namespace cheque
