#include "core/register/completion.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <string>
#include <utility>
#include <vector>

#include "core/register/register.h"

using namespace cheque;

namespace {

QString Q(const char16_t* text) { return QString::fromUtf16(text); }
std::string S(const QString& text) { return text.toStdString(); }

struct Row {
  const char16_t* description;
  const char16_t* mark = u"";
};

// The rows in order, each with a full record around its description, then the empty row.
Register MakeRegister(const std::vector<Row>& rows) {
  Register reg;
  for (const Row& row : rows) {
    const int r = reg.RowCount() - 1;
    EXPECT_TRUE(reg.SetCell(r, kBalanceColumn, u"100"));
    EXPECT_TRUE(reg.SetCell(r, kExpenseColumn, u"12.50"));
    EXPECT_TRUE(reg.SetCell(r, kTypeColumn, u"שק 4711"));
    EXPECT_TRUE(reg.SetCell(r, kCategoryColumn, u"רכב\\דלק"));
    EXPECT_TRUE(reg.SetCell(r, kDescriptionColumn, row.description));
    EXPECT_TRUE(reg.SetCell(r, kDateColumn, u"5/1/2024"));
    EXPECT_TRUE(reg.SetCell(r, kMarkColumn, row.mark));
    reg.AddEmptyRow();
  }
  return reg;
}

std::string Joined(const QStringList& list) { return S(list.join(u'|')); }

}  // namespace

TEST(PaymentType, FirstTypeInTheFixedOrderWins) {
  ASSERT_EQ(PaymentTypes()[5], Q(u"הו\"ק"));
  ASSERT_EQ(PaymentTypes()[kBankBalanceType], Q(u"יתרה"));
  const std::pair<const char16_t*, int> cases[] = {
      {u"אחר ", 0},      {u"שק 123456", 1}, {u"מזומן ", 2}, {u"הו\"ק 17", 5},
      {u"חיוב בנק ", 6}, {u"משכנתא 3", 7},  {u"יתרה ", 9},  {u"מזומן שק 5", 1},
      {u"xx העברה", 8},  {u"הוק", -1},      {u"", -1},      {u"Visa", -1}};
  for (const auto& [text, index] : cases) {
    EXPECT_EQ(PaymentTypeIndex(text), index) << S(Q(text));
  }
}

TEST(PaymentType, ReferenceIsWhatFollowsTheType) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {{u"שק 123456", u"123456"},
                                                               {u"שק ", u""},
                                                               {u"שק", u""},
                                                               {u"הו\"ק 9-A", u"9-A"},
                                                               {u"שק  ", u""},
                                                               {u"שק   ", u"  "},
                                                               {u"מזומן שק 12", u"מזומן 12"},
                                                               {u"x אשראי 4", u"x 4"},
                                                               {u"abc", u"abc"},
                                                               {u" ", u""},
                                                               {u"", u""},
                                                               {u"שק/77", u"77"}};
  for (const auto& [text, reference] : cases) {
    EXPECT_EQ(S(ReferenceOf(text)), S(Q(reference))) << S(Q(text));
  }
}

