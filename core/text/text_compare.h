#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace cheque {

// Comparisons that ignore the case of ASCII letters only; Hebrew has no case.
bool TextEquals(QStringView a, QStringView b);
bool TextEquals(std::string_view a, std::string_view b);
// An empty part is never contained, so an empty search field finds nothing.
bool TextContains(QStringView part, QStringView whole);
bool TextContains(std::string_view part, std::string_view whole);

// Removes every ASCII letter.
void StripLetters(QString& text);

// Text to quote in a message: when longer than `max` characters, its start
// and end with "…" between, so a name of megabytes does not flood the screen.
QString Shortened(const QString& text, qsizetype max = 60);

// Removes every blank and "_" (the empty places of a masked field).
QString StripBlanksAndUnderscores(QStringView text);
// Removes every fill character: byte 0xFF, or once decoded U+FFFD (the
// code page has no character for it) and U+00FF.
QString StripFillCharacter(QStringView text);
std::string StripFillCharacter(std::string_view bytes);

// Deletes one of every doubled backslash after the first character, so a
// leading doubled backslash of a network path stays.
QString CollapseBackslashes(QStringView path);

// The last level of a category path, indented by six blanks per level above it.
QString IndentCategoryPath(QStringView path);

}  // namespace cheque
