#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/shell/account_data_dialog.h"
#include "core/files/line_file.h"
#include "tests/app/app_test_support.h"

#ifdef Q_OS_UNIX
#include <signal.h>
#include <sys/resource.h>
#endif

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

const QString kBlankPhone = u"0 -   -    "_s;
const QString kBlankMobile = u"05 -   -    "_s;
const QString kList = u"Accts.dat"_s;

template <typename T = QLineEdit>
T* Child(QWidget& dialog, const QString& name) {
  T* child = dialog.findChild<T*>(name);
  if (child == nullptr) qFatal("no control %s", qPrintable(name));
  return child;
}

QString FocusName(QWidget& dialog) {
  return dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
}

void Click(QWidget& dialog, const QString& button) {
  QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
}

// Replaces the text of a field as a paste would, so the dialog sees an edit.
void Put(QWidget& dialog, const QString& field, const QString& text) {
  QLineEdit* edit = Child(dialog, field);
  edit->setFocus();
  edit->selectAll();
  text.isEmpty() ? QTest::keyClick(edit, Qt::Key_Delete) : edit->insert(text);
}

void FillRequired(QWidget& dialog) {
  Put(dialog, u"ActEdtName"_s, u"חשבון הבית"_s);
  Put(dialog, u"ActEdtActNum"_s, u"123-456"_s);
  Put(dialog, u"ActEdtFrm"_s, u"5000"_s);
  Put(dialog, u"Edit8"_s, u"1200.50"_s);
}

AccountDefinition Account(const QString& name, const QString& base, bool business = true) {
  AccountDefinition a;
  a.name = name;
  a.file_base = base;
  a.bank = name + u" בנק"_s;
  a.phone = a.fax = kBlankPhone;
  a.mobile = kBlankMobile;
  a.account_number = u"100"_s;
  a.business = business;
  return a;
}

// Writes the account list, and empty files of these names.
void Prepare(const TestHome& home, const std::vector<AccountDefinition>& accounts,
             const QStringList& files = {}) {
  AccountList list;
  for (const auto& a : accounts) list.Append(a);
  if (!accounts.empty()) QVERIFY(list.Write(home.Path(kList)));
  for (const QString& name : files) QVERIFY(QFile(home.Path(name)).open(QIODevice::WriteOnly));
}

QByteArray ListBytes(const TestHome& home) {
  return ReadFileBytes(home.Path(kList)).value_or(QByteArray());
}

std::vector<AccountDefinition> Listed(const TestHome& home) {
  const auto list = AccountList::Read(home.Path(kList));
  return list ? list->Accounts() : std::vector<AccountDefinition>();
}

bool Open(QDialog& dialog) {
  dialog.show();
  return QTest::qWaitForWindowActive(&dialog);
}

}  // namespace

class AccountDataTest : public QObject {
  Q_OBJECT

 private slots:
  // A new account, on a first run or after New: the defaults, the next free
  // file base, and the record written.
  void newAccount_data() {
    QTest::addColumn<bool>("first_run");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("base");
    QTest::newRow("first run") << true << QStringList() << u"Xct1"_s;
    QTest::newRow("gap") << false << QStringList{u"Xct1.dat"_s, u"Xct7.dat"_s} << u"Xct8"_s;
    // The listed account has no data file yet, but its base is taken.
    QTest::newRow("listed, no file") << false << QStringList() << u"Xct2"_s;
  }

