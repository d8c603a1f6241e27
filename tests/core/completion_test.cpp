#include "core/register/completion.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/register/register.h"

using namespace cheque;

namespace {

std::string S(QStringView text) { return text.toString().toStdString(); }

// One row per description, each with a full record around it.
Register MakeRegister(std::initializer_list<std::pair<const char16_t*, const char16_t*>> rows) {
  Register reg;
  for (const auto& [description, mark] : rows) {
    const int r = reg.RowCount() - 1;
    for (const auto& [column, text] : {std::pair{kBalanceColumn, u"100"},
                                       {kExpenseColumn, u"9"},
                                       {kTypeColumn, u"שק 4711"},
                                       {kCategoryColumn, u"רכב\\דלק"},
                                       {kDescriptionColumn, description},
                                       {kDateColumn, u"5/1/2024"},
                                       {kMarkColumn, mark}}) {
      EXPECT_TRUE(reg.SetCell(r, column, text));
    }
    reg.AddEmptyRow();
  }
  return reg;
}

}  // namespace

TEST(PaymentType, TypeAndReference) {
  ASSERT_EQ(PaymentTypes()[5], QStringLiteral("הו\"ק"));
  const std::tuple<const char16_t*, int, const char16_t*> cases[] = {
      {u"שק 123456", 1, u"123456"},
      {u"שק ", 1, u""},
      {u"שק", 1, u""},
      {u"שק  ", 1, u""},
      {u"שק   ", 1, u"  "},
      {u"הו\"ק 9-A", 5, u"9-A"},
      {u"מזומן שק 12", 1, u"מזומן 12"},
      {u"x אשראי 4", 3, u"x 4"},
      {u"חיוב בנק ", 6, u""},
      {u"יתרה ", 9, u""},
      {u"הוק", -1, u"הוק"},
      {u" ", -1, u""}};
  for (const auto& [text, type, reference] : cases) {
    EXPECT_EQ(PaymentTypeIndex(text), type) << S(text);
    EXPECT_EQ(S(ReferenceOf(text)), S(reference)) << S(text);
  }
}

TEST(Completion, SuggestionsFromTheRegister) {
  const Register reg = MakeRegister({{u"יתרת פתיחה", u"+"},
                                     {u"Salary", u"+"},
                                     {u"סופר", u"?"},
                                     {u"salary", u""},
                                     {u"SALARY June", u""},
                                     {u"a1", u""},
                                     {u"יתרת פתיחה 2", u""},
                                     {u"סופרמרקט", u"+"},
                                     {u"a2", u""},
                                     {u"A1", u""},
                                     {u"a3", u""},
                                     {u"a4", u""},
                                     {u"a5", u""},
                                     {u"a6", u""},
                                     {u"a7", u""}});
  const std::tuple<const char16_t*, const char16_t*, int> cases[] = {
      {u"sal", u"Salary|SALARY June", 1},
      {u"salary june", u"SALARY June", 4},
      {u"salary junee", u"", -1},
      {u"סופר", u"סופר|סופרמרקט", 2},
      // Never the opening balance; a longer description is offered.
      {u"יתרת פתיחה", u"יתרת פתיחה 2", 6},
      // Six at most, each once.
      {u"A", u"a1|a2|a3|a4|a5|a6", 5},
      {u"", u"", -1},
      {u"ж", u"", -1}};
  for (const auto& [typed, suggestions, first_row] : cases) {
    const DescriptionCompletion completion = CompleteDescription(reg, typed);
    EXPECT_EQ(S(completion.suggestions.join(u'|')), S(suggestions)) << S(typed);
    EXPECT_EQ(completion.first_row, first_row) << S(typed);
  }
  EXPECT_EQ(FirstRowWithDescription(reg, u"SALARY"), 1);
  EXPECT_EQ(FirstRowWithDescription(reg, u"יתרת פתיחה"), 0);
  EXPECT_EQ(FirstRowWithDescription(reg, u"sal"), -1);
}

TEST(Completion, DescriptionsOfEveryLengthBesideEveryMark) {
  // Records short and long, descriptions and marks shorter and longer than
  // what is read in one step.
  Register reg;
  std::vector<std::pair<QString, int>> expected;
  for (const char16_t* type : {u"", u"שק 1"}) {
    for (const char16_t* mark : {u"", u"+", u"?", u"a mark longer than the words read at once"}) {
      for (int length = 0; length <= 45; ++length) {
        // Unique in its first three characters, so no one is another's prefix.
        const int row = reg.RowCount() - 1;
        const QString description = QStringLiteral("%1%2")
                                        .arg(QChar(static_cast<char16_t>(u'A' + row % 26)))
                                        .arg(row / 26, 2, 10, QChar(u'0'))
                                        .leftJustified(length, u'ק')
                                        .left(length);
        ASSERT_TRUE(reg.SetCell(row, kTypeColumn, type));
        ASSERT_TRUE(reg.SetCell(row, kDescriptionColumn, description));
        ASSERT_TRUE(reg.SetCell(row, kMarkColumn, mark));
        reg.AddEmptyRow();
        if (length >= 3) expected.emplace_back(description, row);
      }
    }
  }
  for (const auto& [description, row] : expected) {
    EXPECT_EQ(FirstRowWithDescription(reg, description.toLower()), row) << S(description);
    const DescriptionCompletion completion = CompleteDescription(reg, description.toLower());
    EXPECT_EQ(completion.first_row, row) << S(description);
    EXPECT_EQ(completion.suggestions, QStringList{description});
  }
}
