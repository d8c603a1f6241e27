// A bank statement's bytes through the BIFF8 ".xls" reader.

#include "fuzz/statement_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cheque::fuzz::CheckStatementReader(cheque::ReadXlsBytes, data, size);
  return 0;
}
