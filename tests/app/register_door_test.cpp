// Every kind of change to the rows, made through the windows as a user makes
// it, is closed by the account's one door: after each the balances are as a
// whole recompute makes them, the overdue rows as a fresh date sort finds
// them, one undo step was added (none for a copy left unchanged) and undo
// gives the rows back byte for byte.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QSpinBox>
#include <QTest>
#include <functional>
#include <set>

#include "app/common/active_account.h"
#include "app/register/register_grid.h"
#include "core/register/register_history.h"
#include "core/text/codec.h"
#include "tests/app/register_home.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

namespace {

const QDate kToday(2026, 12, 7);

// After the start's date sort: the open cheque of 5/11 lies below the bank
// balance of 30/11 and is overdue (purple).
std::vector<Row> Rows() {
  return {
      {u"1000"_s, {}, {}, u"יתרה "_s, kBank, u"יתרת פתיחה"_s, u"1/1/1990"_s, u"+"_s},
      {{}, u"200"_s, {}, u"העברה "_s, u"הכנסות\\מכירות"_s, u"משכורת"_s, u"1/11/2026"_s, u"+"_s},
      {{}, {}, u"50"_s, u"שק 17"_s, u"ספקים\\סחורה"_s, u"נעליים"_s, u"5/11/2026"_s, {}},
      {u"1100"_s, {}, {}, u"יתרה "_s, kBank, u"יתרה בבנק"_s, u"30/11/2026"_s, u"+"_s},
      {{}, {}, u"30"_s, u"מזומן "_s, u"ספקים\\שונים"_s, u"ירקות"_s, u"2/12/2026"_s, {}},
      {{}, u"40"_s, {}, u"אחר "_s, u"לא ידוע"_s, u"החזר"_s, u"3/12/2026"_s, {}},
      {{}, {}, u"20"_s, u"מזומן "_s, u"ספקים\\שונים"_s, u"חלב"_s, u"20/12/2026"_s, u"?"_s},
  };
}

std::vector<std::string> Image(const Register& reg) {
  std::vector<std::string> image;
  for (int r = 0; r < reg.RowCount(); ++r) image.emplace_back(reg.RawRecord(r));
  image.emplace_back(reg.NeedsSorting() ? "sort" : "");
  return image;
}

// The overdue rows, told by their fields other than the balance.
std::multiset<QString> Overdue(const Register& reg) {
  std::multiset<QString> rows;
  for (int r = 0; r < reg.RowCount(); ++r) {
    if (!reg.IsOverdueRow(r, kToday)) continue;
    QString key;
    for (int c = kIncomeColumn; c <= kMarkColumn; ++c) key += reg.Cell(r, c) + u'|';
    rows.insert(key);
  }
  return rows;
}

std::multiset<QString> FreshOverdue(const Register& reg) {
  Register fresh;
  fresh.LoadFileBytes(reg.FileBytes().toStdString(), u"0");
  fresh.SortRegister(kDateColumn, kToday);
  return Overdue(fresh);
}

int RowOf(const Register& reg, const QString& description) {
  for (int r = 0; r < reg.RowCount(); ++r) {
    if (reg.Cell(r, kDescriptionColumn) == description) return r;
  }
  return -1;
}

// Runs `open`, which shows the modal window `name`, with `action` on it.
void Modal(const QString& name, const std::function<void()>& open,
           std::function<void(QWidget*)> action) {
  ModalScript script;
  script.Expect(name, std::move(action));
  open();
  QVERIFY(script.Done());
}

// The transaction dialog: these fields typed, then OK.
std::function<void(QWidget*)> Typed(std::vector<std::pair<QString, QString>> fields) {
  return [fields](QWidget* w) {
    for (const auto& [name, text] : fields) TypeInto(w, name, text);
    PressOk(w);
  };
}

void Clone(Started& s, const std::function<void(QWidget*)>& action) {
  s.grid().SetCurrentCell(RowOf(s.reg(), u"נעליים"_s), kDescriptionColumn);
  Modal(
      u"TDateFrm"_s, [&] { s.Tool(u"SBClone")->click(); }, action);
}
void CloneWithNewDate(Started& s) { Clone(s, Typed({{u"Edit3"_s, u"6/11/2026"_s}})); }

void Import(Started& s) {
  const QString path = s.home.Path(u"statement.csv"_s);
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(EncodeWin1255Bytes(u"יום;פירוט;סך\r\n2/12/2026;ירקות;-30\r\n4/12/2026;עמלה;-10\r\n"));
  file.close();
  s.window.RegisterView().SetStatementPicker([path](QWidget*) { return path; });
  Modal(
      u"StatementImportDialog"_s, [&] { s.Tool(u"SBImport")->click(); },
      [](QWidget* w) {
        w->findChild<QSpinBox*>(u"SpnFirstRow"_s)->setValue(2);
        for (const auto& [name, index] :
             {std::pair{"CmbDate", 1}, {"CmbDescription", 2}, {"CmbAmount", 3}})
          w->findChild<QComboBox*>(QString::fromLatin1(name))->setCurrentIndex(index);
        ClickButton(w, u"אישור"_s);
      });
}

void PrintCheque(Started& s) {
  s.window.ShowPage(TForm1::kChequePage);
  auto* page = s.window.findChild<QWidget*>(u"ChequePage"_s);
  TypeInto(page, u"EdtName"_s, u"ועד הבית"_s);
  TypeInto(page, u"EdtAmount"_s, u"250.5"_s);
  auto* print = page->findChild<QPushButton*>(u"BtnPrntChk"_s);
  print->setFocus();
  QTest::mouseClick(print, Qt::LeftButton);
  s.window.ShowPage(TForm1::kRegisterPage);
}

void Menu(Started& s, const QString& name) {
  s.window.RegisterView().SortMenu().findChild<QAction*>(name)->trigger();
}

struct Kind {
  const char* name;
  std::function<void(Started&)> change;
  bool adds_step;
  std::function<void(Started&)> prepare = {};  // before the rows are taken
};

const std::vector<Kind>& Kinds() {
  static const std::vector<Kind> kinds = {
      {"an amount typed and Enter",
       [](Started& s) {
         QVERIFY(s.grid().SelectCell(RowOf(s.reg(), u"ירקות"_s), kExpenseColumn));
         QTest::keyClicks(s.grid().viewport(), u"3"_s);
         QTest::keyClicks(QApplication::focusWidget(), u"5"_s);
         QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
       },
       true},
      {"the dialog's OK",
       [](Started& s) {
         s.grid().SetCurrentCell(RowOf(s.reg(), u"ירקות"_s), kDescriptionColumn);
         Modal(
             u"TDateFrm"_s, [&] { QTest::keyClick(&s.grid(), Qt::Key_Return); },
             Typed({{u"EdtOut"_s, u"45"_s}}));
       },
       true},
      {"a series",
       [](Started& s) {
         Modal(
             u"TDateFrm"_s, [&] { s.Tool(u"SBNewItem")->click(); },
             [](QWidget* w) {
               w->findChild<QSpinBox*>(u"SpinEdit2"_s)->setValue(3);
               Typed({{u"Edit1"_s, u"חיסכון"_s},
                      {u"EdtOut"_s, u"100"_s},
                      {u"Edit3"_s, u"31/10/2026"_s}})(w);
             });
       },
       true},
      {"a copy with a changed date", CloneWithNewDate, true},
      {"a copy confirmed unchanged", [](Started& s) { Clone(s, PressOk); }, false},
      {"a copy cancelled",
       [](Started& s) { Clone(s, [](QWidget* w) { ClickButton(w, u"ביטול"_s); }); }, false},
      {"a delete",
       [](Started& s) {
         s.grid().SetCurrentCell(RowOf(s.reg(), u"ירקות"_s), kDescriptionColumn);
         s.Tool(u"SBDelItm")->click();
       },
       true},
      {"a bank mark",
       [](Started& s) {
         s.grid().scrollToTop();
         s.window.RegisterView().ToggleMark(RowOf(s.reg(), u"משכורת"_s) - s.grid().TopRow());
       },
       true},
      {"the date sort", [](Started& s) { Menu(s, u"MenuCateg"_s); }, true, CloneWithNewDate},
      {"a printed cheque", PrintCheque, true},
      {"a bank statement's import", Import, true},
      {"the category check",
       [](Started& s) {
         Modal(
             u"TDateFrm"_s, [&] { Menu(s, u"MenuCategChck"_s); },
             Typed({{u"Edit2"_s, u"ספקים\\שונים"_s}}));
       },
       true},
  };
  return kinds;
}

}  // namespace

