// Amount text: reading as bytes and as text agrees, whatever FormatAmount
// writes reads back within the rounding it promises, and writing what was
// read once more changes nothing but a ".00".

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "core/text/amount.h"
#include "fuzz/support.h"

namespace {

using cheque::fuzz::Check;

void CheckFormatted(double value) {
  const QString text = cheque::FormatAmount(value);
  const std::optional<double> read = cheque::ReadAmount(QStringView(text));
  Check(read.has_value(), "a formatted amount does not read as a number");
  Check(!text.startsWith(u' ') && !text.endsWith(u' ') && !text.contains(u','),
        "a formatted amount has blanks or separators");
  if (std::isfinite(value) && std::fabs(value) < 1e12) {
    // Two decimals, or none when the fraction is below 0.006.
    Check(std::fabs(*read - value) <= 0.0061, "a formatted amount is off by more than rounding");
  }
  const QString again = cheque::FormatAmount(*read);
  Check(again == text || again + QStringLiteral(".00") == text,
        "formatting a formatted amount again changes it");
  const QString negated = cheque::FormatAmount(-value);
  Check(negated == (text == u"0" ? text : u'-' + text) || u'-' + negated == text,
        "a negative amount is not its positive with a minus sign");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = cheque::fuzz::AsBytes(data, size);
  const std::optional<double> read = cheque::ReadAmount(bytes);
  Check(cheque::ParseAmount(bytes) == read.value_or(0.0), "ParseAmount is not ReadAmount or 0");
  if (read) {
    Check(std::isfinite(*read), "an amount read is not finite");
    CheckFormatted(*read);
  }

  // Text from a field may be any Unicode; a byte past ASCII is never a digit.
  const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(size));
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  const std::optional<double> read_text = cheque::ReadAmount(QStringView(text));
  if (ascii) Check(read_text == read, "an amount reads otherwise as text than as bytes");

  QString checked = text;
  if (cheque::CheckNumeric(checked)) {
    Check(checked == text, "an accepted numeric text was changed");
    Check(text.isEmpty() || text == u"-" || read_text.has_value(),
          "a text that is no number was accepted");
  } else {
    Check(!read_text.has_value(), "a number was refused");
    for (const QChar c : checked) {
      Check(!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')),
            "a refused text keeps its letters");
    }
  }

  // Any double at all, from the first bytes: infinities, NaN, the tiny and the huge.
  if (size >= sizeof(double)) {
    double value;
    std::memcpy(&value, data, sizeof value);
    CheckFormatted(value);
  }
  return 0;
}