  void newAccount() {
    QFETCH(bool, first_run);
    QFETCH(QStringList, files);
    QFETCH(QString, base);
    TestHome home;
    if (!first_run) Prepare(home, {Account(u"Home"_s, u"Xct1"_s, false)}, files);
    const QByteArray before = ListBytes(home);
    TAccountData dialog(home.services);
    QSignalSpy names(&dialog, &TAccountData::NamesChanged);
    QVERIFY(Open(dialog));
    if (!first_run) Click(dialog, u"BtnNew"_s);
    QVERIFY(!Child<QComboBox>(dialog, u"ComboBox1"_s)->isVisible());
    QVERIFY(!Child<QLabel>(dialog, u"LblComboBox1"_s)->isVisible());
    QCOMPARE(dialog.AccountFileName(), first_run ? home.Path(u"Default.dat"_s) : QString());
    AccountDefinition defaults;
    defaults.file_base = base;
    defaults.phone = defaults.fax = kBlankPhone;
    defaults.mobile = kBlankMobile;
    QCOMPARE(dialog.Definition().ToLines(), defaults.ToLines());
    FillRequired(dialog);
    Put(dialog, u"Edit2"_s, u"לאומי"_s);
    Child<QPushButton>(dialog, u"OKBtn"_s)->click();  // OK without the focus does nothing
    QCOMPARE(ListBytes(home), before);
    Click(dialog, u"OKBtn"_s);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(ListBytes(home),
             before + JoinLines({u"חשבון הבית"_s, base, u"לאומי"_s, QString(), QString(),
                                 kBlankPhone, kBlankPhone, kBlankMobile, u"123-456"_s, u"5000"_s,
                                 u"0000000"_s, u"1"_s, u"1200.50"_s, u"18"_s}));
    QCOMPARE(dialog.AccountFileName(), home.Path(base + u".dat"_s));
    const QStringList listed =
        first_run ? QStringList{u"חשבון הבית"_s} : QStringList{u"Home"_s, u"חשבון הבית"_s};
    QCOMPARE(dialog.AccountNames(), listed);
    QCOMPARE(names.count(), 1);
    QCOMPARE(names[0], (QVariantList{listed, u"חשבון הבית"_s}));
    QVERIFY(Child<QComboBox>(dialog, u"ComboBox1"_s)->isVisibleTo(&dialog));
  }

  void missingRequiredField_data() {
    QTest::addColumn<QStringList>("emptied");
    QTest::addColumn<QString>("focus");
    for (const QString& field :
         {u"ActEdtName"_s, u"ActEdtActNum"_s, u"ActEdtFrm"_s, u"Edit1"_s, u"Edit8"_s}) {
      QTest::newRow(qPrintable(field)) << QStringList{field} << field;
    }
    QTest::newRow("number before balance")
        << QStringList{u"Edit8"_s, u"ActEdtActNum"_s} << u"ActEdtActNum"_s;
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
    Click(dialog, u"OKBtn"_s);

    QCOMPARE(home.prompter.AskedTexts(),
             QStringList{u"יש להגדיר לפחות חשבון אחד. הקש על \"חשבון חדש\" \r"
                         u"... או מלא את הפרטים החסרים"_s});
    QCOMPARE(home.prompter.Asked()[0].caption, u"שגיאה"_s);
    QVERIFY(!QFile::exists(home.Path(kList)));
    QVERIFY(dialog.isVisible());
    QCOMPARE(FocusName(dialog), focus);
  }

  // Renaming keeps the record's place and file base; no two accounts may share
  // a name, letter case aside.
  void naming_data() {
    QTest::addColumn<QString>("edited");  // empty for a new account
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("names");  // as listed after saving; empty when refused
    QTest::newRow("new account, other case") << QString() << u"HOME"_s << QStringList();
    QTest::newRow("rename onto another") << u"Shop"_s << u"home"_s << QStringList();
    QTest::newRow("rename own case") << u"Home"_s << u"HOME"_s << QStringList{u"HOME"_s, u"Shop"_s};
    QTest::newRow("rename") << u"Shop"_s << u"Alef"_s << QStringList{u"Alef"_s, u"Home"_s};
  }

  void naming() {
    QFETCH(QString, edited);
    QFETCH(QString, name);
    QFETCH(QStringList, names);
    TestHome home;
    const std::vector<AccountDefinition> accounts = {Account(u"Home"_s, u"Xct1"_s),
                                                     Account(u"Shop"_s, u"Xct2"_s)};
    Prepare(home, accounts);
    const QByteArray before = ListBytes(home);
    TAccountData dialog(home.services);
    QSignalSpy changed(&dialog, &TAccountData::NamesChanged);
    dialog.SelectName(edited);
    QVERIFY(Open(dialog));
    if (edited.isEmpty()) {
      Click(dialog, u"BtnNew"_s);
      Put(dialog, u"ActEdtActNum"_s, u"5"_s);
    }
    Put(dialog, u"ActEdtName"_s, name);
    Click(dialog, u"OKBtn"_s);

    const bool saved = !names.isEmpty();
    QCOMPARE(dialog.isVisible(), !saved);
    QCOMPARE(changed.count(), saved ? 1 : 0);
    if (!saved) {
      QCOMPARE(ListBytes(home), before);
      QCOMPARE(FocusName(dialog), u"ActEdtName"_s);
      return;
    }
    QCOMPARE(changed[0], (QVariantList{names, name}));
    std::vector<AccountDefinition> expected = accounts;
    expected[edited == u"Home"_s ? 0 : 1].name = name;
    const auto listed = Listed(home);
    QCOMPARE(listed.size(), size_t{2});
    for (size_t i = 0; i < 2; ++i) QCOMPARE(listed[i].ToLines(), expected[i].ToLines());
  }

