#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string_view>

// What every fuzz target shares: the libFuzzer entry point, a way to stop on a
// broken promise, and scratch files for the readers that take a path.

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace cheque::fuzz {

// Stops the run with a message; the fuzzer keeps the input as a crash.
[[noreturn]] void Fail(const char* what);
inline void Check(bool ok, const char* what) {
  if (!ok) Fail(what);
}

inline std::string_view AsBytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}
inline std::string_view AsBytes(const QByteArray& bytes) {
  return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// A folder of this program's own, removed when it ends.
QString ScratchFolder();
// Writes the bytes to a file of that folder, replacing it, and returns its path.
QString WriteScratchFile(const QString& name, std::string_view bytes);

}  // namespace cheque::fuzz
