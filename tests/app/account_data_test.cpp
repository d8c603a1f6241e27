#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "app/shell/account_data_dialog.h"
#include "core/files/line_file.h"
#include "core/text/codec.h"
#include "tests/app/app_test_support.h"

#ifdef Q_OS_UNIX
#include <signal.h>
#include <sys/resource.h>
#endif

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

const QString kBlankPhone = QStringLiteral("0 -   -    ");
const QString kBlankMobile = QStringLiteral("05 -   -    ");

template <typename T = QLineEdit>
T* Child(QWidget& dialog, const QString& name) {
  T* child = dialog.findChild<T*>(name);
  if (child == nullptr) qFatal("no control %s", qPrintable(name));
  return child;
}

QString FocusName(QWidget& dialog) {
  return dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
}

// Replaces the text of a field as a user would, so the dialog sees an edit.
void Put(QWidget& dialog, const QString& field, const QString& text) {
  QLineEdit* edit = Child(dialog, field);
  edit->setFocus();
  edit->selectAll();
  if (text.isEmpty()) {
    QTest::keyClick(edit, Qt::Key_Delete);
  } else {
    edit->insert(text);
  }
}

// Types one key press per character, Hebrew and surrogate pairs included.
void Type(QWidget* widget, const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, n), Qt::NoModifier);
    i += n - 1;
  }
}

// Picks an entry of the drop-down as the user does.
void Choose(QWidget& dialog, const QString& name) {
  auto* combo = Child<QComboBox>(dialog, u"ComboBox1"_s);
  const int index = combo->findText(name);
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

void PressOk(QWidget& dialog) { QTest::mouseClick(Child<QPushButton>(dialog, u"OKBtn"_s), Qt::LeftButton); }

AccountDefinition Account(const QString& name, const QString& base, bool business = true) {
  AccountDefinition a;
  a.name = name;
  a.file_base = base;
  a.bank = name + QStringLiteral(" בנק");
  a.phone = kBlankPhone;
  a.fax = kBlankPhone;
  a.mobile = kBlankMobile;
  a.account_number = QStringLiteral("100");
  a.business = business;
  return a;
}

void WriteList(const TestHome& home, const std::vector<AccountDefinition>& accounts) {
  AccountList list;
  for (const auto& a : accounts) list.Append(a);
  QVERIFY(list.Write(home.Path(QStringLiteral("Accts.dat"))));
}

void Touch(const TestHome& home, const QString& name) {
  QFile file(home.Path(name));
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("1\r\n");
}

QByteArray ListBytes(const TestHome& home) {
  return ReadFileBytes(home.Path(QStringLiteral("Accts.dat"))).value_or(QByteArray());
}

bool Open(QDialog& dialog) {
  dialog.show();
  return QTest::qWaitForWindowActive(&dialog);
}

void FillRequired(QWidget& dialog) {
  Put(dialog, u"ActEdtName"_s, QStringLiteral("חשבון הבית"));
  Put(dialog, u"ActEdtActNum"_s, QStringLiteral("123-456"));
  Put(dialog, u"ActEdtFrm"_s, QStringLiteral("5000"));
  Put(dialog, u"Edit8"_s, QStringLiteral("1200.50"));
}

}  // namespace

class AccountDataTest : public QObject {
  Q_OBJECT

 private slots:
  void firstSaveCreatesList() {
    TestHome home;
    TAccountData dialog(home.services);
    QSignalSpy names(&dialog, &TAccountData::NamesChanged);
    QCOMPARE(dialog.AccountFileName(), home.Path(QStringLiteral("Default.dat")));
    QVERIFY(Open(dialog));
    QVERIFY(!Child<QComboBox>(dialog, u"ComboBox1"_s)->isVisible());
    QCOMPARE(FocusName(dialog), u"ActEdtName"_s);

    FillRequired(dialog);
    Put(dialog, u"Edit2"_s, QStringLiteral("לאומי"));
    Child<QPushButton>(dialog, u"OKBtn"_s)->click();  // without the focus: nothing
    QVERIFY(!QFile::exists(home.Path(QStringLiteral("Accts.dat"))));
    PressOk(dialog);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const QStringList expected = {QStringLiteral("חשבון הבית"), u"Xct1"_s, QStringLiteral("לאומי"),
                                  QString(), QString(), kBlankPhone, kBlankPhone, kBlankMobile,
                                  u"123-456"_s, u"5000"_s, QString(), u"1"_s, u"1200.50"_s,
                                  u"17"_s};
    QByteArray bytes;
    for (const QString& line : expected) bytes += EncodeWin1255Bytes(line) + "\r\n";
    QCOMPARE(ListBytes(home), bytes);
    QCOMPARE(dialog.AccountFileName(), home.Path(QStringLiteral("Xct1.dat")));
    QCOMPARE(names.count(), 1);
    QCOMPARE(names[0][0].toStringList(), QStringList{QStringLiteral("חשבון הבית")});
    QCOMPARE(names[0][1].toString(), QStringLiteral("חשבון הבית"));
  }

