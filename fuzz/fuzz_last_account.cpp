// Cheque.ini, the name of the last active account: read, written, read again.

#include "core/files/line_file.h"
#include "core/files/personal_details.h"
#include "fuzz/support.h"

using cheque::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto name = cheque::ReadLastAccountName(cheque::fuzz::WriteScratchFile(
      QStringLiteral("Cheque.ini"), cheque::fuzz::AsBytes(data, size)));
  Check(name.has_value(), "a Cheque.ini that exists was not read");

  // What WriteLastAccountName puts in the file, without its sync to disk.
  const QByteArray saved = cheque::JoinLines({*name});
  const auto again = cheque::ReadLastAccountName(
      cheque::fuzz::WriteScratchFile(QStringLiteral("Cheque2.ini"), cheque::fuzz::AsBytes(saved)));
  Check(again && cheque::JoinLines({*again}) == saved,
        "a saved account name does not read back as itself");
  return 0;
}
