#include "app/shell/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <array>

#include "app/common/busy_notice.h"
#include "app/register/register_page.h"
#include "app/register/search_dialog.h"
#include "app/shell/account_data_dialog.h"
#include "app/shell/first_time.h"
#include "app/shell/intro_screen.h"
#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/files/personal_details.h"
#include "tests/app/app_test_support.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

namespace {

AccountDefinition Account(const QString& name, const QString& base,
                          const QString& opening = QStringLiteral("0")) {
  AccountDefinition a;
  a.name = name;
  a.file_base = base;
  a.account_number = QStringLiteral("12345");
  a.opening_balance = opening;
  return a;
}

// A program folder after the first run: details, and the given accounts.
void PrepareHome(TestHome& home, const std::vector<AccountDefinition>& accounts) {
  PersonalDetails details;
  details.first_name = QStringLiteral("דנה");
  details.family_name = QStringLiteral("לוי");
  details.business_name = QStringLiteral("לוי בע\"מ");
  QVERIFY(details.Write(home.Path(QStringLiteral("AcMyData.Dat"))));
  AccountList list;
  for (const auto& a : accounts) list.Append(a);
  QVERIFY(list.Write(home.Path(QStringLiteral("Accts.dat"))));
}

// Starts the program past the launcher, on the register page.
bool StartOnRegister(TForm1& window) {
  ModalScript script;
  script.Expect(QStringLiteral("TIntroScr"),
                [](QWidget* w) { static_cast<TIntroScr*>(w)->ChooseArea(0); });
  return window.Start() && script.Done();
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void FirstRunCreatesDetailsAndAccount() {
    TestHome home;
    TForm1 window(home.services);
    ModalScript script;
    script.Expect(QStringLiteral("TPrivateDta"), [](QWidget* w) {
      TypeInto(w, QStringLiteral("EdtFirstName"), QStringLiteral("דנה"));
      TypeInto(w, QStringLiteral("EdtFamilyName"), QStringLiteral("לוי"));
      TypeInto(w, QStringLiteral("EdtBusinessName"), QStringLiteral("לוי ובניו"));
      ClickButton(w, QStringLiteral("אישור"));
    });
    script.Expect(QStringLiteral("TAccountData"), [](QWidget* w) {
      TypeInto(w, QStringLiteral("ActEdtName"), QStringLiteral("בית"));
      TypeInto(w, QStringLiteral("ActEdtActNum"), QStringLiteral("4711"));
      TypeInto(w, QStringLiteral("ActEdtFrm"), QStringLiteral("3000"));
      TypeInto(w, QStringLiteral("Edit8"), QStringLiteral("1500"));
      ClickButton(w, QStringLiteral("אישור"));
    });
    script.Expect(QStringLiteral("TIntroScr"),
                  [](QWidget* w) { static_cast<TIntroScr*>(w)->ChooseArea(0); });
    QVERIFY(window.Start());
    QVERIFY(script.Done());
    QCOMPARE(PersonalDetails::Read(home.Path(QStringLiteral("AcMyData.Dat")))->business_name,
             QStringLiteral("לוי ובניו"));
    const auto list = AccountList::Read(home.Path(QStringLiteral("Accts.dat")));
    QVERIFY(list.has_value());
    QCOMPARE(list->Names(), QStringList{QStringLiteral("בית")});
    QCOMPARE(list->Accounts().front().file_base, QStringLiteral("Xct1"));
    QCOMPARE(window.ActiveTitle(), QStringLiteral("בית"));
    QCOMPARE(window.ActiveRegister().Cell(0, kBalanceColumn), QStringLiteral("1500"));
    QCOMPARE(window.ActiveRegister().Cell(0, kDescriptionColumn), QStringLiteral("יתרת פתיחה"));
  }

  void FirstRunCancelledCreatesNothing() {
    TestHome home;
    TForm1 window(home.services);
    ModalScript script;
    home.prompter.Answer(MessageAnswer::kYes);  // "? האם ברצונך לסיים"
    script.Expect(QStringLiteral("TPrivateDta"),
                  [](QWidget* w) { ClickButton(w, QStringLiteral("ביטול")); });
    QVERIFY(!window.Start());
    QStringList files = QDir(home.Path(QString())).entryList(QDir::Files);
    files.removeAll(QStringLiteral("DCateg.dat"));
    files.removeAll(QStringLiteral("DCategB.dat"));
    QCOMPARE(files, QStringList());
  }

  // Details present, account list missing: only the account dialog, then the launcher.
  void FirstRunAsksOnlyForWhatIsMissing() {
    TestHome home;
    PrepareHome(home, {});
    QFile::remove(home.Path(QStringLiteral("Accts.dat")));
    TForm1 window(home.services);
    ModalScript script;
    script.Expect(QStringLiteral("TAccountData"),
                  [](QWidget* w) { ClickButton(w, QStringLiteral("ביטול")); });
    home.prompter.Answer(MessageAnswer::kYes);
    QVERIFY(!window.Start());
    QVERIFY(!QFile::exists(home.Path(QStringLiteral("Accts.dat"))));
  }

  void LauncherExitEndsWithoutSaving() {
    TestHome home;
    PrepareHome(home, {Account(QStringLiteral("עסק"), QStringLiteral("Xct1"))});
    TForm1 window(home.services);
    ModalScript script;
    script.Expect(QStringLiteral("TIntroScr"),
                  [](QWidget* w) { static_cast<TIntroScr*>(w)->ChooseArea(3); });
    QVERIFY(!window.Start());
    QVERIFY(!QFile::exists(home.Path(QStringLiteral("Cheque.ini"))));
    QVERIFY(!QFile::exists(home.Path(QStringLiteral("Xct1.dat"))));
    QVERIFY(home.sounds.played.contains(QStringLiteral("Close.wav")));
  }

  void SwitchingThenExitNamesTheNewAccount() {
    TestHome home;
    PrepareHome(home,
                {Account(QStringLiteral("בית"), QStringLiteral("Xct1"), QStringLiteral("100")),
                 Account(QStringLiteral("עסק"), QStringLiteral("Xct2"), QStringLiteral("250"))});
    QVERIFY(WriteLastAccountName(home.Path(QStringLiteral("Cheque.ini")), QStringLiteral("בית")));
    TForm1 window(home.services);
    QVERIFY(StartOnRegister(window));
    QCOMPARE(window.ActiveTitle(), QStringLiteral("בית"));
    QCOMPARE(window.ActiveRegister().Cell(0, kBalanceColumn), QStringLiteral("100"));
    QVERIFY(!window.ActiveRegister().NeedsSorting());  // opened in date order

    // Dialogs have their own ComboBox1; the account list is the top panel's.
    auto* combo = window.findChild<QWidget*>(QStringLiteral("Panel8"))
                      ->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->count(), 2);
    window.SwitchAccount(QStringLiteral("עסק"));
    QCOMPARE(window.ActiveTitle(), QStringLiteral("עסק"));
    QCOMPARE(window.ActiveRegister().Cell(0, kBalanceColumn), QStringLiteral("250"));
    QVERIFY(window.ActiveAccountFile().endsWith(QStringLiteral("/Xct2.dat")));
    // The account left was saved on the switch.
    QVERIFY(QFile::exists(home.Path(QStringLiteral("Xct1.dat"))));

    window.ExitProgram();
    QCOMPARE(ReadLastAccountName(home.Path(QStringLiteral("Cheque.ini"))).value_or(QString()),
             QStringLiteral("עסק"));
    Register saved;
    QCOMPARE(LoadAccountFile(home.Path(QStringLiteral("Xct2.dat")), u"0", saved),
             AccountFileStatus::kRead);
    QCOMPARE(saved.Cell(0, kDescriptionColumn), QStringLiteral("יתרת פתיחה"));
  }

