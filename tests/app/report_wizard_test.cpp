#include "app/reports/report_wizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "app/common/calendar_dialog.h"
#include "core/files/account_list.h"
#include "core/reports/merged_category_tree.h"
#include "core/reports/saved_report.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

template <typename T = QWidget>
T* Child(QWidget& dialog, const QString& name) {
  T* child = dialog.findChild<T*>(name);
  if (child == nullptr) qFatal("no control %s", qPrintable(name));
  return child;
}

// Two business accounts and a private one, and the default trees as the
// user's trees.
void Prepare(TestHome& home) {
  AccountList list;
  for (const auto& [name, business] :
       {std::pair{u"עסק"_s, true}, {u"בית"_s, false}, {u"חנות"_s, true}}) {
    AccountDefinition account;
    account.name = name;
    account.file_base = u"Xct1"_s;
    account.business = business;
    list.Append(account);
  }
  QVERIFY(list.Write(home.Path(u"Accts.dat"_s)));
  QVERIFY(QFile::copy(home.Path(u"DCateg.dat"_s), home.Path(u"Categ.dat"_s)));
  QVERIFY(QFile::copy(home.Path(u"DCategB.dat"_s), home.Path(u"BCateg.dat"_s)));
}

int Page(QWidget& wizard) { return Child<QTabWidget>(wizard, u"Notebook1"_s)->currentIndex(); }

// One step as a user takes it: "Next", "Back", a button or radio by name,
// "Name=text" to type into a field, "ComboBox3=text" to pick a preset.
void Do(QWidget& wizard, const QString& step) {
  const qsizetype eq = step.indexOf(u'=');
  if (eq > 0) {
    const QString name = step.left(eq);
    const QString text = step.mid(eq + 1);
    if (auto* combo = wizard.findChild<QComboBox*>(name)) {
      combo->setCurrentIndex(combo->findText(text));
    } else if (auto* spin = wizard.findChild<QSpinBox*>(name)) {
      spin->setValue(text.toInt());
    } else {
      auto* field = Child<QLineEdit>(wizard, name);
      field->selectAll();
      field->insert(text);
    }
    return;
  }
  const QString name = step == u"Next"_s ? u"BtnNext"_s : step == u"Back"_s ? u"BtnBack"_s : step;
  QAbstractButton* button = Child<QAbstractButton>(wizard, name);
  // A stretched radio or check box has no hit area at its centre.
  if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button)) {
    QVERIFY(button->isVisible());
    button->click();
    return;
  }
  QTest::mouseClick(button, Qt::LeftButton);
}

// Opens the wizard, runs `steps` inside it and closes it if the steps did
// not; `result` is what exec gave (2 when the wizard stayed open).
int Run(TReportWiz& wizard, const std::function<void(TReportWiz&)>& steps) {
  ModalScript script;
  script.Expect(u"TReportWiz"_s, [&](QWidget*) {
    steps(wizard);
    if (wizard.isVisible()) wizard.done(2);
  });
  return wizard.exec();
}

struct Wizard {
  explicit Wizard(TestHome& home)
      : calendar(home.services), wizard(home.services, calendar, home.Path(QString())) {}
  TCalander calendar;
  TReportWiz wizard;
};

}  // namespace

class ReportWizardTest : public QObject {
  Q_OBJECT

