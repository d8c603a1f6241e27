#include "core/text/text_compare.h"

#include <algorithm>

namespace cheque {
namespace {

template <typename Char>
Char FoldAscii(Char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

char16_t Fold(QChar c) { return FoldAscii(c.unicode()); }

bool IsAsciiLetter(char16_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool TextEquals(QStringView a, QStringView b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

bool TextEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

bool TextContains(QStringView part, QStringView whole) {
  if (part.isEmpty()) return false;
  return std::search(whole.begin(), whole.end(), part.begin(), part.end(),
                     [](QChar x, QChar y) { return Fold(x) == Fold(y); }) != whole.end();
}

bool TextContains(std::string_view part, std::string_view whole) {
  if (part.empty()) return false;
  return std::search(whole.begin(), whole.end(), part.begin(), part.end(),
                     [](char x, char y) { return FoldAscii(x) == FoldAscii(y); }) != whole.end();
}

void StripLetters(QString& text) {
  text.removeIf([](QChar c) { return IsAsciiLetter(c.unicode()); });
}

QString Shortened(const QString& text, qsizetype max) {
  if (text.size() <= max) return text;
  qsizetype head = max / 2;
  qsizetype tail = max - head - 1;
  // Never half of a surrogate pair.
  if (text[head - 1].isHighSurrogate()) --head;
  if (text[text.size() - tail].isLowSurrogate()) --tail;
  return text.left(head) + u'…' + text.right(tail);
}

QString StripBlanksAndUnderscores(QStringView text) {
  QString out = text.toString();
  out.removeIf([](QChar c) { return c == u' ' || c == u'_'; });
  return out;
}

QString StripFillCharacter(QStringView text) {
  QString out = text.toString();
  // The fill byte 0xFF has no character in Windows-1255, so decoded it is
  // U+FFFD; U+00FF is the same byte read without the converter.
  out.removeIf([](QChar c) { return c.unicode() == 0xFFFD || c.unicode() == 0xFF; });
  return out;
}

std::string StripFillCharacter(std::string_view bytes) {
  std::string out(bytes);
  std::erase(out, '\xFF');
  return out;
}

QString CollapseBackslashes(QStringView path) {
  QString out = path.toString();
  qsizetype at = out.indexOf(u"\\\\", 1);
  while (at >= 1) {
    out.remove(at, 1);
    at = out.indexOf(u"\\\\", 1);
  }
  return out;
}

QString IndentCategoryPath(QStringView path) {
  QString out;
  qsizetype slash = path.indexOf(u'\\');
  while (slash >= 0) {
    out += QStringLiteral("      ");
    path = path.mid(slash + 1);
    slash = path.indexOf(u'\\');
  }
  return out + path.toString();
}

}  // namespace cheque
