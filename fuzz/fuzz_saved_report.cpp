// A saved report file: never read past its end, and what it reads writes
// back as a record that reads as itself.

#include "core/reports/saved_report.h"
#include "fuzz/support.h"

using cheque::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = cheque::fuzz::AsBytes(data, size);
  const auto saved =
      cheque::SavedReportFromBytes(QByteArrayView(bytes.data(), static_cast<qsizetype>(size)));
  if (!saved) return 0;
  Check(saved->kind >= 0 && saved->kind <= 3, "a kind outside 0..3 was taken");
  const QByteArray written = cheque::SavedReportBytes(*saved);
  const auto again = cheque::SavedReportFromBytes(written);
  Check(again.has_value(), "a written report does not read back");
  Check(again && cheque::SavedReportBytes(*again) == written,
        "a written report does not read back as itself");
  return 0;
}
