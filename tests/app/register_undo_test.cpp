#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <string>
#include <vector>

#include "app/register/register_grid.h"
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
      {{},
       {},
       QStringLiteral("30"),
       QStringLiteral("מזומן "),
       QStringLiteral("קניות"),
       QStringLiteral("ירקות"),
       QStringLiteral("2/12/2026"),
       {}},
  };
}

// The rows as the file would hold them, and the flag that asks for sorting.
std::vector<std::string> Image(const Register& reg) {
  std::vector<std::string> image;
  for (int r = 0; r < reg.RowCount(); ++r) image.emplace_back(reg.RawRecord(r));
  image.emplace_back(reg.NeedsSorting() ? "sort" : "");
  return image;
}

}  // namespace

class RegisterUndoTest : public QObject {
  Q_OBJECT

 private slots:
  void UndoOfADeleteBringsTheRowBackWithItsBalance() {
    Started s;
    QVERIFY(Start(s, Rows()));
    const auto before = Image(s.reg());
    QVERIFY(!s.Tool(u"SBUndo")->isEnabled());
    s.grid().SetCurrentCell(2, kDescriptionColumn);
    s.Tool(u"SBDelItm")->click();
    QCOMPARE(s.reg().Cell(2, kDescriptionColumn), QStringLiteral("ירקות"));
    const auto deleted = Image(s.reg());
    QVERIFY(s.Tool(u"SBUndo")->isEnabled());
    QVERIFY(!s.Tool(u"SBRedo")->isEnabled());

    QTest::keyClick(&s.grid(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(Image(s.reg()) == before);
    QCOMPARE(s.reg().Cell(2, kBalanceColumn), QStringLiteral("1150"));
    QCOMPARE(s.grid().CurrentRow(), 2);
    QVERIFY(!s.Tool(u"SBUndo")->isEnabled());
    QVERIFY(s.Tool(u"SBRedo")->isEnabled());

    QTest::keyClick(&s.grid(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(Image(s.reg()) == deleted);
    QTest::keyClick(&s.grid(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&s.grid(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(Image(s.reg()) == deleted);
  }

  void ASeriesFromTheDialogIsOneStep() {
    Started s;
    QVERIFY(Start(s, Rows()));
    s.grid().SetCurrentCell(2, kDescriptionColumn);
    s.Tool(u"SBDelItm")->click();
    const auto before = Image(s.reg());
    ModalScript script;
    script.Expect(QStringLiteral("TDateFrm"), [](QWidget* w) {
      TypeInto(w, QStringLiteral("Edit1"), QStringLiteral("חיסכון"));
      TypeInto(w, QStringLiteral("EdtOut"), QStringLiteral("100"));
      TypeInto(w, QStringLiteral("Edit3"), QStringLiteral("31/1/2027"));
      w->findChild<QSpinBox*>(QStringLiteral("SpinEdit2"))->setValue(12);
      PressOk(w);
    });
    s.Tool(u"SBNewItem")->click();
    QVERIFY(script.Done());
    QCOMPARE(s.reg().RowCount(), static_cast<int>(before.size()) - 1 + 12);
    const auto series = Image(s.reg());

    s.Tool(u"SBUndo")->click();
    QVERIFY(Image(s.reg()) == before);
    s.Tool(u"SBRedo")->click();
    QVERIFY(Image(s.reg()) == series);
    // The delete before the series is the step below it.
    s.Tool(u"SBUndo")->click();
    s.Tool(u"SBUndo")->click();
    QCOMPARE(s.reg().Cell(2, kDescriptionColumn), QStringLiteral("מכולת"));
    QVERIFY(!s.Tool(u"SBUndo")->isEnabled());
  }
};

QTEST_MAIN(RegisterUndoTest)
#include "register_undo_test.moc"