  // Opening an account ends with the date sort, the reconciliation and the balances.
  void OpenedAccountIsSortedAndBalanced() {
    TestHome home;
    PrepareHome(home, {Account(QStringLiteral("בית"), QStringLiteral("Xct1"))});
    // balance, category, type, date, income, expense, description, mark
    QVERIFY(WriteTextLines(home.Path(QStringLiteral("Xct1.dat")), {QStringLiteral("50"),
                                                                   QStringLiteral("בנק\\יתרה"),
                                                                   QStringLiteral("יתרה "),
                                                                   QStringLiteral("31/1/2026"),
                                                                   {},
                                                                   {},
                                                                   QStringLiteral("יתרה בבנק"),
                                                                   QStringLiteral("+"),
                                                                   {},
                                                                   QStringLiteral("קניות"),
                                                                   QStringLiteral("אשראי "),
                                                                   QStringLiteral("5/1/2026"),
                                                                   {},
                                                                   QStringLiteral("20"),
                                                                   QStringLiteral("סופר"),
                                                                   {},
                                                                   QStringLiteral("100"),
                                                                   QStringLiteral("בנק\\יתרה"),
                                                                   QStringLiteral("יתרת פתיחה"),
                                                                   QStringLiteral("1/1/1990"),
                                                                   {},
                                                                   {},
                                                                   QStringLiteral("יתרת פתיחה"),
                                                                   {},
                                                                   {},
                                                                   QStringLiteral("משכורות"),
                                                                   QStringLiteral("העברה "),
                                                                   QStringLiteral("10/1/2026"),
                                                                   QStringLiteral("70"),
                                                                   {},
                                                                   QStringLiteral("משכורת"),
                                                                   QStringLiteral("+")}));
    TForm1 window(home.services);
    QVERIFY(StartOnRegister(window));
    const Register& reg = window.ActiveRegister();
    QCOMPARE(reg.RowCount(), 5);
    const QString expected[][2] = {{QStringLiteral("יתרת פתיחה"), QStringLiteral("100")},
                                   {QStringLiteral("משכורת"), QStringLiteral("170")},
                                   {QStringLiteral("יתרה בבנק"), QStringLiteral("50")},
                                   {QStringLiteral("סופר"), QStringLiteral("30")}};
    for (int row = 0; row < 4; ++row) {
      QCOMPARE(reg.Cell(row, kDescriptionColumn), expected[row][0]);
      QCOMPARE(reg.Cell(row, kBalanceColumn), expected[row][1]);
    }
  }

