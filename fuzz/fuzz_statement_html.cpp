// A bank statement's bytes through the HTML table reader.

#include "fuzz/statement_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cheque::fuzz::CheckStatementReader(cheque::ReadHtmlBytes, data, size);
  return 0;
}
