#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "app/register/register_page.h"
#include "core/text/codec.h"
#include "tests/app/app_test_support.h"
#include "tests/app/register_home.h"

using namespace cheque;
using namespace cheque::testing;

namespace {

std::vector<Row> Rows() {
  return {
      {QStringLiteral("1000"),
       {},
       {},
       QStringLiteral("יתרה "),
       kBank,
       QStringLiteral("יתרת פתיחה"),
       QStringLiteral("1/1/1990"),
       QStringLiteral("+")},
      {{},
       QStringLiteral("200"),
       {},
       QStringLiteral("העברה "),
       QStringLiteral("משכורות"),
       QStringLiteral("משכורת"),
       QStringLiteral("1/11/2026"),
       QStringLiteral("+")},
      {{},
       {},
       QStringLiteral("50"),
       QStringLiteral("שק 17"),
       QStringLiteral("קניות"),
       QStringLiteral("מכולת"),
       QStringLiteral("5/11/2026"),
       {}},
  };
}

std::vector<std::string> Image(const Register& reg) {
  std::vector<std::string> image;
  for (int r = 0; r < reg.RowCount(); ++r) image.emplace_back(reg.RawRecord(r));
  return image;
}

void Choose(QWidget* dialog, const char* combo, int index) {
  dialog->findChild<QComboBox*>(QString::fromLatin1(combo))->setCurrentIndex(index);
}

}  // namespace

class ImportDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Headers the program does not know: the user maps the columns, leaves
  // one line out and applies; the change is one undo step, saved at once,
  // and the mapping is there the next time.
  void MapUntickApplyUndo() {
    Started s;
    QVERIFY(Start(s, Rows()));
    const QString statement = s.home.Path(QStringLiteral("statement.csv"));
    QFile file(statement);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(EncodeWin1255Bytes(
        u"בנק הדוגמה\r\nיום;פירוט;סך\r\n6/11/2026;מכולת;-50\r\n8/11/2026;עמלה;-10\r\n"
        u"9/11/2026;העברה מדני;300\r\n"));
    file.close();
    s.window.RegisterView().SetStatementPicker([&](QWidget*) { return statement; });
    const auto before = Image(s.reg());

    ModalScript script;
    script.Expect(QStringLiteral("StatementImportDialog"), [](QWidget* w) {
      auto* plan = w->findChild<QTableWidget*>(QStringLiteral("GridPlan"));
      QCOMPARE(plan->rowCount(), 0);
      w->findChild<QSpinBox*>(QStringLiteral("SpnFirstRow"))->setValue(3);
      Choose(w, "CmbDate", 1);
      Choose(w, "CmbDescription", 2);
      Choose(w, "CmbAmount", 3);
      QCOMPARE(plan->rowCount(), 3);
      QCOMPARE(plan->item(0, 1)->text(), QStringLiteral("סימון +"));
      QCOMPARE(plan->item(1, 1)->text(), QStringLiteral("הוספה"));
      plan->item(1, 0)->setCheckState(Qt::Unchecked);
      // The summary tells what "אישור" will do: the ticked lines only.
      QCOMPARE(w->findChild<QLabel*>(QStringLiteral("LblStatus"))->text(),
               QStringLiteral("תנועות שהותאמו: 1, רשומות שיסומנו: 1, רשומות שיתווספו: 1"));
      ClickButton(w, QStringLiteral("אישור"));
    });
    s.Tool(u"SBImport")->click();
    QVERIFY(script.Done());

    QCOMPARE(Column(s.reg(), kDescriptionColumn),
             QStringList({QStringLiteral("יתרת פתיחה"), QStringLiteral("משכורת"),
                          QStringLiteral("מכולת"), QStringLiteral("העברה מדני")}));
    QCOMPARE(Column(s.reg(), kMarkColumn), QStringList(4, QStringLiteral("+")));
    QCOMPARE(s.reg().Cell(3, kBalanceColumn), QStringLiteral("1450"));
    QVERIFY(QFile(s.home.Path(QStringLiteral("Xct1.dat"))).size() > 0);
    Register saved;
    QVERIFY(saved.LoadFile(s.home.Path(QStringLiteral("Xct1.dat")), u"0"));
    QVERIFY(Image(saved) == Image(s.reg()));

    s.Tool(u"SBUndo")->click();
    QVERIFY(Image(s.reg()) == before);
    // The undo is saved at once, as the import was.
    Register undone;
    QVERIFY(undone.LoadFile(s.home.Path(QStringLiteral("Xct1.dat")), u"0"));
    QVERIFY(Image(undone) == before);

    // Next time the columns are known; "ביטול" changes nothing.
    ModalScript again;
    again.Expect(QStringLiteral("StatementImportDialog"), [](QWidget* w) {
      QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("CmbAmount"))->currentIndex(), 3);
      QCOMPARE(w->findChild<QTableWidget*>(QStringLiteral("GridPlan"))->rowCount(), 3);
      ClickButton(w, QStringLiteral("ביטול"));
    });
    s.Tool(u"SBImport")->click();
    QVERIFY(again.Done());
    QVERIFY(Image(s.reg()) == before);
  }

  // A workbook of two sheets offers them; the second one shows its rows.
  void ChoosesTheSheet() {
    Started s;
    QVERIFY(Start(s, Rows()));
    const QString statement =
        QStringLiteral(CHEQUE_ASSETS "/../tests/data/import_xls_two_sheets/statement.xls");
    s.window.RegisterView().SetStatementPicker([&](QWidget*) { return statement; });
    ModalScript script;
    script.Expect(QStringLiteral("StatementImportDialog"), [](QWidget* w) {
      auto* sheet = w->findChild<QComboBox*>(QStringLiteral("CmbSheet"));
      auto* preview = w->findChild<QTableWidget*>(QStringLiteral("GridPreview"));
      QVERIFY(sheet->isVisibleTo(w));
      QCOMPARE(sheet->count(), 2);
      QCOMPARE(sheet->currentIndex(), 0);
      QCOMPARE(preview->item(0, 0)->text(), QStringLiteral("פרטי חשבון"));
      emit sheet->activated(1);
      QCOMPARE(preview->item(3, 1)->text(), QStringLiteral("חשמל"));
      ClickButton(w, QStringLiteral("ביטול"));
    });
    s.Tool(u"SBImport")->click();
    QVERIFY(script.Done());
  }

  // A card file of two sections, no mapping known: the plan reads in the
  // file's order, the rows that are no movement in their place.
  void PassedRowsInFileOrder() {
    Started s;
    QVERIFY(Start(s, Rows()));
    const QString statement =
        QStringLiteral(CHEQUE_ASSETS "/../tests/data/import_card_two_sections/statement.csv");
    s.window.RegisterView().SetStatementPicker([&](QWidget*) { return statement; });
    ModalScript script;
    script.Expect(QStringLiteral("StatementImportDialog"), [](QWidget* w) {
      auto* plan = w->findChild<QTableWidget*>(QStringLiteral("GridPlan"));
      QStringList rows;
      for (int r = 0; r < plan->rowCount(); ++r) rows << plan->item(r, 2)->text();
      QCOMPARE(rows.join(u' '), QStringLiteral("3 4 5 7 8 9 10"));
      QCOMPARE(plan->item(3, 1)->text(), QStringLiteral("לא תנועה"));
      plan->item(5, 0)->setCheckState(Qt::Unchecked);
      QVERIFY(w->findChild<QLabel*>(QStringLiteral("LblStatus"))
                  ->text()
                  .contains(QStringLiteral("רשומות שיתווספו: 4")));
      ClickButton(w, QStringLiteral("ביטול"));
    });
    s.Tool(u"SBImport")->click();
    QVERIFY(script.Done());
  }
};

QTEST_MAIN(ImportDialogTest)
#include "import_dialog_test.moc"