  // Saving and opening again pass the file by when it already holds the
  // rows; a change, its undo and a file changed behind the program's back
  // still reach it, and an account opened again is in date order.
  void SaveAndReopenFollowTheRows() {
    TestHome home;
    PrepareHome(home, {Account(QStringLiteral("בית"), QStringLiteral("Xct1"))});
    const QString file = home.Path(QStringLiteral("Xct1.dat"));
    // (description, category, date) in file order: neither date nor category order
    const auto write = [&](const std::vector<std::array<QString, 3>>& rows) {
      QStringList lines;
      for (const auto& r : rows)
        lines << QString() << r[1] << QStringLiteral("מזומן ") << r[2] << QString()
              << QStringLiteral("10") << r[0] << QString();
      QVERIFY(WriteTextLines(file, lines));
    };
    write({{QStringLiteral("ב"), QStringLiteral("שונות"), QStringLiteral("3/1/2026")},
           {QStringLiteral("א"), QStringLiteral("מזון"), QStringLiteral("2/1/2026")},
           {QStringLiteral("ג"), QStringLiteral("דלק"), QStringLiteral("4/1/2026")}});
    const auto texts = [](const Register& reg) {
      QStringList out;
      for (int row = 0; row + 1 < reg.RowCount(); ++row) out << reg.Cell(row, kDescriptionColumn);
      return out;
    };
    const auto on_disk = [&] {
      Register reg;
      LoadAccountFile(file, u"0", reg);
      return texts(reg);
    };
    TForm1 window(home.services);
    const auto shown = [&] { return texts(window.ActiveRegister()); };
    QVERIFY(StartOnRegister(window));
    const QStringList by_date = {QStringLiteral("א"), QStringLiteral("ב"), QStringLiteral("ג")};
    const QStringList by_category = {QStringLiteral("ג"), QStringLiteral("א"), QStringLiteral("ב")};
    QCOMPARE(shown(), by_date);
    QVERIFY(window.SaveAccount());
    QCOMPARE(on_disk(), by_date);
    window.RegisterView().SortRegister(kCategoryColumn);
    QVERIFY(window.SaveAccount());
    QCOMPARE(on_disk(), by_category);
    window.RegisterView().Undo();
    QVERIFY(window.SaveAccount());
    QCOMPARE(on_disk(), by_date);
    window.RegisterView().SortRegister(kCategoryColumn);
    QVERIFY(window.SaveAccount());
    window.LoadAccount(QStringLiteral("בית"), false);
    QCOMPARE(shown(), by_date);
    // Unchanged since it was opened and saved: the same rows, no undo.
    QVERIFY(window.SaveAccount());
    window.LoadAccount(QStringLiteral("בית"), false);
    QCOMPARE(shown(), by_date);
    QVERIFY(!window.RegisterView().findChild<QToolButton*>(QStringLiteral("SBUndo"))->isEnabled());
    write({{QStringLiteral("ד"), QStringLiteral("מזון"), QStringLiteral("1/1/2026")}});
    window.LoadAccount(QStringLiteral("בית"), false);
    QCOMPARE(shown(), QStringList{QStringLiteral("ד")});
    QFile::remove(file);
    QVERIFY(window.SaveAccount());
    QCOMPARE(on_disk(), QStringList{QStringLiteral("ד")});
  }