 private slots:
  // The page flow: Next and Back skip page 4 where the kind has no use for
  // it, and the two checks keep the user on a page that is not complete.
  void pageFlow_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QStringList>("errors");
    const QString next = u"המשך ->>"_s;
    const QString finish = u"! סיום"_s;
    const QString no_account = u"יש לבחור לפחות חשבון אחד"_s;
    const QString no_type = u"חובה לבחור לפחות סוג אחד"_s;
    QTest::newRow("cash flow to the end")
        << QStringList{u"Next"_s, u"Next"_s, u"Next"_s, u"Next"_s} << 4 << finish << QStringList();
    QTest::newRow("balance skips page 4")
        << QStringList{u"RBComAccts"_s, u"Next"_s, u"Next"_s, u"Next"_s} << 4 << finish
        << QStringList();
    QTest::newRow("cash flow back skips page 4")
        << QStringList{u"Next"_s, u"Next"_s, u"Next"_s, u"Next"_s, u"Back"_s} << 2 << next
        << QStringList();
    QTest::newRow("income back to page 4")
        << QStringList{u"RBInOut"_s, u"Next"_s, u"Next"_s, u"Next"_s, u"Next"_s, u"Back"_s} << 3
        << next << QStringList();
    QTest::newRow("no account") << QStringList{u"Next"_s, u"SB4"_s, u"Next"_s} << 1 << next
                                << QStringList{no_account};
    QTest::newRow("no account, back")
        << QStringList{u"Next"_s, u"SB4"_s, u"Back"_s} << 1 << next << QStringList{no_account};
    QTest::newRow("no type") << QStringList{u"RBInOut"_s, u"Next"_s,      u"Next"_s,
                                            u"Next"_s,    u"SBNoPmnts"_s, u"Next"_s}
                             << 3 << next << QStringList{no_type};
    QTest::newRow("date that is no date")
        << QStringList{u"Next"_s, u"Next"_s, u"MaskEdit2=32/01/1998"_s, u"Next"_s} << 2 << next
        << QStringList{u"תאריך לא תקין בשדה מתאריך"_s};
    QTest::newRow("period that ends before it starts")
        << QStringList{u"Next"_s, u"Next"_s, u"MaskEdit2=31/03/1998"_s, u"MaskEdit1=01/03/1998"_s,
                       u"Next"_s}
        << 2 << next
        << QStringList{u"תאריך הסיום קודם לתאריך ההתחלה\r31/3/1998 :מתאריך\r1/3/1998 :עד תאריך"_s};
    QTest::newRow("comparison that ends before it starts")
        << QStringList{u"RBInOut"_s,
                       u"Next"_s,
                       u"Next"_s,
                       u"SBComperative"_s,
                       u"RBYearly"_s,
                       u"MaskEdit4=31/12/1997"_s,
                       u"MaskEdit3=01/01/1997"_s,
                       u"Next"_s}
        << 2 << next
        << QStringList{
               u"תאריך הסיום של תקופת ההשוואה קודם לתאריך ההתחלה\r31/12/1997 :מתאריך\r1/1/1997 :עד תאריך"_s};
  }

  void pageFlow() {
    QFETCH(QStringList, steps);
    QFETCH(int, page);
    QFETCH(QString, next);
    QFETCH(QStringList, errors);
    TestHome home;
    Prepare(home);
    Wizard w(home);
    const int result = Run(w.wizard, [&](TReportWiz& wizard) {
      for (const QString& step : steps) Do(wizard, step);
      QCOMPARE(Page(wizard), page);
      QString caption = Child<QPushButton>(wizard, u"BtnNext"_s)->text();
      caption.remove(QChar(0x202A)).remove(QChar(0x202C));
      QCOMPARE(caption, next);
    });
    QCOMPARE(result, 2);
    QCOMPARE(home.prompter.AskedTexts(), errors);
    for (const AskedMessage& asked : home.prompter.Asked()) QCOMPARE(asked.caption, u"שגיאה"_s);
  }

  // The presets count from the clock's today, across the turn of the year.
  void presets_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("previous month in January")
        << QDate(1999, 1, 15) << u"חודש קודם"_s << u"1/12/1998"_s << u"31/12/1998"_s;
    QTest::newRow("previous quarter in February")
        << QDate(1999, 2, 10) << u"רבעון קודם"_s << u"1/10/1998"_s << u"31/12/1998"_s;
    QTest::newRow("previous half in January")
        << QDate(1999, 1, 15) << u"חציון קודם"_s << u"1/7/1998"_s << u"31/12/1998"_s;
    QTest::newRow("current month in a leap February")
        << QDate(2000, 2, 10) << u"חודש נוכחי"_s << u"1/2/2000"_s << u"29/2/2000"_s;
    QTest::newRow("previous year")
        << QDate(1999, 2, 10) << u"שנה קודמת"_s << u"1/1/1998"_s << u"31/12/1998"_s;
  }

  void presets() {
    QFETCH(QDate, today);
    QFETCH(QString, preset);
    QFETCH(QString, from);
    QFETCH(QString, to);
    TestHome home;
    Prepare(home);
    home.clock.Set(QDateTime(today, QTime(9, 0)));
    Wizard w(home);
    const int result = Run(w.wizard, [&](TReportWiz& wizard) {
      for (const QString& step : {u"Next"_s, u"Next"_s, u"ComboBox3="_s + preset, u"Next"_s})
        Do(wizard, step);
    });
    QCOMPARE(result, 2);
    QCOMPARE(Child<QLineEdit>(w.wizard, u"MaskEdit2"_s)->text(), from);
    QCOMPARE(Child<QLineEdit>(w.wizard, u"MaskEdit1"_s)->text(), to);
    const ReportSettings settings = w.wizard.Settings();
    QCOMPARE(settings.title, u" דוח תזרים, עסקיים, מ "_s + from + u" עד "_s + to);
    QCOMPARE(settings.accounts, (QStringList{u"עסק"_s, u"חנות"_s}));
  }

  // With one account there is nothing to choose: it is chosen, whatever its kind.
  void singleAccountIsChosen() {
    TestHome home;
    AccountList list;
    AccountDefinition account;
    account.name = u"בית"_s;
    account.file_base = u"Xct1"_s;
    list.Append(account);
    QVERIFY(list.Write(home.Path(u"Accts.dat"_s)));
    Wizard w(home);
    Run(w.wizard, [&](TReportWiz& wizard) {
      for (const QString& step : {u"Next"_s, u"Next"_s}) Do(wizard, step);
      QCOMPARE(Page(wizard), 2);
    });
    QVERIFY(home.prompter.Asked().empty());
    QCOMPARE(w.wizard.Settings().accounts, QStringList{u"בית"_s});
  }

  void yearlyComparison() {
    TestHome home;
    Prepare(home);
    Wizard w(home);
    Run(w.wizard, [&](TReportWiz& wizard) {
      for (const QString& step :
           {u"RBInOut"_s, u"Next"_s, u"SB3"_s, u"Next"_s, u"SBComperative"_s, u"RBYearly"_s,
            u"SpinEdit1=1999"_s, u"SpinEdit1=1998"_s, u"SpinEdit2=1997"_s})
        Do(wizard, step);
    });
    const ReportSettings s = w.wizard.Settings();
    QVERIFY(s.comparison);
    QCOMPARE(s.period_type, PeriodType::kYearly);
    QCOMPARE(s.from, QDate(1998, 1, 1));
    QCOMPARE(s.to, QDate(1998, 12, 31));
    QCOMPARE(s.compare_from, QDate(1997, 1, 1));
    QCOMPARE(s.compare_to, QDate(1997, 12, 31));
    QCOMPARE(s.accounts.size(), 3);
    QCOMPARE(s.title,
             u" דוח הכנסות הוצאות, כללי, שנתי, מ 1/1/1998 עד 31/12/1998 לעומת, מ "
             u"1/1/1997 עד 31/12/1997"_s);
  }

  // Saving under a name that exists asks first: No keeps the wizard open and
  // writes nothing, Yes puts the new definition in place of the old one.
  void saveUnderName_data() {
    QTest::addColumn<bool>("replace");
    QTest::newRow("No") << false;
    QTest::newRow("Yes") << true;
  }

  void saveUnderName() {
    QFETCH(bool, replace);
    TestHome home;
    Prepare(home);
    Wizard w(home);
    const QStringList to_the_end = {u"RBInOut"_s, u"Next"_s,      u"Next"_s,     u"Next"_s,
                                    u"Next"_s,    u"CheckBox1"_s, u"Edit1=שלי"_s};
    const int first = Run(w.wizard, [&](TReportWiz& wizard) {
      for (const QString& step : to_the_end) Do(wizard, step);
      Do(wizard, u"Next"_s);
    });
    QCOMPARE(first, int(QDialog::Accepted));
    const QString path = home.Path(u"1.Rpt"_s);
    QCOMPARE(ReadSavedReport(path)->name, u"שלי"_s);
    QCOMPARE(ReadSavedReport(path)->flow_filter, 0);

    home.prompter.Answer(replace ? MessageAnswer::kYes : MessageAnswer::kNo);
    const int second = Run(w.wizard, [&](TReportWiz& wizard) {
      QStringList steps = to_the_end;
      steps.insert(4, u"RBOutOnly"_s);  // on page 4
      for (const QString& step : steps) Do(wizard, step);
      Do(wizard, u"Next"_s);
    });
    QCOMPARE(home.prompter.AskedTexts(),
             QStringList{u"דו\"ח בשם זה כבר קיים\rהאם ברצונך להחליף את הדוח הקיים בדו\"ח חדש"_s});
    QCOMPARE(home.prompter.Asked()[0].caption, u"לאישורך"_s);
    QCOMPARE(second, replace ? int(QDialog::Accepted) : 2);
    QCOMPARE(FindSavedReport(home.Path(QString()), u"שלי"_s),
             replace ? home.Path(u"2.Rpt"_s) : path);
    QCOMPARE(QFile::exists(path), !replace);
    QCOMPARE(ReadSavedReport(FindSavedReport(home.Path(QString()), u"שלי"_s))->flow_filter,
             replace ? 2 : 0);
  }

  // "בצע" leaves the wizard as the core says a saved report loads.
  void runSaved_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("compare_mode");
    QTest::addColumn<int>("group");
    QTest::newRow("income, yearly comparison, accounts by hand") << 1 << 4 << 0;
    QTest::newRow("income, no comparison, private") << 1 << 0 << 2;
    QTest::newRow("trends, quarterly") << 3 << 2 << 1;
    QTest::newRow("balance to date") << 2 << 0 << 3;
    QTest::newRow("cash flow") << 0 << 0 << 1;
  }

  void runSaved() {
    QFETCH(int, kind);
    QFETCH(int, compare_mode);
    QFETCH(int, group);
    TestHome home;
    Prepare(home);
    SavedReport saved;
    saved.name = u"מוכן"_s;
    saved.kind = static_cast<qint16>(kind);
    saved.account_group = static_cast<qint16>(group);
    saved.all_types = 0;
    saved.period_name = u"שנה קודמת"_s;
    saved.from_date = DateToDayCount(QDate(1998, 3, 1));
    saved.to_date = DateToDayCount(QDate(1998, 3, 31));
    saved.compare_mode = static_cast<qint16>(compare_mode);
    saved.year1 = 1998;
    saved.year2 = 1996;
    saved.compare_from = DateToDayCount(QDate(1996, 1, 1));
    saved.compare_to = DateToDayCount(QDate(1996, 12, 31));
    saved.flow_filter = 1;
    saved.hide_empty_groups = 1;
    saved.accounts = {u"בית"_s, u"אין כזה"_s};
    saved.types = {u"שק"_s, u"אשראי"_s};
    const CategoryTree merged = MergedCategoryTree(home.Path(QString()));
    saved.categories = {merged.FullPath(1), merged.FullPath(0)};
    QVERIFY(WriteSavedReport(home.Path(u"1.Rpt"_s), saved));
    Wizard w(home);
    const int result = Run(w.wizard, [&](TReportWiz& wizard) {
      Do(wizard, kind == 0   ? u"RBCashFlow"_s
                 : kind == 1 ? u"RBInOut"_s
                 : kind == 2 ? u"RBComAccts"_s
                             : u"RBTrend"_s);
      QCOMPARE(Child<QListWidget>(wizard, u"ListBox3"_s)->count(), 1);
      Do(wizard, u"BtnDoItNow"_s);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(home.prompter.Asked().empty());
    const ReportSettings got = w.wizard.Settings();
    const AccountList accounts = *AccountList::Read(home.Path(u"Accts.dat"_s));
    const ReportSettings want = SettingsFromSaved(saved, accounts, merged, home.clock.Today());
    QCOMPARE(got.kind, want.kind);
    QCOMPARE(got.account_group, want.account_group);
    QCOMPARE(got.accounts, want.accounts);
    QCOMPARE(got.types, want.types);
    QCOMPARE(got.categories, want.categories);
    QCOMPARE(got.flow, want.flow);
    QCOMPARE(got.hide_empty_groups, want.hide_empty_groups);
    QCOMPARE(got.comparison, want.comparison);
    QCOMPARE(got.period_type, want.period_type);
    QCOMPARE(got.from, want.from);
    QCOMPARE(got.to, want.to);
    QCOMPARE(got.compare_from, want.compare_from);
    QCOMPARE(got.compare_to, want.compare_to);
    QCOMPARE(got.year1, want.year1);
    QCOMPARE(got.year2, want.year2);
    QCOMPARE(got.title, want.title);
    // Saved again, the definition gives the same record.
    QVERIFY(w.wizard.WriteTemporary());
    SavedReport again = *ReadSavedReport(home.Path(u"Tmp.~pt"_s));
    again.name = saved.name;
    QCOMPARE(SettingsFromSaved(again, accounts, merged, home.clock.Today()).title, want.title);
  }
};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::ReportWizardTest)
#include "report_wizard_test.moc"
