#include "core/register/open_account.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/files/program_folder.h"

using namespace cheque;
using namespace Qt::StringLiterals;

namespace {

const QDate kToday(2020, 3, 1);

// Two records: an expense dated after the income below it, so a date sort shows.
const QByteArray kTwoRecords =
    "100\r\n\r\n\r\n2/1/2020\r\n\r\n5\r\nlater\r\n+\r\n"
    "105\r\n\r\n\r\n1/1/2020\r\n5\r\n\r\nearlier\r\n+\r\n";

AccountDefinition Account(const QString& name, const QString& base, const QString& opening) {
  AccountDefinition account;
  account.name = name;
  account.file_base = base;
  account.opening_balance = opening;
  return account;
}

}  // namespace

TEST(OpenAccount, FindsLoadsAndSorts) {
  struct Case {
    const char* name;
    bool with_list;
    QString account;
    bool sort;
    QString file;  // expected: the file opened, in the folder
    bool defined;
    AccountFileStatus status;
    QString row0;  // description and balance of row 0
  };
  using enum AccountFileStatus;
  const Case cases[] = {
      {"found with ASCII letter case ignored, then date sorted", true, u"HOME"_s, true,
       u"Xct1.dat"_s, true, kRead, u"earlier 105"_s},
      {"kept in file order when the caller sorts", true, u"home"_s, false, u"Xct1.dat"_s, true,
       kRead, u"later 100"_s},
      {"a missing file is created: the account's opening balance", true, u"חדש"_s, true,
       u"Xct2.dat"_s, true, kCreatedEmpty, u"יתרת פתיחה 250"_s},
      {"an unsafe file base opens Default.dat", true, u"escape"_s, true, u"Default.dat"_s, true,
       kCreatedEmpty, u"יתרת פתיחה 300"_s},
      {"an unknown name opens Default.dat as a new account", true, u"אין כזה"_s, true,
       u"Default.dat"_s, false, kCreatedEmpty, u"יתרת פתיחה 0"_s},
      {"no account list: Default.dat still", false, u"home"_s, true, u"Default.dat"_s, false,
       kCreatedEmpty, u"יתרת פתיחה 0"_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    if (c.with_list) {
      AccountList list;
      list.Append(Account(u"Home"_s, u"Xct1"_s, u"7"_s));
      list.Append(Account(u"חדש"_s, u"Xct2"_s, u"250"_s));
      list.Append(Account(u"escape"_s, u"../Xct1"_s, u"300"_s));
      ASSERT_TRUE(list.Write(dir.filePath(file_names::kAccountList)));
    }
    ASSERT_TRUE(WriteFileAtomic(dir.filePath(u"Xct1.dat"_s), kTwoRecords));

    Register reg;
    AccountOpenOptions options;
    options.sort_by_date = c.sort;
    const OpenedAccount opened = OpenAccount(dir.path(), c.account, kToday, reg, options);
    EXPECT_EQ(opened.location.path, dir.filePath(c.file));
    EXPECT_EQ(opened.location.default_file, c.file == u"Default.dat");
    EXPECT_EQ(opened.location.definition.has_value(), c.defined);
    EXPECT_EQ(opened.file.status, c.status);
    EXPECT_EQ(opened.file.error, ReadError::kNone);
    EXPECT_EQ(reg.Cell(0, kDescriptionColumn) + u' ' + reg.Cell(0, kBalanceColumn), c.row0);
    EXPECT_EQ(reg.NeedsSorting(), !c.sort);
  }
}
