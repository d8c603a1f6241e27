#include "core/register/register_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace cheque {
namespace {

using namespace Qt::StringLiterals;

class RegisterModelTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsTheRegisterItself() {
    Register reg;
    reg.LoadFileBytes({}, u"250");
    RegisterModel model(reg);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 9);
    QCOMPARE(model.index(0, kBalanceColumn).data().toString(), u"250"_s);
    QCOMPARE(model.index(0, kDescriptionColumn).data().toString(), u"יתרת פתיחה"_s);
    QVERIFY(model.index(0, kKeyColumn).data().toString().isEmpty());
    QVERIFY(!model.index(0, kBalanceColumn).data(Qt::EditRole).isValid());

    const QStringList captions = {u"מס"_s,    u"בנק\\יתרה"_s, u"הכנסה"_s, u"הוצאה"_s, u"סוג"_s,
                                  u"קבוצה"_s, u"תאור"_s,      u"תאריך"_s, u"צפי"_s};
    for (int column = 0; column < captions.size(); ++column) {
      QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), captions[column]);
    }

    // A cell changed in the register shows at once: there is no copy.
    reg.SetCell(0, kBalanceColumn, u"300");
    QCOMPARE(model.index(0, kBalanceColumn).data().toString(), u"300"_s);
  }

  void ResetFollowsRowChanges() {
    Register reg;
    RegisterModel model(reg);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    reg.LoadFileBytes(
        "2\r\n\r\n\r\n2/1/2020\r\n\r\n\r\nb\r\n\r\n1\r\n\r\n\r\n1/1/2020\r\n\r\n\r\na\r\n\r\n",
        u"0");
    model.Reset();
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.rowCount(), 3);

    reg.SortRegister(kDateColumn, QDate(2020, 3, 1));
    model.Reset();
    QCOMPARE(model.index(0, kDescriptionColumn).data().toString(), u"a"_s);
    reg.Clear();
    model.Reset();
    QCOMPARE(model.rowCount(), 1);
  }
};

}  // namespace
}  // namespace cheque

QTEST_GUILESS_MAIN(cheque::RegisterModelTest)
#include "register_model_test.moc"
