// What the register page shows and how its keys move: amounts never lose
// digits, the side strip stays in line, the keys inside the cell editor.
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "app/register/register_area.h"
#include "app/register/register_grid.h"
#include "tests/app/register_home.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

namespace {

// The opening balance, then `count` reconciled expenses of 10, one a day.
std::vector<Row> ManyRows(int count, const QString& opening = u"1000"_s) {
  std::vector<Row> rows = {
      {opening, {}, {}, u"יתרה "_s, kBank, u"יתרת פתיחה"_s, u"1/1/1990"_s, u"+"_s}};
  for (int i = 0; i < count; ++i) {
    const QString date = QDate(2026, 1, 1).addDays(i).toString(u"d/M/yyyy"_s);
    rows.push_back({{}, {}, u"10"_s, u"שק 0000100"_s, u"קניות"_s, u"מכולת"_s, date, u"+"_s});
  }
  return rows;
}

}  // namespace

class RegisterViewTest : public QObject {
  Q_OBJECT

 private slots:
  void AmountsAndDifferencesInViewAreShownWhole() {
    std::vector<Row> rows = ManyRows(80, u"-29338859.50"_s);
    rows[1] = {{}, u"12345678.90"_s, {}, u"מזומן "_s, u"קניות"_s, u"א"_s, rows[1].date, u"+"_s};
    rows[2].expense = u"23456789.01"_s;
    // Types and categories wider than their first widths are shown whole too.
    rows[3].type = u"הו\"ק 000012345"_s;
    rows[3].category = u"משרד\\שכירות ואחזקת המבנה"_s;
    // A real balance far from the computed one: PB1 shows the difference.
    rows[40] = {u"5000000"_s, {}, {}, u"יתרה "_s, kBank, u"יתרה"_s, rows[40].date, u"+"_s};
    Started s;
    QVERIFY(Start(s, rows));
    RegisterGrid& grid = s.grid();
    QHeaderView& header = s.window.GridArea().Header();
    const QFontMetrics bold(grid.CellFont(true));
    const QFontMetrics plain(grid.CellFont(false));
    for (const int top : {0, 40}) {
      grid.SetCurrentCell(top, kDescriptionColumn);
      grid.scrollTo(grid.model()->index(top, kDescriptionColumn), QAbstractItemView::PositionAtTop);
      for (int row = top; row <= grid.LastShownRow(); ++row) {
        for (int column = kBalanceColumn; column <= kCategoryColumn; ++column) {
          const QString text = s.reg().Cell(row, column);
          const QRect cell = grid.visualRect(grid.model()->index(row, column));
          const QFontMetrics& metrics = column == kBalanceColumn ? bold : plain;
          QVERIFY2(PlaceTextInCell(text, 0, cell, metrics).text == text, qPrintable(text));
        }
        if (const auto difference = s.reg().BankBalanceDifference(row)) {
          QVERIFY(bold.horizontalAdvance(*difference + u"->"_s) <
                  s.window.GridArea().Strip().width());
        }
      }
      // The description takes what is left; the header follows the columns.
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
    const QRect cell(100, 0, 40, 18);
    const struct {
      QString text, begins;
      bool elided;
    } cases[] = {{u"שק 0000100"_s, u"שק"_s, true},
                 {u"-29338859.50"_s, u"-2"_s, true},
                 {u"יתרה"_s, u"יתרה"_s, false}};
    for (const auto& test : cases) {
      const CellText placed = PlaceTextInCell(test.text, 0, cell, metrics);
      QVERIFY2(placed.text.startsWith(test.begins), qPrintable(test.text));
      QVERIFY2(placed.text.endsWith(u'…') == test.elided, qPrintable(test.text));
      QCOMPARE(placed.left + metrics.horizontalAdvance(placed.text), cell.right() - 3);
    }
  }

  void SideGridStaysInLineAtTheEnd() {
    Started s;
    QVERIFY(Start(s, ManyRows(80)));
    RegisterGrid& grid = s.grid();
    QTableWidget& side = s.window.GridArea().SideGrid();
    // Heights that cut the top row by different amounts.
    for (const int height : {500, 505, 510}) {
      s.window.resize(s.window.width(), height);
      QApplication::processEvents();
      grid.SetCurrentCell(20, kDescriptionColumn);
      grid.scrollToBottom();
      // The cursor left out of view moves to the first whole row.
      QVERIFY(grid.rowViewportPosition(grid.CurrentRow()) >= 0);
      const int top = grid.TopRow();
      for (int line = 0; line < side.rowCount() && top + line < s.reg().RowCount(); ++line) {
        const QModelIndex index = grid.model()->index(top + line, kDescriptionColumn);
        const QPoint in_grid = grid.viewport()->mapToGlobal(grid.visualRect(index).topLeft());
        const QPoint in_side =
            side.viewport()->mapToGlobal(side.visualItemRect(side.item(line, 0)).topLeft());
        QVERIFY2(in_grid.y() == in_side.y(),
                 qPrintable(u"height %1 line %2"_s.arg(height).arg(line)));
        QCOMPARE(side.item(line, 0)->text(), QString::number(top + line + 1));
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
    QCOMPARE(s.reg().Cell(4, kBalanceColumn), u"945"_s);
  }

  void KeysWhileTheCellEditorIsOpen() {
    const struct {
      const char* name;
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      int row, column;
      int text_cursor;  // -1: the editor has closed
      bool dialog;      // the transaction dialog opens on the empty row
    } cases[] = {
        {"Home moves the text cursor", Qt::Key_Home, {}, 3, kDescriptionColumn, 0, false},
        {"Ctrl+Home goes to row 0", Qt::Key_Home, Qt::ControlModifier, 0, kDescriptionColumn, -1,
         false},
        {"Ctrl+End opens the dialog", Qt::Key_End, Qt::ControlModifier, 3, kDescriptionColumn, -1,
         true},
        {"Tab passes over the date", Qt::Key_Tab, {}, 3, kDescriptionColumn, -1, false},
    };
    for (const auto& test : cases) {
      Started s;
      QVERIFY2(Start(s, ManyRows(5)), test.name);
      QVERIFY2(s.grid().SelectCell(3, kDescriptionColumn), test.name);
      QTest::keyClick(s.grid().viewport(), Qt::Key_A);  // opens the cell editor
      auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
      QVERIFY2(editor != nullptr, test.name);
      QTest::keyClick(editor, Qt::Key_B);
      ModalScript script;
      if (test.dialog) {
        script.Expect(u"TDateFrm"_s, [](QWidget* w) { ClickButton(w, u"ביטול"_s); });
      }
      QTest::keyClick(editor, test.key, test.modifiers);
      QVERIFY2(script.Done(), test.name);
      QVERIFY2(s.grid().CurrentRow() == test.row, test.name);
      QVERIFY2(s.grid().CurrentColumn() == test.column, test.name);
      QVERIFY2(s.grid().IsEditing() == (test.text_cursor >= 0), test.name);
      if (test.text_cursor >= 0) QVERIFY2(editor->cursorPosition() == test.text_cursor, test.name);
    }
  }
};

QTEST_MAIN(RegisterViewTest)
#include "register_view_test.moc"
