#include "app/cheques/cheque_page.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <array>
#include <memory>

#include "app/shell/intro_screen.h"
#include "app/shell/main_window.h"
#include "core/cheques/address_book.h"
#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/files/personal_details.h"
#include "core/text/amount.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

const QString kDuplicateQuestion = u"...המחאה זו כבר קיימת ביומנך\r? האם להדפיס המחאה זו שוב"_s;
const QString kMaximum = u"הסכום המכסימאלי הנתמך בתוכנית זו הוא 9,999,999.99"_s;
const QString kZeroWords = u" ש\"ח  בלבד "_s;

// A register record in file order: balance, category, type, date, income,
// expense, description, mark.
using Record = std::array<QString, 8>;
Record Expense(const QString& description, const QString& amount, const QString& date,
               const QString& type = u"אחר "_s, const QString& category = {}) {
  return {QString(), category, type, date, QString(), amount, description, QString()};
}

// The program on its cheque page, over a folder with two accounts: "בית"
// (next cheque 0000099, VAT 17, opening balance 1000) and "עסק".
struct ChequeProgram {
  ChequeProgram() {
    PersonalDetails details;
    details.first_name = u"דנה"_s;
    details.Write(home.Path(u"AcMyData.Dat"_s));
    AccountList list;
    for (const auto& [name, base, next, vat] :
         {std::tuple{u"בית"_s, u"Xct1"_s, u"0000099"_s, u"17"_s},
          std::tuple{u"עסק"_s, u"Xct2"_s, u"0000500"_s, u"0"_s}}) {
      AccountDefinition account;
      account.name = name;
      account.file_base = base;
      account.account_number = u"4711"_s;
      account.next_cheque = next;
      account.vat_percent = vat;
      account.opening_balance = u"1000"_s;
      list.Append(account);
    }
    list.Write(home.Path(u"Accts.dat"_s));
    WriteLastAccountName(home.Path(u"Cheque.ini"_s), u"בית"_s);
  }

  void Register(const std::vector<Record>& records) {
    QStringList lines;
    for (const Record& record : records) lines.append(QStringList(record.begin(), record.end()));
    WriteTextLines(home.Path(u"Xct1.dat"_s), lines);
  }

  // Starts past the launcher on the cheque page, shown and active.
  void Start() {
    window = std::make_unique<TForm1>(home.services);
    ModalScript script;
    script.Expect(u"TIntroScr"_s, [](QWidget* w) { static_cast<TIntroScr*>(w)->ChooseArea(1); });
    QVERIFY(window->Start());
    window->show();
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    page = window->findChild<ChequePage*>();
    QVERIFY(page != nullptr);
    home.prompter.Forget();
  }

  template <typename T = QLineEdit>
  T* Get(const QString& name) const {
    T* child = page->findChild<T*>(name);
    if (child == nullptr) qFatal("no control %s", qPrintable(name));
    return child;
  }
  QString Text(const QString& name) const { return Get(name)->text(); }
  void Type(const QString& name, const QString& text) const { TypeInto(page, name, text); }

  // A cheque to "ועד הבית" of 250.5 on 5/12/2026, with an address.
  void FillCheque() const {
    Type(u"EdtName"_s, u"ועד הבית"_s);
    Type(u"EdtAmount"_s, u"250.5"_s);
    Get<QSpinBox>(u"SEDay"_s)->setValue(5);
    Get<QSpinBox>(u"SEMonth"_s)->setValue(12);
    Get<QSpinBox>(u"SEYear"_s)->setValue(2026);
    Type(u"DtlStrt"_s, u"הרצל"_s);
    Type(u"DtlNum"_s, u"12"_s);
    Type(u"DtlTwn"_s, u"חיפה"_s);
    Type(u"Edit2"_s, u"דיור\\ועד"_s);
    Get<QPlainTextEdit>(u"Memo1"_s)->setPlainText(u"דמי ועד\n"_s);
  }

  void Print() const {
    auto* button = Get<QPushButton>(u"BtnPrntChk"_s);
    button->setFocus();
    QTest::mouseClick(button, Qt::LeftButton);
  }

  const cheque::Register& Rows() const { return window->ActiveRegister(); }

  TestHome home;
  std::unique_ptr<TForm1> window;
  ChequePage* page = nullptr;
};

