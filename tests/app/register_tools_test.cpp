#include <QAction>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/common/busy_notice.h"
#include "app/register/register_area.h"
#include "app/register/register_grid.h"
#include "app/register/search_dialog.h"
#include "core/text/date_text.h"
#include "tests/app/register_home.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

// The case tables are laid out by hand, a row of a table a line.
// clang-format off

namespace {

// Four reconciled rows, so that no date sort moves an open row: an income, an
// expense and a bank balance of the same day, and an earlier income.
std::vector<Row> SortRows() {
  const auto tx = [](QString income, QString expense, QString type, QString category,
                     QString description, QString date) {
    return Row{{}, income, expense, type, category, description, date, QStringLiteral("+")};
  };
  return {
      tx(QStringLiteral("300"), {}, QStringLiteral("העברה "), QStringLiteral("משכורות"),
         QStringLiteral("ג"), QStringLiteral("3/12/2026")),
      tx({}, QStringLiteral("20"), QStringLiteral("מזומן "), QStringLiteral("קניות"),
         QStringLiteral("א"), QStringLiteral("2/12/2026")),
      Row{QStringLiteral("1000"), {}, {}, QStringLiteral("יתרה "), kBank, QStringLiteral("יתרה"),
          QStringLiteral("2/12/2026"), QStringLiteral("+")},
      tx(QStringLiteral("50"), {}, QStringLiteral("שק 5"), QStringLiteral("אשראי"),
         QStringLiteral("ב"), QStringLiteral("1/12/2026")),
  };
}

// Ten monthly-spread transactions without any bank balance.
std::vector<Row> RowsWithoutBankBalance() {
  std::vector<Row> rows;
  for (int i = 0; i < 10; ++i) {
    rows.push_back({{}, {}, QStringLiteral("10"), QStringLiteral("מזומן "), QStringLiteral("קניות"),
                    QStringLiteral("קניה"), DateText(QDate(2026, 1, 1).addDays(i * 10)),
                    QStringLiteral("+")});
  }
  return rows;
}

void Trigger(TForm1& window, const char16_t* item) {
  window.findChild<QAction*>(QString::fromUtf16(item))->trigger();
}

void ClickSideLine(TForm1& window, int line) {
  QTableWidget& side = window.GridArea().SideGrid();
  QTest::mouseClick(side.viewport(), Qt::LeftButton, {},
                    side.visualItemRect(side.item(line, 1)).center());
}

}  // namespace

class RegisterToolsTest : public QObject {
  Q_OBJECT

 private slots:
  void SortItemsOrderTheRegister() {
    Started s;
    QVERIFY(Start(s, SortRows()));
    struct Case {
      const char16_t* item;
      int column;
      QStringList order;  // descriptions from the top
      bool needs_sorting;
    };
    const Case cases[] = {
        {u"MenuIn", kIncomeColumn, {}, true},  // checked on the income texts below
        {u"MenuDate", kCategoryColumn, {u"ב"_s, u"יתרה"_s, u"ג"_s, u"א"_s}, true},
        {u"MenuRef", kTypeColumn, {u"ג"_s, u"יתרה"_s, u"א"_s, u"ב"_s}, true},
        {u"MenuName", kDescriptionColumn, {u"א"_s, u"ב"_s, u"ג"_s, u"יתרה"_s}, true},
        // The bank balance comes after the other row of its day.
        {u"MenuCateg", kDateColumn, {u"ב"_s, u"א"_s, u"יתרה"_s, u"ג"_s}, false},
    };
    for (const Case& c : cases) {
      const QString name = QString::fromUtf16(c.item);
      s.home.sounds.played.clear();
      Trigger(s.window, c.item);
      if (!c.order.isEmpty()) QCOMPARE(Column(s.reg(), kDescriptionColumn), c.order);
      QVERIFY2(s.reg().NeedsSorting() == c.needs_sorting, qPrintable(name));
      QVERIFY2(s.home.sounds.played.contains(u"DoneRpt.wav"_s), qPrintable(name));
      QVERIFY2(s.grid().isVisible(), qPrintable(name));
      // Bevel6 lies under the sorted column's header.
      auto* bevel = s.window.findChild<QFrame*>(QStringLiteral("Bevel6"));
      QHeaderView& header = s.window.GridArea().Header();
      const int left = header.mapTo(&s.window.GridArea(), QPoint(0, 0)).x();
      const int section = header.logicalIndexAt(bevel->geometry().center().x() - left);
      QVERIFY2(bevel->isVisible(), qPrintable(name));
      QCOMPARE(header.model()->headerData(section, Qt::Horizontal).toString(),
               header.model()->headerData(c.column + 1, Qt::Horizontal).toString());
    }
    // Expenses ("0" as their key) first, then incomes from small to large.
    Trigger(s.window, u"MenuIn");
    QCOMPARE(Column(s.reg(), kIncomeColumn), (QStringList{{}, {}, u"50"_s, u"300"_s}));
    Trigger(s.window, u"MenuOut");
    QCOMPARE(Column(s.reg(), kExpenseColumn).last(), u"20"_s);
  }

