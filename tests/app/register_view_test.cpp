// What the register page shows and how its keys move: amounts never lose
// digits, the side strips stay in line, the keys inside the cell editor.
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include "app/register/register_area.h"
#include "app/register/register_grid.h"
#include "tests/app/register_home.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

namespace {

// `count` open expenses of 10, one a day from 1/1/2026, after the opening balance.
std::vector<Row> ManyRows(int count, const QString& opening = u"1000"_s) {
  std::vector<Row> rows = {
      {opening, {}, {}, u"יתרה "_s, kBank, u"יתרת פתיחה"_s, u"1/1/1990"_s, u"+"_s}};
  for (int i = 0; i < count; ++i) {
    rows.push_back({{},
                    {},
                    u"10"_s,
                    u"שק 0000100"_s,
                    u"קניות"_s,
                    u"מכולת"_s,
                    QDate(2026, 1, 1).addDays(i).toString(u"d/M/yyyy"_s),
                    u"+"_s});
  }
  return rows;
}

// Rows whose balance runs to eight digits, from an opening of -29338859.50.
std::vector<Row> LargeAmountRows(int count) {
  std::vector<Row> rows = ManyRows(count, u"-29338859.50"_s);
  rows[1].expense.clear();
  rows[1].income = u"12345678.90"_s;
  rows[2].expense = u"23456789.01"_s;
  // A real balance far from the computed one: PB1 shows the difference.
  rows[40] = {u"5000000"_s, {}, {}, u"יתרה "_s, kBank, u"יתרה"_s, rows[40].date, u"+"_s};
  return rows;
}

// Every amount in view is drawn whole: the cell is wide enough for its text.
void VerifyAmountsInViewWhole(Started& s) {
  RegisterGrid& grid = s.grid();
  const int last = grid.rowAt(grid.viewport()->height() - 1);
  for (int row = grid.TopRow(); row <= (last < 0 ? s.reg().RowCount() - 1 : last); ++row) {
    for (int column = kBalanceColumn; column <= kExpenseColumn; ++column) {
      const QString text = s.reg().Cell(row, column);
      const QFontMetrics metrics(grid.CellFont(true));
      const QRect cell = grid.visualRect(grid.model()->index(row, column));
      QVERIFY2(PlaceTextInCell(text, 0, cell, metrics).text == text,
               qPrintable(u"row %1 column %2: %3"_s.arg(row).arg(column).arg(text)));
    }
    // The difference beside a bank balance, left of the marker.
    if (const auto difference = s.reg().BankBalanceDifference(row)) {
      MarkerStrip& strip = s.window.GridArea().Strip();
      const QFontMetrics metrics(grid.CellFont(false));
      QVERIFY2(metrics.horizontalAdvance(*difference + u"->"_s) < strip.width(),
               qPrintable(*difference));
    }
  }
}

}  // namespace

class RegisterViewTest : public QObject {
  Q_OBJECT

 private slots:
  void AmountsWidenTheirColumnsAndTheDescriptionTakesTheRest() {
    Started s;
    QVERIFY(Start(s, LargeAmountRows(80)));
    RegisterGrid& grid = s.grid();
    QHeaderView& header = s.window.GridArea().Header();
    // The large amounts of rows 0 to 2, then the bank balance of row 40.
    for (const int top : {0, 40}) {
      grid.SetCurrentCell(top, kDescriptionColumn);
      grid.scrollTo(grid.model()->index(top, kDescriptionColumn), QAbstractItemView::PositionAtTop);
      VerifyAmountsInViewWhole(s);
      int total = 0;
      for (int column = kBalanceColumn; column <= kDateColumn; ++column) {
        total += grid.columnWidth(column);
        QCOMPARE(header.sectionSize(1 + column), grid.columnWidth(column));
      }
      QCOMPARE(total, grid.viewport()->width());
    }
    QCOMPARE(header.model()->headerData(0, Qt::Horizontal).toString(), u"הפרש"_s);
  }

