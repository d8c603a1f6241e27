#include "app/register/register_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include "app/register/register_area.h"
#include "app/shell/intro_screen.h"
#include "app/shell/main_window.h"
#include "core/files/account_list.h"
#include "core/files/personal_details.h"
#include "core/register/register.h"
#include "tests/app/app_test_support.h"
#include "tests/app/register_home.h"

using namespace cheque;
using namespace cheque::testing;

// The case tables are laid out by hand, a row of a table a line.
// clang-format off

namespace {

// Opening balance 1000 (reconciled), an income, an expense, a bank balance
// and an open expense after it; all before the fixed today, 7/12/2026.
std::vector<Row> SampleRows() {
  return {
      {QStringLiteral("1000"), {}, {}, QStringLiteral("יתרה "), kBank, QStringLiteral("יתרת פתיחה"),
       QStringLiteral("1/1/1990"), QStringLiteral("+")},
      {{}, QStringLiteral("200"), {}, QStringLiteral("העברה "), QStringLiteral("משכורות"),
       QStringLiteral("משכורת"), QStringLiteral("1/11/2026"), QStringLiteral("+")},
      {{}, {}, QStringLiteral("50"), QStringLiteral("שק 17"), QStringLiteral("קניות"),
       QStringLiteral("מכולת"), QStringLiteral("5/11/2026"), {}},
      {QStringLiteral("1100"), {}, {}, QStringLiteral("יתרה "), kBank, QStringLiteral("יתרה"),
       QStringLiteral("30/11/2026"), QStringLiteral("+")},
      {{}, {}, QStringLiteral("30"), QStringLiteral("מזומן "), QStringLiteral("קניות"),
       QStringLiteral("ירקות"), QStringLiteral("2/12/2026"), {}},
  };
}

}  // namespace

class RegisterGridTest : public QObject {
  Q_OBJECT

