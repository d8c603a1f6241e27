// The personal details (AcMyData.Dat): read from a file, written and read again.

#include "core/files/line_file.h"
#include "core/files/personal_details.h"
#include "fuzz/support.h"

using cheque::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto details = cheque::PersonalDetails::Read(cheque::fuzz::WriteScratchFile(
      QStringLiteral("AcMyData.Dat"), cheque::fuzz::AsBytes(data, size)));
  Check(details.has_value(), "personal details that exist were not read");
  details->RequiredFilled();

  // What Write puts in the file, without its sync to disk.
  const QByteArray saved = cheque::JoinLines(details->ToLines());
  const auto again = cheque::PersonalDetails::Read(cheque::fuzz::WriteScratchFile(
      QStringLiteral("AcMyData2.Dat"), cheque::fuzz::AsBytes(saved)));
  Check(again && cheque::JoinLines(again->ToLines()) == saved,
        "saved personal details do not read back as themselves");
  return 0;
}
