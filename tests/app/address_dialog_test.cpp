#include "app/cheques/address_dialog.h"

#include <QTableWidget>
#include <QTest>

#include "core/files/line_file.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

// Two accounts' payees, after the two empty rows of a new book.
AddressBook TwoAccounts() {
  AddressBook book;
  book.RecordPayee(u"בית", u"חשמל"_s, {u"31000"_s, u"חיפה"_s, u"1"_s, u"הנמל"_s});
  book.RecordPayee(u"עסק", u"חשמל"_s, {u"61000"_s, u"תל אביב"_s, u"9"_s, u"יפו"_s});
  return book;
}

QTableWidget* Grid(QWidget* dialog) { return dialog->findChild<QTableWidget*>(u"StringGrid1"_s); }

}  // namespace

class AddressDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Every account's records are listed; the chosen one is handed back.
  void ChooseWithOkOrDoubleClick() {
    for (const bool double_click : {false, true}) {
      TestHome home;
      QVERIFY(TwoAccounts().Write(home.Path(kAddressBookFile)));
      TAdrChk dialog(home.services);
      ModalScript script;
      script.Expect(u"TAdrChk"_s, [double_click](QWidget* w) {
        QTableWidget* grid = Grid(w);
        QCOMPARE(grid->rowCount(), 4);
        QVERIFY(grid->isColumnHidden(AddressBook::kAccount));
        grid->setCurrentCell(3, AddressBook::kName);
        if (double_click) {
          emit grid->cellDoubleClicked(3, AddressBook::kName);
        } else {
          ClickButton(w, u"אישור"_s);
        }
      });
      const auto chosen = dialog.Choose();
      QVERIFY(script.Done());
      QVERIFY(chosen.has_value());
      QCOMPARE((*chosen)[AddressBook::kStreet], u"יפו"_s);
      QCOMPARE((*chosen)[AddressBook::kAccount], u"עסק"_s);
    }
  }

  // Whatever closes the dialog writes the book, cell edits included.
  void CancelStillWritesTheBook() {
    TestHome home;
    TAdrChk dialog(home.services);
    ModalScript script;
    script.Expect(u"TAdrChk"_s, [](QWidget* w) {
      Grid(w)->item(1, AddressBook::kPhone)->setText(u"04-1234567"_s);
      ClickButton(w, u"ביטול"_s);
    });
    QVERIFY(!dialog.Choose().has_value());
    // An empty book is two empty rows: 14 lines, the phone typed into the second.
    const QStringList lines = ReadTextLines(home.Path(kAddressBookFile)).value_or(QStringList());
    QCOMPARE(lines.size(), 14);
    QCOMPARE(lines[7], u"04-1234567"_s);
  }

  void DeleteAsksFirst() {
    for (const MessageAnswer answer : {MessageAnswer::kNo, MessageAnswer::kYes}) {
      TestHome home;
      QVERIFY(TwoAccounts().Write(home.Path(kAddressBookFile)));
      TAdrChk dialog(home.services);
      home.prompter.Answer(answer);
      ModalScript script;
      script.Expect(u"TAdrChk"_s, [](QWidget* w) {
        Grid(w)->setCurrentCell(2, AddressBook::kName);
        ClickButton(w, u"מחק"_s);
        ClickButton(w, u"ביטול"_s);
      });
      dialog.Choose();
      QCOMPARE(home.prompter.AskedTexts(),
               QStringList{u"האם באמת ברצונך למחוק את הרשומה\rחשמל\rהנמל 1\rחיפה 31000"_s});
      QCOMPARE(home.prompter.Asked().front().caption, u"אזהרה"_s);
      const AddressBook saved = AddressBook::Read(home.Path(kAddressBookFile));
      const bool deleted = answer == MessageAnswer::kYes;
      QCOMPARE(saved.Rows().size(), deleted ? size_t{3} : size_t{4});
      QCOMPARE(saved.AddressOf(u"בית", u"חשמל").has_value(), !deleted);
      QVERIFY(saved.AddressOf(u"עסק", u"חשמל").has_value());
    }
  }
};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::AddressDialogTest)
#include "address_dialog_test.moc"