  void missingRequiredField_data() {
    QTest::addColumn<QStringList>("emptied");
    QTest::addColumn<QString>("focus");
    QTest::newRow("name") << QStringList{u"ActEdtName"_s} << u"ActEdtName"_s;
    QTest::newRow("account number") << QStringList{u"ActEdtActNum"_s} << u"ActEdtActNum"_s;
    QTest::newRow("credit limit") << QStringList{u"ActEdtFrm"_s} << u"ActEdtFrm"_s;
    QTest::newRow("VAT") << QStringList{u"Edit1"_s} << u"Edit1"_s;
    QTest::newRow("opening balance") << QStringList{u"Edit8"_s} << u"Edit8"_s;
    QTest::newRow("number before balance") << QStringList{u"Edit8"_s, u"ActEdtActNum"_s}
                                           << u"ActEdtActNum"_s;
    QTest::newRow("VAT before balance") << QStringList{u"Edit8"_s, u"Edit1"_s} << u"Edit1"_s;
  }

  void missingRequiredField() {
    QFETCH(QStringList, emptied);
    QFETCH(QString, focus);
    TestHome home;
    TAccountData dialog(home.services);
    QVERIFY(Open(dialog));
    FillRequired(dialog);
    for (const QString& field : emptied) Put(dialog, field, QString());
    PressOk(dialog);

    QCOMPARE(home.prompter.Asked().size(), size_t{1});
    const AskedMessage& asked = home.prompter.Asked()[0];
    QCOMPARE(asked.caption, QStringLiteral("שגיאה"));
    QCOMPARE(asked.text, QStringLiteral("יש להגדיר לפחות חשבון אחד. הקש על \"חשבון חדש\" \r"
                                        "... או מלא את הפרטים החסרים"));
    QVERIFY(!QFile::exists(home.Path(QStringLiteral("Accts.dat"))));
    QVERIFY(dialog.isVisible());
    QCOMPARE(FocusName(dialog), focus);
  }

  void renameKeepsFileBase() {
    TestHome home;
    WriteList(home, {Account(QStringLiteral("בית"), u"Xct1"_s), Account(QStringLiteral("עסק"), u"Xct2"_s)});
    TAccountData dialog(home.services);
    QSignalSpy names(&dialog, &TAccountData::NamesChanged);
    dialog.SelectName(QStringLiteral("עסק"));
    QVERIFY(Open(dialog));
    QCOMPARE(Child(dialog, u"Edit2"_s)->text(), QStringLiteral("עסק בנק"));
    Put(dialog, u"ActEdtName"_s, QStringLiteral("אלף עסק"));
    PressOk(dialog);

    const auto list = AccountList::Read(home.Path(QStringLiteral("Accts.dat")));
    QVERIFY(list && list->Accounts().size() == 2);
    QCOMPARE(list->Accounts()[0].ToLines(), Account(QStringLiteral("בית"), u"Xct1"_s).ToLines());
    QCOMPARE(list->Accounts()[1].name, QStringLiteral("אלף עסק"));
    QCOMPARE(list->Accounts()[1].file_base, u"Xct2"_s);
    QCOMPARE(list->Accounts()[1].bank, QStringLiteral("עסק בנק"));
    QCOMPARE(names.count(), 1);
    QCOMPARE(names[0][0].toStringList(), (QStringList{QStringLiteral("אלף עסק"), QStringLiteral("בית")}));
  }

