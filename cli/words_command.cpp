// cheque-cli words: the amount in Hebrew words, as the cheque page shows it
// under the amount field once the text is typed there.

#include "cli/commands.h"
#include "cli/output.h"
#include "core/cheques/amount_words.h"

namespace cheque::cli {

int RunWordsCommand(const QStringList& args) {
  if (args.size() != 1) {
    PrintError(QStringLiteral("usage: cheque-cli words AMOUNT"));
    return kExitUsage;
  }
  const AmountWords result = AmountInWords(args.front());
  if (result.above_maximum) PrintError(kMaximumAmountMessage);
  StdoutBuffer out;
  out.Text() = result.words.toStdString() + '\n';
  return out.Flush() ? 0 : kExitFileError;
}

}  // namespace cheque::cli