class RegisterDoorTest : public QObject {
  Q_OBJECT

 private slots:
  void EachKindOfChange_data() {
    QTest::addColumn<int>("kind");
    for (int k = 0; k < static_cast<int>(Kinds().size()); ++k) QTest::newRow(Kinds()[k].name) << k;
  }

  void EachKindOfChange() {
    QFETCH(int, kind);
    const Kind& change = Kinds()[static_cast<size_t>(kind)];
    Started s;
    // The account's tree (a business one), which holds the bank balance.
    QVERIFY(QFile::copy(s.home.Path(u"DCategB.dat"_s), s.home.Path(u"BCateg.dat"_s)));
    QVERIFY(Start(s, Rows()));
    QApplication::setActiveWindow(&s.window);
    QVERIFY(QTest::qWaitForWindowActive(&s.window));
    const auto* account = s.window.findChild<ActiveAccount*>();
    const RegisterHistory& history = account->History();
    const Register& reg = s.reg();
    QVERIFY(!Overdue(reg).empty());
    if (change.prepare) change.prepare(s);
    // A step undone first, so that redo is there to be dropped.
    s.grid().SetCurrentCell(RowOf(reg, u"חלב"_s), kDescriptionColumn);
    s.Tool(u"SBDelItm")->click();
    s.Tool(u"SBUndo")->click();
    QVERIFY(s.Tool(u"SBRedo")->isEnabled());
    const auto before = Image(reg);
    const size_t steps = history.UndoCount();

    change.change(s);
    if (QTest::currentTestFailed()) return;

    // At once, without moving the cursor: the tools follow the history.
    QCOMPARE(s.Tool(u"SBUndo")->isEnabled(), history.CanUndo());
    QCOMPARE(s.Tool(u"SBRedo")->isEnabled(), history.CanRedo());
    QCOMPARE(history.UndoCount(), steps + (change.adds_step ? 1 : 0));
    Register whole = reg;
    whole.RecomputeBalances();
    QCOMPARE(Column(reg, kBalanceColumn), Column(whole, kBalanceColumn));
    QVERIFY(Overdue(reg) == FreshOverdue(reg));
    const auto after = Image(reg);
    if (!change.adds_step) {
      QVERIFY(after == before);
      return;
    }
    QVERIFY(after != before);
    QVERIFY(!s.Tool(u"SBRedo")->isEnabled());
    s.Tool(u"SBUndo")->click();
    QVERIFY(Image(reg) == before);
    s.Tool(u"SBRedo")->click();
    QVERIFY(Image(reg) == after);
  }
};

QTEST_MAIN(RegisterDoorTest)
#include "register_door_test.moc"