  void TheReminderShowsEveryFifthQualifyingDateSort() {
    Started s;
    QVERIFY(Start(s, RowsWithoutBankBalance()));  // the load's date sort is the first
    const QString reminder_caption = QStringLiteral("לידיעתך");
    const auto reminders = [&] {
      int n = 0;
      for (const AskedMessage& m : s.home.prompter.Asked()) n += m.caption == reminder_caption;
      return n;
    };
    for (int sort = 2; sort <= 10; ++sort) {
      s.window.RegisterView().SortPictureClicked();
      QCOMPARE(reminders(), sort / 5);
    }
    // Other sorts don't count.
    Trigger(s.window, u"MenuIn");
    QCOMPARE(reminders(), 2);
  }

  void SearchFindsEveryMatchThenStartsOver() {
    Started s;
    QVERIFY(Start(s, {{{}, {}, QStringLiteral("1500"), {}, QStringLiteral("קניות"),
                       QStringLiteral("א"), QStringLiteral("1/12/2026"), QStringLiteral("+")},
                      {{}, {}, QStringLiteral("500.25"), {}, QStringLiteral("קניות"),
                       QStringLiteral("ב"), QStringLiteral("2/12/2026"), QStringLiteral("+")},
                      {{}, {}, QStringLiteral("20"), {}, QStringLiteral("קניות"),
                       QStringLiteral("ג"), QStringLiteral("3/12/2026"), QStringLiteral("+")},
                      {{}, QStringLiteral("500"), {}, {}, QStringLiteral("משכורות"),
                       QStringLiteral("ד"), QStringLiteral("4/12/2026"), QStringLiteral("+")}}));
    QTest::keyClick(&s.window, Qt::Key_F3);
    TSrchFrm& search = s.window.RegisterView().SearchForm();
    QVERIFY(search.isVisible());
    TypeInto(&search, QStringLiteral("EdtExpense"), QStringLiteral("500"));
    auto* find = search.findChild<QPushButton*>(QStringLiteral("BtnFind"));
    for (int row : {0, 1}) {
      find->click();
      QCOMPARE(s.grid().CurrentRow(), row);
      QCOMPARE(s.grid().CurrentColumn(), int{kExpenseColumn});
      QVERIFY(s.home.prompter.Asked().empty());
    }
    find->click();
    QCOMPARE(s.home.prompter.AskedTexts(), QStringList{QStringLiteral("לא נמצאו יותר רשומות")});
    QVERIFY(s.home.sounds.played.contains(u"DoneRpt.wav"_s));
    // Another field combines by "or"; the search starts from the top again.
    TypeInto(&search, QStringLiteral("EdtIncome"), QStringLiteral("500"));
    find->click();
    find->click();
    find->click();
    QCOMPARE(s.grid().CurrentRow(), 3);
    QCOMPARE(s.grid().CurrentColumn(), int{kIncomeColumn});
  }

