// The amount in Hebrew words: any typed text, any digit text for the word
// groups, and the split of the words line over the cheque's two lines.

#include <QString>

#include "core/cheques/amount_words.h"
#include "fuzz/support.h"

using cheque::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString typed =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const cheque::AmountWords words = cheque::AmountInWords(typed);
  Check(words.words.endsWith(QStringLiteral(" בלבד ")), "the words line lacks its ending");

  for (const bool feminine : {false, true}) cheque::HundredsToWords(typed, feminine);
  cheque::ThousandsToWords(typed);
  cheque::MillionsToWords(typed);

  // One unit a character, and a limit from the input's length.
  const auto width = [](QStringView text) { return static_cast<double>(text.size()); };
  const double limit = static_cast<double>(size % 97);
  const cheque::WordsLines lines = cheque::SplitWords(words.words, width, limit);
  Check(words.words.startsWith(lines.first), "the first words line is not the words' start");
  Check(width(lines.first) <= limit, "the first words line is wider than its limit");
  return 0;
}