  // Renaming the active account keeps its transactions and its place.
  void RenamingTheActiveAccountKeepsItOpen() {
    TestHome home;
    PrepareHome(home,
                {Account(QStringLiteral("בית"), QStringLiteral("Xct1"), QStringLiteral("42"))});
    TForm1 window(home.services);
    QVERIFY(StartOnRegister(window));
    ModalScript script;
    script.Expect(QStringLiteral("TAccountData"), [](QWidget* w) {
      TypeInto(w, QStringLiteral("ActEdtName"), QStringLiteral("בית ומשפחה"));
      ClickButton(w, QStringLiteral("אישור"));
    });
    QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("ImgAct")), Qt::LeftButton);
    QVERIFY(script.Done());
    QCOMPARE(window.ActiveTitle(), QStringLiteral("בית ומשפחה"));
    QVERIFY(window.ActiveAccountFile().endsWith(QStringLiteral("/Xct1.dat")));
    QCOMPARE(window.ActiveRegister().Cell(0, kBalanceColumn), QStringLiteral("42"));
    window.ExitProgram();
    QCOMPARE(ReadLastAccountName(home.Path(QStringLiteral("Cheque.ini"))).value_or(QString()),
             QStringLiteral("בית ומשפחה"));
  }

  void ExitWhileBusyDoesNotSave() {
    TestHome home;
    PrepareHome(home, {Account(QStringLiteral("בית"), QStringLiteral("Xct1"))});
    TForm1 window(home.services);
    QVERIFY(StartOnRegister(window));
    QFile::remove(home.Path(QStringLiteral("Xct1.dat")));
    window.Splash().ShowBusy(QStringLiteral("..."));
    window.close();
    QVERIFY(!QFile::exists(home.Path(QStringLiteral("Cheque.ini"))));
    QVERIFY(!QFile::exists(home.Path(QStringLiteral("Xct1.dat"))));
    window.Splash().HideBusy();
    window.close();
    QVERIFY(QFile::exists(home.Path(QStringLiteral("Cheque.ini"))));
  }

  // A stale name in Cheque.ini opens the first account, not an empty register under a lost name.
  void StaleLastAccountOpensTheFirst() {
    TestHome home;
    PrepareHome(home,
                {Account(QStringLiteral("עסק"), QStringLiteral("Xct4"), QStringLiteral("7"))});
    QVERIFY(WriteLastAccountName(home.Path(QStringLiteral("Cheque.ini")), QStringLiteral("נמחק")));
    TForm1 window(home.services);
    QVERIFY(StartOnRegister(window));
    QCOMPARE(window.ActiveTitle(), QStringLiteral("עסק"));
    QVERIFY(window.ActiveAccountFile().endsWith(QStringLiteral("/Xct4.dat")));
  }

  // A file base that names a path outside the folder is never used.
  void UnsafeFileBaseIsNeverUsed() {
    TestHome home;
    PrepareHome(home, {Account(QStringLiteral("רע"), QStringLiteral("../outside"))});
    TForm1 window(home.services);
    QVERIFY(StartOnRegister(window));
    QVERIFY(!window.ActiveAccountFile().contains(QStringLiteral("outside")));
    window.ExitProgram();
    QVERIFY(!QFile::exists(home.Path(QStringLiteral("../outside.dat"))));
  }

  void FailedSaveTellsTheUser() {
    TestHome home;
    PrepareHome(home, {Account(QStringLiteral("בית"), QStringLiteral("Xct1"))});
    TForm1 window(home.services);
    QVERIFY(StartOnRegister(window));
    // A folder where the account file should be: the save cannot replace it.
    QFile::remove(home.Path(QStringLiteral("Xct1.dat")));
    QVERIFY(QDir(home.Path(QString())).mkdir(QStringLiteral("Xct1.dat")));
    home.prompter.Forget();
    QVERIFY(!window.SaveAccount());
    QCOMPARE(home.prompter.Asked().size(), size_t{1});
    QCOMPARE(home.prompter.Asked().front().caption, QStringLiteral("שגיאה"));
  }

  // An account file that cannot be read is reported and never saved over.
  void UnreadableAccountIsNeverSaved() {
    TestHome home;
    PrepareHome(home, {Account(QStringLiteral("בית"), QStringLiteral("Xct1"))});
    QVERIFY(QDir(home.Path(QString())).mkdir(QStringLiteral("Xct1.dat")));
    TForm1 window(home.services);
    QVERIFY(StartOnRegister(window));
    QCOMPARE(home.prompter.Asked().size(), size_t{1});
    window.ExitProgram();
    QCOMPARE(home.prompter.Asked().size(), size_t{1});
    QVERIFY(QFileInfo(home.Path(QStringLiteral("Xct1.dat"))).isDir());
  }

  // Every tool has a picture of its own, drawn from the program's set.
  void EveryToolHasItsOwnPicture() {
    TestHome home;
    TForm1 window(home.services);
    QStringList names;
    std::vector<QImage> pictures;
    for (const QToolButton* tool : window.findChildren<QToolButton*>()) {
      if (!tool->objectName().startsWith(u"Img") && !tool->objectName().startsWith(u"SB")) continue;
      const QImage picture = tool->icon().pixmap(tool->iconSize()).toImage();
      QVERIFY2(!picture.isNull(), qPrintable(tool->objectName()));
      for (size_t i = 0; i < pictures.size(); ++i) {
        QVERIFY2(picture != pictures[i], qPrintable(tool->objectName() + u" = "_s + names[i]));
      }
      names.append(tool->objectName());
      pictures.push_back(picture);
    }
    QCOMPARE(names.size(), 22);
  }

  // The backup tool opens the backup window, no longer a notice that it is
  // not active; Cancel there asks nothing.
  void BackupToolOpensTheBackupWindow() {
    TestHome home;
    PrepareHome(home, {Account(u"בית"_s, u"Xct1"_s)});
    TForm1 window(home.services);
    QVERIFY(StartOnRegister(window));
    home.prompter.Forget();
    ModalScript script;
    script.Expect(u"TBackItUp"_s, [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    QTest::mouseClick(window.findChild<QToolButton*>(u"ImgBak"_s), Qt::LeftButton);
    QVERIFY(script.Done());
    QVERIFY(home.prompter.Asked().empty());
  }

  // The search window gives way to dialogs, and Escape closes it.
  void SearchWindowGivesWayAndEscapeClosesIt() {
    TestHome home;
    PrepareHome(home, {Account(u"בית"_s, u"Xct1"_s)});
    TForm1 window(home.services);
    window.show();
    QVERIFY(StartOnRegister(window));
    QTest::keyClick(&window, Qt::Key_F3);
    TSrchFrm& search = window.RegisterView().SearchForm();
    QVERIFY(!(search.windowFlags() & Qt::WindowStaysOnTopHint));
    QTRY_VERIFY(search.isActiveWindow());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!search.isVisible());
  }

  // The first-run banner lies beside the dialogs it introduces, never over them.
  void FirstRunBannerLeavesTheDialogsFree() {
    TestHome home;
    TForm1 window(home.services);
    window.show();
    const QWidget& banner = window.FirstTime();
    QVERIFY(!(banner.windowFlags() & Qt::WindowStaysOnTopHint));
    QStringList covered;
    const auto check = [&](QWidget* dialog) {
      if (banner.frameGeometry().intersects(dialog->frameGeometry()))
        covered.append(dialog->objectName());
    };
    ModalScript script;
    script.Expect(u"TPrivateDta"_s, [&](QWidget* w) {
      check(w);
      TypeInto(w, u"EdtFirstName"_s, u"דנה"_s);
      TypeInto(w, u"EdtFamilyName"_s, u"לוי"_s);
      TypeInto(w, u"EdtBusinessName"_s, u"לוי ובניו"_s);
      ClickButton(w, u"אישור"_s);
    });
    script.Expect(u"TAccountData"_s, [&](QWidget* w) {
      check(w);
      ClickButton(w, u"ביטול"_s);
    });
    home.prompter.Answer(MessageAnswer::kYes);
    QVERIFY(!window.Start());
    QVERIFY(script.Done());
    QCOMPARE(covered, QStringList());
  }

  // Above the dialog where the screen has room, else below it, else beside it.
  void BannerPlaces_data() {
    QTest::addColumn<QRect>("dialog");
    QTest::addColumn<QPoint>("expected");
    // A 300 x 70 banner on a 1280 x 900 screen.
    QTest::newRow("above") << QRect(400, 300, 480, 300) << QPoint(489, 222);
    QTest::newRow("below, the dialog at the top") << QRect(400, 20, 480, 600) << QPoint(489, 628);
    QTest::newRow("left, the dialog as tall as the screen")
        << QRect(400, 0, 480, 900) << QPoint(92, 0);
    QTest::newRow("right, no room at the left") << QRect(100, 0, 480, 900) << QPoint(588, 0);
    QTest::newRow("nowhere free: the screen's corner") << QRect(0, 0, 1280, 900) << QPoint(0, 0);
  }

  void BannerPlaces() {
    QFETCH(QRect, dialog);
    QFETCH(QPoint, expected);
    QCOMPARE(BannerPlace(QSize(300, 70), dialog, QRect(0, 0, 1280, 900)), expected);
  }

  void AutosaveAfterFourMinutesOnTheRegister() {
    TestHome home;
    PrepareHome(home, {Account(QStringLiteral("בית"), QStringLiteral("Xct1"))});
    TForm1 window(home.services);
    QVERIFY(StartOnRegister(window));
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(window.isActiveWindow());
    QFile::remove(home.Path(QStringLiteral("Xct1.dat")));
    for (int i = 0; i < 3 * 240; ++i) window.TimerTick();
    QVERIFY(!QFile::exists(home.Path(QStringLiteral("Xct1.dat"))));
    for (int i = 0; i < 3; ++i) window.TimerTick();
    QVERIFY(QFile::exists(home.Path(QStringLiteral("Xct1.dat"))));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
