#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "core/files/line_file.h"

namespace cheque::cli {

// Appends Windows-1255 bytes as UTF-8, a table lookup per byte.
void AppendWin1255AsUtf8(std::string_view bytes, std::string& out);

// Collects output and writes it to stdout in large pieces.
class StdoutBuffer {
 public:
  StdoutBuffer() { text_.reserve(kFlushBytes + kFlushBytes / 4); }
  std::string& Text() { return text_; }
  // Writes out what has gathered once it is large; false once a write failed.
  bool FlushIfFull() { return text_.size() < kFlushBytes || Flush(); }
  bool Flush();

 private:
  static constexpr size_t kFlushBytes = size_t{1} << 20;
  std::string text_;
  bool failed_ = false;
};

// Why a file could not be read, in a few words ("missing", "no permission").
QString ReasonText(ReadError error);

// A message on stderr, ending with a line break.
void PrintError(const QString& text);

}  // namespace cheque::cli
