#pragma once

#include <QByteArray>

namespace cheque::bench {

// A bank statement of `movements` lines in each kind a bank sends: a header
// row (date, description, reference, amount, balance), then the movements,
// dates as the kind holds them (text, or date cells).
enum class StatementKind { kHtml, kXml2003, kXls, kXlsx };
QByteArray GenerateStatement(StatementKind kind, int movements);

}  // namespace cheque::bench