  void deleting_data() {
    QTest::addColumn<QString>("active");
    QTest::addColumn<QString>("base");     // of the account deleted, "Loan"
    QTest::addColumn<QString>("answers");  // one per message: Y yes, N no, O OK, C cancel
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<bool>("file_deleted");
    QTest::newRow("active account") << u"LOAN"_s << u"Xct3"_s << u"O"_s << false << false;
    QTest::newRow("yes, OK") << u"Cash"_s << u"Xct3"_s << u"YO"_s << true << true;
    QTest::newRow("no") << u"Cash"_s << u"Xct3"_s << u"N"_s << false << false;
    QTest::newRow("yes, cancel") << u"Cash"_s << u"Xct3"_s << u"YC"_s << false << false;
    QTest::newRow("path in the base") << u"Cash"_s << u"sub/Xct3"_s << u"YO"_s << true << false;
    QTest::newRow("base of another") << u"Cash"_s << u"Xct1"_s << u"YO"_s << true << false;
  }

  void deleting() {
    QFETCH(QString, active);
    QFETCH(QString, base);
    QFETCH(QString, answers);
    QFETCH(bool, deleted);
    QFETCH(bool, file_deleted);
    TestHome home;
    QDir(home.Path(QString())).mkdir(u"sub"_s);
    const QString own_file = base + u".dat"_s;
    Prepare(
        home,
        {Account(u"Cash"_s, u"Xct1"_s), Account(u"Bank"_s, u"Xct2"_s), Account(u"Loan"_s, base)},
        {u"Xct1.dat"_s, u"Xct2.dat"_s, own_file});
    const QByteArray before = ListBytes(home);
    for (const QChar a : answers) {
      home.prompter.Answer(a == u'Y'   ? MessageAnswer::kYes
                           : a == u'N' ? MessageAnswer::kNo
                           : a == u'O' ? MessageAnswer::kOk
                                       : MessageAnswer::kCancel);
    }
    TAccountData dialog(home.services);
    QSignalSpy names(&dialog, &TAccountData::NamesChanged);
    dialog.SetActiveAccountTitle(active);
    QVERIFY(Open(dialog));
    auto* combo = Child<QComboBox>(dialog, u"ComboBox1"_s);
    combo->setCurrentIndex(combo->findText(u"Loan"_s));
    emit combo->activated(combo->currentIndex());
    Click(dialog, u"BtnDelete"_s);

    const QStringList texts =
        active != u"Cash"_s
            ? QStringList{u"אין אפשרות למחוק חשבון פעיל, עבור קודם לחשבון אחר במסך התנועות"_s}
            : QStringList{
                  u"!!! הנך עומד למחוק לחלוטין חשבון זה\r.לאחר המחיקה אין כל אפשרות לשחזר את "
                  u"התנועות בחשבון\r? האם ברצונך להמשיך במחיקה"_s,
                  u"? האם אתה בטוח שברצונך למחוק את החשבון\r! אזהרה לפני מחיקה"_s};
    QCOMPARE(home.prompter.AskedTexts(), texts.mid(0, answers.size()));
    QCOMPARE(home.prompter.Asked()[0].kind, MessageKind::kWarning);
    QCOMPARE(home.prompter.Asked()[0].caption, u"אזהרה"_s);
    QCOMPARE(QFile::exists(home.Path(own_file)), !file_deleted);
    QVERIFY(QFile::exists(home.Path(u"Xct2.dat"_s)));
    QCOMPARE(names.count(), deleted ? 1 : 0);
    if (!deleted) {
      QCOMPARE(ListBytes(home), before);
      return;
    }
    QCOMPARE(Listed(home).size(), size_t{2});
    QCOMPARE(Child(dialog, u"ActEdtName"_s)->text(), u"Bank"_s);  // the first, looked up
    QCOMPARE(names[0], (QVariantList{QStringList{u"Bank"_s, u"Cash"_s}, u"Bank"_s}));
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
    Prepare(home, {Account(u"Home"_s, u"Xct1"_s)});
    if (!existing_list) {
      QFile::remove(home.Path(kList));
      QDir(home.Path(QString())).mkdir(kList);
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
    if (existing_list) limit.rlim_cur = 0;
    setrlimit(RLIMIT_FSIZE, &limit);
#endif
    const bool saved = dialog.SaveAccountDefinition();
#ifdef Q_OS_UNIX
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);
#endif
    QVERIFY(!saved);
    QCOMPARE(home.prompter.Asked().size(), size_t{1});
    QVERIFY(home.prompter.Asked()[0].text.startsWith(u"לא ניתן לשמור את הגדרות החשבון"_s));
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
    Prepare(home, {Account(u"Home"_s, u"Xct1"_s, business)});
    const QByteArray before = ListBytes(home);
    TAccountData dialog(home.services);
    QVERIFY(Open(dialog));
    QStringList order{FocusName(dialog)};
    for (int i = 0; i < 13; ++i) {
      QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
      order.append(FocusName(dialog));
    }
    QCOMPARE(order,
             (QStringList{u"ActEdtName"_s, u"ActEdtActNum"_s, u"Edit7"_s, u"Edit2"_s, u"Edit3"_s,
                          u"ActEdtFrm"_s, u"Edit5"_s, u"MaskEdit4"_s, u"MaskEdit5"_s,
                          u"MaskEdit2"_s, business ? u"RBBusiness"_s : u"RBNoBusiness"_s,
                          u"Edit8"_s, u"Edit1"_s, u"OKBtn"_s}));
    QVERIFY(dialog.isVisible());
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(ListBytes(home), before);
    QVERIFY(home.prompter.Asked().empty());
  }