 private slots:
  void LoadedRegisterAndSideGrid() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    // After the date sort the open 5/11 expense follows the 30/11 bank balance.
    QCOMPARE(Column(s.reg(), kDescriptionColumn),
             (QStringList{QStringLiteral("יתרת פתיחה"), QStringLiteral("משכורת"),
                          QStringLiteral("יתרה"), QStringLiteral("מכולת"),
                          QStringLiteral("ירקות")}));
    QCOMPARE(Column(s.reg(), kBalanceColumn),
             (QStringList{QStringLiteral("1000"), QStringLiteral("1200"), QStringLiteral("1100"),
                          QStringLiteral("1050"), QStringLiteral("1020")}));
    auto* side = s.window.findChild<QTableWidget*>(QStringLiteral("StringGrid3"));
    QVERIFY(side->rowCount() >= 6);
    const int top = s.grid().TopRow();
    for (int i = 0; i + top < s.reg().RowCount(); ++i) {
      const int row = top + i;
      QCOMPARE(side->item(i, 0)->text(), QString::number(row + 1));
      const bool reconciled = row < s.reg().RowCount() - 1 && s.reg().Cell(row, kMarkColumn) == u"+";
      QCOMPARE(side->item(i, 1)->text(), reconciled ? QStringLiteral("ok") : QString());
    }
  }

  void CellsThatCannotHoldTheCursor() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    struct Case {
      int row, column;
      bool allowed;
    };
    // Rows after the sort: 0 opening, 1 income, 2 bank balance, 3 and 4 expenses.
    const Case cases[] = {{1, kDateColumn, false}, {1, kBalanceColumn, false},
                          {2, kBalanceColumn, true}, {3, kExpenseColumn, true},
                          {3, kDescriptionColumn, true}, {3, kTypeColumn, true}};
    for (const Case& test : cases) {
      s.grid().SetCurrentCell(0, kDescriptionColumn);
      QCOMPARE(s.grid().SelectCell(test.row, test.column), test.allowed);
      QCOMPARE(s.grid().CurrentRow(), test.allowed ? test.row : 0);
    }
  }

  void TypingAnExpenseIntoAnIncomeRowIsRefused() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    QVERIFY(s.grid().SelectCell(1, kExpenseColumn));
    QTest::keyClicks(s.grid().viewport(), QStringLiteral("500"));
    QTRY_COMPARE(s.home.prompter.AskedTexts(),
             QStringList{QStringLiteral("לא ניתן להקיש \"הוצאה\" ו\"הכנסה\" באותה תנועה")});
    QCOMPARE(s.reg().Cell(1, kExpenseColumn), QString());
    QCOMPARE(s.reg().Cell(1, kIncomeColumn), QStringLiteral("200"));
  }

  // The message box's own event loop deletes the cell editor; the program
  // goes on with the cell as refused and the next cell can be typed into.
  void RefusedTypingInPlaceKeepsTheProgramGoing() {
    const QString both = QStringLiteral("לא ניתן להקיש \"הוצאה\" ו\"הכנסה\" באותה תנועה");
    const QString letters = QStringLiteral("רק ערכים מספריים מותרים כאן");
    struct Case {
      int row, column;
      QString keys, message, kept;
    };
    // Rows after the sort: 1 income 200, 2 bank balance 1100, 3 expense 50.
    const Case cases[] = {
        {1, kExpenseColumn, QStringLiteral("5"), both, QString()},
        {3, kIncomeColumn, QStringLiteral("9"), both, QString()},
        {3, kExpenseColumn, QStringLiteral("x"), letters, QString()},
        {3, kExpenseColumn, QStringLiteral("1,"), letters, QStringLiteral("1,")},
        {1, kIncomeColumn, QStringLiteral("2a"), letters, QStringLiteral("2")},
        {2, kBalanceColumn, QStringLiteral("x"), letters, QString()},
    };
    for (const Case& test : cases) {
      Started s;
      QVERIFY(Start(s, SampleRows()));
      QVERIFY(s.grid().SelectCell(test.row, test.column));
      // The first key opens the cell editor, which takes the rest.
      QTest::keyClicks(s.grid().viewport(), test.keys.left(1));
      QTest::keyClicks(QApplication::focusWidget(), test.keys.mid(1));
      QTRY_COMPARE(s.home.prompter.AskedTexts(), QStringList{test.message});
      QTRY_VERIFY(s.grid().viewport()->findChild<QLineEdit*>() == nullptr);
      QCOMPARE(s.reg().Cell(test.row, test.column), test.kept);
      QVERIFY(s.grid().SelectCell(test.row, kDescriptionColumn));
      QTest::keyClick(s.grid().viewport(), Qt::Key_A);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_B);
      QCOMPARE(s.reg().Cell(test.row, kDescriptionColumn), QStringLiteral("ab"));
    }
  }

  void ABalanceBeyondTheRangeOfNumbersIsToldOnce() {
    Started s;
    std::vector<Row> rows = SampleRows();
    rows[1].income = QStringLiteral("1e308");
    rows[2] = {{}, QStringLiteral("1e308"), {}, QStringLiteral("העברה "), QStringLiteral("משכורות"),
               QStringLiteral("בונוס"), QStringLiteral("2/11/2026"), QStringLiteral("+")};
    QVERIFY(Start(s, rows));
    QTRY_COMPARE(s.home.prompter.Asked().size(), size_t{1});
    QVERIFY(s.home.prompter.AskedTexts().first().contains(QStringLiteral("2/11/2026")));
    s.window.RegisterView().SortByDate();
    QTest::qWait(20);
    QCOMPARE(s.home.prompter.Asked().size(), size_t{1});
  }

  void TypedAmountsMoveTheRunningBalance() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    QVERIFY(s.grid().SelectCell(3, kExpenseColumn));
    QTest::keyClick(s.grid().viewport(), Qt::Key_7);  // opens the cell editor
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
    // The letter is refused with its message; the 7 stays and counts.
    QTRY_COMPARE(s.home.prompter.AskedTexts(), QStringList{QStringLiteral("רק ערכים מספריים מותרים כאן")});
    QCOMPARE(s.reg().Cell(3, kExpenseColumn), QStringLiteral("7"));
    QCOMPARE(Column(s.reg(), kBalanceColumn).mid(3),
             (QStringList{QStringLiteral("1093"), QStringLiteral("1063")}));
  }

  void DeletingRows() {
    struct Case {
      const char* name;
      int row;
      MessageAnswer answer;
      int rows_after;  // transactions left
      int current_after;
    };
    const Case cases[] = {
        {"the opening balance is never deleted", 0, MessageAnswer::kYes, 5, 0},
        {"a reconciled row asks first: no keeps it", 1, MessageAnswer::kNo, 5, 1},
        {"a reconciled row asks first: yes deletes it", 1, MessageAnswer::kYes, 4, 1},
        {"an open row goes at once, the cursor keeps its place", 3, MessageAnswer::kNo, 4, 3},
        {"the empty last row is only cleared, the cursor moves up", 5, MessageAnswer::kNo, 5, 4},
    };
    for (const Case& test : cases) {
      Started s;
      QVERIFY2(Start(s, SampleRows()), test.name);
      s.grid().SetCurrentCell(test.row, kDescriptionColumn);
      s.home.prompter.Answer(test.answer);
      s.Tool(u"SBDelItm")->click();
      QVERIFY2(s.reg().RowCount() - 1 == test.rows_after, test.name);
      QVERIFY2(s.grid().CurrentRow() == test.current_after, test.name);
      QVERIFY2(s.reg().RowIsEmpty(s.reg().RowCount() - 1), test.name);
    }
  }

  void DeletingMovesTheBalanceOn() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    s.grid().SetCurrentCell(3, kDescriptionColumn);
    s.Tool(u"SBDelItm")->click();
    QCOMPARE(Column(s.reg(), kBalanceColumn).mid(3), QStringList{QStringLiteral("1070")});
  }

  void NewTransactionThroughTheDialogLandsInTheFile() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    s.grid().SetCurrentCell(2, kDescriptionColumn);
    ModalScript script;
    script.Expect(QStringLiteral("TDateFrm"), [](QWidget* w) {
      TypeInto(w, QStringLiteral("Edit1"), QStringLiteral("חשמל"));
      TypeInto(w, QStringLiteral("EdtOut"), QStringLiteral("250"));
      TypeInto(w, QStringLiteral("Edit3"), QStringLiteral("6/12/2026"));
      PressOk(w);
    });
    s.Tool(u"SBNewItem")->click();
    QVERIFY(script.Done());
    QCOMPARE(s.reg().RowCount(), 7);
    QCOMPARE(s.reg().Cell(5, kDescriptionColumn), QStringLiteral("חשמל"));
    QCOMPARE(s.reg().Cell(5, kExpenseColumn), QStringLiteral("250"));
    QCOMPARE(s.reg().Cell(5, kDateColumn), QStringLiteral("6/12/2026"));
    QVERIFY(s.reg().NeedsSorting());
    QCOMPARE(s.grid().CurrentRow(), 2);  // back where the user was
    QCOMPARE(s.grid().model()->rowCount(), 7);
    QVERIFY(s.window.SaveAccount());
    Register saved;
    QCOMPARE(LoadAccountFile(s.home.Path(QStringLiteral("Xct1.dat")), u"0", saved),
             AccountFileStatus::kRead);
    QCOMPARE(saved.Cell(5, kDescriptionColumn), QStringLiteral("חשמל"));
  }

  void ASeriesOf900ReachesTheViewInOneStep() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    QSignalSpy inserted(s.grid().model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(s.grid().model(), &QAbstractItemModel::modelReset);
    ModalScript script;
    script.Expect(QStringLiteral("TDateFrm"), [](QWidget* w) {
      TypeInto(w, QStringLiteral("Edit1"), QStringLiteral("חיסכון"));
      TypeInto(w, QStringLiteral("EdtOut"), QStringLiteral("100"));
      TypeInto(w, QStringLiteral("Edit3"), QStringLiteral("31/1/2027"));
      w->findChild<QSpinBox*>(QStringLiteral("SpinEdit2"))->setValue(900);
      PressOk(w);
    });
    s.Tool(u"SBNewItem")->click();
    QVERIFY(script.Done());
    QCOMPARE(s.reg().RowCount(), 6 + 900);
    QCOMPARE(s.reg().Cell(5 + 899, kDateColumn), QStringLiteral("31/12/2101"));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(s.grid().model()->rowCount(), 6 + 900);
  }

  void CancelledNewTransactionKeepsTheCursor() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    s.grid().SetCurrentCell(2, kDescriptionColumn);
    ModalScript script;
    script.Expect(QStringLiteral("TDateFrm"), [](QWidget* w) {
      ClickButton(w, QStringLiteral("ביטול"));
    });
    QVERIFY(!s.grid().SelectCell(5, kDescriptionColumn));
    QVERIFY(script.Done());
    QCOMPARE(s.grid().CurrentRow(), 2);
    QCOMPARE(s.reg().RowCount(), 6);
  }

  void FifthNewTransactionSavesTheAccount() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    const QString file = s.home.Path(QStringLiteral("Xct1.dat"));
    for (int i = 1; i <= 5; ++i) {
      ModalScript script;
      script.Expect(QStringLiteral("TDateFrm"), [i](QWidget* w) {
        TypeInto(w, QStringLiteral("Edit1"), QStringLiteral("תנועה %1").arg(i));
        TypeInto(w, QStringLiteral("EdtIn"), QString::number(i));
        PressOk(w);
      });
      s.Tool(u"SBNewItem")->click();
      QVERIFY(script.Done());
      Register saved;
      LoadAccountFile(file, u"0", saved);
      QCOMPARE(saved.RowCount() - 1, i < 5 ? 5 : 10);
    }
  }

  void CloneConfirmedUnchangedDisappears() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    s.grid().SetCurrentCell(3, kDescriptionColumn);
    ModalScript script;
    script.Expect(QStringLiteral("TDateFrm"), [](QWidget* w) { PressOk(w); });
    s.Tool(u"SBClone")->click();
    QVERIFY(script.Done());
    QCOMPARE(s.reg().RowCount(), 6);
    QVERIFY(s.reg().RowIsEmpty(5));
    QCOMPARE(s.grid().CurrentRow(), 3);
  }

  void CloneWithAChangeStays() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    s.grid().SetCurrentCell(1, kDescriptionColumn);
    ModalScript script;
    script.Expect(QStringLiteral("TDateFrm"), [](QWidget* w) {
      TypeInto(w, QStringLiteral("EdtIn"), QStringLiteral("210"));
      PressOk(w);
    });
    s.Tool(u"SBClone")->click();
    QVERIFY(script.Done());
    QCOMPARE(s.reg().RowCount(), 7);
    QCOMPARE(s.reg().Cell(5, kDescriptionColumn), QStringLiteral("משכורת"));
    QCOMPARE(s.reg().Cell(5, kIncomeColumn), QStringLiteral("210"));
    QCOMPARE(s.reg().Cell(5, kMarkColumn), QString());  // the copy is not reconciled
  }

  void OpeningAReconciledRowAsksFirst() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    s.grid().SetCurrentCell(1, kDescriptionColumn);
    s.home.prompter.Answer(MessageAnswer::kNo);
    s.window.RegisterView().OpenRow();  // no dialog may open: the script has none
    QCOMPARE(s.home.prompter.AskedTexts(),
             QStringList{QStringLiteral("הנך עומד לשנות תנועה שעברה התאמת בנק\rהאם ברצונך להמשיך בפעולה")});
  }

  void LocatingARowForTheDrillDown() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    s.grid().SetCurrentCell(0, kDescriptionColumn);
    QVERIFY(!s.window.RegisterView().LocateRow(QStringLiteral("מכולת"), QStringLiteral("5/11/2026"),
                                QStringLiteral("קניות"), QStringLiteral("שק 18")));
    QCOMPARE(s.grid().CurrentRow(), 0);
    QVERIFY(s.window.RegisterView().LocateRow(QStringLiteral("מכולת"), QStringLiteral("5/11/2026"),
                               QStringLiteral("קניות"), QStringLiteral("שק 17")));
    QCOMPARE(s.grid().CurrentRow(), 3);
  }

  void HeaderDragResizesItsColumnAndTheDateTakesTheRest() {
    Started s;
    QVERIFY(Start(s, SampleRows()));
    RegisterGrid& grid = s.grid();
    const int total = grid.columnWidth(kBalanceColumn) + grid.columnWidth(kDateColumn);
    s.window.GridArea().Header().resizeSection(1 + kBalanceColumn, 90);
    QCOMPARE(grid.columnWidth(kBalanceColumn), 90);
    QCOMPARE(grid.columnWidth(kBalanceColumn) + grid.columnWidth(kDateColumn), total);
    QCOMPARE(s.window.GridArea().Header().sectionSize(1 + kDateColumn), grid.columnWidth(kDateColumn));
  }
};

QTEST_MAIN(RegisterGridTest)
#include "register_grid_test.moc"
// clang-format on
