#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

namespace {

struct WordsRun {
  int exit_code = -1;
  QString out;
  QString err;
};

WordsRun Words(const QStringList& args) {
  QProcess cli;
  cli.start(QStringLiteral(CHEQUE_CLI), QStringList{QStringLiteral("words")} + args);
  cli.waitForFinished(60000);
  return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
          QString::fromUtf8(cli.readAllStandardOutput()),
          QString::fromUtf8(cli.readAllStandardError())};
}

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
    const WordsRun run = Words({QString::fromUtf16(c.typed)});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out.toStdString(), QString::fromUtf16(c.line).toStdString());
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
  }
}

TEST(WordsCommand, AboveTheMaximumAlsoWarns) {
  const WordsRun run = Words({QStringLiteral("12000000")});
  EXPECT_EQ(run.exit_code, 0);
  // Only the last seven digits are spoken.
  EXPECT_EQ(run.out.toStdString(), QStringLiteral("שני מליון   ש\"ח  בלבד \n").toStdString());
  EXPECT_EQ(run.err.toStdString(),
            QStringLiteral("הסכום המכסימאלי הנתמך בתוכנית זו הוא 9,999,999.99\n").toStdString());
}

TEST(WordsCommand, OneAmountOnly) {
  EXPECT_EQ(Words({}).exit_code, 2);
  EXPECT_EQ(Words({QStringLiteral("1"), QStringLiteral("2")}).exit_code, 2);
}