TEST(Completion, SuggestionsFromTheRegister) {
  const Register reg = MakeRegister({
      {u"יתרת פתיחה", u"+"},  // 0
      {u"Salary", u"+"},      // 1
      {u"סופר", u"?"},        // 2
      {u"salary"},            // 3
      {u"SALARY June"},       // 4
      {u"יתרת פתיחה 2"},      // 5
      {u"סופרמרקט", u"+"},    // 6
      {u""},                  // 7
      {u"Sal"},               // 8
  });
  struct Case {
    const char16_t* typed;
    const char16_t* suggestions;
    int first_row;
  };
  const Case cases[] = {
      {u"sal", u"Salary|SALARY June|Sal", 1},
      {u"SALARY", u"Salary|SALARY June", 1},
      {u"salary june", u"SALARY June", 4},
      {u"salary junee", u"", -1},
      {u"סופר", u"סופר|סופרמרקט", 2},
      {u"סופרמ", u"סופרמרקט", 6},
      // The opening balance is never offered, a longer description is.
      {u"יתרת", u"יתרת פתיחה 2", 5},
      {u"יתרת פתיחה", u"יתרת פתיחה 2", 5},
      {u"", u"", -1},
      {u" ", u"", -1},
      {u"ж", u"", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(S(Q(c.typed)));
    const DescriptionCompletion completion = CompleteDescription(reg, c.typed);
    EXPECT_EQ(Joined(completion.suggestions), S(Q(c.suggestions)));
    EXPECT_EQ(completion.first_row, c.first_row);
  }
}

TEST(Completion, AtMostSixAndTheFirstRowWins) {
  const Register reg = MakeRegister({{u"a1"},
                                     {u"A1"},
                                     {u"a2"},
                                     {u"a3"},
                                     {u"b"},
                                     {u"a4"},
                                     {u"a5"},
                                     {u"a1"},
                                     {u"a6"},
                                     {u"a7"},
                                     {u"a8"}});
  const DescriptionCompletion completion = CompleteDescription(reg, u"a");
  EXPECT_EQ(Joined(completion.suggestions), "a1|a2|a3|a4|a5|a6");
  EXPECT_EQ(completion.first_row, 0);
  EXPECT_EQ(Joined(CompleteDescription(reg, u"A1").suggestions), "a1");

  // Only the empty row: nothing to offer.
  const DescriptionCompletion none = CompleteDescription(Register(), u"a");
  EXPECT_TRUE(none.suggestions.isEmpty());
  EXPECT_EQ(none.first_row, -1);
}

TEST(Completion, FirstRowWithDescription) {
  const Register reg =
      MakeRegister({{u"יתרת פתיחה", u"+"}, {u"Rent"}, {u"rent", u"?"}, {u"RENT 2"}});
  const std::pair<const char16_t*, int> cases[] = {{u"rent", 1},       {u"RENT", 1}, {u"rent 2", 3},
                                                   {u"יתרת פתיחה", 0}, {u"ren", -1}, {u"ж", -1},
                                                   {u"rent  2", -1}};
  for (const auto& [description, row] : cases) {
    EXPECT_EQ(FirstRowWithDescription(reg, description), row) << S(Q(description));
  }
}

TEST(Completion, DescriptionsOfEveryLengthBesideEveryMark) {
  // Records short and long, descriptions from empty to longer than any word
  // read at once, marks empty, one character and longer.
  const char16_t* const marks[] = {u"", u"+", u"?", u"a mark longer than the words read at once"};
  Register reg;
  std::vector<std::pair<QString, int>> expected;
  for (bool full_record : {false, true}) {
    for (int m = 0; m < 4; ++m) {
      for (int length = 0; length <= 45; ++length) {
        // Unique in its first three characters, so no one is another's prefix.
        QString description = QStringLiteral("%1%2")
                                  .arg(QChar(u'A' + m + (full_record ? 4 : 0)))
                                  .arg(length, 2, 10, QChar(u'0'))
                                  .leftJustified(length, u'ק')
                                  .left(length);
        const int row = reg.RowCount() - 1;
        if (full_record) {
          ASSERT_TRUE(reg.SetCell(row, kTypeColumn, u"שק 1"));
          ASSERT_TRUE(reg.SetCell(row, kCategoryColumn, u"רכב\\דלק"));
          ASSERT_TRUE(reg.SetCell(row, kDateColumn, u"1/1/2024"));
        }
        ASSERT_TRUE(reg.SetCell(row, kDescriptionColumn, description));
        ASSERT_TRUE(reg.SetCell(row, kMarkColumn, marks[m]));
        reg.AddEmptyRow();
        if (length >= 3) expected.emplace_back(description, row);
      }
    }
  }
  for (const auto& [description, row] : expected) {
    SCOPED_TRACE(S(description));
    EXPECT_EQ(FirstRowWithDescription(reg, description), row);
    const DescriptionCompletion completion = CompleteDescription(reg, description.toLower());
    EXPECT_EQ(completion.first_row, row);
    EXPECT_EQ(Joined(completion.suggestions), S(description));
  }
  // An empty description is found in the first row that has one.
  EXPECT_EQ(FirstRowWithDescription(reg, u""), 0);
}