QString SavedNextCheque(const TestHome& home, const QString& account) {
  const auto list = AccountList::Read(home.Path(u"Accts.dat"_s));
  const AccountDefinition* found = list ? list->Find(account) : nullptr;
  return found != nullptr ? found->next_cheque : QString();
}

}  // namespace

class ChequePageTest : public QObject {
  Q_OBJECT

 private slots:
  void PrintedChequeIsEnteredRecordedAndCleared() {
    ChequeProgram program;
    program.Start();
    program.FillCheque();
    program.Print();

    const TestHome& home = program.home;
    QCOMPARE(home.prompter.AskedTexts(), QStringList());
    QCOMPARE(home.printer.titles, QStringList{u"המחאה בהדפסה"_s});
    QCOMPARE(home.printer.files, QStringList{home.Path(u"Cheque0000099.pdf"_s)});
    QVERIFY(QFileInfo(home.printer.files.front()).size() > 1000);

    const cheque::Register& rows = program.Rows();
    QCOMPARE(rows.RowCount(), 3);
    const QStringList expected = {
        u"749.50"_s,    {}, u"250.5"_s, u"שק 0000099"_s, u"דיור\\ועד"_s, u"ועד הבית"_s,
        u"5/12/2026"_s, {}};
    for (int column = kBalanceColumn; column <= kMarkColumn; ++column) {
      QCOMPARE(rows.Cell(1, column), expected[column - 1]);
    }
    QVERIFY(rows.RowIsEmpty(2));

    QCOMPARE(program.Text(u"EdtChkNm"_s), u"0000100"_s);
    QCOMPARE(SavedNextCheque(home, u"בית"_s), u"0000100"_s);
    // The payee's address is in the file at once, not only when the book closes.
    const AddressBook book = AddressBook::Read(home.Path(u"MyAddr.Dat"_s));
    const auto address = book.AddressOf(u"בית", u"ועד הבית");
    QVERIFY(address.has_value());
    QCOMPARE(address->street, u"הרצל"_s);
    QCOMPARE(address->town, u"חיפה"_s);

    for (const char16_t* name :
         {u"EdtName", u"EdtAmount", u"Edit2", u"DtlStrt", u"DtlNum", u"DtlTwn", u"DtlZip"}) {
      QVERIFY2(program.Text(QString::fromUtf16(name)).isEmpty(),
               qPrintable(QString::fromUtf16(name)));
    }
    QCOMPARE(program.Get<QPlainTextEdit>(u"Memo1"_s)->toPlainText(), QString());
    QCOMPARE(program.Get<QLabel>(u"Label3"_s)->text(), kZeroWords);
  }

  void DuplicateQuestion() {
    for (const MessageAnswer answer : {MessageAnswer::kNo, MessageAnswer::kYes}) {
      ChequeProgram program;
      program.Register({Expense(u"חשמל"_s, u"80"_s, u"1/12/2026"_s, u"שק 00000123"_s)});
      program.Start();
      program.Type(u"EdtChkNm"_s, u"0000012"_s);
      program.FillCheque();
      program.home.prompter.Answer(answer);
      program.Print();
      const auto& asked = program.home.prompter.Asked();
      QCOMPARE(asked.size(), size_t{1});
      QCOMPARE(asked.front().caption, u"לאישורך"_s);
      QCOMPARE(asked.front().text, kDuplicateQuestion);
      QCOMPARE(asked.front().buttons, MessageButtons::kYesNo);
      const bool printed = answer == MessageAnswer::kYes;
      QCOMPARE(program.home.printer.files.size(), printed ? 1 : 0);
      QCOMPARE(program.Rows().RowCount(), printed ? 3 : 2);
      QCOMPARE(program.Text(u"EdtChkNm"_s), printed ? u"0000013"_s : u"0000012"_s);
      QCOMPARE(program.Text(u"EdtName"_s), printed ? QString() : u"ועד הבית"_s);
      QCOMPARE(SavedNextCheque(program.home, u"בית"_s), printed ? u"0000013"_s : u"0000099"_s);
    }
  }

