#include "app/register/transaction_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <functional>

#include "app/common/account_edit.h"
#include "app/common/active_account.h"
#include "app/common/calendar_dialog.h"
#include "core/register/register.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

const QString kBankBalance = QString::fromUtf16(kBankBalanceCategory);
const QString kBothAmounts = u"לא ניתן להקיש \"הוצאה\" ו\"הכנסה\" באותה תנועה"_s;
const QString kBadDate = u"תאריך זה אינו חוקי, נסה שנית"_s;
const QString kMismatch =
    u"פעולה זו היא מסוג יתרת בנק או לא\rוודא כי סוג התשלום והקבוצה, מתאימים"_s;

template <typename T = QLineEdit>
T* Child(QWidget* window, const QString& name) {
  T* child = window->findChild<T*>(name);
  if (child == nullptr) qFatal("no control %s", qPrintable(name));
  return child;
}

QString Text(QWidget* window, const QString& name) { return Child(window, name)->text(); }
QString FocusName() {
  QWidget* focus = QApplication::focusWidget();
  // The calendar's day table stands for the calendar.
  while (focus != nullptr &&
         (focus->objectName().isEmpty() || focus->objectName().startsWith(u"qt_")))
    focus = focus->parentWidget();
  return focus != nullptr ? focus->objectName() : QString();
}
void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
// Adds text at the cursor, as typing Hebrew does.
void Commit(QWidget* window, const QString& name, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(Child(window, name), &event);
}
void SetCount(QWidget* window, int count, int period) {
  auto* spin = Child<QSpinBox>(window, u"SpinEdit2"_s);
  spin->setFocus();
  spin->setValue(count);
  Child<QComboBox>(window, u"ComboBox1"_s)->setCurrentIndex(period);
}
void ChooseBankBalanceType(QWidget* window) {
  auto* type = Child<QComboBox>(window, u"ComboBox3"_s);
  type->setFocus();
  QTest::keyClick(type, Qt::Key_End);  // "יתרה" is the last type
}

// Appends a transaction: columns 1 to 8.
void AddRow(ActiveAccount& account, const QStringList& cells) {
  AccountEdit edit(account);
  Register& reg = edit.Rows();
  const int row = reg.RowCount() - 1;
  for (int column = 1; column <= 8; ++column) reg.SetCell(row, column, cells[column - 1]);
  reg.AddEmptyRow();
}

// Columns 1 to 8; the running balance, which the account's edit computes
// after OK, only for a bank balance, whose balance the dialog writes.
QStringList Row(const Register& reg, int row) {
  QStringList cells;
  for (int column = 1; column <= 8; ++column) {
    const bool running =
        column == kBalanceColumn && !IsBankBalanceRow(reg.RawCell(row, kCategoryColumn));
    cells.append(running ? QString() : reg.Cell(row, column));
  }
  return cells;
}

// Records whether the busy flag was up when OK played its sound.
class BusySounds final : public Sounds {
 public:
  explicit BusySounds(const ActiveAccount& account) : account_(account) {}
  void Play(const QString& name, bool wait) override {
    played.append(name + (account_.IsBusy() ? u" busy"_s : u""_s) + (wait ? u" waiting"_s : u""_s));
  }
  QStringList played;

 private:
  const ActiveAccount& account_;
};

struct Fixture {
  Fixture() {
    QFile::copy(home.Path(u"DCateg.dat"_s), home.Path(u"Categ.dat"_s));
    home.services.sounds = &sounds;
    dialog.Attach(account);
    dialog.SetBusinessAccount(false);
    dialog.Reset();
  }
  // Runs the dialog on a row; the action types and confirms, and a dialog
  // still open afterwards is cancelled.
  int Open(int row, int column, const std::function<void(QWidget*)>& action) {
    ModalScript script;
    script.Expect(u"TDateFrm"_s, [&](QWidget* window) {
      action(window);
      if (window->isVisible()) Child<QPushButton>(window, u"BtnCancel"_s)->click();
    });
    return dialog.OpenOn(row, column);
  }
  int OpenNew(const std::function<void(QWidget*)>& action) {
    return Open(reg.RowCount() - 1, kDescriptionColumn, action);
  }