  void newAccountFileBase_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two files") << QStringList{u"Xct1.dat"_s, u"Xct2.dat"_s} << u"Xct3"_s;
    QTest::newRow("gap") << QStringList{u"Xct1.dat"_s, u"Xct7.dat"_s} << u"Xct8"_s;
    // The listed account has no data file yet: its base is still taken.
    QTest::newRow("listed, no file") << QStringList{} << u"Xct2"_s;
  }

  void newAccountFileBase() {
    QFETCH(QStringList, files);
    QFETCH(QString, expected);
    TestHome home;
    WriteList(home, {Account(u"Home"_s, u"Xct1"_s, false)});
    for (const QString& file : files) Touch(home, file);
    TAccountData dialog(home.services);
    QVERIFY(Open(dialog));
    QTest::mouseClick(Child<QPushButton>(dialog, u"BtnNew"_s), Qt::LeftButton);

    QVERIFY(!Child<QComboBox>(dialog, u"ComboBox1"_s)->isVisible());
    QVERIFY(!Child<QLabel>(dialog, u"LblComboBox1"_s)->isVisible());
    QCOMPARE(dialog.AccountFileName(), QString());
    AccountDefinition defaults;
    defaults.file_base = expected;
    defaults.phone = defaults.fax = kBlankPhone;
    defaults.mobile = kBlankMobile;
    QCOMPARE(dialog.Definition().ToLines(), defaults.ToLines());
    Put(dialog, u"ActEdtName"_s, u"Shop"_s);
    Put(dialog, u"ActEdtActNum"_s, u"9"_s);
    PressOk(dialog);

    const auto list = AccountList::Read(home.Path(QStringLiteral("Accts.dat")));
    QVERIFY(list && list->Accounts().size() == 2);
    QCOMPARE(list->Accounts()[1].file_base, expected);
    QCOMPARE(list->Accounts()[1].next_cheque, u"0000000"_s);
    QVERIFY(list->Accounts()[1].business);
    QCOMPARE(dialog.AccountNames(), (QStringList{u"Home"_s, u"Shop"_s}));
    QVERIFY(Child<QComboBox>(dialog, u"ComboBox1"_s)->isVisibleTo(&dialog));
  }

  void deleteActiveAccountRefused() {
    TestHome home;
    WriteList(home, {Account(u"Home"_s, u"Xct1"_s), Account(u"Shop"_s, u"Xct2"_s)});
    Touch(home, u"Xct1.dat"_s);
    const QByteArray before = ListBytes(home);
    TAccountData dialog(home.services);
    dialog.SetActiveAccountTitle(u"HOME"_s);
    dialog.SelectName(u"Home"_s);
    QVERIFY(Open(dialog));
    QTest::mouseClick(Child<QPushButton>(dialog, u"BtnDelete"_s), Qt::LeftButton);

    QCOMPARE(home.prompter.Asked().size(), size_t{1});
    QCOMPARE(home.prompter.Asked()[0].caption, QStringLiteral("אזהרה"));
    QCOMPARE(home.prompter.Asked()[0].kind, MessageKind::kWarning);
    QCOMPARE(home.prompter.Asked()[0].text,
             QStringLiteral("אין אפשרות למחוק חשבון פעיל, עבור קודם לחשבון אחר במסך התנועות"));
    QCOMPARE(ListBytes(home), before);
    QVERIFY(QFile::exists(home.Path(u"Xct1.dat"_s)));
  }

  void deleteConfirmations_data() {
    QTest::addColumn<QString>("answers");  // Y yes, N no, O OK, C cancel
    QTest::addColumn<bool>("deleted");
    QTest::newRow("yes, OK") << u"YO"_s << true;
    QTest::newRow("no") << u"N"_s << false;
    QTest::newRow("yes, cancel") << u"YC"_s << false;
  }

  void deleteConfirmations() {
    QFETCH(QString, answers);
    QFETCH(bool, deleted);
    TestHome home;
    WriteList(home, {Account(u"Cash"_s, u"Xct1"_s), Account(u"Bank"_s, u"Xct2"_s),
                     Account(u"Loan"_s, u"Xct3"_s)});
    for (const auto* file : {u"Xct1.dat", u"Xct2.dat", u"Xct3.dat"}) Touch(home, QString::fromUtf16(file));
    const QByteArray before = ListBytes(home);
    for (const QChar a : answers) {
      home.prompter.Answer(a == u'Y'   ? MessageAnswer::kYes
                           : a == u'N' ? MessageAnswer::kNo
                           : a == u'O' ? MessageAnswer::kOk
                                       : MessageAnswer::kCancel);
    }
    TAccountData dialog(home.services);
    QSignalSpy names(&dialog, &TAccountData::NamesChanged);
    dialog.SetActiveAccountTitle(u"Cash"_s);
    dialog.SelectName(u"Cash"_s);
    QVERIFY(Open(dialog));
    Choose(dialog, u"Loan"_s);
    QCOMPARE(dialog.AccountFileName(), home.Path(u"Xct3.dat"_s));
    QTest::mouseClick(Child<QPushButton>(dialog, u"BtnDelete"_s), Qt::LeftButton);

    const auto& asked = home.prompter.Asked();
    QCOMPARE(asked.size(), size_t(answers.size()));
    QCOMPARE(asked[0].text, QStringLiteral("!!! הנך עומד למחוק לחלוטין חשבון זה\r"
                                           ".לאחר המחיקה אין כל אפשרות לשחזר את התנועות בחשבון\r"
                                           "? האם ברצונך להמשיך במחיקה"));
    QCOMPARE(asked[0].buttons, MessageButtons::kYesNo);
    if (asked.size() > 1) {
      QCOMPARE(asked[1].text, QStringLiteral("? האם אתה בטוח שברצונך למחוק את החשבון\r! אזהרה לפני מחיקה"));
      QCOMPARE(asked[1].buttons, MessageButtons::kOkCancel);
    }
    QCOMPARE(QFile::exists(home.Path(u"Xct3.dat"_s)), !deleted);
    QVERIFY(QFile::exists(home.Path(u"Xct1.dat"_s)) && QFile::exists(home.Path(u"Xct2.dat"_s)));
    if (!deleted) {
      QCOMPARE(ListBytes(home), before);
      QCOMPARE(names.count(), 0);
      return;
    }
    const auto list = AccountList::Read(home.Path(QStringLiteral("Accts.dat")));
    QCOMPARE(list->Names(), (QStringList{u"Cash"_s, u"Bank"_s}));
    QCOMPARE(dialog.SelectedName(), u"Bank"_s);
    QCOMPARE(Child(dialog, u"ActEdtName"_s)->text(), u"Bank"_s);
    QCOMPARE(names.count(), 1);
    QCOMPARE(names[0][0].toStringList(), (QStringList{u"Bank"_s, u"Cash"_s}));
    QCOMPARE(names[0][1].toString(), u"Bank"_s);
  }

  // Deleting an account removes its file only when that file is its own.
  void deleteKeepsFilesNotItsOwn_data() {
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("other_base");
    QTest::addColumn<QString>("kept_file");
    QTest::newRow("path in the base") << u"sub/Keep"_s << u"Xct1"_s << u"sub/Keep.dat"_s;
    QTest::newRow("base shared") << u"Xct1"_s << u"Xct1"_s << u"Xct1.dat"_s;
  }

  void deleteKeepsFilesNotItsOwn() {
    QFETCH(QString, base);
    QFETCH(QString, other_base);
    QFETCH(QString, kept_file);
    TestHome home;
    QDir(home.Path(QString())).mkdir(u"sub"_s);
    WriteList(home, {Account(u"Odd"_s, base), Account(u"Main"_s, other_base)});
    Touch(home, kept_file);
    home.prompter.Answer(MessageAnswer::kYes);
    home.prompter.Answer(MessageAnswer::kOk);
    TAccountData dialog(home.services);
    dialog.SelectName(u"Odd"_s);
    QVERIFY(Open(dialog));
    QTest::mouseClick(Child<QPushButton>(dialog, u"BtnDelete"_s), Qt::LeftButton);

    QCOMPARE(AccountList::Read(home.Path(QStringLiteral("Accts.dat")))->Names(), QStringList{u"Main"_s});
    QVERIFY(QFile::exists(home.Path(kept_file)));
  }

  void failedWriteChangesNothing_data() {
    QTest::addColumn<bool>("existing_list");
    QTest::newRow("new list, folder in the way") << false;
#ifdef Q_OS_UNIX
    QTest::newRow("rewrite, disk full") << true;
#endif
  }

  void failedWriteChangesNothing() {
    QFETCH(bool, existing_list);
    TestHome home;
    if (existing_list) {
      WriteList(home, {Account(u"Home"_s, u"Xct1"_s)});
    } else {
      QDir(home.Path(QString())).mkdir(u"Accts.dat"_s);
    }
    const QByteArray before = ListBytes(home);
    TAccountData dialog(home.services);
    QSignalSpy names(&dialog, &TAccountData::NamesChanged);
    QVERIFY(Open(dialog));
    const QStringList shown = dialog.AccountNames();
    FillRequired(dialog);
#ifdef Q_OS_UNIX
    // With a file size limit of nothing the write fails as on a full disk.
    rlimit old_limit{};
    getrlimit(RLIMIT_FSIZE, &old_limit);
    const auto old_handler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_limit;
    limit.rlim_cur = existing_list ? 0 : old_limit.rlim_cur;
    setrlimit(RLIMIT_FSIZE, &limit);
#endif
    const bool saved = dialog.SaveAccountDefinition();
#ifdef Q_OS_UNIX
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);
#endif
    // QSaveFile::commit() of Qt 6.4 ignores a failed flush of its buffer, so the
    // core's atomic write needs to flush and check before committing.
    QEXPECT_FAIL("rewrite, disk full", "WriteFileAtomic commits a file whose flush failed", Abort);
    QVERIFY(!saved);
    QCOMPARE(home.prompter.Asked().size(), size_t{1});
    QVERIFY(home.prompter.Asked()[0].text.startsWith(QStringLiteral("לא ניתן לשמור את הגדרות החשבון")));
    QCOMPARE(ListBytes(home), before);
    QCOMPARE(dialog.AccountNames(), shown);
    QCOMPARE(names.count(), 0);
  }

  void enterOrder_data() {
    QTest::addColumn<bool>("business");
    QTest::newRow("business") << true;
    QTest::newRow("private") << false;
  }

  void enterOrder() {
    QFETCH(bool, business);
    TestHome home;
    WriteList(home, {Account(u"Home"_s, u"Xct1"_s, business)});
    const QByteArray before = ListBytes(home);
    TAccountData dialog(home.services);
    QVERIFY(Open(dialog));
    QStringList order{FocusName(dialog)};
    for (int i = 0; i < 13; ++i) {
      QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
      order.append(FocusName(dialog));
    }
    QCOMPARE(order, (QStringList{u"ActEdtName"_s, u"ActEdtActNum"_s, u"Edit7"_s, u"Edit2"_s,
                                 u"Edit3"_s, u"ActEdtFrm"_s, u"Edit5"_s, u"MaskEdit4"_s,
                                 u"MaskEdit5"_s, u"MaskEdit2"_s,
                                 business ? u"RBBusiness"_s : u"RBNoBusiness"_s, u"Edit8"_s,
                                 u"Edit1"_s, u"OKBtn"_s}));
    QVERIFY(dialog.isVisible());
    QVERIFY(home.prompter.Asked().empty());
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(ListBytes(home), before);
  }

  void numericFields_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<bool>("refused");
    QTest::newRow("cheque number") << u"Edit7"_s << u"12a"_s << u"12"_s << true;
    QTest::newRow("credit limit, letter alone") << u"ActEdtFrm"_s << u"x"_s << QString() << true;
    QTest::newRow("opening balance, fraction") << u"Edit8"_s << u"-1.5"_s << u"-1.5"_s << false;
    QTest::newRow("VAT, thousands separator") << u"Edit1"_s << u"1,"_s << u"1,"_s << true;
    QTest::newRow("bank is free text") << u"Edit2"_s << u"12a"_s << u"12a"_s << false;
  }

  void numericFields() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QFETCH(bool, refused);
    TestHome home;
    TAccountData dialog(home.services);
    QVERIFY(Open(dialog));
    QLineEdit* edit = Child(dialog, field);
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, typed);

    QCOMPARE(edit->text(), kept);
    QCOMPARE(home.prompter.AskedTexts(),
             refused ? QStringList{QStringLiteral("רק ערכים מספריים מותרים כאן")} : QStringList());
    if (refused) QCOMPARE(edit->selectedText(), kept);
  }

  void unsupportedCharacters_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("named");  // the character the message names, empty if accepted
    QTest::newRow("emoji") << u"ActEdtName"_s << u"ab\U0001F600"_s << false << u"7ab"_s
                           << u"\U0001F600"_s;
    QTest::newRow("Arabic") << u"Edit2"_s << QStringLiteral("ب") << false << u"7"_s
                            << QStringLiteral("ب");
    QTest::newRow("line break") << u"ActEdtActNum"_s << u"1\n2"_s << true << u"7"_s << u"U+000A"_s;
    QTest::newRow("Ctrl-Z") << u"Edit5"_s << u"a\x1a"_s << true << u"7"_s << u"U+001A"_s;
    QTest::newRow("numeric field, one box") << u"Edit8"_s << u"\U0001F600"_s << false << u"7"_s
                                            << u"\U0001F600"_s;
    QTest::newRow("Hebrew points and euro") << u"ActEdtName"_s << QStringLiteral("שָׁלוֹם €") << false
                                           << QStringLiteral("7שָׁלוֹם €") << QString();
  }

  void unsupportedCharacters() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, pasted);
    QFETCH(QString, kept);
    QFETCH(QString, named);
    TestHome home;
    TAccountData dialog(home.services);
    QVERIFY(Open(dialog));
    QLineEdit* edit = Child(dialog, field);
    edit->setText(u"7"_s);
    edit->setFocus();
    edit->end(false);
    if (pasted) {
      edit->insert(typed);
    } else {
      Type(edit, typed);
    }

    QCOMPARE(edit->text(), kept);
    const auto& asked = home.prompter.Asked();
    QCOMPARE(asked.size(), size_t(named.isEmpty() ? 0 : 1));
    if (named.isEmpty()) return;
    QCOMPARE(asked[0].caption, QStringLiteral("שגיאה"));
    QVERIFY(asked[0].text.contains(named));
    QVERIFY(asked[0].text.contains(QStringLiteral("אינו נתמך")));
  }

  void cancel_data() {
    QTest::addColumn<bool>("with_accounts");
    QTest::addColumn<bool>("escape");
    QTest::addColumn<bool>("answer_yes");
    QTest::addColumn<bool>("closed");
    QTest::newRow("no account, yes") << false << false << true << true;
    QTest::newRow("no account, no") << false << false << false << false;
    QTest::newRow("no account, Escape, no") << false << true << false << false;
    QTest::newRow("accounts") << true << false << false << true;
  }

  void cancel() {
    QFETCH(bool, with_accounts);
    QFETCH(bool, escape);
    QFETCH(bool, answer_yes);
    QFETCH(bool, closed);
    TestHome home;
    if (with_accounts) WriteList(home, {Account(u"Home"_s, u"Xct1"_s)});
    home.prompter.Answer(answer_yes ? MessageAnswer::kYes : MessageAnswer::kNo);
    TAccountData dialog(home.services);
    QSignalSpy names(&dialog, &TAccountData::NamesChanged);
    QVERIFY(Open(dialog));
    if (escape) {
      QTest::keyClick(dialog.focusWidget(), Qt::Key_Escape);
    } else {
      QTest::mouseClick(Child<QPushButton>(dialog, u"CancelBtn"_s), Qt::LeftButton);
    }

    QCOMPARE(dialog.isVisible(), !closed);
    if (closed) QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(home.prompter.AskedTexts(),
             with_accounts ? QStringList()
                           : QStringList{QStringLiteral("...\"יש להגדיר לפחות חשבון אחד. הקש על \"חשבון חדש\r"
                                                        "? האם ברצונך לסיים")});
    QCOMPARE(names.count(), 1);
    QVERIFY(!QFile::exists(home.Path(QStringLiteral("Accts.dat"))) || with_accounts);
  }

  void showSelectsAndLooksUp() {
    TestHome home;
    WriteList(home, {Account(u"Gamma"_s, u"Xct1"_s), Account(u"alpha"_s, u"Xct2"_s),
                     Account(u"Beta"_s, u"Xct3"_s, false)});
    TAccountData dialog(home.services);
    dialog.SelectName(u"BETA"_s);
    QVERIFY(Open(dialog));
    QCOMPARE(dialog.AccountNames(), (QStringList{u"alpha"_s, u"Beta"_s, u"Gamma"_s}));
    QCOMPARE(dialog.SelectedName(), u"Beta"_s);
    QCOMPARE(dialog.Definition().ToLines(), Account(u"Beta"_s, u"Xct3"_s, false).ToLines());
    QCOMPARE(dialog.AccountFileName(), home.Path(u"Xct3.dat"_s));
    QCOMPARE(FocusName(dialog), u"ActEdtName"_s);

    // New, then Cancel: showing again drops the new entry and its hidden drop-down.
    QTest::mouseClick(Child<QPushButton>(dialog, u"BtnNew"_s), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(dialog, u"CancelBtn"_s), Qt::LeftButton);
    QVERIFY(Open(dialog));
    QVERIFY(Child<QComboBox>(dialog, u"ComboBox1"_s)->isVisible());
    QCOMPARE(dialog.Definition().name, u"Beta"_s);
    Put(dialog, u"Edit3"_s, u"12"_s);
    PressOk(dialog);
    QCOMPARE(AccountList::Read(home.Path(QStringLiteral("Accts.dat")))->Accounts().size(), size_t{3});
  }

  void enteringDropDownSavesChanges() {
    TestHome home;
    WriteList(home, {Account(u"Home"_s, u"Xct1"_s), Account(u"Shop"_s, u"Xct2"_s)});
    TAccountData dialog(home.services);
    QVERIFY(Open(dialog));
    Put(dialog, u"Edit2"_s, QStringLiteral("דיסקונט"));
    Child<QComboBox>(dialog, u"ComboBox1"_s)->setFocus(Qt::TabFocusReason);
    QCOMPARE(AccountList::Read(home.Path(QStringLiteral("Accts.dat")))->Find(u"Home")->bank,
             QStringLiteral("דיסקונט"));
  }

  // The cheque page saves the account last looked up, whatever the drop-down shows.
  void savingWhileClosedRewritesLookedUpAccount() {
    TestHome home;
    WriteList(home, {Account(u"Home"_s, u"Xct1"_s), Account(u"Shop"_s, u"Xct2"_s)});
    TAccountData dialog(home.services);
    QVERIFY(dialog.LookUpAccount(u"Shop"_s));
    dialog.SetNextChequeNumber(u"0000042"_s);
    QVERIFY(dialog.SaveAccountDefinition());
    const auto list = AccountList::Read(home.Path(QStringLiteral("Accts.dat")));
    QCOMPARE(list->Find(u"Shop")->next_cheque, u"0000042"_s);
    QCOMPARE(list->Find(u"Home")->ToLines(), Account(u"Home"_s, u"Xct1"_s).ToLines());
  }

  void duplicateNames_data() {
    QTest::addColumn<bool>("new_account");
    QTest::addColumn<QString>("edited");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("saved");
    QTest::newRow("new account, other case") << true << QString() << u"HOME"_s << false;
    QTest::newRow("rename onto another") << false << u"Shop"_s << u"home"_s << false;
    QTest::newRow("rename own case") << false << u"Home"_s << u"HOME"_s << true;
  }

  void duplicateNames() {
    QFETCH(bool, new_account);
    QFETCH(QString, edited);
    QFETCH(QString, name);
    QFETCH(bool, saved);
    TestHome home;
    WriteList(home, {Account(u"Home"_s, u"Xct1"_s), Account(u"Shop"_s, u"Xct2"_s)});
    const QByteArray before = ListBytes(home);
    TAccountData dialog(home.services);
    if (!new_account) dialog.SelectName(edited);
    QVERIFY(Open(dialog));
    if (new_account) {
      QTest::mouseClick(Child<QPushButton>(dialog, u"BtnNew"_s), Qt::LeftButton);
      Put(dialog, u"ActEdtActNum"_s, u"5"_s);
    }
    Put(dialog, u"ActEdtName"_s, name);
    PressOk(dialog);
    QCOMPARE(dialog.isVisible(), !saved);
    QCOMPARE(ListBytes(home) == before, !saved);
    if (!saved) QCOMPARE(FocusName(dialog), u"ActEdtName"_s);
  }

};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::AccountDataTest)
#include "account_data_test.moc"
