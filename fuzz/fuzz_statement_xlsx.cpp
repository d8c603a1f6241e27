// A bank statement's bytes through the ".xlsx" reader.

#include "fuzz/statement_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cheque::fuzz::CheckStatementReader(cheque::ReadXlsxBytes, data, size);
  return 0;
}
