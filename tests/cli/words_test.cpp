#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <memory>

namespace {

// cheque-cli words with these arguments, run to its end.
std::unique_ptr<QProcess> Words(const QStringList& args) {
  auto cli = std::make_unique<QProcess>();
  cli->start(QStringLiteral(CHEQUE_CLI), QStringList{QStringLiteral("words")} + args);
  cli->waitForFinished(60000);
  return cli;
}

std::string Utf8(const QByteArray& bytes) { return bytes.toStdString(); }

}  // namespace

TEST(WordsCommand, PrintsTheWordsLine) {
  const struct {
    const char16_t* typed;
    const char16_t* line;
  } cases[] = {
      {u"1234567.89",
       u"מליון מאתיים שלושים וארבע אלף חמש מאות שישים ושבעה ש\"ח, ושמונים ותשעה אגורות  בלבד \n"},
      {u"-105", u"מאה  וחמישה ש\"ח  בלבד \n"},
      {u"0", u" ש\"ח  בלבד \n"},
      {u"12.345", u"שנים עשר ש\"ח, ושלושים וארבעה אגורות  בלבד \n"},
  };
  for (const auto& c : cases) {
    const auto run = Words({QString::fromUtf16(c.typed)});
    EXPECT_EQ(run->exitCode(), 0);
    EXPECT_EQ(Utf8(run->readAllStandardOutput()), QString::fromUtf16(c.line).toStdString());
    EXPECT_EQ(Utf8(run->readAllStandardError()), "");
  }
}

TEST(WordsCommand, AboveTheMaximumAlsoWarns) {
  const auto run = Words({QStringLiteral("12000000")});
  EXPECT_EQ(run->exitCode(), 0);
  // Only the last seven digits are spoken.
  EXPECT_EQ(Utf8(run->readAllStandardOutput()),
            QStringLiteral("שני מליון   ש\"ח  בלבד \n").toStdString());
  EXPECT_EQ(Utf8(run->readAllStandardError()),
            QStringLiteral("הסכום המכסימאלי הנתמך בתוכנית זו הוא 9,999,999.99\n").toStdString());
}

TEST(WordsCommand, OneAmountOnly) {
  EXPECT_EQ(Words({})->exitCode(), 2);
  EXPECT_EQ(Words({QStringLiteral("1"), QStringLiteral("2")})->exitCode(), 2);
}
