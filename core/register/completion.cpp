#include "core/register/completion.h"

#include <string>
#include <string_view>
#include <vector>

#include "core/register/register.h"
#include "core/text/codec.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

constexpr int kMaxSuggestions = 6;

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The description of a stored record, found from its end: only the mark
// follows it, so a few bytes are passed instead of six fields.
std::string_view DescriptionOf(std::string_view record) {
  const char* begin = record.data();
  const char* p = begin + record.size() - 2;  // the mark's CR LF
  while (p > begin && *(p - 1) != '\n') --p;
  const char* end = p - 2;
  p = end;
  while (p > begin && *(p - 1) != '\n') --p;
  return std::string_view(p, static_cast<size_t>(end - p));
}

// `folded` is already in lower case.
bool StartsWithFolded(std::string_view text, std::string_view folded) {
  if (text.size() < folded.size()) return false;
  for (size_t i = 0; i < folded.size(); ++i) {
    if (FoldAscii(text[i]) != folded[i]) return false;
  }
  return true;
}

const std::string& OpeningBalanceBytes() {
  static const std::string bytes = EncodeWin1255(u"יתרת פתיחה");
  return bytes;
}

}  // namespace

const std::array<QString, kPaymentTypeCount>& PaymentTypes() {
  static const std::array<QString, kPaymentTypeCount> types = {
      QStringLiteral("אחר"),      QStringLiteral("שק"),     QStringLiteral("מזומן"),
      QStringLiteral("אשראי"),    QStringLiteral("הלוואה"), QStringLiteral("הו\"ק"),
      QStringLiteral("חיוב בנק"), QStringLiteral("משכנתא"), QStringLiteral("העברה"),
      QStringLiteral("יתרה")};
  return types;
}

int PaymentTypeIndex(QStringView type_and_reference) {
  for (int i = 0; i < kPaymentTypeCount; ++i) {
    if (TextContains(PaymentTypes()[static_cast<size_t>(i)], type_and_reference)) return i;
  }
  return -1;
}

QString ReferenceOf(QStringView type_and_reference) {
  QString reference = type_and_reference.toString();
  const int type = PaymentTypeIndex(type_and_reference);
  if (type >= 0) {
    const QString& name = PaymentTypes()[static_cast<size_t>(type)];
    const qsizetype at = reference.indexOf(name, 0, Qt::CaseInsensitive);
    if (at >= 0) reference.remove(at, name.size() + 1);
  }
  if (reference == u" ") reference.clear();
  return reference;
}

DescriptionCompletion CompleteDescription(const Register& reg, QStringView typed) {
  DescriptionCompletion completion;
  // Stored cells are Windows-1255, so text it cannot hold starts none of them.
  if (typed.isEmpty() || !CanEncodeWin1255(typed)) return completion;
  std::string folded = EncodeWin1255(typed);
  for (char& c : folded) c = FoldAscii(c);
  std::vector<std::string_view> found;
  const int rows = reg.RowCount();
  for (int row = 0; row < rows; ++row) {
    const std::string_view description = DescriptionOf(reg.RawRecord(row));
    if (!StartsWithFolded(description, folded) || description == OpeningBalanceBytes()) continue;
    if (completion.first_row < 0) completion.first_row = row;
    bool seen = false;
    for (std::string_view earlier : found) seen = seen || TextEquals(earlier, description);
    if (seen) continue;
    found.push_back(description);
    completion.suggestions.append(DecodeWin1255(description));
    if (found.size() == kMaxSuggestions) break;
  }
  return completion;
}

int FirstRowWithDescription(const Register& reg, QStringView description) {
  if (!CanEncodeWin1255(description)) return -1;
  const std::string bytes = EncodeWin1255(description);
  const int rows = reg.RowCount();
  for (int row = 0; row < rows; ++row) {
    if (TextEquals(DescriptionOf(reg.RawRecord(row)), bytes)) return row;
  }
  return -1;
}

}  // namespace cheque
