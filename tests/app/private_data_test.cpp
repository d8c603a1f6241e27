#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/shell/private_data_dialog.h"
#include "core/files/line_file.h"
#include "core/text/codec.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

const QString kRequired = QStringLiteral("יש למלא את השם, המשפחה, ושם העסק");
const QStringList kFieldOrder = {u"EdtFirstName"_s,  u"EdtFamilyName"_s, u"EdtBusinessName"_s,
                                 u"EdtAddress"_s,    u"MaskEdtPhone"_s,  u"MaskEdtFax"_s,
                                 u"MaskEdtMobile"_s, u"OKBtn"_s};

QLineEdit* Field(QWidget& dialog, const QString& name) {
  auto* edit = dialog.findChild<QLineEdit*>(name);
  if (edit == nullptr) qFatal("no field %s", qPrintable(name));
  return edit;
}

QString FocusName(QWidget& dialog) {
  return dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
}

// Replaces the text as a user would: Hebrew is committed as an input method does.
void Put(QWidget& dialog, const QString& name, const QString& text) {
  QLineEdit* edit = Field(dialog, name);
  edit->setFocus();
  edit->selectAll();
  if (edit->inputMask().isEmpty()) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(edit, &event);
  } else {
    edit->home(false);
    QTest::keyClicks(edit, text);
  }
}

void PressOk(QWidget& dialog) {
  QTest::mouseClick(dialog.findChild<QPushButton*>(u"OKBtn"_s), Qt::LeftButton);
}

bool Open(QDialog& dialog) {
  dialog.show();
  return QTest::qWaitForWindowActive(&dialog);
}

void WriteLines(const TestHome& home, const QStringList& lines) {
  QVERIFY(WriteTextLines(home.Path(u"AcMyData.Dat"_s), lines));
}

}  // namespace

class PrivateDataTest : public QObject {
  Q_OBJECT

 private slots:
  void okWritesNineLines_data() {
    QTest::addColumn<bool>("all_fields");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("all fields") << true
                                << QStringList{QStringLiteral("דנה"),
                                               QStringLiteral("לוי"),
                                               QStringLiteral("לוי בע\"מ"),
                                               QStringLiteral("הרצל 5, חיפה"),
                                               u"04-812-3456"_s,
                                               u"04-812-3457"_s,
                                               u"052 123-4567"_s,
                                               QString(),
                                               u"052 123-4567"_s};
    QTest::newRow("required only")
        << false
        << QStringList{
               QStringLiteral("דנה"), QStringLiteral("לוי"), QStringLiteral("לוי בע\"מ"), QString(),
               u"0 -   -    "_s,      u"0 -   -    "_s,      u"05     -    "_s,           QString(),
               u"05     -    "_s};
  }

