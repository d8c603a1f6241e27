#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace cheque::cli {

// Appends Windows-1255 bytes as UTF-8, a table lookup per byte.
void AppendWin1255AsUtf8(std::string_view bytes, std::string& out);

// Writes all of it to stdout in one go; false when that fails.
bool WriteStdout(const std::string& text);

// A message on stderr, ending with a line break.
void PrintError(const QString& text);

}  // namespace cheque::cli
