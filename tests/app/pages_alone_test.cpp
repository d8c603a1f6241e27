// The register page and the cheque page built alone over an active account,
// without the main window.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/cheques/cheque_page.h"
#include "app/common/active_account.h"
#include "app/common/busy_notice.h"
#include "app/common/calendar_dialog.h"
#include "app/register/register_grid.h"
#include "app/register/register_page.h"
#include "app/register/transaction_dialog.h"
#include "core/files/account_list.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

// A folder whose list holds "בית" (file Xct1, next cheque 0000099).
void WriteList(const TestHome& home) {
  AccountDefinition account;
  account.name = u"בית"_s;
  account.file_base = u"Xct1"_s;
  account.account_number = u"4711"_s;
  account.next_cheque = u"0000099"_s;
  account.opening_balance = u"1000"_s;
  AccountList list;
  list.Append(account);
  QVERIFY(list.Write(home.Path(u"Accts.dat"_s)));
}

QString SavedNextCheque(const TestHome& home) {
  const auto list = AccountList::Read(home.Path(u"Accts.dat"_s));
  const AccountDefinition* found = list ? list->Find(u"בית") : nullptr;
  return found != nullptr ? found->next_cheque : QString();
}

class PagesAloneTest : public QObject {
  Q_OBJECT

 private slots:
  // The account's file, and a file that cannot be read is never saved over.
  void ActiveAccountOpensByName() {
    struct Case {
      const char16_t* why;
      const char16_t* name;
      bool file_is_folder;
      const char16_t* file;
      bool loaded;
    };
    const Case cases[] = {
        {u"listed", u"בית", false, u"Xct1.dat", true},
        {u"not in the list", u"אחר", false, u"Default.dat", true},
        {u"unreadable", u"בית", true, u"Xct1.dat", false},
    };
    for (const Case& test : cases) {
      TestHome home;
      WriteList(home);
      const QString file = home.Path(QString::fromUtf16(test.file));
      if (test.file_is_folder) QVERIFY(QDir().mkdir(file));
      ActiveAccount account(QDir(home.Path({})).path());
      QCOMPARE(account.Load(QString::fromUtf16(test.name)), test.loaded);
      QCOMPARE(account.FilePath(), file);
      QCOMPARE(account.Title(), QString::fromUtf16(test.name));
      QVERIFY(account.Save());
      QCOMPARE(QFileInfo(file).isDir(), test.file_is_folder);
      if (!test.loaded) QVERIFY(account.LoadErrorMessage().contains(u"Xct1.dat"_s));
    }
  }

  void RegisterPageTypesAnAmountThatTheSaveKeeps() {
    TestHome home;
    WriteList(home);
    ActiveAccount account(QDir(home.Path({})).path());
    TSplash splash;
    TCalander calendar(home.services);
    TDateFrm dialog(home.services, calendar);
    dialog.Attach(account);
    RegisterPage page(home.services, account, splash, dialog);
    page.resize(600, 400);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.LoadAccount(u"בית"_s);
    QVERIFY(account.IsLoaded());
    QVERIFY(account.FilePath().endsWith(u"/Xct1.dat"_s));

    // Row 0 is the opening balance; its income is typed in place.
    QVERIFY(page.Grid().SelectCell(0, kIncomeColumn));
    QTest::keyClicks(page.Grid().viewport(), u"2"_s);
    QTest::keyClicks(QApplication::focusWidget(), u"50"_s);
    QCOMPARE(account.Rows().Cell(0, kIncomeColumn), u"250"_s);
    QVERIFY(page.SaveAccount());
    Register saved;
    QCOMPARE(LoadAccountFile(account.FilePath(), u"0", saved), AccountFileStatus::kRead);
    QCOMPARE(saved.Cell(0, kIncomeColumn), u"250"_s);
    QCOMPARE(home.prompter.AskedTexts(), QStringList());
  }

  // The next number goes into the account list; a list that cannot take it
  // is told, while the printed cheque stays entered.
  void ChequePageRecordsTheNextNumber_data() {
    QTest::addColumn<bool>("list_breaks");
    QTest::newRow("saved") << false;
    QTest::newRow("list gone") << true;
  }
  void ChequePageRecordsTheNextNumber() {
    QFETCH(bool, list_breaks);
    TestHome home;
    WriteList(home);
    ActiveAccount account(QDir(home.Path({})).path());
    TCalander calendar(home.services);
    ChequePage page(home.services, account, calendar);
    page.show();
    QApplication::setActiveWindow(&page);
    QVERIFY(QTest::qWaitForWindowActive(&page));
    QVERIFY(account.Load(u"בית"_s));
    QCOMPARE(page.findChild<QLineEdit*>(u"EdtChkNm"_s)->text(), u"0000099"_s);
    if (list_breaks) {
      QVERIFY(QFile::remove(home.Path(u"Accts.dat"_s)));
      QVERIFY(QDir(home.Path({})).mkdir(u"Accts.dat"_s));  // not a file: no list to read
    }
    TypeInto(&page, u"EdtName"_s, u"ועד הבית"_s);
    TypeInto(&page, u"EdtAmount"_s, u"250.5"_s);
    auto* print = page.findChild<QPushButton*>(u"BtnPrntChk"_s);
    print->setFocus();
    QTest::mouseClick(print, Qt::LeftButton);

    QCOMPARE(home.printer.files.size(), 1);
    QCOMPARE(account.Rows().RowCount(), 3);
    QCOMPARE(account.Rows().Cell(1, kExpenseColumn), u"250.5"_s);
    QCOMPARE(page.findChild<QLineEdit*>(u"EdtChkNm"_s)->text(), u"0000100"_s);
    if (list_breaks) {
      QCOMPARE(home.prompter.AskedTexts(),
               QStringList{u"לא ניתן לשמור את מספר השק הבא ברשימת החשבונות"_s});
      QCOMPARE(home.prompter.Asked().front().caption, u"שגיאה"_s);
    } else {
      QCOMPARE(home.prompter.AskedTexts(), QStringList());
      QCOMPARE(SavedNextCheque(home), u"0000100"_s);
    }
  }
};

}  // namespace
}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::PagesAloneTest)
#include "pages_alone_test.moc"