  void TextWiderThanItsCellKeepsItsBeginning() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    const QFontMetrics metrics(font);
    struct Case {
      const char* name;
      QString text;
      int width;
      int indent;
      QString begins;
      bool elided;
    };
    const Case cases[] = {
        {"a Hebrew type and reference", u"שק 0000100"_s, 40, 0, u"שק"_s, true},
        {"an opening balance's type", u"יתרת פתיחה"_s, 40, 0, u"יתרת"_s, true},
        {"an amount", u"-29338859.50"_s, 40, 0, u"-2"_s, true},
        {"an indent narrows the room", u"יתרת פתיחה"_s, 70, 30, u"יתרת"_s, true},
        {"text that fits is left whole", u"מזומן"_s, 60, 0, u"מזומן"_s, false},
    };
    for (const Case& test : cases) {
      const QRect cell(100, 0, test.width, 18);
      const CellText placed = PlaceTextInCell(test.text, test.indent, cell, metrics);
      QVERIFY2(placed.text.startsWith(test.begins), test.name);
      QVERIFY2(placed.text.endsWith(u'…') == test.elided, test.name);
      QVERIFY2(placed.left > cell.left(), test.name);
      const int right = placed.left + metrics.horizontalAdvance(placed.text);
      QVERIFY2(right == cell.right() - 3 - test.indent, test.name);
    }
  }

  void SideGridStaysInLineWithTheGrid() {
    Started s;
    QVERIFY(Start(s, ManyRows(80)));
    RegisterGrid& grid = s.grid();
    QTableWidget& side = s.window.GridArea().SideGrid();
    // Heights that leave the last line cut by different amounts.
    for (int extra = 0; extra < 18; extra += 5) {
      s.window.resize(s.window.width(), 500 + extra);
      QApplication::processEvents();
      for (const bool at_end : {false, true}) {
        // The cursor left out of view moves to the first whole row.
        grid.SetCurrentCell(20, kDescriptionColumn);
        if (at_end) {
          grid.scrollToBottom();
        } else {
          grid.scrollTo(grid.model()->index(20, kDescriptionColumn),
                        QAbstractItemView::PositionAtTop);
        }
        QApplication::processEvents();
        QVERIFY(grid.RowIsShown(grid.CurrentRow()));
        QVERIFY(grid.rowViewportPosition(grid.CurrentRow()) >= 0);
        const int top = grid.TopRow();
        for (int line = 0; line < side.rowCount() && top + line < s.reg().RowCount(); ++line) {
          const QModelIndex index = grid.model()->index(top + line, kDescriptionColumn);
          const int grid_y = grid.viewport()->mapToGlobal(grid.visualRect(index).topLeft()).y();
          const int side_y =
              side.viewport()->mapToGlobal(side.visualItemRect(side.item(line, 0)).topLeft()).y();
          QVERIFY2(
              grid_y == side_y,
              qPrintable(u"height %1 end %2 line %3"_s.arg(500 + extra).arg(at_end).arg(line)));
          QCOMPARE(side.item(line, 0)->text(), QString::number(top + line + 1));
        }
      }
    }
  }

  void ACloneTakesItsOwnRunningBalance() {
    Started s;
    QVERIFY(Start(s, ManyRows(3)));  // balances 1000, 990, 980, 970
    s.grid().SetCurrentCell(2, kDescriptionColumn);
    ModalScript script;
    script.Expect(u"TDateFrm"_s, [](QWidget* w) {
      TypeInto(w, u"EdtOut"_s, u"25"_s);
      PressOk(w);
    });
    s.Tool(u"SBClone")->click();
    QVERIFY(script.Done());
    QCOMPARE(s.reg().RowCount(), 6);
    QCOMPARE(s.reg().Cell(4, kBalanceColumn), u"945"_s);
  }

  void KeysWhileTheCellEditorIsOpen() {
    struct Case {
      const char* name;
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      int row_after;
      int column_after;
      int text_cursor;  // -1: the editor is closed
      bool dialog;      // the transaction dialog opens on the empty row
    };
    // The editor is open on row 3's description with "abc", the cursor after "b".
    const Case cases[] = {
        {"Home moves the text cursor", Qt::Key_Home, {}, 3, kDescriptionColumn, 0, false},
        {"End moves the text cursor", Qt::Key_End, {}, 3, kDescriptionColumn, 3, false},
        {"Ctrl+Home goes to row 0", Qt::Key_Home, Qt::ControlModifier, 0, kDescriptionColumn, -1,
         false},
        {"Ctrl+End opens the dialog on the empty row", Qt::Key_End, Qt::ControlModifier, 3,
         kDescriptionColumn, -1, true},
        {"Down moves a row", Qt::Key_Down, {}, 4, kDescriptionColumn, -1, false},
        {"Tab passes over the date", Qt::Key_Tab, {}, 3, kDescriptionColumn, -1, false},
        {"Backtab goes to the category", Qt::Key_Backtab, {}, 3, kCategoryColumn, -1, false},
    };
    for (const Case& test : cases) {
      Started s;
      QVERIFY2(Start(s, ManyRows(5)), test.name);
      QVERIFY2(s.grid().SelectCell(3, kDescriptionColumn), test.name);
      QTest::keyClick(s.grid().viewport(), Qt::Key_A);  // opens the cell editor
      auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
      QVERIFY2(editor != nullptr, test.name);
      QTest::keyClicks(editor, u"bc"_s);
      QTest::keyClick(editor, Qt::Key_Left);
      ModalScript script;
      if (test.dialog) {
        script.Expect(u"TDateFrm"_s, [](QWidget* w) { ClickButton(w, u"ביטול"_s); });
      }
      QTest::keyClick(editor, test.key, test.modifiers);
      QVERIFY2(script.Done(), test.name);
      QVERIFY2(s.grid().CurrentRow() == test.row_after, test.name);
      QVERIFY2(s.grid().CurrentColumn() == test.column_after, test.name);
      QVERIFY2(s.reg().Cell(3, kDescriptionColumn) == u"abc"_s, test.name);
      auto* still = qobject_cast<QLineEdit*>(QApplication::focusWidget());
      QVERIFY2((test.text_cursor >= 0) == s.grid().IsEditing(), test.name);
      if (test.text_cursor >= 0) QVERIFY2(still->cursorPosition() == test.text_cursor, test.name);
    }
  }

  void CtrlEndOpensTheDialogOnTheEmptyRow() {
    Started s;
    QVERIFY(Start(s, ManyRows(5)));
    s.grid().SetCurrentCell(2, kDescriptionColumn);
    ModalScript script;
    script.Expect(u"TDateFrm"_s, [](QWidget* w) { ClickButton(w, u"ביטול"_s); });
    QTest::keyClick(s.grid().viewport(), Qt::Key_End, Qt::ControlModifier);
    QVERIFY(script.Done());
    QCOMPARE(s.grid().CurrentRow(), 2);
  }
};

QTEST_MAIN(RegisterViewTest)
#include "register_view_test.moc"