  void okWritesNineLines() {
    QFETCH(bool, all_fields);
    QFETCH(QStringList, lines);
    TestHome home;
    TPrivateDta dialog(home.services);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("פרטים אישיים"));
    QCOMPARE(dialog.size(), QSize(388, 222));
    QVERIFY(Open(dialog));
    Put(dialog, u"EdtFirstName"_s, lines[0]);
    Put(dialog, u"EdtFamilyName"_s, lines[1]);
    Put(dialog, u"EdtBusinessName"_s, lines[2]);
    if (all_fields) {
      Put(dialog, u"EdtAddress"_s, lines[3]);
      Put(dialog, u"MaskEdtPhone"_s, u"48123456"_s);
      Put(dialog, u"MaskEdtFax"_s, u"48123457"_s);
      Put(dialog, u"MaskEdtMobile"_s, u"21234567"_s);
    }
    PressOk(dialog);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(home.prompter.Asked().empty());
    QByteArray bytes;
    for (const QString& line : lines) bytes += EncodeWin1255Bytes(line) + "\r\n";
    QCOMPARE(ReadFileBytes(home.Path(u"AcMyData.Dat"_s)).value_or(QByteArray()), bytes);
  }

  void okRefusesMissingRequired_data() {
    QTest::addColumn<QStringList>("filled");
    QTest::addColumn<QString>("focus");
    QTest::newRow("first name") << QStringList{u"EdtFamilyName"_s, u"EdtBusinessName"_s}
                                << u"EdtFirstName"_s;
    QTest::newRow("family name") << QStringList{u"EdtFirstName"_s, u"EdtBusinessName"_s}
                                 << u"EdtFamilyName"_s;
    QTest::newRow("business name")
        << QStringList{u"EdtFirstName"_s, u"EdtFamilyName"_s} << u"EdtBusinessName"_s;
  }

  void okRefusesMissingRequired() {
    QFETCH(QStringList, filled);
    QFETCH(QString, focus);
    TestHome home;
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    for (const QString& name : filled) Put(dialog, name, QStringLiteral("א"));
    Put(dialog, u"EdtAddress"_s, QStringLiteral("ב"));
    dialog.findChild<QPushButton*>(u"OKBtn"_s)->click();  // without the focus: nothing
    QVERIFY(home.prompter.Asked().empty());
    PressOk(dialog);

    QCOMPARE(home.prompter.AskedTexts(), QStringList{kRequired});
    QCOMPARE(home.prompter.Asked()[0].caption, QStringLiteral("שגיאה"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(FocusName(dialog), focus);
    QVERIFY(!QFile::exists(home.Path(u"AcMyData.Dat"_s)));
  }

  void cancel_data() {
    QTest::addColumn<bool>("filled");
    QTest::addColumn<bool>("file");
    QTest::addColumn<bool>("answer_yes");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    QTest::newRow("family missing, yes") << false << false << true << true << true;
    QTest::newRow("family missing, no") << false << false << false << true << false;
    QTest::newRow("filled") << true << false << false << false << true;
    QTest::newRow("file exists") << false << true << false << false << true;
  }

  void cancel() {
    QFETCH(bool, filled);
    QFETCH(bool, file);
    QFETCH(bool, answer_yes);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    TestHome home;
    if (file) WriteLines(home, {});
    home.prompter.Answer(answer_yes ? MessageAnswer::kYes : MessageAnswer::kNo);
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    Put(dialog, u"EdtFirstName"_s, QStringLiteral("דנה"));
    if (filled) {
      Put(dialog, u"EdtFamilyName"_s, QStringLiteral("לוי"));
      Put(dialog, u"EdtBusinessName"_s, QStringLiteral("לוי"));
    }
    QTest::mouseClick(dialog.findChild<QPushButton*>(u"CancelBtn"_s), Qt::LeftButton);

    QCOMPARE(home.prompter.AskedTexts(),
             asked ? QStringList{kRequired + u"\r? האם ברצונך לסיים"_s} : QStringList());
    QCOMPARE(dialog.isVisible(), !closed);
    if (closed) QCOMPARE(dialog.result(), int(QDialog::Rejected));
    if (!closed) QCOMPARE(FocusName(dialog), u"EdtFamilyName"_s);
    QCOMPARE(QFile::exists(home.Path(u"AcMyData.Dat"_s)), file);
  }

  void sevenLineFileLeavesMobileEmpty() {
    TestHome home;
    WriteLines(home, {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"03-123-4567"_s, u"03-123-4568"_s,
                      u"052 123-4567"_s});
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    QStringList shown;
    for (const QString& name : kFieldOrder.mid(0, 7))
      shown.append(Field(dialog, name)->displayText());
    QCOMPARE(shown, (QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"03-123-4567"_s, u"03-123-4568"_s,
                                 u"05     -    "_s}));
  }

  void showingReadsTheFileAgain() {
    TestHome home;
    WriteLines(home, {u"a"_s, u"b"_s, u"c"_s});
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    Put(dialog, u"EdtFamilyName"_s, u"changed"_s);
    QTest::mouseClick(dialog.findChild<QPushButton*>(u"CancelBtn"_s), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    WriteLines(home, {u"x"_s, u"y"_s, u"z"_s});
    QVERIFY(Open(dialog));
    QCOMPARE(Field(dialog, u"EdtFirstName"_s)->text(), u"x"_s);
    QCOMPARE(Field(dialog, u"EdtFamilyName"_s)->text(), u"y"_s);
    QCOMPARE(FocusName(dialog), u"EdtFirstName"_s);
  }

  void keys() {
    TestHome home;
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    QStringList order{FocusName(dialog)};
    for (int i = 0; i < 7; ++i) {
      QTest::keyClick(dialog.focusWidget(), i % 2 ? Qt::Key_Down : Qt::Key_Return);
      order.append(FocusName(dialog));
    }
    QCOMPARE(order, kFieldOrder);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Up);
    QCOMPARE(FocusName(dialog), u"MaskEdtMobile"_s);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Up);
    QCOMPARE(FocusName(dialog), u"MaskEdtFax"_s);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Home);
    QCOMPARE(FocusName(dialog), u"EdtFirstName"_s);
    QVERIFY(dialog.isVisible());
    QVERIFY(home.prompter.Asked().empty());
  }

  void unsupportedCharacterRefused() {
    TestHome home;
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    Put(dialog, u"EdtFamilyName"_s, QStringLiteral("לוי"));
    QLineEdit* family = Field(dialog, u"EdtFamilyName"_s);
    family->end(false);
    QTest::sendKeyEvent(QTest::Click, family, Qt::Key_unknown, u"\U0001F600"_s, Qt::NoModifier);
    QCOMPARE(family->text(), QStringLiteral("לוי"));
    QCOMPARE(home.prompter.Asked().size(), size_t{1});
    QVERIFY(home.prompter.Asked()[0].text.contains(u"\U0001F600"_s));
  }

  void writeFailureKeepsDialogOpen() {
    TestHome home;
    QDir(home.Path(QString())).mkdir(u"AcMyData.Dat"_s);
    TPrivateDta dialog(home.services);
    QVERIFY(Open(dialog));
    for (const QString& name : kFieldOrder.mid(0, 3)) Put(dialog, name, QStringLiteral("א"));
    PressOk(dialog);
    QVERIFY(dialog.isVisible());
    QCOMPARE(home.prompter.AskedTexts(),
             QStringList{QStringLiteral("לא ניתן לשמור את הפרטים האישיים")});
  }
};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::PrivateDataTest)
#include "private_data_test.moc"
