// A bank statement's bytes through the Excel 2003 XML reader.

#include "fuzz/statement_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cheque::fuzz::CheckStatementReader(cheque::ReadXml2003Bytes, data, size);
  return 0;
}