  // A cheque of 0 is asked about first; "לא" prints and enters nothing.
  void ZeroAmountAsksFirst() {
    for (const MessageAnswer answer : {MessageAnswer::kNo, MessageAnswer::kYes}) {
      ChequeProgram program;
      program.Start();
      program.FillCheque();
      program.Type(u"EdtAmount"_s, u"0"_s);
      program.home.prompter.Answer(answer);
      program.Print();
      QCOMPARE(program.home.prompter.AskedTexts(),
               QStringList{u"סכום ההמחאה הוא 0. להדפיס בכל זאת?"_s});
      const bool printed = answer == MessageAnswer::kYes;
      QCOMPARE(program.home.printer.files.size(), printed ? 1 : 0);
      QCOMPARE(program.Rows().RowCount(), printed ? 3 : 2);
    }
  }

  void EnterInThePayeeMovesOnAndNeverPrints() {
    ChequeProgram program;
    program.Start();
    program.FillCheque();
    auto* payee = program.Get(u"EdtName"_s);
    payee->setFocus();
    QTest::keyClick(payee, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), program.Get(u"EdtAmount"_s));
    QVERIFY(program.home.printer.titles.isEmpty());
    // Only the button with the focus prints.
    program.Get(u"EdtAmount"_s)->setFocus();
    program.Get<QPushButton>(u"BtnPrntChk"_s)->click();
    QVERIFY(program.home.printer.titles.isEmpty());
    // Enter on the number goes to the button, and Enter there prints.
    auto* number = program.Get(u"EdtChkNm"_s);
    number->setFocus();
    QTest::keyClick(number, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), program.Get<QPushButton>(u"BtnPrntChk"_s));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(program.home.printer.titles.size(), 1);
  }

  void CompletionAndBackspace() {
    ChequeProgram program;
    program.Register({Expense(u"ביטוח"_s, u"100"_s, u"1/11/2026"_s, u"אחר "_s, u"ביטוחים\\רכב"_s),
                      Expense(u"בנק"_s, u"5"_s, u"2/11/2026"_s),
                      Expense(u"ביטוח"_s, u"100"_s, u"3/11/2026"_s)});
    AddressBook book;
    book.RecordPayee(u"בית", u"ביטוח"_s, {u"61000"_s, u"חיפה"_s, u"3"_s, u"הנמל"_s});
    QVERIFY(book.Write(program.home.Path(u"MyAddr.Dat"_s)));
    program.Start();

    auto* payee = program.Get(u"EdtName"_s);
    payee->setFocus();
    QInputMethodEvent typed;
    typed.setCommitString(u"ב"_s);
    QApplication::sendEvent(payee, &typed);
    auto* list = program.Get<QListWidget>(u"LBOptionChk"_s);
    QVERIFY(list->isVisible());
    QStringList offered;
    for (int i = 0; i < list->count(); ++i) offered << list->item(i)->text();
    QCOMPARE(offered, (QStringList{u"ביטוח"_s, u"בנק"_s}));
    QCOMPARE(payee->text(), u"ביטוח"_s);
    QCOMPARE(payee->selectedText(), u"יטוח"_s);
    QCOMPARE(program.Text(u"Edit2"_s), u"ביטוחים\\רכב"_s);
    QCOMPARE(program.Text(u"DtlStrt"_s), u"הנמל"_s);

    QTest::keyClick(payee, Qt::Key_Backspace);
    QCOMPARE(payee->text(), QString());
    QVERIFY(!list->isVisible());
    for (const char16_t* name : {u"DtlStrt", u"DtlNum", u"DtlTwn", u"DtlZip"}) {
      QVERIFY(program.Text(QString::fromUtf16(name)).isEmpty());
    }
  }

  void SuggestionChosenWithEnter() {
    ChequeProgram program;
    program.Register({Expense(u"בזק"_s, u"100"_s, u"1/11/2026"_s, u"אחר "_s, u"תקשורת\\טלפון"_s),
                      Expense(u"ביטוח"_s, u"5"_s, u"2/11/2026"_s, u"אחר "_s, u"ביטוחים\\רכב"_s)});
    program.Start();
    auto* payee = program.Get(u"EdtName"_s);
    program.Type(u"EdtName"_s, u"ב"_s);
    QTest::keyClick(payee, Qt::Key_Down);
    auto* list = program.Get<QListWidget>(u"LBOptionChk"_s);
    QCOMPARE(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(payee->text(), u"ביטוח"_s);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!list->isVisible());
    QCOMPARE(QApplication::focusWidget(), program.Get(u"EdtAmount"_s));
    QCOMPARE(payee->text(), u"ביטוח"_s);
    QCOMPARE(program.Text(u"Edit2"_s), u"ביטוחים\\רכב"_s);
  }

  // A double-click on the payee opens the book; its "אישור" fills the form.
  void AddressBookFillsTheForm() {
    ChequeProgram program;
    AddressBook book;
    book.RecordPayee(u"עסק", u"גז"_s, {u"1"_s, u"עכו"_s, u"2"_s, u"החומה"_s});
    QVERIFY(book.Write(program.home.Path(u"MyAddr.Dat"_s)));
    program.Start();
    ModalScript script;
    script.Expect(u"TAdrChk"_s, [](QWidget* w) {
      w->findChild<QTableWidget*>(u"StringGrid1"_s)->setCurrentCell(2, AddressBook::kName);
      ClickButton(w, u"אישור"_s);
    });
    QTest::mouseDClick(program.Get(u"EdtName"_s), Qt::LeftButton);
    QVERIFY(script.Done());
    QCOMPARE(program.Text(u"EdtName"_s), u"גז"_s);
    QCOMPARE(program.Text(u"DtlStrt"_s), u"החומה"_s);
    QCOMPARE(program.Text(u"DtlTwn"_s), u"עכו"_s);
    QCOMPARE(program.Text(u"DtlNum"_s), u"2"_s);
    QCOMPARE(program.Text(u"DtlZip"_s), u"1"_s);
    // The book's record is of the other account: typing the name finds nothing.
    program.Type(u"EdtName"_s, u"גז"_s);
    QCOMPARE(program.Text(u"DtlStrt"_s), QString());
  }

  // Nothing is printed whose words would state another sum than its digits.
  void AmountAboveTheMaximumIsNeverPrinted() {
    ChequeProgram program;
    program.Start();
    program.FillCheque();
    program.Type(u"EdtAmount"_s, u"12000000"_s);
    QCOMPARE(program.home.prompter.AskedTexts(), QStringList{kMaximum});
    QCOMPARE(program.Get<QLabel>(u"Label3"_s)->text(), u"שני מליון   ש\"ח  בלבד "_s);
    program.Print();
    QCOMPARE(program.home.prompter.AskedTexts(), (QStringList{kMaximum, kMaximum}));
    QVERIFY(program.home.printer.titles.isEmpty());
    QCOMPARE(program.Rows().RowCount(), 2);
    QCOMPARE(program.Text(u"EdtChkNm"_s), u"0000099"_s);
  }

  // A number that cannot be advanced is refused before anything happens.
  void ChequeNumberThatIsNoWholeNumber() {
    ChequeProgram program;
    program.Start();
    program.FillCheque();
    program.Type(u"EdtChkNm"_s, u"12א"_s);
    program.Print();
    QCOMPARE(program.home.prompter.Asked().size(), size_t{1});
    QCOMPARE(program.home.prompter.Asked().front().caption, u"שגיאה"_s);
    QVERIFY(program.home.printer.titles.isEmpty());
    QCOMPARE(program.Rows().RowCount(), 2);
    QCOMPARE(program.Text(u"EdtName"_s), u"ועד הבית"_s);
    QCOMPARE(SavedNextCheque(program.home, u"בית"_s), u"0000099"_s);
  }

  // The bank-balance category would turn the cheque into a balance of 0.
  void BankBalanceCategoryIsRefused() {
    ChequeProgram program;
    program.Start();
    program.FillCheque();
    program.Type(u"Edit2"_s, u"בנק\\יתרה"_s);
    program.Print();
    QCOMPARE(program.home.prompter.Asked().size(), size_t{1});
    QCOMPARE(program.home.prompter.Asked().front().caption, u"שגיאה"_s);
    QVERIFY(program.home.printer.titles.isEmpty());
    QCOMPARE(program.Rows().RowCount(), 2);
    QCOMPARE(program.Text(u"EdtChkNm"_s), u"0000099"_s);
  }

  void FailedPrintEntersNothing() {
    ChequeProgram program;
    program.Start();
    program.FillCheque();
    program.home.printer.fail_next = true;
    program.Print();
    QCOMPARE(program.home.printer.titles.size(), 1);
    QCOMPARE(program.home.prompter.Asked().size(), size_t{1});
    QCOMPARE(program.Rows().RowCount(), 2);
    QCOMPARE(program.Text(u"EdtChkNm"_s), u"0000099"_s);
    QCOMPARE(program.Text(u"EdtAmount"_s), u"250.5"_s);
    QVERIFY(!QFileInfo::exists(program.home.Path(u"MyAddr.Dat"_s)));
  }

  void CalculatorHandsItsSumToTheCheque() {
    ChequeProgram program;
    program.Start();
    program.Type(u"EdtNoVat"_s, u"100"_s);
    program.Type(u"EdtAdvnc"_s, u"10"_s);
    QCOMPARE(program.Text(u"EdtIncVat"_s), u"117"_s);
    QCOMPARE(program.Text(u"EdtAdvSum"_s), u"11.70"_s);
    QCOMPARE(program.Text(u"EdtTtl"_s), u"105.30"_s);
    ClickButton(program.page, u"העבר להמחאה"_s);
    QCOMPARE(program.Text(u"EdtAmount"_s), u"105.30"_s);
    QCOMPARE(program.Get<QLabel>(u"Label3"_s)->text(),
             u"מאה  וחמישה ש\"ח, ושלושים אגורות  בלבד "_s);
    ClickButton(program.page, u"איפוס"_s);
    for (const auto& [name, text] : {std::pair{u"EdtNoVat"_s, u""_s},
                                     {u"EdtVat"_s, u"0"_s},
                                     {u"EdtIncVat"_s, u"0"_s},
                                     {u"EdtAdvnc"_s, u""_s},
                                     {u"EdtAdvSum"_s, u"0"_s},
                                     {u"EdtTtl"_s, u"0"_s}}) {
      QCOMPARE(program.Text(name), text);
    }
    // A sum of 0 is not handed over.
    ClickButton(program.page, u"העבר להמחאה"_s);
    QCOMPARE(program.Text(u"EdtAmount"_s), u"105.30"_s);
  }

  // With a VAT percent of 0 the VAT amount derives nothing, and the
  // calculator still answers afterwards.
  void CalculatorWithoutVat() {
    ChequeProgram program;
    program.Start();
    program.Get<QComboBox>(u"ComboBox2"_s)->setFocus();
    const int business = program.Get<QComboBox>(u"ComboBox2"_s)->findText(u"עסק"_s);
    QTest::keyClick(program.Get<QComboBox>(u"ComboBox2"_s), Qt::Key_End);
    QCOMPARE(business, 1);
    QCOMPARE(program.window->ActiveTitle(), u"עסק"_s);
    QCOMPARE(program.Text(u"EdtChkNm"_s), u"0000500"_s);
    program.Type(u"EdtVat"_s, u"30"_s);
    QCOMPARE(program.Text(u"EdtNoVat"_s), QString());
    QCOMPARE(program.Text(u"EdtIncVat"_s), QString());
    program.Type(u"EdtNoVat"_s, u"100"_s);
    QCOMPARE(program.Text(u"EdtIncVat"_s), u"100"_s);
    QCOMPARE(program.Text(u"EdtVat"_s), u"0"_s);
  }

  void DateControlsKeepOneDate() {
    ChequeProgram program;
    program.Start();
    auto* calendar = program.Get<QCalendarWidget>(u"Calendar1"_s);
    QCOMPARE(calendar->selectedDate(), program.home.clock.Today());
    program.Get<QSpinBox>(u"SEDay"_s)->setValue(31);
    program.Get<QSpinBox>(u"SEMonth"_s)->setValue(2);
    QCOMPARE(program.Get<QSpinBox>(u"SEDay"_s)->value(), 28);
    QCOMPARE(calendar->selectedDate(), QDate(2026, 2, 28));
    QCOMPARE(program.Get<QLabel>(u"Label12"_s)->text(), u"28/2/2026"_s);
    calendar->setSelectedDate(QDate(2027, 3, 9));
    QCOMPARE(program.Get<QSpinBox>(u"SEYear"_s)->value(), 2027);
    QCOMPARE(program.Get<QSpinBox>(u"SEMonth"_s)->value(), 3);
    QCOMPARE(program.Get<QSpinBox>(u"SEDay"_s)->value(), 9);
    // Page Down shows the next month, and the caption follows.
    QTest::keyClick(calendar->focusProxy(), Qt::Key_PageDown);
    QCOMPARE(calendar->selectedDate(), QDate(2027, 4, 9));
    QCOMPARE(program.Get<QLabel>(u"Label12"_s)->text(), u"9/4/2027"_s);
    // So does the calendar's own arrow.
    QTest::mouseClick(calendar->findChild<QToolButton*>(u"qt_calendar_nextmonth"_s),
                      Qt::LeftButton);
    QCOMPARE(program.Get<QSpinBox>(u"SEMonth"_s)->value(), 5);
    QCOMPARE(program.Get<QLabel>(u"Label12"_s)->text(), u"9/5/2027"_s);
    // A double-click on a spin edit picks the date in the calendar dialog.
    ModalScript script;
    script.Expect(u"TCalander"_s, [](QWidget* w) {
      w->findChild<QCalendarWidget*>(u"Calendar1"_s)->setSelectedDate(QDate(2027, 5, 1));
      ClickButton(w, u"אישור"_s);
    });
    QTest::mouseDClick(program.Get<QSpinBox>(u"SEMonth"_s)->findChild<QLineEdit*>(),
                       Qt::LeftButton);
    QVERIFY(script.Done());
    QCOMPARE(calendar->selectedDate(), QDate(2027, 5, 1));
    QCOMPARE(program.Get<QSpinBox>(u"SEMonth"_s)->value(), 5);
  }

  // Hebrew lines end at the right: a words line that wraps starts its second
  // line there too.
  void WordsLineLiesAtTheRight() {
    ChequeProgram program;
    program.Start();
    program.Type(u"EdtAmount"_s, u"7777777.77"_s);
    const auto* words = program.Get<QLabel>(u"Label3"_s);
    QVERIFY(words->wordWrap());
    QCOMPARE(QStyle::visualAlignment(words->layoutDirection(), words->alignment()) &
                 (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter),
             Qt::AlignRight);
  }

  // The program runs in the Israeli locale; amounts, dates and the date
  // controls keep their own forms in it.
  void FixedFormsInTheIsraeliLocale() {
    ChequeProgram program;
    program.Start();
    QCOMPARE(QLocale().name(), u"he_IL"_s);
    program.Type(u"EdtAmount"_s, u"1234.5"_s);
    program.Get<QSpinBox>(u"SEYear"_s)->setValue(2031);
    const std::pair<QString, QString> shown[] = {
        {program.Text(u"EdtAmount"_s), u"1234.5"_s},
        {program.Get<QSpinBox>(u"SEYear"_s)->text(), u"2031"_s},
        {program.Get<QLabel>(u"Label12"_s)->text(), u"7/12/2031"_s},
        {FormatAmount(-1234.5), u"-1234.50"_s},
        {FormatAmount(ParseAmount(u"-1234.5")), u"-1234.50"_s},
    };
    for (const auto& [actual, expected] : shown) QCOMPARE(actual, expected);
    QVERIFY(program.Get<QLabel>(u"Label3"_s)->text().startsWith(u"אלף מאתיים"));
  }

  void CategoryFromTheTree() {
    ChequeProgram program;
    program.Start();
    auto* tree = program.Get<QTreeWidget>(u"Outline1"_s);
    auto* category = program.Get(u"Edit2"_s);
    program.Type(u"Edit2"_s, u"ביט"_s);
    QVERIFY(tree->currentItem() != nullptr);
    QVERIFY(tree->currentItem()->text(0).startsWith(u"ביט"));
    QCOMPARE(category->text(), u"ביט"_s);  // typing never rewrites the field
    QTest::keyClick(category, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), tree);
    QTest::keyClick(tree, Qt::Key_Down);
    QVERIFY(category->text().contains(u'\\'));
    QCOMPARE(category->text().section(u'\\', -1), tree->currentItem()->text(0));
  }
};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::ChequePageTest)
#include "cheque_page_test.moc"
