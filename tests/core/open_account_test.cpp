#include "core/files/open_account.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
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
    AccountOpenMode mode;
    bool sort;
    // Expected:
    QString file;  // the file opened, in the folder
    bool defined;
    AccountFileStatus status;
    ReadError error;
    QString first_description;  // of row 0 after opening; "-" for no rows
  };
  using enum AccountFileStatus;
  const auto create = AccountOpenMode::kCreateMissing;
  const auto read_only = AccountOpenMode::kReadOnly;
  const Case cases[] = {
      {"found with ASCII letter case ignored, then date sorted", true, u"HOME"_s, create, true,
       u"Xct1.dat"_s, true, kRead, ReadError::kNone, u"earlier"_s},
      {"kept in file order when the caller sorts", true, u"home"_s, create, false,
       u"Xct1.dat"_s, true, kRead, ReadError::kNone, u"later"_s},
      {"a missing file is created with the account's opening balance", true, u"חדש"_s, create,
       true, u"Xct2.dat"_s, true, kCreatedEmpty, ReadError::kNone, u"יתרת פתיחה"_s},
      {"read only never creates it", true, u"חדש"_s, read_only, true, u"Xct2.dat"_s, true,
       kUnavailable, ReadError::kMissing, u"-"_s},
      {"an unsafe file base opens Default.dat", true, u"escape"_s, create, true,
       u"Default.dat"_s, true, kCreatedEmpty, ReadError::kNone, u"יתרת פתיחה"_s},
      {"an unknown name opens Default.dat", true, u"אין כזה"_s, create, true, u"Default.dat"_s,
       false, kCreatedEmpty, ReadError::kNone, u"יתרת פתיחה"_s},
      {"no account list: Default.dat still", false, u"home"_s, create, true, u"Default.dat"_s,
       false, kCreatedEmpty, ReadError::kNone, u"יתרת פתיחה"_s},
      {"a folder in place of the file is never read nor replaced", true, u"folder"_s, create,
       true, u"Xct3.dat"_s, true, kUnavailable, ReadError::kFolder, u"-"_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const QString folder = dir.path();
    if (c.with_list) {
      AccountList list;
      list.Append(Account(u"Home"_s, u"Xct1"_s, u"7"_s));
      list.Append(Account(u"חדש"_s, u"Xct2"_s, u"250"_s));
      list.Append(Account(u"escape"_s, u"../Xct1"_s, u"300"_s));
      list.Append(Account(u"folder"_s, u"Xct3"_s, u"0"_s));
      ASSERT_TRUE(list.Write(dir.filePath(file_names::kAccountList)));
    }
    ASSERT_TRUE(WriteFileAtomic(dir.filePath(u"Xct1.dat"_s), kTwoRecords));
    ASSERT_TRUE(QDir(folder).mkdir(u"Xct3.dat"_s));

    Register reg;
    AccountOpenOptions options;
    options.mode = c.mode;
    options.sort_by_date = c.sort;
    const OpenedAccount opened = OpenAccount(folder, c.account, kToday, reg, options);
    EXPECT_EQ(opened.location.path, dir.filePath(c.file));
    EXPECT_EQ(opened.location.default_file, c.file == u"Default.dat");
    EXPECT_EQ(opened.location.definition.has_value(), c.defined);
    EXPECT_EQ(opened.location.list_read, c.with_list);
    EXPECT_EQ(opened.file.status, c.status);
    EXPECT_EQ(opened.file.error, c.error);
    EXPECT_EQ(QFileInfo(opened.location.path).isFile(), c.status != kUnavailable);
    EXPECT_EQ(reg.RowCount() > 1 ? reg.Cell(0, kDescriptionColumn) : u"-"_s,
              c.first_description);
    EXPECT_EQ(reg.NeedsSorting(), !c.sort && c.status != kUnavailable);
    if (c.status == kCreatedEmpty) {
      EXPECT_EQ(reg.Cell(0, kBalanceColumn), OpeningBalanceOf(opened.location));
    }
  }
}

TEST(OpenAccount, OpeningBalanceOfAnEmptyFile) {
  AccountLocation location;
  EXPECT_EQ(OpeningBalanceOf(location), u"0"_s);  // a name no list holds
  location.definition = Account(u"a"_s, u"CON"_s, u"300"_s);
  EXPECT_EQ(OpeningBalanceOf(location), u"300"_s);
}