  TestHome home;
  ActiveAccount account{home.Path({})};
  const Register& reg = account.Rows();
  BusySounds sounds{account};
  TCalander calendar{home.services};
  TDateFrm dialog{home.services, calendar};
};

}  // namespace

class TransactionDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // New transactions, single and recurring, with the forecast mark when the
  // series starts after today (7/12/2026).
  void newSeries_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("period");
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QString>("mark");
    QTest::newRow("single") << u"3/5/2021"_s << 1 << 1 << QStringList{u"3/5/2021"_s} << u""_s;
    QTest::newRow("monthly from the 31st")
        << u"31/1/2000"_s << 3 << 1 << QStringList{u"31/1/2000"_s, u"29/2/2000"_s, u"31/3/2000"_s}
        << u""_s;
    QTest::newRow("every two months")
        << u"31/7/2000"_s << 4 << 2
        << QStringList{u"31/7/2000"_s, u"30/9/2000"_s, u"30/11/2000"_s, u"31/1/2001"_s} << u""_s;
    QTest::newRow("weekly into a new year")
        << u"28/12/1999"_s << 2 << 0 << QStringList{u"28/12/1999"_s, u"4/1/2000"_s} << u""_s;
    QTest::newRow("after today") << u"8/12/2026"_s << 2 << 1
                                 << QStringList{u"8/12/2026"_s, u"8/1/2027"_s} << u"?"_s;
    QTest::newRow("starting today")
        << u"7/12/2026"_s << 2 << 0 << QStringList{u"7/12/2026"_s, u"14/12/2026"_s} << u""_s;
  }

  void newSeries() {
    QFETCH(QString, start);
    QFETCH(int, count);
    QFETCH(int, period);
    QFETCH(QStringList, dates);
    QFETCH(QString, mark);
    Fixture f;
    const int result = f.OpenNew([&](QWidget* w) {
      TypeInto(w, u"Edit1"_s, u"חשמל"_s);
      TypeInto(w, u"EdtOut"_s, u"120.50"_s);
      TypeInto(w, u"EdtRef"_s, u"77"_s);
      TypeInto(w, u"Edit2"_s, u"רכב\\דלק"_s);
      TypeInto(w, u"Edit3"_s, start);
      SetCount(w, count, period);
      ClickButton(w, u"אישור"_s);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(f.reg.RowCount(), count + 1);
    QVERIFY(f.reg.RowIsEmpty(count));
    for (int row = 0; row < count; ++row) {
      QCOMPARE(Row(f.reg, row), (QStringList{u""_s, u""_s, u"120.50"_s, u"אחר 77"_s, u"רכב\\דלק"_s,
                                             u"חשמל"_s, dates[row], mark}));
    }
    QVERIFY(f.reg.NeedsSorting());
    QVERIFY(!f.account.IsBusy());
    QCOMPARE(f.sounds.played, QStringList{u"Menu.wav busy"_s});
    QVERIFY(f.home.prompter.Asked().empty());
  }

  // An existing row takes the first date and keeps its mark; the further
  // occurrences go to the end of the register.
  void editWithRepeat() {
    Fixture f;
    AddRow(f.account,
           {u""_s, u""_s, u"50"_s, u"שק 555"_s, u"רכב\\דלק"_s, u"דלק"_s, u"1/3/2020"_s, u"+"_s});
    AddRow(f.account,
           {u""_s, u"900"_s, u""_s, u"העברה "_s, u"משכורות"_s, u"שכר"_s, u"2/3/2020"_s, u""_s});
    const QStringList second = Row(f.reg, 1);
    f.dialog.Reset();
    f.dialog.FillFromRow(0);
    QStringList shown;
    const int result = f.Open(0, kExpenseColumn, [&](QWidget* w) {
      shown = QStringList{FocusName(),
                          Text(w, u"Edit1"_s),
                          Text(w, u"EdtOut"_s),
                          Text(w, u"EdtRef"_s),
                          Text(w, u"Edit2"_s),
                          Text(w, u"Edit3"_s),
                          Child<QComboBox>(w, u"ComboBox3"_s)->currentText(),
                          Child<QComboBox>(w, u"ComboBox1"_s)->currentText()};
      TypeInto(w, u"EdtOut"_s, u"60"_s);
      SetCount(w, 3, 1);
      ClickButton(w, u"אישור"_s);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(shown, (QStringList{u"EdtOut"_s, u"דלק"_s, u"50"_s, u"555"_s, u"רכב\\דלק"_s,
                                 u"1/3/2020"_s, u"שק"_s, u"שבוע"_s}));
    const QStringList common{u""_s, u""_s, u"60"_s, u"שק 555"_s, u"רכב\\דלק"_s, u"דלק"_s};
    QCOMPARE(Row(f.reg, 0), common + QStringList({u"1/3/2020"_s, u"+"_s}));
    QCOMPARE(Row(f.reg, 1), second);
    QCOMPARE(Row(f.reg, 2), common + QStringList({u"1/4/2020"_s, u""_s}));
    QCOMPARE(Row(f.reg, 3), common + QStringList({u"1/5/2020"_s, u""_s}));
    QCOMPARE(f.reg.RowCount(), 5);
  }

  // An edited row keeps a category the tree lacks; the tree then shows its
  // first node.
  void categoryOfEditedRow_data() {
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("node");
    QTest::newRow("in the tree") << u"ביגוד\\הנעלה"_s << u"הנעלה"_s;
    QTest::newRow("not in the tree") << u"ישן\\נמחק"_s << u"אשראי"_s;
  }

  void categoryOfEditedRow() {
    QFETCH(QString, category);
    QFETCH(QString, node);
    Fixture f;
    AddRow(f.account,
           {u""_s, u""_s, u"5"_s, u"מזומן "_s, category, u"נעליים"_s, u"1/1/2021"_s, u""_s});
    f.dialog.Reset();
    f.dialog.FillFromRow(0);
    QString current;
    f.Open(0, kDescriptionColumn, [&](QWidget* w) {
      current = Child<QTreeWidget>(w, u"Outline1"_s)->currentItem()->text(0);
      ClickButton(w, u"אישור"_s);
    });
    QCOMPARE(current, node);
    QCOMPARE(f.reg.Cell(0, kCategoryColumn), category);
  }

  // A bank balance cannot repeat, lands in the balance column and is reconciled.
  void bankBalance() {
    Fixture f;
    bool repeat_enabled = true;
    const int result = f.OpenNew([&](QWidget* w) {
      TypeInto(w, u"Edit1"_s, u"יתרה בבנק"_s);
      SetCount(w, 3, 1);
      ChooseBankBalanceType(w);
      repeat_enabled = Child<QSpinBox>(w, u"SpinEdit2"_s)->isEnabled();
      TypeInto(w, u"EdtIn"_s, u"-2500"_s);
      TypeInto(w, u"Edit3"_s, u"1/10/2026"_s);
      ClickButton(w, u"אישור"_s);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(!repeat_enabled);
    QCOMPARE(f.reg.RowCount(), 2);
    QCOMPARE(Row(f.reg, 0), (QStringList{u"-2500"_s, u""_s, u""_s, u"יתרה "_s, kBankBalance,
                                         u"יתרה בבנק"_s, u"1/10/2026"_s, u"+"_s}));
  }

  // Type and category must agree about a bank balance; the dialog stays open.
  void typeCategoryMismatch_data() {
    QTest::addColumn<bool>("bank_type");
    QTest::addColumn<QString>("category");
    QTest::newRow("balance type, other category") << true << u"רכב\\דלק"_s;
    QTest::newRow("balance category, other type") << false << kBankBalance;
  }

  void typeCategoryMismatch() {
    QFETCH(bool, bank_type);
    QFETCH(QString, category);
    Fixture f;
    bool open = false;
    QString focus;
    f.OpenNew([&](QWidget* w) {
      TypeInto(w, u"EdtOut"_s, u"10"_s);
      if (bank_type) ChooseBankBalanceType(w);
      TypeInto(w, u"Edit2"_s, category);
      if (!bank_type) QTest::keyClick(Child<QComboBox>(w, u"ComboBox3"_s), Qt::Key_Home);
      ClickButton(w, u"אישור"_s);
      open = w->isVisible();
      focus = FocusName();
    });
    QVERIFY(open);
    QCOMPARE(focus, u"ComboBox3"_s);
    QCOMPARE(f.home.prompter.AskedTexts(), QStringList{kMismatch});
    QCOMPARE(f.home.prompter.Asked()[0].caption, u"שגיאה"_s);
    QCOMPARE(f.reg.RowCount(), 1);
    QVERIFY(!f.account.IsBusy());
  }

  // The second amount is refused; a non-number loses its letters.
  void amounts_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("left");
    QTest::newRow("income after expense")
        << u"EdtOut"_s << u"EdtIn"_s << u"5"_s << kBothAmounts << u""_s;
    QTest::newRow("expense after income")
        << u"EdtIn"_s << u"EdtOut"_s << u"5"_s << kBothAmounts << u""_s;
    QTest::newRow("letters") << u""_s << u"EdtOut"_s << u"12a"_s << u"רק ערכים מספריים מותרים כאן"_s
                             << u"12"_s;
  }

  void amounts() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, left);
    Fixture f;
    QString second_text;
    QString first_text;
    f.OpenNew([&](QWidget* w) {
      if (!first.isEmpty()) TypeInto(w, first, u"100"_s);
      TypeInto(w, second, typed);
      second_text = Text(w, second);
      if (!first.isEmpty()) first_text = Text(w, first);
    });
    QCOMPARE(f.home.prompter.AskedTexts(), QStringList{message});
    QCOMPARE(second_text, left);
    if (!first.isEmpty()) QCOMPARE(first_text, u"100"_s);
  }

  // An unreadable date is refused when the field is left and again by OK;
  // nothing reaches the register until a good date is given.
  void invalidDate_data() {
    QTest::addColumn<bool>("leave_field");
    QTest::newRow("leaving the field") << true;
    QTest::newRow("checked by OK") << false;
  }

  void invalidDate() {
    QFETCH(bool, leave_field);
    Fixture f;
    QStringList after;
    const int result = f.OpenNew([&](QWidget* w) {
      TypeInto(w, u"EdtOut"_s, u"10"_s);
      if (leave_field) {
        TypeInto(w, u"Edit3"_s, u"31/2/2000"_s);
      } else {
        Child<QPushButton>(w, u"BtnOk"_s)->setFocus();
        Child(w, u"Edit3"_s)->setText(u"31/2/2000"_s);
      }
      // A click gives OK the focus first, and the date field is left.
      QTest::mouseClick(Child<QPushButton>(w, u"BtnOk"_s), Qt::LeftButton);
      after = QStringList{Text(w, u"Edit3"_s), FocusName(), QString::number(f.reg.RowCount())};
      TypeInto(w, u"Edit3"_s, u"5-12--1999"_s);
      ClickButton(w, u"אישור"_s);
    });
    QCOMPARE(after, (QStringList{u"7/12/2026"_s, u"SpinEdit2"_s, u"1"_s}));
    QCOMPARE(f.home.prompter.AskedTexts(), QStringList{kBadDate});
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(f.reg.Cell(0, kDateColumn), u"5/12/1999"_s);
  }

  // The field reads a date as a register cell does, a run of separators as
  // one; a year the register cannot hold is refused.
  void dateText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");  // empty: refused
    QTest::newRow("blanks around") << u" 5/12/1999 "_s << u"5/12/1999"_s;
    QTest::newRow("comma and dot") << u"5,12.1999"_s << u"5/12/1999"_s;
    QTest::newRow("dots and blanks") << u"5. 12. 99"_s << u"5/12/1999"_s;
    QTest::newRow("before 1900") << u"5/12/1899"_s << QString();
  }

  void dateText() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Fixture f;
    QString seen;
    f.OpenNew([&](QWidget* w) {
      TypeInto(w, u"Edit3"_s, typed);
      Key(Qt::Key_Return);  // leaves the field
      seen = Text(w, u"Edit3"_s);
    });
    QCOMPARE(f.home.prompter.AskedTexts(), shown.isEmpty() ? QStringList{kBadDate} : QStringList());
    QCOMPARE(seen, shown.isEmpty() ? u"7/12/2026"_s : shown);
  }

  // Date text, calendar, month list and year box show one date.
  void dateFieldsInStep() {
    Fixture f;
    QStringList seen;
    f.OpenNew([&](QWidget* w) {
      auto state = [&] {
        seen << Text(w, u"Edit3"_s) + u'|' + Child<QComboBox>(w, u"ComboBox2"_s)->currentText() +
                    u'|' + QString::number(Child<QSpinBox>(w, u"SpinEdit1"_s)->value());
      };
      TypeInto(w, u"Edit3"_s, u"31 1 2000"_s);
      Key(Qt::Key_Return);  // leaves the field
      state();
      Child<QComboBox>(w, u"ComboBox2"_s)->setFocus();
      Key(Qt::Key_Down);
      state();
      Key(Qt::Key_Down);
      state();
      Child<QWidget>(w, u"Calendar1"_s)->setFocus();
      Key(Qt::Key_Down);  // a week on
      state();
    });
    QCOMPARE(seen, (QStringList{u"31/1/2000|ינואר|2000"_s, u"29/2/2000|פברואר|2000"_s,
                                u"31/3/2000|מרץ|2000"_s, u"7/4/2000|אפריל|2000"_s}));
  }

  // Completion from the first matching row, case duplicates once, the opening
  // balance never; Backspace gives back what was typed.
  void completion() {
    Fixture f;
    AddRow(f.account, {u"0"_s, u""_s, u""_s, u"יתרה "_s, kBankBalance, u"יתרת פתיחה"_s,
                       u"1/1/1990"_s, u"+"_s});
    AddRow(f.account, {u""_s, u""_s, u"40"_s, u"מזומן "_s, u"קניות"_s, u"Electric bill"_s,
                       u"1/1/2020"_s, u""_s});
    AddRow(f.account, {u""_s, u""_s, u"41"_s, u"שק 9"_s, u"שונות"_s, u"ELECTRIC BILL"_s,
                       u"1/2/2020"_s, u""_s});
    AddRow(f.account, {u""_s, u""_s, u"42"_s, u"אשראי "_s, u"רכב\\דלק"_s, u"Electricity"_s,
                       u"1/3/2020"_s, u""_s});
    QStringList steps;
    QStringList offered;
    f.OpenNew([&](QWidget* w) {
      auto* edit = Child(w, u"Edit1"_s);
      auto* list = Child<QListWidget>(w, u"LBOptional"_s);
      auto state = [&] {
        steps << edit->text() + u'|' + edit->selectedText() + u'|' + Text(w, u"Edit2"_s) + u'|' +
                     Child<QComboBox>(w, u"ComboBox3"_s)->currentText();
      };
      TypeInto(w, u"Edit1"_s, u"e"_s);
      for (int i = 0; i < list->count(); ++i) offered << list->item(i)->text();
      state();
      QTest::keyClick(edit, Qt::Key_Backspace);
      state();
      Commit(w, u"Edit1"_s, u"lectrici"_s);
      state();
      TypeInto(w, u"Edit1"_s, u"E"_s);
      Key(Qt::Key_Down);  // into the list
      Key(Qt::Key_Down);
      state();
      Key(Qt::Key_Return);
      state();
      steps << FocusName() + (list->isVisible() ? u" list shown"_s : u""_s);
    });
    QCOMPARE(offered, (QStringList{u"Electric bill"_s, u"Electricity"_s}));
    QCOMPARE(steps, (QStringList{u"Electric bill|lectric bill|קניות|מזומן"_s, u"e||קניות|מזומן"_s,
                                 u"Electricity|ty|רכב\\דלק|אשראי"_s, u"Electricity||קניות|מזומן"_s,
                                 u"Electricity||רכב\\דלק|אשראי"_s, u"EdtOut"_s}));
  }

  // Enter walks the fields in their order; it never confirms by itself.
  void enterOrder_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("expense");
    QTest::addColumn<QString>("category");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("order");
    // From the reference on, every walk is the same as far as the tree.
    const QStringList to_tree{u"ComboBox3"_s, u"EdtRef"_s, u"Edit2"_s, u"Outline1"_s};
    const QStringList expense_walk = QStringList{u"EdtOut"_s} + to_tree;
    const QStringList income_walk = QStringList{u"EdtOut"_s, u"EdtIn"_s} + to_tree;
    // A count of 0 becomes 1 on leaving, so no period is asked for.
    QTest::newRow("expense, count 0")
        << u"Edit1"_s << u"5"_s << u"קניות"_s << 0
        << expense_walk + QStringList{u"SpinEdit2"_s, u"Edit3"_s, u"BtnOk"_s};
    QTest::newRow("income, repeated")
        << u"Edit1"_s << u""_s << u"קניות"_s << 2
        << income_walk + QStringList{u"SpinEdit2"_s, u"ComboBox1"_s, u"Edit3"_s, u"BtnOk"_s};
    QTest::newRow("bank balance") << u"Edit1"_s << u""_s << kBankBalance << 1
                                  << income_walk + QStringList{u"Edit3"_s, u"BtnOk"_s};
    QTest::newRow("calendar") << u"Calendar1"_s << u""_s << u"קניות"_s << 1
                              << QStringList{u"ComboBox2"_s, u"SpinEdit1"_s, u"BtnOk"_s};
  }

  void enterOrder() {
    QFETCH(QString, start);
    QFETCH(QString, expense);
    QFETCH(QString, category);
    QFETCH(int, count);
    QFETCH(QStringList, order);
    Fixture f;
    QStringList walked;
    f.OpenNew([&](QWidget* w) {
      TypeInto(w, u"Edit2"_s, category);
      Child<QSpinBox>(w, u"SpinEdit2"_s)->setValue(count);
      TypeInto(w, u"EdtOut"_s, expense);
      Child<QWidget>(w, start)->setFocus();
      for (int i = 0; i < order.size(); ++i) {
        Key(Qt::Key_Return);
        walked << FocusName();
      }
      walked << QString::number(Child<QSpinBox>(w, u"SpinEdit2"_s)->value());
    });
    QCOMPARE(walked, order + QStringList{QString::number(std::max(count, 1))});
    QCOMPARE(f.reg.RowCount(), 1);
  }

  // Moving in the tree passes over groups; type-ahead selects without writing.
  void treeKeys_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("category");
    QTest::newRow("down into the next group")
        << u"אשראי\\לייף סטייל"_s << int(Qt::Key_Down) << u"ביגוד\\הלבשה"_s;
    QTest::newRow("left back over a group")
        << u"ביגוד\\הלבשה"_s << int(Qt::Key_Left) << u"אשראי\\לייף סטייל"_s;
    QTest::newRow("page down") << u"ביגוד\\לבנים"_s << int(Qt::Key_PageDown) << u"ביטוחים\\רפואי"_s;
    QTest::newRow("home") << u"ביגוד\\לבנים"_s << int(Qt::Key_Home) << u"אשראי"_s;
  }

  void treeKeys() {
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(QString, category);
    Fixture f;
    QStringList seen;
    f.OpenNew([&](QWidget* w) {
      TypeInto(w, u"Edit2"_s, u"ביג"_s);
      Commit(w, u"Edit2"_s, u"中"_s);  // refused by the guard before type-ahead sees it
      auto* tree = Child<QTreeWidget>(w, u"Outline1"_s);
      seen << Text(w, u"Edit2"_s) + u'|' + tree->currentItem()->text(0);
      TypeInto(w, u"Edit2"_s, start);
      Key(Qt::Key_Down);
      Key(Qt::Key(key));
      seen << Text(w, u"Edit2"_s);
    });
    QCOMPARE(seen, (QStringList{u"ביג|ביגוד"_s, category}));
    QCOMPARE(f.home.prompter.Asked().size(), size_t{1});
  }

  // A category's own name: the one that fits is written in full on leaving
  // the field, several are offered, and a name that fits none stays as typed.
  void categoryByItsOwnName() {
    Fixture f;
    QStringList seen;
    f.OpenNew([&](QWidget* w) {
      QAbstractItemView* choices = w->findChild<QCompleter*>()->popup();
      TypeInto(w, u"Edit2"_s, u"דלק"_s);
      seen << QString::number(choices->isVisible());
      Key(Qt::Key_Return);
      seen << Text(w, u"Edit2"_s) + u'|' + FocusName();
      TypeInto(w, u"Edit2"_s, u"אח"_s);
      seen << QString::number(choices->model()->rowCount());
      choices->setCurrentIndex(choices->model()->index(1, 0));
      QTest::keyClick(choices, Qt::Key_Return);
      seen << Text(w, u"Edit2"_s);
      TypeInto(w, u"Edit2"_s, u"גז"_s);
      Key(Qt::Key_Return);
      seen << Text(w, u"Edit2"_s);
    });
    QCOMPARE(seen, (QStringList{u"0"_s, u"רכב\\דלק|Outline1"_s, u"2"_s, u"רכב\\אחזקה"_s, u"גז"_s}));
  }

  // "עריכה" asks for the editor; the tree then comes again from the account's
  // file, fully expanded, and a file that cannot be read leaves it as it was.
  void treeReload() {
    Fixture f;
    QFile file(f.home.Path(u"Categ.dat"_s));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("A\r\n\tB\r\nC\r\n");
    file.close();
    QObject::connect(&f.dialog, &TDateFrm::EditTreeRequested, &f.dialog, &TDateFrm::ReloadTree);
    QStringList seen;
    f.OpenNew([&](QWidget* w) {
      QTest::mouseClick(Child<QPushButton>(w, u"SpeedButton1"_s), Qt::LeftButton);
      auto* tree = Child<QTreeWidget>(w, u"Outline1"_s);
      seen << QString::number(tree->topLevelItemCount())
           << QString::number(tree->topLevelItem(0)->isExpanded());
    });
    QCOMPARE(seen, (QStringList{u"2"_s, u"1"_s}));
    QCOMPARE(f.dialog.Tree().FullPath(1), u"A\\B"_s);
    QVERIFY(QFile::remove(f.home.Path(u"Categ.dat"_s)));
    f.dialog.ReloadTree();
    QCOMPARE(f.dialog.Tree().Size(), 3);
  }

  // The opening balance: only its amount can change, and Enter goes to OK.
  void openingBalance() {
    Fixture f;
    AccountEdit(f.account).Rows().LoadFileBytes({}, u"1000");
    f.dialog.Reset();
    f.dialog.FillFromRow(0);
    QStringList seen;
    const int result = f.Open(0, kDescriptionColumn, [&](QWidget* w) {
      seen << FocusName() << Text(w, u"EdtIn"_s);
      seen << QString::number(Child(w, u"Edit1"_s)->isEnabled());
      TypeInto(w, u"EdtIn"_s, u"2500"_s);
      Key(Qt::Key_Return);
      seen << FocusName();
      Key(Qt::Key_Return);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(seen, (QStringList{u"EdtIn"_s, u"1000"_s, u"0"_s, u"BtnOk"_s}));
    // The row's type text names no type, so it stays as the reference.
    QCOMPARE(Row(f.reg, 0), (QStringList{u"2500"_s, u""_s, u""_s, u"יתרה יתרת פתיחה"_s,
                                         kBankBalance, u"יתרת פתיחה"_s, u"1/1/1990"_s, u"+"_s}));
  }
};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::TransactionDialogTest)
#include "transaction_dialog_test.moc"