  void AMarkToggledTwiceIsAsBeforeButTheRegisterNeedsSorting() {
    Started s;
    QVERIFY(Start(s, SortRows()));
    s.grid().scrollToTop();
    QVERIFY(!s.reg().NeedsSorting());
    const QString before = s.reg().Cell(1, kMarkColumn);
    ClickSideLine(s.window, 1);
    QCOMPARE(s.reg().Cell(1, kMarkColumn), before == u"+" ? QString() : u"+"_s);
    QCOMPARE(s.window.GridArea().SideGrid().item(1, 1)->text(),
             before == u"+" ? QString() : u"ok"_s);
    QCOMPARE(s.grid().CurrentRow(), 1);
    ClickSideLine(s.window, 1);
    QCOMPARE(s.reg().Cell(1, kMarkColumn), before);
    QVERIFY(s.reg().NeedsSorting());
    // The empty last row has no mark to switch.
    ClickSideLine(s.window, s.reg().RowCount() - 1);
    QCOMPARE(s.reg().Cell(s.reg().RowCount() - 1, kMarkColumn), QString());
  }

  void EscapeReachesALongOperationAndNothingElseDoes() {
    QWidget window;
    auto* button = new QPushButton(u"x"_s, &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int clicks = 0;
    connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    bool cancel = false;
    EscapeWatch watch(cancel);
    QTest::keyClick(button, Qt::Key_Space);  // held back: no click
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks, 0);
    QVERIFY(!watch.Poll());
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(cancel);
  }

  void TheCategoryCheckWalksUnknownCategoriesUntilCancel() {
    Started s;
    std::vector<Row> rows = SortRows();
    rows[1].category = QStringLiteral("אין כזו");  // row 1 after the date sort
    rows[0].category = QStringLiteral("גם לא");    // row 3
    rows[0].mark.clear();
    rows[3].category = QStringLiteral("אשראי\\ויזה");
    // The installed business tree (the account's kind), which holds the bank balance.
    QVERIFY(QFile::copy(s.home.Path(u"DCategB.dat"_s), s.home.Path(u"BCateg.dat"_s)));
    QVERIFY(Start(s, rows));
    QStringList visited;
    const auto note_row = [&](QWidget*) {
      visited << s.reg().Cell(s.grid().CurrentRow(), kCategoryColumn);
      QCOMPARE(s.grid().CurrentColumn(), int{kCategoryColumn});
    };
    {
      ModalScript script;
      script.Expect(QStringLiteral("TDateFrm"), [&](QWidget* w) {
        note_row(w);
        w->findChild<QPushButton*>(QStringLiteral("BtnCancel"))->click();
      });
      s.home.prompter.Answer(MessageAnswer::kYes);  // the row is reconciled: open it anyway
      Trigger(s.window, u"MenuCategChck");
      QVERIFY(script.Done());
    }
    QCOMPARE(visited, QStringList{u"אין כזו"_s});
    QVERIFY(s.home.sounds.played.contains(u"DoneRpt.wav"_s));
    QVERIFY(!s.window.Splash().IsBusyVisible());

    // Confirming a row goes on to the next one.
    visited.clear();
    ModalScript script;
    script.Expect(QStringLiteral("TDateFrm"), [&](QWidget* w) {
      note_row(w);
      PressOk(w);
    });
    script.Expect(QStringLiteral("TDateFrm"), [&](QWidget* w) {
      note_row(w);
      PressOk(w);
    });
    s.home.prompter.Answer(MessageAnswer::kYes);
    Trigger(s.window, u"MenuCategChck");
    QVERIFY(script.Done());
    QCOMPARE(visited, (QStringList{u"אין כזו"_s, u"גם לא"_s}));
  }
};

QTEST_MAIN(RegisterToolsTest)
#include "register_tools_test.moc"
// clang-format on