  // Edits a field refuses: letters in numbers, characters the files cannot hold.
  void refusedEdits_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("message");  // its start; empty when nothing is refused
    const QString numeric = u"רק ערכים מספריים מותרים כאן"_s;
    auto row = [](const char* tag, const QString& field, const QString& typed, bool pasted,
                  const QString& kept, const QString& message, const QString& start = u"7"_s) {
      QTest::newRow(tag) << field << start << typed << pasted << kept << message;
    };
    row("cheque number", u"Edit7"_s, u"12a"_s, false, u"712"_s, numeric);
    row("credit limit", u"ActEdtFrm"_s, u"x"_s, false, u"7"_s, numeric);
    row("VAT, separator", u"Edit1"_s, u","_s, false, u"7,"_s, numeric);
    row("balance, fraction", u"Edit8"_s, u".5"_s, false, u"7.5"_s, QString());
    row("bank is text", u"Edit2"_s, u"a"_s, false, u"7a"_s, QString());
    row("emoji", u"ActEdtName"_s, u"ab\U0001F600"_s, false, u"7ab"_s,
        u"התו \U0001F600 אינו נתמך"_s);
    row("Arabic", u"Edit2"_s, u"ب"_s, false, u"7"_s, u"התו ب אינו נתמך"_s);
    row("line break", u"ActEdtActNum"_s, u"1\n2"_s, true, u"7"_s, u"התו U+000A"_s);
    row("Ctrl-Z", u"Edit5"_s, u"a\x1a"_s, true, u"7"_s, u"התו U+001A"_s);
    row("emoji in a number", u"Edit8"_s, u"\U0001F600"_s, false, u"7"_s, u"התו \U0001F600"_s);
    row("points and euro", u"ActEdtName"_s, u"שָׁלוֹם €"_s, false, u"7שָׁלוֹם €"_s, QString());
    // An undefined byte read from an old file does not lock the field.
    row("old odd character", u"Edit3"_s, u"a"_s, false, u"7\uFFFDa"_s, QString(), u"7\uFFFD"_s);
  }

  void refusedEdits() {
    QFETCH(QString, field);
    QFETCH(QString, start);
    QFETCH(QString, typed);
    QFETCH(bool, pasted);
    QFETCH(QString, kept);
    QFETCH(QString, message);
    TestHome home;
    TAccountData dialog(home.services);
    QVERIFY(Open(dialog));
    QLineEdit* edit = Child(dialog, field);
    edit->setText(start);
    edit->setFocus();
    edit->end(false);
    if (pasted) edit->insert(typed);
    // One key press per character, surrogate pairs included.
    for (qsizetype i = 0; !pasted && i < typed.size(); ++i) {
      const qsizetype n = typed[i].isHighSurrogate() ? 2 : 1;
      QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, typed.mid(i, n), Qt::NoModifier);
      i += n - 1;
    }

    QCOMPARE(edit->text(), kept);
    QCOMPARE(home.prompter.Asked().size(), size_t(message.isEmpty() ? 0 : 1));
    if (message.isEmpty()) return;
    QVERIFY2(home.prompter.Asked()[0].text.startsWith(message),
             qPrintable(home.prompter.Asked()[0].text));
    QCOMPARE(home.prompter.Asked()[0].caption, u"שגיאה"_s);
    if (message.startsWith(u"רק"_s)) QCOMPARE(edit->selectedText(), kept);
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
    if (with_accounts) Prepare(home, {Account(u"Home"_s, u"Xct1"_s)});
    home.prompter.Answer(answer_yes ? MessageAnswer::kYes : MessageAnswer::kNo);
    TAccountData dialog(home.services);
    QSignalSpy names(&dialog, &TAccountData::NamesChanged);
    QVERIFY(Open(dialog));
    escape ? QTest::keyClick(dialog.focusWidget(), Qt::Key_Escape) : Click(dialog, u"CancelBtn"_s);

    QCOMPARE(dialog.isVisible(), !closed);
    if (closed) QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(home.prompter.AskedTexts(),
             with_accounts ? QStringList()
                           : QStringList{u"...\"יש להגדיר לפחות חשבון אחד. הקש על \"חשבון חדש\r"
                                         u"? האם ברצונך לסיים"_s});
    QCOMPARE(names.count(), 1);
  }

  void showingSelectsAndLooksUp() {
    TestHome home;
    Prepare(home, {Account(u"Gamma"_s, u"Xct1"_s), Account(u"alpha"_s, u"Xct2"_s),
                   Account(u"Beta"_s, u"Xct3"_s, false)});
    TAccountData dialog(home.services);
    dialog.SelectName(u"BETA"_s);
    QVERIFY(Open(dialog));
    QCOMPARE(dialog.AccountNames(), (QStringList{u"alpha"_s, u"Beta"_s, u"Gamma"_s}));
    QCOMPARE(dialog.Definition().ToLines(), Account(u"Beta"_s, u"Xct3"_s, false).ToLines());
    QCOMPARE(dialog.AccountFileName(), home.Path(u"Xct3.dat"_s));
    QCOMPARE(FocusName(dialog), u"ActEdtName"_s);

    // New, then Cancel: showing again forgets the new entry.
    Click(dialog, u"BtnNew"_s);
    Click(dialog, u"CancelBtn"_s);
    QVERIFY(Open(dialog));
    QVERIFY(Child<QComboBox>(dialog, u"ComboBox1"_s)->isVisible());
    QCOMPARE(dialog.Definition().name, u"Beta"_s);

    // Entering the drop-down after an edit saves it.
    Put(dialog, u"Edit3"_s, u"12"_s);
    Child<QComboBox>(dialog, u"ComboBox1"_s)->setFocus(Qt::TabFocusReason);
    QCOMPARE(Listed(home).size(), size_t{3});
    QCOMPARE(Listed(home)[2].branch, u"12"_s);

    // The cheque page saves the account last looked up, whatever the drop-down shows.
    dialog.reject();
    QVERIFY(dialog.LookUpAccount(u"alpha"_s));
    dialog.SetNextChequeNumber(u"0000042"_s);
    QVERIFY(dialog.SaveAccountDefinition());
    QCOMPARE(Listed(home)[0].ToLines(), Account(u"Gamma"_s, u"Xct1"_s).ToLines());
    QCOMPARE(Listed(home)[1].next_cheque, u"0000042"_s);
  }
};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::AccountDataTest)
#include "account_data_test.moc"
